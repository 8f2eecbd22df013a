// Load client of the post benchmark: N sessions, each on its own keep-alive connection, start
// (size probe page), post the probe, then post the login screen's Accept again and again with
// the current track number and a password but no user chosen, so that every post re-renders
// the login screen with its alert and the typed text, checking every page. The same client fetches a static file the
// same way, so that both numbers come from one client.
//
//   postload post   PORT SESSIONS SECONDS [SAVE_PAGE_TO]
//   postload static PORT SESSIONS SECONDS PATH
//
// Prints "cycles N seconds S rate R" (rate = completed cycles per second).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 "
    "Safari/537.36";

// The login's answer to Accept with no user chosen.
constexpr const char* kSelectUserAlert = "window.alert(\"Select a user name from the list.\");";

struct Reply {
  int status = 0;
  std::string body;
};

// One keep-alive connection to 127.0.0.1:port with blocking reads of whole replies.
class Connection {
 public:
  explicit Connection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("connect failed");
  }
  ~Connection() { ::close(fd_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Reply Get(const std::string& target) {
    Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " + kUserAgent + "\r\n\r\n");
    return Read();
  }
  Reply Post(const std::string& target, const std::string& fields) {
    Send("POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " + kUserAgent +
         "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
         std::to_string(fields.size()) + "\r\n\r\n" + fields);
    return Read();
  }

 private:
  void Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) throw std::runtime_error("send failed");
      sent += static_cast<std::size_t>(n);
    }
  }
  bool Fill() {
    char buffer[65536];
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  Reply Read() {
    std::size_t end;
    while ((end = pending_.find("\r\n\r\n")) == std::string::npos)
      if (!Fill()) throw std::runtime_error("connection closed before a reply");
    const std::string head = pending_.substr(0, end);
    Reply reply;
    reply.status = std::stoi(head.substr(9, 3));
    std::size_t length = 0;
    bool hasLength = false;
    for (std::size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) {
      std::string line = head.substr(at + 2, head.find("\r\n", at + 2) - at - 2);
      for (std::size_t i = 0; i < line.size() && line[i] != ':'; ++i) line[i] = static_cast<char>(std::tolower(line[i]));
      if (line.rfind("content-length:", 0) == 0) {
        length = std::stoul(line.substr(15));
        hasLength = true;
      } else if (line.rfind("transfer-encoding:", 0) == 0) {
        throw std::runtime_error("chunked replies are not expected here");
      }
    }
    if (!hasLength) throw std::runtime_error("a reply without Content-Length");
    pending_.erase(0, end + 4);
    while (pending_.size() < length)
      if (!Fill()) throw std::runtime_error("connection closed inside a body");
    reply.body = pending_.substr(0, length);
    pending_.erase(0, length);
    return reply;
  }

  int fd_;
  std::string pending_;
};

std::string Between(const std::string& text, const std::string& before, char end) {
  std::size_t at = text.find(before);
  if (at == std::string::npos) return {};
  at += before.size();
  return text.substr(at, text.find(end, at) - at);
}

std::atomic<long> cycles{0};
std::atomic<bool> running{true};
std::mutex failureLock;
std::string failure;

void Fail(const std::string& what) {
  std::lock_guard guard(failureLock);
  if (failure.empty()) failure = what;
  running = false;
}

void PostSession(int port, int index, const std::string& saveTo) {
  try {
    Connection c(port);
    Reply probe = c.Get("/RequestQX9");
    const std::string appID = Between(probe.body, "name=\"IW_SessionID_\" value=\"", '"');
    if (probe.status != 200 || appID.size() != 28) throw std::runtime_error("no probe page");
    Reply page = c.Post("/RequestQX9/EXEC", "IW_width=1000&IW_height=700&IW_SessionID_=" + appID +
                                                "&IW_TrackID_=0");
    std::string track = Between(page.body, "NAME=\"IW_TrackID_\" VALUE=\"", '"');
    for (long n = 0; running; ++n) {
      const std::string text = "s" + std::to_string(index) + "n" + std::to_string(n);
      page = c.Post("/RequestQX9/EXEC",
                    "CBUSERNAME=-1&EDTPASSWORD=" + text + "&IW_Action=BTNACEPTAR&IW_ActionParam="
                    "&IW_FormName=frmLogin&IW_FormClass=TfrmLogin&IW_SessionID_=" + appID +
                    "&IW_TrackID_=" + track + "&IW_width=1000&IW_height=700");
      if (page.status != 200 ||
          page.body.find("NAME=\"EDTPASSWORD\" VALUE=\"" + text + "\"") == std::string::npos ||
          page.body.find(kSelectUserAlert) == std::string::npos)
        throw std::runtime_error("post " + std::to_string(n) + " of session " + std::to_string(index) +
                                 " did not show its text");
      track = Between(page.body, "NAME=\"IW_TrackID_\" VALUE=\"", '"');
      ++cycles;
    }
    if (index == 0 && !saveTo.empty()) std::ofstream(saveTo, std::ios::binary) << page.body;
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

void StaticSession(int port, const std::string& path, std::size_t& size) {
  try {
    Connection c(port);
    while (running) {
      Reply reply = c.Get(path);
      if (reply.status != 200) throw std::runtime_error("static file: status " + std::to_string(reply.status));
      size = reply.body.size();
      ++cycles;
    }
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: postload post|static PORT SESSIONS SECONDS [FILE|PATH]\n");
    return 2;
  }
  const std::string mode = argv[1];
  const int port = std::stoi(argv[2]);
  const int sessions = std::stoi(argv[3]);
  const double seconds = std::stod(argv[4]);
  const std::string extra = argc > 5 ? argv[5] : "";

  std::vector<std::size_t> sizes(static_cast<std::size_t>(sessions));
  std::vector<std::thread> threads;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < sessions; ++i) {
    if (mode == "post") threads.emplace_back(PostSession, port, i, extra);
    else threads.emplace_back(StaticSession, port, extra, std::ref(sizes[static_cast<std::size_t>(i)]));
  }
  const auto deadline = start + std::chrono::duration<double>(seconds);
  while (running && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  running = false;
  for (std::thread& t : threads) t.join();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!failure.empty()) {
    std::fprintf(stderr, "postload: %s\n", failure.c_str());
    return 1;
  }
  std::printf("cycles %ld seconds %.2f rate %.0f\n", cycles.load(), elapsed, cycles / elapsed);
  return 0;
}
