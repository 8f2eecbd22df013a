// The session data module over a real SQLite file: creation from the controller's database
// path, id allocation, the writes and ChangeRequestStatus's all-or-nothing transaction, a user
// deleted meanwhile, the mail readiness reasons in order, and request mail through a real SMTP
// server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include <cmath>

#include "data/DataErrors.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "mail/SmtpPeer.h"
#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "runtime/FormReader.h"
#include "screens/usSesion.h"
#include "server/Controller.h"
#include "support/LoopbackPort.h"

void RegisterResources_screens();

namespace qx::test {
namespace {

constexpr char kNoteCount[] = "SELECT Count(*) AS N FROM Request_Status";

class SessionData : public ::testing::Test, public TestDatabase {
 protected:
  SessionData() {
    InitializeDataUnit();
    RegisterResources_screens();
    controller_.SetDatabasePath(path_);
  }

  Owned<TusSesion> NewSession() { return CreateComponent<TusSesion>(); }

  // One user row (language "ES").
  void AddUser(int id, const std::string& name, const std::string& email, bool sendEmail,
               int days = 30) {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName, Email, SendEmail, RequestGetDays, "
         "PhoneCode, Movil) VALUES (:i, 'ES', :n, :e, :s, :d, '+34', '600100200')",
         {id, name, email, sendEmail, days});
  }
  // A request with its first note, as the report screen stores it.
  void AddRequest(int id, int noteId) {
    Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) "
         "VALUES (:r, 'Leaking tap', :n, 7)", {id, noteId});
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, StatusType) "
         "VALUES (:n, :r, 1, 1)", {noteId, id});
  }
  int Integer(const std::string& sql) { return Query(sql)->Fields(0).AsInteger(); }
  int CurrentNote(int request) {
    return Integer("SELECT Id_Req_Status FROM Request WHERE Id_Request = " +
                   std::to_string(request));
  }
  void AddSmtpRow(int port, int autType, const std::string& pwd) {
    Exec("INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, SSL_Method, "
         "SSL_VerDepht, AutType, SSL_VerMode2) VALUES (1, '127.0.0.1', :u, :p, :port, 0, 3, 2, "
         ":a, 1)", {SmtpPeer::kUser, pwd, port, autType});
  }

  // The current controller while the test runs; the sessions read its DatabasePath.
  TServerController controller_{dir_ / "RequestQX9.so"};
};

TEST_F(SessionData, CreationOpensTheControllersDatabaseAndAMissingFileFailsIt) {
  Owned<TusSesion> session = NewSession();
  EXPECT_EQ(session->Name(), "usSesion");
  EXPECT_TRUE(session->adocnWebServices().Connected());
  EXPECT_EQ(session->adocnWebServices().ConnectionString(),
            "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path_ + ";");
  EXPECT_EQ(session->dsTmp().Connection(), &session->adocnWebServices());
  EXPECT_EQ(session->ADOcmdUpdate().Connection(), &session->adocnWebServices());
  EXPECT_EQ(session->Id_User, 0);
  EXPECT_FALSE(session->RefreshHome);

  controller_.SetDatabasePath(dir_ / "elsewhere/Requests.mdb");
  try {
    NewSession();
    FAIL() << "a missing database made a session";
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find("elsewhere/Requests.mdb"), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(FileExists(dir_ / "elsewhere/Requests.mdb"));  // never created
}

TEST_F(SessionData, IdsAreTheLargestKeyPlusOneAndDatabaseErrorsPass) {
  Owned<TusSesion> session = NewSession();
  EXPECT_EQ(session->NextRequestId(), 1);
  EXPECT_EQ(session->NextRequestStatusId(), 1);
  EXPECT_EQ(session->NextHistEmailId(), 1);
  AddRequest(41, 9);
  Exec("INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES (-4, 7, 'a@b.cd')");
  EXPECT_EQ(session->NextRequestId(), 42);
  EXPECT_EQ(session->NextRequestStatusId(), 10);
  EXPECT_EQ(session->NextHistEmailId(), 1);  // a largest key not above 0
  EXPECT_FALSE(session->dsTmp().Active());

  Exec("INSERT INTO Request (Id_Request) VALUES (2147483647)");
  EXPECT_THROW(session->NextRequestId(), EDatabaseError);  // no key is left, nothing wraps
  Exec("ALTER TABLE HistEmail RENAME TO HistEmailOld");
  EXPECT_THROW(session->NextHistEmailId(), EADOError);
  EXPECT_FALSE(session->dsTmp().Active());
}

// Sessions share the database file's connections: a session that wrote holds none afterwards,
// so a thousand signed-in sessions cost no open files (each connection holds two).
TEST_F(SessionData, SessionsThatWroteHoldNoConnectionOfTheirOwn) {
  auto filesOnTheDatabase = [&] {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      if (std::filesystem::read_symlink(entry.path(), ec).string().starts_with(path_)) ++count;
    }
    return count;
  };
  std::vector<Owned<TusSesion>> sessions;
  for (int i = 1; i <= 40; ++i) {
    sessions.push_back(NewSession());
    ASSERT_TRUE(sessions.back()->ExecCommand(
        "INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES (:i, 7, 'a@b.cd')", {i}));
  }
  EXPECT_EQ(Integer("SELECT Count(*) FROM HistEmail"), 40);
  EXPECT_LE(filesOnTheDatabase(), 8);
}

TEST_F(SessionData, ChangeRequestStatusCommitsBothWritesOrNeither) {
  AddUser(7, "Ana", "ana@mail.es", true);
  AddRequest(5, 1);
  Owned<TusSesion> session = NewSession();
  ASSERT_TRUE(session->ReloadUser(7));

  const TDateTime before = Now();
  ASSERT_TRUE(session->ChangeRequestStatus(5, kStatusReminder, "Please hurry"));
  EXPECT_EQ(CurrentNote(5), 2);
  auto note = Query("SELECT * FROM Request_Status WHERE Id_Req_Status = 2");
  ASSERT_FALSE(note->IsEmpty());
  EXPECT_EQ(note->FieldByName("Id_Request").AsInteger(), 5);
  EXPECT_EQ(note->FieldByName("Id_Status").AsInteger(), 8);
  EXPECT_EQ(note->FieldByName("Comments").AsString(), "Please hurry");
  EXPECT_EQ(note->FieldByName("Id_UserStatus").AsInteger(), 7);
  EXPECT_EQ(note->FieldByName("StatusType").AsInteger(), kStatusTypeStatus);
  EXPECT_GE(note->FieldByName("Status_dt").AsFloat(), std::floor(before * 86400) / 86400);
  EXPECT_LE(note->FieldByName("Status_dt").AsFloat(), Now());
  note->Close();

  // The note is refused after the request was repointed: the repointing goes too.
  Exec("CREATE TRIGGER RefuseCancel BEFORE INSERT ON Request_Status WHEN NEW.Id_Status = 4 "
       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  EXPECT_FALSE(session->ChangeRequestStatus(5, kStatusCancelled, "Cancel it"));
  // The repointing is refused: no note is left either.
  Exec("CREATE TRIGGER RefuseRepoint BEFORE UPDATE ON Request WHEN NEW.Id_Req_Status = 3 "
       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  EXPECT_FALSE(session->ChangeRequestStatus(5, kStatusReminder, "Again"));
  // A request that is gone, and a status the column cannot hold, change nothing either.
  EXPECT_FALSE(session->ChangeRequestStatus(99, kStatusReminder, "Lost"));
  Exec("DROP TRIGGER RefuseRepoint");
  EXPECT_FALSE(session->ChangeRequestStatus(5, 256, "Too big"));
  EXPECT_EQ(CurrentNote(5), 2);
  EXPECT_EQ(Integer(kNoteCount), 2);
  EXPECT_FALSE(session->adocnWebServices().InTransaction());

  // The connection is usable again afterwards.
  EXPECT_TRUE(session->ChangeRequestStatus(5, kStatusReminder, "Third"));
  EXPECT_EQ(CurrentNote(5), 3);
}

TEST_F(SessionData, SessionsWritingAtOnceNeverTakeTheSameKey) {
  // Six people remind their own requests and record addresses at the same moments: every
  // write succeeds, each with a key of its own.
  constexpr int kPeople = 6, kTimes = 15;
  for (int person = 1; person <= kPeople; ++person) {
    AddUser(person, "Person " + std::to_string(person), "p@mail.es", true);
    AddRequest(person, person);
  }
  std::vector<Owned<TusSesion>> sessions;
  for (int person = 1; person <= kPeople; ++person) {
    sessions.push_back(NewSession());
    ASSERT_TRUE(sessions.back()->ReloadUser(person));
  }
  std::atomic<int> failures = 0;
  std::vector<std::thread> people;
  for (int person = 1; person <= kPeople; ++person)
    people.emplace_back([&, person] {
      TusSesion& session = *sessions[static_cast<std::size_t>(person - 1)];
      for (int i = 0; i < kTimes; ++i) {
        if (!session.ChangeRequestStatus(person, kStatusReminder, "Again")) ++failures;
        if (!session.RecordHistEmail(person, "desk" + std::to_string(i) + "@mail.es")) ++failures;
      }
    });
  for (std::thread& t : people) t.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Integer(kNoteCount), kPeople * (kTimes + 1));
  EXPECT_EQ(Integer("SELECT Count(*) FROM HistEmail"), kPeople * kTimes);
  for (int person = 1; person <= kPeople; ++person)
    EXPECT_EQ(Integer("SELECT Count(*) FROM Request_Status WHERE Id_Request = " +
                      std::to_string(person) + " AND Id_Req_Status = (SELECT Id_Req_Status "
                      "FROM Request WHERE Id_Request = " + std::to_string(person) + ")"), 1);
}

TEST_F(SessionData, WritesStoreTheirValuesAndRefusedOnesReturnFalse) {
  AddUser(7, "Ana", "ana@mail.es", true);
  Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (7, 'EN', 'Ana')");
  Owned<TusSesion> session = NewSession();
  ASSERT_TRUE(session->ReloadUser(7));

  ASSERT_TRUE(session->InsertRequest(12, 40, 7, "Broken window", true, false));
  auto request = Query("SELECT * FROM Request");
  EXPECT_EQ(request->FieldByName("Description").AsString(), "Broken window");
  EXPECT_EQ(request->FieldByName("Id_Req_Status").AsInteger(), 40);
  EXPECT_TRUE(request->FieldByName("Urgent").AsBoolean());
  EXPECT_FALSE(request->FieldByName("RepairNotice").AsBoolean());
  request->Close();
  EXPECT_FALSE(session->InsertRequest(12, 41, 7, "Same number", false, false));  // duplicate key

  // The note of a sent mail; only kind 2 writes one.
  ASSERT_TRUE(session->RecordEmailNote(12, 41, 2, "bob@mail.es, eva@mail.es", "Broken window"));
  auto note = Query("SELECT * FROM Request_Status WHERE Id_Req_Status = 41");
  EXPECT_EQ(note->FieldByName("Comments").AsString(),
            "To: bob@mail.es, eva@mail.es\r\nSubject: Broken window");
  EXPECT_EQ(note->FieldByName("Id_Status").AsInteger(), kStatusSentByEmail);
  EXPECT_EQ(note->FieldByName("StatusType").AsInteger(), kStatusTypeEmail);
  note->Close();
  EXPECT_FALSE(session->RecordEmailNote(12, 42, 1, "bob@mail.es", "Broken window"));
  EXPECT_EQ(Integer(kNoteCount), 1);
  EXPECT_EQ(CurrentNote(12), 40);  // the mail note never becomes the current one

  // The address history: stored as typed once, found again whatever the quote.
  EXPECT_TRUE(session->RecordHistEmail(7, "o'neil@mail.ie"));
  EXPECT_TRUE(session->RecordHistEmail(7, "o'neil@mail.ie"));
  EXPECT_TRUE(session->RecordHistEmail(7, "bob@mail.es"));
  auto history = Query("SELECT Id_HistEmail, Email FROM HistEmail ORDER BY Id_HistEmail");
  ASSERT_EQ(history->RecordCount(), 2);
  EXPECT_EQ(history->FieldByName("Email").AsString(), "o'neil@mail.ie");
  history->Last();
  EXPECT_EQ(history->FieldByName("Id_HistEmail").AsInteger(), 2);
  history->Close();
  TADODataSet screenList;
  screenList.SetConnection(&session->adocnWebServices());
  EXPECT_TRUE(session->OpenHistEmail(screenList, SqlHistEmailCondition(7)));
  EXPECT_EQ(screenList.RecordCount(), 2);
  EXPECT_FALSE(session->OpenHistEmail(screenList, SqlHistEmailCondition(8)));

  // The day window of every language row; a window out of range changes nothing.
  EXPECT_TRUE(session->UpdateRequestGetDays(7, 90));
  EXPECT_EQ(Integer("SELECT Sum(RequestGetDays) AS S FROM Users"), 180);
  EXPECT_FALSE(session->UpdateRequestGetDays(7, 181));
  EXPECT_TRUE(session->LoadRequestGetDays());
  EXPECT_EQ(session->RequestGetDays, 90);
  EXPECT_TRUE(session->ExecCommand(kSqlUpdateRequestGetDays, {0, 7}));
  EXPECT_FALSE(session->ExecCommand(kSqlUpdateRequestGetDays, {0}));  // a value is missing
  EXPECT_FALSE(session->ExecCommand("UPDATE Nowhere SET A = 1", {}));
}

TEST_F(SessionData, AUserDeletedMeanwhileIsSignedOutOfTheData) {
  AddUser(7, "Ana", "ana@mail.es", true, 45);
  Owned<TusSesion> session = NewSession();
  ASSERT_TRUE(session->ReloadUser(7));
  EXPECT_EQ(session->Id_User, 7);
  EXPECT_EQ(session->UserName, "Ana");
  EXPECT_EQ(session->RequestGetDays, 45);
  EXPECT_EQ(session->Email, "ana@mail.es");
  EXPECT_TRUE(session->SendEmail);
  EXPECT_EQ(session->PhoneCode, "+34");
  EXPECT_EQ(session->Movil, "600100200");

  Exec("DELETE FROM Users");
  EXPECT_FALSE(session->ReloadUser(7));
  EXPECT_EQ(session->Id_User, 0);
  EXPECT_EQ(session->UserName, "");
  EXPECT_EQ(session->RequestGetDays, 0);
  EXPECT_EQ(session->Email, "");
  EXPECT_FALSE(session->SendEmail);
  EXPECT_EQ(session->Movil, "");
  EXPECT_FALSE(session->dsTmp().Active());
  std::string reason = "stale";
  EXPECT_FALSE(session->CheckMailReady(false, true, reason));
  EXPECT_EQ(reason,
            "You cannot report a request.\r\n"
            "The user with which you entered no longer exists in the database...");
  EXPECT_FALSE(session->LoadRequestGetDays());
  EXPECT_EQ(session->RequestGetDays, 0);
}

TEST_F(SessionData, MailReadinessGivesTheFirstReasonThatApplies) {
  const std::string off = "The sending by E-mail is not enabled.";
  AddUser(7, "Ana", "", false);
  Owned<TusSesion> session = NewSession();
  ASSERT_TRUE(session->ReloadUser(7));
  std::string reason;
  EXPECT_FALSE(session->CheckMailReady(true, true, reason));
  EXPECT_EQ(reason, off + "\r\nYou do not have permission to send the request by E-mail.");
  // Without the permission check the missing address decides.
  EXPECT_FALSE(session->CheckMailReady(true, false, reason));
  EXPECT_EQ(reason, off + kMsgNoEmailRegistered);
  session->Email = "ab@cde";
  EXPECT_FALSE(session->CheckMailReady(true, false, reason));
  EXPECT_EQ(reason, off + kMsgEmailWronglyTyped);

  // Row 1 read once, then gone: the settings are back to their defaults.
  session->Email = "a@bc.d";
  AddSmtpRow(2525, -1, "secret");
  ASSERT_TRUE(session->LoadSmtpSettings(1));
  EXPECT_EQ(session->SmtpSettings().Puerto, 2525);
  Exec("DELETE FROM qxsmtp");
  EXPECT_FALSE(session->CheckMailReady(true, false, reason));
  EXPECT_EQ(reason, off + kMsgSmtpNotSetUp);
  const TSmtpSettings& s = session->SmtpSettings();
  EXPECT_EQ(s.Servidor, "");
  EXPECT_EQ(s.Puerto, 0);
  EXPECT_EQ(s.SSL_Method, -1);
  EXPECT_EQ(s.AutType, 1);
  EXPECT_FALSE(s.SSL_VerMode2);

  AddSmtpRow(2525, -1, "secret");
  EXPECT_TRUE(session->CheckMailReady(true, false, reason));
  EXPECT_EQ(reason, "");
  EXPECT_EQ(s.Servidor, "127.0.0.1");
  EXPECT_EQ(s.Usuario, SmtpPeer::kUser);
  EXPECT_EQ(s.SSL_Method, 3);
  EXPECT_EQ(s.SSL_VerDepht, 2);
  EXPECT_EQ(s.AutType, -1);
  EXPECT_TRUE(s.SSL_VerMode2);
  EXPECT_FALSE(session->dsTmp().Active());
}

TEST_F(SessionData, RequestMailGoesThroughTheStoredServerAndAFailedSendIsFalse) {
  if (!SmtpPeer::Available()) GTEST_SKIP() << "aiosmtpd is not installed (scripts/setup.sh)";
  SmtpPeer peer(SmtpPeer::Plain, {}, dir_.path());
  Owned<TusSesion> session = NewSession();
  // AutType -1 with a password: the default login.
  AddSmtpRow(peer.Port(), -1, SmtpPeer::kPassword);
  ASSERT_TRUE(session->LoadSmtpSettings(1));

  const TStringList comments{"Second floor, room 12.", "Water on the floor."};
  EXPECT_TRUE(session->SendRequestMail(12, "ana@mail.es", true, comments,
                                       "bob@mail.es, eva@mail.es", "Leaking tap", "ana@mail.es"));
  EXPECT_TRUE(session->SendRequestMail(13, "ana@mail.es", false, {}, "bob@mail.es", "Door",
                                       "ana@mail.es"));
  const std::vector<StoredMail> mails = peer.Mails();
  ASSERT_EQ(mails.size(), 2u) << peer.Log();
  const StoredMail& urgent = mails[0];
  EXPECT_EQ(urgent.From, "ana@mail.es");
  EXPECT_EQ(urgent.Recipients, (std::vector<std::string>{"bob@mail.es", "eva@mail.es"}));
  EXPECT_EQ(urgent.Header("Subject"), "QX Request 12: Leaking tap");
  EXPECT_EQ(urgent.Header("Reply-To"), "ana@mail.es");
  EXPECT_EQ(urgent.Header("X-Priority"), "1");
  EXPECT_EQ(urgent.Header("Disposition-Notification-To"), "");
  EXPECT_EQ(urgent.BodyLines,
            (std::vector<std::string>{"Description: Leaking tap", "", "Commentaries: ",
                                      "Second floor, room 12.", "Water on the floor.", ""}));
  EXPECT_EQ(mails[1].Header("Subject"), "QX Request 13: Door");
  EXPECT_EQ(mails[1].Header("X-Priority"), "");

  // Refused logins and servers that are not there: false, nothing stored, nothing raised.
  Exec("UPDATE qxsmtp SET Pwd = ''");  // AutType -1 without a password: no login
  ASSERT_TRUE(session->LoadSmtpSettings(1));
  EXPECT_FALSE(session->SendRequestMail(14, "ana@mail.es", false, {}, "bob@mail.es", "Door",
                                        "ana@mail.es"));
  Exec("UPDATE qxsmtp SET Puerto = :p, Pwd = 'secret'", {UnusedLoopbackPort()});
  ASSERT_TRUE(session->LoadSmtpSettings(1));
  EXPECT_FALSE(session->SendRequestMail(15, "ana@mail.es", false, {}, "bob@mail.es", "Door",
                                        "ana@mail.es"));
  EXPECT_FALSE(session->SendRequestMail(16, "ana@mail.es", false, {}, "not an address",
                                        "Door", "ana@mail.es"));
  EXPECT_EQ(peer.Mails().size(), 2u);
  EXPECT_EQ(Integer(kNoteCount), 0);
}

}  // namespace
}  // namespace qx::test
