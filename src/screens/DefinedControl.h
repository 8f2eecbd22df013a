// DefinedControl: a component that a screen's definition must have made, found by name and
// class when the screen has loaded; a definition without it fails loudly, naming what is missing.
#pragma once

#include <string>
#include <string_view>

#include "runtime/ClassInfo.h"
#include "runtime/Component.h"

namespace qx {

template <class T>
T* DefinedControl(const TComponent& form, std::string_view name) {
  auto* control = dynamic_cast<T*>(form.FindComponent(name));
  if (!control)
    throw EComponentError(form.Name() + ": the definition has no " + T::StaticClassInfo().Name() +
                          " named " + std::string(name));
  return control;
}

}  // namespace qx
