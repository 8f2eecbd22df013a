// Formatting and writing of access-log lines.
#include "host/AccessLog.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "runtime/DateTime.h"

namespace qx::host {

namespace {

// "yyyy-mm-dd hh:nn:ss.zzz" in local time; the part up to the seconds is formatted once a
// second per thread.
std::string Timestamp() {
  thread_local std::time_t second = -1;
  thread_local std::string prefix;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  if (now.tv_sec != second) {
    second = now.tv_sec;
    prefix = FormatDateTime("yyyy-mm-dd hh:nn:ss", UnixToLocal(now.tv_sec));
  }
  char millis[24];
  std::snprintf(millis, sizeof millis, ".%03ld", now.tv_nsec / 1000000);
  return prefix + millis;
}

}  // namespace

std::string AccessLine(const AccessRecord& r) {
  std::string line = Timestamp();
  line.reserve(96 + r.path.size());
  line += ' ';
  line += r.client.empty() ? "-" : r.client;
  line += ' ';
  line += r.method.empty() ? "-" : r.method;
  line += ' ';
  if (r.path.empty()) line += '-';
  for (unsigned char c : r.path) line += (c <= ' ' || c == 0x7F) ? '?' : static_cast<char>(c);
  line += ' ';
  line += std::to_string(r.status);
  line += ' ';
  line += std::to_string(r.bytes);
  line += ' ';
  line += std::to_string(r.microseconds);
  return line;
}

void WriteAccessLine(const AccessRecord& record) {
  std::string line = AccessLine(record);
  line += '\n';
  // A failed write to the log must never disturb the request; nothing to do about it.
  [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace qx::host
