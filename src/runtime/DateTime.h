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

// A date and time as text by a pattern of letters, in either case: d, m, h, n, s the day,
// month, hour, minute and second without a leading zero, doubled (dd, mm, hh, nn, ss) with
// one; ddd and dddd the short and full day name, mmm and mmmm the short and full month name;
// yy the year's last two digits, yyyy the whole year; z and zzz the milliseconds, zzz with
// three digits; "am/pm" (or "AM/PM") the half of the day, which makes the hours run 1 to 12;
// "m" or "mm" after an hour (with only ":" or blanks between) means minutes. Text in quotes,
// '/', ':' and every other character are written as they are.
std::string FormatDateTime(std::string_view format, TDateTime value);
// The server's short date format: the dates the service shows.
inline constexpr char kShortDateFormat[] = "dd/mm/yyyy";

extern const char* const kShortDayNames[7];    // "Sun" .. "Sat"
extern const char* const kShortMonthNames[12];  // "Jan" .. "Dec"

}  // namespace qx
