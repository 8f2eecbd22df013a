// Class tables of the component and control bases, and the name rule of page components.
#include "forms/Control.h"

namespace qx {

const TClassInfo& TIWBaseComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBaseComponent>("TIWBaseComponent").Build();
  return info;
}

void TIWBaseComponent::ValidateName(std::string_view name) const {
  CheckRuntimeComponentName(name);
  TComponent::ValidateName(name);
}

const TClassInfo& TIWBaseHTMLComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBaseHTMLComponent>("TIWBaseHTMLComponent").Build();
  return info;
}

const TClassInfo& TIWBaseHTML40Component::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWBaseHTML40Component>("TIWBaseHTML40Component").Build();
  return info;
}

const TClassInfo& TIWVCLBaseControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWVCLBaseControl>("TIWVCLBaseControl").Build();
  return info;
}

const TClassInfo& TIWBaseControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBaseControl>("TIWBaseControl").Build();
  return info;
}

const TClassInfo& TIWBaseHTMLControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBaseHTMLControl>("TIWBaseHTMLControl").Build();
  return info;
}

const TClassInfo& TIWCustomControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWCustomControl>("TIWCustomControl").Build();
  return info;
}

}  // namespace qx
