// The status line text and the header block the response writer hands to the web server.
#pragma once

#include <string>

namespace qx {

class TWebResponse;

// "%d %s" (code and reason) when a reason is set and the code is positive, else "200 OK".
std::string ResponseStatusText(const TWebResponse& response);

// The header lines in their fixed order, each ending CR LF, then an empty line. Lines whose
// value is empty are left out. CR and LF inside a value are dropped so that no value can
// start a header line of its own.
std::string BuildHeaderBlock(const TWebResponse& response);

}  // namespace qx
