// TADOConnection: a session's connection to the database, opened from a connection string,
// with one-level transactions. Datasets and commands run their statements through it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/Engine.h"
#include "runtime/Component.h"

namespace qx {

// A dataset or command using a connection: told when the connection closes (so it lets go of
// its engine statements) and when the connection object goes away (so it forgets it).
class TADOConnectionClient {
 public:
  virtual void ConnectionClosing() = 0;
  virtual void ConnectionDestroyed() = 0;

 protected:
  ~TADOConnectionClient() = default;
};

// Thread safety: a connection, its datasets and its commands serve one session, which one
// request at a time holds (the session lock); they take no locks of their own. Separate
// sessions use separate connections; the engine arbitrates between them and outside tools.
//
// A component, so that a definition (a screen's or the session data module's) declares it and
// names it in its datasets' and commands' Connection.
class TADOConnection : public TComponent {
  QX_CLASS(TADOConnection, TComponent)

 public:
  // How long a write waits for another connection's lock before it fails, by default.
  static constexpr int kDefaultBusyTimeoutMs = 5000;

  TADOConnection() = default;
  ~TADOConnection() override;

  const std::string& ConnectionString() const noexcept { return connectionString_; }
  // Fails with EADOError while connected.
  void SetConnectionString(std::string value);
  int BusyTimeout() const noexcept { return busyTimeoutMs_; }
  // Takes effect at the next Open.
  void SetBusyTimeout(int milliseconds) noexcept { busyTimeoutMs_ = milliseconds; }

  // Opens the database named by the connection string's Data Source with the engine of its
  // Provider. Never creates a database: a missing file, or one that is not a database,
  // fails with EADOError naming the file. Does nothing when already connected.
  void Open();
  // Rolls back a transaction still open, closes the datasets on this connection and lets
  // commands release their statements. Does nothing when not connected.
  void Close() noexcept;
  bool Connected() const noexcept { return engine_ != nullptr; }
  void SetConnected(bool value) {
    if (value)
      Open();
    else
      Close();
  }

  // One level: BeginTrans inside a transaction fails, CommitTrans and RollbackTrans outside
  // one fail. The writes in between become visible together, or not at all after a rollback.
  // Returns the nesting level (1).
  int BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const noexcept;

  // For the data access classes: the engine connection; EADOError when not connected.
  DbConnection& Engine();
  void AddClient(TADOConnectionClient* client);
  void RemoveClient(TADOConnectionClient* client) noexcept;

 private:
  std::string connectionString_;
  int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
  std::unique_ptr<DbConnection> engine_;
  // Between BeginTrans and CommitTrans/RollbackTrans, even when the engine ended the
  // transaction on its own after an error (then CommitTrans fails and RollbackTrans is quiet).
  bool inTransaction_ = false;
  std::vector<TADOConnectionClient*> clients_;
};

}  // namespace qx
