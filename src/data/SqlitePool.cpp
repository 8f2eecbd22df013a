// The per-file pools of SQLite connections and the session connections that lease from them.
#include "data/SqlitePool.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "data/SqliteConnection.h"

namespace qx {
namespace {

// The idle SQLite connections to one file. A connection is leased to one session connection
// at a time, so the pool needs no more than the requests running at once; idle ones beyond
// kMaxIdle are closed.
class Pool {
 public:
  struct Lease {
    std::unique_ptr<DbConnection> connection;
    FileIdentity file;
  };

  Pool(std::string path, int busyTimeoutMs) : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {}

  // An idle connection to `file`, or a new one.
  Lease Take(const FileIdentity& file) {
    {
      std::lock_guard lock(mutex_);
      for (auto it = idle_.rbegin(); it != idle_.rend(); ++it) {
        if (it->file != file) continue;
        Lease lease = std::move(*it);
        idle_.erase(std::next(it).base());
        return lease;
      }
    }
    return {OpenSqliteFile(path_, busyTimeoutMs_, true), file};
  }

  // Keeps a connection that is done, unless it is still in a transaction (a connection is only
  // shared clean) or the pool is full. The most recently kept are taken first: those few keep
  // their cached pages, the ones below them let go of theirs.
  void Give(Lease lease) noexcept {
    if (lease.connection->InTransaction()) return;
    std::lock_guard lock(mutex_);
    if (idle_.size() >= kMaxIdle) return;
    if (idle_.size() >= kWarmIdle) idle_[idle_.size() - kWarmIdle].connection->ReleaseMemory();
    idle_.push_back(std::move(lease));
  }

  // Closes the idle connections to any file but `file`: the path now names another file.
  void Forget(const FileIdentity& file) noexcept {
    std::vector<Lease> stale;
    std::lock_guard lock(mutex_);
    for (auto it = idle_.begin(); it != idle_.end();) {
      if (it->file == file) {
        ++it;
      } else {
        stale.push_back(std::move(*it));
        it = idle_.erase(it);
      }
    }
  }

 private:
  static constexpr std::size_t kMaxIdle = 64;
  static constexpr std::size_t kWarmIdle = 4;
  const std::string path_;
  const int busyTimeoutMs_;
  std::mutex mutex_;
  std::vector<Lease> idle_;
};

// The pool of a path and busy timeout, shared while any session connection uses it.
std::shared_ptr<Pool> PoolOf(const std::string& path, int busyTimeoutMs) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, int>, std::weak_ptr<Pool>> pools;
  std::lock_guard lock(mutex);
  std::erase_if(pools, [](const auto& entry) { return entry.second.expired(); });
  std::weak_ptr<Pool>& slot = pools[{path, busyTimeoutMs}];
  std::shared_ptr<Pool> pool = slot.lock();
  if (!pool) {
    pool = std::make_shared<Pool>(path, busyTimeoutMs);
    slot = pool;
  }
  return pool;
}

// What a session connection and its live statements share: the lease, held while any
// statement lives or a transaction is open.
class LeaseHolder {
 public:
  LeaseHolder(std::shared_ptr<Pool> pool, const FileIdentity& file)
      : pool_(std::move(pool)), file_(file) {}
  ~LeaseHolder() {
    if (lease_) {
      try {
        lease_->connection->Rollback();
      } catch (const std::exception&) {
        // The connection is closed below with whatever it had not committed.
      }
      pool_->Give(std::move(*lease_));
    }
  }

  DbConnection& Leased() {
    if (!lease_) lease_ = pool_->Take(file_);
    return *lease_->connection;
  }
  DbConnection* Current() const noexcept { return lease_ ? lease_->connection.get() : nullptr; }
  void StatementOpened() noexcept { ++statements_; }
  void StatementClosed() noexcept {
    --statements_;
    GiveBackWhenDone();
  }
  // Gives the connection back when no statement lives and no transaction is open.
  void GiveBackWhenDone() noexcept {
    if (!lease_ || statements_ > 0 || lease_->connection->InTransaction()) return;
    pool_->Give(std::move(*lease_));
    lease_.reset();
  }

 private:
  std::shared_ptr<Pool> pool_;
  FileIdentity file_;
  std::optional<Pool::Lease> lease_;
  int statements_ = 0;
};

// A statement of a leased connection; while it lives, the lease stays.
class LeasedStatement final : public DbStatement {
 public:
  LeasedStatement(std::unique_ptr<DbStatement> statement, std::shared_ptr<LeaseHolder> holder)
      : statement_(std::move(statement)), holder_(std::move(holder)) {
    holder_->StatementOpened();
  }
  ~LeasedStatement() override {
    statement_.reset();
    holder_->StatementClosed();
  }
  int ParameterCount() const override { return statement_->ParameterCount(); }
  void Bind(int index, const Variant& value) override { statement_->Bind(index, value); }
  const std::vector<DbColumn>& Columns() const override { return statement_->Columns(); }
  bool Step() override { return statement_->Step(); }
  void AppendRow(std::vector<Variant>& values) const override { statement_->AppendRow(values); }
  void Reset() override { statement_->Reset(); }
  std::int64_t RowsAffected() const override { return statement_->RowsAffected(); }

 private:
  std::unique_ptr<DbStatement> statement_;
  std::shared_ptr<LeaseHolder> holder_;
};

class PooledConnection final : public DbConnection {
 public:
  PooledConnection(std::shared_ptr<Pool> pool, const FileIdentity& file)
      : holder_(std::make_shared<LeaseHolder>(std::move(pool), file)) {}

 private:
  // Runs `work` on the leased connection and gives the connection back when it is then done,
  // whether `work` succeeded or failed.
  template <typename Work>
  decltype(auto) Leasing(Work&& work) {
    struct GiveBack {
      LeaseHolder& holder;
      ~GiveBack() { holder.GiveBackWhenDone(); }
    } giveBack{*holder_};
    return work();
  }

 public:
  std::unique_ptr<DbStatement> Prepare(std::string_view sql) override {
    return Leasing([&] {
      return std::make_unique<LeasedStatement>(holder_->Leased().Prepare(sql), holder_);
    });
  }
  void BeginTransaction() override {
    Leasing([&] { holder_->Leased().BeginTransaction(); });
  }
  // On failure the transaction stays open, and with it the lease.
  void Commit() override {
    Leasing([&] { holder_->Leased().Commit(); });
  }
  void Rollback() override {
    if (holder_->Current()) Leasing([&] { holder_->Current()->Rollback(); });
  }
  bool InTransaction() const override {
    DbConnection* current = holder_->Current();
    return current && current->InTransaction();
  }
  void ReleaseMemory() noexcept override {
    if (DbConnection* current = holder_->Current()) current->ReleaseMemory();
  }
  void BackupTo(const std::string& path) override {
    Leasing([&] { holder_->Leased().BackupTo(path); });
  }

 private:
  std::shared_ptr<LeaseHolder> holder_;
};

}  // namespace

std::unique_ptr<DbConnection> OpenPooledConnection(const std::string& path, int busyTimeoutMs,
                                                   const FileIdentity& file) {
  std::shared_ptr<Pool> pool = PoolOf(path, busyTimeoutMs);
  pool->Forget(file);
  auto connection = std::make_unique<PooledConnection>(pool, file);
  // Take one now, so that a file that cannot be opened fails here, naming the file.
  pool->Give(pool->Take(file));
  return connection;
}

}  // namespace qx
