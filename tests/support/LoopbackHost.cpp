// Starting and stopping the in-process host of a test.
#include "support/LoopbackHost.h"

namespace qx::test {

host::HostOptions LoopbackOptions(const std::string& extensionPath, const std::string& filesRoot,
                                  unsigned ioThreads) {
  host::HostOptions options;
  options.bindAddress = "127.0.0.1";
  options.port = 0;
  options.extensionPath = extensionPath;
  options.filesRoot = filesRoot;
  options.workers = 4;
  options.ioThreads = ioThreads;
  return options;
}

void LoopbackHost::Load(const host::HostOptions& hostOptions) {
  options = hostOptions;
  extension = std::make_unique<host::Extension>(options.extensionPath);
}

void LoopbackHost::Serve() {
  server = std::make_unique<host::HttpServer>(options, *extension);
  server->SetAccessLog(false);
  server->Start();
}

bool LoopbackHost::Stop() {
  const bool clean = !server || server->Stop();
  server.reset();
  extension.reset();
  return clean;
}

}  // namespace qx::test
