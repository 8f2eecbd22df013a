// The multipart parser's read window.
#include "entry/ContentBuffer.h"

#include <algorithm>

#include "entry/WebRequest.h"

namespace qx {

TIWContentBuffer::TIWContentBuffer(TWebRequest& request)
    : request_(request), preRead_(request.Content()), contentLength_(request.ContentLength()) {
  // Without a content length only the pre-read bytes exist.
  if (contentLength_ < 0) contentLength_ = static_cast<std::int64_t>(preRead_.size());
  window_.reserve(kWindowSize);
}

bool TIWContentBuffer::Fill() {
  if (start_ > 0) {
    window_.erase(0, start_);
    start_ = 0;
  }
  std::size_t before = window_.size();
  while (window_.size() < kWindowSize && !exhausted_) {
    std::size_t room = kWindowSize - window_.size();
    if (preReadAt_ < preRead_.size()) {
      std::size_t take = std::min(room, preRead_.size() - preReadAt_);
      window_.append(preRead_, preReadAt_, take);
      preReadAt_ += take;
      bytesRead_ += static_cast<std::int64_t>(take);
      continue;
    }
    if (bytesRead_ >= contentLength_) {
      exhausted_ = true;
      break;
    }
    std::size_t want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(room), contentLength_ - bytesRead_));
    std::size_t old = window_.size();
    window_.resize(old + want);
    int got = request_.ReadClient(window_.data() + old, static_cast<int>(want));
    window_.resize(old + static_cast<std::size_t>(got > 0 ? got : 0));
    if (got <= 0) {
      exhausted_ = true;  // the client stopped sending before the content length
      break;
    }
    bytesRead_ += got;
  }
  if (preReadAt_ >= preRead_.size() && bytesRead_ >= contentLength_) exhausted_ = true;
  return window_.size() > before;
}

void TIWContentBuffer::Consume(std::size_t count) {
  start_ += std::min(count, window_.size() - start_);
}

}  // namespace qx
