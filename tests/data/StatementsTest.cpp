// The statements: their exact texts, the composition rules, and R1/R2/K/H/U runs on a real
// database with the columns and declared types the screens rely on.
#include <gtest/gtest.h>

#include "DataFixture.h"
#include "data/Statements.h"
#include "runtime/DateTime.h"
#include "runtime/Strings.h"

namespace qx::test {
namespace {

TEST(StatementTexts, FixedTextsAreExact) {
  EXPECT_EQ(kSqlNextRequestId, "SELECT Max(id_Request) as MaxId FROM Request ");
  EXPECT_EQ(kSqlNextRequestStatusId, "SELECT Max(Id_Req_Status) as MaxId FROM Request_Status ");
  EXPECT_EQ(kSqlNextHistEmailId, "SELECT Max(Id_HistEmail) as MaxId FROM HistEmail ");
  EXPECT_EQ(kSqlProfileUser, "select * from Users\r\nWhere Id_User = :IdUser");
  EXPECT_EQ(kSqlInsertRequest,
            "INSERT INTO Request (   Id_Request, Description, Id_Req_Status, Id_User, Urgent, "
            "RepairNotice) VALUES (  :pIdRequest, :pDescription, :pIdReqStatus, :pIdUser, "
            ":pUrgent, :pRepairNotice) ");
  EXPECT_EQ(kSqlInsertStatusNote,
            "INSERT INTO Request_Status(   Id_Req_Status, Id_Request, Id_Status, Status_dt, "
            "Comments, Id_UserStatus, StatusType) VALUES (  :pIdReqStatus, :pIdRequest, "
            ":pIdStatus, :pStatusdt, :pComments, :pIdUserStatus, :pStatusType) ");
  EXPECT_EQ(kSqlChangeRequestStatus,
            "UPDATE Request SET Id_Req_Status = :pIdReqStatus WHERE Id_Request = :pIdRequest ");
  EXPECT_EQ(kSqlUpdateRequestGetDays,
            "UPDATE Users SET RequestGetDays = :pRequestGetDays WHERE Id_User = :pIdUser ");
  EXPECT_EQ(kSqlInsertHistEmail,
            "INSERT INTO HistEmail(Id_HistEmail, Id_User, Email)               VALUES "
            "(:pIdHistEmail, :pIdUser, :Email) ");
}

TEST(StatementTexts, ComposedTextsJoinPiecesWithoutSeparator) {
  EXPECT_EQ(SqlUserById(7), "SELECT * FROM Users  WHERE Id_User = 7 ");
  EXPECT_EQ(SqlLoginUsers("EN"), "select * from Users Where Id_Language = 'EN' order by UserName");
  EXPECT_EQ(SqlSmtpSettings(1), "SELECT * FROM qxsmtp  WHERE Idsmtp = 1 ");
  EXPECT_EQ(SqlHistEmailCondition(12), "WHERE Id_User = 12");
  EXPECT_EQ(SqlHistEmailList(12), "SELECT * FROM HistEmail WHERE Id_User = 12");
  EXPECT_EQ(std::string(kSqlHistEmailSelect) + SqlHistEmailCondition(3),
            "SELECT * FROM HistEmail WHERE Id_User = 3");
  EXPECT_EQ(SqlHistEmailKnown(3, "ana@example.com"),
            "SELECT * FROM HistEmail  WHERE Id_User = 3 AND Email = 'ana@example.com'");
  EXPECT_EQ(SqlStatusNotes("PT", 42),
            "SELECT Request_Status.Id_Req_Status, Request_Status.Id_Request, "
            "Request_Status.Comments, Status.Description AS Status_desc,  "
            "Request_Status.Status_dt, Request_Status.Id_UserStatus, UserStatus.UserName AS "
            "User_Status, Request_Status.UserNameQX FROM (Request_Status INNER JOIN Status ON "
            "(Status.Id_Status=Request_Status.Id_Status AND Status.Id_Language = 'PT'))  LEFT "
            "JOIN Users AS UserStatus ON (Request_Status.Id_UserStatus=UserStatus.Id_User AND "
            "UserStatus.Id_Language = 'PT')  WHERE  Request_Status.Id_Request = 42 ORDER BY "
            "Request_Status.Id_Request");
}

TEST(StatementTexts, QuotedLiteralDoublesSingleQuotes) {
  EXPECT_EQ(QuotedStr("plain"), "'plain'");
  EXPECT_EQ(QuotedStr("o'brien@example.com"), "'o''brien@example.com'");
  EXPECT_EQ(QuotedStr("''"), "''''''");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(
      SqlHistEmailKnown(1, "x'; DROP TABLE HistEmail; --"),
      "SELECT * FROM HistEmail  WHERE Id_User = 1 AND Email = 'x''; DROP TABLE HistEmail; --'");
}

TEST(StatementTexts, RequestListForUser7AndThirtyDays) {
  TDateTime now = EncodeDate(2024, 3, 15) + EncodeTime(14, 0, 0, 0);
  std::string cut = IntToStr(static_cast<std::int64_t>(EncodeDate(2024, 2, 14)));
  EXPECT_EQ(RequestListCutOff(now, 30), static_cast<std::int64_t>(EncodeDate(2024, 2, 14)));
  EXPECT_EQ(
      SqlRequestList("EN", 7, 30, now),
      "SELECT Request.Id_Request, Request.Description, Request_Status.Status_dt AS StatusDate, "
      "Request_Status.Comments, Request_Status.Id_Status, Status.Description AS Status, "
      "Request.Id_User, Users.UserName AS [User], UAdmin.UserName AS Admin, Request.Urgent "
      "FROM (Request LEFT JOIN Users ON (Request.Id_User = Users.Id_User AND "
      "Users.Id_Language = 'EN'))  LEFT JOIN ((Request_Status LEFT JOIN Users AS UAdmin ON "
      "(Request_Status.Id_UserStatus = UAdmin.Id_User AND UAdmin.Id_Language = 'EN'))  LEFT "
      "JOIN Status ON (Request_Status.Id_Status = Status.Id_Status AND Status.Id_Language = "
      "'EN'))        ON Request.Id_Req_Status = Request_Status.Id_Req_Status  Where "
      "(Request.Id_User = 7 and Request_Status.Id_Status in (1,2,3,5,8,9,10,11,12)) or "
      "(Request.Id_User = 7 and Request_Status.Id_Status in (4,6,7) and "
      "Request_Status.Status_dt >= " +
          cut + ")ORDER BY Request.Id_Request ");
}

TEST(StatementTexts, CutOffIsTheStartOfTheDayTruncated) {
  TDateTime midnight = EncodeDate(2024, 3, 15);
  auto day = static_cast<std::int64_t>(midnight);
  EXPECT_EQ(RequestListCutOff(midnight, 0), day);
  EXPECT_EQ(RequestListCutOff(midnight + EncodeTime(23, 59, 59, 999), 0), day);
  EXPECT_EQ(RequestListCutOff(midnight + EncodeTime(0, 0, 0, 1), 1), day - 1);
  EXPECT_EQ(RequestListCutOff(midnight + 0.5, 180), day - 180);
}

// A database with users, statuses and requests of user 7 around a fixed "now".
class StatementRuns : public DataFixture {
 protected:
  void SetUp() override {
    DataFixture::SetUp();
    AddUser(7, "EN", "Ana");
    AddUser(7, "ES", "Ana ES");
    AddUser(8, "EN", "Maintenance Office");
    AddUser(9, "EN", "Other");
    for (int s = 1; s <= 13; ++s) {
      Exec(kInsertStatus, {s, "EN", "Status " + std::to_string(s)});
      Exec(kInsertStatus, {s, "ES", "Estado " + std::to_string(s)});
    }
    AddRequest(1, 7, 2, 100.0, 7);          // pending, old: always listed
    AddRequest(2, 7, 6, 0.25, 8);           // closed this morning
    AddRequest(3, 7, 4, 1.0, 0, "QX Bob");  // closed yesterday afternoon
    AddRequest(4, 7, 14, 0.1, 7);           // a status in neither set: never listed
    AddRequest(5, 9, 1, 1.0, 9);            // another user's
    AddRequest(6, 7, 7, 40.0, 8);           // closed 40 days ago
  }

  void AddUser(int id, const char* language, const char* name) {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (:Id, :Lang, :Name)",
         {id, language, name});
  }
  void AddRequest(int id, int user, int status, double age, int author,
                  const char* qxName = nullptr) {
    Exec(kSqlInsertRequest, {id, "Request " + std::to_string(id), id * 10, user, id == 2, false});
    AddNote(id * 10, id, status, age, author, qxName);
  }
  void AddNote(int noteId, int request, int status, double age, int author,
               const char* qxName = nullptr) {
    Exec(kSqlInsertStatusNote, {noteId, request, status, now_ - age, "note", author, 1});
    if (qxName)
      Exec("UPDATE Request_Status SET UserNameQX = :Name WHERE Id_Req_Status = :Id",
           {qxName, noteId});
  }
  std::vector<int> Listed(int days) {
    auto ds = Query(SqlRequestList("EN", 7, days, now_));
    std::vector<int> ids;
    for (; !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName("Id_Request").AsInteger());
    return ids;
  }

  static constexpr std::string_view kInsertStatus =
      "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (:Id, :Lang, :Name)";
  TDateTime now_ = EncodeDate(2024, 3, 15) + EncodeTime(14, 0, 0, 0);
};

TEST_F(StatementRuns, RequestListShowsPendingAlwaysAndClosedWithinTheWindow) {
  EXPECT_EQ(Listed(0), (std::vector<int>{1, 2}));
  EXPECT_EQ(Listed(1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Listed(30), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Listed(45), (std::vector<int>{1, 2, 3, 6}));
}

TEST_F(StatementRuns, RequestListReturnsItsColumnsWithDeclaredTypes) {
  auto ds = Query(SqlRequestList("EN", 7, 30, now_));
  struct Expected {
    const char* name;
    TFieldType type;
    int size;
  };
  const Expected expected[] = {{"Id_Request", ftInteger, 0},  {"Description", ftString, 255},
                               {"StatusDate", ftDateTime, 0}, {"Comments", ftMemo, 0},
                               {"Id_Status", ftInteger, 0},   {"Status", ftString, 50},
                               {"Id_User", ftInteger, 0},     {"User", ftString, 50},
                               {"Admin", ftString, 50},       {"Urgent", ftBoolean, 0}};
  ASSERT_EQ(ds->FieldCount(), 10);
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(ds->Fields(i).FieldName(), expected[i].name);
    EXPECT_EQ(ds->Fields(i).DataType(), expected[i].type);
    EXPECT_EQ(ds->Fields(i).Size(), expected[i].size);
  }
  // Request 2: closed this morning, written by a service user, urgent.
  ASSERT_TRUE(ds->Locate("id_request", 2));
  EXPECT_EQ(ds->FieldByName("User").AsString(), "Ana");
  EXPECT_EQ(ds->FieldByName("Admin").AsString(), "Maintenance Office");
  EXPECT_EQ(ds->FieldByName("Status").AsString(), "Status 6");
  EXPECT_TRUE(ds->FieldByName("Urgent").AsBoolean());
  EXPECT_DOUBLE_EQ(ds->FieldByName("StatusDate").AsDateTime(), now_ - 0.25);
  // Request 3: its note is by a maintenance-product user, so no service user matches.
  ASSERT_TRUE(ds->Locate("Id_Request", 3));
  EXPECT_TRUE(ds->FieldByName("Admin").IsNull());
  EXPECT_EQ(ds->FieldByName("Admin").AsString(), "");
  EXPECT_FALSE(ds->FieldByName("Urgent").AsBoolean());
}

TEST_F(StatementRuns, StatusNotesListOnlyNotesWithACatalogueName) {
  AddNote(11, 1, 3, 50.0, 0, "QX Bob");
  AddNote(12, 1, 99, 40.0, 7);  // no catalogue row: left out by the inner join
  auto ds = Query(SqlStatusNotes("EN", 1));
  const char* names[] = {"Id_Req_Status", "Id_Request",    "Comments",    "Status_desc",
                         "Status_dt",     "Id_UserStatus", "User_Status", "UserNameQX"};
  const TFieldType types[] = {ftInteger,  ftInteger, ftMemo,   ftString,
                              ftDateTime, ftInteger, ftString, ftString};
  ASSERT_EQ(ds->FieldCount(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(ds->Fields(i).FieldName(), names[i]);
    EXPECT_EQ(ds->Fields(i).DataType(), types[i]) << names[i];
  }
  EXPECT_EQ(ds->FieldByName("UserNameQX").Size(), 60);
  ASSERT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->FieldByName("Id_Req_Status").AsInteger(), 10);
  EXPECT_EQ(ds->FieldByName("User_Status").AsString(), "Ana");
  EXPECT_EQ(ds->FieldByName("Status_desc").AsString(), "Status 2");
  ds->Next();
  EXPECT_EQ(ds->FieldByName("Id_Req_Status").AsInteger(), 11);
  EXPECT_EQ(ds->FieldByName("Id_UserStatus").AsInteger(), 0);
  EXPECT_EQ(ds->FieldByName("User_Status").AsString(), "");
  EXPECT_EQ(ds->FieldByName("UserNameQX").AsString(), "QX Bob");
  // The same notes in Spanish.
  auto es = Query(SqlStatusNotes("ES", 1));
  EXPECT_EQ(es->FieldByName("Status_desc").AsString(), "Estado 2");
  EXPECT_EQ(es->FieldByName("User_Status").AsString(), "Ana ES");
}

TEST_F(StatementRuns, MaxIdIsEmptyForAnEmptyTableAndTheLargestKeyOtherwise) {
  auto empty = Query(kSqlNextHistEmailId);
  ASSERT_EQ(empty->RecordCount(), 1);
  EXPECT_TRUE(empty->FieldByName("MaxId").IsNull());
  EXPECT_EQ(empty->FieldByName("MaxId").AsInteger(), 0);
  Exec(kSqlInsertRequest, {41, "forty-one", 0, 7, false, false});
  EXPECT_EQ(Query(kSqlNextRequestId)->FieldByName("maxid").AsInteger(), 41);
  EXPECT_EQ(Query(kSqlNextRequestStatusId)->FieldByName("MaxId").AsInteger(), 60);
}

TEST_F(StatementRuns, UsersByIdLoginListAndProfile) {
  auto byId = Query(SqlUserById(7));
  EXPECT_EQ(byId->RecordCount(), 2);  // every language row
  Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (10, 'EN', 'bea')");
  auto login = Query(SqlLoginUsers("EN"));
  std::vector<std::string> names;
  for (; !login->Eof(); login->Next()) names.push_back(login->FieldByName("UserName").AsString());
  // Sorted without regard to letter case.
  EXPECT_EQ(names, (std::vector<std::string>{"Ana", "bea", "Maintenance Office", "Other"}));

  TADODataSet profile;
  profile.SetConnection(&connection_);
  profile.SetCommandText(std::string(kSqlProfileUser));
  profile.Parameters().ParamByName("iduser").SetValue(8);
  profile.Open();
  EXPECT_EQ(profile.RecordCount(), 1);
  EXPECT_EQ(profile.FieldByName("UserName").AsString(), "Maintenance Office");
  EXPECT_TRUE(profile.FieldByName("Photo").IsNull());
  EXPECT_EQ(profile.FieldByName("Photo").DataType(), ftBlob);
}

TEST_F(StatementRuns, AddressWithAQuoteIsFoundDoubledAndStoredAsTyped) {
  Exec(kSqlInsertHistEmail, {1, 7, "o'brien@example.com"});
  EXPECT_EQ(Query(SqlHistEmailKnown(7, "o'brien@example.com"))->RecordCount(), 1);
  // Addresses compare without regard to letter case.
  EXPECT_EQ(Query(SqlHistEmailKnown(7, "O'Brien@Example.com"))->RecordCount(), 1);
  EXPECT_EQ(Query(SqlHistEmailKnown(8, "o'brien@example.com"))->RecordCount(), 0);
  auto list = Query(SqlHistEmailList(7));
  EXPECT_EQ(list->FieldByName("Email").AsString(), "o'brien@example.com");
  // A quote cannot end the literal early and smuggle in a statement.
  EXPECT_EQ(Query(SqlHistEmailKnown(7, "x'; DELETE FROM HistEmail; --"))->RecordCount(), 0);
  EXPECT_EQ(Query(SqlHistEmailList(7))->RecordCount(), 1);
}

TEST_F(StatementRuns, WritingStatementsTakeTheirValuesByPosition) {
  EXPECT_EQ(Exec(kSqlChangeRequestStatus, {99, 1}), 1);
  EXPECT_EQ(Query("SELECT Id_Req_Status FROM Request WHERE Id_Request = 1")
                ->FieldByName("Id_Req_Status")
                .AsInteger(),
            99);
  EXPECT_EQ(Exec(kSqlUpdateRequestGetDays, {45, 7}), 2);  // both language rows
  auto users = Query(SqlUserById(7));
  for (; !users->Eof(); users->Next())
    EXPECT_EQ(users->FieldByName("RequestGetDays").AsInteger(), 45);
  Exec(kSqlInsertStatusNote, {500, 1, 255u, now_, "", 7, 2});
  auto note = Query("SELECT * FROM Request_Status WHERE Id_Req_Status = 500");
  EXPECT_EQ(note->FieldByName("Id_Status").AsInteger(), 255);
  EXPECT_EQ(note->FieldByName("StatusType").AsInteger(), 2);
  EXPECT_FALSE(note->FieldByName("Comments").IsNull());
  EXPECT_EQ(note->FieldByName("Comments").AsString(), "");
}

}  // namespace
}  // namespace qx::test
