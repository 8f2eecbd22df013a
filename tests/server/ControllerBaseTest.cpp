// The controller base: defaults, the setters and their failures, post-load defaults, the
// cache folder at start and its removal at shut-down, and the current controller.
#include "server/ServerControllerBase.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "server/CacheFolder.h"
#include "server/IWExceptions.h"
#include "support/TempDir.h"

namespace qx {
namespace {

class ControllerBase : public ::testing::Test {
 protected:
  test::TempDir lib_;
  std::string library_ = lib_ / "RequestQX9.so";
};

TEST_F(ControllerBase, DefaultsAreSetAtCreation) {
  TDateTime before = Now();
  TIWServerControllerBase c(library_);
  EXPECT_EQ(c.LibraryFolder(), lib_.path());
  EXPECT_EQ(c.AppName(), "");
  EXPECT_FALSE(c.AllowSubFolders());
  EXPECT_TRUE(c.AuthList().Empty());
  EXPECT_TRUE(c.Browser32Behaviour().IExplorer4As32);
  EXPECT_TRUE(c.Browser32Behaviour().Netscape4As32);
  EXPECT_TRUE(c.Browser32Behaviour().Netscape6As32);
  EXPECT_EQ(c.CacheDir(), TempFolder() + c.TimeStampName() + "/");
  EXPECT_EQ(c.CacheExpiry(), 120);
  EXPECT_EQ(c.ComInitialization(), ciNone);
  EXPECT_FALSE(c.Compression().Enabled);
  EXPECT_EQ(c.Compression().Level, 6);
  EXPECT_EQ(c.ExceptionDisplayMode(), smAlert);
  EXPECT_EQ(c.ExecCmd(), "EXEC");
  EXPECT_EQ(c.FilesDir(), lib_.path() + "Files/");
  EXPECT_FALSE(c.HistoryEnabled());
  EXPECT_EQ(c.InternalFilesURL(), "/");
  EXPECT_EQ(c.Log(), loNone);
  EXPECT_EQ(c.Port(), 0);
  EXPECT_FALSE(c.RestrictIPs());
  EXPECT_EQ(c.SessionTimeout(), 10);
  EXPECT_EQ(c.SessionTrackingMethod(), tmURL);
  EXPECT_TRUE(c.ShowResyncWarning());
  EXPECT_EQ(c.SSLOptions().NonSSLRequest, nsAccept);
  EXPECT_EQ(c.SupportedBrowsers(),
            (TIWBrowsers{brIE, brNetscape7, brOpera, brSafari, brNetscape6}));
  EXPECT_EQ(c.ThreadPoolSize(), 32);
  EXPECT_EQ(c.UnknownBrowserAction(), ubReject);
  EXPECT_TRUE(c.UseInternalFiles());
  EXPECT_EQ(c.Version(), "9.0.17");
  EXPECT_EQ(c.PageLineSeparator(), "");
  // The start time is the creation time in whole seconds.
  TDateTime start = c.ServerStartTime();
  EXPECT_LE(start, Now());
  EXPECT_GT(start, before - 1.0 / kSecondsPerDay);
  EXPECT_EQ(DecodeDateTime(start).millisecond, 0);
}

TEST_F(ControllerBase, CurrentControllerIsSetAtCreationAndClearedWithIt) {
  {
    TIWServerControllerBase c(library_);
    EXPECT_EQ(TIWServerControllerBase::Current(), &c);
  }
  EXPECT_EQ(TIWServerControllerBase::Current(), nullptr);
}

TEST(CacheTimeStampName, IsTheCreationMillisecondInBase36) {
  EXPECT_EQ(CacheTimeStampName(0.0), "0000000000");
  EXPECT_EQ(CacheTimeStampName(1.0), "00001ffuo0");       // 86,400,000 ms
  EXPECT_EQ(CacheTimeStampName(1.0 + 35.9 / kMsPerDay), "00001ffuoz");  // fraction dropped
  EXPECT_EQ(CacheTimeStampName(46000.25).size(), 10u);
}

TEST_F(ControllerBase, AppNameMustNotBeEmpty) {
  TIWServerControllerBase c(library_);
  c.SetAppName("RequestQX9");
  try {
    c.SetAppName("");
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_EQ(e.Message(), "\"\" is not a valid application name.");
  }
  EXPECT_EQ(c.AppName(), "RequestQX9");
}

TEST_F(ControllerBase, SessionTimeoutMustLieBetween0And600) {
  TIWServerControllerBase c(library_);
  c.SetSessionTimeout(0);
  c.SetSessionTimeout(600);
  for (int bad : {-1, 601}) {
    try {
      c.SetSessionTimeout(bad);
      FAIL() << bad;
    } catch (const EIWException& e) {
      EXPECT_EQ(e.Message(), "Invalid session timeout value.");
    }
  }
  EXPECT_EQ(c.SessionTimeout(), 600);
}

TEST_F(ControllerBase, CacheDirIsTrimmedAndPlacedUnderTheTemporaryFolderWhenRelative) {
  TIWServerControllerBase c(library_);
  c.SetCacheDir("  /srv/cache  ");
  EXPECT_EQ(c.CacheDir(), "/srv/cache/");
  c.SetCacheDir("/srv/cache/");
  EXPECT_EQ(c.CacheDir(), "/srv/cache/");
  c.SetCacheDir("relative/cache");
  EXPECT_EQ(c.CacheDir(), TempFolder() + "relative/cache/");
  c.SetCacheDir("   ");
  EXPECT_EQ(c.CacheDir(), TempFolder() + c.TimeStampName() + "/");
}

TEST_F(ControllerBase, FilesDirGetsATrailingDelimiterOrTheLibraryDefault) {
  TIWServerControllerBase c(library_);
  c.SetFilesDir("/srv/files");
  EXPECT_EQ(c.FilesDir(), "/srv/files/");
  c.SetFilesDir(" ");
  EXPECT_EQ(c.FilesDir(), lib_.path() + "Files/");
}

TEST_F(ControllerBase, SmallSetterRules) {
  TIWServerControllerBase c(library_);
  c.SetExecCmd("");
  EXPECT_EQ(c.ExecCmd(), "EXEC");
  c.StyleSheet().SetURL("/css/a.css");
  c.SetTheme("dark");
  EXPECT_TRUE(c.StyleSheet().Empty());
  c.SessionTimeoutURL().SetFileName("SessionEnd.htm");
  c.SessionTimeoutURL().SetURL("/files/SessionEnd.htm");
  EXPECT_EQ(c.SessionTimeoutURL().FileName(), "");
  c.SessionTimeoutURL().SetFileName("x.htm");
  EXPECT_EQ(c.SessionTimeoutURL().URL(), "");
  c.SetDebugHTML(true);
  EXPECT_EQ(c.PageLineSeparator(), "\r\n");
}

TEST_F(ControllerBase, StartAppliesPostLoadDefaultsAndMakesTheCacheFolder) {
  TIWServerControllerBase c(library_);
  c.SetCacheDir(lib_ / "Cache");
  c.Start();
  EXPECT_EQ(c.AppName(), "MyApplication");
  EXPECT_EQ(c.InternalFilesDir(), lib_.path());
  EXPECT_EQ(c.TemplateDir(), lib_.path() + "Templates/");
  EXPECT_TRUE(c.ShowResyncWarning());
  EXPECT_FALSE(c.HistoryEnabled());
  EXPECT_TRUE(DirectoryExists(lib_ / "Cache"));
}

// A controller whose stored values the test chooses.
class Stored : public TIWServerControllerBase {
 public:
  using TIWServerControllerBase::TIWServerControllerBase;
  std::function<void(Stored&)> values;

 protected:
  void LoadStoredValues() override {
    if (values) values(*this);
  }
};

TEST_F(ControllerBase, TemplateDirIsTakenUnderTheLibraryFolderWhenItExistsThere) {
  ASSERT_TRUE(ForceDirectories(lib_ / "tpl"));
  Stored under(library_);
  under.values = [&](Stored& s) {
    s.SetTemplateDir("tpl");
    s.SetCacheDir(lib_ / "Cache");
  };
  under.Start();
  EXPECT_EQ(under.TemplateDir(), lib_.path() + "tpl/");

  Stored elsewhere(library_);
  elsewhere.values = [&](Stored& s) {
    s.SetTemplateDir("/srv/templates");
    s.SetCacheDir(lib_ / "Cache");
  };
  elsewhere.Start();
  EXPECT_EQ(elsewhere.TemplateDir(), "/srv/templates/");
}

TEST_F(ControllerBase, ABackButtonHandlerTurnsTheResyncWarningOffAndHistoryOn) {
  Stored c(library_);
  c.values = [&](Stored& s) {
    s.SetOnBackButton([](int, int, const std::string&, bool&, bool&) {});
    s.SetCacheDir(lib_ / "Cache");
  };
  c.Start();
  EXPECT_FALSE(c.ShowResyncWarning());
  EXPECT_TRUE(c.HistoryEnabled());
}

TEST_F(ControllerBase, StepsRunInTheirOrder) {
  std::vector<std::string> steps;
  Stored c(library_);
  c.values = [&](Stored& s) {
    steps.push_back("stored");
    s.SetOnCreate([&] {
      steps.push_back("create:" + s.AppName() + ":" + std::to_string(s.Port()));
      s.SetCacheDir(lib_ / "Cache");
    });
  };
  ASSERT_TRUE(WriteFileBytes(lib_ / "port.ini", "[PORTS]\nPort=7000\nSSLPort=7443\n"));
  c.Start();
  // OnCreate runs after the stored values, "port.ini" and the post-load defaults.
  EXPECT_EQ(steps, (std::vector<std::string>{"stored", "create:MyApplication:7000"}));
  EXPECT_EQ(c.SSLOptions().Port, 7443);
  EXPECT_TRUE(DirectoryExists(lib_ / "Cache"));
}

TEST_F(ControllerBase, CacheFolderThatCannotBeMadeFailsTheStart) {
  ASSERT_TRUE(WriteFileBytes(lib_ / "Cache", "mine"));
  Stored c(library_);
  c.values = [&](Stored& s) { s.SetCacheDir(lib_ / "Cache"); };
  try {
    c.Start();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_EQ(e.Message(), "Unable to create cache directory \"" + lib_.path() + "Cache/\".");
  }
}

TEST_F(ControllerBase, LogFileGetsTheCacheFolderLine) {
  Stored c(library_);
  c.values = [&](Stored& s) {
    s.SetLog(loFile);
    s.SetCacheDir(lib_ / "Cache");
  };
  c.Start();
  std::string log = ReadFileBytes(lib_ / "RequestQX9.log").value_or("");
  std::string expected = " Cache directory created \"" + lib_.path() + "Cache/\"\r\n";
  ASSERT_GT(log.size(), expected.size());
  EXPECT_TRUE(log.ends_with(expected)) << log;
  EXPECT_EQ(log.size(), std::string("yyyy-mm-dd hh:nn:ss").size() + expected.size());
}

TEST_F(ControllerBase, ShutDownDeletesTheCacheFolderButNoFileInItsPlace) {
  {
    TIWServerControllerBase c(library_);
    c.SetCacheDir(lib_ / "Cache");
    c.Start();
    ASSERT_TRUE(ForceDirectories(lib_ / "Cache/user/s1"));
    ASSERT_TRUE(WriteFileBytes(lib_ / "Cache/user/s1/JPG1.tmp", "x"));
  }
  EXPECT_FALSE(std::filesystem::exists(lib_ / "Cache"));

  ASSERT_TRUE(WriteFileBytes(lib_ / "Cache", "not a folder"));
  {
    TIWServerControllerBase c(library_);
    c.SetCacheDir(lib_ / "Cache");
  }
  EXPECT_EQ(ReadFileBytes(lib_ / "Cache"), "not a folder");
}

TEST(DeleteCacheFolder, RefusesNamesBeyondOneFolder) {
  test::TempDir dir;
  ASSERT_TRUE(ForceDirectories(dir / "a/b"));
  DeleteCacheFolder(dir.path() + "a//b");
  EXPECT_TRUE(DirectoryExists(dir / "a/b"));
  DeleteCacheFolder("");
  DeleteCacheFolder(dir / "a");
  EXPECT_FALSE(std::filesystem::exists(dir / "a"));
}

}  // namespace
}  // namespace qx
