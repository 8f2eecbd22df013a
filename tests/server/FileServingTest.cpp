// Serving files: content types, the file reply with 200, 304 and 404, the files and cache
// commands, and requests that try to read outside the files and cache folders.
#include "server/FileReply.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "entry/WebResponse.h"
#include "runtime/FileTypes.h"
#include "runtime/HttpDate.h"
#include "server/ContentTypes.h"
#include "server/SessionErrors.h"
#include "server/StaticCommands.h"

namespace qx {
namespace {

constexpr char kMsie6[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
constexpr TDateTime kSecond = 1.0 / kSecondsPerDay;

using test::BodyOf;

// Sets a file's modification time to a whole second `secondsAgo` in the past.
TDateTime SetAge(const std::string& path, int secondsAgo) {
  std::time_t when = std::time(nullptr) - secondsAgo;
  utimbuf times{when, when};
  ::utime(path.c_str(), &times);
  return UnixToLocal(when);
}

TEST(ContentTypes, TheFixedTableComesFirstAndIgnoresCase) {
  EXPECT_EQ(ContentTypeOfExt(".JPEG"), "image/jpeg");
  EXPECT_EQ(ContentTypeOfExt(".Gif"), "image/gif");
  EXPECT_EQ(ContentTypeOfExt(".ico"), "image/x-ico");
  // The system registry says text/javascript; the table's own type wins.
  EXPECT_EQ(ContentTypeOfExt(".js"), "application/x-javascript");
  EXPECT_EQ(ContentTypeOfExt(".exe"), "application/octet-stream");
  EXPECT_EQ(ContentTypeOfExt(".no-such-extension"), "application/octet-stream");
  EXPECT_EQ(ContentTypeOfExt(""), "application/octet-stream");
}

TEST(ContentTypes, TemporaryFilesTakeTheTypeOfTheirNamesPrefix) {
  EXPECT_EQ(ContentTypeOfFile("/c/user/x/JPG1A2B.tmp"), "image/jpeg");
  EXPECT_EQ(ContentTypeOfFile("GIF99.TMP"), "image/gif");
  EXPECT_EQ(ContentTypeOfFile("/c/picture.gif"), "image/gif");
}

TEST(ContentTypes, TheSystemRegistryIsReadFromAMimeTypesFile) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir / "mime.types",
                             "# comment line\n"
                             "image/x-test\t\ttst tst2\n"
                             "text/x-first  dup # trailing comment\n"
                             "text/x-second dup\n"
                             "application/x-none\n"));
  TFileTypeRegistry registry(dir / "mime.types");
  EXPECT_EQ(registry.TypeOf("tst"), "image/x-test");
  EXPECT_EQ(registry.TypeOf(".TST2"), "image/x-test");
  EXPECT_EQ(registry.TypeOf("dup"), "text/x-first");
  EXPECT_EQ(registry.TypeOf("comment"), "");
  EXPECT_EQ(TFileTypeRegistry(dir / "missing").TypeOf("tst"), "");
}

class Files : public test::ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    files_ = Controller().FilesDir();
    ASSERT_TRUE(WriteFileBytes(files_ + "logo.gif", "GIF89a-logo"));
    ASSERT_TRUE(WriteFileBytes(lib_ / "secret.txt", "top secret"));
  }
  std::string files_;
};

TEST_F(Files, AFileIsTheBodyStreamWithItsTypeAndDate) {
  TDateTime written = SetAge(files_ + "logo.gif", 30);
  test::TestRequest r;
  FileReply(files_ + "logo.gif", r.Request(), r.Response());
  EXPECT_EQ(r.Response().StatusCode(), 200);
  EXPECT_EQ(r.Response().ContentType(), "image/gif");
  EXPECT_NEAR(r.Response().LastModified(), written, kSecond / 1000);
  EXPECT_EQ(BodyOf(r.Response()), "GIF89a-logo");
  EXPECT_EQ(r.Response().ContentLength(), 11);
}

TEST_F(Files, AClientCopyAsRecentAsTheFileGets304) {
  TDateTime written = SetAge(files_ + "logo.gif", 30);
  for (TDateTime since : {written, written + 5 * kSecond}) {
    test::TestRequest r;
    r.connection.SetHeader("If-Modified-Since", HttpDateFixed(LocalToGmt(since)));
    FileReply(files_ + "logo.gif", r.Request(), r.Response());
    EXPECT_EQ(r.Response().StatusCode(), 304);
    EXPECT_EQ(r.Response().ReasonString(), "Not modified");
    EXPECT_EQ(r.Response().ContentStream(), nullptr);
  }
  test::TestRequest older;
  older.connection.SetHeader("If-Modified-Since", HttpDateFixed(LocalToGmt(written - kSecond)));
  FileReply(files_ + "logo.gif", older.Request(), older.Response());
  EXPECT_EQ(older.Response().StatusCode(), 200);
}

TEST_F(Files, AMissingFileOrAFolderIs404) {
  for (const std::string& path : {files_ + "none.gif", files_, lib_.path() + "Cache"}) {
    test::TestRequest r;
    FileReply(path, r.Request(), r.Response());
    EXPECT_EQ(r.Response().StatusCode(), 404) << path;
    EXPECT_EQ(r.Response().ReasonString(), "File not found");
    EXPECT_EQ(BodyOf(r.Response()), "");
  }
}

TEST_F(Files, AnUnreadableFileIsAnsweredLikeAMissingOne) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  ASSERT_EQ(::chmod((files_ + "logo.gif").c_str(), 0), 0);
  test::TestRequest r;
  FileReply(files_ + "logo.gif", r.Request(), r.Response());
  EXPECT_EQ(r.Response().StatusCode(), 404);
  EXPECT_EQ(r.Response().ReasonString(), "File not found");
}

TEST_F(Files, FilesIsCacheableOnlyWhenFoundAndFilesNcNever) {
  struct Case {
    const char* name;
    bool cacheableCommand;
    int status;
    bool cacheable;
  };
  for (Case c : {Case{"logo.gif", true, 200, true}, Case{"LOGO.GIF", true, 200, true},
                 Case{"logo.gif", false, 200, false}, Case{"none.gif", true, 404, false}}) {
    test::TestRequest r;
    bool cacheable = true;
    FilesCommand(r.Request(), r.Response(), c.name, c.cacheableCommand, cacheable);
    EXPECT_EQ(r.Response().StatusCode(), c.status) << c.name;
    EXPECT_EQ(cacheable, c.cacheable) << c.name << c.cacheableCommand;
  }
}

TEST_F(Files, AFileAccessHandlerMayRefuse) {
  std::string asked;
  Controller().SetOnFileAccess([&](TWebRequest&, const std::string&, const std::string&,
                                   const std::string& file, bool& valid) {
    asked = file;
    valid = false;
  });
  test::TestRequest r;
  bool cacheable = true;
  FilesCommand(r.Request(), r.Response(), "logo.gif", true, cacheable);
  EXPECT_EQ(asked, files_ + "logo.gif");
  EXPECT_EQ(r.Response().StatusCode(), 403);
  EXPECT_EQ(BodyOf(r.Response()), "Permission denied");
  EXPECT_FALSE(cacheable);
}

TEST_F(Files, NamesThatReachOutsideTheFolderAreNeverServed) {
  ASSERT_TRUE(ForceDirectories(files_ + "sub"));
  std::filesystem::create_symlink(lib_ / "secret.txt", files_ + "link-out.txt");
  std::filesystem::create_symlink(lib_.path(), files_ + "dir-out");
  const std::string attacks[] = {
      "../secret.txt",     "..",          "sub/../../secret.txt", "..\\secret.txt",
      "sub\\..\\..\\secret.txt", "/etc/passwd", lib_ / "secret.txt",  "link-out.txt",
      "dir-out/secret.txt", "sub/..",     std::string("logo.gif\0x", 10), "",
      "%2e%2e/secret.txt",  "....//secret.txt"};
  for (const std::string& name : attacks) {
    test::TestRequest r;
    bool cacheable = true;
    FilesCommand(r.Request(), r.Response(), name, true, cacheable);
    EXPECT_EQ(r.Response().StatusCode(), 404) << name;
    EXPECT_EQ(r.Response().ReasonString(), "File not found") << name;
    EXPECT_EQ(BodyOf(r.Response()), "") << name;
    EXPECT_FALSE(cacheable) << name;
  }
}

TEST_F(Files, LinksThatStayInsideTheFolderAreServed) {
  ASSERT_TRUE(ForceDirectories(files_ + "img"));
  std::filesystem::create_symlink(files_ + "logo.gif", files_ + "img/alias.gif");
  EXPECT_EQ(ResolveRequestedFile(files_, "img/alias.gif"),
            std::filesystem::canonical(files_ + "logo.gif").string());
  EXPECT_EQ(ResolveRequestedFile(files_, "IMG/Alias.GIF"),
            std::filesystem::canonical(files_ + "logo.gif").string());
}

TEST_F(Files, FilesAndCacheUrlsFollowTheCurrentApplication) {
  EXPECT_EQ(FilesURL(), "/Files/");
  EXPECT_EQ(CacheURL(), "/Cache/");
  TIWSessionStartInfo start;
  start.AppURLBase = "/RequestQX9";
  TIWApplication app(start, "urlapp");
  TCurrentApplicationScope current(&app);
  EXPECT_EQ(FilesURL(), "/RequestQX9/Files/");
  EXPECT_EQ(CacheURL(), "/RequestQX9/Cache/");
}

class CacheFiles : public test::ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    IIWApplication& s = Sessions().Add(MakeSession("cache01", nullptr, "127.0.0.1", brIE));
    ReleaseSession(s);
    session_ = &s;
    ASSERT_TRUE(ForceDirectories(Controller().CacheDir() + "user/cache01"));
    ASSERT_TRUE(WriteFileBytes(Controller().CacheDir() + "user/cache01/JPG12.tmp", "jpeg"));
    ASSERT_TRUE(WriteFileBytes(Controller().CacheDir() + "shared.gif", "gif"));
    ASSERT_TRUE(WriteFileBytes(lib_ / "secret.txt", "top secret"));
  }
  // Serves `part` from 127.0.0.1 as Internet Explorer (or `agent`).
  void Serve(test::TestRequest& r, const std::string& part, bool& cacheable,
             const char* agent = kMsie6) {
    r.connection.SetHeader("User-Agent", agent);
    CacheCommand(r.Request(), r.Response(), part, "127.0.0.1", cacheable);
  }
  IIWApplication* session_ = nullptr;
};

TEST_F(CacheFiles, ASessionsGeneratedPictureIsServedAndTheSessionReleased) {
  test::TestRequest r;
  bool cacheable = false;
  Serve(r, "user/cache01/JPG12.tmp", cacheable);
  EXPECT_EQ(r.Response().StatusCode(), 200);
  EXPECT_EQ(r.Response().ContentType(), "image/jpeg");
  EXPECT_EQ(BodyOf(r.Response()), "jpeg");
  EXPECT_TRUE(cacheable);
  bool free = false;
  std::thread([&] {
    free = session_->Lock().TryLock();
    if (free) session_->Lock().Unlock();
  }).join();
  EXPECT_TRUE(free);
}

TEST_F(CacheFiles, FilesOutsideUserFoldersNeedNoSession) {
  test::TestRequest r;
  bool cacheable = false;
  Serve(r, "shared.gif", cacheable);
  EXPECT_EQ(r.Response().StatusCode(), 200);
  test::TestRequest missing;
  Serve(missing, "gone.gif", cacheable);
  EXPECT_EQ(missing.Response().StatusCode(), 404);
  EXPECT_FALSE(cacheable);
}

TEST_F(CacheFiles, AnotherBrowserOrAnUnknownSessionIsRefused) {
  test::TestRequest r;
  bool cacheable = false;
  EXPECT_THROW(Serve(r, "user/cache01/JPG12.tmp", cacheable,
                     "Mozilla/5.0 (X11; rv:109.0) Gecko/20100101 Firefox/115.0"),
               EIWException);
  test::TestRequest unknown;
  EXPECT_THROW(Serve(unknown, "USER/nosession/JPG12.tmp", cacheable), EInvalidSession);
}

TEST_F(CacheFiles, NamesThatReachOutsideTheCacheAreNeverServed) {
  const std::vector<std::string> parts = {"user/cache01/../../../secret.txt", "../secret.txt",
                                         "user/cache01/..\\..\\..\\secret.txt",
                                         lib_ / "secret.txt"};
  for (const std::string& part : parts) {
    test::TestRequest r;
    bool cacheable = true;
    Serve(r, part, cacheable);
    EXPECT_EQ(r.Response().StatusCode(), 404) << part;
    EXPECT_EQ(BodyOf(r.Response()), "") << part;
  }
}

}  // namespace
}  // namespace qx
