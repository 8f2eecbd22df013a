// Content types of the files the host serves itself, by file extension, from the system's
// file-type registry.
#pragma once

#include <string>
#include <string_view>

#include "runtime/FileTypes.h"

namespace qx::host {

class MimeTypes {
 public:
  // Reads `path`. A missing file leaves a small built-in table of the types a web folder
  // needs, so pages never arrive as downloads.
  explicit MimeTypes(const std::string& path = "/etc/mime.types") : registry_(path) {}

  // The type for a file name's extension (case ignored); "application/octet-stream" when
  // unknown.
  // The text lives as long as this object.
  std::string_view TypeOf(std::string_view fileName) const;

 private:
  TFileTypeRegistry registry_;
};

}  // namespace qx::host
