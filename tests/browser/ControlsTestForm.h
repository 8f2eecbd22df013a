// TfrmControlsTest: every control of the runtime on one form of the browser tests, grouped on
// the pages of a tab control, opened at <mount>/frmControlsTest.html. Every event handler
// writes what the server saw (the event, the sender and its state) into the log label.
#pragma once

#include "FormLog.h"
#include "forms/Application.h"

namespace qx {

class TIWCheckBox;
class TIWEdit;
class TIWLabel;
class TIWListbox;
class TIWMemo;
class TIWTabControl;
class TIWTimer;

class TfrmControlsTest : public TIWAppForm {
  QX_CLASS(TfrmControlsTest, TIWAppForm)

 public:
  TfrmControlsTest() = default;

  // "OnClick <sender> tab=<ActivePage> name=<edtName> notes=<count>:<lines joined by |>
  // multi=<selected indexes>".
  void PostClick(TObject* sender);
  // "<event> <sender> <the sender's state>", the state being what the sender holds: checked,
  // item index, text and action parameter, or the action parameter alone.
  void ControlClick(TObject* sender);
  void ControlChange(TObject* sender);
  void ControlDblClick(TObject* sender);
  void ImageMouseDown(TObject* sender, int x, int y);
  // Starts the one-shot timer.
  void StartTimer(TObject* sender);
  // Logs and stops the timer, so that it posts once.
  void TimerFired(TObject* sender);
  // "<callback> <the sender's state> tracked=<edtTracked>"; the reply label then names the
  // sender, which the callback's reply brings into the page.
  void AsyncEvent(TObject* sender, const TStringList& params);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  void LogEvent(const char* event, TObject* sender);

  TFormLog log_;
  TIWTabControl* tabMain_ = nullptr;
  TIWEdit* edtName_ = nullptr;
  TIWMemo* memNotes_ = nullptr;
  TIWListbox* lstMulti_ = nullptr;
  TIWEdit* edtTracked_ = nullptr;
  TIWLabel* lblReply_ = nullptr;
  TIWTimer* tmrOnce_ = nullptr;
};

}  // namespace qx
