// The extension-to-type table, read once at start-up and read-only afterwards.
#include "host/MimeTypes.h"

#include <fstream>
#include <sstream>

#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx::host {
namespace {

const std::string kDefaultType = "application/octet-stream";

}  // namespace

MimeTypes::MimeTypes(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    byExtension_ = {{"htm", "text/html"},  {"html", "text/html"}, {"css", "text/css"},
                    {"js", "text/javascript"}, {"txt", "text/plain"}, {"gif", "image/gif"},
                    {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"png", "image/png"},
                    {"ico", "image/x-icon"}, {"svg", "image/svg+xml"}};
    return;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (auto hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string type;
    if (!(words >> type)) continue;
    std::string ext;
    while (words >> ext) byExtension_.emplace(LowerCase(ext), type);
  }
}

const std::string& MimeTypes::TypeOf(std::string_view fileName) const {
  std::string ext = ExtractFileExt(fileName);
  if (ext.size() < 2) return kDefaultType;
  auto it = byExtension_.find(LowerCase(std::string_view(ext).substr(1)));
  return it == byExtension_.end() ? kDefaultType : it->second;
}

}  // namespace qx::host
