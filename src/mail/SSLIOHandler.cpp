// The TLS side of the mail transport: the context built from the options at every connect,
// the client handshake, and reads and writes through the library once Secured.
#include "mail/SSLIOHandler.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <climits>

#include "mail/MailExceptions.h"
#include "runtime/Format.h"

namespace qx {

namespace {

// The library writes to the socket itself; a peer that has gone away must not kill the
// process with SIGPIPE. Blocks the signal on this thread for the call and discards one
// raised meanwhile. Keeps errno as the library left it.
class SigPipeBlock {
 public:
  SigPipeBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~SigPipeBlock() {
    int saved = errno;
    if (!wasPending_) {
      timespec zero{};
      sigtimedwait(&pipe_, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    errno = saved;
  }
  SigPipeBlock(const SigPipeBlock&) = delete;
  SigPipeBlock& operator=(const SigPipeBlock&) = delete;

 private:
  sigset_t pipe_, previous_;
  bool wasPending_ = false;
};

// Encrypted keys get an empty password: no hook asks for one, and the library must never
// prompt on the terminal of a server.
int NoPassword(char*, int, int, void*) { return 0; }

constexpr unsigned long kSystemErrorFlag = 1UL << 31;

}  // namespace

TIdSSLIOHandlerSocketOpenSSL::~TIdSSLIOHandlerSocketOpenSSL() {
  TIdSSLIOHandlerSocketOpenSSL::Close();
}

void TIdSSLIOHandlerSocketOpenSSL::Open(const std::string& host, int port) {
  TIdIOHandlerSocket::Open(host, port);
  try {
    try {
      BuildContext();
    } catch (const EIdOSSLCouldNotLoadSSLLibrary&) {
      if (!passThrough_) throw;  // plain connections go on without the library
    }
    if (!passThrough_) StartSSL();
  } catch (...) {
    Close();
    throw;
  }
}

void TIdSSLIOHandlerSocketOpenSSL::BuildContext() {
  const tls::Api& a = tls::InitializedApi();
  api_ = &a;
  TIdSSLMode mode = options_.Mode == sslmUnassigned ? sslmClient : options_.Mode;
  if (options_.Method < sslvSSLv2 || options_.Method > sslvTLSv1)
    throw EIdOSSLGetMethodError(kMsgGetMethodError);
  // OpenSSL 3 offers one version-flexible method per role; the requested family becomes a
  // protocol range on it.
  const tls::Method* method = mode == sslmClient   ? a.TLS_client_method()
                              : mode == sslmServer ? a.TLS_server_method()
                                                   : a.TLS_method();
  if (!method) throw EIdOSSLGetMethodError(kMsgGetMethodError);
  a.ERR_clear_error();
  context_ = a.SSL_CTX_new(method);
  if (!context_) throw EIdOSSLCreatingContextError(kMsgCreatingContextError);
  try {
    // SSL 2.0 and 3.0 are gone and TLS 1.0 alone is refused by current peers: the old
    // families ask for TLS 1.0 or later, the generic one keeps the library's range.
    if (options_.Method != sslvSSLv23)
      a.SSL_CTX_ctrl(context_, tls::kCtrlSetMinProtoVersion, tls::kTLS1Version, nullptr);
    a.SSL_CTX_set_default_passwd_cb(context_, NoPassword);
    a.SSL_CTX_set_default_passwd_cb_userdata(context_, nullptr);
    a.SSL_CTX_set_default_verify_paths(context_);
    const std::string& root = options_.RootCertFile;
    if (!root.empty() && a.SSL_CTX_load_verify_locations(context_, root.c_str(), nullptr) <= 0)
      throw EIdOSSLLoadingRootCertError(kMsgLoadingRootCertError);
    const std::string& cert = options_.CertFile;
    if (!cert.empty() &&
        a.SSL_CTX_use_certificate_file(context_, cert.c_str(), tls::kFileTypePEM) <= 0)
      throw EIdOSSLLoadingCertError(kMsgLoadingCertError);
    const std::string& key = options_.KeyFile;
    if (!key.empty() &&
        (a.SSL_CTX_use_PrivateKey_file(context_, key.c_str(), tls::kFileTypePEM) <= 0 ||
         a.SSL_CTX_check_private_key(context_) <= 0))
      throw EIdOSSLLoadingKeyError(kMsgLoadingKeyError);
    const std::string& ciphers =
        options_.CipherList.empty() ? std::string(kDefaultCipherList) : options_.CipherList;
    if (a.SSL_CTX_set_cipher_list(context_, ciphers.c_str()) <= 0)
      throw EIdOSSLSettingCipherError(kMsgSettingCipherError);
    if (options_.VerifyMode != 0) {
      a.SSL_CTX_set_verify(context_, options_.VerifyMode, nullptr);
      a.SSL_CTX_set_verify_depth(context_, options_.VerifyDepth);
    }
    if (!root.empty()) {
      if (tls::NameStack* names = a.SSL_load_client_CA_file(root.c_str()))
        a.SSL_CTX_set_client_CA_list(context_, names);
    }
  } catch (...) {
    a.SSL_CTX_free(context_);
    context_ = nullptr;
    a.ERR_clear_error();
    throw;
  }
}

void TIdSSLIOHandlerSocketOpenSSL::StartSSL() {
  if (!Connected()) throw EIdNotConnected(kMsgNotConnected);
  if (!context_) throw EIdOSSLCouldNotLoadSSLLibrary(kMsgCouldNotLoadSSLLibrary);
  const tls::Api& a = *api_;
  a.ERR_clear_error();
  connection_ = a.SSL_new(context_);
  if (!connection_) throw EIdOSSLConnectError(kMsgConnectError);
  auto release = [&] {
    a.SSL_free(connection_);
    connection_ = nullptr;
    a.ERR_clear_error();
  };
  if (a.SSL_set_ex_data(connection_, 0, this) <= 0) {
    release();
    throw EIdOSSLDataBindingError(kMsgDataBindingError);
  }
  if (a.SSL_set_fd(connection_, Socket()) <= 0) {
    release();
    throw EIdOSSLConnectError(kMsgConnectError);
  }
  Deadline deadline = DeadlineFromNow(ReadTimeout());
  bool done = false;
  try {
    while (!done) {
      int result;
      {
        SigPipeBlock guard;
        result = a.SSL_connect(connection_);
      }
      done = result == 1;
      if (!done && !WaitAsAsked(result, deadline)) break;
    }
  } catch (const EIdException&) {  // the peer fell silent or the socket failed
    done = false;
  }
  if (!done) {
    fatal_ = true;
    Close();
    throw EIdOSSLConnectError(kMsgConnectError);
  }
  secured_ = true;
}

bool TIdSSLIOHandlerSocketOpenSSL::WaitAsAsked(int result, const Deadline& deadline) {
  int error = api_->SSL_get_error(connection_, result);
  if (error == tls::kErrorWantRead) WaitFor(POLLIN, deadline);
  else if (error == tls::kErrorWantWrite) WaitFor(POLLOUT, deadline);
  else return false;
  return true;
}

std::string TIdSSLIOHandlerSocketOpenSSL::LastErrorText() const {
  unsigned long code = api_->ERR_get_error();
  if (code == 0) return "unknown error";
  char text[256];
  api_->ERR_error_string_n(code, text, sizeof text);
  api_->ERR_clear_error();
  return text;
}

std::size_t TIdSSLIOHandlerSocketOpenSSL::ReadSome(char* buffer, std::size_t size,
                                                   const Deadline& deadline) {
  if (!secured_) return TIdIOHandlerSocket::ReadSome(buffer, size, deadline);
  const tls::Api& a = *api_;
  int wanted = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
  while (true) {
    a.ERR_clear_error();
    errno = 0;
    int result;
    {
      SigPipeBlock guard;
      result = a.SSL_read(connection_, buffer, wanted);
    }
    if (result > 0) return static_cast<std::size_t>(result);
    int systemError = errno;
    if (WaitAsAsked(result, deadline)) continue;
    int error = a.SSL_get_error(connection_, result);
    if (error == tls::kErrorZeroReturn) return 0;  // the peer closed the TLS session
    fatal_ = true;
    if (error == tls::kErrorSyscall) {
      if (systemError == 0) return 0;  // the peer closed the socket without notice
      RaiseSocketError(systemError);
    }
    unsigned long pending = a.ERR_peek_error();
    if (error == tls::kErrorSSL && (pending & kSystemErrorFlag) == 0 &&
        (pending & tls::kReasonMask) == tls::kReasonUnexpectedEOF)
      return 0;
    throw EIdOpenSSLError(Format(kMsgSSLReadError, {LastErrorText()}));
  }
}

void TIdSSLIOHandlerSocketOpenSSL::WriteAll(std::string_view data, const Deadline& deadline) {
  if (!secured_) return TIdIOHandlerSocket::WriteAll(data, deadline);
  const tls::Api& a = *api_;
  while (!data.empty()) {
    a.ERR_clear_error();
    errno = 0;
    int chunk = static_cast<int>(std::min<std::size_t>(data.size(), INT_MAX));
    int result;
    {
      SigPipeBlock guard;
      result = a.SSL_write(connection_, data.data(), chunk);
    }
    if (result > 0) {
      data.remove_prefix(static_cast<std::size_t>(result));
      continue;
    }
    int systemError = errno;
    if (WaitAsAsked(result, deadline)) continue;
    fatal_ = true;
    if (a.SSL_get_error(connection_, result) == tls::kErrorSyscall && systemError != 0)
      RaiseSocketError(systemError);
    throw EIdOpenSSLError(Format(kMsgSSLWriteError, {LastErrorText()}));
  }
}

void TIdSSLIOHandlerSocketOpenSSL::Close() noexcept {
  if (connection_) {
    if (secured_ && !fatal_ && Connected()) {
      SigPipeBlock guard;
      api_->SSL_shutdown(connection_);  // one close notification, no wait for the answer
    }
    api_->SSL_free(connection_);
    connection_ = nullptr;
  }
  if (context_) {
    api_->SSL_CTX_free(context_);
    context_ = nullptr;
  }
  if (api_) api_->ERR_clear_error();
  secured_ = false;
  fatal_ = false;
  TIdIOHandlerSocket::Close();
}

}  // namespace qx
