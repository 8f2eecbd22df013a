// Percent-decoding with positioned errors, and the cookie encoder.
#include "entry/UrlEncoding.h"

#include "entry/EntryExceptions.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kErrorDecodingUrlText =
    "Error decoding URL style (%%XX) encoded string at position %d";
const char* const kInvalidUrlEncodedChar = "Invalid URL encoded character (%s) at position %d";

namespace {

bool StaysUnencoded(unsigned char c) noexcept {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '@': case '!': case '$': case '\'': case '(': case ')': case '*': case '-':
    case '.': case '_':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string HTTPDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
      continue;
    }
    if (c != '%') {
      out += c;
      continue;
    }
    int position = static_cast<int>(i) + 1;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (i + 2 >= text.size()) throw EWebRequestError(Format(kErrorDecodingUrlText, {position}));
    int high = HexDigitValue(text[i + 1]);
    int low = HexDigitValue(text[i + 2]);
    if (high < 0 || low < 0)
      throw EWebRequestError(Format(kInvalidUrlEncodedChar, {text.substr(i, 3), position}));
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string HTTPEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (StaysUnencoded(c)) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace qx
