// The process-wide TLS library (OpenSSL 3), loaded at run time by file name so that a host
// without it still runs and only TLS connections fail. Loaded and initialised once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// Raised (as EIdOSSLCouldNotLoadSSLLibrary) when the library is missing or incomplete.
inline constexpr const char* kMsgCouldNotLoadSSLLibrary = "Could not load SSL library.";

// Names the folder that holds libssl.so.3 and libcrypto.so.3 instead of the system's
// search path (an empty or missing folder makes the library missing).
inline constexpr const char* kTLSLibraryDirVariable = "QX_TLS_LIBRARY_DIR";

namespace tls {

// The library's objects, seen only through pointers.
struct Context;
struct Connection;
struct Method;
struct NameStack;

// Values of the library's interface that this transport uses.
inline constexpr int kFileTypePEM = 1;
inline constexpr int kErrorNone = 0;
inline constexpr int kErrorSSL = 1;
inline constexpr int kErrorWantRead = 2;
inline constexpr int kErrorWantWrite = 3;
inline constexpr int kErrorSyscall = 5;
inline constexpr int kErrorZeroReturn = 6;
inline constexpr int kCtrlSetMinProtoVersion = 123;
inline constexpr int kCtrlSetMaxProtoVersion = 124;
inline constexpr long kTLS1Version = 0x0301;
inline constexpr unsigned long kReasonUnexpectedEOF = 294;
inline constexpr unsigned long kReasonMask = 0x7FFFFF;

using PasswordCallback = int (*)(char* buf, int size, int rwflag, void* userdata);

// Entry points, resolved once; immutable afterwards, so any thread may call through them.
struct Api {
  // crypto library
  unsigned long (*ERR_get_error)();
  unsigned long (*ERR_peek_error)();
  void (*ERR_clear_error)();
  void (*ERR_error_string_n)(unsigned long e, char* buf, std::size_t len);
  // TLS library
  int (*OPENSSL_init_ssl)(std::uint64_t opts, const void* settings);
  const Method* (*TLS_client_method)();
  const Method* (*TLS_server_method)();
  const Method* (*TLS_method)();
  Context* (*SSL_CTX_new)(const Method*);
  void (*SSL_CTX_free)(Context*);
  long (*SSL_CTX_ctrl)(Context*, int cmd, long larg, void* parg);
  int (*SSL_CTX_set_cipher_list)(Context*, const char*);
  int (*SSL_CTX_use_certificate_file)(Context*, const char*, int type);
  int (*SSL_CTX_use_PrivateKey_file)(Context*, const char*, int type);
  int (*SSL_CTX_check_private_key)(const Context*);
  int (*SSL_CTX_load_verify_locations)(Context*, const char* file, const char* path);
  int (*SSL_CTX_set_default_verify_paths)(Context*);
  NameStack* (*SSL_load_client_CA_file)(const char*);
  void (*SSL_CTX_set_client_CA_list)(Context*, NameStack*);
  void (*SSL_CTX_set_verify)(Context*, int mode, void* callback);
  void (*SSL_CTX_set_verify_depth)(Context*, int depth);
  void (*SSL_CTX_set_default_passwd_cb)(Context*, PasswordCallback);
  void (*SSL_CTX_set_default_passwd_cb_userdata)(Context*, void*);
  Connection* (*SSL_new)(Context*);
  void (*SSL_free)(Connection*);
  int (*SSL_set_ex_data)(Connection*, int index, void* data);
  int (*SSL_set_fd)(Connection*, int fd);
  int (*SSL_connect)(Connection*);
  int (*SSL_read)(Connection*, void* buf, int num);
  int (*SSL_write)(Connection*, const void* buf, int num);
  int (*SSL_get_error)(const Connection*, int ret);
  int (*SSL_shutdown)(Connection*);
};

// The entry points once the library is initialised; throws EIdOSSLCouldNotLoadSSLLibrary when
// it cannot be loaded or initialised (the next call tries again).
const Api& InitializedApi();

}  // namespace tls

// Loads both libraries and resolves every entry point the transport uses, once per process.
// True when all were found; a failed attempt leaves nothing half-loaded, so a later call
// tries again.
bool LoadTLSLibrary();

}  // namespace qx
