// The input checks of the message catalogue and the character counter: the exact character
// set of a description, the e-mail address rules and the day window's number.
#include "data/qxconsts.h"

#include <array>
#include <cstdint>
#include <limits>

#include "runtime/Format.h"

namespace qx {
namespace {

// The 93 characters a description may hold, indexed by their Windows-1252 code.
constexpr std::array<bool, 256> DescriptionCharacters() {
  std::array<bool, 256> allowed{};
  for (unsigned char c : std::string_view(" (),-./:;")) allowed[c] = true;
  for (int c = '0'; c <= '9'; ++c) allowed[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) allowed[c] = allowed[c + ('a' - 'A')] = true;
  // À Á È É Ì Í Ñ Ò Ó Ù Ú and their lower-case forms, 0x20 above.
  for (int c : {0xC0, 0xC1, 0xC8, 0xC9, 0xCC, 0xCD, 0xD1, 0xD2, 0xD3, 0xD9, 0xDA})
    allowed[c] = allowed[c + 0x20] = true;
  return allowed;
}
constexpr std::array<bool, 256> kDescriptionCharacters = DescriptionCharacters();

bool Fail(std::string& reason, const char* text) {
  reason = text;
  return false;
}

}  // namespace

bool ValidateDescription(std::string_view text, std::string& reason) {
  reason.clear();
  if (text.empty()) return Fail(reason, kMsgDescriptionEmpty);
  for (unsigned char c : text)
    if (!kDescriptionCharacters[c]) return Fail(reason, kMsgDescriptionCharacters);
  return true;
}

bool ValidateEmail(std::string_view address, std::string& reason) {
  reason.clear();
  const std::size_t n = address.size();
  if (n == 0) return Fail(reason, kMsgEmailEmpty);
  if (n < 6) return Fail(reason, kMsgEmailTooShort);
  if (n >= 255) return Fail(reason, kMsgEmailTooLong);
  const std::size_t at = address.find('@');
  if (at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos)
    return Fail(reason, kMsgEmailAtSign);
  // A dot with at least one character between it and the at sign.
  if (address.find('.', at + 2) == std::string_view::npos) return Fail(reason, kMsgEmailIncorrect);
  for (unsigned char c : address)
    if (c < 0x20 || c == 0x7F) return Fail(reason, kMsgEmailIncorrect);
  return true;
}

bool ValidateDays(std::string_view text, int& days, std::string& reason) {
  reason.clear();
  if (text.empty()) return Fail(reason, kMsgDaysEmpty);
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return Fail(reason, kMsgDaysNumbersOnly);
    value = value * 10 + (c - '0');
    // Leading zeros keep the value small, so only a true overflow stops here.
    if (value > std::numeric_limits<std::int32_t>::max()) return Fail(reason, kMsgDaysNumbersOnly);
  }
  if (value > 180) return Fail(reason, kMsgDaysMaximum);
  days = static_cast<int>(value);
  return true;
}

std::string CountCharacters(std::string_view text) {
  return Format(kMsgCharacterCount, {text.size()});
}

}  // namespace qx
