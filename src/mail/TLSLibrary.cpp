// Run-time loading of OpenSSL 3 (libcrypto.so.3, libssl.so.3) and its one-time initialisation.
// The library is thread-safe by itself; this file only makes loading and set-up happen once.
#include "mail/TLSLibrary.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "mail/MailExceptions.h"

namespace qx {

namespace {

constexpr const char* kCryptoLibraryFile = "libcrypto.so.3";
constexpr const char* kSslLibraryFile = "libssl.so.3";
constexpr std::uint64_t kInitLoadCryptoStrings = 0x00000002;
constexpr std::uint64_t kInitLoadSslStrings = 0x00200000;

// Guards every variable below. Once gInitialised is true the entry points never change
// again, so callers use the returned table without the lock.
std::mutex gMutex;
void* gCrypto = nullptr;  // loaded crypto library
void* gSsl = nullptr;     // loaded TLS library; set only when every entry point resolved
tls::Api gApi{};
bool gInitialised = false;

std::string LibraryPath(const char* file) {
  const char* dir = std::getenv(kTLSLibraryDirVariable);
  if (!dir || !*dir) return file;
  std::string path = dir;
  if (path.back() != '/') path += '/';
  return path + file;
}

template <class Fn>
bool Resolve(void* library, const char* name, Fn& slot) {
  void* address = dlsym(library, name);
  slot = reinterpret_cast<Fn>(address);
  return address != nullptr;
}

bool ResolveAll(void* crypto, void* ssl, tls::Api& a) {
  bool ok = true;
  ok &= Resolve(crypto, "ERR_get_error", a.ERR_get_error);
  ok &= Resolve(crypto, "ERR_peek_error", a.ERR_peek_error);
  ok &= Resolve(crypto, "ERR_clear_error", a.ERR_clear_error);
  ok &= Resolve(crypto, "ERR_error_string_n", a.ERR_error_string_n);
  ok &= Resolve(ssl, "OPENSSL_init_ssl", a.OPENSSL_init_ssl);
  ok &= Resolve(ssl, "TLS_client_method", a.TLS_client_method);
  ok &= Resolve(ssl, "TLS_server_method", a.TLS_server_method);
  ok &= Resolve(ssl, "TLS_method", a.TLS_method);
  ok &= Resolve(ssl, "SSL_CTX_new", a.SSL_CTX_new);
  ok &= Resolve(ssl, "SSL_CTX_free", a.SSL_CTX_free);
  ok &= Resolve(ssl, "SSL_CTX_ctrl", a.SSL_CTX_ctrl);
  ok &= Resolve(ssl, "SSL_CTX_set_cipher_list", a.SSL_CTX_set_cipher_list);
  ok &= Resolve(ssl, "SSL_CTX_use_certificate_file", a.SSL_CTX_use_certificate_file);
  ok &= Resolve(ssl, "SSL_CTX_use_PrivateKey_file", a.SSL_CTX_use_PrivateKey_file);
  ok &= Resolve(ssl, "SSL_CTX_check_private_key", a.SSL_CTX_check_private_key);
  ok &= Resolve(ssl, "SSL_CTX_load_verify_locations", a.SSL_CTX_load_verify_locations);
  ok &= Resolve(ssl, "SSL_CTX_set_default_verify_paths", a.SSL_CTX_set_default_verify_paths);
  ok &= Resolve(ssl, "SSL_load_client_CA_file", a.SSL_load_client_CA_file);
  ok &= Resolve(ssl, "SSL_CTX_set_client_CA_list", a.SSL_CTX_set_client_CA_list);
  ok &= Resolve(ssl, "SSL_CTX_set_verify", a.SSL_CTX_set_verify);
  ok &= Resolve(ssl, "SSL_CTX_set_verify_depth", a.SSL_CTX_set_verify_depth);
  ok &= Resolve(ssl, "SSL_CTX_set_default_passwd_cb", a.SSL_CTX_set_default_passwd_cb);
  ok &= Resolve(ssl, "SSL_CTX_set_default_passwd_cb_userdata",
                a.SSL_CTX_set_default_passwd_cb_userdata);
  ok &= Resolve(ssl, "SSL_new", a.SSL_new);
  ok &= Resolve(ssl, "SSL_free", a.SSL_free);
  ok &= Resolve(ssl, "SSL_set_ex_data", a.SSL_set_ex_data);
  ok &= Resolve(ssl, "SSL_set_fd", a.SSL_set_fd);
  ok &= Resolve(ssl, "SSL_connect", a.SSL_connect);
  ok &= Resolve(ssl, "SSL_read", a.SSL_read);
  ok &= Resolve(ssl, "SSL_write", a.SSL_write);
  ok &= Resolve(ssl, "SSL_get_error", a.SSL_get_error);
  ok &= Resolve(ssl, "SSL_shutdown", a.SSL_shutdown);
  return ok;
}

// Called with gMutex held.
bool LoadLocked() {
  if (!gCrypto) gCrypto = dlopen(LibraryPath(kCryptoLibraryFile).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!gCrypto) return false;
  if (gSsl) return true;
  void* ssl = dlopen(LibraryPath(kSslLibraryFile).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!ssl) return false;
  tls::Api api{};
  if (!ResolveAll(gCrypto, ssl, api)) {
    dlclose(ssl);  // nothing was called in it yet
    return false;
  }
  gApi = api;
  gSsl = ssl;
  return true;
}

}  // namespace

bool LoadTLSLibrary() {
  std::lock_guard lock(gMutex);
  return LoadLocked();
}

namespace tls {

const Api& InitializedApi() {
  std::lock_guard lock(gMutex);
  if (gInitialised) return gApi;
  if (!LoadLocked()) throw EIdOSSLCouldNotLoadSSLLibrary(kMsgCouldNotLoadSSLLibrary);
  if (gApi.OPENSSL_init_ssl(kInitLoadSslStrings | kInitLoadCryptoStrings, nullptr) <= 0)
    throw EIdOSSLCouldNotLoadSSLLibrary(kMsgCouldNotLoadSSLLibrary);
  gInitialised = true;
  return gApi;
}

}  // namespace tls

}  // namespace qx
