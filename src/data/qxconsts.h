// qxconsts: the message catalogue (every text the application shows or sends, in Windows-1252)
// and the input checks several screens share: description, e-mail address, day window.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Placeholders are filled with Format: %s and %S a text, %d a decimal integer, in order.
// The controller's back-button alert lives with the controller (server/Controller.h), the layer
// that raises it.

// Sign-in screen alerts.
inline constexpr char kMsgSelectUser[] = "Select a user name from the list.";
inline constexpr char kMsgUserNotFound[] = "User %S was not found in the Database.";  // %S name
inline constexpr char kMsgInvalidPassword[] = "Invalid password. Try again.";
inline constexpr char kMsgLoginCanceled[] = "Login canceled.";  // final page of a cancelled login

// Reasons why mail cannot be sent, shown in the error label of the report and send screens.
// The signed-in user is gone: the first line, then the second.
inline constexpr char kMsgCannotReport[] = "You cannot report a request.";
inline constexpr char kMsgUserNoLongerExists[] =
    "The user with which you entered no longer exists in the database...";
// The start of every other reason; one of the texts below follows it directly.
inline constexpr char kMsgEmailNotEnabled[] = "The sending by E-mail is not enabled.";
inline constexpr char kMsgNoEmailPermission[] =
    "You do not have permission to send the request by E-mail.";
inline constexpr char kMsgNoEmailRegistered[] =
    "You have no E-mail address registered in the database.\r\n"
    "You must register the E-mail from the \"Derurid Avaru Rarivad\".";
inline constexpr char kMsgEmailWronglyTyped[] =
    "The E-mail account is wrongly typed.\r\n"
    "You must correct the E-mail from the \"Derurid Avaru Rarivad\".";
inline constexpr char kMsgSmtpNotSetUp[] =
    "The SMTP server has not been set up.\r\n"
    "You must complete this configuration from the \"Zodiravo Roruder\".";

// Reasons of the input checks below.
inline constexpr char kMsgDescriptionEmpty[] =
    "You must type the description of the request you want to report.";
inline constexpr char kMsgDescriptionCharacters[] =
    "The request description accepts only letters, numbers and the characters ( ) / . , ; : -";
inline constexpr char kMsgEmailEmpty[] = "You must type the E-mail...";
inline constexpr char kMsgEmailTooShort[] = "The E-mail is too short. You must type it completely.";
inline constexpr char kMsgEmailTooLong[] = "The E-mail is too long. You must type it correctly.";
inline constexpr char kMsgEmailAtSign[] = "The E-mail is typed incorrectly. It must contain @.";
inline constexpr char kMsgEmailIncorrect[] = "The E-mail is typed incorrectly. Please, correct it.";
inline constexpr char kMsgDaysEmpty[] = "You must type the number of days.";
inline constexpr char kMsgDaysNumbersOnly[] =
    "This field accepts only numbers. Please correct the number of days.";
inline constexpr char kMsgDaysMaximum[] = "Maximum of 180 days allowed.";

// Report screen.
// The allocated request number or note id is not above 0.
inline constexpr char kMsgRequestNumberError[] =
    "Error obtaining the consecutive number of the requests.";
// Storing the request failed with an error.
inline constexpr char kMsgRequestStoreError[] = "There was an error generating the request.";
// Put before any reason in the screen's alert.
inline constexpr char kMsgRequestErrorPrefix[] = "There was an error generating the request: \r\n";
// Caption of the repair-notice check box; %s is the user's address.
inline constexpr char kMsgRepairNotice[] =
    "Send me a message to my E-mail %s when the request has been performed.";
// The description's character counter; %d is its length (see CountCharacters).
inline constexpr char kMsgCharacterCount[] = "%d characters (with spaces)";

// Configuration screen: storing the day window failed with an error.
inline constexpr char kMsgDaysUpdateFailed[] = "Failed when updating the parameter.";

// Send-by-e-mail screen.
inline constexpr char kMsgNoRecipient[] = "There must be at least one E-mail recipient";
// The mail did not go out: the screen stays with what the user typed, to try again.
inline constexpr char kMsgMailNotSent[] = "The E-mail could not be sent. Please try again later.";
// Put after a description cut to 70 characters.
inline constexpr char kMsgCutDescriptionEnd[] = "...";

// The request mail and the note that records it.
inline constexpr char kMsgMailSubject[] = "QX Request %d: ";  // the description follows
inline constexpr char kMsgMailDescription[] = "Description: ";  // first body line
inline constexpr char kMsgMailCommentaries[] = "Commentaries: ";  // third body line, alone
// Comments of the sent-mail note: the recipients, then the description.
inline constexpr char kMsgMailNote[] = "To: %s\r\nSubject: %s";

// Home screen.
inline constexpr char kMsgHomeTitle[] = "Online failures report";  // then " [" user name "]"
inline constexpr char kMsgNumber[] = "Number";  // then a space and the request number
inline constexpr char kMsgWithoutNumbers[] = "Without Numbers";  // the request list is empty
inline constexpr char kMsgFollowUp[] = "Request follow-up";  // then a space and the number
inline constexpr char kMsgNoNote[] = "No note";  // note date label of a request without notes
inline constexpr char kMsgConfirmReminder[] =
    "Are you sure you want to send a reminder for the request %d?";
inline constexpr char kMsgReminderError[] =
    "There was an error sending a reminder of the request %d.";
inline constexpr char kMsgConfirmCancel[] = "Are you sure you want to cancel the request %d?";
inline constexpr char kMsgCancelError[] = "There was an error canceling request %d.";
// Request grid caption; %s is the first date of the window, or "today" for a window of 0 days.
inline constexpr char kMsgRequestGridFrom[] =
    "Pending requests [All] and Requests Dealt with or Canceled [from %s]";
inline constexpr char kMsgRequestGridToday[] =
    "Pending requests [All] and Requests Dealt with or Canceled [from today]";
inline constexpr char kMsgError[] = "Error";  // the notes of a request cannot be read
// A note's author is a maintenance-product user, whose profile is not shown.
inline constexpr char kMsgQXUserProfile[] = "The requested user is an QX user; it cannot be shown.";

// Page header.
inline constexpr char kMsgWelcome[] = "Welcome %S";  // %S the user name
inline constexpr char kMsgLastUpdate[] = "Last update: ";  // the date and time follow

// The checks empty `reason` first and set it only when they fail; they trim nothing.

// A description is not empty and holds only space, ( ) , - . / : ; digits, ASCII letters and
// A E I O U with a grave or an acute accent and N with a tilde, in both cases.
bool ValidateDescription(std::string_view text, std::string& reason);
// An address of 6 to 254 characters with exactly one "@" and a "." at least two places after
// it, in that order of checks. Control characters fail like a missing dot: the address goes into
// SMTP commands and mail headers, where a line break would start a new command or header.
bool ValidateEmail(std::string_view address, std::string& reason);
// Decimal digits only, 0 to 180 ("007" is 7); `days` receives the value and is left as it is
// when the check fails.
bool ValidateDays(std::string_view text, int& days, std::string& reason);

// "<n> characters (with spaces)", n the length of `text`.
std::string CountCharacters(std::string_view text);

}  // namespace qx
