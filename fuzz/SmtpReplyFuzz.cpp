// Fuzz target: the SMTP client's reply reader over a whole mail session. A loopback server
// answers every command with the input's bytes (then closes); the client connects, greets,
// authenticates, sends a message and quits, and must end with success or one of its own
// failures, never a crash, a hang or a leak.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <thread>

#include "mail/MailExceptions.h"
#include "mail/Message.h"
#include "mail/SMTP.h"

using namespace qx;

namespace {

// A listening socket on 127.0.0.1 with the port the system chose.
int Listen(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(fd, 4) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    __builtin_trap();
  port = ntohs(address.sin_port);
  return fd;
}

// One connection: the replies, then the end of sending; what the client says is read and
// dropped until it closes.
void Serve(int listener, const std::string& replies) {
  int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  ::send(fd, replies.data(), replies.size(), MSG_NOSIGNAL);
  ::shutdown(fd, SHUT_WR);
  char sink[4096];
  while (::recv(fd, sink, sizeof sink, 0) > 0) {
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int port = 0;
  static int listener = Listen(port);
  std::thread server(Serve, listener, std::string(reinterpret_cast<const char*>(data), size));
  {
    TIdSMTP smtp;
    smtp.SetHost("127.0.0.1");
    smtp.SetPort(port);
    smtp.SetConnectTimeout(5000);
    smtp.SetReadTimeout(5000);
    smtp.SetUsername("service@example.org");
    smtp.SetPassword("secret");
    smtp.SetPipeLine(size % 2 == 0);
    TIdMessage message;
    message.From().SetText("Service <service@example.org>");
    message.Recipients().SetAddressListText("ana@example.org, Bob <bob@example.org>");
    message.CCList().SetAddressListText("carl@example.org");
    message.SetSubject("Request 12");
    message.Body().Add("Line one");
    message.Body().Add(".leading dot");
    try {
      smtp.OpenSession();
      smtp.SecureAndAuthenticate();
      smtp.TransferMessage(message);
      smtp.CloseSession();
    } catch (const EIdException&) {
    }
  }  // the client's socket closes here, so the server's drain ends
  server.join();
  return 0;
}
