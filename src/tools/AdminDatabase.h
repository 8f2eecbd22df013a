// The database an admin command works on: which file (--database, else the installed
// service's), opened the way the service opens it (WAL, a busy timeout, so the tool is safe to
// run while the service serves the file), with statements by position and one transaction
// around every change.
#pragma once

#include <cstdint>
#include <vector>
#include <memory>
#include <string>
#include <string_view>

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "tools/AdminArgs.h"

namespace qx::admin {

// --database, else the database the service installed beside this program uses (its
// ZozarodUruzede.ini, read without changing it).
std::string DatabasePath(const Arguments& args);
// --language (checked), else the service's own language.
std::string DisplayLanguage(const Arguments& args);

class AdminDatabase {
 public:
  // A writer of the service holds the file for a moment at a time; the tool waits that long.
  static constexpr int kBusyTimeoutMs = 15000;

  // Opens the existing database at `path` (never creates one; EADOError naming the file).
  explicit AdminDatabase(const std::string& path);

  // The rows of a reading statement whose ":name" parameters receive `values` in order.
  std::unique_ptr<TADODataSet> Query(std::string_view sql, const std::vector<Variant>& values = {});
  // Runs a writing statement the same way; the number of rows it wrote.
  std::int64_t Execute(std::string_view sql, const std::vector<Variant>& values = {});
  // "UPDATE <table> SET <column> = :<column>, ... <where>" with the values of `values`, then
  // `whereValues` for the parameters of `where`; the number of rows written.
  std::int64_t Update(std::string_view table, const std::vector<ColumnValue>& values,
                      std::string_view where, const std::vector<Variant>& whereValues);
  // The next key of a table, read with its kSqlNext...Id statement as the service reads it.
  int NextKey(std::string_view statement);
  TADOConnection& Connection() noexcept { return connection_; }

  // Runs `work` in one transaction: committed when it returns, rolled back (nothing changed)
  // when it throws. The transaction takes the right to write at once, so keys read inside it
  // cannot be taken by another writer before the rows are inserted.
  template <class Work>
  void InTransaction(Work&& work) {
    connection_.BeginTrans();
    try {
      work();
      connection_.CommitTrans();
    } catch (...) {
      if (connection_.InTransaction()) connection_.RollbackTrans();
      throw;
    }
  }

 private:
  TADOConnection connection_;
  TADOCommand command_;
  TADODataSet scratch_;
};

}  // namespace qx::admin
