// Runs a built program to completion with its standard output and error captured, for tests
// of the command-line tools.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"

namespace qx::test {

struct ProgramResult {
  int status = -1;  // exit status, 128 + the signal that ended it, or -1 when it could not start
  std::string out;
  std::string err;
};

// Runs `program` with `args` and `input` on its standard input; the output goes through files
// in `dir`.
ProgramResult RunProgram(const std::string& program, std::vector<std::string> args,
                         const TempDir& dir, std::string_view input = {});

}  // namespace qx::test
