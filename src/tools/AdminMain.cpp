// requestqx-admin: the administrator's command. Finds the command named by the first
// argument in the table below (and, for a command made of actions, the action named by the
// second) and runs it; --help explains every command.
#include <iostream>
#include <span>

#include "runtime/Exceptions.h"
#include "runtime/Strings.h"
#include "tools/AdminCommand.h"

namespace qx::admin {
namespace {

// The commands, in the order the overview lists them. A new command adds one line here.
const AdminCommand* const kCommands[] = {
    &kInitDbCommand, &kUserCommand,   &kStatusCommand, &kSmtpCommand,
    &kRequestCommand, &kBackupCommand, &kCheckCommand,  &kMailTestCommand,
};

constexpr std::string_view kTool = "requestqx-admin";

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

const AdminCommand* Find(std::span<const AdminCommand* const> commands, std::string_view name) {
  for (const AdminCommand* command : commands)
    if (command->name == name) return command;
  return nullptr;
}

const AdminCommand* FindAction(const AdminCommand& command, std::string_view name) {
  for (const AdminCommand& action : command.actions)
    if (action.name == name) return &action;
  return nullptr;
}

// A command's usage; a command made of actions shows every action's.
void Usage(const AdminCommand& command, std::ostream& out) {
  if (command.actions.empty()) {
    out << command.usage;
    return;
  }
  bool first = true;
  for (const AdminCommand& action : command.actions) {
    if (!first) out << "\n";
    out << action.usage;
    first = false;
  }
}

void Overview(std::ostream& out) {
  out << "Usage: " << kTool << " COMMAND [ARGUMENTS]\n"
      << "The administrator's command of the QX Requests service.\n\nCommands:\n";
  for (const AdminCommand* command : kCommands) {
    std::string name(command->name);
    for (std::size_t i = 0; i < command->actions.size(); ++i)
      name.append(i == 0 ? " " : "|").append(command->actions[i].name);
    out << "  " << name << std::string(name.size() < 30 ? 30 - name.size() : 1, ' ')
        << command->summary << "\n";
  }
  for (const AdminCommand* command : kCommands) {
    out << "\n";
    Usage(*command, out);
  }
  out << "\n"
      << "Commands that work on a database take --database PATH; without it they use the\n"
      << "database of the service installed beside this program (its ZozarodUruzede.ini).\n"
      << kTool << " COMMAND --help shows the help of one command.\n"
      << "Exit status: 0 done, 1 failed or refused, 2 bad arguments.\n";
}

// Runs a command (or action) with its arguments; `label` names it in messages.
int RunCommand(const AdminCommand& command, std::string_view label, std::vector<std::string> args) {
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") {
      std::cout << command.usage;
      return kExitOk;
    }
  try {
    return command.run(args, std::cout);
  } catch (const UsageError& e) {
    std::cerr << kTool << " " << label << ": " << e.what() << "\n\n" << command.usage;
    return kExitUsage;
  } catch (const Failure& e) {
    std::cerr << kTool << " " << label << ": " << e.what() << "\n";
  } catch (const Exception& e) {
    // The service's layers speak Windows-1252; the terminal reads UTF-8.
    std::cerr << kTool << " " << label << ": " << AnsiToUtf8(e.Message()) << "\n";
  } catch (const std::exception& e) {
    std::cerr << kTool << " " << label << ": " << e.what() << "\n";
  }
  return kExitFailure;
}

int Run(std::span<char*> argv) {
  if (argv.size() < 2) {
    Overview(std::cerr);
    return kExitUsage;
  }
  std::string_view name = argv[1];
  if (IsHelp(name)) {
    if (argv.size() == 2) {
      Overview(std::cout);
      return kExitOk;
    }
    if (const AdminCommand* command = Find(kCommands, argv[2])) {
      const AdminCommand* action = argv.size() > 3 ? FindAction(*command, argv[3]) : nullptr;
      Usage(action ? *action : *command, std::cout);
      return kExitOk;
    }
    std::cerr << kTool << ": unknown command '" << argv[2] << "'\n";
    return kExitUsage;
  }
  const AdminCommand* command = Find(kCommands, name);
  if (!command) {
    std::cerr << kTool << ": unknown command '" << name << "'; " << kTool
              << " --help lists the commands\n";
    return kExitUsage;
  }
  std::vector<std::string> args(argv.begin() + 2, argv.end());
  if (command->actions.empty()) return RunCommand(*command, name, std::move(args));

  if (args.empty() || IsHelp(args.front())) {
    Usage(*command, args.empty() ? std::cerr : std::cout);
    return args.empty() ? kExitUsage : kExitOk;
  }
  const AdminCommand* action = FindAction(*command, args.front());
  if (!action) {
    std::cerr << kTool << " " << name << ": unknown action '" << args.front() << "'\n\n";
    Usage(*command, std::cerr);
    return kExitUsage;
  }
  const std::string label = std::string(name) + " " + std::string(action->name);
  args.erase(args.begin());
  return RunCommand(*action, label, std::move(args));
}

}  // namespace
}  // namespace qx::admin

int main(int argc, char** argv) {
  return qx::admin::Run(std::span<char*>(argv, static_cast<std::size_t>(argc)));
}
