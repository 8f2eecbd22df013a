// Asynchronous body writes: a context that owns everything one write needs, the start of a
// write, and the completion routine the server calls on its own I/O thread after each block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "entry/ConnectionBlock.h"
#include "runtime/Streams.h"

namespace qx {

extern const char* const kAsyncWriteRefused;

// One asynchronous body write. From the first successful start it belongs to the completion
// routine, which frees it when the last block is done; no other thread touches it then.
class TAsyncWriteContext {
 public:
  static constexpr std::size_t kBlockSize = 128 * 1024;

  // A text body, kept as the transfer buffer.
  explicit TAsyncWriteContext(std::string text);
  // A stream body sent from its start in blocks of kBlockSize; `tempFileName`, when not
  // empty, is deleted once the stream is released.
  TAsyncWriteContext(std::unique_ptr<TStream> stream, std::string tempFileName);
  // Releases the stream, frees the buffer and deletes the temporary file.
  ~TAsyncWriteContext();
  TAsyncWriteContext(const TAsyncWriteContext&) = delete;
  TAsyncWriteContext& operator=(const TAsyncWriteContext&) = delete;

  // Reads the next block of the stream into the buffer; false at the end of the stream (or
  // for a text body, whose only block is already in the buffer).
  bool ReadNextBlock();
  std::size_t Pending() const noexcept { return pending_; }

 private:
  friend bool StartAsyncWrite(QxConnectionBlock& block, TAsyncWriteContext* context);

  std::string buffer_;   // the transfer buffer
  std::size_t pending_;  // bytes of the buffer the current write sends
  std::unique_ptr<TStream> stream_;
  std::string tempFileName_;
};

// Registers the completion routine with `context` and starts writing the context's pending
// bytes. False when the server refused; the caller then still owns the context.
bool StartAsyncWrite(QxConnectionBlock& block, TAsyncWriteContext* context);

// Starts the first write of a new context. On success the context belongs to the completion
// routine; when the server refuses, the context is freed at once and the failure raised
// (EInOutError kAsyncWriteRefused), so the request is never left waiting for a completion.
void BeginAsyncWrite(QxConnectionBlock& block, std::unique_ptr<TAsyncWriteContext> context);

// The completion routine: starts the next block while the stream has more and the last
// write succeeded; otherwise frees the context and ends the request with done-with-session.
// A failure inside is written to standard output and the request still ends.
void AsyncWriteCompletion(QxConnectionBlock* block, void* context,
                         std::uint32_t bytes, std::uint32_t error);

}  // namespace qx
