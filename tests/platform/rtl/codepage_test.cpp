#include "platform/rtl/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"

namespace {

using platform::AnsiToUtf8;
using platform::AnsiToWide;
using platform::Utf8ToAnsi;
using platform::WideToAnsi;

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b) {
    const AnsiString s(1, static_cast<char>(b));
    const WideString w = AnsiToWide(s);
    ASSERT_EQ(w.size(), 1u) << b;
    EXPECT_EQ(WideToAnsi(w), s) << "byte " << b << " via UTF-16";
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(s)), s) << "byte " << b << " via UTF-8";
    EXPECT_EQ(platform::Utf8ToWide(AnsiToUtf8(s)), w) << b;
  }
  // All 256 in one text, too.
  AnsiString all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(CodePage, MapsTheWindowsTable) {
  struct Case {
    unsigned char byte;
    char16_t code;
  };
  const Case cases[] = {
      {0x41, u'A'},     {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E},
      {0x85, 0x2026},   {0x8A, 0x0160}, {0x8C, 0x0152}, {0x8E, 0x017D}, {0x91, 0x2018},
      {0x93, 0x201C},   {0x96, 0x2013}, {0x97, 0x2014}, {0x99, 0x2122}, {0x9A, 0x0161},
      {0x9C, 0x0153},   {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xC4, 0x00C4},
      {0xDF, 0x00DF},   {0xE4, 0x00E4}, {0xFF, 0x00FF},
      // the five undefined bytes keep their value
      {0x81, 0x0081},   {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::AnsiCharToWide(c.byte), c.code) << int(c.byte);
    char back = 0;
    EXPECT_TRUE(platform::WideCharToAnsi(c.code, back));
    EXPECT_EQ(static_cast<unsigned char>(back), c.byte);
  }
}

TEST(CodePage, UnmappableAndInvalidTextBecomesQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* ansi;
  };
  const Case cases[] = {
      {"\xC3\xA4pfel", "\xE4pfel"},        // ä
      {"\xE2\x82\xAC 5", "\x80 5"},        // €
      {"\xE2\x80\x9E" "a\xE2\x80\x9C", "\x84" "a\x93"},
      {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "?\xF3" "d?"},  // Łódź: Ł and ź are not in the code page
      {"\xF0\x9F\x98\x80", "?"},           // an emoji
      {"a\xFF" "b", "a?b"},                // invalid byte
      {"\xC3", "?"},                       // cut sequence
      {"\xC0\xAF", "??"},                  // overlong form
      {"\xED\xA0\x80", "???"},             // encoded surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
  EXPECT_EQ(WideToAnsi(u"\u0141x"), "?x");
  EXPECT_EQ(WideToAnsi(u"\U0001F600"), "?");
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(platform::WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

// Texts converted eight ASCII characters at a time: a character outside
// ASCII, a surrogate pair or a lone surrogate at every place of a run gives
// what the conversion character by character gives.
TEST(CodePage, WideToAnsiOfRunsGivesWhatEachCharacterGives) {
  const std::u16string Specials[] = {u"\u00E4", u"\u20AC", u"\u0141", u"\U0001F600", std::u16string(1, u'\xD800'),
                                      std::u16string(1, u'\xDC00'), std::u16string(1, u'\x7F'), std::u16string(1, u'\0')};
  for (const std::u16string& Special : Specials)
    for (std::size_t Length = 0; Length <= 20; ++Length)
      for (std::size_t At = 0; At <= Length; ++At) {
        std::u16string W;
        for (std::size_t I = 0; I < Length; ++I) W += static_cast<char16_t>(u'a' + I % 26);
        W.insert(At, Special);
        std::string Want;
        for (std::size_t I = 0; I < W.size(); ++I) {
          if (W[I] >= 0xD800 && W[I] <= 0xDBFF && I + 1 < W.size() && W[I + 1] >= 0xDC00 && W[I + 1] <= 0xDFFF) {
            Want += '?';
            ++I;
            continue;
          }
          char C;
          platform::WideCharToAnsi(W[I], C);
          Want += C;
        }
        std::string Out(W.size() + 8, '#');
        const std::size_t N = WideToAnsi(W.data(), W.size(), Out.data());
        EXPECT_EQ(Out.substr(0, N), Want) << "length " << Length << " at " << At;
        EXPECT_EQ(Out.substr(N), std::string(W.size() + 8 - N, '#'));  // nothing written beyond
        EXPECT_EQ(WideToAnsi(W), Want);
      }
}

// Each length of a UTF-8 sequence at both of its ends, appended to what
// stands.
TEST(CodePage, AppendUtf8GivesTheBytesOfOneCodePoint) {
  struct Case {
    char32_t CodePoint;
    const char* Bytes;
  };
  const Case cases[] = {
      {0x00, "\0"},           {0x41, "A"},
      {0x7F, "\x7F"},         {0x80, "\xC2\x80"},
      {0xE4, "\xC3\xA4"},     {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"}, {0x20AC, "\xE2\x82\xAC"},
      {0xFFFF, "\xEF\xBF\xBF"}, {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const Case& c : cases) {
    std::string out = "x";
    platform::AppendUtf8(out, c.CodePoint);
    const std::string expected = c.CodePoint == 0 ? std::string("x\0", 2) : "x" + std::string(c.Bytes);
    EXPECT_EQ(out, expected) << static_cast<unsigned long>(c.CodePoint);
  }
}

TEST(CodePage, AnsiCaseKeepsLettersWithoutTheOtherCase) {
  struct Case {
    const char* lower;
    const char* upper;
  };
  const Case pairs[] = {
      {"abcz", "ABCZ"},       {"\xE4\xF6\xFC", "\xC4\xD6\xDC"}, {"\xE0\xE9\xF1", "\xC0\xC9\xD1"},
      {"\x9A\x9C\x9E", "\x8A\x8C\x8E"}, {"\xFF", "\x9F"},          {"\xF8\xFE", "\xD8\xDE"},
  };
  for (const Case& c : pairs) {
    EXPECT_EQ(AnsiUpperCase(c.lower), c.upper) << c.lower;
    EXPECT_EQ(AnsiLowerCase(c.upper), c.lower) << c.upper;
  }
  // ß and µ have no other case in the code page; × and ÷ are no letters.
  for (const char* same : {"\xDF", "\xB5", "\xD7", "\xF7", "\x83", "1-_!", "\xAA\xBA"}) {
    EXPECT_EQ(AnsiUpperCase(same), same);
    EXPECT_EQ(AnsiLowerCase(same), same);
  }
}

TEST(CodePage, AsciiFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(platform::AsciiLower("ABC\xC4\xDC xyz"), "abc\xC4\xDC xyz");
  EXPECT_EQ(platform::AsciiUpper("abc\xE4\xFC XYZ"), "ABC\xE4\xFC XYZ");
  EXPECT_EQ(UpperCase("stra\xDF" "e"), "STRA\xDF" "E");
  EXPECT_EQ(LowerCase("\xC4RGER"), "\xC4rger");
  EXPECT_TRUE(SameText("Hallo", "HALLO"));
  EXPECT_FALSE(SameText("\xE4", "\xC4"));
}

// Each row: a < b in the fixed German comparison with case ignored.
TEST(LocaleCompare, OrdersAsDocumented) {
  struct Case {
    const char* a;
    const char* b;
  };
  const Case less[] = {
      {"", "a"},
      {"a", "b"},
      {"A", "b"},
      {"a", "B"},
      {"abc", "abcd"},
      {" ", "0"},          // blank and punctuation before digits
      {"-", "0"},
      {"9", "a"},          // digits before letters
      {"Z9", "Za"},
      {"a", "\xE4"},       // unaccented first
      {"\xE4", "b"},       // ä sorts with a
      {"\xC4rger", "Arzt"},
      {"Muller", "M\xFCller"},
      {"M\xFCller", "Mullerz"},
      {"ss", "\xDF"},      // ß after ss
      {"\xDF", "st"},      // ß sorts as ss
      {"Strasse", "Stra\xDF" "e"},
      {"ae", "\xE6"},
      {"\x01", " "},       // control characters first
      {"e", "\xE9"},
      {"\xE9", "f"},
  };
  for (const Case& c : less) {
    EXPECT_LT(AnsiCompareText(c.a, c.b), 0) << c.a << " < " << c.b;
    EXPECT_GT(AnsiCompareText(c.b, c.a), 0) << c.b << " > " << c.a;
  }
  struct Eq {
    const char* a;
    const char* b;
  };
  const Eq equal[] = {{"abc", "ABC"}, {"\xE4pfel", "\xC4PFEL"}, {"stra\xDF" "e", "STRA\xDF" "E"},
                      {"", ""},       {"\x9A", "\x8A"}};
  for (const Eq& e : equal) EXPECT_EQ(AnsiCompareText(e.a, e.b), 0) << e.a << " = " << e.b;
}

TEST(LocaleCompare, WithCaseLowerComesFirst) {
  EXPECT_LT(AnsiCompareStr("a", "A"), 0);
  EXPECT_LT(AnsiCompareStr("abc", "aBc"), 0);
  EXPECT_LT(AnsiCompareStr("A", "b"), 0);  // letters first, case only on a tie
  EXPECT_EQ(AnsiCompareStr("abc", "abc"), 0);
  EXPECT_NE(AnsiCompareStr("\xE4", "\xC4"), 0);
}

TEST(LocaleCompare, IsATotalOrderOverSingleBytes) {
  // Antisymmetric and transitive over all byte pairs and triples of a sample.
  std::vector<AnsiString> all;
  for (int b = 1; b < 256; ++b) all.emplace_back(1, static_cast<char>(b));
  for (const auto& x : all)
    for (const auto& y : all) {
      const int xy = AnsiCompareText(x, y), yx = AnsiCompareText(y, x);
      ASSERT_EQ(xy < 0, yx > 0) << int(static_cast<unsigned char>(x[0])) << " "
                                << int(static_cast<unsigned char>(y[0]));
      ASSERT_EQ(xy == 0, yx == 0);
    }
  for (std::size_t i = 0; i < all.size(); i += 7)
    for (std::size_t j = 0; j < all.size(); j += 5)
      for (std::size_t k = 0; k < all.size(); k += 3)
        if (AnsiCompareText(all[i], all[j]) < 0 && AnsiCompareText(all[j], all[k]) < 0) {
          ASSERT_LT(AnsiCompareText(all[i], all[k]), 0);
        }
}

}  // namespace
