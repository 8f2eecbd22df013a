// The test client: blocking sockets with poll-based time limits.
#include "support/HttpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/Strings.h"

namespace qx::test {
namespace {
constexpr int kReadTimeoutMs = 10000;
}

std::optional<std::string> HttpReply::Header(std::string_view name) const {
  for (const auto& [n, v] : headers) {
    if (SameText(n, name)) return v;
  }
  return std::nullopt;
}

HttpClient::HttpClient(std::uint16_t port, const char* sourceAddress) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return;
  if (sourceAddress) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, sourceAddress, &local.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      Close();
      return;
    }
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    Close();
    return;
  }
  int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

HttpClient::~HttpClient() { Close(); }

void HttpClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool HttpClient::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (fd_ < 0) return false;
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool HttpClient::Fill(int timeoutMs) {
  if (fd_ < 0 || eof_) return false;
  pollfd p{fd_, POLLIN, 0};
  int ready = ::poll(&p, 1, timeoutMs);
  if (ready <= 0) return false;
  char buffer[65536];
  ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
  if (n <= 0) {
    eof_ = true;
    return false;
  }
  pending_.append(buffer, static_cast<std::size_t>(n));
  return true;
}

bool HttpClient::ReadLine(std::string& line) {
  for (;;) {
    auto eol = pending_.find("\r\n");
    if (eol != std::string::npos) {
      line = pending_.substr(0, eol);
      pending_.erase(0, eol + 2);
      return true;
    }
    if (!Fill(kReadTimeoutMs)) return false;
  }
}

bool HttpClient::ReadExact(std::size_t n, std::string& out) {
  while (pending_.size() < n) {
    if (!Fill(kReadTimeoutMs)) return false;
  }
  out.append(pending_, 0, n);
  pending_.erase(0, n);
  return true;
}

std::optional<HttpReply> HttpClient::Read(bool headRequest) {
  HttpReply reply;
  std::string line;
  do {
    // Interim "100 Continue" replies come before the real one.
    if (!ReadLine(line)) return std::nullopt;
    if (line.rfind("HTTP/1.", 0) != 0 || line.size() < 12) return std::nullopt;
    reply.status = std::atoi(line.c_str() + 9);
    reply.reason = line.substr(13);
    reply.headers.clear();
    for (;;) {
      if (!ReadLine(line)) return std::nullopt;
      if (line.empty()) break;
      auto colon = line.find(':');
      if (colon == std::string::npos) return std::nullopt;
      reply.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }
  } while (reply.status == 100);

  if (headRequest || reply.status == 304 || reply.status == 204) return reply;
  if (auto te = reply.Header("Transfer-Encoding")) {
    if (!SameText(*te, "chunked")) return std::nullopt;
    reply.chunked = true;
    for (;;) {
      if (!ReadLine(line)) return std::nullopt;
      std::size_t size = std::stoul(line, nullptr, 16);
      if (size == 0) {
        if (!ReadLine(line) || !line.empty()) return std::nullopt;
        return reply;
      }
      if (!ReadExact(size, reply.body) || !ReadLine(line) || !line.empty()) return std::nullopt;
    }
  }
  if (auto length = reply.Header("Content-Length")) {
    if (!ReadExact(std::stoul(*length), reply.body)) return std::nullopt;
    return reply;
  }
  // Delimited by the end of the connection.
  while (Fill(kReadTimeoutMs)) {
  }
  if (!eof_) return std::nullopt;
  reply.body = std::move(pending_);
  pending_.clear();
  return reply;
}

std::optional<HttpReply> HttpClient::Get(std::string_view target, std::string_view extraHeaders) {
  std::string request = "GET " + std::string(target) + " HTTP/1.1\r\nHost: test\r\n" +
                        std::string(extraHeaders) + "\r\n";
  if (!Send(request)) return std::nullopt;
  return Read();
}

std::optional<std::string> HttpClient::ReadBytes(std::size_t n) {
  std::string out;
  if (!ReadExact(n, out)) return std::nullopt;
  return out;
}

bool HttpClient::WaitClosed(int timeoutMs) {
  pending_.clear();
  while (Fill(timeoutMs)) pending_.clear();
  return eof_;
}

std::string HttpClient::ReadAll(int timeoutMs) {
  while (Fill(timeoutMs)) {
  }
  std::string all = std::move(pending_);
  pending_.clear();
  return all;
}

}  // namespace qx::test
