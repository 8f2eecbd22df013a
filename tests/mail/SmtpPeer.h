// A real SMTP server for end-to-end mail tests: tests/mail/smtp_peer.py (aiosmtpd) run by the
// system python3 on 127.0.0.1, plus a certificate made at test time with the openssl tool.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace qx::test {

struct TestCertificate {
  std::string CertFile, KeyFile;
};
// A self-signed certificate for "localhost" and its key, written into `folder` as
// <name>.crt and <name>.key; with `passphrase` the key is encrypted with it. Throws when the
// openssl tool fails.
TestCertificate MakeCertificate(const std::string& folder, const std::string& name,
                                const std::string& passphrase = "");

// A mail as the peer stored it.
struct StoredMail {
  std::string From;
  std::vector<std::string> Recipients;
  std::vector<std::string> HeaderLines;  // as received, folded lines included
  std::vector<std::string> BodyLines;    // after the blank line, dot-stuffing removed
  // Header names in order (continuation lines skipped).
  std::vector<std::string> HeaderNames() const;
  // The value of the first header `name`, continuation lines joined.
  std::string Header(const std::string& name) const;
};

class SmtpPeer {
 public:
  enum Mode { Plain, StartTLS, ImplicitTLS };
  static constexpr const char* kUser = "mailer";
  static constexpr const char* kPassword = "secret";

  // True when the system python3 can import aiosmtpd.
  static bool Available();

  SmtpPeer(Mode mode, const TestCertificate& certificate, const std::string& folder);
  ~SmtpPeer();
  SmtpPeer(const SmtpPeer&) = delete;
  SmtpPeer& operator=(const SmtpPeer&) = delete;

  int Port() const noexcept { return port_; }
  // The mails stored so far, in the order they arrived.
  std::vector<StoredMail> Mails() const;
  // What the peer wrote on its standard error (for failure messages).
  std::string Log() const;

 private:
  // Closes the peer's input, which makes it exit, and reaps it.
  void Stop() noexcept;
  std::string folder_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// One way of reaching the peer, for tests run in each: the peer's mode and the stored TLS type
// (qxsmtp.TLS_Type) the client uses against it; `name` names the test case.
struct SmtpModeCase {
  const char* name;
  SmtpPeer::Mode peer;
  int tlsType;
};
inline void PrintTo(const SmtpModeCase& c, std::ostream* os) { *os << c.name; }

}  // namespace qx::test
