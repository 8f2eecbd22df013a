// TIWFormListManager: the per-session registration of forms and data modules created at run
// time, and the lookup of a module by name within the current session only. Installed into
// the component model's module-registry hook when the forms unit initialises.
#pragma once

#include <mutex>
#include <string_view>
#include <unordered_map>

#include "runtime/Component.h"

namespace qx {

class TIWApplication;

// Thread safety: the map from module to session is process-wide and guarded by its own
// mutex, a leaf lock (nothing else is taken while it is held). A session's own module list is
// touched only by the thread that holds the session's lock, or by the thread freeing it.
class TIWFormListManager final : public IModuleRegistry {
 public:
  // Adds the module to the current application's list; without a current application (the
  // controller's own modules, start-up) nothing is registered.
  void RegisterModule(TComponent& module) override;
  void UnregisterModule(TComponent& module) noexcept override;
  // The current application's module of that name (letter case ignored), or none.
  TComponent* FindModule(std::string_view name) override;

  // The one manager of the process.
  static TIWFormListManager& Instance();

 private:
  std::mutex lock_;
  std::unordered_map<TComponent*, TIWApplication*> owners_;
};

}  // namespace qx
