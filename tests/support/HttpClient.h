// A small blocking HTTP/1.1 client over loopback for the host and service tests: raw bytes
// out, replies parsed by Content-Length, chunked coding or connection close. Every read has a
// time limit, so a faulty server fails a test instead of hanging it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx::test {

struct HttpReply {
  int status = 0;
  std::string reason;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool chunked = false;

  // The first header of that name (case ignored), or nothing.
  std::optional<std::string> Header(std::string_view name) const;
};

class HttpClient {
 public:
  // Connects to 127.0.0.1:port, from `sourceAddress` when given (any 127.x address).
  explicit HttpClient(std::uint16_t port, const char* sourceAddress = nullptr);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  bool Connected() const { return fd_ >= 0; }
  bool Send(std::string_view bytes);
  // Reads one reply; nothing when the connection ends or the time runs out first.
  std::optional<HttpReply> Read(bool headRequest = false);
  // Sends a GET (HTTP/1.1, keep-alive) and reads its reply.
  std::optional<HttpReply> Get(std::string_view target, std::string_view extraHeaders = {});
  // Exactly `n` bytes, or nothing when they do not arrive in time.
  std::optional<std::string> ReadBytes(std::size_t n);
  // True when the server closes the connection (reads end-of-stream) before the time limit.
  bool WaitClosed(int timeoutMs = 10000);
  // Whatever arrives until the connection closes or the time runs out.
  std::string ReadAll(int timeoutMs = 10000);
  void Close();

 private:
  bool Fill(int timeoutMs);  // reads more bytes into pending_
  bool ReadLine(std::string& line);
  bool ReadExact(std::size_t n, std::string& out);

  int fd_ = -1;
  std::string pending_;
  bool eof_ = false;
};

}  // namespace qx::test
