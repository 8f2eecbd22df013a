// Colours: TColor values ($00BBGGRR numbers, system colours, clNone, clDefault), their
// identifiers as definitions write them, and the fixed RGB table of the system colours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

// A colour as the form definitions and controls hold it: $00BBGGRR for plain colours,
// $FF0000nn for system colour nn, and the two marks clNone and clDefault. -1 is kept as its
// own value (controls write it as "transparent").
enum class TColor : std::int32_t {};

// A plain colour from its red, green and blue parts.
constexpr TColor RGBColor(unsigned red, unsigned green, unsigned blue) noexcept {
  return TColor{static_cast<std::int32_t>((red & 0xFF) | ((green & 0xFF) << 8) |
                                          ((blue & 0xFF) << 16))};
}
// A plain colour from a number written as in CSS: 0xRRGGBB.
constexpr TColor WebColor(std::uint32_t rrggbb) noexcept {
  return RGBColor(rrggbb >> 16, rrggbb >> 8, rrggbb);
}
constexpr std::int32_t ColorValue(TColor c) noexcept { return static_cast<std::int32_t>(c); }
constexpr unsigned GetRValue(TColor c) noexcept { return ColorValue(c) & 0xFF; }
constexpr unsigned GetGValue(TColor c) noexcept { return (ColorValue(c) >> 8) & 0xFF; }
constexpr unsigned GetBValue(TColor c) noexcept { return (ColorValue(c) >> 16) & 0xFF; }

inline constexpr TColor clNone{0x1FFFFFFF};
inline constexpr TColor clDefault{0x20000000};

// The classic sixteen colours and the four extra standard ones (X(name, 0xRRGGBB)).
#define QX_STANDARD_COLORS(X)                                                               \
  X(Black, 0x000000) X(Maroon, 0x800000) X(Green, 0x008000) X(Olive, 0x808000)               \
  X(Navy, 0x000080) X(Purple, 0x800080) X(Teal, 0x008080) X(Gray, 0x808080)                 \
  X(Silver, 0xC0C0C0) X(Red, 0xFF0000) X(Lime, 0x00FF00) X(Yellow, 0xFFFF00)                \
  X(Blue, 0x0000FF) X(Fuchsia, 0xFF00FF) X(Aqua, 0x00FFFF) X(LtGray, 0xC0C0C0)              \
  X(DkGray, 0x808080) X(White, 0xFFFFFF) X(MoneyGreen, 0xC0DCC0) X(SkyBlue, 0xA6CAF0)       \
  X(Cream, 0xFFFBF0) X(MedGray, 0xA0A0A4)

// System colours: X(name, index, 0xRRGGBB shown for it). The RGB values are a fixed scheme,
// the classic grey desktop, since this service has no desktop to ask.
#define QX_SYSTEM_COLORS(X)                                                                 \
  X(ScrollBar, 0, 0xD4D0C8) X(Background, 1, 0x3A6EA5) X(ActiveCaption, 2, 0x0A246A)        \
  X(InactiveCaption, 3, 0x808080) X(Menu, 4, 0xD4D0C8) X(Window, 5, 0xFFFFFF)               \
  X(WindowFrame, 6, 0x000000) X(MenuText, 7, 0x000000) X(WindowText, 8, 0x000000)           \
  X(CaptionText, 9, 0xFFFFFF) X(ActiveBorder, 10, 0xD4D0C8) X(InactiveBorder, 11, 0xD4D0C8) \
  X(AppWorkSpace, 12, 0x808080) X(Highlight, 13, 0x0A246A) X(HighlightText, 14, 0xFFFFFF)   \
  X(BtnFace, 15, 0xD4D0C8) X(BtnShadow, 16, 0x808080) X(GrayText, 17, 0x808080)             \
  X(BtnText, 18, 0x000000) X(InactiveCaptionText, 19, 0xD4D0C8)                             \
  X(BtnHighlight, 20, 0xFFFFFF) X(3DDkShadow, 21, 0x404040) X(3DLight, 22, 0xD4D0C8)        \
  X(InfoText, 23, 0x000000) X(InfoBk, 24, 0xFFFFE1) X(HotLight, 26, 0x000080)               \
  X(GradientActiveCaption, 27, 0xA6CAF0) X(GradientInactiveCaption, 28, 0xC0C0C0)           \
  X(MenuHighlight, 29, 0x316AC5) X(MenuBar, 30, 0xD4D0C8)

// The CSS colour keywords, as clWeb<Name> with the keyword's RGB value.
#define QX_WEB_COLORS(X) \
  X(AliceBlue, 0xF0F8FF) \
  X(AntiqueWhite, 0xFAEBD7) \
  X(Aqua, 0x00FFFF) \
  X(Aquamarine, 0x7FFFD4) \
  X(Azure, 0xF0FFFF) \
  X(Beige, 0xF5F5DC) \
  X(Bisque, 0xFFE4C4) \
  X(Black, 0x000000) \
  X(BlanchedAlmond, 0xFFEBCD) \
  X(Blue, 0x0000FF) \
  X(BlueViolet, 0x8A2BE2) \
  X(Brown, 0xA52A2A) \
  X(BurlyWood, 0xDEB887) \
  X(CadetBlue, 0x5F9EA0) \
  X(Chartreuse, 0x7FFF00) \
  X(Chocolate, 0xD2691E) \
  X(Coral, 0xFF7F50) \
  X(CornflowerBlue, 0x6495ED) \
  X(Cornsilk, 0xFFF8DC) \
  X(Crimson, 0xDC143C) \
  X(Cyan, 0x00FFFF) \
  X(DarkBlue, 0x00008B) \
  X(DarkCyan, 0x008B8B) \
  X(DarkGoldenrod, 0xB8860B) \
  X(DarkGray, 0xA9A9A9) \
  X(DarkGreen, 0x006400) \
  X(DarkGrey, 0xA9A9A9) \
  X(DarkKhaki, 0xBDB76B) \
  X(DarkMagenta, 0x8B008B) \
  X(DarkOliveGreen, 0x556B2F) \
  X(DarkOrange, 0xFF8C00) \
  X(DarkOrchid, 0x9932CC) \
  X(DarkRed, 0x8B0000) \
  X(DarkSalmon, 0xE9967A) \
  X(DarkSeaGreen, 0x8FBC8F) \
  X(DarkSlateBlue, 0x483D8B) \
  X(DarkSlateGray, 0x2F4F4F) \
  X(DarkSlateGrey, 0x2F4F4F) \
  X(DarkTurquoise, 0x00CED1) \
  X(DarkViolet, 0x9400D3) \
  X(DeepPink, 0xFF1493) \
  X(DeepSkyBlue, 0x00BFFF) \
  X(DimGray, 0x696969) \
  X(DimGrey, 0x696969) \
  X(DodgerBlue, 0x1E90FF) \
  X(FireBrick, 0xB22222) \
  X(FloralWhite, 0xFFFAF0) \
  X(ForestGreen, 0x228B22) \
  X(Fuchsia, 0xFF00FF) \
  X(Gainsboro, 0xDCDCDC) \
  X(GhostWhite, 0xF8F8FF) \
  X(Gold, 0xFFD700) \
  X(Goldenrod, 0xDAA520) \
  X(Gray, 0x808080) \
  X(Grey, 0x808080) \
  X(Green, 0x008000) \
  X(GreenYellow, 0xADFF2F) \
  X(Honeydew, 0xF0FFF0) \
  X(HotPink, 0xFF69B4) \
  X(IndianRed, 0xCD5C5C) \
  X(Indigo, 0x4B0082) \
  X(Ivory, 0xFFFFF0) \
  X(Khaki, 0xF0E68C) \
  X(Lavender, 0xE6E6FA) \
  X(LavenderBlush, 0xFFF0F5) \
  X(LawnGreen, 0x7CFC00) \
  X(LemonChiffon, 0xFFFACD) \
  X(LightBlue, 0xADD8E6) \
  X(LightCoral, 0xF08080) \
  X(LightCyan, 0xE0FFFF) \
  X(LightGoldenrodYellow, 0xFAFAD2) \
  X(LightGray, 0xD3D3D3) \
  X(LightGreen, 0x90EE90) \
  X(LightGrey, 0xD3D3D3) \
  X(LightPink, 0xFFB6C1) \
  X(LightSalmon, 0xFFA07A) \
  X(LightSeaGreen, 0x20B2AA) \
  X(LightSkyBlue, 0x87CEFA) \
  X(LightSlateGray, 0x778899) \
  X(LightSlateGrey, 0x778899) \
  X(LightSteelBlue, 0xB0C4DE) \
  X(LightYellow, 0xFFFFE0) \
  X(Lime, 0x00FF00) \
  X(LimeGreen, 0x32CD32) \
  X(Linen, 0xFAF0E6) \
  X(Magenta, 0xFF00FF) \
  X(Maroon, 0x800000) \
  X(MediumAquamarine, 0x66CDAA) \
  X(MediumBlue, 0x0000CD) \
  X(MediumOrchid, 0xBA55D3) \
  X(MediumPurple, 0x9370DB) \
  X(MediumSeaGreen, 0x3CB371) \
  X(MediumSlateBlue, 0x7B68EE) \
  X(MediumSpringGreen, 0x00FA9A) \
  X(MediumTurquoise, 0x48D1CC) \
  X(MediumVioletRed, 0xC71585) \
  X(MidnightBlue, 0x191970) \
  X(MintCream, 0xF5FFFA) \
  X(MistyRose, 0xFFE4E1) \
  X(Moccasin, 0xFFE4B5) \
  X(NavajoWhite, 0xFFDEAD) \
  X(Navy, 0x000080) \
  X(OldLace, 0xFDF5E6) \
  X(Olive, 0x808000) \
  X(OliveDrab, 0x6B8E23) \
  X(Orange, 0xFFA500) \
  X(OrangeRed, 0xFF4500) \
  X(Orchid, 0xDA70D6) \
  X(PaleGoldenrod, 0xEEE8AA) \
  X(PaleGreen, 0x98FB98) \
  X(PaleTurquoise, 0xAFEEEE) \
  X(PaleVioletRed, 0xDB7093) \
  X(PapayaWhip, 0xFFEFD5) \
  X(PeachPuff, 0xFFDAB9) \
  X(Peru, 0xCD853F) \
  X(Pink, 0xFFC0CB) \
  X(Plum, 0xDDA0DD) \
  X(PowderBlue, 0xB0E0E6) \
  X(Purple, 0x800080) \
  X(Red, 0xFF0000) \
  X(RosyBrown, 0xBC8F8F) \
  X(RoyalBlue, 0x4169E1) \
  X(SaddleBrown, 0x8B4513) \
  X(Salmon, 0xFA8072) \
  X(SandyBrown, 0xF4A460) \
  X(SeaGreen, 0x2E8B57) \
  X(Seashell, 0xFFF5EE) \
  X(Sienna, 0xA0522D) \
  X(Silver, 0xC0C0C0) \
  X(SkyBlue, 0x87CEEB) \
  X(SlateBlue, 0x6A5ACD) \
  X(SlateGray, 0x708090) \
  X(SlateGrey, 0x708090) \
  X(Snow, 0xFFFAFA) \
  X(SpringGreen, 0x00FF7F) \
  X(SteelBlue, 0x4682B4) \
  X(Tan, 0xD2B48C) \
  X(Teal, 0x008080) \
  X(Thistle, 0xD8BFD8) \
  X(Tomato, 0xFF6347) \
  X(Turquoise, 0x40E0D0) \
  X(Violet, 0xEE82EE) \
  X(Wheat, 0xF5DEB3) \
  X(White, 0xFFFFFF) \
  X(WhiteSmoke, 0xF5F5F5) \
  X(Yellow, 0xFFFF00) \
  X(YellowGreen, 0x9ACD32)

inline constexpr std::int32_t clSystemColor = static_cast<std::int32_t>(0xFF000000);

#define QX_DECLARE_STANDARD_COLOR(name, rgb) inline constexpr TColor cl##name = WebColor(rgb);
#define QX_DECLARE_SYSTEM_COLOR(name, index, rgb) \
  inline constexpr TColor cl##name{clSystemColor | (index)};
#define QX_DECLARE_WEB_COLOR(name, rgb) inline constexpr TColor clWeb##name = WebColor(rgb);
QX_STANDARD_COLORS(QX_DECLARE_STANDARD_COLOR)
QX_SYSTEM_COLORS(QX_DECLARE_SYSTEM_COLOR)
QX_WEB_COLORS(QX_DECLARE_WEB_COLOR)
#undef QX_DECLARE_STANDARD_COLOR
#undef QX_DECLARE_SYSTEM_COLOR
#undef QX_DECLARE_WEB_COLOR

// A system colour of the table above ($FF0000nn)?
bool IsSystemColor(TColor c) noexcept;
// The plain $00BBGGRR colour shown for c: system colours through the table; every other
// value (plain colours, clNone, clDefault, -1) is returned unchanged.
TColor ColorToRGB(TColor c) noexcept;
// The colour of an identifier such as clBtnFace or clWebAliceBlue (letter case ignored).
std::optional<TColor> IdentToColor(std::string_view ident) noexcept;
// The identifier of a colour (the first name in the order standard, system, web), or empty.
std::string_view ColorToIdent(TColor c) noexcept;

}  // namespace qx
