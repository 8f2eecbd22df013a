// request list|show|answer: the requests with their notes, and the maintenance staff's
// answer. An answer is a status note by a maintenance user (Id_UserStatus 0, the author's name
// in UserNameQX) that becomes the request's current status: the note's key allocated as the
// service allocates it, the request repointed and the note written in one transaction.
#include "data/Statements.h"
#include "runtime/DateTime.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "tools/AdminArgs.h"
#include "tools/AdminCommand.h"
#include "tools/AdminDatabase.h"
#include "tools/AdminOutput.h"
#include "tools/AdminStatements.h"

namespace qx::admin {
namespace {

constexpr std::string_view kListUsage =
    "Usage: requestqx-admin request list [--user ID] [--language LANG] [--database PATH]\n"
    "  Lists the requests (only user ID's with --user) with their reporter, current status,\n"
    "  its date, whether urgent, and the description; names in LANG (default: the\n"
    "  service's language).\n";
constexpr std::string_view kShowUsage =
    "Usage: requestqx-admin request show N [--language LANG] [--database PATH]\n"
    "  Shows request N and every note of it, oldest first.\n";
constexpr std::string_view kAnswerUsage =
    "Usage: requestqx-admin request answer N --status S --by NAME [--comments TEXT]\n"
    "                                      [--language LANG] [--database PATH]\n"
    "  Answers request N as the maintenance staff does: adds a note by NAME (at most 60\n"
    "  characters) with status S (an id, or its name in LANG) and the comments, and makes it\n"
    "  the request's current status. Line breaks in TEXT are kept.\n";

constexpr const char* kMsgNoRequest = "there is no request %d";
constexpr const char* kMsgNoStatus = "there is no status %d in the status catalogue";
constexpr const char* kMsgNoStatusName = "there is no status named '%s' in %s";
constexpr const char* kMsgMailStatus =
    "status %d records a request sent by e-mail; it never becomes a request's current status";
constexpr const char* kMsgEmptyAuthor = "--by: a note needs its author's name";
constexpr const char* kMsgRepointFailed = "request %d could not be given its new status";
constexpr const char* kMsgAnswered = "Request %d: note %d, status %d by %s.\n";
constexpr const char* kMsgNotes = "\nNotes:\n";
constexpr const char* kMsgNoNotes = "\nNo notes.\n";

constexpr int kMaxAuthorLength = 60;
// A note's comments are a memo; this only keeps a runaway argument out.
constexpr int kMaxCommentsLength = 32000;
constexpr int kByMaintenance = 0;

int RequestId(const std::string& text) { return WholeNumber("N", text, 1, 2147483647); }

// The status of --status: an id, or a name of the language.
int StatusOf(AdminDatabase& db, const std::string& text, const std::string& language) {
  const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  if (digits) return WholeNumber("status", text, 1, kMaxStatusId);
  auto byName = db.Query(kSqlStatusByName, {language, ServiceText("status", text, 50)});
  if (byName->IsEmpty()) throw Failure(Format(kMsgNoStatusName, {text, language}));
  return byName->Fields(0).AsInteger();
}

int RunList(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"user", true}, {"language", true}});
  args.Positionals({});
  const int idUser = args.Has("user") ? WholeNumber("user", *args.Value("user"), 1, 2147483647) : 0;
  const std::string language = DisplayLanguage(args);
  AdminDatabase db(DatabasePath(args));
  auto rows = db.Query(kSqlAdminRequestList, {language, idUser});
  PrintRows(out, {"ID", "USER", "NAME", "URGENT", "STATUS", "", "SINCE", "DESCRIPTION"}, *rows);
  return kExitOk;
}

int RunShow(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"language", true}});
  const int idRequest = RequestId(args.Positionals({"N"})[0]);
  const std::string language = DisplayLanguage(args);
  AdminDatabase db(DatabasePath(args));
  auto request = db.Query(kSqlAdminRequest, {idRequest});
  if (request->IsEmpty()) throw Failure(Format(kMsgNoRequest, {idRequest}));
  PrintRecord(out, *request);
  auto notes = db.Query(kSqlAdminRequestNotes, {language, idRequest});
  if (notes->IsEmpty()) {
    out << kMsgNoNotes;
    return kExitOk;
  }
  out << kMsgNotes;
  PrintRows(out, {"NOTE", "DATE", "STATUS", "", "TYPE", "USER", "NAME", "MAINTENANCE", "COMMENTS"},
            *notes);
  return kExitOk;
}

int RunAnswer(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"status", true}, {"by", true}, {"comments", true}, {"language", true}});
  const int idRequest = RequestId(args.Positionals({"N"})[0]);
  if (!args.Has("status")) throw UsageError("give --status");
  if (!args.Has("by")) throw UsageError("give --by");
  const std::string author = ServiceText("by", *args.Value("by"), kMaxAuthorLength);
  if (Trim(author).empty()) throw UsageError(kMsgEmptyAuthor);
  // The service's notes break lines with CR LF, as its memo shows them.
  std::string comments = ServiceText("comments", args.Value("comments").value_or(""), kMaxCommentsLength);
  comments = StringReplace(StringReplace(comments, "\r\n", "\n"), "\n", "\r\n");
  const std::string language = DisplayLanguage(args);

  AdminDatabase db(DatabasePath(args));
  int status = 0;
  int idNote = 0;
  db.InTransaction([&] {
    status = StatusOf(db, *args.Value("status"), language);
    if (status == kStatusSentByEmail) throw UsageError(Format(kMsgMailStatus, {status}));
    if (db.Query(kSqlStatusExists, {status, ""})->IsEmpty())
      throw Failure(Format(kMsgNoStatus, {status}));
    if (db.Query(kSqlAdminRequest, {idRequest})->IsEmpty())
      throw Failure(Format(kMsgNoRequest, {idRequest}));
    // Read inside the transaction, which holds the right to write: no session can take the
    // same key before the note is in.
    idNote = db.NextKey(kSqlNextRequestStatusId);
    if (db.Execute(kSqlChangeRequestStatus, {idNote, idRequest}) != 1)
      throw Failure(Format(kMsgRepointFailed, {idRequest}));
    db.Execute(kSqlInsertStatusNoteQX, {idNote, idRequest, status, Now(), comments,
                                        kByMaintenance, author, kStatusTypeStatus});
  });
  out << Format(kMsgAnswered, {idRequest, idNote, status, *args.Value("by")});
  return kExitOk;
}

const AdminCommand kActions[] = {
    {"list", "list the requests", kListUsage, RunList},
    {"show", "show a request with its notes", kShowUsage, RunShow},
    {"answer", "answer a request with a new status", kAnswerUsage, RunAnswer},
};

}  // namespace

const AdminCommand kRequestCommand = {"request", "the requests and their answers", {}, nullptr,
                                      kActions};

}  // namespace qx::admin
