// requestqx-admin backup and check: a copy taken while another connection keeps adding
// requests is one consistent state that passes the check; the check names a missing table and
// column; nothing is written where a file already is, or from a file that is no database.
#include "AdminFixture.h"
#include "runtime/Files.h"

namespace qx::test {
namespace {

class MaintenanceCommandTest : public AdminFixture {
 protected:
  // The rows of a table in another database file.
  static int Count(const std::string& path, const std::string& table) {
    TADOConnection c;
    c.SetConnectionString(DatabaseConnectionString(path));
    c.Open();
    TADODataSet count;
    count.SetConnection(&c);
    count.SetCommandText("SELECT Count(*) FROM " + table);
    count.Open();
    return count.Fields(0).AsInteger();
  }
};

TEST_F(MaintenanceCommandTest, ABackupWhileRequestsAreAddedIsOneConsistentState) {
  std::string copy = dir_ / "backups/copy.mdb";
  {
    // Each round adds a request and its note together, so a consistent copy has as many
    // requests beyond the first two as notes beyond theirs.
    NeighbourWriter neighbour(OtherConnection(5000), [](TADOConnection& c, int round) {
      Exec(c, "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User)"
              " VALUES (:Id, 'r', :Note, 1)", {100 + round, 1000 + round});
      Exec(c, "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Comments)"
              " VALUES (:Note, :Id, 1, :Text)", {1000 + round, 100 + round, std::string(3000, 'c')});
    });
    const int roundsBefore = neighbour.Rounds();
    ProgramResult r = Admin({"backup", copy});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Copied the database '" + path_ + "' to '" + copy + "'.\n");
    const int requests = Count(copy, "Request");
    EXPECT_EQ(requests, Count(copy, "Request_Status"));
    EXPECT_GE(requests - 2, roundsBefore);
    EXPECT_GT(neighbour.Rounds(), roundsBefore);
  }
  EXPECT_EQ(RunAdminTool(dir_, {"check", "--database", copy}).out, "integrity: ok\nschema: ok\n");
  // Only beside the copy's own name: no scratch file is left.
  EXPECT_EQ(TempDir::NamesIn(dir_ / "backups"), std::vector<std::string>{"copy.mdb"});

  // An earlier copy is replaced only when asked.
  Exec("DELETE FROM Request WHERE Id_Request > 2");
  ProgramResult r = Admin({"backup", copy});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("already exists; nothing was changed (use --force to replace it)"),
            std::string::npos);
  ASSERT_EQ(Admin({"backup", copy, "--force"}).status, 0);
  EXPECT_EQ(Count(copy, "Request"), 2);
}

TEST_F(MaintenanceCommandTest, TheCheckNamesWhatIsMissing) {
  ProgramResult r = Admin({"check"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "integrity: ok\nschema: ok\n");
  Exec("DROP TABLE HistEmail");
  Exec("ALTER TABLE Users DROP COLUMN Photo");
  r = Admin({"check"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "integrity: ok\nschema: table Users has no column Photo\nschema: missing table HistEmail\n"
            "2 problems found.\n");

  ASSERT_TRUE(WriteFileBytes(dir_ / "notes.txt", "not a database"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"check"}, std::vector<std::string>{"backup", dir_ / "copy.mdb"}}) {
    std::vector<std::string> withFile = args;
    withFile.insert(withFile.end(), {"--database", dir_ / "notes.txt"});
    r = RunAdminTool(dir_, withFile);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a database"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(FileExists(dir_ / "copy.mdb"));
  EXPECT_EQ(ReadFileBytes(dir_ / "notes.txt"), "not a database");
}

}  // namespace
}  // namespace qx::test
