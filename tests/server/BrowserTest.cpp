// Client types and their display names.
#include "server/Browser.h"

#include <gtest/gtest.h>

#include "server/IWExceptions.h"

namespace qx {
namespace {

TEST(BrowserName, EachNamedClientTypeHasItsText) {
  const std::pair<TIWBrowser, const char*> names[] = {
      {brUnknown, "Unknown or Unrecognized"}, {brIE, "Internet Explorer"},
      {brNetscape7, "Netscape 7 or higher (Gecko)"}, {brOpera, "Opera"},
      {brSafari, "Safari"}, {brNetscape6, "Netscape 6 (Gecko)"}, {brNetscape4, "Netscape 4"},
      {brOther, "Other"}, {brHTML32Test, "HTML 32 Test"}, {brWMLTest, "WML Test"},
      {brXHTMLMPTest, "XHTML MP Test"}, {brWAP, "Generic WAP Browser"}};
  for (const auto& [browser, name] : names) EXPECT_EQ(BrowserName(browser), name);
}

TEST(BrowserName, OtherValuesFailAsUnknownBrowserType) {
  for (int value : {5, 13, -1}) {
    try {
      BrowserName(static_cast<TIWBrowser>(value));
      FAIL() << value;
    } catch (const EIWException& e) {
      EXPECT_EQ(e.Message(), "Unknown browser type.");
      EXPECT_STREQ(e.ClassName(), "EIWException");
    }
  }
}

}  // namespace
}  // namespace qx
