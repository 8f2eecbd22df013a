// The interim start form's class table and handlers.
#include "screens/InterimStart.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "screens/DefinedControl.h"

namespace qx {

const TClassInfo& TfrmInterimStart::StaticClassInfo() {
  using T = TfrmInterimStart;
  static const TClassInfo info = TClassBuilder<T>("TfrmInterimStart")
                                     .Creatable()
                                     .Definition("InterimStart.qxf")
                                     .Handler("btnCopyClick", &T::btnCopyClick)
                                     .Handler("edtTextSubmit", &T::edtTextSubmit)
                                     .Handler("btnTerminateClick", &T::btnTerminateClick)
                                     .Build();
  return info;
}

void TfrmInterimStart::Loaded() {
  TIWAppForm::Loaded();
  lblEcho_ = DefinedControl<TIWLabel>(*this, "lblEcho");
  edtText_ = DefinedControl<TIWEdit>(*this, "edtText");
  btnCopy_ = DefinedControl<TIWButton>(*this, "btnCopy");
  btnTerminate_ = DefinedControl<TIWButton>(*this, "btnTerminate");
}

void TfrmInterimStart::btnCopyClick(TObject*) { lblEcho_->SetCaption(edtText_->Text()); }

void TfrmInterimStart::edtTextSubmit(TObject* sender) { btnCopyClick(sender); }

void TfrmInterimStart::btnTerminateClick(TObject*) {
  if (TIWApplication* application = Application()) application->Terminate();
}

}  // namespace qx
