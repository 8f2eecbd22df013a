// TfrmPartialTest: the browser tests' form in partial-update mode. Its button changes the page
// in three ways at once (a label's caption, another label's visibility, a button's place), so
// that a test sees the reply update the main page without loading a new document; another
// button leaves the form, so that the main window must load the next page.
#pragma once

#include "forms/Application.h"

namespace qx {

class TIWButton;
class TIWEdit;
class TIWLabel;

class TfrmPartialTest : public TIWAppForm {
  QX_CLASS(TfrmPartialTest, TIWAppForm)

 public:
  TfrmPartialTest() = default;

  // Counts the click in the caption ("Clicked <n> text=<the edit's text>"), shows the toggled
  // label when it was hidden and hides it when it was shown, and moves the moved button
  // 100 pixels to the right.
  void btnChangeClick(TObject* sender);
  // Releases the form: the start form below it is the next page, which a partial-update reply
  // cannot show in place.
  void btnBackClick(TObject* sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  TIWLabel* lblCaption_ = nullptr;
  TIWLabel* lblToggled_ = nullptr;
  TIWButton* btnMoved_ = nullptr;
  TIWEdit* edtText_ = nullptr;
  int clicks_ = 0;
};

}  // namespace qx
