// Render kinds, client acceptance and the message for unsupported browsers.
#include "server/ClientAcceptance.h"

#include "runtime/Format.h"
#include "server/ServerControllerBase.h"
#include "server/SessionErrors.h"

namespace qx {

const char* const kBrowserRequired =
    "Your browser was detected as %s, identifying itself as %s.\r\n"
    "One of the following browsers is required:\r\n";

namespace {

bool IsModernBrowser(TIWBrowser browser) noexcept {
  return browser == brIE || browser == brNetscape7 || browser == brOpera ||
         browser == brSafari;
}

}  // namespace

TIWRenderKind RenderKindOf(TIWBrowser browser, const TIWBrowser32Behaviour& behaviour) noexcept {
  switch (browser) {
    case brIE4: return behaviour.IExplorer4As32 ? rkHTML32 : rkHTML40;
    case brNetscape6: return behaviour.Netscape6As32 ? rkHTML32 : rkHTML40;
    case brNetscape4: return behaviour.Netscape4As32 ? rkHTML32 : rkHTML40;
    case brOther:
    case brHTML32Test: return rkHTML32;
    case brWMLTest:
    case brXHTMLMPTest:
    case brWAP: return rkWAP;
    default: return rkHTML40;
  }
}

TIWBrowser ClientTypeOf(std::string_view userAgent) {
  TIWBrowser browser = DetectBrowser(userAgent);
  bool wapOnly = !StartForm(rkHTML40) && !StartForm(rkHTML32) && StartForm(rkWAP);
  if (wapOnly && (IsModernBrowser(browser) || browser == brIE4 || browser == brNetscape6))
    return brXHTMLMPTest;
  return browser;
}

std::string UnsupportedBrowserMessage(TIWBrowser detected, std::string_view userAgent,
                                      TIWBrowsers supported) {
  std::string message = Format(kBrowserRequired, {BrowserName(detected), userAgent});
  for (int b = 0; b < kBrowserCount; ++b) {
    auto browser = static_cast<TIWBrowser>(b);
    if (supported.Contains(browser)) message += "* " + BrowserName(browser) + "\r\n";
  }
  return message;
}

TIWRenderKind AcceptClient(TIWBrowser browser, std::string_view userAgent,
                           const TIWServerControllerBase& controller) {
  TIWBrowsers supported = controller.SupportedBrowsers();
  TIWRenderKind kind = RenderKindOf(browser, controller.Browser32Behaviour());
  if (browser == brUnknown || (kind == rkHTML40 && !supported.Contains(browser))) {
    switch (controller.UnknownBrowserAction()) {
      case ub32: kind = rkHTML32; break;
      case ubWAP: kind = rkWAP; break;
      case ub40: kind = rkHTML40; break;
      case ubReject: throw EIWException(kUnknownBrowserType);
    }
  }
  if (kind == rkHTML40 && !supported.Contains(browser))
    throw EUnknownBrowserException(UnsupportedBrowserMessage(browser, userAgent, supported),
                                   IsModernBrowser(browser));
  return kind;
}

}  // namespace qx
