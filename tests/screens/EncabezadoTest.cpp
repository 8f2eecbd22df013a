// The page header frame on a form of a session over a real database: the greeting and the
// date line filled at every render, its look as the page carries it, and the sign-out.
#include <gtest/gtest.h>

#include <memory>

#include "controls/ControlsUnit.h"
#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "forms/Application.h"
#include "forms/FormsUnit.h"
#include "runtime/FormReader.h"
#include "screens/Encabezado.h"
#include "screens/usSesion.h"
#include "server/Controller.h"

void RegisterResources_screens();

namespace qx::test {
namespace {

class Header : public ::testing::Test, public TestDatabase {
 protected:
  Header() {
    InitializeFormsUnit();
    InitializeDataUnit();
    InitializeControlsUnit();
    RegisterResources_screens();
    controller_.SetDatabasePath(path_);
    controller_.SetCacheDir(dir_ / "Cache");
    TIWSessionStartInfo start;
    start.Browser = brSafari;
    start.RenderKind = rkHTML40;
    start.AppURLBase = "/RequestQX9";
    start.IP = "127.0.0.1";
    app_ = TIWApplication::Create(start);
    scope_ = std::make_unique<TCurrentApplicationScope>(app_.get());
    App().SetData(CreateComponent<TusSesion>());
    form_ = &CreateComponent<TIWAppForm>(App());
    form_->SetName("frmHome");
    frame_ = &CreateComponent<TfraEncabezado>(*form_);
    frame_->SetName("fraEncabezado1");
    frame_->SetParent(form_);
    form_->Show();
  }
  ~Header() override {
    scope_.reset();
    app_.reset();
  }

  TIWApplication& App() { return app_->Application(); }
  TusSesion& Session() { return *TusSesion::Current(); }
  std::string Page() {
    App().PreparePage();
    return form_->RenderPageText();
  }

  TServerController controller_{dir_ / "RequestQX9.so"};
  Owned<IIWApplication> app_;
  std::unique_ptr<TCurrentApplicationScope> scope_;
  TIWAppForm* form_ = nullptr;
  TfraEncabezado* frame_ = nullptr;
};

TEST_F(Header, EveryRenderGreetsTheUserAndDatesThePage) {
  Session().UserName = "Bruno N\xFA\xF1" "ez";
  const TDateTime before = Now();
  std::string page = Page();
  const TDateTime after = Now();
  EXPECT_EQ(frame_->lblUsuario().Caption(), "Welcome Bruno N\xFA\xF1" "ez");
  // The date and time of the render (a minute may turn while it runs).
  const std::string date = frame_->lblFecha().Caption();
  EXPECT_TRUE(date == LastUpdateText(before) || date == LastUpdateText(after)) << date;
  EXPECT_NE(page.find(">Welcome Bruno N\xFA\xF1" "ez</span>"), std::string::npos) << page;
  EXPECT_NE(page.find(">" + date + "</span>"), std::string::npos);

  // The look: the band, the labels' colours and the link's question before it posts.
  EXPECT_NE(page.find(">QX - Maintenance requests</span>"), std::string::npos);
  EXPECT_NE(page.find("background-color:#191970"), std::string::npos);
  EXPECT_NE(page.find(">Close session</a>"), std::string::npos);
  EXPECT_NE(page.find("Are you sure you want to log off and end the application?"),
            std::string::npos);
  EXPECT_EQ(page.find("Actual date and time"), std::string::npos);  // the hint is not shown

  // A user lost meanwhile is greeted with nothing after the greeting.
  Session().UserName.clear();
  Page();
  EXPECT_EQ(frame_->lblUsuario().Caption(), "Welcome ");
}

TEST(HeaderText, TheDateLineIsTheShortDateAndTheTimeOfDay) {
  // 25 March 2026 at 07:05:59.
  EXPECT_EQ(LastUpdateText(EncodeDateTime({2026, 3, 25, 7, 5, 59, 0})),
            "Last update: 25/03/2026 07:05");
}

TEST_F(Header, SigningOutEndsTheSessionAndSendsTheBrowserHome) {
  frame_->lnkLogoutClick(&frame_->lnkLogout());
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(App().RedirectURL(), "/");
  EXPECT_EQ(App().TerminateMessage(), "");
}

}  // namespace
}  // namespace qx::test
