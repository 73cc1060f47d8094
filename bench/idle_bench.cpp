// The program at rest: the main window after a login and a search, left
// alone in the application's own message loop (Application->Run) against
// the fake service on loopback.  Each repetition lets the loop run for a
// while: a key press in the hit list at its start arms the hit list's
// 200 ms timer, which shows the next hit; then, over the measured 5 s,
// nothing happens but one posted message half-way.  It reports the process
// CPU time (all threads: the window's and the fake service's) as a share of
// one core over those 5 s, the time the timer took to show the hit and the
// time a posted message took to arrive.  The baseline runs the same loop
// without ever waiting for the next message.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "client/main.h"
#include "client/zelservice.h"
#include "controls/kCtrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/gui/timer.h"
#include "platform/os/windows.h"
#include "tests/support/fake_service/fake_service.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
  timespec T{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

double Seconds(Clock::duration D) { return std::chrono::duration<double>(D).count(); }

// The window of one benchmark run, logged in and showing the hits of a search.
struct Session {
  std::string Dir;
  std::unique_ptr<zeltest::FakeZelService> Service;
  TfrmMAIN* W = nullptr;
  std::size_t ArticleCalls() const {
    std::size_t N = 0;
    for (const auto& R : Service->Requests())
      if (R.Method == "POST" && R.Body.find("GetPRICAT") != std::string::npos) ++N;
    return N;
  }
};

Session& TheSession() {
  static Session* S = [] {
    auto* s = new Session;
    std::string Tmpl = (std::filesystem::temp_directory_path() / "zel_idle_bench.XXXXXX").string();
    if (!::mkdtemp(Tmpl.data())) throw std::runtime_error("mkdtemp");
    s->Dir = Tmpl;
    for (const char* Sub : {"/c", "/tmp", "/run", "/app"}) std::filesystem::create_directories(Tmpl + Sub);
    std::atexit([] {
      std::error_code Ignored;
      std::filesystem::remove_all(TheSession().Dir, Ignored);
    });
    ::setenv("ZEL_DRIVE_C", (Tmpl + "/c").c_str(), 1);
    ::setenv("TMPDIR", (Tmpl + "/tmp").c_str(), 1);
    ::setenv("ZEL_RUNTIME_DIR", (Tmpl + "/run").c_str(), 1);
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    s->Service = std::make_unique<zeltest::FakeZelService>();
    const std::string Program = Tmpl + "/app/zel_web_pricat";
    if (FILE* F = std::fopen((Program + ".ini").c_str(), "wb")) {
      const std::string Ini = "[CFG]\r\nhtp_adr=" + s->Service->ServiceUrl() + "\r\n";
      std::fwrite(Ini.data(), 1, Ini.size(), F);
      std::fclose(F);
    }
    platform::SetModuleFileNameOverride(platform::ToWindowsPath(Program));
    s->W = new TfrmMAIN(nullptr);
    platform::ShowAndActivate(s->W);
    platform::SetMousePos(s->W->Image1, 2, 2);
    // Log in with Enter in the password field, then search with Enter in
    // the article number: the hit list has the focus and shows the first hit.
    s->W->edUser->SetText("demo");
    s->W->edPass->SetFocus();
    platform::ProcessPendingMessages();
    s->W->edPass->SetText("demo");
    platform::SendKey(VK_RETURN);
    s->W->edFab->SetFocus();
    platform::ProcessPendingMessages();
    s->W->edFab->SetText("AS-");
    platform::SendKey(VK_RETURN);
    if (s->W->lbox->Items()->Count() < 4) throw std::runtime_error("the search found no hits");
    if (s->W->timCheck->Running()) platform::FireTimerNow(s->W->timCheck);
    return s;
  }();
  return *S;
}

void AtRest(benchmark::State& State) {
  Session* S = nullptr;
  try {
    S = &TheSession();
  } catch (const std::exception& E) {
    State.SkipWithError(E.what());
    return;
  }
  TfrmMAIN* W = S->W;
  double CpuPercent = 0, TimerMs = 0, PostMs = 0;
  for (auto _ : State) {
    // Back to the first hit for every repetition, so each shows the second.
    W->lbox->SetIndex(0);
    W->FShownEid = -1;
    W->ShowArticle(W->lbox->GetKeyInt());
    const std::size_t CallsShown = S->ArticleCalls();

    Clock::time_point Pressed, Shown, Posted, Arrived, WindowStart;
    double CpuStart = 0, CpuEnd = 0;
    TTimer Watch(nullptr), Start(nullptr), Post(nullptr), Stop(nullptr);
    for (TTimer* T : {&Watch, &Start, &Post, &Stop}) T->SetEnabled(false);
    // Polls for the shown hit only until it came (it runs in the loop it measures).
    Watch.SetInterval(20);
    Watch.OnTimer = [&](TObject*) {
      if (S->ArticleCalls() > CallsShown) {
        Shown = Clock::now();
        Watch.SetEnabled(false);
      }
    };
    Start.SetInterval(1000);
    Start.OnTimer = [&](TObject*) {
      Start.SetEnabled(false);
      WindowStart = Clock::now();
      CpuStart = ProcessCpuSeconds();
      Post.SetEnabled(true);
      Stop.SetEnabled(true);
    };
    Post.SetInterval(2500);
    Post.OnTimer = [&](TObject*) {
      Post.SetEnabled(false);
      Posted = Clock::now();
      platform::PostCall([&] { Arrived = Clock::now(); });
    };
    Stop.SetInterval(5000);
    Stop.OnTimer = [&](TObject*) {
      Stop.SetEnabled(false);
      CpuEnd = ProcessCpuSeconds();
      const double Wall = Seconds(Clock::now() - WindowStart);
      State.SetIterationTime(Wall);
      CpuPercent = 100.0 * (CpuEnd - CpuStart) / Wall;
      Application->Terminate();
    };
    platform::PostCall([&] {
      Pressed = Clock::now();
      W->lbox->SetFocus();
      platform::SendKey(VK_DOWN);  // the release arms the hit list's timer
      Watch.SetEnabled(true);
      Start.SetEnabled(true);
    });
    Application->SetMainForm(W);
    if (State.range(0)) {
      Application->Run();
    } else {
      // The baseline: the same loop handling what is waiting, without ever
      // waiting (the loop before, on processEvents with a time limit).
      W->Show();
      while (!Application->Terminated()) Application->ProcessMessages();
    }
    Application->SetMainForm(nullptr);
    Application->ResetTerminated();
    if (S->ArticleCalls() <= CallsShown || Arrived == Clock::time_point()) {
      State.SkipWithError("the hit list's timer or the posted message did not arrive");
      return;
    }
    TimerMs = 1000.0 * Seconds(Shown - Pressed);
    PostMs = 1000.0 * Seconds(Arrived - Posted);
  }
  State.counters["cpu_percent_of_a_core"] = CpuPercent;
  State.counters["timer_to_hit_ms"] = TimerMs;
  State.counters["posted_message_ms"] = PostMs;
}
// Arg 1: the application's message loop (Run); arg 0: the baseline loop that never waits.
BENCHMARK(AtRest)->ArgName("waits")->Arg(0)->Arg(1)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  platform::InitTestApplication(argc, argv);
  Application->Initialize();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
