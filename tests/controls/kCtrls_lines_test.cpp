// Item lines, key fields, column widths and re-keying of the kCtrls boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/kCtrls.h"
#include "platform/gui/forms.h"
#include "platform/rtl/sysutils.h"

namespace {

struct SortLineCase {
  int Index;
  const char* Line;
  const char* Expected;
};

TEST(KCtrlsLines, MakeSortLine) {
  const SortLineCase cases[] = {
      {2, "12;00012;Alpha", "Alpha;12;00012;Alpha;"},  // the unterminated last field
      {1, "12;00012;Alpha", "00012;12;00012;Alpha;"},
      {0, "12;00012;Alpha", "12;12;00012;Alpha;"},
      {0, "de", "de;de;"},
      {2, "de", "de;de;"},     // no ";": the whole line
      {-1, "a;b", "a;a;b;"},   // negative counts as 0
      {-7, "a;b", "a;a;b;"},
      {3, "a;b;", ";a;b;;"},   // ends with ";": empty key
      {1, "a;b;", "b;a;b;;"},
      {0, "", ";;"},
      {0, ";x", ";;x;"},       // empty first field
      {10, "1;2;3;4;5;6;7;8;9;10;11;12", "11;1;2;3;4;5;6;7;8;9;10;11;12;"},
      {0, "\xC4pfel;1", "\xC4pfel;\xC4pfel;1;"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MakeSortLine(c.Index, c.Line), c.Expected) << c.Index << " '" << c.Line << "'";
}

TEST(KCtrlsLines, StripSortKey) {
  EXPECT_EQ(StripSortKey("Alpha;12;00012;Alpha;"), "12;00012;Alpha;");
  EXPECT_EQ(StripSortKey("abc"), "");
  EXPECT_EQ(StripSortKey(""), "");
  EXPECT_EQ(StripSortKey(";"), "");
  EXPECT_EQ(StripSortKey(" ;-1;Alle;"), "-1;Alle;");
  // Long lines come back whole (no cut after 256 characters).
  const AnsiString rest = AnsiString(300, 'x') + ";";
  EXPECT_EQ(StripSortKey("k;" + rest), rest);
}

struct SplitCase {
  const char* Line;
  int Limit;
  int Count;
  std::vector<std::string> Fields;
};

TEST(KCtrlsLines, SplitFields) {
  const SplitCase cases[] = {
      {"a;b;c", 11, 2, {"a", "b"}},  // text after the last ";" is no field
      {"a;b;c;", 11, 3, {"a", "b", "c"}},
      {"", 11, 0, {}},
      {"abc", 11, 0, {}},
      {";;", 11, 2, {"", ""}},
      {"1;2;3;4;5;6;7;8;9;10;11;12;13;14;", 11, 11, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}},
      {"a;b;c;", 2, 2, {"a", "b"}},
      {"a;b;c;", 0, 0, {}},
  };
  for (const auto& c : cases) {
    TKFieldTable f;
    EXPECT_EQ(SplitFields(c.Line, f, c.Limit), c.Count) << c.Line;
    for (std::size_t i = 0; i < f.size(); ++i)
      EXPECT_EQ(f[i], i < c.Fields.size() ? c.Fields[i] : "") << c.Line << " entry " << i;
  }
}

TEST(KCtrlsLines, SplitFieldsLeavesUnfilledEntries) {
  TKFieldTable f;
  f[3] = "old";
  EXPECT_EQ(SplitFields("a;b;", f, 11), 2);
  EXPECT_EQ(f[3], "old");
  EXPECT_EQ(f[11], "");
}

// A combo box and a list box behave alike for what this file tests.
template <class Box>
class KCtrlsBoxLines : public ::testing::Test {
protected:
  KCtrlsBoxLines() : form(nullptr), box(new Box(&form)) {}
  TForm form;
  Box* box;
};

using BoxTypes = ::testing::Types<TKComboBox, TKListBox>;
TYPED_TEST_SUITE(KCtrlsBoxLines, BoxTypes);

TYPED_TEST(KCtrlsBoxLines, FreshState) {
  EXPECT_EQ(this->box->SortItem(), 0);
  EXPECT_EQ(this->box->KeyPos(), 1);
  EXPECT_EQ(this->box->ColWidthCount(), 0);
  EXPECT_EQ(this->box->ColWidths(), "");
  for (int i = 0; i < KFieldTableSize; ++i) EXPECT_EQ(this->box->ColWidth(i), 0);
}

TYPED_TEST(KCtrlsBoxLines, AddLineStoresTheSortKeyFirst) {
  auto* b = this->box;
  b->AddLine("12;00012;Alpha");  // SortItem 0 works as 1
  b->SetSortItem(3);
  b->AddLine("13;00013;Beta");
  ASSERT_EQ(b->Items()->Count(), 2);
  EXPECT_EQ(b->Items()->Strings(0), "12;12;00012;Alpha;");
  EXPECT_EQ(b->Items()->Strings(1), "Beta;13;00013;Beta;");
}

TYPED_TEST(KCtrlsBoxLines, AddLineKeepsTheObject) {
  TStringList marker;
  this->box->AddLine("1;a", &marker);
  this->box->AddLine("2;b");
  EXPECT_EQ(this->box->Items()->Objects(0), &marker);
  EXPECT_EQ(this->box->Items()->Objects(1), nullptr);
}

struct WidthCase {
  const char* Text;
  const char* ReadBack;
  int Count;
  std::vector<int> Widths;
};

TYPED_TEST(KCtrlsBoxLines, ColWidthsText) {
  const WidthCase cases[] = {
      {"0;4;40", "0;4;40;", 3, {0, 4, 40}},
      {"0;4;40;", "0;4;40;", 3, {0, 4, 40}},
      {"007;", "7;", 1, {7}},
      {"-3;5;", "-3;5;", 2, {-3, 5}},
      {"1;2;3;4;5;6;7;8;9;10;11;12;13;", "1;2;3;4;5;6;7;8;9;10;11;", 11, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"", "", 0, {}},
  };
  for (const auto& c : cases) {
    TForm form(nullptr);
    auto* b = new TypeParam(&form);
    b->SetColWidths(c.Text);
    EXPECT_EQ(b->ColWidths(), c.ReadBack) << c.Text;
    EXPECT_EQ(b->ColWidthCount(), c.Count) << c.Text;
    for (std::size_t i = 0; i < c.Widths.size(); ++i) EXPECT_EQ(b->ColWidth(static_cast<int>(i)), c.Widths[i]);
    EXPECT_EQ(b->ColWidth(11), 0);
  }
}

TYPED_TEST(KCtrlsBoxLines, ShorterColWidthsKeepLaterEntries) {
  auto* b = this->box;
  b->SetColWidths("1;2;3;");
  b->SetColWidths("9;");
  EXPECT_EQ(b->ColWidthCount(), 1);
  EXPECT_EQ(b->ColWidths(), "9;");
  EXPECT_EQ(b->ColWidth(0), 9);
  EXPECT_EQ(b->ColWidth(1), 2);
  EXPECT_EQ(b->ColWidth(2), 3);
}

// A bad field raises after the count and the fields before it were taken;
// the fields from the bad one on keep their earlier widths.
TYPED_TEST(KCtrlsBoxLines, BadColWidthsRaiseWithTheFieldsBeforeTaken) {
  struct BadCase {
    const char* Text;
    const char* Bad;  // the field in the error message; nullptr: no error
    const char* ReadBack;
    int Count;
    std::vector<int> Widths;
  };
  const BadCase cases[] = {
      {"3;x;", "x", "3;9;", 2, {3, 9, 10}},
      {"x;4", "x", "8;9;", 2, {8, 9, 10}},
      {"5;6;7;;", "", "5;6;7;0;", 4, {5, 6, 7, 0}},
      {"4;5x;6;7;8;", "5x", "4;9;10;0;0;", 5, {4, 9, 10, 0, 0}},
      {"1;2;3;4;5;", nullptr, "1;2;3;4;5;", 5, {1, 2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    TForm form(nullptr);
    auto* b = new TypeParam(&form);
    b->SetColWidths("8;9;10;");
    bool raised = false;
    std::string message;
    try {
      b->SetColWidths(c.Text);
    } catch (const EConvertError& e) {
      raised = true;
      message = e.Message();
    }
    if (c.Bad) {
      EXPECT_TRUE(raised) << c.Text;
      EXPECT_EQ(message, "'" + std::string(c.Bad) + "' ist kein g\xFCltiger Integerwert") << c.Text;
    } else {
      EXPECT_FALSE(raised) << c.Text;
    }
    EXPECT_EQ(b->ColWidthCount(), c.Count) << c.Text;
    EXPECT_EQ(b->ColWidths(), c.ReadBack) << c.Text;
    for (std::size_t i = 0; i < c.Widths.size(); ++i) EXPECT_EQ(b->ColWidth(static_cast<int>(i)), c.Widths[i]) << c.Text;
  }
}

TYPED_TEST(KCtrlsBoxLines, ReKeyingASortedBox) {
  auto* b = this->box;
  b->SetSortItem(3);
  b->SetSorted(true);
  b->AddLine("12;00012;Alpha");
  ASSERT_EQ(b->Items()->Strings(0), "Alpha;12;00012;Alpha;");
  b->SetSortItem(2);
  EXPECT_EQ(b->Items()->Strings(0), "00012;12;00012;Alpha;");
  b->SetSortItem(3);
  EXPECT_EQ(b->Items()->Strings(0), "Alpha;12;00012;Alpha;");
  EXPECT_TRUE(b->Sorted());
}

TYPED_TEST(KCtrlsBoxLines, SortItemOutOfRangeBecomesOne) {
  struct Case {
    int Value;
    int Stored;
  };
  const Case cases[] = {{0, 1}, {12, 1}, {-1, 1}, {11, 11}, {1, 1}, {10, 10}, {256, 1}};
  for (const auto& c : cases) {
    TForm form(nullptr);
    auto* b = new TypeParam(&form);
    b->SetSortItem(5);
    b->SetSorted(true);
    b->AddLine("3;1;2;x;y;z");
    b->SetSortItem(c.Value);
    EXPECT_EQ(b->SortItem(), c.Stored) << c.Value;
    EXPECT_EQ(b->Items()->Strings(0), MakeSortLine(c.Stored - 1, "3;1;2;x;y;z")) << c.Value;
  }
}

TYPED_TEST(KCtrlsBoxLines, ReKeyingSortsAgainAndKeepsObjects) {
  auto* b = this->box;
  TStringList a, z;
  b->SetSortItem(1);
  b->SetSorted(true);
  b->AddLine("1;Zulu", &z);
  b->AddLine("2;Alpha", &a);
  ASSERT_EQ(b->Items()->Strings(0), "1;1;Zulu;");
  b->SetSortItem(2);
  EXPECT_EQ(b->Items()->Strings(0), "Alpha;2;Alpha;");
  EXPECT_EQ(b->Items()->Objects(0), &a);
  EXPECT_EQ(b->Items()->Strings(1), "Zulu;1;Zulu;");
  EXPECT_EQ(b->Items()->Objects(1), &z);
}

TYPED_TEST(KCtrlsBoxLines, ReKeyingFiresNoEventsAndRestoresThem) {
  auto* b = this->box;
  int clicks = 0, changes = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->OnChange = [&](TObject*) { ++changes; };
  b->SetSorted(true);
  b->AddLine("1;b");
  b->AddLine("2;a");
  b->SetSortItem(2);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(changes, 0);
  ASSERT_TRUE(b->OnClick);
  ASSERT_TRUE(b->OnChange);
}

TYPED_TEST(KCtrlsBoxLines, UnsortedBoxKeepsItsKeys) {
  auto* b = this->box;
  b->AddLine("12;00012;Alpha");
  b->SetSortItem(3);
  EXPECT_EQ(b->Items()->Strings(0), "12;12;00012;Alpha;");
  b->AddLine("13;00013;Beta");
  EXPECT_EQ(b->Items()->Strings(1), "Beta;13;00013;Beta;");
}

TYPED_TEST(KCtrlsBoxLines, WritingTheCurrentSortItemChangesNothing) {
  auto* b = this->box;
  b->SetSortItem(2);
  b->SetSorted(true);
  b->AddLine("12;00012;Alpha");
  b->Items()->BeginUpdate();
  b->SetSorted(false);
  b->Items()->SetStrings(0, "hand;made;");  // not what AddLine would store
  b->SetSorted(true);
  b->Items()->EndUpdate();
  b->SetSortItem(2);
  EXPECT_EQ(b->Items()->Strings(0), "hand;made;");
}

TYPED_TEST(KCtrlsBoxLines, LongLinesSurviveReKeying) {
  auto* b = this->box;
  const AnsiString caller = "1;" + AnsiString(400, 'q');
  b->SetSorted(true);
  b->AddLine(caller);
  b->SetSortItem(2);
  EXPECT_EQ(b->Items()->Strings(0), MakeSortLine(1, caller));
}

TEST(KCtrlsLines, ComboNoneLineIsKeyedButNeverReKeyed) {
  TForm form(nullptr);
  auto* b = new TKComboBox(&form);
  b->SetNoneItem("0;(kein);");
  b->SetSortItem(2);
  b->SetSorted(true);
  b->AddLine("5;Berta");
  b->AddLine("7;Anton");
  ASSERT_EQ(b->Items()->Count(), 3);
  EXPECT_EQ(b->Items()->Strings(0), "(kein);0;(kein);;");
  EXPECT_EQ(b->Items()->Strings(1), "Anton;7;Anton;");
  // Re-keying skips index 0, where the none line stood when it was added.
  b->SetSortItem(1);
  EXPECT_EQ(b->Items()->Strings(0), "(kein);0;(kein);;");
  EXPECT_EQ(b->Items()->Strings(1), "5;5;Berta;");
  EXPECT_EQ(b->Items()->Strings(2), "7;7;Anton;");
}

TEST(KCtrlsLines, ListNoneLineHasABlankKey) {
  TForm form(nullptr);
  auto* b = new TKListBox(&form);
  b->SetNoneItem("0;(alle);");
  b->SetSortItem(2);
  b->SetSorted(true);
  b->AddLine("3;Zeta");
  b->AddLine("1;Alpha");
  ASSERT_EQ(b->Items()->Count(), 3);
  EXPECT_EQ(b->Items()->Strings(0), " ;0;(alle);");
  b->SetSortItem(1);
  EXPECT_EQ(b->Items()->Strings(0), " ;0;(alle);");
  EXPECT_EQ(b->Items()->Strings(1), "1;1;Alpha;");
  EXPECT_EQ(b->Items()->Strings(2), "3;3;Zeta;");
}

TEST(KCtrlsLines, NoneLineOnlyIntoAnEmptyBox) {
  TForm form(nullptr);
  auto* b = new TKComboBox(&form);
  b->AddLine("1;a");
  b->SetNoneItem("0;-;");
  b->AddLine("2;b");
  EXPECT_EQ(b->Items()->Count(), 2);
  b->Items()->Clear();
  b->AddLine("3;c");
  EXPECT_EQ(b->Items()->Count(), 2);
  EXPECT_EQ(b->Items()->Strings(0), "0;0;-;;");
}

}  // namespace
