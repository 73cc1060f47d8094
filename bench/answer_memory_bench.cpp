// Peak memory of the program for the largest answers, through the real
// login of the main window: each round starts the probe (bench/answer_probe)
// as a fresh process that logs in against the fake service, so that no
// round inherits another's heap.  The fake services run in a child process
// forked first, so their buffers do not count.
//
//   0  the supplier list answers 64 MiB of KCSV text
//   1  the supplier list answers a SOAP fault with a 10 MiB text
//   2  the supplier list's result carries 80 MB of elements the result
//      type does not have
//
// Counters (medians of the repetitions): peak_MiB is the probe's peak
// resident memory, above_MiB the part of it above what the shown window held
// before the login, x_answer the peak over the answer's size, box_ms the
// time from the login to the painted message box (-1: none, or no real
// display: run under xvfb-run -a with ZEL_TEST_QPA=xcb for the box).
// The goals: a text answer peaks at 8x its size at most (x_answer <= 8 in
// case 0), the fault's box comes within 2 s at 200 MiB at most, and skipped
// elements cost nothing like their size.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "tests/support/fake_service/fake_service.h"

namespace {

constexpr std::size_t MiB = 1024 * 1024;
constexpr std::size_t SupplierBytes = 64 * MiB;
constexpr std::size_t FaultBytes = 10 * MiB;
constexpr std::size_t ForeignBytes = 80u * 1000 * 1000;

// A supplier list of Bytes bytes of KCSV text (Windows-1252).
std::string SupplierList(std::size_t Bytes) {
  std::string Out = "@stm,eid[INT],fab[STR]\r\n";
  Out.reserve(Bytes + 128);
  char Line[128];
  for (long I = 0; Out.size() < Bytes; ++I) {
    const int N = std::snprintf(Line, sizeof Line, "%ld^Lieferant %ld M\xFCller & S\xF6hne Sportartikel GmbH\r\n",
                                100000 + I, I);
    Out.append(Line, static_cast<std::size_t>(N));
  }
  Out.resize(Bytes - 2);
  Out += "\r\n";
  return Out;
}

// A fault text of Bytes characters.
std::string FaultText(std::size_t Bytes) {
  std::string Out;
  Out.reserve(Bytes);
  while (Out.size() < Bytes) Out += "Fehler in der Datenbank: Verbindung zum Server verloren. ";
  Out.resize(Bytes);
  return Out;
}

// Elements of names the result type does not have, Bytes bytes of them,
// side by side as fields would be.
std::string ForeignElements(std::size_t Bytes) {
  std::string Out;
  Out.reserve(Bytes + 64);
  while (Out.size() < Bytes) Out += "<Extra>unbekannt</Extra><Rest/>";
  return Out;
}

std::string gAddress[3];   // the configured service address of each case
std::string gScratch;       // the probes' folders
double gAnswerBytes[3] = {static_cast<double>(SupplierBytes), static_cast<double>(FaultBytes),
                          static_cast<double>(ForeignBytes)};

// The child: one fake service per case, until the parent closes the pipe.
[[noreturn]] void ServeInChild(int ToParent, int FromParent) {
  {
    zeltest::FakeZelService Suppliers, Fault, Foreign;
    Suppliers.SetSupplierList(SupplierList(SupplierBytes));
    Fault.SetFaultText(FaultText(FaultBytes));
    Fault.SetFailureFor("SearchART", zeltest::FakeFailure::SoapFault, -19971001);
    Foreign.SetForeignElements(ForeignElements(ForeignBytes));
    int Ports[3] = {Suppliers.Port(), Fault.Port(), Foreign.Port()};
    if (::write(ToParent, Ports, sizeof Ports) != sizeof Ports) _exit(1);
    char C;
    while (::read(FromParent, &C, 1) > 0) {
    }
  }
  _exit(0);
}

struct ProbeFigures {
  double BeforeKib = 0, PeakKib = 0, BoxMs = -1, Suppliers = 0;
};

ProbeFigures RunProbe(const std::string& Address) {
  const std::string Dir = gScratch + "/round";
  std::filesystem::remove_all(Dir);
  for (const char* Sub : {"/c", "/tmp", "/run", "/app"}) std::filesystem::create_directories(Dir + Sub);
  const std::string Command = std::string("'") + ZEL_ANSWER_PROBE + "' '" + Address + "' '" + Dir + "' 2>/dev/null";
  FILE* P = ::popen(Command.c_str(), "r");
  if (!P) throw std::runtime_error("popen");
  char Line[512] = {};
  const bool Got = std::fgets(Line, sizeof Line, P) != nullptr;
  ::pclose(P);
  ProbeFigures F;
  long Before = 0, Peak = 0, MaxRss = 0;
  int Suppliers = 0;
  double Box = -1;
  if (!Got || std::sscanf(Line, "before_kib=%ld peak_kib=%ld maxrss_kib=%ld box_ms=%lf suppliers=%d", &Before, &Peak,
                          &MaxRss, &Box, &Suppliers) != 5)
    throw std::runtime_error("the probe gave no figures");
  F.BeforeKib = static_cast<double>(Before);
  F.PeakKib = static_cast<double>(std::max(Peak, MaxRss));
  F.BoxMs = Box;
  F.Suppliers = Suppliers;
  return F;
}

void BM_LoginAnswerMemory(benchmark::State& State) {
  const int Case = static_cast<int>(State.range(0));
  ProbeFigures F;
  for (auto _ : State) {
    try {
      F = RunProbe(gAddress[Case]);
    } catch (const std::exception& E) {
      State.SkipWithError(E.what());
      return;
    }
  }
  constexpr double Kib = 1024.0;
  State.counters["peak_MiB"] = F.PeakKib / Kib;
  State.counters["above_MiB"] = (F.PeakKib - F.BeforeKib) / Kib;
  State.counters["answer_MiB"] = gAnswerBytes[Case] / MiB;
  State.counters["x_answer"] = F.PeakKib * Kib / gAnswerBytes[Case];
  State.counters["box_ms"] = F.BoxMs;
  State.counters["suppliers"] = F.Suppliers;
}
BENCHMARK(BM_LoginAnswerMemory)
    ->ArgName("case")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  int Up[2], Down[2];
  if (::pipe(Up) != 0 || ::pipe(Down) != 0) return 1;
  const pid_t Child = ::fork();
  if (Child < 0) return 1;
  if (Child == 0) {
    ::close(Up[0]);
    ::close(Down[1]);
    ServeInChild(Up[1], Down[0]);
  }
  ::close(Up[1]);
  ::close(Down[0]);
  int Ports[3] = {};
  if (::read(Up[0], Ports, sizeof Ports) != sizeof Ports) return 1;
  for (int I = 0; I < 3; ++I)
    gAddress[I] = "http://127.0.0.1:" + std::to_string(Ports[I]) + zeltest::FakeZelService::ServicePath;
  std::string Tmpl = (std::filesystem::temp_directory_path() / "zel_answer_bench.XXXXXX").string();
  if (!::mkdtemp(Tmpl.data())) return 1;
  gScratch = Tmpl;

  int Rc = 0;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    Rc = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  std::error_code Ignored;
  std::filesystem::remove_all(gScratch, Ignored);
  ::close(Down[1]);
  ::waitpid(Child, nullptr, 0);
  return Rc;
}
