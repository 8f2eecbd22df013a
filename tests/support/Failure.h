// The failure an action raises, as one comparable text, for tests of error paths.
#pragma once

#include <functional>
#include <string>

#include "runtime/Exceptions.h"

namespace qx::test {

// "Class: message" of the runtime failure `action` raises, or "none" when it raises none.
inline std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "none";
}

}  // namespace qx::test
