// requestqx-admin mail-test run as a process: a database made by init-db, its SMTP settings
// row pointing at the aiosmtpd peer, one mail sent and read back, and its failures.
#include <gtest/gtest.h>

#include "EnvOverride.h"
#include "SmtpPeer.h"
#include "data/ADOCommand.h"
#include "data/Schema.h"
#include "support/AdminTool.h"
#include "support/LoopbackPort.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::SmtpPeer;
using Lines = std::vector<std::string>;

using ToolResult = test::ProgramResult;
using test::RunAdminTool;

// Writes qxsmtp row 1 of `database`.
void StoreSmtpRow(const std::string& database, int port, int tlsType) {
  TADOConnection connection;
  connection.SetConnectionString(DatabaseConnectionString(database));
  connection.Open();
  TADOCommand command;
  command.SetConnection(&connection);
  command.SetCommandText("DELETE FROM qxsmtp");
  command.Execute();
  command.SetCommandText(
      "INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, SSL_Method,"
      " SSL_VerDepht, AutType) VALUES (1, '127.0.0.1', :User, :Pwd, :Port, :Tls, -1, 0, 1)");
  command.Parameters().ParamByName("User").SetValue(Variant(std::string(SmtpPeer::kUser)));
  command.Parameters().ParamByName("Pwd").SetValue(Variant(std::string(SmtpPeer::kPassword)));
  command.Parameters().ParamByName("Port").SetValue(Variant(std::int64_t{port}));
  command.Parameters().ParamByName("Tls").SetValue(Variant(std::int64_t{tlsType}));
  command.Execute();
}

class MailToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseWesternLocale(env_);
    database_ = dir_ / "Requests.mdb";
    ToolResult made = RunAdminTool(dir_, {"init-db", database_});
    ASSERT_EQ(made.status, 0) << made.err;
  }
  test::EnvOverride env_;
  test::TempDir dir_;
  std::string database_;
};

TEST_F(MailToolTest, SendsOneRequestMailThroughTheStoredSettings) {
  if (!SmtpPeer::Available()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
  test::TempDir peerFolder;
  test::TestCertificate certificate = test::MakeCertificate(peerFolder.path(), "peer");
  SmtpPeer peer(SmtpPeer::StartTLS, certificate, peerFolder.path());
  StoreSmtpRow(database_, peer.Port(), 2);

  ToolResult r = RunAdminTool(dir_, {"mail-test", database_, "--from", "user@example.com", "--to",
                                "b@example.com, c@example.com", "--subject", "Lámpara ñoña",
                                "--comments", "Primera línea\nSegunda", "--urgent"});
  EXPECT_EQ(r.status, 0) << r.out << r.err << peer.Log();
  EXPECT_EQ(r.out, "sent\n");
  std::vector<test::StoredMail> mails = peer.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].Recipients, (Lines{"b@example.com", "c@example.com"}));
  EXPECT_EQ(mails[0].Header("Subject"), "QX Request 0: =?ISO-8859-1?Q?L=E1mpara_=F1o=F1a?=");
  EXPECT_EQ(mails[0].Header("Reply-To"), "user@example.com");
  EXPECT_EQ(mails[0].Header("X-Priority"), "1");
  EXPECT_EQ(mails[0].BodyLines,
            (Lines{"Description: L\xE1mpara \xF1o\xF1" "a", "", "Commentaries: ",
                   "Primera l\xEDnea", "Segunda", ""}));
}

TEST_F(MailToolTest, ReportsTheFailureClassAndMessage) {
  StoreSmtpRow(database_, test::UnusedLoopbackPort(), 0);
  ToolResult r = RunAdminTool(dir_, {"mail-test", database_, "--from", "user@example.com", "--to",
                                "b@example.com"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "EIdSocketError: Socket Error # 111\nConnection refused.\n");
}

TEST_F(MailToolTest, RefusesMissingSettingsAndBadArguments) {
  ToolResult r = RunAdminTool(dir_, {"mail-test", database_, "--from", "a@example.com", "--to",
                                "b@example.com"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("holds no SMTP settings (qxsmtp row 1)"), std::string::npos) << r.err;

  r = RunAdminTool(dir_, {"mail-test", database_, "--from", "a@example.com"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--to is required"), std::string::npos) << r.err;
  r = RunAdminTool(dir_, {"mail-test", database_, "--to"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--to needs a value"), std::string::npos) << r.err;
  r = RunAdminTool(dir_, {"mail-test", "--from", "a@example.com", "--to", "b@example.com"});
  EXPECT_EQ(r.status, 2);
  r = RunAdminTool(dir_, {"mail-test", dir_ / "missing.mdb", "--from", "a@example.com", "--to",
                     "b@example.com"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.mdb"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace qx
