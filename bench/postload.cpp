// Load client of the post benchmarks: sessions on keep-alive connections of their own, each
// starting as a browser does (start page, then the probe page's post), then posting a screen again
// and again and checking every page; the same client fetches a static file the same way, so that
// the numbers compared come from one client.
//
//   postload login  --port P --sessions N --seconds S [--save FILE]
//       posts the login screen's Accept with the current track number and a password but no
//       user chosen: every post re-renders the login screen with its alert and the typed text.
//   postload home   --port P --sessions N --seconds S --password PW [--user I] --expect TEXT
//                   --count C [--save FILE]
//       signs in through the login screen (list index I, 0 by default), then posts the home
//       screen's Update button as the browser does, each page holding TEXT C times.
//   postload static --port P --sessions N --seconds S --path PATH
//   postload signin --port P --sessions N --password PW [--user I]
//       signs N sessions in (eight at a time) and leaves them idle on the host.
//
// Prints "cycles N seconds S rate R" (rate = completed cycles, or sessions signed in, per second).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
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

std::string Between(const std::string& text, const std::string& before, const std::string& end) {
  std::size_t at = text.find(before);
  if (at == std::string::npos) return {};
  at += before.size();
  return text.substr(at, text.find(end, at) - at);
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// A field value as a form posts it (application/x-www-form-urlencoded).
std::string UrlEncode(const std::string& value) {
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
std::string Unescape(std::string text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
  for (const auto& [entity, c] : kEntities)
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::strlen(entity), 1, c);
  return text;
}

struct Options {
  std::string mode;
  int port = 0;
  int sessions = 8;
  double seconds = 10;
  std::string save, path, password, expect;
  int user = 0;
  std::size_t count = 0;
};

std::atomic<long> cycles{0};
std::atomic<bool> running{true};
std::mutex failureLock;
std::string failure;

void Fail(const std::string& what) {
  std::lock_guard guard(failureLock);
  if (failure.empty()) failure = what;
  running = false;
}

// A session of the application on its own connection, started as a browser starts it.
class Session {
 public:
  explicit Session(int port) : c_(port) {
    Reply probe = c_.Get("/RequestQX9");
    appID_ = Between(probe.body, "name=\"IW_SessionID_\" value=\"", "\"");
    if (probe.status != 200 || appID_.size() != 28) throw std::runtime_error("no probe page");
    Accept(Post("IW_width=1000&IW_height=700&IW_TrackID_=0"), "the probe's post");
  }

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
  Reply SignIn(const Options& o) {
    const Reply& home = Accept(Post("CBUSERNAME=" + std::to_string(o.user) + "&EDTPASSWORD=" +
                                    UrlEncode(o.password) + "&IW_Action=BTNACEPTAR&IW_ActionParam="
                                    "&IW_FormName=frmLogin&IW_FormClass=TfrmLogin"),
                               "signing in");
    if (home.body.find("NAME=\"IW_FormName\" VALUE=\"frmHome\"") == std::string::npos)
      throw std::runtime_error("signing in did not lead to the home screen");
    return home;
  }

 private:
  Connection c_;
  std::string appID_;
  std::string track_ = "0";
};

void LoginSession(const Options& o, int index) {
  Session s(o.port);
  Reply page;
  for (long n = 0; running; ++n) {
    const std::string text = "s" + std::to_string(index) + "n" + std::to_string(n);
    page = s.Accept(s.Post("CBUSERNAME=-1&EDTPASSWORD=" + text + "&IW_Action=BTNACEPTAR&IW_ActionParam="
                           "&IW_FormName=frmLogin&IW_FormClass=TfrmLogin"),
                    "login post");
    if (page.body.find("NAME=\"EDTPASSWORD\" VALUE=\"" + text + "\"") == std::string::npos ||
        page.body.find(kSelectUserAlert) == std::string::npos)
      throw std::runtime_error("post " + std::to_string(n) + " of session " + std::to_string(index) +
                               " did not show its text");
    ++cycles;
  }
  if (index == 0 && !o.save.empty()) std::ofstream(o.save, std::ios::binary) << page.body;
}

// The home screen's Update: the browser's script copies the page's fields into its submit form
// (the details region's size and the comments' text) and posts it naming the image button,
// with no position (the script submits, not the image input).
void HomeSession(const Options& o, int index) {
  Session s(o.port);
  Reply page = s.SignIn(o);
  for (long n = 0; running; ++n) {
    const std::string fields =
        "REGDETALLES_data=" + UrlEncode(Between(page.body, "NAME=\"REGDETALLES_data\" VALUE=\"", "\"")) +
        "&DBMMCOMMENTS=" + UrlEncode(Unescape(Between(page.body, "ID=\"DBMMCOMMENTS\">", "</textarea>"))) +
        "&IW_Action=BTNACTUALIZAR&IW_ActionParam=&IW_FormName=frmHome&IW_FormClass=TfrmHome";
    page = s.Accept(s.Post(fields), "update post");
    if (Occurrences(page.body, o.expect) != o.count)
      throw std::runtime_error("update " + std::to_string(n) + " of session " + std::to_string(index) + " shows " +
                               std::to_string(Occurrences(page.body, o.expect)) + " times \"" + o.expect + "\"");
    ++cycles;
  }
  if (index == 0 && !o.save.empty()) std::ofstream(o.save, std::ios::binary) << page.body;
}

void StaticSession(const Options& o, int) {
  Connection c(o.port);
  while (running) {
    Reply reply = c.Get(o.path);
    if (reply.status != 200) throw std::runtime_error("static file: status " + std::to_string(reply.status));
    ++cycles;
  }
}

// Signs sessions in until `total` are, each then left idle (its connection closed).
void SignInSessions(const Options& o, int) {
  while (running && cycles.fetch_add(1) < o.sessions) Session(o.port).SignIn(o);
}

Options Parse(int argc, char** argv) {
  if (argc < 2) throw std::invalid_argument("no mode");
  Options o;
  o.mode = argv[1];
  for (int i = 2; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc) throw std::invalid_argument(name + " needs a value");
    const std::string value = argv[i + 1];
    if (name == "--port") o.port = std::stoi(value);
    else if (name == "--sessions") o.sessions = std::stoi(value);
    else if (name == "--seconds") o.seconds = std::stod(value);
    else if (name == "--save") o.save = value;
    else if (name == "--path") o.path = value;
    else if (name == "--user") o.user = std::stoi(value);
    else if (name == "--password") o.password = value;
    else if (name == "--expect") o.expect = value;
    else if (name == "--count") o.count = std::stoul(value);
    else throw std::invalid_argument("unknown option " + name);
  }
  if (o.port <= 0 || o.sessions <= 0) throw std::invalid_argument("--port and --sessions are needed");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  void (*run)(const Options&, int) = nullptr;
  try {
    o = Parse(argc, argv);
    if (o.mode == "login") run = LoginSession;
    else if (o.mode == "home" && !o.expect.empty() && o.count > 0) run = HomeSession;
    else if (o.mode == "static" && !o.path.empty()) run = StaticSession;
    else if (o.mode == "signin") run = SignInSessions;
    else throw std::invalid_argument("unknown mode or missing options for " + o.mode);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "postload: %s\nusage: see the head of postload.cpp\n", e.what());
    return 2;
  }

  // Signing in runs eight sessions at a time until all are in; the others run one per session
  // for the given time.
  const bool signIn = o.mode == "signin";
  const int threadCount = signIn ? std::min(o.sessions, 8) : o.sessions;
  std::vector<std::thread> threads;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < threadCount; ++i)
    threads.emplace_back([&o, run, i] {
      try {
        run(o, i);
      } catch (const std::exception& e) {
        Fail(e.what());
      }
    });
  if (!signIn) {
    const auto deadline = start + std::chrono::duration<double>(o.seconds);
    while (running && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    running = false;
  }
  for (std::thread& t : threads) t.join();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!failure.empty()) {
    std::fprintf(stderr, "postload: %s\n", failure.c_str());
    return 1;
  }
  const long done = signIn ? std::min<long>(cycles, o.sessions) : cycles.load();
  std::printf("cycles %ld seconds %.2f rate %.0f\n", done, elapsed, done / elapsed);
  return 0;
}
