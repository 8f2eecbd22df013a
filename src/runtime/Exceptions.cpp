// Failures of the service: the silent abort and class names for foreign exceptions.
#include "runtime/Exceptions.h"

#include <new>
#include <stdexcept>

namespace qx {

void Abort() { throw EAbort("Operation aborted"); }

const char* ExceptionClassName(const std::exception& e) noexcept {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->ClassName();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "EOutOfMemory";
  if (dynamic_cast<const std::out_of_range*>(&e)) return "ERangeError";
  return "Exception";
}

}  // namespace qx
