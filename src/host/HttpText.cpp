// Status lines, reason phrases, the cached Date header and the host's own small replies.
#include "host/HttpText.h"

#include <ctime>

#include "runtime/DateTime.h"
#include "runtime/HtmlText.h"
#include "runtime/HttpDate.h"

namespace qx::host {

std::string_view ReasonPhrase(unsigned status) {
  switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 201: return "Created";
    case 202: return "Accepted";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "";
  }
}

const std::string& CurrentHttpDate() {
  thread_local std::time_t second = -1;
  thread_local std::string text;
  std::time_t now = std::time(nullptr);
  if (now != second) {
    second = now;
    text = HttpDateFixed(UnixToSerial(static_cast<double>(now)));
  }
  return text;
}

void AppendHead(std::string& out, const ReplyHead& h) {
  out += "HTTP/1.1 ";
  out += std::to_string(h.status);
  out += ' ';
  out += h.reason.empty() ? ReasonPhrase(h.status) : h.reason;
  out += "\r\n";
  if (h.addDate) {
    out += "Date: ";
    out += CurrentHttpDate();
    out += "\r\n";
  }
  out += h.fields;
  switch (h.framing) {
    case Framing::kLength:
      out += "Content-Length: ";
      out += std::to_string(h.contentLength);
      out += "\r\n";
      break;
    case Framing::kChunked:
      out += "Transfer-Encoding: chunked\r\n";
      break;
    case Framing::kClose:
    case Framing::kNone:
      break;
  }
  if (!h.keepAlive) {
    out += "Connection: close\r\n";
  } else if (h.http10) {
    out += "Connection: keep-alive\r\n";
  }
  out += "\r\n";
}

std::string HostReply(unsigned status, std::string_view detail, bool keepAlive, bool http10,
                      bool headOnly, std::string_view extraFields) {
  std::string title = std::to_string(status) + " " + std::string(ReasonPhrase(status));
  std::string body = "<!DOCTYPE html>\r\n<html><head><title>" + title +
                     "</title></head>\r\n<body><h1>" + title + "</h1>\r\n<p>" +
                     HtmlText(detail) + "</p></body></html>\r\n";
  std::string fields = "Content-Type: text/html; charset=utf-8\r\n";
  fields += extraFields;
  std::string out;
  out.reserve(256 + body.size());
  AppendHead(out, ReplyHead{.status = status,
                           .fields = fields,
                           .framing = Framing::kLength,
                           .contentLength = body.size(),
                           .keepAlive = keepAlive,
                           .http10 = http10});
  if (!headOnly) out += body;
  return out;
}

}  // namespace qx::host
