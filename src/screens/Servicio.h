// TfrmServicio: the screen where a signed-in user reports a new maintenance request: the
// description, the urgent mark, the wish to be told when the work is done, comments, and the
// recipients who get the request by e-mail at once.
#pragma once

#include <string>

#include "screens/MailRecipients.h"

namespace qx {

class TIWCheckBox;
class TIWMemo;
class TIWTabControl;
class TIWTabPage;

class TfrmServicio : public TMailRecipientsForm {
  QX_CLASS(TfrmServicio, TMailRecipientsForm)

 public:
  TfrmServicio() = default;

  TIWLabel& lblNumCarac() const noexcept { return *lblNumCarac_; }
  TIWEdit& edtDescrip() const noexcept { return *edtDescrip_; }
  TIWCheckBox& cbRepairNotice() const noexcept { return *cbRepairNotice_; }
  TIWMemo& mmComments() const noexcept { return *mmComments_; }

  // --- Handlers named by the definition.
  // Checks the user and the mail settings: Report only for a user who still exists, the
  // recipients only for one who may send mail, the repair notice for one whose address and
  // server are set up; lists the address history.
  void IWAppFormCreate(TObject* sender);
  void btnContarClick(TObject* sender);
  // Stores the request with its first note and, when there are recipients, mails it to them;
  // the screen leaves once the request is stored, else shows why it was not.
  void btnAceptarClick(TObject* sender);

 protected:
  void Loaded() override;

 private:
  // The request and its first note, with their keys, in one transaction: the request's number
  // when both were stored, else 0. A write the database refuses gives no reason; an error, or
  // keys that cannot be taken, give one.
  int StoreRequest(std::string& reason);

  TIWLabel* lblNumCarac_ = nullptr;
  TIWEdit* edtDescrip_ = nullptr;
  TIWCheckBox* cbUrgent_ = nullptr;
  TIWCheckBox* cbRepairNotice_ = nullptr;
  TIWMemo* mmComments_ = nullptr;
  TIWTabControl* IWtbEnviar_ = nullptr;
  TIWTabPage* IWTabControl1Page0_ = nullptr;
};

}  // namespace qx
