// The datasets the screens and the session module use: TADODataSet (statement in
// CommandText) and TADOQuery (statement in the SQL lines), both static and read on a
// TADOConnection, with named parameters and an optional master dataset.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/ADOConnection.h"
#include "data/DataSet.h"
#include "data/DataSource.h"
#include "data/Params.h"
#include "runtime/StringList.h"

namespace qx {

class TCustomADODataSet : public TDataSet, private TADOConnectionClient {
  QX_CLASS(TCustomADODataSet, TDataSet)

 public:
  TCustomADODataSet();
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const noexcept { return connection_; }
  // Closes the dataset when it changes connection.
  void SetConnection(TADOConnection* connection);

  // The ":name" parameters of the current statement text, in order of first appearance;
  // values given before Open are used by Open. Re-read when the text changes (a parameter
  // whose name remains keeps its value).
  TParameters& Parameters();

  // Master dataset: a parameter given no value takes the master's current field of the same
  // name, and the dataset runs again when the master moves to a record with other values.
  TDataSource* DataSource() const noexcept { return masterLink_.DataSource(); }
  void SetDataSource(TDataSource* source) { masterLink_.SetDataSource(source); }

 protected:
  virtual std::string CommandTextNow() const = 0;
  // Runs the statement on the connection (opening the connection when needed) and fetches
  // every row. EADOError when there is no connection, no statement, the statement returns no
  // rows, a parameter has no value, or the database rejects it.
  ResultSet FetchAll() override;

 private:
  // Makes this dataset follow the dataset of its DataSource.
  class MasterLink final : public TDataLink {
   public:
    explicit MasterLink(TCustomADODataSet& detail) : detail_(detail) {}
    TDataSet* DetailDataSet() const noexcept override { return &detail_; }

   protected:
    void ActiveChanged() override { detail_.MasterChanged(); }
    void DataSetChanged() override { detail_.MasterChanged(); }

   private:
    TCustomADODataSet& detail_;
  };

  void ConnectionClosing() override { Close(); }
  void ConnectionDestroyed() override;
  std::optional<Variant> MasterValue(std::string_view name) const;
  void MasterChanged();
  const ParsedStatement& Parsed();

  TADOConnection* connection_ = nullptr;
  std::string parsedText_;
  ParsedStatement parsed_;
  TParameters params_;
  MasterLink masterLink_{*this};
  // The master's values the open rows were fetched with, by parameter position.
  std::vector<std::optional<Variant>> masterValues_;
};

class TADODataSet : public TCustomADODataSet {
  QX_CLASS(TADODataSet, TCustomADODataSet)

 public:
  ~TADODataSet() override { Close(); }
  const std::string& CommandText() const noexcept { return commandText_; }
  // Takes effect at the next Open; the open rows stay as they are.
  void SetCommandText(std::string text) { commandText_ = std::move(text); }

 protected:
  std::string CommandTextNow() const override { return commandText_; }

 private:
  std::string commandText_;
};

class TADOQuery : public TCustomADODataSet {
  QX_CLASS(TADOQuery, TCustomADODataSet)

 public:
  ~TADOQuery() override { Close(); }
  // The statement as lines; its text (lines joined by CR LF) is what the next Open runs.
  TStringList& SQL() noexcept { return sql_; }
  const TStringList& SQL() const noexcept { return sql_; }
  void SetSQL(const TStringList& lines) { sql_ = lines; }

 protected:
  std::string CommandTextNow() const override { return sql_.Text(); }

 private:
  TStringList sql_;
};

}  // namespace qx
