// TfrmEnviaEmail: sends the home screen's current request to recipients the user chooses, with
// an editable subject and comments, and records the sending in the request's history.
#pragma once

#include "screens/MailRecipients.h"

namespace qx {

class TDataSet;
class TIWMemo;

class TfrmEnviaEmail : public TMailRecipientsForm {
  QX_CLASS(TfrmEnviaEmail, TMailRecipientsForm)

 public:
  TfrmEnviaEmail() = default;

  TIWLabel& lblNumSol() const noexcept { return *lblNumSol_; }
  TIWLabel& lblDesc() const noexcept { return *lblDesc_; }
  TIWEdit& edtDescrip() const noexcept { return *edtDescrip_; }
  TIWMemo& mmComments() const noexcept { return *mmComments_; }

  // Takes the request of the current row of `request` (the home screen's list): its number,
  // description (the subject), status and comments; checks the user and the mail settings and
  // lists the address history.
  void PrepareFromRequest(const TDataSet& request);

  // --- Handlers named by the definition.
  void IWAppFormCreate(TObject* sender);
  // Mails the request to the recipients and records it; the screen leaves once the mail went
  // out, and stays with what was typed when there is no recipient or the mail did not go.
  void btnAceptarClick(TObject* sender);

 protected:
  void Loaded() override;

 private:
  TIWLabel* lblNumSol_ = nullptr;
  TIWLabel* lblDesc_ = nullptr;
  TIWLabel* lblStatus_ = nullptr;
  TIWEdit* edtDescrip_ = nullptr;
  TIWMemo* mmComments_ = nullptr;
  // The request the screen sends (0 until PrepareFromRequest).
  int requestNumber_ = 0;
};

// The description as the screen shows it: whole up to 70 characters, else its first 70
// followed by "...".
std::string ShortDescription(std::string_view description);

}  // namespace qx
