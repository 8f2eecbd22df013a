// Client types from user agents, the render kind and acceptance of each, and the message that
// names the supported browsers.
#include "server/ClientAcceptance.h"

#include <gtest/gtest.h>

#include "ServerFixture.h"
#include "runtime/ClassInfo.h"
#include "server/SessionErrors.h"

namespace qx {
namespace {

TEST(DetectBrowser, EachRuleInItsOrder) {
  const std::pair<const char*, TIWBrowser> cases[] = {
      {"HTML 3.2", brHTML32Test},
      {"html 3.2", brHTML32Test},
      {"WML", brWMLTest},
      {"xhtml mp", brXHTMLMPTest},
      {"Mozilla/2.02 (Win95; I)", brOther},
      {"Mozilla/3.02 (X11; I; Linux)", brOther},
      {"Mozilla/5.0 (compatible; Konqueror/3.5; Linux) KHTML/3.5.10 (like Gecko)", brSafari},
      {"Mozilla/5.0 (Macintosh) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.0 "
       "Safari/605.1.15",
       brSafari},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/120.0 Safari/537.36",
       brSafari},
      {"Opera/9.80 (Windows NT 6.1; U; en) Presto/2.12.388 Version/12.16", brOpera},
      // Opera naming itself Internet Explorer is still Opera.
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; en) Opera 8.50", brOpera},
      {"Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.0.1) Gecko/20020823 Netscape/7.0",
       brNetscape7},
      {"Mozilla/5.0 (Windows; U; Win98; en-US; rv:0.9.4) Gecko/20020822 Netscape6/6.2",
       brNetscape6},
      {"Mozilla/5.0 (X11; Linux x86_64; rv:109.0) Gecko/20100101 Firefox/115.0", brNetscape7},
      {"Mozilla/5.0 (rv:1.0) Gecko/", brNetscape7},
      {"Mozilla/5.0 Gecko/build", brNetscape7},
      {"Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko", brNetscape7},
      {"Mozilla/4.7 [en] (WinNT; I)", brNetscape4},
      {"Mozilla/4.51 [en] (Win98; U)", brNetscape4},
      {"Nokia6230/2.0 (04.44) Profile/MIDP-2.0 Configuration/CLDC-1.1", brWAP},
      {"SonyEricssonK750i/R1CA Browser/SEMC-Browser/4.2", brWAP},
      {"UP.Browser/6.2.3.3", brWAP},
      {"", brOther},
      {"curl/8.5.0", brOther},
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", brIE},
      {"Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1)", brIE},
      {"Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)", brIE4},
      {"Mozilla/4.0 (compatible; MSIE x.y)", brIE4},
  };
  for (const auto& [agent, expected] : cases) EXPECT_EQ(DetectBrowser(agent), expected) << agent;
}

class Acceptance : public test::ServerTest {
 protected:
  // The failure of AcceptClient as class and message, or the render kind's number.
  std::string Accept(TIWBrowser browser, const char* agent = "agent") {
    try {
      return std::to_string(AcceptClient(browser, agent, Controller()));
    } catch (const EUnknownBrowserException& e) {
      modern_ = e.ModernBrowser();
      return std::string(e.ClassName()) + ": " + e.Message();
    } catch (const Exception& e) {
      return std::string(e.ClassName()) + ": " + e.Message();
    }
  }
  bool modern_ = false;
};

TEST_F(Acceptance, TheServiceSettingsGiveHtml40ToFourFamiliesAndRefuseUnknown) {
  for (TIWBrowser b : {brIE, brNetscape7, brOpera, brSafari}) EXPECT_EQ(Accept(b), "1") << b;
  for (TIWBrowser b : {brIE4, brNetscape6, brNetscape4, brOther, brHTML32Test})
    EXPECT_EQ(Accept(b), "2") << b;
  for (TIWBrowser b : {brWMLTest, brXHTMLMPTest, brWAP}) EXPECT_EQ(Accept(b), "3") << b;
  EXPECT_EQ(Accept(brUnknown), "EIWException: Unknown browser type.");
}

TEST_F(Acceptance, UnsupportedHtml40ClientsFollowTheUnknownBrowserAction) {
  Controller().SetSupportedBrowsers({brIE});
  EXPECT_EQ(Accept(brOpera), "EIWException: Unknown browser type.");
  Controller().SetUnknownBrowserAction(ub32);
  EXPECT_EQ(Accept(brOpera), "2");
  Controller().SetUnknownBrowserAction(ubWAP);
  EXPECT_EQ(Accept(brOpera), "3");
  Controller().SetUnknownBrowserAction(ub40);
  EXPECT_EQ(Accept(brOpera, "Opera/9.80"),
            "EUnknownBrowserException: Your browser was detected as Opera, identifying itself "
            "as Opera/9.80.\r\nOne of the following browsers is required:\r\n"
            "* Internet Explorer\r\n");
  EXPECT_TRUE(modern_);
}

TEST_F(Acceptance, TheMessageListsTheSupportedTypesInTheirOrder) {
  Controller().SetUnknownBrowserAction(ub40);
  EXPECT_EQ(Accept(brUnknown, "x%sy"),
            "EUnknownBrowserException: Your browser was detected as Unknown or Unrecognized, "
            "identifying itself as x%sy.\r\nOne of the following browsers is required:\r\n"
            "* Internet Explorer\r\n* Netscape 7 or higher (Gecko)\r\n* Opera\r\n* Safari\r\n"
            "* Netscape 6 (Gecko)\r\n");
  EXPECT_FALSE(modern_);
  // Netscape 6 with HTML 4.0 pages is supported; Netscape 4 is not.
  Controller().Browser32Behaviour() = {false, false, false};
  EXPECT_EQ(Accept(brNetscape6), "1");
  EXPECT_EQ(Accept(brNetscape4).rfind("EUnknownBrowserException: ", 0), 0u);
  EXPECT_FALSE(modern_);
}

TEST_F(Acceptance, HtmlFamiliesBecomeXhtmlMpWhenOnlyAWapStartFormExists) {
  const TClassInfo& form = TComponent::StaticClassInfo();
  const char* msie = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
  EXPECT_EQ(ClientTypeOf(msie), brIE);
  RegisterStartForm(rkWAP, &form);
  EXPECT_EQ(ClientTypeOf(msie), brXHTMLMPTest);
  EXPECT_EQ(ClientTypeOf("Mozilla/4.7 [en]"), brNetscape4);  // not one of the five
  RegisterStartForm(rkHTML32, &form);
  EXPECT_EQ(ClientTypeOf(msie), brIE);
  RegisterStartForm(rkWAP, nullptr);
  RegisterStartForm(rkHTML32, nullptr);
}

}  // namespace
}  // namespace qx
