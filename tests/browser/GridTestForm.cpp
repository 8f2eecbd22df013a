// The browser tests' data grid form: its class table, its database and its handlers.
#include "GridTestForm.h"

#include "controls/IWDBGrid.h"
#include "controls/IWLabel.h"
#include "data/ADOCommand.h"
#include "data/ADODataSet.h"
#include "data/Schema.h"
#include "screens/DefinedControl.h"

namespace qx {

const TClassInfo& TfrmGridTest::StaticClassInfo() {
  using T = TfrmGridTest;
  static const TClassInfo info = TClassBuilder<T>("TfrmGridTest")
                                     .Creatable()
                                     .Definition("GridTestForm.qxf")
                                     .Handler("FormCreate", &T::FormCreate)
                                     .Handler("RequestClick", &T::RequestClick)
                                     .Handler("TitleClick", &T::TitleClick)
                                     .Build();
  return info;
}

void TfrmGridTest::Loaded() {
  TIWAppForm::Loaded();
  log_.SetLabel(DefinedControl<TIWLabel>(*this, "lblLog"));
  connection_ = DefinedControl<TADOConnection>(*this, "adoConnection");
  requests_ = DefinedControl<TADODataSet>(*this, "adodsRequests");
  addRequest_ = DefinedControl<TADOCommand>(*this, "cmdAddRequest");
}

void TfrmGridTest::FormCreate(TObject*) {
  const std::string path = Application()->UserCacheDir() + "Grid.mdb";
  CreateDatabaseFile(path);
  connection_->SetConnectionString(DatabaseConnectionString(path));
  connection_->Open();
  connection_->BeginTrans();
  for (int n = 1; n <= kRequestCount; ++n) {
    addRequest_->Parameters()[0].SetValue(n);
    addRequest_->Parameters()[1].SetValue(n == kMarkupRequest ? kMarkupDescription : "Request " + IntToStr(n));
    addRequest_->Parameters()[2].SetValue(n % 3 == 0);
    addRequest_->Execute();
  }
  connection_->CommitTrans();
  requests_->Open();
}

void TfrmGridTest::RequestClick(TObject* sender, const std::string& value) {
  requests_->Locate("Id_Request", Variant(value));
  log_.Add("OnClick column " + IntToStr(dynamic_cast<TIWDBGridColumn&>(*sender).Index()) + " value=" + value +
           " current=" + requests_->FieldByName("Id_Request").AsString());
}

void TfrmGridTest::TitleClick(TObject* sender) {
  log_.Add("OnTitleClick column " + IntToStr(dynamic_cast<TIWDBGridColumn&>(*sender).Index()));
}

}  // namespace qx
