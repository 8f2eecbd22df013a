// How the stored SMTP settings and a request's text set up the client, the transport and
// the message: defaults for negative values, the stored port, and refusal of unknown types.
#include <gtest/gtest.h>

#include "mail/MailExceptions.h"
#include "mail/RequestMail.h"

namespace qx {
namespace {

struct SetUp3 {
  TIdSSLIOHandlerSocketOpenSSL transport;
  TIdMessage message;
  TIdSMTP smtp;
  void Run(const TSmtpSettings& s, const TRequestMail& m) {
    SetUpRequestMail(smtp, transport, message, s, m);
  }
};

TEST(RequestMailSetUp, MapsTheStoredSettings) {
  TSmtpSettings s;
  s.Servidor = "mail.example.com";
  s.Usuario = "user";
  s.Pwd = "pw";
  s.Puerto = 25;
  s.TLS_Type = 1;
  s.SSL_VerDepht = 4;
  s.SSL_CertFile = "c.pem";
  s.SSL_KeyFile = "k.pem";
  s.SSL_RootFile = "r.pem";
  s.SSL_VerMode1 = true;
  s.SSL_VerMode3 = true;
  SetUp3 o;
  o.Run(s, {});
  EXPECT_EQ(o.smtp.IOHandler(), &o.transport);
  EXPECT_EQ(o.smtp.UseTLS(), utUseImplicitTLS);
  EXPECT_EQ(o.smtp.Port(), 25);  // the stored port wins over the implicit-TLS default
  EXPECT_EQ(o.smtp.Host(), "mail.example.com");
  EXPECT_EQ(o.smtp.Username(), "user");
  EXPECT_EQ(o.smtp.Password(), "pw");
  EXPECT_EQ(o.smtp.AuthType(), atDefault);
  const TIdSSLOptions& opt = o.transport.SSLOptions();
  EXPECT_EQ(opt.Method, sslvSSLv2);  // -1 stored
  EXPECT_EQ(opt.Mode, sslmUnassigned);
  EXPECT_EQ(opt.VerifyMode, sslvrfPeer | sslvrfClientOnce);
  EXPECT_EQ(opt.VerifyDepth, 4);
  EXPECT_EQ(opt.CertFile, "c.pem");
  EXPECT_EQ(opt.KeyFile, "k.pem");
  EXPECT_EQ(opt.RootCertFile, "r.pem");
  EXPECT_EQ(o.transport.MaxLineAction(), maException);
}

TEST(RequestMailSetUp, NegativeTypesFallBackToTheirDefaults) {
  TSmtpSettings s;
  s.TLS_Type = -1;
  s.AutType = -1;
  s.SSL_Method = 3;
  SetUp3 noPassword;
  noPassword.Run(s, {});
  EXPECT_EQ(noPassword.smtp.UseTLS(), utNoTLSSupport);
  EXPECT_EQ(noPassword.smtp.AuthType(), atNone);
  EXPECT_EQ(noPassword.transport.SSLOptions().Method, sslvTLSv1);
  s.Pwd = "pw";
  SetUp3 withPassword;
  withPassword.Run(s, {});
  EXPECT_EQ(withPassword.smtp.AuthType(), atDefault);
}

TEST(RequestMailSetUp, UnknownStoredTypesAreRefused) {
  TSmtpSettings s;
  s.TLS_Type = 4;
  SetUp3 o;
  try {
    o.Run(s, {});
    FAIL() << "no failure";
  } catch (const EIdException& e) {
    EXPECT_EQ(e.Message(), "The stored TLS type 4 is not valid.");
  }
  s.TLS_Type = 0;
  s.AutType = 3;
  EXPECT_THROW(o.Run(s, {}), EIdException);
}

TEST(RequestMailSetUp, FillsTheMessage) {
  TRequestMail m;
  m.RequestId = 5;
  m.Sender = "a@example.com";
  m.ReplyTo = "a@example.com";
  m.Recipients = "b@example.com, c@example.com";
  m.Description = "Luz fundida";
  m.BodyLines = TStringList{"line 1", "line 2"};
  SetUp3 o;
  o.Run({}, m);
  EXPECT_EQ(o.message.From().Address(), "a@example.com");
  EXPECT_EQ(o.message.ReplyTo().AddressListText(), "a@example.com");
  EXPECT_EQ(o.message.Recipients().AddressListText(), "b@example.com, c@example.com");
  EXPECT_EQ(o.message.Subject(), "QX Request 5: Luz fundida");
  EXPECT_EQ(o.message.Body().Lines(),
            (std::vector<std::string>{"Description: Luz fundida", "", "Commentaries: ",
                                      "line 1", "line 2"}));
  EXPECT_EQ(o.message.Priority(), mpNormal);
  m.Urgent = true;
  SetUp3 urgent;
  urgent.Run({}, m);
  EXPECT_EQ(urgent.message.Priority(), mpHighest);
}

TEST(RequestMailSetUp, UnreadableSenderFails) {
  TRequestMail m;
  m.Sender = "<a@example.com> b@example.com";
  SetUp3 o;
  EXPECT_THROW(o.Run({}, m), EIdEmailParseError);
}

}  // namespace
}  // namespace qx
