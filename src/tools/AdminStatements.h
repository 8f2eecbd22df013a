// The statements of the administrator's tool and of its demo data: the rows the desktop tools
// own (users, the status catalogue, the SMTP settings) and the listings of the admin commands.
// The service's own statements, reused here, are in data/Statements.h.
#pragma once

#include <string_view>

namespace qx::admin {

// Users: one row per language under one Id_User.
inline constexpr std::string_view kSqlInsertUser =
    "INSERT INTO Users (Id_User, Id_Language, UserName, Password, Administrator, Email, Phone,"
    " Department, Group2, Photo, RequestGetDays, PhoneCode, Movil, SendEmail, SendSMS) VALUES"
    " (:IdUser, :Language, :UserName, :Password, :Administrator, :Email, :Phone, :Department,"
    " :Group2, :Photo, :RequestGetDays, :PhoneCode, :Movil, :SendEmail, :SendSMS)";
inline constexpr std::string_view kSqlNextUserId = "SELECT Max(Id_User) as MaxId FROM Users ";
inline constexpr std::string_view kSqlUserList =
    "SELECT Id_User, Id_Language, UserName, Email, SendEmail, RequestGetDays, Administrator"
    " FROM Users WHERE :Language = '' OR Id_Language = :Language ORDER BY Id_User, Id_Language";
// The languages of a user's rows; all of them when :Language is empty.
inline constexpr std::string_view kSqlUserLanguages =
    "SELECT Id_Language FROM Users WHERE Id_User = :IdUser AND (:Language = '' OR"
    " Id_Language = :Language) ORDER BY Id_Language";
// Another user's row of that name in the language (names compare without regard to case).
inline constexpr std::string_view kSqlUserNameTaken =
    "SELECT Id_User FROM Users WHERE Id_Language = :Language AND UserName = :UserName AND"
    " Id_User <> :IdUser";
inline constexpr std::string_view kSqlDeleteUser =
    "DELETE FROM Users WHERE Id_User = :IdUser AND (:Language = '' OR Id_Language = :Language)";
inline constexpr std::string_view kSqlUserRequestCount =
    "SELECT Count(*) AS N FROM Request WHERE Id_User = :IdUser";

// The status catalogue.
inline constexpr std::string_view kSqlInsertStatus =
    "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (:Id, :Language, :Name)";
inline constexpr std::string_view kSqlStatusList =
    "SELECT Id_Status, Id_Language, Description FROM Status ORDER BY Id_Status, Id_Language";
inline constexpr std::string_view kSqlStatusExists =
    "SELECT Id_Status FROM Status WHERE Id_Status = :Id AND (:Language = '' OR"
    " Id_Language = :Language)";
inline constexpr std::string_view kSqlStatusByName =
    "SELECT Id_Status FROM Status WHERE Id_Language = :Language AND Description = :Name";
inline constexpr std::string_view kSqlRenameStatus =
    "UPDATE Status SET Description = :Name WHERE Id_Status = :Id AND Id_Language = :Language";

// The SMTP settings: the row the service reads, a new row, then the columns an
// administrator sets.
inline constexpr int kSmtpRow = 1;
inline constexpr std::string_view kSqlInsertSmtp =
    "INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, SSL_Method,"
    " SSL_VerDepht, AutType, SSL_CertFile, SSL_KeyFile, SSL_RootFile, SSL_VerMode1,"
    " SSL_VerMode2, SSL_VerMode3) VALUES (:Id, :Host, :User, :Pwd, :Port, :TlsType,"
    " :SslMethod, :VerifyDepth, :AuthType, :CertFile, :KeyFile, :RootFile, :Verify1,"
    " :Verify2, :Verify3)";

// Requests with their current status and reporter, names in :Language; one user's when
// :IdUser is above 0.
inline constexpr std::string_view kSqlAdminRequestList =
    "SELECT Request.Id_Request, Request.Id_User, Users.UserName, Request.Urgent,"
    " Request_Status.Id_Status, Status.Description AS Status, Request_Status.Status_dt,"
    " Request.Description FROM Request"
    " LEFT JOIN Users ON Users.Id_User = Request.Id_User AND Users.Id_Language = :Language"
    " LEFT JOIN Request_Status ON Request_Status.Id_Req_Status = Request.Id_Req_Status"
    " LEFT JOIN Status ON Status.Id_Status = Request_Status.Id_Status AND"
    " Status.Id_Language = :Language"
    " WHERE :IdUser <= 0 OR Request.Id_User = :IdUser ORDER BY Request.Id_Request";
inline constexpr std::string_view kSqlAdminRequest =
    "SELECT * FROM Request WHERE Id_Request = :IdRequest";
// Every note of a request, a status without a name in :Language included, oldest first.
inline constexpr std::string_view kSqlAdminRequestNotes =
    "SELECT Request_Status.Id_Req_Status, Request_Status.Status_dt, Request_Status.Id_Status,"
    " Status.Description AS Status, Request_Status.StatusType, Request_Status.Id_UserStatus,"
    " Users.UserName, Request_Status.UserNameQX, Request_Status.Comments FROM Request_Status"
    " LEFT JOIN Status ON Status.Id_Status = Request_Status.Id_Status AND"
    " Status.Id_Language = :Language"
    " LEFT JOIN Users ON Users.Id_User = Request_Status.Id_UserStatus AND"
    " Users.Id_Language = :Language"
    " WHERE Request_Status.Id_Request = :IdRequest ORDER BY Request_Status.Id_Req_Status";

}  // namespace qx::admin
