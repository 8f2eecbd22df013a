// TADOCommand: runs a writing statement on a TADOConnection. Its ":name" parameters are taken
// in the order of their first appearance and are given their values by position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/ADOConnection.h"
#include "data/Params.h"

namespace qx {

class TADOCommand : public TComponent, private TADOConnectionClient {
  QX_CLASS(TADOCommand, TComponent)

 public:
  TADOCommand() = default;
  ~TADOCommand() override;

  TADOConnection* Connection() const noexcept { return connection_; }
  void SetConnection(TADOConnection* connection);

  const std::string& CommandText() const noexcept { return commandText_; }
  // Reads the parameters from the text (names that remain keep their values) and unprepares.
  void SetCommandText(std::string text);
  TParameters& Parameters() noexcept { return params_; }

  bool Prepared() const noexcept { return prepared_; }
  // True compiles the statement now (EADOError when the database rejects it) and keeps it
  // compiled for every Execute; false lets it go.
  void SetPrepared(bool value);

  // Runs the statement with the parameters' values and returns the number of rows written.
  // EADOError when there is no connection or statement, a parameter has no value, or the
  // database rejects the statement (a duplicate key, a busy database after the busy
  // timeout ...). Opens the connection when needed.
  std::int64_t Execute();

 private:
  void ConnectionClosing() override { statement_.reset(); }
  void ConnectionDestroyed() override {
    statement_.reset();
    connection_ = nullptr;
  }
  DbStatement& Statement();

  TADOConnection* connection_ = nullptr;
  std::string commandText_;
  ParsedStatement parsed_;
  TParameters params_;
  bool prepared_ = false;
  std::unique_ptr<DbStatement> statement_;
};

}  // namespace qx
