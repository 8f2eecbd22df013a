// init-db: creates an empty database with the schema, optionally with demo data. The new
// database is built beside the target and moved into place at the end, so a failure leaves
// nothing half-made and an existing file is never touched without --force.
#include "data/ADOConnection.h"
#include "data/Schema.h"
#include "runtime/DateTime.h"
#include "runtime/Format.h"
#include "tools/AdminCommand.h"
#include "tools/AdminFiles.h"
#include "tools/DemoData.h"

namespace qx::admin {
namespace {

constexpr std::string_view kUsage =
    "Usage: requestqx-admin init-db [--demo] [--force] PATH\n"
    "  Creates a new database file at PATH holding the service's empty tables.\n"
    "  Refuses to touch anything already at PATH unless --force is given.\n"
    "  --demo   also adds demo data: the status catalogue in EN, ES and PT, users with\n"
    "           photos, requests with their follow-up notes, e-mail history, and the\n"
    "           SMTP settings pointing at 127.0.0.1 port 2525 without TLS\n"
    "  --force  replaces an existing database file (stop the service first)\n";

constexpr const char* kMsgOnePath = "give exactly one PATH";
constexpr const char* kMsgUnknownOption = "unknown option '%s'";
constexpr const char* kMsgDone = "Created the database '%s'%s.\n";

struct Options {
  std::string path;
  bool demo = false;
  bool force = false;
};

Options ParseOptions(const std::vector<std::string>& args) {
  Options options;
  bool onlyPaths = false;
  int paths = 0;
  for (const std::string& arg : args) {
    if (!onlyPaths && arg == "--") {
      onlyPaths = true;
    } else if (!onlyPaths && arg == "--demo") {
      options.demo = true;
    } else if (!onlyPaths && arg == "--force") {
      options.force = true;
    } else if (!onlyPaths && arg.size() > 1 && arg[0] == '-') {
      throw UsageError(Format(kMsgUnknownOption, {arg}));
    } else {
      options.path = arg;
      ++paths;
    }
  }
  if (paths != 1 || options.path.empty()) throw UsageError(kMsgOnePath);
  return options;
}

int RunInitDb(const std::vector<std::string>& args, std::ostream& out) {
  Options options = ParseOptions(args);
  CheckTarget(options.path, options.force);
  MakeFolderFor(options.path);

  std::string scratch = ScratchName(options.path);
  try {
    CreateDatabaseFile(scratch);
    if (options.demo) {
      TADOConnection connection;
      connection.SetConnectionString(DatabaseConnectionString(scratch));
      connection.Open();
      FillDemoData(connection, Now());
      connection.Close();
    }
    PlaceNewFile(scratch, options.path, options.force);
  } catch (...) {
    RemoveDatabaseFiles(scratch);
    throw;
  }
  out << Format(kMsgDone, {options.path, options.demo ? " with demo data" : ""});
  return kExitOk;
}

}  // namespace

const AdminCommand kInitDbCommand = {
    "init-db",
    "create an empty database (with --demo: and demo data)",
    kUsage,
    RunInitDb,
};

}  // namespace qx::admin
