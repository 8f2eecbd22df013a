// The home screen over a real SQLite file: the request list with its day window, buttons,
// labels and notes as the user moves through it; reminders and cancellations, one that the
// database refuses; a user deleted while signed in; notes that cannot be read.
#include <gtest/gtest.h>

#include "ScreensFixture.h"
#include "controls/IWButton.h"
#include "controls/IWDBControls.h"
#include "controls/IWDBGrid.h"
#include "controls/IWEdit.h"
#include "controls/IWImageFile.h"
#include "controls/IWLabel.h"
#include "runtime/DateTime.h"
#include "screens/Usuario.h"

namespace qx::test {
namespace {

constexpr char kNoteCount[] = "SELECT Count(*) AS N FROM Request_Status";
// Fixed times of the pending requests' notes (pending requests are listed at any age).
constexpr TDateTime kFirstNote = 46000.5;    // 09/12/2025 12:00
constexpr TDateTime kSecondNote = 46001.75;  // 10/12/2025 18:00

class Home : public ScreensFixture {
 protected:
  Home() {
    for (int status = 1; status <= 13; ++status)
      Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (:i, 'ES', :d)",
           {status, "Status " + IntToStr(status)});
    Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (2, 'EN', 'Awaiting')");
    Exec("INSERT INTO qxsmtp (Idsmtp, Servidor, Puerto) VALUES (1, '127.0.0.1', 25)");
  }

  void AddUser(int id, const std::string& name, int days) {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName, Email, SendEmail, RequestGetDays) "
         "VALUES (:i, 'ES', :n, 'ana@mail.es', 1, :d)", {id, name, days});
  }
  // A request of `user` whose current note is `noteId`, of `status`, written at `when` by
  // `author` (below 1: the maintenance product's "QX Desk").
  void AddRequest(int id, int user, int noteId, int status, TDateTime when, int author = 7) {
    Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) "
         "VALUES (:r, :d, :n, :u, :g)", {id, "Fault " + IntToStr(id), noteId, user, id == 12});
    AddNote(noteId, id, status, when, author);
  }
  void AddNote(int noteId, int request, int status, TDateTime when, int author = 7) {
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, "
         "Id_UserStatus, UserNameQX, StatusType) VALUES (:n, :r, :s, :t, :c, :a, :q, 1)",
         {noteId, request, status, when, "Note " + IntToStr(noteId), author,
          author < 1 ? Variant("QX Desk") : Variant()});
  }
  // Ana (user 7, a window of 30 days): request 11 awaiting attention with two notes, 12 with a
  // reminder, 13 cancelled today, 15 closed yesterday; 14 completed 40 days ago and another
  // user's request 16 are not hers to see.
  void AddAnasRequests() {
    AddUser(7, "Ana", 30);
    AddUser(8, "Bob", 30);
    AddNote(101, 11, 1, kFirstNote);
    AddRequest(11, 7, 102, 2, kSecondNote, 0);
    AddRequest(12, 7, 103, 8, kSecondNote);
    AddRequest(13, 7, 104, 4, Now());
    AddRequest(14, 7, 105, 6, Now() - 40);
    AddRequest(15, 7, 106, 7, Now() - 1);
    AddRequest(16, 8, 107, 2, kSecondNote);
  }
  int Integer(const std::string& sql) { return Query(sql)->Fields(0).AsInteger(); }

  // What the screen shows of the current request: number, title, the buttons' states and
  // confirmations, the note date and comments.
  static std::string Shown(TfrmHome& home) {
    auto state = [](const TIWButton& button) {
      return std::string(button.Enabled() ? "on" : "off") + " '" + button.Confirmation() + "'";
    };
    return home.edtDial().Text() + " | " + home.lblRequestStatusTitle().Caption() + " | remind " +
           state(home.btnRecordar()) + " | cancel " + state(home.btnCancelar()) + " | " +
           home.edtStatusDial().Text() + (home.btnEnviaEmail().Visible() ? " | mail" : "");
  }
};

TEST_F(Home, TheListTheButtonsAndTheFollowUpFollowTheCurrentRequest) {
  AddAnasRequests();
  TfrmHome& home = SignIn(7);
  std::string page = Render(home);
  EXPECT_NE(page.find("<title>Online failures report [Ana]</title>"), std::string::npos);
  // The header greets her, dates the page and has its sign-out link at the right edge.
  EXPECT_NE(page.find(">Welcome Ana</span>"), std::string::npos);
  EXPECT_NE(page.find(">Last update: " + FormatDateTime("dd/mm/yyyy ", Now())), std::string::npos);
  EXPECT_NE(page.find(".LNKLOGOUTFRAENCABEZADO1CSS {position:absolute;left:702px;top:2px;"),
            std::string::npos);
  EXPECT_EQ(home.dbgRequest().Caption(),
            "Pending requests [All] and Requests Dealt with or Canceled [from " +
                FormatDateTime("dd/mm/yyyy", Now() - 30) + "]");
  EXPECT_NE(page.find("<CAPTION>" + home.dbgRequest().Caption() + "</CAPTION>"), std::string::npos);
  EXPECT_EQ(Shown(home),
            "Number 11 | Request follow-up 11 | remind on 'Are you sure you want to send a reminder "
            "for the request 11?' | cancel on 'Are you sure you want to cancel the request 11?' | "
            "09/12/2025 12:00 | mail");
  // The page: Remind asks before it posts; a status name of the service's language; the notes
  // name their authors, the maintenance product's by its own name, and link to them.
  EXPECT_NE(page.find("return SubmitClickConfirm('BTNRECORDAR','', true, 'Are you sure you want to "
                      "send a reminder for the request 11?');"),
            std::string::npos) << page;
  EXPECT_NE(page.find(">Status 2</font>"), std::string::npos);
  EXPECT_EQ(page.find("Awaiting"), std::string::npos);
  EXPECT_NE(page.find("'2_7', true, '');return false;\">Ana</a>"), std::string::npos);
  EXPECT_NE(page.find("'2_0', true, '');return false;\">QX Desk</a>"), std::string::npos);
  EXPECT_EQ(page.find("Fault 14"), std::string::npos);
  EXPECT_EQ(page.find("Fault 16"), std::string::npos);
  EXPECT_NE(page.find("Note 101</textarea>"), std::string::npos) << page;

  // First on the first request moves nothing: the notes stay on their second note.
  Click(home, "BTNREGRESAR");
  EXPECT_EQ(home.edtStatusDial().Text(), "10/12/2025 18:00");
  Click(home, "BTNPRIMERA");
  EXPECT_EQ(home.adodsRequestStatus().RecNo(), 2);
  EXPECT_EQ(home.edtStatusDial().Text(), "10/12/2025 18:00");

  // Each status offers its own buttons; the notes follow.
  Click(home, "BTNSIGUIENTE");
  EXPECT_EQ(Shown(home),
            "Number 12 | Request follow-up 12 | remind off 'Are you sure you want to send a reminder "
            "for the request 12?' | cancel on 'Are you sure you want to cancel the request 12?' | "
            "10/12/2025 18:00 | mail");
  Click(home, "BTNULTIMO");
  EXPECT_EQ(home.edtDial().Text(), "Number 15");
  EXPECT_FALSE(home.btnRecordar().Enabled());
  EXPECT_FALSE(home.btnCancelar().Enabled());
  Click(home, "BTNANTERIOR");
  EXPECT_EQ(home.edtDial().Text(), "Number 13");
  EXPECT_FALSE(home.btnRecordar().Enabled());
  EXPECT_FALSE(home.btnCancelar().Enabled());
  EXPECT_EQ(home.edtStatusDial().Text(), FormatDateTime("dd/mm/yyyy hh:nn", home.adodsRequestStatus()
                                                                             .FieldByName("Status_dt")
                                                                             .AsDateTime()));
  // The description link selects its request, the date link its note.
  Click(home, "DBGREQUEST", "2_11");
  EXPECT_EQ(home.edtDial().Text(), "Number 11");
  Click(home, "DBGREQUESTSTATUS", "0_102");
  page = Render(home);
  EXPECT_NE(page.find("Note 102</textarea>"), std::string::npos);
  EXPECT_EQ(home.adodsServicios().RecNo(), 1);  // the rendering walked without moving

  // The author link: the maintenance product's users have no profile; a link without a number
  // fails the post.
  Click(home, "DBGREQUESTSTATUS", "2_0");
  EXPECT_EQ(Alerts(home),
            "window.alert(\"The requested user is an QX user; it cannot be shown.\");\r\n");
  Click(home, "DBGREQUESTSTATUS", "2_7");
  EXPECT_EQ(Alerts(home), "");
  EXPECT_EQ(PostFailure(home, {"IW_Action=DBGREQUESTSTATUS", "IW_ActionParam=2_"}),
            "EConvertError: '' is not a valid integer value");

  // Update reads the user again: a window of 0 days keeps only what was closed today, and the
  // list starts again at its first request.
  Click(home, "BTNSIGUIENTE");
  Exec("UPDATE Users SET RequestGetDays = 0 WHERE Id_User = 7");
  Click(home, "BTNACTUALIZAR");
  EXPECT_EQ(home.dbgRequest().Caption(),
            "Pending requests [All] and Requests Dealt with or Canceled [from today]");
  EXPECT_EQ(home.adodsServicios().RecordCount(), 3);
  EXPECT_EQ(home.edtDial().Text(), "Number 11");
  Click(home, "BTNULTIMO");
  EXPECT_EQ(home.edtDial().Text(), "Number 13");
}

TEST_F(Home, AUserWithoutRequestsSeesEmptyLabelsAndNoButtons) {
  AddUser(9, "Bruno N\xFA\xF1" "ez", 0);
  TfrmHome& home = SignIn(9);
  EXPECT_EQ(Shown(home),
            "Without number | Request follow-up | remind on '' | cancel on '' | No follow-up | mail");
  const std::string page = Render(home);
  EXPECT_NE(page.find("<title>Online failures report [Bruno N\xFA\xF1" "ez]</title>"), std::string::npos);
  EXPECT_EQ(Shown(home),
            "Without Numbers | Request follow-up | remind off 'Are you sure you want to send a "
            "reminder for the request 0?' | cancel off 'Are you sure you want to cancel the request "
            "0?' | No note");
  EXPECT_EQ(home.dbgRequest().Caption(),
            "Pending requests [All] and Requests Dealt with or Canceled [from today]");
  EXPECT_NE(page.find("<input VALUE=\"Remind\" NAME=\"BTNRECORDAR\" TYPE=\"button\" DISABLED "),
            std::string::npos);
  // Navigation over nothing does nothing.
  for (const char* button : {"BTNPRIMERA", "BTNANTERIOR", "BTNSIGUIENTE", "BTNULTIMO",
                             "IWIMAGEBUTTON1", "BTNAVANZAR", "BTNREGRESAR", "IWIMAGEBUTTON6"})
    Click(home, button);
  EXPECT_EQ(home.edtDial().Text(), "Without Numbers");
  EXPECT_EQ(Alerts(home), "");
}

TEST_F(Home, RemindAndCancelWriteANoteAndRebuildAndARefusalChangesNothing) {
  AddAnasRequests();
  TfrmHome& home = SignIn(7);
  Render(home);
  const int notes = Integer(kNoteCount);

  Click(home, "BTNRECORDAR");
  EXPECT_EQ(Alerts(home), "");
  EXPECT_EQ(Integer("SELECT Id_Status FROM Request JOIN Request_Status USING (Id_Req_Status) "
                    "WHERE Request.Id_Request = 11"), 8);
  EXPECT_EQ(Integer("SELECT Id_UserStatus FROM Request_Status WHERE Id_Req_Status = 108"), 7);
  EXPECT_EQ(Shown(home),
            "Number 11 | Request follow-up 11 | remind off 'Are you sure you want to send a reminder "
            "for the request 11?' | cancel on 'Are you sure you want to cancel the request 11?' | "
            "09/12/2025 12:00 | mail");
  EXPECT_EQ(home.adodsRequestStatus().RecordCount(), 3);

  // The database refuses the cancellation's note: the repointing is undone, the alert names
  // the request, and the list stays where it was.
  Click(home, "BTNSIGUIENTE");
  Exec("CREATE TRIGGER Refuse BEFORE INSERT ON Request_Status BEGIN SELECT RAISE(ABORT, 'no'); END");
  Click(home, "BTNCANCELAR");
  EXPECT_EQ(Alerts(home), "window.alert(\"There was an error canceling request 12.\");\r\n");
  EXPECT_EQ(home.adodsServicios().RecNo(), 2);
  EXPECT_EQ(Integer("SELECT Id_Req_Status FROM Request WHERE Id_Request = 12"), 103);
  EXPECT_EQ(Integer(kNoteCount), notes + 1);

  // Stored, it moves the request into the day window; the list starts again at its first.
  Exec("DROP TRIGGER Refuse");
  Click(home, "BTNCANCELAR");
  EXPECT_EQ(Alerts(home), "");
  EXPECT_EQ(Integer("SELECT Id_Req_Status FROM Request WHERE Id_Request = 12"), 109);
  EXPECT_EQ(home.edtDial().Text(), "Number 11");
  EXPECT_EQ(home.adodsServicios().RecordCount(), 4);
  Click(home, "BTNSIGUIENTE");
  EXPECT_EQ(home.edtDial().Text(), "Number 12");
  EXPECT_FALSE(home.btnCancelar().Enabled());

  // A screen that changed the list asks for a rebuild at the next page.
  Click(home, "BTNSIGUIENTE");
  Session().RefreshHome = true;
  Render(home);
  EXPECT_FALSE(Session().RefreshHome);
  EXPECT_EQ(home.edtDial().Text(), "Number 11");
}

TEST_F(Home, AUserDeletedMeanwhileListsNothingAndNotesThatCannotBeReadShowError) {
  AddAnasRequests();
  TfrmHome& home = SignIn(7);
  Render(home);
  // The notes' statement fails from now on; the request list does not.
  Exec("ALTER TABLE Request_Status RENAME COLUMN UserNameQX TO AuthorQX");
  Click(home, "BTNSIGUIENTE");
  EXPECT_EQ(Alerts(home), "window.alert(\"Error\");\r\n");
  EXPECT_FALSE(home.adodsRequestStatus().Active());
  EXPECT_EQ(home.edtStatusDial().Text(), "No note");
  const std::string page = Render(home);
  EXPECT_EQ(page.find("Note 1"), std::string::npos);
  Exec("ALTER TABLE Request_Status RENAME COLUMN AuthorQX TO UserNameQX");

  // The desktop tools delete Ana: the next rebuild lists nothing and hides the mail button.
  auto other = OtherConnection(1000);
  Exec(*other, "DELETE FROM Users WHERE Id_User = 7");
  Click(home, "BTNACTUALIZAR");
  EXPECT_EQ(Alerts(home), "");
  EXPECT_FALSE(home.UserExists());
  EXPECT_EQ(Session().Id_User, 0);
  EXPECT_EQ(Shown(home),
            "Without Numbers | Request follow-up | remind off 'Are you sure you want to send a "
            "reminder for the request 0?' | cancel off 'Are you sure you want to cancel the request "
            "0?' | No note");
  EXPECT_NE(Render(home).find("<title>Online failures report []</title>"), std::string::npos);
}

}  // namespace
}  // namespace qx::test
