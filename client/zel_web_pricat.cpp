// Program entry of the article data client: the modules' start-up steps,
// the main window, the message loop and the shut-down steps.
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

int main() {
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
  frmMAIN = nullptr;

  ktool_finalization();
  kmsg_finalization();
  kglobal_finalization();
  klog_finalization();
  language_finalization();
  kconst_finalization();
  wuReg_finalization();
  SetDebugApplicationHandleSource(nullptr);
  return 0;
}
