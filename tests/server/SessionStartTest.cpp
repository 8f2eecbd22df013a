// Starting a session: what the new session holds, its registration and lock, OnNewSession and
// the first form, the background threads, and that a failed start leaves no session behind.
#include "server/SessionStart.h"

#include <gtest/gtest.h>

#include <thread>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "entry/WebResponse.h"
#include "server/CachePurge.h"
#include "server/SessionErrors.h"
#include "server/SessionTimeoutThread.h"
#include "support/Failure.h"

namespace qx {
namespace {

constexpr char kMsie6[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

class SessionStart : public test::ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    RegisterApplicationFactory([this](const TIWSessionStartInfo& info) {
      ++created_;
      lastInfo_ = info;
      return Owned<IIWApplication>(
          new TIWApplication(info, nextId_.empty() ? "s" + std::to_string(created_) : nextId_,
                             &tracker_));
    });
    RegisterStartForm(rkHTML40, &loginForm_);
  }
  void TearDown() override {
    RegisterStartForm(rkHTML40, nullptr);
    RegisterStartForm(rkHTML32, nullptr);
    RegisterApplicationFactory({});
    ServerTest::TearDown();
  }

  // Starts a session for `agent`; the caller ends the request (DetachRequest, release).
  IIWApplication& Start(const std::string& agent, const std::string& query = "") {
    request_.connection.SetQueryString(query);
    request_.connection.SetHeader("Referer", "http://127.0.0.1/start.htm");
    return StartSession(request_.Request(), request_.Response(), agent, "127.0.0.1");
  }
  void EndRequest(IIWApplication& s) {
    s.DetachRequest();
    ReleaseSession(s);
    SetCurrentApplication(nullptr);
  }
  std::string FailureOf(const std::string& agent) {
    return test::FailureOf([&] { EndRequest(Start(agent)); });
  }

  TClassInfo loginForm_{"TfrmLogin", &TComponent::StaticClassInfo()};
  FakeTracker tracker_;
  test::TestRequest request_;
  int created_ = 0;
  std::string nextId_;
  TIWSessionStartInfo lastInfo_;
};

TEST_F(SessionStart, TheNewSessionIsRegisteredLockedCurrentAndShowsTheStartForm) {
  Controller().SetSessionTimeout(7);
  IIWApplication& s = Start(kMsie6, "bind=Kiosk3&lang=es");
  auto& fake = static_cast<TIWApplication&>(s);
  EXPECT_EQ(CurrentApplication(), &s);
  EXPECT_EQ(fake.attached, 1);
  EXPECT_EQ(fake.firstFormClass, &loginForm_);
  EXPECT_EQ(s.Browser(), brIE);
  EXPECT_EQ(s.RenderKind(), rkHTML40);
  EXPECT_EQ(s.IP(), "127.0.0.1");
  EXPECT_EQ(s.UserAgent(), kMsie6);
  EXPECT_EQ(s.AppURLBase(), "/RequestQX9");
  EXPECT_EQ(s.ReferringURL(), "http://127.0.0.1/start.htm");
  EXPECT_EQ(s.SessionTimeOut(), 7);
  EXPECT_EQ(s.RunParams().Values("lang"), "es");
  EXPECT_EQ(s.SessionTag(), "Kiosk3");
  EXPECT_EQ(Sessions().FindByTag("kiosk3"), &s);  // re-entrant for this thread
  s.Lock().Unlock();
  // Locked for this request: another thread cannot have it.
  bool other = true;
  std::thread([&] { other = s.Lock().TryLock(); }).join();
  EXPECT_FALSE(other);
  EndRequest(s);
  EXPECT_EQ(Sessions().FindAndLock(s.AppID()), &s);
  ReleaseSession(s);
}

TEST_F(SessionStart, TheUrlBaseSettingWinsOverTheScriptName) {
  Controller().SetURLBase("http://example.test/qx");
  IIWApplication& s = Start(kMsie6);
  EXPECT_EQ(s.AppURLBase(), "http://example.test/qx");
  EndRequest(s);
}

TEST_F(SessionStart, TheFirstSessionStartsBothBackgroundThreads) {
  EXPECT_EQ(Controller().SessionTimeoutThread(), nullptr);
  EndRequest(Start(kMsie6));
  ASSERT_NE(Controller().SessionTimeoutThread(), nullptr);
  ASSERT_NE(Controller().CachePurgeThread(), nullptr);
  EXPECT_TRUE(Controller().SessionTimeoutThread()->Running());
  EXPECT_TRUE(Controller().CachePurgeThread()->Running());
  EXPECT_EQ(Controller().CachePurgeThread()->Folder(), Controller().CacheDir());
  TSessionTimeoutThread* first = Controller().SessionTimeoutThread();
  test::TestRequest second;
  IIWApplication& s = StartSession(second.Request(), second.Response(), kMsie6, "127.0.0.1");
  EndRequest(s);
  EXPECT_EQ(Controller().SessionTimeoutThread(), first);
}

TEST_F(SessionStart, OnNewSessionSeesTheSessionAndMayChooseTheFirstForm) {
  int formSlot = 0;
  auto* chosen = reinterpret_cast<TIWAppForm*>(&formSlot);
  IIWApplication* seen = nullptr;
  Controller().SetOnNewSession([&](TIWApplication& session, TIWAppForm*& mainForm) {
    seen = &session;
    EXPECT_EQ(mainForm, nullptr);
    mainForm = chosen;
  });
  IIWApplication& s = Start(kMsie6);
  EXPECT_EQ(seen, &s);
  EXPECT_EQ(static_cast<TIWApplication&>(s).shownForm, chosen);
  EXPECT_EQ(static_cast<TIWApplication&>(s).firstFormClass, nullptr);
  EndRequest(s);
}

TEST_F(SessionStart, APageAccessClassIsTheFirstForm) {
  TClassInfo page{"TPAGE", &TComponent::StaticClassInfo()};
  IIWApplication& s = StartSession(request_.Request(), request_.Response(), kMsie6,
                                   "127.0.0.1", &page);
  EXPECT_EQ(static_cast<TIWApplication&>(s).firstFormClass, &page);
  EndRequest(s);
}

TEST_F(SessionStart, AClientWithoutAFormForItsPagesIsRemovedAtOnce) {
  EXPECT_EQ(FailureOf("Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)"),
            "EDeviceNotSupported: Device not supported");
  EXPECT_EQ(FailureOf(""), "EDeviceNotSupported: Device not supported");
  EXPECT_EQ(FailureOf("WML"), "EDeviceNotSupported: Device not supported");
  EXPECT_EQ(created_, 3);
  EXPECT_EQ(tracker_.freed.size(), 3u);
  EXPECT_EQ(Sessions().Count(), 0);
  EXPECT_EQ(CurrentApplication(), nullptr);
}

TEST_F(SessionStart, Html40ClientsFallBackToTheHtml32StartForm) {
  TClassInfo form32{"TForm32", &TComponent::StaticClassInfo()};
  RegisterStartForm(rkHTML40, nullptr);
  RegisterStartForm(rkHTML32, &form32);
  IIWApplication& s = Start(kMsie6);
  EXPECT_EQ(static_cast<TIWApplication&>(s).firstFormClass, &form32);
  EndRequest(s);
}

TEST_F(SessionStart, ARefusedClientGetsNoSessionAtAll) {
  Controller().SetSupportedBrowsers({brIE});
  EXPECT_EQ(FailureOf("Opera/9.80 (Windows NT 6.1)"), "EIWException: Unknown browser type.");
  EXPECT_EQ(created_, 0);
  EXPECT_EQ(Sessions().Count(), 0);
}

TEST_F(SessionStart, AFirstFormThatFailsLeavesNoSession) {
  RegisterApplicationFactory([this](const TIWSessionStartInfo& info) {
    auto* app = new TIWApplication(info, "badform", &tracker_);
    app->firstFormFails = true;
    return Owned<IIWApplication>(app);
  });
  EXPECT_EQ(FailureOf(kMsie6), "EIWException: Form must be an application form.");
  EXPECT_TRUE(tracker_.WasFreed("badform"));
  EXPECT_EQ(Sessions().Count(), 0);
}

TEST_F(SessionStart, ADuplicateAppIDFailsAndKeepsTheFirstSession) {
  nextId_ = "same";
  EndRequest(Start(kMsie6));
  test::TestRequest second;
  try {
    StartSession(second.Request(), second.Response(), kMsie6, "127.0.0.1");
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_EQ(e.Message(), "An internal error occurred in TIWSessions.AddSession.");
  }
  EXPECT_EQ(Sessions().Count(), 1);
  EXPECT_EQ(CurrentApplication(), nullptr);
  // Only the second object was freed.
  EXPECT_EQ(tracker_.freed.size(), 1u);
}

TEST_F(SessionStart, WithoutAFactoryNothingStarts) {
  RegisterApplicationFactory({});
  EXPECT_EQ(FailureOf(kMsie6), "EIWException: No application class has been registered.");
}

}  // namespace
}  // namespace qx
