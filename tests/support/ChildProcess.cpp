// Child processes with posix_spawn: pipes or files for the standard streams, poll-limited
// reads, and a kill for a child the test did not wait for.
#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qx::test {
namespace {

// Appends what one read of `fd` brings; false at the end of the stream, on an error or when
// nothing arrives within `timeoutMs`.
bool ReadSome(int fd, std::string& into, int timeoutMs) {
  if (fd < 0) return false;
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  into.append(buffer, static_cast<std::size_t>(n));
  return true;
}

void CloseFd(int& fd) noexcept {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The child's end of a stream: the file when one is named, else the write end of a new pipe
// whose read end the parent keeps in `parentEnd`.
void AddOutputStream(posix_spawn_file_actions_t& actions, int stream, const std::string& file,
                     int& parentEnd, int& childEnd) {
  if (!file.empty()) {
    posix_spawn_file_actions_addopen(&actions, stream, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    return;
  }
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  parentEnd = ends[0];
  childEnd = ends[1];
  posix_spawn_file_actions_adddup2(&actions, childEnd, stream);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> args,
                           ChildOptions options) {
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The test's environment with the given entries in place of any of the same name.
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& own : options.environment)
      replaced = replaced || own.compare(0, own.find('='), name) == 0;
    if (!replaced) envp.push_back(*e);
  }
  for (std::string& e : options.environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int in[2] = {-1, -1};
  if (::pipe2(in, O_CLOEXEC) == 0) {
    input_ = in[1];
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  }
  int outChild = -1, errChild = -1;
  AddOutputStream(actions, 1, options.outputFile, outPipe_, outChild);
  AddOutputStream(actions, 2, options.errorFile, errPipe_, errChild);
  if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
    pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  CloseFd(in[0]);
  CloseFd(outChild);
  CloseFd(errChild);
}

ChildProcess::~ChildProcess() {
  CloseInput();
  if (pid_ > 0 && status_ < 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  CloseFd(outPipe_);
  CloseFd(errPipe_);
}

bool ChildProcess::WaitForOutput(std::string_view text, int timeoutMs) {
  while (out_.find(text) == std::string::npos)
    if (!ReadSome(outPipe_, out_, timeoutMs)) return false;
  return true;
}

bool ChildProcess::WaitForError(std::string_view text, int timeoutMs) {
  while (err_.find(text) == std::string::npos)
    if (!ReadSome(errPipe_, err_, timeoutMs)) return false;
  return true;
}

bool ChildProcess::WriteInput(std::string_view bytes) noexcept {
  // A child that has already exited must fail the write, not end the test with SIGPIPE.
  static const bool ignored = ::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)ignored;
  while (!bytes.empty() && input_ >= 0) {
    const ssize_t n = ::write(input_, bytes.data(), bytes.size());
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return bytes.empty();
}

void ChildProcess::CloseInput() noexcept { CloseFd(input_); }

int ChildProcess::Wait() {
  if (pid_ <= 0) return -1;
  if (status_ >= 0) return status_;
  // Both pipes at once, so that a child filling one of them never blocks.
  while (outPipe_ >= 0 || errPipe_ >= 0) {
    pollfd p[2] = {{outPipe_, POLLIN, 0}, {errPipe_, POLLIN, 0}};
    if (::poll(p, 2, 20000) <= 0) break;
    if (p[0].revents && !ReadSome(outPipe_, out_, 0)) CloseFd(outPipe_);
    if (p[1].revents && !ReadSome(errPipe_, err_, 0)) CloseFd(errPipe_);
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return status_;
}

}  // namespace qx::test
