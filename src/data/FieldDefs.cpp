// The published properties of a declared field, as definitions write them.
#include "data/FieldDefs.h"

#include "runtime/ClassInfo.h"

namespace qx {

const TClassInfo& TFieldDef::StaticClassInfo() {
  using T = TFieldDef;
  static const TClassInfo info = TClassBuilder<T>("TFieldDef")
                                     .Property("FieldName", &T::FieldName, &T::SetFieldName)
                                     .Property("DataType", &T::DataType, &T::SetDataType)
                                     .Property("Size", &T::Size, &T::SetSize)
                                     .Property("FieldKind", &T::FieldKind, &T::SetFieldKind)
                                     .Property("DisplayLabel", &T::DisplayLabel, &T::SetDisplayLabel)
                                     .Property("DisplayValues", &T::DisplayValues, &T::SetDisplayValues)
                                     .Property("DisplayFormat", &T::DisplayFormat, &T::SetDisplayFormat)
                                     .Property("Visible", &T::Visible, &T::SetVisible)
                                     .Build();
  return info;
}

}  // namespace qx
