// The arguments of requestqx-admin's commands: options and positional arguments, the checks
// of their values (numbers in range, yes/no, names from a list, text the service can store),
// and passwords read from standard input or a prompt, never from the command line.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/Variant.h"

namespace qx::admin {

// An option a command accepts: "--name VALUE" (or "--name=VALUE") when it takes a value,
// "--name" alone otherwise.
struct OptionSpec {
  std::string_view name;  // without the leading "--"
  bool takesValue;
};

// Every command that works on a database also accepts --database PATH.
class Arguments {
 public:
  // UsageError for an unknown option, an option without its value, an option given twice.
  // "--" ends the options: everything after it is positional.
  Arguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options);

  bool Has(std::string_view name) const;
  // The value of an option that takes one, as given (UTF-8).
  std::optional<std::string> Value(std::string_view name) const;
  // The positional arguments; UsageError unless there are exactly `names.size()`, naming
  // them ("give REQUEST").
  const std::vector<std::string>& Positionals(std::initializer_list<std::string_view> names) const;

 private:
  std::vector<std::pair<std::string, std::string>> given_;  // name, value ("" for a flag)
  std::vector<std::string> positionals_;
};

// The value of option `--name` as a whole decimal number from `low` to `high`; UsageError
// naming the option and the value otherwise.
int WholeNumber(std::string_view name, std::string_view text, int low, int high);
// "yes"/"no" (also "true"/"false", "1"/"0"), any letter case.
bool YesNo(std::string_view name, std::string_view text);
// The position of `text` in `names` (any letter case), or `text` as the number of a position;
// UsageError listing the names otherwise.
int Choice(std::string_view name, std::string_view text, std::span<const std::string_view> names);
// A text of the command line (UTF-8) in the service's Windows-1252, at most `maxLength`
// characters; UsageError when it is longer or holds characters Windows-1252 cannot (which
// would otherwise be stored as '?').
std::string ServiceText(std::string_view name, std::string_view utf8, std::size_t maxLength);
// A password as ServiceText checks a text, from `minLength` to `maxLength` characters; the
// messages never show it.
std::string PasswordText(std::string_view utf8, std::size_t minLength, std::size_t maxLength);
// The language codes the service works in ("ES", "EN", "PT"), checked, upper-cased.
std::string LanguageCode(std::string_view text);
// A list of language codes separated by commas, each checked, without repeats.
std::vector<std::string> LanguageCodes(std::string_view text);

// An option that gives a database column its value, and how the value is checked.
struct ColumnOption {
  enum Kind { kText, kYesNo, kNumber, kChoice };
  std::string_view option;
  std::string_view column;
  Kind kind;
  int maxLength = 0;  // kText: at most this many characters
  int low = 0;        // kNumber: the range
  int high = 0;
  std::span<const std::string_view> names = {};  // kChoice: the names of 0, 1 ...
};

// A column and the value a command gives it (text in Windows-1252).
struct ColumnValue {
  std::string column;
  Variant value;
};

// Adds the options of `columns`, each taking a value, to `specs`.
void AddColumnOptions(std::vector<OptionSpec>& specs, std::span<const ColumnOption> columns);
// The values the given options of `columns` ask for, each checked (UsageError otherwise), in
// the order of `columns`.
std::vector<ColumnValue> ColumnValues(const Arguments& args, std::span<const ColumnOption> columns);
// The value given to `column`, if any.
const Variant* ValueOf(const std::vector<ColumnValue>& values, std::string_view column);

// Reads a password: from a terminal with a prompt and without echo (asked twice when
// `confirm`), otherwise one line of standard input. Failure when nothing can be read or the
// two entries differ. The result is UTF-8, without its line end.
std::string ReadPassword(std::string_view prompt, bool confirm);

}  // namespace qx::admin
