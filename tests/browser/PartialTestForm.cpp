// The browser tests' partial-update form: its class table and its handlers.
#include "PartialTestForm.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "runtime/Strings.h"
#include "screens/DefinedControl.h"

namespace qx {

const TClassInfo& TfrmPartialTest::StaticClassInfo() {
  using T = TfrmPartialTest;
  static const TClassInfo info = TClassBuilder<T>("TfrmPartialTest")
                                     .Creatable()
                                     .Definition("PartialTestForm.qxf")
                                     .Handler("btnChangeClick", &T::btnChangeClick)
                                     .Handler("btnBackClick", &T::btnBackClick)
                                     .Build();
  return info;
}

void TfrmPartialTest::Loaded() {
  TIWAppForm::Loaded();
  lblCaption_ = DefinedControl<TIWLabel>(*this, "lblCaption");
  lblToggled_ = DefinedControl<TIWLabel>(*this, "lblToggled");
  btnMoved_ = DefinedControl<TIWButton>(*this, "btnMoved");
  edtText_ = DefinedControl<TIWEdit>(*this, "edtText");
}

void TfrmPartialTest::btnChangeClick(TObject*) {
  ++clicks_;
  lblCaption_->SetCaption("Clicked " + IntToStr(clicks_) + " text=" + edtText_->Text());
  lblToggled_->SetVisible(!lblToggled_->Visible());
  btnMoved_->SetLeft(btnMoved_->Left() + 100);
}

void TfrmPartialTest::btnBackClick(TObject*) { Release(); }

}  // namespace qx
