// The admin tool's path comes from the build (QX_ADMIN_TOOL).
#include "support/AdminTool.h"

namespace qx::test {

ProgramResult RunAdminTool(const TempDir& dir, std::vector<std::string> args,
                           std::string_view input) {
  return RunProgram(QX_ADMIN_TOOL, std::move(args), dir, input);
}

}  // namespace qx::test
