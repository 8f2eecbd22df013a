// The class table of the session data-module base.
#include "forms/UserSessionBase.h"

#include "runtime/ClassInfo.h"

namespace qx {

const TClassInfo& TIWUserSessionBase::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWUserSessionBase>("TIWUserSessionBase").Build();
  return info;
}

}  // namespace qx
