// One line per request on standard error: time, client, method, path, status, bytes sent and
// the microseconds from the complete request head to the end of the reply.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx::host {

struct AccessRecord {
  std::string_view client;
  std::string_view method;
  std::string_view path;
  unsigned status = 0;
  std::uint64_t bytes = 0;  // body bytes sent
  std::uint64_t microseconds = 0;
};

// The line without its final line break; control characters in the path show as '?'.
std::string AccessLine(const AccessRecord& record);

// Writes the line with one write call, so lines from many threads never interleave.
void WriteAccessLine(const AccessRecord& record);

}  // namespace qx::host
