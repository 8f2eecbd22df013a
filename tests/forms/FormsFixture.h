// A server controller set up as this service's, and a session's application object made
// current, for the forms tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TestControls.h"
#include "forms/Application.h"
#include "forms/FormsUnit.h"
#include "runtime/FormReader.h"
#include "runtime/Streams.h"
#include "server/ServerControllerBase.h"
#include "support/TempDir.h"

namespace qx::test {

constexpr char kURLBase[] = "/RequestQX9";

class FormsFixture : public ::testing::Test {
 protected:
  FormsFixture() {
    InitializeFormsUnit();
    RegisterTestControls();
    controller_ = std::make_unique<TIWServerControllerBase>(dir_ / "RequestQX9.so");
    controller_->SetCacheDir(dir_ / "Cache");
    controller_->SetFilesDir(dir_ / "Files");
    controller_->SetSessionTrackingMethod(tmHidden);
    controller_->SetHistoryEnabled(true);
  }
  ~FormsFixture() override {
    scope_.reset();
    app_.reset();
  }

  TIWServerControllerBase& Controller() { return *controller_; }

  // A session of `browser` made current (the one the tests work with).
  TIWApplication& StartSession(
      TIWBrowser browser = brIE, TIWRenderKind kind = rkHTML40,
      std::string_view userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)") {
    TIWSessionStartInfo start;
    start.Browser = browser;
    start.RenderKind = kind;
    start.UserAgent = userAgent;
    start.AppURLBase = kURLBase;
    start.IP = "127.0.0.1";
    scope_.reset();
    app_ = TIWApplication::Create(start);
    scope_ = std::make_unique<TCurrentApplicationScope>(app_.get());
    return app_->Application();
  }
  TIWApplication& App() { return app_->Application(); }
  // Frees the session as the registry does.
  void EndSession() {
    scope_.reset();
    app_.reset();
  }

  // A shown test screen of the session.
  TTestScreen& NewScreen(std::string_view name = "frmTest") {
    TTestScreen& screen = CreateComponent<TTestScreen>(App());
    screen.SetName(name);
    screen.Show();
    return screen;
  }

  static std::string Render(TIWForm& form) { return form.RenderPageText(); }

  TempDir dir_;

 private:
  std::unique_ptr<TIWServerControllerBase> controller_;
  Owned<IIWApplication> app_;
  std::unique_ptr<TCurrentApplicationScope> scope_;
};

}  // namespace qx::test
