// Content types of served files: the fixed table, then the system's file-type registry.
#include "server/ContentTypes.h"

#include "runtime/FileTypes.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

constexpr char kDefaultContentType[] = "application/octet-stream";

struct FixedType {
  std::string_view extension;
  std::string_view type;
};

constexpr FixedType kFixedTypes[] = {
    {".JPG", "image/jpeg"},  {".JPEG", "image/jpeg"},
    {".GIF", "image/gif"},   {".ICO", "image/x-ico"},
    {".HTML", "text/html"},  {".HTM", "text/html"},
    {".JS", "application/x-javascript"},
    {".PDF", "application/pdf"},
    {".ZIP", "application/zip"},
    {".EXE", "application/octet-stream"},
    {".CSS", "text/css"},
};

}  // namespace

std::string ContentTypeOfExt(std::string_view extension) {
  for (const FixedType& fixed : kFixedTypes)
    if (SameText(fixed.extension, extension)) return std::string(fixed.type);
  std::string_view type = extension.empty() ? std::string_view() : SystemFileTypes().TypeOf(extension);
  return std::string(type.empty() ? kDefaultContentType : type);
}

std::string ContentTypeOfFile(std::string_view fileName) {
  std::string extension = ExtractFileExt(fileName);
  if (SameText(extension, ".tmp")) {
    std::string prefixType(".");
    prefixType.append(ExtractFileName(fileName).substr(0, 3));
    return ContentTypeOfExt(prefixType);
  }
  return ContentTypeOfExt(extension);
}

}  // namespace qx
