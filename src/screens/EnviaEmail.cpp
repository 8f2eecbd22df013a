// The send-by-e-mail screen's class table, its preparation from the home screen's request and
// the send.
#include "screens/EnviaEmail.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "data/DataSet.h"
#include "data/qxconsts.h"
#include "runtime/Strings.h"
#include "screens/DefinedControl.h"
#include "screens/usSesion.h"

namespace qx {

namespace {

// The longest description the screen shows whole.
constexpr std::size_t kShownDescription = 70;

}  // namespace

std::string ShortDescription(std::string_view description) {
  if (description.size() <= kShownDescription) return std::string(description);
  return std::string(description.substr(0, kShownDescription)) + kMsgCutDescriptionEnd;
}

const TClassInfo& TfrmEnviaEmail::StaticClassInfo() {
  using T = TfrmEnviaEmail;
  static const TClassInfo info = TClassBuilder<T>("TfrmEnviaEmail")
                                     .Creatable()
                                     .Definition("EnviaEmail.qxf")
                                     .Handler("IWAppFormCreate", &T::IWAppFormCreate)
                                     .Handler("btnAceptarClick", &T::btnAceptarClick)
                                     .Build();
  return info;
}

void TfrmEnviaEmail::Loaded() {
  TMailRecipientsForm::Loaded();
  lblNumSol_ = DefinedControl<TIWLabel>(*this, "lblNumSol");
  lblDesc_ = DefinedControl<TIWLabel>(*this, "lblDesc");
  lblStatus_ = DefinedControl<TIWLabel>(*this, "lblStatus");
  edtDescrip_ = DefinedControl<TIWEdit>(*this, "edtDescrip");
  mmComments_ = DefinedControl<TIWMemo>(*this, "mmComments");
}

void TfrmEnviaEmail::IWAppFormCreate(TObject*) {
  requestNumber_ = 0;
  Session().RefreshHome = false;
  for (TIWLabel* label : {lblNumSol_, lblDesc_, lblStatus_}) label->SetCaption("");
}

void TfrmEnviaEmail::PrepareFromRequest(const TDataSet& request) {
  requestNumber_ = request.FieldByName("Id_Request").AsInteger();
  lblNumSol_->SetCaption(IntToStr(requestNumber_));
  const std::string description = request.FieldByName("Description").AsString();
  lblDesc_->SetCaption(ShortDescription(description));
  lblStatus_->SetCaption(request.FieldByName("Status").AsString());
  edtDescrip_->SetText(description);
  mmComments_->LoadText(request.FieldByName("Comments").AsString());
  CheckMailReadiness();
  btnAceptar().SetEnabled(userExists_ && canSendMail_);
  LoadMailHistory();
}

void TfrmEnviaEmail::btnAceptarClick(TObject*) {
  std::string reason;
  {
    TButtonsHeld held(*this);
    if (canSendMail_ && edtEmail().Items().Count() == 0) {
      reason = kMsgNoRecipient;
    } else if (canSendMail_) {
      switch (SendRequestMail(requestNumber_, false, mmComments_->Lines(), edtDescrip_->Text())) {
        case TMailOutcome::NotSent:
          // The screen's one job failed: it stays, with everything typed, to try again.
          reason = kMsgMailNotSent;
          break;
        case TMailOutcome::NotRecorded:
          break;
        case TMailOutcome::Recorded:
          Session().RefreshHome = true;
          break;
      }
    }
  }
  if (!reason.empty())
    App().ShowMessage(reason);
  else
    Release();
}

}  // namespace qx
