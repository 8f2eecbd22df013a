// Checking what the library hands over with "send response header": its status text and
// its header block. Nothing the library writes reaches the client unchecked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Exceptions.h"

namespace qx::host {

// The status text or header block cannot be sent as HTTP.
QX_EXCEPTION_CLASS(EBadReplyHeader, Exception);

struct ExtensionReply {
  unsigned status = 200;
  std::string reason;  // "" means the usual phrase
  // Header lines "Name: value\r\n", without the fields the host owns (framing, Connection).
  std::string fields;
  std::optional<std::uint64_t> contentLength;
  bool hasDate = false;
};

// `statusText` is "<code> <reason>" ("200 OK"), or empty for `fallbackStatus` (the code the
// library put in the connection block). Control characters in the reason (an exception
// message may hold line breaks) become blanks. `headerBlock` holds "Name: value" lines
// ending CR LF (a bare LF is accepted), optionally closed by an empty line.
// Fails with EBadReplyHeader: a status that is not a number from 200 to 599, a line that is
// not a header field, text after the closing empty line, or a bad Content-Length.
ExtensionReply ParseExtensionReply(std::string_view statusText, std::string_view headerBlock,
                                   unsigned fallbackStatus);

}  // namespace qx::host
