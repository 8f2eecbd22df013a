// TfrmInterimStart: the start form of the service until the login screen exists (interim).
// It shows that a page travels both ways: its button copies the edit's text into a label, Enter
// in the edit does the same, and a second button ends the session.
#pragma once

#include "forms/Application.h"

namespace qx {

class TIWButton;
class TIWEdit;
class TIWLabel;

class TfrmInterimStart : public TIWAppForm {
  QX_CLASS(TfrmInterimStart, TIWAppForm)

 public:
  TfrmInterimStart() = default;

  TIWLabel& lblEcho() const noexcept { return *lblEcho_; }
  TIWEdit& edtText() const noexcept { return *edtText_; }
  TIWButton& btnCopy() const noexcept { return *btnCopy_; }
  TIWButton& btnTerminate() const noexcept { return *btnTerminate_; }

  // The edit's text becomes the label's caption.
  void btnCopyClick(TObject* sender);
  // Enter in the edit: the same as the button.
  void edtTextSubmit(TObject* sender);
  // The session ends with the page "Application has terminated".
  void btnTerminateClick(TObject* sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  TIWLabel* lblEcho_ = nullptr;
  TIWEdit* edtText_ = nullptr;
  TIWButton* btnCopy_ = nullptr;
  TIWButton* btnTerminate_ = nullptr;
};

}  // namespace qx
