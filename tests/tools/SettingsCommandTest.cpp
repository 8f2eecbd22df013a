// requestqx-admin status list|set and smtp show|set on a database another connection keeps
// writing to: the names and settings they store, and the refusals of bad input, each of which
// changes nothing.
#include "AdminFixture.h"
#include "data/Statements.h"

namespace qx::test {
namespace {

using SettingsCommandTest = AdminFixture;

TEST_F(SettingsCommandTest, StatusNamesAreListedAndSetPerLanguage) {
  NeighbourWriter neighbour = QuietNeighbour();
  ProgramResult r = Admin({"status", "set", "3", "--en", "Being repaired", "--pt", "Em reparação"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Status 3: EN 'Being repaired', PT 'Em reparação'.\n");
  ASSERT_EQ(Admin({"status", "set", "14", "--es", "En garantía"}).status, 0);
  r = Admin({"status", "list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "ID  ES           EN                  PT\n"
            "1   Nueva        New\n"
            "2                Awaiting attention\n"
            "3   En proceso   Being repaired      Em reparação\n"
            "4                Cancelled\n"
            "13               Sent by e-mail\n"
            "14  En garantía\n");
  // What the service reads: the notes of request 1 in Portuguese now name status 3.
  Exec("UPDATE Request_Status SET Id_Status = 3 WHERE Id_Req_Status = 11");
  EXPECT_EQ(Query(SqlStatusNotes("PT", 1))->FieldByName("Status_desc").AsString(),
            "Em repara\xE7\xE3o");
}

TEST_F(SettingsCommandTest, SmtpSettingsAreMadeChangedAndShown) {
  NeighbourWriter neighbour = QuietNeighbour();
  Exec("DELETE FROM qxsmtp");
  ExpectRefused({{{"smtp", "set", "--tls", "explicit"}, "", 1, "give --server and --port"},
                 {{"smtp", "show"}, "", 1, "holds no SMTP settings (qxsmtp row 1)"}});
  ProgramResult r = Admin({"smtp", "set", "--server", "smtp.example.com", "--port", "587",
                           "--tls", "explicit", "--method", "TLSv1", "--auth", "default",
                           "--user", "mailer", "--password", "--verify-depth", "4",
                           "--root-file", "/etc/ssl/certs/ca.pem", "--verify-peer", "yes"},
                          "s3cret\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Scalar("SELECT Servidor || ' ' || Puerto || ' ' || TLS_Type || ' ' || SSL_Method ||"
                   " ' ' || AutType || ' ' || Usuario || ' ' || Pwd || ' ' || SSL_VerDepht ||"
                   " ' ' || SSL_RootFile || ' ' || SSL_VerMode1 || SSL_VerMode2 || SSL_VerMode3"
                   " FROM qxsmtp WHERE Idsmtp = 1"),
            "smtp.example.com 587 3 3 1 mailer s3cret 4 /etc/ssl/certs/ca.pem 100");
  ASSERT_EQ(Admin({"smtp", "set", "--tls", "1", "--port", "465"}).status, 0);
  r = Admin({"smtp", "show"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"Servidor:     smtp.example.com\n", "Pwd:          (set)\n",
                           "Puerto:       465\n", "TLS_Type:     1\n", "SSL_VerMode2: no\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  EXPECT_EQ(r.out.find("s3cret"), std::string::npos);
}

TEST_F(SettingsCommandTest, BadInputIsRefusedAndChangesNothing) {
  NeighbourWriter neighbour = QuietNeighbour();
  ExpectRefused({
      {{"status", "set", "4", "--en", "new"}, "", 1, "the name 'new' is already status 1's in EN"},
      {{"status", "set", "0", "--en", "Zero"}, "", 2, "'0' is not a whole number from 1 to 255"},
      {{"status", "set", "256", "--en", "Big"}, "", 2, "from 1 to 255"},
      {{"status", "set", "5"}, "", 2, "give at least one of --es, --en and --pt"},
      {{"status", "set", "5", "--en", " "}, "", 2, "--en: a status needs a name"},
      {{"status", "set", "5", "--en", std::string(51, 'x')}, "", 2, "is longer than 50 characters"},
      {{"smtp", "set", "--port", "abc"}, "", 2, "--port: 'abc' is not a whole number from 1 to 65535"},
      {{"smtp", "set", "--port", "70000"}, "", 2, "--port: '70000' is not a whole number"},
      {{"smtp", "set", "--tls", "7"}, "", 2,
       "--tls: '7' is not one of none, implicit, required, explicit (or 0 to 3)"},
      {{"smtp", "set", "--method", "tlsv13"}, "", 2, "--method: 'tlsv13' is not one of"},
      {{"smtp", "set", "--auth", "kerberos"}, "", 2, "--auth: 'kerberos' is not one of"},
      {{"smtp", "set", "--auth", "sasl"}, "", 1, "authentication 'sasl' needs a user name"},
      {{"smtp", "set", "--verify-depth", "-1"}, "", 2, "from 0 to 100"},
      {{"smtp", "set", "--client-once"}, "", 2, "--client-once needs a value"},
  });
}

}  // namespace
}  // namespace qx::test
