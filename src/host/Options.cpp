// Command-line parsing for requestqx-host: "--name value" or "--name=value", every value
// checked, and the defaults that depend on where the host and the extension live.
#include "host/Options.h"

#include <thread>

#include <boost/asio/ip/address.hpp>

#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/IniFile.h"
#include "runtime/Strings.h"

namespace qx::host {
namespace {

constexpr const char* kUnknownOption = "unknown option %s (see --help)";
constexpr const char* kMissingValue = "option %s needs a value";
constexpr const char* kBadNumber = "option %s: '%s' is not a whole number from %d to %d";
constexpr const char* kBadAddress = "option %s: '%s' is not an IP address";
constexpr const char* kBadMount =
    "option --mount: '%s' must start with '/', must not end with '/' and must not hold "
    "'?', '%%' or blanks";
constexpr const char* kUnexpectedArgument = "unexpected argument %s (see --help)";

constexpr const char* kSettingsFile = "ZozarodUruzede.ini";
constexpr const char* kDefaultExtension = "RequestQX9.so";

std::int64_t ParseNumber(const std::string& option, const std::string& value, std::int64_t low,
                         std::int64_t high) {
  bool digits = !value.empty() && value.size() <= 12;
  for (char c : value) digits = digits && c >= '0' && c <= '9';
  std::int64_t n = digits ? std::stoll(value) : -1;
  if (!digits || n < low || n > high) {
    throw EOptionError(Format(kBadNumber, {option, value, low, high}));
  }
  return n;
}

std::string CheckedAddress(const std::string& option, const std::string& value) {
  boost::system::error_code ec;
  auto address = boost::asio::ip::make_address(value, ec);
  if (ec) throw EOptionError(Format(kBadAddress, {option, value}));
  return address.to_string();
}

bool ValidMount(const std::string& mount) {
  if (mount.size() < 2 || mount.front() != '/' || mount.back() == '/') return false;
  for (unsigned char c : mount) {
    if (c <= ' ' || c == '?' || c == '%' || c == '#' || c == '\\' || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

HostOptions ParseOptions(int argc, const char* const* argv) {
  HostOptions o;
  o.ioThreads = std::max(1u, std::thread::hardware_concurrency());
  bool portGiven = false;
  bool rootGiven = false;

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) throw EOptionError(Format(kUnexpectedArgument, {arg}));
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    if (name == "--help") {
      o.help = true;
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= argc) throw EOptionError(Format(kMissingValue, {name}));
      value = argv[++i];
    }
    if (name == "--port") {
      o.port = static_cast<std::uint16_t>(ParseNumber(name, value, 0, 65535));
      portGiven = true;
    } else if (name == "--bind") {
      o.bindAddress = CheckedAddress(name, value);
    } else if (name == "--extension") {
      if (value.empty()) throw EOptionError(Format(kMissingValue, {name}));
      o.extensionPath = value;
    } else if (name == "--mount") {
      if (!ValidMount(value)) throw EOptionError(Format(kBadMount, {value}));
      o.mount = value;
    } else if (name == "--root") {
      if (value.empty()) throw EOptionError(Format(kMissingValue, {name}));
      o.filesRoot = value;
      rootGiven = true;
    } else if (name == "--workers") {
      o.workers = static_cast<unsigned>(ParseNumber(name, value, 1, 1024));
    } else if (name == "--io-threads") {
      o.ioThreads = static_cast<unsigned>(ParseNumber(name, value, 1, 256));
    } else if (name == "--trusted-proxy") {
      o.trustedProxies.push_back(CheckedAddress(name, value));
    } else if (name == "--max-connections") {
      o.maxConnections = static_cast<unsigned>(ParseNumber(name, value, 1, 1000000));
    } else if (name == "--max-request-line") {
      o.maxRequestLine = static_cast<std::uint32_t>(ParseNumber(name, value, 64, 1 << 20));
    } else if (name == "--max-header-bytes") {
      o.maxHeaderBytes = static_cast<std::uint32_t>(ParseNumber(name, value, 256, 1 << 24));
    } else if (name == "--max-body-bytes") {
      o.maxBodyBytes =
          static_cast<std::uint64_t>(ParseNumber(name, value, 0, 0xFFFFFFFEll));
    } else if (name == "--preread-bytes") {
      o.prereadBytes = static_cast<std::uint32_t>(ParseNumber(name, value, 0, 1 << 24));
    } else if (name == "--read-timeout") {
      o.readTimeoutSeconds = static_cast<unsigned>(ParseNumber(name, value, 1, 86400));
    } else if (name == "--write-timeout") {
      o.writeTimeoutSeconds = static_cast<unsigned>(ParseNumber(name, value, 1, 86400));
    } else if (name == "--stop-timeout") {
      o.stopTimeoutSeconds = static_cast<unsigned>(ParseNumber(name, value, 0, 86400));
    } else {
      throw EOptionError(Format(kUnknownOption, {name}));
    }
  }
  if (o.help) return o;

  if (o.extensionPath.empty()) {
    // Beside the host executable, as installed by the staging step.
    o.extensionPath = ExtractFilePath(ModuleFileName(reinterpret_cast<const void*>(&HelpText))) +
                      kDefaultExtension;
  }
  std::string extensionFolder = ExtractFilePath(o.extensionPath);
  if (extensionFolder.empty()) extensionFolder = "./";
  if (!portGiven) {
    // The service's own settings file names the port it is meant to be reached on.
    TIniFile ini(extensionFolder + kSettingsFile);
    int port = ini.ReadInteger("WEBSERVICE", "TCPIPPort", 8081);
    o.port = static_cast<std::uint16_t>(port > 0 && port <= 65535 ? port : 8081);
  }
  if (!rootGiven) o.filesRoot = extensionFolder + "Files";
  return o;
}

std::string HelpText() {
  return R"(Usage: requestqx-host [options]

Serves the QX Requests service library over HTTP/1.1. The library is mounted under one URL
path; "/" redirects there, "/files/..." is served from the Files folder, "/favicon.ico" is the
library's icon, anything else is 404.
Stops gracefully on SIGINT or SIGTERM: requests in flight finish, then the library is told to
terminate.

Options (each as "--name value" or "--name=value"):
  --help                   show this text and exit
  --port N                 TCP port; default: TCPIPPort in section WEBSERVICE of
                           ZozarodUruzede.ini beside the extension, else 8081; 0 lets the
                           system choose (the chosen port is printed)
  --bind ADDR              address to listen on (default 0.0.0.0)
  --extension PATH         the service library (default RequestQX9.so beside this program)
  --mount PATH             URL path of the library, its SCRIPT_NAME (default /RequestQX9)
  --root DIR               folder served under /files/ (default Files beside the extension)
  --workers N              threads that run library requests (default 32)
  --io-threads N           threads that run the sockets (default: number of processors)
  --trusted-proxy ADDR     a proxy whose word on the client's address is taken: the last
                           entry of its X-Forwarded-For (the address it saw), else its
                           X-Real-IP, and its Client-IP; repeatable; 127.0.0.1 and ::1 are
                           always trusted. From any other peer those headers are dropped.
  --max-connections N      simultaneous connections; more get 503 (default 4096)
  --max-request-line N     bytes in the request line; longer gets 414 (default 8192)
  --max-header-bytes N     bytes in request line and headers; more gets 431 (default 16384)
  --max-body-bytes N       request body bytes; more gets 413 (default 33554432)
  --preread-bytes N        body bytes handed over with the call; the library reads the rest
                           (already received whole) itself (default 49152)
  --read-timeout SECONDS   idle keep-alive, slow headers or body: then 408 or close
                           (default 30)
  --write-timeout SECONDS  a client that does not take the reply is dropped (default 60)
  --stop-timeout SECONDS   how long a stop waits for requests in flight (default 10)

Exit status: 0 after a stop by signal, 1 when the server cannot start (the library cannot be
loaded, the port cannot be bound), 2 for a bad command line.
)";
}

}  // namespace qx::host
