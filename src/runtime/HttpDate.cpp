// HTTP date texts: the fixed form, the dispatcher's converted form, and the parser.
#include "runtime/HttpDate.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

std::string HttpDateFixed(TDateTime value) {
  DateParts p = DecodeDateTime(value);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d GMT",
                kShortDayNames[DayOfWeek(value) - 1], p.day, kShortMonthNames[p.month - 1],
                p.year, p.hour, p.minute, p.second);
  return buf;
}

std::string HttpDateFromLocal(TDateTime local) {
  // The offset is the system's current one, as the time-zone bias was read once per call.
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  TDateTime gmt = local - static_cast<double>(tm.tm_gmtoff) / kSecondsPerDay;
  DateParts p = DecodeDateTime(gmt);
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  return Format("%s, %d %s %d %s %s", {kShortDayNames[DayOfWeek(gmt) - 1], p.day,
                                       kShortMonthNames[p.month - 1], p.year, time, "GMT"});
}

std::optional<TDateTime> ParseHttpDate(std::string_view text) {
  // Tokens split on blanks, commas and dashes; the day name is ignored.
  std::vector<std::string_view> tokens;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    bool sep = i == text.size() || text[i] == ' ' || text[i] == ',' || text[i] == '-' ||
               text[i] == '\t';
    if (!sep) continue;
    if (i > start) tokens.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  int day = -1, month = -1, year = -1, hour = -1, minute = -1, second = -1;
  for (std::string_view t : tokens) {
    if (t.find(':') != std::string_view::npos) {
      if (std::sscanf(std::string(t).c_str(), "%d:%d:%d", &hour, &minute, &second) != 3)
        return std::nullopt;
      continue;
    }
    bool alpha = !t.empty() && ((t[0] | 0x20) >= 'a' && (t[0] | 0x20) <= 'z');
    if (alpha) {
      for (int m = 0; m < 12; ++m)
        if (SameText(t.substr(0, 3), kShortMonthNames[m])) month = m + 1;
      continue;
    }
    auto v = TryStrToInt64(t);
    if (!v) return std::nullopt;
    if (day < 0 && t.size() <= 2) day = static_cast<int>(*v);
    else year = static_cast<int>(*v);
  }
  if (day < 1 || day > 31 || month < 0 || year < 0 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 60)
    return std::nullopt;
  if (year < 100) year += year < 50 ? 2000 : 1900;
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

}  // namespace qx
