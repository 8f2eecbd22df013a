// requestqx-admin request list|show|answer: an answer is a maintenance user's note that
// becomes the request's current status, as the service then lists it; answers run at the same
// time get distinct keys; bad input is refused and changes nothing.
#include "AdminFixture.h"
#include "data/Statements.h"
#include "runtime/DateTime.h"
#include "support/ChildProcess.h"

namespace qx::test {
namespace {

using RequestCommandTest = AdminFixture;

TEST_F(RequestCommandTest, AnAnswerBecomesTheCurrentStatusByItsMaintenanceAuthor) {
  NeighbourWriter neighbour = QuietNeighbour();
  const TDateTime before = Now();
  ProgramResult r = Admin({"request", "answer", "1", "--status", "in progress", "--language", "EN",
                           "--by", "Jorge Ramos", "--comments", "Parts ordered\nArriving Monday"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Request 1: note 13, status 3 by Jorge Ramos.\n");
  // The note's key is the largest plus one; the request points at it.
  EXPECT_EQ(Scalar("SELECT Id_Req_Status FROM Request WHERE Id_Request = 1"), "13");
  EXPECT_EQ(Scalar("SELECT Id_Request || ' ' || Id_Status || ' ' || Id_UserStatus || ' ' ||"
                   " UserNameQX || ' ' || StatusType || ' ' || Comments FROM Request_Status"
                   " WHERE Id_Req_Status = 13"),
            "1 3 0 Jorge Ramos 1 Parts ordered\r\nArriving Monday");
  const double written =
      Query("SELECT Status_dt FROM Request_Status WHERE Id_Req_Status = 13")->Fields(0).AsFloat();
  EXPECT_GE(written, before - 1.0 / 86400);
  EXPECT_LE(written, Now());
  // What the service lists: the new status on the request, the author among its notes.
  auto list = Query(SqlRequestList("ES", 1, 30, Now()));
  ASSERT_EQ(list->RecordCount(), 1);
  EXPECT_EQ(list->FieldByName("Status").AsString(), "En proceso");
  auto notes = Query(SqlStatusNotes("EN", 1));
  ASSERT_TRUE(notes->Locate("Id_Req_Status", 13));
  EXPECT_EQ(notes->FieldByName("UserNameQX").AsString(), "Jorge Ramos");
  EXPECT_EQ(notes->FieldByName("Status_desc").AsString(), "In progress");

  r = Admin({"request", "show", "1", "--language", "EN"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Description:   Broken chair\nId_Req_Status: 13\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1       New          1     1     Ana Torres               Reported\n"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3       In progress  1     0                 Jorge Ramos  "
                       "Parts ordered / Arriving Monday\n"),
            std::string::npos) << r.out;
  r = Admin({"request", "list", "--user", "2", "--language", "EN"});
  EXPECT_EQ(r.out,
            "ID  USER  NAME   URGENT  STATUS                      SINCE                DESCRIPTION\n"
            "2   2     Bruno  yes     2       Awaiting attention  10/12/2025 12:00:00  Leaking tap\n");
}

TEST_F(RequestCommandTest, AnswersAtTheSameTimeGetKeysOfTheirOwn) {
  for (int id = 3; id <= 8; ++id)
    Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) VALUES (:Id, 'r', 0, 1)",
         {id});
  std::vector<std::unique_ptr<ChildProcess>> answers;
  for (int id = 3; id <= 8; ++id)
    answers.push_back(std::make_unique<ChildProcess>(
        QX_ADMIN_TOOL, std::vector<std::string>{"request", "answer", std::to_string(id), "--status",
                                                "2", "--by", "Desk", "--database", path_}));
  for (auto& answer : answers) EXPECT_EQ(answer->Wait(), 0) << answer->Err();
  EXPECT_EQ(Scalar("SELECT Count(DISTINCT Request.Id_Req_Status) || ' ' || Min(Request.Id_Req_Status) ||"
                   " ' ' || Max(Request.Id_Req_Status) FROM Request JOIN Request_Status ON"
                   " Request_Status.Id_Req_Status = Request.Id_Req_Status AND"
                   " Request_Status.Id_Request = Request.Id_Request WHERE Request.Id_Request >= 3"),
            "6 13 18");
}

TEST_F(RequestCommandTest, BadInputIsRefusedAndChangesNothing) {
  NeighbourWriter neighbour = QuietNeighbour();
  ExpectRefused({
      {{"request", "answer", "9", "--status", "2", "--by", "Desk"}, "", 1, "there is no request 9"},
      {{"request", "answer", "1", "--status", "7", "--by", "Desk"}, "", 1,
       "there is no status 7 in the status catalogue"},
      {{"request", "answer", "1", "--status", "Fixed", "--by", "Desk", "--language", "EN"}, "", 1,
       "there is no status named 'Fixed' in EN"},
      {{"request", "answer", "1", "--status", "13", "--by", "Desk"}, "", 2,
       "status 13 records a request sent by e-mail"},
      {{"request", "answer", "1", "--status", "2"}, "", 2, "give --by"},
      {{"request", "answer", "1", "--by", "Desk"}, "", 2, "give --status"},
      {{"request", "answer", "1", "--status", "2", "--by", std::string(61, 'x')}, "", 2,
       "is longer than 60 characters"},
      {{"request", "answer", "x1", "--status", "2", "--by", "Desk"}, "", 2, "'x1' is not a whole number"},
      {{"request", "show", "9"}, "", 1, "there is no request 9"},
  });
}

}  // namespace
}  // namespace qx::test
