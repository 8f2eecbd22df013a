// Argument parsing and value checks of the admin commands, and password entry.
#include "tools/AdminArgs.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "data/ServiceLanguage.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "tools/AdminCommand.h"

namespace qx::admin {
namespace {

constexpr const char* kMsgUnknownOption = "unknown option '%s'";
constexpr const char* kMsgNeedsValue = "--%s needs a value";
constexpr const char* kMsgNoValue = "--%s takes no value";
constexpr const char* kMsgTwice = "--%s is given twice";
constexpr const char* kMsgPositionals = "give %s";
constexpr const char* kMsgNoPositionals = "unexpected argument '%s'";
constexpr const char* kMsgNotNumber = "--%s: '%s' is not a whole number from %d to %d";
constexpr const char* kMsgNotYesNo = "--%s: '%s' is neither yes nor no";
constexpr const char* kMsgNotChoice = "--%s: '%s' is not one of %s (or 0 to %d)";
constexpr const char* kMsgNotWindows1252 =
    "--%s: '%s' holds characters the service cannot store (it keeps text in Windows-1252)";
constexpr const char* kMsgTooLong = "--%s: '%s' is longer than %d characters";
constexpr const char* kMsgPasswordCharacters =
    "the password holds characters the service cannot store (it keeps text in Windows-1252)";
constexpr const char* kMsgPasswordLength = "a password has %d to %d characters";
constexpr const char* kMsgLanguage = "'%s' is not a language of the service (ES, EN or PT)";
constexpr const char* kMsgLanguageTwice = "the language %s is given twice";
constexpr const char* kMsgNoPassword = "no password on standard input";
constexpr const char* kMsgPasswordsDiffer = "the two passwords differ; nothing was changed";

constexpr std::string_view kLanguages[] = {kLanguageSpanish, kLanguageEnglish, kLanguagePortuguese};

const OptionSpec* FindSpec(std::span<const OptionSpec> specs, std::string_view name) {
  for (const OptionSpec& spec : specs)
    if (spec.name == name) return &spec;
  return nullptr;
}

// Switches the terminal's echo off for as long as it lives.
class NoEcho {
 public:
  NoEcho() : saved_ok_(::tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!saved_ok_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~NoEcho() {
    if (saved_ok_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool saved_ok_;
};

std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line) && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> Prompted(std::string_view prompt) {
  std::cerr << prompt << std::flush;
  NoEcho quiet;
  std::optional<std::string> line = ReadLine();
  std::cerr << "\n";
  return line;
}

}  // namespace

Arguments::Arguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options) {
  const OptionSpec database{"database", true};
  bool onlyPositionals = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyPositionals || arg.size() < 2 || arg[0] != '-') {
      positionals_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPositionals = true;
      continue;
    }
    if (!arg.starts_with("--")) throw UsageError(Format(kMsgUnknownOption, {arg}));
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (std::size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const OptionSpec* spec = name == database.name
                                 ? &database
                                 : FindSpec(options, name);
    if (!spec) throw UsageError(Format(kMsgUnknownOption, {"--" + name}));
    if (Has(name)) throw UsageError(Format(kMsgTwice, {name}));
    if (spec->takesValue && !value) {
      // The next option is no value (a value that starts so is given as --name=value).
      if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
        throw UsageError(Format(kMsgNeedsValue, {name}));
      value = args[++i];
    }
    if (!spec->takesValue && value) throw UsageError(Format(kMsgNoValue, {name}));
    given_.emplace_back(name, value.value_or(""));
  }
}

bool Arguments::Has(std::string_view name) const {
  return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == name; });
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  for (const auto& [option, value] : given_)
    if (option == name) return value;
  return std::nullopt;
}

const std::vector<std::string>& Arguments::Positionals(
    std::initializer_list<std::string_view> names) const {
  if (positionals_.size() == names.size()) return positionals_;
  if (names.size() == 0) throw UsageError(Format(kMsgNoPositionals, {positionals_.front()}));
  std::string list;
  for (std::string_view name : names) list.append(list.empty() ? "" : " ").append(name);
  throw UsageError(Format(kMsgPositionals, {list}));
}

int WholeNumber(std::string_view name, std::string_view text, int low, int high) {
  bool digits = !text.empty() && text.size() <= 10;
  for (std::size_t i = 0; i < text.size(); ++i)
    digits = digits && ((text[i] >= '0' && text[i] <= '9') || (i == 0 && text[i] == '-' && text.size() > 1));
  const long long value = digits ? std::stoll(std::string(text)) : 0;
  if (!digits || value < low || value > high)
    throw UsageError(Format(kMsgNotNumber, {name, text, low, high}));
  return static_cast<int>(value);
}

bool YesNo(std::string_view name, std::string_view text) {
  for (std::string_view yes : {"yes", "true", "1"})
    if (SameText(text, yes)) return true;
  for (std::string_view no : {"no", "false", "0"})
    if (SameText(text, no)) return false;
  throw UsageError(Format(kMsgNotYesNo, {name, text}));
}

int Choice(std::string_view name, std::string_view text, std::span<const std::string_view> names) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(text, names[i])) return static_cast<int>(i);
  const int last = static_cast<int>(names.size()) - 1;
  if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    try {
      return WholeNumber(name, text, 0, last);
    } catch (const UsageError&) {
      // Reported below with the names.
    }
  }
  std::string list;
  for (std::string_view n : names) list.append(list.empty() ? "" : ", ").append(n);
  throw UsageError(Format(kMsgNotChoice, {name, text, list, last}));
}

std::string ServiceText(std::string_view name, std::string_view utf8, std::size_t maxLength) {
  std::string text = Utf8ToAnsi(utf8);
  if (AnsiToUtf8(text) != utf8) throw UsageError(Format(kMsgNotWindows1252, {name, utf8}));
  if (text.size() > maxLength)
    throw UsageError(Format(kMsgTooLong, {name, utf8, static_cast<int>(maxLength)}));
  return text;
}

std::string PasswordText(std::string_view utf8, std::size_t minLength, std::size_t maxLength) {
  std::string text = Utf8ToAnsi(utf8);
  if (AnsiToUtf8(text) != utf8) throw UsageError(kMsgPasswordCharacters);
  if (text.size() < minLength || text.size() > maxLength)
    throw UsageError(Format(kMsgPasswordLength, {static_cast<int>(minLength), static_cast<int>(maxLength)}));
  return text;
}

std::string LanguageCode(std::string_view text) {
  for (std::string_view language : kLanguages)
    if (SameText(text, language)) return std::string(language);
  throw UsageError(Format(kMsgLanguage, {text}));
}

std::vector<std::string> LanguageCodes(std::string_view text) {
  std::vector<std::string> codes;
  for (std::string_view rest = text;;) {
    const std::size_t comma = rest.find(',');
    std::string code = LanguageCode(Trim(rest.substr(0, comma)));
    if (std::find(codes.begin(), codes.end(), code) != codes.end())
      throw UsageError(Format(kMsgLanguageTwice, {code}));
    codes.push_back(std::move(code));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return codes;
}

void AddColumnOptions(std::vector<OptionSpec>& specs, std::span<const ColumnOption> columns) {
  for (const ColumnOption& c : columns) specs.push_back({c.option, true});
}

std::vector<ColumnValue> ColumnValues(const Arguments& args, std::span<const ColumnOption> columns) {
  std::vector<ColumnValue> values;
  for (const ColumnOption& c : columns) {
    std::optional<std::string> text = args.Value(c.option);
    if (!text) continue;
    Variant value;
    switch (c.kind) {
      case ColumnOption::kText:
        value = ServiceText(c.option, *text, static_cast<std::size_t>(c.maxLength));
        break;
      case ColumnOption::kYesNo:
        value = YesNo(c.option, *text);
        break;
      case ColumnOption::kNumber:
        value = WholeNumber(c.option, *text, c.low, c.high);
        break;
      case ColumnOption::kChoice:
        value = Choice(c.option, *text, c.names);
        break;
    }
    values.push_back({std::string(c.column), std::move(value)});
  }
  return values;
}

const Variant* ValueOf(const std::vector<ColumnValue>& values, std::string_view column) {
  for (const ColumnValue& value : values)
    if (value.column == column) return &value.value;
  return nullptr;
}

std::string ReadPassword(std::string_view prompt, bool confirm) {
  if (!::isatty(STDIN_FILENO)) {
    std::optional<std::string> line = ReadLine();
    if (!line) throw Failure(kMsgNoPassword);
    return *line;
  }
  std::optional<std::string> first = Prompted(prompt);
  if (!first) throw Failure(kMsgNoPassword);
  if (confirm && Prompted("Again: ") != first) throw Failure(kMsgPasswordsDiffer);
  return *first;
}

}  // namespace qx::admin
