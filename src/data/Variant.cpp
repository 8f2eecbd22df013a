// Variant: construction of blobs, equality and the text form of floating-point values.
#include "data/Variant.h"

#include <cstdio>
#include <cstdlib>

namespace qx {

Variant Variant::Blob(std::string bytes) {
  Variant v;
  v.kind_ = Kind::Blob;
  v.bytes_ = std::move(bytes);
  return v;
}

bool Variant::operator==(const Variant& other) const noexcept {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case Kind::Null:
      return true;
    case Kind::Integer:
      return integer_ == other.integer_;
    case Kind::Float:
      return float_ == other.float_;
    case Kind::Text:
    case Kind::Blob:
      return bytes_ == other.bytes_;
  }
  return false;
}

std::string FloatToStr(double value) {
  // The shortest of %.1g .. %.15g that reads back as the 15-digit rounding of the value, so
  // 0.1 prints "0.1" and not "0.10000000000000001".
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  double target = std::strtod(buffer, nullptr);
  for (int digits = 1; digits < 15; ++digits) {
    char shorter[40];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
    if (std::strtod(shorter, nullptr) == target) return shorter;
  }
  return buffer;
}

}  // namespace qx
