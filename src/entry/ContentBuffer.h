// TIWContentBuffer: a read window of at most 65,535 bytes over a request body, fed first from
// the bytes the server read ahead and then by read-client calls up to the content length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

class TWebRequest;

class TIWContentBuffer {
 public:
  static constexpr std::size_t kWindowSize = 65535;

  explicit TIWContentBuffer(TWebRequest& request);

  // The bytes read and not yet consumed (at most kWindowSize).
  std::string_view Window() const noexcept {
    return std::string_view(window_).substr(start_);
  }
  // Tops the window up to kWindowSize from the remaining body; false when nothing was added.
  bool Fill();
  // Drops the first `count` bytes of the window.
  void Consume(std::size_t count);
  // True when the whole body (up to the content length, or until the client stopped) is read.
  bool Exhausted() const noexcept { return exhausted_; }
  // Bytes of the body taken so far, pre-read bytes included.
  std::int64_t BytesRead() const noexcept { return bytesRead_; }

 private:
  TWebRequest& request_;
  std::string preRead_;      // pre-read bytes not yet moved into the window
  std::size_t preReadAt_ = 0;
  std::int64_t contentLength_;
  std::int64_t bytesRead_ = 0;
  bool exhausted_ = false;
  std::string window_;
  std::size_t start_ = 0;    // first unconsumed byte of window_
};

}  // namespace qx
