// Program entry of the article data client: the modules' start-up steps,
// the main window, the message loop and the shut-down steps.
//
// An exception that reaches the entry (a start-up step that fails, such as
// KUVO.INI that cannot be written) ends the program cleanly: its message
// goes to the standard error output and into the GUI library's default
// error box, the modules' shut-down steps run, and the exit status is 1.
#include <cstdio>
#include <exception>
#include <string>

#include "client/main.h"
#include "client/zelservice.h"
#include "controls/kglobal.h"
#include "foundation/kconst.h"
#include "foundation/klog.h"
#include "foundation/kmsg.h"
#include "foundation/ktool.h"
#include "foundation/language.h"
#include "foundation/wuReg.h"
#include "platform/gui/forms.h"
#include "platform/os/windows.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils.h"

namespace {

// Reports the exception being handled; a failure of the report itself is
// swallowed, the program ends all the same.
void ReportFailure() {
  // As the default handler reads it.
  const AnsiString Message = platform::ExceptionMessage(std::current_exception());
  const std::string Line = "zel_web_pricat: " + platform::AnsiToUtf8(Message) + "\n";
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fflush(stderr);
  try {
    Application->Initialize();
    Exception Shown(Message);
    Application->ShowException(&Shown);
    Application->DestroyForms();
  } catch (...) {
  }
}

void Finalize() {
  frmMAIN = nullptr;
  ktool_finalization();
  kmsg_finalization();
  kglobal_finalization();
  klog_finalization();
  language_finalization();
  kconst_finalization();
  wuReg_finalization();
  SetDebugApplicationHandleSource(nullptr);
}

}  // namespace

int main() {
  int Status = 0;
  try {
    // Paths of drive C:, and a write past the file-size limit refused (EFBIG)
    // like any other instead of ending the program.
    platform::InstallOsLayer();
    // The debug lines carry the application window's handle.
    SetDebugApplicationHandleSource([] { return reinterpret_cast<WPARAM>(Application->Handle()); });

    zelservice_Initialize();
    kconst_initialization();
    language_initialization();
    klog_initialization();
    kglobal_initialization();
    kmsg_initialization();
    ktool_initialization();

    Application->Initialize();
    Application->CreateForm(frmMAIN);
    Application->Run();
  } catch (...) {
    ReportFailure();
    Status = 1;
  }
  try {
    Finalize();
  } catch (...) {
    ReportFailure();
    Status = 1;
  }
  return Status;
}
