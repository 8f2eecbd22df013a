// The configuration screen's class table and handlers.
#include "screens/Configurar.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "data/ADOConnection.h"
#include "data/DataErrors.h"
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
  TADOConnection& connection = session.adocnWebServices();
  bool stored = false;
  try {
    connection.BeginTrans();
    // False: refused by the database without an error; the screen stays, silently.
    stored = session.UpdateRequestGetDays(session.Id_User, days);
    if (stored) connection.CommitTrans();
  } catch (const EDatabaseError&) {
    stored = false;
    Alert(kMsgDaysUpdateFailed);
  }
  if (!stored) {
    try {
      // A transaction that never began has nothing to undo.
      if (connection.InTransaction()) connection.RollbackTrans();
    } catch (const EDatabaseError&) {
      // The engine has ended the transaction on its own; nothing of it was kept.
    }
    return;
  }
  // The home screen's next render rebuilds its list, reading the new window with the user.
  session.RefreshHome = true;
  Release();
}

void TfrmConfigurar::btnCancelarClick(TObject*) { Release(); }

}  // namespace qx
