// The edit mask: kinds, formatting and stripping, the character tests, the
// paste rule and the integer value (platform::TEditMask, no widgets).
#include <gtest/gtest.h>

#include "controls/K_Edit.h"
#include "platform/rtl/sysutils.h"

namespace {

using platform::TEditMask;

TEditMask MaskOf(const char* Mask, bool Empty = true) {
  TEditMask m;
  m.SetMask(Mask);
  m.SetEmpty(Empty);
  return m;
}

struct KindCase {
  const char* Mask;
  int Decimals;
  bool Time;
  int MaxLength;
};

TEST(EditMask, KindsAndDerivedMaxLength) {
  const KindCase cases[] = {
      {"99.99.9999", 0, false, 10}, {"9999,99", 2, false, 6}, {"99:99", 0, true, 4},
      {"9999-", 0, false, 4},       {"99-99", 0, false, 5},   {"", 0, false, -1},
      {"00000000", 0, false, 8},    {"9:999", 0, false, 5},   {"999:99", 0, false, 6},
      {"99:9,9", 1, false, 5},      {"9,9:9", 3, false, 4},   {"-", 0, false, 0},
  };
  for (const auto& c : cases) {
    const TEditMask m = MaskOf(c.Mask);
    EXPECT_EQ(m.Decimals(), c.Decimals) << c.Mask;
    EXPECT_EQ(m.IsTime(), c.Time) << c.Mask;
    EXPECT_EQ(m.DerivedMaxLength(), c.MaxLength) << c.Mask;
  }
}

TEST(EditMask, ChangingTheMaskLeavesNoKindBehind) {
  TEditMask m;
  m.SetMask("99:99");
  EXPECT_EQ(m.FormatMask("930"), "09:30");
  m.SetMask("9999,99");
  EXPECT_FALSE(m.IsTime());
  EXPECT_EQ(m.FormatMask("930"), "9,30");
  m.SetMask("99.99");
  EXPECT_EQ(m.Decimals(), 0);
  EXPECT_EQ(m.FormatMask("0102"), "01.02");
}

struct TextCase {
  const char* Mask;
  const char* In;
  const char* Out;
};

TEST(EditMask, FormatMask) {
  const TextCase cases[] = {
      {"99.99.9999", "01022024", "01.02.2024"},
      {"99.99.9999", "0102", "01.02"},
      {"99.99.9999", "01", "01"},  // trailing literals are cut
      {"99.99.9999", "", ""},      // not the literals alone
      {"99.99.9999", "010220241", "01.02.2024"},
      {"9999,99", "12345", "123,45"},
      {"9999,99", "750", "7,50"},
      {"9999,99", "5", "0,05"},
      {"99:99", "930", "09:30"},
      {"00000000", "12345", "12345"},  // no zeros added
      {"99/99", "1231", "12/31"},
      {"9_9", "12", "1 2"},  // "_" shows as a blank
      {"9999-", "1234", "1234"},
      {"99.99", "  ", "  ."},  // only literal characters: kept
      {">>>", "abc", "abc"},
      {"", "abc", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MaskOf(c.Mask).FormatMask(c.In), c.Out) << c.Mask << " '" << c.In << "'";
}

TEST(EditMask, StripMask) {
  const TextCase cases[] = {
      {"99.99.9999", "01.02.2024", "01022024"},
      {"9999,99", "0,05", "5"},
      {"9999,99", "007,50", "750"},
      {"9999,99", "123,45", "12345"},
      {"9999,99", ",,0,1", "1"},
      {"99:99", "09:30", "09:30"},  // ":" is no literal
      {"9999", "0012", "0012"},     // zeros stay without decimals
      {"", "-7", "7"},              // no sign in a raw value
      {"", "12.5", "125"},
      {"", "a b/c_d-e.f", "abcdef"},
      {"", "1,5", "1,5"},
  };
  for (const auto& c : cases) EXPECT_EQ(MaskOf(c.Mask).StripMask(c.In), c.Out) << c.Mask << " '" << c.In << "'";
}

TEST(EditMask, FormatDecimalAndTime) {
  const TextCase decimals[] = {
      {"9999,99", "5", "0,05"}, {"9999,99", "000", "0,00"}, {"9999,99", "12345", "123,45"},
      {"9999,99", "0012", "0,12"}, {"99,9", "5", "0,5"},     {"9999", "5", ""},
      {"9999,99", "", ""},
  };
  for (const auto& c : decimals)
    EXPECT_EQ(MaskOf(c.Mask).FormatDecimal(c.In), c.Out) << c.Mask << " '" << c.In << "'";
  const TextCase times[] = {
      {"99:99", "930", "09:30"}, {"99:99", "12345", "12:345"}, {"99:99", "9:3", "00:93"},
      {"99:99", "", ""},         {"9999", "930", "930"},
  };
  for (const auto& c : times) EXPECT_EQ(MaskOf(c.Mask).FormatTime(c.In), c.Out) << c.Mask << " '" << c.In << "'";
}

TEST(EditMask, FormatTypedDecimal) {
  const TextCase cases[] = {
      {"9999,99", "12,5", "12,50"},   {"9999,99", "12,", "12,00"},   {"9999,99", ",5", "0,50"},
      {"9999,99", "1250", "12,50"},   {"9999,99", "5", "0,05"},      {"9999,99", "", ""},
      {"9999,99", "0,05", "0,05"},    {"9999,99", "007,5", "7,50"},  {"9999,99", "12,345", "12,34"},
      {"9999,99", "1,2,3", "1,23"},   {"9999,99", ",", "0,00"},      {"99,9", "12,5", "12,5"},
      {"999,999", ",05", "0,050"},    {"9999,99", "123,45", "123,45"},  // a formatted amount stays
  };
  for (const auto& c : cases)
    EXPECT_EQ(MaskOf(c.Mask).FormatTypedDecimal(c.In), c.Out) << c.Mask << " '" << c.In << "'";
}

TEST(EditMask, EmptyOffFillsInZeros) {
  EXPECT_EQ(MaskOf("9999,99", false).FormatDecimal(""), "0,00");
  EXPECT_EQ(MaskOf("9999,99", false).FormatMask(""), "0,00");
  EXPECT_EQ(MaskOf("99:99", false).FormatTime(""), "00:00");
  EXPECT_EQ(MaskOf("99:99", false).FormatMask(""), "00:00");
  EXPECT_EQ(MaskOf("9999,99", true).FormatMask(""), "");
}

struct FitCase {
  const char* Mask;
  int Pos;
  const char* Text;
  char Key;
  bool Fits;
  char After;
};

TEST(EditMask, CharFitsMask) {
  const FitCase cases[] = {
      {"99.99.9999", 1, "", '5', true, '5'},
      {"99.99.9999", 1, "", 'a', false, 'a'},
      {"99.99.9999", 1, "", '.', true, '.'},  // occurs in the mask
      {"00000000", 2, "1", 'x', false, 'x'},
      {">>>", 1, "", 'a', true, 'A'},
      {">>>", 1, "", '\xE4', true, '\xC4'},  // umlauts by the code page
      {"<<<", 2, "A", 'Q', true, 'q'},
      {"9999-", 1, "", '-', true, '-'},   // the leading sign
      {"9999-", 1, "1", '-', false, '-'},  // not once there is text
      {"99-99", 1, "12", '-', true, '-'},
      {"99", 3, "12", 'x', true, 'x'},  // beyond the mask: anything
      {"AAA", 1, "", '#', true, '#'},   // other mask characters take anything
      {"99.99", 3, "12", 'x', true, 'x'},  // a literal position itself takes anything
  };
  for (const auto& c : cases) {
    char k = c.Key;
    EXPECT_EQ(MaskOf(c.Mask).CharFitsMask(c.Pos, c.Text, k), c.Fits) << c.Mask << " " << c.Pos << " " << c.Key;
    EXPECT_EQ(k, c.After) << c.Mask << " " << c.Pos;
  }
}

TEST(EditMask, CharFitsAtMovesOverLiterals) {
  const FitCase cases[] = {
      {"99.99.9999", 3, "01", 'x', false, 'x'},  // tested at 4, a digit position
      {"99.99.9999", 3, "01", '7', true, '7'},
      {"99./9", 3, "01", 'x', false, 'x'},        // over two literals to 5
      {"99-", 3, "01", 'x', true, 'x'},           // the last position is tested itself
      {"9.>", 2, "1", 'b', true, 'B'},
  };
  for (const auto& c : cases) {
    char k = c.Key;
    EXPECT_EQ(MaskOf(c.Mask).CharFitsAt(c.Pos, c.Text, k), c.Fits) << c.Mask << " " << c.Pos;
    EXPECT_EQ(k, c.After) << c.Mask;
  }
}

struct PasteCase {
  const char* Mask;
  const char* Text;
  int Start, End;
  const char* Clip;
  int MaxLength;
  bool Fits;
  const char* EText;
};

TEST(EditMask, PasteRule) {
  const PasteCase cases[] = {
      {"99.99.9999", "", 0, 0, "01.02.2024", 10, true, "01022024"},
      {"99.99.9999", "01.02", 5, 5, "2024", 10, true, "01022024"},
      {"99.99.9999", "01.02.20", 8, 8, "241234", 10, true, "01022024"},  // cut to MaxLength first
      {"99.99.9999", "", 0, 0, "0102x", 10, false, ""},
      {"99.99.9999", "01.02", 5, 5, "ab", 10, false, ""},
      {"00000000", "1234", 4, 4, "56789", 8, true, "12345678"},
      {"00000000", "1234", 1, 3, "99", 8, true, "1994"},  // the selection is replaced
      {"00000000", "1234", 0, 4, "", 8, true, ""},
      {">>>", "", 0, 0, "abc", 3, true, "ABC"},
      {"9999,99", "", 0, 0, "12,50", 6, true, "1250"},
      {"9999,99", "", 0, 0, "1x", 6, false, ""},
      {"00000000", "1234", 3, 1, "5", 8, false, ""},  // end before start
      {"00000000", "12", 0, 0, "345", 0, true, "34512"},  // no limit
      // The ":" of a time takes no place.
      {"99:99", "", 0, 0, "09:30", 4, true, "09:30"},
      {"99:99", "09:3", 4, 4, "0", 4, true, "09:30"},
      {"99:99", "", 0, 0, "093015", 4, true, "09:30"},
      {"99:99", "", 0, 0, "09:30:15", 4, true, "09:30"},
      {"99:9,9", "", 0, 0, "12:345", 5, true, "12:34"},  // a decimal mask: ":" takes its place
      // Nor does the "," of a decimal amount.
      {"9999,99", "1234,5", 6, 6, "6", 6, true, "123456"},
      {"9999,99", "1234,56", 7, 7, "7", 6, true, "123456"},
      // A pasted "," starts the decimals; the digits must fit.
      {"9999,99", "", 0, 0, "12,5", 6, true, "1250"},
      {"9999,99", "", 0, 0, ",5", 6, true, "50"},
      {"9999,99", "3", 1, 1, ",5", 6, true, "350"},
      {"9999,99", "12", 0, 2, "7,25", 6, true, "725"},  // the selection is replaced
      {"9999,99", "", 0, 0, "12345,6", 6, false, ""},
      {"9999,99", "", 0, 0, "1x,5", 6, false, ""},
      {"9999,99", "", 0, 0, "12345,6", 0, true, "1234560"},  // no limit
  };
  for (const auto& c : cases) {
    AnsiString value = "unchanged";
    const bool fits = MaskOf(c.Mask).PasteValue(c.Clip, c.Text, c.Start, c.End, c.MaxLength, value);
    EXPECT_EQ(fits, c.Fits) << c.Mask << " '" << c.Text << "' + '" << c.Clip << "'";
    EXPECT_EQ(value, c.Fits ? AnsiString(c.EText) : AnsiString("unchanged")) << c.Mask << " '" << c.Clip << "'";
  }
}

struct IntCase {
  const char* Mask;
  const char* Text;
  std::int32_t Value;
};

TEST(EditMask, AsInteger) {
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  const IntCase cases[] = {
      {"00000000", "00012345", 12345},
      {"9999,99", "123,45", 12345},
      {"", "12.5", 125},  // "." is a literal
      {"", "abc", 0},
      {"", "", 0},
      {"", "-7", 7},
      {"", "2147483647", 2147483647},
      {"", "2147483648", INT32_MIN},  // the low 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(MaskOf(c.Mask).AsInteger(c.Text), c.Value) << c.Mask << " '" << c.Text << "'";
  // A decimal comma of the process rounds halves to even.
  DecimalSeparator = ',';
  EXPECT_EQ(MaskOf("").AsInteger("12,5"), 12);
  EXPECT_EQ(MaskOf("").AsInteger("13,5"), 14);
  DecimalSeparator = saved;
}

}  // namespace
