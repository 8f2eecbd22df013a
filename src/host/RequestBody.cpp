// Keeping a request body while it arrives, and reading it back for the library.
#include "host/RequestBody.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/Files.h"

namespace qx::host {

RequestBody::RequestBody(std::uint64_t length, std::size_t prereadBytes)
    : length_(length),
      prereadBytes_(static_cast<std::size_t>(std::min<std::uint64_t>(length, prereadBytes))) {
  preread_.reserve(prereadBytes_);
}

RequestBody::RequestBody(RequestBody&& other) noexcept
    : length_(other.length_),
      prereadBytes_(other.prereadBytes_),
      preread_(std::move(other.preread_)),
      rest_(std::move(other.rest_)),
      file_(other.file_),
      received_(other.received_),
      restRead_(other.restRead_) {
  other.file_ = -1;
}

RequestBody::~RequestBody() {
  if (file_ >= 0) ::close(file_);
}

bool RequestBody::Append(const unsigned char* data, std::size_t size) {
  size = static_cast<std::size_t>(std::min<std::uint64_t>(size, length_ - received_));
  std::size_t first = std::min(size, prereadBytes_ - preread_.size());
  preread_.insert(preread_.end(), data, data + first);
  received_ += first;
  data += first;
  size -= first;
  if (size == 0) return true;
  if (length_ - prereadBytes_ <= kMemoryRest) {
    rest_.insert(rest_.end(), data, data + size);
    received_ += size;
    return true;
  }
  if (file_ < 0 && (file_ = OpenUnnamedTempFile(TempFolder())) < 0) return false;
  while (size > 0) {
    ssize_t n = ::write(file_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    received_ += static_cast<std::uint64_t>(n);
  }
  return true;
}

std::optional<std::size_t> RequestBody::ReadRest(void* buffer, std::size_t size) {
  std::uint64_t restSize = received_ - preread_.size();
  size = static_cast<std::size_t>(std::min<std::uint64_t>(size, restSize - restRead_));
  if (size == 0) return 0;
  if (file_ < 0) {
    std::memcpy(buffer, rest_.data() + restRead_, size);
  } else {
    ssize_t n;
    do {
      n = ::pread(file_, buffer, size, static_cast<off_t>(restRead_));
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return std::nullopt;
    size = static_cast<std::size_t>(n);
  }
  restRead_ += size;
  return size;
}

}  // namespace qx::host
