// Whole request cycles through the built library: session start with the size probe page,
// posts of the interim start form, a missing database, stale pages, stop, ping, unknown
// commands, expired and foreign sessions, internal files and the caching headers.
#include <gtest/gtest.h>

#include "ServiceClient.h"
#include "runtime/DateTime.h"
#include "runtime/Files.h"
#include "runtime/HttpDate.h"

namespace qx {
namespace {

using test::Capture;
using test::InMemoryConnection;
using test::LoadedLibrary;
using test::PageTrackID;
using test::ServiceClient;
using test::ServiceReply;

constexpr char kPageType[] = "text/html; charset=windows-1252";
constexpr char kSessionEndRedirect[] = "IWTop().window.location.href = \"/files/SessionEnd.htm\";";

class Service : public ::testing::Test {
 protected:
  test::TempDir dir_;
  LoadedLibrary library_{dir_.path()};
  ServiceClient client_{library_};
};

std::string ExpectedProbePage(const std::string& appID) {
  return "<HTML><HEAD><TITLE></TITLE><meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n"
         "<meta http-equiv=\"pragma\" content=\"no-cache\">\r\n"
         "<NOSCRIPT><HTML><BODY>Your browser does not seem to support JavaScript. Please make "
         "sure it is supported and activated</BODY></HTML></NOSCRIPT><SCRIPT>\r\n"
         "var ie4 = (document.all)? true:false;\r\n"
         "var ns6 = (document.getElementById)? true && !ie4:false;\r\n"
         "function Initialize() {\r\n"
         "var lWidth;\r\n"
         "var lHeight;\r\n"
         "if (ns6) {\r\n"
         "  lWidth = window.innerWidth - 30;\r\n"
         "  lHeight = window.innerHeight - 30;\r\n"
         "} else {\r\n"
         "  lWidth = document.body.clientWidth;\r\n"
         "  lHeight = document.body.clientHeight;\r\n"
         "}\r\n"
         "document.forms[0].elements[\"IW_width\"].value = lWidth;\r\n"
         "document.forms[0].elements[\"IW_height\"].value = lHeight;\r\n"
         "document.forms[0].submit();\r\n"
         "}</SCRIPT></HEAD><BODY onload=\"Initialize()\">\r\n"
         "<form method=post action=\"/RequestQX9/EXEC\">\r\n"
         "<input type=hidden name=\"IW_width\">\r\n"
         "<input type=hidden name=\"IW_height\">\r\n"
         "<input type=hidden name=\"IW_SessionID_\" value=\"" + appID + "\">\r\n"
         "<input type=hidden name=\"IW_TrackID_\" value=\"0\">\r\n"
         "</form></BODY></HTML>";
}

TEST_F(Service, FirstRequestGetsTheSizeProbePage) {
  ServiceReply probe = client_.Get("");
  EXPECT_EQ(probe.status, 200u);
  const std::string appID = Capture(probe.body, "name=\"IW_SessionID_\" value=\"([^\"]*)\"");
  ASSERT_EQ(appID.size(), 28u);
  EXPECT_EQ(appID.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"), std::string::npos);
  EXPECT_EQ(probe.body, ExpectedProbePage(appID));
  EXPECT_EQ(probe.Header("Pragma"), "no-cache");
  EXPECT_FALSE(probe.Header("Expires"));
  EXPECT_EQ(probe.Header("Content-Type"), kPageType);

  // Every start is a session of its own.
  ServiceReply second = client_.Get("/");
  EXPECT_NE(Capture(second.body, "name=\"IW_SessionID_\" value=\"([^\"]*)\""), appID);
}

TEST_F(Service, TheProbePostShowsTheStartFormSizedToTheWindow) {
  ServiceReply page = client_.Start(1000, 700);
  EXPECT_EQ(page.status, 200u);
  EXPECT_EQ(page.Header("Content-Type"), kPageType);
  EXPECT_EQ(PageTrackID(page.body), 1);
  EXPECT_NE(page.body.find("var GAppID=\"" + client_.appID + "\""), std::string::npos);
  EXPECT_NE(page.body.find("InitRects(1000, 700);"), std::string::npos);
  for (const char* script : {"IWPreScript.js", "IWCommon.js", "IWCL.js", "IWGecko.js"})
    EXPECT_NE(page.body.find(std::string("src=\"/RequestQX9/js/") + script + "_9.0.17\""),
              std::string::npos) << script;
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">Type a text and copy it here.</span>"), std::string::npos);
  // The probe post is never cached; the page is no reply to a current post yet.
  EXPECT_EQ(page.Header("Pragma"), "no-cache");
}

TEST_F(Service, TheButtonCopiesTheEditIntoTheLabelInTheServicesEncoding) {
  client_.Start();
  // "Lámpara ñoña" as the browser posts a windows-1252 page.
  ServiceReply page = client_.Submit("BTNCOPY", "EDTTEXT=L%E1mpara+%F1o%F1a", 1);
  EXPECT_EQ(page.status, 200u);
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">L\xE1" "mpara \xF1o\xF1" "a</span>"), std::string::npos)
      << page.body;
  EXPECT_NE(page.body.find("VALUE=\"L\xE1" "mpara \xF1o\xF1" "a\""), std::string::npos);
  EXPECT_EQ(PageTrackID(page.body), 2);
  // A reply to a current post may be kept for the cache time and says when it expires.
  ASSERT_TRUE(page.Header("Expires"));
  EXPECT_FALSE(page.Header("Pragma"));
}

TEST_F(Service, EnterInTheEditDoesWhatTheButtonDoes) {
  client_.Start();
  ServiceReply page = client_.Submit("EDTTEXT", "EDTTEXT=by+Enter", 1);
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">by Enter</span>"), std::string::npos);
}

TEST_F(Service, MarkupInTheTextIsShownAsText) {
  client_.Start();
  ServiceReply page = client_.Submit("BTNCOPY", "EDTTEXT=%3Cb%3E%22x%22", 1);
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">&lt;b&gt;&quot;x&quot;</span>"), std::string::npos);
  EXPECT_EQ(page.body.find("<b>\"x\""), std::string::npos);
}

TEST_F(Service, AnOldPageIsIgnoredWithTheBackButtonMessage) {
  client_.Start();
  client_.Submit("BTNCOPY", "EDTTEXT=current", 1);
  ServiceReply stale = client_.Submit("BTNCOPY", "EDTTEXT=old", 1);
  EXPECT_EQ(stale.status, 200u);
  EXPECT_NE(stale.body.find(
                "window.alert(\"You cannot go back with this button.\\nUse the Back button\");"),
            std::string::npos);
  // Only the service's own message: the resync warning is off.
  EXPECT_EQ(stale.body.find("resynced"), std::string::npos);
  EXPECT_NE(stale.body.find("ID=\"LBLECHO\">current</span>"), std::string::npos);
  EXPECT_EQ(PageTrackID(stale.body), 2);
  // The message is shown once; the current page goes on normally.
  ServiceReply next = client_.Submit("BTNCOPY", "EDTTEXT=next", 2);
  EXPECT_EQ(next.body.find("window.alert"), std::string::npos);
  EXPECT_NE(next.body.find("ID=\"LBLECHO\">next</span>"), std::string::npos);
}

TEST_F(Service, ASlashAndASessionFieldMakeAPostNotANewSession) {
  client_.Start();
  ServiceReply page = client_.Post("/", "EDTTEXT=slash&IW_Action=BTNCOPY&IW_ActionParam=&IW_SessionID_=" +
                                            client_.appID + "&IW_TrackID_=1");
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">slash</span>"), std::string::npos);
  ServiceReply lower = client_.Post("/exec", "EDTTEXT=lower&IW_Action=BTNCOPY&IW_ActionParam=&IW_SessionID_=" +
                                                 client_.appID + "&IW_TrackID_=2");
  EXPECT_NE(lower.body.find("ID=\"LBLECHO\">lower</span>"), std::string::npos);
}

TEST_F(Service, AnUnknownControlIsReportedOnTheSamePage) {
  client_.Start();
  ServiceReply page = client_.Submit("NOSUCHBUTTON", "EDTTEXT=x", 1);
  EXPECT_EQ(page.status, 200u);
  EXPECT_NE(page.body.find("window.alert(\"Cannot find submit component.\");"), std::string::npos);
}

TEST_F(Service, TheEndButtonTerminatesTheSession) {
  client_.Start();
  ServiceReply final = client_.Submit("BTNTERMINATE", "EDTTEXT=", 1);
  EXPECT_EQ(final.status, 200u);
  EXPECT_NE(final.body.find("<html><body>Application has terminated</body></html>"), std::string::npos);
  EXPECT_EQ(final.Header("Content-Type"), kPageType);
  ServiceReply after = client_.Submit("BTNCOPY", "EDTTEXT=x", 2);
  EXPECT_NE(after.body.find(kSessionEndRedirect), std::string::npos);
}

TEST_F(Service, PingAnswersEmpty) {
  ServiceReply ping = client_.Get("/PING");
  EXPECT_EQ(ping.status, 200u);
  EXPECT_EQ(ping.body, "");
  EXPECT_EQ(ping.Header("Pragma"), "no-cache");
}

TEST_F(Service, AnUnknownCommandIsAServerError) {
  ServiceReply reply = client_.Get("/FOO");
  EXPECT_EQ(reply.status, 500u);
  EXPECT_EQ(reply.statusText, "500 Server error");
  EXPECT_NE(reply.body.find("Unrecognized Command: : FOO:"), std::string::npos);
  // The wrapped error page writes itself into the top window.
  EXPECT_EQ(reply.body.rfind("<html><head><script>\r\n", 0), 0u);
  EXPECT_NE(reply.body.find("IWTop().document.writeln('"), std::string::npos);
  EXPECT_EQ(reply.Header("Content-Type"), kPageType);
}

TEST_F(Service, ASessionStartsOnlyWithItsDatabase) {
  // Every session opens the database when it starts; without it no session is made.
  ASSERT_TRUE(DeleteFile(dir_ / "database/Requests.mdb"));
  ServiceReply reply = client_.Get("");
  EXPECT_EQ(reply.status, 500u);
  EXPECT_NE(reply.body.find("database/Requests.mdb"), std::string::npos) << reply.body;
  EXPECT_EQ(reply.body.find("IW_SessionID_"), std::string::npos);
  EXPECT_FALSE(FileExists(dir_ / "database/Requests.mdb"));
}

TEST_F(Service, UnknownAndStoppedSessionsAreSentToTheSessionEndPage) {
  ServiceReply unknown = client_.Submit("BTNCOPY", "EDTTEXT=x", 1);
  EXPECT_EQ(unknown.status, 200u);
  EXPECT_NE(unknown.body.find(kSessionEndRedirect), std::string::npos);

  client_.Start();
  ServiceReply stop = client_.Get("/STOP/3/" + client_.appID);
  EXPECT_EQ(stop.status, 200u);
  ServiceReply after = client_.Submit("BTNCOPY", "EDTTEXT=x", 1);
  EXPECT_NE(after.body.find(kSessionEndRedirect), std::string::npos);
}

TEST_F(Service, StopSendsTheBrowserToItsTarget) {
  client_.Start();
  ServiceReply stop = client_.Get("/STOP/1/" + client_.appID + "/example.org/next");
  EXPECT_EQ(stop.status, 302u);
  EXPECT_EQ(stop.Header("Location"), "http://example.org/next");
  client_.Start();
  ServiceReply secure = client_.Get("/STOP/1/" + client_.appID + "/_s_.example.org/");
  EXPECT_EQ(secure.Header("Location"), "https://example.org/");
}

TEST_F(Service, ASessionAnswersOnlyItsOwnAddress) {
  client_.Start();
  client_.headers = {{"X-Forwarded-For", "192.0.2.7"}};
  ServiceReply foreign = client_.Submit("BTNCOPY", "EDTTEXT=foreign", 1);
  EXPECT_EQ(foreign.status, 500u);
  EXPECT_NE(foreign.body.find("Security Exception: The IP you are using is different than the one "
                              "that is assigned to the specified session."),
            std::string::npos);
  client_.headers.clear();
  ServiceReply own = client_.Submit("BTNCOPY", "EDTTEXT=own", 1);
  EXPECT_EQ(own.status, 200u);
  EXPECT_NE(own.body.find("ID=\"LBLECHO\">own</span>"), std::string::npos);
}

TEST_F(Service, ASessionStartedBehindAProxyIsBoundToTheForwardedAddress) {
  client_.headers = {{"X-Forwarded-For", " 192.0.2.7 "}};
  client_.Start();
  ServiceReply page = client_.Submit("BTNCOPY", "EDTTEXT=proxied", 1);
  EXPECT_NE(page.body.find("ID=\"LBLECHO\">proxied</span>"), std::string::npos);
  client_.headers.clear();
  EXPECT_EQ(client_.Submit("BTNCOPY", "EDTTEXT=direct", 2).status, 500u);
}

TEST_F(Service, AnotherBrowserFamilyIsRefused) {
  client_.Start();
  client_.userAgent = "Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0";
  ServiceReply reply = client_.Submit("BTNCOPY", "EDTTEXT=x", 1);
  EXPECT_EQ(reply.status, 500u);
  EXPECT_NE(reply.body.find("The browser you are using is different"), std::string::npos);
}

TEST_F(Service, InternalPicturesCarryTheirDateAndAnswerConditionalRequests) {
  ServiceReply gif = client_.Get("/gfx/Tp.gif");
  EXPECT_EQ(gif.status, 200u);
  EXPECT_EQ(gif.Header("Content-Type"), "image/gif");
  EXPECT_EQ(gif.body.rfind("GIF8", 0), 0u);
  const std::optional<std::string> modified = gif.Header("Last-Modified");
  ASSERT_TRUE(modified);
  ASSERT_TRUE(gif.Header("Expires"));
  EXPECT_FALSE(gif.Header("Pragma"));

  InMemoryConnection conditional;
  conditional.SetPathInfo("/gfx/Tp.gif").SetHeader("If-Modified-Since", *modified);
  library_.Run(conditional);
  EXPECT_EQ(conditional.StatusCode(), 304u);
  EXPECT_EQ(conditional.Body(), "");
}

TEST_F(Service, ScriptsAreServedWithTheirVersionOnly) {
  ServiceReply script = client_.Get("/js/IWCommon.js_9.0.17");
  EXPECT_EQ(script.status, 200u);
  EXPECT_EQ(script.Header("Content-Type"), "application/x-javascript");
  EXPECT_NE(script.body.find("function SubmitClickConfirm("), std::string::npos);
  EXPECT_EQ(client_.Get("/js/IWCommon.js").status, 500u);
}

TEST_F(Service, PublicFilesComeFromTheFilesFolder) {
  ASSERT_TRUE(ForceDirectories(dir_ / "Files"));
  ASSERT_TRUE(WriteFileBytes(dir_ / "Files/note.htm", "<p>note</p>"));
  ServiceReply file = client_.Get("/files/note.htm");
  EXPECT_EQ(file.status, 200u);
  EXPECT_EQ(file.body, "<p>note</p>");
  EXPECT_EQ(file.Header("Content-Type"), "text/html");
  EXPECT_EQ(client_.Get("/FILES/missing.htm").status, 404u);
  EXPECT_EQ(client_.Get("/files/../RequestQX9.so").status, 404u);
}

TEST_F(Service, ClientsWithoutAFormGetTheDeviceNotSupportedPage) {
  client_.userAgent = "Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)";
  ServiceReply reply = client_.Get("");
  EXPECT_EQ(reply.status, 200u);
  EXPECT_NE(reply.body.find("Device not supported"), std::string::npos);
  // The forced WML mode has no form either.
  client_.userAgent = test::kChromeAgent;
  EXPECT_NE(client_.Get("/WML").body.find("Device not supported"), std::string::npos);
}

TEST_F(Service, ResizeReportsTheWindowWithoutAPage) {
  client_.Start(800, 600);
  ServiceReply resize = client_.Get("/RESIZE/0/" + client_.appID, "IW_width=1024&IW_height=768");
  EXPECT_EQ(resize.status, 200u);
  EXPECT_EQ(resize.body, "");
  ServiceReply page = client_.Submit("BTNCOPY", "EDTTEXT=x", 1);
  // The next page is laid out at the size the browser reported with its post.
  EXPECT_NE(page.body.find("InitRects(800, 600);"), std::string::npos);
}

}  // namespace
}  // namespace qx
