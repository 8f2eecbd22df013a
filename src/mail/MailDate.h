// The date text of a mail's "Date" header: English names, 24-hour time and the local offset
// from UTC (daylight saving included), e.g. "Mon, 1 Dec 2025 09:05:00 -0300".
#pragma once

#include <ctime>
#include <string>

#include "runtime/DateTime.h"

namespace qx {

// Raised (as EIdFailedToRetrieveTimeZoneInfo) when the local time zone cannot be read.
inline constexpr const char* kMsgTimeZoneInfo =
    "Failed attempting to retrieve time zone information.";

// The date text of a moment.
std::string MailDateText(std::time_t moment);
// The date text of a local date-time serial.
std::string MailDateTextOfLocal(TDateTime local);

}  // namespace qx
