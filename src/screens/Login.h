// TfrmLogin: the first screen of every session. The user picks a name from the users of the
// service's language, types the password and accepts; the user is then loaded into the session
// and the home screen takes over. Cancel ends the session.
#pragma once

#include "forms/Application.h"

namespace qx {

class TADOQuery;
class TIWButton;
class TIWComboBox;
class TIWEdit;

// The name the home screen's class is registered under: the login creates it by this name, so
// that the login does not depend on the home screen's module.
inline constexpr char kHomeFormClass[] = "TfrmHome";

class TfrmLogin : public TIWAppForm {
  QX_CLASS(TfrmLogin, TIWAppForm)

 public:
  TfrmLogin() = default;

  TIWComboBox& cbUserName() const noexcept { return *cbUserName_; }
  TIWEdit& edtPassword() const noexcept { return *edtPassword_; }
  TIWButton& btnAceptar() const noexcept { return *btnAceptar_; }
  TIWButton& btnCancelar() const noexcept { return *btnCancelar_; }
  TADOQuery& adoqryUsers() const noexcept { return *adoqryUsers_; }

  // Lists the users of the service's language by name, in the query's order, and gives the
  // list the focus. A database error passes to the caller.
  void IWAppFormCreate(TObject* Sender);
  // Checks the chosen user's password (letter case of ASCII letters ignored); on a match loads
  // the user into the session and shows the home screen, otherwise shows why as an alert. The
  // password edit's Enter runs it too.
  void btnAceptarClick(TObject* Sender);
  // Ends the session with the final page "Login canceled.".
  void btnCancelarClick(TObject* Sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  TIWApplication& App() const;

  TIWComboBox* cbUserName_ = nullptr;
  TIWEdit* edtPassword_ = nullptr;
  TIWButton* btnAceptar_ = nullptr;
  TIWButton* btnCancelar_ = nullptr;
  TADOQuery* adoqryUsers_ = nullptr;
};

// Whether a typed password matches the stored one: equal once the ASCII letters of both are
// upper-cased; accented letters, spaces and everything else must match exactly.
bool PasswordMatches(std::string_view stored, std::string_view typed);

}  // namespace qx
