// The screens' tests start here: a session of the service's controller over a fresh database
// file, signed in as one of its users with the home screen shown as the login shows it, and
// posts and alerts as the user sends and sees them.
#pragma once

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

#include "controls/ControlsFixture.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "screens/Home.h"
#include "screens/ScreensUnit.h"
#include "screens/usSesion.h"
#include "server/Controller.h"

namespace qx::test {

class ScreensFixture : public Controls, public TestDatabase {
 protected:
  ScreensFixture() {
    InitializeDataUnit();
    InitializeScreensUnit();
    auto controller = std::make_unique<TServerController>(TestDatabase::dir_ / "RequestQX9.so");
    controller->SetDatabasePath(path_);
    UseController(std::move(controller));
  }

  // The home screen of a session signed in as `user`, shown as the login shows it.
  TfrmHome& SignIn(int user) {
    StartSession();
    App().SetData(CreateComponent<TusSesion>());
    EXPECT_TRUE(Session().ReloadUser(user));
    auto& home = CreateComponent<TfrmHome>(App());
    home.Show();
    App().PreparePage();
    return home;
  }
  TusSesion& Session() { return *TusSesion::Current(); }
  // Pending requests of `user` (status 1, "Nueva" in the language of the service), each with
  // one note of its own number written by `author`.
  void AddPendingRequests(int user, std::initializer_list<int> requests, int author) {
    Exec("INSERT OR IGNORE INTO Status (Id_Status, Id_Language, Description) "
         "VALUES (1, 'ES', 'Nueva')");
    for (int request : requests) {
      Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) "
           "VALUES (:r, 'Fault', :r, :u)", {request, user});
      Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, "
           "Id_UserStatus, StatusType) VALUES (:r, :r, 1, 46000.5, :a, 1)", {request, author});
    }
  }
  // Posts a click of the control named `element` to the active screen, as the application
  // runs a post: released screens go, an exception becomes an alert.
  void Press(const std::string& element, const std::string& parameter = {}) {
    App().Execute({"IW_Action=" + element, "IW_ActionParam=" + parameter});
  }
  // The active screen, which must be a T.
  template <class T>
  T& Active() {
    TIWAppForm* active = App().ActiveForm();
    if (!active) throw std::logic_error("no screen is active");
    return dynamic_cast<T&>(*active);
  }
  // Posts a click of the control named `element` (with the grid's `parameter`) to `form`.
  static void Click(TIWForm& form, const std::string& element, const std::string& parameter = {}) {
    Post(form, {"IW_Action=" + element, "IW_ActionParam=" + parameter});
  }
  // The alerts queued for the next page of `form`, then forgotten.
  static std::string Alerts(TIWForm& form) {
    std::string alerts = form.ExtraInitScript();
    form.ClearExtraInitScript();
    return alerts;
  }
};

}  // namespace qx::test
