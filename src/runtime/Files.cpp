// Files and folders over std::filesystem and POSIX calls.
#include "runtime/Files.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/Exceptions.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"

namespace fs = std::filesystem;

namespace qx {

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != PathDelim) out += PathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.size() > 1 && out.back() == PathDelim) out.pop_back();
  return out;
}

std::string ExtractFilePath(std::string_view path) {
  std::size_t slash = path.rfind(PathDelim);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
  std::size_t slash = path.rfind(PathDelim);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view path) {
  std::size_t dot = path.rfind('.');
  std::size_t slash = path.rfind(PathDelim);
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::string();
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string current = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - current.size())) + std::string(ext);
}

bool IsAbsolutePath(std::string_view path) noexcept { return !path.empty() && path[0] == '/'; }

bool FileExists(const std::string& path) noexcept {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) noexcept {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) noexcept {
  std::error_code ec;
  fs::create_directories(ExcludeTrailingPathDelimiter(path), ec);
  return DirectoryExists(path);
}

bool DeleteTree(const std::string& path) noexcept {
  std::error_code ec;
  fs::remove_all(ExcludeTrailingPathDelimiter(path), ec);
  return !fs::exists(path, ec);
}

bool DeleteFile(const std::string& path) noexcept { return ::unlink(path.c_str()) == 0; }

std::optional<TDateTime> FileAgeLocal(const std::string& path) noexcept {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  TDateTime local = UnixToLocal(st.st_mtim.tv_sec);
  return local + static_cast<double>(st.st_mtim.tv_nsec / 1000000) / kMsPerDay;
}

std::string TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  return IncludeTrailingPathDelimiter(dir && *dir ? dir : "/tmp");
}

namespace {

// A new file prefix + unique part + ".tmp" in `folder`, open for writing: its descriptor
// (negative when it cannot be made), its path in `path`.
int MakeTempFile(const std::string& folder, std::string_view prefix, std::string& path) {
  path = IncludeTrailingPathDelimiter(folder);
  path.append(prefix).append("XXXXXX.tmp");
  return ::mkstemps(path.data(), 4);
}

}  // namespace

std::optional<std::string> CreateTempFile(const std::string& folder, std::string_view prefix) {
  std::string path;
  const int fd = MakeTempFile(folder, prefix, path);
  if (fd < 0) return std::nullopt;
  ::close(fd);
  return path;
}

std::optional<std::string> WriteTempFile(const std::string& folder, std::string_view prefix,
                                         std::string_view bytes) {
  std::string path;
  const int fd = MakeTempFile(folder, prefix, path);
  if (fd < 0) return std::nullopt;
  THandleStream file(fd);
  bool written = true;
  try {
    file.WriteText(bytes);
  } catch (const EInOutError&) {
    written = false;
  }
  if (::close(file.ReleaseHandle()) == 0 && written) return path;
  DeleteFile(path);
  return std::nullopt;
}

int OpenUnnamedTempFile(const std::string& folder) noexcept {
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  // File systems without unnamed files: a named one, unlinked at once.
  std::string path;
  fd = MakeTempFile(folder, "body", path);
  if (fd >= 0) ::unlink(path.c_str());
  return fd;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool IsSafeRelativePath(std::string_view name) noexcept {
  if (name.empty() || name[0] == '/' || name.find('\\') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos)
    return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

std::optional<std::string> ResolveInFolder(const std::string& folder, std::string_view name) {
  if (!IsSafeRelativePath(name)) return std::nullopt;
  std::string exact = IncludeTrailingPathDelimiter(folder) + std::string(name);
  struct stat st;
  if (::stat(exact.c_str(), &st) == 0) return exact;
  std::string current = ExcludeTrailingPathDelimiter(folder);
  std::size_t start = 0;
  while (start < name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view segment = name.substr(start, end - start);
    start = end + 1;
    if (segment.empty() || segment == ".") continue;
    std::string next = current + PathDelim + std::string(segment);
    if (::stat(next.c_str(), &st) != 0) {
      std::error_code ec;
      bool found = false;
      for (const auto& entry : fs::directory_iterator(current, ec)) {
        std::string entryName = entry.path().filename().string();
        if (SameText(entryName, segment)) {
          next = current + PathDelim + entryName;
          found = true;
          break;
        }
      }
      if (!found) return std::nullopt;
    }
    current = std::move(next);
  }
  return current;
}

std::string CanonicalPath(const std::string& path) {
  std::error_code ec;
  fs::path canonical = fs::canonical(path, ec);
  return ec ? std::string() : canonical.string();
}

bool LiesInsideFolder(std::string_view canonicalPath, const std::string& folder) {
  std::string root = CanonicalPath(ExcludeTrailingPathDelimiter(folder));
  return !root.empty() && !canonicalPath.empty() &&
         canonicalPath.starts_with(IncludeTrailingPathDelimiter(root));
}

std::string ModuleFileName(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return std::string();
  std::error_code ec;
  fs::path p = fs::canonical(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : p.string();
}

std::string ExecutableFileName() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace qx
