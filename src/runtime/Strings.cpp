// Text helpers for Windows-1252 strings: the code page table, letter case, trimming, numbers.
#include "runtime/Strings.h"

#include <array>
#include <charconv>

#include "runtime/Exceptions.h"
#include "runtime/Format.h"

namespace qx {

const char* const kInvalidInteger = "'%s' is not a valid integer value";
namespace {

// Code points of bytes 0x80..0x9F in Windows-1252. The five unassigned bytes map to the C1
// control code points of the same value, so that they survive a round trip.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char AnsiFromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

unsigned char U(char c) { return static_cast<unsigned char>(c); }

// The length of the leading run of ASCII bytes, which both code pages write alike.
std::size_t AsciiPrefix(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && U(text[i]) < 0x80) ++i;
  return i;
}

}  // namespace

bool IsAscii(std::string_view text) noexcept { return AsciiPrefix(text) == text.size(); }

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 8);
  const std::size_t ascii = AsciiPrefix(ansi);
  out.append(ansi.substr(0, ascii));
  for (char c : ansi.substr(ascii)) {
    unsigned char b = U(c);
    if (b < 0x80) out += c;
    else if (b < 0xA0) AppendUtf8(out, kHigh[b - 0x80]);
    else AppendUtf8(out, b);
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (const std::size_t ascii = AsciiPrefix(utf8.substr(i))) {
      out.append(utf8.substr(i, ascii));
      i += ascii;
      continue;
    }
    unsigned char b = U(utf8[i]);
    int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (extra < 0 || (b >= 0xE0 && extra == 1)) {
      out += '?';
      ++i;
      continue;
    }
    char32_t cp = b & (0x3F >> extra);
    bool ok = i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char n = U(utf8[i + k]);
      if ((n & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (n & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += AnsiFromCodePoint(cp);
    i += extra + 1;
  }
  return out;
}

namespace {

constexpr unsigned char UpperOf(unsigned char b) noexcept {
  if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 32);
  switch (b) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return b;
  }
}

// The upper case of every byte, made by the compiler: names are compared without regard to
// case at every request (tag attributes, fields, posted names), from static initializers too.
constexpr std::array<unsigned char, 256> kUpper = [] {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) table[static_cast<std::size_t>(b)] = UpperOf(static_cast<unsigned char>(b));
  return table;
}();

}  // namespace

char AnsiUpperChar(char c) noexcept { return static_cast<char>(kUpper[U(c)]); }

char AnsiLowerChar(char c) noexcept {
  unsigned char b = U(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  switch (b) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
  }
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string AnsiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AnsiUpperChar(c);
  return out;
}

std::string AnsiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AnsiLowerChar(c);
  return out;
}

int CompareText(std::string_view a, std::string_view b) noexcept {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    int x = kUpper[U(a[i])], y = kUpper[U(b[i])];
    if (x != y) return x - y;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && kUpper[U(a[i])] != kUpper[U(b[i])]) return false;
  return true;
}

bool StartsText(std::string_view prefix, std::string_view s) noexcept {
  return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

bool EndsText(std::string_view suffix, std::string_view s) noexcept {
  return s.size() >= suffix.size() && SameText(suffix, s.substr(s.size() - suffix.size()));
}

std::size_t FindText(std::string_view s, std::string_view sub, std::size_t from) noexcept {
  if (sub.empty()) return from <= s.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + sub.size() <= s.size(); ++i)
    if (SameText(s.substr(i, sub.size()), sub)) return i;
  return std::string_view::npos;
}

std::string_view TrimView(std::string_view s) noexcept {
  std::size_t b = 0, e = s.size();
  while (b < e && U(s[b]) <= ' ') ++b;
  while (e > b && U(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && U(s[b]) <= ' ') ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && U(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(0, e));
}

int HexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::optional<std::int64_t> TryStrToInt64(std::string_view s) noexcept {
  s = TrimView(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  if (base == 10 && magnitude > (negative ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL))
    return std::nullopt;
  auto value = static_cast<std::int64_t>(magnitude);
  return negative ? -value : value;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t fallback) noexcept {
  return TryStrToInt64(s).value_or(fallback);
}

int StrToIntDef(std::string_view s, int fallback) noexcept {
  auto v = TryStrToInt64(s);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return fallback;
  return static_cast<int>(*v);
}

int StrToInt(std::string_view s) {
  auto v = TryStrToInt64(s);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) throw EConvertError(Format(kInvalidInteger, {s}));
  return static_cast<int>(*v);
}

std::string StringReplace(std::string_view s, std::string_view from, std::string_view to,
                          unsigned flags) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos <= s.size()) {
    std::size_t hit = (flags & rfIgnoreCase) ? FindText(s, from, pos) : s.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
    if (!(flags & rfReplaceAll)) break;
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace qx
