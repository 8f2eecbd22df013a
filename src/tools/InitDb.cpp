// init-db: creates an empty database with the schema, optionally with demo data. The new
// database is built beside the target and moved into place at the end, so a failure leaves
// nothing half-made and an existing file is never touched without --force.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/ADOConnection.h"
#include "data/DataErrors.h"
#include "data/Schema.h"
#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Guid.h"
#include "tools/AdminCommand.h"
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
constexpr const char* kMsgExists =
    "'%s' already exists; nothing was changed (use --force to replace it)";
constexpr const char* kMsgNotAFile = "'%s' is not a file; init-db replaces only a database file";
constexpr const char* kMsgNoFolder = "cannot create the folder '%s'";
constexpr const char* kMsgCannotPlace = "cannot move the new database to '%s': %s";
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

void RemoveDatabaseFiles(const std::string& path) {
  DeleteFile(path);
  DeleteFile(path + "-wal");
  DeleteFile(path + "-shm");
}

// A name beside the target that nothing uses yet.
std::string ScratchName(const std::string& path) {
  TGUID g = CreateGUID();
  return Format("%s.new-%x%x.tmp",
                {path, static_cast<unsigned>(g.D1), static_cast<unsigned>(g.D2)});
}

// Puts the finished scratch file at the target: without --force only where nothing exists
// (a hard link fails when something appeared meanwhile), with --force over the old file.
void Place(const std::string& scratch, const Options& options) {
  if (options.force) {
    // The old database's journal files must not meet the new file.
    DeleteFile(options.path + "-wal");
    DeleteFile(options.path + "-shm");
    if (::rename(scratch.c_str(), options.path.c_str()) != 0)
      throw Exception(Format(kMsgCannotPlace, {options.path, std::strerror(errno)}));
    return;
  }
  if (::link(scratch.c_str(), options.path.c_str()) == 0) {
    ::unlink(scratch.c_str());
    return;
  }
  int error = errno;
  if (error == EEXIST) throw Exception(Format(kMsgExists, {options.path}));
  // File systems without hard links: check, then rename.
  struct stat st;
  if (::lstat(options.path.c_str(), &st) == 0) throw Exception(Format(kMsgExists, {options.path}));
  if (::rename(scratch.c_str(), options.path.c_str()) != 0)
    throw Exception(Format(kMsgCannotPlace, {options.path, std::strerror(errno)}));
}

int RunInitDb(const std::vector<std::string>& args, std::ostream& out) {
  Options options = ParseOptions(args);
  struct stat st;
  if (::lstat(options.path.c_str(), &st) == 0) {
    if (!options.force) throw Exception(Format(kMsgExists, {options.path}));
    if (!S_ISREG(st.st_mode)) throw Exception(Format(kMsgNotAFile, {options.path}));
  }
  std::string folder = ExtractFilePath(options.path);
  if (!folder.empty() && !ForceDirectories(folder)) throw Exception(Format(kMsgNoFolder, {folder}));

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
    Place(scratch, options);
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
