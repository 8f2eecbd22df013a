// The folders the host maps URLs to: the public Files folder served under /files/, and the
// URL-to-path mapping the library may ask for.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "host/MimeTypes.h"

namespace qx::host {

// An open regular file; the descriptor is closed with the object.
class OpenFile {
 public:
  // `type` must outlive the object (it comes from the host's type table).
  OpenFile(int fd, std::uint64_t size, std::time_t modified, std::string_view type)
      : fd_(fd), size_(size), modified_(modified), type_(type) {}
  OpenFile(OpenFile&& other) noexcept;
  OpenFile& operator=(OpenFile&&) = delete;
  ~OpenFile();

  int Fd() const noexcept { return fd_; }
  std::uint64_t Size() const noexcept { return size_; }
  std::time_t Modified() const noexcept { return modified_; }
  std::string_view ContentType() const noexcept { return type_; }

 private:
  int fd_;
  std::uint64_t size_;
  std::time_t modified_;
  std::string_view type_;
};

class StaticFiles {
 public:
  // `filesRoot` is served under /files/; `siteRoot` (the extension's folder) stands for the
  // rest of the URL space in MapUrlToPath.
  StaticFiles(std::string filesRoot, std::string siteRoot);

  const std::string& FilesRoot() const noexcept { return filesRoot_; }

  // Opens `name` (relative to the Files folder, already decoded) when it is a safe relative
  // name of a regular file, found exactly or without regard to letter case.
  std::optional<OpenFile> Open(std::string_view name) const;

  // The physical path for a URL path: under the Files folder for /files/..., under the site
  // root otherwise. Nothing for a path that is not safe. No file needs to exist.
  std::optional<std::string> MapUrlToPath(std::string_view urlPath) const;

  // The value of an If-Modified-Since header says the client's copy is current.
  static bool NotModifiedSince(std::time_t modified, std::string_view ifModifiedSince);

  // "Content-Type: ...\r\nLast-Modified: ...\r\n" for a file.
  static std::string Fields(const OpenFile& file);

 private:
  std::string filesRoot_;  // with a trailing '/'
  std::string siteRoot_;   // with a trailing '/'
  MimeTypes types_;
};

}  // namespace qx::host
