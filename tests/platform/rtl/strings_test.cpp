#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "tests/support/string_items.h"
#include "tests/support/tempdir.h"

using zeltest::Items;

namespace {

using V = std::vector<AnsiString>;

TEST(StringList, CommaTextSplitsAtCommasBlanksAndControls) {
  struct Case {
    const char* text;
    V items;
  };
  const Case cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a, b ,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},
      {"a\tb\r\nc", {"a", "b", "c"}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"x,y\",z", {"x,y", "z"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"ab\"cd", {"ab", "cd"}},
      {"\"\",a", {"", "a"}},
      {"a,", {"a", ""}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"", {}},
      {"   ", {}},
      {"  a  ", {"a"}},
      {"\"open", {"open"}},
      {"M\xFCller,\xC4rger", {"M\xFCller", "\xC4rger"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(Items(list), c.items) << c.text;
    EXPECT_EQ(list.Delimiter(), ',');
  }
}

TEST(StringList, CommaTextQuotesWhatWouldNotSurvive) {
  struct Case {
    V items;
    const char* text;
  };
  const Case cases[] = {
      {{"a", "b"}, "a,b"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"x,y"}, "\"x,y\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{""}, "\"\""},
      {{"a", ""}, "a,"},
      {{"", ""}, ","},
      {{"tab\there"}, "\"tab\there\""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    TStringList list;
    for (const AnsiString& s : c.items) list.Add(s);
    EXPECT_EQ(list.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), c.items) << c.text;
  }
}

TEST(StringList, DelimitedTextWithOwnDelimiterAndStrictMode) {
  TStringList list;
  list.SetDelimiter(';');
  list.SetDelimitedText("a,b;c d");
  EXPECT_EQ(Items(list), (V{"a,b", "c", "d"}));
  list.SetStrictDelimiter(true);
  list.SetDelimitedText("a b; c");
  EXPECT_EQ(Items(list), (V{"a b", " c"}));
  EXPECT_EQ(list.DelimitedText(), "a b; c");
  list.SetQuoteChar('\'');
  list.Clear();
  list.Add("x;y");
  EXPECT_EQ(list.DelimitedText(), "'x;y'");
}

TEST(StringList, SortedListKeepsGermanOrderAndFinds) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"Zebra", "\xC4pfel", "apfel", "Birne", "10", "2"}) list.Add(s);
  EXPECT_EQ(Items(list), (V{"10", "2", "apfel", "\xC4pfel", "Birne", "Zebra"}));
  int index = -1;
  EXPECT_TRUE(list.Find("BIRNE", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(list.Find("Banane", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(list.Find("zz", index));
  EXPECT_EQ(index, 6);
  EXPECT_EQ(list.IndexOf("zebra"), 5);
  EXPECT_EQ(list.IndexOf("Kiwi"), -1);
}

TEST(StringList, DuplicatesRuleOnSortedList) {
  TStringList list;
  list.SetSorted(true);
  list.Add("ABC");
  list.Add("x");
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };

  EXPECT_EQ(list.Add("abc"), 0);  // dupIgnore: the equal item's index
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(changes, 0);

  list.SetDuplicates(dupError);
  try {
    list.Add("abc");
    ADD_FAILURE();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "In der Stringliste sind Duplikate nicht erlaubt");
  }
  EXPECT_EQ(Items(list), (V{"ABC", "x"}));

  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add("abc"), 0);  // in front of the equal items
  EXPECT_EQ(Items(list), (V{"abc", "ABC", "x"}));
  EXPECT_EQ(changes, 1);
}

TEST(StringList, SortedListRefusesPositionalChanges) {
  TStringList list;
  list.Add("b");
  list.Add("a");
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (V{"a", "b"}));
  for (auto op : {+[](TStringList& l) { l.Insert(0, "c"); },
                  +[](TStringList& l) { l.Put(0, "c"); }}) {
    try {
      op(list);
      ADD_FAILURE();
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), "Operation bei sortierten Stringlisten nicht erlaubt");
    }
  }
  int obj = 0;
  list.PutObject(1, reinterpret_cast<TObject*>(&obj));
  EXPECT_EQ(list.Objects(1), reinterpret_cast<TObject*>(&obj));
}

TEST(StringList, IndexErrorsNameTheIndex) {
  TStringList list;
  list.Add("a");
  struct Case {
    void (*op)(TStringList&);
    const char* message;
  };
  const Case cases[] = {
      {[](TStringList& l) { l.Get(1); }, "Listenindex \xFC" "berschreitet das Maximum (1)"},
      {[](TStringList& l) { l.Get(-1); }, "Listenindex \xFC" "berschreitet das Maximum (-1)"},
      {[](TStringList& l) { l.Delete(3); }, "Listenindex \xFC" "berschreitet das Maximum (3)"},
      {[](TStringList& l) { l.Insert(2, "x"); }, "Listenindex \xFC" "berschreitet das Maximum (2)"},
      {[](TStringList& l) { l.Objects(5); }, "Listenindex \xFC" "berschreitet das Maximum (5)"},
      {[](TStringList& l) { l.Exchange(0, 9); }, "Listenindex \xFC" "berschreitet das Maximum (9)"},
  };
  for (const Case& c : cases) {
    try {
      c.op(list);
      ADD_FAILURE() << c.message;
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  list.Insert(1, "b");  // at Count appends
  EXPECT_EQ(Items(list), (V{"a", "b"}));
}

TEST(StringList, TextLinesAndNameValues) {
  TStringList list;
  list.SetText("a\nb\r\nc\r");
  EXPECT_EQ(Items(list), (V{"a", "b", "c"}));
  list.SetText("a\n\rb");
  EXPECT_EQ(Items(list), (V{"a", "", "b"}));
  list.SetText("a\r\n");
  EXPECT_EQ(Items(list), (V{"a"}));
  list.SetText(AnsiString("a\nb\0c", 5));
  EXPECT_EQ(Items(list), (V{"a", "b"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");

  list.SetText("User=anna\nPASS=x=y\nnovalue");
  EXPECT_EQ(list.Values("user"), "anna");
  EXPECT_EQ(list.Values("pass"), "x=y");
  EXPECT_EQ(list.Values("novalue"), "");
  EXPECT_EQ(list.Names(1), "PASS");
  EXPECT_EQ(list.ValueFromIndex(1), "x=y");
  list.SetValues("Top", "10");
  EXPECT_EQ(list[3], "Top=10");
  list.SetValues("user", "bert");
  EXPECT_EQ(list[0], "user=bert");
  list.SetValues("PASS", "");
  EXPECT_EQ(list.IndexOfName("pass"), -1);
  EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, EventsFireAroundChangesAndBrackets) {
  TStringList list;
  std::vector<char> log;
  list.OnChanging = [&](TObject* s) {
    EXPECT_EQ(s, &list);
    log.push_back('<');
  };
  list.OnChange = [&](TObject*) { log.push_back('>'); };
  list.Add("a");
  EXPECT_EQ(log, (std::vector<char>{'<', '>'}));
  log.clear();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(log, (std::vector<char>{'<', '>'}));
  log.clear();
  list.SetCommaText("x,y,z");
  EXPECT_EQ(log, (std::vector<char>{'<', '>'}));
  log.clear();
  {
    auto doomed = std::make_unique<TStringList>();
    doomed->Add("q");
    doomed->OnChange = [&](TObject*) { log.push_back('!'); };
  }
  EXPECT_TRUE(log.empty());
}

TEST(StringList, CapacityGrowsInTheClassLibrarySteps) {
  TStringList list;
  std::vector<int> caps;
  for (int i = 0; i < 20; ++i) {
    list.Add(IntToStr(i));
    if (caps.empty() || caps.back() != list.Capacity()) caps.push_back(list.Capacity());
  }
  EXPECT_EQ(caps, (std::vector<int>{4, 8, 12, 28}));
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(StringList, SortExchangeMoveAndObjects) {
  TStringList list;
  TObject a, b, c;
  list.AddObject("b", &b);
  list.AddObject("C", &c);
  list.AddObject("a", &a);
  list.Sort();
  EXPECT_EQ(Items(list), (V{"a", "b", "C"}));
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&c), 2);
  list.Exchange(0, 2);
  EXPECT_EQ(Items(list), (V{"C", "b", "a"}));
  EXPECT_EQ(list.Objects(0), &c);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), (V{"b", "a", "C"}));
  EXPECT_EQ(list.Objects(2), &c);
  EXPECT_THROW(list.Move(0, 3), EStringListError);
  EXPECT_EQ(Items(list), (V{"b", "a", "C"}));  // the item is back in place
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  list.Add("c");
  EXPECT_EQ(Items(list), (V{"a", "b", "c", "C"}));
}

TEST(StringList, OwnsObjectsFreesThem) {
  struct Counted : TObject {
    explicit Counted(int& n) : FN(n) {}
    ~Counted() override { ++FN; }
    int& FN;
  };
  int freed = 0;
  {
    TStringList list(true);
    list.AddObject("a", new Counted(freed));
    list.AddObject("b", new Counted(freed));
    list.AddObject("c", new Counted(freed));
    list.Delete(0);
    EXPECT_EQ(freed, 1);
  }
  EXPECT_EQ(freed, 3);
}

TEST(StringList, AssignCopiesStringListsOnly) {
  TStringList a, b;
  a.SetCommaText("x,y");
  b.Assign(&a);
  EXPECT_EQ(Items(b), (V{"x", "y"}));
  TComponent comp(nullptr);
  try {
    b.Assign(&comp);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "TComponent kann nicht zu TStringList zugewiesen werden");
  }
  try {
    b.Assign(nullptr);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "nil kann nicht zu TStringList zugewiesen werden");
  }
}

TEST(StringList, LoadAndSave) {
  zeltest::TempDir dir;
  const std::string path = dir.write("in.txt", "eins\r\nzwei\nM\xFCller");
  TStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(Items(list), (V{"eins", "zwei", "M\xFCller"}));
  list.Add("vier");
  list.SaveToFile(dir.file("out.txt"));
  EXPECT_EQ(dir.read("out.txt"), "eins\r\nzwei\r\nM\xFCller\r\nvier\r\n");
  try {
    list.LoadFromFile(dir.file("missing.txt"));
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Datei " + dir.file("missing.txt") +
                               " kann nicht ge\xF6" "ffnet werden. Das System kann die angegebene "
                               "Datei nicht finden.");
  }
  EXPECT_THROW(list.SaveToFile(dir.file("no/such/dir.txt")), EFCreateError);

  // From the middle of a stream only the rest is read.
  TStringStream stream("skip\r\nrest\r\n");
  stream.SetPosition(6);
  list.LoadFromStream(&stream);
  EXPECT_EQ(Items(list), (V{"rest"}));
}

}  // namespace

// CompareText orders as CompareStr of both texts upper-cased (ASCII letters
// only: umlauts keep their case); SameText is its equality.
TEST(Strings, CompareTextIsCompareStrOfUpperCase) {
  const std::string Alphabet = std::string("aAzZ@[`{09 \xE4\xC4\x80\xFF") + '\0';
  std::uint32_t Seed = 3;
  auto Next = [&Seed](std::uint32_t Below) { return ((Seed = Seed * 1103515245u + 12345u) >> 8) % Below; };
  for (int I = 0; I < 5000; ++I) {
    std::string A, B;
    for (std::uint32_t N = Next(5); N > 0; --N) A += Alphabet[Next(static_cast<std::uint32_t>(Alphabet.size()))];
    B = Next(3) == 0 ? A : std::string();
    for (std::uint32_t N = Next(5); N > 0; --N) B += Alphabet[Next(static_cast<std::uint32_t>(Alphabet.size()))];
    if (Next(2) == 0)
      for (char& C : B) C = (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C;
    const int Want = CompareStr(UpperCase(A), UpperCase(B));
    const int Got = CompareText(A, B);
    EXPECT_EQ(Got < 0, Want < 0) << A << " / " << B;
    EXPECT_EQ(Got > 0, Want > 0) << A << " / " << B;
    EXPECT_EQ(SameText(A, B), Want == 0) << A << " / " << B;
  }
  EXPECT_TRUE(SameText("Stoff", "sTOFF"));
  EXPECT_FALSE(SameText("\xE4", "\xC4"));
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_GT(CompareText("ab", "A"), 0);
}
