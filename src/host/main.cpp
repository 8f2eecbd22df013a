// requestqx-host: loads the service library and serves it over HTTP until SIGINT or SIGTERM.
// Exit status: 0 after a stop by signal, 1 when it cannot start, 2 for a bad command line.
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "host/Extension.h"
#include "host/HttpServer.h"
#include "host/Options.h"

namespace {

// Many simultaneous connections need many descriptors; take what the system allows.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qx::host;
  HostOptions options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const EOptionError& e) {
    std::cerr << "requestqx-host: " << e.Message() << "\n";
    return 2;
  }
  if (options.help) {
    std::cout << HelpText();
    return 0;
  }

  // The signals are taken by sigwait below; every thread started later inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // A client that disconnects while a file is being sent must not end the process.
  ::signal(SIGPIPE, SIG_IGN);
  RaiseDescriptorLimit();

  try {
    Extension extension(options.extensionPath);
    HttpServer server(options, extension);
    server.Start();
    std::cerr << "requestqx-host: serving " << extension.Path() << " at " << options.mount
              << " on " << options.bindAddress << " port " << server.Port() << ", files from "
              << options.filesRoot << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cerr << "requestqx-host: stopping (signal " << signal << ")" << std::endl;
    if (!server.Stop()) {
      // Requests still running inside the library: their threads cannot be joined.
      std::cerr << "requestqx-host: requests still running at the stop deadline; exiting"
                << std::endl;
      std::fflush(nullptr);
      std::_Exit(0);
    }
    std::cerr << "requestqx-host: stopped" << std::endl;
  } catch (const qx::Exception& e) {
    std::cerr << "requestqx-host: " << e.Message() << std::endl;
    return 1;
  }
  return 0;
}
