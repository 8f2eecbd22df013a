// Colour text and the escaping rules of markup and script strings.
#include "forms/TextHelpers.h"

namespace qx {

std::string ColorText(TColor color) {
  if (color == clTransparent) return "transparent";
  if (color == clNone) return {};
  const TColor rgb = ColorToRGB(color);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "#";
  for (unsigned part : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
    text += kHex[part >> 4];
    text += kHex[part & 0xF];
  }
  return text;
}

std::string EscapeMarkup(std::string_view text, bool convertLineBreaks, bool convertSpaces) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  AppendEscapedMarkup(out, text, convertLineBreaks, convertSpaces);
  return out;
}

std::string EscapeScript(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': break;
      case '/':
        // "</" would end the page's script element early, whatever precedes the "<".
        if (i > 0 && text[i - 1] == '<') out += '\\';
        out += c;
        break;
      case '"':
      case '\'':
      case '<':
      case '>':
      case '\\':
        out += '\\';
        out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

std::string EscapeApostrophes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\'') out += "&#39";
    else out += c;
  }
  return out;
}

}  // namespace qx
