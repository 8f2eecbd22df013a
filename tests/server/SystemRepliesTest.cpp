// The system replies and the order in which failures become them.
#include "server/SystemReplies.h"

#include <gtest/gtest.h>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "entry/WebResponse.h"
#include "server/SessionErrors.h"
#include "server/SystemPages.h"

namespace qx {
namespace {

class Replies : public test::ServerTest {
 protected:
  // Answers `failure` for a command of `kind`; returns the cacheable flag afterwards.
  bool Answer(const std::exception& failure, TIWCommandKind kind = ckExecute,
              const std::function<void()>& restart = {}) {
    bool cacheable = true;
    ReplyToFailure(failure, kind, r_.Request(), r_.Response(), cacheable, restart);
    return cacheable;
  }
  TWebResponse& Response() { return r_.Response(); }
  bool Wrapped() { return Response().Content().starts_with("<html><head><script>\r\n"); }

  test::TestRequest r_;
};

TEST_F(Replies, RedirectAndScriptRedirect) {
  RedirectReply(Response(), "http://example.test/x");
  EXPECT_EQ(Response().StatusCode(), 302);
  EXPECT_EQ(Response().ReasonString(), "Redirecting");
  EXPECT_EQ(Response().ExtraHeaders().Values("Location"), "http://example.test/x");
  test::TestRequest other;
  ScriptRedirectPage(other.Response(), "/files/SessionEnd.htm");
  EXPECT_EQ(other.Response().Content(),
            std::string("<html>\r\n<head>\r\n<script>\r\n") + kTopWindowFunction +
                " IWTop().window.location.href = \"/files/SessionEnd.htm\";</script>\r\n"
                "</head></html>");
}

TEST_F(Replies, TheServerErrorReplyDropsTheBodyStreamAndTheExpiry) {
  Response().SetContentStream(std::make_unique<TMemoryStream>("half a page"));
  Response().SetExpires(Now() + 1);
  ServerErrorReply(r_.Request(), Response(), EIWException("boom"));
  EXPECT_EQ(Response().StatusCode(), 500);
  EXPECT_EQ(Response().ReasonString(), "Server error");
  EXPECT_EQ(Response().ExtraHeaders().Values("Pragma"), "no-cache");
  EXPECT_LE(Response().Expires(), 0);
  EXPECT_EQ(Response().ContentStream(), nullptr);
  EXPECT_TRUE(Wrapped());
  EXPECT_NE(Response().Content().find("<B>boom</B>"), std::string::npos);
  EXPECT_EQ(Response().ContentLength(), static_cast<std::int64_t>(Response().Content().size()));
}

TEST_F(Replies, AnExpiredSessionGoesToTheSessionEndPage) {
  Controller().SessionTimeoutURL().SetURL("/files/SessionEnd.htm");
  Response().SetStatusCode(200);
  EXPECT_TRUE(Answer(EInvalidSession("Session not found. Session may have expired.")));
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_NE(Response().Content().find("IWTop().window.location.href = \"/files/SessionEnd.htm\""),
            std::string::npos);
}

TEST_F(Replies, WithoutATimeOutSettingTheBuiltInTimeOutPageIsAServerError) {
  EXPECT_TRUE(Answer(EInvalidSession("Session not found. Session may have expired.")));
  EXPECT_EQ(Response().StatusCode(), 500);
  EXPECT_EQ(Response().ReasonString(), "Server error");
  EXPECT_TRUE(Wrapped());
  EXPECT_NE(Response().Content().find("A time-out has occurred"), std::string::npos);
}

TEST_F(Replies, ATimeOutFileIsSentAndOnlyAFoundOneIsCacheable) {
  ASSERT_TRUE(WriteFileBytes(Controller().FilesDir() + "Ended.htm", "<p>ended</p>"));
  Controller().SessionTimeoutURL().SetFileName("ended.htm");
  EXPECT_TRUE(Answer(EInvalidSession("gone")));
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_EQ(Response().ContentType(), "text/html");
  test::TestRequest missing;
  Controller().SessionTimeoutURL().SetFileName("missing.htm");
  bool cacheable = true;
  ReplyToFailure(EInvalidSession("gone"), ckExecute, missing.Request(), missing.Response(),
                 cacheable);
  EXPECT_EQ(missing.Response().StatusCode(), 404);
  EXPECT_FALSE(cacheable);
}

TEST_F(Replies, TheReEntryCommandHasItsOwnSettings) {
  Controller().ReEntryOptions().InvalidSession.SetURL("/again.htm");
  Answer(EInvalidSession("gone"), ckReEntry);
  EXPECT_NE(Response().Content().find("location.href = \"/again.htm\""), std::string::npos);
  int restarts = 0;
  Controller().ReEntryOptions().AutoCreateSession = true;
  test::TestRequest restarted;
  bool cacheable = true;
  ReplyToFailure(EInvalidSession("gone"), ckReEntry, restarted.Request(), restarted.Response(),
                 cacheable, [&] { ++restarts; });
  EXPECT_EQ(restarts, 1);
  test::TestRequest failed;
  ReplyToFailure(EInvalidSession("gone"), ckReEntry, failed.Request(), failed.Response(),
                 cacheable, [] { throw EIWException("no"); });
  EXPECT_NE(failed.Response().Content().find("Error creating session"), std::string::npos);
}

TEST_F(Replies, UnsupportedBrowsersAreRedirectedOrShownTheErrorPage) {
  EUnknownBrowserException modern("Your browser was detected as Opera", true);
  Response().SetStatusCode(200);
  Answer(modern, ckStart);
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_TRUE(Wrapped());
  test::TestRequest old;
  bool cacheable = true;
  ReplyToFailure(EUnknownBrowserException("old", false), ckStart, old.Request(), old.Response(),
                 cacheable);
  EXPECT_TRUE(old.Response().Content().starts_with("<!DOCTYPE"));
  test::TestRequest redirected;
  Controller().UnknownBrowser().SetFileName("browsers.htm");
  ReplyToFailure(modern, ckStart, redirected.Request(), redirected.Response(), cacheable);
  EXPECT_EQ(redirected.connection.RedirectUrl(), "/Files/browsers.htm");
}

TEST_F(Replies, DevicesWithoutAFormGetThePlainErrorPage) {
  Response().SetStatusCode(200);
  Answer(EDeviceNotSupported("Device not supported"), ckStart);
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_FALSE(Wrapped());
  EXPECT_NE(Response().Content().find("<B>Device not supported</B>"), std::string::npos);
  test::TestRequest redirected;
  Controller().DeviceNotSupported().SetURL("http://example.test/wap");
  bool cacheable = true;
  ReplyToFailure(EDeviceNotSupported("Device not supported"), ckStart, redirected.Request(),
                 redirected.Response(), cacheable);
  EXPECT_EQ(redirected.connection.RedirectUrl(), "http://example.test/wap");
}

TEST_F(Replies, NoCookieSupportGetsTheErrorPageWithoutASetting) {
  Response().SetStatusCode(200);
  Answer(ENoCookieSupportException("cookies"));
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_NE(Response().Content().find("<B>cookies</B>"), std::string::npos);
}

TEST_F(Replies, OtherFailuresGoToOnExceptionFirst) {
  TIWSessionStartInfo start;
  TIWApplication app(start, "onexc");
  TCurrentApplicationScope current(&app);
  TIWApplication* seen = nullptr;
  std::string message;
  Controller().SetOnException([&](TIWApplication* application, const std::exception& e,
                                  bool& handled) {
    seen = application;
    message = e.what();
    handled = true;
  });
  Response().SetStatusCode(200);
  EXPECT_TRUE(Answer(std::runtime_error("disk full")));
  EXPECT_EQ(seen, &app);
  EXPECT_EQ(message, "disk full");
  EXPECT_EQ(Response().StatusCode(), 200);
  EXPECT_EQ(Response().Content(), "");
  // A handler that leaves Handled false still gets the server-error reply.
  Controller().SetOnException([](TIWApplication*, const std::exception&, bool&) {});
  test::TestRequest unhandled;
  bool cacheable = true;
  ReplyToFailure(std::runtime_error("disk full"), ckExecute, unhandled.Request(),
                 unhandled.Response(), cacheable);
  EXPECT_EQ(unhandled.Response().StatusCode(), 500);
  EXPECT_NE(unhandled.Response().Content().find("<B>disk full</B>"), std::string::npos);
  // A failing resource request stays cacheable.
  EXPECT_TRUE(cacheable);
}

TEST_F(Replies, SecurityFailuresAreServerErrorsWithTheirMessage) {
  Answer(EIWException("Security Exception: The IP you are using is different than the one "
                      "that is assigned to the specified session."));
  EXPECT_EQ(Response().StatusCode(), 500);
  EXPECT_NE(Response().Content().find("Security Exception: The IP you are using is different"),
            std::string::npos);
}

}  // namespace
}  // namespace qx
