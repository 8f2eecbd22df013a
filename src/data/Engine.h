// The database seam: the engine, connection and statement interfaces under the data access
// classes. An engine for a database server implements these three and adds one table line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/Variant.h"

namespace qx {

// Everything below the seam is UTF-8: statement texts, text values and column names. Failures
// are EADOError (DataErrors.h) with messages in the service's Windows-1252.

struct DbColumn {
  std::string name;
  // The type the column was declared with in its table ("VARCHAR(50)", "DATETIME" ...), or
  // empty for a computed column.
  std::string declaredType;
};

// One compiled statement. Not shared between threads.
class DbStatement {
 public:
  virtual ~DbStatement() = default;
  // Number of positional '?' markers in the statement.
  virtual int ParameterCount() const = 0;
  // Gives marker `index` (counted from 0) a value; values stay bound across Reset.
  virtual void Bind(int index, const Variant& value) = 0;
  // The result columns; empty for a statement that returns no rows.
  virtual const std::vector<DbColumn>& Columns() const = 0;
  // Runs the statement up to its next result row: true with a row, false when it is done.
  virtual bool Step() = 0;
  // Appends the current row's values to `values`, column after column.
  virtual void AppendRow(std::vector<Variant>& values) const = 0;
  // Makes the statement ready to run again from the start.
  virtual void Reset() = 0;
  // Rows written by the last completed run.
  virtual std::int64_t RowsAffected() const = 0;
};

// One open database connection. Not shared between threads at the same time.
class DbConnection {
 public:
  virtual ~DbConnection() = default;
  // Compiles exactly one statement with positional '?' markers.
  virtual std::unique_ptr<DbStatement> Prepare(std::string_view sql) = 0;
  // A transaction that takes the right to write at once (waiting up to the busy timeout),
  // so that its writes never fail half-way for want of the lock.
  virtual void BeginTransaction() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  // False also after the engine ended a transaction on its own because of an error.
  virtual bool InTransaction() const = 0;
  // Lets go of the cached pages no statement is using: a session's connection sits idle far
  // longer than it works, and the pages are read again cheaply from the system's file cache.
  virtual void ReleaseMemory() noexcept = 0;
  // Copies the whole database, as one consistent state, to a new file at `path` where nothing
  // exists yet, while other connections may go on writing. A failure removes what was made.
  virtual void BackupTo(const std::string& path) = 0;
};

class DbEngine {
 public:
  virtual ~DbEngine() = default;
  // Opens an existing database; never creates one. `busyTimeoutMs` is how long a statement
  // waits for another connection's lock before it fails with DbErrorKind::kBusy.
  virtual std::unique_ptr<DbConnection> Open(const std::string& dataSource,
                                             int busyTimeoutMs) const = 0;
  // Creates a new, empty database where nothing exists yet, and opens it.
  virtual std::unique_ptr<DbConnection> Create(const std::string& dataSource,
                                               int busyTimeoutMs) const = 0;
};

// The engine serving a connection string's Provider (compared without regard to letter
// case); nullptr when no engine serves it.
const DbEngine* FindDbEngine(std::string_view provider);

}  // namespace qx
