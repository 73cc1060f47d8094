#include "foundation/language.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"

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

// Test names and failure output show the case by its name.
void PrintTo(const EscapeCase& Case, std::ostream* Out) { *Out << Case.Name; }

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

TEST(LastExitControl, ReadsAsNoneOnceTheControlIsGone) {
  auto Owner = std::make_unique<TComponent>(nullptr);
  auto* Owned = new TWinControl(Owner.get());
  auto Free = std::make_unique<TWinControl>(nullptr);

  LastExitControl = Owned;
  EXPECT_EQ(LastExitControl.Get(), Owned);
  EXPECT_TRUE(static_cast<bool>(LastExitControl));
  LastExitControl = Free.get();  // the newer control replaces the older one
  EXPECT_EQ(static_cast<TWinControl*>(LastExitControl), Free.get());
  Owner.reset();                 // frees Owned: no effect on the reference
  EXPECT_EQ(LastExitControl.Get(), Free.get());
  Free.reset();
  EXPECT_EQ(LastExitControl.Get(), nullptr);
  EXPECT_FALSE(static_cast<bool>(LastExitControl));

  auto Again = std::make_unique<TWinControl>(nullptr);
  LastExitControl = Again.get();
  LastExitControl = Again.get();
  LastExitControl = nullptr;
  EXPECT_EQ(LastExitControl.Get(), nullptr);
  LastExitControl = Again.get();
  language_initialization();  // start-up clears it
  EXPECT_EQ(LastExitControl.Get(), nullptr);
  Again.reset();
  EXPECT_EQ(LastExitControl.Get(), nullptr);
}

}  // namespace

namespace {

// Sets IsWinNT for one test and puts the old value back.
class WinNTScope {
public:
  explicit WinNTScope(bool Value) : FOld(IsWinNT) { IsWinNT = Value; }
  ~WinNTScope() { IsWinNT = FOld; }

private:
  bool FOld;
};

constexpr int kWidth = 160;
constexpr int kHeight = 24;
constexpr UINT kFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;

std::unique_ptr<TCanvas> NewCanvas() {
  auto Canvas = platform::CreateImageCanvas(kWidth, kHeight, clWhite);
  Canvas->Font()->SetHeight(-14);
  Canvas->Font()->SetColor(clBlack);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Refresh();
  return Canvas;
}

std::vector<TColor> Pixels(TCanvas& Canvas) {
  std::vector<TColor> Result;
  for (int Y = 0; Y < kHeight; ++Y)
    for (int X = 0; X < kWidth; ++X) Result.push_back(Canvas.Pixel(X, Y));
  return Result;
}

// The pixels of one drawing call on a fresh canvas.
template <typename Draw>
std::vector<TColor> Render(Draw&& DrawOn) {
  auto Canvas = NewCanvas();
  RECT R{2, 2, kWidth - 2, kHeight - 2};
  DrawOn(Canvas->Handle(), R);
  return Pixels(*Canvas);
}

std::vector<TColor> RenderA(const std::string& Text) {
  return Render([&](HDC DC, RECT& R) { DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, kFormat); });
}

std::vector<TColor> RenderW(const std::u16string& Text) {
  return Render([&](HDC DC, RECT& R) { DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &R, kFormat); });
}

std::vector<TColor> RenderEscaped(const std::string& Text) {
  return Render([&](HDC DC, RECT& R) { DrawEscapedText(DC, R, Text, kFormat); });
}

}  // namespace

TEST(DrawEscapedText, TakesTheWidePathOnlyForChangedTextOnNT) {
  LanguageScope Language(1);
  const struct {
    const char* Name;
    std::string Text;
    bool WinNT;
    bool Wide;           // drawn by DrawTextW (else DrawTextA of Text as given)
    std::u16string W;    // what DrawTextW gets
  } Cases[] = {
      {"escape on NT", "L\\x00f3d\\x017a", true, true, u"L\u00F3d\u017A"},
      {"escape without NT", "L\\x00f3d\\x017a", false, false, u""},
      {"plain text", "Stra\xDF" "e", true, false, u""},
      {"zero escape", "a\\x0000", true, false, u""},
      {"capital X", "\\X0141", true, false, u""},
  };
  for (const auto& C : Cases) {
    WinNTScope NT(C.WinNT);
    const auto Got = RenderEscaped(C.Text);
    const auto Expected = C.Wide ? RenderW(C.W) : RenderA(C.Text);
    EXPECT_EQ(Got, Expected) << C.Name;
    // The other path draws something else, so the check above can tell.
    if (C.Wide) {
      EXPECT_NE(Got, RenderA(C.Text)) << C.Name;
    }
    EXPECT_NE(Got, RenderA("")) << C.Name;  // something was drawn
  }
}

TEST(DrawEscapedText, PolishLettersTakeTheWidePath) {
  LanguageScope Language(9);
  WinNTScope NT(true);
  const std::string Text = "\xA3\xF3" "d\xBF";  // Łódż in code page 1250
  const auto Got = RenderEscaped(Text);
  EXPECT_EQ(Got, RenderW(u"\u0141\u00F3d\u017C"));
  EXPECT_NE(Got, RenderA(Text));
}

TEST(DrawEscapedText, MeasuresOnThePathThatDraws) {
  LanguageScope Language(1);
  const std::string Text = "\\x0057\\x0057\\x0057";  // WWW
  for (bool NT : {true, false}) {
    WinNTScope Scope(NT);
    auto Canvas = NewCanvas();
    RECT Got{0, 0, 1000, 100};
    DrawEscapedText(Canvas->Handle(), Got, Text, kFormat | DT_CALCRECT);
    RECT Expected{0, 0, 1000, 100};
    if (NT)
      DrawTextW(Canvas->Handle(), u"WWW", 3, &Expected, kFormat | DT_CALCRECT);
    else
      DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Expected, kFormat | DT_CALCRECT);
    EXPECT_EQ(Got.right, Expected.right) << NT;
    EXPECT_EQ(Got.bottom, Expected.bottom) << NT;
    EXPECT_GT(Got.right, 0) << NT;
    // Calculating draws nothing.
    EXPECT_EQ(Pixels(*Canvas), Pixels(*NewCanvas())) << NT;
  }
}

TEST(DrawEscapedText, EmptyTextDrawsNothing) {
  WinNTScope NT(true);
  EXPECT_EQ(RenderEscaped(""), Pixels(*NewCanvas()));
  auto Canvas = NewCanvas();
  RECT R{5, 5, 100, 50};
  DrawEscapedText(Canvas->Handle(), R, "", kFormat | DT_CALCRECT);
  RECT E{5, 5, 100, 50};
  DrawTextA(Canvas->Handle(), "", 0, &E, kFormat | DT_CALCRECT);
  EXPECT_EQ(R.right, E.right);
  EXPECT_EQ(R.bottom, E.bottom);
}

TEST(ScaleColor, RoundsHalvesToEvenAndCaps) {
  const struct {
    TColor Color;
    long double Factor;
    TColor Result;
  } Cases[] = {
      {0xFFFFFF, 0.9L, 0xE6E6E6},
      {0x050505, 0.9L, 0x040404},
      {0x0F0F0F, 0.9L, 0x0E0E0E},
      {0x231915, 0.9L, 0x201613},  // 35 -> 32, 25 -> 22, 21 -> 19 (18.9)
      {0x80C0FF, 0.9L, 0x73ADE6},  // 128 -> 115, 192 -> 173, 255 -> 230
      {0xC0C0C0, 2.0L, 0xFFFFFF},  // capped
      {0x102030, 2.0L, 0x204060},
      {0x010203, 0.5L, 0x000102},  // 0.5 -> 0, 1 -> 1, 1.5 -> 2
      {0x123456, 1.0L, 0x123456},
      {0x123456, 0.0L, 0x000000},
      {0x7F000000 | 0x123456, 1.0L, 0x123456},  // bits 24-31 ignored
      {0x123456, -0.9L, 0x000000},             // negative factor: 0, not a neighbour
      {0xFFFFFF, -1e30L, 0x000000},
      {0x010101, 1e30L, 0xFFFFFF},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(ScaleColor(C.Color, C.Factor), C.Result) << std::hex << C.Color << " * " << static_cast<double>(C.Factor);
}

TEST(ScaleColor, EveryChannelValueWithNineTenths) {
  // Products that end in .5 go to the even neighbour; double arithmetic
  // gives the same 256 results.
  for (int C = 0; C < 256; ++C) {
    const double X = C * 0.9;
    const int Expected = static_cast<int>(std::nearbyint(X));
    EXPECT_EQ(ScaleColor(C, 0.9L), Expected) << C;
    EXPECT_EQ(ScaleColor(C << 8, 0.9L), Expected << 8) << C;
    EXPECT_EQ(ScaleColor(C << 16, 0.9L), Expected << 16) << C;
  }
  EXPECT_EQ(ScaleColor(5, 0.9L), 4);
  EXPECT_EQ(ScaleColor(15, 0.9L), 14);
  EXPECT_EQ(ScaleColor(25, 0.9L), 22);
  EXPECT_EQ(ScaleColor(35, 0.9L), 32);
}

TEST(ScaleColor, ResolvesSystemColoursFirst) {
  for (TColor Sys : {clBtnFace, clHighlight, clWindow, clWindowText}) {
    const auto RGBValue = static_cast<TColor>(GetSysColor(Sys & 0xFF));
    EXPECT_EQ(ScaleColor(Sys, 1.0L), RGBValue) << std::hex << Sys;
    EXPECT_EQ(ScaleColor(Sys, 0.9L), ScaleColor(RGBValue, 0.9L)) << std::hex << Sys;
  }
  EXPECT_EQ(ScaleColor(clHighlight, 0.5L), ScaleColor(static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)), 0.5L));
}
