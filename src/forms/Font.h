// TIWFont: the font of a control as the page writes it, and FontCSS, its CSS text for the
// session's browser.
#pragma once

#include <functional>
#include <string>

#include "runtime/ClassInfo.h"
#include "server/Browser.h"

namespace qx {

enum TIWFontStyle : int { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TIWFontStyles = TSet<TIWFontStyle>;
const TEnumInfo& EnumInfoOf(TIWFontStyle);

class TIWFont : public TPersistent {
  QX_CLASS(TIWFont, TPersistent)

 public:
  TIWFont() = default;
  // Copies the values; the change hook stays this font's own.
  TIWFont(const TIWFont& other);
  TIWFont& operator=(const TIWFont& other);

  TColor Color() const noexcept { return color_; }
  void SetColor(TColor color);
  // A disabled font writes no CSS at all.
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& FontName() const noexcept { return fontName_; }
  void SetFontName(std::string_view name);
  // A CSS family list written after the name ("sans-serif").
  const std::string& FontFamily() const noexcept { return fontFamily_; }
  void SetFontFamily(std::string_view family);
  const std::string& FontVariant() const noexcept { return fontVariant_; }
  void SetFontVariant(std::string_view variant);
  // In points.
  int Size() const noexcept { return size_; }
  void SetSize(int size);
  TIWFontStyles Style() const noexcept { return style_; }
  void SetStyle(TIWFontStyles style);

  // Called after any value changes (controls mark themselves changed).
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 private:
  void Changed();

  TColor color_ = clNone;
  bool enabled_ = true;
  std::string fontName_;
  std::string fontFamily_;
  std::string fontVariant_;
  int size_ = 10;
  TIWFontStyles style_;
  std::function<void()> onChange_;
};

// The font's CSS for the browser; empty for a disabled font. Sizes are written in pixels at
// 96 per inch: Round(Size × 96 / 72).
std::string FontCSS(const TIWFont& font, TIWBrowser browser);

}  // namespace qx
