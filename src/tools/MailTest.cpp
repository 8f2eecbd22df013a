// mail-test: sends one request mail through the SMTP settings stored in a database, exactly
// as the service sends them, so an administrator can check those settings.

#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "mail/MailExceptions.h"
#include "mail/RequestMail.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "tools/AdminCommand.h"
#include "tools/AdminStatements.h"

namespace qx::admin {
namespace {

constexpr std::string_view kUsage =
    "Usage: requestqx-admin mail-test DATABASE --from ADDRESS --to LIST [--subject TEXT]\n"
    "                                 [--comments TEXT] [--urgent]\n"
    "  Sends one mail through the SMTP settings stored in the database file DATABASE\n"
    "  (qxsmtp row 1), the way the service sends a request mail (request number 0).\n"
    "  --from ADDRESS   the sender, also the reply-to address\n"
    "  --to LIST        the recipients, separated by commas\n"
    "  --subject TEXT   the description that follows \"QX Request 0: \" in the subject\n"
    "  --comments TEXT  the comments of the body (each line of TEXT one line)\n"
    "  --urgent         marks the mail urgent (X-Priority 1)\n"
    "  Prints \"sent\", or the class and message of the failure (exit status 1).\n";

constexpr const char* kMsgOneDatabase = "give exactly one DATABASE";
constexpr const char* kMsgNeedsValue = "%s needs a value";
constexpr const char* kMsgUnknownOption = "unknown option '%s'";
constexpr const char* kMsgRequired = "%s is required";
constexpr const char* kMsgNoSettings = "'%s' holds no SMTP settings (qxsmtp row %d)";

struct Options {
  std::string database;
  std::string from, to, subject, comments;  // UTF-8, as given
  bool haveFrom = false, haveTo = false;
  bool urgent = false;
};

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  int databases = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(Format(kMsgNeedsValue, {arg}));
      return args[++i];
    };
    if (arg == "--from") {
      o.from = value();
      o.haveFrom = true;
    } else if (arg == "--to") {
      o.to = value();
      o.haveTo = true;
    } else if (arg == "--subject") {
      o.subject = value();
    } else if (arg == "--comments") {
      o.comments = value();
    } else if (arg == "--urgent") {
      o.urgent = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError(Format(kMsgUnknownOption, {arg}));
    } else {
      o.database = arg;
      ++databases;
    }
  }
  if (databases != 1 || o.database.empty()) throw UsageError(kMsgOneDatabase);
  if (!o.haveFrom) throw UsageError(Format(kMsgRequired, {"--from"}));
  if (!o.haveTo) throw UsageError(Format(kMsgRequired, {"--to"}));
  return o;
}

// Row 1 of qxsmtp, read as the session reads it.
TSmtpSettings ReadSmtpSettings(const std::string& database) {
  TADOConnection connection;
  connection.SetConnectionString(DatabaseConnectionString(database));
  connection.Open();
  TADODataSet row;
  row.SetConnection(&connection);
  row.SetCommandText(SqlSmtpSettings(kSmtpRow));
  row.Open();
  if (row.IsEmpty()) throw Failure(Format(kMsgNoSettings, {database, kSmtpRow}));
  return SmtpSettingsFromRow(row);
}

int RunMailTest(const std::vector<std::string>& args, std::ostream& out) {
  Options o = ParseOptions(args);
  TSmtpSettings settings = ReadSmtpSettings(o.database);

  // The service's text is Windows-1252; the command line is UTF-8.
  TRequestMail mail;
  mail.RequestId = 0;
  mail.Sender = Utf8ToAnsi(o.from);
  mail.ReplyTo = mail.Sender;
  mail.Recipients = Utf8ToAnsi(o.to);
  mail.Description = Utf8ToAnsi(o.subject);
  mail.BodyLines.SetText(Utf8ToAnsi(o.comments));
  mail.Urgent = o.urgent;
  try {
    DeliverRequestMail(settings, mail);
  } catch (const EIdException& e) {
    // Reply texts and socket errors end their lines with CR LF; a terminal wants LF.
    std::string message = StringReplace(AnsiToUtf8(e.Message()), "\r\n", "\n");
    while (!message.empty() && message.back() == '\n') message.pop_back();
    out << e.ClassName() << ": " << message << "\n";
    return kExitFailure;
  }
  out << "sent\n";
  return kExitOk;
}

}  // namespace

const AdminCommand kMailTestCommand = {
    "mail-test",
    "send one test mail through the database's SMTP settings",
    kUsage,
    RunMailTest,
};

}  // namespace qx::admin
