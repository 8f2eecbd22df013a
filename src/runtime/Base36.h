// Base-36 numbers written with the digits "0123456789abcdefghijklmnopqrstuvwxyz".
#pragma once

#include <cstdint>
#include <string>

namespace qx {

// `value` in base 36, left-padded with '0' to at least `width` characters.
std::string IntToBase36(std::uint64_t value, int width);

}  // namespace qx
