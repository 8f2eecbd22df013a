// Fuzz target: the host's request path. The input goes as it is to a running host over
// loopback, then the client stops sending. The host must answer with HTTP replies or close
// the connection (never hang or crash) and keep serving the next connection.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "runtime/Files.h"
#include "support/LoopbackHost.h"
#include "support/TempDir.h"

using namespace qx;

namespace {

test::LoopbackHost& Host() {
  // Kept for the whole run: the fuzzer ends the process, not the host.
  static test::TempDir* folder = new test::TempDir;
  static test::LoopbackHost* host = [] {
    ForceDirectories(folder->path() + "Files/sub");
    WriteFileBytes(folder->path() + "Files/a.txt", "file a");
    WriteFileBytes(folder->path() + "Files/sub/B.htm", "<b>b</b>");
    host::HostOptions options = test::LoopbackOptions(QX_FUZZ_EXTENSION, folder->path() + "Files", 2);
    options.readTimeoutSeconds = 2;
    options.maxBodyBytes = 1 << 20;
    auto* h = new test::LoopbackHost;
    h->Start(options);
    return h;
  }();
  return *host;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint16_t port = Host().Port();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    __builtin_trap();  // the host stopped listening
  for (std::size_t sent = 0; sent < size;) {
    ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
    if (n <= 0) break;  // the host closed early, as it may for a bad request
    sent += static_cast<std::size_t>(n);
  }
  ::shutdown(fd, SHUT_WR);
  std::string reply;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) > 0) {
      char buffer[16384];
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;  // closed (or reset after a refusal)
      reply.append(buffer, static_cast<std::size_t>(n));
    }
    if (std::chrono::steady_clock::now() > deadline) __builtin_trap();  // neither answer nor close
  }
  ::close(fd);
  if (!reply.empty() && reply.rfind("HTTP/1.", 0) != 0) __builtin_trap();
  return 0;
}
