// The request as the service library sees it: the server variables behind GetServerVariable,
// and the request headers it may see (the trusted-proxy filter is applied here).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::host {

// This value is a compatibility token: the library picks its asynchronous write path for
// servers whose software name starts with "Microsoft-IIS", and this host provides every
// operation of that path (asynchronous WriteClient, the completion routine and
// done-with-session), so it announces itself that way.
inline constexpr std::string_view kServerSoftware =
    "Microsoft-IIS/10.0 (compatible; requestqx-host)";

struct RequestHeader {
  std::string name;     // as the client wrote it
  std::string value;    // repeated headers joined with ", " ("; " for Cookie)
  std::string varName;  // "HTTP_" + name upper-cased with '-' turned into '_'
};

struct RequestInfo {
  std::string method;          // as sent ("GET", "POST" ...)
  std::string protocol;        // "HTTP/1.1" or "HTTP/1.0"
  std::string url;             // the decoded path, without the query
  std::string queryString;     // after the '?', as sent
  std::string scriptName;      // the mount
  std::string pathInfo;        // the decoded path below the mount, "" or starting with '/'
  std::string pathTranslated;  // pathInfo mapped to the file system
  std::string remoteAddress;
  std::string serverName;      // from the Host header, else the local address
  std::string serverPort;      // the local port
  std::string contentType;
  std::uint64_t contentLength = 0;
  std::vector<RequestHeader> headers;
};

// Headers whose names the library could mistake for another header are never passed on:
// names with '_' (they would turn into the same variable as their '-' twin). The client's
// claims about its own address ("X-Forwarded-For", "Client-IP", "X-Real-IP") pass only from a
// trusted proxy, and X-Forwarded-For then holds only the address the proxy itself saw: its
// last entry, or the proxy's X-Real-IP when it sends no X-Forwarded-For. Repeated headers are
// joined into one.
std::vector<RequestHeader> ExposedHeaders(
    const std::vector<std::pair<std::string, std::string>>& received, bool trustedPeer);

// The value of a server variable (name compared without regard to case); nothing when the
// request has no such variable (an absent header, an unknown name).
std::optional<std::string> ServerVariable(const RequestInfo& request, std::string_view name);

}  // namespace qx::host
