// Filling the hit list box with a large search answer, on a shown window:
//  - the hit list as the client fills it (unsorted, caller lines "n;eid;fab"
//    read from the answer table "stm"), then the first entry selected,
//    against a bare QListWidget given the same item texts with addItems,
//    in turn round by round (bench/ratio.h);
//  - the sorted fill of owner-drawn item lines (sorted by article number,
//    scrambled or already in order).
// One box is reused for every iteration, so no native list waits for an
// event loop to delete it; deferred deletes are processed between runs.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QListWidget>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "client/main.h"
#include "controls/kCtrls.h"
#include "foundation/kcsvFile.h"
#include "bench/ratio.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/gui/qt_internal.h"
#include "platform/rtl/sysutils.h"

namespace {

std::uint32_t Next(std::uint32_t& x) {
  x = x * 1103515245u + 12345u;
  return x >> 8;
}

// Hit lines 'n;article;text', sorted by article number or in a scrambled
// order of it.
std::vector<AnsiString> HitLines(int Count, bool Scrambled) {
  std::vector<AnsiString> lines;
  lines.reserve(static_cast<std::size_t>(Count));
  std::uint32_t x = 12345;
  for (int i = 0; i < Count; ++i) {
    const int article = Scrambled ? static_cast<int>(Next(x) % 900000u) + 100000 : 100000 + i * 7;
    lines.push_back(IntToStr(i) + ";" + IntToStr(article) + ";Artikel " + IntToStr(article) + " Farbe " +
                    IntToStr(i % 17));
  }
  return lines;
}

// A search answer with Count hits, as the service sends it.
AnsiString SearchAnswer(int Count) {
  AnsiString t = "#CHR=~^\r\n@stm,ALL,F=lfdnr[INT],eid[INT],fab[STR(40)],art[STR],sai[CHAR(4)],lnd[STR]\r\n";
  std::uint32_t x = 4711;
  for (int i = 0; i < Count; ++i)
    t += IntToStr(i + 1) + "^" + IntToStr(100000 + static_cast<int>(Next(x) % 900000u)) + "^Lieferant " +
         IntToStr(static_cast<int>(Next(x) % 500)) + " Gr\xFCne Jacke ^ART-" + IntToStr(static_cast<int>(Next(x))) +
         "^2024^de\r\n";
  return t;
}

// The window that holds the box, shown as the main window is.
TForm& Window() {
  static TForm* form = [] {
    auto* f = new TForm(nullptr);
    f->SetBounds(0, 0, 766, 970);
    platform::ShowAndActivate(f);
    return f;
  }();
  return *form;
}

// The hit list as the main window's description makes it.
std::unique_ptr<TKListBox> HitListBox(int SortItem) {
  auto box = std::make_unique<TKListBox>(&Window());
  box->SetParent(&Window());
  box->SetBounds(0, 41, 201, 900);
  box->SetItemHeight(13);
  box->SetColWidths("2;5;40;");
  box->SetKeyPos(2);
  box->SetSortItem(SortItem);
  box->SetColor(static_cast<TColor>(16711145));
  platform::ProcessPendingMessages();
  return box;
}

// Drops what an earlier benchmark left behind (native lists deleted later).
void Settle() { platform::ProcessPendingMessages(); }

// Whether the box's native list shows Count rows (the fill reached the
// window).
bool NativeListShows(TKListBox* Box, int Count) {
  auto* l = qobject_cast<QAbstractItemView*>(platform::WidgetOf(Box));
  return l && l->model() && l->model()->rowCount() == Count;
}

// The client's fill against the yardstick, in turn round by round:
//  - fill: the client's fill (the box emptied, every hit of "stm" added,
//    the first entry selected and its key read) against a bare QListWidget
//    of the same size on a shown window given the same item texts, each
//    made with QString::fromLatin1, with addItems, the first row selected;
//  - shown: the same, each followed by the pending events handled (the
//    lists laid out and painted), so that work left for later counts too.
void BM_HitListFillRatio(benchmark::State& State) {
  const int count = static_cast<int>(State.range(0));
  TKcsvFile csv;
  csv.OpenText(SearchAnswer(count));
  auto box = HitListBox(0);
  FillHitList(box.get(), csv.TableByName("stm"));
  std::vector<AnsiString> texts;
  for (int i = 0; i < box->Items()->Count(); ++i) texts.push_back(box->Items()->Strings(i));
  box->Clear();
  Settle();

  QWidget window;
  window.resize(766, 970);
  QListWidget list(&window);
  list.setGeometry(0, 41, 201, 900);
  list.setUniformItemSizes(true);
  window.show();
  Settle();

  zelbench::TRounds R;
  Integer hits = 0;
  int round = 0;
  for (auto _ : State) {
    for (int side = 0; side < 2; ++side) {
      if ((side + round) % 2 == 0) {
        R.Time("client", [&] {
          box->Clear();
          hits = FillHitList(box.get(), csv.TableByName("stm"));
          box->SetIndex(0);
          benchmark::DoNotOptimize(box->GetKeyInt());
        });
        R.Time("client_settle", Settle);
      } else {
        R.Time("bare", [&] {
          list.clear();
          QStringList q;
          q.reserve(static_cast<qsizetype>(texts.size()));
          for (const AnsiString& t : texts) q << QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
          list.addItems(q);
          list.setCurrentRow(0);
          benchmark::DoNotOptimize(list.currentRow());
        });
        R.Time("bare_settle", Settle);
      }
    }
    ++round;
    R.Add("client_shown", R.Last("client") + R.Last("client_settle"));
    R.Add("bare_shown", R.Last("bare") + R.Last("bare_settle"));
    State.SetIterationTime(R.Last("client"));
  }
  if (hits != count || !NativeListShows(box.get(), count) || list.count() != count)
    State.SkipWithError("not every hit was listed");
  R.Ratio("client", "bare");
  R.Ratio("client_shown", "bare_shown");
  R.Report(State);
  State.SetItemsProcessed(State.iterations() * count);
  box.reset();
  Settle();
}
BENCHMARK(BM_HitListFillRatio)->Arg(100000)->UseManualTime()->Iterations(11)->Unit(benchmark::kMillisecond);

// The sorted, owner-drawn fill of item lines with the first entry selected.
void BM_FillSortedListBox(benchmark::State& State) {
  const int count = static_cast<int>(State.range(0));
  const std::vector<AnsiString> lines = HitLines(count, State.range(1) != 0);
  auto box = HitListBox(2);  // ordered by article number
  box->SetSorted(true);
  Settle();
  for (auto _ : State) {
    box->Clear();
    for (const AnsiString& l : lines) box->AddLine(l);
    box->SetIndex(0);
    benchmark::DoNotOptimize(box->GetKeyInt());
  }
  if (!NativeListShows(box.get(), count)) State.SkipWithError("the native list lags behind");
  State.SetItemsProcessed(State.iterations() * count);
  box.reset();
  Settle();
}
// Second argument: 1 scrambled, 0 already in order.
BENCHMARK(BM_FillSortedListBox)
    ->ArgNames({"lines", "scrambled"})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  platform::InitTestApplication(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
