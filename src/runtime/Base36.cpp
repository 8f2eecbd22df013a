// Base-36 numbers for session ids and time-stamp folder names.
#include "runtime/Base36.h"

#include <algorithm>

namespace qx {

std::string IntToBase36(std::uint64_t value, int width) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string out;
  do {
    out += kDigits[value % 36];
    value /= 36;
  } while (value != 0);
  while (static_cast<int>(out.size()) < width) out += '0';
  std::reverse(out.begin(), out.end());
  return out;
}

}  // namespace qx
