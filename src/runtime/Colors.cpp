// Colour identifiers and the system colour table: the names definitions use and the RGB
// values controls write for system colours.
#include "runtime/Colors.h"

#include <array>

#include "runtime/Strings.h"

namespace qx {
namespace {

struct NamedColor {
  std::string_view name;
  TColor color;
};

#define QX_STANDARD_ENTRY(name, rgb) NamedColor{"cl" #name, cl##name},
#define QX_SYSTEM_ENTRY(name, index, rgb) NamedColor{"cl" #name, cl##name},
#define QX_WEB_ENTRY(name, rgb) NamedColor{"clWeb" #name, clWeb##name},
constexpr NamedColor kNamedColors[] = {
    NamedColor{"clNone", clNone}, NamedColor{"clDefault", clDefault},
    QX_STANDARD_COLORS(QX_STANDARD_ENTRY) QX_SYSTEM_COLORS(QX_SYSTEM_ENTRY)
        QX_WEB_COLORS(QX_WEB_ENTRY)};
#undef QX_STANDARD_ENTRY
#undef QX_SYSTEM_ENTRY
#undef QX_WEB_ENTRY

// RGB shown for each system colour index; indexes the table leaves out (25) show black.
constexpr std::size_t kSystemColorCount = 31;
constexpr std::array<TColor, kSystemColorCount> MakeSystemTable() {
  std::array<TColor, kSystemColorCount> table{};
#define QX_SYSTEM_RGB(name, index, rgb) table[index] = WebColor(rgb);
  QX_SYSTEM_COLORS(QX_SYSTEM_RGB)
#undef QX_SYSTEM_RGB
  return table;
}
constexpr std::array<TColor, kSystemColorCount> kSystemRGB = MakeSystemTable();

}  // namespace

bool IsSystemColor(TColor c) noexcept {
  auto v = static_cast<std::uint32_t>(ColorValue(c));
  return (v & 0xFF000000u) == 0xFF000000u && (v & 0x00FFFFFFu) < kSystemColorCount;
}

TColor ColorToRGB(TColor c) noexcept {
  if (!IsSystemColor(c)) return c;
  return kSystemRGB[static_cast<std::uint32_t>(ColorValue(c)) & 0xFF];
}

std::optional<TColor> IdentToColor(std::string_view ident) noexcept {
  for (const NamedColor& n : kNamedColors)
    if (SameText(n.name, ident)) return n.color;
  return std::nullopt;
}

std::string_view ColorToIdent(TColor c) noexcept {
  for (const NamedColor& n : kNamedColors)
    if (n.color == c) return n.name;
  return {};
}

}  // namespace qx
