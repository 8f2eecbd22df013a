// TADOConnection: choosing the engine from the connection string, opening and closing, and
// one-level transactions.
#include "data/ADOConnection.h"

#include <algorithm>

#include "data/ConnectionString.h"
#include "data/DataErrors.h"
#include "runtime/ClassInfo.h"
#include "runtime/Format.h"

namespace qx {
namespace {

constexpr const char* kMsgObjectOpen = "Operation is not allowed when the object is open.";
constexpr const char* kMsgObjectClosed = "Operation is not allowed when the object is closed.";
constexpr const char* kMsgNoDataSource = "The connection string names no Data Source.";
constexpr const char* kMsgNoProvider = "The connection string names no Provider.";
constexpr const char* kMsgUnknownProvider = "Provider '%s' is not available.";
constexpr const char* kMsgNestedTransaction =
    "A transaction is already active; transactions cannot be nested.";
constexpr const char* kMsgNoTransaction = "No transaction is active.";
constexpr const char* kMsgTransactionLost =
    "The transaction was rolled back by the database after an error; nothing was written.";

}  // namespace

const TClassInfo& TADOConnection::StaticClassInfo() {
  using T = TADOConnection;
  static const TClassInfo info =
      TClassBuilder<T>("TADOConnection")
          .Creatable()
          .Property("ConnectionString", &T::ConnectionString, &T::SetConnectionString)
          .Property("BusyTimeout", &T::BusyTimeout, &T::SetBusyTimeout)
          .Build();
  return info;
}

TADOConnection::~TADOConnection() {
  Close();
  // Copy: a client may remove itself while being told.
  std::vector<TADOConnectionClient*> clients = clients_;
  clients_.clear();
  for (TADOConnectionClient* client : clients) client->ConnectionDestroyed();
}

void TADOConnection::SetConnectionString(std::string value) {
  if (Connected()) throw EADOError(kMsgObjectOpen);
  connectionString_ = std::move(value);
}

void TADOConnection::Open() {
  if (Connected()) return;
  auto items = ::qx::ConnectionString::Parse(connectionString_);
  std::string provider = items.Value("Provider");
  if (provider.empty()) throw EADOError(kMsgNoProvider);
  const DbEngine* engine = FindDbEngine(provider);
  if (!engine) throw EADOError(Format(kMsgUnknownProvider, {provider}));
  // The Data Source is a file-system path and is used byte for byte.
  std::string source = items.Value("Data Source");
  if (source.empty()) throw EADOError(kMsgNoDataSource);
  engine_ = engine->Open(source, busyTimeoutMs_);
}

void TADOConnection::Close() noexcept {
  if (!engine_) return;
  std::vector<TADOConnectionClient*> clients = clients_;
  for (TADOConnectionClient* client : clients) client->ConnectionClosing();
  try {
    engine_->Rollback();
  } catch (const std::exception&) {
    // Closing ends the transaction anyway: the engine drops what was not committed.
  }
  inTransaction_ = false;
  engine_.reset();
}

int TADOConnection::BeginTrans() {
  DbConnection& engine = Engine();
  if (inTransaction_) throw EADOError(kMsgNestedTransaction);
  engine.BeginTransaction();
  inTransaction_ = true;
  return 1;
}

void TADOConnection::CommitTrans() {
  DbConnection& engine = Engine();
  if (!inTransaction_) throw EADOError(kMsgNoTransaction);
  if (!engine.InTransaction()) {
    inTransaction_ = false;
    throw EADOError(kMsgTransactionLost);
  }
  engine.Commit();  // on failure the transaction stays open for RollbackTrans
  inTransaction_ = false;
}

void TADOConnection::RollbackTrans() {
  DbConnection& engine = Engine();
  if (!inTransaction_) throw EADOError(kMsgNoTransaction);
  inTransaction_ = false;
  engine.Rollback();
}

bool TADOConnection::InTransaction() const noexcept { return inTransaction_; }

DbConnection& TADOConnection::Engine() {
  if (!engine_) throw EADOError(kMsgObjectClosed);
  return *engine_;
}

void TADOConnection::AddClient(TADOConnectionClient* client) {
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end())
    clients_.push_back(client);
}

void TADOConnection::RemoveClient(TADOConnectionClient* client) noexcept {
  std::erase(clients_, client);
}

}  // namespace qx
