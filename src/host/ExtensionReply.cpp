// Validation of the library's status text and header block, and their split into the
// fields passed on and the framing the host decides.
#include "host/ExtensionReply.h"

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx::host {
namespace {

constexpr const char* kBadStatus = "the status \"%s\" is not a number from 200 to 599";
constexpr const char* kBadField = "the header line \"%s\" is not a header field";
constexpr const char* kTextAfterEnd = "the header block goes on after its empty line";
constexpr const char* kBadLength = "the Content-Length \"%s\" is not a byte count";
constexpr const char* kTwoLengths = "the header block holds two different Content-Length values";
constexpr std::size_t kMaxReason = 512;

bool IsTokenChar(unsigned char c) {
  if (c >= '0' && c <= '9') return true;
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

// Shows a rejected line in a message without its control characters.
std::string Printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s.substr(0, 80)) out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
  return out;
}

// Fields that describe the connection or the framing, which only the host may decide.
bool IsHostOwned(std::string_view name) {
  return SameText(name, "Connection") || SameText(name, "Keep-Alive") ||
         SameText(name, "Transfer-Encoding") || SameText(name, "Proxy-Connection") ||
         SameText(name, "Upgrade") || SameText(name, "TE") || SameText(name, "Trailer");
}

void ParseStatus(std::string_view text, unsigned fallback, ExtensionReply& reply) {
  if (text.empty()) {
    if (fallback < 200 || fallback > 599) {
      throw EBadReplyHeader(Format(kBadStatus, {std::to_string(fallback)}));
    }
    reply.status = fallback;
    return;
  }
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  unsigned code = digits == 3 ? static_cast<unsigned>(std::stoi(std::string(text.substr(0, 3))))
                              : 0;
  if (code < 200 || code > 599 || (digits < text.size() && text[digits] != ' ')) {
    throw EBadReplyHeader(Format(kBadStatus, {Printable(text)}));
  }
  reply.status = code;
  std::string reason;
  for (unsigned char c : text.substr(std::min(text.size(), digits + 1), kMaxReason)) {
    reason += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
  }
  reply.reason = Trim(reason);
}

std::uint64_t ParseLength(std::string_view value) {
  if (value.empty() || value.size() > 15) throw EBadReplyHeader(Format(kBadLength, {Printable(value)}));
  std::uint64_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') throw EBadReplyHeader(Format(kBadLength, {Printable(value)}));
    n = n * 10 + static_cast<unsigned>(c - '0');
  }
  return n;
}

}  // namespace

ExtensionReply ParseExtensionReply(std::string_view statusText, std::string_view block,
                                   unsigned fallbackStatus) {
  ExtensionReply reply;
  ParseStatus(statusText, fallbackStatus, reply);
  reply.fields.reserve(block.size());

  std::size_t pos = 0;
  while (pos < block.size()) {
    std::size_t end = block.find('\n', pos);
    std::size_t next = end == std::string_view::npos ? block.size() : end + 1;
    std::string_view line = block.substr(pos, (end == std::string_view::npos ? block.size() : end) - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = next;
    if (line.empty()) {
      if (pos < block.size()) throw EBadReplyHeader(kTextAfterEnd);
      break;
    }
    std::size_t colon = line.find(':');
    std::string_view name = line.substr(0, colon == std::string_view::npos ? 0 : colon);
    bool ok = !name.empty();
    for (unsigned char c : name) ok = ok && IsTokenChar(c);
    std::string_view value = colon == std::string_view::npos ? "" : line.substr(colon + 1);
    for (unsigned char c : value) ok = ok && (c >= 0x20 || c == '\t') && c != 0x7F;
    if (!ok) throw EBadReplyHeader(Format(kBadField, {Printable(line)}));
    value = TrimView(value);

    if (SameText(name, "Content-Length")) {
      std::uint64_t length = ParseLength(value);
      if (reply.contentLength && *reply.contentLength != length) throw EBadReplyHeader(kTwoLengths);
      reply.contentLength = length;
      continue;
    }
    if (IsHostOwned(name)) continue;
    if (SameText(name, "Date")) reply.hasDate = true;
    reply.fields.append(name);
    reply.fields.append(": ");
    reply.fields.append(value);
    reply.fields.append("\r\n");
  }
  return reply;
}

}  // namespace qx::host
