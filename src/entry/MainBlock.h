// The library's start-up after the unit initialisations: create the server controller and
// register the dispatcher class, recording any failure in the library's ".err" file.
#pragma once

#include <string>

#include "entry/WebDispatcher.h"

namespace qx {

extern const char* const kNotALibrary;

// The loaded module that holds some code: its file and whether it is a shared library (as
// opposed to the main program).
struct TModuleInfo {
  std::string FileName;
  bool IsLibrary = false;
};
TModuleInfo ModuleOf(const void* address);

// The module's ".err" file: same folder and base name, extension ".err".
std::string ErrorFileName(const std::string& moduleFileName);

// Runs the start-up steps in order: the module must be a library (kNotALibrary), the server
// controller is created through the registered class, and `dispatcherClass` becomes the one
// dispatcher class. The first failure stops the steps and appends "Error: " + message + CR LF
// to the ".err" file; start-up itself never fails, so the library keeps serving.
void ISAPIMainBlock(const TModuleInfo& module, const TDispatcherClass& dispatcherClass) noexcept;

}  // namespace qx
