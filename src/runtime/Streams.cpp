// Byte streams over memory, resource bytes and file descriptors.
#include "runtime/Streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"

namespace qx {
namespace {

std::size_t NewPosition(std::int64_t current, std::int64_t size, std::int64_t offset,
                        SeekOrigin origin) {
  std::int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? current
                                                                                      : size;
  std::int64_t p = base + offset;
  if (p < 0) throw EInOutError("Seek before the start of a stream");
  return static_cast<std::size_t>(p);
}

// Copies what `data` holds from `position` on, at most `count` bytes, and moves past them.
std::size_t ReadFromMemory(std::string_view data, std::size_t& position, void* buffer,
                           std::size_t count) {
  if (position >= data.size()) return 0;
  std::size_t n = std::min(count, data.size() - position);
  std::memcpy(buffer, data.data() + position, n);
  position += n;
  return n;
}

}  // namespace

std::int64_t TStream::Size() {
  std::int64_t here = Position();
  std::int64_t size = Seek(0, SeekOrigin::End);
  SetPosition(here);
  return size;
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  char buffer[65536];
  std::int64_t copied = 0;
  while (copied < count) {
    auto want = static_cast<std::size_t>(std::min<std::int64_t>(count - copied, sizeof buffer));
    std::size_t got = source.Read(buffer, want);
    if (got == 0) break;
    Write(buffer, got);
    copied += static_cast<std::int64_t>(got);
  }
  return copied;
}

std::string TStream::ReadRest() {
  std::string out;
  char buffer[65536];
  for (std::size_t got; (got = Read(buffer, sizeof buffer)) > 0;) out.append(buffer, got);
  return out;
}

std::string& TMemoryStream::Data() const {
  if (!page_.Empty()) data_ = std::exchange(page_, {}).TakeFlat();
  return data_;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  return ReadFromMemory(Data(), position_, buffer, count);
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  Data();
  if (position_ > data_.size()) data_.resize(position_);
  std::size_t overlap = std::min(count, data_.size() - position_);
  data_.replace(position_, overlap, static_cast<const char*>(buffer), count);
  position_ += count;
}

void TMemoryStream::TakeText(std::string text) {
  if (!Data().empty() || position_ != 0) return WriteText(text);
  data_ = std::move(text);
  position_ = data_.size();
}

void TMemoryStream::TakePage(TPageText page) {
  if (!Data().empty() || position_ != 0) return TakeText(page.TakeFlat());
  position_ = page.Size();
  page_ = std::move(page);
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  position_ = NewPosition(static_cast<std::int64_t>(position_), Size(), offset, origin);
  return static_cast<std::int64_t>(position_);
}

std::string TMemoryStream::TakeBytes() {
  Data();
  position_ = 0;
  return std::move(data_);
}

TPageText TMemoryStream::TakePage() {
  position_ = 0;
  if (!page_.Empty()) return std::exchange(page_, {});
  return std::move(data_);
}

void TMemoryStream::Clear() noexcept {
  page_ = {};
  data_.clear();
  position_ = 0;
}

std::size_t TReadOnlyMemoryStream::Read(void* buffer, std::size_t count) {
  return ReadFromMemory(data_, position_, buffer, count);
}

void TReadOnlyMemoryStream::Write(const void*, std::size_t) {
  throw EInOutError("Stream write error: the stream is read-only");
}

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  position_ = NewPosition(static_cast<std::int64_t>(position_), Size(), offset, origin);
  return static_cast<std::int64_t>(position_);
}

THandleStream::~THandleStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t THandleStream::Read(void* buffer, std::size_t count) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, count);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw EInOutError(std::string("Stream read error: ") + std::strerror(errno));
  }
}

void THandleStream::Write(const void* buffer, std::size_t count) {
  const char* p = static_cast<const char*>(buffer);
  while (count > 0) {
    ssize_t n = ::write(fd_, p, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EInOutError(std::string("Stream write error: ") + std::strerror(errno));
    p += n;
    count -= static_cast<std::size_t>(n);
  }
}

std::int64_t THandleStream::Seek(std::int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR
                                                                                      : SEEK_END;
  off_t p = ::lseek(fd_, offset, whence);
  if (p < 0) throw EInOutError(std::string("Stream seek error: ") + std::strerror(errno));
  return p;
}

int THandleStream::ReleaseHandle() noexcept {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

namespace {

int OpenFile(const std::string& name, FileMode mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::OpenRead: flags |= O_RDONLY; break;
    case FileMode::OpenReadWrite: flags |= O_RDWR; break;
    case FileMode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  int fd = ::open(name.c_str(), flags, 0644);
  if (fd < 0)
    throw EInOutError("Cannot open file \"" + name + "\". " + std::strerror(errno));
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileMode mode)
    : THandleStream(OpenFile(fileName, mode)), fileName_(fileName) {}

namespace {

std::string NewTempFile(const std::string& folder, std::string_view prefix) {
  auto name = CreateTempFile(folder, prefix);
  if (!name) throw EInOutError("Cannot create a temporary file in \"" + folder + "\"");
  return *name;
}

}  // namespace

TTempFileStream::TTempFileStream(const std::string& folder, std::string_view prefix)
    : TFileStream(NewTempFile(folder, prefix), FileMode::OpenReadWrite) {}

TTempFileStream::~TTempFileStream() { DeleteFile(FileName()); }

}  // namespace qx
