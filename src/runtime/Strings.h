// Text helpers for the service's single-byte Windows-1252 strings: encoding conversion,
// letter case, trimming, number conversion and replacement.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

// Text inside the service is Windows-1252 held in std::string; UTF-8 appears only at the
// boundaries (database, command line, posted UTF-8 fields).
std::string AnsiToUtf8(std::string_view ansi);
// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8 bytes too.
std::string Utf8ToAnsi(std::string_view utf8);
// True when every byte is ASCII: such text is the same in both code pages.
bool IsAscii(std::string_view text) noexcept;

// Letter case of one Windows-1252 character (accented letters included).
char AnsiUpperChar(char c) noexcept;
char AnsiLowerChar(char c) noexcept;
// ASCII letters only; every other byte stays as it is.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Every Windows-1252 letter.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// Comparisons without regard to letter case (Windows-1252 letters included).
int CompareText(std::string_view a, std::string_view b) noexcept;
bool SameText(std::string_view a, std::string_view b) noexcept;
bool StartsText(std::string_view prefix, std::string_view s) noexcept;
bool EndsText(std::string_view suffix, std::string_view s) noexcept;
// Position of `sub` in `s` ignoring case, or npos.
std::size_t FindText(std::string_view s, std::string_view sub, std::size_t from = 0) noexcept;
inline bool ContainsText(std::string_view s, std::string_view sub) noexcept {
  return FindText(s, sub) != std::string_view::npos;
}

// Ordering and hashing for containers keyed without regard to case.
struct TextLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return CompareText(a, b) < 0;
  }
};

// Trimming removes every character up to and including the blank (control characters too).
std::string_view TrimView(std::string_view s) noexcept;
// Appends the texts to `out` in turn, with room made once for all of them (for the markup and
// scripts built at every render). Growing by at least twice keeps repeated appends cheap.
template <class... Texts>
std::string& AppendAll(std::string& out, const Texts&... texts) {
  const std::string_view views[] = {std::string_view(texts)...};
  std::size_t size = out.size();
  for (std::string_view view : views) size += view.size();
  if (size > out.capacity()) out.reserve(std::max(size, 2 * out.capacity()));
  for (std::string_view view : views) out += view;
  return out;
}

// The texts joined in one allocation.
template <class... Texts>
std::string Concat(const Texts&... texts) {
  std::string out;
  AppendAll(out, texts...);
  return out;
}

std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string IntToStr(std::int64_t value);
// The value of one hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c) noexcept;
// Decimal integer with optional sign and surrounding blanks; "$" or "0x" prefixes hexadecimal.
std::optional<std::int64_t> TryStrToInt64(std::string_view s) noexcept;
std::int64_t StrToInt64Def(std::string_view s, std::int64_t fallback) noexcept;
int StrToIntDef(std::string_view s, int fallback) noexcept;
// "'%s' is not a valid integer value" (Format: the text): the conversion failure of numbers.
extern const char* const kInvalidInteger;
// A 32-bit integer as TryStrToInt64 reads it; anything else fails with EConvertError
// kInvalidInteger.
int StrToInt(std::string_view s);

enum ReplaceFlags : unsigned { rfNone = 0, rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view s, std::string_view from, std::string_view to,
                          unsigned flags = rfReplaceAll);

}  // namespace qx
