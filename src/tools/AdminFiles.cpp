// Placing new database files.
#include "tools/AdminFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Guid.h"
#include "tools/AdminCommand.h"

namespace qx::admin {
namespace {

constexpr const char* kMsgExists =
    "'%s' already exists; nothing was changed (use --force to replace it)";
constexpr const char* kMsgNotAFile = "'%s' is not a file; only a database file is replaced";
constexpr const char* kMsgNoFolder = "cannot create the folder '%s'";
constexpr const char* kMsgCannotPlace = "cannot move the new database to '%s': %s";

}  // namespace

std::string ScratchName(const std::string& path) {
  TGUID g = CreateGUID();
  return Format("%s.new-%x%x.tmp",
                {path, static_cast<unsigned>(g.D1), static_cast<unsigned>(g.D2)});
}

void RemoveDatabaseFiles(const std::string& path) {
  DeleteFile(path);
  DeleteFile(path + "-wal");
  DeleteFile(path + "-shm");
  DeleteFile(path + "-journal");
}

void CheckTarget(const std::string& path, bool replace) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (!replace) throw Failure(Format(kMsgExists, {path}));
  if (!S_ISREG(st.st_mode)) throw Failure(Format(kMsgNotAFile, {path}));
}

void MakeFolderFor(const std::string& path) {
  std::string folder = ExtractFilePath(path);
  if (!folder.empty() && !ForceDirectories(folder)) throw Failure(Format(kMsgNoFolder, {folder}));
}

void PlaceNewFile(const std::string& scratch, const std::string& path, bool replace) {
  if (replace) {
    // The old database's journal files must not meet the new file.
    DeleteFile(path + "-wal");
    DeleteFile(path + "-shm");
    if (::rename(scratch.c_str(), path.c_str()) != 0)
      throw Failure(Format(kMsgCannotPlace, {path, std::strerror(errno)}));
    return;
  }
  if (::link(scratch.c_str(), path.c_str()) == 0) {
    ::unlink(scratch.c_str());
    return;
  }
  if (errno == EEXIST) throw Failure(Format(kMsgExists, {path}));
  // File systems without hard links: check, then rename.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) throw Failure(Format(kMsgExists, {path}));
  if (::rename(scratch.c_str(), path.c_str()) != 0)
    throw Failure(Format(kMsgCannotPlace, {path, std::strerror(errno)}));
}

}  // namespace qx::admin
