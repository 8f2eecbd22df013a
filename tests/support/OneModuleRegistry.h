// A module registry that knows one module (or none): lets a test name a session module from a
// definition (`usSesion.adoConnection`) without a session.
#pragma once

#include <string_view>

#include "runtime/Component.h"
#include "runtime/Strings.h"

namespace qx::test {

class OneModuleRegistry : public IModuleRegistry {
 public:
  TComponent* module = nullptr;
  void RegisterModule(TComponent&) override {}
  void UnregisterModule(TComponent&) noexcept override {}
  TComponent* FindModule(std::string_view name) override {
    return module && SameText(module->Name(), name) ? module : nullptr;
  }
};

}  // namespace qx::test
