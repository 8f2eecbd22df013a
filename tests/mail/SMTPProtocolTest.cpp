// The SMTP client against a scripted server: greeting and EHLO/HELO, STARTTLS decisions,
// AUTH LOGIN, the envelope step by step and pipelined, QUIT, and broken or silent servers.
#include <gtest/gtest.h>

#include <functional>

#include "EnvOverride.h"
#include "ScriptedServer.h"
#include "mail/HeaderCoding.h"
#include "mail/SMTP.h"
#include "support/Failure.h"
#include "support/LoopbackPort.h"

namespace qx {
namespace {

using test::FailureOf;
using test::ScriptedServer;
using Lines = std::vector<std::string>;

const std::string kUser64 = EncodeBase64("mailer");
const std::string kPass64 = EncodeBase64("s3cret");

class SMTPProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseWesternLocale(env_);
    smtp_.SetHost("127.0.0.1");
    smtp_.SetPort(server_.Port());
    smtp_.SetHeloName("client.test");
    smtp_.SetReadTimeout(3000);
    smtp_.SetConnectTimeout(3000);
    message_.From().SetText("sender@example.com");
    message_.Recipients().SetAddressListText("one@example.com, two@example.com");
    message_.SetSubject("Test");
    message_.Body().Add("Hello");
    message_.Body().Add(".");
  }
  // The commands of a step-by-step envelope for message_, up to DATA.
  void ExpectEnvelopeStepByStep() {
    server_.Expect("RSET").Send("250 2.0.0 Reset")
        .Expect("MAIL FROM: <sender@example.com>").Send("250 2.1.0 Ok")
        .Expect("RCPT TO:<one@example.com>").Send("250 2.1.5 Ok")
        .Expect("RCPT TO:<two@example.com>").Send("251 2.1.5 Will forward")
        .Expect("DATA").Send("354 End data with <CR><LF>.<CR><LF>");
  }
  void ExpectQuit() { server_.Expect("QUIT").Send("221 2.0.0 Bye"); }
  // Runs the script against `action` and checks the client kept to it.
  void Play(const std::function<void()>& action) {
    server_.Start();
    action();
    server_.Finish();
    EXPECT_EQ(server_.Failure(), "");
  }

  test::EnvOverride env_;
  ScriptedServer server_;
  TIdSSLIOHandlerSocketOpenSSL transport_;  // outlives smtp_, which may be attached to it
  TIdSMTP smtp_;
  TIdMessage message_;
};

TEST_F(SMTPProtocolTest, StepByStepWithAuthLogin) {
  server_.Greet({"AUTH LOGIN PLAIN", "SIZE 1000"});
  server_.Expect("AUTH LOGIN").Send("334 VXNlcm5hbWU6")
      .Expect(kUser64).Send("334 UGFzc3dvcmQ6")
      .Expect(kPass64).Send("235 2.7.0 Authentication successful");
  ExpectEnvelopeStepByStep();
  server_.ReceiveData().Send("250 2.0.0 Queued");
  ExpectQuit();
  Play([&] {
    smtp_.SetUsername("mailer");
    smtp_.SetPassword("s3cret");
    smtp_.SetMailAgent("QX Mailer");
    smtp_.OpenSession();
    EXPECT_EQ(smtp_.ServerExtensions(), (Lines{"AUTH LOGIN PLAIN", "SIZE 1000"}));
    smtp_.TransferMessage(message_);
    EXPECT_TRUE(smtp_.Authenticated());
    EXPECT_EQ(smtp_.LastReply().NumericCode(), 250);
    EXPECT_EQ(smtp_.LastReply().EnhancedCode().Text(), "2.0.0");
    smtp_.CloseSession();
    EXPECT_FALSE(smtp_.IsOpen());
    EXPECT_FALSE(smtp_.Authenticated());
  });
  const Lines& data = server_.DataLines();
  ASSERT_GE(data.size(), 4u);
  EXPECT_EQ(data[0], "From: \"sender@example.com\" <sender@example.com>");
  EXPECT_NE(std::find(data.begin(), data.end(), "X-Mailer: QX Mailer"), data.end());
  EXPECT_EQ(Lines(data.end() - 3, data.end()), (Lines{"Hello", "..", ""}));
}

TEST_F(SMTPProtocolTest, EhloRefusedFallsBackToHeloWithoutExtensions) {
  server_.Send("220 old.test SMTP").Expect("EHLO client.test").Send("500 5.5.1 What?")
      .Expect("HELO client.test").Send("250 old.test");
  ExpectEnvelopeStepByStep();  // no PIPELINING known, no AUTH though a user name is set
  server_.ReceiveData().Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.SetUsername("mailer");
    smtp_.OpenSession();
    EXPECT_TRUE(smtp_.ServerExtensions().empty());
    EXPECT_FALSE(smtp_.SecureAndAuthenticate());
    smtp_.TransferMessage(message_);
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, RefusedGreetingOrHeloCloseTheSession) {
  server_.Send("220 x").Expect("EHLO client.test").Send("502 no")
      .Expect("HELO client.test").Send("550 5.7.1 Go away");
  ExpectQuit();
  Play([&] {
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }), "EIdSMTPReplyError: Go away\r\n");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, GreetingOtherThan220) {
  server_.Send("554 5.3.2 No service");
  ExpectQuit();
  Play([&] {
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }), "EIdSMTPReplyError: No service\r\n");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, RequireTLSWithoutStartTLSOfferedQuits) {
  server_.Greet({"AUTH LOGIN"});
  ExpectQuit();
  Play([&] {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetUseTLS(utUseRequireTLS);
    smtp_.SetPort(server_.Port());
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdTLSClientTLSNotAvailable: Start SSL negotiation command failed.");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, ExplicitTLSWithoutStartTLSOfferedGoesPlain) {
  server_.Greet({"8BITMIME"});
  ExpectEnvelopeStepByStep();
  server_.ReceiveData().Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetUseTLS(utUseExplicitTLS);
    smtp_.SetPort(server_.Port());
    smtp_.SetAuthType(atNone);
    smtp_.OpenSession();
    smtp_.TransferMessage(message_);
    EXPECT_FALSE(transport_.Secured());
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, StartTLSRefusedInRequireMode) {
  server_.Greet({"STARTTLS"});
  server_.Expect("STARTTLS").Send("454 4.7.0 TLS not available");
  ExpectQuit();
  Play([&] {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetUseTLS(utUseRequireTLS);
    smtp_.SetPort(server_.Port());
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdTLSClientTLSNotAvailable: SSL is not available on this server.");
  });
}

TEST_F(SMTPProtocolTest, StartTLSRefusedInExplicitMode) {
  server_.Greet({"starttls"});
  server_.Expect("STARTTLS").Send("454 4.7.0 TLS not available");
  ExpectQuit();
  Play([&] {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetUseTLS(utUseExplicitTLS);
    smtp_.SetPort(server_.Port());
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdTLSClientTLSNotAvailable: Start SSL negotiation command failed.");
  });
}

TEST_F(SMTPProtocolTest, FailedHandshakeAfterStartTLS) {
  server_.Greet({"STARTTLS"});
  server_.Expect("STARTTLS").Send("220 2.0.0 Go ahead").Send("this is not TLS at all");
  Play([&] {
    smtp_.SetIOHandler(&transport_);
    smtp_.SetUseTLS(utUseRequireTLS);
    smtp_.SetPort(server_.Port());
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdTLSClientTLSHandShakeFailed: SSL is not available on this server.");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, NoAuthenticationWithoutLoginOrUserName) {
  // Only PLAIN offered: the envelope follows at once.
  server_.Greet({"AUTH PLAIN CRAM-MD5"});
  ExpectEnvelopeStepByStep();
  server_.ReceiveData().Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.SetUsername("mailer");
    smtp_.OpenSession();
    smtp_.TransferMessage(message_);
    EXPECT_FALSE(smtp_.Authenticated());
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, EmptyUserNameSendsNoAuth) {
  server_.Greet({"AUTH LOGIN"});
  ExpectEnvelopeStepByStep();
  server_.ReceiveData().Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    smtp_.TransferMessage(message_);
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, AuthEqualsFormOffersLoginToo) {
  server_.Greet({"AUTH=PLAIN LOGIN"});
  server_.Expect("AUTH LOGIN").Send("334 VXNlcm5hbWU6").Expect(kUser64).Send("334 UGFzc3dvcmQ6")
      .Expect(kPass64).Send("535 5.7.8 Authentication credentials invalid");
  ExpectQuit();
  Play([&] {
    smtp_.SetUsername("mailer");
    smtp_.SetPassword("s3cret");
    smtp_.OpenSession();
    try {
      smtp_.TransferMessage(message_);
      ADD_FAILURE() << "no failure";
    } catch (const EIdSMTPReplyError& e) {
      EXPECT_EQ(e.ErrorCode(), 535);
      EXPECT_EQ(e.Message(), "Authentication credentials invalid\r\n");
      EXPECT_EQ(e.EnhancedCode().Text(), "5.7.8");
    }
    EXPECT_TRUE(smtp_.IsOpen());  // an authentication refusal leaves the session open
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, SaslWithoutMechanismsFailsBeforeTheEnvelope) {
  server_.Greet({"AUTH LOGIN"});
  ExpectQuit();
  Play([&] {
    smtp_.SetAuthType(atSASL);
    smtp_.SetUsername("mailer");
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdSASLMechNeeded: Need SASL mechanisms to login with it!!");
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, StepByStepRefusedRecipientResetsAtOnce) {
  message_.Recipients().SetAddressListText("one@example.com, bad@example.com, three@example.com");
  server_.Greet({});
  server_.Expect("RSET").Send("250 Ok")
      .Expect("MAIL FROM: <sender@example.com>").Send("250 Ok")
      .Expect("RCPT TO:<one@example.com>").Send("250 Ok")
      .Expect("RCPT TO:<bad@example.com>").Send("550 5.1.1 User unknown")
      .Expect("RSET").Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    try {
      smtp_.TransferMessage(message_);
      ADD_FAILURE() << "no failure";
    } catch (const EIdSMTPReplyError& e) {
      EXPECT_EQ(e.Message(), "User unknown\r\n");
      EXPECT_EQ(e.ErrorCode(), 550);
      EXPECT_EQ(e.EnhancedCode().Text(), "5.1.1");
    }
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, RefusedSenderRaisesWithoutReset) {
  server_.Greet({});
  server_.Expect("RSET").Send("250 Ok")
      .Expect("MAIL FROM: <sender@example.com>").Send("553 5.7.1 Sender refused");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdSMTPReplyError: Sender refused\r\n");
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, PipelinedEnvelopeGoesInOneBatchAndRefusalStillDelivers) {
  // The server reads the whole envelope before answering anything: a client that waited
  // for the first reply would stall here and time out.
  server_.Greet({"PIPELINING", "8BITMIME"});
  server_.Expect("RSET").Expect("MAIL FROM: <sender@example.com>")
      .Expect("RCPT TO:<one@example.com>").Expect("RCPT TO:<two@example.com>").Expect("DATA")
      .Send("250 Ok").Send("250 Ok").Send("550 5.1.1 User unknown").Send("250 Ok")
      .Send("354 Go ahead")
      .ReceiveData().Send("250 2.0.0 Queued for one")
      .Expect("RSET").Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdSMTPReplyError: User unknown\r\n");
    smtp_.CloseSession();
  });
  EXPECT_FALSE(server_.DataLines().empty());
}

TEST_F(SMTPProtocolTest, PipelinedSuccessAndRefusedData) {
  server_.Greet({"PIPELINING"});
  server_.Expect("RSET").Expect("MAIL FROM: <sender@example.com>")
      .Expect("RCPT TO:<one@example.com>").Expect("RCPT TO:<two@example.com>").Expect("DATA")
      .Send("250 Ok").Send("250 Ok").Send("250 Ok").Send("251 Forwarded").Send("354 Go ahead")
      .ReceiveData().Send("250 Ok");
  // Second mail on the same session: DATA itself refused, so no data follows.
  server_.Expect("RSET").Expect("MAIL FROM: <sender@example.com>")
      .Expect("RCPT TO:<one@example.com>").Expect("RCPT TO:<two@example.com>").Expect("DATA")
      .Send("250 Ok").Send("250 Ok").Send("250 Ok").Send("250 Ok")
      .Send("554-5.3.4 Message too big").Send("554 5.3.4 for this system")
      .Expect("RSET").Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    smtp_.TransferMessage(message_);
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdSMTPReplyError: Message too big\r\nfor this system\r\n");
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, PipeLineOffStaysStepByStep) {
  server_.Greet({"PIPELINING"});
  ExpectEnvelopeStepByStep();
  server_.ReceiveData().Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.SetPipeLine(false);
    smtp_.OpenSession();
    smtp_.TransferMessage(message_);
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, MultiLineRepliesWithEnhancedCodes) {
  server_.Send("220-first greeting line").Send("220-2.0.0 second").Send("220 third")
      .ExpectPrefix("EHLO ").Send("250-2.0.0 big.test").Send("250-2.0.0 PIPELINING")
      .Send("250 2.0.0 AUTH LOGIN");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(smtp_.ServerExtensions(), (Lines{"PIPELINING", "AUTH LOGIN"}));
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, QuitReplyOtherThan221) {
  server_.Greet({});
  server_.Expect("QUIT").Send("500 5.0.0 Not now");
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.CloseSession(); }), "EIdSMTPReplyError: Not now\r\n");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, OverLongReplyLine) {
  server_.Send("220 " + std::string(20000, 'x'));
  Play([&] {
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }),
              "EIdReadLnMaxLineLengthExceeded: Max line length exceeded.");
    EXPECT_FALSE(smtp_.IsOpen());
  });
}

TEST_F(SMTPProtocolTest, LongestAcceptedLine) {
  server_.Send("220 " + std::string(16380, 'x'));  // 16384 characters with the code
  server_.ExpectPrefix("EHLO ").Send("250 ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, ServerClosesWhileAReplyIsAwaited) {
  server_.Greet({}).Expect("RSET").Close();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdConnClosedGracefully: Connection Closed Gracefully.");
    EXPECT_FALSE(smtp_.IsOpen());
    smtp_.CloseSession();  // nothing left to close: no failure
  });
}

TEST_F(SMTPProtocolTest, SilentServerTimesOut) {
  server_.Silent();
  Play([&] {
    smtp_.SetReadTimeout(300);
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }), "EIdReadTimeout: Read timed out.");
    EXPECT_FALSE(smtp_.IsOpen());  // the server sees the client hang up and its script ends
  });
  EXPECT_TRUE(server_.Received().empty());
}

TEST_F(SMTPProtocolTest, InvalidReplyCode) {
  server_.Send("abc ready");
  ExpectQuit();
  Play([&] {
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }),
              "EIdException: Reply Code is not valid: abc");
  });
}

TEST_F(SMTPProtocolTest, LineBreakInAnAddressCannotSmuggleACommand) {
  message_.Recipients().SetAddressListText("one@example.com\r\nDATA");
  server_.Greet({});
  server_.Expect("RSET").Send("250 Ok").Expect("MAIL FROM: <sender@example.com>").Send("250 Ok");
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.TransferMessage(message_); }),
              "EIdSMTPCommandError: An SMTP command cannot hold a line break.");
    smtp_.CloseSession();
  });
}

TEST_F(SMTPProtocolTest, AlreadyConnected) {
  server_.Greet({});
  ExpectQuit();
  Play([&] {
    smtp_.OpenSession();
    EXPECT_EQ(FailureOf([&] { smtp_.OpenSession(); }), "EIdAlreadyConnected: Already connected.");
    smtp_.CloseSession();
  });
}

TEST(SMTPSession, ArgumentsAndConnectionFailures) {
  TIdSMTP smtp;
  smtp.SetConnectTimeout(3000);
  EXPECT_EQ(FailureOf([&] { smtp.OpenSession(); }), "EIdHostRequired: ");
  smtp.SetHost("127.0.0.1");
  smtp.SetPort(0);
  EXPECT_EQ(FailureOf([&] { smtp.OpenSession(); }), "EIdPortRequired: ");
  TIdMessage message;
  EXPECT_EQ(FailureOf([&] { smtp.TransferMessage(message); }), "EIdNotConnected: Not connected.");

  // A port nobody listens on: the connection is refused.
  const int closedPort = test::UnusedLoopbackPort();
  ASSERT_NE(closedPort, 0);
  smtp.SetPort(closedPort);
  EXPECT_EQ(FailureOf([&] { smtp.OpenSession(); }),
            "EIdSocketError: Socket Error # 111\r\nConnection refused.");
  EXPECT_FALSE(smtp.IsOpen());
}

TEST(SMTPSession, SettingRules) {
  TIdSSLIOHandlerSocketOpenSSL tlsTransport;
  TIdIOHandlerSocket plain;
  TIdSMTP smtp;
  EXPECT_EQ(smtp.Port(), 25);
  EXPECT_EQ(FailureOf([&] { smtp.SetUseTLS(utUseRequireTLS); }),
            "EIdTLSClientSSLIOHandlerRequred: SSL IOHandler is required for this setting");
  smtp.SetIOHandler(&tlsTransport);
  smtp.SetUseTLS(utUseImplicitTLS);
  EXPECT_EQ(smtp.Port(), 465);
  smtp.SetUseEhlo(false);
  smtp.SetUseTLS(utUseExplicitTLS);
  EXPECT_EQ(smtp.Port(), 25);
  EXPECT_TRUE(smtp.UseEhlo());
  smtp.SetPort(2525);
  smtp.SetUseTLS(utUseImplicitTLS);
  EXPECT_EQ(smtp.Port(), 2525);  // only the standard ports move
  smtp.SetIOHandler(&plain);
  EXPECT_EQ(smtp.UseTLS(), utNoTLSSupport);
}

TEST(SMTPSession, UseTLSCannotChangeWhileConnected) {
  ScriptedServer server;
  server.Greet({}).Expect("QUIT").Send("221 Bye");
  server.Start();
  TIdSSLIOHandlerSocketOpenSSL transport;
  TIdSMTP smtp;
  smtp.SetIOHandler(&transport);
  smtp.SetHost("127.0.0.1");
  smtp.SetPort(server.Port());
  smtp.SetReadTimeout(3000);
  smtp.OpenSession();
  EXPECT_EQ(FailureOf([&] { smtp.SetUseTLS(utUseExplicitTLS); }),
            "EIdTLSClientCanNotSetWhileConnected: This value can not be set while the client "
            "is connected.");
  smtp.CloseSession();
  server.Finish();
  EXPECT_EQ(server.Failure(), "");
}

}  // namespace
}  // namespace qx
