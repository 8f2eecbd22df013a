// Asynchronous writes in blocks of 128 KiB, chained by the completion routine.
#include "entry/AsyncWrite.h"

#include <cstdio>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"

namespace qx {

const char* const kAsyncWriteRefused = "The web server refused an asynchronous write";

TAsyncWriteContext::TAsyncWriteContext(std::string text)
    : buffer_(std::move(text)), pending_(buffer_.size()) {}

TAsyncWriteContext::TAsyncWriteContext(std::unique_ptr<TStream> stream, std::string tempFileName)
    : buffer_(kBlockSize, '\0'),
      pending_(0),
      stream_(std::move(stream)),
      tempFileName_(std::move(tempFileName)) {
  stream_->SetPosition(0);
}

TAsyncWriteContext::~TAsyncWriteContext() {
  stream_.reset();
  std::string().swap(buffer_);
  if (!tempFileName_.empty()) DeleteFile(tempFileName_);
}

bool TAsyncWriteContext::ReadNextBlock() {
  if (!stream_ || stream_->Position() >= stream_->Size()) return false;
  pending_ = stream_->Read(buffer_.data(), kBlockSize);
  // A stream that delivers nothing before its size (a file cut short) ends the write.
  return pending_ > 0;
}

bool StartAsyncWrite(QxConnectionBlock& block, TAsyncWriteContext* context) {
  auto routine = &AsyncWriteCompletion;
  if (!block.ServerSupportFunction(block.ConnID, QX_REQ_IO_COMPLETION,
                                   reinterpret_cast<void*>(routine), nullptr, context))
    return false;
  auto size = static_cast<std::uint32_t>(context->pending_);
  return block.WriteClient(block.ConnID, context->buffer_.data(), &size, QX_IO_ASYNC) != 0;
}

void BeginAsyncWrite(QxConnectionBlock& block, std::unique_ptr<TAsyncWriteContext> context) {
  // From here the completion routine may run (and free the context) on another thread before
  // WriteClient even returns, so the context is not touched after a successful start.
  TAsyncWriteContext* raw = context.release();
  if (StartAsyncWrite(block, raw)) return;
  delete raw;
  throw EInOutError(kAsyncWriteRefused);
}

namespace {

void FinishAsyncWrite(QxConnectionBlock* block, TAsyncWriteContext* context) noexcept {
  void* conn = block->ConnID;
  delete context;
  block->ServerSupportFunction(conn, QX_REQ_DONE_WITH_SESSION, nullptr, nullptr, nullptr);
}

}  // namespace

void AsyncWriteCompletion(QxConnectionBlock* block, void* context,
                         std::uint32_t /*bytes*/, std::uint32_t error) {
  auto* write = static_cast<TAsyncWriteContext*>(context);
  try {
    if (error == 0 && write->ReadNextBlock() && StartAsyncWrite(*block, write)) return;
  } catch (const std::exception& e) {
    std::string line = std::string("exception in callback: ") + ExceptionClassName(e) + ":" +
                       e.what() + "\n";
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
  }
  FinishAsyncWrite(block, write);
}

}  // namespace qx
