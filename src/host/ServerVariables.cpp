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

constexpr std::string_view kForwardedFor = "X-Forwarded-For";
constexpr std::string_view kRealIp = "X-Real-IP";

bool IsAddressClaim(std::string_view name) {
  return SameText(name, kForwardedFor) || SameText(name, "Client-IP") || SameText(name, kRealIp);
}

RequestHeader* FindHeader(std::vector<RequestHeader>& headers, std::string_view name) {
  auto found = std::find_if(headers.begin(), headers.end(),
                            [&](const RequestHeader& h) { return SameText(h.name, name); });
  return found == headers.end() ? nullptr : &*found;
}

// The client's address as a trusted proxy passes it. Each proxy appends the address of its
// own peer to X-Forwarded-For, so only the last entry is the proxy's word; the entries before
// it are whatever the client sent, and taking them would let a client claim any address.
// A proxy that sends X-Real-IP instead names the address alone. The library reads the
// address from X-Forwarded-For, which then holds that one address.
void KeepProxysAddress(std::vector<RequestHeader>& headers) {
  if (RequestHeader* forwarded = FindHeader(headers, kForwardedFor)) {
    const std::size_t comma = forwarded->value.rfind(',');
    forwarded->value = Trim(comma == std::string::npos ? std::string_view(forwarded->value)
                                                       : std::string_view(forwarded->value).substr(comma + 1));
  } else if (const RequestHeader* real = FindHeader(headers, kRealIp)) {
    headers.push_back(RequestHeader{std::string(kForwardedFor), Trim(real->value),
                                    VariableName(kForwardedFor)});
  }
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
    if (RequestHeader* same = FindHeader(exposed, name)) {
      same->value += SameText(name, "Cookie") ? "; " : ", ";
      same->value += value;
      continue;
    }
    exposed.push_back(RequestHeader{name, value, VariableName(name)});
  }
  if (trustedPeer) KeepProxysAddress(exposed);
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
