// TIWFont: the font of a control as the page writes it, and FontCSS, its CSS text for the
// session's browser.
#pragma once

#include <string>
#include <string_view>

#include "runtime/ClassInfo.h"
#include "server/Browser.h"

namespace qx {

enum TIWFontStyle : int { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TIWFontStyles = TSet<TIWFontStyle>;
const TEnumInfo& EnumInfoOf(TIWFontStyle);

class TIWFont : public TNotifyingPersistent {
  QX_CLASS(TIWFont, TNotifyingPersistent)

 public:
  TIWFont() = default;
  TIWFont(const TIWFont& other) = default;
  // Takes the values and announces the change; the change hook stays this font's own.
  TIWFont& operator=(const TIWFont& other);

  TColor Color() const noexcept { return values_.color; }
  void SetColor(TColor color) { SetValue(values_.color, color); }
  // A disabled font writes no CSS at all.
  bool Enabled() const noexcept { return values_.enabled; }
  void SetEnabled(bool enabled) { SetValue(values_.enabled, enabled); }
  const std::string& FontName() const noexcept { return values_.fontName; }
  void SetFontName(std::string_view name) { SetValue(values_.fontName, name); }
  // A CSS family list written after the name ("sans-serif").
  const std::string& FontFamily() const noexcept { return values_.fontFamily; }
  void SetFontFamily(std::string_view family) { SetValue(values_.fontFamily, family); }
  const std::string& FontVariant() const noexcept { return values_.fontVariant; }
  void SetFontVariant(std::string_view variant) { SetValue(values_.fontVariant, variant); }
  // In points.
  int Size() const noexcept { return values_.size; }
  void SetSize(int size) { SetValue(values_.size, size); }
  TIWFontStyles Style() const noexcept { return values_.style; }
  void SetStyle(TIWFontStyles style) { SetValue(values_.style, style); }

 private:
  struct Values {
    TColor color = clNone;
    bool enabled = true;
    std::string fontName;
    std::string fontFamily;
    std::string fontVariant;
    int size = 10;
    TIWFontStyles style;
  };
  Values values_;
};

// The font's size in pixels at 96 per inch: Round(Size × 96 / 72).
long FontPixels(const TIWFont& font);

// The font's CSS for the browser; empty for a disabled font. Sizes are written in pixels at
// 96 per inch: Round(Size × 96 / 72).
std::string FontCSS(const TIWFont& font, TIWBrowser browser);

}  // namespace qx
