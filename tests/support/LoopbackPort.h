// A loopback port that nobody listens on, for tests of refused connections.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qx::test {

// The system picks a free port for a socket that is closed again at once, so connecting to
// 127.0.0.1 on it is refused.
inline int UnusedLoopbackPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&a), length) == 0 &&
                     ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0;
  ::close(s);
  return bound ? ntohs(a.sin_port) : 0;
}

}  // namespace qx::test
