// requestqx-admin run as a process: init-db with and without demo data, its refusal to touch
// an existing file, --force, and bad arguments. The demo database is then read through the
// data layer with the service's own statements.
#include <gtest/gtest.h>

#include <set>

#include "data/ADODataSet.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"
#include "support/AdminTool.h"
#include "support/TempDir.h"

namespace qx::test {
namespace {

using ToolResult = test::ProgramResult;

std::unique_ptr<TADODataSet> Open(TADOConnection& c, std::string_view sql) {
  auto ds = std::make_unique<TADODataSet>();
  ds->SetConnection(&c);
  ds->SetCommandText(std::string(sql));
  ds->Open();
  return ds;
}

int Count(TADOConnection& c, std::string_view table) {
  return Open(c, "SELECT Count(*) AS N FROM " + std::string(table))->Fields(0).AsInteger();
}

TEST(AdminToolTest, InitDbDemoMakesADatabaseTheServiceCanUse) {
  TempDir dir;
  std::string path = dir / "database/Requests.mdb";  // the folder is made as well
  ToolResult r = RunAdminTool(dir, {"init-db", "--demo", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(path), std::string::npos);
  EXPECT_FALSE(FileExists(path + "-wal"));

  TADOConnection c;
  c.SetConnectionString(DatabaseConnectionString(path));
  c.Open();
  // The status catalogue 1 to 13 in three languages.
  EXPECT_EQ(Count(c, "Status"), 39);
  for (const char* lang : {"EN", "ES", "PT"}) {
    auto s = Open(c, std::string("SELECT * FROM Status WHERE Id_Language = '") + lang +
                         "' ORDER BY Id_Status");
    EXPECT_EQ(s->RecordCount(), 13) << lang;
    s->Last();
    EXPECT_EQ(s->FieldByName("Id_Status").AsInteger(), 13);
  }
  // Users in EN with passwords, addresses and JPEG photos; one without a photo, one who may not
  // send mail and one who may, with a valid address; an accented name.
  auto users = Open(c, SqlLoginUsers("EN"));
  EXPECT_GE(users->RecordCount(), 4);
  int photos = 0, withoutPhoto = 0, mailers = 0, withoutPermission = 0;
  bool accentedName = false;
  for (; !users->Eof(); users->Next()) {
    EXPECT_FALSE(users->FieldByName("Password").AsString().empty());
    accentedName |= users->FieldByName("UserName").AsString() == Utf8ToAnsi("Bruno Núñez");
    std::string reason;
    if (!users->FieldByName("SendEmail").AsBoolean())
      ++withoutPermission;
    else if (ValidateEmail(users->FieldByName("Email").AsString(), reason))
      ++mailers;
    if (users->FieldByName("Photo").IsNull()) {
      ++withoutPhoto;
      continue;
    }
    std::string jpeg = users->FieldByName("Photo").AsBytes();
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    ++photos;
  }
  EXPECT_GE(photos, 3);
  EXPECT_GE(withoutPhoto, 1);
  EXPECT_TRUE(accentedName);
  EXPECT_GE(mailers, 1);
  EXPECT_GE(withoutPermission, 1);
  // The same users in the other languages, whichever the service works in.
  for (const char* lang : {"ES", "PT"})
    EXPECT_EQ(Open(c, SqlLoginUsers(lang))->RecordCount(), users->RecordCount()) << lang;
  // The SMTP row of a local test server.
  auto smtp = Open(c, SqlSmtpSettings(1));
  ASSERT_EQ(smtp->RecordCount(), 1);
  EXPECT_EQ(smtp->FieldByName("Servidor").AsString(), "127.0.0.1");
  EXPECT_EQ(smtp->FieldByName("Puerto").AsInteger(), 2525);
  EXPECT_EQ(smtp->FieldByName("TLS_Type").AsInteger(), 0);
  // Notes by a maintenance-product user, and requests older than a month.
  EXPECT_GE(Open(c,
                 "SELECT * FROM Request_Status WHERE Id_UserStatus = 0 AND "
                 "UserNameQX <> ''")
                ->RecordCount(),
            1);
  TDateTime monthAgo = Now() - 31;
  EXPECT_GE(Open(c, "SELECT * FROM Request_Status WHERE Status_dt < " +
                        IntToStr(static_cast<std::int64_t>(monthAgo)))
                ->RecordCount(),
            1);
  // Accented text reads back in the service's Windows-1252.
  auto accented = Open(c, "SELECT Description FROM Request");
  bool found = false;
  for (; !accented->Eof(); accented->Next())
    found |=
        accented->Fields(0).AsString() == Utf8ToAnsi("Lámpara fundida en la sala de reuniones");
  EXPECT_TRUE(found);

  // The first user's request list: pending and recently closed requests, many statuses.
  users->First();
  int user = users->FieldByName("Id_User").AsInteger();
  int days = users->FieldByName("RequestGetDays").AsInteger();
  auto list = Open(c, SqlRequestList("EN", user, days, Now()));
  EXPECT_GE(list->RecordCount(), 5);
  std::set<int> statuses;
  for (; !list->Eof(); list->Next()) {
    statuses.insert(list->FieldByName("Id_Status").AsInteger());
    EXPECT_FALSE(list->FieldByName("Status").AsString().empty());
  }
  EXPECT_GE(statuses.size(), 4u);
  EXPECT_TRUE(statuses.count(2));  // one that offers a reminder
  // Every request points at an existing note.
  EXPECT_EQ(Open(c,
                 "SELECT * FROM Request r LEFT JOIN Request_Status s ON "
                 "r.Id_Req_Status = s.Id_Req_Status WHERE s.Id_Req_Status IS NULL")
                ->RecordCount(),
            0);
}

TEST(AdminToolTest, InitDbWithoutDemoMakesEmptyTables) {
  TempDir dir;
  std::string path = dir / "Requests.mdb";
  ToolResult r = RunAdminTool(dir, {"init-db", path});
  ASSERT_EQ(r.status, 0) << r.err;
  TADOConnection c;
  c.SetConnectionString(DatabaseConnectionString(path));
  c.Open();
  for (const char* table : {"Users", "Request", "Request_Status", "Status", "HistEmail", "qxsmtp"})
    EXPECT_EQ(Count(c, table), 0) << table;
}

TEST(AdminToolTest, AnExistingFileIsLeftAloneWithoutForce) {
  TempDir dir;
  std::string path = dir / "Requests.mdb";
  ASSERT_TRUE(WriteFileBytes(path, "precious bytes"));
  ToolResult r = RunAdminTool(dir, {"init-db", "--demo", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(path).value_or(""), "precious bytes");
  // Nothing else was left beside it.
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Requests.mdb", "program.err", "program.out"}));

  r = RunAdminTool(dir, {"init-db", "--force", path});
  ASSERT_EQ(r.status, 0) << r.err;
  TADOConnection c;
  c.SetConnectionString(DatabaseConnectionString(path));
  c.Open();
  EXPECT_EQ(Count(c, "Users"), 0);

  // --force never replaces a folder.
  r = RunAdminTool(dir, {"init-db", "--force", dir / ""});
  EXPECT_EQ(r.status, 1);
}

TEST(AdminToolTest, BadArgumentsExitWithStatusTwo) {
  TempDir dir;
  EXPECT_EQ(RunAdminTool(dir, {}).status, 2);
  EXPECT_EQ(RunAdminTool(dir, {"no-such-command"}).status, 2);
  EXPECT_EQ(RunAdminTool(dir, {"init-db"}).status, 2);
  ToolResult r = RunAdminTool(dir, {"init-db", "--colour", dir / "a.mdb"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--colour"), std::string::npos);
  EXPECT_NE(r.err.find("Usage"), std::string::npos);
  EXPECT_EQ(RunAdminTool(dir, {"init-db", dir / "a.mdb", dir / "b.mdb"}).status, 2);
  EXPECT_FALSE(FileExists(dir / "a.mdb"));
  r = RunAdminTool(dir, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("init-db"), std::string::npos);
  EXPECT_NE(r.out.find("--force"), std::string::npos);
  EXPECT_EQ(RunAdminTool(dir, {"init-db", "--help"}).status, 0);
}

}  // namespace
}  // namespace qx::test
