// Opening the admin commands' database and running their statements.
#include "tools/AdminDatabase.h"

#include "data/KeyAllocation.h"
#include "data/Schema.h"
#include "data/ServiceLanguage.h"
#include "runtime/Files.h"
#include "server/ServiceSettings.h"

namespace qx::admin {
namespace {

void SetValues(TParameters& parameters, const std::vector<Variant>& values) {
  int index = 0;
  for (const Variant& value : values) parameters[index++].SetValue(value);
}

}  // namespace

std::string DatabasePath(const Arguments& args) {
  if (std::optional<std::string> path = args.Value("database")) return *path;
  return ReadServiceSettings(ExtractFilePath(ExecutableFileName()), false).databasePath;
}

std::string DisplayLanguage(const Arguments& args) {
  if (std::optional<std::string> language = args.Value("language")) return LanguageCode(*language);
  return ServiceLanguage();
}

AdminDatabase::AdminDatabase(const std::string& path) {
  connection_.SetConnectionString(DatabaseConnectionString(path));
  connection_.SetBusyTimeout(kBusyTimeoutMs);
  connection_.Open();
  command_.SetConnection(&connection_);
  scratch_.SetConnection(&connection_);
}

std::unique_ptr<TADODataSet> AdminDatabase::Query(std::string_view sql,
                                                  const std::vector<Variant>& values) {
  auto dataset = std::make_unique<TADODataSet>();
  dataset->SetConnection(&connection_);
  dataset->SetCommandText(std::string(sql));
  SetValues(dataset->Parameters(), values);
  dataset->Open();
  return dataset;
}

std::int64_t AdminDatabase::Execute(std::string_view sql, const std::vector<Variant>& values) {
  command_.SetCommandText({});  // no value of the previous statement stays on a parameter
  command_.SetCommandText(std::string(sql));
  SetValues(command_.Parameters(), values);
  return command_.Execute();
}

std::int64_t AdminDatabase::Update(std::string_view table, const std::vector<ColumnValue>& values,
                                   std::string_view where, const std::vector<Variant>& whereValues) {
  std::string sql = "UPDATE " + std::string(table) + " SET ";
  std::vector<Variant> all;
  for (const ColumnValue& value : values) {
    sql.append(all.empty() ? "" : ", ").append(value.column).append(" = :").append(value.column);
    all.push_back(value.value);
  }
  sql.append(" ").append(where);
  all.insert(all.end(), whereValues.begin(), whereValues.end());
  return Execute(sql, all);
}

int AdminDatabase::NextKey(std::string_view statement) { return ::qx::NextKey(scratch_, statement); }

}  // namespace qx::admin
