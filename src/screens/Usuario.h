// TfrmUsuario: the profile of the service user who wrote a status note: photo, name, the two
// group names, e-mail, landline and mobile number, read from the user's row at every page.
#pragma once

#include "forms/Application.h"

namespace qx {

class TADODataSet;
class TIWButton;
class TIWDBImage;
class TIWLabel;

class TfrmUsuario : public TIWAppForm {
  QX_CLASS(TfrmUsuario, TIWAppForm)

 public:
  TfrmUsuario() = default;

  // The user whose profile the screen shows (Users.Id_User); the home screen sets it.
  int RequestedUserId = 0;

  TADODataSet& adodsUser() const noexcept { return *adodsUser_; }
  TIWDBImage& imgFoto() const noexcept { return *imgFoto_; }
  TIWLabel& lbTelefono() const noexcept { return *lbTelefono_; }
  TIWButton& btnRegresar() const noexcept { return *btnRegresar_; }

  // No user requested yet, no mobile line; the dataset gets its statement.
  void IWAppFormCreate(TObject* Sender);
  // Before every page: reads the requested user's row (the first the database returns) and,
  // when it has both a dialling prefix and a mobile number, shows "(prefix) number".
  void IWAppFormRender(TObject* Sender);
  // Back to the screen below, as it was.
  void btnRegresarClick(TObject* Sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  // A photo larger than its frame is drawn smaller, its longer side the frame's and its
  // proportions kept; a photo that fits is drawn at its own size.
  void SetImageSize();

  TADODataSet* adodsUser_ = nullptr;
  TIWDBImage* imgFoto_ = nullptr;
  TIWLabel* lbTelefono_ = nullptr;
  TIWButton* btnRegresar_ = nullptr;
};

}  // namespace qx
