// The SMTP client session: settings rules, greeting, STARTTLS, AUTH LOGIN, the envelope and
// data (step by step or pipelined) and QUIT. Every command is one line and one reply.
#include "mail/SMTP.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "mail/HeaderCoding.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

bool Accepts(std::initializer_list<int> accepted, int code) {
  return std::find(accepted.begin(), accepted.end(), code) != accepted.end();
}

// The name for EHLO/HELO: the host name, else the node name, else "localhost".
std::string LocalHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0 && name[0]) return name;
  utsname u{};
  if (uname(&u) == 0 && u.nodename[0]) return u.nodename;
  return "localhost";
}

}  // namespace

void TIdSMTP::SetUseTLS(TIdUseTLS value) {
  if (IsOpen()) throw EIdTLSClientCanNotSetWhileConnected(kMsgTLSCanNotSetWhileConnected);
  if (value != utNoTLSSupport && !TLSTransport())
    throw EIdTLSClientSSLIOHandlerRequred(kMsgSSLIOHandlerRequired);
  if (value == utUseImplicitTLS) {
    if (port_ == kSMTPPort) port_ = kSMTPImplicitTLSPort;
  } else if (port_ == kSMTPImplicitTLSPort) {
    port_ = kSMTPPort;
  }
  if (value == utUseRequireTLS || value == utUseExplicitTLS) useEhlo_ = true;
  useTLS_ = value;
}

void TIdSMTP::SetIOHandler(TIdIOHandlerSocket* value) noexcept {
  ioHandler_ = value;
  if (!TLSTransport()) useTLS_ = utNoTLSSupport;
}

TIdSSLIOHandlerSocketOpenSSL* TIdSMTP::TLSTransport() const noexcept {
  return dynamic_cast<TIdSSLIOHandlerSocketOpenSSL*>(ioHandler_);
}

TIdIOHandlerSocket& TIdSMTP::Transport() {
  if (!ioHandler_) {
    ownTransport_ = std::make_unique<TIdIOHandlerSocket>();
    ioHandler_ = ownTransport_.get();
  }
  return *ioHandler_;
}

const TIdReplySMTP& TIdSMTP::SendCmd(std::string_view command,
                                     std::initializer_list<int> accepted) {
  // A line break would smuggle a second command (or data) past this one.
  if (command.find_first_of("\r\n") != std::string_view::npos)
    throw EIdSMTPCommandError(kMsgCommandLineBreak);
  if (!IsOpen()) throw EIdNotConnected(kMsgNotConnected);
  std::string line;
  line.reserve(command.size() + 2);
  line.append(command).append("\r\n");
  ioHandler_->Write(line);
  return GetResponse(accepted);
}

const TIdReplySMTP& TIdSMTP::GetResponse(std::initializer_list<int> accepted) {
  if (!IsOpen()) throw EIdNotConnected(kMsgNotConnected);
  std::vector<std::string> lines;
  std::string first;
  do {
    first = Trim(ioHandler_->ReadLn());
  } while (first.empty());
  lines.push_back(std::move(first));
  while (!TIdReplySMTP::IsLastLine(lines.back())) lines.push_back(ioHandler_->ReadLn());
  lastReply_.SetFromLines(lines);
  if (accepted.size() > 0 && !Accepts(accepted, lastReply_.NumericCode()))
    throw EIdSMTPReplyError(lastReply_);
  return lastReply_;
}

void TIdSMTP::OpenSession() {
  if (IsOpen()) throw EIdAlreadyConnected(kMsgAlreadyConnected);
  if (host_.empty()) throw EIdHostRequired("");
  if (port_ == 0) throw EIdPortRequired("");
  authenticated_ = false;
  TIdIOHandlerSocket& transport = Transport();
  transport.SetConnectTimeout(connectTimeout_);
  transport.SetReadTimeout(readTimeout_);
  if (auto* tlsTransport = TLSTransport())
    tlsTransport->SetPassThrough(useTLS_ != utUseImplicitTLS);
  transport.Open(host_, port_);  // connect, TLS context, implicit handshake; closes on failure
  try {
    GetResponse({220});
    SendGreeting();
  } catch (...) {
    DisconnectQuietly();
    throw;
  }
}

void TIdSMTP::SendGreeting() {
  serverExtensions_.clear();
  std::string name = heloName_.empty() ? LocalHostName() : heloName_;
  if (useEhlo_) {
    const TIdReplySMTP& reply = SendCmd("EHLO " + name);
    if (reply.NumericCode() == 250) {
      const auto& text = reply.Text();
      if (text.size() > 1) serverExtensions_.assign(text.begin() + 1, text.end());
      return;
    }
  }
  SendCmd("HELO " + name, {250});
}

bool TIdSMTP::ServerOffers(std::string_view extension) const {
  return std::any_of(serverExtensions_.begin(), serverExtensions_.end(),
                     [&](const std::string& line) { return SameText(line, extension); });
}

void TIdSMTP::NegotiateTLS(TIdSSLIOHandlerSocketOpenSSL& transport) {
  bool require = useTLS_ == utUseRequireTLS;
  if (!ServerOffers("STARTTLS")) {
    if (require) throw EIdTLSClientTLSNotAvailable(kMsgStartTLSFailed);
    return;  // explicit mode goes on in plain text
  }
  if (SendCmd("STARTTLS").NumericCode() != 220)
    throw EIdTLSClientTLSNotAvailable(require ? kMsgTLSNotAvailable : kMsgStartTLSFailed);
  try {
    transport.StartSSL();
  } catch (const EIdException&) {
    throw EIdTLSClientTLSHandShakeFailed(kMsgTLSNotAvailable);
  }
  SendGreeting();
}

std::vector<std::string> TIdSMTP::AuthMechanisms() const {
  std::vector<std::string> mechanisms;
  for (const auto& extension : serverExtensions_) {
    std::string line = UpperCase(extension);
    if (line.size() < 5 || line.compare(0, 4, "AUTH") != 0 || (line[4] != ' ' && line[4] != '='))
      continue;
    std::string rest = line.substr(5);
    if (std::size_t eq = rest.find('='); eq != std::string::npos) rest[eq] = ' ';
    std::size_t at = 0;
    while (at < rest.size()) {
      std::size_t end = rest.find(' ', at);
      if (end == std::string::npos) end = rest.size();
      std::string word = rest.substr(at, end - at);
      if (!word.empty() && std::find(mechanisms.begin(), mechanisms.end(), word) == mechanisms.end())
        mechanisms.push_back(std::move(word));
      at = end + 1;
    }
  }
  return mechanisms;
}

void TIdSMTP::LoginExchange() {
  SendCmd("AUTH LOGIN", {334});
  SendCmd(EncodeBase64(username_), {334});
  SendCmd(EncodeBase64(password_), {235});
  authenticated_ = true;
}

bool TIdSMTP::SecureAndAuthenticate() {
  if (authenticated_) return true;
  auto* tlsTransport = TLSTransport();
  if (tlsTransport && useTLS_ != utNoTLSSupport && !tlsTransport->Secured()) {
    try {
      NegotiateTLS(*tlsTransport);
    } catch (...) {
      DisconnectQuietly();
      throw;
    }
  }
  std::vector<std::string> offered;
  switch (authType_) {
    case atNone:
      authenticated_ = true;
      break;
    case atDefault:
      offered = AuthMechanisms();
      if (!username_.empty() && std::find(offered.begin(), offered.end(), "LOGIN") != offered.end())
        LoginExchange();
      break;
    case atSASL:
      if (saslMechanisms_.empty()) throw EIdSASLMechNeeded(kMsgSASLMechNeeded);
      // The first listed mechanism the server offers and this client speaks (LOGIN).
      offered = AuthMechanisms();
      for (const auto& mechanism : saslMechanisms_) {
        if (SameText(mechanism, "LOGIN") &&
            std::find(offered.begin(), offered.end(), "LOGIN") != offered.end()) {
          LoginExchange();
          break;
        }
      }
      break;
  }
  return authenticated_;
}

void TIdSMTP::TransferMessage(TIdMessage& message) {
  SecureAndAuthenticate();
  message.ExtraHeaders().PutHeader("X-Mailer", mailAgent_);

  // To, Cc and Bcc as one list; empty entries between the commas make no recipient.
  TIdEMailAddressList recipients;
  recipients.SetAddressListText(message.Recipients().AddressListText() + ", " +
                                message.CCList().AddressListText() + ", " +
                                message.BccList().AddressListText());

  // The whole message is composed before the envelope, so a message that cannot be written
  // fails before the server has been asked for anything.
  std::string data;
  message.WriteMessage([&data](std::string_view line) { data.append(line).append("\r\n"); });
  data += ".\r\n";

  const std::string from = message.From().Address();
  if (pipeLine_ && ServerOffers("PIPELINING")) SendPipelined(from, recipients, data);
  else SendStepByStep(from, recipients, data);
}

void TIdSMTP::ResetQuietly() noexcept {
  try {
    SendCmd("RSET");
  } catch (const std::exception&) {
    // The refusal being raised is what the caller needs to know.
  }
}

void TIdSMTP::SendStepByStep(const std::string& from, const TIdEMailAddressList& recipients,
                             const std::string& data) {
  SendCmd("RSET");
  SendCmd("MAIL FROM: <" + from + ">", {250});
  try {
    for (const auto& recipient : recipients)
      SendCmd("RCPT TO:<" + recipient.Address() + ">", {250, 251});
    SendCmd("DATA", {354});
    ioHandler_->Write(data);
    GetResponse({250});
  } catch (const EIdSMTPReplyError&) {
    ResetQuietly();
    throw;
  }
}

void TIdSMTP::SendPipelined(const std::string& from, const TIdEMailAddressList& recipients,
                            const std::string& data) {
  std::vector<std::string> commands{"RSET", "MAIL FROM: <" + from + ">"};
  for (const auto& recipient : recipients)
    commands.push_back("RCPT TO:<" + recipient.Address() + ">");
  commands.push_back("DATA");
  std::string batch;
  for (const auto& command : commands) {
    if (command.find_first_of("\r\n") != std::string::npos)
      throw EIdSMTPCommandError(kMsgCommandLineBreak);
    batch.append(command).append("\r\n");
  }
  if (!IsOpen()) throw EIdNotConnected(kMsgNotConnected);
  ioHandler_->Write(batch);  // the whole envelope in one write: one round trip

  std::optional<EIdSMTPReplyError> failure;
  auto expect = [&](std::initializer_list<int> accepted) {
    const TIdReplySMTP& reply = GetResponse();
    bool ok = Accepts(accepted, reply.NumericCode());
    if (!ok && !failure) failure.emplace(reply);
    return ok;
  };
  expect({250});  // RSET
  expect({250});  // MAIL FROM
  for (int i = 0; i < recipients.Count(); ++i) expect({250, 251});
  if (expect({354})) {
    // Sent even after a refused recipient: the server delivers to the accepted ones.
    ioHandler_->Write(data);
    expect({250});
  }
  if (failure) {
    ResetQuietly();
    throw *failure;
  }
}

void TIdSMTP::CloseSession() {
  if (IsOpen()) {
    try {
      SendCmd("QUIT", {221});
    } catch (...) {
      if (ioHandler_) ioHandler_->Close();
      throw;
    }
  }
  if (ioHandler_) ioHandler_->Close();
  authenticated_ = false;
}

void TIdSMTP::DisconnectQuietly() noexcept {
  try {
    CloseSession();
  } catch (const std::exception&) {
    authenticated_ = false;  // closed all the same; the earlier failure is the one to report
  }
}

}  // namespace qx
