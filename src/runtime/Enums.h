// Named enumerations and sets of them: the identifiers definitions use for enumeration and
// set properties (alClient, [akLeft, akTop]) and the TSet value type.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qx {

struct TEnumValue {
  int value;
  std::string_view name;
};

// Declares one value of an enumeration's name table: QX_ENUM(alTop) → {alTop, "alTop"}.
#define QX_ENUM(value) ::qx::TEnumValue{static_cast<int>(value), #value}

// The names of an enumeration's values. Every enumeration used by a published property has
// one, returned by a function `const TEnumInfo& EnumInfoOf(E)` declared beside the enumeration.
class TEnumInfo {
 public:
  TEnumInfo(std::string name, std::initializer_list<TEnumValue> values);

  const std::string& Name() const noexcept { return name_; }
  const std::vector<TEnumValue>& Values() const noexcept { return values_; }
  // The identifier of a value, empty when the value has none.
  std::string_view NameOf(int value) const noexcept;
  // The value of an identifier, letter case ignored.
  std::optional<int> ValueOf(std::string_view name) const noexcept;

 private:
  std::string name_;
  std::vector<TEnumValue> values_;
};

template <class E>
concept NamedEnum = std::is_enum_v<E> && requires(E e) {
  { EnumInfoOf(e) } -> std::same_as<const TEnumInfo&>;
};

// A set of enumeration values (each below 64), such as TAnchors = TSet<TAnchorKind>.
template <class E>
class TSet {
 public:
  using Element = E;
  constexpr TSet() noexcept = default;
  constexpr TSet(std::initializer_list<E> items) noexcept {
    for (E e : items) Include(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) noexcept {
    TSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr std::uint64_t Bits() const noexcept { return bits_; }
  constexpr bool Empty() const noexcept { return bits_ == 0; }
  constexpr bool Contains(E e) const noexcept { return (bits_ & Bit(e)) != 0; }
  constexpr TSet& Include(E e) noexcept {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) noexcept {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr TSet operator+(TSet o) const noexcept { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const noexcept { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const noexcept { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const TSet&) const noexcept = default;

 private:
  static constexpr std::uint64_t Bit(E e) noexcept {
    return std::uint64_t{1} << static_cast<unsigned>(e);
  }
  std::uint64_t bits_ = 0;
};

template <class S>
concept NamedSet = requires { typename S::Element; } &&
                   std::is_same_v<S, TSet<typename S::Element>> &&
                   NamedEnum<typename S::Element>;

}  // namespace qx
