// requestqx-host's server run inside the test process on 127.0.0.1 and a port the system
// chooses, with its extension loaded; the test stops it and checks that the stop was clean.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/Extension.h"
#include "host/HttpServer.h"
#include "host/Options.h"

namespace qx::test {

// Loopback, a port the system chooses, four workers and `ioThreads` I/O threads.
host::HostOptions LoopbackOptions(const std::string& extensionPath, const std::string& filesRoot,
                                  unsigned ioThreads);

class LoopbackHost {
 public:
  // Loads the extension `options` name (GetExtensionVersion runs here).
  void Load(const host::HostOptions& options);
  // Starts serving the loaded extension, without the access log.
  void Serve();
  void Start(const host::HostOptions& options) {
    Load(options);
    Serve();
  }
  // Stops the server and unloads the extension; false when requests were still in flight.
  // Stopping again does no harm.
  bool Stop();
  ~LoopbackHost() { Stop(); }

  std::uint16_t Port() const { return server->Port(); }

  host::HostOptions options;
  std::unique_ptr<host::Extension> extension;
  std::unique_ptr<host::HttpServer> server;
};

}  // namespace qx::test
