// TfrmGridTest: the home screen's two grids (requests and their notes) over datasets running
// the request list and the notes statements, read from GridTestForm.qxf, for the grid tests.
// Its handlers do what the home screen's do and log what they received.
#pragma once

#include <string>

#include "forms/Application.h"

namespace qx {

class TADOConnection;
class TADODataSet;
class TDataSet;
class TIWDBGrid;

class TfrmGridTest : public TIWAppForm {
  QX_CLASS(TfrmGridTest, TIWAppForm)

 public:
  TfrmGridTest() = default;

  TADOConnection& Connection() const { return *adoConnection_; }
  TADODataSet& Requests() const { return *adodsServicios_; }
  TADODataSet& Notes() const { return *adodsRequestStatus_; }
  TIWDBGrid& RequestGrid() const { return *dbgRequest_; }
  TIWDBGrid& NotesGrid() const { return *dbgRequestStatus_; }
  // What the handlers received, one "<handler> <value>" line each.
  const std::string& Log() const noexcept { return log_; }
  // How often the request list's after-scroll ran.
  int RequestMoves() const noexcept { return requestMoves_; }
  // Runs the request list (R1) of the user in English.
  void BuildRequestList(int idUser);

  // Handlers named by the definition.
  void IWDBGrid1Columns1Click(TObject* sender, const std::string& value);
  void dbgRequestStatusColumns0Click(TObject* sender, const std::string& value);
  void dbgRequestStatusColumns2Click(TObject* sender, const std::string& value);
  void adodsServiciosAfterScroll(TDataSet& dataSet);
  void adodsRequestStatusCalcFields(TDataSet& dataSet);

 protected:
  void Loaded() override;

 private:
  TADOConnection* adoConnection_ = nullptr;
  TADODataSet* adodsServicios_ = nullptr;
  TADODataSet* adodsRequestStatus_ = nullptr;
  TIWDBGrid* dbgRequest_ = nullptr;
  TIWDBGrid* dbgRequestStatus_ = nullptr;
  std::string log_;
  int requestMoves_ = 0;
};

}  // namespace qx
