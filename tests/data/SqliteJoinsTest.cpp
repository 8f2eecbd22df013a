// The request list's nested outer join handed to SQLite flat: the exact text it becomes, the
// shapes left alone, and on a real file the same rows as the nested form with a plan that reads
// only the user's requests.
#include "data/SqliteJoins.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DataFixture.h"
#include "data/Statements.h"
#include "runtime/DateTime.h"
#include "support/RunProgram.h"

namespace qx::test {
namespace {

constexpr std::string_view kListHead =
    "SELECT Request.Id_Request, Request.Description, Request_Status.Status_dt AS StatusDate, "
    "Request_Status.Comments, Request_Status.Id_Status, Status.Description AS Status, "
    "Request.Id_User, Users.UserName AS [User], UAdmin.UserName AS Admin, Request.Urgent FROM "
    "(Request LEFT JOIN Users ON (Request.Id_User = Users.Id_User AND Users.Id_Language = 'EN'))  ";

TEST(FlattenNestedOuterJoin, TheRequestListBecomesThreeJoinsInARow) {
  const TDateTime now = EncodeDate(2024, 3, 15) + EncodeTime(14, 0, 0, 0);
  const std::string list = SqlRequestList("EN", 7, 30, now);
  const std::string where = list.substr(list.find("Where"));
  EXPECT_EQ(FlattenNestedOuterJoin(list),
            std::string(kListHead) +
                "LEFT JOIN Request_Status ON Request.Id_Req_Status = Request_Status.Id_Req_Status"
                " LEFT JOIN Users AS UAdmin ON (Request_Status.Id_UserStatus = UAdmin.Id_User AND "
                "UAdmin.Id_Language = 'EN') LEFT JOIN Status ON (Request_Status.Id_Status = "
                "Status.Id_Status AND Status.Id_Language = 'EN')  " + where);
}

TEST(FlattenNestedOuterJoin, LeavesAloneWhatItCannotProveTheSame) {
  const auto flat = [](std::string_view first, std::string_view second, std::string_view on) {
    return FlattenNestedOuterJoin("SELECT * FROM A LEFT JOIN ((T LEFT JOIN U ON " + std::string(first) +
                                  ") LEFT JOIN V ON " + std::string(second) + ") ON " + std::string(on) +
                                  " WHERE A.k = 1");
  };
  EXPECT_EQ(flat("(T.u = U.u AND U.l = 'it''s ))')", "(V.v = T.v)", "A.t = T.t"),
            "SELECT * FROM A LEFT JOIN T ON A.t = T.t LEFT JOIN U ON (T.u = U.u AND U.l = 'it''s ))') "
            "LEFT JOIN V ON (V.v = T.v) WHERE A.k = 1");
  EXPECT_EQ(flat("(U.l = 'EN')", "(V.v = T.v)", "A.t = T.t"), std::nullopt);  // U not tied to T
  EXPECT_EQ(flat("(T.u = U.u OR U.l = 'EN')", "(V.v = T.v)", "A.t = T.t"), std::nullopt);
  EXPECT_EQ(flat("(T.u = U.u)", "(V.v = T.v)", "A.t = U.t"), std::nullopt);  // needs U first
  EXPECT_EQ(flat("(T.u = U.u)", "(V.v = T.v)", "A.t = V.t AND T.x = A.x"), std::nullopt);
  EXPECT_EQ(flat("(T.u = U.u)", "(V.v IS T.v)", "A.t = T.t"), std::nullopt);
  EXPECT_EQ(FlattenNestedOuterJoin("SELECT * FROM A LEFT JOIN T ON A.t = T.t"), std::nullopt);
  // Typed text that reads like the join stays as typed.
  EXPECT_EQ(FlattenNestedOuterJoin(SqlHistEmailKnown(3, "LEFT JOIN ((T LEFT JOIN U ON (T.u = U.u)) LEFT JOIN "
                                                        "V ON (V.v = T.v)) ON A.t = T.t")),
            std::nullopt);
}

// Requests with and without a current note, notes by service users, by maintenance staff and
// by nobody known, statuses named and unnamed, users of two languages.
class NestedAndFlat : public DataFixture {
 protected:
  void SetUp() override {
    DataFixture::SetUp();
    for (const char* sql : {
             "INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (7, 'EN', 'Ana'), "
             "(7, 'ES', 'Ana ES'), (8, 'EN', 'Office'), (9, 'ES', 'Solo ES')",
             "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'), "
             "(2, 'EN', 'Open'), (2, 'ES', 'Abierta'), (4, 'EN', 'Done')",
             "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES "
             "(1, 'one', 10, 7, 0), (2, 'two', 20, 7, 1), (3, 'three', 30, 9, 0), "
             "(4, 'no note', 999, 7, 0), (5, 'no user', 50, NULL, 0), (6, 'unnamed status', 60, 7, 0)",
             "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, "
             "Id_UserStatus, UserNameQX, StatusType) VALUES (10, 1, 1, 45000, 'a', 7, NULL, 1), "
             "(11, 1, 2, 45001, 'old', 8, NULL, 1), (20, 2, 4, 45002, 'b', 0, 'QX Bob', 1), "
             "(30, 3, 2, 45003, 'c', 9, NULL, 1), (50, 5, 1, 45004, 'd', NULL, NULL, 1), "
             "(60, 6, 13, 45005, 'e', 8, NULL, 1)"})
      Exec(sql);
  }
  std::string Sqlite(const std::string& sql) {
    ProgramResult r = RunProgram("/usr/bin/sqlite3", {path_, sql}, dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }
};

TEST_F(NestedAndFlat, GiveTheSameRowsAndTheFlatOneReadsOnlyTheUsersRequests) {
  const std::string list = SqlRequestList("EN", 7, 0, EncodeDate(2024, 3, 15));
  const std::string all = list.substr(0, list.find("Where")) + "ORDER BY Request.Id_Request";
  const std::optional<std::string> flatAll = FlattenNestedOuterJoin(all);
  ASSERT_TRUE(flatAll);
  const std::string rows = Sqlite(all);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 6) << rows;
  EXPECT_EQ(Sqlite(*flatAll), rows);

  const std::string plan = Sqlite("EXPLAIN QUERY PLAN " + *FlattenNestedOuterJoin(list));
  EXPECT_EQ(plan.find("SCAN"), std::string::npos) << plan;
  EXPECT_EQ(plan.find("MATERIALIZE"), std::string::npos) << plan;
  EXPECT_NE(Sqlite("EXPLAIN QUERY PLAN " + list).find("SCAN Request_Status"), std::string::npos)
      << "the nested form no longer scans every note: the flattening may have become needless";
}

}  // namespace
}  // namespace qx::test
