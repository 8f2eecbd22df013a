// The loaded service library: dlopen, the three exports, GetExtensionVersion once at load
// and TerminateExtension once at stop.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "entry/ConnectionBlock.h"
#include "runtime/Exceptions.h"

namespace qx::host {

// The library cannot be loaded, lacks an export or refuses to start.
QX_EXCEPTION_CLASS(EExtensionLoad, Exception);

class Extension {
 public:
  // Loads the library and calls GetExtensionVersion; fails with EExtensionLoad.
  explicit Extension(const std::string& path);
  // Calls TerminateExtension if Terminate() has not run. The library stays loaded: threads it
  // started may outlive the call, and unloading their code under them would crash.
  ~Extension();
  Extension(const Extension&) = delete;
  Extension& operator=(const Extension&) = delete;

  const std::string& Path() const noexcept { return path_; }
  const std::string& Description() const noexcept { return description_; }
  std::uint32_t Version() const noexcept { return version_; }

  // Thread safe: the library is called on many worker threads at once.
  std::uint32_t HttpExtensionProc(QxConnectionBlock* block) const { return proc_(block); }
  // Calls TerminateExtension once; later calls do nothing.
  void Terminate();

 private:
  std::string path_;
  void* handle_ = nullptr;
  QxHttpExtensionProcFn proc_ = nullptr;
  QxTerminateExtensionFn terminate_ = nullptr;
  std::string description_;
  std::uint32_t version_ = 0;
  std::once_flag terminated_;
};

}  // namespace qx::host
