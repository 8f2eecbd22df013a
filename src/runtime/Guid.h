// GUIDs: 128 random bits from the operating system shaped as a version-4 GUID.
#pragma once

#include <cstdint>

namespace qx {

struct TGUID {
  std::uint32_t D1;
  std::uint16_t D2;
  std::uint16_t D3;
  std::uint8_t D4[8];
};

TGUID CreateGUID();

}  // namespace qx
