// Filling the sorted, owner-drawn hit list box with item lines and selecting
// the first entry, as the article search does with a large answer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "controls/kCtrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

namespace {

// Hit lines 'n;article;text', sorted by article number or in a scrambled
// order of it.
std::vector<AnsiString> HitLines(int Count, bool Scrambled) {
  std::vector<AnsiString> lines;
  lines.reserve(static_cast<std::size_t>(Count));
  std::uint32_t x = 12345;
  for (int i = 0; i < Count; ++i) {
    x = x * 1103515245u + 12345u;
    const int article = Scrambled ? static_cast<int>((x >> 8) % 900000u) + 100000 : 100000 + i * 7;
    lines.push_back(IntToStr(i) + ";" + IntToStr(article) + ";Artikel " + IntToStr(article) + " Farbe " +
                    IntToStr(i % 17));
  }
  return lines;
}

void FillSortedListBox(benchmark::State& State) {
  const int count = static_cast<int>(State.range(0));
  const std::vector<AnsiString> lines = HitLines(count, State.range(1) != 0);
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 600);
  for (auto _ : State) {
    auto* box = new TKListBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 201, 500);
    box->SetItemHeight(13);
    box->SetColWidths("2;5;40;");
    box->SetKeyPos(2);
    box->SetSortItem(2);  // ordered by article number
    box->SetSorted(true);
    for (const AnsiString& l : lines) box->AddLine(l);
    box->SetIndex(0);
    benchmark::DoNotOptimize(box->GetKeyInt());
    State.PauseTiming();
    delete box;
    State.ResumeTiming();
  }
  State.SetItemsProcessed(State.iterations() * count);
}
// Second argument: 1 scrambled, 0 already in order.
BENCHMARK(FillSortedListBox)
    ->ArgNames({"lines", "scrambled"})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  platform::InitTestApplication(argc, argv);
  platform::InstallOsLayer();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
