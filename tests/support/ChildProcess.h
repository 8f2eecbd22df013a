// A program run by a test as a child process: its standard input is a pipe the test may
// close, its output and error streams are pipes the test reads (or files), and a child that
// is still running when the test ends is killed, so no test leaves a process behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace qx::test {

struct ChildOptions {
  std::vector<std::string> environment = {};  // "NAME=value" entries added to the test's own
  std::string outputFile = {};                // standard output goes here instead of a pipe
  std::string errorFile = {};                 // standard error goes here instead of a pipe
};

class ChildProcess {
 public:
  ChildProcess(const std::string& program, std::vector<std::string> args, ChildOptions options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const noexcept { return pid_ > 0; }
  pid_t Pid() const noexcept { return pid_; }

  // Reads the output (or error) pipe until `text` has arrived (true), or the stream ends or
  // `timeoutMs` passes without a byte (false).
  bool WaitForOutput(std::string_view text, int timeoutMs = 20000);
  bool WaitForError(std::string_view text, int timeoutMs = 20000);
  // Writes `bytes` (a few kilobytes at most, which the pipe holds) to the child's standard
  // input; false when the child no longer reads it.
  bool WriteInput(std::string_view bytes) noexcept;
  // Closing the input is end-of-file for the child.
  void CloseInput() noexcept;
  // Reads both pipes to their end, then reaps the child: its exit status, 128 + the signal
  // that ended it, or -1 when it never started.
  int Wait();

  const std::string& Out() const noexcept { return out_; }
  const std::string& Err() const noexcept { return err_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  int input_ = -1, outPipe_ = -1, errPipe_ = -1;
  std::string out_, err_;
};

}  // namespace qx::test
