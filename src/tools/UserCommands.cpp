// user list|show|add|set|delete: the service's users. A user is one Users row per language
// under one Id_User; the login lists the rows of the service's language, so a user meant for
// every installation has a row in each. Passwords come from standard input or a prompt.
#include <optional>

#include "data/Statements.h"
#include "data/qxconsts.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/JpegCodec.h"
#include "runtime/Strings.h"
#include "tools/AdminArgs.h"
#include "tools/AdminCommand.h"
#include "tools/AdminDatabase.h"
#include "tools/AdminOutput.h"
#include "tools/AdminStatements.h"

namespace qx::admin {
namespace {

constexpr std::string_view kFieldOptionsHelp =
    "  --name NAME            the name the login lists (at most 50 characters, one user per\n"
    "                         name in a language)\n"
    "  --email ADDRESS        the user's own address, sender of the user's request mail\n"
    "  --send-email yes|no    whether the user may send requests by e-mail\n"
    "  --days N               days of answered and cancelled requests the home screen\n"
    "                         lists, 0 to 180\n"
    "  --photo FILE           a JPEG picture for the profile screen\n"
    "  --phone TEXT, --department TEXT, --group2 TEXT, --phone-code TEXT, --mobile TEXT\n"
    "  --administrator yes|no, --send-sms yes|no\n"
    "                         the other columns, kept for the desktop tools\n";

constexpr std::string_view kListUsage =
    "Usage: requestqx-admin user list [--language LANG] [--database PATH]\n"
    "  Lists the users, one line per language row: id, language, name, address, whether\n"
    "  they may send mail, their day window and whether they administer the desktop tools.\n";
constexpr std::string_view kShowUsage =
    "Usage: requestqx-admin user show ID [--database PATH]\n"
    "  Shows every column of each language row of user ID (the password only as set).\n";
constexpr std::string_view kDeleteUsage =
    "Usage: requestqx-admin user delete ID [--language LANG] [--database PATH]\n"
    "  Deletes user ID (only its LANG row with --language). Its requests stay.\n";

std::string AddUsage() {
  return std::string(
             "Usage: requestqx-admin user add --name NAME [--id ID] [--language LIST] [OPTIONS]\n"
             "                                [--database PATH]\n"
             "  Adds a user with a row in each language of LIST (default ES,EN,PT) and reads\n"
             "  the password (at most 10 characters) from standard input, or asks for it on a\n"
             "  terminal. ID defaults to the largest user id plus 1.\n") +
         std::string(kFieldOptionsHelp);
}
std::string SetUsage() {
  return std::string(
             "Usage: requestqx-admin user set ID [--language LANG] [OPTIONS] [--no-photo]\n"
             "                                [--password] [--database PATH]\n"
             "  Changes user ID in every language row (only its LANG row with --language).\n"
             "  --password reads a new password as user add does; --no-photo removes the\n"
             "  picture.\n") +
         std::string(kFieldOptionsHelp);
}
const std::string kAddUsage = AddUsage();
const std::string kSetUsage = SetUsage();

constexpr const char* kMsgNoUser = "there is no user %d";
constexpr const char* kMsgNoUserRow = "user %d has no %s row";
constexpr const char* kMsgIdTaken = "there is already a user %d";
constexpr const char* kMsgNameTaken = "the name '%s' is already user %d's in %s";
constexpr const char* kMsgNothingToChange = "give at least one thing to change";
constexpr const char* kMsgNameEmpty = "--name: a user needs a name";
constexpr const char* kMsgNoPhotoAndPhoto = "give --photo or --no-photo, not both";
constexpr const char* kMsgCannotRead = "cannot read the picture '%s'";
constexpr const char* kMsgNotJpeg = "'%s' is not a JPEG picture";
constexpr const char* kMsgDamagedJpeg = "'%s' is not a readable JPEG picture: %s";
constexpr const char* kMsgAdded = "Added user %d (%s) in %s.\n";
constexpr const char* kMsgChanged = "Changed user %d in %s.\n";
constexpr const char* kMsgDeleted = "Deleted user %d in %s; %d of their requests remain.\n";

constexpr int kMaxPasswordLength = 10;
constexpr int kMaxRequestGetDays = 180;
constexpr std::string_view kAllLanguages = "ES,EN,PT";

// The columns an option sets from its value; a text at most as long as its column.
constexpr ColumnOption kColumns[] = {
    {"name", "UserName", ColumnOption::kText, 50},
    {"email", "Email", ColumnOption::kText, 50},
    {"phone", "Phone", ColumnOption::kText, 50},
    {"department", "Department", ColumnOption::kText, 50},
    {"group2", "Group2", ColumnOption::kText, 255},
    {"phone-code", "PhoneCode", ColumnOption::kText, 5},
    {"mobile", "Movil", ColumnOption::kText, 50},
    {"days", "RequestGetDays", ColumnOption::kNumber, 0, 0, kMaxRequestGetDays},
    {"administrator", "Administrator", ColumnOption::kYesNo},
    {"send-email", "SendEmail", ColumnOption::kYesNo},
    {"send-sms", "SendSMS", ColumnOption::kYesNo},
};

std::vector<OptionSpec> UserOptions(std::initializer_list<OptionSpec> more) {
  std::vector<OptionSpec> specs(more);
  AddColumnOptions(specs, kColumns);
  specs.push_back({"photo", true});
  specs.push_back({"language", true});
  return specs;
}

// The picture of --photo, checked to be a whole, readable JPEG.
std::string ReadPhoto(const std::string& file) {
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) throw Failure(Format(kMsgCannotRead, {file}));
  if (!IsJPEG(*bytes)) throw Failure(Format(kMsgNotJpeg, {file}));
  try {
    DecodeJPEG(*bytes);
  } catch (const Exception& e) {
    throw Failure(Format(kMsgDamagedJpeg, {file, AnsiToUtf8(e.Message())}));
  }
  return *bytes;
}

// The changes the options ask for, every value checked; the password is read last, once
// everything else is known to be right.
std::vector<ColumnValue> Changes(const Arguments& args, bool readPassword) {
  std::vector<ColumnValue> changes = ColumnValues(args, kColumns);
  if (const Variant* name = ValueOf(changes, "UserName"); name && Trim(name->bytes()).empty())
    throw UsageError(kMsgNameEmpty);
  std::string reason;
  if (const Variant* email = ValueOf(changes, "Email");
      email && !email->bytes().empty() && !ValidateEmail(email->bytes(), reason))
    throw UsageError("--email: " + AnsiToUtf8(reason));
  if (args.Has("photo") && args.Has("no-photo")) throw UsageError(kMsgNoPhotoAndPhoto);
  if (std::optional<std::string> photo = args.Value("photo"))
    changes.push_back({"Photo", Variant::Blob(ReadPhoto(*photo))});
  if (args.Has("no-photo")) changes.push_back({"Photo", Variant()});
  if (readPassword) {
    changes.push_back(
        {"Password", PasswordText(ReadPassword("Password: ", true), 1, kMaxPasswordLength)});
  }
  return changes;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text.append(text.empty() ? "" : ", ").append(item);
  return text;
}

// No other user may have the name in any of the languages.
void CheckNameFree(AdminDatabase& db, int idUser, const Variant& name,
                   const std::vector<std::string>& languages) {
  for (const std::string& language : languages) {
    auto taken = db.Query(kSqlUserNameTaken, {language, name, idUser});
    if (!taken->IsEmpty())
      throw Failure(Format(kMsgNameTaken, {AnsiToUtf8(name.bytes()),
                                           taken->Fields(0).AsInteger(), language}));
  }
}

// The languages of the user's rows (only `language` when not empty); Failure when none.
std::vector<std::string> UserLanguages(AdminDatabase& db, int idUser, const std::string& language) {
  std::vector<std::string> languages;
  for (auto rows = db.Query(kSqlUserLanguages, {idUser, language}); !rows->Eof(); rows->Next())
    languages.push_back(rows->Fields(0).AsString());
  if (languages.empty()) {
    if (language.empty()) throw Failure(Format(kMsgNoUser, {idUser}));
    throw Failure(Format(kMsgNoUserRow, {idUser, language}));
  }
  return languages;
}

int UserId(const std::string& text) { return WholeNumber("ID", text, 1, 2147483647); }

int RunList(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"language", true}});
  args.Positionals({});
  std::string language = args.Has("language") ? LanguageCode(*args.Value("language")) : "";
  AdminDatabase db(DatabasePath(args));
  auto users = db.Query(kSqlUserList, {language});
  PrintRows(out, {"ID", "LANG", "NAME", "E-MAIL", "MAIL", "DAYS", "ADMIN"}, *users);
  return kExitOk;
}

int RunShow(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {});
  const int idUser = UserId(args.Positionals({"ID"})[0]);
  AdminDatabase db(DatabasePath(args));
  auto rows = db.Query(SqlUserById(idUser));
  if (rows->IsEmpty()) throw Failure(Format(kMsgNoUser, {idUser}));
  for (; !rows->Eof(); rows->Next()) {
    if (rows->RecNo() > 1) out << "\n";
    PrintRecord(out, *rows, {"Password"});
  }
  return kExitOk;
}

int RunAdd(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, UserOptions({{"id", true}}));
  args.Positionals({});
  if (!args.Has("name")) throw UsageError("give --name");
  std::optional<int> id;
  if (std::optional<std::string> text = args.Value("id")) id = UserId(*text);
  const std::vector<std::string> languages =
      LanguageCodes(args.Value("language").value_or(std::string(kAllLanguages)));
  std::vector<ColumnValue> changes = Changes(args, true);
  auto text = [&](std::string_view column) {
    const Variant* value = ValueOf(changes, column);
    return value ? *value : Variant("");
  };
  auto flag = [&](std::string_view column) {
    const Variant* value = ValueOf(changes, column);
    return value ? *value : Variant(false);
  };
  const Variant* photo = ValueOf(changes, "Photo");
  const Variant* days = ValueOf(changes, "RequestGetDays");

  AdminDatabase db(DatabasePath(args));
  int idUser = 0;
  db.InTransaction([&] {
    idUser = id ? *id : db.NextKey(kSqlNextUserId);
    if (!db.Query(kSqlUserLanguages, {idUser, ""})->IsEmpty())
      throw Failure(Format(kMsgIdTaken, {idUser}));
    CheckNameFree(db, idUser, text("UserName"), languages);
    for (const std::string& language : languages)
      db.Execute(kSqlInsertUser,
                 {idUser, language, text("UserName"), text("Password"), flag("Administrator"),
                  text("Email"), text("Phone"), text("Department"), text("Group2"),
                  photo ? *photo : Variant(), days ? *days : Variant(0), text("PhoneCode"),
                  text("Movil"), flag("SendEmail"), flag("SendSMS")});
  });
  out << Format(kMsgAdded, {idUser, *args.Value("name"), Joined(languages)});
  return kExitOk;
}

int RunSet(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, UserOptions({{"no-photo", false}, {"password", false}}));
  const int idUser = UserId(args.Positionals({"ID"})[0]);
  std::string language = args.Has("language") ? LanguageCode(*args.Value("language")) : "";
  std::vector<ColumnValue> changes = Changes(args, args.Has("password"));
  if (changes.empty()) throw UsageError(kMsgNothingToChange);

  AdminDatabase db(DatabasePath(args));
  std::vector<std::string> languages;
  db.InTransaction([&] {
    languages = UserLanguages(db, idUser, language);
    if (const Variant* name = ValueOf(changes, "UserName"))
      CheckNameFree(db, idUser, *name, languages);
    db.Update("Users", changes, "WHERE Id_User = :IdUser AND (:Language = '' OR Id_Language = :Language)",
              {idUser, language});
  });
  out << Format(kMsgChanged, {idUser, Joined(languages)});
  return kExitOk;
}

int RunDelete(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {{"language", true}});
  const int idUser = UserId(args.Positionals({"ID"})[0]);
  std::string language = args.Has("language") ? LanguageCode(*args.Value("language")) : "";
  AdminDatabase db(DatabasePath(args));
  std::vector<std::string> languages;
  int requests = 0;
  db.InTransaction([&] {
    languages = UserLanguages(db, idUser, language);
    db.Execute(kSqlDeleteUser, {idUser, language});
    requests = db.Query(kSqlUserRequestCount, {idUser})->Fields(0).AsInteger();
  });
  out << Format(kMsgDeleted, {idUser, Joined(languages), requests});
  return kExitOk;
}

const AdminCommand kActions[] = {
    {"list", "list the users", kListUsage, RunList},
    {"show", "show every column of a user", kShowUsage, RunShow},
    {"add", "add a user", kAddUsage, RunAdd},
    {"set", "change a user", kSetUsage, RunSet},
    {"delete", "delete a user", kDeleteUsage, RunDelete},
};

}  // namespace

const AdminCommand kUserCommand = {"user", "the users who sign in", {}, nullptr, kActions};

}  // namespace qx::admin
