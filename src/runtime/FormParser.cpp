// Lexer and parser of form definitions. Quoted text is UTF-8 in the file and becomes the
// service's Windows-1252 here; #nnn codes give Windows-1252 bytes directly.
#include "runtime/FormParser.h"

#include <charconv>
#include <cstdint>
#include <set>

#include "runtime/Format.h"
#include "runtime/FormReader.h"
#include "runtime/Strings.h"

namespace qx::formdef {
namespace {

constexpr const char* kUnexpectedChar = "unexpected character '%s'";
constexpr const char* kUnterminatedString = "unterminated string";
constexpr const char* kBadCharCode = "'#' must be followed by a character code";
constexpr const char* kCharCodeRange = "character code #%s is above 255";
constexpr const char* kNotWindows1252 =
    "text is not UTF-8 that Windows-1252 can hold; write such characters as #nnn";
constexpr const char* kNumberRange = "number %s is out of range";
constexpr const char* kExpected = "expected %s but found %s";
constexpr const char* kMissingEnd = "missing 'end' of object %s";
constexpr const char* kRootObject = "the definition must start with 'object'";
constexpr const char* kTextAfterRoot = "unexpected %s after the end of the root object";
constexpr const char* kDuplicateProperty = "property '%s' is set twice";
constexpr const char* kBadHex = "binary data holds '%s', which is not a hexadecimal digit";
constexpr const char* kOddHex = "binary data has an odd number of hexadecimal digits";
constexpr const char* kUnterminatedBinary = "binary data is missing its closing '}'";

enum class Tok { Ident, Integer, Float, String, Symbol, End };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // identifier, string bytes, symbol character, number as written
  std::int64_t integer = 0;
  double number = 0;
  int line = 1;
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
std::string Describe(const Token& t) {
  switch (t.kind) {
    case Tok::End: return "end of text";
    case Tok::String: return "a string";
    default: return "'" + t.text + "'";
  }
}

class Lexer {
 public:
  Lexer(std::string_view resource, std::string_view text) : resource_(resource), text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // UTF-8 byte order mark
    Advance();
  }

  const Token& Peek() const noexcept { return current_; }
  Token Next() {
    Token t = std::move(current_);
    Advance();
    return t;
  }
  // The bytes of a { … } block; the '{' has been taken as the current token.
  std::string ReadBinary() {
    std::string bytes;
    int high = -1;
    for (;; ++pos_) {
      if (pos_ >= text_.size()) Fail(line_, kUnterminatedBinary);
      char c = text_[pos_];
      if (c == '}') break;
      if (c == '\n') ++line_;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      int d = HexDigitValue(c);
      if (d < 0) Fail(line_, Format(kBadHex, {std::string(1, c)}));
      if (high < 0) {
        high = d;
      } else {
        bytes += static_cast<char>(high * 16 + d);
        high = -1;
      }
    }
    if (high >= 0) Fail(line_, kOddHex);
    ++pos_;
    Advance();
    return bytes;
  }

  [[noreturn]] void Fail(int line, std::string_view detail) const {
    throw EFormReadError(std::string(resource_), line, detail);
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  void Advance() {
    SkipBlanks();
    current_ = Token{};
    current_.line = line_;
    if (pos_ >= text_.size()) return;
    char c = text_[pos_];
    if (IsLetter(c)) {
      ReadIdent();
    } else if (IsDigit(c) || c == '$') {
      ReadNumber();
    } else if (c == '\'' || c == '#') {
      ReadString();
    } else if (std::string_view("=:[](),<>{}+-").find(c) != std::string_view::npos) {
      current_.kind = Tok::Symbol;
      current_.text = std::string(1, c);
      ++pos_;
    } else {
      Fail(line_, Format(kUnexpectedChar, {std::string(1, c)}));
    }
  }

  // Identifiers may be dotted: Font.Size, usSesion.Connection.
  void ReadIdent() {
    std::size_t start = pos_;
    for (;;) {
      while (pos_ < text_.size() && (IsLetter(text_[pos_]) || IsDigit(text_[pos_]))) ++pos_;
      if (pos_ + 1 < text_.size() && text_[pos_] == '.' && IsLetter(text_[pos_ + 1])) {
        ++pos_;
        continue;
      }
      break;
    }
    current_.kind = Tok::Ident;
    current_.text = std::string(text_.substr(start, pos_ - start));
  }

  void ReadNumber() {
    std::size_t start = pos_;
    if (text_[pos_] == '$') {
      ++pos_;
      while (pos_ < text_.size() && HexDigitValue(text_[pos_]) >= 0) ++pos_;
      current_.text = std::string(text_.substr(start, pos_ - start));
      if (pos_ == start + 1) Fail(line_, Format(kUnexpectedChar, {"$"}));
      std::uint64_t v = 0;
      auto r = std::from_chars(text_.data() + start + 1, text_.data() + pos_, v, 16);
      if (r.ec != std::errc() || v > static_cast<std::uint64_t>(INT64_MAX))
        Fail(line_, Format(kNumberRange, {current_.text}));
      current_.kind = Tok::Integer;
      current_.integer = static_cast<std::int64_t>(v);
      return;
    }
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    bool isFloat = pos_ + 1 < text_.size() && text_[pos_] == '.' && IsDigit(text_[pos_ + 1]);
    if (isFloat) {
      ++pos_;
      while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    }
    current_.text = std::string(text_.substr(start, pos_ - start));
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    if (isFloat) {
      current_.kind = Tok::Float;
      auto r = std::from_chars(first, last, current_.number);
      if (r.ec != std::errc()) Fail(line_, Format(kNumberRange, {current_.text}));
    } else {
      current_.kind = Tok::Integer;
      auto r = std::from_chars(first, last, current_.integer);
      if (r.ec != std::errc()) Fail(line_, Format(kNumberRange, {current_.text}));
    }
  }

  // A run of 'quoted' pieces and #nnn codes written without blanks between them.
  void ReadString() {
    current_.kind = Tok::String;
    std::string& out = current_.text;
    while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
      if (text_[pos_] == '#') {
        ++pos_;
        bool hex = pos_ < text_.size() && text_[pos_] == '$';
        if (hex) ++pos_;
        std::size_t start = pos_;
        while (pos_ < text_.size() && (hex ? HexDigitValue(text_[pos_]) >= 0 : IsDigit(text_[pos_]))) ++pos_;
        if (pos_ == start) Fail(line_, kBadCharCode);
        unsigned code = 0;
        auto r = std::from_chars(text_.data() + start, text_.data() + pos_, code, hex ? 16 : 10);
        std::string written(text_.substr(start, pos_ - start));
        if (r.ec != std::errc() || code > 255) Fail(line_, Format(kCharCodeRange, {written}));
        out += static_cast<char>(code);
        continue;
      }
      ++pos_;
      std::string piece;
      for (;;) {
        if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
          Fail(line_, kUnterminatedString);
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            piece += '\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        piece += text_[pos_++];
      }
      std::string ansi = Utf8ToAnsi(piece);
      // The conversion marks what it cannot map with '?'; a round trip shows whether it did.
      if (AnsiToUtf8(ansi) != piece) Fail(line_, kNotWindows1252);
      out += ansi;
    }
  }

  std::string_view resource_;
  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  Token current_;
};

class Parser {
 public:
  Parser(std::string_view resource, std::string_view text) : lex_(resource, text) {}

  ObjectDef ParseRoot() {
    const Token& t = lex_.Peek();
    if (!IsWord(t, "object")) lex_.Fail(t.line, kRootObject);
    ObjectDef root = ParseObject();
    if (lex_.Peek().kind != Tok::End)
      lex_.Fail(lex_.Peek().line, Format(kTextAfterRoot, {Describe(lex_.Peek())}));
    return root;
  }

 private:
  static bool IsWord(const Token& t, std::string_view word) {
    return t.kind == Tok::Ident && SameText(t.text, word);
  }
  static bool IsSymbol(const Token& t, char c) {
    return t.kind == Tok::Symbol && t.text.size() == 1 && t.text[0] == c;
  }

  [[noreturn]] void Expected(std::string_view what) {
    lex_.Fail(lex_.Peek().line, Format(kExpected, {what, Describe(lex_.Peek())}));
  }
  void ExpectSymbol(char c) {
    if (!IsSymbol(lex_.Peek(), c)) Expected(std::string("'") + c + "'");
    lex_.Next();
  }
  std::string ExpectName(std::string_view what) {
    const Token& t = lex_.Peek();
    if (t.kind != Tok::Ident || t.text.find('.') != std::string::npos) Expected(what);
    return lex_.Next().text;
  }

  ObjectDef ParseObject() {
    ObjectDef def;
    Token head = lex_.Next();  // "object" or "inherited"
    def.inherited = IsWord(head, "inherited");
    def.line = head.line;
    def.name = ExpectName("a component name");
    ExpectSymbol(':');
    def.className = ExpectName("a class name");
    std::set<std::string, TextLess> seen;
    for (;;) {
      const Token& t = lex_.Peek();
      if (t.kind == Tok::End) lex_.Fail(t.line, Format(kMissingEnd, {def.name}));
      if (IsWord(t, "end")) {
        lex_.Next();
        return def;
      }
      if (IsWord(t, "object") || IsWord(t, "inherited")) {
        def.children.push_back(ParseObject());
        continue;
      }
      if (t.kind != Tok::Ident) Expected("a property name, 'object' or 'end'");
      def.properties.push_back(ParseProperty());
      if (!seen.insert(def.properties.back().path).second)
        lex_.Fail(def.properties.back().line, Format(kDuplicateProperty, {def.properties.back().path}));
    }
  }

  Property ParseProperty() {
    Property p;
    p.line = lex_.Peek().line;
    p.path = lex_.Next().text;
    ExpectSymbol('=');
    p.value = ParseValue();
    return p;
  }

  Value ParseValue() {
    Value v;
    const Token& t = lex_.Peek();
    v.line = t.line;
    if (IsSymbol(t, '-')) {
      lex_.Next();
      const Token& n = lex_.Peek();
      if (n.kind == Tok::Integer) {
        v.kind = Value::Kind::Integer;
        v.integer = -lex_.Next().integer;
      } else if (n.kind == Tok::Float) {
        v.kind = Value::Kind::Float;
        v.number = -lex_.Next().number;
      } else {
        Expected("a number after '-'");
      }
    } else if (t.kind == Tok::Integer) {
      v.kind = Value::Kind::Integer;
      v.integer = lex_.Next().integer;
    } else if (t.kind == Tok::Float) {
      v.kind = Value::Kind::Float;
      v.number = lex_.Next().number;
    } else if (t.kind == Tok::String) {
      v.kind = Value::Kind::String;
      v.text = ParseString();
    } else if (IsWord(t, "resource")) {
      lex_.Next();
      if (lex_.Peek().kind != Tok::String) Expected("the quoted name of a resource");
      v.kind = Value::Kind::Resource;
      v.text = ParseString();
    } else if (t.kind == Tok::Ident && !IsWord(t, "end")) {
      v.kind = Value::Kind::Ident;
      v.text = lex_.Next().text;
    } else if (IsSymbol(t, '[')) {
      lex_.Next();
      v.kind = Value::Kind::Set;
      if (!IsSymbol(lex_.Peek(), ']')) {
        for (;;) {
          v.names.push_back(ExpectName("a set element"));
          if (!IsSymbol(lex_.Peek(), ',')) break;
          lex_.Next();
        }
      }
      ExpectSymbol(']');
    } else if (IsSymbol(t, '(')) {
      lex_.Next();
      v.kind = Value::Kind::List;
      while (lex_.Peek().kind == Tok::String) v.names.push_back(ParseString());
      if (!IsSymbol(lex_.Peek(), ')')) Expected("a string or ')'");
      lex_.Next();
    } else if (IsSymbol(t, '{')) {
      v.kind = Value::Kind::Binary;
      v.text = lex_.ReadBinary();
    } else if (IsSymbol(t, '<')) {
      lex_.Next();
      v.kind = Value::Kind::Items;
      while (IsWord(lex_.Peek(), "item")) {
        lex_.Next();
        std::vector<Property>& item = v.items.emplace_back();
        std::set<std::string, TextLess> seen;
        while (!IsWord(lex_.Peek(), "end")) {
          if (lex_.Peek().kind != Tok::Ident) Expected("a property name or 'end'");
          item.push_back(ParseProperty());
          if (!seen.insert(item.back().path).second)
            lex_.Fail(item.back().line, Format(kDuplicateProperty, {item.back().path}));
        }
        lex_.Next();
      }
      if (!IsSymbol(lex_.Peek(), '>')) Expected("'item' or '>'");
      lex_.Next();
    } else {
      Expected("a value");
    }
    return v;
  }

  // A string, possibly continued on following lines with '+'.
  std::string ParseString() {
    std::string s = lex_.Next().text;
    while (IsSymbol(lex_.Peek(), '+')) {
      lex_.Next();
      if (lex_.Peek().kind != Tok::String) Expected("a string after '+'");
      s += lex_.Next().text;
    }
    return s;
  }

  Lexer lex_;
};

}  // namespace

ObjectDef ParseDefinition(std::string_view resourceName, std::string_view text) {
  return Parser(resourceName, text).ParseRoot();
}

}  // namespace qx::formdef
