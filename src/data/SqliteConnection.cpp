// SQLite connections and statements: opening a file with checks that name it, WAL mode, busy
// timeouts, one statement per text kept compiled for reuse, online copies of the whole file, and
// engine error codes mapped to DbErrorKind.
#include "data/SqliteConnection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

#include "data/DataErrors.h"
#include "data/SqliteJoins.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {
namespace {


constexpr const char* kMsgNotADatabase = "The file '%s' is not a database: %s.";
constexpr const char* kMsgAlreadyExists = "Cannot create the database '%s': it already exists.";
constexpr const char* kMsgBackupFailed = "Cannot copy the database to '%s': %s.";
constexpr const char* kMsgNoSqliteHeader = "it has no SQLite database header";
constexpr const char* kMsgNoStatement = "The command text holds no statement.";
constexpr const char* kMsgSeveralStatements =
    "The command text holds more than one statement; run them one at a time.";

// The first 16 bytes of every SQLite database file.
constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                              'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

DbErrorKind KindOf(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return DbErrorKind::kBusy;
    case SQLITE_CONSTRAINT:
      return DbErrorKind::kConstraint;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return DbErrorKind::kNotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
      return DbErrorKind::kCannotOpen;
    default:
      return DbErrorKind::kOther;
  }
}

[[noreturn]] void Fail(sqlite3* db, int code) {
  throw EADOError(Utf8ToAnsi(sqlite3_errmsg(db)), KindOf(code));
}

void Exec(sqlite3* db, const char* sql) {
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc);
}

// A compiled statement with its text and result columns, kept by its connection for reuse.
struct CompiledStatement {
  std::string sql;
  sqlite3_stmt* stmt = nullptr;
  std::vector<DbColumn> columns;
  int recompilations = 0;  // when the columns were read
};

int Recompilations(sqlite3_stmt* stmt) {
  return sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
}

void ReadColumns(CompiledStatement& compiled) {
  int count = sqlite3_column_count(compiled.stmt);
  compiled.columns.clear();
  compiled.columns.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* decl = sqlite3_column_decltype(compiled.stmt, i);
    compiled.columns.push_back({sqlite3_column_name(compiled.stmt, i), decl ? decl : ""});
  }
  compiled.recompilations = Recompilations(compiled.stmt);
}

// The connection's recently used statements, most recent last. A session runs the same few
// texts again and again (its lists, its user, its settings): compiling them is most of the cost
// of a short query, and a compiled statement stays valid across schema changes (SQLite
// recompiles it when needed).
class StatementCache {
 public:
  // Room for every entry from the start, so that keeping a statement never allocates.
  StatementCache() { entries_.reserve(kCapacity); }
  ~StatementCache() {
    for (CompiledStatement& entry : entries_) sqlite3_finalize(entry.stmt);
  }
  // Takes the statement compiled for exactly `sql` out of the cache, if there is one.
  std::optional<CompiledStatement> Take(std::string_view sql) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->sql != sql) continue;
      CompiledStatement found = std::move(*it);
      entries_.erase(it);
      return found;
    }
    return std::nullopt;
  }
  // Keeps a statement that has finished running, evicting the least recently used.
  void Put(CompiledStatement entry) {
    sqlite3_reset(entry.stmt);
    sqlite3_clear_bindings(entry.stmt);
    if (entries_.size() == kCapacity) {
      sqlite3_finalize(entries_.front().stmt);
      entries_.erase(entries_.begin());
    }
    entries_.push_back(std::move(entry));
  }

 private:
  static constexpr std::size_t kCapacity = 8;
  std::vector<CompiledStatement> entries_;
};

class SqliteStatement final : public DbStatement {
 public:
  SqliteStatement(sqlite3* db, CompiledStatement compiled, std::weak_ptr<StatementCache> cache)
      : db_(db), compiled_(std::move(compiled)), stmt_(compiled_.stmt), cache_(std::move(cache)) {}
  // Goes back to its connection's cache while the connection lives.
  ~SqliteStatement() override {
    if (auto cache = cache_.lock())
      cache->Put(std::move(compiled_));
    else
      sqlite3_finalize(stmt_);
  }

  int ParameterCount() const override { return sqlite3_bind_parameter_count(stmt_); }

  void Bind(int index, const Variant& value) override {
    int i = index + 1;
    int rc = SQLITE_OK;
    switch (value.kind()) {
      case Variant::Kind::Null:
        rc = sqlite3_bind_null(stmt_, i);
        break;
      case Variant::Kind::Integer:
        rc = sqlite3_bind_int64(stmt_, i, value.integer());
        break;
      case Variant::Kind::Float:
        rc = sqlite3_bind_double(stmt_, i, value.number());
        break;
      case Variant::Kind::Text:
        rc = sqlite3_bind_text64(stmt_, i, value.bytes().data(), value.bytes().size(),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
      case Variant::Kind::Blob:
        rc = sqlite3_bind_blob64(stmt_, i, value.bytes().data(), value.bytes().size(),
                                 SQLITE_TRANSIENT);
        break;
    }
    if (rc != SQLITE_OK) Fail(db_, rc);
  }

  // SQLite compiles a kept statement again when the schema changed since (at its next step):
  // its columns are then read again.
  const std::vector<DbColumn>& Columns() const override {
    if (Recompilations(stmt_) != compiled_.recompilations) ReadColumns(compiled_);
    return compiled_.columns;
  }

  bool Step() override {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
      changes_ = sqlite3_changes64(db_);
      return false;
    }
    // Take the message before the reset, which releases whatever the failed run held.
    EADOError error(Utf8ToAnsi(sqlite3_errmsg(db_)), KindOf(rc));
    sqlite3_reset(stmt_);
    throw error;
  }

  void AppendRow(std::vector<Variant>& values) const override {
    const int count = sqlite3_column_count(stmt_);
    for (int index = 0; index < count; ++index) {
      switch (sqlite3_column_type(stmt_, index)) {
        case SQLITE_INTEGER:
          values.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, index)));
          break;
        case SQLITE_FLOAT:
          values.emplace_back(sqlite3_column_double(stmt_, index));
          break;
        case SQLITE_TEXT: {
          auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
          values.emplace_back(
              std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, index))));
          break;
        }
        case SQLITE_BLOB: {
          auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, index));
          std::size_t size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, index));
          values.push_back(Variant::Blob(data ? std::string(data, size) : std::string()));
          break;
        }
        default:
          values.emplace_back();
      }
    }
  }

  void Reset() override { sqlite3_reset(stmt_); }
  std::int64_t RowsAffected() const override { return changes_; }

 private:
  sqlite3* db_;
  mutable CompiledStatement compiled_;
  sqlite3_stmt* stmt_;
  std::weak_ptr<StatementCache> cache_;
  std::int64_t changes_ = 0;
};

class SqliteConnection final : public DbConnection {
 public:
  SqliteConnection(sqlite3* db, int busyTimeoutMs) : db_(db), busyTimeoutMs_(busyTimeoutMs) {}
  // close_v2 defers the close until statements still alive are finalized.
  ~SqliteConnection() override {
    cache_.reset();
    sqlite3_close_v2(db_);
  }

  std::unique_ptr<DbStatement> Prepare(std::string_view sql) override {
    if (auto cached = cache_->Take(sql))
      return std::make_unique<SqliteStatement>(db_, std::move(*cached), cache_);
    // Kept under the text it was given; SQLite compiles the form it plans best.
    const std::optional<std::string> flat = FlattenNestedOuterJoin(sql);
    const std::string_view text = flat ? std::string_view(*flat) : sql;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(db_, text.data(), static_cast<int>(text.size()), 0, &stmt, &tail);
    if (rc != SQLITE_OK) {
      DbErrorKind kind = (rc & 0xFF) == SQLITE_ERROR ? DbErrorKind::kSyntax : KindOf(rc);
      throw EADOError(Utf8ToAnsi(sqlite3_errmsg(db_)), kind);
    }
    if (!stmt) throw EADOError(kMsgNoStatement, DbErrorKind::kSyntax);
    auto statement =
        std::make_unique<SqliteStatement>(db_, Compiled(sql, stmt), cache_);
    // A second statement after the first is refused rather than silently dropped, so that
    // composed text can never smuggle in another statement.
    std::string_view rest(tail, static_cast<std::size_t>(text.data() + text.size() - tail));
    if (!rest.empty()) {
      sqlite3_stmt* extra = nullptr;
      rc = sqlite3_prepare_v3(db_, rest.data(), static_cast<int>(rest.size()), 0, &extra, nullptr);
      sqlite3_finalize(extra);
      if (rc != SQLITE_OK || extra) throw EADOError(kMsgSeveralStatements, DbErrorKind::kSyntax);
    }
    return statement;
  }

  void BeginTransaction() override { Exec(db_, "BEGIN IMMEDIATE"); }
  void Commit() override { Exec(db_, "COMMIT"); }
  void Rollback() override {
    // The engine may already have rolled back on its own after certain errors.
    if (InTransaction()) Exec(db_, "ROLLBACK");
  }
  bool InTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }
  void ReleaseMemory() noexcept override { sqlite3_db_release_memory(db_); }

  void BackupTo(const std::string& path) override {
    CreateEmptyFile(path);
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &target, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) rc = CopyInto(target);
    const int closed = sqlite3_close(target);
    if (rc == SQLITE_OK) rc = closed;
    if (rc != SQLITE_OK) {
      ::unlink(path.c_str());
      ::unlink((path + "-journal").c_str());
      throw EADOError(Format(kMsgBackupFailed, {path, sqlite3_errstr(rc)}), KindOf(rc));
    }
  }

 private:
  static constexpr int kBackupRetryMs = 50;

  // One step copies every page under one read transaction, so the copy is one committed
  // state; in WAL mode the other connections' writers go on meanwhile. The source's busy
  // handler is not consulted, hence the rounds here, up to the busy timeout.
  int CopyInto(sqlite3* target) {
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", db_, "main");
    if (!backup) return sqlite3_errcode(target);
    int rc = SQLITE_OK;
    for (int waited = 0;; waited += kBackupRetryMs) {
      rc = sqlite3_backup_step(backup, -1);
      if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited >= busyTimeoutMs_) break;
      sqlite3_sleep(kBackupRetryMs);
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
  }

  static CompiledStatement Compiled(std::string_view sql, sqlite3_stmt* stmt) {
    CompiledStatement compiled{std::string(sql), stmt, {}};
    ReadColumns(compiled);
    return compiled;
  }

  sqlite3* db_;
  int busyTimeoutMs_;
  std::shared_ptr<StatementCache> cache_ = std::make_shared<StatementCache>();
};

// Whether the open database file starts with the SQLite header, read through SQLite's own
// descriptor: opening and closing another descriptor of the file would release every POSIX
// lock this process holds on it, the other connections' included, so that another process
// could take the file as unused and checkpoint and delete the WAL under them.
bool HasSqliteHeader(sqlite3* db) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods)
    return false;
  char header[sizeof kHeader];
  return file->pMethods->xRead(file, header, sizeof header, 0) == SQLITE_OK &&
         std::memcmp(header, kHeader, sizeof header) == 0;
}

// The process-wide settings, made before SQLite starts. Without the bulk page-cache slab each
// connection takes pages as it needs them, and without memory statistics SQLite's allocations
// skip a global mutex that every request's queries would contend for. Either call fails
// harmlessly when something in the process started SQLite first.
void ConfigureSqlite() {
  static std::once_flag once;
  std::call_once(once, [] {
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  });
}

}  // namespace

void CreateEmptyFile(const std::string& path) {
  // O_EXCL makes "nothing is there yet" and "it is ours now" one step.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST)
      throw EADOError(Format(kMsgAlreadyExists, {path}), DbErrorKind::kCannotOpen);
    throw EADOError(Format(kMsgCannotOpenDatabase, {path, std::strerror(errno)}),
                    DbErrorKind::kCannotOpen);
  }
  ::close(fd);
}

std::unique_ptr<DbConnection> OpenSqliteFile(const std::string& path, int busyTimeoutMs,
                                             bool existing) {
  ConfigureSqlite();
  sqlite3* db = nullptr;
  // A connection is leased to one request at a time (SqlitePool), so SQLite's own
  // per-connection mutex would only be taken and released around every call for nothing.
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = db ? Utf8ToAnsi(sqlite3_errmsg(db)) : "out of memory";
    sqlite3_close_v2(db);
    throw EADOError(Format(kMsgCannotOpenDatabase, {path, reason}), KindOf(rc));
  }
  auto connection = std::make_unique<SqliteConnection>(db, busyTimeoutMs);
  if (existing && !HasSqliteHeader(db))
    throw EADOError(Format(kMsgNotADatabase, {path, kMsgNoSqliteHeader}),
                    DbErrorKind::kNotADatabase);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busyTimeoutMs);
  // The first statement reads the file: a damaged file fails here, naming the file.
  rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = Utf8ToAnsi(sqlite3_errmsg(db));
    DbErrorKind kind = KindOf(rc);
    if (kind == DbErrorKind::kNotADatabase)
      throw EADOError(Format(kMsgNotADatabase, {path, reason}), kind);
    throw EADOError(Format(kMsgCannotOpenDatabase, {path, reason}), kind);
  }
  return connection;
}

}  // namespace qx
