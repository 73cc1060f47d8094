// Reading large KCSV answers: the one scan over the text against counting
// its line ends with memchr, and reading every field of every row.
// Every benchmark runs in repetitions and reports their median; the ratio
// benchmarks time both sides alternately in one run.  Run once more with
// GLIBC_TUNABLES=glibc.malloc.trim_threshold=131072 to see the scan when
// the heap gives freed memory back at once.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
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

#include "foundation/kcsvFile.h"

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

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  const std::size_t N = V.size();
  return N == 0 ? 0 : (N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2);
}

template <class F>
double Seconds(F&& Work) {
  const auto Start = std::chrono::steady_clock::now();
  Work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// The yardstick: the line ends of the same bytes counted with memchr.
void BM_MemchrLineEnds(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  for (auto _ : State) benchmark::DoNotOptimize(MemchrLineEnds(Text));
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_MemchrLineEnds)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The scan against the memchr count, alternately in one run: each answer
// is a fresh text handed over to OpenText (as the client hands over the
// converted reply) after the reader closed the one before.  Argument 1
// also gives the heap back to the system (malloc_trim) between answers.
void BM_ScanPerMemchr(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  const bool Trim = State.range(0) != 0;
  TKcsvFile F;
  std::vector<double> Scan, Memchr, Ratio;
  for (auto _ : State) {
    F.Close();
    std::string Copy = Text;
    if (Trim) ::malloc_trim(0);
    const double M = Seconds([&] { benchmark::DoNotOptimize(MemchrLineEnds(Text)); });
    const double S = Seconds([&] { F.OpenText(std::move(Copy)); });
    benchmark::DoNotOptimize(F.TableCount());
    State.SetIterationTime(S);
    Scan.push_back(S);
    Memchr.push_back(M);
    Ratio.push_back(S / M);
  }
  State.counters["scan_ms"] = 1000 * Median(Scan);
  State.counters["memchr_ms"] = 1000 * Median(Memchr);
  State.counters["ratio"] = Median(Ratio);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_ScanPerMemchr)->ArgName("trim")->Arg(0)->Arg(1)->UseManualTime()->Iterations(21)
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
// Every field of every row as the client's readers take it: the column
// found by its name, the value copied into a text of its own.
void BM_ReadEveryFieldByName(benchmark::State& State) {
  const std::string& Text = Answer(Full);
  TKcsvFile F;
  F.OpenText(Text);
  for (auto _ : State) {
    for (Integer T = 0; T < F.TableCount(); ++T) {
      TKTable* Table = F.Tables(T);
      std::vector<AnsiString> Names;
      for (Integer C = 0; C < Table->FieldCount(); ++C) Names.push_back(Table->Fields(C)->Name());
      for (Table->First(); !Table->Eof(); Table->Next())
        for (const AnsiString& Name : Names) {
          TKField* Field = Table->FieldByName(Name);
          AnsiString Value = Field ? Field->AsString() : AnsiString();
          benchmark::DoNotOptimize(Value);
        }
    }
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_ReadEveryFieldByName)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK(BM_ReadEveryField)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
