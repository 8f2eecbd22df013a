// TfrmConfigurar: the configuration screen, where the signed-in user sets the day window of the
// home screen (how many days back answered and cancelled requests stay listed).
#pragma once

#include <string>

#include "forms/Application.h"

namespace qx {

class TIWButton;
class TIWEdit;

class TfrmConfigurar : public TIWAppForm {
  QX_CLASS(TfrmConfigurar, TIWAppForm)

 public:
  TfrmConfigurar() = default;

  TIWEdit& edtOldDays() const noexcept { return *edtOldDays_; }
  TIWButton& btnAceptar() const noexcept { return *btnAceptar_; }
  TIWButton& btnCancelar() const noexcept { return *btnCancelar_; }

  // Reads the user's stored day window (0 when the user's row is gone) into the field.
  void IWAppFormCreate(TObject* Sender);
  // Stores a valid day window in one transaction, asks the home screen to rebuild and leaves;
  // an invalid one, a refused write or a failure leaves the screen and the database as they
  // were (a failure and an invalid value say why in an alert). Enter in the field runs it too.
  void btnAceptarClick(TObject* Sender);
  // Leaves without storing anything.
  void btnCancelarClick(TObject* Sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  void Alert(const std::string& text) const;

  TIWEdit* edtOldDays_ = nullptr;
  TIWButton* btnAceptar_ = nullptr;
  TIWButton* btnCancelar_ = nullptr;
};

}  // namespace qx
