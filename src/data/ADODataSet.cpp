// The ADO datasets: running the statement with its parameters on the connection, converting
// the rows to the service's text, and following a master dataset.
#include "data/ADODataSet.h"

#include "data/DataErrors.h"
#include "runtime/ClassInfo.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgNoConnection = "Missing Connection or ConnectionString";
constexpr const char* kMsgNoCommandText = "CommandText is empty: there is no statement to run";
constexpr const char* kMsgNoResultSet = "CommandText does not return a result set";

}  // namespace

const TClassInfo& TCustomADODataSet::StaticClassInfo() {
  using T = TCustomADODataSet;
  static const TClassInfo info = TClassBuilder<T>("TCustomADODataSet")
                                     .Property("Connection", &T::Connection, &T::SetConnection)
                                     .Property("DataSource", &T::DataSource, &T::SetDataSource)
                                     .Build();
  return info;
}

const TClassInfo& TADODataSet::StaticClassInfo() {
  using T = TADODataSet;
  static const TClassInfo info = TClassBuilder<T>("TADODataSet")
                                     .Creatable()
                                     .Property("CommandText", &T::CommandText, &T::SetCommandText)
                                     .Build();
  return info;
}

const TClassInfo& TADOQuery::StaticClassInfo() {
  using T = TADOQuery;
  using SQLGetter = const TStringList& (T::*)() const noexcept;
  static const TClassInfo info = TClassBuilder<T>("TADOQuery")
                                     .Creatable()
                                     .Property("SQL", static_cast<SQLGetter>(&T::SQL), &T::SetSQL)
                                     .Build();
  return info;
}

TCustomADODataSet::TCustomADODataSet() = default;

TCustomADODataSet::~TCustomADODataSet() {
  if (connection_) connection_->RemoveClient(this);
}

void TCustomADODataSet::SetConnection(TADOConnection* connection) {
  if (connection == connection_) return;
  Close();
  if (connection_) connection_->RemoveClient(this);
  connection_ = connection;
  if (connection_) connection_->AddClient(this);
}

void TCustomADODataSet::ConnectionDestroyed() {
  Close();
  connection_ = nullptr;
}

const ParsedStatement& TCustomADODataSet::Parsed() {
  std::string text = CommandTextNow();
  if (text != parsedText_) {
    parsed_ = ParseParameters(text);
    params_.Assign(parsed_.names);
    parsedText_ = std::move(text);
  }
  return parsed_;
}

TParameters& TCustomADODataSet::Parameters() {
  Parsed();
  return params_;
}

std::optional<Variant> TCustomADODataSet::MasterValue(std::string_view name) const {
  TDataSet* master = masterLink_.DataSet();
  if (!master || !master->Active()) return std::nullopt;
  TField* field = master->FindField(name);
  if (!field) return std::nullopt;
  return field->Value();
}

TDataSet::ResultSet TCustomADODataSet::FetchAll() {
  if (!connection_) throw EADOError(kMsgNoConnection);
  connection_->Open();
  const ParsedStatement& parsed = Parsed();
  if (TrimView(parsed.text).empty()) throw EADOError(kMsgNoCommandText);
  std::unique_ptr<DbStatement> statement = connection_->Engine().Prepare(AnsiToUtf8(parsed.text));
  if (statement->Columns().empty()) throw EADOError(kMsgNoResultSet);

  std::vector<std::optional<Variant>> masterValues(static_cast<std::size_t>(params_.Count()));
  for (int i = 0; i < params_.Count(); ++i)
    if (!params_[i].Assigned())
      masterValues[static_cast<std::size_t>(i)] = MasterValue(params_[i].Name());
  BindParameters(*statement, parsed, params_, [&](std::string_view name) {
    for (int i = 0; i < params_.Count(); ++i)
      if (SameText(params_[i].Name(), name)) return masterValues[static_cast<std::size_t>(i)];
    return std::optional<Variant>();
  });

  // The columns are read after the first step, which compiles a kept statement again when
  // the schema changed since.
  bool more = statement->Step();
  ResultSet result;
  for (const DbColumn& column : statement->Columns())
    result.columns.push_back({Utf8ToAnsi(column.name), column.declaredType});
  for (; more; more = statement->Step()) statement->AppendRow(result.values);
  for (Variant& value : result.values) ToServiceValue(value);
  statement.reset();
  connection_->Engine().ReleaseMemory();
  masterValues_ = std::move(masterValues);
  return result;
}

void TCustomADODataSet::MasterChanged() {
  if (!Active()) return;
  bool follows = false;
  bool changed = false;
  bool lost = false;
  for (int i = 0; i < params_.Count() && i < static_cast<int>(masterValues_.size()); ++i) {
    const std::optional<Variant>& used = masterValues_[static_cast<std::size_t>(i)];
    if (!used) continue;
    follows = true;
    std::optional<Variant> now = MasterValue(params_[i].Name());
    if (!now)
      lost = true;
    else if (!(*now == *used))
      changed = true;
  }
  if (!follows || (!changed && !lost)) return;
  Close();
  // Without a master record to take values from, the detail stays closed.
  if (!lost) Open();
}

}  // namespace qx
