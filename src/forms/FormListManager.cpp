// Per-session module registration: each module remembers the session it registered with, so
// that it leaves that session's list whichever thread frees it.
#include "forms/FormListManager.h"

#include "forms/Application.h"

namespace qx {

TIWFormListManager& TIWFormListManager::Instance() {
  static TIWFormListManager manager;
  return manager;
}

void TIWFormListManager::RegisterModule(TComponent& module) {
  TIWApplication* application = TIWApplication::Current();
  if (!application || &module == application) return;
  {
    std::lock_guard guard(lock_);
    owners_[&module] = application;
  }
  application->AddModule(module);
}

void TIWFormListManager::UnregisterModule(TComponent& module) noexcept {
  TIWApplication* application = nullptr;
  {
    std::lock_guard guard(lock_);
    auto it = owners_.find(&module);
    if (it == owners_.end()) return;
    application = it->second;
    owners_.erase(it);
  }
  application->RemoveModule(module);
}

TComponent* TIWFormListManager::FindModule(std::string_view name) {
  TIWApplication* application = TIWApplication::Current();
  return application ? application->FindModule(name) : nullptr;
}

}  // namespace qx
