// The KCSV reader on texts in memory: the format, the scan, tables,
// columns, the field walk and the integer reading.
#include "foundation/kcsvFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/codepage.h"
#include "tests/foundation/kcsvFile_support.h"

using zeltest::ExampleText;

namespace {

struct ColumnCase {
  std::string Name, TypeName;
  int Code, Size, Width;
};

void ExpectColumns(TKTable* T, const std::vector<ColumnCase>& Want) {
  ASSERT_EQ(T->FieldCount(), static_cast<Integer>(Want.size()));
  for (std::size_t I = 0; I < Want.size(); ++I) {
    TKField* F = T->Fields(static_cast<Integer>(I));
    SCOPED_TRACE("column " + std::to_string(I));
    EXPECT_EQ(F->Name(), Want[I].Name);
    EXPECT_EQ(F->TypeName(), Want[I].TypeName);
    EXPECT_EQ(F->TypeCode(), Want[I].Code);
    EXPECT_EQ(F->Size(), Want[I].Size);
    EXPECT_EQ(F->Width(), Want[I].Width);
    EXPECT_EQ(F->Column(), static_cast<Integer>(I));
    EXPECT_EQ(F->FieldNo(), static_cast<Integer>(I));
    EXPECT_EQ(F->Table(), T);
  }
}

std::vector<std::string> RowValues(TKTable* T) {
  std::vector<std::string> V;
  for (Integer C = 0; C < T->FieldCount(); ++C) V.push_back(T->Fields(C)->AsString());
  return V;
}

}  // namespace

TEST(KcsvText, WorkedExampleInFull) {
  ASSERT_EQ(ExampleText.size(), 161u);
  TKcsvFile F;
  F.OpenText(ExampleText);
  EXPECT_TRUE(F.Active());
  EXPECT_TRUE(F.Scanned());
  EXPECT_EQ(F.Size(), 161);
  EXPECT_EQ(F.LineCount(), 7);  // the empty line is no line
  ASSERT_EQ(F.Comments()->Count(), 1);
  EXPECT_EQ(F.Comments()->Strings(0), "#demo text");
  EXPECT_EQ(F.CharDirective(), "");
  ASSERT_EQ(F.TableCount(), 2);

  TKTable* One = F.Tables(0);
  EXPECT_EQ(One->Name(), "one");
  EXPECT_EQ(One->Mode(), "DIF");
  EXPECT_EQ(One->Separator(), '^');
  EXPECT_EQ(One->EscapeChar(), '\0');
  ExpectColumns(One, {{"ID", "INT", 3, 4, 10}, {"NAME", "CHAR(20)", 1, 20, 20}, {"NOTE", "", 0, 0, 0}});
  ASSERT_EQ(One->Count(), 2);
  EXPECT_EQ(One->RowOffset(0), 59);
  EXPECT_EQ(One->RowOffset(1), 103);
  EXPECT_EQ(One->LongestLine(), 43);
  One->SetRecNo(0);
  EXPECT_EQ(RowValues(One), (std::vector<std::string>{"17", "Stoff ^ Garn", "first line\r\nsecond line"}));
  EXPECT_EQ(One->Fields(0)->AsInteger(), 17);
  One->SetRecNo(1);
  EXPECT_EQ(RowValues(One), (std::vector<std::string>{"18", "", "x\\y"}));

  TKTable* Two = F.Tables(1);
  EXPECT_EQ(Two->Name(), "two");
  EXPECT_EQ(Two->Mode(), "");
  ExpectColumns(Two, {{"CODE", "STR", 1, 255, 255}, {"N", "SHORT", 2, 2, 6}});
  ASSERT_EQ(Two->Count(), 1);
  EXPECT_EQ(Two->RowOffset(0), 153);
  EXPECT_EQ(Two->LongestLine(), 26);
  Two->SetRecNo(0);
  EXPECT_EQ(RowValues(Two), (std::vector<std::string>{"A1", "5"}));
  EXPECT_EQ(Two->Fields(1)->AsInteger(), 5);

  // The scan ends on the first table.
  EXPECT_EQ(F.CurrentTable(), One);
}

TEST(KcsvText, EmptyAndBlankTextsYieldNothing) {
  for (const std::string& Text : {std::string(), std::string(" \r\n\t \n\n  "), std::string("\0\0 ", 3)}) {
    TKcsvFile F;
    F.OpenText(Text);
    EXPECT_TRUE(F.Active());
    EXPECT_TRUE(F.Scanned());
    EXPECT_EQ(F.TableCount(), 0);
    EXPECT_EQ(F.Comments()->Count(), 0);
    EXPECT_EQ(F.LineCount(), 0);
    EXPECT_EQ(F.CurrentTable(), nullptr);
    EXPECT_EQ(F.TableByName("one"), nullptr);
  }
}

// ---------------------------------------------------------------- headers

struct HeaderCase {
  std::string Header;
  std::string Name, Mode;
  std::vector<ColumnCase> Columns;
};
void PrintTo(const HeaderCase& Case, std::ostream* Out) { *Out << zeltest::Printable(Case.Header); }

class KcsvHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(KcsvHeader, NameModeAndColumns) {
  const HeaderCase& C = GetParam();
  TKcsvFile F;
  F.OpenText(C.Header + "\r\n");
  ASSERT_EQ(F.TableCount(), 1);
  TKTable* T = F.Tables(0);
  EXPECT_EQ(T->Name(), C.Name);
  EXPECT_EQ(T->Mode(), C.Mode);
  EXPECT_EQ(T->LongestLine(), static_cast<Integer>(C.Header.size()));
  ExpectColumns(T, C.Columns);
}

const std::string Name70(70, 'n');
const std::string Col70(70, 'c');

INSTANTIATE_TEST_SUITE_P(
    Cases, KcsvHeader,
    ::testing::Values(
        HeaderCase{"@t,all,x", "t", "", {{"ALL", "", 0, 0, 0}, {"X", "", 0, 0, 0}}},
        HeaderCase{"@t,DIFF,x", "t", "DIF", {{"X", "", 0, 0, 0}}},
        HeaderCase{"@t,DIF,x", "t", "DIF", {{"X", "", 0, 0, 0}}},
        HeaderCase{"@t,ALL,x", "t", "ALL", {{"X", "", 0, 0, 0}}},
        HeaderCase{"@t,DEL,F=x", "t", "DEL", {{"X", "", 0, 0, 0}}},
        HeaderCase{"@t,F=x", "t", "", {{"F=X", "", 0, 0, 0}}},
        HeaderCase{"@t,ALL,F=" + Col70, "t", "ALL", {{std::string(64, 'C'), "", 0, 0, 0}}},
        HeaderCase{"@t,ALL,x,F=y", "t", "ALL", {{"X", "", 0, 0, 0}, {"F=Y", "", 0, 0, 0}}},
        HeaderCase{"@t,", "t", "", {{"", "", 0, 0, 0}}},
        HeaderCase{"@t,,a", "t", "", {{"", "", 0, 0, 0}, {"A", "", 0, 0, 0}}},
        HeaderCase{"@t,a,,b", "t", "", {{"A", "", 0, 0, 0}, {"", "", 0, 0, 0}, {"B", "", 0, 0, 0}}},
        HeaderCase{"@t,a, ", "t", "", {{"A", "", 0, 0, 0}}},
        HeaderCase{"@" + Name70 + ",x", std::string(64, 'n'), "", {{"X", "", 0, 0, 0}}},
        HeaderCase{"@Art,mf name[STR]", "Art", "", {{"MF", "", 0, 0, 0}, {"NAME", "STR", 1, 255, 255}}},
        HeaderCase{"@t , a ,b", "t", "", {{"A", "", 0, 0, 0}, {"B", "", 0, 0, 0}}},
        HeaderCase{"@t,\"a b[str]\",c", "t", "", {{"A B", "STR", 1, 255, 255}, {"C", "", 0, 0, 0}}},
        HeaderCase{"@t,\"a\"\"b\"", "t", "", {{"A\"B", "", 0, 0, 0}}},
        HeaderCase{"@t,\"ab\"cd", "t", "", {{"AB", "", 0, 0, 0}, {"CD", "", 0, 0, 0}}},
        HeaderCase{"@t,\"abc", "t", "", {{"AB", "", 0, 0, 0}}},
        HeaderCase{"@t,\"", "t", "", {{"", "", 0, 0, 0}}},
        HeaderCase{"@t,x[STR", "t", "", {{"X", "STR", 1, 255, 255}}},
        HeaderCase{"@t,x[int]y,z[]", "t", "", {{"X", "INT", 3, 4, 10}, {"Z", "", 0, 0, 0}}},
        HeaderCase{"@t,x[a[b]", "t", "", {{"X", "A[B", 0, 0, 0}}},
        HeaderCase{"@t,\xE4x[str]", "t", "", {{"\xE4X", "STR", 1, 255, 255}}},
        HeaderCase{"@t,x[" + std::string(300, 's') + "]", "t", "", {{"X", std::string(250, 'S'), 0, 0, 0}}}));

struct TypeCase {
  std::string Type, Stored;
  int Code, Size, Width;
};
void PrintTo(const TypeCase& Case, std::ostream* Out) { *Out << zeltest::Printable(Case.Type); }

class KcsvType : public ::testing::TestWithParam<TypeCase> {};

TEST_P(KcsvType, CodeSizeAndWidth) {
  const TypeCase& C = GetParam();
  TKcsvFile F;
  F.OpenText("@t,c[" + C.Type + "]\n");
  ASSERT_EQ(F.TableCount(), 1);
  ExpectColumns(F.Tables(0), {{"C", C.Stored, C.Code, C.Size, C.Width}});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KcsvType,
    ::testing::Values(TypeCase{"LARGEINT", "LARGEINT", 25, 8, 20}, TypeCase{"integer", "INT", 3, 4, 10},
                      TypeCase{"INT", "INT", 3, 4, 10}, TypeCase{"SMALLINT", "SHORT", 2, 2, 6},
                      TypeCase{"short", "SHORT", 2, 2, 6}, TypeCase{"WORD", "WORD", 4, 2, 5},
                      TypeCase{"EXTENDED", "FLOAT", 6, 10, 15}, TypeCase{"Float", "FLOAT", 6, 10, 15},
                      TypeCase{"DATETIME", "DATETIME", 11, 8, 17}, TypeCase{"TIMESTAMP", "TIMESTAMP", 11, 8, 17},
                      TypeCase{"DATE", "DATE", 9, 8, 10}, TypeCase{"TIME", "TIME", 10, 8, 8},
                      TypeCase{"BLOB", "BLOB", 15, 0, 5}, TypeCase{"string", "STRING", 1, 255, 255},
                      TypeCase{"STR(20)", "STR(20)", 1, 255, 255}, TypeCase{"STR", "STR", 1, 255, 255},
                      TypeCase{"char(8)", "CHAR(8)", 1, 8, 8}, TypeCase{"CHAR(1)2", "CHAR(1)2", 1, 12, 12},
                      TypeCase{"CHAR(", "CHAR(", 1, 0, 0}, TypeCase{"CHAR(4294967297)", "CHAR(4294967297)", 1, 1, 1},
                      TypeCase{"CHAR", "CHAR", 0, 0, 0}, TypeCase{"BOOL", "BOOL", 2, 2, 1},
                      TypeCase{"BOOLEAN", "BOOLEAN", 0, 0, 0},
                      TypeCase{"MONEY", "MONEY", 0, 0, 0}, TypeCase{"", "", 0, 0, 0},
                      TypeCase{"ST", "ST", 0, 0, 0}));

TEST(KcsvField, SetFieldTypeKeepsWidthForUnknownTypes) {
  TKTable T(nullptr, "t");
  TKField* F = T.AddField("c", "INT");
  F->SetFieldType("nothing");
  EXPECT_EQ(F->TypeName(), "NOTHING");
  EXPECT_EQ(F->TypeCode(), 0);
  EXPECT_EQ(F->Size(), 0);
  EXPECT_EQ(F->Width(), 10);  // only the matching types set the width
  EXPECT_EQ(TKField::DigitsValue("a1b2c3"), 123);
  EXPECT_EQ(TKField::DigitsValue("4294967296"), 0);  // 32 bits
  EXPECT_EQ(TKField::DigitsValue(""), 0);
}

// ---------------------------------------------------------------- lines and directives

TEST(KcsvText, DirectiveSetsEscapeAndSeparatorForLaterTables) {
  TKcsvFile F;
  F.OpenText("@before,a,b\na^b\n#CHR=~;\n@after,a,b,c\na;b~;c;d\n");
  ASSERT_EQ(F.TableCount(), 2);
  EXPECT_EQ(F.Tables(0)->Separator(), '^');
  EXPECT_EQ(F.Tables(0)->EscapeChar(), '\0');
  TKTable* After = F.Tables(1);
  EXPECT_EQ(After->Separator(), ';');
  EXPECT_EQ(After->EscapeChar(), '~');
  After->SetRecNo(0);
  EXPECT_EQ(RowValues(After), (std::vector<std::string>{"a", "b;c", "d"}));
  F.Tables(0)->SetRecNo(0);
  EXPECT_EQ(RowValues(F.Tables(0)), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(F.CharDirective(), "#CHR=~;");
  EXPECT_EQ(F.Separator(), ';');
  EXPECT_EQ(F.EscapeChar(), '~');
  EXPECT_EQ(F.Comments()->Count(), 0);
}

struct DirectiveCase {
  std::string Line;
  char Escape, Separator;
  std::string Directive;
  bool Comment;
};
void PrintTo(const DirectiveCase& Case, std::ostream* Out) { *Out << zeltest::Printable(Case.Line); }

class KcsvDirective : public ::testing::TestWithParam<DirectiveCase> {};

TEST_P(KcsvDirective, Effect) {
  const DirectiveCase& C = GetParam();
  TKcsvFile F;
  F.OpenText(C.Line + "\r\n@t,a\r\n");
  EXPECT_EQ(F.EscapeChar(), C.Escape);
  EXPECT_EQ(F.Separator(), C.Separator);
  EXPECT_EQ(F.CharDirective(), C.Directive);
  EXPECT_EQ(F.Comments()->Count(), C.Comment ? 1 : 0);
  if (C.Comment) {
    EXPECT_EQ(F.Comments()->Strings(0), C.Line);
  }
  ASSERT_EQ(F.TableCount(), 1);
  EXPECT_EQ(F.Tables(0)->Separator(), C.Separator);
  EXPECT_EQ(F.Tables(0)->EscapeChar(), C.Escape);
}

INSTANTIATE_TEST_SUITE_P(Cases, KcsvDirective,
                         ::testing::Values(DirectiveCase{"#CHR=~;", '~', ';', "#CHR=~;", false},
                                           DirectiveCase{"#chr=|,", '|', ',', "#CHR=|,", false},
                                           DirectiveCase{"#Chr=~;xyz", '~', ';', "#CHR=~;", false},
                                           DirectiveCase{"#CHR=", '\0', '^', "#CHR=", false},
                                           DirectiveCase{"#CHR=~", '~', '^', "#CHR=~", false},
                                           DirectiveCase{"#CHR= ;", ' ', ';', "#CHR= ;", false},
                                           DirectiveCase{"#CHR", '\0', '^', "", true},
                                           DirectiveCase{"#CHR:~;", '\0', '^', "", true},
                                           DirectiveCase{"# CHR=~;", '\0', '^', "", true},
                                           DirectiveCase{"#", '\0', '^', "", true}));

TEST(KcsvText, DirectiveHoldsForLaterTextsOfTheSameReader) {
  TKcsvFile F;
  F.OpenText("#CHR=~;\n");
  F.OpenText("@t,a,b\nx;y~;z\n");
  TKTable* T = F.TableByName("t");
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(RowValues(T), (std::vector<std::string>{"x", "y;z"}));
  F.Close();
  EXPECT_EQ(F.Separator(), ';');
  EXPECT_EQ(F.CharDirective(), "#CHR=~;");
}

TEST(KcsvText, LineKinds) {
  TKcsvFile F;
  F.OpenText(
      "orphan^row\n"            // before any header: ignored
      "#c1\n"
      "@t,a,b\n"
      ";CHECKSUM=\n"            // skipped, whatever follows
      ";CHECKSUM=abc\n"
      ";checksum=1^2\n"         // lower case: a row
      ";CHECKSUM\n"             // too short: a row
      "\t \x01 x^y   \n"        // leading controls skipped, trailing blanks kept
      "#c2 \n"
      "last^row");              // no line end
  ASSERT_EQ(F.TableCount(), 1);
  TKTable* T = F.Tables(0);
  ASSERT_EQ(T->Count(), 4);
  std::vector<std::vector<std::string>> Rows;
  for (T->First(); !T->Eof(); T->Next()) Rows.push_back(RowValues(T));
  EXPECT_EQ(Rows, (std::vector<std::vector<std::string>>{
                      {";checksum=1", "2"}, {";CHECKSUM", ""}, {"x", "y"}, {"last", "row"}}));
  EXPECT_EQ(T->LongestLine(), 14);  // ";checksum=1^2" measures 14, "x^y   " 7
  ASSERT_EQ(F.Comments()->Count(), 2);
  EXPECT_EQ(F.Comments()->Strings(0), "#c1");
  EXPECT_EQ(F.Comments()->Strings(1), "#c2 ");
  EXPECT_EQ(F.LineCount(), 10);
}

TEST(KcsvText, LastRowWithoutLineEndEndsWithTheText) {
  TKcsvFile F;
  F.OpenText(std::string("@t,a,b\r\n1^abc"));
  TKTable* T = F.TableByName("T");
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->Fields(1)->AsString(), "abc");
  // A backslash as the very last byte: the walk stops with the text.
  F.OpenText(std::string("@t,a,b\r\n1^abc\\"));
  EXPECT_EQ(F.TableByName("t")->Fields(1)->AsString(), "abc");
  F.OpenText(std::string("@t,a,b\r\n1^abc\\\r\n"));
  EXPECT_EQ(F.TableByName("t")->Fields(1)->AsString(), "abc\\");
}

// ---------------------------------------------------------------- the field walk

struct WalkCase {
  std::string Directive;  // "" for the default characters
  std::string Row;
  std::vector<std::string> Fields;
};
void PrintTo(const WalkCase& Case, std::ostream* Out) { *Out << zeltest::Printable(Case.Directive) << " " << zeltest::Printable(Case.Row); }

class KcsvWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(KcsvWalk, Fields) {
  const WalkCase& C = GetParam();
  std::string Header = "@t";
  for (std::size_t I = 0; I < C.Fields.size(); ++I) Header += ",f" + std::to_string(I);
  TKcsvFile F;
  F.OpenText((C.Directive.empty() ? "" : C.Directive + "\r\n") + Header + "\r\n" + C.Row + "\r\n");
  TKTable* T = F.TableByName("t");
  ASSERT_NE(T, nullptr);
  ASSERT_EQ(T->Count(), 1);
  EXPECT_EQ(RowValues(T), C.Fields);
  for (std::size_t I = 0; I < C.Fields.size(); ++I)
    EXPECT_EQ(T->Fields(static_cast<Integer>(I))->AsTrimmedString(), C.Fields[I]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KcsvWalk,
    ::testing::Values(
        WalkCase{"", "a\\^b^c", {"a^b", "c"}},
        WalkCase{"", "x\\ny^z", {"x\r\ny", "z"}},
        // in field 1 the first backslash stays and the second escapes the
        // separator; the walk to field 2 steps over the byte after each one
        WalkCase{"", "x\\y^\\\\^z", {"x\\y", "\\^z", "z"}},
        WalkCase{"", "\\^^b", {"^", "b"}},
        WalkCase{"", "a^b", {"a", "b", "", ""}},
        WalkCase{"", "^^", {"", "", ""}},
        WalkCase{"", " a ^  b c  ", {"a", "b c"}},
        WalkCase{"", "\xE4\xF6\xFC^\xDF", {"\xE4\xF6\xFC", "\xDF"}},
        WalkCase{"", "a^b^c^d^e", {"a", "b"}},
        WalkCase{"#CHR=", "a\\^b^c", {"a^b", "c"}},
        WalkCase{"#CHR=~;", "a;b~;c;d", {"a", "b;c", "d"}},
        WalkCase{"#CHR=~;", "a~;b;c", {"a;b", "c"}},
        WalkCase{"#CHR=~;", "a~nb;c~~d;~\\e", {"a\r\nb", "c~d", "\\e"}},
        WalkCase{"#CHR=~;", "a~^;b", {"a^", "b"}},
        WalkCase{"#CHR=~;", "a^b;c", {"a^b", "c"}},
        // the byte after a backslash is stepped over in the fields before
        WalkCase{"#CHR=~;", "a\\;b;c", {"a\\", "c"}},
        WalkCase{"#CHR=~;", "\\;x;y", {"\\", "y"}},
        // the separator wins over the escape character
        WalkCase{"#CHR=^^", "a^b", {"a", "b"}},
        // with a backslash as escape character every backslash escapes
        WalkCase{"#CHR=\\;", "a\\\\b;c\\;d;\\n", {"a\\b", "c;d", ""}},
        WalkCase{"#CHR=\\;", "x\\ny;z", {"x\r\ny", "z"}}));

TEST(KcsvWalk, FieldTextBeforeTrimAndOutOfRangeColumns) {
  TKcsvFile F;
  F.OpenText("@t,a,b\n  x ^ y \n");
  TKTable* T = F.Tables(0);
  EXPECT_EQ(T->GetFieldText(0), "x ");  // the row starts at its first byte above the blank
  EXPECT_EQ(T->GetFieldText(1), " y ");
  EXPECT_EQ(T->GetFieldText(2), "");
  EXPECT_EQ(T->GetFieldText(-1), "");
}

// ---------------------------------------------------------------- integers

struct IntCase {
  std::string Text;
  Integer Value;
};
void PrintTo(const IntCase& Case, std::ostream* Out) { *Out << zeltest::Printable(Case.Text); }

class KcsvInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(KcsvInteger, Value) {
  TKValue V;
  V.Text = GetParam().Text;
  EXPECT_EQ(V.AsInteger(), GetParam().Value) << "'" << GetParam().Text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KcsvInteger,
    ::testing::Values(IntCase{"12", 12}, IntCase{"  12", 12}, IntCase{"-7", -7}, IntCase{"+7", 7},
                      IntCase{"$1F", 31}, IntCase{"0x1F", 31}, IntCase{"0X1f", 31}, IntCase{"x1F", 31},
                      IntCase{"X10", 16}, IntCase{"-$10", -16}, IntCase{"$FFFFFFFF", -1},
                      IntCase{"$80000000", static_cast<Integer>(0x80000000u)}, IntCase{"$100000000", 0},
                      IntCase{"12a", 0}, IntCase{"1.5", 0}, IntCase{"", 0}, IntCase{"-", 0}, IntCase{"$", 0},
                      IntCase{"0x", 0}, IntCase{"$G", 0}, IntCase{"2147483648", 0},
                      IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", -2147483647 - 1},
                      IntCase{"-2147483649", 0}, IntCase{"99999999999999999999", 0}, IntCase{"0", 0},
                      IntCase{"007", 7}, IntCase{"12 ", 0}, IntCase{"--1", 0}, IntCase{" ", 0}));

TEST(KcsvInteger, FieldsReadTrimmedValues) {
  TKcsvFile F;
  F.OpenText("@t,a,b,c,d\n 12 ^12a^^$1F\n");
  TKTable* T = F.Tables(0);
  EXPECT_EQ(T->Fields(0)->AsInteger(), 12);
  EXPECT_EQ(T->Fields(1)->AsInteger(), 0);
  EXPECT_EQ(T->Fields(2)->AsInteger(), 0);
  EXPECT_EQ(T->Fields(3)->AsInteger(), 31);
  EXPECT_EQ(T->Fields(3)->Value()->Text, "$1F");
}

// ---------------------------------------------------------------- tables

TEST(KcsvTable, SelectAndFindTables) {
  TKcsvFile F;
  F.OpenText("@art,a\n1\n2\n3\n@stm,b\n@art,c\n9\n");
  ASSERT_EQ(F.TableCount(), 3);
  EXPECT_EQ(F.IndexOfTable("ART"), 0);
  EXPECT_EQ(F.IndexOfTable("Stm"), 1);
  EXPECT_EQ(F.IndexOfTable("srm"), -1);

  TKTable* Art = F.TableByName("ART");
  ASSERT_EQ(Art, F.Tables(0));  // the first of two
  EXPECT_EQ(F.CurrentTable(), Art);
  EXPECT_EQ(Art->RecNo(), 0);
  Art->SetRecNo(2);
  EXPECT_EQ(F.TableByName("art"), Art);
  EXPECT_EQ(Art->RecNo(), 0);  // back on the first row

  EXPECT_EQ(F.TableByName("nope"), nullptr);
  EXPECT_EQ(F.CurrentTable(), nullptr);

  EXPECT_EQ(F.SelectTable(-5), F.Tables(0));
  EXPECT_EQ(F.SelectTable(2), F.Tables(2));
  EXPECT_EQ(F.SelectTable(3), nullptr);
  EXPECT_EQ(F.CurrentTable(), nullptr);
}

TEST(KcsvTable, Navigation) {
  TKcsvFile F;
  F.OpenText("@t,a\nr0\nr1\n@e,a\n");
  TKTable* T = F.Tables(0);
  std::vector<std::string> Seen;
  for (T->First(); !T->Eof(); T->Next()) Seen.push_back(T->Fields(0)->AsString());
  EXPECT_EQ(Seen, (std::vector<std::string>{"r0", "r1"}));
  EXPECT_EQ(T->RecNo(), 2);

  T->SetRecNo(1);
  EXPECT_FALSE(T->Next());  // the last row
  EXPECT_EQ(T->RecNo(), 2);
  EXPECT_TRUE(T->Eof());
  EXPECT_FALSE(T->Next());  // at Eof nothing changes
  EXPECT_EQ(T->RecNo(), 2);
  EXPECT_TRUE(T->First());
  EXPECT_EQ(T->RecNo(), 0);
  EXPECT_TRUE(T->Next());
  EXPECT_EQ(T->RecNo(), 1);

  TKTable* E = F.Tables(1);
  E->SetRecNo(3);
  EXPECT_FALSE(E->First());
  EXPECT_EQ(E->RecNo(), 3);
  E->SetRecNo(0);
  EXPECT_TRUE(E->Eof());
}

TEST(KcsvTable, ReadingOutsideTheRowsRaisesTheListIndexError) {
  TKcsvFile F;
  F.OpenText("@t,a\nr0\nr1\n@e,a\n");
  struct Case {
    TKTable* Table;
    Integer Row;
  };
  for (const Case& C : {Case{F.Tables(0), 2}, Case{F.Tables(0), -1}, Case{F.Tables(1), 0}}) {
    C.Table->SetRecNo(C.Row);
    const std::string Message = "Listenindex \xFC" "berschreitet das Maximum (" + std::to_string(C.Row) + ")";
    for (int Kind = 0; Kind < 4; ++Kind) {
      try {
        TKField* Fd = C.Table->Fields(0);
        if (Kind == 0) Fd->AsString();
        if (Kind == 1) Fd->AsInteger();
        if (Kind == 2) Fd->AsTrimmedString();
        if (Kind == 3) C.Table->GetFieldText(0);
        ADD_FAILURE() << "no exception for row " << C.Row << " kind " << Kind;
      } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), Message);
      }
    }
  }
}

TEST(KcsvTable, ColumnsByName) {
  TKcsvFile F;
  F.OpenText("@t,id,mf_name,Zeta,alpha\n1^2^3^4\n");
  TKTable* T = F.Tables(0);
  TKField* A = T->FieldByName("MF_NAME");
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(A, T->FieldByName("mf_name"));
  EXPECT_EQ(A, T->FieldByName("Mf_Name"));
  EXPECT_EQ(A->Name(), "MF_NAME");
  EXPECT_EQ(A->AsString(), "2");
  EXPECT_EQ(T->FieldIndex("id"), 0);
  EXPECT_EQ(T->FieldIndex("ZETA"), 2);
  EXPECT_EQ(T->FieldIndex("Alpha"), 3);
  EXPECT_EQ(T->FieldIndex("missing"), -1);
  EXPECT_EQ(T->FieldByName("missing"), nullptr);
  EXPECT_EQ(T->FieldByName(""), nullptr);
}

TEST(KcsvTable, OnGetTextReplacesTheSource) {
  TKcsvFile F;
  F.OpenText("@t,a,b\nx^y\n@e,a\n");
  TKTable* T = F.Tables(0);
  TKField* B = T->Fields(1);
  std::vector<std::pair<TKTable*, Integer>> Calls;
  B->OnGetText = [&](TKTable* Sender, Integer RecNo, AnsiString& Text) {
    EXPECT_TRUE(Text.empty());
    Calls.emplace_back(Sender, RecNo);
    Text = "  supplied 42\r\n";
  };
  EXPECT_EQ(B->AsString(), "supplied 42");
  EXPECT_EQ(T->Fields(0)->AsString(), "x");
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0], std::make_pair(T, Integer{0}));
  // Without rows the source is never touched.
  TKTable* E = F.Tables(1);
  E->Fields(0)->OnGetText = [](TKTable*, Integer, AnsiString& Text) { Text = "7"; };
  EXPECT_EQ(E->Fields(0)->AsInteger(), 7);
}

TEST(KcsvTable, StandaloneTableAndReset) {
  TKTable T(nullptr, "solo");
  EXPECT_EQ(T.Name(), "solo");
  EXPECT_EQ(T.Separator(), '^');
  EXPECT_EQ(T.EscapeChar(), '\0');
  EXPECT_EQ(T.DecimalChar(), DecimalSeparator);
  EXPECT_FALSE(T.OwnsObjects());
  T.AddField("x", "int");
  T.AddField("y", "");
  T.AddRow(0);
  EXPECT_EQ(T.Fields(0)->AsString(), "");  // no row reader: nothing to read
  T.SetMode("ALL");
  T.SetRecNo(1);
  T.Reset();
  EXPECT_EQ(T.Name(), "");
  EXPECT_EQ(T.Mode(), "");
  EXPECT_EQ(T.FieldCount(), 0);
  EXPECT_EQ(T.Count(), 0);
  EXPECT_EQ(T.RecNo(), 0);
  EXPECT_EQ(T.FieldByName("x"), nullptr);
}

// ---------------------------------------------------------------- the reader

TEST(KcsvReader, CreatedState) {
  TKcsvFile F;
  EXPECT_FALSE(F.Active());
  EXPECT_FALSE(F.Scanned());
  EXPECT_EQ(F.TableCount(), 0);
  EXPECT_EQ(F.Separator(), '^');
  EXPECT_EQ(F.EscapeChar(), '\0');
  EXPECT_EQ(F.DecimalChar(), DecimalSeparator);
  EXPECT_EQ(F.Size(), 0);
  EXPECT_EQ(F.FileName(), "");
  F.Close();  // nothing open: nothing happens
  EXPECT_FALSE(F.Active());
}

TEST(KcsvReader, DecimalCharIsTakenAtCreation) {
  const char Saved = DecimalSeparator;
  DecimalSeparator = ',';
  TKcsvFile F;
  DecimalSeparator = '.';
  F.OpenText("@t,a\n");
  EXPECT_EQ(F.DecimalChar(), ',');
  EXPECT_EQ(F.Tables(0)->DecimalChar(), ',');
  DecimalSeparator = Saved;
}

TEST(KcsvReader, SecondTextReplacesTheFirst) {
  TKcsvFile F;
  F.OpenText(ExampleText);
  F.OpenText("@other,z\nq\n");
  ASSERT_EQ(F.TableCount(), 1);
  EXPECT_EQ(F.TableByName("one"), nullptr);
  EXPECT_EQ(F.Comments()->Count(), 0);
  EXPECT_EQ(F.TableByName("other")->Fields(0)->AsString(), "q");
  EXPECT_EQ(F.FileName(), "");
  EXPECT_EQ(F.Size(), 11);
}

TEST(KcsvReader, Progress) {
  using Call = std::tuple<std::string, Integer, bool>;
  struct Case {
    std::string Text;
    std::vector<Call> Calls;
  };
  const std::vector<Case> Cases = {
      {"x\n@a,c\n1\n2\n@b,c\n3\n", {{"a", 1, false}, {"a", 2, false}, {"b", 1, false}, {"b", 1, true}}},
      {"@a,c\n1\n@b,c\n", {{"a", 1, false}, {"b", 0, true}}},
      {"#only a comment\norphan\n", {}},
      {"", {}}};
  for (const Case& C : Cases) {
    std::vector<Call> Got;
    TKcsvFile F;
    F.OnProgress = [&](const AnsiString& Name, Integer Rows, bool Done) { Got.emplace_back(Name, Rows, Done); };
    F.OpenText(C.Text);
    EXPECT_EQ(Got, C.Calls) << C.Text;
  }
}

TEST(KcsvReader, HeaderWithoutColumnsRaisesAndLeavesThePartialReading) {
  struct Case {
    std::string Text;
    std::string Mode;
  };
  for (const Case& C : {Case{"#c\n@good,x\n1\n#CHR=~;\n@t\n@later,y\n", ""},
                        Case{"#c\n@good,x\n1\n#CHR=~;\n@t,ALL\n@later,y\n", "ALL"},
                        Case{"#c\n@good,x\n1\n#CHR=~;\n@t , DIFF \n", "DIF"}}) {
    TKcsvFile F;
    try {
      F.OpenText(C.Text);
      ADD_FAILURE() << "no exception";
    } catch (const EStringListError& E) {
      EXPECT_EQ(E.Message(), "Listenindex \xFC" "berschreitet das Maximum (0)");
    }
    EXPECT_TRUE(F.Active());
    EXPECT_FALSE(F.Scanned());
    ASSERT_EQ(F.TableCount(), 2);
    EXPECT_EQ(F.Tables(0)->Name(), "good");
    EXPECT_EQ(F.Tables(0)->Count(), 1);
    EXPECT_EQ(F.Tables(0)->Fields(0)->AsString(), "1");
    TKTable* T = F.Tables(1);
    EXPECT_EQ(T->Name(), "t");
    EXPECT_EQ(T->Mode(), C.Mode);
    EXPECT_EQ(T->FieldCount(), 0);
    EXPECT_EQ(T->EscapeChar(), '~');
    EXPECT_EQ(F.CurrentTable(), T);
    EXPECT_EQ(F.Comments()->Count(), 1);
    EXPECT_EQ(F.CharDirective(), "#CHR=~;");

    // The reader goes on normally with the next text.
    F.OpenText("@next,a,b\n1;2\n");
    EXPECT_TRUE(F.Scanned());
    ASSERT_EQ(F.TableCount(), 1);
    EXPECT_EQ(RowValues(F.Tables(0)), (std::vector<std::string>{"1", "2"}));
  }
  TKcsvFile F;
  EXPECT_THROW(F.OpenText("@"), EStringListError);
  EXPECT_EQ(F.Tables(0)->Name(), "");
}

TEST(KcsvReader, TraceLinesOfTexts) {
  static std::vector<std::string>* Lines;
  std::vector<std::string> Got;
  Lines = &Got;
  CsvLogProc = [](const AnsiString& Line) { Lines->push_back(Line); };
  {
    TKcsvFile F;
    F.OpenText("@t,a\n");
    F.OpenText("");
  }
  CsvLogProc = nullptr;
  EXPECT_EQ(Got, (std::vector<std::string>{"TKcsvFile.CheckData_S", "TKcsvFile.CheckData_E",
                                           "TKcsvFile.Close_S: '')", "TKcsvFile.Close_E",
                                           "TKcsvFile.CheckData_S", "TKcsvFile.CheckData_E",
                                           "TKcsvFile.Close_S: '')", "TKcsvFile.Close_E"}));
  CsvLog("dropped without a hook");
}

// ---------------------------------------------------------------- long lines

TEST(KcsvLongLines, LinesAndFieldsBeyond4095BytesAreReadWhole) {
  std::string Header = "@wide";
  for (int I = 0; I < 450; ++I) Header += ",column" + std::to_string(I);
  ASSERT_GT(Header.size(), 4095u);
  const std::string Comment = "#" + std::string(5000, 'c');
  std::string Big;
  for (int I = 0; I < 9000; ++I) Big += static_cast<char>('a' + I % 26);
  std::string Escaped;
  for (int I = 0; I < 3000; ++I) Escaped += "\\n";
  std::string Row = Big + "^" + Escaped + "^end";
  for (int I = 3; I < 450; ++I) Row += "^" + std::to_string(I);

  TKcsvFile F;
  F.OpenText(Comment + "\r\n" + Header + "\r\n" + Row + "\r\nshort\r\n");
  ASSERT_EQ(F.Comments()->Count(), 1);
  EXPECT_EQ(F.Comments()->Strings(0), Comment);
  TKTable* T = F.TableByName("wide");
  ASSERT_NE(T, nullptr);
  ASSERT_EQ(T->FieldCount(), 450);
  EXPECT_EQ(T->Fields(449)->Name(), "COLUMN449");
  EXPECT_EQ(T->LongestLine(), static_cast<Integer>(Row.size() + 1));
  EXPECT_EQ(T->Fields(0)->AsString(), Big);
  std::string CrLf;
  for (int I = 0; I < 3000; ++I) CrLf += "\r\n";
  EXPECT_EQ(T->Fields(1)->AsString(), "");  // nothing but line ends: trimmed away
  EXPECT_EQ(T->GetFieldText(1), CrLf);
  EXPECT_EQ(T->FieldByName("column2")->AsString(), "end");
  EXPECT_EQ(T->FieldByName("column449")->AsInteger(), 449);
  T->SetRecNo(1);
  EXPECT_EQ(T->Fields(0)->AsString(), "short");
  EXPECT_EQ(T->Fields(1)->AsString(), "");
}

TEST(KcsvReader, RepeatedScansDoNotPileUp) {
  TKcsvFile F;
  F.CheckData();  // no source: nothing to read
  EXPECT_TRUE(F.Scanned());
  F.OpenText("@t,a\n1\n");
  ASSERT_EQ(F.TableCount(), 1);
  EXPECT_EQ(F.Tables(0)->Count(), 1);
  F.CheckData();  // scanned already: nothing happens
  EXPECT_EQ(F.TableCount(), 1);

  EXPECT_THROW(F.OpenText("#c\n@a,x\n1\n@t\n"), EStringListError);
  EXPECT_THROW(F.CheckData(), EStringListError);  // the scan starts again from the top
  EXPECT_EQ(F.TableCount(), 2);
  EXPECT_EQ(F.Tables(0)->Count(), 1);
  EXPECT_EQ(F.Comments()->Count(), 1);
}

// ---------------------------------------------------------------- field walk against its rule

namespace {

// Field N of a row by the walk rule itself: from the row's first byte,
// separators counted, escapes applied in the wanted field, then trimmed.
std::string WalkRule(const std::string& Row, int N, char Sep, char Esc) {
  std::string Out;
  int K = 0;
  for (std::size_t I = 0; K <= N && I < Row.size(); ++I) {
    const char C = Row[I];
    if (C == Sep) {
      ++K;
    } else if (C == '\n' || C == '\r' || C == '\0') {
      break;
    } else if (C == Esc) {
      if (++I >= Row.size()) break;
      if (K == N) Out += Row[I] == 'n' ? std::string("\r\n") : std::string(1, Row[I]);
    } else if (C == '\\') {
      if (++I >= Row.size()) break;
      if (K == N) {
        if (Row[I] == 'n') {
          Out += "\r\n";
        } else if (Row[I] == '^') {
          Out += '^';
        } else {
          --I;
          Out += '\\';
        }
      }
    } else if (K == N && static_cast<unsigned char>(C) >= 0x20) {
      Out += C;
    }
  }
  Out.resize(std::min(Out.size(), Out.find('\0')));
  const auto Blank = [](char C) { return static_cast<unsigned char>(C) <= 0x20; };
  while (!Out.empty() && Blank(Out.back())) Out.pop_back();
  std::size_t B = 0;
  while (B < Out.size() && Blank(Out[B])) ++B;
  return Out.substr(B);
}

}  // namespace

// Random rows of separators, escapes, backslashes, control bytes and text,
// their fields read in every order and the rows in turn: each value is the
// one the walk rule gives.  All rows are delivered in one buffer, as the
// file-stream reader does.
TEST(KcsvWalk, AnyReadingOrderGivesTheValuesOfTheWalkRule) {
  struct Chars {
    const char* Directive;
    char Sep, Esc;
  };
  for (const Chars& Ch : {Chars{"", '^', '\0'}, Chars{"#CHR=~;", ';', '~'}, Chars{"#CHR=\\;", ';', '\\'}}) {
    SCOPED_TRACE(Ch.Directive);
    TKcsvFile Owner;
    Owner.OpenText(std::string(Ch.Directive) + "\r\n");
    TKTable T(&Owner, "t");
    constexpr int Columns = 6;
    for (int C = 0; C < Columns; ++C) T.AddField("f" + std::to_string(C), "");
    const std::string Alphabet = std::string("ab n^;~\\ \t\x01\x7F\xE4") + '\0' + "\r";
    std::vector<std::string> Rows;
    std::uint32_t Seed = 99;
    for (int R = 0; R < 300; ++R) {
      std::string Row;
      const int Len = static_cast<int>((Seed = Seed * 1103515245u + 12345u) >> 16) % 40;
      for (int I = 0; I < Len; ++I) Row += Alphabet[((Seed = Seed * 1103515245u + 12345u) >> 16) % Alphabet.size()];
      Rows.push_back(Row);
      T.AddRow(R);
    }
    T.SetLongestLine(64);
    std::string Buffer;
    T.SetRowReader([&](Integer Offset, Integer Count, const char*& Data, Integer& Length) {
      Buffer = Rows[static_cast<std::size_t>(Offset)].substr(0, static_cast<std::size_t>(Count));
      Buffer.reserve(64);  // the same bytes for every row
      Data = Buffer.data();
      Length = static_cast<Integer>(Buffer.size());
      return !Buffer.empty();
    });
    const std::vector<std::vector<int>> Orders = {{0, 1, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}, {2, 0, 2, 5, 1, 3, 4, 0}};
    for (const auto& Order : Orders)
      for (Integer R = 0; R < T.Count(); ++R) {
        T.SetRecNo(R);
        for (const int C : Order) {
          const std::string& Row = Rows[static_cast<std::size_t>(R)];
          ASSERT_EQ(T.Fields(C)->AsString(), Row.empty() ? "" : WalkRule(Row, C, Ch.Sep, Ch.Esc))
              << "row " << zeltest::Printable(Row) << " field " << C;
        }
        // A row in between does not disturb the next read of this one.
        T.SetRecNo((R + 1) % T.Count());
        T.Fields(0)->AsString();
        T.SetRecNo(R);
        EXPECT_EQ(T.Fields(1)->AsString(), WalkRule(Rows[static_cast<std::size_t>(R)], 1, Ch.Sep, Ch.Esc));
      }
  }
}

// Rows added to a table after a later table took rows stay the table's own.
TEST(KcsvTable, RowsAddedOutOfTextOrder) {
  TKcsvFile F;
  F.OpenText("@a,x\r\n1\r\n@b,y\r\n2\r\n3\r\n");
  TKTable* A = F.Tables(0);
  TKTable* B = F.Tables(1);
  A->AddRow(B->RowOffset(1));
  B->AddRow(A->RowOffset(0));
  ASSERT_EQ(A->Count(), 2);
  ASSERT_EQ(B->Count(), 3);
  std::vector<std::string> Values;
  for (TKTable* T : {A, B})
    for (T->First(); !T->Eof(); T->Next()) Values.push_back(T->Fields(0)->AsString());
  EXPECT_EQ(Values, (std::vector<std::string>{"1", "3", "2", "3", "1"}));
  EXPECT_THROW(A->RowOffset(2), EListError);
}

// ---------------------------------------------------------------- memory of the row table

namespace {

// Large allocations while counting is on (the test program's own new).
bool CountLarge = false;
int LargeAllocations = 0;

}  // namespace

void* operator new(std::size_t Size) {
  if (CountLarge && Size >= 16384) ++LargeAllocations;
  if (void* P = std::malloc(Size ? Size : 1)) return P;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }

// The row table of one answer is kept for the next: an answer of as many
// rows as the one before finds the memory for its rows in place.
TEST(KcsvReader, RowTableIsKeptForTheNextAnswer) {
  std::string Text = "@t,a,b\r\n";
  for (int I = 0; I < 60000; ++I) Text += std::to_string(I) + "^x\r\n";
  TKcsvFile F;
  F.OpenText(Text);
  ASSERT_EQ(F.Tables(0)->Count(), 60000);
  F.Close();
  for (int Round = 0; Round < 2; ++Round) {
    std::string Copy = Text;
    LargeAllocations = 0;
    CountLarge = true;
    F.OpenText(std::move(Copy));
    CountLarge = false;
    EXPECT_EQ(LargeAllocations, 0) << "round " << Round;
    ASSERT_EQ(F.Tables(0)->Count(), 60000);
    F.Tables(0)->SetRecNo(59999);
    EXPECT_EQ(F.Tables(0)->Fields(0)->AsString(), "59999");
  }
}

// A wide text (as the service answers) reads as its conversion to the
// ANSI code page does.
TEST(KcsvReader, WideTextReadsAsItsConversion) {
  const std::vector<WideString> Texts = {
      platform::AnsiToWide(ExampleText), u"", u"@t,a,b\r\n\u20AC1^Gr\u00F6\u00DFe \r\n\U0001F600^\u0141\r\n",
      u"@t,a\r\nlast row without line end \u00E4"};
  for (const WideString& W : Texts) {
    SCOPED_TRACE(platform::WideToAnsi(W));
    TKcsvFile Want;
    Want.OpenText(platform::WideToAnsi(W));
    TKcsvFile F;
    F.OpenText(W);
    EXPECT_TRUE(F.Active());
    EXPECT_EQ(F.Size(), Want.Size());
    EXPECT_EQ(F.LineCount(), Want.LineCount());
    EXPECT_EQ(zeltest::Dump(F), zeltest::Dump(Want));
  }
}

// A wide answer is converted into the buffer of the answer before when
// that is large enough and not far too large; Close gives the buffer back.
TEST(KcsvReader, WideAnswersReuseTheirBuffer) {
  auto Answer = [](int Rows) {
    WideString W = u"@t,a,b\r\n";
    for (int I = 0; I < Rows; ++I) W += platform::AnsiToWide(std::to_string(I) + "^Gr\xF6\xDF" "e\r\n");
    return W;
  };
  const WideString Large = Answer(20000);
  const WideString Smaller = Answer(19000);
  const WideString Small = Answer(10);
  TKcsvFile F;
  auto LargeAllocationsFor = [&](const WideString& W) {
    LargeAllocations = 0;
    CountLarge = true;
    F.OpenText(W);
    CountLarge = false;
    return LargeAllocations;
  };
  EXPECT_GT(LargeAllocationsFor(Large), 0);
  EXPECT_EQ(LargeAllocationsFor(Large), 0);
  EXPECT_EQ(LargeAllocationsFor(Smaller), 0);
  ASSERT_EQ(F.Tables(0)->Count(), 19000);
  F.Tables(0)->SetRecNo(18999);
  EXPECT_EQ(F.Tables(0)->Fields(1)->AsString(), "Gr\xF6\xDF" "e");
  EXPECT_EQ(LargeAllocationsFor(Small), 0);  // a new, small buffer
  EXPECT_GT(LargeAllocationsFor(Large), 0);  // the large one went back
  F.Close();
  EXPECT_GT(LargeAllocationsFor(Large), 0);
  EXPECT_EQ(F.Tables(0)->Count(), 20000);
  // A text handed over is read from itself, and a wide one after it again
  // from a buffer of the reader's own.
  F.OpenText(platform::WideToAnsi(Small));
  EXPECT_EQ(F.Tables(0)->Count(), 10);
  F.OpenText(Small);
  EXPECT_EQ(F.Tables(0)->Count(), 10);
}

// A name asked again gives what the columns give now, after columns came
// or went in between.
TEST(KcsvTable, ColumnsByNameFollowChangesOfTheColumns) {
  TKTable T(nullptr, "t");
  TKField* A = T.AddField("a", "");
  EXPECT_EQ(T.FieldByName("a"), A);
  EXPECT_EQ(T.FieldByName("b"), nullptr);
  TKField* B = T.AddField("B", "");
  EXPECT_EQ(T.FieldByName("b"), B);
  EXPECT_EQ(T.FieldByName("A"), A);
  T.SetFieldCount(1);
  EXPECT_EQ(T.FieldByName("b"), nullptr);
  EXPECT_EQ(T.FieldIndex("a"), 0);
  T.Reset();
  EXPECT_EQ(T.FieldByName("a"), nullptr);
  for (int I = 0; I < 40; ++I) EXPECT_EQ(T.FieldByName("x" + std::to_string(I)), nullptr);
  TKField* X = T.AddField("x39", "");
  EXPECT_EQ(T.FieldByName("X39"), X);
}

// Names asked in any order and spelling, row after row, give the column
// that a reader asked for that name alone gives: in the order of the
// columns, backwards, at random with repeats and missing names, more
// names than are remembered, and after the columns changed.
TEST(KcsvTable, ColumnsByNameInAnyOrderOfAsking) {
  std::string Header = "@t";
  std::vector<std::string> Names;
  for (int C = 0; C < 30; ++C) {
    Header += ",col" + std::to_string(C);
    Names.push_back(C % 3 == 0 ? "COL" + std::to_string(C) : C % 3 == 1 ? "col" + std::to_string(C) : "Col" + std::to_string(C));
  }
  Header += ",Gr\xF6\xDF" "e,mf_name,mf_name";
  for (const char* Extra : {"GR\xF6\xDF" "E", "gr\xF6\xDF" "e", "MF_NAME", "missing", "", "col", "col300"}) Names.push_back(Extra);
  const std::string Text = Header + "\r\n" + [] {
    std::string Rows;
    for (int R = 0; R < 3; ++R) Rows += "r" + std::to_string(R) + "\r\n";
    return Rows;
  }();
  // The column a reader gives for the name asked alone.
  auto Alone = [&](const std::string& Name) {
    TKcsvFile Fresh;
    Fresh.OpenText(Text);
    return Fresh.Tables(0)->FieldIndex(Name);
  };
  std::map<std::string, Integer> Want;
  for (const std::string& Name : Names) Want[Name] = Alone(Name);
  EXPECT_EQ(Want["missing"], -1);
  EXPECT_EQ(Want["COL0"], 0);
  EXPECT_EQ(Want["gr\xF6\xDF" "e"], 30);

  TKcsvFile F;
  F.OpenText(Text);
  TKTable* T = F.Tables(0);
  auto Ask = [&](const std::string& Name) {
    TKField* Field = T->FieldByName(Name);
    EXPECT_EQ(Field ? Field->FieldNo() : -1, Want[Name]) << zeltest::Printable(Name);
  };
  std::vector<std::string> Order = Names;
  for (int Row = 0; Row < 3; ++Row)
    for (const std::string& Name : Order) Ask(Name);
  std::reverse(Order.begin(), Order.end());
  for (int Row = 0; Row < 2; ++Row)
    for (const std::string& Name : Order) Ask(Name);
  std::uint32_t Seed = 7;
  for (int I = 0; I < 2000; ++I) Ask(Names[((Seed = Seed * 1103515245u + 12345u) >> 16) % Names.size()]);
  // More names than are remembered: every one of them is still found.
  for (int I = 0; I < 1100; ++I) EXPECT_EQ(T->FieldByName("none" + std::to_string(I)), nullptr);
  for (const std::string& Name : Names) Ask(Name);
  // The columns change: the names are looked up again.
  T->AddField("late", "");
  EXPECT_EQ(T->FieldIndex("LATE"), 33);
  for (const std::string& Name : Names) Ask(Name);
  T->SetFieldCount(5);
  EXPECT_EQ(T->FieldByName("col7"), nullptr);
}
