#include "foundation/kStrings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/child_process.h"
#include "tests/support/error_of.h"
#include "tests/support/tempdir.h"

using zeltest::ErrorOf;

namespace {

const char* const kDuplicates = "In der Stringliste sind Duplikate nicht erlaubt";
const char* const kSorted = "Operation bei sortierten Stringlisten nicht erlaubt";
std::string IndexMessage(int Index) {
  return "Der Index der Liste \xFC" "berschreitet das Maximum (" + std::to_string(Index) + ")";
}

std::vector<std::string> Items(TKStrings& L) {
  std::vector<std::string> Result;
  for (int I = 0; I < L.Count(); ++I) Result.push_back(L[I]);
  return Result;
}

// A list that records its events ('<' for OnChanging, '>' for OnChange).
struct Recorded {
  TKStringList List;
  std::string Events;
  Recorded() {
    List.OnChanging = [this](TObject* Sender) {
      EXPECT_EQ(Sender, &List);
      Events += '<';
    };
    List.OnChange = [this](TObject* Sender) {
      EXPECT_EQ(Sender, &List);
      Events += '>';
    };
  }
  void Fill(std::initializer_list<const char*> Texts) {
    for (const char* T : Texts) List.Add(T);
    Events.clear();
  }
};

TKStringList* SortedList(std::initializer_list<const char*> Texts, TDuplicates Dup) {
  auto* L = new TKStringList;
  for (const char* T : Texts) L->Add(T);
  L->SetSorted(true);
  L->SetDuplicates(Dup);
  return L;
}

}  // namespace

TEST(KStringList, NewListIsEmptyUnsortedAndIgnoresDuplicates) {
  TKStringList L;
  EXPECT_EQ(L.Count(), 0);
  EXPECT_EQ(L.Capacity(), 0);
  EXPECT_EQ(L.Delimiter(), ',');
  EXPECT_FALSE(L.Sorted());
  EXPECT_EQ(L.Duplicates(), dupIgnore);
  EXPECT_FALSE(L.OnChange);
  EXPECT_FALSE(L.OnChanging);
  EXPECT_EQ(L.Text(), "");
}

TEST(KStringList, DelimiterCodeZeroReadsAsComma) {
  TKStringList L;
  L.SetDelimiter(';');
  EXPECT_EQ(L.Delimiter(), ';');
  L.SetDelimiter('\0');
  EXPECT_EQ(L.Delimiter(), ',');
}

struct SplitCase {
  const char* Name;
  std::string Text;
  char Delimiter;  // 0: SetCommaText
  std::vector<std::string> Items;
};

// Test names and failure output show the case by its name.
void PrintTo(const SplitCase& Case, std::ostream* Out) { *Out << Case.Name; }

class KStringListSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(KStringListSplit, YieldsItems) {
  const SplitCase& C = GetParam();
  TKStringList L;
  L.Add("old");
  if (C.Delimiter == 0) {
    L.SetCommaText(C.Text);
    EXPECT_EQ(L.Delimiter(), ',');
  } else {
    L.SetDelimiter(C.Delimiter);
    L.SetDelimitedText(C.Text);
    EXPECT_EQ(L.Delimiter(), C.Delimiter);
  }
  EXPECT_EQ(Items(L), C.Items) << C.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KStringListSplit,
    ::testing::Values(
        SplitCase{"BlanksStay", "a, b ,c", 0, {"a", " b ", "c"}},
        SplitCase{"EmptyMiddle", "a,,b", 0, {"a", "", "b"}},
        SplitCase{"EmptyFirst", ",a", 0, {"", "a"}},
        SplitCase{"TrailingDelimiter", "a,", 0, {"a"}},
        SplitCase{"TrailingAfterTwo", "a,b,", 0, {"a", "b"}},
        SplitCase{"Empty", "", 0, {}},
        SplitCase{"OnlyDelimiter", ",", 0, {""}},
        SplitCase{"Tab", "a\tb", 0, {"a", "b"}},
        SplitCase{"CrLf", "a\r\nb", 0, {"a", "b"}},
        SplitCase{"DelimiterThenTab", "a,\tb", 0, {"a", "b"}},
        SplitCase{"LeadingControls", "\t\ta", 0, {"a"}},
        SplitCase{"ControlRunNoEmptyItem", "a\t\t\tb", 0, {"a", "b"}},
        SplitCase{"QuotedWithDelimiter", "\"x,y\",z", 0, {"x,y", "z"}},
        SplitCase{"DoubledQuotes", "\"say \"\"hi\"\"\"", 0, {"say \"hi\""}},
        SplitCase{"TextAfterClosingQuote", "\"ab\"cd", 0, {"ab", "cd"}},
        SplitCase{"EmptyQuoted", "\"\",a", 0, {"", "a"}},
        SplitCase{"BlankAfterQuote", "\"a\" ,b", 0, {"a", " ", "b"}},
        SplitCase{"QuoteNotFirst", " \"a\"", 0, {" \"a\""}},
        SplitCase{"UnclosedQuoteRunsToEnd", "x,\"abc", 0, {"x", "abc"}},
        SplitCase{"LoneQuote", "\"", 0, {""}},
        SplitCase{"HighBytesBelong", "\xE4\xF6,\xFC\xDF", 0, {"\xE4\xF6", "\xFC\xDF"}},
        SplitCase{"NulEndsText", std::string("a,b\0,c", 6), 0, {"a", "b"}},
        SplitCase{"Semicolon", "a,b;c", ';', {"a,b", "c"}},
        SplitCase{"SemicolonBlanks", " a ; b", ';', {" a ", " b"}}),
    [](const ::testing::TestParamInfo<SplitCase>& Info) { return Info.param.Name; });

TEST(KStringList, CommaTextIntoSortedListAppliesDuplicatesRule) {
  std::unique_ptr<TKStringList> L(SortedList({}, dupIgnore));
  L->SetCommaText("b,A,a,c");
  EXPECT_EQ(Items(*L), (std::vector<std::string>{"A", "b", "c"}));

  std::unique_ptr<TKStringList> E(SortedList({}, dupError));
  E->OnChange = [](TObject*) {};
  EXPECT_EQ(ErrorOf<EStringListError>([&] { E->SetCommaText("b,a,B,c"); }), kDuplicates);
  // Items before the failing one stay; the bracket is closed.
  EXPECT_EQ(Items(*E), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(E->UpdateCount(), 0);
}

TEST(KStringList, SortedAddWithDuplicates) {
  struct Case {
    TDuplicates Dup;
    int Result;  // -1: raises
    std::vector<std::string> After;
    std::string Events;
  } Cases[] = {
      {dupIgnore, 0, {"ABC", "x"}, ""},
      {dupError, -1, {"ABC", "x"}, ""},
      {dupAccept, 0, {"abc", "ABC", "x"}, "<>"},
  };
  for (const Case& C : Cases) {
    Recorded R;
    R.Fill({"x", "ABC"});
    R.List.SetSorted(true);
    R.List.SetDuplicates(C.Dup);
    R.Events.clear();
    if (C.Result < 0) {
      EXPECT_EQ(ErrorOf<EStringListError>([&] { R.List.Add("abc"); }), kDuplicates);
    } else {
      EXPECT_EQ(R.List.Add("abc"), C.Result) << C.Dup;
    }
    EXPECT_EQ(Items(R.List), C.After) << C.Dup;
    EXPECT_EQ(R.Events, C.Events) << C.Dup;
  }
}

TEST(KStringList, DupAcceptInsertsInFrontOfEqualItems) {
  std::unique_ptr<TKStringList> L(SortedList({"a", "B", "c"}, dupAccept));
  EXPECT_EQ(L->Add("b"), 1);
  EXPECT_EQ(Items(*L), (std::vector<std::string>{"a", "b", "B", "c"}));
  L->Add("B");
  int Index = -1;
  EXPECT_TRUE(L->Find("b", Index));
  EXPECT_EQ(Index, 1);  // first of the run
}

TEST(KStringList, FindWithoutHitGivesInsertPosition) {
  std::unique_ptr<TKStringList> L(SortedList({"b", "d"}, dupIgnore));
  struct {
    const char* S;
    bool Hit;
    int Index;
  } Cases[] = {{"a", false, 0}, {"B", true, 0}, {"c", false, 1}, {"D", true, 1}, {"e", false, 2}};
  for (const auto& C : Cases) {
    int Index = -7;
    EXPECT_EQ(L->Find(C.S, Index), C.Hit) << C.S;
    EXPECT_EQ(Index, C.Index) << C.S;
  }
  TKStringList Empty;
  int Index = -7;
  EXPECT_FALSE(Empty.Find("x", Index));
  EXPECT_EQ(Index, 0);
}

TEST(KStringList, SortedOrderIsTheGermanComparisonIgnoringCase) {
  TKStringList L;
  L.SetCommaText("Zebra,\xC4pfel,apfel,10,Bar,2,ab");
  L.Sort();
  // Digits before letters, ä sorts with a (after the unaccented word).
  EXPECT_EQ(Items(L), (std::vector<std::string>{"10", "2", "ab", "apfel", "\xC4pfel", "Bar", "Zebra"}));
  L.SetSorted(true);
  EXPECT_EQ(L.IndexOf("ZEBRA"), 6);
  EXPECT_EQ(L.IndexOf("\xE4pfel"), 4);
  EXPECT_EQ(L.IndexOf("zebr"), -1);
}

TEST(KStringList, SetSortedSortsFirst) {
  TKStringList L;
  L.SetCommaText("c,a,b");
  L.SetSorted(true);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(L.Add("bb"), 2);
}

TEST(KStringList, SortManyItemsKeepsObjectsWithTheirStrings) {
  TKStringList L;
  std::vector<std::unique_ptr<TObject>> Objects;
  for (int I = 0; I < 200; ++I) {
    Objects.push_back(std::make_unique<TObject>());
    L.AddObject(std::to_string((I * 7919) % 200), Objects.back().get());
  }
  L.Sort();
  for (int I = 1; I < L.Count(); ++I) EXPECT_LE(AnsiCompareText(L[I - 1], L[I]), 0) << I;
  for (int I = 0; I < L.Count(); ++I) {
    const int Value = std::stoi(L[I]);
    int Original = 0;
    while ((Original * 7919) % 200 != Value) ++Original;
    EXPECT_EQ(L.Objects(I), Objects[static_cast<std::size_t>(Original)].get());
  }
}

TEST(KStringList, SortDoesNothingOnSortedOrShortList) {
  Recorded One;
  One.Fill({"b"});
  One.List.Sort();
  EXPECT_EQ(One.Events, "");

  Recorded Sorted;
  Sorted.Fill({"b", "a"});
  Sorted.List.SetSorted(true);
  Sorted.Events.clear();
  Sorted.List.Sort();
  EXPECT_EQ(Sorted.Events, "");

  Recorded Two;
  Two.Fill({"b", "a"});
  Two.List.Sort();
  EXPECT_EQ(Two.Events, "<>");
  EXPECT_EQ(Items(Two.List), (std::vector<std::string>{"a", "b"}));
}

TEST(KStringList, CustomSortUsesTheCallersOrder) {
  TKStringList L;
  L.SetCommaText("bb,a,ccc,dddd");
  L.CustomSort([](TKStringList* List, int I1, int I2) {
    return static_cast<int>(List->Get(I2).size()) - static_cast<int>(List->Get(I1).size());
  });
  EXPECT_EQ(Items(L), (std::vector<std::string>{"dddd", "ccc", "bb", "a"}));
}

TEST(KStringList, CapacityGrowsInSteps) {
  TKStringList L;
  std::vector<int> Seen;
  for (int I = 0; I < 147; ++I) {
    L.Add("x");
    if (Seen.empty() || Seen.back() != L.Capacity()) Seen.push_back(L.Capacity());
    if (I == 19) {
      EXPECT_EQ(L.Capacity(), 28);
    }
  }
  EXPECT_EQ(Seen, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
  L.Clear();
  EXPECT_EQ(L.Count(), 0);
  EXPECT_EQ(L.Capacity(), 0);
}

TEST(KStringList, CapacityBelowCountIsRefused) {
  TKStringList L;
  L.SetCommaText("a,b,c");
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L.SetCapacity(2); }), IndexMessage(2));
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L.SetCapacity(-1); }), IndexMessage(-1));
  EXPECT_EQ(L.Capacity(), 4);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "c"}));
  L.SetCapacity(3);
  EXPECT_EQ(L.Capacity(), 3);
  L.SetCapacity(50);
  EXPECT_EQ(L.Capacity(), 50);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(KStringList, IndexErrors) {
  Recorded R;
  R.Fill({"a", "b"});
  auto& L = R.List;
  struct {
    const char* What;
    std::function<void()> Action;
    std::string Message;
  } Cases[] = {
      {"Get Count", [&] { L.Get(2); }, IndexMessage(2)},
      {"Get -1", [&] { L.Get(-1); }, IndexMessage(-1)},
      {"GetObject", [&] { L.GetObject(5); }, IndexMessage(5)},
      {"Put", [&] { L.Put(2, "x"); }, IndexMessage(2)},
      {"PutObject", [&] { L.PutObject(-3, nullptr); }, IndexMessage(-3)},
      {"Delete", [&] { L.Delete(2); }, IndexMessage(2)},
      {"Exchange first", [&] { L.Exchange(9, 8); }, IndexMessage(9)},
      {"Exchange second", [&] { L.Exchange(0, 8); }, IndexMessage(8)},
      {"Insert Count+1", [&] { L.Insert(3, "x"); }, IndexMessage(3)},
      {"Insert -1", [&] { L.Insert(-1, "x"); }, IndexMessage(-1)},
      {"InsertObject", [&] { L.InsertObject(4, "x", nullptr); }, IndexMessage(4)},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(ErrorOf<EStringListError>(C.Action), C.Message) << C.What;
    EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b"})) << C.What;
    EXPECT_EQ(R.Events, "") << C.What;
  }
  L.Insert(2, "c");
  EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(KStringList, SortedListRefusesInsertAndPut) {
  std::unique_ptr<TKStringList> L(SortedList({"a", "b"}, dupIgnore));
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L->Insert(0, "x"); }), kSorted);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L->InsertObject(1, "x", nullptr); }), kSorted);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L->Put(0, "x"); }), kSorted);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { L->Put(7, "x"); }), kSorted);  // before the index test
  TObject O;
  L->PutObject(1, &O);
  EXPECT_EQ(L->Objects(1), &O);
  L->Exchange(0, 1);
  EXPECT_EQ(Items(*L), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(L->Objects(0), &O);
}

TEST(KStringList, IndexOfUnsortedFindsFirstEqualItem) {
  TKStringList L;
  L.SetCommaText("x,abc,ABC,abc");
  EXPECT_EQ(L.IndexOf("ABC"), 1);
  EXPECT_EQ(L.IndexOf("ab"), -1);
}

TEST(KStringList, SingleChangesFireOnePair) {
  Recorded R;
  auto& L = R.List;
  TObject O;
  struct {
    const char* What;
    std::function<void()> Action;
    std::string Events;
  } Cases[] = {
      {"Add", [&] { L.Add("a"); }, "<>"},
      {"Insert", [&] { L.Insert(0, "b"); }, "<>"},
      {"AddObject", [&] { L.AddObject("c", &O); }, "<><>"},
      {"Put", [&] { L.Put(0, "B"); }, "<>"},
      {"PutObject", [&] { L.PutObject(0, &O); }, "<>"},
      {"Exchange", [&] { L.Exchange(0, 1); }, "<>"},
      {"Delete", [&] { L.Delete(0); }, "<>"},
      {"Move", [&] { L.Move(0, 1); }, "<>"},
      {"Clear", [&] { L.Clear(); }, "<>"},
      {"Clear empty", [&] { L.Clear(); }, ""},
      {"Bracket", [&] {
         L.BeginUpdate();
         L.BeginUpdate();
         L.Add("1");
         L.Add("2");
         L.EndUpdate();
         L.Add("3");
         L.EndUpdate();
       }, "<>"},
      {"SetTextStr", [&] { L.SetTextStr("x\r\ny"); }, "<>"},
      {"AddStrings", [&] {
         TKStringList Other;
         Other.SetCommaText("p,q");
         L.AddStrings(&Other);
       }, "<>"},
  };
  for (const auto& C : Cases) {
    R.Events.clear();
    C.Action();
    EXPECT_EQ(R.Events, C.Events) << C.What;
  }
  EXPECT_EQ(Items(L), (std::vector<std::string>{"x", "y", "p", "q"}));
}

TEST(KStringList, EmptyBracketsStillFire) {
  Recorded R;
  R.List.SetTextStr("");
  EXPECT_EQ(R.Events, "<>");
  R.Events.clear();
  R.List.BeginUpdate();
  EXPECT_EQ(R.Events, "<");
  R.List.EndUpdate();
  EXPECT_EQ(R.Events, "<>");
}

TEST(KStringList, DestroyingFiresNothing) {
  int Fired = 0;
  {
    TKStringList L;
    L.Add("a");
    L.OnChange = [&](TObject*) { ++Fired; };
    L.OnChanging = [&](TObject*) { ++Fired; };
  }
  EXPECT_EQ(Fired, 0);
}

TEST(KStringList, AddObjectOfIgnoredDuplicateReplacesObject) {
  std::unique_ptr<TKStringList> L(SortedList({"ABC", "x"}, dupIgnore));
  TObject O;
  EXPECT_EQ(L->AddObject("abc", &O), 0);
  EXPECT_EQ(L->Count(), 2);
  EXPECT_EQ(L->Objects(0), &O);
  EXPECT_EQ(L->Strings(0), "ABC");
}

TEST(KStringList, ListDoesNotOwnObjects) {
  auto O = std::make_unique<TObject>();
  {
    TKStringList L;
    L.AddObject("a", O.get());
    L.Delete(0);
    L.AddObject("b", O.get());
    L.Clear();
    L.AddObject("c", O.get());
  }
  EXPECT_STREQ(O->ClassName(), "TObject");  // still alive (ASan would tell otherwise)
}

TEST(KStringList, TextLinesTable) {
  struct {
    const char* Name;
    std::string Text;
    std::vector<std::string> Items;
  } Cases[] = {
      {"CrLf", "a\r\nb\r\n", {"a", "b"}},
      {"LfCr", "a\n\rb", {"a", "", "b"}},
      {"OneLineEnd", "a\r\n", {"a"}},
      {"LfOnly", "a\nb", {"a", "b"}},
      {"CrOnly", "a\rb\r", {"a", "b"}},
      {"EmptyLines", "\r\n\r\n", {"", ""}},
      {"NoEnd", "last", {"last"}},
      {"Nul", std::string("a\r\nb\0c\r\n", 8), {"a", "b"}},
      {"Blanks", " a \t", {" a \t"}},
  };
  for (const auto& C : Cases) {
    TKStringList L;
    L.SetTextStr(C.Text);
    EXPECT_EQ(Items(L), C.Items) << C.Name;
  }
  TKStringList L;
  L.SetCommaText("a,b");
  EXPECT_EQ(L.Text(), "a\r\nb\r\n");
  auto Z = L.GetText();
  EXPECT_STREQ(Z.get(), "a\r\nb\r\n");
  L.SetText("x\ny");
  EXPECT_EQ(Items(L), (std::vector<std::string>{"x", "y"}));
  L.SetText(nullptr);
  EXPECT_EQ(L.Count(), 0);
}

TEST(KStringList, MoveKeepsObjectAndCountsWithoutTheItem) {
  TKStringList L;
  TObject O;
  L.SetCommaText("a,b,c,d");
  L.PutObject(0, &O);
  L.Move(0, 3);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"b", "c", "d", "a"}));
  EXPECT_EQ(L.Objects(3), &O);
  L.Move(3, 1);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"b", "a", "c", "d"}));
}

TEST(KStringList, FailedMoveKeepsTheItemButFiresTheBracket) {
  struct {
    const char* What;
    int Cur, New;
    bool Sorted;
    std::string Message;
  } Cases[] = {
      {"bad current", 4, 0, false, IndexMessage(4)},
      {"bad new", 0, 3, false, IndexMessage(3)},
      {"negative new", 1, -1, false, IndexMessage(-1)},
      {"sorted", 0, 1, true, kSorted},
      {"sorted bad current", -2, 1, true, IndexMessage(-2)},
  };
  for (const auto& C : Cases) {
    Recorded R;
    R.Fill({"a", "b", "c"});
    if (C.Sorted) R.List.SetSorted(true);
    R.Events.clear();
    EXPECT_EQ(ErrorOf<EStringListError>([&] { R.List.Move(C.Cur, C.New); }), C.Message) << C.What;
    EXPECT_EQ(Items(R.List), (std::vector<std::string>{"a", "b", "c"})) << C.What;
    EXPECT_EQ(R.Events, "<>") << C.What;
    EXPECT_EQ(R.List.UpdateCount(), 0) << C.What;
  }
}

TEST(KStringList, LoadFromStreamReadsTheRest) {
  TMemoryStream S;
  const std::string Data = "skip\r\none\r\ntwo";
  S.WriteBuffer(Data.data(), static_cast<int>(Data.size()));
  S.SetPosition(6);
  TKStringList L;
  L.Add("old");
  L.LoadFromStream(&S);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"one", "two"}));
}

namespace {
// A stream that announces more bytes than it delivers.
class TShortStream : public TMemoryStream {
public:
  Int64 Size() override { return TMemoryStream::Size() + 16; }
  int Read(void* Buffer, int Count) override {
    std::memset(Buffer, 'Z', static_cast<std::size_t>(Count));
    return TMemoryStream::Read(Buffer, Count);
  }
};
}  // namespace

TEST(KStringList, LoadFromStreamUsesTheBytesActuallyRead) {
  TShortStream S;
  S.WriteBuffer("a\r\nb", 4);
  S.SetPosition(0);
  TKStringList L;
  L.LoadFromStream(&S);
  EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b"}));
}

TEST(KStringList, SaveAndLoadFile) {
  zeltest::TempDir Dir;
  const std::string Name = Dir.file("list.txt");
  TKStringList L;
  L.SetCommaText("eins,zwei,\"dr,ei\"");
  L.SaveToFile(Name);
  EXPECT_EQ(Dir.read("list.txt"), "eins\r\nzwei\r\ndr,ei\r\n");
  TKStringList M;
  M.LoadFromFile(Name);
  EXPECT_EQ(Items(M), Items(L));
  TKStringList Empty;
  Empty.SaveToFile(Name);
  EXPECT_EQ(Dir.read("list.txt"), "");
  EXPECT_THROW(M.LoadFromFile(Dir.file("missing.txt")), EFOpenError);
  EXPECT_EQ(M.UpdateCount(), 0);
  EXPECT_THROW(L.SaveToFile(Dir.file("no/such/dir.txt")), EFCreateError);
}

// A FIFO is no file to load: the file error, at once, not a wait for a
// writer (loaded in a child under a watchdog).
TEST(KStringList, LoadFromFifoFailsWithTheFileError) {
  zeltest::TempDir Dir;
  const std::string Name = Dir.file("pipe.txt");
  ASSERT_EQ(::mkfifo(Name.c_str(), 0600), 0);
  const std::string Expected = "Datei " + Name + " kann nicht ge\xF6" "ffnet werden. Zugriff verweigert.";
  const auto Child = zeltest::RunInChild(
      [&] {
        TKStringList L;
        L.Add("kept");
        try {
          L.LoadFromFile(Name);
          return 1;
        } catch (const EFOpenError& E) {
          if (E.Message() != Expected) return 2;
        }
        return L.Count() == 1 && L.UpdateCount() == 0 ? 0 : 3;
      },
      std::chrono::seconds(20));
  ASSERT_TRUE(Child.Finished) << "the load waited";
  EXPECT_EQ(Child.ExitCode, 0) << "1: loaded, 2: another message, 3: the list changed";
}

TEST(KStringList, AssignCopiesItemsObjectsAndDelimiter) {
  TKStringList Source;
  TObject O;
  Source.SetCommaText("b,a,B");
  Source.PutObject(1, &O);
  Source.SetDelimiter(';');

  TKStringList Plain;
  Plain.Add("gone");
  Plain.Assign(&Source);
  EXPECT_EQ(Items(Plain), (std::vector<std::string>{"b", "a", "B"}));
  EXPECT_EQ(Plain.Objects(1), &O);
  EXPECT_EQ(Plain.Delimiter(), ';');

  std::unique_ptr<TKStringList> Sorted(SortedList({}, dupIgnore));
  Sorted->Assign(&Source);
  EXPECT_EQ(Items(*Sorted), (std::vector<std::string>{"a", "b"}));

  Plain.Assign(&Plain);  // itself: unchanged
  EXPECT_EQ(Plain.Count(), 3);

  TStringList Foreign;
  try {
    Plain.Assign(&Foreign);
    ADD_FAILURE() << "no EConvertError";
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "TStringList kann nicht zu TKStringList zugewiesen werden");
  }
}

namespace {

// A minimal list on the abstract base: only the abstract methods, so the
// base's own Put, Exchange, Add, IndexOf and Capacity are what runs.  It
// counts its update-state changes.
class TVectorStrings : public TKStrings {
public:
  AnsiString Get(int Index) override { return FItems.at(static_cast<std::size_t>(Index)).first; }
  int GetCount() override { return static_cast<int>(FItems.size()); }
  TObject* GetObject(int Index) override { return FItems.at(static_cast<std::size_t>(Index)).second; }
  void PutObject(int Index, TObject* AObject) override { FItems.at(static_cast<std::size_t>(Index)).second = AObject; }
  void Clear() override { FItems.clear(); }
  void Delete(int Index) override { FItems.erase(FItems.begin() + Index); }
  void Insert(int Index, const AnsiString& S) override {
    FItems.insert(FItems.begin() + Index, {S, nullptr});
  }
  std::string States;

protected:
  void SetUpdateState(bool Updating) override { States += Updating ? '[' : ']'; }

private:
  std::vector<std::pair<AnsiString, TObject*>> FItems;
};

}  // namespace

TEST(KStrings, BaseOperationsWorkThroughTheAbstractMethods) {
  TVectorStrings L;
  TObject A, B;
  EXPECT_EQ(L.Add("one"), 0);
  EXPECT_EQ(L.AddObject("two", &B), 1);
  L.PutObject(0, &A);
  EXPECT_EQ(L.Capacity(), 2);
  L.Put(0, "uno");  // keeps the object
  EXPECT_EQ(L.Strings(0), "uno");
  EXPECT_EQ(L.Objects(0), &A);
  L.States.clear();
  L.Exchange(0, 1);
  EXPECT_EQ(L.States, "[]");
  EXPECT_EQ(Items(L), (std::vector<std::string>{"two", "uno"}));
  EXPECT_EQ(L.Objects(0), &B);
  EXPECT_EQ(L.Objects(1), &A);
  EXPECT_EQ(L.IndexOf("UNO"), 1);
  EXPECT_EQ(L.IndexOf("drei"), -1);
  L.States.clear();
  L.SetCommaText("x,y");
  EXPECT_EQ(L.States, "[]");
  EXPECT_EQ(L.Text(), "x\r\ny\r\n");
  TKStringList Copy;
  Copy.Assign(&L);
  EXPECT_EQ(Items(Copy), (std::vector<std::string>{"x", "y"}));
}
