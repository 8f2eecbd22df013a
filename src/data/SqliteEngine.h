// The SQLite engine behind the database seam: database files opened in WAL mode with a busy
// timeout, so that sessions and outside tools share one file.
#pragma once

#include "data/Engine.h"

namespace qx {

class SqliteEngine final : public DbEngine {
 public:
  // Fails with kFileNotFound when nothing is at the path, kCannotOpen for something that is
  // not a readable file, kNotADatabase for a file without the SQLite header (an empty file
  // included), so that opening never turns a stray file into a database.
  std::unique_ptr<DbConnection> Open(const std::string& path, int busyTimeoutMs) const override;
  // Fails with kCannotOpen when anything already exists at the path.
  std::unique_ptr<DbConnection> Create(const std::string& path, int busyTimeoutMs) const override;
};

}  // namespace qx
