// Display names of the client types.
#include "server/Browser.h"

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

}  // namespace qx
