// smtp show|set: the SMTP settings the service sends mail with (row 1 of qxsmtp). Every value
// is checked before it is stored, so the service never reads a port or a TLS mode it cannot
// use; the password comes from standard input or a prompt.
#include "data/Statements.h"
#include "runtime/Format.h"
#include "tools/AdminArgs.h"
#include "tools/AdminCommand.h"
#include "tools/AdminDatabase.h"
#include "tools/AdminOutput.h"
#include "tools/AdminStatements.h"

namespace qx::admin {
namespace {

constexpr std::string_view kShowUsage =
    "Usage: requestqx-admin smtp show [--database PATH]\n"
    "  Shows every column of the SMTP settings (the password only as set).\n";
constexpr std::string_view kSetUsage =
    "Usage: requestqx-admin smtp set [OPTIONS] [--password] [--database PATH]\n"
    "  Changes the SMTP settings; the first time, --server and --port are needed.\n"
    "  --server HOST               the SMTP server\n"
    "  --port N                    its port, 1 to 65535\n"
    "  --tls none|implicit|required|explicit\n"
    "                              TLS: none; from the start; STARTTLS, required; STARTTLS\n"
    "                              when offered (or 0 to 3)\n"
    "  --method sslv2|sslv23|sslv3|tlsv1\n"
    "                              the TLS protocol version (or 0 to 3)\n"
    "  --auth none|default|sasl    how to sign in (or 0 to 2); default and sasl need --user\n"
    "  --user NAME                 the SMTP user name\n"
    "  --password                  reads the SMTP password from standard input (or a prompt\n"
    "                              on a terminal); an empty line removes it\n"
    "  --verify-depth N            certificate chain depth, 0 to 100\n"
    "  --cert-file PATH, --key-file PATH, --root-file PATH\n"
    "                              client certificate, its key, the root certificates\n"
    "  --verify-peer yes|no, --fail-if-no-peer-cert yes|no, --client-once yes|no\n"
    "                              the certificate checks\n";

constexpr const char* kMsgNoSettings =
    "the database holds no SMTP settings (qxsmtp row %d); smtp set --server HOST --port N "
    "makes them";
constexpr const char* kMsgFirstTime =
    "there are no SMTP settings yet: give --server and --port to make them";
constexpr const char* kMsgAuthNeedsUser =
    "authentication '%s' needs a user name (--user); nothing was changed";
constexpr const char* kMsgNothingToChange = "give at least one thing to change";
constexpr const char* kMsgChanged = "Changed the SMTP settings: %s.\n";

constexpr std::string_view kTlsNames[] = {"none", "implicit", "required", "explicit"};
constexpr std::string_view kMethodNames[] = {"sslv2", "sslv23", "sslv3", "tlsv1"};
constexpr std::string_view kAuthNames[] = {"none", "default", "sasl"};
constexpr int kAuthNone = 0;
constexpr int kMaxText = 255;

constexpr ColumnOption kColumns[] = {
    {"server", "Servidor", ColumnOption::kText, kMaxText},
    {"port", "Puerto", ColumnOption::kNumber, 0, 1, 65535},
    {"tls", "TLS_Type", ColumnOption::kChoice, 0, 0, 0, kTlsNames},
    {"method", "SSL_Method", ColumnOption::kChoice, 0, 0, 0, kMethodNames},
    {"auth", "AutType", ColumnOption::kChoice, 0, 0, 0, kAuthNames},
    {"user", "Usuario", ColumnOption::kText, kMaxText},
    {"verify-depth", "SSL_VerDepht", ColumnOption::kNumber, 0, 0, 100},
    {"cert-file", "SSL_CertFile", ColumnOption::kText, kMaxText},
    {"key-file", "SSL_KeyFile", ColumnOption::kText, kMaxText},
    {"root-file", "SSL_RootFile", ColumnOption::kText, kMaxText},
    {"verify-peer", "SSL_VerMode1", ColumnOption::kYesNo},
    {"fail-if-no-peer-cert", "SSL_VerMode2", ColumnOption::kYesNo},
    {"client-once", "SSL_VerMode3", ColumnOption::kYesNo},
};

int RunShow(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {});
  args.Positionals({});
  AdminDatabase db(DatabasePath(args));
  auto row = db.Query(SqlSmtpSettings(kSmtpRow));
  if (row->IsEmpty()) throw Failure(Format(kMsgNoSettings, {kSmtpRow}));
  PrintRecord(out, *row, {"Pwd"});
  return kExitOk;
}

int RunSet(const std::vector<std::string>& argv, std::ostream& out) {
  std::vector<OptionSpec> specs = {{"password", false}};
  AddColumnOptions(specs, kColumns);
  Arguments args(argv, specs);
  args.Positionals({});
  std::vector<ColumnValue> changes = ColumnValues(args, kColumns);
  if (args.Has("password"))
    changes.push_back({"Pwd", PasswordText(ReadPassword("SMTP password: ", true), 0, kMaxText)});
  if (changes.empty()) throw UsageError(kMsgNothingToChange);

  AdminDatabase db(DatabasePath(args));
  db.InTransaction([&] {
    if (db.Query(SqlSmtpSettings(kSmtpRow))->IsEmpty()) {
      if (!ValueOf(changes, "Servidor") || !ValueOf(changes, "Puerto")) throw Failure(kMsgFirstTime);
      // A new row starts plain: no TLS, no sign-in, no certificates.
      db.Execute(kSqlInsertSmtp, {kSmtpRow, "", "", "", 0, 0, 0, 0, kAuthNone, "", "", "", false,
                                  false, false});
    }
    db.Update("qxsmtp", changes, "WHERE Idsmtp = :Idsmtp", {kSmtpRow});
    // Signing in needs a name, whichever option set which part.
    auto row = db.Query(SqlSmtpSettings(kSmtpRow));
    const int auth = row->FieldByName("AutType").AsInteger();
    if (auth > kAuthNone && row->FieldByName("Usuario").AsString().empty())
      throw Failure(Format(kMsgAuthNeedsUser, {kAuthNames[auth]}));
  });
  std::string columns;
  for (const ColumnValue& change : changes) columns.append(columns.empty() ? "" : ", ").append(change.column);
  out << Format(kMsgChanged, {columns});
  return kExitOk;
}

const AdminCommand kActions[] = {
    {"show", "show the SMTP settings", kShowUsage, RunShow},
    {"set", "change the SMTP settings", kSetUsage, RunSet},
};

}  // namespace

const AdminCommand kSmtpCommand = {"smtp", "the SMTP settings of the service's mail", {},
                                   nullptr, kActions};

}  // namespace qx::admin
