// Content types of served files by extension: a fixed table first, then the system's file-type
// registry (/etc/mime.types), else "application/octet-stream".
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "runtime/Strings.h"

namespace qx {

// The types a mime.types file records ("type ext ext ..." lines, '#' comments).
class TFileTypeRegistry {
 public:
  // A missing or unreadable file gives an empty registry.
  explicit TFileTypeRegistry(const std::string& path);
  // The type of an extension given with or without its dot, letter case ignored; empty when
  // the registry has none.
  std::string TypeOf(std::string_view extension) const;

 private:
  std::map<std::string, std::string, TextLess> byExtension_;
};

// The system's registry, read once on first use.
const TFileTypeRegistry& SystemFileTypes();

// The content type of an extension with its dot (".gif"), letter case ignored.
std::string ContentTypeOfExt(std::string_view extension);

// The content type of a served file: its extension's, except that a ".tmp" file takes the type
// of "." + the first three characters of its name (a generated JPG1A2B.tmp is "image/jpeg").
std::string ContentTypeOfFile(std::string_view fileName);

}  // namespace qx
