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
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "LoadClient.h"

namespace {

using namespace load;

// The login's answer to Accept with no user chosen.
constexpr const char* kSelectUserAlert = "window.alert(\"Select a user name from the list.\");";

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
  Reply page = s.SignIn(o.user, o.password);
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
  while (running && cycles.fetch_add(1) < o.sessions) Session(o.port).SignIn(o.user, o.password);
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
