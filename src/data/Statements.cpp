// The composed statements: pieces joined exactly as they are, with no separator added.
#include "data/Statements.h"

#include <cmath>

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kUserByIdHead = "SELECT * FROM Users ";
constexpr const char* kUserByIdWhere = " WHERE Id_User = %d ";
constexpr const char* kLoginUsers =
    "select * from Users Where Id_Language = '%s' order by UserName";
constexpr const char* kHistEmailKnownHead = "SELECT * FROM HistEmail ";
constexpr const char* kHistEmailKnownWhere = " WHERE Id_User = %d AND Email = %s";
constexpr const char* kHistEmailCondition = "WHERE Id_User = %d";
constexpr const char* kSmtpHead = "SELECT * FROM qxsmtp ";
constexpr const char* kSmtpWhere = " WHERE Idsmtp = %d ";

constexpr const char* kRequestListSelect =
    "SELECT Request.Id_Request, Request.Description, Request_Status.Status_dt AS StatusDate, "
    "Request_Status.Comments, Request_Status.Id_Status, Status.Description AS Status, "
    "Request.Id_User, Users.UserName AS [User], UAdmin.UserName AS Admin, Request.Urgent FROM "
    "(Request LEFT JOIN Users ON (Request.Id_User = Users.Id_User AND Users.Id_Language = "
    "'%s'))  LEFT JOIN ((Request_Status LEFT JOIN Users AS UAdmin ON "
    "(Request_Status.Id_UserStatus = UAdmin.Id_User AND UAdmin.Id_Language = '%s'))  LEFT JOIN "
    "Status ON (Request_Status.Id_Status = Status.Id_Status AND Status.Id_Language = '%s'))  "
    "      ON Request.Id_Req_Status = Request_Status.Id_Req_Status  ";
constexpr const char* kRequestListWhere = "Where (%S and %S) or (%S and %S)";
constexpr const char* kRequestListUser = "Request.Id_User = %D";
constexpr const char* kRequestListPending =
    "Request_Status.Id_Status in (%D,%D,%D,%D,%D,%D,%D,%D,%D)";
constexpr const char* kRequestListClosed =
    "Request_Status.Id_Status in (%D,%D,%D) and Request_Status.Status_dt >= %S";
constexpr const char* kRequestListOrder = "ORDER BY Request.Id_Request ";

constexpr const char* kStatusNotes =
    "SELECT Request_Status.Id_Req_Status, Request_Status.Id_Request, Request_Status.Comments, "
    "Status.Description AS Status_desc,  Request_Status.Status_dt, "
    "Request_Status.Id_UserStatus, UserStatus.UserName AS User_Status, "
    "Request_Status.UserNameQX FROM (Request_Status INNER JOIN Status ON "
    "(Status.Id_Status=Request_Status.Id_Status AND Status.Id_Language = '%s'))  LEFT JOIN "
    "Users AS UserStatus ON (Request_Status.Id_UserStatus=UserStatus.Id_User AND "
    "UserStatus.Id_Language = '%s')  WHERE  Request_Status.Id_Request = %d ORDER BY "
    "Request_Status.Id_Request";

}  // namespace

std::string SqlUserById(int idUser) {
  return std::string(kUserByIdHead).append(Format(kUserByIdWhere, {idUser}));
}

std::string SqlLoginUsers(std::string_view language) { return Format(kLoginUsers, {language}); }

std::string QuotedStr(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(StringReplace(text, "'", "''", rfReplaceAll)).append(1, '\'');
  return quoted;
}

std::string SqlHistEmailKnown(int idUser, std::string_view email) {
  return std::string(kHistEmailKnownHead)
      .append(Format(kHistEmailKnownWhere, {idUser, QuotedStr(email)}));
}

std::string SqlHistEmailCondition(int idUser) { return Format(kHistEmailCondition, {idUser}); }

std::string SqlHistEmailList(int idUser) {
  return std::string(kSqlHistEmailSelect) + SqlHistEmailCondition(idUser);
}

std::string SqlSmtpSettings(int idSmtp) {
  return std::string(kSmtpHead).append(Format(kSmtpWhere, {idSmtp}));
}

std::int64_t RequestListCutOff(TDateTime now, int requestGetDays) {
  return static_cast<std::int64_t>(std::trunc(now - requestGetDays));
}

std::string SqlRequestList(std::string_view language, int idUser, int requestGetDays,
                           TDateTime now) {
  std::string user = Format(kRequestListUser, {idUser});
  const int* p = PendingStatuses;
  std::string pending =
      Format(kRequestListPending, {p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]});
  const int* c = ClosedStatuses;
  std::string closed = Format(kRequestListClosed,
                              {c[0], c[1], c[2], IntToStr(RequestListCutOff(now, requestGetDays))});
  return Format(kRequestListSelect, {language, language, language}) +
         Format(kRequestListWhere, {user, pending, user, closed}) + kRequestListOrder;
}

std::string SqlStatusNotes(std::string_view language, int idRequest) {
  return Format(kStatusNotes, {language, language, idRequest});
}

}  // namespace qx
