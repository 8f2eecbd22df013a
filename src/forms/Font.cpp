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

TIWFont::TIWFont(const TIWFont& other)
    : TPersistent(other),
      color_(other.color_),
      enabled_(other.enabled_),
      fontName_(other.fontName_),
      fontFamily_(other.fontFamily_),
      fontVariant_(other.fontVariant_),
      size_(other.size_),
      style_(other.style_) {}

TIWFont& TIWFont::operator=(const TIWFont& other) {
  if (this == &other) return *this;
  color_ = other.color_;
  enabled_ = other.enabled_;
  fontName_ = other.fontName_;
  fontFamily_ = other.fontFamily_;
  fontVariant_ = other.fontVariant_;
  size_ = other.size_;
  style_ = other.style_;
  Changed();
  return *this;
}

void TIWFont::Changed() {
  if (onChange_) onChange_();
}

void TIWFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TIWFont::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TIWFont::SetFontName(std::string_view name) {
  if (name == fontName_) return;
  fontName_ = name;
  Changed();
}

void TIWFont::SetFontFamily(std::string_view family) {
  if (family == fontFamily_) return;
  fontFamily_ = family;
  Changed();
}

void TIWFont::SetFontVariant(std::string_view variant) {
  if (variant == fontVariant_) return;
  fontVariant_ = variant;
  Changed();
}

void TIWFont::SetSize(int size) {
  if (size == size_) return;
  size_ = size;
  Changed();
}

void TIWFont::SetStyle(TIWFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

std::string FontCSS(const TIWFont& font, TIWBrowser browser) {
  if (!font.Enabled()) return {};
  const long pixels = std::lround(font.Size() * 96.0 / 72.0);
  const TIWFontStyles style = font.Style();
  const std::string weight = style.Contains(fsBold) ? "font-weight:bold;" : "font-weight:normal;";
  const std::string italic = style.Contains(fsItalic) ? "font-style:italic;" : "font-style:normal;";
  std::string decoration = "text-decoration:";
  if (style.Contains(fsUnderline)) decoration += " underline";
  if (style.Contains(fsStrikeOut)) decoration += " line-through";
  if (!style.Contains(fsUnderline) && !style.Contains(fsStrikeOut)) decoration += " none";
  decoration += ";";

  std::string css;
  if (browser == brIE) {
    if (!font.FontName().empty()) css += "font-family:" + font.FontName() + ";";
    css += weight;
    css += italic;
    css += decoration;
    css += "font-size:" + IntToStr(pixels) + "px; ";
  } else {
    css += italic;
    css += weight;
    css += "font-size:" + IntToStr(pixels) + "px;";
    if (!font.FontName().empty()) css += "font-family:'" + font.FontName() + "';";
    css += decoration;
  }
  if (!font.FontFamily().empty()) css += "font-family:" + font.FontFamily() + ";";
  if (!font.FontVariant().empty()) css += "font-variant:" + font.FontVariant() + ";";
  if (font.Color() != clNone && font.Color() != clWindowText)
    css += "color:" + ColorText(font.Color()) + ";";
  return css;
}

}  // namespace qx
