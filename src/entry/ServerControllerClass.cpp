// The current server controller and the registered controller class.
#include "entry/ServerControllerClass.h"

#include <atomic>

#include "entry/EntryExceptions.h"

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

std::string CacheFolder() {
  TCustomServerController* controller = TCustomServerController::Current();
  if (!controller) throw EWebRequestError(kCacheWriteError);
  return controller->CacheDir();
}

}  // namespace qx
