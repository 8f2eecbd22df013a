// TADOCommand: compiling, binding by position and executing writing statements.
#include "data/ADOCommand.h"

#include "data/DataErrors.h"
#include "runtime/ClassInfo.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgNoConnection = "Missing Connection or ConnectionString";
constexpr const char* kMsgNoCommandText = "CommandText is empty: there is no statement to run";

}  // namespace

const TClassInfo& TADOCommand::StaticClassInfo() {
  using T = TADOCommand;
  static const TClassInfo info = TClassBuilder<T>("TADOCommand")
                                     .Creatable()
                                     .Property("Connection", &T::Connection, &T::SetConnection)
                                     .Property("CommandText", &T::CommandText, &T::SetCommandText)
                                     .Property("Prepared", &T::Prepared, &T::SetPrepared)
                                     .Build();
  return info;
}

TADOCommand::~TADOCommand() {
  statement_.reset();
  if (connection_) connection_->RemoveClient(this);
}

void TADOCommand::SetConnection(TADOConnection* connection) {
  if (connection == connection_) return;
  statement_.reset();
  if (connection_) connection_->RemoveClient(this);
  connection_ = connection;
  if (connection_) connection_->AddClient(this);
}

void TADOCommand::SetCommandText(std::string text) {
  statement_.reset();
  prepared_ = false;
  parsed_ = ParseParameters(text);
  params_.Assign(parsed_.names);
  commandText_ = std::move(text);
}

DbStatement& TADOCommand::Statement() {
  if (!connection_) throw EADOError(kMsgNoConnection);
  connection_->Open();
  if (!statement_) {
    if (TrimView(parsed_.text).empty()) throw EADOError(kMsgNoCommandText);
    statement_ = connection_->Engine().Prepare(AnsiToUtf8(parsed_.text));
  }
  return *statement_;
}

void TADOCommand::SetPrepared(bool value) {
  if (value)
    Statement();
  else
    statement_.reset();
  prepared_ = value;
}

std::int64_t TADOCommand::Execute() {
  DbStatement& statement = Statement();
  std::int64_t written = 0;
  try {
    statement.Reset();
    BindParameters(statement, parsed_, params_);
    while (statement.Step()) {
    }
    written = statement.RowsAffected();
    statement.Reset();
  } catch (...) {
    if (!prepared_) statement_.reset();
    throw;
  }
  if (!prepared_) statement_.reset();
  connection_->Engine().ReleaseMemory();
  return written;
}

}  // namespace qx
