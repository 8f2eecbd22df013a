// The mime.types reader behind the content types of served files.
#include "runtime/FileTypes.h"

#include <sstream>

#include "runtime/Files.h"

namespace qx {

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

std::string_view TFileTypeRegistry::TypeOf(std::string_view extension) const {
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  auto it = byExtension_.find(extension);
  return it == byExtension_.end() ? std::string_view() : std::string_view(it->second);
}

const TFileTypeRegistry& SystemFileTypes() {
  static const TFileTypeRegistry registry("/etc/mime.types");
  return registry;
}

}  // namespace qx
