// status list|set: the status catalogue, one name per status and language. The service shows
// the names of its own language; the ids keep their meaning (1 new, 4 cancelled ...).
#include <map>

#include "data/Statements.h"
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
    "Usage: requestqx-admin status list [--database PATH]\n"
    "  Lists the status catalogue: each status id with its name in every language.\n";
constexpr std::string_view kSetUsage =
    "Usage: requestqx-admin status set ID [--es NAME] [--en NAME] [--pt NAME]\n"
    "                                  [--database PATH]\n"
    "  Names status ID (1 to 255) in the languages given, adding the names it lacks.\n"
    "  A name has at most 50 characters and belongs to one status in its language.\n";

constexpr const char* kMsgNoName = "give at least one of --es, --en and --pt";
constexpr const char* kMsgEmptyName = "--%s: a status needs a name";
constexpr const char* kMsgNameTaken = "the name '%s' is already status %d's in %s";
constexpr const char* kMsgSet = "Status %d: %s.\n";

constexpr int kMaxNameLength = 50;
constexpr std::string_view kLanguageOptions[] = {"es", "en", "pt"};

int RunList(const std::vector<std::string>& argv, std::ostream& out) {
  Arguments args(argv, {});
  args.Positionals({});
  AdminDatabase db(DatabasePath(args));
  // The service's languages first, then any other the desktop tools keep.
  std::vector<std::string> languages = {"ES", "EN", "PT"};
  std::map<int, std::map<std::string, std::string>> names;
  for (auto rows = db.Query(kSqlStatusList); !rows->Eof(); rows->Next()) {
    std::string language = UpperCase(rows->Fields(1).AsString());
    if (std::find(languages.begin(), languages.end(), language) == languages.end())
      languages.push_back(language);
    names[rows->Fields(0).AsInteger()][language] = FieldText(rows->Fields(2));
  }
  std::vector<std::vector<std::string>> table = {{"ID"}};
  table[0].insert(table[0].end(), languages.begin(), languages.end());
  for (const auto& [id, byLanguage] : names) {
    std::vector<std::string> row = {IntToStr(id)};
    for (const std::string& language : languages) {
      auto name = byLanguage.find(language);
      row.push_back(name == byLanguage.end() ? "" : name->second);
    }
    table.push_back(std::move(row));
  }
  PrintTable(out, table);
  return kExitOk;
}

int RunSet(const std::vector<std::string>& argv, std::ostream& out) {
  std::vector<OptionSpec> specs;
  for (std::string_view option : kLanguageOptions) specs.push_back({option, true});
  Arguments args(argv, specs);
  const int id = WholeNumber("ID", args.Positionals({"ID"})[0], 1, kMaxStatusId);
  // Language code and name (Windows-1252) of each name given.
  std::vector<std::pair<std::string, std::string>> names;
  for (std::string_view option : kLanguageOptions) {
    std::optional<std::string> value = args.Value(option);
    if (!value) continue;
    std::string name = ServiceText(option, *value, kMaxNameLength);
    if (Trim(name).empty()) throw UsageError(Format(kMsgEmptyName, {option}));
    names.emplace_back(UpperCase(option), std::move(name));
  }
  if (names.empty()) throw UsageError(kMsgNoName);

  AdminDatabase db(DatabasePath(args));
  db.InTransaction([&] {
    for (const auto& [language, name] : names) {
      for (auto same = db.Query(kSqlStatusByName, {language, name}); !same->Eof(); same->Next())
        if (const int other = same->Fields(0).AsInteger(); other != id)
          throw Failure(Format(kMsgNameTaken, {AnsiToUtf8(name), other, language}));
      if (db.Query(kSqlStatusExists, {id, language})->IsEmpty())
        db.Execute(kSqlInsertStatus, {id, language, name});
      else
        db.Execute(kSqlRenameStatus, {name, id, language});
    }
  });
  std::string said;
  for (const auto& [language, name] : names)
    said.append(said.empty() ? "" : ", ").append(language + " '" + AnsiToUtf8(name) + "'");
  out << Format(kMsgSet, {id, said});
  return kExitOk;
}

const AdminCommand kActions[] = {
    {"list", "list the status catalogue", kListUsage, RunList},
    {"set", "name a status in some languages", kSetUsage, RunSet},
};

}  // namespace

const AdminCommand kStatusCommand = {"status", "the status names per language", {}, nullptr,
                                     kActions};

}  // namespace qx::admin
