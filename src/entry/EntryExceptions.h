// Failures raised while reading a request: malformed percent escapes, broken multipart bodies
// and temporary files that cannot be written.
#pragma once

#include "runtime/Exceptions.h"

namespace qx {

QX_EXCEPTION_CLASS(EWebRequestError, Exception);

}  // namespace qx
