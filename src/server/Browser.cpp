// Display names of the client types and their detection from user agents.
#include "server/Browser.h"

#include <algorithm>

#include "runtime/Strings.h"
#include "server/IWExceptions.h"

namespace qx {

const char* const kUnknownBrowserType = "Unknown browser type.";

std::string BrowserName(TIWBrowser browser) {
  switch (browser) {
    case brUnknown: return "Unknown or Unrecognized";
    case brIE: return "Internet Explorer";
    case brNetscape7: return "Netscape 7 or higher (Gecko)";
    case brOpera: return "Opera";
    case brSafari: return "Safari";
    case brNetscape6: return "Netscape 6 (Gecko)";
    case brNetscape4: return "Netscape 4";
    case brOther: return "Other";
    case brHTML32Test: return "HTML 32 Test";
    case brWMLTest: return "WML Test";
    case brXHTMLMPTest: return "XHTML MP Test";
    case brWAP: return "Generic WAP Browser";
    default: break;
  }
  throw EIWException(kUnknownBrowserType);
}

namespace {

// The first build of the Gecko engine that counts as Netscape 7; also the build assumed when
// the text after "Gecko/" is no number.
constexpr int kNetscape7GeckoBuild = 20020823;

constexpr std::string_view kWapMarks[] = {"NOKI", "SIEMENS", "MOTOROLA", "TRIUM",
                                          "SYMBIAN OS", "SONY", "SONYERICSSON", "WAP",
                                          "UP.BROWSER", "UP.LINK", "MOT-A820"};

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

TIWBrowser DetectBrowser(std::string_view userAgent) {
  if (SameText(userAgent, "HTML 3.2")) return brHTML32Test;
  if (SameText(userAgent, "WML")) return brWMLTest;
  if (SameText(userAgent, "XHTML MP")) return brXHTMLMPTest;
  const std::string ua = UpperCase(userAgent);
  if (Contains(ua, "MOZILLA/2") || Contains(ua, "3.02")) return brOther;
  if (Contains(ua, "KONQUEROR") || Contains(ua, "SAFARI")) return brSafari;
  if (Contains(ua, "OPERA")) return brOpera;
  if (std::size_t gecko = ua.find("GECKO"); gecko != std::string::npos) {
    // "GECKO/" and the eight digits of the build date.
    std::string_view build = std::string_view(ua).substr(std::min(gecko + 6, ua.size()), 8);
    return StrToIntDef(build, kNetscape7GeckoBuild) < kNetscape7GeckoBuild ? brNetscape6
                                                                            : brNetscape7;
  }
  if (ua.starts_with("MOZILLA/4.5") || ua.starts_with("MOZILLA/4.7")) return brNetscape4;
  std::size_t msie = ua.find("MSIE ");
  if (msie == std::string::npos) {
    for (std::string_view mark : kWapMarks)
      if (Contains(ua, mark)) return brWAP;
    return brOther;
  }
  std::string_view version = std::string_view(ua).substr(msie + 5);
  version = version.substr(0, version.find('.'));
  return StrToIntDef(version, 0) < 5 ? brIE4 : brIE;
}

}  // namespace qx
