// TusSesion: the data module every session owns. It holds the session's database connection,
// a scratch dataset and a command, caches the signed-in user and the SMTP settings, runs the
// service's statements for the screens and sends request mail.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "data/Variant.h"
#include "forms/UserSessionBase.h"
#include "mail/RequestMail.h"

namespace qx {

class TADOCommand;
class TADOConnection;
class TADODataSet;
class TDataSet;
class TStringList;

// The qxsmtp row the service reads.
inline constexpr int kSmtpSettingsRow = 1;

// Lives in the screens layer rather than in data: it reads the database path from the server
// controller, registers with the session through the forms layer and drives the mail client,
// and only the screens layer may see all of those.
//
// Thread safety: a session is served by one request at a time (the session lock), so the
// module takes no lock of its own; it must only be used by the request holding that lock.
//
// Writing routines return false on a database error and never show it; reading routines let
// database errors pass to the caller. dsTmp is closed again by every routine that uses it.
class TusSesion : public TIWUserSessionBase {
  QX_CLASS(TusSesion, TIWUserSessionBase)

 public:
  // Reads the definition's components (create it with CreateComponent<TusSesion>()). Its
  // creation opens the connection to the controller's DatabasePath (an EADOError when the file
  // cannot be opened passes to the caller) and loads the TLS library, whatever the outcome.
  TusSesion() = default;

  // The session module of the request the calling thread serves (the current application's
  // Data), or none.
  static TusSesion* Current() noexcept;
  // The same for a screen that cannot work without it: EIWException naming `screen` when the
  // session has no module.
  static TusSesion& Of(const TComponent& screen);

  // --- Components of the definition.
  TADOConnection& adocnWebServices() const noexcept { return *adocnWebServices_; }
  TADODataSet& dsTmp() const noexcept { return *dsTmp_; }
  TADOCommand& ADOcmdUpdate() const noexcept { return *ADOcmdUpdate_; }

  // --- The signed-in user, copied from its Users row by LoadUser (Id_User 0: no user).
  int Id_User = 0;
  std::string UserName;
  int RequestGetDays = 0;
  std::string Email;
  bool SendEmail = false;
  std::string PhoneCode;
  std::string Movil;
  // Set by a screen that changed what the home screen lists; the home screen rebuilds its list
  // at its next render and clears it.
  bool RefreshHome = false;

  // --- The SMTP settings as the last LoadSmtpSettings read them (Servidor, Puerto, ...).
  const TSmtpSettings& SmtpSettings() const noexcept { return smtp_; }

  // --- Id allocation: the largest key plus one, 1 for an empty table.
  int NextRequestId();
  int NextRequestStatusId();
  int NextHistEmailId();

  // Runs a writing statement on ADOcmdUpdate, its parameters given `values` in order. True
  // when it ran; false (nothing shown) when the database refused it.
  bool ExecCommand(std::string_view statement, std::initializer_list<Variant> values);
  // Runs `write` in one write transaction on the session's connection: committed when it
  // answers true (Written), rolled back when it answers false (Refused) or the database fails,
  // the transaction's start included (Failed). The transaction holds the file's write lock from
  // its start, so a key taken inside it is no other writer's: keys taken before it could be
  // taken by two sessions at once.
  enum class TWriteOutcome { Written, Refused, Failed };
  TWriteOutcome InWriteTransaction(const std::function<bool()>& write);

  // --- Writes. False when the database refuses the write.
  bool InsertRequest(int requestId, int firstNoteId, int userId, std::string_view description,
                     bool urgent, bool repairNotice);
  // A note by the signed-in user written now; `statusId` 0 to 255 (else false, nothing written).
  bool InsertStatusNote(int requestId, int noteId, int statusType, int statusId,
                        std::string_view comments);
  // The note of a request sent by e-mail (status 13, type 2) with the comments
  // "To: <recipients>\r\nSubject: <subject>"; only `kind` 2 writes, any other gives false.
  bool RecordEmailNote(int requestId, int noteId, int kind, std::string_view recipients,
                       std::string_view subject);
  // Adds the address to the user's history unless it is there (true then, nothing written),
  // its key taken in the same write transaction.
  bool RecordHistEmail(int userId, std::string_view address);
  // Repoints the request to a new note of `statusId` and writes that note, in one transaction
  // that also takes the note's key: both or neither.
  bool ChangeRequestStatus(int requestId, int statusId, std::string_view comments);
  // Stores the user's day window in every language row (the caller owns the transaction).
  bool UpdateRequestGetDays(int userId, int days);

  // --- The user.
  // Reads RequestGetDays of Id_User (0 when the row is gone); true when the row exists.
  bool LoadRequestGetDays();
  // Reads the user's row into the fields; true when it exists. A user deleted meanwhile leaves
  // Id_User 0 and empty fields.
  bool ReloadUser(int userId);
  // Copies the user fields from the dataset's current row, or empties them (Id_User 0) when the
  // dataset has no rows.
  void LoadUser(TDataSet& dataset);

  // --- Mail.
  // Resets the SMTP settings to their defaults, then reads qxsmtp row `smtpId` into them; true
  // when the row exists.
  bool LoadSmtpSettings(int smtpId);
  // Whether this user can send request mail now; when not, `reason` says why (it is emptied
  // first). On success the SMTP settings hold row 1.
  bool CheckMailReady(bool userExists, bool checkPermission, std::string& reason);
  // Sends one mail about a request with the current SMTP settings: subject "QX Request <n>: "
  // and the description, body "Description: ...", an empty line, "Commentaries: " and the
  // body lines; X-Priority highest when urgent. True when the server accepted it; any failure
  // gives false and leaves no trace.
  bool SendRequestMail(int requestId, std::string_view sender, bool urgent,
                       const TStringList& bodyLines, std::string_view recipients,
                       std::string_view description, std::string_view replyTo);
  // Opens a screen's dataset (on this connection) on "SELECT * FROM HistEmail " + `condition`;
  // true when it has rows.
  bool OpenHistEmail(TADODataSet& dataset, std::string_view condition);

 protected:
  void Loaded() override;
  void Created() override;

 private:
  // Runs a statement returning one MaxId column on dsTmp: the next key.
  int NextId(std::string_view statement);
  // ExecCommand's work: the number of rows written, or none when the database refused.
  std::optional<std::int64_t> RunCommand(std::string_view statement,
                                         std::initializer_list<Variant> values);
  // Opens dsTmp on `statement`; the caller closes it.
  void OpenTmp(std::string statement);

  TADOConnection* adocnWebServices_ = nullptr;
  TADODataSet* dsTmp_ = nullptr;
  TADOCommand* ADOcmdUpdate_ = nullptr;
  TSmtpSettings smtp_;
};

}  // namespace qx
