// Purging the cache folder: the names it refuses, the age rule, whole-folder removal, the
// purge thread and its folder, the controller's shut-down of both background threads, and
// the log lines of failed purges and thread runs.
#include "server/CachePurge.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "server/SessionTimeoutThread.h"
#include "support/Eventually.h"

namespace qx {
namespace {

void Age(const std::string& path, int secondsAgo) {
  std::time_t when = std::time(nullptr) - secondsAgo;
  utimbuf times{when, when};
  ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

using namespace std::chrono_literals;
using test::Eventually;

TEST(PurgeDirectory, NamesBeyondOneFolderAreRefusedBeforeAnythingGoes) {
  test::TempDir dir;
  ASSERT_TRUE(ForceDirectories(dir / "a/b"));
  ASSERT_TRUE(WriteFileBytes(dir / "a/b/old.gif", "x"));
  Age(dir / "a/b/old.gif", 3600);
  for (std::string folder : {std::string(), std::string("\\"), std::string("/"),
                             std::string("C:"), std::string("C:\\"), std::string("Z:/"),
                             std::string(".."), std::string("."), dir.path() + "a//b",
                             std::string("x\\\\y")}) {
    try {
      PurgeDirectory(folder, 1, true);
      FAIL() << folder;
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(e.Message(),
                "Assertion failed: PurgeDirectory attempts to delete \"" + folder + "\"");
    }
  }
  EXPECT_TRUE(FileExists(dir / "a/b/old.gif"));
  // A missing folder is no failure.
  PurgeDirectory(dir / "missing/", 1, false);
}

TEST(PurgeDirectory, OnlyFilesPastTheAgeGoAndFoldersStay) {
  test::TempDir dir;
  std::string cache = dir / "Cache/";
  ASSERT_TRUE(ForceDirectories(cache + "user/abc"));
  for (const char* name : {"old.gif", "new.gif", "user/abc/JPG1.tmp", "user/abc/JPG2.tmp"})
    ASSERT_TRUE(WriteFileBytes(cache + name, "x"));
  Age(cache + "old.gif", 121);
  Age(cache + "user/abc/JPG1.tmp", 300);
  Age(cache + "user/abc/JPG2.tmp", 60);
  // Outside the cache, reached through a link: never touched.
  ASSERT_TRUE(ForceDirectories(dir / "outside"));
  ASSERT_TRUE(WriteFileBytes(dir / "outside/keep.txt", "x"));
  Age(dir / "outside/keep.txt", 9999);
  std::filesystem::create_symlink(dir / "outside", cache + "link");
  PurgeDirectory(cache, 2, false);
  EXPECT_FALSE(FileExists(cache + "old.gif"));
  EXPECT_TRUE(FileExists(cache + "new.gif"));
  EXPECT_FALSE(FileExists(cache + "user/abc/JPG1.tmp"));
  EXPECT_TRUE(FileExists(cache + "user/abc/JPG2.tmp"));
  EXPECT_TRUE(DirectoryExists(cache + "user/abc"));
  EXPECT_TRUE(FileExists(dir / "outside/keep.txt"));
}

TEST(PurgeDirectory, AgeZeroWithFoldersRemovesTheWholeFolder) {
  test::TempDir dir;
  std::string cache = dir / "Cache/";
  ASSERT_TRUE(ForceDirectories(cache + "user/abc/deeper"));
  ASSERT_TRUE(WriteFileBytes(cache + "user/abc/deeper/f.gif", "x"));
  ASSERT_TRUE(WriteFileBytes(cache + "just-written.gif", "x"));
  ASSERT_TRUE(WriteFileBytes(dir / "keep.txt", "x"));
  std::filesystem::create_symlink(dir / "keep.txt", cache + "link.txt");
  PurgeDirectory(cache, 0, true);
  EXPECT_FALSE(std::filesystem::exists(dir / "Cache"));
  EXPECT_TRUE(FileExists(dir / "keep.txt"));
}

TEST(CachePurgeThread, PurgesItsFolderAtItsIntervalAndFollowsANewFolder) {
  test::TempDir dir;
  ASSERT_TRUE(ForceDirectories(dir / "one"));
  ASSERT_TRUE(ForceDirectories(dir / "two"));
  ASSERT_TRUE(WriteFileBytes(dir / "one/old.gif", "x"));
  ASSERT_TRUE(WriteFileBytes(dir / "two/old.gif", "x"));
  ASSERT_TRUE(WriteFileBytes(dir / "one/new.gif", "x"));
  Age(dir / "one/old.gif", 200);
  Age(dir / "two/old.gif", 200);
  TCachePurgeThread thread(dir / "one/", 2, 10ms);
  thread.Start();
  EXPECT_TRUE(Eventually([&] { return !FileExists(dir / "one/old.gif"); }));
  thread.SetFolder(dir / "two/");
  EXPECT_EQ(thread.Folder(), dir / "two/");
  EXPECT_TRUE(Eventually([&] { return !FileExists(dir / "two/old.gif"); }));
  thread.Stop();
  EXPECT_FALSE(thread.Purging());
  EXPECT_TRUE(FileExists(dir / "one/new.gif"));
}

TEST(CachePurgeThread, ARefusedFolderIsIgnored) {
  TCachePurgeThread thread("/", 2);
  thread.Purge();  // refused inside, never thrown
  EXPECT_FALSE(thread.Purging());
}

class Shutdown : public test::ServerTest {};

TEST_F(Shutdown, StopsBothThreadsFreesEverySessionAndDeletesTheCache) {
  FakeTracker tracker;
  ReleaseSession(Sessions().Add(MakeSession("live1", &tracker)));
  Controller().StartSessionThreads();
  ASSERT_NE(Controller().CachePurgeThread(), nullptr);
  // A new cache folder reaches the running purge thread.
  Controller().SetCacheDir(lib_ / "Cache2");
  ASSERT_TRUE(ForceDirectories(lib_ / "Cache2/user"));
  EXPECT_EQ(Controller().CachePurgeThread()->Folder(), lib_ / "Cache2/");
  controller_.reset();  // the shut-down, with a sweep a minute and a purge every 15 seconds
  EXPECT_TRUE(tracker.WasFreed("live1"));
  EXPECT_EQ(GSessions(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(lib_ / "Cache2"));
}

TEST_F(Shutdown, RunsOnceAndStartsNoThreadsAfterwards) {
  Controller().Shutdown();
  Controller().StartSessionThreads();
  EXPECT_EQ(Controller().SessionTimeoutThread(), nullptr);
  EXPECT_EQ(Controller().CachePurgeThread(), nullptr);
  Controller().Shutdown();
}

// A background thread whose every run fails.
class FailingThread : public TIntervalThread {
 public:
  FailingThread() : TIntervalThread("Failing Run", 5ms) {}
  ~FailingThread() override { Stop(); }
  std::atomic<int> runs{0};

 protected:
  void Run() override {
    ++runs;
    throw EIWException("first line\r\nsecond line");
  }
};

class FailureLog : public test::ServerTest {
 protected:
  std::string Log() { return ReadFileBytes(lib_ / "RequestQX9.log").value_or(""); }
};

TEST_F(FailureLog, ARefusedPurgeAndFailedThreadRunsLeaveOneLineEachWhileLoggingIsOff) {
  ASSERT_EQ(Controller().Log(), loNone);
  const std::string refused = lib_.path() + "/Cache/";  // the cache folder, with "//"
  TCachePurgeThread purge(refused, 2);
  purge.Purge();
  EXPECT_TRUE(Log().ends_with(" Cache Purge: EAssertionFailed: Assertion failed: PurgeDirectory "
                              "attempts to delete \"" + refused + "\"\r\n"))
      << Log();

  FailingThread thread;
  thread.Start();
  EXPECT_TRUE(Eventually([&] { return thread.runs >= 2; }));
  thread.Stop();
  const std::string log = Log();
  EXPECT_NE(log.find(" Failing Run: EIWException: first line  second line\r\n"), std::string::npos)
      << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + thread.runs) << log;
}

}  // namespace
}  // namespace qx
