// Runs a program as a child process whose output streams go to files, and reads them back.
#include "support/RunProgram.h"

#include <fstream>
#include <iterator>

#include "support/ChildProcess.h"

namespace qx::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

ProgramResult RunProgram(const std::string& program, std::vector<std::string> args,
                         const TempDir& dir, std::string_view input) {
  const std::string outPath = dir / "program.out", errPath = dir / "program.err";
  ChildProcess child(program, std::move(args), {.outputFile = outPath, .errorFile = errPath});
  child.WriteInput(input);
  child.CloseInput();
  ProgramResult result;
  result.status = child.Wait();
  if (!child.Started()) return result;
  result.out = ReadAll(outPath);
  result.err = ReadAll(errPath);
  return result;
}

}  // namespace qx::test
