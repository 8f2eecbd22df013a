// Content types of served files by extension: a fixed table first, then the system's file-type
// registry (/etc/mime.types), else "application/octet-stream".
#pragma once

#include <string>
#include <string_view>

namespace qx {

// The content type of an extension with its dot (".gif"), letter case ignored.
std::string ContentTypeOfExt(std::string_view extension);

// The content type of a served file: its extension's, except that a ".tmp" file takes the type
// of "." + the first three characters of its name (a generated JPG1A2B.tmp is "image/jpeg").
std::string ContentTypeOfFile(std::string_view fileName);

}  // namespace qx
