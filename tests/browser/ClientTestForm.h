// TfrmClientTest: the start form of the browser tests' copy of the library. Its controls post
// the page or raise asynchronous callbacks, and every handler writes what the server saw into
// the log label, one line per event, so that a test reads it in the page. A further control
// joins with a block in ClientTestForm.qxf whose events name PostClick or AsyncEventLog.
#pragma once

#include "FormLog.h"
#include "forms/Application.h"

namespace qx {

class TIWEdit;
class TIWRegion;

class TfrmClientTest : public TIWAppForm {
  QX_CLASS(TfrmClientTest, TIWAppForm)

 public:
  TfrmClientTest() = default;

  // Full posts: "OnClick <sender> text=<the edit's text> split=<the splitter region's size>".
  void PostClick(TObject* sender);
  // Any asynchronous event: "<callback> x=… y=… which=… modifiers=… text=<the edit's text>".
  void AsyncEventLog(TObject* sender, const TStringList& params);
  // The edit's asynchronous change: logged, then the edit's text is put in brackets, which the
  // reply brings back into the page.
  void edtTextAsyncChange(TObject* sender, const TStringList& params);

  // Shows the partial-update test form.
  void btnPartialClick(TObject* sender);

 protected:
  // Finds the controls the definition made.
  void Loaded() override;

 private:
  // Adds a line to the log label.
  void Log(const std::string& line);

  TFormLog log_;
  TIWEdit* edtText_ = nullptr;
  TIWRegion* regTop_ = nullptr;
};

}  // namespace qx
