// The login screen's class table and handlers.
#include "screens/Login.h"

#include "controls/IWButton.h"
#include "controls/IWComboBox.h"
#include "controls/IWEdit.h"
#include "data/ADODataSet.h"
#include "data/ServiceLanguage.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "runtime/Format.h"
#include "runtime/FormReader.h"
#include "runtime/Strings.h"
#include "screens/DefinedControl.h"
#include "screens/usSesion.h"
#include "server/IWExceptions.h"

namespace qx {

namespace {

constexpr char kMsgNoHomeScreen[] =
    "The home screen is not available: no form class %s is registered.";
constexpr char kMsgNoSessionData[] = "The session has no data module to sign the user in.";

}  // namespace

bool PasswordMatches(std::string_view stored, std::string_view typed) {
  return UpperCase(stored) == UpperCase(typed);
}

const TClassInfo& TfrmLogin::StaticClassInfo() {
  using T = TfrmLogin;
  static const TClassInfo info = TClassBuilder<T>("TfrmLogin")
                                     .Creatable()
                                     .Definition("Login.qxf")
                                     .Handler("IWAppFormCreate", &T::IWAppFormCreate)
                                     .Handler("btnAceptarClick", &T::btnAceptarClick)
                                     .Handler("btnCancelarClick", &T::btnCancelarClick)
                                     .Build();
  return info;
}

void TfrmLogin::Loaded() {
  TIWAppForm::Loaded();
  cbUserName_ = DefinedControl<TIWComboBox>(*this, "cbUserName");
  edtPassword_ = DefinedControl<TIWEdit>(*this, "edtPassword");
  btnAceptar_ = DefinedControl<TIWButton>(*this, "btnAceptar");
  btnCancelar_ = DefinedControl<TIWButton>(*this, "btnCancelar");
  adoqryUsers_ = DefinedControl<TADOQuery>(*this, "adoqryUsers");
}

TIWApplication& TfrmLogin::App() const {
  TIWApplication* application = Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {Name()}));
  return *application;
}

void TfrmLogin::IWAppFormCreate(TObject*) {
  cbUserName_->Items().Clear();
  adoqryUsers_->SQL().Clear();
  adoqryUsers_->SQL().Add(SqlLoginUsers(ServiceLanguage()));
  if (!adoqryUsers_->Active()) adoqryUsers_->Open();
  adoqryUsers_->First();
  while (!adoqryUsers_->Eof()) {
    cbUserName_->Items().Add(adoqryUsers_->FieldByName("UserName").AsString());
    adoqryUsers_->Next();
  }
  SetActiveControl(cbUserName_);
}

void TfrmLogin::btnAceptarClick(TObject*) {
  TIWApplication& application = App();
  if (cbUserName_->ItemIndex() < 0) {
    application.ShowMessage(kMsgSelectUser);
    return;
  }
  const std::string userName = cbUserName_->Text();
  if (!adoqryUsers_->Locate("UserName", Variant(userName))) {
    application.ShowMessage(Format(kMsgUserNotFound, {userName}));
    return;
  }
  if (!PasswordMatches(adoqryUsers_->FieldByName("Password").AsString(), edtPassword_->Text())) {
    application.ShowMessage(kMsgInvalidPassword);
    edtPassword_->SetText("");
    return;
  }
  TusSesion* session = TusSesion::Current();
  if (!session) throw EIWException(kMsgNoSessionData);
  const TClassInfo* home = FindClass(kHomeFormClass);
  if (!home) throw EIWException(Format(kMsgNoHomeScreen, {kHomeFormClass}));
  session->LoadUser(*adoqryUsers_);
  // The home screen is made before this screen leaves: should making it fail, the login stays
  // on the page with the failure as an alert instead of the session ending with no screen.
  auto& homeForm = dynamic_cast<TIWAppForm&>(CreateComponent(*home, application));
  if (TIWAppForm* active = application.ActiveForm()) active->Release();
  homeForm.Show();
}

void TfrmLogin::btnCancelarClick(TObject*) { App().Terminate(kMsgLoginCanceled); }

}  // namespace qx
