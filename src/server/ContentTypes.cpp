// The content-type table and the reading of the system's file-type registry.
#include "server/ContentTypes.h"

#include <sstream>

#include "runtime/Files.h"

namespace qx {

namespace {

constexpr char kDefaultContentType[] = "application/octet-stream";
constexpr char kSystemFileTypes[] = "/etc/mime.types";

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

TFileTypeRegistry::TFileTypeRegistry(const std::string& path) {
  std::optional<std::string> text = ReadFileBytes(path);
  if (!text) return;
  std::istringstream lines(*text);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string type, extension;
    if (!(words >> type)) continue;
    // The first file to name an extension keeps it.
    while (words >> extension) byExtension_.emplace(extension, type);
  }
}

std::string TFileTypeRegistry::TypeOf(std::string_view extension) const {
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  auto it = byExtension_.find(extension);
  return it == byExtension_.end() ? std::string() : it->second;
}

const TFileTypeRegistry& SystemFileTypes() {
  static const TFileTypeRegistry registry(kSystemFileTypes);
  return registry;
}

std::string ContentTypeOfExt(std::string_view extension) {
  for (const FixedType& fixed : kFixedTypes)
    if (SameText(fixed.extension, extension)) return std::string(fixed.type);
  std::string type = extension.empty() ? std::string() : SystemFileTypes().TypeOf(extension);
  return type.empty() ? std::string(kDefaultContentType) : type;
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
