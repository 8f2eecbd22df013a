// Cache folder naming and removal.
#include "server/CacheFolder.h"

#include <cmath>

#include "runtime/Base36.h"
#include "runtime/Files.h"

namespace qx {

std::string CacheTimeStampName(TDateTime moment) {
  double ms = std::floor(moment * kMsPerDay);
  return IntToBase36(ms > 0 ? static_cast<std::uint64_t>(ms) : 0, 10);
}

void DeleteCacheFolder(const std::string& folder) noexcept {
  std::string path = ExcludeTrailingPathDelimiter(folder);
  if (path.empty() || path == "/" || path == "." || path == ".." ||
      path.find("//") != std::string::npos)
    return;
  if (!DirectoryExists(path)) return;
  DeleteTree(path);
}

}  // namespace qx
