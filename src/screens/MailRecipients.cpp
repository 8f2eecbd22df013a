// The recipient controls and the request mail the report and send-by-e-mail screens share.
#include "screens/MailRecipients.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "data/ADODataSet.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "screens/DefinedControl.h"
#include "screens/ListRoutines.h"
#include "screens/usSesion.h"
#include "server/IWExceptions.h"

namespace qx {

namespace {


}  // namespace

const TClassInfo& TMailRecipientsForm::StaticClassInfo() {
  using T = TMailRecipientsForm;
  static const TClassInfo info = TClassBuilder<T>("TMailRecipientsForm")
                                     .Handler("btnAddEMail1Click", &T::btnAddEMail1Click)
                                     .Handler("btnAddEMail2Click", &T::btnAddEMail2Click)
                                     .Handler("btnDelEMailClick", &T::btnDelEMailClick)
                                     .Handler("btnCancelarClick", &T::btnCancelarClick)
                                     .Build();
  return info;
}

void TMailRecipientsForm::Loaded() {
  TIWAppForm::Loaded();
  edtAddEmail1_ = DefinedControl<TIWEdit>(*this, "edtAddEmail1");
  btnAddEMail1_ = DefinedControl<TIWButton>(*this, "btnAddEMail1");
  edtAddEMail2_ = DefinedControl<TIWListbox>(*this, "edtAddEMail2");
  btnAddEMail2_ = DefinedControl<TIWButton>(*this, "btnAddEMail2");
  edtEmail_ = DefinedControl<TIWListbox>(*this, "edtEmail");
  btnDelEMail_ = DefinedControl<TIWButton>(*this, "btnDelEMail");
  lblErrorEmail_ = DefinedControl<TIWLabel>(*this, "lblErrorEmail");
  btnAceptar_ = DefinedControl<TIWButton>(*this, "btnAceptar");
  btnCancelar_ = DefinedControl<TIWButton>(*this, "btnCancelar");
  adodsHistEmail_ = DefinedControl<TADODataSet>(*this, "adodsHistEmail");
}

TusSesion& TMailRecipientsForm::Session() const { return TusSesion::Of(*this); }

TIWApplication& TMailRecipientsForm::App() const {
  TIWApplication* application = Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {Name()}));
  return *application;
}

// ---- the recipient controls --------------------------------------------------------------------

void TMailRecipientsForm::CheckMailReadiness() {
  TusSesion& session = Session();
  userExists_ = session.ReloadUser(session.Id_User);
  std::string reason;
  canSendMail_ = session.CheckMailReady(userExists_, true, reason);
  lblErrorEmail_->SetCaption(reason);
  EnableMailControls();
}

void TMailRecipientsForm::EnableMailControls() {
  for (TControl* control : std::initializer_list<TControl*>{
           edtAddEmail1_, btnAddEMail1_, edtAddEMail2_, btnAddEMail2_, edtEmail_, btnDelEMail_})
    control->SetEnabled(canSendMail_);
}

void TMailRecipientsForm::LoadMailHistory() {
  edtAddEmail1_->SetText("");
  for (TIWListbox* list : {edtAddEMail2_, edtEmail_}) {
    list->Clear();
    list->SetItemIndex(-1);
  }
  TusSesion& session = Session();
  if (session.OpenHistEmail(*adodsHistEmail_, SqlHistEmailCondition(session.Id_User))) {
    for (adodsHistEmail_->First(); !adodsHistEmail_->Eof(); adodsHistEmail_->Next())
      edtAddEMail2_->Items().Add(adodsHistEmail_->FieldByName("Email").AsString());
    edtAddEMail2_->SetItemIndex(0);
  }
  adodsHistEmail_->Close();
}

std::string TMailRecipientsForm::RecipientsText() const {
  return CommaText(edtEmail_->Items().Lines());
}

void TMailRecipientsForm::btnAddEMail1Click(TObject*) {
  edtAddEmail1_->SetText(Trim(edtAddEmail1_->Text()));
  std::string reason;
  if (!ValidateEmail(edtAddEmail1_->Text(), reason)) {
    App().ShowMessage(reason);
    return;
  }
  if (AddUniqueItem(*edtEmail_, edtAddEmail1_->Text(), true))
    edtEmail_->SetItemIndex(edtEmail_->Items().Count() - 1);
  edtAddEmail1_->SetText("");
}

void TMailRecipientsForm::btnAddEMail2Click(TObject*) {
  if (edtAddEMail2_->ItemIndex() < 0) return;
  AddUniqueItem(*edtEmail_, edtAddEMail2_->Text(), false);
  edtEmail_->SetItemIndex(edtEmail_->Items().Count() - 1);
}

void TMailRecipientsForm::btnDelEMailClick(TObject*) { DeleteSelectedItems(*edtEmail_); }

void TMailRecipientsForm::btnCancelarClick(TObject*) { Release(); }

// ---- the mail ----------------------------------------------------------------------------------

TMailOutcome TMailRecipientsForm::SendRequestMail(int requestId, bool urgent,
                                                  const TStringList& bodyLines,
                                                  std::string_view subject) {
  TusSesion& session = Session();
  const std::string recipients = RecipientsText();
  if (!session.SendRequestMail(requestId, session.Email, urgent, bodyLines, recipients, subject,
                               session.Email))
    return TMailOutcome::NotSent;
  // The mail is out whatever becomes of its record.
  if (session.InWriteTransaction([&] {
        return session.RecordEmailNote(requestId, session.NextRequestStatusId(), kStatusTypeEmail,
                                       recipients, subject);
      }) != TusSesion::TWriteOutcome::Written)
    return TMailOutcome::NotRecorded;
  for (const std::string& address : edtEmail_->Items().Lines())
    if (!session.RecordHistEmail(session.Id_User, address)) break;
  return TMailOutcome::Recorded;
}

TMailRecipientsForm::TButtonsHeld::TButtonsHeld(const TMailRecipientsForm& form)
    : accept_(form.btnAceptar()),
      cancel_(form.btnCancelar()),
      acceptEnabled_(accept_.Enabled()),
      cancelEnabled_(cancel_.Enabled()) {
  accept_.SetEnabled(false);
  cancel_.SetEnabled(false);
}

TMailRecipientsForm::TButtonsHeld::~TButtonsHeld() {
  accept_.SetEnabled(acceptEnabled_);
  cancel_.SetEnabled(cancelEnabled_);
}

}  // namespace qx
