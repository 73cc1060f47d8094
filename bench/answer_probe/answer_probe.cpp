// One login of the real main window against a service, in a process of its
// own, for the memory benchmark of large answers:
//
//   zel_answer_probe <service address> <folder>
//
// The folder holds the program's drive C:, temp and runtime folders.  The
// probe logs in as the user would (user, password, the login button) and
// prints one line:
//
//   before_kib=<RSS before the login> peak_kib=<peak RSS during it>
//   maxrss_kib=<ru_maxrss> box_ms=<login to the painted message box, or -1>
//   suppliers=<entries of the supplier list>
//
// The peak is the high-water mark of resident memory, reset after the window
// was shown.  A message box (any dialog) is closed as soon as it has
// painted (on a real display; offscreen the box goes to the standard error
// output).
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include "bench/proc_status.h"
#include "client/main.h"
#include "controls/kCtrls.h"
#include "controls/K_Edit.h"
#include "platform/gui/buttons.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"

namespace {

using Clock = std::chrono::steady_clock;

using zelbench::StatusKb;

// Notes the first paint of a message box and closes the box then.
class BoxWatch : public QObject {
public:
  Clock::time_point Painted;
  bool Seen = false;
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (!Seen && Event->type() == QEvent::Paint && Watched->isWidgetType()) {
      if (auto* Box = qobject_cast<QDialog*>(static_cast<QWidget*>(Watched)->window())) {
        Seen = true;
        Painted = Clock::now();
        QMetaObject::invokeMethod(Box, "accept", Qt::QueuedConnection);
      }
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zel_answer_probe <service address> <folder>\n");
    return 2;
  }
  const std::string Service = argv[1], Dir = argv[2];
  ::setenv("ZEL_DRIVE_C", (Dir + "/c").c_str(), 1);
  ::setenv("TMPDIR", (Dir + "/tmp").c_str(), 1);
  ::setenv("ZEL_RUNTIME_DIR", (Dir + "/run").c_str(), 1);
  ::unsetenv("http_proxy");
  ::unsetenv("HTTP_PROXY");
  const std::string Program = Dir + "/app/zel_web_pricat";
  if (FILE* F = std::fopen((Program + ".ini").c_str(), "wb")) {
    const std::string Ini = "[CFG]\r\nhtp_adr=" + Service + "\r\n";
    std::fwrite(Ini.data(), 1, Ini.size(), F);
    std::fclose(F);
  }
  platform::InitTestApplication(argc, argv);
  Application->Initialize();
  platform::SetModuleFileNameOverride(platform::ToWindowsPath(Program));
  auto* W = new TfrmMAIN(nullptr);
  platform::ShowAndActivate(W);
  W->edUser->SetText("demo");
  W->edPass->SetText("demo");
  platform::ProcessPendingMessages();

  BoxWatch Watch;
  qApp->installEventFilter(&Watch);
  ::malloc_trim(0);
  const long Before = StatusKb("VmRSS");
  {
    std::ofstream Reset("/proc/self/clear_refs");
    Reset << "5";
  }
  const auto Start = Clock::now();
  W->btLoginClick(W->btLogin);
  platform::ProcessPendingMessages();
  const long Peak = StatusKb("VmHWM");
  rusage Usage{};
  ::getrusage(RUSAGE_SELF, &Usage);
  const double BoxMs =
      Watch.Seen ? std::chrono::duration<double, std::milli>(Watch.Painted - Start).count() : -1.0;
  std::printf("before_kib=%ld peak_kib=%ld maxrss_kib=%ld box_ms=%.1f suppliers=%d\n", Before, Peak,
              Usage.ru_maxrss, BoxMs, W->cbHer->Items()->Count());
  std::fflush(stdout);
  std::_Exit(0);
}
