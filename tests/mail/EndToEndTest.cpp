// Request mails against a real SMTP server (aiosmtpd) with AUTH LOGIN: every TLS mode, the
// headers and body as received, peer verification, refusals and several senders at once.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "EnvOverride.h"
#include "SmtpPeer.h"
#include "mail/RequestMail.h"
#include "support/Failure.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::FailureOf;
using test::SmtpModeCase;
using test::SmtpPeer;
using Lines = std::vector<std::string>;

constexpr int kTimeoutMs = 10000;

class EndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    available_ = SmtpPeer::Available();
    if (!available_) return;
    certificates_ = new test::TempDir;
    certificate_ = test::MakeCertificate(certificates_->path(), "peer");
  }
  static void TearDownTestSuite() {
    delete certificates_;
    certificates_ = nullptr;
  }
  void SetUp() override {
    if (!available_)
      GTEST_SKIP() << "python3-aiosmtpd is not installed for /usr/bin/python3 "
                      "(apt-get install python3-aiosmtpd): no real SMTP server to test against";
    test::UseWesternLocale(env_);
  }
  std::unique_ptr<SmtpPeer> StartPeer(SmtpPeer::Mode mode) {
    return std::make_unique<SmtpPeer>(mode, certificate_, folder_.path());
  }
  static TSmtpSettings Settings(const SmtpPeer& peer, int tlsType) {
    TSmtpSettings s;
    s.Servidor = "127.0.0.1";
    s.Puerto = peer.Port();
    s.Usuario = SmtpPeer::kUser;
    s.Pwd = SmtpPeer::kPassword;
    s.TLS_Type = tlsType;
    return s;  // SSL_Method -1 and AutType 1, as most stored rows have them
  }
  static TRequestMail Mail() {
    TRequestMail m;
    m.RequestId = 12;
    m.Sender = "user@example.com";
    m.Urgent = true;
    m.BodyLines = TStringList{"Se fundi\xF3 la l\xE1mpara", ".", ".dos"};
    m.Recipients = "b@example.com, c@example.com";
    m.Description = "L\xE1mpara \xF1o\xF1" "a";
    m.ReplyTo = "user@example.com";
    return m;
  }

  static inline bool available_ = false;
  static inline test::TempDir* certificates_ = nullptr;
  static inline test::TestCertificate certificate_;
  test::EnvOverride env_;
  test::TempDir folder_;
};

class EndToEndModes : public EndToEndTest, public ::testing::WithParamInterface<SmtpModeCase> {};

TEST_P(EndToEndModes, RequestMailArrivesWithItsHeadersAndBody) {
  auto peer = StartPeer(GetParam().peer);
  EXPECT_EQ(FailureOf([&] { DeliverRequestMail(Settings(*peer, GetParam().tlsType), Mail(),
                                                kTimeoutMs); }),
            "none")
      << peer->Log();
  std::vector<test::StoredMail> mails = peer->Mails();
  ASSERT_EQ(mails.size(), 1u) << peer->Log();
  const test::StoredMail& mail = mails[0];
  EXPECT_EQ(mail.From, "user@example.com");
  EXPECT_EQ(mail.Recipients, (Lines{"b@example.com", "c@example.com"}));
  EXPECT_EQ(mail.HeaderNames(),
            (Lines{"From", "Subject", "To", "Reply-To", "Date", "X-Priority"}));
  EXPECT_EQ(mail.Header("From"), "\"user@example.com\" <user@example.com>");
  EXPECT_EQ(mail.Header("Subject"), "QX Request 12: =?ISO-8859-1?Q?L=E1mpara_=F1o=F1a?=");
  EXPECT_EQ(mail.Header("To"), "b@example.com, c@example.com");
  EXPECT_EQ(mail.Header("Reply-To"), "user@example.com");
  EXPECT_EQ(mail.Header("X-Priority"), "1");
  EXPECT_EQ(mail.BodyLines,
            (Lines{"Description: L\xE1mpara \xF1o\xF1" "a", "", "Commentaries: ",
                   "Se fundi\xF3 la l\xE1mpara", ".", ".dos", ""}));
}

INSTANTIATE_TEST_SUITE_P(
    TLSModes, EndToEndModes,
    ::testing::Values(SmtpModeCase{"WithoutTLS", SmtpPeer::Plain, 0},
                      SmtpModeCase{"StartTLSRequired", SmtpPeer::StartTLS, 2},
                      SmtpModeCase{"StartTLSExplicit", SmtpPeer::StartTLS, 3},
                      SmtpModeCase{"ImplicitTLS", SmtpPeer::ImplicitTLS, 1}),
    [](const ::testing::TestParamInfo<SmtpModeCase>& info) { return info.param.name; });

TEST_F(EndToEndTest, NotUrgentMailHasNoPriority) {
  auto peer = StartPeer(SmtpPeer::StartTLS);
  TRequestMail mail = Mail();
  mail.Urgent = false;
  DeliverRequestMail(Settings(*peer, 2), mail, kTimeoutMs);
  ASSERT_EQ(peer->Mails().size(), 1u);
  EXPECT_EQ(peer->Mails()[0].HeaderNames(), (Lines{"From", "Subject", "To", "Reply-To", "Date"}));
}

TEST_F(EndToEndTest, WrongPasswordIsRefused) {
  auto peer = StartPeer(SmtpPeer::ImplicitTLS);
  TSmtpSettings s = Settings(*peer, 1);
  s.Pwd = "wrong";
  EXPECT_EQ(FailureOf([&] { DeliverRequestMail(s, Mail(), kTimeoutMs); }),
            "EIdSMTPReplyError: Authentication credentials invalid\r\n");
  EXPECT_TRUE(peer->Mails().empty());
}

TEST_F(EndToEndTest, RequiredTLSAgainstAServerWithoutIt) {
  auto peer = StartPeer(SmtpPeer::Plain);
  EXPECT_EQ(FailureOf([&] { DeliverRequestMail(Settings(*peer, 2), Mail(), kTimeoutMs); }),
            "EIdTLSClientTLSNotAvailable: Start SSL negotiation command failed.");
  EXPECT_TRUE(peer->Mails().empty());
}

TEST_F(EndToEndTest, PeerVerificationUsesTheRootFile) {
  auto peer = StartPeer(SmtpPeer::StartTLS);
  TSmtpSettings s = Settings(*peer, 2);
  s.SSL_VerMode1 = true;
  s.SSL_VerDepht = 2;
  // The peer's self-signed certificate is trusted by nobody on this machine...
  EXPECT_EQ(FailureOf([&] { DeliverRequestMail(s, Mail(), kTimeoutMs); }),
            "EIdTLSClientTLSHandShakeFailed: SSL is not available on this server.");
  // ...unless it is the root file.
  s.SSL_RootFile = certificate_.CertFile;
  EXPECT_EQ(FailureOf([&] { DeliverRequestMail(s, Mail(), kTimeoutMs); }), "none");
  EXPECT_EQ(peer->Mails().size(), 1u);
}

TEST_F(EndToEndTest, SeveralThreadsSendAtOnce) {
  auto startTls = StartPeer(SmtpPeer::StartTLS);
  test::TempDir otherFolder;
  SmtpPeer implicitTls(SmtpPeer::ImplicitTLS, certificate_, otherFolder.path());
  constexpr int kThreads = 6;
  constexpr int kMailsEach = 2;
  std::atomic<int> sent{0};
  std::vector<std::string> failures(kThreads);
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        TSmtpSettings s = t % 2 ? Settings(implicitTls, 1) : Settings(*startTls, 2);
        for (int i = 0; i < kMailsEach; ++i) {
          TRequestMail mail = Mail();
          mail.RequestId = t * 100 + i;
          std::string failure = FailureOf([&] { DeliverRequestMail(s, mail, kTimeoutMs); });
          if (failure == "none") ++sent;
          else failures[static_cast<std::size_t>(t)] = failure;
        }
      });
    }
  }
  for (const auto& failure : failures) EXPECT_EQ(failure, "");
  EXPECT_EQ(sent.load(), kThreads * kMailsEach);
  EXPECT_EQ(startTls->Mails().size() + implicitTls.Mails().size(),
            static_cast<std::size_t>(kThreads * kMailsEach));
}

}  // namespace
}  // namespace qx
