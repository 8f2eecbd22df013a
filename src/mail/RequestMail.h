// One request mail from the stored SMTP settings: configures the client, the TLS transport and
// the message the way the session sends request mails, and sends it.
#pragma once

#include <string>

#include "mail/Message.h"
#include "mail/SMTP.h"
#include "mail/SSLIOHandler.h"
#include "runtime/StringList.h"

namespace qx {

inline constexpr const char* kMsgInvalidTLSType = "The stored TLS type %d is not valid.";
inline constexpr const char* kMsgInvalidAuthType = "The stored authentication type %d is not valid.";

// The SMTP settings of the qxsmtp row, with the values a session holds before reading it.
struct TSmtpSettings {
  std::string Servidor, Usuario, Pwd;
  int Puerto = 0;
  int TLS_Type = 0;      // 0 none, 1 implicit, 2 required, 3 explicit; below 0 none
  int SSL_Method = -1;   // 0 SSLv2, 1 SSLv23, 2 SSLv3, 3 TLSv1; below 0 means 0
  int SSL_VerDepht = 0;
  int AutType = 1;       // 0 none, 1 default, 2 SASL; below 0 default when Pwd is set
  std::string SSL_CertFile, SSL_KeyFile, SSL_RootFile;
  bool SSL_VerMode1 = false, SSL_VerMode2 = false, SSL_VerMode3 = false;
};

// The settings of a qxsmtp row: `row` is a dataset on the row (anything with FieldByName whose
// fields read AsString, AsInteger and AsBoolean), so that this layer needs no database types.
template <class Row>
TSmtpSettings SmtpSettingsFromRow(const Row& row) {
  TSmtpSettings s;
  s.Servidor = row.FieldByName("Servidor").AsString();
  s.Usuario = row.FieldByName("Usuario").AsString();
  s.Pwd = row.FieldByName("Pwd").AsString();
  s.Puerto = row.FieldByName("Puerto").AsInteger();
  s.TLS_Type = row.FieldByName("TLS_Type").AsInteger();
  s.SSL_Method = row.FieldByName("SSL_Method").AsInteger();
  s.SSL_VerDepht = row.FieldByName("SSL_VerDepht").AsInteger();
  s.AutType = row.FieldByName("AutType").AsInteger();
  s.SSL_CertFile = row.FieldByName("SSL_CertFile").AsString();
  s.SSL_KeyFile = row.FieldByName("SSL_KeyFile").AsString();
  s.SSL_RootFile = row.FieldByName("SSL_RootFile").AsString();
  s.SSL_VerMode1 = row.FieldByName("SSL_VerMode1").AsBoolean();
  s.SSL_VerMode2 = row.FieldByName("SSL_VerMode2").AsBoolean();
  s.SSL_VerMode3 = row.FieldByName("SSL_VerMode3").AsBoolean();
  return s;
}

// What one mail about a request says.
struct TRequestMail {
  int RequestId = 0;
  std::string Sender;      // the user's address
  bool Urgent = false;     // X-Priority 1
  TStringList BodyLines;   // the user's comments
  std::string Recipients;  // comma-separated address list
  std::string Description;
  std::string ReplyTo;
};

// Sets the transport's options, attaches it, sets the client from `settings` and fills the
// message: subject "QX Request <n>: <description>", body "Description: ...", an empty line,
// "Commentaries: " and the comment lines. Fails for stored TLS or authentication types
// outside their ranges and for unreadable addresses (EIdEmailParseError).
void SetUpRequestMail(TIdSMTP& smtp, TIdSSLIOHandlerSocketOpenSSL& transport,
                      TIdMessage& message, const TSmtpSettings& settings,
                      const TRequestMail& mail);

// Creates the three objects, sets them up, connects, sends and disconnects; every object is
// freed and the connection closed whatever happens. Raises the failure when the mail was not
// accepted. Once the server has accepted the data the mail counts as sent, even when the
// goodbye fails. `timeoutMs` limits the connect and every read and write.
void DeliverRequestMail(const TSmtpSettings& settings, const TRequestMail& mail,
                        int timeoutMs = kSMTPDefaultTimeout);

}  // namespace qx
