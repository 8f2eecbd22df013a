// requestqx-host as a program: its command line, its start-up failures and its graceful
// stop on SIGTERM, run as a child process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "HttpClient.h"
#include "TempDir.h"
#include "runtime/Files.h"

namespace qx::test {
namespace {

class Child {
 public:
  Child(std::vector<std::string> args, std::vector<std::string> env = {}) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      std::vector<char*> argv{const_cast<char*>(QX_HOST_EXECUTABLE)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      for (auto& e : env) ::putenv(e.data());
      ::execv(QX_HOST_EXECUTABLE, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~Child() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }

  // Reads standard error until `text` shows up (true) or the stream ends (false).
  bool WaitForError(const std::string& text, int timeoutMs = 20000) {
    while (errText_.find(text) == std::string::npos) {
      if (!ReadSome(err_, errText_, timeoutMs)) return false;
    }
    return true;
  }
  // Waits for the exit and collects both outputs.
  int Wait() {
    while (ReadSome(out_, outText_, 20000)) {
    }
    while (ReadSome(err_, errText_, 20000)) {
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  pid_t Pid() const { return pid_; }
  const std::string& Out() const { return outText_; }
  const std::string& Err() const { return errText_; }

 private:
  static bool ReadSome(int fd, std::string& into, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    char buffer[4096];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  bool reaped_ = false;
  int out_ = -1, err_ = -1;
  std::string outText_, errText_;
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
