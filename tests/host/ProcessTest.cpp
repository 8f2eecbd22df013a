// requestqx-host as a program: its command line, its start-up failures and its graceful
// stop on SIGTERM, run as a child process.
#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "runtime/Files.h"
#include "support/ChildProcess.h"
#include "support/HttpClient.h"
#include "support/TempDir.h"

namespace qx::test {
namespace {

// requestqx-host as the build made it.
class Child : public ChildProcess {
 public:
  explicit Child(std::vector<std::string> args, std::vector<std::string> env = {})
      : ChildProcess(QX_HOST_EXECUTABLE, std::move(args), {.environment = std::move(env)}) {}
};

TEST(ProcessTest, HelpExplainsTheOptions) {
  Child c({"--help"});
  EXPECT_EQ(c.Wait(), 0);
  for (const char* option : {"--port", "--bind", "--extension", "--mount", "--root", "--workers",
                             "--io-threads", "--trusted-proxy", "--max-connections",
                             "--read-timeout", "--stop-timeout"}) {
    EXPECT_NE(c.Out().find(option), std::string::npos) << option;
  }
}

TEST(ProcessTest, BadOptionExitsWithStatusTwo) {
  Child c({"--workers", "many"});
  EXPECT_EQ(c.Wait(), 2);
  EXPECT_NE(c.Err().find("option --workers: 'many' is not a whole number"), std::string::npos)
      << c.Err();
}

TEST(ProcessTest, UnloadableExtensionIsReported) {
  TempDir dir;
  Child missing({"--extension", dir.path() + "none.so", "--port", "0"});
  EXPECT_EQ(missing.Wait(), 1);
  EXPECT_NE(missing.Err().find("cannot load the extension " + dir.path() + "none.so"),
            std::string::npos)
      << missing.Err();

  Child noExports({"--extension", "libm.so.6", "--port", "0"});
  EXPECT_EQ(noExports.Wait(), 1);
  EXPECT_NE(noExports.Err().find("does not export GetExtensionVersion"), std::string::npos)
      << noExports.Err();
}

TEST(ProcessTest, SigtermStopsGracefully) {
  TempDir dir;
  std::string marker = dir.path() + "terminated";
  Child host({"--extension", QX_TEST_EXTENSION, "--bind", "127.0.0.1", "--port", "0", "--root",
              dir.path()},
             {"QX_TEST_TERMINATE_FILE=" + marker});
  ASSERT_TRUE(host.WaitForError(", files from")) << host.Err();
  auto at = host.Err().find(" port ");
  ASSERT_NE(at, std::string::npos);
  auto port = static_cast<std::uint16_t>(std::stoi(host.Err().substr(at + 6)));
  {
    HttpClient c(port);
    auto r = c.Get("/RequestQX9/sync?size=3");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->body, "aho");
  }
  ASSERT_TRUE(host.WaitForError(" GET /RequestQX9/sync 200 3 "));  // the access log
  ::kill(host.Pid(), SIGTERM);
  EXPECT_EQ(host.Wait(), 0) << host.Err();
  EXPECT_NE(host.Err().find("requestqx-host: stopped"), std::string::npos);
  EXPECT_TRUE(FileExists(marker)) << "TerminateExtension was not called";
}

}  // namespace
}  // namespace qx::test
