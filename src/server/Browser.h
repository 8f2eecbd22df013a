// TIWBrowser: the client types the service tells apart, their display names, and the set of
// client types a setting such as SupportedBrowsers holds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace qx {

enum TIWBrowser : int {
  brUnknown = 0,
  brIE = 1,
  brNetscape7 = 2,
  brOpera = 3,
  brSafari = 4,
  brIE4 = 5,
  brNetscape6 = 6,
  brNetscape4 = 7,
  brOther = 8,
  brHTML32Test = 9,
  brWMLTest = 10,
  brXHTMLMPTest = 11,
  brWAP = 12,
};
constexpr int kBrowserCount = 13;

extern const char* const kUnknownBrowserType;

// The display name of a client type; brIE4 and values outside the enumeration have none and
// fail with EIWException kUnknownBrowserType.
std::string BrowserName(TIWBrowser browser);

// A set of client types.
class TIWBrowsers {
 public:
  constexpr TIWBrowsers() noexcept = default;
  constexpr TIWBrowsers(std::initializer_list<TIWBrowser> browsers) noexcept {
    for (TIWBrowser b : browsers) Include(b);
  }

  constexpr bool Contains(TIWBrowser b) const noexcept { return (bits_ & Bit(b)) != 0; }
  constexpr TIWBrowsers& Include(TIWBrowser b) noexcept {
    bits_ |= Bit(b);
    return *this;
  }
  constexpr TIWBrowsers& Exclude(TIWBrowser b) noexcept {
    bits_ &= ~Bit(b);
    return *this;
  }
  constexpr bool Empty() const noexcept { return bits_ == 0; }
  constexpr bool operator==(const TIWBrowsers&) const noexcept = default;

 private:
  static constexpr std::uint32_t Bit(TIWBrowser b) noexcept {
    return b >= 0 && b < kBrowserCount ? std::uint32_t{1} << b : 0;
  }
  std::uint32_t bits_ = 0;
};

}  // namespace qx
