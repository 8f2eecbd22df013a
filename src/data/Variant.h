// Variant: one database value (nothing, integer, floating point, text or bytes) as it travels
// between statements, parameters and fields.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// The text of a Variant is in the encoding of the side that holds it: UTF-8 below the database
// seam, Windows-1252 above it (parameters and fields). Booleans travel as the integers 1 and 0
// and date-times as floating-point day serials, which is how the database stores them.
class Variant {
 public:
  enum class Kind { Null, Integer, Float, Text, Blob };

  Variant() = default;
  Variant(bool v) : kind_(Kind::Integer), integer_(v ? 1 : 0) {}
  template <std::integral T>
  requires(!std::same_as<T, bool>) Variant(T v)
      : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(v)) {}
  Variant(double v) : kind_(Kind::Float), float_(v) {}
  Variant(const char* text) : kind_(Kind::Text), bytes_(text) {}
  Variant(std::string text) : kind_(Kind::Text), bytes_(std::move(text)) {}
  Variant(std::string_view text) : kind_(Kind::Text), bytes_(text) {}

  static Variant Blob(std::string bytes);

  Kind kind() const noexcept { return kind_; }
  bool IsNull() const noexcept { return kind_ == Kind::Null; }
  bool IsNumber() const noexcept { return kind_ == Kind::Integer || kind_ == Kind::Float; }

  // Raw access; each is meaningful for its own kind only.
  std::int64_t integer() const noexcept { return integer_; }
  double number() const noexcept { return kind_ == Kind::Integer ? double(integer_) : float_; }
  // Text or blob bytes.
  const std::string& bytes() const noexcept { return bytes_; }

  bool operator==(const Variant& other) const noexcept;

 private:
  Kind kind_ = Kind::Null;
  std::int64_t integer_ = 0;
  double float_ = 0;
  std::string bytes_;
};

// Decimal text of a floating-point value with up to 15 significant digits, shortest form.
std::string FloatToStr(double value);

}  // namespace qx
