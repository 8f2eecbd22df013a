// backup and check: a consistent copy of the database taken while the service writes to it
// (SQLite's online backup), and a check of the file's integrity and of the schema the service
// needs, naming every missing table and column.
#include "data/DataErrors.h"
#include "data/Schema.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "tools/AdminArgs.h"
#include "tools/AdminCommand.h"
#include "tools/AdminDatabase.h"
#include "tools/AdminFiles.h"

namespace qx::admin {
namespace {

constexpr std::string_view kBackupUsage =
    "Usage: requestqx-admin backup DEST [--force] [--database PATH]\n"
    "  Copies the database to the new file DEST as one consistent state, while the service\n"
    "  goes on working, and checks the copy. --force replaces an earlier file at DEST.\n";
constexpr std::string_view kCheckUsage =
    "Usage: requestqx-admin check [--database PATH]\n"
    "  Checks the database file's integrity and that every table and column the service\n"
    "  uses is there; names each problem and exits with status 1 when there is one.\n";

constexpr const char* kMsgCopyDamaged = "the copy did not pass its check (%s); nothing was kept";
constexpr const char* kMsgCopied = "Copied the database '%s' to '%s'.\n";
constexpr const char* kMsgMissingTable = "missing table %s";
constexpr const char* kMsgMissingColumn = "table %s has no column %s";
constexpr const char* kMsgIntegrity = "integrity: %s\n";
constexpr const char* kMsgSchema = "schema: %s\n";
constexpr const char* kMsgProblems = "%d problems found.\n";
constexpr std::string_view kOk = "ok";

// The lines of SQLite's integrity check; just "ok" for a sound file.
std::vector<std::string> IntegrityProblems(AdminDatabase& db, std::string_view pragma) {
  std::vector<std::string> problems;
  for (auto rows = db.Query(pragma); !rows->Eof(); rows->Next()) {
    std::string line = AnsiToUtf8(rows->Fields(0).AsString());
    if (line != kOk) problems.push_back(std::move(line));
  }
  return problems;
}

std::vector<std::string> SchemaProblems(AdminDatabase& db) {
  std::vector<std::string> problems;
  for (const SchemaTable& table : SchemaTables()) {
    std::unique_ptr<TADODataSet> columns;
    try {
      columns = db.Query("SELECT * FROM " + table.name + " WHERE 0 = 1");
    } catch (const EDatabaseError&) {
      problems.push_back(Format(kMsgMissingTable, {table.name}));
      continue;
    }
    for (const std::string& column : table.columns)
      if (!columns->FindField(column))
        problems.push_back(Format(kMsgMissingColumn, {table.name, column}));
  }
  return problems;
}

int RunBackup(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"force", false}});
  const std::string target = args.Positionals({"DEST"})[0];
  const bool replace = args.Has("force");
  const std::string source = DatabasePath(args);
  AdminDatabase db(source);
  CheckTarget(target, replace);
  MakeFolderFor(target);
  const std::string scratch = ScratchName(target);
  try {
    db.Connection().Engine().BackupTo(scratch);
    {
      AdminDatabase copy(scratch);
      std::vector<std::string> problems = IntegrityProblems(copy, "PRAGMA quick_check");
      if (!problems.empty()) throw Failure(Format(kMsgCopyDamaged, {problems.front()}));
    }
    PlaceNewFile(scratch, target, replace);
  } catch (...) {
    RemoveDatabaseFiles(scratch);
    throw;
  }
  out << Format(kMsgCopied, {source, target});
  return kExitOk;
}

int RunCheck(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {});
  args.Positionals({});
  AdminDatabase db(DatabasePath(args));
  const std::vector<std::string> integrity = IntegrityProblems(db, "PRAGMA integrity_check");
  const std::vector<std::string> schema = SchemaProblems(db);
  if (integrity.empty()) out << Format(kMsgIntegrity, {kOk});
  for (const std::string& problem : integrity) out << Format(kMsgIntegrity, {problem});
  if (schema.empty()) out << Format(kMsgSchema, {kOk});
  for (const std::string& problem : schema) out << Format(kMsgSchema, {problem});
  const std::size_t problems = integrity.size() + schema.size();
  if (problems == 0) return kExitOk;
  out << Format(kMsgProblems, {static_cast<int>(problems)});
  return kExitFailure;
}

}  // namespace

const AdminCommand kBackupCommand = {
    "backup", "copy the database consistently while the service runs", kBackupUsage, RunBackup};
const AdminCommand kCheckCommand = {
    "check", "check the database's integrity and schema", kCheckUsage, RunCheck};

}  // namespace qx::admin
