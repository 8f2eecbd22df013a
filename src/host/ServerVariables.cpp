// Server variables of one request, computed on demand from the parsed request.
#include "host/ServerVariables.h"

#include <algorithm>
#include <cctype>

#include "runtime/Strings.h"

namespace qx::host {
namespace {

std::string VariableName(std::string_view header) {
  std::string name = "HTTP_";
  name.reserve(5 + header.size());
  for (char c : header) name += c == '-' ? '_' : static_cast<char>(std::toupper(
                                                       static_cast<unsigned char>(c)));
  return name;
}

bool IsAddressClaim(std::string_view name) {
  return SameText(name, "X-Forwarded-For") || SameText(name, "Client-IP");
}

std::string AllHttp(const RequestInfo& request) {
  std::string all;
  for (const auto& h : request.headers) {
    all += h.varName;
    all += ':';
    all += h.value;
    all += '\n';
  }
  return all;
}

}  // namespace

std::vector<RequestHeader> ExposedHeaders(
    const std::vector<std::pair<std::string, std::string>>& received, bool trustedPeer) {
  std::vector<RequestHeader> exposed;
  exposed.reserve(received.size());
  for (const auto& field : received) {
    const std::string& name = field.first;
    const std::string& value = field.second;
    if (name.find('_') != std::string::npos) continue;
    if (!trustedPeer && IsAddressClaim(name)) continue;
    auto same = std::find_if(exposed.begin(), exposed.end(),
                             [&](const RequestHeader& h) { return SameText(h.name, name); });
    if (same != exposed.end()) {
      same->value += SameText(name, "Cookie") ? "; " : ", ";
      same->value += value;
      continue;
    }
    exposed.push_back(RequestHeader{name, value, VariableName(name)});
  }
  return exposed;
}

std::optional<std::string> ServerVariable(const RequestInfo& r, std::string_view name) {
  if (StartsText("HTTP_", name) && !SameText(name, "HTTPS")) {
    for (const auto& h : r.headers) {
      if (SameText(h.varName, name)) return h.value;
    }
    return std::nullopt;
  }
  if (SameText(name, "SERVER_SOFTWARE")) return std::string(kServerSoftware);
  if (SameText(name, "SERVER_PROTOCOL")) return r.protocol;
  if (SameText(name, "REQUEST_METHOD")) return r.method;
  if (SameText(name, "URL")) return r.url;
  if (SameText(name, "SCRIPT_NAME")) return r.scriptName;
  if (SameText(name, "PATH_INFO")) return r.pathInfo;
  if (SameText(name, "PATH_TRANSLATED")) return r.pathTranslated;
  if (SameText(name, "QUERY_STRING")) return r.queryString;
  if (SameText(name, "REMOTE_ADDR") || SameText(name, "REMOTE_HOST")) return r.remoteAddress;
  if (SameText(name, "SERVER_NAME")) return r.serverName;
  if (SameText(name, "SERVER_PORT")) return r.serverPort;
  if (SameText(name, "HTTPS")) return std::string("off");
  if (SameText(name, "CONTENT_TYPE")) return r.contentType;
  if (SameText(name, "CONTENT_LENGTH")) return std::to_string(r.contentLength);
  if (SameText(name, "ALL_HTTP")) return AllHttp(r);
  return std::nullopt;
}

}  // namespace qx::host
