// Enumeration name tables: identifier ↔ value, letter case ignored as definitions are read.
#include "runtime/Enums.h"

#include "runtime/Strings.h"

namespace qx {

TEnumInfo::TEnumInfo(std::string name, std::initializer_list<TEnumValue> values)
    : name_(std::move(name)), values_(values) {}

std::string_view TEnumInfo::NameOf(int value) const noexcept {
  for (const TEnumValue& v : values_)
    if (v.value == value) return v.name;
  return {};
}

std::optional<int> TEnumInfo::ValueOf(std::string_view name) const noexcept {
  for (const TEnumValue& v : values_)
    if (SameText(v.name, name)) return v.value;
  return std::nullopt;
}

}  // namespace qx
