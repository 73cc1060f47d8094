#include "foundation/language.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Sets LanguageId for one test and puts the start-up value back.
class LanguageScope {
public:
  explicit LanguageScope(std::int32_t Id) : FOld(LanguageId) { LanguageId = Id; }
  ~LanguageScope() { LanguageId = FOld; }

private:
  std::int32_t FOld;
};

struct EscapeCase {
  const char* Name;
  std::string Text;
  std::u16string Wide;
  bool Changed;
};

class EscapeConversion : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeConversion, GivesWideTextAndFlag) {
  const EscapeCase& C = GetParam();
  LanguageScope Language(1);
  WideString W = u"stale";
  EXPECT_EQ(AnsiToWideEsc(C.Text, W), C.Changed);
  EXPECT_EQ(W, C.Wide);
  WideString W2;
  EXPECT_EQ(EscapedToWide(C.Text, W2), C.Changed);
  EXPECT_EQ(W2, C.Wide);
  WideString W3 = u"stale";
  EscapedWideText(C.Text, W3);
  EXPECT_EQ(W3, C.Wide);
  EXPECT_EQ(EscapedWideText(C.Text), C.Wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeConversion,
    ::testing::Values(
        EscapeCase{"Empty", "", u"", false},
        EscapeCase{"Plain", "abc", u"abc", false},
        EscapeCase{"Upper", "\\x0041", u"A", true},
        EscapeCase{"LowerDigits", "\\x00e4", u"\u00E4", true},
        EscapeCase{"MixedDigits", "\\x20Ac", u"\u20AC", true},
        EscapeCase{"CapitalXIsText", "\\X0041", u"\\X0041", false},
        EscapeCase{"InText", "a\\x0142b", u"a\u0142b", true},
        EscapeCase{"ShortAtEnd", "ab\\x41", u"abA", true},
        EscapeCase{"OneDigitAtEnd", "\\x7", u"\u0007", true},
        EscapeCase{"ShortNotAtEnd", "\\x41 b", u"41 b", false},
        EscapeCase{"Zero", "\\x0000", u"0000", false},
        EscapeCase{"ZeroShort", "\\x0", u"0", false},
        EscapeCase{"DroppedThenBackslash", "\\x\\x0041", u"\\x0041", false},
        EscapeCase{"DoubleBackslash", "\\\\x0041", u"\\A", true},
        EscapeCase{"EndsInBackslash", "ab\\", u"ab\\", false},
        EscapeCase{"EndsInBackslashX", "ab\\x", u"ab", false},
        EscapeCase{"NonHexInside", "\\x00g1z", u"00g1z", false},
        EscapeCase{"FiveDigits", "\\x00411", u"A1", true},
        EscapeCase{"Max", "\\xFFFF", u"\uFFFF", true},
        EscapeCase{"SurrogatePair", "\\xD83D\\xDE00", u"\U0001F600", true},
        EscapeCase{"TwoEscapes", "\\x0048\\x0069", u"Hi", true},
        EscapeCase{"HighBytesWidened", "\xE4\x80\x9F", u"\u00E4\u0080\u009F", false},
        EscapeCase{"PolishByteNotMapped", "\xB9", u"\u00B9", false},
        EscapeCase{"NulByte", std::string("a\0b", 3), std::u16string(u"a\0b", 3), false}),
    [](const ::testing::TestParamInfo<EscapeCase>& Info) { return Info.param.Name; });

TEST(Cp1250Letter, MapsTheEighteenPolishLetters) {
  const struct {
    int Byte;
    int Code;
  } Table[] = {{0x8C, 0x015A}, {0x8F, 0x0179}, {0x9C, 0x015B}, {0x9F, 0x017A}, {0xA3, 0x0141},
               {0xA5, 0x0104}, {0xAF, 0x017B}, {0xB3, 0x0142}, {0xB9, 0x0105}, {0xBF, 0x017C},
               {0xC6, 0x0106}, {0xCA, 0x0118}, {0xD1, 0x0143}, {0xD3, 0x00D3}, {0xE6, 0x0107},
               {0xEA, 0x0119}, {0xF1, 0x0144}, {0xF3, 0x00F3}};
  int Mapped = 0;
  for (int B = -1; B <= 0x1FF; ++B) {
    int Expected = B;
    for (const auto& E : Table)
      if (E.Byte == B) Expected = E.Code;
    EXPECT_EQ(Cp1250Letter(B), Expected) << B;
    if (Expected != B) ++Mapped;
  }
  EXPECT_EQ(Mapped, 16);  // Ó and ó map to themselves
}

TEST(EscapeConversionPolish, LanguageNineMapsCodePage1250Letters) {
  const struct {
    const char* Name;
    std::string Text;
    std::u16string Wide;
    bool Changed;
  } Cases[] = {
      {"a ogonek", "\xB9", u"\u0105", true},
      {"O acute keeps flag", "\xD3\xF3", u"\u00D3\u00F3", false},
      {"word", "\xA3\xF3" "d\xBF", u"\u0141\u00F3d\u017C", true},
      {"all upper", "\x8C\x8F\xA3\xA5\xAF\xC6\xCA\xD1", u"\u015A\u0179\u0141\u0104\u017B\u0106\u0118\u0143", true},
      {"all lower", "\x9C\x9F\xB3\xB9\xBF\xE6\xEA\xF1", u"\u015B\u017A\u0142\u0105\u017C\u0107\u0119\u0144", true},
      {"others widened", "\xE4\xDF", u"\u00E4\u00DF", false},
      {"escape next to letter", "\\x0041\xEA", u"A\u0119", true},
      {"escape to a mapped byte value is not mapped", "\\x00B9", u"\u00B9", true},
      {"dropped escape then letter", "\\x\xB3", u"\u0142", true},
  };
  for (const auto& C : Cases) {
    LanguageScope Language(9);
    WideString W;
    EXPECT_EQ(EscapedToWide(C.Text, W), C.Changed) << C.Name;
    EXPECT_EQ(W, C.Wide) << C.Name;
  }
  // Any other language leaves the bytes as they are.
  for (std::int32_t Id : {1, 0, 8, 10, -9}) {
    LanguageScope Language(Id);
    WideString W;
    EXPECT_FALSE(EscapedToWide("\xB9\xA3", W)) << Id;
    EXPECT_EQ(W, u"\u00B9\u00A3") << Id;
  }
}

TEST(LanguageGlobals, StartUpValues) {
  LanguageId = 5;
  FlatLook = true;
  IsWinNT = false;
  language_initialization();
  EXPECT_EQ(LanguageId, 1);
  EXPECT_FALSE(FlatLook);
  EXPECT_TRUE(IsWinNT);  // the platform reports NT
  EXPECT_EQ(LastExitControl.Get(), nullptr);
  language_finalization();
}

}  // namespace
