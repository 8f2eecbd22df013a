// The session data module: its creation (the session's connection), id allocation, the
// writes with their transaction, the signed-in user, the SMTP settings and request mail.
#include "screens/usSesion.h"

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "data/DataErrors.h"
#include "data/KeyAllocation.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "data/qxconsts.h"
#include "forms/Application.h"
#include "mail/TLSLibrary.h"
#include "runtime/ClassInfo.h"
#include "runtime/Format.h"
#include "screens/DefinedControl.h"
#include "server/Controller.h"
#include "server/IWExceptions.h"

namespace qx {

namespace {

constexpr char kMsgNoSessionData[] = "%s: the session has no data module.";
// The day window the configuration screen accepts (ValidateDays).
constexpr int kMaxRequestGetDays = 180;

// Closes the scratch dataset when a routine leaves, however it leaves.
class TClosing {
 public:
  explicit TClosing(TDataSet& dataset) noexcept : dataset_(dataset) {}
  ~TClosing() { dataset_.Close(); }
  TClosing(const TClosing&) = delete;
  TClosing& operator=(const TClosing&) = delete;

 private:
  TDataSet& dataset_;
};

}  // namespace

const TClassInfo& TusSesion::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TusSesion>("TusSesion").Creatable().Definition("usSesion.qxf").Build();
  return info;
}

TusSesion* TusSesion::Current() noexcept {
  TIWApplication* application = TIWApplication::Current();
  return application ? dynamic_cast<TusSesion*>(application->Data()) : nullptr;
}

TusSesion& TusSesion::Of(const TComponent& screen) {
  TusSesion* session = Current();
  if (!session) throw EIWException(Format(kMsgNoSessionData, {screen.Name()}));
  return *session;
}

void TusSesion::Loaded() {
  TIWUserSessionBase::Loaded();
  adocnWebServices_ = DefinedControl<TADOConnection>(*this, "adocnWebServices");
  dsTmp_ = DefinedControl<TADODataSet>(*this, "dsTmp");
  ADOcmdUpdate_ = DefinedControl<TADOCommand>(*this, "ADOcmdUpdate");
}

void TusSesion::Created() {
  TIWUserSessionBase::Created();
  RequestGetDays = 0;
  RefreshHome = false;
  TServerController* controller = TServerController::Current();
  if (!controller) throw EIWException(kNoServerControllerCreated);
  adocnWebServices_->Close();
  adocnWebServices_->SetConnectionString(DatabaseConnectionString(controller->DatabasePath()));
  adocnWebServices_->Open();
  // Loaded now so that the first mail does not wait for it; a host without it still serves.
  LoadTLSLibrary();
}

// ---- ids ---------------------------------------------------------------------------------------

void TusSesion::OpenTmp(std::string statement) {
  dsTmp_->Close();
  dsTmp_->SetCommandText(std::move(statement));
  dsTmp_->Open();
}

int TusSesion::NextId(std::string_view statement) { return NextKey(*dsTmp_, statement); }

int TusSesion::NextRequestId() { return NextId(kSqlNextRequestId); }
int TusSesion::NextRequestStatusId() { return NextId(kSqlNextRequestStatusId); }
int TusSesion::NextHistEmailId() { return NextId(kSqlNextHistEmailId); }

// ---- writes ------------------------------------------------------------------------------------

std::optional<std::int64_t> TusSesion::RunCommand(std::string_view statement,
                                                  std::initializer_list<Variant> values) {
  TADOCommand& command = *ADOcmdUpdate_;
  try {
    command.SetConnection(adocnWebServices_);
    // Emptied first so that no value of the previous statement is left on a parameter.
    command.SetCommandText({});
    command.SetPrepared(false);
    command.SetCommandText(std::string(statement));
    command.SetPrepared(true);
    int index = 0;
    for (const Variant& value : values) command.Parameters()[index++].SetValue(value);
    // A prepared statement keeps a connection of the pool: it is released as soon as the
    // command ran, so an idle session holds none.
    struct Unprepare {
      TADOCommand& command;
      ~Unprepare() { command.SetPrepared(false); }
    } unprepare{command};
    return command.Execute();
  } catch (const EDatabaseError&) {
    return std::nullopt;
  }
}

bool TusSesion::ExecCommand(std::string_view statement, std::initializer_list<Variant> values) {
  return RunCommand(statement, values).has_value();
}

bool TusSesion::InsertRequest(int requestId, int firstNoteId, int userId,
                              std::string_view description, bool urgent, bool repairNotice) {
  return ExecCommand(kSqlInsertRequest,
                     {requestId, description, firstNoteId, userId, urgent, repairNotice});
}

bool TusSesion::InsertStatusNote(int requestId, int noteId, int statusType, int statusId,
                                 std::string_view comments) {
  // A status id the column cannot hold is refused rather than cut to 8 bits.
  if (statusId < 0 || statusId > kMaxStatusId) return false;
  return ExecCommand(kSqlInsertStatusNote,
                     {noteId, requestId, statusId, Now(), comments, Id_User, statusType});
}

bool TusSesion::RecordEmailNote(int requestId, int noteId, int kind,
                                std::string_view recipients, std::string_view subject) {
  if (kind != kStatusTypeEmail) return false;
  return InsertStatusNote(requestId, noteId, kStatusTypeEmail, kStatusSentByEmail,
                          Format(kMsgMailNote, {recipients, subject}));
}

bool TusSesion::RecordHistEmail(int userId, std::string_view address) {
  return InWriteTransaction([&] {
           {
             TClosing closing(*dsTmp_);
             OpenTmp(SqlHistEmailKnown(userId, address));
             if (!dsTmp_->IsEmpty()) return true;
           }
           return ExecCommand(kSqlInsertHistEmail, {NextHistEmailId(), userId, address});
         }) == TWriteOutcome::Written;
}

bool TusSesion::ChangeRequestStatus(int requestId, int statusId, std::string_view comments) {
  return InWriteTransaction([&] {
           const int noteId = NextRequestStatusId();
           // The request must exist: repointing nothing and adding a note would report a
           // change that did not happen.
           const std::optional<std::int64_t> repointed =
               RunCommand(kSqlChangeRequestStatus, {noteId, requestId});
           return repointed == 1 &&
                  InsertStatusNote(requestId, noteId, kStatusTypeStatus, statusId, comments);
         }) == TWriteOutcome::Written;
}

TusSesion::TWriteOutcome TusSesion::InWriteTransaction(const std::function<bool()>& write) {
  TADOConnection& connection = *adocnWebServices_;
  TWriteOutcome outcome = TWriteOutcome::Failed;
  try {
    connection.BeginTrans();
    if (write()) {
      connection.CommitTrans();
      return TWriteOutcome::Written;
    }
    outcome = TWriteOutcome::Refused;
  } catch (const EDatabaseError&) {
    outcome = TWriteOutcome::Failed;
  }
  try {
    // A transaction that never began has nothing to undo.
    if (connection.InTransaction()) connection.RollbackTrans();
  } catch (const EDatabaseError&) {
    // The engine has ended the transaction on its own; nothing of it was kept.
  }
  return outcome;
}

bool TusSesion::UpdateRequestGetDays(int userId, int days) {
  if (days < 0 || days > kMaxRequestGetDays) return false;
  return ExecCommand(kSqlUpdateRequestGetDays, {days, userId});
}

// ---- the user ----------------------------------------------------------------------------------

bool TusSesion::LoadRequestGetDays() {
  TClosing closing(*dsTmp_);
  OpenTmp(SqlUserById(Id_User));
  if (dsTmp_->IsEmpty()) {
    RequestGetDays = 0;
    return false;
  }
  RequestGetDays = dsTmp_->FieldByName("RequestGetDays").AsInteger();
  return true;
}

bool TusSesion::ReloadUser(int userId) {
  TClosing closing(*dsTmp_);
  OpenTmp(SqlUserById(userId));
  LoadUser(*dsTmp_);
  return !dsTmp_->IsEmpty();
}

void TusSesion::LoadUser(TDataSet& dataset) {
  if (dataset.IsEmpty()) {
    Id_User = 0;
    UserName.clear();
    RequestGetDays = 0;
    Email.clear();
    PhoneCode.clear();
    Movil.clear();
    SendEmail = false;
    return;
  }
  Id_User = dataset.FieldByName("Id_User").AsInteger();
  UserName = dataset.FieldByName("UserName").AsString();
  RequestGetDays = dataset.FieldByName("RequestGetDays").AsInteger();
  Email = dataset.FieldByName("Email").AsString();
  PhoneCode = dataset.FieldByName("PhoneCode").AsString();
  Movil = dataset.FieldByName("Movil").AsString();
  SendEmail = dataset.FieldByName("SendEmail").AsBoolean();
}

// ---- mail --------------------------------------------------------------------------------------

bool TusSesion::LoadSmtpSettings(int smtpId) {
  smtp_ = TSmtpSettings();
  TClosing closing(*dsTmp_);
  OpenTmp(SqlSmtpSettings(smtpId));
  if (dsTmp_->IsEmpty()) return false;
  smtp_ = SmtpSettingsFromRow(*dsTmp_);
  return true;
}

bool TusSesion::CheckMailReady(bool userExists, bool checkPermission, std::string& reason) {
  reason.clear();
  if (!userExists) {
    reason = std::string(kMsgCannotReport) + "\r\n" + kMsgUserNoLongerExists;
    return false;
  }
  if (checkPermission && !SendEmail) {
    reason = std::string(kMsgEmailNotEnabled) + "\r\n" + kMsgNoEmailPermission;
    return false;
  }
  if (Email.empty()) {
    reason = std::string(kMsgEmailNotEnabled) + kMsgNoEmailRegistered;
    return false;
  }
  if (std::string check; !ValidateEmail(Email, check)) {
    reason = std::string(kMsgEmailNotEnabled) + kMsgEmailWronglyTyped;
    return false;
  }
  if (!LoadSmtpSettings(kSmtpSettingsRow)) {
    reason = std::string(kMsgEmailNotEnabled) + kMsgSmtpNotSetUp;
    return false;
  }
  return true;
}

bool TusSesion::SendRequestMail(int requestId, std::string_view sender, bool urgent,
                                const TStringList& bodyLines, std::string_view recipients,
                                std::string_view description, std::string_view replyTo) {
  TRequestMail mail;
  mail.RequestId = requestId;
  mail.Sender = sender;
  mail.Urgent = urgent;
  mail.BodyLines = bodyLines;
  mail.Recipients = recipients;
  mail.Description = description;
  mail.ReplyTo = replyTo;
  try {
    DeliverRequestMail(smtp_, mail);
    return true;
  } catch (const std::exception&) {
    // The screens tell the user that the mail did not go; the reason is not shown.
    return false;
  }
}

bool TusSesion::OpenHistEmail(TADODataSet& dataset, std::string_view condition) {
  dataset.Close();
  dataset.SetCommandText(std::string(kSqlHistEmailSelect).append(condition));
  dataset.Open();
  return !dataset.IsEmpty();
}

}  // namespace qx
