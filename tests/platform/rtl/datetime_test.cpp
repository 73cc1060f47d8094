#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/settings_guard.h"

namespace {

class DatesTest : public ::testing::Test {
protected:
  void SetUp() override { zeltest::UseGermanSettings(); }
  void TearDown() override { platform::SetNowFunction(nullptr); }
  zeltest::SettingsGuard FGuard;
};

TEST_F(DatesTest, EncodeAndDecodeCountFrom1899) {
  struct Case {
    Word y, m, d;
    double serial;
    int dow;
  };
  const Case cases[] = {{1899, 12, 30, 0, 7},     {1900, 1, 1, 2, 2},
                        {2000, 1, 1, 36526, 7},   {2024, 1, 5, 45296, 6},
                        {2024, 2, 29, 45351, 5},  {1899, 12, 29, -1, 6},
                        {9999, 12, 31, 2958465, 6}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
    Word y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
    EXPECT_EQ(DayOfWeek(c.serial), c.dow) << c.y << "-" << c.m << "-" << c.d;
  }
  TDateTime t;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, t));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1, t));
  EXPECT_THROW(EncodeDate(2024, 0, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  Word h, n, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ(h, 23);
  EXPECT_EQ(n, 59);
  EXPECT_EQ(s, 59);
  EXPECT_EQ(ms, 999);
}

TEST_F(DatesTest, FormatDateTimeTokens) {
  const TDateTime dt = EncodeDate(2024, 1, 5) + EncodeTime(13, 4, 5, 7);
  TimeAMString = "vorm.";
  TimePMString = "nachm.";
  struct Case {
    const char* fmt;
    const char* expected;
  };
  const Case cases[] = {
      {"dd.mm.yyyy hh:nn:ss", "05.01.2024 13:04:05"},
      {"d/m/yy", "5.1.24"},
      {"hh:mm", "13:04"},
      {"h:mm:ss.zzz", "13:04:05.007"},
      {"dddd, d. mmmm yyyy", "Freitag, 5. Januar 2024"},
      {"ddd mmm", "Fr Jan"},
      {"ddddd", "05.01.2024"},
      {"dddddd", "Freitag, 5. Januar 2024"},
      {"c", "05.01.2024 13:04:05"},
      {"t", "13:04"},
      {"tt", "13:04:05"},
      {"h:nn am/pm", "1:04 pm"},
      {"h:nn AM/PM", "1:04 PM"},
      {"h:nn a/p", "1:04 p"},
      {"hh:nn ampm", "01:04 nachm."},
      {"\"Uhr\" hh", "Uhr 13"},
      {"'mm' mm", "mm 01"},
      {"yyyymmdd", "20240105"},
      {"yyyy-mm-dd", "2024-01-05"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, dt), c.expected) << c.fmt;
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 1, 5)), "05.01.2024");
  EXPECT_EQ(DateToStr(dt), "05.01.2024");
  EXPECT_EQ(TimeToStr(dt), "13:04:05");
}

TEST_F(DatesTest, FormatDateTimeRunsClocksAndNesting) {
  const TDateTime afternoon = EncodeDate(2024, 1, 5) + EncodeTime(13, 4, 5, 7);
  const TDateTime midnight = EncodeDate(2024, 11, 25);
  const TDateTime morning = EncodeDate(2024, 11, 25) + EncodeTime(9, 30, 0, 0);
  TimeAMString = "vorm.";
  TimePMString = "nachm.";
  struct Case {
    const char* fmt;
    TDateTime dt;
    const char* expected;
  };
  const Case cases[] = {
      {"yyy y", afternoon, "2024 24"},
      {"h n s z", afternoon, "13 4 5 7"},
      {"hhh nnn sss zzzz", afternoon, "1313 044 055 0077"},
      {"hh:mm:mm", afternoon, "13:04:04"},
      {"mm hh", afternoon, "01 13"},
      {"ttt", afternoon, "13:04:0513:04"},
      {"cc", afternoon, "05.01.2024 13:04:0505.01.2024 13:04:05"},
      {"h am/pm", midnight, "12 am"},
      {"hh AmPm", morning, "09 vorm."},
      {"h \"am/pm\"", afternoon, "13 am/pm"},
      {"h 'x", afternoon, "13 x"},
      {"h a/P", morning, "9 a"},
      {"a b? qq", afternoon, "a b? qq"},
      {"hh 'am/pm", afternoon, "13 am/pm"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, c.dt), c.expected) << c.fmt;
  // A date format naming itself ends after a few levels.
  ShortDateFormat = "d ddddd";
  EXPECT_EQ(FormatDateTime("ddddd", midnight), "25 25 ");
  EXPECT_EQ(FormatDateTime("", midnight), "25 25 ");
}

TEST_F(DatesTest, SettingsFollowTheLocale) {
  platform::InitLocaleSettings("en_US.UTF-8");
  EXPECT_EQ(DecimalSeparator, '.');
  EXPECT_EQ(ThousandSeparator, ',');
  EXPECT_EQ(DateSeparator, '/');
  EXPECT_EQ(ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(FormatDateTime("ddddd", EncodeDate(2024, 1, 5)), "1/5/2024");
  EXPECT_EQ(LongMonthNames[2], "March");

  platform::InitLocaleSettings("de_AT");
  EXPECT_EQ(DecimalSeparator, ',');
  EXPECT_EQ(LongMonthNames[0], "J\xE4nner");

  platform::InitLocaleSettings("de_DE@euro");
  EXPECT_EQ(DecimalSeparator, ',');
  EXPECT_EQ(ThousandSeparator, '.');
  EXPECT_EQ(DateSeparator, '.');
  EXPECT_EQ(TimeSeparator, ':');
  EXPECT_EQ(ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(LongTimeFormat, "hh:mm:ss");
  EXPECT_EQ(LongMonthNames[2], "M\xE4rz");
  EXPECT_EQ(ShortDayNames[0], "So");

  platform::InitLocaleSettings("C");
  EXPECT_EQ(DecimalSeparator, '.');
}

TEST_F(DatesTest, NowCanBeReplaced) {
  const TDateTime fixed = EncodeDate(2030, 6, 1) + EncodeTime(8, 30, 0, 0);
  platform::SetNowFunction([fixed] { return fixed; });
  EXPECT_DOUBLE_EQ(Now(), fixed);
  EXPECT_DOUBLE_EQ(Date(), EncodeDate(2030, 6, 1));
  EXPECT_NEAR(Time(), EncodeTime(8, 30, 0, 0), 1e-9);
  platform::SetNowFunction(nullptr);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

TEST_F(DatesTest, StrToDateReadsTheShortDateOrder) {
  platform::SetNowFunction([] { return EncodeDate(2024, 6, 1); });
  struct Case {
    const char* text;
    Word y, m, d;
  };
  const Case cases[] = {{"05.01.2024", 2024, 1, 5}, {"5.1.24", 2024, 1, 5},
                        {"31.12.80", 1980, 12, 31}, {"3.4.", 2024, 4, 3}};
  for (const Case& c : cases) {
    TDateTime v;
    ASSERT_TRUE(TryStrToDate(c.text, v)) << c.text;
    EXPECT_DOUBLE_EQ(v, EncodeDate(c.y, c.m, c.d)) << c.text;
  }
  for (const char* bad : {"", "32.1.2024", "1-1-2024", "a.b.c", "1.1.2024x", "29.2.2023"}) {
    TDateTime v;
    EXPECT_FALSE(TryStrToDate(bad, v)) << bad;
  }
  EXPECT_THROW(StrToDate("x"), EConvertError);
}

TEST_F(DatesTest, StrToDateFollowsOrderSeparatorAndCentury) {
  struct Case {
    const char* shortDate;
    char separator;
    double now;
    const char* text;
    bool ok;
    Word y, m, d;
  };
  const double y2024 = EncodeDate(2024, 6, 1);
  const double y2070 = EncodeDate(2070, 6, 1);
  const Case cases[] = {
      {"M/d/yyyy", '/', y2024, "1/5/2024", true, 2024, 1, 5},
      {"M/d/yyyy", '/', y2024, "12/31", true, 2024, 12, 31},
      {"yyyy-MM-dd", '-', y2024, "2024-02-29", true, 2024, 2, 29},
      {"yyyy-MM-dd", '-', y2024, "02-29", true, 2024, 2, 29},
      {"dd.MM", '.', y2024, "2.3.2001", true, 2001, 3, 2},
      {"dd.MM.yy", '.', y2070, "5.1.10", true, 2110, 1, 5},
      {"dd.MM.yy", '.', y2070, "5.1.30", true, 2030, 1, 5},
      {"dd.MM.yyyy", '.', y2024, "1.1.999", true, 999, 1, 1},
      {"dd.MM.yyyy", '.', y2024, "  7.8.2024 ", true, 2024, 8, 7},
      {"dd.MM.yyyy", '.', y2024, "05.01.2024.", true, 2024, 1, 5},
      {"dd.MM.yyyy", '.', y2024, "1.1.0000", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "1.1.10000", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "1.2.3.4", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "1..2024", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "5", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "0.1.2024", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "1.13.2024", false, 0, 0, 0},
      {"dd.MM.yyyy", '.', y2024, "1.0", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ShortDateFormat = c.shortDate;
    DateSeparator = c.separator;
    const double now = c.now;
    platform::SetNowFunction([now] { return now; });
    TDateTime v = -1;
    ASSERT_EQ(TryStrToDate(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, EncodeDate(c.y, c.m, c.d)) << c.text;
    }
  }
}

}  // namespace
