// The configuration screen's class table and handlers.
#include "screens/Configurar.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "data/qxconsts.h"
#include "runtime/Strings.h"
#include "screens/DefinedControl.h"
#include "screens/usSesion.h"

namespace qx {

const TClassInfo& TfrmConfigurar::StaticClassInfo() {
  using T = TfrmConfigurar;
  static const TClassInfo info = TClassBuilder<T>("TfrmConfigurar")
                                     .Creatable()
                                     .Definition("Configurar.qxf")
                                     .Handler("IWAppFormCreate", &T::IWAppFormCreate)
                                     .Handler("btnAceptarClick", &T::btnAceptarClick)
                                     .Handler("btnCancelarClick", &T::btnCancelarClick)
                                     .Build();
  return info;
}

void TfrmConfigurar::Loaded() {
  TIWAppForm::Loaded();
  edtOldDays_ = DefinedControl<TIWEdit>(*this, "edtOldDays");
  btnAceptar_ = DefinedControl<TIWButton>(*this, "btnAceptar");
  btnCancelar_ = DefinedControl<TIWButton>(*this, "btnCancelar");
}

void TfrmConfigurar::Alert(const std::string& text) const {
  if (TIWApplication* application = Application()) application->ShowMessage(text);
}

void TfrmConfigurar::IWAppFormCreate(TObject*) {
  TusSesion& session = TusSesion::Of(*this);
  session.LoadRequestGetDays();
  edtOldDays_->SetText(IntToStr(session.RequestGetDays));
}

void TfrmConfigurar::btnAceptarClick(TObject*) {
  int days = 0;
  std::string reason;
  if (!ValidateDays(edtOldDays_->Text(), days, reason)) {
    Alert(reason);
    return;
  }
  TusSesion& session = TusSesion::Of(*this);
  const auto outcome = session.InWriteTransaction(
      [&] { return session.UpdateRequestGetDays(session.Id_User, days); });
  if (outcome == TusSesion::TWriteOutcome::Failed) Alert(kMsgDaysUpdateFailed);
  // Refused by the database without an error: the screen stays, silently.
  if (outcome != TusSesion::TWriteOutcome::Written) return;
  // The home screen's next render rebuilds its list, reading the new window with the user.
  session.RefreshHome = true;
  Release();
}

void TfrmConfigurar::btnCancelarClick(TObject*) { Release(); }

}  // namespace qx
