// Formatting and writing of access-log lines.
#include "host/AccessLog.h"

#include <unistd.h>

#include "runtime/DateTime.h"

namespace qx::host {

std::string AccessLine(const AccessRecord& r) {
  std::string line = FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", Now());
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
