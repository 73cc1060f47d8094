// Start-up to the first painted window: the article data client (its own
// program entry, with a probe that reports the first paint) against a Qt
// Widgets window with one label with text and the same style, built the
// same way.  Both run in the same benchmark run; BM_FirstPaintRatio times
// them in turn round by round (bench/ratio.h) and reports the medians and
// the median of client / bare.  The platform
// plugin is "offscreen" unless ZEL_STARTUP_QPA names another (run under
// xvfb-run -a with ZEL_STARTUP_QPA=xcb for a real X server).
//
// BM_CreateMainWindow times, in this process, what the program does
// between the application object and the first show: the main window read
// from its description, its controls created, its creation handler run.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/ratio.h"
#include "client/main.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"

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
    const char* Qpa = std::getenv("ZEL_STARTUP_QPA");
    ::setenv("QT_QPA_PLATFORM", Qpa && *Qpa ? Qpa : "offscreen", 1);
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
  zelbench::TRounds R;
  int Round = 0;
  try {
    for (auto _ : State) {
      for (int Side = 0; Side < 2; ++Side) {
        if ((Side + Round) % 2 == 0)
          R.Add("bare", SecondsToFirstPaint(ZEL_BARE_QT_WINDOW));
        else
          R.Add("zel", SecondsToFirstPaint(ZEL_STARTUP_PROBE));
      }
      ++Round;
      State.SetIterationTime(R.Last("zel"));
    }
  } catch (const std::exception& E) {
    State.SkipWithError(E.what());
    return;
  }
  R.Ratio("zel", "bare");
  R.Report(State);
}

// The main window made and freed in this process (the application object
// already stands, as in the program); its native windows are deleted
// before the next one is made.
void BM_CreateMainWindow(benchmark::State& State) {
  const std::string Dir = Scratch();
  ::setenv("ZEL_DRIVE_C", (Dir + "/c").c_str(), 1);
  ::setenv("TMPDIR", (Dir + "/tmp").c_str(), 1);
  ::setenv("ZEL_RUNTIME_DIR", (Dir + "/run").c_str(), 1);
  static int Argc = 1;
  static char Arg0[] = "startup_bench";
  static char* Argv[] = {Arg0, nullptr};
  platform::InitTestApplication(Argc, Argv);
  for (auto _ : State) {
    auto* W = new TfrmMAIN(nullptr);
    benchmark::DoNotOptimize(W);
    State.PauseTiming();
    delete W;
    platform::ProcessPendingMessages();
    State.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_FirstPaintBareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)
    ->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstPaintZelWebPricat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)
    ->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstPaintRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_CreateMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
