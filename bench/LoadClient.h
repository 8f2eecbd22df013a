// The HTTP side of the load clients (postload, soak): keep-alive connections to the host on
// 127.0.0.1, page text helpers, and a session of the application started as a browser starts it.
// Header only, so that each client builds from one source file with a plain compiler call.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace load {

inline constexpr const char* kUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 "
    "Safari/537.36";

struct Reply {
  int status = 0;
  std::string body;
};

// One keep-alive connection to 127.0.0.1:port with blocking reads of whole replies. A reply
// that does not come within `timeoutSeconds` (0: wait for ever) fails the read. An observer,
// when given, hears every reply's status and how long it took.
class Connection {
 public:
  using Observer = void (*)(int status, double seconds);

  explicit Connection(int port, int timeoutSeconds = 0, Observer observer = nullptr)
      : port_(port), timeoutSeconds_(timeoutSeconds), observer_(observer) {
    Open();
  }
  ~Connection() {
    if (fd_ >= 0) ::close(fd_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // A new connection in place of this one, as a browser opens one when the server has closed
  // an idle keep-alive connection.
  void Reopen() {
    ::close(fd_);
    pending_.clear();
    Open();
  }

  Reply Get(const std::string& target) {
    return Exchange("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " + kUserAgent + "\r\n\r\n");
  }
  Reply Post(const std::string& target, const std::string& fields) {
    return Exchange("POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " + kUserAgent +
         "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
         std::to_string(fields.size()) + "\r\n\r\n" + fields);
  }

 private:
  void Open() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (timeoutSeconds_ > 0) {
      timeval limit{timeoutSeconds_, 0};
      ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd_);
      fd_ = -1;
      throw std::runtime_error("connect failed");
    }
  }
  Reply Exchange(const std::string& request) {
    const auto start = std::chrono::steady_clock::now();
    Send(request);
    Reply reply = Read();
    if (observer_)
      observer_(reply.status, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return reply;
  }
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
      if (!Fill()) throw std::runtime_error("no reply (connection closed or timed out)");
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
    pending_.reserve(length);
    while (pending_.size() < length)
      if (!Fill()) throw std::runtime_error("connection closed inside a body");
    if (pending_.size() == length) {  // the usual case: no pipelined bytes behind the body
      reply.body = std::move(pending_);
      pending_ = std::string();
    } else {
      reply.body = pending_.substr(0, length);
      pending_.erase(0, length);
    }
    return reply;
  }

  int port_;
  int timeoutSeconds_;
  Observer observer_;
  int fd_ = -1;
  std::string pending_;
};

// Where `part` first is in `text` from `from` on, or npos. The pages are long and the parts
// looked for start with letters the markup is full of: a skipping search keeps the client's
// share of the processors small.
inline std::size_t Find(const std::string& text, const std::string& part, std::size_t from = 0) {
  if (from > text.size()) return std::string::npos;
  const void* at = ::memmem(text.data() + from, text.size() - from, part.data(), part.size());
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : std::string::npos;
}

inline std::string Between(const std::string& text, const std::string& before, const std::string& end) {
  std::size_t at = Find(text, before);
  if (at == std::string::npos) return {};
  at += before.size();
  return text.substr(at, text.find(end, at) - at);
}

inline std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = Find(text, part); at != std::string::npos; at = Find(text, part, at + part.size())) ++count;
  return count;
}

// A field value as a form posts it (application/x-www-form-urlencoded).
inline std::string UrlEncode(const std::string& value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : value) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '*') {
      encoded += static_cast<char>(c);
    } else if (c == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

// A text of the page's markup as the browser reads it (the entities the pages write).
inline std::string Unescape(std::string text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
  for (const auto& [entity, c] : kEntities)
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::strlen(entity), 1, c);
  return text;
}

// The screen a page shows: the form name its submit form posts back.
inline std::string FormName(const std::string& page) {
  return Between(page, "NAME=\"IW_FormName\" VALUE=\"", "\"");
}

// A session of the application on its own connection, started as a browser starts it: the
// probe page, then its post, which answers with the login screen.
class Session {
 public:
  explicit Session(int port, int timeoutSeconds = 0, Connection::Observer observer = nullptr)
      : c_(port, timeoutSeconds, observer) {
    Reply probe = c_.Get("/RequestQX9");
    appID_ = Between(probe.body, "name=\"IW_SessionID_\" value=\"", "\"");
    if (probe.status != 200 || appID_.size() != 28) throw std::runtime_error("no probe page");
    login_ = Accept(Post("IW_width=1000&IW_height=700&IW_TrackID_=0"), "the probe's post").body;
  }

  const std::string& AppID() const { return appID_; }
  void Reconnect() { c_.Reopen(); }
  // The login screen the probe's post answered with.
  const std::string& LoginPage() const { return login_; }

  Reply Get(const std::string& target) { return c_.Get(target); }
  // Posts the page's form: `fields` and the session's own names.
  Reply Post(const std::string& fields) {
    return c_.Post("/RequestQX9/EXEC", fields + "&IW_SessionID_=" + appID_ + "&IW_TrackID_=" + track_ +
                                           "&IW_width=1000&IW_height=700");
  }
  // Takes the page's track number, for the next post.
  const Reply& Accept(const Reply& page, const std::string& what) {
    if (page.status != 200) throw std::runtime_error(what + ": status " + std::to_string(page.status));
    track_ = Between(page.body, "NAME=\"IW_TrackID_\" VALUE=\"", "\"");
    if (track_.empty()) throw std::runtime_error(what + ": a page without its track number");
    return page;
  }

  // Signs in through the login screen: the list index and the password, then Accept.
  Reply SignIn(int user, const std::string& password) {
    // A copy: Accept answers the reference it was given, and the reply here is a temporary.
    Reply home = Accept(Post("CBUSERNAME=" + std::to_string(user) + "&EDTPASSWORD=" + UrlEncode(password) +
                             "&IW_Action=BTNACEPTAR&IW_ActionParam=&IW_FormName=frmLogin&IW_FormClass=TfrmLogin"),
                        "signing in");
    if (FormName(home.body) != "frmHome")
      throw std::runtime_error("signing in did not lead to the home screen");
    return home;
  }

 private:
  Connection c_;
  std::string appID_;
  std::string track_ = "0";
  std::string login_;
};

}  // namespace load
