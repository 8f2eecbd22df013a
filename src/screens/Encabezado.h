// TfraEncabezado: the page header frame of every screen after login. It shows the application's
// name, greets the signed-in user, shows when the page was made and offers the sign-out link.
#pragma once

#include <string>

#include "runtime/Control.h"
#include "runtime/DateTime.h"

namespace qx {

class TIWLabel;
class TIWLink;
class TIWRegion;
class TIWTimer;

class TfraEncabezado : public TFrame {
  QX_CLASS(TfraEncabezado, TFrame)

 public:
  TfraEncabezado() = default;

  TIWRegion& regEncabezado() const noexcept { return *regEncabezado_; }
  TIWLabel& lblAppName() const noexcept { return *lblAppName_; }
  TIWLabel& lblUsuario() const noexcept { return *lblUsuario_; }
  TIWLabel& lblFecha() const noexcept { return *lblFecha_; }
  TIWLink& lnkLogout() const noexcept { return *lnkLogout_; }
  TIWTimer& tmrHome() const noexcept { return *tmrHome_; }

  // Each time the page is made: the greeting with the session's user name and the server's
  // local date and time.
  void regEncabezadoRender(TObject* Sender);
  // Runs once the user confirmed the question: ends the session and sends the browser to "/".
  void lnkLogoutClick(TObject* Sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  TIWRegion* regEncabezado_ = nullptr;
  TIWLabel* lblAppName_ = nullptr;
  TIWLabel* lblUsuario_ = nullptr;
  TIWLabel* lblFecha_ = nullptr;
  TIWLink* lnkLogout_ = nullptr;
  TIWTimer* tmrHome_ = nullptr;
};

// The header's date line for the local moment `now`: "Last update: " followed by the date in
// the server's short date format, a space and the time as HH:mm.
std::string LastUpdateText(TDateTime now);

}  // namespace qx
