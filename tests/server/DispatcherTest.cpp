// The dispatcher with a stand-in application: ping and sessions, the invalid-command settings,
// the "bind" field, the probe post's size, and sessions released and no longer current after
// every request, failures included.
#include "server/IWServer.h"

#include <gtest/gtest.h>

#include <thread>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "entry/RequestHandler.h"

namespace qx {
namespace {

using test::InMemoryConnection;

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

class Dispatcher : public test::ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    Controller().SetSessionTrackingMethod(tmHidden);
    Controller().SetRestrictIPs(true);
    handler_.RegisterDispatcherClass(TIWServer::Class());
  }
  // A registered, idle session of the stand-in application.
  TIWApplication& AddSession(const std::string& appID) {
    IIWApplication& session = Sessions().Add(MakeSession(appID, &tracker_));
    session.Lock().Unlock();
    return session.Application();
  }
  void Run(InMemoryConnection& c) {
    c.SetHeader("User-Agent", kAgent);
    TISAPIRequest request(*c.Block());
    TISAPIResponse response(request);
    EXPECT_TRUE(handler_.HandleRequest(request, response));
  }

  TWebRequestHandler handler_;
  FakeTracker tracker_;
};

TEST_F(Dispatcher, PingLeavesSessionsAlone) {
  TIWApplication& session = AddSession("abc");
  session.SetLastAccess(1000.0);
  InMemoryConnection c;
  c.SetPathInfo("/ping");
  Run(c);
  EXPECT_EQ(c.StatusCode(), 200u);
  EXPECT_EQ(c.Body(), "");
  EXPECT_EQ(session.LastAccess(), 1000.0);
}

TEST_F(Dispatcher, UnknownCommandsMayGoToTheirOwnHandlerOrPage) {
  std::string message;
  Controller().SetOnInvalidCommand([&](TWebRequest&, TWebResponse& response, const std::string& text) {
    message = text;
    response.SetContent("handled");
  });
  InMemoryConnection handled;
  handled.SetPathInfo("/Foo/3/abc");
  Run(handled);
  EXPECT_EQ(message, "Unrecognized Command: :FOO:");
  EXPECT_EQ(handled.Body(), "handled");

  Controller().SetOnInvalidCommand({});
  Controller().SetInvalidCommandURL("/files/help.htm");
  InMemoryConnection redirected;
  redirected.SetPathInfo("/FOO");
  Run(redirected);
  EXPECT_EQ(redirected.StatusCode(), 302u);
  EXPECT_EQ(redirected.HeaderValue("Location"), "/files/help.htm");
}

TEST_F(Dispatcher, TheProbePostSizesTheActiveForm) {
  TIWApplication& session = AddSession("abc");
  InMemoryConnection c;
  c.SetPathInfo("/EXEC").PostForm("IW_width=640&IW_height=480&IW_SessionID_=abc&IW_TrackID_=0");
  Run(c);
  EXPECT_EQ(c.StatusCode(), 200u) << c.Body();
  EXPECT_EQ(session.resizedWidth, 640);
  EXPECT_EQ(session.resizedHeight, 480);
  EXPECT_EQ(session.FormWidth(), 640);
  // Size fields that are no numbers leave the form's own size.
  InMemoryConnection odd;
  odd.SetPathInfo("/EXEC").PostForm("IW_width=wide&IW_height=&IW_SessionID_=abc&IW_TrackID_=0");
  Run(odd);
  EXPECT_EQ(session.resizedWidth, session.ActiveFormWidth());
  EXPECT_EQ(session.attached, session.detached);
  EXPECT_TRUE(test::LockIsFree(session));
}

TEST_F(Dispatcher, BindNamesTheSessionByItsTag) {
  TIWApplication& session = AddSession("abc");
  session.SetSessionTag("Desk7");
  InMemoryConnection c;
  c.SetPathInfo("/EXEC/1/unknown").SetQueryString("bind=desk7");
  Run(c);
  EXPECT_EQ(c.StatusCode(), 200u) << c.Body();
  EXPECT_EQ(session.attached, 1);
  EXPECT_TRUE(test::LockIsFree(session));
  // Without the tag the id in the path is looked up, and it names no session.
  InMemoryConnection unbound;
  unbound.SetPathInfo("/EXEC/1/unknown");
  Run(unbound);
  EXPECT_EQ(unbound.StatusCode(), 500u);
  EXPECT_NE(unbound.Body().find("time-out"), std::string::npos);
}

TEST_F(Dispatcher, ASessionIsReleasedAndNoLongerCurrentAfterAFailure) {
  TIWApplication& session = AddSession("abc");
  InMemoryConnection c;
  c.SetPathInfo("/EXEC").PostForm("IW_SessionID_=abc&IW_TrackID_=1");
  c.SetHeader("X-Forwarded-For", "192.0.2.9");
  Run(c);
  EXPECT_EQ(c.StatusCode(), 500u);
  EXPECT_TRUE(test::LockIsFree(session));
  EXPECT_EQ(CurrentApplication(), nullptr);
  EXPECT_EQ(Sessions().Count(), 1);
}

TEST_F(Dispatcher, StopRemovesAndFreesTheSession) {
  AddSession("abc");
  InMemoryConnection c;
  c.SetPathInfo("/STOP/4/abc");
  Run(c);
  EXPECT_EQ(c.StatusCode(), 200u);
  EXPECT_TRUE(tracker_.WasFreed("abc"));
  EXPECT_EQ(Sessions().Count(), 0);
  EXPECT_EQ(c.HeaderValue("Pragma"), "no-cache");
}

}  // namespace
}  // namespace qx
