// The profile screen's class table, its render step and Back.
#include "screens/Usuario.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "controls/IWButton.h"
#include "controls/IWDBControls.h"
#include "controls/IWLabel.h"
#include "data/ADODataSet.h"
#include "data/Statements.h"
#include "runtime/Format.h"
#include "runtime/Picture.h"
#include "screens/DefinedControl.h"

namespace qx {

namespace {

constexpr char kMobileLine[] = "(%s) %s";  // dialling prefix, number
// The side of the square frame (rectFoto, inside its border) the photo sits in.
constexpr int kPhotoFrame = 200;

}  // namespace

const TClassInfo& TfrmUsuario::StaticClassInfo() {
  using T = TfrmUsuario;
  static const TClassInfo info = TClassBuilder<T>("TfrmUsuario")
                                     .Creatable()
                                     .Definition("Usuario.qxf")
                                     .Handler("IWAppFormCreate", &T::IWAppFormCreate)
                                     .Handler("IWAppFormRender", &T::IWAppFormRender)
                                     .Handler("btnRegresarClick", &T::btnRegresarClick)
                                     .Build();
  return info;
}

void TfrmUsuario::Loaded() {
  TIWAppForm::Loaded();
  adodsUser_ = DefinedControl<TADODataSet>(*this, "adodsUser");
  imgFoto_ = DefinedControl<TIWDBImage>(*this, "imgFoto");
  lbTelefono_ = DefinedControl<TIWLabel>(*this, "lbTelefono");
  btnRegresar_ = DefinedControl<TIWButton>(*this, "btnRegresar");
}

void TfrmUsuario::IWAppFormCreate(TObject*) {
  RequestedUserId = 0;
  lbTelefono_->SetCaption("");
  adodsUser_->SetCommandText(std::string(kSqlProfileUser));
}

void TfrmUsuario::IWAppFormRender(TObject*) {
  adodsUser_->Close();
  adodsUser_->Parameters().ParamByName("IdUser").SetValue(RequestedUserId);
  adodsUser_->Open();
  if (!adodsUser_->IsEmpty()) {
    const std::string phoneCode = adodsUser_->FieldByName("PhoneCode").AsString();
    const std::string movil = adodsUser_->FieldByName("Movil").AsString();
    if (!phoneCode.empty() && !movil.empty())
      lbTelefono_->SetCaption(Format(kMobileLine, {phoneCode, movil}));
  }
  SetImageSize();
}

void TfrmUsuario::SetImageSize() {
  // The photo the image is about to show, read here for its size.
  TPicture photo;
  if (!adodsUser_->IsEmpty()) {
    if (const TField& field = adodsUser_->FieldByName("Photo"); field.IsBlob()) {
      try {
        photo.SetData(field.AsBytes());
      } catch (const EInvalidGraphic&) {
        // The image shows nothing for it either.
      }
    }
  }
  const int width = photo.Width();
  const int height = photo.Height();
  if (photo.Empty() || width <= 0 || height <= 0 ||
      (width <= kPhotoFrame && height <= kPhotoFrame)) {
    imgFoto_->SetAutoSize(true);
    return;
  }
  // Rounded, and at least a pixel, so that a thin strip stays visible.
  const auto scaled = [](int side, int longer) {
    return std::max(1, static_cast<int>((std::int64_t{kPhotoFrame} * side + longer / 2) / longer));
  };
  imgFoto_->SetUseSize(true);
  if (width >= height)
    imgFoto_->SetBounds(imgFoto_->Left(), imgFoto_->Top(), kPhotoFrame, scaled(height, width));
  else
    imgFoto_->SetBounds(imgFoto_->Left(), imgFoto_->Top(), scaled(width, height), kPhotoFrame);
}

void TfrmUsuario::btnRegresarClick(TObject*) { Release(); }

}  // namespace qx
