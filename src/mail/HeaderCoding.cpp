// Encoded words for mail headers, base64, the locale's header charset and the ISO-2022-JP
// conversion used only when the host's language is Japanese.
#include "mail/HeaderCoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

constexpr std::size_t kMaxEncodedWord = 75;
constexpr std::string_view kAddressSpecials = "()[]<>:;.,@\\\"";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsHeaderSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Appends the four characters for one group of one to three bytes.
void AppendBase64Group(std::string& out, std::string_view group) {
  auto b = [&group](std::size_t i) {
    return i < group.size() ? static_cast<unsigned char>(group[i]) : 0u;
  };
  unsigned v = (b(0) << 16) | (b(1) << 8) | b(2);
  out += kBase64Alphabet[(v >> 18) & 63];
  out += kBase64Alphabet[(v >> 12) & 63];
  out += group.size() > 1 ? kBase64Alphabet[(v >> 6) & 63] : '=';
  out += group.size() > 2 ? kBase64Alphabet[v & 63] : '=';
}

// True when `text` holds a well-formed encoded word in one of the charsets a reader decodes
// ("=?ISO...", "=?WINDOWS...", "=?KOI8..."): writing it unencoded would change the text.
bool HoldsDecodableEncodedWord(std::string_view text) {
  for (std::size_t at = text.find("=?"); at != std::string_view::npos;
       at = text.find("=?", at + 2)) {
    std::string_view rest = text.substr(at + 2);
    if (!StartsText("ISO", rest) && !StartsText("WINDOWS", rest) && !StartsText("KOI8", rest))
      continue;
    std::size_t q1 = rest.find('?');
    if (q1 == std::string_view::npos || q1 + 2 >= rest.size() || rest[q1 + 2] != '?') continue;
    char letter = static_cast<char>(rest[q1 + 1] | 0x20);
    if (letter != 'q' && letter != 'b') continue;
    std::size_t end = rest.find("?=", q1 + 3);
    if (end == std::string_view::npos) continue;
    std::string_view word = rest.substr(0, end);
    bool blank = false;
    for (char c : word) blank = blank || IsHeaderSpace(c);
    if (!blank) return true;
  }
  return false;
}

class EncodedRunWriter {
 public:
  EncodedRunWriter(std::string_view specials, char letter, std::string_view charset)
      : specials_(specials), letter_(static_cast<char>(letter & ~0x20)) {
    prefix_ = "=?";
    prefix_.append(charset).append("?").append(1, letter_).append("?");
  }

  bool Forces(char c) const {
    auto u = static_cast<unsigned char>(c);
    return u < 32 || u >= 127 || specials_.find(c) != std::string_view::npos;
  }

  void Write(std::string& out, std::string_view run) const {
    out += prefix_;
    std::size_t counter = prefix_.size() + 2;
    auto put = [&](std::string_view piece) {
      if (counter + piece.size() > kMaxEncodedWord) {
        out.append("?=\r\n ").append(prefix_);
        counter = prefix_.size() + 2;
      }
      out += piece;
      counter += piece.size();
    };
    if (letter_ == 'B') {
      for (std::size_t i = 0; i < run.size(); i += 3) {
        std::string group;
        AppendBase64Group(group, run.substr(i, 3));
        put(group);
      }
    } else {
      for (char c : run) {
        if (c == ' ') {
          put("_");
        } else if (Forces(c) || c == '?' || c == '=' || c == '_') {
          auto u = static_cast<unsigned char>(c);
          const char hex[4] = {'=', kHexDigits[u >> 4], kHexDigits[u & 15], 0};
          put(hex);
        } else {
          put(std::string_view(&c, 1));
        }
      }
    }
    out += "?=";
  }

 private:
  std::string_view specials_;
  char letter_;
  std::string prefix_;
};

}  // namespace

THeaderCharset HeaderCharsetForLocale(std::string_view localeName) {
  std::string_view base = localeName.substr(0, localeName.find_first_of(".@"));
  std::size_t sep = base.find_first_of("_-");
  std::string language = LowerCase(base.substr(0, sep));
  std::string territory =
      sep == std::string_view::npos ? std::string() : UpperCase(base.substr(sep + 1));
  if (language == "ja") return {"ISO-2022-JP", 'B'};
  if (language == "ko") return {"csEUCKR", 'B'};
  if (language == "zh") {
    bool simplified = territory == "CN" || territory == "SG" || territory == "HANS" ||
                      ContainsText(localeName, "@hans");
    return {simplified ? "GB2312" : "Big5", 'B'};
  }
  if (language == "ru") return {"KOI8-R", 'B'};
  if (language == "uk") return {"windows-1251", 'B'};
  return {"ISO-8859-1", 'Q'};
}

THeaderCharset HeaderCharset() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return HeaderCharsetForLocale(value);
  }
  return HeaderCharsetForLocale("");
}

std::string ConvertToISO2022JP(std::string_view text) {
  iconv_t cd = iconv_open("ISO-2022-JP", "WINDOWS-1252");
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // no converter: keep ASCII, mark the rest
    for (char c : text) out += static_cast<unsigned char>(c) < 128 ? c : '?';
    return out;
  }
  std::string input(text);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[256];
  auto flushOutput = [&](char* o) { out.append(buffer, static_cast<std::size_t>(o - buffer)); };
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t oLeft = sizeof buffer;
    std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    flushOutput(o);
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // A character ISO-2022-JP cannot hold (or any other refusal): back to ASCII, write "?"
    // in its place and go on with the next one.
    o = buffer;
    oLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    flushOutput(o);
    out += '?';
    ++in;
    --inLeft;
  }
  // The closing escape back to ASCII.
  char* o = buffer;
  std::size_t oLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &o, &oLeft);
  flushOutput(o);
  iconv_close(cd);
  return out;
}

std::string EncodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) AppendBase64Group(out, bytes.substr(i, 3));
  return out;
}

std::string EncodeHeaderText(std::string_view original, std::string_view specials,
                             char letter, std::string_view charset) {
  std::string converted;
  std::string_view text = original;
  if (IsJapaneseCharset(charset)) {
    converted = ConvertToISO2022JP(original);
    text = converted;
  }
  std::string allSpecials(specials);
  if (HoldsDecodableEncodedWord(text)) allSpecials += '=';
  EncodedRunWriter writer(allSpecials, letter, charset);

  std::string out;
  out.reserve(text.size() + 32);
  constexpr std::size_t none = std::string_view::npos;
  std::size_t runStart = none;  // first character of the open run's first word
  std::size_t i = 0;
  std::size_t n = text.size();
  std::size_t tail = 0;  // start of what is not yet written or held by the run
  while (i < n) {
    std::size_t spaceStart = i;
    while (i < n && IsHeaderSpace(text[i])) ++i;
    if (i == n) break;
    std::size_t wordStart = i;
    bool forces = false;
    for (; i < n && !IsHeaderSpace(text[i]); ++i)
      if (writer.Forces(text[i])) forces = true;
    if (forces) {
      if (runStart == none) {
        out.append(text.substr(spaceStart, wordStart - spaceStart));
        runStart = wordStart;
      }
    } else {
      if (runStart != none) {
        writer.Write(out, text.substr(runStart, spaceStart - runStart));
        runStart = none;
      }
      out.append(text.substr(spaceStart, i - spaceStart));
    }
    tail = i;
  }
  if (runStart != none) writer.Write(out, text.substr(runStart));
  else out.append(text.substr(tail));
  return out;
}

std::string EncodeAddressItem(TIdEMailAddressItem& item, bool nameFromAddress,
                              const THeaderCharset& cs) {
  if (nameFromAddress && item.Name().empty()) item.SetName(item.Address());
  const std::string& name = item.Name();
  if (name.empty()) return item.Address();
  bool needsEncoding = false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    needsEncoding = needsEncoding || u < 32 || u > 126;
  }
  std::string written;
  if (needsEncoding) {
    written = EncodeHeaderText(name, kAddressSpecials, cs);
  } else {
    written = "\"";
    for (char c : name) {
      if (c == '\\' || c == '"') written += '\\';
      written += c;
    }
    written += '"';
  }
  return Format("%s <%s>", {written, item.Address()});
}

std::string EncodeAddressList(TIdEMailAddressList& list, bool nameFromAddress,
                              const THeaderCharset& cs) {
  std::string out;
  for (auto& item : list) {
    if (!out.empty()) out += ", ";
    out += EncodeAddressItem(item, nameFromAddress, cs);
  }
  return out;
}

}  // namespace qx
