// The schema. Key columns are NOT NULL primary keys of tables without an implicit row id, so
// no insert can get an automatic number and two inserts of one id can never both succeed.
// Declared types are chosen so that the field-type mapping reports them: VARCHAR(n) for
// bounded text (text affinity), TEXT for memos, SMALLINT, BIT, DATETIME (day serials) and BLOB.
// Bounded texts compare and sort without regard to letter case, as the desktop database did,
// so an address typed in other letters is the same address and names sort alphabetically.
#include "data/Schema.h"

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/DataErrors.h"
#include "data/Engine.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr std::string_view kSchema[] = {
    "CREATE TABLE Users ("
    " Id_User INTEGER NOT NULL,"
    " Id_Language VARCHAR(4) COLLATE NOCASE NOT NULL,"
    " UserName VARCHAR(50) COLLATE NOCASE,"
    " Password VARCHAR(10) COLLATE NOCASE,"
    " Administrator BIT NOT NULL DEFAULT 0,"
    " Email VARCHAR(50) COLLATE NOCASE,"
    " Phone VARCHAR(50) COLLATE NOCASE,"
    " Department VARCHAR(50) COLLATE NOCASE,"
    " Group2 VARCHAR(255) COLLATE NOCASE,"
    " Photo BLOB,"
    " RequestGetDays SMALLINT NOT NULL DEFAULT 0,"
    " PhoneCode VARCHAR(5) COLLATE NOCASE,"
    " Movil VARCHAR(50) COLLATE NOCASE,"
    " SendEmail BIT NOT NULL DEFAULT 0,"
    " SendSMS BIT NOT NULL DEFAULT 0,"
    " CONSTRAINT PK_Users PRIMARY KEY (Id_User, Id_Language)"
    ") WITHOUT ROWID",

    "CREATE TABLE Request ("
    " Id_Request INTEGER NOT NULL,"
    " Description VARCHAR(255) COLLATE NOCASE CONSTRAINT Description_at_most_255_characters"
    " CHECK (length(Description) <= 255),"
    " Id_Req_Status INTEGER,"
    " Id_User INTEGER,"
    " Urgent BIT NOT NULL DEFAULT 0,"
    " RepairNotice BIT NOT NULL DEFAULT 0,"
    " CONSTRAINT PK_Request PRIMARY KEY (Id_Request)"
    ") WITHOUT ROWID",

    "CREATE TABLE Request_Status ("
    " Id_Req_Status INTEGER NOT NULL,"
    " Id_Request INTEGER,"
    " Id_Status INTEGER,"
    " Status_dt DATETIME,"
    " Comments TEXT,"
    " Id_UserStatus INTEGER,"
    " UserNameQX VARCHAR(60) COLLATE NOCASE,"
    " StatusType INTEGER,"
    " CONSTRAINT PK_Request_Status PRIMARY KEY (Id_Req_Status)"
    ") WITHOUT ROWID",

    "CREATE TABLE Status ("
    " Id_Status INTEGER NOT NULL,"
    " Id_Language VARCHAR(4) COLLATE NOCASE NOT NULL,"
    " Description VARCHAR(50) COLLATE NOCASE,"
    " CONSTRAINT PK_Status PRIMARY KEY (Id_Status, Id_Language)"
    ") WITHOUT ROWID",

    "CREATE TABLE HistEmail ("
    " Id_HistEmail INTEGER NOT NULL,"
    " Id_User INTEGER,"
    " Email VARCHAR(254) COLLATE NOCASE CONSTRAINT Email_at_most_254_characters CHECK "
    "(length(Email) <= 254),"
    " CONSTRAINT PK_HistEmail PRIMARY KEY (Id_HistEmail)"
    ") WITHOUT ROWID",

    "CREATE TABLE qxsmtp ("
    " Idsmtp INTEGER NOT NULL,"
    " Servidor VARCHAR(255) COLLATE NOCASE,"
    " Usuario VARCHAR(255) COLLATE NOCASE,"
    " Pwd VARCHAR(255) COLLATE NOCASE,"
    " Puerto INTEGER,"
    " TLS_Type INTEGER,"
    " SSL_Method INTEGER,"
    " SSL_VerDepht INTEGER,"
    " AutType INTEGER,"
    " SSL_CertFile VARCHAR(255) COLLATE NOCASE,"
    " SSL_KeyFile VARCHAR(255) COLLATE NOCASE,"
    " SSL_RootFile VARCHAR(255) COLLATE NOCASE,"
    " SSL_VerMode1 BIT NOT NULL DEFAULT 0,"
    " SSL_VerMode2 BIT NOT NULL DEFAULT 0,"
    " SSL_VerMode3 BIT NOT NULL DEFAULT 0,"
    " CONSTRAINT PK_qxsmtp PRIMARY KEY (Idsmtp)"
    ") WITHOUT ROWID",

    // The home screen lists a user's requests and the notes of one request at every move.
    "CREATE INDEX IX_Request_User ON Request (Id_User)",
    "CREATE INDEX IX_Request_Status_Request ON Request_Status (Id_Request)",
    "CREATE INDEX IX_HistEmail_User ON HistEmail (Id_User, Email)",
};

constexpr std::string_view kConnectionStringHead =
    "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=";

}  // namespace

std::span<const std::string_view> SchemaStatements() { return kSchema; }

// Read from the creation statements themselves, so the list cannot drift from them: the name
// after "CREATE TABLE", then the first word of every item between the outer parentheses that
// is not a table constraint.
std::vector<SchemaTable> SchemaTables() {
  constexpr std::string_view kCreateTable = "CREATE TABLE ";
  std::vector<SchemaTable> tables;
  for (std::string_view statement : kSchema) {
    if (!statement.starts_with(kCreateTable)) continue;
    SchemaTable table;
    std::string_view rest = statement.substr(kCreateTable.size());
    const std::size_t open = rest.find('(');
    table.name = Trim(rest.substr(0, open));
    int depth = 0;
    std::size_t itemStart = open + 1;
    for (std::size_t i = open; i < rest.size() && depth >= 0; ++i) {
      const char c = rest[i];
      const bool itemEnds = (c == ',' && depth == 1) || (c == ')' && depth == 1);
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (!itemEnds) continue;
      std::string item = Trim(rest.substr(itemStart, i - itemStart));
      std::string first = item.substr(0, item.find(' '));
      if (!first.empty() && !SameText(first, "CONSTRAINT")) table.columns.push_back(first);
      itemStart = i + 1;
      if (depth == 0) break;
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

void CreateSchema(TADOConnection& connection) {
  connection.BeginTrans();
  try {
    TADOCommand command;
    command.SetConnection(&connection);
    for (std::string_view statement : kSchema) {
      command.SetCommandText(std::string(statement));
      command.Execute();
    }
    connection.CommitTrans();
  } catch (...) {
    if (connection.InTransaction()) connection.RollbackTrans();
    throw;
  }
}

void CreateDatabaseFile(const std::string& path) {
  const DbEngine* engine = FindDbEngine("Microsoft.Jet.OLEDB.4.0");
  // Creating makes the empty file; the tables go in through an ordinary connection.
  engine->Create(path, TADOConnection::kDefaultBusyTimeoutMs).reset();
  try {
    TADOConnection connection;
    connection.SetConnectionString(DatabaseConnectionString(path));
    connection.Open();
    CreateSchema(connection);
  } catch (...) {
    DeleteFile(path);
    DeleteFile(path + "-wal");
    DeleteFile(path + "-shm");
    throw;
  }
}

std::string DatabaseConnectionString(std::string_view path) {
  std::string source(path);
  // A path the item syntax would misread goes in double quotes.
  if (source.find_first_of(";\"'") != std::string::npos ||
      (!source.empty() && (source.front() == ' ' || source.back() == ' ')))
    source = std::string(1, '"')
                 .append(StringReplace(source, "\"", "\"\"", rfReplaceAll))
                 .append(1, '"');
  return std::string(kConnectionStringHead) + source + ";";
}

}  // namespace qx
