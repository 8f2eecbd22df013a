// The report screen's class table and handlers: creation, the character counter, and the
// report with its transaction and its mail.
#include "screens/Servicio.h"

#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWTabControl.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"
#include "screens/DefinedControl.h"
#include "screens/usSesion.h"

namespace qx {

const TClassInfo& TfrmServicio::StaticClassInfo() {
  using T = TfrmServicio;
  static const TClassInfo info = TClassBuilder<T>("TfrmServicio")
                                     .Creatable()
                                     .Definition("Servicio.qxf")
                                     .Handler("IWAppFormCreate", &T::IWAppFormCreate)
                                     .Handler("btnContarClick", &T::btnContarClick)
                                     .Handler("btnAceptarClick", &T::btnAceptarClick)
                                     .Build();
  return info;
}

void TfrmServicio::Loaded() {
  TMailRecipientsForm::Loaded();
  lblNumCarac_ = DefinedControl<TIWLabel>(*this, "lblNumCarac");
  edtDescrip_ = DefinedControl<TIWEdit>(*this, "edtDescrip");
  cbUrgent_ = DefinedControl<TIWCheckBox>(*this, "cbUrgent");
  cbRepairNotice_ = DefinedControl<TIWCheckBox>(*this, "cbRepairNotice");
  mmComments_ = DefinedControl<TIWMemo>(*this, "mmComments");
  IWtbEnviar_ = DefinedControl<TIWTabControl>(*this, "IWtbEnviar");
  IWTabControl1Page0_ = DefinedControl<TIWTabPage>(*this, "IWTabControl1Page0");
}

void TfrmServicio::IWAppFormCreate(TObject*) {
  IWTabControl1Page0_->SetVisible(true);
  IWtbEnviar_->SetActivePage(IWTabControl1Page0_->TabOrder());
  CheckMailReadiness();
  btnAceptar().SetEnabled(userExists_);
  // The repair notice goes to the user's own address: the permission to send requests by
  // e-mail does not matter for it. The address is the database's, so it is escaped.
  TusSesion& session = Session();
  std::string ignored;
  const bool noticeReady = session.CheckMailReady(userExists_, false, ignored);
  if (noticeReady)
    cbRepairNotice_->SetCaption(Format(kMsgRepairNotice, {EscapeMarkup(session.Email)}));
  cbRepairNotice_->SetVisible(noticeReady);
  LoadMailHistory();
}

void TfrmServicio::btnContarClick(TObject*) {
  lblNumCarac_->SetCaption(CountCharacters(edtDescrip_->Text()));
}

int TfrmServicio::StoreRequest(std::string& reason) {
  TusSesion& session = Session();
  int requestId = 0;
  // Both keys are taken inside the transaction, so they are this session's alone.
  const auto outcome = session.InWriteTransaction([&] {
    requestId = session.NextRequestId();
    const int noteId = session.NextRequestStatusId();
    if (requestId <= 0 || noteId <= 0) {
      reason = kMsgRequestNumberError;
      return false;
    }
    return session.InsertRequest(requestId, noteId, session.Id_User, edtDescrip_->Text(),
                                 cbUrgent_->Checked(), cbRepairNotice_->Checked()) &&
           session.InsertStatusNote(requestId, noteId, kStatusTypeStatus, kStatusNew,
                                    mmComments_->Lines().Text());
  });
  if (outcome == TusSesion::TWriteOutcome::Written) {
    session.RefreshHome = true;
    return requestId;
  }
  if (outcome == TusSesion::TWriteOutcome::Failed) {
    session.RefreshHome = false;
    reason = kMsgRequestStoreError;
  }
  return 0;
}

void TfrmServicio::btnAceptarClick(TObject*) {
  std::string reason;
  bool stored = false;
  {
    TButtonsHeld held(*this);
    const std::string description = edtDescrip_->Text();
    if (ValidateDescription(description, reason)) {
      const int requestId = StoreRequest(reason);
      stored = requestId > 0;
      // The request is kept whatever becomes of its mail.
      if (stored && canSendMail_ && edtEmail().Items().Count() > 0)
        SendRequestMail(requestId, cbUrgent_->Checked(), mmComments_->Lines(), description);
    }
  }
  if (!reason.empty()) App().ShowMessage(kMsgRequestErrorPrefix + reason);
  if (stored) Release();
}

}  // namespace qx
