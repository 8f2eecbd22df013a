// Reading and writing the text forms of e-mail address items and lists.
// Parsing keeps quoted strings and comments intact until the item itself is parsed.
#include "mail/EmailAddress.h"

#include "mail/MailExceptions.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

bool IsBlankText(std::string_view s) { return TrimView(s).empty(); }

// A name made only of these characters is written without quotes.
bool IsPlainNameChar(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view(" `!#$%&'*+-/=?_{}|~").find(c) != std::string_view::npos;
}

// Removes parenthesised comments outside quoted strings (nested, with backslash escapes).
std::string StripComments(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool quoted = false;
  int depth = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (depth > 0) {
      if (c == '\\') ++i;
      else if (c == '(') ++depth;
      else if (c == ')') --depth;
      continue;
    }
    if (quoted) {
      out += c;
      if (c == '\\' && i + 1 < s.size()) out += s[++i];
      else if (c == '"') quoted = false;
      continue;
    }
    if (c == '(') {
      depth = 1;
      continue;
    }
    if (c == '"') quoted = true;
    out += c;
  }
  return out;
}

// Position of the first '<' outside a quoted string, or npos.
std::size_t FindOpeningBracket(std::string_view s) {
  bool quoted = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quoted) {
      if (c == '\\') ++i;
      else if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '<') {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string TrimSpacesAndTabs(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

// Drops the double quotes; inside them a backslash takes the next character as it is.
std::string Unquote(std::string_view s) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted && c == '\\' && i + 1 < s.size()) {
      out += s[++i];
    } else {
      out += c;
    }
  }
  return out;
}

// "a . b@c . d" becomes "a.b@c.d".
std::string RemoveSpacesAroundDots(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == ' ') {
      std::size_t next = s.find_first_not_of(' ', i);
      bool beforeDot = next != std::string_view::npos && s[next] == '.';
      bool afterDot = !out.empty() && out.back() == '.';
      if (beforeDot || afterDot) {
        i = (next == std::string_view::npos ? s.size() : next) - 1;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace

std::string TIdEMailAddressItem::Text() const {
  if (name_.empty()) return address_;
  std::string name;
  bool plain = true;
  for (char c : name_) plain = plain && IsPlainNameChar(c);
  if (plain) {
    name = name_;
  } else {
    name = "\"";
    for (char c : name_) {
      if (c == '\\' || c == '"') name += '\\';
      name += c;
    }
    name += '"';
  }
  return name + " <" + address_ + ">";
}

void TIdEMailAddressItem::SetText(std::string_view text) {
  std::string s = StripComments(Trim(text));
  std::size_t lt = FindOpeningBracket(s);
  if (lt == std::string::npos) {
    address_ = Trim(s);
    name_.clear();
    return;
  }
  std::string_view rest = std::string_view(s).substr(lt + 1);
  std::size_t gt = rest.find('>');
  std::string_view address = rest.substr(0, gt);
  if (gt != std::string_view::npos &&
      rest.substr(gt + 1).find('@') != std::string_view::npos)
    throw EIdEmailParseError(kMsgAtOutsideAddress);
  address_ = RemoveSpacesAroundDots(Trim(address));
  name_ = Unquote(TrimSpacesAndTabs(std::string_view(s).substr(0, lt)));
}

TIdEMailAddressItem& TIdEMailAddressList::Add() { return items_.emplace_back(); }

std::string TIdEMailAddressList::AddressListText() const {
  std::string out;
  for (const auto& item : items_) {
    if (!out.empty()) out += ", ";
    out += item.Text();
  }
  return out;
}

void TIdEMailAddressList::SetAddressListText(std::string_view text) {
  std::vector<TIdEMailAddressItem> items;
  // Parses one collected entry; `dropEmpty` drops entries that come out empty or "<>".
  auto make = [&items](std::string_view entry, bool dropEmpty) {
    TIdEMailAddressItem item(Trim(entry));
    std::string itemText = item.Text();
    if (dropEmpty && (itemText.empty() || itemText == "<>")) return;
    items.push_back(std::move(item));
  };

  if (IsBlankText(text)) {
    items_.clear();
    return;
  }
  if (text.find_first_of(":;(\", \t") == std::string_view::npos) {
    make(text, false);
    items_ = std::move(items);
    return;
  }

  std::string current;
  bool quoted = false;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\') {  // an escaped character is kept as it is, in every mode
      current += c;
      if (i + 1 < text.size()) current += text[++i];
      continue;
    }
    if (quoted) {
      current += c;
      if (c == '"') quoted = false;
      continue;
    }
    if (depth > 0) {
      current += c;
      if (c == '(') ++depth;
      else if (c == ')') --depth;
      continue;
    }
    switch (c) {
      case '"':
        quoted = true;
        current += c;
        break;
      case '(':
        depth = 1;
        current += c;
        break;
      case ',':
        make(current, true);
        current.clear();
        break;
      case ':':
        current.clear();
        break;
      case ';':
        if (!IsBlankText(current)) make(current, false);
        current.clear();
        break;
      default:
        current += c;
    }
  }
  if (!IsBlankText(current)) make(current, true);
  items_ = std::move(items);
}

}  // namespace qx
