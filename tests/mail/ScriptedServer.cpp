// The scripted SMTP peer: one connection, steps run in order on a thread of its own.
// Every wait is bounded so that a client that misbehaves fails the test instead of hanging.
#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qx::test {

namespace {
constexpr int kServerWaitMs = 10000;

bool WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  int r;
  do {
    r = ::poll(&p, 1, kServerWaitMs);
  } while (r < 0 && errno == EINTR);
  return r > 0;
}
}  // namespace

ScriptedServer::ScriptedServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 4) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
}

ScriptedServer::~ScriptedServer() {
  Finish();
  if (listener_ >= 0) ::close(listener_);
}

ScriptedServer& ScriptedServer::SendRaw(std::string bytes) {
  steps_.push_back([this, bytes] {
    std::string_view rest = bytes;
    while (!rest.empty()) {
      ssize_t n = ::send(client_, rest.data(), rest.size(), MSG_NOSIGNAL);
      if (n <= 0) {
        failure_ = "could not send to the client";
        return false;
      }
      rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  });
  return *this;
}

ScriptedServer& ScriptedServer::Send(std::string line) { return SendRaw(line + "\r\n"); }

ScriptedServer& ScriptedServer::Expect(std::string expected) {
  steps_.push_back([this, expected] {
    std::string line;
    if (!ReadLine(line)) {
      failure_ = "expected \"" + expected + "\", the client sent nothing more";
      return false;
    }
    if (line != expected) {
      failure_ = "expected \"" + expected + "\", got \"" + line + "\"";
      return false;
    }
    return true;
  });
  return *this;
}

ScriptedServer& ScriptedServer::ExpectPrefix(std::string prefix) {
  steps_.push_back([this, prefix] {
    std::string line;
    if (!ReadLine(line) || line.rfind(prefix, 0) != 0) {
      failure_ = "expected a line starting \"" + prefix + "\", got \"" + line + "\"";
      return false;
    }
    return true;
  });
  return *this;
}

ScriptedServer& ScriptedServer::ReceiveData() {
  steps_.push_back([this] {
    std::string line;
    while (ReadLine(line)) {
      if (line == ".") return true;
      data_.push_back(line);
    }
    failure_ = "the data did not end with \".\"";
    return false;
  });
  return *this;
}

ScriptedServer& ScriptedServer::Close() {
  steps_.push_back([this] {
    ::close(client_);
    client_ = -1;
    return false;
  });
  return *this;
}

ScriptedServer& ScriptedServer::Silent() {
  steps_.push_back([this] {
    std::string line;
    while (ReadLine(line)) {
    }
    return false;
  });
  return *this;
}

ScriptedServer& ScriptedServer::Greet(const std::vector<std::string>& extensions) {
  Send("220 scripted.test ESMTP ready");
  ExpectPrefix("EHLO ");
  if (extensions.empty()) return Send("250 scripted.test");
  Send("250-scripted.test");
  for (std::size_t i = 0; i < extensions.size(); ++i)
    Send((i + 1 < extensions.size() ? "250-" : "250 ") + extensions[i]);
  return *this;
}

void ScriptedServer::Start() { thread_ = std::thread([this] { Run(); }); }

void ScriptedServer::Finish() {
  if (thread_.joinable()) thread_.join();
}

bool ScriptedServer::ReadLine(std::string& line) {
  while (true) {
    std::size_t lf = input_.find('\n');
    if (lf != std::string::npos) {
      line = input_.substr(0, lf > 0 && input_[lf - 1] == '\r' ? lf - 1 : lf);
      input_.erase(0, lf + 1);
      received_.push_back(line);
      return true;
    }
    if (client_ < 0 || !WaitReadable(client_)) return false;
    char buffer[4096];
    ssize_t n = ::recv(client_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    input_.append(buffer, static_cast<std::size_t>(n));
  }
}

void ScriptedServer::Run() {
  if (!WaitReadable(listener_)) {
    failure_ = "no client connected";
    return;
  }
  client_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client_ < 0) {
    failure_ = "accept failed";
    return;
  }
  for (auto& step : steps_)
    if (!step()) break;
  if (client_ >= 0) ::close(client_);
  client_ = -1;
}

}  // namespace qx::test
