// Failures raised by the framework's server layer (settings, client types, sessions): each
// carries a fixed English message that the system replies show.
#pragma once

#include "runtime/Exceptions.h"

namespace qx {

QX_EXCEPTION_CLASS(EIWException, Exception);

}  // namespace qx
