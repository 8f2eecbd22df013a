// TIWUserSessionBase: the base of a session's own data module. Created while a request of the
// session is served, it joins that session's module list, so definitions can name it.
#pragma once

#include "runtime/Component.h"

namespace qx {

// A data module of one session: a component holding non-visual components (connections,
// datasets, commands) read from its definition. Constructed under a current application it
// is registered with that session (its screens find it by name, e.g. "usSesion.dsUser") and
// leaves the list when it is freed; constructed without one it belongs to no session.
class TIWUserSessionBase : public TComponent {
  QX_CLASS(TIWUserSessionBase, TComponent)

 protected:
  TIWUserSessionBase() { RegisterModule(); }
};

}  // namespace qx
