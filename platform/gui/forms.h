// Forms, the application object and the screen.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/controls.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon, biSystemMenu, biHelp>;
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

// A top-level window.  Bounds are the outer window's (Left, Top on the
// screen); ClientWidth/ClientHeight its client area, which the layer takes
// as the whole window (no frame).  The form acts on WM_NEXTDLGCTL (wParam 0:
// focus to the next control in tab order, 1: to the previous; lParam
// non-zero: wParam is the window to focus) and keeps ActiveControl as the
// control that has (or will get) the focus inside it.
class TCustomForm : public TWinControl {
  ZEL_CLASS(TCustomForm, TWinControl)
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  TWinControl* ActiveControl() const { return FActiveControl; }
  // Focuses the control at once when the form is shown and active,
  // otherwise when it is next activated.
  void SetActiveControl(TWinControl* Control);
  void FocusControl(TWinControl* Control);
  bool Active() const { return FActive; }

  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value) { FFormStyle = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  int PixelsPerInch() const { return 96; }

  void Show();
  void Hide();
  // OnCloseQuery, then OnClose with caHide (caFree for a form that is not
  // the main form is also caHide here); the main form closing ends Run.
  void Close();
  // Runs a local message loop until ModalResult is set or the form closes.
  TModalResult ShowModal();
  // Frees the form once the messages now queued are handled.
  void Release();
  virtual bool CloseQuery();
  // Fires OnDestroy (once).  Whoever frees a form of a derived class whose
  // handlers are its own members calls it first (the application does so
  // for the forms it owns); the destructor calls it when nobody did.
  void BeforeDestruction();
  void SetFocus() override;
  bool CanFocus() override { return Visible() && Enabled(); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnPaint;

  // For the layer: the window got or lost the activation / the focus moved.
  void Activated();
  void Deactivated();
  // The focus moved to Control (the form itself: to the form's own window).
  void FocusMovedTo(TWinControl* Control);
  // Control (or one inside it) can no longer hold the focus: it stops being
  // the active control.
  void DefocusControl(TWinControl* Control);
  void ControlGone(TWinControl* Control);
  TWinControl* FocusedControl() const { return FFocusedControl; }

protected:
  // Reads the form's window description (see streaming.h) into this form,
  // then fires OnCreate.  Call it in the body of the derived form's
  // constructor, after its own members are initialised.
  void ReadDescription(const AnsiString& Text);
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void WMNextDlgCtl(TMessage& Message);
  virtual void WMClose(TMessage& Message);
  virtual void CMRelease(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  void CMDialogKey(TMessage& Message) override;

private:
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  bool FKeyPreview = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormStyle FFormStyle = fsNormal;
  TModalResult FModalResult = mrNone;
  bool FDestroyFired = false;
};

class TForm : public TCustomForm {
  ZEL_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---------------------------------------------------------------- TApplication

using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

class TApplication : public TComponent {
  ZEL_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Makes the Qt application when there is none yet (offscreen in tests).
  void Initialize();
  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = nullptr;
    T* Form = new T(this);
    Reference = Form;
    FormCreated(Form);
  }
  // Shows the main form and handles messages until the main form is closed
  // or Terminate is called.
  void Run();
  // Handles every message now waiting, posted messages included.
  void ProcessMessages();
  // Handles the messages waiting (posted messages, input, timers that are
  // due); when there are none, the idle step: OnIdle, then it waits until
  // a message comes or a timer is due, and handles that.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // The default exception handler: for the exception being handled, fires
  // OnException when assigned, else ShowException; EAbort is silent.  Call
  // it from a catch block.
  void HandleException(TObject* Sender);
  // Shows E's message in an error box (MB_OK | MB_ICONSTOP) titled Title.
  void ShowException(Exception* E);
  int MessageBox(const char* Text, const char* Caption, UINT Flags = MB_OK);

  TCustomForm* MainForm() const { return FMainForm; }
  HWND Handle();  // an invisible window of the application's own
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  AnsiString ExeName() const;
  const AnsiString& HintText() const { return FHint; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  TExceptionEvent OnException;
  // Fired once each time the queue has run empty, before the loop waits.
  TNotifyEvent OnIdle;

  // Frees the forms the application owns (OnDestroy first); Run does it
  // when its loop ends, as the program's end does.
  void DestroyForms();
  // For the layer and tests: forget the main form (it is being freed).
  void FormCreated(TCustomForm* Form);
  void MainFormGone(TCustomForm* Form);
  void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
  void ResetTerminated() { FTerminated = false; }

private:
  void Idle();
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FShowMainForm = true;
  AnsiString FTitle;
  AnsiString FHint;
  TWinControl* FHandleWindow = nullptr;
};

// ---------------------------------------------------------------- TScreen

class TScreen : public TComponent {
  ZEL_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}
  // The primary screen (tests may replace its size).
  int Width() const;
  int Height() const;
  TWinControl* ActiveControl() const;
  TCustomForm* ActiveForm() const;
  int FormCount() const;
  TCustomForm* Forms(int Index) const;
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  int PixelsPerInch() const { return 96; }
  TFont* HintFont();
  TFont* IconFont();

  std::vector<TCustomForm*> FFormList;  // for the layer

private:
  TCursor FCursor = crDefault;
  std::unique_ptr<TFont> FHintFont;
};

// The process-wide objects of the class library, made at first use and
// living to the end of the process.
extern TApplication* Application;
extern TScreen* Screen;

// The form that contains the control (nullptr when none).
TCustomForm* GetParentForm(TControl* Control);

namespace platform {
// Tests set the screen size that TScreen and GetSystemMetrics report
// (0, 0: the real primary screen).
void SetScreenSizeOverride(int Width, int Height);
}  // namespace platform
