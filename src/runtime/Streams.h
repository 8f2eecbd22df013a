// Byte streams: response bodies, uploaded files and resources. A stream has a position and a
// size; memory, read-only views over resource bytes, file handles and temporary files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/PageText.h"

namespace qx {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to `count` bytes at the position; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes `count` bytes at the position; fails with EInOutError when it cannot.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
  void WriteText(std::string_view text) { Write(text.data(), text.size()); }
  // Writes a text the caller gives up, which a stream may keep as it is instead of copying it
  // (a page built whole in memory on its way into a reply).
  virtual void TakeText(std::string text) { WriteText(text); }
  // The same for a page, which a stream may keep in its pieces.
  virtual void TakePage(TPageText page) { TakeText(page.TakeFlat()); }
  // Copies `count` bytes from `source`'s position; count 0 copies the whole source from its
  // start. Returns the number of bytes copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
  // The bytes from the position to the end.
  std::string ReadRest();
};

// A growable stream in memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(Data().size()); }
  // An empty stream keeps the text itself.
  void TakeText(std::string text) override;
  // An empty stream keeps the page in its pieces until it is read as bytes.
  void TakePage(TPageText page) override;

  std::string_view Bytes() const { return Data(); }
  std::string TakeBytes();
  // The bytes as a page: in its pieces when the stream was given one.
  TPageText TakePage();
  void Clear() noexcept;

 private:
  // The bytes, a page given whole made one text first.
  std::string& Data() const;

  mutable std::string data_;
  mutable TPageText page_;
  std::size_t position_ = 0;
};

// A read-only view over bytes that outlive the stream (embedded resources): no copy is made.
class TReadOnlyMemoryStream : public TStream {
 public:
  explicit TReadOnlyMemoryStream(std::string_view bytes) : data_(bytes) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;  // fails: read-only
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

// A stream over an operating-system file descriptor.
class THandleStream : public TStream {
 public:
  // Takes ownership of `fd` (closed with the stream unless released first).
  explicit THandleStream(int fd) : fd_(fd) {}
  ~THandleStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  int Handle() const noexcept { return fd_; }
  // Gives up the descriptor: the stream no longer closes it.
  int ReleaseHandle() noexcept;

 private:
  int fd_;
};

enum class FileMode { OpenRead, OpenReadWrite, Create };

// A file opened by name. Fails with EInOutError naming the file when it cannot be opened.
class TFileStream : public THandleStream {
 public:
  TFileStream(const std::string& fileName, FileMode mode);
  const std::string& FileName() const noexcept { return fileName_; }

 private:
  std::string fileName_;
};

// A new temporary file (prefix + unique part + ".tmp" in a folder), deleted with the stream.
class TTempFileStream : public TFileStream {
 public:
  // Fails with EInOutError when the file cannot be created.
  TTempFileStream(const std::string& folder, std::string_view prefix);
  ~TTempFileStream() override;
};

}  // namespace qx
