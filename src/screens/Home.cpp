// The home screen's class table, its request list and notes, and its handlers.
#include "screens/Home.h"

#include <algorithm>

#include "controls/IWButton.h"
#include "controls/IWDBControls.h"
#include "controls/IWDBGrid.h"
#include "controls/IWEdit.h"
#include "controls/IWImageFile.h"
#include "controls/IWLabel.h"
#include "data/ADODataSet.h"
#include "data/DataErrors.h"
#include "data/ServiceLanguage.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "runtime/DateTime.h"
#include "runtime/Format.h"
#include "runtime/FormReader.h"
#include "runtime/Strings.h"
#include "screens/Configurar.h"
#include "screens/DefinedControl.h"
#include "screens/EnviaEmail.h"
#include "screens/Servicio.h"
#include "screens/Usuario.h"
#include "screens/usSesion.h"
#include "server/IWExceptions.h"

namespace qx {

namespace {

// A note's date as the screen shows it: the short date, a space and the time to the minute.
constexpr char kNoteTimeFormat[] = " hh:nn";

// The statuses in which a request may still be cancelled (9: under review).
constexpr int kCancellableStatuses[] = {kStatusNew, kStatusAwaiting, kStatusReminder, 9};

bool OffersReminder(int statusId) { return statusId == kStatusAwaiting; }
bool OffersCancellation(int statusId) {
  return std::ranges::find(kCancellableStatuses, statusId) != std::end(kCancellableStatuses);
}

// The moves of the navigation buttons: none on the record they lead to, so that a click there
// reloads nothing. A grid's rendering walks the rows and returns, which clears Bof and Eof, so
// the first and last records count as the ends too.
void MoveBack(TDataSet& dataSet, bool toFirst) {
  if (dataSet.Bof() || dataSet.RecNo() <= 1) return;
  if (toFirst)
    dataSet.First();
  else
    dataSet.Prior();
}
void MoveForward(TDataSet& dataSet, bool toLast) {
  if (dataSet.Eof() || dataSet.RecNo() >= dataSet.RecordCount()) return;
  if (toLast)
    dataSet.Last();
  else
    dataSet.Next();
}

// The session's application object, which owns the screens the home screen opens.
TIWApplication& ApplicationOf(const TIWAppForm& form) {
  TIWApplication* application = form.Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {form.Name()}));
  return *application;
}

int CurrentInteger(const TDataSet& dataSet, std::string_view field) {
  return dataSet.Active() ? dataSet.FieldByName(field).AsInteger() : 0;
}

}  // namespace

const TClassInfo& TfrmHome::StaticClassInfo() {
  using T = TfrmHome;
  static const TClassInfo info =
      TClassBuilder<T>("TfrmHome")
          .Creatable()
          .Definition("Home.qxf")
          .Handler("IWAppFormRender", &T::IWAppFormRender)
          .Handler("btnReportarClick", &T::btnReportarClick)
          .Handler("btnRecordarClick", &T::btnRecordarClick)
          .Handler("btnCancelarClick", &T::btnCancelarClick)
          .Handler("btnConfigurarClick", &T::btnConfigurarClick)
          .Handler("btnActualizarClick", &T::btnActualizarClick)
          .Handler("btnEnviaEmailClick", &T::btnEnviaEmailClick)
          .Handler("btnPrimeraClick", &T::btnPrimeraClick)
          .Handler("btnAnteriorClick", &T::btnAnteriorClick)
          .Handler("btnSiguienteClick", &T::btnSiguienteClick)
          .Handler("btnUltimoClick", &T::btnUltimoClick)
          .Handler("IWImageButton1Click", &T::IWImageButton1Click)
          .Handler("btnAvanzarClick", &T::btnAvanzarClick)
          .Handler("btnRegresarClick", &T::btnRegresarClick)
          .Handler("IWImageButton6Click", &T::IWImageButton6Click)
          .Handler("IWDBGrid1Columns1Click", &T::IWDBGrid1Columns1Click)
          .Handler("dbgRequestStatusColumns0Click", &T::dbgRequestStatusColumns0Click)
          .Handler("dbgRequestStatusColumns2Click", &T::dbgRequestStatusColumns2Click)
          .Handler("adodsServiciosAfterScroll", &T::adodsServiciosAfterScroll)
          .Handler("adodsRequestStatusAfterScroll", &T::adodsRequestStatusAfterScroll)
          .Handler("adodsRequestStatusCalcFields", &T::adodsRequestStatusCalcFields)
          .Build();
  return info;
}

void TfrmHome::Loaded() {
  TIWAppForm::Loaded();
  btnRecordar_ = DefinedControl<TIWButton>(*this, "btnRecordar");
  btnCancelar_ = DefinedControl<TIWButton>(*this, "btnCancelar");
  btnEnviaEmail_ = DefinedControl<TIWImageButton>(*this, "btnEnviaEmail");
  edtDial_ = DefinedControl<TIWEdit>(*this, "edtDial");
  edtStatusDial_ = DefinedControl<TIWEdit>(*this, "edtStatusDial");
  lblRequestStatusTitle_ = DefinedControl<TIWLabel>(*this, "lblRequestStatusTitle");
  dbgRequest_ = DefinedControl<TIWDBGrid>(*this, "dbgRequest");
  dbgRequestStatus_ = DefinedControl<TIWDBGrid>(*this, "dbgRequestStatus");
  dbmmComments_ = DefinedControl<TIWDBMemo>(*this, "dbmmComments");
  adodsServicios_ = DefinedControl<TADODataSet>(*this, "adodsServicios");
  adodsRequestStatus_ = DefinedControl<TADODataSet>(*this, "adodsRequestStatus");
}

TusSesion& TfrmHome::Session() const { return TusSesion::Of(*this); }

int TfrmHome::CurrentRequestId() const { return CurrentInteger(*adodsServicios_, "Id_Request"); }
int TfrmHome::CurrentStatusId() const { return CurrentInteger(*adodsServicios_, "Id_Status"); }

// ---- the request list --------------------------------------------------------------------------

void TfrmHome::BuildRequestList() {
  TusSesion& session = Session();
  userExists_ = session.ReloadUser(session.Id_User);
  const TDateTime now = Now();
  adodsServicios_->Close();
  adodsServicios_->SetCommandText(
      SqlRequestList(ServiceLanguage(), session.Id_User, session.RequestGetDays, now));
  adodsServicios_->Open();
  // An empty list raises no after-scroll: its labels and notes are cleared here.
  const bool listed = !adodsServicios_->IsEmpty();
  if (!listed) adodsServiciosAfterScroll(*adodsServicios_);
  std::string reason;
  btnEnviaEmail_->SetVisible(listed && session.CheckMailReady(userExists_, true, reason));
  dbgRequest_->SetCaption(
      session.RequestGetDays <= 0
          ? std::string(kMsgRequestGridToday)
          : Format(kMsgRequestGridFrom,
                   {FormatDateTime(kShortDateFormat, now - session.RequestGetDays)}));
}

void TfrmHome::EnableStatusButtons() {
  const int statusId = CurrentStatusId();  // an empty list reads 0: neither is offered
  btnRecordar_->SetEnabled(OffersReminder(statusId));
  btnCancelar_->SetEnabled(OffersCancellation(statusId));
}

void TfrmHome::adodsServiciosAfterScroll(TDataSet& dataSet) {
  const int idRequest = CurrentRequestId();
  if (dataSet.IsEmpty()) {
    edtDial_->SetText(kMsgWithoutNumbers);
    lblRequestStatusTitle_->SetCaption(kMsgFollowUp);
  } else {
    edtDial_->SetText(Format("%s %d", {kMsgNumber, idRequest}));
    lblRequestStatusTitle_->SetCaption(Format("%s %d", {kMsgFollowUp, idRequest}));
  }
  btnRecordar_->SetConfirmation(Format(kMsgConfirmReminder, {idRequest}));
  btnCancelar_->SetConfirmation(Format(kMsgConfirmCancel, {idRequest}));
  EnableStatusButtons();
  LoadStatusNotes(idRequest);
}

// ---- the notes ---------------------------------------------------------------------------------

void TfrmHome::LoadStatusNotes(int idRequest) {
  adodsRequestStatus_->Close();
  adodsRequestStatus_->SetCommandText(SqlStatusNotes(ServiceLanguage(), idRequest));
  try {
    adodsRequestStatus_->Open();
  } catch (const EDatabaseError&) {
    // The dataset stays closed: the notes part shows no note rather than the previous one's.
    if (TIWApplication* application = Application()) application->ShowMessage(kMsgError);
  }
  if (!adodsRequestStatus_->Active() || adodsRequestStatus_->IsEmpty())
    adodsRequestStatusAfterScroll(*adodsRequestStatus_);
}

void TfrmHome::adodsRequestStatusAfterScroll(TDataSet& dataSet) {
  if (!dataSet.Active() || dataSet.IsEmpty()) {
    edtStatusDial_->SetText(kMsgNoNote);
    return;
  }
  const TDateTime written = dataSet.FieldByName("Status_dt").AsDateTime();
  edtStatusDial_->SetText(FormatDateTime(kShortDateFormat, written) +
                          FormatDateTime(kNoteTimeFormat, written));
}

void TfrmHome::adodsRequestStatusCalcFields(TDataSet& dataSet) {
  const bool qxUser = dataSet.FieldByName("Id_UserStatus").AsInteger() < 1;
  dataSet.FieldByName("UserName").SetAsString(
      dataSet.FieldByName(qxUser ? "UserNameQX" : "User_Status").AsString());
}

// ---- render and handlers -----------------------------------------------------------------------

void TfrmHome::IWAppFormRender(TObject*) {
  TusSesion& session = Session();
  if (!adodsServicios_->Active() || session.RefreshHome) {
    BuildRequestList();
    session.RefreshHome = false;
  }
  SetTitle(Format("%S [%S]", {kMsgHomeTitle, session.UserName}));
}

void TfrmHome::ChangeCurrentStatus(int statusId, const char* failure) {
  const int idRequest = CurrentRequestId();
  if (Session().ChangeRequestStatus(idRequest, statusId, {}))
    BuildRequestList();
  else if (TIWApplication* application = Application())
    application->ShowMessage(Format(failure, {idRequest}));
}

void TfrmHome::btnRecordarClick(TObject*) { ChangeCurrentStatus(kStatusReminder, kMsgReminderError); }
void TfrmHome::btnCancelarClick(TObject*) { ChangeCurrentStatus(kStatusCancelled, kMsgCancelError); }
void TfrmHome::btnConfigurarClick(TObject*) {
  // Its Accept sets RefreshHome, so this screen's next render rebuilds the list.
  CreateComponent<TfrmConfigurar>(ApplicationOf(*this)).Show();
}
void TfrmHome::btnActualizarClick(TObject*) { BuildRequestList(); }

void TfrmHome::btnReportarClick(TObject*) {
  CreateComponent<TfrmServicio>(ApplicationOf(*this)).Show();
}

void TfrmHome::btnEnviaEmailClick(TObject*) {
  auto& screen = CreateComponent<TfrmEnviaEmail>(ApplicationOf(*this));
  screen.PrepareFromRequest(*adodsServicios_);
  screen.Show();
}

void TfrmHome::btnPrimeraClick(TObject*) { MoveBack(*adodsServicios_, true); }
void TfrmHome::btnAnteriorClick(TObject*) { MoveBack(*adodsServicios_, false); }
void TfrmHome::btnSiguienteClick(TObject*) { MoveForward(*adodsServicios_, false); }
void TfrmHome::btnUltimoClick(TObject*) { MoveForward(*adodsServicios_, true); }
void TfrmHome::IWImageButton1Click(TObject*) { MoveBack(*adodsRequestStatus_, true); }
void TfrmHome::btnAvanzarClick(TObject*) { MoveBack(*adodsRequestStatus_, false); }
void TfrmHome::btnRegresarClick(TObject*) { MoveForward(*adodsRequestStatus_, false); }
void TfrmHome::IWImageButton6Click(TObject*) { MoveForward(*adodsRequestStatus_, true); }

void TfrmHome::IWDBGrid1Columns1Click(TObject*, const std::string& value) {
  adodsServicios_->Locate("id_Request", Variant(value));
}

void TfrmHome::dbgRequestStatusColumns0Click(TObject*, const std::string& value) {
  adodsRequestStatus_->Locate("Id_Req_Status", Variant(value));
}

void TfrmHome::dbgRequestStatusColumns2Click(TObject*, const std::string& value) {
  // A value that is no number fails the post with the conversion error.
  const int idUser = StrToInt(value);
  TIWApplication* application = Application();
  if (!application) return;
  if (idUser < 1) {
    application->ShowMessage(kMsgQXUserProfile);
    return;
  }
  auto& profile = CreateComponent<TfrmUsuario>(*application);
  profile.RequestedUserId = idUser;
  profile.Show();
}

}  // namespace qx
