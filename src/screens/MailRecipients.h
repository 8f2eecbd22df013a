// TMailRecipientsForm: what the report screen and the send-by-e-mail screen share: the
// recipient controls over the user's address history, and the request mail to the chosen
// recipients with the note and the history entries that record it.
#pragma once

#include <string>
#include <string_view>

#include "forms/Application.h"

namespace qx {

class TADODataSet;
class TIWButton;
class TIWEdit;
class TIWLabel;
class TIWListbox;
class TStringList;
class TusSesion;

// How far a request mail went.
enum class TMailOutcome {
  NotSent,      // the server refused it or could not be reached: nothing recorded
  NotRecorded,  // sent, but its note could not be stored: no address recorded either
  Recorded,     // sent, its note stored and the new addresses added to the history
};

// The base of both screens; each screen's definition declares the controls found here, with
// the names below, and binds the handlers declared here.
class TMailRecipientsForm : public TIWAppForm {
  QX_CLASS(TMailRecipientsForm, TIWAppForm)

 public:
  TIWEdit& edtAddEmail1() const noexcept { return *edtAddEmail1_; }
  TIWButton& btnAddEMail1() const noexcept { return *btnAddEMail1_; }
  TIWListbox& edtAddEMail2() const noexcept { return *edtAddEMail2_; }
  TIWButton& btnAddEMail2() const noexcept { return *btnAddEMail2_; }
  TIWListbox& edtEmail() const noexcept { return *edtEmail_; }
  TIWButton& btnDelEMail() const noexcept { return *btnDelEMail_; }
  TIWLabel& lblErrorEmail() const noexcept { return *lblErrorEmail_; }
  TIWButton& btnAceptar() const noexcept { return *btnAceptar_; }
  TIWButton& btnCancelar() const noexcept { return *btnCancelar_; }

  // The recipient controls enabled exactly when the user can send mail.
  void EnableMailControls();
  // Empties the typed address and both lists, then lists the user's address history in the
  // database's order with its first address selected.
  void LoadMailHistory();
  // The recipients as the mail and its note take them: the list's comma text.
  std::string RecipientsText() const;

  // --- Handlers the definitions name.
  // The typed address, trimmed, joins the recipients once (letter case ignored) and becomes
  // the selected one; a wrongly typed one is refused with its reason and stays in the field.
  void btnAddEMail1Click(TObject* sender);
  // The selected history address joins the recipients unless listed; the last recipient is
  // then selected.
  void btnAddEMail2Click(TObject* sender);
  void btnDelEMailClick(TObject* sender);
  // Leaves the screen; nothing is stored or sent.
  void btnCancelarClick(TObject* sender);

 protected:
  TMailRecipientsForm() = default;
  void Loaded() override;

  TusSesion& Session() const;
  TIWApplication& App() const;
  // Reloads the signed-in user and decides whether the user can send mail: the reason why
  // not goes to lblErrorEmail, and the recipient controls follow.
  void CheckMailReadiness();
  // Sends the request mail from the user to the recipients and records it: the note of
  // status 13 ("To: " the recipients, "Subject: " `subject`), then each recipient not yet in
  // the history, in list order, stopping at the first that cannot be stored.
  TMailOutcome SendRequestMail(int requestId, bool urgent, const TStringList& bodyLines,
                               std::string_view subject);

  // Disables Send/Report and Cancel while a click is handled and gives both their states back
  // when it ends, however it ends.
  class TButtonsHeld {
   public:
    explicit TButtonsHeld(const TMailRecipientsForm& form);
    ~TButtonsHeld();
    TButtonsHeld(const TButtonsHeld&) = delete;
    TButtonsHeld& operator=(const TButtonsHeld&) = delete;

   private:
    TIWButton& accept_;
    TIWButton& cancel_;
    bool acceptEnabled_;
    bool cancelEnabled_;
  };

  // Whether the signed-in user still existed, and could send mail, when last checked.
  bool userExists_ = false;
  bool canSendMail_ = false;

 private:
  TIWEdit* edtAddEmail1_ = nullptr;
  TIWButton* btnAddEMail1_ = nullptr;
  TIWListbox* edtAddEMail2_ = nullptr;
  TIWButton* btnAddEMail2_ = nullptr;
  TIWListbox* edtEmail_ = nullptr;
  TIWButton* btnDelEMail_ = nullptr;
  TIWLabel* lblErrorEmail_ = nullptr;
  TIWButton* btnAceptar_ = nullptr;
  TIWButton* btnCancelar_ = nullptr;
  TADODataSet* adodsHistEmail_ = nullptr;
};

}  // namespace qx
