// Format: the runtime's placeholder syntax, written by hand because message texts depend on it.
#include "runtime/Format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "runtime/Exceptions.h"

namespace qx {
namespace {

[[noreturn]] void Invalid(std::string_view fmt) {
  std::string msg = "Format '";
  msg.append(fmt).append("' invalid or incompatible with argument");
  throw EConvertError(msg);
}

std::string WithThousands(const std::string& digits) {
  // digits: optional '-', integer part, optional fraction starting at '.'.
  std::size_t start = digits[0] == '-' ? 1 : 0;
  std::size_t dot = digits.find('.');
  std::size_t intEnd = dot == std::string::npos ? digits.size() : dot;
  std::string out = digits.substr(0, start);
  for (std::size_t i = start; i < intEnd; ++i) {
    out += digits[i];
    std::size_t left = intEnd - i - 1;
    if (left > 0 && left % 3 == 0) out += ',';
  }
  out += digits.substr(intEnd);
  return out;
}

std::string Scientific(double v, int precision) {
  // "1.2345E+003": `precision` significant digits, then "E", the exponent's sign and at least
  // three digits of the exponent.
  if (precision < 1 || precision > 18) precision = 15;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", precision - 1, v);
  std::string s(buf);
  std::size_t e = s.find('E');
  std::string mantissa = s.substr(0, e);
  char sign = s[e + 1];
  std::string exp = s.substr(e + 2);
  while (exp.size() < 3) exp.insert(exp.begin(), '0');
  return mantissa + "E" + sign + exp;
}

std::string General(double v, int precision) {
  if (precision < 1 || precision > 18) precision = 15;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", precision, v);
  std::string s(buf);
  std::size_t e = s.find('E');
  if (e == std::string::npos) return s;
  return Scientific(v, precision);
}

}  // namespace

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(fmt.size() + 32);
  std::size_t next = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {  // the text up to the next format specifier, as it is
      const std::size_t percent = std::min(fmt.find('%', i), fmt.size());
      out.append(fmt.substr(i, percent - i));
      i = percent - 1;
      continue;
    }
    if (++i >= fmt.size()) Invalid(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    auto readNumber = [&](int& value) {
      bool any = false;
      value = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        value = value * 10 + (fmt[i] - '0');
        ++i;
        any = true;
      }
      return any;
    };
    int number = 0;
    bool hasNumber = readNumber(number);
    if (hasNumber && i < fmt.size() && fmt[i] == ':') {
      next = static_cast<std::size_t>(number);
      ++i;
      hasNumber = false;
    }
    bool left = false;
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int width = -1;
    if (hasNumber) width = number;
    else if (readNumber(number)) width = number;
    int precision = -1;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      if (!readNumber(precision)) Invalid(fmt);
    }
    if (i >= fmt.size() || next >= args.size()) Invalid(fmt);
    const FormatArg& arg = args.begin()[next++];
    char type = static_cast<char>(fmt[i] | 0x20);
    std::string piece;
    switch (type) {
      case 'd':
      case 'u': {
        if (arg.kind() != FormatArg::Kind::Integer) Invalid(fmt);
        std::int64_t v = arg.integer();
        if (type == 'u' && v < 0) v = static_cast<std::uint32_t>(v);
        std::string digits = std::to_string(v < 0 ? -static_cast<std::uint64_t>(v)
                                                  : static_cast<std::uint64_t>(v));
        while (precision > 0 && static_cast<int>(digits.size()) < precision)
          digits.insert(digits.begin(), '0');
        piece = (v < 0 ? "-" : "") + digits;
        break;
      }
      case 'x': {
        if (arg.kind() != FormatArg::Kind::Integer) Invalid(fmt);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(arg.integer()));
        piece = buf;
        while (precision > 0 && static_cast<int>(piece.size()) < precision)
          piece.insert(piece.begin(), '0');
        break;
      }
      case 's':
        if (arg.kind() != FormatArg::Kind::Text) Invalid(fmt);
        if (width <= 0) {  // the common case: the text itself, copied once
          const std::string_view text = arg.text();
          out.append(text.substr(0, precision >= 0 ? static_cast<std::size_t>(precision) : text.size()));
          continue;
        }
        piece = arg.text();
        if (precision >= 0 && static_cast<std::size_t>(precision) < piece.size())
          piece.resize(static_cast<std::size_t>(precision));
        break;
      case 'f':
      case 'n':
      case 'e':
      case 'g': {
        double v;
        if (arg.kind() == FormatArg::Kind::Float) v = arg.number();
        else if (arg.kind() == FormatArg::Kind::Integer) v = static_cast<double>(arg.integer());
        else Invalid(fmt);
        if (type == 'e') {
          piece = Scientific(v, precision);
        } else if (type == 'g') {
          piece = General(v, precision);
        } else {
          char buf[512];
          std::snprintf(buf, sizeof buf, "%.*f", precision < 0 ? 2 : precision, v);
          piece = type == 'n' ? WithThousands(buf) : std::string(buf);
        }
        break;
      }
      default:
        Invalid(fmt);
    }
    if (width > 0 && static_cast<int>(piece.size()) < width) {
      std::string pad(static_cast<std::size_t>(width) - piece.size(), ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

}  // namespace qx
