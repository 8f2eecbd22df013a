// The border options' property table.
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

}  // namespace qx
