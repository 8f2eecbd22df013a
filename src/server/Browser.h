// TIWBrowser: the client types the service tells apart, their detection from a user agent,
// their display names, and the set of client types a setting such as SupportedBrowsers holds.
#pragma once

#include <string>
#include <string_view>

#include "runtime/Enums.h"

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

// The client type a user agent (or a forced mode text: "HTML 3.2", "WML", "XHTML MP") names.
// Every text gives a type; an empty one gives brOther.
TIWBrowser DetectBrowser(std::string_view userAgent);

// A set of client types.
using TIWBrowsers = TSet<TIWBrowser>;

}  // namespace qx
