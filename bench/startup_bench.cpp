// Start-up to the first painted window on the offscreen platform: the
// article data client (its own program entry, with a probe that reports
// the first paint) against a bare Qt Widgets window built the same way.
// Both run in the same benchmark run; BM_FirstPaintRatio alternates them
// and reports client / bare (the goal is at most 1.5).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

// A folder for the programs' drive C:, temp and runtime files, removed at exit.
std::string* ScratchDir = nullptr;
const std::string& Scratch() {
  if (!ScratchDir) {
    std::string Tmpl = (std::filesystem::temp_directory_path() / "zel_startup_bench.XXXXXX").string();
    if (!::mkdtemp(Tmpl.data())) throw std::runtime_error("mkdtemp");
    for (const char* Sub : {"/c", "/tmp", "/run"}) std::filesystem::create_directories(Tmpl + Sub);
    ScratchDir = new std::string(Tmpl);
    std::atexit([] {
      std::error_code Ignored;
      std::filesystem::remove_all(*ScratchDir, Ignored);
    });
  }
  return *ScratchDir;
}

// Starts Program and returns the time until it reported its first paint.
double SecondsToFirstPaint(const char* Program) {
  int Pipe[2];
  if (::pipe(Pipe) != 0) throw std::runtime_error("pipe");
  const std::string Fd = std::to_string(Pipe[1]);
  const std::string Dir = Scratch();  // made here, not in the child
  const auto Start = std::chrono::steady_clock::now();
  const pid_t Pid = ::fork();
  if (Pid == 0) {
    ::close(Pipe[0]);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("ZEL_FIRST_PAINT_FD", Fd.c_str(), 1);
    ::setenv("ZEL_DRIVE_C", (Dir + "/c").c_str(), 1);
    ::setenv("TMPDIR", (Dir + "/tmp").c_str(), 1);
    ::setenv("ZEL_RUNTIME_DIR", (Dir + "/run").c_str(), 1);
    const int Null = ::open("/dev/null", O_WRONLY);
    ::dup2(Null, 1);
    ::dup2(Null, 2);
    ::execl(Program, Program, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(Pipe[1]);
  pollfd P{Pipe[0], POLLIN, 0};
  char Byte = 0;
  const bool Painted = ::poll(&P, 1, 60000) == 1 && ::read(Pipe[0], &Byte, 1) == 1 && Byte == 'p';
  const auto End = std::chrono::steady_clock::now();
  ::close(Pipe[0]);
  if (!Painted) ::kill(Pid, SIGKILL);
  int Status = 0;
  ::waitpid(Pid, &Status, 0);
  if (!Painted) throw std::runtime_error(std::string(Program) + " painted no window");
  return std::chrono::duration<double>(End - Start).count();
}

void Run(benchmark::State& State, const char* Program) {
  try {
    for (auto _ : State) State.SetIterationTime(SecondsToFirstPaint(Program));
  } catch (const std::exception& E) {
    State.SkipWithError(E.what());
  }
}

void BM_FirstPaintBareQtWindow(benchmark::State& State) { Run(State, ZEL_BARE_QT_WINDOW); }
void BM_FirstPaintZelWebPricat(benchmark::State& State) { Run(State, ZEL_STARTUP_PROBE); }

// Both programs in turn, so that the machine's load meets both alike.
void BM_FirstPaintRatio(benchmark::State& State) {
  double Bare = 0, Zel = 0;
  try {
    for (auto _ : State) {
      const double B = SecondsToFirstPaint(ZEL_BARE_QT_WINDOW);
      const double Z = SecondsToFirstPaint(ZEL_STARTUP_PROBE);
      Bare += B;
      Zel += Z;
      State.SetIterationTime(Z);
    }
  } catch (const std::exception& E) {
    State.SkipWithError(E.what());
    return;
  }
  const double N = static_cast<double>(State.iterations());
  State.counters["bare_ms"] = 1000.0 * Bare / N;
  State.counters["zel_ms"] = 1000.0 * Zel / N;
  State.counters["ratio"] = Bare > 0 ? Zel / Bare : 0;
}

}  // namespace

BENCHMARK(BM_FirstPaintBareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FirstPaintZelWebPricat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FirstPaintRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
