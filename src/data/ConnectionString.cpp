// Connection strings: splitting into items with quoted values and case-insensitive keys.
#include "data/ConnectionString.h"

#include "data/DataErrors.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgBadItem = "The connection string item '%s' has no '='.";
constexpr const char* kMsgUnterminated = "The connection string has an unterminated quote.";

}  // namespace

ConnectionString ConnectionString::Parse(std::string_view text) {
  ConnectionString result;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t eq = text.find_first_of("=;", i);
    if (eq == std::string_view::npos || text[eq] == ';') {
      std::string_view item = TrimView(text.substr(i, eq == std::string_view::npos ? eq : eq - i));
      if (!item.empty()) throw EADOError(Format(kMsgBadItem, {item}));
      i = eq == std::string_view::npos ? text.size() : eq + 1;
      continue;
    }
    std::string key = Trim(text.substr(i, eq - i));
    i = eq + 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string value;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
      char quote = text[i++];
      for (;;) {
        if (i >= text.size()) throw EADOError(kMsgUnterminated);
        if (text[i] == quote) {
          if (i + 1 < text.size() && text[i + 1] == quote) {
            value += quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      std::size_t semi = text.find(';', i);
      i = semi == std::string_view::npos ? text.size() : semi + 1;
    } else {
      std::size_t semi = text.find(';', i);
      std::size_t end = semi == std::string_view::npos ? text.size() : semi;
      value = Trim(text.substr(i, end - i));
      i = semi == std::string_view::npos ? text.size() : semi + 1;
    }
    result.items_.emplace_back(std::move(key), std::move(value));
  }
  return result;
}

std::string ConnectionString::Value(std::string_view key) const {
  for (const auto& [k, v] : items_)
    if (SameText(k, key)) return v;
  return std::string();
}

bool ConnectionString::Has(std::string_view key) const {
  for (const auto& item : items_)
    if (SameText(item.first, key)) return true;
  return false;
}

}  // namespace qx
