// The two written forms of HTTP dates the service produces, and parsing of dates received.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/DateTime.h"

namespace qx {

// "Wed, 09 Dec 2026 05:38:57 GMT": the form of the response writer's own header lines and
// cookies. The value is written as it is, with no time-zone conversion.
std::string HttpDateFixed(TDateTime value);

// "Wed, 9 Dec 2026 05:38:57 GMT": the dispatcher's form. `local` is converted to GMT with the
// system's current offset; the day of the month has no leading zero.
std::string HttpDateFromLocal(TDateTime local);

// Parses the three forms a client may send (RFC 1123, RFC 850 and asctime). The result is the
// date as written (GMT); nothing when the text is not a date.
std::optional<TDateTime> ParseHttpDate(std::string_view text);

}  // namespace qx
