// Connections to one database file shared by all the sessions of the process: a session's
// connection holds an SQLite connection only while it runs a statement or a transaction.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "data/Engine.h"

namespace qx {

// Which file a path named when it was opened: a file replaced at the same path is another one.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// A connection to the database file at `path` (found there as `file`) that takes an SQLite
// connection from the file's pool for each statement, or for a whole transaction, and gives it
// back when done. Thousands of idle sessions then cost no SQLite connection each, and every
// session's statements find them compiled by whichever connection ran them before. Opening
// checks the file at once by taking a connection and giving it back.
std::unique_ptr<DbConnection> OpenPooledConnection(const std::string& path, int busyTimeoutMs,
                                                   const FileIdentity& file);

}  // namespace qx
