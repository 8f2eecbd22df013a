// Request targets: the split into path and query, percent-decoding of the path, and which
// part of the host answers a path (the library's mount, /files/, the redirect of "/").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qx::host {

struct Target {
  std::string path;       // decoded, starts with '/'
  std::string query;      // as sent, without the '?'
  std::string authority;  // host[:port] of an absolute target, else empty
};

// Nothing for a target that is not a path ("*", absolute forms), holds a bad or NUL escape,
// or has a "." or ".." segment (which could climb out of the folders mapped below).
std::optional<Target> ParseTarget(std::string_view raw);
// A request line's target: a path as ParseTarget takes it, or the absolute form every
// HTTP/1.1 server must accept ("http://host:port/path?query", also "https"), whose authority
// then stands for the Host header. Nothing for anything else, or for an absolute target
// without a host or with user information.
std::optional<Target> ParseRequestTarget(std::string_view raw);

enum class Route { kRedirectToMount, kFiles, kExtension, kNotFound };

// "/files/" is the public folder. The mount matches without regard to case, like the
// platform's file system, alone or followed by '/'. `rest` receives the part below the
// mount (path info, "" or starting with '/') or below "/files/" (a relative file name).
// "/favicon.ico", which browsers ask the site for on every page, goes to the library as its
// command of that name, so the site's icon is the library's.
Route RouteOf(std::string_view path, std::string_view mount, std::string& rest);

inline constexpr std::string_view kFilesPrefix = "/files/";
inline constexpr std::string_view kFaviconPath = "/favicon.ico";

}  // namespace qx::host
