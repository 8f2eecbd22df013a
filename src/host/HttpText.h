// The HTTP text the host writes itself: status lines and header blocks with the framing it
// chose, the Date header, and complete small replies (errors, redirects).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx::host {

// How the end of a reply body is marked.
enum class Framing {
  kLength,   // Content-Length
  kChunked,  // Transfer-Encoding: chunked (HTTP/1.1 clients)
  kClose,    // the connection closes after the body (HTTP/1.0 clients)
  kNone,     // no body may follow (HEAD, 1xx, 204, 304): the fields are sent as given
};

// The usual reason phrase of a status code ("Not Found"); "" for unknown codes.
std::string_view ReasonPhrase(unsigned status);

// The current time as an HTTP date, formatted at most once a second per thread.
const std::string& CurrentHttpDate();

struct ReplyHead {
  unsigned status = 200;
  std::string_view reason = {};  // "" means the usual phrase
  std::string_view fields = {};  // "Name: value\r\n" lines, without framing or Connection fields
  bool addDate = true;       // false when `fields` has its own Date
  Framing framing = Framing::kLength;
  std::uint64_t contentLength = 0;  // for kLength
  bool keepAlive = true;
  bool http10 = false;       // an HTTP/1.0 client needs "Connection: keep-alive" to keep it
};

// "HTTP/1.1 <status> <reason>\r\n" + Date + fields + framing + Connection + "\r\n".
void AppendHead(std::string& out, const ReplyHead& head);

// A complete reply produced by the host: a short HTML page explaining `detail`.
// `extraFields` are added as they are ("Location: /x\r\n").
std::string HostReply(unsigned status, std::string_view detail, bool keepAlive, bool http10,
                      bool headOnly, std::string_view extraFields = {});

}  // namespace qx::host
