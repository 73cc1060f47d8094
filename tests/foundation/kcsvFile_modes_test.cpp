// The KCSV reader on files: the three open modes, failures, trace lines.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "foundation/kcsvFile.h"
#include "platform/os/fileutil.h"
#include "tests/foundation/kcsvFile_support.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

using zeltest::Dump;
using zeltest::ExampleText;

namespace {

std::vector<std::string>* TraceSink = nullptr;
void Record(const AnsiString& Line) {
  if (TraceSink) TraceSink->push_back(Line);
}

// Records the trace lines while it lives.
class TraceRecorder {
public:
  TraceRecorder() {
    TraceSink = &Lines;
    CsvLogProc = &Record;
  }
  ~TraceRecorder() {
    CsvLogProc = nullptr;
    TraceSink = nullptr;
  }
  std::vector<std::string> Lines;
};

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

// Rows longer than the 16384-byte chunks of mode "f", rows across chunk
// borders, escapes and a last row without line end.
std::string ChunkyText() {
  std::string T = "#CHR=~^\r\n#comment\r\n@a,ALL,F=n[INT],s[STR],t\r\n";
  for (int I = 0; I < 900; ++I) {
    T += std::to_string(I) + "^" + std::string(static_cast<std::size_t>(I % 37), 'x') + "~^y\\n^" +
         (I % 5 == 0 ? "\xE4\xF6\xFC" : "t") + "\r\n";
    if (I == 450) T += "7^" + std::string(40000, 'L') + "^long\r\n";
    if (I == 300) T += "#" + std::string(17000, 'c') + "\r\n";
  }
  // A header longer than a chunk, and one row for it.
  T += "@wide";
  for (int I = 0; I < 600; ++I) T += ",column_with_a_long_name_" + std::to_string(I) + "[STR]";
  T += "\r\nw0^w1\r\n";
  T += "@b,k\n\n\n   lone\n@c,x,y\nlast^" + std::string(20000, 'z');
  return T;
}

class KcsvFiles : public ::testing::Test {
protected:
  std::string Write(const std::string& Name, const std::string& Bytes) { return Dir.write(Name, Bytes); }

  zeltest::TempDir Dir;
};

}  // namespace

TEST_F(KcsvFiles, DataFileIsTheWorkedExample) {
  EXPECT_EQ(ReadFile(std::string(ZEL_TEST_DATA_DIR) + "/kcsv/example.kcsv"), ExampleText);
}

TEST_F(KcsvFiles, TheThreeModesGiveTheTablesOfTheText) {
  const std::vector<std::string> Texts = {
      ExampleText, ChunkyText(), ReadFile(std::string(ZEL_TEST_DATA_DIR) + "/kcsv/search_answer.kcsv"),
      "@t,a,b\n1^abc"};
  for (std::size_t I = 0; I < Texts.size(); ++I) {
    TKcsvFile Reference;
    Reference.OpenText(Texts[I]);
    const std::string Want = Dump(Reference);
    ASSERT_NE(Reference.TableCount(), 0);
    const std::string Path = Write("text" + std::to_string(I) + ".kcsv", Texts[I]);
    for (const char* Mode : {"m", "f", "v"}) {
      SCOPED_TRACE(std::string("text ") + std::to_string(I) + " mode " + Mode);
      TKcsvFile F;
      ASSERT_TRUE(F.Open(Path, Mode));
      EXPECT_TRUE(F.Active());
      EXPECT_TRUE(F.Scanned());
      EXPECT_EQ(F.FileName(), Path);
      EXPECT_EQ(F.Size(), static_cast<Integer>(Texts[I].size()));
      EXPECT_EQ(F.LineCount(), Reference.LineCount());
      EXPECT_EQ(Dump(F), Want);
      EXPECT_EQ(F.CurrentTable(), F.Tables(0));
    }
  }
}

TEST_F(KcsvFiles, ChunkyTextValues) {
  const std::string Path = Write("chunky.kcsv", ChunkyText());
  for (const char* Mode : {"m", "f", "v"}) {
    SCOPED_TRACE(Mode);
    TKcsvFile F;
    ASSERT_TRUE(F.Open(Path, Mode));
    TKTable* A = F.TableByName("a");
    ASSERT_NE(A, nullptr);
    ASSERT_EQ(A->Count(), 901);
    A->SetRecNo(451);
    EXPECT_EQ(A->FieldByName("n")->AsInteger(), 7);
    EXPECT_EQ(A->FieldByName("s")->AsString(), std::string(40000, 'L'));
    EXPECT_EQ(A->FieldByName("t")->AsString(), "long");
    A->SetRecNo(900);
    EXPECT_EQ(A->FieldByName("s")->AsString(), std::string(899 % 37, 'x') + "^y");
    EXPECT_EQ(F.TableByName("b")->Fields(0)->AsString(), "lone");
    ASSERT_EQ(F.Comments()->Count(), 2);
    EXPECT_EQ(F.Comments()->Strings(1), "#" + std::string(17000, 'c'));
    TKTable* Wide = F.TableByName("wide");
    ASSERT_EQ(Wide->FieldCount(), 600);
    EXPECT_EQ(Wide->Fields(599)->Name(), "COLUMN_WITH_A_LONG_NAME_599");
    EXPECT_EQ(Wide->FieldByName("column_with_a_long_name_1")->AsString(), "w1");
    TKTable* C = F.TableByName("c");
    EXPECT_EQ(C->Fields(1)->AsString(), std::string(20000, 'z'));
  }
}

TEST_F(KcsvFiles, ModeLetters) {
  const std::string Path = Write("a.csv", ExampleText);
  struct Case {
    std::string Mode;
    std::optional<char> Letter;  // none: Open fails
  };
  for (const Case& C : {Case{"m", 'm'}, Case{"M", 'm'}, Case{"map", 'm'}, Case{"", 'm'}, Case{"x", 'm'},
                        Case{"Xyz", 'm'}, Case{"f", 'f'}, Case{"F", 'f'}, Case{"file", 'f'}, Case{"v", 'v'},
                        Case{"V", 'v'}, Case{"q", std::nullopt}, Case{"1", std::nullopt},
                        Case{" m", std::nullopt}}) {
    SCOPED_TRACE("mode '" + C.Mode + "'");
    TKcsvFile F;
    TraceRecorder Trace;
    const bool Ok = F.Open(Path, C.Mode);
    const std::string Shown(1, C.Letter ? *C.Letter : C.Mode[0]);
    ASSERT_EQ(Ok, C.Letter.has_value());
    EXPECT_EQ(F.Active(), Ok);
    if (Ok) {
      EXPECT_EQ(Trace.Lines, (std::vector<std::string>{
                                 "TKcsvFile.Open_S", "TKcsvFile.Open('" + Path + "',\"" + Shown + "\")",
                                 "TKcsvFile.Open: '" + Path + "' OK..", "TKcsvFile.CheckData_S",
                                 "TKcsvFile.CheckData_E", "TKcsvFile.Open_E"}));
      EXPECT_EQ(F.TableCount(), 2);
    } else {
      EXPECT_EQ(Trace.Lines, (std::vector<std::string>{"TKcsvFile.Open_S",
                                                       "TKcsvFile.Open('" + Path + "',\"" + Shown + "\")",
                                                       "TKcsvFile.Open: '" + Path + "' fail..", "TKcsvFile.Open_E"}));
      EXPECT_EQ(F.TableCount(), 0);
      EXPECT_EQ(F.FileName(), Path);
    }
  }
}

TEST_F(KcsvFiles, CloseTraceAndRelease) {
  const std::string Path = Write("a.csv", ExampleText);
  for (const char* Mode : {"m", "f", "v"}) {
    TKcsvFile F;
    ASSERT_TRUE(F.Open(Path, Mode));
    TraceRecorder Trace;
    F.Close();
    EXPECT_EQ(Trace.Lines, (std::vector<std::string>{"TKcsvFile.Close_S: '" + Path + "')", "TKcsvFile.Close_E"}));
    EXPECT_FALSE(F.Active());
    EXPECT_FALSE(F.Scanned());
    EXPECT_EQ(F.TableCount(), 0);
    EXPECT_EQ(F.Comments()->Count(), 0);
    EXPECT_EQ(F.CurrentTable(), nullptr);
    F.Close();
    EXPECT_EQ(Trace.Lines.size(), 2u);  // closing again does nothing
  }
}

TEST_F(KcsvFiles, MissingFile) {
  const std::string Path = Dir.file("missing.kcsv");
  {
    TKcsvFile F;
    TraceRecorder Trace;
    EXPECT_FALSE(F.Open(Path, "m"));
    EXPECT_FALSE(F.Active());
    EXPECT_EQ(F.TableCount(), 0);
    EXPECT_EQ(Trace.Lines.back(), "TKcsvFile.Open_E");
    EXPECT_EQ(Trace.Lines[2], "TKcsvFile.Open: '" + Path + "' fail..");
  }
  for (const char* Mode : {"f", "v", "F"}) {
    SCOPED_TRACE(Mode);
    TKcsvFile F;
    F.OpenText(ExampleText);  // an earlier source is closed first
    TraceRecorder Trace;
    try {
      F.Open(Path, Mode);
      ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& E) {
      const std::string Start = "Datei " + Path + " kann nicht ge\xF6" "ffnet werden. ";
      EXPECT_EQ(E.Message().substr(0, Start.size()), Start) << E.Message();
    }
    EXPECT_FALSE(F.Active());
    EXPECT_EQ(F.TableCount(), 0);
    // No end line when the exception leaves Open.
    ASSERT_FALSE(Trace.Lines.empty());
    EXPECT_NE(Trace.Lines.back(), "TKcsvFile.Open_E");
    EXPECT_EQ(Trace.Lines.back(), std::string("TKcsvFile.Open('") + Path + "',\"" +
                                      static_cast<char>(Mode[0] | 0x20) + "\")");
    // The reader stays usable.
    F.OpenText("@t,a\n1\n");
    EXPECT_EQ(F.TableCount(), 1);
  }
  EXPECT_EQ(TKcsvFile::OpenFile(Path, "m"), nullptr);
  EXPECT_THROW(TKcsvFile::OpenFile(Path, "f"), EFOpenError);
}

// A FIFO is a file that cannot be opened, in every mode, and opening it
// does not wait for a writer (each mode in a child under a watchdog).
TEST_F(KcsvFiles, FifoCannotBeOpened) {
  const std::string Path = Dir.file("pipe.kcsv");
  ASSERT_EQ(::mkfifo(Path.c_str(), 0600), 0);
  const std::string Expected = "Datei " + Path + " kann nicht ge\xF6" "ffnet werden. Zugriff verweigert.";
  for (const char* Mode : {"m", "f", "v"}) {
    const auto Child = zeltest::RunInChild(
        [&] {
          TKcsvFile F;
          try {
            if (F.Open(Path, Mode)) return 1;
          } catch (const EFOpenError& E) {
            if (E.Message() != Expected) return 2;
            if (Mode[0] == 'm') return 3;  // mode "m" reports by its result only
          }
          return F.Active() || F.TableCount() != 0 ? 4 : 0;
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(Child.Finished) << Mode << ": the open waited";
    EXPECT_EQ(Child.ExitCode, 0) << Mode << " (1: opened, 2: another message, 3: raised, 4: active)";
  }
}

TEST_F(KcsvFiles, EmptyFile) {
  const std::string Path = Write("empty.kcsv", "");
  struct Case {
    const char* Mode;
    bool Ok;
  };
  for (const Case& C : {Case{"m", false}, Case{"f", true}, Case{"v", true}}) {
    SCOPED_TRACE(C.Mode);
    TKcsvFile F;
    EXPECT_EQ(F.Open(Path, C.Mode), C.Ok);
    EXPECT_EQ(F.Active(), C.Ok);
    EXPECT_EQ(F.Scanned(), C.Ok);
    EXPECT_EQ(F.TableCount(), 0);
  }
}

TEST_F(KcsvFiles, SizeDateAndFileName) {
  const std::string Path = Write("dated.kcsv", ExampleText);
  for (const char* Mode : {"m", "f", "v"}) {
    TKcsvFile F;
    ASSERT_TRUE(F.Open(Path, Mode));
    EXPECT_EQ(F.Size(), 161);
    EXPECT_EQ(F.FileDate(), FileAge(Path));
    EXPECT_NE(F.FileDate(), -1);
    F.OpenText("@t,a\n");
    EXPECT_EQ(F.FileName(), Path);  // OpenText leaves it
    EXPECT_EQ(F.FileDate(), FileAge(Path));
    EXPECT_EQ(F.Size(), 5);
  }
}

TEST_F(KcsvFiles, WindowsPathOnDriveC) {
  const zeltest::ScopedEnv DriveC("ZEL_DRIVE_C", Dir.path().c_str());
  Write("answer.kcsv", ExampleText);
  for (const char* Mode : {"m", "f", "v"}) {
    SCOPED_TRACE(Mode);
    TKcsvFile F;
    ASSERT_TRUE(F.Open("C:\\ANSWER.KCSV", Mode));
    EXPECT_EQ(F.FileName(), "C:\\ANSWER.KCSV");
    ASSERT_NE(F.TableByName("two"), nullptr);
    EXPECT_EQ(F.TableByName("two")->Fields(0)->AsString(), "A1");
  }
}

TEST_F(KcsvFiles, OpenFileHandsOnTheProgressEvent) {
  const std::string Path = Write("a.kcsv", ExampleText);
  int Calls = 0;
  auto F = TKcsvFile::OpenFile(Path, "v", [&](const AnsiString&, Integer, bool) { ++Calls; });
  ASSERT_NE(F, nullptr);
  EXPECT_TRUE(F->Active());
  EXPECT_EQ(Calls, 4);  // three rows and the end
  EXPECT_EQ(F->TableCount(), 2);
  EXPECT_EQ(TKcsvFile::OpenFile(Path, "q"), nullptr);
}

TEST_F(KcsvFiles, HeaderErrorInAFile) {
  const std::string Bad = Write("bad.kcsv", "@ok,a\n1\n@t\n");
  const std::string Good = Write("good.kcsv", ExampleText);
  for (const char* Mode : {"m", "f", "v"}) {
    SCOPED_TRACE(Mode);
    TKcsvFile F;
    TraceRecorder Trace;
    EXPECT_THROW(F.Open(Bad, Mode), EStringListError);
    EXPECT_TRUE(F.Active());
    EXPECT_FALSE(F.Scanned());
    ASSERT_EQ(F.TableCount(), 2);
    EXPECT_EQ(F.Tables(0)->Fields(0)->AsString(), "1");
    EXPECT_EQ(Trace.Lines.back(), "TKcsvFile.CheckData_S");
    ASSERT_TRUE(F.Open(Good, Mode));
    EXPECT_EQ(F.TableCount(), 2);
    EXPECT_EQ(F.Tables(1)->Name(), "two");
  }
}

TEST_F(KcsvFiles, ReopenInAnotherMode) {
  const std::string A = Write("a.kcsv", ExampleText);
  const std::string B = Write("b.kcsv", "@b,x\nonly\n");
  TKcsvFile F;
  ASSERT_TRUE(F.Open(A, "m"));
  ASSERT_TRUE(F.Open(B, "f"));
  EXPECT_EQ(F.TableCount(), 1);
  EXPECT_EQ(F.Tables(0)->Fields(0)->AsString(), "only");
  ASSERT_TRUE(F.Open(A, "v"));
  EXPECT_EQ(F.TableCount(), 2);
  EXPECT_FALSE(F.Open(B, "z"));
  EXPECT_EQ(F.TableCount(), 0);
  EXPECT_FALSE(F.Active());
}

// Row offsets are 32-bit: a file of more bytes than such an offset reaches
// does not open in any mode (a sparse file: nothing of it is written).
TEST_F(KcsvFiles, FileTooLargeForRowOffsetsDoesNotOpen) {
  const std::string Path = Write("huge.kcsv", "@t,a\r\n1\r\n");
  ASSERT_EQ(::truncate(Path.c_str(), static_cast<off_t>(0x80000000LL) + 9), 0);
  for (const char* Mode : {"m", "f", "v"}) {
    SCOPED_TRACE(Mode);
    std::vector<std::string> Trace;
    TCsvLogProc Before = CsvLogProc;
    static std::vector<std::string>* Lines;
    Lines = &Trace;
    CsvLogProc = [](const AnsiString& Line) { Lines->push_back(Line); };
    TKcsvFile F;
    const bool Opened = F.Open(Path, Mode);
    CsvLogProc = Before;
    EXPECT_FALSE(Opened);
    EXPECT_FALSE(F.Active());
    EXPECT_EQ(F.TableCount(), 0);
    EXPECT_NE(std::find(Trace.begin(), Trace.end(), "TKcsvFile.Open: '" + Path + "' fail.."), Trace.end());
    // The reader goes on with the next source.
    F.OpenText("@t,a\r\n7\r\n");
    EXPECT_EQ(F.TableByName("t")->Fields(0)->AsString(), "7");
  }
}

// ---------------------------------------------------------------- the scan against the line rule

namespace {

// What the line rule gives for a text: the lines read byte by byte as the
// format describes them.  Headers are plain ("@name,..."), so the table
// name is the first item without its "@".
struct TLineRuleReading {
  Integer LineCount = 0;
  std::vector<std::string> Comments;
  std::vector<std::string> Names;
  std::vector<std::vector<Integer>> Rows;
  std::vector<Integer> Longest;
};

TLineRuleReading LineRule(const std::string& T) {
  TLineRuleReading R;
  const auto B = [&](std::size_t I) { return static_cast<unsigned char>(T[I]); };
  std::size_t I = 0;
  while (I < T.size()) {
    while (I < T.size() && B(I) <= 0x20) ++I;
    if (I == T.size()) break;
    const std::size_t Start = I;
    while (I < T.size() && B(I) >= 0x20) ++I;
    const std::string Line = T.substr(Start, I - Start);
    if (I < T.size()) ++I;  // the ending byte
    ++R.LineCount;
    if (Line[0] == '#') {
      std::string Head = Line.substr(0, 5);
      std::transform(Head.begin(), Head.end(), Head.begin(), [](char C) { return C >= 'a' && C <= 'z' ? C - 32 : C; });
      if (Head != "#CHR=") R.Comments.push_back(Line);
    } else if (Line[0] == '@') {
      R.Names.push_back(Line.substr(1, Line.find(',') - 1));
      R.Rows.emplace_back();
      R.Longest.push_back(static_cast<Integer>(Line.size()));
    } else if (Line.compare(0, 10, ";CHECKSUM=") != 0 && !R.Rows.empty()) {
      R.Rows.back().push_back(static_cast<Integer>(Start));
      R.Longest.back() = std::max(R.Longest.back(), static_cast<Integer>(Line.size() + 1));
    }
  }
  return R;
}

void ExpectLineRule(TKcsvFile& F, const TLineRuleReading& Want) {
  EXPECT_EQ(F.LineCount(), Want.LineCount);
  std::vector<std::string> Comments;
  for (int I = 0; I < F.Comments()->Count(); ++I) Comments.push_back(F.Comments()->Strings(I));
  EXPECT_EQ(Comments, Want.Comments);
  ASSERT_EQ(F.TableCount(), static_cast<Integer>(Want.Names.size()));
  for (Integer T = 0; T < F.TableCount(); ++T) {
    TKTable* Table = F.Tables(T);
    EXPECT_EQ(Table->Name(), Want.Names[static_cast<std::size_t>(T)]);
    EXPECT_EQ(Table->LongestLine(), Want.Longest[static_cast<std::size_t>(T)]) << Table->Name();
    std::vector<Integer> Rows;
    for (Integer Row = 0; Row < Table->Count(); ++Row) Rows.push_back(Table->RowOffset(Row));
    EXPECT_EQ(Rows, Want.Rows[static_cast<std::size_t>(T)]) << Table->Name();
  }
}

// A text of lines of every kind and of lengths around the sizes the scan
// works in (blocks of 64 bytes, chunks of 16384), ended by each kind of
// control byte, with blanks and empty lines between them.
std::string MixedLines(std::uint32_t Seed, std::size_t Bytes) {
  auto Next = [&Seed](std::uint32_t Below) { return ((Seed = Seed * 1103515245u + 12345u) >> 8) % Below; };
  const std::string Body = std::string("ab^ \xE4\xFC~\\x") + ",";
  const std::string Ends[] = {"\r\n", "\n", "\r", "\t", std::string(1, '\0'), "\x1F", "\r\n\r\n"};
  std::string T;
  if (Next(2) == 0) T += "  before^any^header\r\n";
  while (T.size() < Bytes) {
    const std::uint32_t Kind = Next(16);
    std::size_t Len = Next(5) == 0 ? 60 + Next(10) : Next(140);
    if (Next(200) == 0) Len = 16370 + Next(30);
    std::string Line;
    if (Kind == 0) Line = "#c";
    if (Kind == 1) Line = "@t" + std::to_string(Next(1000)) + ",a,b";
    if (Kind == 2) Line = ";CHECKSUM=";
    if (Kind == 3) Line = ";x";
    if (Kind == 4) Line = "#chr=";
    if (Line.empty() || Kind == 0 || Kind == 3) {
      Line += static_cast<char>('0' + Next(10));
      while (Line.size() < Len) Line += Body[Next(static_cast<std::uint32_t>(Body.size()))];
    }
    if (Next(4) == 0) T += std::string(Next(70), ' ');
    T += Line + Ends[Next(std::size(Ends))];
  }
  if (Next(2) == 0) T += "last^row^without^line^end";
  return T;
}

}  // namespace

// The scan finds the lines of the line rule, however the text falls on the
// blocks and chunks it is read in: in memory and in the three file modes.
TEST_F(KcsvFiles, ScanFindsTheLinesOfTheLineRule) {
  std::vector<std::string> Texts;
  for (std::uint32_t Seed = 1; Seed <= 300; ++Seed) Texts.push_back(MixedLines(Seed, Seed % 300));
  for (std::uint32_t Seed = 1; Seed <= 3; ++Seed) Texts.push_back(MixedLines(Seed * 7919, 70000));
  for (std::size_t I = 0; I < Texts.size(); ++I) {
    SCOPED_TRACE("text " + std::to_string(I) + " " + zeltest::Printable(Texts[I]));
    const TLineRuleReading Want = LineRule(Texts[I]);
    TKcsvFile F;
    F.OpenText(Texts[I]);
    ExpectLineRule(F, Want);
    if (Texts[I].size() < 70000) continue;
    const std::string Path = Write("lines.kcsv", Texts[I]);
    for (const char* Mode : {"m", "f", "v"}) {
      SCOPED_TRACE(Mode);
      ASSERT_TRUE(F.Open(Path, Mode));
      ExpectLineRule(F, Want);
    }
  }
}

// A source so large that its row table is reserved before the scan reads
// the same, and so does a smaller one read by the same reader afterwards.
TEST_F(KcsvFiles, LargeSourceReservesItsRowTable) {
  std::string Large = "@t,a,b\r\n";
  for (int I = 0; Large.size() < (std::size_t{17} << 20); ++I) Large += std::to_string(I) + "^x\r\n";
  const TLineRuleReading Want = LineRule(Large);
  TKcsvFile F;
  F.OpenText(Large);
  ExpectLineRule(F, Want);
  TKTable* T = F.TableByName("t");
  T->SetRecNo(T->Count() - 1);
  EXPECT_EQ(T->Fields(0)->AsInteger(), T->Count() - 1);
  const std::string Small = MixedLines(42, 5000);
  F.OpenText(Small);
  ExpectLineRule(F, LineRule(Small));
  F.OpenText(Large);
  ExpectLineRule(F, Want);
}
