// Forms, the application and the screen.
#include "platform/gui/forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include "platform/gui/dialogs.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/gui/streaming.h"
#include "platform/rtl/sysutils.h"

namespace platform {
int ScreenWidthOverride = 0;
int ScreenHeightOverride = 0;
void SetScreenSizeOverride(int Width, int Height) {
  ScreenWidthOverride = Width;
  ScreenHeightOverride = Height;
}

namespace {
class FormPeer : public Peer<QWidget> {
public:
  using Peer::Peer;
  // The frame flags last given to the window system.
  Qt::WindowFlags Frame = Qt::Window;

  // A form without the maximise button cannot be maximised, also where the
  // window manager ignores the frame flags (double click on the title bar):
  // the window goes back to its normal size at once.
  bool NativeEvent(QEvent* Event) override {
    const bool r = Peer::NativeEvent(Event);
    if (Event->type() == QEvent::WindowStateChange && !Frame.testFlag(Qt::WindowMaximizeButtonHint) &&
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
      QPointer<QWidget> self(this);
      QMetaObject::invokeMethod(
          this,
          [self] {
            if (self) self->setWindowState(self->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
          },
          Qt::QueuedConnection);
    }
    return r;
  }
};
}  // namespace
}  // namespace platform

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  TControl* c = Control;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(c);
}

// ---------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  Screen->FFormList.push_back(this);
  CreateHandle();
}

TCustomForm::~TCustomForm() {
  BeforeDestruction();
  Destroying();
  auto& v = Screen->FFormList;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  Application->MainFormGone(this);
  if (QWidget* w = platform::WidgetOf(this)) w->hide();
}

void TCustomForm::BeforeDestruction() {
  if (FDestroyFired) return;
  FDestroyFired = true;
  platform::Guarded([&] { DoDestroy(); });
}

platform::WidgetPeer* TCustomForm::CreatePeer() {
  auto* p = new platform::FormPeer(this);
  p->setAttribute(Qt::WA_DeleteOnClose, false);
  p->setFocusPolicy(Qt::NoFocus);
  return p;
}

namespace {

// The window manager's frame of a form: its border style and border icons
// as window flags.  The system menu brings the close button; minimise and
// maximise appear only where the icons name them (and a dialog frame has
// neither).
Qt::WindowFlags FrameFlags(TFormBorderStyle Style, TBorderIcons Icons) {
  if (Style == bsNone) return Qt::Window | Qt::FramelessWindowHint;
  Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (Style == bsToolWindow || Style == bsSizeToolWin) f |= Qt::Tool;
  if (Icons.Contains(biSystemMenu)) {
    f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    const bool dialog = Style == bsDialog || Style == bsToolWindow || Style == bsSizeToolWin;
    if (Icons.Contains(biMinimize) && !dialog) f |= Qt::WindowMinimizeButtonHint;
    if (Icons.Contains(biMaximize) && !dialog) f |= Qt::WindowMaximizeButtonHint;
    if (Icons.Contains(biHelp)) f |= Qt::WindowContextHelpButtonHint;
  }
  return f;
}

}  // namespace

void TCustomForm::UpdatePeer() {
  TWinControl::UpdatePeer();
  QWidget* w = platform::WidgetOf(this);
  if (!w) return;
  const Qt::WindowFlags frame = FrameFlags(FBorderStyle, FBorderIcons);
  if (auto* fp = dynamic_cast<platform::FormPeer*>(w); fp && fp->Frame != frame) {
    // New flags hide a shown window; it comes back at once.
    fp->Frame = frame;
    const bool shown = w->isVisible();
    w->setWindowFlags(frame);
    if (shown) w->show();
  }
  w->setWindowTitle(platform::ToQString(Caption()));
  w->move(Left(), Top());
  w->resize(std::max(1, Width()), std::max(1, Height()));
  if (Constraints()->MinWidth() > 0 || Constraints()->MinHeight() > 0)
    w->setMinimumSize(Constraints()->MinWidth(), Constraints()->MinHeight());
  if (Constraints()->MaxWidth() > 0 || Constraints()->MaxHeight() > 0)
    w->setMaximumSize(Constraints()->MaxWidth() > 0 ? Constraints()->MaxWidth() : QWIDGETSIZE_MAX,
                      Constraints()->MaxHeight() > 0 ? Constraints()->MaxHeight() : QWIDGETSIZE_MAX);
  const bool show = Visible();
  if (show != w->isVisible()) w->setVisible(show);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  FBorderStyle = Value;
  if (HandleAllocated()) UpdatePeer();
}
void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  FBorderIcons = Value;
  if (HandleAllocated()) UpdatePeer();
}
void TCustomForm::SetWindowState(TWindowState Value) { FWindowState = Value; }

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control && !ContainsControl(Control)) return;
  FActiveControl = Control;
  if (!Control || ComponentState().Contains(csLoading)) return;
  Control->HandleNeeded();
  if (QWidget* w = platform::WidgetOf(Control)) {
    if (Control->CanFocus()) w->setFocus(Qt::OtherFocusReason);
  }
}

void TCustomForm::FocusControl(TWinControl* Control) { SetActiveControl(Control); }

void TCustomForm::SetFocus() {
  Show();
  if (QWidget* w = platform::WidgetOf(this)) w->activateWindow();
}

void TCustomForm::FocusMovedTo(TWinControl* Control) {
  // The form's own window has the focus: no control of it has.
  if (Control == this) Control = nullptr;
  if (Control == FFocusedControl) return;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  FActiveControl = Control;
  // CM_EXIT to the old control and its parents up to the one that also holds
  // the new control; then CM_ENTER from below that parent down to the new one.
  auto send = [](TWinControl* c, UINT msg) {
    const HWND h = c->Handle();
    platform::Guarded([&] {
      if (FindControl(h) == c) c->Perform(msg, 0, 0);
    });
  };
  // Both chains are taken before any handler runs (a handler may free controls).
  std::vector<HWND> exits, enters;
  for (TWinControl* c = old; c && c != this && !(Control && c->ContainsControl(Control)); c = c->Parent())
    exits.push_back(c->Handle());
  for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    enters.push_back(c->Handle());
  for (HWND h : exits)
    if (TWinControl* c = FindControl(h)) send(c, CM_EXIT);
  for (auto it = enters.rbegin(); it != enters.rend(); ++it) {
    if (FFocusedControl != Control) break;
    if (TWinControl* c = FindControl(*it)) send(c, CM_ENTER);
  }
}

void TCustomForm::DefocusControl(TWinControl* Control) {
  if (Control && (FActiveControl == Control || Control->ContainsControl(FActiveControl))) FActiveControl = nullptr;
}

void TCustomForm::ControlGone(TWinControl* Control) {
  if (!Control) return;
  if (FFocusedControl == Control || Control->ContainsControl(FFocusedControl)) FFocusedControl = nullptr;
  if (FActiveControl == Control || Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TCustomForm::Activated() {
  if (FActive) return;
  FActive = true;
  Activate();
  if (FActiveControl && !FActiveControl->Focused() && FActiveControl->CanFocus())
    if (QWidget* w = platform::WidgetOf(FActiveControl)) w->setFocus(Qt::OtherFocusReason);
}

void TCustomForm::Deactivated() {
  if (!FActive) return;
  FActive = false;
  Deactivate();
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::ReadDescription(const AnsiString& Text) {
  platform::ReadComponent(this, Text);
  DoCreate();
}

void TCustomForm::Show() {
  const bool was = Visible();
  SetVisible(true);
  if (QWidget* w = platform::WidgetOf(this)) {
    w->show();
  }
  if (!was) DoShow();
  if (FActiveControl)
    if (QWidget* w = platform::WidgetOf(FActiveControl)) w->setFocus(Qt::OtherFocusReason);
}

void TCustomForm::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  if (QWidget* w = platform::WidgetOf(this)) w->hide();
  DoHide();
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (FModalResult == mrNone) FModalResult = mrCancel;
  Hide();
  if (Application->MainForm() == this) Application->Terminate();
}

TModalResult TCustomForm::ShowModal() {
  FModalResult = mrNone;
  Show();
  if (QWidget* w = platform::WidgetOf(this)) QApplication::setActiveWindow(w);
  while (FModalResult == mrNone && Visible() && !Application->Terminated()) Application->HandleMessage();
  Hide();
  return FModalResult;
}

void TCustomForm::Release() {
  const HWND h = Handle();
  PostMessage(h, CM_RELEASE, 0, 0);
}

void TCustomForm::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NEXTDLGCTL: WMNextDlgCtl(M); break;
    case WM_CLOSE: WMClose(M); break;
    case CM_RELEASE: CMRelease(M); break;
    default: TWinControl::Dispatch(M); break;
  }
}

void TCustomForm::WMNextDlgCtl(TMessage& M) {
  if (LOWORD(static_cast<DWORD>(M.LParam)) != 0) {
    if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.WParam)))
      if (ContainsControl(c) && c->CanFocus()) c->SetFocus();
    return;
  }
  TWinControl* cur = FFocusedControl ? FFocusedControl : FActiveControl;
  SelectNext(cur, M.WParam == 0, true);
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::CMRelease(TMessage&) {
  BeforeDestruction();
  delete this;
}

void TCustomForm::CMDialogKey(TMessage& M) {
  if (M.WParam == VK_TAB) {
    const bool back = KeyDataToShiftState(M.LParam).Contains(ssShift);
    TWinControl* cur = FFocusedControl ? FFocusedControl : FActiveControl;
    SelectNext(cur, !back, true);
    M.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(M);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& M) { TWinControl::WMGetMinMaxInfo(M); }

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}
TApplication::~TApplication() = default;

namespace {
int g_argc = 1;
char g_arg0[] = "zel_web_pricat";
char* g_argv[] = {g_arg0, nullptr};
}  // namespace

void TApplication::Initialize() {
  platform::InstallWindowHooks();
  if (!QCoreApplication::instance()) {
    new QApplication(g_argc, g_argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
  }
  platform::FlushOrphanedPosts();
}

void TApplication::FormCreated(TCustomForm* Form) {
  if (!FMainForm) FMainForm = Form;
}

void TApplication::MainFormGone(TCustomForm* Form) {
  if (FMainForm == Form) FMainForm = nullptr;
}

void TApplication::Run() {
  Initialize();
  FTerminated = false;
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) {
    if (!FMainForm) break;
    HandleMessage();
  }
  DestroyForms();
}

void TApplication::DestroyForms() {
  std::vector<TCustomForm*> forms;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) forms.push_back(f);
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    (*it)->BeforeDestruction();
    delete *it;
  }
}

void TApplication::ProcessMessages() {
  if (!QCoreApplication::instance()) return;
  platform::FlushOrphanedPosts();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

namespace {
// One pass of the thread's event dispatcher over what is waiting (posted
// messages, input, timers that are due); with Wait it first blocks until
// something comes.  True when it handled anything.  (The overloads of
// processEvents with a time limit never wait: a loop on them spins.)
bool DispatchEvents(bool Wait) {
  QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
  if (!d) return false;
  platform::FlushOrphanedPosts();
  QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
  if (Wait) flags |= QEventLoop::WaitForMoreEvents;
  const bool handled = d->processEvents(flags);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return handled;
}
}  // namespace

void TApplication::HandleMessage() {
  if (!QCoreApplication::instance()) return;
  if (DispatchEvents(false) || FTerminated) return;
  Idle();
}

void TApplication::Idle() {
  if (OnIdle) platform::Guarded([this] { OnIdle(this); });
  if (FTerminated) return;
  DispatchEvents(true);
}

void TApplication::Terminate() {
  FTerminated = true;
  if (QCoreApplication::instance())
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::User));
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr e = std::current_exception();
  if (!e) return;
  try {
    std::rethrow_exception(e);
  } catch (EAbort&) {
    return;
  } catch (Exception& ex) {
    if (OnException) {
      OnException(Sender, ex);
      return;
    }
    ShowException(&ex);
  } catch (std::exception&) {
    Exception wrapped(platform::ExceptionMessage(e));
    if (OnException) {
      OnException(Sender, wrapped);
      return;
    }
    ShowException(&wrapped);
  } catch (...) {
    // Only the class library's and the standard exceptions go to OnException.
    Exception wrapped(platform::ExceptionMessage(e));
    ShowException(&wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  if (!E) return;
  AnsiString msg = E->Message();
  // As the class library does: a message that does not end in a full stop
  // (or a character sorting before it) gets one.
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += ".";
  MessageBox(msg.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const char* Text, const char* Caption, UINT Flags) {
  HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
  return MessageBoxA(owner, Text, Caption, Flags);
}

HWND TApplication::Handle() {
  if (!FHandleWindow) {
    Initialize();
    FHandleWindow = new TWinControl(this);
    FHandleWindow->SetVisible(false);
  }
  return FHandleWindow->Handle();
}

AnsiString TApplication::ExeName() const {
  char buf[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return buf;
}

// ---------------------------------------------------------------- TScreen

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TWinControl* TScreen::ActiveControl() const {
  TCustomForm* f = ActiveForm();
  return f ? f->FocusedControl() : nullptr;
}

TCustomForm* TScreen::ActiveForm() const {
  for (TCustomForm* f : FFormList)
    if (f->Active()) return f;
  return nullptr;
}

int TScreen::FormCount() const { return static_cast<int>(FFormList.size()); }
TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) TList::Error(platform::msg::ListIndexError, Index);
  return FFormList[static_cast<std::size_t>(Index)];
}

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  if (!QGuiApplication::instance()) return;
  if (Value == crDefault)
    QGuiApplication::restoreOverrideCursor();
  else
    QGuiApplication::setOverrideCursor(Value == crHourGlass ? Qt::WaitCursor : Qt::ArrowCursor);
}

TFont* TScreen::HintFont() {
  if (!FHintFont) FHintFont = std::make_unique<TFont>();
  return FHintFont.get();
}
TFont* TScreen::IconFont() { return HintFont(); }
