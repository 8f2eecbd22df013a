// Soak client: simulated people using the staged service for minutes, each on a connection of
// its own, while the host's memory, descriptors and live sessions are sampled every minute.
//
//   soak --port P --host-pid PID --cache DIR --people N --minutes M --timeout-seconds T
//        [--staff U] [--mails DIR] [--think-ms MIN-MAX] [--seed S]
//
// Visit after visit, a person signs in as one of the staff, "Soak Person u" (password "soak") for
// a u drawn from 1 to U (--staff, the people when not given), and runs a random script with think
// times: browse the request list and the notes, update, remind, cancel,
// report (with typed recipients or none, now and then first with an empty description),
// configure the day window (now and then first with a refused value), send a request by
// e-mail (now and then first with no recipient); then signs out, or walks away leaving the
// session to its time-out. Every reply is checked: its status, the screen it shows, the alert
// expected or none. DIR is the host's cache folder, where every live session has a folder
// named by its session id ("user/<id>"): that is how sessions are counted and how each
// abandoned session is seen freed. With --mails (the SMTP peer's folder) the mails that arrived
// are compared with those sent. Prints a line per minute and the verdicts; exit status 0 when
// every target is met.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "SoakPage.h"

namespace {

using namespace load;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Options {
  int port = 0;
  int hostPid = 0;
  std::string cache, mails;
  int people = 200;
  int staff = 0;  // users to sign in as; --people when not given
  double minutes = 5;
  int timeoutSeconds = 20;  // the host's SessionTimeoutSeconds
  int thinkMin = 1000, thinkMax = 5000;  // milliseconds
  unsigned seed = 1;
};

// An unexpected reply: the visit ends there, as a person would give up.
struct CheckFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::atomic<bool> running{true};

// How often the host's sweep looks under its SessionTimeoutSeconds: a quarter of it, from 1 to 60 s.
int SweepSeconds(int timeoutSeconds) { return std::clamp(timeoutSeconds / 4, 1, 60); }

// ---- what the people did and saw -------------------------------------------------------------

class Tally {
 public:
  void Reply(int status, double seconds) {
    std::lock_guard guard(lock_);
    ++statuses_[status];
    minute_.push_back(seconds * 1000);
    all_.push_back(seconds * 1000);
  }
  void Count(const std::string& what, long n = 1) {
    std::lock_guard guard(lock_);
    counts_[what] += n;
  }
  void Failure(const std::string& what) {
    std::lock_guard guard(lock_);
    ++counts_["check failures"];
    if (failures_.size() < 10) failures_.push_back(what);
  }
  long Get(const std::string& what) {
    std::lock_guard guard(lock_);
    return counts_[what];
  }
  // The requests and replies by status so far, and the latencies since the last call.
  std::string Minute(long& requests, std::vector<double>& latencies) {
    std::lock_guard guard(lock_);
    std::string byStatus;
    requests = 0;
    for (const auto& [status, n] : statuses_) {
      byStatus += (byStatus.empty() ? "" : " ") + std::to_string(status) + ":" + std::to_string(n);
      requests += n;
    }
    latencies.swap(minute_);
    minute_.clear();
    return byStatus;
  }
  long FiveHundreds() {
    std::lock_guard guard(lock_);
    long n = 0;
    for (const auto& [status, count] : statuses_) n += status >= 500 ? count : 0;
    return n;
  }
  std::vector<double> All() {
    std::lock_guard guard(lock_);
    return all_;
  }
  std::map<std::string, long> Counts() {
    std::lock_guard guard(lock_);
    return counts_;
  }
  std::vector<std::string> Failures() {
    std::lock_guard guard(lock_);
    return failures_;
  }

 private:
  std::mutex lock_;
  std::map<int, long> statuses_;
  std::map<std::string, long> counts_;
  std::vector<double> minute_, all_;
  std::vector<std::string> failures_;
};

Tally tally;

void Observe(int status, double seconds) { tally.Reply(status, seconds); }

// ---- sessions seen from outside: their folders in the host's cache ------------------------------

class SessionWatch {
 public:
  explicit SessionWatch(std::string userFolder) : folder_(std::move(userFolder)) {}

  // A session left at `last` (its last reply), signed out or abandoned.
  void Left(const std::string& appID, Clock::time_point last, bool signedOut) {
    std::lock_guard guard(lock_);
    left_.push_back({appID, last, signedOut, {}});
  }
  // Notes which of the sessions left are gone; run every second.
  void Look() {
    std::lock_guard guard(lock_);
    const auto now = Clock::now();
    std::error_code ec;
    for (Session& s : left_)
      if (!s.freed && !fs::exists(folder_ + s.appID, ec)) s.freed = now;
  }
  long Live() const {
    std::error_code ec;
    long n = 0;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
  }
  bool AllFreed() {
    std::lock_guard guard(lock_);
    return std::all_of(left_.begin(), left_.end(), [](const Session& s) { return s.freed.has_value(); });
  }
  // The verdict on freeing: signed-out sessions at once, abandoned ones no earlier than their
  // time-out and no later than one sweep after it.
  bool Verdict(int timeoutSeconds, std::string& detail) {
    std::lock_guard guard(lock_);
    const double timeout = timeoutSeconds, sweep = SweepSeconds(timeoutSeconds);
    long abandoned = 0, signedOut = 0, early = 0, late = 0, kept = 0, slowSignOut = 0;
    double first = 1e9, lastFreed = 0;
    for (const Session& s : left_) {
      if (!s.freed) {
        ++kept;
        continue;
      }
      const double after = std::chrono::duration<double>(*s.freed - s.last).count();
      if (s.signedOut) {
        ++signedOut;
        if (after > 2.5) ++slowSignOut;
        continue;
      }
      ++abandoned;
      first = std::min(first, after);
      lastFreed = std::max(lastFreed, after);
      // The watch looks once a second; a sweep may start a moment late.
      if (after < timeout - 1) ++early;
      if (after > timeout + sweep + 3) ++late;
    }
    char text[400];
    std::snprintf(text, sizeof text,
                  "%ld abandoned sessions freed %.0f to %.0f s after their last reply (window %.0f to "
                  "%.0f s): %ld early, %ld late, %ld never; %ld signed-out sessions freed, %ld of "
                  "them after more than 2.5 s",
                  abandoned, abandoned ? first : 0.0, lastFreed, timeout, timeout + sweep, early, late, kept,
                  signedOut, slowSignOut);
    detail = text;
    return early == 0 && late == 0 && kept == 0 && slowSignOut == 0;
  }

 private:
  struct Session {
    std::string appID;
    Clock::time_point last;
    bool signedOut;
    std::optional<Clock::time_point> freed;
  };
  std::string folder_;
  std::mutex lock_;
  std::vector<Session> left_;
};

// ---- one person --------------------------------------------------------------------------------

class Person {
 public:
  Person(const Options& o, SessionWatch& watch, int index)
      : o_(o), watch_(watch), index_(index), random_(o.seed * 1000003u + static_cast<unsigned>(index)) {}

  void Run() {
    // People arrive over the first half minute, not all at once.
    if (!Think(Uniform(0, 30000))) return;
    while (running) {
      Visit();
      if (!Think(Uniform(o_.thinkMin, o_.thinkMax * 2))) return;
    }
  }

 private:
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Uniform(1, 100) <= percent; }
  // Waits like a reading person; false once the run is over.
  bool Think(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (running && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return running;
  }
  bool Think() { return Think(Uniform(o_.thinkMin, o_.thinkMax)); }

  // Posts and checks: status 200, the screen `form`, and the alert `alert` (none when empty).
  Page Post(const std::string& fields, const std::string& form, const std::string& alert = "") {
    // The host closes keep-alive connections idle for 30 s; a browser then opens a new one.
    if (Clock::now() - last_ > std::chrono::seconds(20)) session_->Reconnect();
    const load::Reply reply = session_->Post(fields);
    last_ = Clock::now();
    if (reply.status != 200) throw CheckFailure(Where(form) + ": status " + std::to_string(reply.status));
    session_->Accept(reply, Where(form));
    Page page(reply.body);
    if (page.Form() != form) throw CheckFailure(Where(form) + ": the page is \"" + page.Form() + "\"");
    if (page.Alert().find(alert) == std::string::npos || (alert.empty() && !page.Alert().empty()))
      throw CheckFailure(Where(form) + ": alert \"" + page.Alert() + "\", expected \"" + alert + "\"");
    return page;
  }
  std::string Where(const std::string& form) const {
    return "person " + std::to_string(index_) + ", " + step_ + " (expecting " + form + ")";
  }

  void Visit() {
    bool signedOut = false;
    try {
      step_ = "starting a session";
      session_.emplace(o_.port, 60, Observe);
      last_ = Clock::now();
      tally.Count("visits");
      Page login(session_->LoginPage());
      const std::vector<std::string> names = login.Options("CBUSERNAME");
      const int user = Uniform(1, std::max(o_.staff, o_.people));
      const auto me = std::find(names.begin(), names.end(), "Soak Person " + std::to_string(user));
      if (login.Form() != "frmLogin" || me == names.end())
        throw CheckFailure(Where("frmLogin") + ": no login screen listing this person");
      if (!Think()) return Leave(false);
      step_ = "signing in";
      // The list's first entry is its "-- User name --" prompt.
      Page home = Post(login.Post({{"CBUSERNAME", std::to_string(me - names.begin() - 1)}, {"EDTPASSWORD", "soak"}},
                                  "BTNACEPTAR"),
                       "frmHome");
      for (int n = Uniform(4, 16); n > 0 && Think(); --n) home = Act(home);
      if (running && Chance(70)) {
        step_ = "signing out";
        const load::Reply bye = session_->Post(home.Post({}, "LNKLOGOUTFRAENCABEZADO1"));
        last_ = Clock::now();
        if (bye.status != 200 || bye.body.find("URL=/\"") == std::string::npos)
          throw CheckFailure(Where("a redirect to /") + ": status " + std::to_string(bye.status));
        signedOut = true;
        tally.Count("sign-outs");
        // The browser follows the redirect; "/" sends it on to a new session.
        const load::Reply root = session_->Get("/");
        if (root.status / 100 != 3) throw CheckFailure(Where("a redirect") + ": / answered " + std::to_string(root.status));
      }
    } catch (const CheckFailure& e) {
      tally.Failure(e.what());
    } catch (const std::exception& e) {
      tally.Failure(Where("a reply") + ": " + e.what());
    }
    Leave(signedOut);
  }
  void Leave(bool signedOut) {
    if (!session_) return;
    if (!signedOut) tally.Count("walk-aways");
    watch_.Left(session_->AppID(), last_, signedOut);
    session_.reset();  // the browser's window closes, and its connection with it
  }

  // One thing done on the home screen; returns the home screen afterwards.
  Page Act(const Page& home) {
    const int pick = Uniform(1, 100);
    if (pick <= 18) {
      static const char* const kMoves[] = {"BTNPRIMERA", "BTNANTERIOR", "BTNSIGUIENTE", "BTNULTIMO"};
      step_ = "browsing the requests";
      return Post(home.Post({}, kMoves[Uniform(0, 3)]), "frmHome");
    }
    if (pick <= 32) {
      static const char* const kMoves[] = {"IWIMAGEBUTTON1", "BTNAVANZAR", "BTNREGRESAR", "IWIMAGEBUTTON6"};
      step_ = "browsing the notes";
      return Post(home.Post({}, kMoves[Uniform(0, 3)]), "frmHome");
    }
    if (pick <= 40) {
      step_ = "updating";
      return Post(home.Post({}, "BTNACTUALIZAR"), "frmHome");
    }
    if (pick <= 52 && home.Enabled("BTNRECORDAR")) {
      step_ = "reminding";
      tally.Count("reminders");
      return Post(home.Post({}, "BTNRECORDAR"), "frmHome");
    }
    if (pick <= 58 && home.Enabled("BTNCANCELAR")) {
      step_ = "cancelling";
      tally.Count("cancellations");
      return Post(home.Post({}, "BTNCANCELAR"), "frmHome");
    }
    if (pick <= 76) return Report(home);
    if (pick <= 86) return Configure(home);
    if (home.Has("BTNENVIAEMAIL")) return SendByMail(home);
    step_ = "updating";
    return Post(home.Post({}, "BTNACTUALIZAR"), "frmHome");
  }

  // Adds a typed address to the screen's recipients and checks it is listed.
  Page AddRecipient(const Page& screen, std::map<std::string, std::string> typed) {
    step_ = "adding a recipient";
    const std::string address = "person" + std::to_string(Uniform(1, 40)) + "@example.com";
    typed["EDTADDEMAIL1"] = address;
    Page page = Post(screen.Post(typed, "BTNADDEMAIL1"), screen.Form());
    const std::vector<std::string> listed = page.Options("EDTEMAIL");
    if (std::find(listed.begin(), listed.end(), address) == listed.end())
      throw CheckFailure(Where(screen.Form()) + ": " + address + " is not among the recipients");
    return page;
  }

  Page Report(const Page& home) {
    step_ = "opening the report screen";
    Page screen = Post(home.Post({}, "BTNREPORTAR"), "frmServicio");
    const std::string description = "Soak fault " + std::to_string(index_) + "-" + std::to_string(++reports_);
    std::map<std::string, std::string> typed = {
        {"EDTDESCRIP", description},
        {"CBURGENT_CHECKBOX", Chance(30) ? "on" : "off"},
        {"MMCOMMENTS", Chance(50) ? "Seen this morning.\r\nSecond floor." : ""}};
    if (!Think()) return screen;
    if (Chance(10)) {
      step_ = "reporting without a description";
      auto empty = typed;
      empty["EDTDESCRIP"] = "";
      screen = Post(screen.Post(empty, "BTNACEPTAR"), "frmServicio",
                    "You must type the description of the request you want to report.");
      tally.Count("refused reports");
      if (!Think()) return screen;
    }
    const bool recipients = Chance(50);
    if (recipients) {
      for (int n = Uniform(1, 2); n > 0; --n) screen = AddRecipient(screen, typed);
      if (!Think()) return screen;
    }
    if (Chance(10)) {
      step_ = "leaving the report screen";
      return Post(screen.Post({}, "BTNCANCELAR"), "frmHome");
    }
    step_ = recipients ? "reporting with recipients" : "reporting";
    Page after = Post(screen.Post(typed, "BTNACEPTAR"), "frmHome");
    if (after.Body().find(description) == std::string::npos)
      throw CheckFailure(Where("frmHome") + ": the new request \"" + description + "\" is not listed");
    tally.Count(recipients ? "reports with recipients" : "reports without recipients");
    if (recipients) tally.Count("mails sent");
    return after;
  }

  Page Configure(const Page& home) {
    step_ = "opening the configuration";
    Page screen = Post(home.Post({}, "BTNCONFIGURAR"), "frmConfigurar");
    if (!Think()) return screen;
    if (Chance(15)) {
      step_ = "configuring 181 days";
      screen = Post(screen.Post({{"EDTOLDDAYS", "181"}}, "BTNACEPTAR"), "frmConfigurar",
                    "Maximum of 180 days allowed.");
      tally.Count("refused configurations");
      if (!Think()) return screen;
    }
    if (Chance(10)) {
      step_ = "leaving the configuration";
      return Post(screen.Post({}, "BTNCANCELAR"), "frmHome");
    }
    step_ = "configuring";
    tally.Count("configurations");
    return Post(screen.Post({{"EDTOLDDAYS", std::to_string(Uniform(0, 180))}}, "BTNACEPTAR"), "frmHome");
  }

  Page SendByMail(const Page& home) {
    step_ = "opening the send screen";
    Page screen = Post(home.Post({}, "BTNENVIAEMAIL"), "frmEnviaEmail");
    if (!Think()) return screen;
    if (Chance(15)) {
      step_ = "sending to nobody";
      screen = Post(screen.Post({}, "BTNACEPTAR"), "frmEnviaEmail", "There must be at least one E-mail recipient");
      tally.Count("refused sendings");
      if (!Think()) return screen;
    }
    screen = AddRecipient(screen, {});
    if (!Think()) return screen;
    if (Chance(10)) {
      step_ = "leaving the send screen";
      return Post(screen.Post({}, "BTNCANCELAR"), "frmHome");
    }
    step_ = "sending by e-mail";
    Page after = Post(screen.Post({}, "BTNACEPTAR"), "frmHome");
    tally.Count("sendings");
    tally.Count("mails sent");
    return after;
  }

  const Options& o_;
  SessionWatch& watch_;
  int index_;
  std::mt19937 random_;
  std::optional<load::Session> session_;
  Clock::time_point last_;
  std::string step_;
  int reports_ = 0;
};

// ---- the host from outside ---------------------------------------------------------------------

long ResidentKiB(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

long OpenDescriptors(int pid) {
  std::error_code ec;
  long n = 0;
  for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end; !ec && it != end; it.increment(ec)) ++n;
  return ec ? -1 : n;
}

double Percentile(std::vector<double>& values, double p) {
  if (values.empty()) return 0;
  const std::size_t at = std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()));
  std::nth_element(values.begin(), values.begin() + static_cast<long>(at), values.end());
  return values[at];
}

struct Sample {
  long rss, fds, live;
};

// The host's resident size, read every second: a minute's figure is the middle of its readings,
// so that one instant's requests in flight do not stand for the whole minute.
class ResidentWatch {
 public:
  void Read(int pid) {
    const long kib = ResidentKiB(pid);
    std::lock_guard guard(lock_);
    readings_.push_back(kib);
  }
  // The median, lowest and highest readings since the last call (now, when there were none).
  std::array<long, 3> Minute(int pid) {
    std::vector<long> readings;
    {
      std::lock_guard guard(lock_);
      readings.swap(readings_);
    }
    if (readings.empty()) readings.push_back(ResidentKiB(pid));
    std::sort(readings.begin(), readings.end());
    return {readings[readings.size() / 2], readings.front(), readings.back()};
  }

 private:
  std::mutex lock_;
  std::vector<long> readings_;
};

ResidentWatch resident;

Sample PrintSample(const Options& o, const SessionWatch& watch, const std::string& when) {
  long requests = 0;
  std::vector<double> latencies;
  const std::string byStatus = tally.Minute(requests, latencies);
  const double p50 = Percentile(latencies, 0.5), p90 = Percentile(latencies, 0.9), p99 = Percentile(latencies, 0.99);
  const double max = latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
  const std::array<long, 3> rss = resident.Minute(o.hostPid);
  const Sample s{rss[0], OpenDescriptors(o.hostPid), watch.Live()};
  std::printf("%-8s %8ld req  p50 %6.1f p90 %6.1f p99 %7.1f max %7.1f ms  RSS %7ld KiB (%ld-%ld)  fds %5ld  "
              "sessions %5ld  [%s]\n",
              when.c_str(), requests, p50, p90, p99, max, s.rss, rss[1], rss[2], s.fds, s.live, byStatus.c_str());
  std::fflush(stdout);
  return s;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc) throw std::invalid_argument(name + " needs a value");
    const std::string value = argv[i + 1];
    if (name == "--port") o.port = std::stoi(value);
    else if (name == "--host-pid") o.hostPid = std::stoi(value);
    else if (name == "--cache") o.cache = value;
    else if (name == "--mails") o.mails = value;
    else if (name == "--people") o.people = std::stoi(value);
    else if (name == "--staff") o.staff = std::stoi(value);
    else if (name == "--minutes") o.minutes = std::stod(value);
    else if (name == "--timeout-seconds") o.timeoutSeconds = std::stoi(value);
    else if (name == "--seed") o.seed = static_cast<unsigned>(std::stoul(value));
    else if (name == "--think-ms") {
      o.thinkMin = std::stoi(value);
      o.thinkMax = std::stoi(value.substr(value.find('-') + 1));
    } else throw std::invalid_argument("unknown option " + name);
  }
  if (o.port <= 0 || o.hostPid <= 0 || o.cache.empty() || o.people <= 0 || o.minutes <= 0 ||
      o.timeoutSeconds < 1 || o.thinkMin < 0 || o.thinkMax < o.thinkMin)
    throw std::invalid_argument("--port, --host-pid, --cache, and positive --people, --minutes and "
                                "--timeout-seconds are needed");
  if (ResidentKiB(o.hostPid) < 0) throw std::invalid_argument("no process " + std::to_string(o.hostPid));
  return o;
}

long FilesEndingIn(const std::string& folder, const std::string& suffix) {
  std::error_code ec;
  long n = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    n += name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  return n;
}

const char* Met(bool met) { return met ? "met" : "NOT MET"; }

}  // namespace

int main(int argc, char** argv) {
  Options o;
  try {
    o = Parse(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soak: %s\nusage: see the head of soak.cpp\n", e.what());
    return 2;
  }
  SessionWatch watch(o.cache + "/user/");
  std::printf("soak: %d people for %g minutes on 127.0.0.1:%d (host process %d), session time-out %d s\n",
              o.people, o.minutes, o.port, o.hostPid, o.timeoutSeconds);
  const Sample start = PrintSample(o, watch, "start");

  std::atomic<bool> watching{true};
  std::thread watcher([&] {
    while (watching) {
      watch.Look();
      resident.Read(o.hostPid);
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
  });
  std::vector<std::thread> people;
  for (int i = 1; i <= o.people; ++i)
    people.emplace_back([&o, &watch, i] { Person(o, watch, i).Run(); });

  // A line a minute while the people work, then one when they have stopped.
  const auto began = Clock::now();
  const Clock::time_point end = began + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o.minutes * 60));
  std::vector<Sample> minutes;
  for (int minute = 1; Clock::now() < end; ++minute) {
    std::this_thread::sleep_until(std::min<Clock::time_point>(end, began + std::chrono::minutes(minute)));
    if (Clock::now() < end) minutes.push_back(PrintSample(o, watch, "min " + std::to_string(minute)));
  }
  running = false;
  for (std::thread& t : people) t.join();
  minutes.push_back(PrintSample(o, watch, "end"));

  // Every session still open now was walked away from: wait for the sweeps to free them.
  const auto drainEnd = Clock::now() + std::chrono::seconds(o.timeoutSeconds + SweepSeconds(o.timeoutSeconds) + 10);
  while (Clock::now() < drainEnd && !(watch.AllFreed() && watch.Live() == 0))
    std::this_thread::sleep_for(std::chrono::seconds(1));
  watching = false;
  watcher.join();
  watch.Look();
  resident.Minute(o.hostPid);  // the drained figure is the size now, not the drain's middle
  const Sample drained = PrintSample(o, watch, "drained");

  std::printf("totals:");
  for (const auto& [what, n] : tally.Counts()) std::printf(" %s %ld;", what.c_str(), n);
  std::printf("\n");
  for (const std::string& failure : tally.Failures()) std::printf("  failure: %s\n", failure.c_str());
  std::vector<double> all = tally.All();
  std::printf("latency over the run (ms): p50 %.1f p90 %.1f p99 %.1f max %.1f over %zu requests\n",
              Percentile(all, 0.5), Percentile(all, 0.9), Percentile(all, 0.99),
              all.empty() ? 0.0 : *std::max_element(all.begin(), all.end()), all.size());

  // The verdicts. People arrive during the first minute: the minutes after it are compared with
  // the second.
  bool allMet = true;
  const auto verdict = [&](bool met, const std::string& what) {
    allMet = allMet && met;
    std::printf("verdict: %-7s %s\n", Met(met), what.c_str());
  };
  const long fiveHundreds = tally.FiveHundreds();
  verdict(fiveHundreds == 0, "no 5xx replies (" + std::to_string(fiveHundreds) + ")");
  const long failures = tally.Get("check failures");
  verdict(failures == 0, "every reply the expected status, screen and alert (" + std::to_string(failures) + " not)");
  const Sample first = minutes.front();
  long fdHigh = first.fds;
  for (const Sample& s : minutes) fdHigh = std::max(fdHigh, s.fds);
  char text[300];
  if (minutes.size() > 2) {
    const long second = minutes[1].rss;
    long rssLow = second, rssHigh = second;
    for (std::size_t m = 1; m < minutes.size(); ++m)
      rssLow = std::min(rssLow, minutes[m].rss), rssHigh = std::max(rssHigh, minutes[m].rss);
    std::snprintf(text, sizeof text, "resident memory after the first minute within 5 %% of the second's: %ld to "
                  "%ld KiB against %ld (%+.1f %%, %+.1f %%)", rssLow, rssHigh, second,
                  100.0 * (rssLow - second) / second, 100.0 * (rssHigh - second) / second);
    verdict(rssHigh <= second * 1.05 && rssLow >= second * 0.95, text);
  } else {
    std::printf("verdict: -       resident memory not judged: the run is shorter than three minutes\n");
  }
  // Descriptors follow the open connections, about one per person; a leak grows past that and
  // stays after the drain. The last sample, taken as the people leave, may be lower.
  std::snprintf(text, sizeof text, "descriptors flat: at most %ld after the first minute against %ld, %ld at the "
                "start and %ld once drained", fdHigh, first.fds, start.fds, drained.fds);
  verdict(fdHigh <= first.fds * 1.05 + 5 && drained.fds <= start.fds + 5, text);
  std::string detail;
  const bool freed = watch.Verdict(o.timeoutSeconds, detail);
  verdict(freed && drained.live == 0, "every abandoned session freed after its time-out: " + detail + "; " +
                                          std::to_string(drained.live) + " live at the end");
  if (!o.mails.empty()) {
    // The peer stores a message's envelope last; give the last mails a moment.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const long sent = tally.Get("mails sent"), arrived = FilesEndingIn(o.mails, ".env");
    verdict(sent == arrived, "every mail sent arrived: " + std::to_string(arrived) + " of " + std::to_string(sent));
  }
  return allMet ? 0 : 1;
}
