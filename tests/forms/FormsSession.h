// A server controller set up as this service's and a session's application object made
// current, without HTTP or a test framework: the forms tests' fixture and the render benchmark.
#pragma once

#include <memory>

#include "forms/Application.h"
#include "forms/FormsUnit.h"
#include "runtime/FormReader.h"
#include "server/ServerControllerBase.h"
#include "support/TempDir.h"

namespace qx::test {

constexpr char kURLBase[] = "/RequestQX9";
constexpr char kIE6UserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

class FormsSession {
 public:
  FormsSession() {
    InitializeFormsUnit();
    UseController(std::make_unique<TIWServerControllerBase>(dir_ / "RequestQX9.so"));
  }
  ~FormsSession() { EndSession(); }
  FormsSession(const FormsSession&) = delete;
  FormsSession& operator=(const FormsSession&) = delete;

  TIWServerControllerBase& Controller() { return *controller_; }
  // Sets `controller` up as the sessions here expect and makes it the current one (the
  // screens' tests use the service's own controller class). Only before a session starts.
  void UseController(std::unique_ptr<TIWServerControllerBase> controller) {
    controller->SetCacheDir(dir_ / "Cache");
    controller->SetFilesDir(dir_ / "Files");
    controller->SetSessionTrackingMethod(tmHidden);
    controller->SetHistoryEnabled(true);
    controller_ = std::move(controller);
  }

  // A session of `browser` made current (the one the tests work with).
  TIWApplication& StartSession(TIWBrowser browser = brIE, TIWRenderKind kind = rkHTML40,
                               std::string_view userAgent = kIE6UserAgent) {
    TIWSessionStartInfo start;
    start.Browser = browser;
    start.RenderKind = kind;
    start.UserAgent = userAgent;
    start.AppURLBase = kURLBase;
    start.IP = "127.0.0.1";
    scope_.reset();
    app_ = TIWApplication::Create(start);
    scope_ = std::make_unique<TCurrentApplicationScope>(app_.get());
    form_ = nullptr;
    return app_->Application();
  }
  TIWApplication& App() { return app_->Application(); }
  // Frees the session as the registry does.
  void EndSession() {
    scope_.reset();
    app_.reset();
    form_ = nullptr;
  }

  // A new session whose active form is an empty application form named "frmTest", shown and
  // prepared for its first page.
  TIWAppForm& NewForm(TIWBrowser browser = brIE, std::string_view userAgent = kIE6UserAgent) {
    StartSession(browser, rkHTML40, userAgent);
    TIWAppForm& form = CreateComponent<TIWAppForm>(App());
    form.SetName("frmTest");
    form.Show();
    App().PreparePage();
    form_ = &form;
    return form;
  }
  // The form NewForm made.
  TIWAppForm& Form() { return *form_; }

  TempDir dir_;

 private:
  std::unique_ptr<TIWServerControllerBase> controller_;
  Owned<IIWApplication> app_;
  std::unique_ptr<TCurrentApplicationScope> scope_;
  TIWAppForm* form_ = nullptr;
};

}  // namespace qx::test
