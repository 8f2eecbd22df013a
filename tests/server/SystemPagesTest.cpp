// System pages: the built-in and TemplateDir templates, every placeholder, the escaping of the
// failure message, the top-window wrapping, and file-reference URLs.
#include "server/SystemPages.h"

#include <gtest/gtest.h>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "server/SessionErrors.h"

namespace qx {
namespace {

constexpr char kWrapStart[] = "<html><head><script>\r\nfunction IWTop(){ \r\n";
constexpr char kWrapEnd[] = "');\r\n</script></head></html>";

// The page inside the wrapping, or "" when `page` is not wrapped.
std::string Unwrapped(const std::string& page) {
  std::string head = std::string("<html><head><script>\r\n") + kTopWindowFunction +
                     "IWTop().document.writeln('";
  if (page.rfind(head, 0) != 0 || !page.ends_with(kWrapEnd)) return "";
  return page.substr(head.size(), page.size() - head.size() - std::string(kWrapEnd).size());
}

class SystemPages : public test::ServerTest {
 protected:
  std::string Page(std::string_view name, const std::exception* failure,
                   std::string_view message) {
    return SystemPage(name, failure, message, request_.Request());
  }
  test::TestRequest request_;
};

TEST_F(SystemPages, TheBuiltInErrorPageIsFilledAndWrapped) {
  EIWException failure("Unrecognized Command: : FOO:abc");
  std::string page = Page(kErrorPage, &failure, failure.Message());
  ASSERT_TRUE(page.starts_with(kWrapStart)) << page;
  std::string inner = Unwrapped(page);
  ASSERT_FALSE(inner.empty());
  EXPECT_EQ(inner.find('\r'), std::string::npos);
  EXPECT_EQ(inner.find('\n'), std::string::npos);
  EXPECT_NE(inner.find("<TITLE>Requests Service for the QX9 Error</TITLE>"), std::string::npos);
  EXPECT_NE(inner.find("An unhandled application error has occured within "
                       "<b>Requests Service for the QX9</b>."),
            std::string::npos);
  EXPECT_NE(inner.find("Depending on the error condition, it might be possible to restart the "
                       "application."),
            std::string::npos);
  EXPECT_NE(inner.find("<A HREF=\"/RequestQX9/\">Click here to restart "
                       "<b>Requests Service for the QX9</b></A>"),
            std::string::npos);
  EXPECT_NE(inner.find("Error message raised by the application:"), std::string::npos);
  EXPECT_NE(inner.find("<B>Unrecognized Command: : FOO:abc</B>"), std::string::npos);
  EXPECT_EQ(inner.find("{%"), std::string::npos);
  EXPECT_NE(inner.find("no-cache"), std::string::npos);
}

TEST_F(SystemPages, TheTimeOutPageSaysSoAndNamesTheApplication) {
  EInvalidSession failure("Session not found. Session may have expired.");
  std::string inner = Unwrapped(Page(kSessionTimeoutPage, &failure, ""));
  EXPECT_NE(inner.find("A time-out has occurred"), std::string::npos);
  EXPECT_NE(inner.find("within <b>Requests Service for the QX9</b>."), std::string::npos);
  EXPECT_NE(inner.find("HREF=\"/RequestQX9/\""), std::string::npos);
}

TEST_F(SystemPages, TheMessageCannotCarryMarkupOrLeaveTheScriptString) {
  EIWException failure("x");
  std::string inner = Unwrapped(
      Page(kErrorPage, &failure,
           "Unrecognized Command: : <script>alert(1)</script>\\x3cb\\x3e \"it's\" & co:"));
  EXPECT_NE(inner.find("Unrecognized Command: : &lt;script&gt;alert(1)&lt;/script&gt;"
                       "&#92;x3cb&#92;x3e &#34it&#39s&#34 &amp; co:"),
            std::string::npos)
      << inner;
  EXPECT_EQ(inner.find("<script>"), std::string::npos);
  EXPECT_EQ(EscapeContent("a\"b'c"), "a&#34b&#39c");
}

TEST_F(SystemPages, TheExpiredSessionTextCountsMinutes) {
  EInvalidSession failure("Session not found. Session may have expired.");
  Controller().SetSessionTimeout(1);
  std::string one = Unwrapped(Page(kErrorPage, &failure, failure.Message()));
  EXPECT_NE(one.find("Your session has expired. You will have to restart the application. In "
                     "order to keep sessions from expiring you may set the session timeout "
                     "parameter to a higher value. The current session timeout value is 1 "
                     "minute."),
            std::string::npos);
  Controller().SetSessionTimeout(10);
  std::string ten = Unwrapped(Page(kErrorPage, &failure, failure.Message()));
  EXPECT_NE(ten.find("The current session timeout value is 10 minutes."), std::string::npos);
}

TEST_F(SystemPages, TheRestartAddressUsesUrlBaseAndStartCommand) {
  EIWException failure("x");
  Controller().SetStartCmd("go");
  EXPECT_NE(Unwrapped(Page(kErrorPage, &failure, "")).find("HREF=\"/RequestQX9/go\""),
            std::string::npos);
  Controller().SetStartCmd("  ");
  Controller().SetURLBase("http://host");
  EXPECT_NE(Unwrapped(Page(kErrorPage, &failure, "")).find("HREF=\"http://host/RequestQX9/\""),
            std::string::npos);
}

TEST_F(SystemPages, ATemplateFileReplacesTheBuiltInTextAndIsReadEachTime) {
  ASSERT_TRUE(ForceDirectories(Controller().TemplateDir()));
  std::string file = Controller().TemplateDir() + "IWError.html";
  ASSERT_TRUE(WriteFileBytes(file,
                             "<html>\r\n<link href=\"../FILES/site.css\">\r\n"
                             "<p>{%appname%}: {%Content%} {%EXCEPTIONSPECIFIC%}</p>\r\n"
                             "<a href=\"{%APPADDRESS%}\">again</a></html>\r\n"));
  EIWException failure("It's broken");
  EXPECT_EQ(Unwrapped(Page(kErrorPage, &failure, failure.Message())),
            "<html><link href=\"/Files/site.css\"><p>Requests Service for the QX9: "
            "It&#39s broken Depending on the error condition, it might be possible to restart "
            "the application.</p><a href=\"/RequestQX9/\">again</a></html>");
  // With a current application its URL base leads to the files.
  TIWSessionStartInfo start;
  start.AppURLBase = "/RequestQX9";
  TIWApplication app(start, "tmpl");
  TCurrentApplicationScope current(&app);
  ASSERT_TRUE(WriteFileBytes(file, "<img src=\"../files/a.gif\"> changed"));
  EXPECT_EQ(Unwrapped(Page(kErrorPage, &failure, "")),
            "<img src=\"/RequestQX9/files/a.gif\"> changed");
}

TEST_F(SystemPages, OnlyOlderClientsAndDevicesGetThePagePlain) {
  EDeviceNotSupported device("Device not supported");
  std::string plain = Page(kErrorPage, &device, device.Message());
  EXPECT_TRUE(plain.starts_with("<!DOCTYPE HTML PUBLIC"));
  EXPECT_NE(plain.find("\n"), std::string::npos);
  EXPECT_NE(plain.find("<B>Device not supported</B>"), std::string::npos);
  EUnknownBrowserException old("old", false);
  EXPECT_TRUE(Page(kErrorPage, &old, "old").starts_with("<!DOCTYPE"));
  EUnknownBrowserException modern("modern", true);
  EXPECT_TRUE(Page(kErrorPage, &modern, "modern").starts_with(kWrapStart));
  EXPECT_TRUE(Page(kErrorPage, nullptr, "none").starts_with(kWrapStart));
}

TEST_F(SystemPages, WrappingKeepsTemplateTextInsideTheScriptString) {
  EXPECT_EQ(Unwrapped(WrapInTopWindow("it's a\\b</b>\r\n</Script>end")),
            "it\\'s a\\\\b</b><\\/Script>end");
  EXPECT_EQ(Unwrapped(WrapInTopWindow("plain")), "plain");
}

TEST_F(SystemPages, FileReferenceUrlsLeadIntoTheFilesFolder) {
  const std::string& files = Controller().FilesDir();
  EXPECT_EQ(FileReferencePath("SessionEnd.htm"), files + "SessionEnd.htm");
  EXPECT_EQ(FileReferencePath(files + "a.htm"), files + "a.htm");
  EXPECT_EQ(FileReferenceURL("SessionEnd.htm"), "/Files/SessionEnd.htm");
  EXPECT_EQ(FileReferenceURL(files + "sub\\page.htm"), "/Files/sub/page.htm");
  EXPECT_EQ(FileReferenceURL("sub/page.htm"), "/Files/sub/page.htm");
  TIWSessionStartInfo start;
  start.AppURLBase = "/RequestQX9";
  TIWApplication app(start, "refs");
  TCurrentApplicationScope current(&app);
  EXPECT_EQ(FileReferenceURL("SessionEnd.htm"), "/RequestQX9/Files/SessionEnd.htm");
}

}  // namespace
}  // namespace qx
