#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/settings_guard.h"

namespace {

class NumbersTest : public ::testing::Test {
protected:
  void SetUp() override { zeltest::UseGermanSettings(); }
  zeltest::SettingsGuard FGuard;
};

TEST_F(NumbersTest, StrToIntReadsWhatTheClassLibraryReads) {
  struct Case {
    const char* text;
    int value;
  };
  const Case good[] = {{"12", 12},          {" 12", 12},          {"+7", 7},
                       {"-7", -7},          {"$1F", 31},          {"0x1F", 31},
                       {"0X1f", 31},        {"-$10", -16},        {"007", 7},
                       {"2147483647", 2147483647},
                       {"-2147483648", std::numeric_limits<int>::min()},
                       {"$FFFFFFFF", -1},   {"$7FFFFFFF", 2147483647}};
  for (const Case& c : good) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 99), c.value) << c.text;
  }
  for (const char* bad : {"", " ", "12 ", "12a", "1.5", "1,5", "2147483648", "-2147483649", "-",
                          "$", "0x", "$100000000", "1 2", "\t1"}) {
    EXPECT_EQ(StrToIntDef(bad, 99), 99) << bad;
    int v = 5;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(v, 5);
  }
  try {
    StrToInt("12a");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12a' ist kein g\xFCltiger Integerwert");
  }
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(StrToInt64Def("9223372036854775808", -3), -3);
}

TEST_F(NumbersTest, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDE, 2), "ABCDE");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(std::int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
}

TEST_F(NumbersTest, StrToFloatUsesTheDecimalSeparator) {
  struct Case {
    const char* text;
    double value;
  };
  const Case good[] = {{"1,5", 1.5},  {" -2,25 ", -2.25}, {"1e3", 1000},  {"1,5E-1", 0.15},
                       {",5", 0.5},   {"5,", 5},          {"+3", 3},      {"0", 0}};
  for (const Case& c : good) {
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(c.text, v)) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value);
  }
  for (const char* bad : {"", "  ", "1.5", "abc", "1,2,3", "e5", "1e", "1.000,5", ",", "-", "1 5",
                          "1e999"}) {
    double v = 7;
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    EXPECT_EQ(v, 7);
  }
  try {
    StrToFloat("abc");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' ist kein g\xFCltiger Gleitkommawert");
  }
  DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", -1), -1);
}

TEST_F(NumbersTest, RoundGoesToTheEvenNeighbourOnHalves) {
  struct Case {
    double x;
    std::int64_t r;
  };
  const Case cases[] = {{0.5, 0},   {1.5, 2},  {2.5, 2},   {3.5, 4},      {-0.5, 0},
                        {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.5001, -3},
                        {1e10 + 0.5, 10000000000LL}};
  for (const Case& c : cases) EXPECT_EQ(Round(c.x), c.r) << c.x;
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_DOUBLE_EQ(Frac(2.25), 0.25);
}

TEST_F(NumbersTest, LenientReadings) {
  struct Round {
    const char* text;
    std::int64_t value;
  };
  const Round rounds[] = {{"2,5", 2}, {"3,5", 4}, {" 7 ", 7}, {"-1,5", -2}, {"12", 12},
                          {"", -1},   {"abc", -1}, {"1.5", -1}, {"0,49", 0}};
  for (const Round& r : rounds) EXPECT_EQ(platform::LenientRound(r.text, -1), r.value) << r.text;

  const Round digits[] = {{"12-3", -123}, {"+1-2+3", 123}, {"abc", 0}, {"-", 0},
                          {"1 2 3", 123}, {"--5", -5},     {"5-", -5}, {"", 0},
                          // 64 bits, wrapping
                          {"99999999999999999999", 7766279631452241919LL},
                          {"-99999999999999999999", -7766279631452241919LL},
                          {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                          {"9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                          {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                          {"18446744073709551616", 0},
                          {"18446744073709551615", -1}};
  for (const Round& d : digits) EXPECT_EQ(platform::LenientDigits(d.text), d.value) << d.text;
}

TEST_F(NumbersTest, FormatFloatPatterns) {
  struct Case {
    const char* pattern;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"#,##0.00", 0, "0,00"},
      {"#,##0.00", -5, "-5,00"},
      {"#,##0.00", 0.005, "0,01"},
      {"#,##0.00", 999.995, "1.000,00"},
      {"#,##0.00", -0.001, "0,00"},
      {"#,##0.00", 1234.5, "1.234,50"},
      {"#,##0.00", 12345678901.234, "12.345.678.901,23"},
      {"0.00", 2.675, "2,68"},
      {"0", 2.5, "3"},
      {"#", 0, ""},
      {"0.##", 1.5, "1,5"},
      {"0.##", 1, "1"},
      {"000", 7, "007"},
      {"#,##0;(#,##0)", -1234, "(1.234)"},
      {"0.00;;'Null'", 0, "Null"},
      {"0.0E+00", 12345, "1,2E+04"},
      {"0.0E-00", 0.00012, "1,2E-04"},
      {"'EUR' 0.00", 3, "EUR 3,00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
}

TEST_F(NumbersTest, FloatToStrIsTheShortestGeneralForm) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {{1.5, "1,5"},      {0.1 + 0.2, "0,3"}, {1e15, "1E15"},
                        {123456789012345.0, "123456789012345"},
                        {0.0001, "0,0001"}, {0.00001, "1E-5"}, {-2.5, "-2,5"},
                        {0, "0"},           {100, "100"}};
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.expected) << c.value;
  EXPECT_EQ(FloatToStrF(1234.567, ffFixed, 15, 2), "1234,57");
  EXPECT_EQ(FloatToStrF(1234.567, ffNumber, 15, 1), "1.234,6");
}

}  // namespace
