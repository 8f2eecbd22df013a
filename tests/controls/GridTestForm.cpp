// The grid tests' form: its class table, the datasets' statements and the handlers.
#include "GridTestForm.h"

#include "controls/IWDBGrid.h"
#include "data/ADODataSet.h"
#include "data/Statements.h"
#include "runtime/DateTime.h"

namespace qx {

const TClassInfo& TfrmGridTest::StaticClassInfo() {
  using T = TfrmGridTest;
  static const TClassInfo info =
      TClassBuilder<T>("TfrmGridTest")
          .Creatable()
          .Definition("GridTestForm.qxf")
          .Handler("IWDBGrid1Columns1Click", &T::IWDBGrid1Columns1Click)
          .Handler("dbgRequestStatusColumns0Click", &T::dbgRequestStatusColumns0Click)
          .Handler("dbgRequestStatusColumns2Click", &T::dbgRequestStatusColumns2Click)
          .Handler("adodsServiciosAfterScroll", &T::adodsServiciosAfterScroll)
          .Handler("adodsRequestStatusCalcFields", &T::adodsRequestStatusCalcFields)
          .Build();
  return info;
}

void TfrmGridTest::Loaded() {
  TIWAppForm::Loaded();
  adoConnection_ = &dynamic_cast<TADOConnection&>(*FindComponent("adoConnection"));
  adodsServicios_ = &dynamic_cast<TADODataSet&>(*FindComponent("adodsServicios"));
  adodsRequestStatus_ = &dynamic_cast<TADODataSet&>(*FindComponent("adodsRequestStatus"));
  dbgRequest_ = &dynamic_cast<TIWDBGrid&>(*FindComponent("dbgRequest"));
  dbgRequestStatus_ = &dynamic_cast<TIWDBGrid&>(*FindComponent("dbgRequestStatus"));
}

void TfrmGridTest::BuildRequestList(int idUser) {
  adodsServicios_->Close();
  adodsServicios_->SetCommandText(SqlRequestList("EN", idUser, 0, Now()));
  adodsServicios_->Open();
}

void TfrmGridTest::IWDBGrid1Columns1Click(TObject*, const std::string& value) {
  log_ += "request " + value + "\n";
  adodsServicios_->Locate("id_Request", Variant(value));
}

void TfrmGridTest::dbgRequestStatusColumns0Click(TObject*, const std::string& value) {
  log_ += "note " + value + "\n";
  adodsRequestStatus_->Locate("Id_Req_Status", Variant(value));
}

void TfrmGridTest::dbgRequestStatusColumns2Click(TObject*, const std::string& value) {
  log_ += "user " + value + "\n";
}

// The notes follow the current request, as on the home screen.
void TfrmGridTest::adodsServiciosAfterScroll(TDataSet& dataSet) {
  ++requestMoves_;
  adodsRequestStatus_->Close();
  adodsRequestStatus_->SetCommandText(SqlStatusNotes("EN", dataSet.FieldByName("Id_Request").AsInteger()));
  adodsRequestStatus_->Open();
}

void TfrmGridTest::adodsRequestStatusCalcFields(TDataSet& dataSet) {
  const bool qxUser = dataSet.FieldByName("Id_UserStatus").AsInteger() < 1;
  dataSet.FieldByName("UserName").SetAsString(
      dataSet.FieldByName(qxUser ? "UserNameQX" : "User_Status").AsString());
}

}  // namespace qx
