// Preparing text and stream bodies for asynchronous writing.
#include "entry/IWISAPIRequest.h"

#include <fcntl.h>

#include "entry/AsyncWrite.h"
#include "entry/EntryExceptions.h"
#include "entry/ServerControllerClass.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"

namespace qx {
namespace {

// A stream that outlives the response's own: a duplicate descriptor for a file-backed stream
// (the response may close or even delete its file, the duplicate still reads the bytes), or
// a temporary copy in the cache folder whose name is returned for deletion.
std::unique_ptr<TStream> SurvivingStream(TStream& stream, std::string& tempFileName) {
  if (auto* handle = dynamic_cast<THandleStream*>(&stream)) {
    int fd = ::fcntl(handle->Handle(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) throw EInOutError("Cannot keep the body file open for an asynchronous write");
    return std::make_unique<THandleStream>(fd);
  }
  auto name = CreateTempFile(CacheFolder(), "IIS");
  if (!name) throw EWebRequestError(kCacheWriteError);
  try {
    auto copy = std::make_unique<TFileStream>(*name, FileMode::OpenReadWrite);
    copy->CopyFrom(stream, 0);
    tempFileName = *name;
    return copy;
  } catch (...) {
    DeleteFile(*name);
    throw;
  }
}

}  // namespace

bool TIWISAPIRequest::WriteString(std::string_view text) { return WriteText(std::string(text)); }

bool TIWISAPIRequest::WriteText(std::string text) {
  if (!response_) return TISAPIRequest::WriteString(text);
  if (text.empty()) return true;
  BeginAsyncWrite(ConnectionBlock(), std::make_unique<TAsyncWriteContext>(std::move(text)));
  response_->SetAsyncStarted();
  return true;
}

void TIWISAPIResponse::SendStream(TStream& stream) {
  if (stream.Size() == 0) return;
  std::string tempFileName;
  std::unique_ptr<TStream> surviving = SurvivingStream(stream, tempFileName);
  auto context = std::make_unique<TAsyncWriteContext>(std::move(surviving), tempFileName);
  if (!context->ReadNextBlock()) return;  // the context deletes the copy when it goes
  BeginAsyncWrite(ISAPIRequest().ConnectionBlock(), std::move(context));
  SetAsyncStarted();
}

}  // namespace qx
