// Plain TCP transport: name resolution, connect with a time limit, line reads from an input
// buffer and complete writes. Waits use poll so that every limit is a real deadline.
#include "mail/IOHandlerSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mail/MailExceptions.h"
#include "runtime/Format.h"

namespace qx {

std::string SocketErrorText(int error) {
  if (error < 0) {  // a resolver code
    if (error == EAI_NONAME || error == EAI_NODATA) return "Host not found.";
    return std::string(gai_strerror(error)) + ".";
  }
  char buffer[256];
  return std::string(strerror_r(error, buffer, sizeof buffer)) + ".";
}

void RaiseSocketError(int error) {
  throw EIdSocketError(error, Format(kMsgSocketError, {error, SocketErrorText(error)}));
}

namespace {

// The IPv4 address of `host`: a dotted address as it is, otherwise the resolver's first.
in_addr ResolveHost(const std::string& host) {
  in_addr address{};
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc == EAI_SYSTEM) RaiseSocketError(errno);
  if (rc != 0 || !found) RaiseSocketError(rc != 0 ? rc : EAI_NONAME);
  address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return address;
}

}  // namespace

TIdIOHandlerSocket::~TIdIOHandlerSocket() { TIdIOHandlerSocket::Close(); }

TIdIOHandlerSocket::Deadline TIdIOHandlerSocket::DeadlineFromNow(int ms) const {
  if (ms <= 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(ms);
}

void TIdIOHandlerSocket::Open(const std::string& host, int port) {
  Close();
  if (port < 1 || port > 65535) RaiseSocketError(EINVAL);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<std::uint16_t>(port));
  target.sin_addr = ResolveHost(host);

  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) RaiseSocketError(errno);
  int error = 0;
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
    error = errno;
    if (error == EINPROGRESS) {
      try {
        WaitFor(POLLOUT, DeadlineFromNow(connectTimeout_));
        socklen_t length = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
      } catch (const EIdReadTimeout&) {
        error = ETIMEDOUT;
      } catch (...) {
        Close();
        throw;
      }
    }
  }
  if (error != 0) {
    Close();
    RaiseSocketError(error);
  }
}

void TIdIOHandlerSocket::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  input_.clear();
}

void TIdIOHandlerSocket::WaitFor(short events, const Deadline& deadline) const {
  pollfd p{fd_, events, 0};
  while (true) {
    int timeout = -1;
    if (deadline) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
      if (left <= 0) throw EIdReadTimeout(kMsgReadTimeout);
      timeout = static_cast<int>(left);
    }
    int r = ::poll(&p, 1, timeout);
    if (r > 0) return;  // ready, or an error the next call reports
    if (r < 0 && errno != EINTR) RaiseSocketError(errno);
  }
}

std::size_t TIdIOHandlerSocket::ReadSome(char* buffer, std::size_t size,
                                         const Deadline& deadline) {
  while (true) {
    ssize_t n = ::recv(fd_, buffer, size, 0);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) WaitFor(POLLIN, deadline);
    else if (errno != EINTR) RaiseSocketError(errno);
  }
}

void TIdIOHandlerSocket::WriteAll(std::string_view data, const Deadline& deadline) {
  while (!data.empty()) {
    ssize_t n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (n > 0) data.remove_prefix(static_cast<std::size_t>(n));
    else if (errno == EAGAIN || errno == EWOULDBLOCK) WaitFor(POLLOUT, deadline);
    else if (errno != EINTR) RaiseSocketError(errno);
  }
}

void TIdIOHandlerSocket::Write(std::string_view data) {
  if (!Connected()) throw EIdNotConnected(kMsgNotConnected);
  try {
    WriteAll(data, DeadlineFromNow(readTimeout_));
  } catch (...) {
    Close();
    throw;
  }
}

std::string TIdIOHandlerSocket::ReadLn() {
  if (!Connected()) throw EIdNotConnected(kMsgNotConnected);
  try {
    Deadline deadline = DeadlineFromNow(readTimeout_);
    std::size_t scanned = 0;
    while (true) {
      std::size_t lf = input_.find('\n', scanned);
      if (lf != std::string::npos) {
        std::size_t end = lf > 0 && input_[lf - 1] == '\r' ? lf - 1 : lf;
        if (end > maxLineLength_) {
          if (maxLineAction_ == maException)
            throw EIdReadLnMaxLineLengthExceeded(kMsgMaxLineLengthExceeded);
          end = maxLineLength_;
          std::string piece = input_.substr(0, end);
          input_.erase(0, end);
          return piece;
        }
        std::string line = input_.substr(0, end);
        input_.erase(0, lf + 1);
        return line;
      }
      // No line end yet: more than the longest line plus a CR can only be too long.
      if (input_.size() > maxLineLength_ + 1) {
        if (maxLineAction_ == maException)
          throw EIdReadLnMaxLineLengthExceeded(kMsgMaxLineLengthExceeded);
        std::string piece = input_.substr(0, maxLineLength_);
        input_.erase(0, maxLineLength_);
        return piece;
      }
      scanned = input_.size();
      std::size_t old = input_.size();
      input_.resize(old + recvBufferSize_);
      std::size_t n = ReadSome(input_.data() + old, recvBufferSize_, deadline);
      input_.resize(old + n);
      if (n == 0) throw EIdConnClosedGracefully(kMsgConnClosedGracefully);
    }
  } catch (...) {
    Close();
    throw;
  }
}

}  // namespace qx
