// The reason texts that setting a response's status code puts into its reason variable.
#pragma once

#include <string>

namespace qx {

// The reason text of an HTTP status code; empty for a code the table does not hold.
std::string StatusString(int code);

}  // namespace qx
