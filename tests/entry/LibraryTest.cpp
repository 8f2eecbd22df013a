// The built RequestQX9.so, loaded from a test's own folder (its library folder): start-up and
// its cache folder, the ".err" line of a failed start-up, both server kinds, termination.
#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/Files.h"
#include "runtime/Format.h"
#include "support/InMemoryConnection.h"
#include "support/LoadedLibrary.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::InMemoryConnection;
using test::LoadedLibrary;

std::string FallbackPage(std::string_view message) {
  return Format(
      "<html><title>Internal Server Error 500</title>\r\n<h1>Internal Server Error 500</h1>"
      "<hr>\r\nException: %s<br>\r\nMessage: %s<br></html>\r\n",
      {"Exception", message});
}

TEST(Library, ExportsTheThreeEntryPointsAndStartsUp) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  EXPECT_TRUE(DirectoryExists(dir / "Cache"));
  EXPECT_FALSE(FileExists(dir / "RequestQX9.err"));

  QxExtensionVersion version{};
  EXPECT_EQ(library.GetExtensionVersion(version), 1);
  EXPECT_EQ(version.dwExtensionVersion, 0x00020000u);
  EXPECT_STREQ(version.lpszExtensionDesc, "");
}

TEST(Library, AsyncServerGetsThePageInOneAsynchronousWrite) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  InMemoryConnection c;
  EXPECT_EQ(library.Run(c), QX_STATUS_PENDING);
  EXPECT_EQ(c.StatusCode(), 200u);
  EXPECT_EQ(c.StatusText(), "200 OK");
  // A client without a user agent has no form: the device-not-supported page.
  EXPECT_EQ(c.HeaderValue("Content-Type"), "text/html; charset=windows-1252");
  EXPECT_NE(c.Body().find("Device not supported"), std::string::npos);
  EXPECT_EQ(c.HeaderValue("Content-Length"), std::to_string(c.Body().size()));
  EXPECT_EQ(c.AsyncWriteSizes().size(), 1u);
  EXPECT_EQ(c.DoneWithSessionCount(), 1);
  EXPECT_TRUE(c.Violations().empty());

  // The kind chosen first holds: a later request announcing another server stays asynchronous.
  InMemoryConnection later;
  later.SetVariable("SERVER_SOFTWARE", test::kOtherServerSoftware);
  EXPECT_EQ(library.Run(later), QX_STATUS_PENDING);
  EXPECT_EQ(later.AsyncWriteSizes().size(), 1u);
}

TEST(Library, OtherServerGetsSynchronousWrites) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  InMemoryConnection c;
  c.SetVariable("SERVER_SOFTWARE", test::kOtherServerSoftware);
  EXPECT_EQ(library.Run(c), QX_STATUS_SUCCESS);
  EXPECT_EQ(c.Writes().size(), 1u);
  EXPECT_FALSE(c.Writes()[0].async);
  EXPECT_NE(c.Body().find("Device not supported"), std::string::npos);

  InMemoryConnection later;  // announces the asynchronous server
  EXPECT_EQ(library.Run(later), QX_STATUS_SUCCESS);
  EXPECT_TRUE(later.AsyncWriteSizes().empty());
  EXPECT_FALSE(later.Writes().empty());
}

TEST(Library, EmptyServerSoftwareSelectsTheOtherPath) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  InMemoryConnection c;
  c.RemoveVariable("SERVER_SOFTWARE");
  EXPECT_EQ(library.Run(c), QX_STATUS_SUCCESS);
  EXPECT_TRUE(c.AsyncWriteSizes().empty());
}

TEST(Library, PingHasAnEmptyBodyAndNoCompletion) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  InMemoryConnection c;
  c.SetPathInfo("/PING");
  EXPECT_EQ(library.HttpExtensionProc(c), QX_STATUS_SUCCESS);
  EXPECT_EQ(c.StatusCode(), 200u);
  EXPECT_EQ(c.Body(), "");
  EXPECT_EQ(c.CompletionCount(), 0);
  EXPECT_EQ(c.DoneWithSessionCount(), 0);
}

TEST(Library, FailedStartUpIsRecordedAndEveryRequestGetsTheNoDispatcherReply) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir / "RequestQX9.err", "Error: from an earlier run\r\n"));
  ASSERT_TRUE(WriteFileBytes(dir / "Cache", "a file that is in the way"));
  LoadedLibrary library(dir.path());
  EXPECT_EQ(ReadFileBytes(dir / "RequestQX9.err"),
            "Error: from an earlier run\r\nError: Unable to create cache directory \"" +
                dir.path() + "Cache/\".\r\n");
  EXPECT_EQ(ReadFileBytes(dir / "Cache"), "a file that is in the way");

  for (int i = 0; i < 2; ++i) {
    InMemoryConnection c;
    c.SetVariable("SERVER_SOFTWARE", test::kOtherServerSoftware);
    EXPECT_EQ(library.Run(c), QX_STATUS_ERROR);
    EXPECT_EQ(c.StatusCode(), 500u);
    EXPECT_EQ(c.StatusText(), "500 No data modules registered");
    std::string page = FallbackPage("No data modules registered");
    EXPECT_EQ(c.Body(), page);
    EXPECT_EQ(c.Headers(),
              "Content-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
                  "\r\n\r\n");
  }
  library.Terminate();
  EXPECT_EQ(ReadFileBytes(dir / "Cache"), "a file that is in the way");
}

TEST(Library, FailedStartUpOnAnAsyncServerFailsRequestsWithoutABody) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir / "Cache", ""));
  LoadedLibrary library(dir.path());
  InMemoryConnection c;
  EXPECT_EQ(library.HttpExtensionProc(c), QX_STATUS_ERROR);
  EXPECT_FALSE(c.HeadersSent());
  EXPECT_TRUE(c.Writes().empty());
}

TEST(Library, TerminateRemovesTheCacheFolder) {
  test::TempDir dir;
  LoadedLibrary library(dir.path());
  ASSERT_TRUE(ForceDirectories(dir / "Cache/user/abc"));
  ASSERT_TRUE(WriteFileBytes(dir / "Cache/user/abc/JPG1.tmp", "x"));
  EXPECT_EQ(library.Terminate(0), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "Cache"));
}

TEST(Library, SettingsFileIsReadFromTheLibraryFolder) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir / "ZozarodUruzede.ini",
                             "[WEBSERVICE]\r\nTCPIPPort=9090\r\n[DATABASE]\r\nFileName=\r\n"));
  LoadedLibrary library(dir.path());
  // An empty database folder is replaced by the library folder's BasesMDB and written back.
  std::string ini = ReadFileBytes(dir / "ZozarodUruzede.ini").value_or("");
  EXPECT_NE(ini.find("FileName=" + dir.path() + "BasesMDB"), std::string::npos) << ini;
  EXPECT_NE(ini.find("TCPIPPort=9090"), std::string::npos);
}

}  // namespace
}  // namespace qx
