// Resources compiled into the library (scripts, pictures, templates, form definitions):
// a process-wide registry of name → bytes, filled by generated bundles at load time.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace qx {

struct ResourceEntry {
  const char* name;
  std::span<const unsigned char> bytes;
};

// Adds a bundle made by qx_embed_resources(); a name already present keeps its first bytes.
void RegisterResourceBundle(std::span<const ResourceEntry> entries);

// The bytes of a resource, the name compared without regard to letter case. The bytes live as
// long as the library, so callers may keep views into them.
std::optional<std::string_view> FindResource(std::string_view name);

}  // namespace qx
