// The current server controller and the registered controller class.
#include "entry/ServerControllerClass.h"

#include <atomic>

#include "entry/EntryExceptions.h"
#include "runtime/Exceptions.h"

namespace qx {

const char* const kCacheWriteError =
    "An error occurred while writing to the Cache Directory, please make sure the permissions "
    "are set correctly.";

namespace {

std::atomic<TCustomServerController*> current{nullptr};
std::atomic<TServerControllerClass> registeredClass{nullptr};

}  // namespace

TCustomServerController::TCustomServerController() { current.store(this); }

TCustomServerController::~TCustomServerController() {
  TCustomServerController* self = this;
  current.compare_exchange_strong(self, nullptr);
}

TCustomServerController* TCustomServerController::Current() noexcept { return current.load(); }

void RegisterServerControllerClass(TServerControllerClass controllerClass) {
  registeredClass.store(controllerClass);
}

TServerControllerClass ServerControllerClass() noexcept { return registeredClass.load(); }

void LogCurrentFailure(std::string_view where) noexcept {
  TCustomServerController* controller = TCustomServerController::Current();
  if (!controller) return;
  try {
    std::string line(where);
    try {
      throw;
    } catch (const std::exception& failure) {
      line.append(": ").append(ExceptionClassName(failure)).append(": ").append(failure.what());
    } catch (...) {
      line.append(": Unknown failure");
    }
    controller->LogFailure(line);
  } catch (...) {
    // Nothing is left to record a failure of the record itself.
  }
}

std::string CacheFolder() {
  TCustomServerController* controller = TCustomServerController::Current();
  if (!controller) throw EWebRequestError(kCacheWriteError);
  return controller->CacheDir();
}

}  // namespace qx
