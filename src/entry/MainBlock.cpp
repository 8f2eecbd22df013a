// Start-up of the loaded library and its error file.
#include "entry/MainBlock.h"

#include <dlfcn.h>
#include <sys/auxv.h>

#include "entry/ISAPIApplication.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/LogFile.h"

namespace qx {

const char* const kNotALibrary = "ISAPI version must be a library.";

TModuleInfo ModuleOf(const void* address) {
  TModuleInfo info;
  info.FileName = ModuleFileName(address);
  Dl_info module{};
  Dl_info program{};
  // The main program's headers lie inside the program itself, so their module is the program.
  const void* programHeaders = reinterpret_cast<const void*>(::getauxval(AT_PHDR));
  if (::dladdr(address, &module) != 0 && ::dladdr(programHeaders, &program) != 0)
    info.IsLibrary = module.dli_fbase != program.dli_fbase;
  return info;
}

std::string ErrorFileName(const std::string& moduleFileName) {
  return ChangeFileExt(moduleFileName, ".err");
}

void ISAPIMainBlock(const TModuleInfo& module, const TDispatcherClass& dispatcherClass) noexcept {
  try {
    if (!module.IsLibrary) throw Exception(kNotALibrary);
    CreateApplication();
    Application()->CreateServerController(module.FileName);
    Application()->RequestHandler().RegisterDispatcherClass(dispatcherClass);
  } catch (const std::exception& failure) {
    AppendToFile(ErrorFileName(module.FileName), std::string("Error: ") + failure.what() + "\r\n");
  }
}

}  // namespace qx
