// The border options' property table and assignment.
#include "controls/BorderOptions.h"

namespace qx {

const TClassInfo& TIWBorderOptions::StaticClassInfo() {
  using T = TIWBorderOptions;
  static const TClassInfo info = TClassBuilder<T>("TIWBorderOptions")
                                     .Property("Width", &T::Width, &T::SetWidth)
                                     .Property("Color", &T::Color, &T::SetColor)
                                     .Build();
  return info;
}

TIWBorderOptions& TIWBorderOptions::operator=(const TIWBorderOptions& other) {
  if (this == &other) return *this;
  TNotifyingPersistent::operator=(other);
  values_ = other.values_;
  Changed();
  return *this;
}

}  // namespace qx
