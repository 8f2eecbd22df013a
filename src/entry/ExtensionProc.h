// The extension's request entry: which kind of server calls it, and the reply sent when a
// request fails outside the dispatcher on a server without asynchronous writes.
#pragma once

#include <exception>

#include "entry/ConnectionBlock.h"

namespace qx {

extern const char* const kFallbackErrorBody;     // Format: class name, message
extern const char* const kFallbackErrorHeaders;  // Format: body length

enum TServerKind : int { skUnknown = 0, skOther = 1, skAsync = 2 };

// 0 until the first request; then 2 when that request's SERVER_SOFTWARE began with
// "Microsoft-IIS" (a server that writes asynchronously), else 1, for the life of the process.
int ServerKind() noexcept;

// Status 500 with a page naming the failure, written synchronously.
void SendFallbackErrorReply(QxConnectionBlock& block, const std::exception& failure) noexcept;

}  // namespace qx
