// Text that comes from outside (failure messages, request paths, file names) placed into the
// error pages the service and the host write themselves: written as text, never as markup.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// "&", "<", ">", '"' and "'" as character references; every other byte unchanged, so the text
// is safe between tags and inside quoted attributes of either kind.
std::string HtmlText(std::string_view text);

}  // namespace qx
