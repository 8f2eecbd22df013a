// The system's file-type registry: content types by file extension, read from a mime.types
// file ("type ext ext ..." lines, '#' comments). Shared by the library and the host.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "runtime/Strings.h"

namespace qx {

class TFileTypeRegistry {
 public:
  // A missing or unreadable file gives an empty registry.
  explicit TFileTypeRegistry(const std::string& path);
  bool Empty() const noexcept { return byExtension_.empty(); }
  // The type of an extension given with or without its dot, letter case ignored; empty when
  // the registry has none. The text lives as long as the registry.
  std::string_view TypeOf(std::string_view extension) const;

 private:
  std::map<std::string, std::string, TextLess> byExtension_;
};

// The system's registry (/etc/mime.types), read once on first use.
const TFileTypeRegistry& SystemFileTypes();

}  // namespace qx
