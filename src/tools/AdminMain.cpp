// requestqx-admin: the administrator's command. Finds the command named by the first
// argument in the table below and runs it; --help explains every command.
#include <iostream>
#include <span>

#include "tools/AdminCommand.h"

namespace qx::admin {
namespace {

// The commands, in the order the overview lists them. A new command adds one line here.
const AdminCommand* const kCommands[] = {
    &kInitDbCommand,
    &kMailTestCommand,
};

constexpr std::string_view kTool = "requestqx-admin";

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

const AdminCommand* Find(std::string_view name) {
  for (const AdminCommand* command : kCommands)
    if (command->name == name) return command;
  return nullptr;
}

void Overview(std::ostream& out) {
  out << "Usage: " << kTool << " COMMAND [ARGUMENTS]\n"
      << "The administrator's command of the QX Requests service.\n\nCommands:\n";
  for (const AdminCommand* command : kCommands) {
    std::size_t width = command->name.size();
    out << "  " << command->name << std::string(width < 12 ? 12 - width : 1, ' ')
        << command->summary << "\n";
  }
  for (const AdminCommand* command : kCommands) out << "\n" << command->usage;
  out << "\n"
      << kTool << " COMMAND --help shows the help of one command.\n"
      << "Exit status: 0 done, 1 failed or refused, 2 bad arguments.\n";
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
    if (const AdminCommand* command = Find(argv[2])) {
      std::cout << command->usage;
      return kExitOk;
    }
    std::cerr << kTool << ": unknown command '" << argv[2] << "'\n";
    return kExitUsage;
  }
  const AdminCommand* command = Find(name);
  if (!command) {
    std::cerr << kTool << ": unknown command '" << name << "'; " << kTool
              << " --help lists the commands\n";
    return kExitUsage;
  }
  std::vector<std::string> args(argv.begin() + 2, argv.end());
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") {
      std::cout << command->usage;
      return kExitOk;
    }
  try {
    return command->run(args, std::cout);
  } catch (const UsageError& e) {
    std::cerr << kTool << " " << command->name << ": " << e.what() << "\n\n" << command->usage;
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << kTool << " " << command->name << ": " << e.what() << "\n";
    return kExitFailure;
  }
}

}  // namespace
}  // namespace qx::admin

int main(int argc, char** argv) {
  return qx::admin::Run(std::span<char*>(argv, static_cast<std::size_t>(argc)));
}
