// Content types of served files by file extension, from the system's /etc/mime.types.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace qx::host {

class MimeTypes {
 public:
  // Reads `path` ("type ext ext ..." lines, '#' comments). A missing file leaves a small
  // built-in table of the types a web folder needs, so pages never arrive as downloads.
  explicit MimeTypes(const std::string& path = "/etc/mime.types");

  // The type for a file name's extension (case ignored); "application/octet-stream" when
  // unknown.
  const std::string& TypeOf(std::string_view fileName) const;

 private:
  std::unordered_map<std::string, std::string> byExtension_;  // lower-case, without the dot
};

}  // namespace qx::host
