// Every statement the service runs, as constants and builders that produce the exact texts,
// and the status ids the service relies on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/DateTime.h"

namespace qx {

// Status ids. Pending requests are always listed; closed ones only within the day window.
inline constexpr int PendingStatuses[] = {1, 2, 3, 5, 8, 9, 10, 11, 12};
inline constexpr int ClosedStatuses[] = {4, 6, 7};
inline constexpr int kStatusNew = 1;           // first note of every new request
inline constexpr int kStatusAwaiting = 2;      // the only status that offers a reminder
inline constexpr int kStatusCancelled = 4;     // written when the user cancels
inline constexpr int kStatusReminder = 8;      // written when the user sends a reminder
inline constexpr int kStatusSentByEmail = 13;  // note of a request sent by e-mail
inline constexpr int kMaxStatusId = 255;       // status ids are stored as unsigned 8-bit values
// Request_Status.StatusType: a status change, or the note recording a sent mail.
inline constexpr int kStatusTypeStatus = 1;
inline constexpr int kStatusTypeEmail = 2;

// Keys: the largest existing key, in column MaxId (no row or no value: the table is empty).
inline constexpr std::string_view kSqlNextRequestId =
    "SELECT Max(id_Request) as MaxId FROM Request ";
inline constexpr std::string_view kSqlNextRequestStatusId =
    "SELECT Max(Id_Req_Status) as MaxId FROM Request_Status ";
inline constexpr std::string_view kSqlNextHistEmailId =
    "SELECT Max(Id_HistEmail) as MaxId FROM HistEmail ";

// A user's rows by id, in every language.
std::string SqlUserById(int idUser);
// The login list: the users of one language by name.
std::string SqlLoginUsers(std::string_view language);
// The profile screen's statement; parameter IdUser.
inline constexpr std::string_view kSqlProfileUser =
    "select * from Users\r\nWhere Id_User = :IdUser";

// `text` as a quoted literal: in single quotes, each single quote inside doubled.
std::string QuotedStr(std::string_view text);
// Whether the user already has the address in the history.
std::string SqlHistEmailKnown(int idUser, std::string_view email);
// The address history: kSqlHistEmailSelect followed by a condition (SqlHistEmailCondition).
inline constexpr std::string_view kSqlHistEmailSelect = "SELECT * FROM HistEmail ";
std::string SqlHistEmailCondition(int idUser);
std::string SqlHistEmailList(int idUser);
// The SMTP settings row.
std::string SqlSmtpSettings(int idSmtp);

// The request list's cut-off for closed requests: `now` minus the day window as a day serial,
// truncated toward zero (midnight at the start of that day).
std::int64_t RequestListCutOff(TDateTime now, int requestGetDays);
// The request list of a user: pending requests of any age, closed ones whose current note is
// not older than the cut-off; names of users and statuses in `language`.
std::string SqlRequestList(std::string_view language, int idUser, int requestGetDays,
                           TDateTime now);
// The status notes of one request, with status names and authors in `language`.
std::string SqlStatusNotes(std::string_view language, int idRequest);

// Writing statements; their parameters in order of first appearance.
// pIdRequest, pDescription, pIdReqStatus, pIdUser, pUrgent, pRepairNotice
inline constexpr std::string_view kSqlInsertRequest =
    "INSERT INTO Request (   Id_Request, Description, Id_Req_Status, Id_User, Urgent, "
    "RepairNotice) VALUES (  :pIdRequest, :pDescription, :pIdReqStatus, :pIdUser, :pUrgent, "
    ":pRepairNotice) ";
// pIdReqStatus, pIdRequest, pIdStatus, pStatusdt, pComments, pIdUserStatus, pStatusType
inline constexpr std::string_view kSqlInsertStatusNote =
    "INSERT INTO Request_Status(   Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, "
    "Id_UserStatus, StatusType) VALUES (  :pIdReqStatus, :pIdRequest, :pIdStatus, :pStatusdt, "
    ":pComments, :pIdUserStatus, :pStatusType) ";
// A status note that also names its maintenance-product author (UserNameQX, with
// Id_UserStatus 0), as the maintenance staff's tools write them; the service's own notes leave
// the name out.
// pIdReqStatus, pIdRequest, pIdStatus, pStatusdt, pComments, pIdUserStatus, pUserNameQX,
// pStatusType
inline constexpr std::string_view kSqlInsertStatusNoteQX =
    "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, "
    "Id_UserStatus, UserNameQX, StatusType) VALUES (:pIdReqStatus, :pIdRequest, :pIdStatus, "
    ":pStatusdt, :pComments, :pIdUserStatus, :pUserNameQX, :pStatusType)";
// pIdReqStatus, pIdRequest
inline constexpr std::string_view kSqlChangeRequestStatus =
    "UPDATE Request SET Id_Req_Status = :pIdReqStatus WHERE Id_Request = :pIdRequest ";
// pRequestGetDays, pIdUser (every language row of the user)
inline constexpr std::string_view kSqlUpdateRequestGetDays =
    "UPDATE Users SET RequestGetDays = :pRequestGetDays WHERE Id_User = :pIdUser ";
// pIdHistEmail, pIdUser, Email
inline constexpr std::string_view kSqlInsertHistEmail =
    "INSERT INTO HistEmail(Id_HistEmail, Id_User, Email)               VALUES (:pIdHistEmail, "
    ":pIdUser, :Email) ";

}  // namespace qx
