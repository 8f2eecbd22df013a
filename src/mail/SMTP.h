// TIdSMTP: the SMTP client session of one mail: connect (optionally over implicit TLS),
// greeting, STARTTLS, AUTH LOGIN, the envelope step by step or pipelined, the data and QUIT.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/IOHandlerSocket.h"
#include "mail/Message.h"
#include "mail/SMTPReply.h"
#include "mail/SSLIOHandler.h"

namespace qx {

enum TIdSMTPAuthenticationType { atNone = 0, atDefault = 1, atSASL = 2 };
enum TIdUseTLS {
  utNoTLSSupport = 0,
  utUseImplicitTLS = 1,
  utUseRequireTLS = 2,
  utUseExplicitTLS = 3
};

inline constexpr const char* kMsgAlreadyConnected = "Already connected.";
inline constexpr const char* kMsgTLSCanNotSetWhileConnected =
    "This value can not be set while the client is connected.";
inline constexpr const char* kMsgSSLIOHandlerRequired = "SSL IOHandler is required for this setting";
inline constexpr const char* kMsgStartTLSFailed = "Start SSL negotiation command failed.";
inline constexpr const char* kMsgTLSNotAvailable = "SSL is not available on this server.";
inline constexpr const char* kMsgSASLMechNeeded = "Need SASL mechanisms to login with it!!";
inline constexpr const char* kMsgCommandLineBreak = "An SMTP command cannot hold a line break.";

inline constexpr int kSMTPPort = 25;
inline constexpr int kSMTPImplicitTLSPort = 465;
// Connect and read limit: a silent server gives up the request thread after a minute.
inline constexpr int kSMTPDefaultTimeout = 60000;

// One client per mail, used by one thread. The transport is attached, not owned; when none
// is attached the client connects through a plain transport of its own.
class TIdSMTP {
 public:
  TIdSMTP() = default;
  // An attached transport is left alone (it closes itself when it is freed); the client's
  // own transport closes with the client.
  ~TIdSMTP() = default;
  TIdSMTP(const TIdSMTP&) = delete;
  TIdSMTP& operator=(const TIdSMTP&) = delete;

  const std::string& Host() const noexcept { return host_; }
  void SetHost(std::string value) { host_ = std::move(value); }
  int Port() const noexcept { return port_; }
  void SetPort(int value) noexcept { port_ = value; }
  const std::string& Username() const noexcept { return username_; }
  void SetUsername(std::string value) { username_ = std::move(value); }
  const std::string& Password() const noexcept { return password_; }
  void SetPassword(std::string value) { password_ = std::move(value); }
  TIdSMTPAuthenticationType AuthType() const noexcept { return authType_; }
  void SetAuthType(TIdSMTPAuthenticationType value) noexcept { authType_ = value; }
  TIdUseTLS UseTLS() const noexcept { return useTLS_; }
  // Fails while connected, and for a TLS mode without a TLS transport. Moves the port
  // between 25 and 465 with the implicit mode; STARTTLS modes turn UseEhlo on.
  void SetUseTLS(TIdUseTLS value);
  bool UseEhlo() const noexcept { return useEhlo_; }
  void SetUseEhlo(bool value) noexcept { useEhlo_ = value; }
  bool PipeLine() const noexcept { return pipeLine_; }
  void SetPipeLine(bool value) noexcept { pipeLine_ = value; }
  const std::string& HeloName() const noexcept { return heloName_; }
  void SetHeloName(std::string value) { heloName_ = std::move(value); }
  const std::string& MailAgent() const noexcept { return mailAgent_; }
  void SetMailAgent(std::string value) { mailAgent_ = std::move(value); }
  std::vector<std::string>& SASLMechanisms() noexcept { return saslMechanisms_; }
  TIdIOHandlerSocket* IOHandler() const noexcept { return ioHandler_; }
  // Attaching a transport that cannot do TLS (or none) resets UseTLS to utNoTLSSupport.
  void SetIOHandler(TIdIOHandlerSocket* value) noexcept;
  // Milliseconds; zero or less waits without limit.
  int ReadTimeout() const noexcept { return readTimeout_; }
  void SetReadTimeout(int ms) noexcept { readTimeout_ = ms; }
  int ConnectTimeout() const noexcept { return connectTimeout_; }
  void SetConnectTimeout(int ms) noexcept { connectTimeout_ = ms; }

  const std::vector<std::string>& ServerExtensions() const noexcept { return serverExtensions_; }
  const TIdReplySMTP& LastReply() const noexcept { return lastReply_; }
  bool Authenticated() const noexcept { return authenticated_; }

  // Connects, handshakes under implicit TLS, reads the 220 greeting and greets with EHLO
  // (HELO when refused). On failure the connection is closed again.
  void OpenSession();
  // STARTTLS and AUTH once per connection, then RSET, MAIL FROM, RCPT TO per recipient of
  // To, Cc and Bcc, DATA and the message, pipelined when the server offers it.
  void TransferMessage(TIdMessage& message);
  // QUIT when connected, then close; a QUIT reply other than 221 is raised after the close.
  void CloseSession();
  bool IsOpen() const noexcept { return ioHandler_ ? ioHandler_->Connected() : false; }
  // STARTTLS as UseTLS asks and authentication as AuthType asks; true when authenticated or
  // when no authentication is asked for.
  bool SecureAndAuthenticate();

 private:
  TIdIOHandlerSocket& Transport();
  TIdSSLIOHandlerSocketOpenSSL* TLSTransport() const noexcept;
  const TIdReplySMTP& SendCmd(std::string_view command, std::initializer_list<int> accepted = {});
  // Reads one reply; with `accepted` not empty, raises EIdSMTPReplyError for other codes.
  const TIdReplySMTP& GetResponse(std::initializer_list<int> accepted = {});
  void SendGreeting();
  void NegotiateTLS(TIdSSLIOHandlerSocketOpenSSL& transport);
  std::vector<std::string> AuthMechanisms() const;
  void LoginExchange();
  bool ServerOffers(std::string_view extension) const;
  void SendStepByStep(const std::string& from, const TIdEMailAddressList& recipients,
                      const std::string& data);
  void SendPipelined(const std::string& from, const TIdEMailAddressList& recipients,
                     const std::string& data);
  // RSET after a refused envelope or data; its own failure does not hide the refusal.
  void ResetQuietly() noexcept;
  // CloseSession without raising: used when an earlier failure is the one to report.
  void DisconnectQuietly() noexcept;

  std::string host_;
  int port_ = kSMTPPort;
  std::string username_, password_;
  TIdSMTPAuthenticationType authType_ = atDefault;
  TIdUseTLS useTLS_ = utNoTLSSupport;
  bool useEhlo_ = true;
  bool pipeLine_ = true;
  std::string heloName_, mailAgent_;
  std::vector<std::string> saslMechanisms_;
  TIdIOHandlerSocket* ioHandler_ = nullptr;
  std::unique_ptr<TIdIOHandlerSocket> ownTransport_;
  int readTimeout_ = kSMTPDefaultTimeout;
  int connectTimeout_ = kSMTPDefaultTimeout;

  std::vector<std::string> serverExtensions_;
  TIdReplySMTP lastReply_;
  bool authenticated_ = false;
};

}  // namespace qx
