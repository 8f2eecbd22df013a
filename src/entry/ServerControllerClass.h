// The entry layer's view of the server controller: what it needs from it (the cache folder,
// the log of failures), the registered class the library's start-up creates, and the current
// controller.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qx {

// Base of the service's server controller. Constructing one makes it the current controller;
// destroying it clears that again. Created and destroyed on the server's loading and unloading
// threads only; request threads read it without locks in between.
class TCustomServerController {
 public:
  TCustomServerController();
  virtual ~TCustomServerController();
  TCustomServerController(const TCustomServerController&) = delete;
  TCustomServerController& operator=(const TCustomServerController&) = delete;

  // The folder for temporary and generated files, with a trailing '/'.
  virtual std::string CacheDir() const = 0;
  // Records one line about a failure that no reply reports (a request dropped by the entry
  // point, a failed background run). Any thread; never fails. The base records nothing.
  virtual void LogFailure(std::string_view /*text*/) const noexcept {}

  // The current controller, or none.
  static TCustomServerController* Current() noexcept;
};

// Creates a fully started controller for the library at `libraryFileName`; fails with the
// reason when it cannot start.
using TServerControllerClass =
    std::unique_ptr<TCustomServerController> (*)(const std::string& libraryFileName);

// Registered while the library loads.
void RegisterServerControllerClass(TServerControllerClass controllerClass);
TServerControllerClass ServerControllerClass() noexcept;

// Inside a catch block: the current controller's LogFailure with `where`, the class and the
// message of the failure being handled ("Unknown failure" for one that is no std::exception);
// nothing when there is no controller.
void LogCurrentFailure(std::string_view where) noexcept;

extern const char* const kCacheWriteError;

// The current controller's cache folder; fails with kCacheWriteError when no controller
// exists, since nothing can then be written there.
std::string CacheFolder();

}  // namespace qx
