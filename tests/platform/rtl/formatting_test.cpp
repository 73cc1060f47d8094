#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/settings_guard.h"

namespace {

class FormatTest : public ::testing::Test {
protected:
  void SetUp() override { zeltest::UseGermanSettings(); }
  zeltest::SettingsGuard FGuard;
};

TEST_F(FormatTest, Directives) {
  struct Case {
    const char* fmt;
    std::initializer_list<TVarRec> args;
    const char* expected;
  };
  const AnsiString name = "Muster";
  const std::int64_t big = 10000000000LL;
  const Case cases[] = {
      {"%s (%d) - '%s'", {name, 42, "x"}, "Muster (42) - 'x'"},
      {"no directive", {}, "no directive"},
      {"%d", {-5}, "-5"},
      {"%D", {3}, "3"},
      {"%.3d", {7}, "007"},
      {"%.3d", {-7}, "-007"},
      {"%5d|", {42}, "   42|"},
      {"%-5d|", {42}, "42   |"},
      {"%*d", {4, 7}, "   7"},
      {"%*d|", {-4, 7}, "7   |"},
      {"%-*d|", {3, 7}, "7  |"},
      {"%0:s%0:s", {"ab"}, "abab"},
      {"%.*d", {3, 7}, "007"},
      {"%d", {big}, "10000000000"},
      {"%u", {-1}, "4294967295"},
      {"%x", {255}, "FF"},
      {"%.2x", {10}, "0A"},
      {"Barcodeprefix= %.2x [%s]", {0x4D, "M"}, "Barcodeprefix= 4D [M]"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%s", {'c'}, "c"},
      {"%.2s", {"abc"}, "ab"},
      {"%6s|%-3s|", {"ab", "c"}, "    ab|c  |"},
      {"%s", {WideString(u"\u00E4\u20AC")}, "\xE4\x80"},
      {"100%%", {}, "100%"},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%f", {1.5}, "1,50"},
      {"%.1f", {2.25}, "2,3"},
      {"%.0f", {-0.4}, "0"},
      {"%n", {1234567.891}, "1.234.567,89"},
      {"%e", {1234.5}, "1,23450000000000E+003"},
      {"%g", {0.5}, "0,5"},
      {"%g", {1e20}, "1E20"},
      {"%m", {5.0}, "5,00 \x80"},
      {"%d %s", {std::size_t{3}, std::string("x")}, "3 x"},
      {"%.d", {5}, "5"},
      {"%.4u", {7}, "0007"},
      {"%u", {std::uint64_t{18446744073709551615ULL}}, "18446744073709551615"},
      {"%d", {std::uint64_t{18446744073709551615ULL}}, "18446744073709551615"},
      {"%x", {std::int64_t{-4294967297LL}}, "FFFFFFFEFFFFFFFF"},
      {"%.*s|", {-2, "abc"}, "|"},
      {"%*d|", {0, 7}, "7|"},
      {"%-8.3s|", {"abcdef"}, "abc     |"},
      {"%*.*f", {8, 2, 1.5}, "    1,50"},
      {"%.2e", {1234.5}, "1,2E+003"},
      {"%.3g", {1234.5}, "1,23E3"},
      {"%.1m", {-5.0}, "-5,0 \x80"},
      {"%.0n", {1234.5}, "1.235"},
      {"%.25f", {0.5}, "0,500000000000000000"},
      {"%1:d %d %0:d", {1, 2, 3}, "2 3 1"},
      {"%3d%2:d", {4, 5, 6}, "  46"},
      {"%12s", {'c'}, "           c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(c.fmt, c.args), c.expected) << c.fmt;
  }
}

TEST_F(FormatTest, PointerIsHex) {
  EXPECT_EQ(Format("%p", {nullptr}), AnsiString(sizeof(void*) * 2, '0'));
  int x = 0;
  EXPECT_EQ(Format("%p", {static_cast<const void*>(&x)}).size(), sizeof(void*) * 2);
}

TEST_F(FormatTest, MismatchMissingAndUnknownRaiseConvertError) {
  struct Case {
    const char* fmt;
    std::initializer_list<TVarRec> args;
    const char* message;
  };
  const Case cases[] = {
      {"%d", {"x"}, "Format '%d' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%s", {5}, "Format '%s' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%d", {1.5}, "Format '%d' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%f", {5}, "Format '%f' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%d", {true}, "Format '%d' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%x", {'a'}, "Format '%x' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"a %q", {1}, "Format 'a %q' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"abc%", {}, "Format 'abc%' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%*d", {"w", 1}, "Format '%*d' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%d", {}, "Kein Argument f\xFCr Format '%d'"},
      {"%s %s", {"a"}, "Kein Argument f\xFCr Format '%s %s'"},
      {"%p", {5}, "Format '%p' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%s", {nullptr}, "Format '%s' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%5.", {1}, "Format '%5.' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%*d", {}, "Kein Argument f\xFCr Format '%*d'"},
      {"%q", {}, "Format '%q' ung\xFCltig oder nicht kompatibel mit Argument"},
      {"%3:s", {"a"}, "Kein Argument f\xFCr Format '%3:s'"},
  };
  for (const Case& c : cases) {
    try {
      Format(c.fmt, c.args);
      ADD_FAILURE() << "no error for " << c.fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST_F(FormatTest, ExceptionCreateFmtFormatsItsMessage) {
  const EListError e(platform::msg::ListIndexError, {7});
  EXPECT_EQ(e.Message(), "Listenindex \xFC" "berschreitet das Maximum (7)");
  EXPECT_STREQ(e.ClassName(), "EListError");
  const EFOpenError f(platform::msg::FOpenError, {"C:\\a.txt", "Zugriff verweigert."});
  EXPECT_EQ(f.Message(), "Datei C:\\a.txt kann nicht ge\xF6" "ffnet werden. Zugriff verweigert.");
  // The hierarchy of the class library.
  const Exception& base = f;
  EXPECT_NE(dynamic_cast<const EFileStreamError*>(&base), nullptr);
  EXPECT_NE(dynamic_cast<const EStreamError*>(&base), nullptr);
  const EWriteError w("x");
  EXPECT_NE(dynamic_cast<const EFilerError*>(static_cast<const Exception*>(&w)), nullptr);
}

}  // namespace
