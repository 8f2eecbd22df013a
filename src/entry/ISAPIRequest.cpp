// Request variables from the connection block and the synchronous response writer.
#include "entry/ISAPIRequest.h"

#include <algorithm>
#include <cstring>

#include "entry/ResponseHeaders.h"

namespace qx {
namespace {

// Server variable names by request variable index; null where the connection block itself
// holds the value.
constexpr const char* kVariableNames[rvLastIndex + 1] = {
    nullptr,                   // method
    "SERVER_PROTOCOL",         // protocol version
    "URL",                     // URL
    nullptr,                   // query string
    nullptr,                   // path info
    nullptr,                   // path translated
    "HTTP_CACHE_CONTROL",      // cache control
    "HTTP_DATE",               // date
    "HTTP_ACCEPT",             // accept
    "HTTP_FROM",               // from
    "HTTP_HOST",               // host
    "HTTP_IF_MODIFIED_SINCE",  // if-modified-since
    "HTTP_REFERER",            // referer
    "HTTP_USER_AGENT",         // user agent
    "HTTP_CONTENT_ENCODING",   // content encoding
    "CONTENT_TYPE",            // content type
    "CONTENT_LENGTH",          // content length
    "HTTP_CONTENT_VERSION",    // content version
    "HTTP_DERIVED_FROM",       // derived from
    "HTTP_EXPIRES",            // expires
    "HTTP_TITLE",              // title
    "REMOTE_ADDR",             // remote address
    "REMOTE_HOST",             // remote host
    "SCRIPT_NAME",             // script name
    "SERVER_PORT",             // server port
    nullptr,                   // content
    "HTTP_CONNECTION",         // connection
    "HTTP_COOKIE",             // cookie
    "HTTP_AUTHORIZATION",      // authorization
};

std::string FromBlock(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

TISAPIRequest::TISAPIRequest(QxConnectionBlock& block) : block_(block) { InitMethodType(); }

std::string TISAPIRequest::ServerVariable(const char* name) {
  char buffer[kVariableBufferSize];
  std::uint32_t size = sizeof buffer;
  if (!block_.GetServerVariable(block_.ConnID, name, buffer, &size)) return std::string();
  return std::string(buffer, strnlen(buffer, std::min<std::uint32_t>(size, sizeof buffer)));
}

std::string TISAPIRequest::GetStringVariable(int index) {
  switch (index) {
    case rvMethod: return FromBlock(block_.lpszMethod);
    case rvQuery: return FromBlock(block_.lpszQueryString);
    case rvPathInfo: return FromBlock(block_.lpszPathInfo);
    case rvPathTranslated: return FromBlock(block_.lpszPathTranslated);
    case rvContent:
      if (!block_.lpbData || block_.cbAvailable == 0) return std::string();
      return std::string(reinterpret_cast<const char*>(block_.lpbData), block_.cbAvailable);
    default:
      if (index < 0 || index > rvLastIndex) return std::string();
      return ServerVariable(kVariableNames[index]);
  }
}

std::string TISAPIRequest::GetFieldByName(std::string_view name) {
  // Each attempt starts with the full buffer size: a failed first attempt reports the length
  // it would have needed, which must not be taken as the buffer's capacity.
  std::string plain(name);
  char buffer[kVariableBufferSize];
  std::uint32_t size = sizeof buffer;
  if (!block_.GetServerVariable(block_.ConnID, plain.c_str(), buffer, &size)) {
    std::string prefixed = "HTTP_" + plain;
    size = sizeof buffer;
    if (!block_.GetServerVariable(block_.ConnID, prefixed.c_str(), buffer, &size))
      return std::string();
  }
  return std::string(buffer, strnlen(buffer, std::min<std::uint32_t>(size, sizeof buffer)));
}

int TISAPIRequest::ReadClient(void* buffer, int count) {
  if (count <= 0) return 0;
  auto size = static_cast<std::uint32_t>(count);
  if (!block_.ReadClient(block_.ConnID, buffer, &size)) return -1;
  return static_cast<int>(size);
}

std::string TISAPIRequest::ReadString(int count) {
  std::string text(static_cast<std::size_t>(std::max(count, 0)), '\0');
  int got = ReadClient(text.data(), count);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

std::string TISAPIRequest::TranslateURI(std::string_view uri) {
  char buffer[kMapBufferSize] = {};
  std::size_t n = std::min<std::size_t>(uri.size(), sizeof buffer - 1);
  std::memcpy(buffer, uri.data(), n);
  std::uint32_t size = sizeof buffer;
  if (!block_.ServerSupportFunction(block_.ConnID, QX_REQ_MAP_URL_TO_PATH, buffer, &size,
                                    nullptr))
    return std::string();
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

int TISAPIRequest::WriteClient(const void* buffer, int count) {
  auto size = static_cast<std::uint32_t>(std::max(count, 0));
  if (!block_.WriteClient(block_.ConnID, buffer, &size, QX_IO_SYNC))
    return -1;
  return static_cast<int>(size);
}

bool TISAPIRequest::WriteString(std::string_view text) {
  if (text.empty()) return true;
  return WriteClient(text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size());
}

bool TISAPIRequest::WriteHeaders(int statusCode, std::string_view statusText,
                                 std::string_view headers) {
  block_.dwHttpStatusCode = static_cast<std::uint32_t>(statusCode);
  // The status text ends the status line: a line break inside it would start a header.
  std::string status;
  for (char c : statusText)
    if (c != '\r' && c != '\n') status += c;
  std::string block(headers);
  auto size = static_cast<std::uint32_t>(status.size());
  return block_.ServerSupportFunction(block_.ConnID, QX_REQ_SEND_RESPONSE_HEADER, status.data(),
                                      &size, block.data()) != 0;
}

TISAPIResponse::TISAPIResponse(TISAPIRequest& request)
    : TWebResponse(request), request_(request) {
  if (request.ProtocolVersion().empty()) SetVersion("1.0");
  SetContentType("text/html");
}

void TISAPIResponse::SendResponse() {
  if (!request_.ProtocolVersion().empty())
    request_.WriteHeaders(StatusCode(), ResponseStatusText(*this), BuildHeaderBlock(*this));
  if (TStream* stream = ContentStream()) {
    SendStream(*stream);
    FreeContentStream();
  } else {
    request_.WriteText(TakeContent());
  }
  SetSent(true);
}

void TISAPIResponse::SendRedirect(const std::string& uri) {
  std::string url = uri;
  auto size = static_cast<std::uint32_t>(url.size());
  request_.ConnectionBlock().ServerSupportFunction(request_.ConnectionBlock().ConnID,
                                                   QX_REQ_SEND_URL_REDIRECT_RESP, url.data(),
                                                   &size, nullptr);
  SetSent(true);
}

void TISAPIResponse::SendStream(TStream& stream) {
  char buffer[kStreamBlockSize];
  stream.SetPosition(0);
  for (std::size_t got; (got = stream.Read(buffer, sizeof buffer)) > 0;)
    if (request_.WriteClient(buffer, static_cast<int>(got)) < 0) break;
}

}  // namespace qx
