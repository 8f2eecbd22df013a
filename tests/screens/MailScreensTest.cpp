// The report screen and the send-by-e-mail screen, opened from the home screen over a real
// SQLite file and mailing through a real SMTP server on 127.0.0.1 (plain, STARTTLS and
// implicit TLS with AUTH LOGIN): what each stores, sends and records, the refusals that store
// nothing, a server that is down, and users who may not send mail.
#include <gtest/gtest.h>

#include "controls/ControlsFixture.h"
#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "mail/EnvOverride.h"
#include "mail/SmtpPeer.h"
#include "screens/EnviaEmail.h"
#include "screens/Home.h"
#include "screens/ScreensUnit.h"
#include "screens/Servicio.h"
#include "screens/usSesion.h"
#include "server/Controller.h"
#include "support/LoopbackPort.h"

namespace qx::test {
namespace {

using Lines = std::vector<std::string>;

class MailScreens : public Controls, public TestDatabase {
 protected:
  static void SetUpTestSuite() {
    if (!SmtpPeer::Available()) return;
    certificates_ = new TempDir;
    certificate_ = MakeCertificate(certificates_->path(), "peer");
  }
  static void TearDownTestSuite() {
    delete certificates_;
    certificates_ = nullptr;
  }

  MailScreens() {
    InitializeDataUnit();
    InitializeScreensUnit();
    UseWesternLocale(env_);
    auto controller = std::make_unique<TServerController>(TestDatabase::dir_ / "RequestQX9.so");
    controller->SetDatabasePath(path_);
    UseController(std::move(controller));
    Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'ES', 'New'), "
         "(2, 'ES', 'Awaiting'), (13, 'ES', 'Sent by e-mail')");
    // Ana may send mail; Bruno may not; both have an address. Ana has written to Bob before.
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName, Email, SendEmail) VALUES "
         "(7, 'ES', 'Ana', 'ana@mail.es', 1), (8, 'ES', 'Bruno', 'bruno@mail.es', 0)");
    Exec("INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES (1, 7, 'bob@mail.es'), "
         "(2, 8, 'eva@mail.es')");
    // Ana's request 41, awaiting attention.
    Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) "
         "VALUES (41, 'Broken window', 401, 7)");
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Comments, "
         "Id_UserStatus, StatusType) VALUES (401, 41, 2, 'Glass on the floor', 7, 1)");
  }

  // The qxsmtp row for a server on `port` with TLS `tlsType`, signing in as the peer wants.
  void UseSmtpServer(int port, int tlsType) {
    Exec("DELETE FROM qxsmtp");
    Exec("INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, AutType) "
         "VALUES (1, '127.0.0.1', :u, :p, :port, :t, 1)",
         {SmtpPeer::kUser, SmtpPeer::kPassword, port, tlsType});
  }
  std::unique_ptr<SmtpPeer> StartPeer(SmtpPeer::Mode mode, int tlsType) {
    auto peer = std::make_unique<SmtpPeer>(mode, certificate_, mails_.path());
    UseSmtpServer(peer->Port(), tlsType);
    return peer;
  }

  // The home screen of a session signed in as `user`, as the login leaves it.
  TfrmHome& SignIn(int user) {
    StartSession();
    App().SetData(CreateComponent<TusSesion>());
    EXPECT_TRUE(TusSesion::Current()->ReloadUser(user));
    auto& home = CreateComponent<TfrmHome>(App());
    home.Show();
    App().PreparePage();
    Render(home);
    return home;
  }
  // One post of the active form: the click of `element` with the posted `fields`.
  void Click(const std::string& element, std::initializer_list<std::string> fields = {}) {
    TStringList posted(fields);
    posted.Add("IW_Action=" + element);
    App().Execute(posted);
  }
  // The screen a click of `element` on the home screen opened.
  template <class Screen>
  Screen& Open(const std::string& element) {
    Click(element);
    auto* screen = dynamic_cast<Screen*>(App().ActiveForm());
    EXPECT_NE(screen, nullptr) << "nothing opened by " << element;
    return *screen;
  }
  // The alerts queued on `form` for its next page, then forgotten.
  static std::string Alerts(TIWForm& form) {
    std::string alerts = form.ExtraInitScript();
    form.ClearExtraInitScript();
    return alerts;
  }
  static Lines Items(const TIWListbox& list) { return list.Items().Lines().Lines(); }
  int Integer(const std::string& sql) { return Query(sql)->Fields(0).AsInteger(); }
  std::string Text(const std::string& sql) { return Query(sql)->Fields(0).AsString(); }
  // Every note as "request status type: comments", in note order.
  Lines Notes() {
    Lines notes;
    auto rows = Query("SELECT Id_Request || ' ' || Id_Status || ' ' || StatusType || ': ' || "
                      "coalesce(Comments, '') FROM Request_Status ORDER BY Id_Req_Status");
    for (rows->First(); !rows->Eof(); rows->Next()) notes.push_back(rows->Fields(0).AsString());
    return notes;
  }
  Lines History() {
    Lines history;
    auto rows = Query("SELECT Id_User || ' ' || Email FROM HistEmail ORDER BY Id_HistEmail");
    for (rows->First(); !rows->Eof(); rows->Next()) history.push_back(rows->Fields(0).AsString());
    return history;
  }

  static inline TempDir* certificates_ = nullptr;
  static inline TestCertificate certificate_;
  EnvOverride env_;
  TempDir mails_;
};

class MailScreensModes : public MailScreens, public ::testing::WithParamInterface<SmtpModeCase> {};

TEST_P(MailScreensModes, AReportAndASendingAreStoredMailedAndRecorded) {
  if (!SmtpPeer::Available()) GTEST_SKIP() << "aiosmtpd is not installed (scripts/setup.sh)";
  auto peer = StartPeer(GetParam().peer, GetParam().tlsType);
  TfrmHome& home = SignIn(7);

  // The report: urgent, with the repair notice, two lines of comments, one typed recipient and
  // one from the history.
  auto& report = Open<TfrmServicio>("BTNREPORTAR");
  EXPECT_EQ(report.lblErrorEmail().Caption(), "");
  EXPECT_TRUE(report.cbRepairNotice().Visible());
  EXPECT_EQ(Items(report.edtAddEMail2()), (Lines{"bob@mail.es"}));
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1= eva@mail.es "});
  Click("BTNADDEMAIL2", {"EDTADDEMAIL2=0"});
  EXPECT_EQ(Items(report.edtEmail()), (Lines{"eva@mail.es", "bob@mail.es"}));
  Click("BTNACEPTAR", {"EDTDESCRIP=Leaking tap (room 12)", "CBURGENT_CHECKBOX=on",
                       "CBREPAIRNOTICE_CHECKBOX=on", "MMCOMMENTS=Water on the floor.\nHurry."});
  ASSERT_EQ(App().ActiveForm(), &home) << Alerts(report);
  EXPECT_EQ(Alerts(home), "");

  EXPECT_EQ(Text("SELECT Id_Request || ' ' || Description || ' ' || Id_Req_Status || ' ' || "
                 "Id_User || ' ' || Urgent || ' ' || RepairNotice FROM Request "
                 "WHERE Id_Request = 42"),
            "42 Leaking tap (room 12) 402 7 1 1");
  EXPECT_EQ(Notes(),
            (Lines{"41 2 1: Glass on the floor", "42 1 1: Water on the floor.\r\nHurry.\r\n",
                   "42 13 2: To: eva@mail.es,bob@mail.es\r\nSubject: Leaking tap (room 12)"}));
  EXPECT_EQ(History(), (Lines{"7 bob@mail.es", "8 eva@mail.es", "7 eva@mail.es"}));
  std::vector<StoredMail> mails = peer->Mails();
  ASSERT_EQ(mails.size(), 1u) << peer->Log();
  EXPECT_EQ(mails[0].From, "ana@mail.es");
  EXPECT_EQ(mails[0].Recipients, (Lines{"eva@mail.es", "bob@mail.es"}));
  EXPECT_EQ(mails[0].Header("Subject"), "QX Request 42: Leaking tap (room 12)");
  EXPECT_EQ(mails[0].Header("Reply-To"), "ana@mail.es");
  EXPECT_EQ(mails[0].Header("X-Priority"), "1");
  EXPECT_EQ(mails[0].BodyLines, (Lines{"Description: Leaking tap (room 12)", "", "Commentaries: ",
                                       "Water on the floor.", "Hurry.", ""}));
  // The home screen lists the new request at its next page.
  EXPECT_NE(Render(home).find(">Leaking tap (room 12)</a>"), std::string::npos);

  // Request 41 sent on with an edited subject to a known address in other letter case and a
  // new one: normal priority, the edited subject in the mail and the note only.
  auto& send = Open<TfrmEnviaEmail>("BTNENVIAEMAIL");
  EXPECT_EQ(send.lblNumSol().Caption(), "41");
  EXPECT_EQ(send.edtDescrip().Text(), "Broken window");
  EXPECT_EQ(send.mmComments().Text(), "Glass on the floor");
  EXPECT_EQ(Items(send.edtAddEMail2()), (Lines{"bob@mail.es", "eva@mail.es"}));
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=BOB@mail.es"});
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=zoe@mail.es"});
  Click("BTNACEPTAR", {"EDTDESCRIP=Window still broken", "MMCOMMENTS=Cold in here."});
  ASSERT_EQ(App().ActiveForm(), &home) << Alerts(send);
  EXPECT_EQ(Alerts(home), "");
  mails = peer->Mails();
  ASSERT_EQ(mails.size(), 2u) << peer->Log();
  EXPECT_EQ(mails[1].Recipients, (Lines{"BOB@mail.es", "zoe@mail.es"}));
  EXPECT_EQ(mails[1].Header("Subject"), "QX Request 41: Window still broken");
  EXPECT_EQ(mails[1].Header("X-Priority"), "");
  EXPECT_EQ(mails[1].BodyLines, (Lines{"Description: Window still broken", "", "Commentaries: ",
                                       "Cold in here.", ""}));
  EXPECT_EQ(Notes().back(), "41 13 2: To: BOB@mail.es,zoe@mail.es\r\nSubject: Window still broken");
  EXPECT_EQ(Text("SELECT Description || ' ' || Id_Req_Status FROM Request WHERE Id_Request = 41"),
            "Broken window 401");
  EXPECT_EQ(History(), (Lines{"7 bob@mail.es", "8 eva@mail.es", "7 eva@mail.es", "7 zoe@mail.es"}));
  EXPECT_TRUE(TusSesion::Current()->RefreshHome);
}

INSTANTIATE_TEST_SUITE_P(
    TLSModes, MailScreensModes,
    ::testing::Values(SmtpModeCase{"WithoutTLS", SmtpPeer::Plain, 0},
                      SmtpModeCase{"StartTLS", SmtpPeer::StartTLS, 2},
                      SmtpModeCase{"ImplicitTLS", SmtpPeer::ImplicitTLS, 1}),
    [](const ::testing::TestParamInfo<SmtpModeCase>& info) { return info.param.name; });

TEST_F(MailScreens, RefusedInputStoresNothingAndAServerThatIsDownLosesOnlyTheMail) {
  UseSmtpServer(UnusedLoopbackPort(), 0);
  TfrmHome& home = SignIn(7);
  auto& report = Open<TfrmServicio>("BTNREPORTAR");
  Click("BTNCONTAR", {"EDTDESCRIP=" + std::string(255, 'a')});
  EXPECT_EQ(report.lblNumCarac().Caption(), "255 characters (with spaces)");

  // Descriptions the check refuses: the alert with its prefix, the screen as typed.
  Click("BTNACEPTAR", {"EDTDESCRIP=", "MMCOMMENTS=Kept"});
  EXPECT_EQ(Alerts(report),
            "window.alert(\"There was an error generating the request: \\nYou must type the "
            "description of the request you want to report.\");\r\n");
  Click("BTNACEPTAR", {"EDTDESCRIP=50% broken"});
  EXPECT_EQ(Alerts(report), "window.alert(\"There was an error generating the request: \\n"
                            "The request description accepts only letters, numbers and the "
                            "characters ( ) / . , ; : -\");\r\n");
  EXPECT_EQ(App().ActiveForm(), &report);
  EXPECT_EQ(report.edtDescrip().Text(), "50% broken");
  EXPECT_EQ(report.mmComments().Text(), "Kept");
  EXPECT_TRUE(report.btnAceptar().Enabled());
  EXPECT_TRUE(report.btnCancelar().Enabled());

  // Addresses: a wrongly typed one is refused and kept; one listed in any letter case, typed
  // or from the history, is selected instead of added; Delete removes the selected one.
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=eva@mail"});
  EXPECT_EQ(Alerts(report),
            "window.alert(\"The E-mail is typed incorrectly. Please, correct it.\");\r\n");
  EXPECT_EQ(report.edtAddEmail1().Text(), "eva@mail");
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=Bob@Mail.es"});
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=eva@mail.es"});
  Click("BTNADDEMAIL2", {"EDTADDEMAIL2=0"});
  EXPECT_EQ(Items(report.edtEmail()), (Lines{"Bob@Mail.es", "eva@mail.es"}));
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=EVA@MAIL.ES"});
  EXPECT_EQ(report.edtEmail().ItemIndex(), 1);
  EXPECT_EQ(report.edtAddEmail1().Text(), "");
  Click("BTNDELEMAIL", {"EDTEMAIL=0"});
  EXPECT_EQ(Items(report.edtEmail()), (Lines{"eva@mail.es"}));
  EXPECT_EQ(Integer("SELECT Count(*) FROM Request"), 1);

  // The database refuses the first note: the request written before it goes too, silently,
  // and the screen stays.
  Exec("CREATE TRIGGER Refuse BEFORE INSERT ON Request_Status BEGIN SELECT RAISE(ABORT, 'no'); END");
  Click("BTNACEPTAR", {"EDTDESCRIP=Door stuck", "MMCOMMENTS="});
  EXPECT_EQ(App().ActiveForm(), &report);
  EXPECT_EQ(Alerts(report), "");
  EXPECT_EQ(Integer("SELECT Count(*) FROM Request"), 1);
  EXPECT_FALSE(TusSesion::Current()->adocnWebServices().InTransaction());
  Exec("DROP TRIGGER Refuse");

  // The server is down: the request and its first note are stored, no mail note, the screen
  // leaves without a word.
  Click("BTNACEPTAR", {"EDTDESCRIP=Door stuck", "MMCOMMENTS="});
  ASSERT_EQ(App().ActiveForm(), &home);
  EXPECT_EQ(Alerts(home), "");
  EXPECT_EQ(Text("SELECT Description FROM Request WHERE Id_Request = 42"), "Door stuck");
  EXPECT_EQ(Notes(), (Lines{"41 2 1: Glass on the floor", "42 1 1: "}));
  EXPECT_EQ(History(), (Lines{"7 bob@mail.es", "8 eva@mail.es"}));
  EXPECT_TRUE(TusSesion::Current()->RefreshHome);
}

TEST_F(MailScreens, UsersWhoMayNotSendMailSeeWhyAndTheRepairNoticeStillShows) {
  UseSmtpServer(2525, 0);
  // The address comes from the database: the check-box caption, which may hold markup, shows
  // it escaped.
  Exec("UPDATE Users SET Email = '<b>bruno@mail.es' WHERE Id_User = 8");
  SignIn(8);
  auto& report = Open<TfrmServicio>("BTNREPORTAR");
  EXPECT_EQ(report.lblErrorEmail().Caption(),
            "The sending by E-mail is not enabled.\r\n"
            "You do not have permission to send the request by E-mail.");
  for (TControl* control : std::initializer_list<TControl*>{
           &report.edtAddEmail1(), &report.btnAddEMail1(), &report.edtAddEMail2(),
           &report.btnAddEMail2(), &report.edtEmail(), &report.btnDelEMail()})
    EXPECT_FALSE(control->Enabled()) << control->Name();
  EXPECT_TRUE(report.btnAceptar().Enabled());
  EXPECT_TRUE(report.cbRepairNotice().Visible());
  EXPECT_EQ(report.cbRepairNotice().Caption(),
            "Send me a message to my E-mail &lt;b&gt;bruno@mail.es when the request has been "
            "performed.");
  EXPECT_EQ(Items(report.edtAddEMail2()), (Lines{"eva@mail.es"}));
  EXPECT_EQ(report.edtAddEMail2().ItemIndex(), 0);
  // Its report is stored all the same, without a mail.
  Click("BTNACEPTAR", {"EDTDESCRIP=Chair broken", "CBREPAIRNOTICE_CHECKBOX=on"});
  EXPECT_EQ(Text("SELECT Id_User || ' ' || RepairNotice FROM Request WHERE Id_Request = 42"),
            "8 1");

  // Deleted by the desktop tools meanwhile: nothing can be reported.
  Exec("DELETE FROM Users WHERE Id_User = 8");
  auto& gone = Open<TfrmServicio>("BTNREPORTAR");
  EXPECT_FALSE(gone.btnAceptar().Enabled());
  EXPECT_FALSE(gone.cbRepairNotice().Visible());
  EXPECT_EQ(gone.lblErrorEmail().Caption(),
            "You cannot report a request.\r\n"
            "The user with which you entered no longer exists in the database...");
}

TEST_F(MailScreens, TheSendScreenShowsTheDescriptionCutAndKeepsWhatWasTypedWhenItCannotSend) {
  UseSmtpServer(UnusedLoopbackPort(), 0);
  const std::string seventy(70, 'x');
  Exec("UPDATE Request SET Description = :d", {seventy});
  TfrmHome& home = SignIn(7);
  auto& whole = Open<TfrmEnviaEmail>("BTNENVIAEMAIL");
  EXPECT_EQ(whole.lblDesc().Caption(), seventy);
  Click("BTNCANCELAR");
  ASSERT_EQ(App().ActiveForm(), &home);

  Exec("UPDATE Request SET Description = :d", {seventy + "yz"});
  Click("BTNACTUALIZAR");
  auto& send = Open<TfrmEnviaEmail>("BTNENVIAEMAIL");
  EXPECT_EQ(send.lblDesc().Caption(), seventy + "...");
  EXPECT_EQ(send.edtDescrip().Text(), seventy + "yz");
  // No recipient: the alert, and the subject and comments as typed.
  Click("BTNACEPTAR", {"EDTDESCRIP=New subject", "MMCOMMENTS=New comments"});
  EXPECT_EQ(Alerts(send), "window.alert(\"There must be at least one E-mail recipient\");\r\n");
  EXPECT_EQ(App().ActiveForm(), &send);
  EXPECT_EQ(send.edtDescrip().Text(), "New subject");
  EXPECT_EQ(send.mmComments().Text(), "New comments");
  // The server is down: the screen stays with everything typed, and nothing is recorded.
  Click("BTNADDEMAIL1", {"EDTADDEMAIL1=zoe@mail.es"});
  Click("BTNACEPTAR", {"EDTDESCRIP=New subject", "MMCOMMENTS=New comments"});
  EXPECT_EQ(Alerts(send),
            "window.alert(\"The E-mail could not be sent. Please try again later.\");\r\n");
  EXPECT_EQ(App().ActiveForm(), &send);
  EXPECT_EQ(Items(send.edtEmail()), (Lines{"zoe@mail.es"}));
  EXPECT_EQ(Notes(), (Lines{"41 2 1: Glass on the floor"}));
  EXPECT_EQ(History(), (Lines{"7 bob@mail.es", "8 eva@mail.es"}));
  EXPECT_FALSE(TusSesion::Current()->RefreshHome);
  EXPECT_TRUE(send.btnAceptar().Enabled());
}

}  // namespace
}  // namespace qx::test
