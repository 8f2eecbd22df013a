// TfrmHome: the screen a signed-in user works from. It lists the user's requests (pending ones
// of any age, answered and cancelled ones within the user's day window) with the status notes
// of the current request, and sends reminders and cancellations.
#pragma once

#include <string>

#include "forms/Application.h"

namespace qx {

class TADODataSet;
class TDataSet;
class TIWButton;
class TIWDBGrid;
class TIWDBMemo;
class TIWEdit;
class TIWImageButton;
class TIWLabel;
class TusSesion;

class TfrmHome : public TIWAppForm {
  QX_CLASS(TfrmHome, TIWAppForm)

 public:
  TfrmHome() = default;

  // --- Components of the definition that the screen's routines change.
  TIWButton& btnRecordar() const noexcept { return *btnRecordar_; }
  TIWButton& btnCancelar() const noexcept { return *btnCancelar_; }
  TIWImageButton& btnEnviaEmail() const noexcept { return *btnEnviaEmail_; }
  TIWEdit& edtDial() const noexcept { return *edtDial_; }
  TIWEdit& edtStatusDial() const noexcept { return *edtStatusDial_; }
  TIWLabel& lblRequestStatusTitle() const noexcept { return *lblRequestStatusTitle_; }
  TIWDBGrid& dbgRequest() const noexcept { return *dbgRequest_; }
  TIWDBGrid& dbgRequestStatus() const noexcept { return *dbgRequestStatus_; }
  TIWDBMemo& dbmmComments() const noexcept { return *dbmmComments_; }
  TADODataSet& adodsServicios() const noexcept { return *adodsServicios_; }
  TADODataSet& adodsRequestStatus() const noexcept { return *adodsRequestStatus_; }
  // Whether the signed-in user still existed at the last rebuild.
  bool UserExists() const noexcept { return userExists_; }

  // Reloads the user, reopens the request list on its first request and sets the buttons and
  // the grid's caption from it.
  void BuildRequestList();
  // Reopens the notes on those of `idRequest`; a failure shows "Error" and leaves none.
  void LoadStatusNotes(int idRequest);

  // --- Handlers named by the definition.
  // Before every page: a list that is not open yet, or that another screen changed, is
  // rebuilt; the title names the user.
  void IWAppFormRender(TObject* sender);
  // Opens the report screen over this one; a stored report rebuilds the list on return.
  void btnReportarClick(TObject* sender);
  void btnRecordarClick(TObject* sender);
  void btnCancelarClick(TObject* sender);
  // Opens the configuration screen over this one.
  void btnConfigurarClick(TObject* sender);
  void btnActualizarClick(TObject* sender);
  // Opens the send-by-e-mail screen on the current request.
  void btnEnviaEmailClick(TObject* sender);
  void btnPrimeraClick(TObject* sender);
  void btnAnteriorClick(TObject* sender);
  void btnSiguienteClick(TObject* sender);
  void btnUltimoClick(TObject* sender);
  void IWImageButton1Click(TObject* sender);
  void btnAvanzarClick(TObject* sender);
  void btnRegresarClick(TObject* sender);
  void IWImageButton6Click(TObject* sender);
  // The description link: the request of that number becomes the current one.
  void IWDBGrid1Columns1Click(TObject* sender, const std::string& value);
  // The note date link: the note of that number becomes the current one.
  void dbgRequestStatusColumns0Click(TObject* sender, const std::string& value);
  // The note author link opens the author's profile over this screen; an author of the
  // maintenance product (id below 1) has none.
  void dbgRequestStatusColumns2Click(TObject* sender, const std::string& value);
  void adodsServiciosAfterScroll(TDataSet& dataSet);
  void adodsRequestStatusAfterScroll(TDataSet& dataSet);
  // UserName: the maintenance product's author name for its notes, else the service user's.
  void adodsRequestStatusCalcFields(TDataSet& dataSet);

 protected:
  void Loaded() override;

 private:
  TusSesion& Session() const;
  // The current request's number and status; 0 for an empty list.
  int CurrentRequestId() const;
  int CurrentStatusId() const;
  // Remind and Cancel follow the current request's status.
  void EnableStatusButtons();
  // Changes the current request's status; a rebuild on success, else `failure` with its number.
  void ChangeCurrentStatus(int statusId, const char* failure);

  TIWButton* btnRecordar_ = nullptr;
  TIWButton* btnCancelar_ = nullptr;
  TIWImageButton* btnEnviaEmail_ = nullptr;
  TIWEdit* edtDial_ = nullptr;
  TIWEdit* edtStatusDial_ = nullptr;
  TIWLabel* lblRequestStatusTitle_ = nullptr;
  TIWDBGrid* dbgRequest_ = nullptr;
  TIWDBGrid* dbgRequestStatus_ = nullptr;
  TIWDBMemo* dbmmComments_ = nullptr;
  TADODataSet* adodsServicios_ = nullptr;
  TADODataSet* adodsRequestStatus_ = nullptr;
  bool userExists_ = false;
};

}  // namespace qx
