// The admin tool's path comes from the build (QX_ADMIN_TOOL).
#include "support/AdminTool.h"

namespace qx::test {

ProgramResult RunAdminTool(const TempDir& dir, std::vector<std::string> args) {
  return RunProgram(QX_ADMIN_TOOL, std::move(args), dir);
}

}  // namespace qx::test
