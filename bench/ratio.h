// Ratios measured in one run.  This machine's speed changes from minute to
// minute, so a figure is a ratio against a baseline that does the same work:
// in every round each side is timed in turn, and the run reports the median
// time of each side and the median of the rounds' ratios.
//
//   TRounds R;
//   for (auto _ : State) {
//     R.Time("memchr", [&] { ... });
//     R.Time("scan", [&] { ... });
//   }
//   R.Ratio("scan", "memchr");        // counter scan_per_memchr
//   R.Report(State);                  // counters memchr_ms, scan_ms
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelbench {

inline double Median(std::vector<double> V) {
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

// The least number of rounds a ratio is reported from.
constexpr int MinRounds = 9;

class TRounds {
public:
  // Times Work as this round's figure of Side; returns the seconds.
  template <class F>
  double Time(const std::string& Side, F&& Work) {
    const double S = Seconds(std::forward<F>(Work));
    Add(Side, S);
    return S;
  }
  // Files Seconds as this round's figure of Side (a figure made of others).
  void Add(const std::string& Side, double Seconds) { FTimes[Side].push_back(Seconds); }
  // The seconds of Side in the present round (the last one timed).
  double Last(const std::string& Side) const {
    const auto It = FTimes.find(Side);
    return It == FTimes.end() || It->second.empty() ? 0 : It->second.back();
  }
  // Reports, as "<Side>_per_<Base>", the median of Side / Base over the rounds.
  void Ratio(const std::string& Side, const std::string& Base) { FRatios.emplace_back(Side, Base); }

  // Medians of every side in milliseconds ("<Side>_ms"), the ratios asked
  // for, and "rounds".  Fewer than MinRounds rounds is an error.
  void Report(benchmark::State& State) const {
    std::size_t Rounds = 0;
    for (const auto& [Side, Times] : FTimes) {
      State.counters[Side + "_ms"] = 1000 * Median(Times);
      Rounds = std::max(Rounds, Times.size());
    }
    for (const auto& [Side, Base] : FRatios) {
      const auto A = FTimes.find(Side);
      const auto B = FTimes.find(Base);
      if (A == FTimes.end() || B == FTimes.end()) continue;
      std::vector<double> R;
      for (std::size_t I = 0; I < A->second.size() && I < B->second.size(); ++I)
        if (B->second[I] > 0) R.push_back(A->second[I] / B->second[I]);
      State.counters[Side + "_per_" + Base] = Median(R);
      if (std::getenv("ZEL_BENCH_ROUNDS")) {
        std::fprintf(stderr, "%s/%s:", Side.c_str(), Base.c_str());
        for (double X : R) std::fprintf(stderr, " %.2f", X);
        std::fprintf(stderr, "\n");
      }
    }
    State.counters["rounds"] = static_cast<double>(Rounds);
    if (Rounds < static_cast<std::size_t>(MinRounds)) State.SkipWithError("fewer rounds than a median needs");
  }

private:
  std::map<std::string, std::vector<double>> FTimes;
  std::vector<std::pair<std::string, std::string>> FRatios;
};

}  // namespace zelbench
