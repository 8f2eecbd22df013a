// Command-line options of requestqx-host: what to load, where to listen, thread counts and
// the limits that protect the server from oversized, slow or abusive clients.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"

namespace qx::host {

// A bad command line; main prints the message and exits with status 2.
QX_EXCEPTION_CLASS(EOptionError, Exception);

struct HostOptions {
  std::string bindAddress = "0.0.0.0";
  std::uint16_t port = 8081;              // 0 lets the system choose (tests)
  std::string extensionPath;              // the service library to load
  std::string mount = "/RequestQX9";      // URL path of the library (its SCRIPT_NAME)
  std::string filesRoot;                  // folder served under /files/
  unsigned workers = 32;                  // threads that call HttpExtensionProc
  unsigned ioThreads = 2;                 // threads that run the sockets
  std::vector<std::string> trustedProxies = {"127.0.0.1", "::1"};
  unsigned maxConnections = 4096;
  std::uint32_t maxRequestLine = 8 * 1024;
  std::uint32_t maxHeaderBytes = 16 * 1024;     // request line and header fields together
  std::uint64_t maxBodyBytes = 32ull * 1024 * 1024;
  std::uint32_t prereadBytes = 48 * 1024;       // body bytes handed over with the call
  unsigned readTimeoutSeconds = 30;             // idle keep-alive, slow header or body
  unsigned writeTimeoutSeconds = 60;            // a client that stops reading the reply
  unsigned stopTimeoutSeconds = 10;             // wait for requests in flight at stop
  bool help = false;
};

// Parses argv. Defaults that depend on other options (the extension beside the executable,
// the port from the settings file beside the extension, Files beside the extension) are
// filled in here. Fails with EOptionError naming the offending option.
HostOptions ParseOptions(int argc, const char* const* argv);

// The --help text.
std::string HelpText();

}  // namespace qx::host
