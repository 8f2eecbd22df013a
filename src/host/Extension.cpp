// Loading of the service library and the calls that bracket its life: the version query
// right after loading and the termination at stop.
#include "host/Extension.h"

#include <dlfcn.h>

#include <cstring>

#include "runtime/Format.h"

namespace qx::host {
namespace {

constexpr const char* kCannotLoad = "cannot load the extension %s: %s";
constexpr const char* kMissingExport = "the extension %s does not export %s";
constexpr const char* kVersionRefused = "the extension %s refused to start (GetExtensionVersion "
                                        "returned FALSE)";
// The termination flag the server passes when it shuts down on its own accord.
constexpr std::uint32_t kTerminateMandatory = 2;

void* Export(void* handle, const std::string& path, const char* name) {
  void* symbol = ::dlsym(handle, name);
  if (symbol == nullptr) throw EExtensionLoad(Format(kMissingExport, {path, name}));
  return symbol;
}

}  // namespace

Extension::Extension(const std::string& path) : path_(path) {
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = ::dlerror();
    throw EExtensionLoad(Format(kCannotLoad, {path, why ? why : "unknown error"}));
  }
  QxExtensionVersion version{};
  try {
    auto getVersion =
        reinterpret_cast<QxGetExtensionVersionFn>(Export(handle_, path, "GetExtensionVersion"));
    proc_ = reinterpret_cast<QxHttpExtensionProcFn>(Export(handle_, path, "HttpExtensionProc"));
    terminate_ =
        reinterpret_cast<QxTerminateExtensionFn>(Export(handle_, path, "TerminateExtension"));
    if (!getVersion(&version)) throw EExtensionLoad(Format(kVersionRefused, {path}));
  } catch (...) {
    ::dlclose(handle_);
    throw;
  }
  version_ = version.dwExtensionVersion;
  // The library owns the text; it need not be terminated within the record.
  description_.assign(version.lpszExtensionDesc,
                      ::strnlen(version.lpszExtensionDesc, sizeof version.lpszExtensionDesc));
}

Extension::~Extension() { Terminate(); }

void Extension::Terminate() {
  std::call_once(terminated_, [this] { terminate_(kTerminateMandatory); });
}

}  // namespace qx::host
