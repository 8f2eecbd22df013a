// The time-out sweep: which sessions it frees, the thread that runs it at an interval, that it
// never deadlocks with requests and tag lookups working on the same sessions, and that one
// long request holds up nobody else's.
#include "server/SessionTimeoutThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "FakeApplication.h"
#include "server/Sessions.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

constexpr TDateTime kSecond = 1.0 / kSecondsPerDay;

Owned<IIWApplication> SessionWithTimeOut(const std::string& id, int minutes,
                                         FakeTracker* tracker) {
  TIWSessionStartInfo start;
  start.SessionTimeOut = minutes;
  return Owned<IIWApplication>(new TIWApplication(std::move(start), id, tracker));
}

class Sweep : public ::testing::Test {
 protected:
  IIWApplication& Register(const std::string& id, int minutes, TDateTime lastAccess) {
    IIWApplication& s = sessions_.Add(SessionWithTimeOut(id, minutes, &tracker_));
    s.Lock().Unlock();
    s.SetLastAccess(lastAccess);
    return s;
  }
  FakeTracker tracker_;
  TIWSessions sessions_;
};

TEST_F(Sweep, FreesExactlyTheSessionsIdleForTheirTimeOut) {
  TDateTime now = Now();
  Register("old01", 10, now - 600 * kSecond - kSecond);  // 10:01 idle
  Register("new01", 10, now - 599 * kSecond);            // 9:59 idle
  Register("long1", 600, now - 599 * 60 * kSecond);      // 599 of 600 minutes
  Register("zero1", 0, now);                             // expires at the first sweep
  std::vector<Owned<IIWApplication>> expired = sessions_.CollectExpired(now);
  std::vector<std::string> ids;
  for (auto& s : expired) ids.push_back(s->AppID());
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"old01", "zero1"}));
  EXPECT_EQ(sessions_.Count(), 2);
  EXPECT_EQ(sessions_.FindAndLock("old01"), nullptr);
  // Collected sessions are the caller's to free.
  EXPECT_TRUE(tracker_.freed.empty());
  FreeSessions(expired);
  EXPECT_EQ(tracker_.freed.size(), 2u);
  EXPECT_TRUE(tracker_.freedAsCurrent);
}

TEST_F(Sweep, TheSecondsOfTheTestOptionOverrideTheMinutes) {
  TDateTime now = Now();
  for (const char* id : {"secs1", "secs2"}) {
    TIWSessionStartInfo start;
    start.SessionTimeOut = 10;
    start.SessionTimeOutSeconds = 20;
    IIWApplication& s = sessions_.Add(Owned<IIWApplication>(new TIWApplication(std::move(start), id, &tracker_)));
    s.Lock().Unlock();
    s.SetLastAccess(now - (id[4] == '1' ? 19 : 21) * kSecond);
  }
  auto expired = sessions_.CollectExpired(now);
  ASSERT_EQ(expired.size(), 1u);
  EXPECT_EQ(expired[0]->AppID(), "secs2");
  FreeSessions(expired);
}

TEST_F(Sweep, EmptiesBucketsAndKeepsOrderWithinThem) {
  TDateTime now = Now();
  // One bucket ("k3x9"), three sessions; the middle one survives.
  Register("k3x9a", 0, now);
  Register("k3x9b", 10, now);
  Register("k3x9c", 0, now);
  auto expired = sessions_.CollectExpired(now);
  ASSERT_EQ(expired.size(), 2u);
  // Last entry first.
  EXPECT_EQ(expired[0]->AppID(), "k3x9c");
  EXPECT_EQ(expired[1]->AppID(), "k3x9a");
  ASSERT_NE(sessions_.FindAndLock("k3x9b"), nullptr);
  FreeSessions(expired);
}

TEST_F(Sweep, TheThreadFreesAnIdleSessionAndSparesARecentOne) {
  TDateTime now = Now();
  Register("idle1", 0, now - kSecond);
  Register("used1", 1, now);
  TSessionTimeoutThread thread(sessions_, 20ms);
  EXPECT_EQ(thread.Interval(), 20ms);
  thread.Start();
  EXPECT_TRUE(tracker_.WaitFreed("idle1", 20s));
  thread.Stop();
  EXPECT_FALSE(tracker_.WasFreed("used1"));
  EXPECT_EQ(sessions_.Count(), 1);
  EXPECT_TRUE(tracker_.freedAsCurrent);
}

TEST_F(Sweep, StoppingDoesNotWaitForTheNextSweep) {
  TSessionTimeoutThread thread(sessions_);  // a sweep a minute
  EXPECT_EQ(thread.Interval(), 60000ms);
  thread.Start();
  EXPECT_TRUE(thread.Running());
  thread.Stop();  // would take a minute if it waited for the interval
  EXPECT_FALSE(thread.Running());
}

// Requests, tag lookups and the sweep all at once on a few sessions with short time-outs: no
// deadlock, no session served by two threads at once, each expired session freed once.
TEST_F(Sweep, RequestsTagLookupsAndSweepsNeverDeadlock) {
  TDateTime now = Now();
  constexpr int kSessions = 4;
  std::vector<std::string> ids;
  for (int i = 0; i < kSessions; ++i) {
    ids.push_back("mix" + std::to_string(i));
    IIWApplication& s = Register(ids.back(), 1, now);
    s.SetSessionTag("tag" + std::to_string(i));
  }
  Register("dies1", 0, now);
  std::atomic<int> inside[kSessions] = {};
  std::atomic<int> overlaps{0};
  TSessionTimeoutThread sweeper(sessions_, 5ms);
  sweeper.Start();
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 6; ++round) {
        int i = (t + round) % kSessions;
        IIWApplication* s = (t % 2) ? sessions_.FindByTag("TAG" + std::to_string(i))
                                    : sessions_.FindAndLock(ids[static_cast<std::size_t>(i)]);
        if (!s) continue;
        if (inside[i].fetch_add(1) != 0) ++overlaps;
        std::this_thread::sleep_for(1ms);
        inside[i].fetch_sub(1);
        ReleaseSession(*s);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_TRUE(tracker_.WaitFreed("dies1", 20s));
  sweeper.Stop();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(sessions_.Count(), kSessions);
  EXPECT_EQ(tracker_.freed.size(), 1u);
}

// One request keeps its session busy (a mail to a slow server may take a minute) while the
// sweep runs, a tag lookup waits for that session and another session's request comes. The
// holder lets go as soon as the others are through, or after the parameter's duration when
// they are held up behind it (the fault this guards against); so a passing run is quick.
class BusySession : public Sweep, public ::testing::WithParamInterface<std::chrono::seconds> {};

TEST_P(BusySession, IsPassedOverByTheSweepAndDelaysNoOtherSessionsRequest) {
  const std::chrono::seconds busyFor = GetParam();
  TDateTime now = Now();
  IIWApplication& busy = Register("busy1", 0, now - kSecond);  // idle long enough, but in use
  busy.SetSessionTag("Kiosk");
  Register("other", 10, now);
  Register("gone1", 0, now - kSecond);  // freed once a sweep has got past the busy session

  std::mutex m;
  std::condition_variable othersDone;
  bool done = false;
  std::atomic<bool> released{false};
  bool releasedEarly = false;
  std::promise<void> locked;
  std::thread holder([&] {
    busy.Lock().Lock();
    locked.set_value();
    std::unique_lock guard(m);
    releasedEarly = othersDone.wait_for(guard, busyFor, [&] { return done; });
    released = true;
    ReleaseSession(busy);
  });
  locked.get_future().wait();

  TSessionTimeoutThread sweeper(sessions_, 1ms);
  sweeper.Start();
  std::atomic<bool> taggedWhileBusy{false};
  std::thread tagLookup([&] {
    // After the release it gets the session, or nothing when a sweep freed it first.
    IIWApplication* found = sessions_.FindByTag("KIOSK");
    taggedWhileBusy = found && !released.load();
    if (found) ReleaseSession(*found);
  });

  EXPECT_TRUE(tracker_.WaitFreed("gone1", busyFor + 20s));
  EXPECT_FALSE(released) << "the sweep waited for the busy session";
  IIWApplication* other = sessions_.FindAndLock("other");
  EXPECT_FALSE(released) << "another session's request waited for the busy one";
  ASSERT_NE(other, nullptr);
  ReleaseSession(*other);
  EXPECT_FALSE(tracker_.WasFreed("busy1")) << "a session in use was freed";
  {
    std::lock_guard guard(m);
    done = true;
  }
  othersDone.notify_all();
  holder.join();
  tagLookup.join();
  EXPECT_TRUE(releasedEarly);
  EXPECT_FALSE(taggedWhileBusy);
  // Idle at last, it goes at a later sweep.
  EXPECT_TRUE(tracker_.WaitFreed("busy1", 20s));
  sweeper.Stop();
  EXPECT_FALSE(tracker_.WasFreed("other"));
}

// The duration of the slow request that showed the fault; a passing run does not wait it.
INSTANTIATE_TEST_SUITE_P(ThirtySeconds, BusySession, ::testing::Values(30s));

}  // namespace
}  // namespace qx
