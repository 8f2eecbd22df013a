// Date serials: a date-time is a double counting days since 30 December 1899, whose fraction
// is the time of day. Local time comes from the C library's time-zone rules.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace qx {

using TDateTime = double;

constexpr double kMinutesPerDay = 1440.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMsPerDay = 86400000.0;
// Day serial of 1 January 1970, the Unix epoch.
constexpr double kUnixEpochSerial = 25569.0;

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(const DateParts& parts);
// Date part from the whole days, time of day from the fraction (its absolute value, so that
// serials before 1899 decode as the runtime did). Milliseconds are rounded.
DateParts DecodeDateTime(TDateTime value);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// The current local time and date, to the millisecond.
TDateTime Now();
TDateTime Today();

// Conversions between seconds since the Unix epoch (UTC) and serials.
TDateTime UnixToSerial(double unixSeconds);  // serial in UTC
double SerialToUnix(TDateTime utcSerial);
// Local wall-clock serial of a moment, and back.
TDateTime UnixToLocal(std::time_t t);
std::time_t LocalToUnix(TDateTime local);
// Offset of local time from UTC in minutes (east positive) at the given local moment.
int LocalOffsetMinutes(TDateTime local);
TDateTime LocalToGmt(TDateTime local);
TDateTime GmtToLocal(TDateTime gmt);

// Delphi-style date formatting: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz
// am/pm, '/' and ':' as written, and quoted literals; "m" right after an hour means minutes.
std::string FormatDateTime(std::string_view format, TDateTime value);

extern const char* const kShortDayNames[7];    // "Sun" .. "Sat"
extern const char* const kShortMonthNames[12];  // "Jan" .. "Dec"

}  // namespace qx
