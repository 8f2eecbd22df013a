// Appending to the library's text files under one process-wide lock.
#include "runtime/LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>

namespace qx {

bool AppendToFile(const std::string& path, std::string_view text) noexcept {
  static std::mutex lock;
  std::lock_guard guard(lock);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) {
      ok = false;
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok;
}

}  // namespace qx
