// Format: message building with the runtime's placeholders.
// "%" [index ":"] ["-"] [width] ["." precision] type, where type is one of d, u, x, s, f, e,
// g, n (letter case ignored, so %S equals %s and %D equals %d), and "%%" writes a percent sign.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qx {

class FormatArg {
 public:
  enum class Kind { Integer, Float, Text };
  FormatArg(int v) : kind_(Kind::Integer), integer_(v) {}
  FormatArg(long v) : kind_(Kind::Integer), integer_(v) {}
  FormatArg(long long v) : kind_(Kind::Integer), integer_(v) {}
  FormatArg(unsigned v) : kind_(Kind::Integer), integer_(v) {}
  FormatArg(unsigned long v) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(v)) {}
  FormatArg(unsigned long long v)
      : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(v)) {}
  FormatArg(double v) : kind_(Kind::Float), float_(v) {}
  FormatArg(const char* v) : kind_(Kind::Text), text_(v) {}
  FormatArg(const std::string& v) : kind_(Kind::Text), text_(v) {}
  FormatArg(std::string_view v) : kind_(Kind::Text), text_(v) {}

  Kind kind() const noexcept { return kind_; }
  std::int64_t integer() const noexcept { return integer_; }
  double number() const noexcept { return float_; }
  std::string_view text() const noexcept { return text_; }

 private:
  Kind kind_;
  std::int64_t integer_ = 0;
  double float_ = 0;
  std::string_view text_;
};

// Fails with EConvertError "Format '<fmt>' invalid or incompatible with argument" when a
// placeholder is malformed, refers to a missing argument or to one of the wrong kind.
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);

}  // namespace qx
