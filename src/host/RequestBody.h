// A library request's body, read whole from the client before a worker takes the request:
// the first bytes (the pre-read part) in memory, the rest in memory when small, else in an
// unnamed temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qx::host {

// Threads: filled on the connection's strand, then handed to the request and read by the
// thread the library reads from; never both at once.
class RequestBody {
 public:
  // Beyond this many bytes after the pre-read part, the rest goes to a temporary file, so
  // that many large posts at once cost disk rather than memory.
  static constexpr std::size_t kMemoryRest = 256 * 1024;

  RequestBody(std::uint64_t length, std::size_t prereadBytes);
  RequestBody(RequestBody&& other) noexcept;
  RequestBody& operator=(RequestBody&&) = delete;
  ~RequestBody();

  std::uint64_t Length() const noexcept { return length_; }
  std::uint64_t Received() const noexcept { return received_; }
  bool Complete() const noexcept { return received_ == length_; }

  // Takes bytes as they arrive, at most the missing ones; false when the temporary file
  // cannot be made or written.
  bool Append(const unsigned char* data, std::size_t size);

  // The first bytes, handed to the library with the call.
  const std::vector<unsigned char>& Preread() const noexcept { return preread_; }
  // The next bytes after the pre-read part and those read before: their count, 0 at the
  // end, nothing when the temporary file cannot be read.
  std::optional<std::size_t> ReadRest(void* buffer, std::size_t size);

 private:
  std::uint64_t length_;
  std::size_t prereadBytes_;
  std::vector<unsigned char> preread_;
  std::vector<unsigned char> rest_;  // the rest when it is kept in memory
  int file_ = -1;                    // the rest when it is kept in a file
  std::uint64_t received_ = 0;
  std::uint64_t restRead_ = 0;
};

}  // namespace qx::host
