// requestqx-admin as the build made it, run to completion for the tests of its commands.
#pragma once

#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace qx::test {

// Runs the admin tool with `args` and `input` on its standard input; its output goes through
// files in `dir`.
ProgramResult RunAdminTool(const TempDir& dir, std::vector<std::string> args,
                           std::string_view input = {});

}  // namespace qx::test
