// Content types of the host's own files: the system registry, or a built-in table without it.
#include "host/MimeTypes.h"

#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx::host {
namespace {

struct BuiltInType {
  std::string_view extension;
  std::string_view type;
};

constexpr BuiltInType kBuiltInTypes[] = {
    {"htm", "text/html"},  {"html", "text/html"},       {"css", "text/css"},
    {"js", "text/javascript"}, {"txt", "text/plain"},   {"gif", "image/gif"},
    {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"},      {"png", "image/png"},
    {"ico", "image/x-icon"}, {"svg", "image/svg+xml"}};

}  // namespace

std::string_view MimeTypes::TypeOf(std::string_view fileName) const {
  std::string ext = ExtractFileExt(fileName);
  std::string_view type;
  if (!registry_.Empty()) {
    type = registry_.TypeOf(ext);
  } else if (ext.size() > 1) {
    for (const BuiltInType& builtIn : kBuiltInTypes)
      if (SameText(builtIn.extension, std::string_view(ext).substr(1))) type = builtIn.type;
  }
  return type.empty() ? std::string_view("application/octet-stream") : type;
}

}  // namespace qx::host
