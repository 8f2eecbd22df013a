// The browser tests' form of every control: its class table and handlers.
#include "ControlsTestForm.h"

#include "controls/IWCheckBox.h"
#include "controls/IWEdit.h"
#include "controls/IWImage.h"
#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWTabControl.h"
#include "controls/IWTimer.h"
#include "screens/DefinedControl.h"

namespace qx {

namespace {

// The lines in one text, `separator` between them.
std::string Joined(const TStringList& lines, char separator) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += separator;
    text += line;
  }
  return text;
}

// What the sender holds that its events change.
std::string StateOf(TObject* sender) {
  if (auto* box = dynamic_cast<TIWCustomCheckBox*>(sender)) return box->Checked() ? "checked=1" : "checked=0";
  if (auto* list = dynamic_cast<TIWCustomListCombo*>(sender))
    return "index=" + IntToStr(list->ItemIndex()) + " text=" + list->Text() + " param=" + list->ActionParam();
  if (auto* image = dynamic_cast<TIWCustomImage*>(sender)) return "param=" + image->ActionParam();
  if (auto* link = dynamic_cast<TIWLinkBase*>(sender)) return "param=" + link->ActionParam();
  return {};
}

}  // namespace

const TClassInfo& TfrmControlsTest::StaticClassInfo() {
  using T = TfrmControlsTest;
  static const TClassInfo info = TClassBuilder<T>("TfrmControlsTest")
                                     .Creatable()
                                     .Definition("ControlsTestForm.qxf")
                                     .Handler("PostClick", &T::PostClick)
                                     .Handler("ControlClick", &T::ControlClick)
                                     .Handler("ControlChange", &T::ControlChange)
                                     .Handler("ControlDblClick", &T::ControlDblClick)
                                     .Handler("ImageMouseDown", &T::ImageMouseDown)
                                     .Handler("StartTimer", &T::StartTimer)
                                     .Handler("TimerFired", &T::TimerFired)
                                     .Handler("AsyncEvent", &T::AsyncEvent)
                                     .Build();
  return info;
}

void TfrmControlsTest::Loaded() {
  TIWAppForm::Loaded();
  log_.SetLabel(DefinedControl<TIWLabel>(*this, "lblLog"));
  tabMain_ = DefinedControl<TIWTabControl>(*this, "tabMain");
  edtName_ = DefinedControl<TIWEdit>(*this, "edtName");
  memNotes_ = DefinedControl<TIWMemo>(*this, "memNotes");
  lstMulti_ = DefinedControl<TIWListbox>(*this, "lstMulti");
  edtTracked_ = DefinedControl<TIWEdit>(*this, "edtTracked");
  lblReply_ = DefinedControl<TIWLabel>(*this, "lblReply");
  tmrOnce_ = DefinedControl<TIWTimer>(*this, "tmrOnce");
}

void TfrmControlsTest::LogEvent(const char* event, TObject* sender) {
  const std::string state = StateOf(sender);
  log_.Add(std::string(event) + " " + ElementNameOfSender(sender) + (state.empty() ? "" : " " + state));
}

void TfrmControlsTest::PostClick(TObject* sender) {
  const TStringList& notes = memNotes_->Lines();
  TStringList multi;
  for (int i = 0; i < lstMulti_->Items().Count(); ++i)
    if (lstMulti_->Selected(i)) multi.Add(IntToStr(i));
  log_.Add("OnClick " + ElementNameOfSender(sender) + " tab=" + IntToStr(tabMain_->ActivePage()) +
           " name=" + edtName_->Text() + " notes=" + IntToStr(notes.Count()) + ":" + Joined(notes, '|') +
           " multi=" + Joined(multi, ','));
}

void TfrmControlsTest::ControlClick(TObject* sender) { LogEvent("OnClick", sender); }

void TfrmControlsTest::ControlChange(TObject* sender) { LogEvent("OnChange", sender); }

void TfrmControlsTest::ControlDblClick(TObject* sender) { LogEvent("OnDblClick", sender); }

void TfrmControlsTest::ImageMouseDown(TObject* sender, int x, int y) {
  log_.Add("OnMouseDown " + ElementNameOfSender(sender) + " x=" + IntToStr(x) + " y=" + IntToStr(y));
}

void TfrmControlsTest::StartTimer(TObject* sender) {
  tmrOnce_->SetEnabled(true);
  LogEvent("OnClick", sender);
}

void TfrmControlsTest::TimerFired(TObject* sender) {
  if (auto* timer = dynamic_cast<TIWTimer*>(sender)) timer->SetEnabled(false);
  LogEvent("OnTimer", sender);
}

void TfrmControlsTest::AsyncEvent(TObject* sender, const TStringList& params) {
  const std::string state = StateOf(sender);
  log_.Add(params.Values("callback") + (state.empty() ? "" : " " + state) + " tracked=" + edtTracked_->Text());
  lblReply_->SetCaption("Reply to " + ElementNameOfSender(sender));
}

}  // namespace qx
