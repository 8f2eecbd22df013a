// The commands of requestqx-admin: each lives in a file of its group, declares its
// AdminCommand here, and has one line in the table of AdminMain.cpp.
#pragma once

#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qx::admin {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the command ran and failed (or refused)
constexpr int kExitUsage = 2;    // the arguments were wrong

// Arguments that do not fit the command; the tool prints the message and the command's
// usage and exits with kExitUsage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command that refuses or fails for a reason of its own (an unknown user, a file that is not
// a picture ...); the message, in UTF-8, is printed and the tool exits with kExitFailure.
// Failures of the service's own layers carry the service's Windows-1252 text instead.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AdminCommand {
  std::string_view name;
  // One line for the overview.
  std::string_view summary;
  // The usage line and what every argument does, lines ending in '\n'.
  std::string_view usage;
  // Arguments after the command name, as given (UTF-8). Returns the exit status; throws
  // UsageError for bad arguments and anything else for a failure.
  int (*run)(const std::vector<std::string>& args, std::ostream& out);
  // A command made of actions ("user add", "user delete" ...): the first argument names the
  // action, which has its own usage and run; the command's own are unused.
  std::span<const AdminCommand> actions = {};
};

extern const AdminCommand kInitDbCommand;
extern const AdminCommand kMailTestCommand;
extern const AdminCommand kUserCommand;
extern const AdminCommand kStatusCommand;
extern const AdminCommand kSmtpCommand;
extern const AdminCommand kRequestCommand;
extern const AdminCommand kBackupCommand;
extern const AdminCommand kCheckCommand;

}  // namespace qx::admin
