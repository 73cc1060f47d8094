// Reading large KCSV answers, each figure a ratio against a baseline that
// does the same work, both timed in turn round by round in one run
// (bench/ratio.h):
//  - BM_ScanRatio: the one scan over a 100 MB answer (OpenText) with the
//    reader reused, as the client keeps one, and with a fresh reader,
//    against counting the line ends of the same bytes with memchr;
//  - BM_FieldWalkRatio: every field of every row read by reference, the
//    column taken by index, against a bare loop that splits the same bytes
//    at line ends and '^' into one reused string; and the same walk with
//    the column found by its name (as the client's readers ask, in lower
//    case) against the walk by index;
//  - BM_PeakMemory: the peak resident memory of a 100 MB answer handed to a
//    reader that holds the answer before, and walked by column names.
// Run once more with GLIBC_TUNABLES=glibc.malloc.trim_threshold=131072 to
// see the scan when the heap gives freed memory back at once.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/proc_status.h"
#include "bench/ratio.h"
#include "foundation/kcsvFile.h"
#include "platform/rtl/codepage.h"

namespace {

// A service answer of about Bytes bytes: a search table, an article table
// and a size table, as the service sends them, repeated.
std::string MakeAnswer(std::size_t Bytes) {
  std::string T;
  T.reserve(Bytes + 4096);
  std::uint32_t Seed = 12345;
  auto Rand = [&Seed] {
    Seed = Seed * 1103515245u + 12345u;
    return (Seed >> 8) & 0xFFFFFF;
  };
  T += "#generated answer\r\n#CHR=~^\r\n";
  T += "@stm,ALL,F=lfdnr[INT],eid[INT],fab[STR(40)],art[STR],sai[CHAR(4)],lnd[STR]\r\n";
  const std::size_t Third = Bytes / 3;
  for (int I = 0; T.size() < Third; ++I)
    T += std::to_string(I) + "^" + std::to_string(100000 + Rand() % 900000) + "^Lieferant " +
         std::to_string(Rand() % 500) + " Gr\xFC" "n Jacke ^ART-" + std::to_string(Rand()) + "^" +
         std::to_string(2000 + I % 30) + "^de\r\n";
  T += "@art,eid[INTEGER],lief[INT],marke[STR],herst[STR],artnr[STR],sai[STR],txt1[STR],txt2[STR],"
       "farbe[STR],mat[STR],easwg[INT],blewg[INT],dtbwg[INT],fedas[INT],liefwg[STR],lfa[DATE],lfb[DATE],"
       "modell[STR],mindm[INT],ve[INT],breite[FLOAT],nos[BOOL]\r\n";
  for (int I = 0; T.size() < 2 * Third; ++I)
    T += std::to_string(100000 + I) + "^" + std::to_string(Rand() % 9999) + "^Marke ~^ Co^Hersteller " +
         std::to_string(Rand() % 77) + "^A" + std::to_string(Rand()) + "^2024^Damen-Jacke wattiert^Zeile 1\\nZeile 2^"
         "dunkelblau^100% Polyester^" + std::to_string(Rand() % 1000) + "^" + std::to_string(Rand() % 1000) + "^" +
         std::to_string(Rand() % 1000) + "^" + std::to_string(Rand() % 100000) + "^WG-" +
         std::to_string(Rand() % 50) + "^20240115^20240630^Modell \xC4" "rmel^1^" + std::to_string(1 + Rand() % 12) +
         "^1,5^" + std::to_string(I % 2) + "\r\n";
  T += ";CHECKSUM=0\r\n@srm,eid[INT],gr[STR],gtin[STR],ek[FLOAT],vk[FLOAT],qaz[INT],pos[INT],txt[STR]\r\n";
  for (int I = 0; T.size() < Bytes; ++I)
    T += std::to_string(100000 + I / 8) + "^" + std::to_string(34 + I % 8 * 2) + "^40" +
         std::to_string(10000000000ull + Rand()) + "^" + std::to_string(Rand() % 200) + ",95^" +
         std::to_string(Rand() % 400) + ",99^" + std::to_string(Rand() % 10) + "^" + std::to_string(I % 8) +
         "^Gr\xF6\xDF" "e " + std::to_string(34 + I % 8 * 2) + "\r\n";
  return T;
}

const std::string& Answer(std::size_t MegaBytes) {
  static std::map<std::size_t, std::string> Cache;
  auto It = Cache.find(MegaBytes);
  if (It == Cache.end()) It = Cache.emplace(MegaBytes, MakeAnswer(MegaBytes << 20)).first;
  return It->second;
}

constexpr std::size_t Full = 100;

std::size_t MemchrLineEnds(const std::string& Text) {
  std::size_t Lines = 0;
  const char* P = Text.data();
  const char* const E = P + Text.size();
  while ((P = static_cast<const char*>(std::memchr(P, '\n', static_cast<std::size_t>(E - P)))) != nullptr) {
    ++Lines;
    ++P;
  }
  return Lines;
}

using zelbench::TRounds;

// The yardstick: the line ends of the same bytes counted with memchr.
void BM_MemchrLineEnds(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  for (auto _ : State) benchmark::DoNotOptimize(MemchrLineEnds(Text));
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_MemchrLineEnds)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The scan against the memchr count, in turn round by round.  Each answer
// is a text of its own handed over to OpenText (as the client hands over
// the converted reply): once to the reader kept from round to round (closed
// before, as the client's is by the answer before), once to a reader made
// for it; memchr counts in a copy made at the same time, so that all three
// read memory in the same state.  The order of the three sides turns from
// round to round.
// Argument 1 also gives the heap back to the system (malloc_trim) before
// each round.
void BM_ScanRatio(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  const bool Trim = State.range(0) != 0;
  TKcsvFile Reused;
  TRounds R;
  int Round = 0;
  for (auto _ : State) {
    Reused.Close();
    const std::string ForMemchr = Text;
    std::string ForReused = Text;
    std::string ForFresh = Text;
    if (Trim) ::malloc_trim(0);
    auto Fresh = std::make_unique<TKcsvFile>();
    for (int Side = 0; Side < 3; ++Side) {
      switch ((Side + Round) % 3) {
        case 0:
          R.Time("memchr", [&] { benchmark::DoNotOptimize(MemchrLineEnds(ForMemchr)); });
          break;
        case 1:
          R.Time("scan_reused", [&] { Reused.OpenText(std::move(ForReused)); });
          break;
        default:
          R.Time("scan_fresh", [&] { Fresh->OpenText(std::move(ForFresh)); });
          break;
      }
    }
    ++Round;
    if (Reused.TableCount() != 3 || Fresh->TableCount() != 3) State.SkipWithError("tables missing");
    State.SetIterationTime(R.Last("scan_reused"));
    Fresh.reset();
  }
  R.Ratio("scan_reused", "memchr");
  R.Ratio("scan_fresh", "memchr");
  R.Report(State);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_ScanRatio)->ArgName("trim")->Arg(0)->Arg(1)->UseManualTime()->Iterations(15)
    ->Unit(benchmark::kMillisecond);

// The scan alone: the text is handed over (not copied) to OpenText.
void BM_Scan(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  TKcsvFile F;
  for (auto _ : State) {
    State.PauseTiming();
    F.Close();
    std::string Copy = Text;
    State.ResumeTiming();
    F.OpenText(std::move(Copy));
    benchmark::DoNotOptimize(F.TableCount());
  }
  State.counters["rows"] = static_cast<double>(F.Tables(0)->Count() + F.Tables(1)->Count() + F.Tables(2)->Count());
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// OpenText as the client calls it: a copy of the text, then the scan.
void BM_OpenTextCopy(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  TKcsvFile F;
  for (auto _ : State) {
    F.OpenText(Text);
    benchmark::DoNotOptimize(F.TableCount());
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_OpenTextCopy)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Mode "m" on a file in the page cache: map, scan, unmap.
void BM_OpenMapped(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  const char* Tmp = std::getenv("TMPDIR");
  const std::string Path = std::string(Tmp ? Tmp : "/tmp") + "/kcsv_bench_" + std::to_string(::getpid()) + ".kcsv";
  {
    std::ofstream Out(Path, std::ios::binary);
    Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
  }
  TKcsvFile F;
  for (auto _ : State) {
    if (!F.Open(Path, "m")) State.SkipWithError("cannot map");
    F.Close();
  }
  std::remove(Path.c_str());
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_OpenMapped)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Every field of every row as text, on answers of 25, 50 and 100 MB.
void BM_ReadEveryField(benchmark::State& State) {
  const std::string& Text = Answer(static_cast<std::size_t>(State.range(0)));
  TKcsvFile F;
  F.OpenText(Text);
  std::size_t Values = 0;
  for (auto _ : State) {
    for (Integer T = 0; T < F.TableCount(); ++T) {
      TKTable* Table = F.Tables(T);
      for (Table->First(); !Table->Eof(); Table->Next())
        for (Integer C = 0; C < Table->FieldCount(); ++C) {
          benchmark::DoNotOptimize(Table->Fields(C)->AsString());
          ++Values;
        }
    }
  }
  State.counters["values"] = static_cast<double>(Values / State.iterations());
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
// The yardstick of the field walk: the same bytes split at line ends and
// '^' into one reused string, field by field (the ends found by a table).
std::size_t BareSplit(const std::string& Text) {
  static const auto Ends = [] {
    std::array<bool, 256> E{};
    E['^'] = E['\n'] = E['\r'] = true;
    return E;
  }();
  std::string Field;
  std::size_t Fields = 0;
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const auto* const E = P + Text.size();
  const auto* Start = P;
  for (; P < E; ++P) {
    if (Ends[*P]) {
      Field.assign(reinterpret_cast<const char*>(Start), static_cast<std::size_t>(P - Start));
      benchmark::DoNotOptimize(Field.data());
      ++Fields;
      Start = P + 1;
    }
  }
  return Fields;
}

// Every field of every row of every table, by reference: the column taken
// by its index.
std::size_t WalkByIndex(TKcsvFile& F) {
  std::size_t Values = 0;
  for (Integer T = 0; T < F.TableCount(); ++T) {
    TKTable* Table = F.Tables(T);
    for (Table->First(); !Table->Eof(); Table->Next())
      for (Integer C = 0; C < Table->FieldCount(); ++C) {
        const AnsiString& Value = Table->Fields(C)->AsString();
        benchmark::DoNotOptimize(Value.data());
        ++Values;
      }
  }
  return Values;
}

// The column names of a table as the client's readers spell them.
std::vector<AnsiString> AskedNames(TKTable* Table) {
  std::vector<AnsiString> Names;
  for (Integer C = 0; C < Table->FieldCount(); ++C) Names.push_back(LowerCase(Table->Fields(C)->Name()));
  return Names;
}

// The same walk, the column found by its name for every value.
std::size_t WalkByName(TKcsvFile& F) {
  std::size_t Values = 0;
  for (Integer T = 0; T < F.TableCount(); ++T) {
    TKTable* Table = F.Tables(T);
    const std::vector<AnsiString> Names = AskedNames(Table);
    for (Table->First(); !Table->Eof(); Table->Next())
      for (const AnsiString& Name : Names) {
        TKField* Field = Table->FieldByName(Name);
        const AnsiString& Value = Field ? Field->AsString() : Name;
        benchmark::DoNotOptimize(Value.data());
        ++Values;
      }
  }
  return Values;
}

// The three walks in turn, round by round, the order turning.
void BM_FieldWalkRatio(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  TKcsvFile F;
  F.OpenText(Text);
  TRounds R;
  std::size_t ByIndex = 0, ByName = 0, Split = 0;
  int Round = 0;
  for (auto _ : State) {
    for (int Side = 0; Side < 3; ++Side) {
      switch ((Side + Round) % 3) {
        case 0: R.Time("split", [&] { Split = BareSplit(Text); }); break;
        case 1: R.Time("by_index", [&] { ByIndex = WalkByIndex(F); }); break;
        default: R.Time("by_name", [&] { ByName = WalkByName(F); }); break;
      }
    }
    ++Round;
    State.SetIterationTime(R.Last("by_index"));
  }
  if (ByIndex == 0 || ByIndex != ByName) State.SkipWithError("the walks read different fields");
  R.Ratio("by_index", "split");
  R.Ratio("by_name", "by_index");
  R.Report(State);
  State.counters["values"] = static_cast<double>(ByIndex);
  State.counters["split_fields"] = static_cast<double>(Split);
}
BENCHMARK(BM_FieldWalkRatio)->UseManualTime()->Iterations(11)->Unit(benchmark::kMillisecond);

using zelbench::StatusKb;

// Peak resident memory of a 100 MB answer read and walked, above what the
// process held before: the reader holds the answer before (as the client's
// does), the new answer arrives as the service's wide text and is handed to
// the reader, and every field is read by column name.  Argument 0: the
// answer converted to a text of its own first, which the reader takes over
// (OpenText(WideToAnsi(...))); 1: the wide text handed to the reader, which
// converts it into its own buffer (as the client hands answers over).  The
// high-water mark is reset after the heap was trimmed.
void BM_PeakMemory(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  const bool Wide = State.range(0) != 0;
  TKcsvFile F;
  if (Wide)
    F.OpenText(platform::AnsiToWide(Text));
  else
    F.OpenText(Text);
  double Peak = 0;
  for (auto _ : State) {
    const WideString Answer = platform::AnsiToWide(Text);
    ::malloc_trim(0);
    const long Held = StatusKb("VmRSS");
    {
      std::ofstream Reset("/proc/self/clear_refs");
      Reset << "5";
    }
    if (Wide)
      F.OpenText(Answer);
    else
      F.OpenText(platform::WideToAnsi(Answer));
    benchmark::DoNotOptimize(WalkByName(F));
    const long High = StatusKb("VmHWM");
    if (Held < 0 || High < 0) State.SkipWithError("no /proc/self/status");
    Peak = static_cast<double>(High - Held) * 1024.0;
  }
  constexpr double MiB = 1024.0 * 1024.0;
  State.counters["peak_MiB"] = Peak / MiB;
  State.counters["answer_MiB"] = static_cast<double>(Text.size()) / MiB;
  State.counters["x_answer"] = Peak / static_cast<double>(Text.size());
}
BENCHMARK(BM_PeakMemory)->ArgName("wide")->Arg(0)->Arg(1)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ReadEveryField)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
