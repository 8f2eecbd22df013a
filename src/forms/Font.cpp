// TIWFont's property table and the font CSS, whose pieces and order differ between Internet
// Explorer and the other browsers.
#include "forms/Font.h"

#include <cmath>

#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const TEnumInfo& EnumInfoOf(TIWFontStyle) {
  static const TEnumInfo info("TIWFontStyle", {QX_ENUM(fsBold), QX_ENUM(fsItalic),
                                               QX_ENUM(fsUnderline), QX_ENUM(fsStrikeOut)});
  return info;
}

const TClassInfo& TIWFont::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWFont>("TIWFont")
          .Property("Color", &TIWFont::Color, &TIWFont::SetColor)
          .Property("Enabled", &TIWFont::Enabled, &TIWFont::SetEnabled)
          .Property("FontName", &TIWFont::FontName, &TIWFont::SetFontName)
          .Property("FontFamily", &TIWFont::FontFamily, &TIWFont::SetFontFamily)
          .Property("FontVariant", &TIWFont::FontVariant, &TIWFont::SetFontVariant)
          .Property("Size", &TIWFont::Size, &TIWFont::SetSize)
          .Property("Style", &TIWFont::Style, &TIWFont::SetStyle)
          .Build();
  return info;
}

TIWFont& TIWFont::operator=(const TIWFont& other) {
  if (this == &other) return *this;
  TNotifyingPersistent::operator=(other);
  values_ = other.values_;
  Changed();
  return *this;
}

long FontPixels(const TIWFont& font) { return std::lround(font.Size() * 96.0 / 72.0); }

std::string FontCSS(const TIWFont& font, TIWBrowser browser) {
  if (!font.Enabled()) return {};
  const std::string pixels = IntToStr(FontPixels(font));
  const TIWFontStyles style = font.Style();
  const char* weight = style.Contains(fsBold) ? "font-weight:bold;" : "font-weight:normal;";
  const char* italic = style.Contains(fsItalic) ? "font-style:italic;" : "font-style:normal;";
  const bool underline = style.Contains(fsUnderline), strikeOut = style.Contains(fsStrikeOut);
  const std::string_view decoration =
      underline && strikeOut ? "text-decoration: underline line-through;"
      : underline            ? "text-decoration: underline;"
      : strikeOut            ? "text-decoration: line-through;"
                             : "text-decoration: none;";

  std::string css;
  if (browser == brIE) {
    if (!font.FontName().empty()) AppendAll(css, "font-family:", font.FontName(), ";");
    AppendAll(css, weight, italic, decoration, "font-size:", pixels, "px; ");
  } else {
    AppendAll(css, italic, weight, "font-size:", pixels, "px;");
    if (!font.FontName().empty()) AppendAll(css, "font-family:'", font.FontName(), "';");
    css.append(decoration);
  }
  if (!font.FontFamily().empty()) AppendAll(css, "font-family:", font.FontFamily(), ";");
  if (!font.FontVariant().empty()) AppendAll(css, "font-variant:", font.FontVariant(), ";");
  if (font.Color() != clNone && font.Color() != clWindowText)
    AppendAll(css, "color:", ColorText(font.Color()), ";");
  return css;
}

}  // namespace qx
