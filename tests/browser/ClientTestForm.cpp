// The browser tests' start form: its class table and handlers.
#include "ClientTestForm.h"

#include "PartialTestForm.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "forms/Region.h"
#include "runtime/FormReader.h"
#include "screens/DefinedControl.h"

namespace qx {

const TClassInfo& TfrmClientTest::StaticClassInfo() {
  using T = TfrmClientTest;
  static const TClassInfo info = TClassBuilder<T>("TfrmClientTest")
                                     .Creatable()
                                     .Definition("ClientTestForm.qxf")
                                     .Handler("PostClick", &T::PostClick)
                                     .Handler("AsyncEventLog", &T::AsyncEventLog)
                                     .Handler("edtTextAsyncChange", &T::edtTextAsyncChange)
                                     .Handler("btnPartialClick", &T::btnPartialClick)
                                     .Build();
  return info;
}

void TfrmClientTest::Loaded() {
  TIWAppForm::Loaded();
  log_.SetLabel(DefinedControl<TIWLabel>(*this, "lblLog"));
  edtText_ = DefinedControl<TIWEdit>(*this, "edtText");
  regTop_ = DefinedControl<TIWRegion>(*this, "regTop");
}

void TfrmClientTest::Log(const std::string& line) { log_.Add(line); }

void TfrmClientTest::PostClick(TObject* sender) {
  Log("OnClick " + ElementNameOfSender(sender) + " text=" + edtText_->Text() +
      " split=" + IntToStr(regTop_->Height()));
}

void TfrmClientTest::AsyncEventLog(TObject* sender, const TStringList& params) {
  std::string line = params.Values("callback");
  if (line.empty()) line = ElementNameOfSender(sender);
  for (const char* name : {"x", "y", "which", "modifiers"}) line += std::string(" ") + name + "=" + params.Values(name);
  Log(line + " text=" + edtText_->Text());
}

void TfrmClientTest::edtTextAsyncChange(TObject* sender, const TStringList& params) {
  AsyncEventLog(sender, params);
  edtText_->SetText("[" + edtText_->Text() + "]");
}

void TfrmClientTest::btnPartialClick(TObject*) {
  CreateComponent<TfrmPartialTest>(*Application()).Show();
}

}  // namespace qx
