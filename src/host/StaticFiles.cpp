// Opening public files safely, their validators, and the URL-to-path mapping.
#include "host/StaticFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "host/Routing.h"
#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "runtime/HttpDate.h"
#include "runtime/Strings.h"

namespace qx::host {

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), modified_(other.modified_), type_(other.type_) {
  other.fd_ = -1;
}

OpenFile::~OpenFile() {
  if (fd_ >= 0) ::close(fd_);
}

StaticFiles::StaticFiles(std::string filesRoot, std::string siteRoot)
    : filesRoot_(IncludeTrailingPathDelimiter(filesRoot)),
      siteRoot_(IncludeTrailingPathDelimiter(siteRoot)) {}

std::optional<OpenFile> StaticFiles::Open(std::string_view name) const {
  auto path = ResolveInFolder(filesRoot_, name);
  if (!path) return std::nullopt;
  int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat st;
  // The file actually opened, whatever links led to it, must lie inside the folder: checking
  // the open descriptor leaves no gap for a link changed between a check and the open.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      !LiesInsideFolder(CanonicalPath("/proc/self/fd/" + std::to_string(fd)), filesRoot_)) {
    ::close(fd);
    return std::nullopt;
  }
  return OpenFile(fd, static_cast<std::uint64_t>(st.st_size), st.st_mtime,
                  types_.TypeOf(*path));
}

std::optional<std::string> StaticFiles::MapUrlToPath(std::string_view urlPath) const {
  auto target = ParseTarget(urlPath.empty() ? "/" : urlPath);
  if (!target || target->path.find('\\') != std::string::npos) return std::nullopt;
  std::string_view path = target->path;
  if (StartsText(kFilesPrefix, path)) return filesRoot_ + std::string(path.substr(kFilesPrefix.size()));
  return siteRoot_ + std::string(path.substr(1));
}

bool StaticFiles::NotModifiedSince(std::time_t modified, std::string_view ifModifiedSince) {
  if (ifModifiedSince.empty()) return false;
  auto since = ParseHttpDate(ifModifiedSince);
  if (!since) return false;
  return modified <= static_cast<std::time_t>(std::llround(SerialToUnix(*since)));
}

std::string StaticFiles::Fields(const OpenFile& file) {
  std::string fields = "Content-Type: ";
  fields += file.ContentType();
  fields += "\r\nLast-Modified: ";
  fields += HttpDateFixed(UnixToSerial(static_cast<double>(file.Modified())));
  fields += "\r\n";
  return fields;
}

}  // namespace qx::host
