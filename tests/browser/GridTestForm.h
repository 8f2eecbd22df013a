// TfrmGridTest: a data grid in a scrolling frame over a real SQLite table of sixty requests,
// opened at <mount>/frmGridTest.html. Its link column and a title post the grid; the handlers
// write what they received into the log label.
#pragma once

#include <string>

#include "FormLog.h"
#include "forms/Application.h"

namespace qx {

class TADOCommand;
class TADOConnection;
class TADODataSet;

class TfrmGridTest : public TIWAppForm {
  QX_CLASS(TfrmGridTest, TIWAppForm)

 public:
  // The requests the form's database holds, numbered from 1; the one numbered kMarkupRequest
  // has kMarkupDescription (markup, quotes and an accent that must show as text).
  static constexpr int kRequestCount = 60;
  static constexpr int kMarkupRequest = 50;
  static constexpr const char* kMarkupDescription = "<b>Fuga</b> \"agua\" a\xF1o";

  TfrmGridTest() = default;

  // Makes the session's own database (in its cache folder, which goes with the session),
  // fills it and opens the request list on its first record.
  void FormCreate(TObject* sender);
  // The link column: "OnClick column <index> value=<value> current=<the request now current>",
  // after moving the list to the request of that number.
  void RequestClick(TObject* sender, const std::string& value);
  // "OnTitleClick column <index>".
  void TitleClick(TObject* sender);

 protected:
  // Finds the components the definition made.
  void Loaded() override;

 private:
  TFormLog log_;
  TADOConnection* connection_ = nullptr;
  TADODataSet* requests_ = nullptr;
  TADOCommand* addRequest_ = nullptr;
};

}  // namespace qx
