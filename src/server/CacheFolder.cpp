// Cache folder naming and removal.
#include "server/CacheFolder.h"

#include <cmath>

#include "runtime/Base36.h"
#include "server/CachePurge.h"

namespace qx {

std::string CacheTimeStampName(TDateTime moment) {
  double ms = std::floor(moment * kMsPerDay);
  return IntToBase36(ms > 0 ? static_cast<std::uint64_t>(ms) : 0, 10);
}

void DeleteCacheFolder(const std::string& folder) noexcept {
  try {
    PurgeDirectory(folder, 0, true);
  } catch (...) {
    // A refused name or a failure: what is left stays.
  }
}

}  // namespace qx
