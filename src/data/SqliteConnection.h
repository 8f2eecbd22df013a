// One SQLite connection to a database file, below the pool that sessions share.
#pragma once

#include <memory>
#include <string>

#include "data/Engine.h"

namespace qx {

inline constexpr const char* kMsgCannotOpenDatabase = "Cannot open the database '%s': %s.";

// Makes a new, empty file at `path`; EADOError when anything is there already or the file
// cannot be made.
void CreateEmptyFile(const std::string& path);

// Opens the file at `path`, which the caller found there, with the busy timeout and WAL mode
// set. With `existing` the file must be an SQLite database (an empty file is not); without it
// the file is new and empty. Failures are EADOError naming the file.
std::unique_ptr<DbConnection> OpenSqliteFile(const std::string& path, int busyTimeoutMs,
                                             bool existing);

}  // namespace qx
