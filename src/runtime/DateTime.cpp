// Date serials: encoding, decoding, local time and formatting.
#include "runtime/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace qx {
namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian), after H. Hinnant.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long yy = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

constexpr long kEpochDays = 25569;  // serial of 1970-01-01

}  // namespace

const char* const kShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
namespace {
const char* const kLongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
const char* const kLongMonthNames[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) +
                             kEpochDays);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

TDateTime EncodeDateTime(const DateParts& p) {
  TDateTime date = EncodeDate(p.year, p.month, p.day);
  TDateTime time = EncodeTime(p.hour, p.minute, p.second, p.millisecond);
  return date >= 0 ? date + time : date - time;
}

DateParts DecodeDateTime(TDateTime value) {
  DateParts p;
  double whole = std::trunc(value);
  auto ms = static_cast<long long>(std::llround(std::fabs(value - whole) * kMsPerDay));
  if (ms >= static_cast<long long>(kMsPerDay)) {  // rounding reached midnight
    ms -= static_cast<long long>(kMsPerDay);
    whole += value >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<long>(whole) - kEpochDays, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.hour = static_cast<int>(ms / 3600000);
  return p;
}

int DayOfWeek(TDateTime value) {
  long days = static_cast<long>(std::trunc(value));
  // Serial 1 (31 Dec 1899) was a Sunday.
  long dow = ((days - 1) % 7 + 7) % 7;
  return static_cast<int>(dow) + 1;
}

TDateTime UnixToSerial(double unixSeconds) { return unixSeconds / kSecondsPerDay + kEpochDays; }

double SerialToUnix(TDateTime utcSerial) { return (utcSerial - kEpochDays) * kSecondsPerDay; }

TDateTime UnixToLocal(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return UnixToSerial(static_cast<double>(t) + static_cast<double>(tm.tm_gmtoff));
}

std::time_t LocalToUnix(TDateTime local) {
  DateParts p = DecodeDateTime(local);
  std::tm tm{};
  tm.tm_year = p.year - 1900;
  tm.tm_mon = p.month - 1;
  tm.tm_mday = p.day;
  tm.tm_hour = p.hour;
  tm.tm_min = p.minute;
  tm.tm_sec = p.second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TDateTime Now() {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  double localMs = static_cast<double>(ms) + static_cast<double>(tm.tm_gmtoff) * 1000.0;
  return localMs / kMsPerDay + kEpochDays;
}

TDateTime Today() { return std::trunc(Now()); }

int LocalOffsetMinutes(TDateTime local) {
  std::time_t t = LocalToUnix(local);
  std::tm tm{};
  localtime_r(&t, &tm);
  return static_cast<int>(tm.tm_gmtoff / 60);
}

TDateTime LocalToGmt(TDateTime local) { return local - LocalOffsetMinutes(local) / kMinutesPerDay; }

TDateTime GmtToLocal(TDateTime gmt) {
  auto t = static_cast<std::time_t>(std::floor(SerialToUnix(gmt)));
  std::tm tm{};
  localtime_r(&t, &tm);
  return gmt + static_cast<double>(tm.tm_gmtoff) / kSecondsPerDay;
}

std::string FormatDateTime(std::string_view f, TDateTime value) {
  DateParts p = DecodeDateTime(value);
  int dow = DayOfWeek(value) - 1;
  std::string out;
  bool afterHour = false;
  auto two = [](int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v);
    return std::string(b);
  };
  auto count = [&](std::size_t i, char c) {
    std::size_t n = 0;
    while (i + n < f.size() && (f[i + n] | 0x20) == c) ++n;
    return n;
  };
  bool hasAmPm = f.find("am/pm") != std::string_view::npos ||
                 f.find("AM/PM") != std::string_view::npos;
  for (std::size_t i = 0; i < f.size();) {
    char c = static_cast<char>(f[i] | 0x20);
    if (f[i] == '"' || f[i] == '\'') {
      std::size_t end = f.find(f[i], i + 1);
      if (end == std::string_view::npos) end = f.size();
      out.append(f.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if ((f.substr(i, 5) == "am/pm") || (f.substr(i, 5) == "AM/PM")) {
      bool upper = f[i] == 'A';
      out += p.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    std::size_t n = (c >= 'a' && c <= 'z') ? count(i, c) : 1;
    switch (c) {
      case 'y':
        out += n <= 2 ? two(p.year % 100) : std::to_string(p.year);
        break;
      case 'm':
        if (afterHour && n <= 2) {
          out += n == 1 ? std::to_string(p.minute) : two(p.minute);
        } else if (n == 1) {
          out += std::to_string(p.month);
        } else if (n == 2) {
          out += two(p.month);
        } else if (n == 3) {
          out += kShortMonthNames[p.month - 1];
        } else {
          out += kLongMonthNames[p.month - 1];
        }
        break;
      case 'd':
        if (n == 1) out += std::to_string(p.day);
        else if (n == 2) out += two(p.day);
        else if (n == 3) out += kShortDayNames[dow];
        else out += kLongDayNames[dow];
        break;
      case 'h': {
        int h = p.hour;
        if (hasAmPm) h = h % 12 == 0 ? 12 : h % 12;
        out += n == 1 ? std::to_string(h) : two(h);
        break;
      }
      case 'n':
        out += n == 1 ? std::to_string(p.minute) : two(p.minute);
        break;
      case 's':
        out += n == 1 ? std::to_string(p.second) : two(p.second);
        break;
      case 'z': {
        char b[16];
        std::snprintf(b, sizeof b, n >= 3 ? "%03d" : "%d", p.millisecond);
        out += b;
        break;
      }
      default:
        out.append(f.substr(i, n));
    }
    if (c == 'h') afterHour = true;
    else if (c != ':' && c != ' ' && c != 'm') afterHour = false;
    i += n;
  }
  return out;
}

}  // namespace qx
