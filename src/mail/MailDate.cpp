// The "Date" header text, built from the C library's local time and its UTC offset.
// The offset is the one in force at that moment, so summer time shows as such.
#include "mail/MailDate.h"

#include <cstdlib>

#include "mail/MailExceptions.h"
#include "runtime/Format.h"

namespace qx {

std::string MailDateText(std::time_t moment) {
  std::tm tm{};
  if (moment == static_cast<std::time_t>(-1) || !localtime_r(&moment, &tm))
    throw EIdFailedToRetrieveTimeZoneInfo(kMsgTimeZoneInfo);
  long offset = tm.tm_gmtoff / 60;
  std::string zone = Format("%s%.2d%.2d", {offset < 0 ? "-" : "+", std::labs(offset) / 60,
                                          std::labs(offset) % 60});
  std::string time = Format("%.2d:%.2d:%.2d", {tm.tm_hour, tm.tm_min, tm.tm_sec});
  return Format("%s, %d %s %d %s %s",
                {kShortDayNames[tm.tm_wday], tm.tm_mday, kShortMonthNames[tm.tm_mon],
                 tm.tm_year + 1900, time, zone});
}

std::string MailDateTextOfLocal(TDateTime local) { return MailDateText(LocalToUnix(local)); }

}  // namespace qx
