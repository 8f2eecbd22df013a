// Connections and commands: connection strings, files that are missing or not databases,
// WAL mode and its locks seen from another process, transactions, two connections racing for
// one id or for the write lock, the text conversion at the boundary, commands with parameters
// by position, and the schema's keys.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "DataFixture.h"
#include "data/ConnectionString.h"
#include "data/DataErrors.h"
#include "data/Engine.h"
#include "data/Statements.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"
#include "support/RunProgram.h"

namespace qx::test {
namespace {

// Opening `path` fails with an error of `kind` whose message names the file.
void ExpectOpenFails(const std::string& path, DbErrorKind kind) {
  TADOConnection c;
  c.SetConnectionString(DatabaseConnectionString(path));
  try {
    c.Open();
    FAIL() << "opened " << path;
  } catch (const EADOError& e) {
    EXPECT_EQ(e.Kind(), kind) << e.what();
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  EXPECT_FALSE(c.Connected());
}

TEST(ConnectionStringTest, ItemsKeysAndQuotes) {
  auto items = ConnectionString::Parse(
      "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/srv/db/Requests.mdb;");
  EXPECT_EQ(items.Value("provider"), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(items.Value("DATA SOURCE"), "/srv/db/Requests.mdb");
  EXPECT_EQ(items.Value("Password"), "");
  EXPECT_FALSE(items.Has("Password"));
  auto quoted = ConnectionString::Parse(" Data Source = \"/a;b/\"\"c\"\".mdb\" ; Mode=Share ");
  EXPECT_EQ(quoted.Value("Data Source"), "/a;b/\"c\".mdb");
  EXPECT_EQ(quoted.Value("Mode"), "Share");
  EXPECT_THROW(ConnectionString::Parse("Data Source='/never/closed"), EADOError);
  EXPECT_THROW(ConnectionString::Parse("Provider=x;garbage;"), EADOError);
  EXPECT_EQ(DatabaseConnectionString("/srv/db/Requests.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/srv/db/Requests.mdb;");
  auto odd = ConnectionString::Parse(DatabaseConnectionString("/x/a;b'c.mdb"));
  EXPECT_EQ(odd.Value("Data Source"), "/x/a;b'c.mdb");
}

TEST(ConnectionOpenTest, BadConnectionStringsFailClearly) {
  TADOConnection c;
  c.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;");
  EXPECT_THROW(c.Open(), EADOError);
  c.SetConnectionString("Provider=Nobody.Provider;Data Source=/tmp/x.mdb;");
  try {
    c.Open();
    FAIL();
  } catch (const EADOError& e) {
    EXPECT_STREQ(e.what(), "Provider 'Nobody.Provider' is not available.");
  }
  EXPECT_NE(FindDbEngine("microsoft.jet.oledb.4.0"), nullptr);
  EXPECT_EQ(FindDbEngine("Nobody"), nullptr);
}

TEST(ConnectionOpenTest, MissingFilesAndNonDatabasesAreNeverCreatedOrChanged) {
  TempDir dir;
  std::string missing = dir / "missing.mdb";
  ExpectOpenFails(missing, DbErrorKind::kFileNotFound);
  EXPECT_FALSE(FileExists(missing));
  ExpectOpenFails(dir / "no/such/folder/Requests.mdb", DbErrorKind::kFileNotFound);

  std::string text = dir / "notes.txt";
  ASSERT_TRUE(WriteFileBytes(text, "This is not a database, just some text long enough.\n"));
  ExpectOpenFails(text, DbErrorKind::kNotADatabase);
  EXPECT_EQ(ReadFileBytes(text), "This is not a database, just some text long enough.\n");
  EXPECT_FALSE(FileExists(text + "-wal"));

  std::string empty = dir / "empty.mdb";
  ASSERT_TRUE(WriteFileBytes(empty, ""));
  ExpectOpenFails(empty, DbErrorKind::kNotADatabase);
  EXPECT_EQ(ReadFileBytes(empty), "");

  // The right header on a damaged file is still refused, naming the file.
  std::string damaged = dir / "damaged.mdb";
  ASSERT_TRUE(
      WriteFileBytes(damaged, std::string("SQLite format 3\0", 16) + std::string(200, 'x')));
  ExpectOpenFails(damaged, DbErrorKind::kNotADatabase);

  ExpectOpenFails(dir.path(), DbErrorKind::kCannotOpen);
}

class ConnectionTest : public DataFixture {};

TEST_F(ConnectionTest, OpensInWalModeAndClosesItsDatasets) {
  EXPECT_EQ(Query("PRAGMA journal_mode")->Fields(0).AsString(), "wal");
  EXPECT_EQ(connection_.BusyTimeout(), TADOConnection::kDefaultBusyTimeoutMs);
  EXPECT_THROW(connection_.SetConnectionString("x"), EADOError);  // not while open
  auto ds = Query("SELECT * FROM Users");
  connection_.Close();
  EXPECT_FALSE(ds->Active());
  ds->Open();  // opens the connection again
  EXPECT_TRUE(connection_.Connected());
}

// Opening a connection must not release the locks the process's other connections hold on
// the file: another process (a desktop tool) would take the file as unused, checkpoint it and
// delete the WAL that those connections go on writing to, and their later commits would be
// lost to everyone else.
TEST_F(ConnectionTest, AnotherProcessSeesEveryCommitWhileConnectionsComeAndGo) {
  auto count = [&] {
    ProgramResult r = RunProgram("/usr/bin/sqlite3", {path_, "SELECT Count(*) FROM Status"}, dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  };
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New')");
  auto other = OtherConnection(1000);
  EXPECT_EQ(count(), "1\n");
  EXPECT_TRUE(FileExists(path_ + "-wal"));
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (2, 'EN', 'Awaiting')");
  EXPECT_EQ(count(), "2\n");
}

// Connections share SQLite connections and keep statements compiled between runs: a statement
// run again after another connection changed the schema reads the new columns, and a file
// put in place of the database at the same path is the one opened afterwards.
TEST_F(ConnectionTest, KeptStatementsFollowSchemaChangesAndReplacedFiles) {
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New')");
  EXPECT_EQ(Query("SELECT * FROM Status")->FieldCount(), 3);
  {
    auto other = OtherConnection(1000);
    TestDatabase::Exec(*other, "ALTER TABLE Status ADD COLUMN Note VARCHAR(10)");
    TestDatabase::Exec(*other, "UPDATE Status SET Note = 'added'");
  }
  auto after = Query("SELECT * FROM Status");
  ASSERT_EQ(after->FieldCount(), 4);
  EXPECT_EQ(after->FieldByName("Note").AsString(), "added");
  EXPECT_EQ(after->FieldByName("Description").AsString(), "New");

  // Another database moved over the path while this connection is closed.
  connection_.Close();
  std::string replacement = dir_ / "replacement.mdb";
  CreateDatabaseFile(replacement);
  ASSERT_EQ(std::rename(replacement.c_str(), path_.c_str()), 0);
  connection_.Open();
  auto fresh = Query("SELECT * FROM Status");
  EXPECT_EQ(fresh->FieldCount(), 3);
  EXPECT_EQ(fresh->RecordCount(), 0);
}

TEST_F(ConnectionTest, DatasetsAndCommandsOutliveTheirConnectionSafely) {
  auto other = OtherConnection(1000);
  TADODataSet ds;
  TADOCommand command;
  ds.SetConnection(other.get());
  ds.SetCommandText("SELECT * FROM Users");
  ds.Open();
  command.SetConnection(other.get());
  command.SetCommandText("DELETE FROM Users");
  command.SetPrepared(true);
  other.reset();
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ds.Connection(), nullptr);
  EXPECT_EQ(command.Connection(), nullptr);
  EXPECT_THROW(command.Execute(), EADOError);
}

TEST_F(ConnectionTest, CommittedWritesAppearTogetherAndRolledBackOnesNever) {
  auto other = OtherConnection(1000);
  EXPECT_EQ(connection_.BeginTrans(), 1);
  EXPECT_TRUE(connection_.InTransaction());
  EXPECT_THROW(connection_.BeginTrans(), EADOError);  // one level only
  Exec(kSqlInsertRequest, {1, "one", 1, 7, false, false});
  Exec(kSqlInsertStatusNote, {1, 1, 1, 45000.5, "", 7, 1});
  auto before = Query("SELECT * FROM Request");
  EXPECT_EQ(before->RecordCount(), 1);  // this connection sees its own writes
  TADODataSet fromOther;
  fromOther.SetConnection(other.get());
  fromOther.SetCommandText("SELECT * FROM Request");
  fromOther.Open();
  EXPECT_EQ(fromOther.RecordCount(), 0);
  connection_.CommitTrans();
  EXPECT_FALSE(connection_.InTransaction());
  fromOther.Close();
  fromOther.Open();
  EXPECT_EQ(fromOther.RecordCount(), 1);

  connection_.BeginTrans();
  Exec(kSqlChangeRequestStatus, {2, 1});
  Exec(kSqlInsertStatusNote, {2, 1, 8, 45001.0, "", 7, 1});
  connection_.RollbackTrans();
  EXPECT_EQ(Query("SELECT Id_Req_Status FROM Request")->Fields(0).AsInteger(), 1);
  EXPECT_EQ(Query("SELECT * FROM Request_Status")->RecordCount(), 1);
  EXPECT_THROW(connection_.CommitTrans(), EADOError);
  EXPECT_THROW(connection_.RollbackTrans(), EADOError);

  // Closing the connection drops what was not committed.
  connection_.BeginTrans();
  Exec(kSqlInsertRequest, {2, "two", 0, 7, false, false});
  connection_.Close();
  connection_.Open();
  EXPECT_FALSE(connection_.InTransaction());
  EXPECT_EQ(Query("SELECT * FROM Request")->RecordCount(), 1);
}

TEST_F(ConnectionTest, TwoConnectionsTakingTheSameIdEndInADuplicateKeyFailure) {
  Exec(kSqlInsertRequest, {41, "existing", 0, 7, false, false});
  auto other = OtherConnection(1000);
  TADODataSet mine, theirs;
  mine.SetConnection(&connection_);
  theirs.SetConnection(other.get());
  mine.SetCommandText(std::string(kSqlNextRequestId));
  theirs.SetCommandText(std::string(kSqlNextRequestId));
  mine.Open();
  theirs.Open();
  int myId = mine.FieldByName("MaxId").AsInteger() + 1;
  int theirId = theirs.FieldByName("MaxId").AsInteger() + 1;
  ASSERT_EQ(myId, 42);
  ASSERT_EQ(theirId, 42);
  Exec(kSqlInsertRequest, {myId, "mine", 0, 7, false, false});
  try {
    Exec(*other, kSqlInsertRequest, {theirId, "theirs", 0, 8, false, false});
    FAIL() << "a second row with one id";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.Kind(), DbErrorKind::kConstraint) << e.what();
  }
  auto rows = Query("SELECT * FROM Request WHERE Id_Request = 42");
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->FieldByName("Description").AsString(), "mine");
}

TEST_F(ConnectionTest, AWriteThatFindsTheDatabaseBusyWaitsThenFailsCleanly) {
  auto other = OtherConnection(100);
  connection_.BeginTrans();
  Exec(kSqlInsertRequest, {1, "held", 0, 7, false, false});
  // Reading goes on while the other connection holds the write lock.
  TADODataSet reader;
  reader.SetConnection(other.get());
  reader.SetCommandText("SELECT * FROM Request");
  reader.Open();
  EXPECT_EQ(reader.RecordCount(), 0);
  try {
    Exec(*other, kSqlInsertRequest, {2, "waiting", 0, 8, false, false});
    FAIL() << "wrote while another connection held the lock";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.Kind(), DbErrorKind::kBusy) << e.what();
  }
  EXPECT_THROW(other->BeginTrans(), EADOError);
  EXPECT_FALSE(other->InTransaction());
  connection_.CommitTrans();
  // The lock is free again: the same write now succeeds, and nothing was lost.
  Exec(*other, kSqlInsertRequest, {2, "waiting", 0, 8, false, false});
  EXPECT_EQ(Query("SELECT * FROM Request")->RecordCount(), 2);
}

TEST_F(ConnectionTest, SessionsReadingAndWritingAtOnceEitherSucceedOrFailCleanly) {
  // Four sessions, each with its own connection, allocate ids as largest + 1 and insert,
  // reading the table between writes. Every attempt ends in a stored row or an EADOError;
  // the table never holds one id twice.
  constexpr int kSessions = 4;
  constexpr int kAttempts = 25;
  std::atomic<int> stored{0}, refused{0}, other{0};
  std::vector<std::thread> sessions;
  for (int s = 0; s < kSessions; ++s)
    sessions.emplace_back([&, s] {
      auto connection = OtherConnection(2000);
      TADODataSet max;
      max.SetConnection(connection.get());
      max.SetCommandText(std::string(kSqlNextRequestId));
      for (int i = 0; i < kAttempts; ++i) {
        try {
          max.Close();
          max.Open();
          int id = max.FieldByName("MaxId").AsInteger() + 1;
          Exec(*connection, kSqlInsertRequest, {id, "from session " + std::to_string(s), 0, s,
                                                false, false});
          ++stored;
        } catch (const EADOError& e) {
          ++(e.Kind() == DbErrorKind::kConstraint || e.Kind() == DbErrorKind::kBusy ? refused
                                                                                       : other);
        }
      }
    });
  for (std::thread& t : sessions) t.join();
  EXPECT_EQ(other.load(), 0);
  EXPECT_EQ(stored + refused, kSessions * kAttempts);
  auto rows = Query("SELECT Id_Request FROM Request");
  EXPECT_EQ(rows->RecordCount(), stored.load());
  std::set<int> ids;
  for (; !rows->Eof(); rows->Next()) ids.insert(rows->Fields(0).AsInteger());
  EXPECT_EQ(static_cast<int>(ids.size()), stored.load());
}

TEST_F(ConnectionTest, AccentedTextRoundTripsAndIsStoredAsUtf8) {
  const std::string text =
      "L\xE1mpara \xF1o\xF1"
      "a";  // Windows-1252, as the service holds it
  ASSERT_EQ(text, Utf8ToAnsi("Lámpara ñoña"));
  Exec(kSqlInsertRequest, {1, text, 0, 7, false, false});
  auto ds = Query("SELECT Description, hex(Description) AS Raw FROM Request");
  EXPECT_EQ(ds->FieldByName("Description").AsString(), text);
  EXPECT_EQ(ds->FieldByName("Raw").AsString(), "4CC3A16D7061726120C3B16FC3B161");
  // Literals in a statement's text and column names cross the boundary the same way.
  auto literal = Query(
      "SELECT Id_Request AS N\xFA"
      "mero FROM Request WHERE Description = '" +
      text + "'");
  EXPECT_EQ(literal->RecordCount(), 1);
  EXPECT_EQ(literal->Fields(0).FieldName(), "N\xFAmero");
  // Characters Windows-1252 cannot hold read as '?'.
  Exec("UPDATE Request SET Description = char(26085, 8364)");
  EXPECT_EQ(Query("SELECT Description FROM Request")->Fields(0).AsString(), "?\x80");
}

TEST_F(ConnectionTest, CommandParametersGoByPositionOfFirstAppearance) {
  TADOCommand command;
  command.SetConnection(&connection_);
  command.SetCommandText(
      "INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES (:B, :a, :b || '@' || :A)");
  ASSERT_EQ(command.Parameters().Count(), 2);
  EXPECT_EQ(command.Parameters()[0].Name(), "B");
  EXPECT_EQ(command.Parameters()[1].Name(), "a");
  command.Parameters()[0].SetValue(5);
  command.Parameters()[1].SetValue(6);
  EXPECT_EQ(command.Execute(), 1);
  auto row = Query("SELECT * FROM HistEmail");
  EXPECT_EQ(row->FieldByName("Id_HistEmail").AsInteger(), 5);
  EXPECT_EQ(row->FieldByName("Id_User").AsInteger(), 6);
  EXPECT_EQ(row->FieldByName("Email").AsString(), "5@6");
  // Prepared once, run again with new values.
  command.SetPrepared(true);
  command.Parameters()[0].SetValue(7);
  EXPECT_EQ(command.Execute(), 1);
  EXPECT_EQ(Query(kSqlNextHistEmailId)->Fields(0).AsInteger(), 7);
  EXPECT_THROW(command.Execute(), EADOError);  // 7 again: duplicate key
}

TEST_F(ConnectionTest, RejectedCommandsFailAndChangeNothing) {
  TADOCommand command;
  EXPECT_THROW(command.Execute(), EADOError);  // no connection
  command.SetConnection(&connection_);
  EXPECT_THROW(command.Execute(), EADOError);  // no text
  command.SetCommandText("INSERT INTO Nowhere VALUES (1)");
  EXPECT_THROW(command.SetPrepared(true), EADOError);
  EXPECT_FALSE(command.Prepared());
  EXPECT_THROW(command.Execute(), EADOError);
  command.SetCommandText("INSERT INTO HistEmail (Id_HistEmail) VALUES (1); DELETE FROM Users");
  EXPECT_THROW(command.Execute(), EADOError);  // never half of a double statement
  command.SetCommandText("INSERT INTO HistEmail (Id_HistEmail, Id_User) VALUES (:id, ?)");
  command.Parameters()[0].SetValue(1);
  EXPECT_THROW(command.Execute(), EADOError);  // a marker without a name
  command.SetCommandText("INSERT INTO HistEmail (Id_HistEmail) VALUES (:other)");
  EXPECT_THROW(command.Execute(), EADOError);  // no value given
  EXPECT_EQ(Query("SELECT * FROM HistEmail")->RecordCount(), 0);
}

TEST_F(ConnectionTest, SchemaKeysAndSizesHold) {
  Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (1, 'EN', 'Ana')");
  Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (1, 'ES', 'Ana')");
  EXPECT_THROW(Exec("INSERT INTO Users (Id_User, Id_Language) VALUES (1, 'EN')"), EADOError);
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New')");
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'PT', 'Nova')");
  EXPECT_THROW(Exec("INSERT INTO Status (Id_Status, Id_Language) VALUES (1, 'PT')"), EADOError);
  Exec("INSERT INTO qxsmtp (Idsmtp) VALUES (1)");
  EXPECT_THROW(Exec("INSERT INTO qxsmtp (Idsmtp) VALUES (1)"), EADOError);
  Exec(kSqlInsertStatusNote, {1, 1, 1, 45000.0, "", 1, 1});
  EXPECT_THROW(Exec(kSqlInsertStatusNote, {1, 2, 1, 45000.0, "", 1, 1}), EADOError);
  // No automatic numbering: a key must be given.
  EXPECT_THROW(Exec(kSqlInsertRequest, {Variant(), "x", 0, 1, false, false}), EADOError);
  EXPECT_THROW(Exec("INSERT INTO HistEmail (Id_User) VALUES (1)"), EADOError);

  std::string address = std::string(240, 'a') + "@example.com";  // 252 characters
  address += "zz";
  ASSERT_EQ(address.size(), 254u);
  Exec(kSqlInsertHistEmail, {1, 1, address});
  EXPECT_EQ(Query(SqlHistEmailList(1))->FieldByName("Email").AsString(), address);
  try {
    Exec(kSqlInsertHistEmail, {2, 1, address + "z"});
    FAIL() << "stored 255 characters";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.Kind(), DbErrorKind::kConstraint);
  }
  std::string accented(255, '\xE1');  // 255 characters, 510 bytes in UTF-8
  Exec(kSqlInsertRequest, {1, accented, 0, 1, false, false});
  EXPECT_THROW(Exec(kSqlInsertRequest, {2, accented + "a", 0, 1, false, false}), EADOError);
}

}  // namespace
}  // namespace qx::test
