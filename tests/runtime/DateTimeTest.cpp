// Date serials, formatting and the HTTP date forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "runtime/DateTime.h"
#include "runtime/HttpDate.h"

using namespace qx;

TEST(DateTime, SerialsCountDaysSince1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), kUnixEpochSerial);
  EXPECT_EQ(EncodeDate(2026, 12, 9), 46365.0);
  DateParts p = DecodeDateTime(46365.75);
  EXPECT_EQ(p.year, 2026);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 9);
  EXPECT_EQ(p.hour, 18);
  EXPECT_EQ(p.minute, 0);
}

TEST(DateTime, DecodeRoundsMillisecondsWithoutPassingMidnight) {
  TDateTime almost = EncodeDate(2026, 1, 1) + (kMsPerDay - 1.4) / kMsPerDay;
  DateParts p = DecodeDateTime(almost);
  EXPECT_EQ(p.day, 1);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.millisecond, 999);
  TDateTime rounded = EncodeDate(2026, 1, 1) + (kMsPerDay - 0.2) / kMsPerDay;
  EXPECT_EQ(DecodeDateTime(rounded).day, 2);
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 9)), 4);  // Wednesday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 1);  // Sunday
}

TEST(DateTime, FormatDateTimeTokens) {
  TDateTime t = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 45);
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss", t), "05/03/2026 14:07:09");
  EXPECT_EQ(FormatDateTime("d/m/yy h:mm", t), "5/3/26 14:07");
  EXPECT_EQ(FormatDateTime("ddd, dd mmm yyyy", t), "Thu, 05 Mar 2026");
  EXPECT_EQ(FormatDateTime("dddd mmmm zzz", t), "Thursday March 045");
  EXPECT_EQ(FormatDateTime("hh:nn am/pm", t), "02:07 pm");
  EXPECT_EQ(FormatDateTime("\"day\" d", t), "day 5");
}

TEST(DateTime, NowIsLocalTime) {
  std::time_t t = std::time(nullptr);
  TDateTime local = UnixToLocal(t);
  EXPECT_LT(std::fabs(Now() - local) * kSecondsPerDay, 5.0);
  EXPECT_EQ(LocalToUnix(local), t);
}

TEST(HttpDate, FixedFormHasTwoDigitDaysAndNoConversion) {
  TDateTime t = EncodeDate(2026, 12, 9) + EncodeTime(5, 38, 7, 0);
  EXPECT_EQ(HttpDateFixed(t), "Wed, 09 Dec 2026 05:38:07 GMT");
}

TEST(HttpDate, DispatcherFormConvertsLocalTimeToGmt) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "UTC", 1);
  tzset();
  TDateTime t = EncodeDate(2026, 12, 9) + EncodeTime(5, 38, 7, 0);
  EXPECT_EQ(HttpDateFromLocal(t), "Wed, 9 Dec 2026 05:38:07 GMT");
  setenv("TZ", "XXX-2", 1);  // two hours east of GMT, no daylight saving
  tzset();
  EXPECT_EQ(HttpDateFromLocal(t), "Wed, 9 Dec 2026 03:38:07 GMT");
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

TEST(HttpDate, ParsesTheThreeClientForms) {
  TDateTime expected = EncodeDate(1994, 11, 6) + EncodeTime(8, 49, 37, 0);
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), expected);
  EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), expected);
  EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994"), expected);
  EXPECT_FALSE(ParseHttpDate(""));
  EXPECT_FALSE(ParseHttpDate("yesterday"));
  EXPECT_FALSE(ParseHttpDate("Sun, 06 Nov 1994 25:00:00 GMT"));
}
