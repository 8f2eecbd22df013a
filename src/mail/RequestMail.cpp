// Request mails from the stored SMTP settings: the mapping of the qxsmtp values onto the
// client, the transport and the message, and the send with its clean-up.
#include "mail/RequestMail.h"

#include "mail/MailExceptions.h"
#include "runtime/Format.h"

namespace qx {

void SetUpRequestMail(TIdSMTP& smtp, TIdSSLIOHandlerSocketOpenSSL& transport,
                      TIdMessage& message, const TSmtpSettings& s, const TRequestMail& mail) {
  if (s.TLS_Type > utUseExplicitTLS)
    throw EIdException(Format(kMsgInvalidTLSType, {s.TLS_Type}));
  if (s.AutType > atSASL) throw EIdException(Format(kMsgInvalidAuthType, {s.AutType}));

  smtp.SetIOHandler(nullptr);
  transport.SetMaxLineAction(maException);
  TIdSSLOptions& options = transport.SSLOptions();
  options.Method = s.SSL_Method >= 0 ? s.SSL_Method : sslvSSLv2;
  options.Mode = sslmUnassigned;
  options.VerifyMode = 0;
  options.VerifyDepth = s.SSL_VerDepht;
  options.CertFile = s.SSL_CertFile;
  options.KeyFile = s.SSL_KeyFile;
  options.RootCertFile = s.SSL_RootFile;
  if (s.SSL_VerMode1) options.VerifyMode |= sslvrfPeer;
  if (s.SSL_VerMode2) options.VerifyMode |= sslvrfFailIfNoPeerCert;
  if (s.SSL_VerMode3) options.VerifyMode |= sslvrfClientOnce;

  smtp.SetIOHandler(&transport);
  smtp.SetUseTLS(s.TLS_Type < 0 ? utNoTLSSupport : static_cast<TIdUseTLS>(s.TLS_Type));
  smtp.SetAuthType(s.AutType >= 0 ? static_cast<TIdSMTPAuthenticationType>(s.AutType)
                   : s.Pwd.empty() ? atNone
                                   : atDefault);
  smtp.SetHost(s.Servidor);
  smtp.SetUsername(s.Usuario);
  smtp.SetPassword(s.Pwd);
  smtp.SetPort(s.Puerto);  // after UseTLS, so the stored port wins

  message.From().SetText(mail.Sender);
  message.ReplyTo().SetAddressListText(mail.ReplyTo);
  message.SetSubject(Format("QX Request %d: ", {mail.RequestId}) + mail.Description);
  message.Recipients().SetAddressListText(mail.Recipients);
  TStringList& body = message.Body();
  body.Clear();
  body.Add("Description: " + mail.Description);
  body.Add("");
  body.Add("Commentaries: ");
  body.Append(mail.BodyLines);
  message.ReceiptRecipient() = TIdEMailAddressItem();  // no read receipt
  message.SetPriority(mail.Urgent ? mpHighest : mpNormal);
}

void DeliverRequestMail(const TSmtpSettings& settings, const TRequestMail& mail, int timeoutMs) {
  // Declared in this order so the client, which refers to the transport, goes first.
  TIdSSLIOHandlerSocketOpenSSL transport;
  TIdMessage message;
  TIdSMTP smtp;
  SetUpRequestMail(smtp, transport, message, settings, mail);
  smtp.SetConnectTimeout(timeoutMs);
  smtp.SetReadTimeout(timeoutMs);
  try {
    smtp.OpenSession();
    smtp.TransferMessage(message);
  } catch (...) {
    try {
      if (smtp.IsOpen()) smtp.CloseSession();
    } catch (const std::exception&) {
      // The failure of the send is the one to report.
    }
    throw;
  }
  try {
    if (smtp.IsOpen()) smtp.CloseSession();
  } catch (const std::exception&) {
    // The server has accepted the mail; a failing goodbye does not undo that.
  }
}

}  // namespace qx
