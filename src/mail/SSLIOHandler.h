// TIdSSLIOHandlerSocketOpenSSL: the TCP transport that can switch to TLS. Plain until the
// client handshake (at connect for implicit TLS, after STARTTLS otherwise), Secured after.
#pragma once

#include <string>

#include "mail/IOHandlerSocket.h"
#include "mail/TLSLibrary.h"

namespace qx {

enum TIdSSLVersion { sslvSSLv2 = 0, sslvSSLv23 = 1, sslvSSLv3 = 2, sslvTLSv1 = 3 };
enum TIdSSLMode { sslmUnassigned = 0, sslmClient = 1, sslmServer = 2, sslmBoth = 3 };
// Verification flags, passed to the library as they are.
enum TIdSSLVerifyModeFlag { sslvrfPeer = 1, sslvrfFailIfNoPeerCert = 2, sslvrfClientOnce = 4 };

inline constexpr const char* kMsgGetMethodError = "Error geting SSL method.";
inline constexpr const char* kMsgCreatingContextError = "Error creating SSL context.";
inline constexpr const char* kMsgLoadingRootCertError = "Could not load root certificate.";
inline constexpr const char* kMsgLoadingCertError = "Could not load certificate.";
inline constexpr const char* kMsgLoadingKeyError = "Could not load key, check password.";
inline constexpr const char* kMsgSettingCipherError = "SetCipher failed.";
inline constexpr const char* kMsgDataBindingError = "Error binding data to SSL socket.";
inline constexpr const char* kMsgConnectError = "Error connecting with SSL.";
inline constexpr const char* kMsgSSLReadError = "Error reading with SSL: %s";
inline constexpr const char* kMsgSSLWriteError = "Error writing with SSL: %s";
inline constexpr const char* kDefaultCipherList =
    "ALL:!ADH:RC4+RSA:+HIGH:+MEDIUM:+LOW:+SSLv2:+EXP";

struct TIdSSLOptions {
  // Any int may be stored (it comes from the database); values outside 0 to 3 fail at connect.
  int Method = sslvSSLv2;
  TIdSSLMode Mode = sslmUnassigned;
  int VerifyMode = 0;  // TIdSSLVerifyModeFlag bits
  int VerifyDepth = 0;
  std::string RootCertFile, CertFile, KeyFile;
  std::string CipherList;  // empty: kDefaultCipherList
};

class TIdSSLIOHandlerSocketOpenSSL : public TIdIOHandlerSocket {
 public:
  TIdSSLIOHandlerSocketOpenSSL() = default;
  ~TIdSSLIOHandlerSocketOpenSSL() override;

  TIdSSLOptions& SSLOptions() noexcept { return options_; }
  const TIdSSLOptions& SSLOptions() const noexcept { return options_; }

  // True (the default): bytes go to the socket as they are until StartSSL. False before Open:
  // the handshake runs right after the TCP connect (implicit TLS).
  bool PassThrough() const noexcept { return passThrough_; }
  void SetPassThrough(bool value) noexcept { passThrough_ = value; }
  bool Secured() const noexcept { return secured_; }

  // Connects, then builds the TLS context from SSLOptions (a missing library is forgiven
  // while the transport is plain), then handshakes when PassThrough is false. On failure
  // nothing stays open.
  void Open(const std::string& host, int port) override;
  // Client handshake on the open connection. Fails with the library's errors; when bytes of
  // the handshake were exchanged the connection is closed as well, being of no further use.
  void StartSSL();
  // Shuts down and frees the TLS object and the context, then closes the socket.
  void Close() noexcept override;

 protected:
  std::size_t ReadSome(char* buffer, std::size_t size, const Deadline& deadline) override;
  void WriteAll(std::string_view data, const Deadline& deadline) override;

 private:
  void BuildContext();
  // Waits as the library asks after a call answered `result`; false for a fatal answer.
  bool WaitAsAsked(int result, const Deadline& deadline);
  std::string LastErrorText() const;

  TIdSSLOptions options_;
  bool passThrough_ = true;
  bool secured_ = false;
  bool fatal_ = false;  // the TLS session failed: no close notification may be sent
  const tls::Api* api_ = nullptr;
  tls::Context* context_ = nullptr;
  tls::Connection* connection_ = nullptr;
};

}  // namespace qx
