// Decoding and routing of request targets.
#include "host/Routing.h"

#include "runtime/Strings.h"

namespace qx::host {
namespace {

bool HasDotSegment(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<Target> ParseTarget(std::string_view raw) {
  if (raw.empty() || raw.front() != '/') return std::nullopt;
  Target t;
  std::size_t q = raw.find('?');
  std::string_view path = raw.substr(0, q);
  if (q != std::string_view::npos) t.query = std::string(raw.substr(q + 1));
  std::size_t hash = t.query.find('#');
  if (hash != std::string::npos) t.query.resize(hash);
  if (auto h = path.find('#'); h != std::string_view::npos) path = path.substr(0, h);

  t.path.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '%') {
      if (i + 2 >= path.size()) return std::nullopt;
      int hi = HexDigitValue(path[i + 1]);
      int lo = HexDigitValue(path[i + 2]);
      if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return std::nullopt;
      t.path += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      t.path += c;
    }
  }
  if (HasDotSegment(t.path)) return std::nullopt;
  return t;
}

std::optional<Target> ParseRequestTarget(std::string_view raw) {
  std::string_view rest;
  if (StartsText("http://", raw)) rest = raw.substr(7);
  else if (StartsText("https://", raw)) rest = raw.substr(8);
  else return ParseTarget(raw);
  std::size_t end = rest.find_first_of("/?#");
  if (end == std::string_view::npos) end = rest.size();
  std::string_view authority = rest.substr(0, end);
  if (authority.empty() || authority.find('@') != std::string_view::npos) return std::nullopt;
  // "http://host" and "http://host?q" name the root.
  std::string_view path = rest.substr(end);
  std::string origin = path.starts_with('/') ? "" : "/";
  origin += path;
  auto target = ParseTarget(origin);
  if (target) target->authority = std::string(authority);
  return target;
}

Route RouteOf(std::string_view path, std::string_view mount, std::string& rest) {
  rest.clear();
  if (path == "/") return Route::kRedirectToMount;
  if (SameText(path, kFaviconPath)) {
    rest = std::string(path);
    return Route::kExtension;
  }
  if (StartsText(kFilesPrefix, path)) {
    rest = std::string(path.substr(kFilesPrefix.size()));
    return Route::kFiles;
  }
  if (StartsText(mount, path) && (path.size() == mount.size() || path[mount.size()] == '/')) {
    rest = std::string(path.substr(mount.size()));
    return Route::kExtension;
  }
  return Route::kNotFound;
}

}  // namespace qx::host
