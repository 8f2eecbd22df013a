// The embedded-resource registry. Bundles register at load; lookups may come from any thread.
#include "runtime/Resources.h"

#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "runtime/Strings.h"

namespace qx {
namespace {

struct Registry {
  std::shared_mutex lock;
  std::map<std::string, std::string_view, TextLess> entries;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterResourceBundle(std::span<const ResourceEntry> entries) {
  Registry& r = TheRegistry();
  std::unique_lock guard(r.lock);
  for (const ResourceEntry& e : entries)
    r.entries.emplace(e.name, std::string_view(reinterpret_cast<const char*>(e.bytes.data()),
                                               e.bytes.size()));
}

std::optional<std::string_view> FindResource(std::string_view name) {
  Registry& r = TheRegistry();
  std::shared_lock guard(r.lock);
  auto it = r.entries.find(name);
  if (it == r.entries.end()) return std::nullopt;
  return it->second;
}

}  // namespace qx
