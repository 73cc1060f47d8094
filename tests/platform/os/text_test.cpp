// Text calls, the system version and the rectangle helpers.
#include <string>

#include <gtest/gtest.h>

#include "platform/os/windows.h"

namespace {

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST(CompareString, FixedGermanComparisonWithoutRegardToCase) {
  struct Case {
    const char* a;
    const char* b;
    int result;
  } cases[] = {
      {"Apfel", "apfel", CSTR_EQUAL},
      {"\xC4pfel", "Birne", CSTR_LESS_THAN},  // Ä sorts with A
      {"Zebra", "\xE4rger", CSTR_GREATER_THAN},
      {"abc", "abcd", CSTR_LESS_THAN},
      {"10", "9", CSTR_LESS_THAN},
      {"", "", CSTR_EQUAL},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.result, CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, c.a, -1, c.b, -1)) << c.a << " " << c.b;
}

TEST(CompareString, CountsAndCase) {
  EXPECT_EQ(CSTR_EQUAL, CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, "abcX", 3, "ABCy", 3));
  EXPECT_NE(CSTR_EQUAL, CompareStringA(LOCALE_USER_DEFAULT, 0, "abc", -1, "ABC", -1));
  EXPECT_EQ(0, CompareStringA(LOCALE_USER_DEFAULT, 0, nullptr, -1, "a", -1));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(CharNext, OneBytePerCharacterNeverPastTheEnd) {
  const char* s = "a\xE4";
  EXPECT_EQ(s + 1, CharNextA(s));
  EXPECT_EQ(s + 2, CharNextA(s + 1));
  EXPECT_EQ(s + 2, CharNextA(s + 2));  // at the NUL it stays
  EXPECT_EQ(s, CharPrevA(s, s + 1));
  EXPECT_EQ(s, CharPrevA(s, s));
}

TEST(SystemVersion, AnNtPlatform) {
  OSVERSIONINFOA info{};
  EXPECT_FALSE(GetVersionExA(&info));  // size not filled in
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(VER_PLATFORM_WIN32_NT, info.dwPlatformId);
}

TEST(Rectangles, Helpers) {
  RECT r;
  SetRect(&r, 10, 20, 30, 40);
  OffsetRect(&r, 5, -5);
  EXPECT_TRUE(Same(r, RECT{15, 15, 35, 35}));
  InflateRect(&r, 1, 2);
  EXPECT_TRUE(Same(r, RECT{14, 13, 36, 37}));

  struct PointCase {
    POINT p;
    BOOL inside;
  } points[] = {{{14, 13}, TRUE}, {{35, 36}, TRUE}, {{36, 20}, FALSE}, {{20, 37}, FALSE}, {{13, 20}, FALSE}};
  for (const auto& c : points) EXPECT_EQ(c.inside, PtInRect(&r, c.p)) << c.p.x << "," << c.p.y;

  const RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, far{30, 30, 40, 40};
  RECT out;
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  EXPECT_TRUE(Same(out, RECT{5, 5, 10, 10}));
  EXPECT_FALSE(IntersectRect(&out, &a, &far));
  EXPECT_TRUE(IsRectEmpty(&out));
  const RECT touching{10, 0, 20, 10};  // right edges lie outside: no common pixel
  EXPECT_FALSE(IntersectRect(&out, &a, &touching));
  EXPECT_TRUE(UnionRect(&out, &a, &far));
  EXPECT_TRUE(Same(out, RECT{0, 0, 40, 40}));
}

}  // namespace
