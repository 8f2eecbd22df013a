// The SQLite engine: the checks on the path before a file is opened or created, and the pool
// that serves opened files.
#include "data/SqliteEngine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "data/DataErrors.h"
#include "data/SqliteConnection.h"
#include "data/SqlitePool.h"
#include "runtime/Format.h"

namespace qx {
namespace {

constexpr const char* kMsgFileNotFound = "Could not find file '%s'.";
constexpr const char* kMsgNotAFile = "Cannot open the database '%s': it is not a file.";

}  // namespace

std::unique_ptr<DbConnection> SqliteEngine::Open(const std::string& path, int busyTimeoutMs) const {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR)
      throw EADOError(Format(kMsgFileNotFound, {path}), DbErrorKind::kFileNotFound);
    throw EADOError(Format(kMsgCannotOpenDatabase, {path, std::strerror(errno)}),
                    DbErrorKind::kCannotOpen);
  }
  if (!S_ISREG(st.st_mode)) throw EADOError(Format(kMsgNotAFile, {path}), DbErrorKind::kCannotOpen);
  return OpenPooledConnection(path, busyTimeoutMs, {st.st_dev, st.st_ino});
}

std::unique_ptr<DbConnection> SqliteEngine::Create(const std::string& path,
                                                   int busyTimeoutMs) const {
  CreateEmptyFile(path);
  // An empty file is an empty SQLite database. Nothing else has the new file open, so closing
  // the descriptor that made it releases no one's locks.
  return OpenSqliteFile(path, busyTimeoutMs, false);
}

}  // namespace qx
