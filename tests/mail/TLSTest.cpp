// The TLS transport: context failures reported before any SMTP command, certificate and key
// loading, and mail without the TLS library (run in a fresh process that never loaded it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "ScriptedServer.h"
#include "SmtpPeer.h"
#include "mail/SMTP.h"
#include "mail/TLSLibrary.h"
#include "support/Failure.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::FailureOf;
using test::ScriptedServer;

class TLSContextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempDir;
    first_ = test::MakeCertificate(folder_->path(), "first");
    second_ = test::MakeCertificate(folder_->path(), "second");
    locked_ = test::MakeCertificate(folder_->path(), "locked", "pass phrase");
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  void SetUp() override {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetHost("127.0.0.1");
    smtp_.SetPort(server_.Port());
    smtp_.SetReadTimeout(3000);
    smtp_.SetConnectTimeout(3000);
  }
  // Opens a session whose context must fail; the server must not hear a single command.
  std::string OpenFailure() {
    server_.Silent();
    server_.Start();
    std::string failure = FailureOf([&] { smtp_.OpenSession(); });
    EXPECT_FALSE(smtp_.IsOpen());
    server_.Finish();
    EXPECT_TRUE(server_.Received().empty());
    return failure;
  }

  static test::TempDir* folder_;
  static test::TestCertificate first_, second_, locked_;
  ScriptedServer server_;
  TIdSSLIOHandlerSocketOpenSSL transport_;
  TIdSMTP smtp_;
};

test::TempDir* TLSContextTest::folder_ = nullptr;
test::TestCertificate TLSContextTest::first_, TLSContextTest::second_, TLSContextTest::locked_;

TEST_F(TLSContextTest, MethodOutsideItsRangeFailsEvenWithoutTLS) {
  transport_.SSLOptions().Method = 7;
  EXPECT_EQ(OpenFailure(), "EIdOSSLGetMethodError: Error geting SSL method.");
}

TEST_F(TLSContextTest, KeyThatDoesNotMatchTheCertificate) {
  transport_.SSLOptions().CertFile = first_.CertFile;
  transport_.SSLOptions().KeyFile = second_.KeyFile;
  EXPECT_EQ(OpenFailure(), "EIdOSSLLoadingKeyError: Could not load key, check password.");
}

TEST_F(TLSContextTest, EncryptedKeyIsNeverAskedFor) {
  transport_.SSLOptions().CertFile = locked_.CertFile;
  transport_.SSLOptions().KeyFile = locked_.KeyFile;
  EXPECT_EQ(OpenFailure(), "EIdOSSLLoadingKeyError: Could not load key, check password.");
}

TEST_F(TLSContextTest, MissingRootFile) {
  transport_.SSLOptions().RootCertFile = folder_->path() + "missing.pem";
  EXPECT_EQ(OpenFailure(), "EIdOSSLLoadingRootCertError: Could not load root certificate.");
}

TEST_F(TLSContextTest, CertificateFileThatIsNoCertificate) {
  transport_.SSLOptions().CertFile = first_.KeyFile;
  EXPECT_EQ(OpenFailure(), "EIdOSSLLoadingCertError: Could not load certificate.");
}

TEST_F(TLSContextTest, CipherListThatSelectsNothing) {
  transport_.SSLOptions().CipherList = "NO-SUCH-CIPHER";
  EXPECT_EQ(OpenFailure(), "EIdOSSLSettingCipherError: SetCipher failed.");
}

TEST_F(TLSContextTest, GoodFilesAndVerificationSettingsConnect) {
  TIdSSLOptions& o = transport_.SSLOptions();
  o.Method = sslvTLSv1;
  o.CertFile = first_.CertFile;
  o.KeyFile = first_.KeyFile;
  o.RootCertFile = first_.CertFile;
  o.VerifyMode = sslvrfPeer | sslvrfClientOnce;
  o.VerifyDepth = 2;
  server_.Greet({}).Expect("QUIT").Send("221 Bye");
  server_.Start();
  smtp_.OpenSession();
  smtp_.CloseSession();
  server_.Finish();
  EXPECT_EQ(server_.Failure(), "");
}

TEST_F(TLSContextTest, ImplicitTLSAgainstAPlainServer) {
  smtp_.SetUseTLS(utUseImplicitTLS);
  smtp_.SetPort(server_.Port());
  server_.Send("220 plain text greeting");
  server_.Start();
  EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }),
            "EIdOSSLConnectError: Error connecting with SSL.");
  EXPECT_FALSE(smtp_.IsOpen());
  server_.Finish();
}

// What goes wrong when mail is sent with the library missing; empty when all is as it should.
std::string ProblemsWithoutTLSLibrary() {
  test::TempDir empty;
  ::setenv(kTLSLibraryDirVariable, empty.path().c_str(), 1);
  std::string problems;
  auto check = [&problems](const std::string& what, const std::string& got,
                           const std::string& expected) {
    if (got != expected) problems += what + ": got \"" + got + "\"; ";
  };
  if (LoadTLSLibrary()) problems += "the library loaded from an empty folder; ";

  {  // No TLS asked: the mail goes out.
    ScriptedServer server;
    server.Greet({}).Expect("RSET").Send("250 Ok").ExpectPrefix("MAIL FROM:").Send("250 Ok")
        .ExpectPrefix("RCPT TO:").Send("250 Ok").Expect("DATA").Send("354 Go")
        .ReceiveData().Send("250 Ok").Expect("QUIT").Send("221 Bye");
    server.Start();
    TIdSSLIOHandlerSocketOpenSSL transport;
    TIdSMTP smtp;
    smtp.SetIOHandler(&transport);
    smtp.SetHost("127.0.0.1");
    smtp.SetPort(server.Port());
    smtp.SetReadTimeout(3000);
    TIdMessage message;
    message.From().SetText("a@example.com");
    message.Recipients().SetAddressListText("b@example.com");
    check("plain mail", FailureOf([&] {
            smtp.OpenSession();
            smtp.TransferMessage(message);
            smtp.CloseSession();
          }),
          "none");
    server.Finish();
    check("plain script", server.Failure(), "");
  }
  for (TIdUseTLS mode : {utUseImplicitTLS, utUseRequireTLS}) {
    ScriptedServer server;
    if (mode == utUseRequireTLS)
      server.Greet({"STARTTLS"}).Expect("STARTTLS").Send("220 Go ahead")
          .Expect("QUIT").Send("221 Bye");
    else
      server.Silent();
    server.Start();
    TIdSSLIOHandlerSocketOpenSSL transport;
    TIdSMTP smtp;
    smtp.SetIOHandler(&transport);
    smtp.SetUseTLS(mode);
    smtp.SetHost("127.0.0.1");
    smtp.SetPort(server.Port());
    smtp.SetReadTimeout(3000);
    TIdMessage message;
    message.From().SetText("a@example.com");
    std::string failure = FailureOf([&] {
      smtp.OpenSession();
      smtp.TransferMessage(message);
    });
    if (mode == utUseImplicitTLS)
      check("implicit", failure, "EIdOSSLCouldNotLoadSSLLibrary: Could not load SSL library.");
    else
      check("STARTTLS", failure,
            "EIdTLSClientTLSHandShakeFailed: SSL is not available on this server.");
    server.Finish();
    check("TLS script", server.Failure(), "");
  }
  return problems;
}

// Runs in a process of its own that never loaded the TLS library. Prints what went wrong
// and exits with 1, or prints "without TLS: ok" and exits with 0.
[[noreturn]] void SendWithoutTLSLibrary() {
  std::string problems = ProblemsWithoutTLSLibrary();
  std::fprintf(stderr, "%s\n", problems.empty() ? "without TLS: ok" : problems.c_str());
  std::fflush(stderr);
  std::exit(problems.empty() ? 0 : 1);
}

TEST(TLSLibraryMissing, PlainMailGoesOutAndTLSFails) {
  // "threadsafe" runs the check in a freshly started copy of this program, where the
  // library was never loaded.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SendWithoutTLSLibrary(), ::testing::ExitedWithCode(0), "without TLS: ok");
}

}  // namespace
}  // namespace qx
