// Text that comes from outside (failure messages, request paths) placed into the entry
// layer's own error pages: written as text so that it can never become markup.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// "<", ">", "&" and '"' as character references; every other byte unchanged.
std::string HtmlText(std::string_view text);

}  // namespace qx
