// Controls of the GUI class library: TControl, TWinControl, TCustomControl,
// TGraphicControl, their events, the message path and the Win32 window calls.
//
// Every control keeps its state (bounds, colour, font, text, visibility) in
// its own fields and mirrors it to its native window, a private Qt widget
// (its "peer", see qt_internal.h).  Qt events become messages: the peer calls
// WndProc, which hands the message to Dispatch, which calls the handler
// named after the message (WMPaint, CMEnter, CNDrawItem ...).  A handler
// that wants the inherited behaviour calls the base class's handler; the
// end of every chain is DefaultHandler, for a windowed control the native
// window's own processing.  Derived classes add messages by overriding
// Dispatch (handle theirs, pass the rest on to the base's Dispatch).
//
// Keys: WM_KEYDOWN -> KeyDown (a key set to 0 stops there), WM_CHAR ->
// KeyPress with the ANSI character (#0 stops there; Ctrl+letters give their
// control characters, both Enter keys #13, Esc #27, Backspace #8, Tab #9),
// WM_KEYUP -> KeyUp.  A key held down gives repeated WM_KEYDOWN (and
// WM_CHAR) and one WM_KEYUP when it is let go.  A form with KeyPreview sees
// each first.  Tab and Shift+Tab, when neither hook took them, move the
// focus along the tab order.  Alt+key gives WM_SYSKEYDOWN (KeyDown with
// ssAlt) and no KeyPress.
//
// Focus: when a control receives the focus, the control that had it in
// the form gets CM_EXIT first, then the new one CM_ENTER.  A combo box
// popup opening or closing and window activation are no focus change.  A
// click focuses only a control that takes the focus on a left press
// (TakesFocusOnClick); mouse input over a disabled control goes to its
// parent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/os/windows.h"
#include "platform/rtl/classes.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;  // menus.h

namespace platform {
class WidgetPeer;  // the Qt side of a control (qt_internal.h)
}

// ---------------------------------------------------------------- basic types

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind, akLeft, akBottom>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateItem, ssShift, ssDouble>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TDragMode { dmManual, dmAutomatic };
enum THelpType { htKeyword, htContext };
using THelpContext = Integer;
enum TImeMode {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};
using TImeName = AnsiString;
using TCaption = AnsiString;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = Set<TBevelEdge, beLeft, beBottom>;
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
using TBevelWidth = Integer;
// Border styles of controls (bsNone, bsSingle) and of forms (all).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// Owner-draw state: bit n is ODS bit n (odSelected = ODS_SELECTED ...).
enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateItem, odSelected, odComboBoxEdit>;

using TCursor = SmallInt;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// ---------------------------------------------------------------- events

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// The shift state of a key or mouse message's flags and of the keyboard now.
TShiftState KeysToShiftState(WORD Keys);          // MK_* flags
TShiftState KeyDataToShiftState(LPARAM KeyData);  // lParam of a key message

// ---------------------------------------------------------------- TSizeConstraints

class TSizeConstraints : public TPersistent {
  ZEL_CLASS(TSizeConstraints, TPersistent)
public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
  void Assign(TPersistent* Source) override;
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxWidth() const { return FMaxWidth; }  // 0: no limit
  int MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(int Value);
  void SetMinHeight(int Value);
  void SetMaxWidth(int Value);
  void SetMaxHeight(int Value);
  TNotifyEvent OnChange;

private:
  void Changed();
  TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// ---------------------------------------------------------------- TControl

class TControl : public TComponent {
  ZEL_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Parent: a windowed control that shows this one (its Controls list).
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  // Bounds in the parent's client coordinates.
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // The client area in client coordinates (0, 0, width, height less frames).
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  TPoint ClientOrigin();  // screen position of the client area's top left
  TPoint ClientToScreen(const TPoint& P) {
    TPoint o = ClientOrigin();
    return TPoint(P.X + o.X, P.Y + o.Y);
  }
  TPoint ScreenToClient(const TPoint& P) {
    TPoint o = ClientOrigin();
    return TPoint(P.X - o.X, P.Y - o.Y);
  }
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value) { FAnchors = Value; }

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible together with every parent up to a shown form.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);

  // The control's text; Caption and Text are the same text (a label or
  // button calls it its caption, an edit its text).
  AnsiString Caption() { return GetText(); }
  void SetCaption(const AnsiString& Value) { SetText(Value); }
  AnsiString Text() { return GetText(); }
  void SetText(const AnsiString& Value);

  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value) { FParentShowHint = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  THelpType HelpType() const { return FHelpType; }
  void SetHelpType(THelpType Value) { FHelpType = Value; }
  const AnsiString& HelpKeyword() const { return FHelpKeyword; }
  void SetHelpKeyword(const AnsiString& Value) { FHelpKeyword = Value; }
  THelpContext HelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext Value) { FHelpContext = Value; }
  TBiDiMode BiDiMode() const { return bdLeftToRight; }
  // Adds DT_RTLREADING when the bidirectional mode asks for it (never here).
  UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }

  // Messages.  Perform sends at once; the form of the control's window
  // receives posted messages through PostMessage (platform::PostMessage).
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  virtual void Invalidate();
  void Repaint();  // paints now (inside a paint: later)
  void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // The form at the top of the parent chain (nullptr when there is none).
  TCustomForm* TopForm() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // For the layer: the Qt side, nullptr while it has none.
  platform::WidgetPeer* Peer() const { return FPeer; }

protected:
  virtual AnsiString GetText();
  // Stores the text; a windowed control also updates its native window.
  virtual void SetTextValue(const AnsiString& Value);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void Resize();
  // Whether a left press and release inside the control make a Click (a
  // native control whose clicks come from the widget answers false).
  virtual bool ClickOnMouseUp() const { return true; }
  // Called before Visible changes (Value is the new visibility).
  virtual void VisibleChanging();
  virtual void Changed() {}
  // Tells the control's children (and itself) that a parent property changed.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

  // Message handlers (Dispatch calls them by number).
  virtual void WMPaint(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMNCHitTest(TMessage& Message);
  virtual void WMGetMinMaxInfo(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMCtl3DChanged(TMessage& Message);
  virtual void CMParentCtl3DChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMCursorChanged(TMessage& Message);

  // The Qt side: created by CreatePeer (a windowless control gets a plain
  // widget of its own, see TGraphicControl), released with the control.
  virtual platform::WidgetPeer* CreatePeer();
  void SetPeer(platform::WidgetPeer* APeer);
  void PeerNeeded();
  void ReleasePeer();
  // Mirrors bounds, visibility, enabled state, font, colour, cursor, hint to the peer.
  virtual void UpdatePeer();
  bool FInPaint = false;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TWinControl;
  friend class platform::WidgetPeer;
  void FontChanged(TObject* Sender);
  void ConstraintsChanged(TObject* Sender);
  void SendCancelMode();

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = false;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  AnsiString FText;
  AnsiString FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TCursor FCursor = crDefault;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
  THelpType FHelpType = htContext;
  AnsiString FHelpKeyword;
  THelpContext FHelpContext = 0;
  std::unique_ptr<TSizeConstraints> FConstraints;
  platform::WidgetPeer* FPeer = nullptr;
  bool FMouseDownLeft = false;
};

// ---------------------------------------------------------------- TWinControl

// A control with a native window (its Handle), children and the keyboard
// focus.  The handle exists once the control has a parent window (a form
// has its own from the start) and goes with the control.
class TWinControl : public TControl {
  ZEL_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const;  // EListError when out of range
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;  // a child or deeper
  TControl* FindChildControl(const AnsiString& ControlName) const;

  // The native window: HWND of this control (created on demand).
  HWND Handle();
  bool HandleAllocated() const;
  void HandleNeeded();
  // Gives every child control that has none its native window (after
  // reading a description: controls that are being read get theirs only
  // once all their properties are set).
  void CreateChildHandles();

  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // The windowed descendants in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& List);
  // The next (or previous) windowed control after CurControl among this
  // control's descendants, wrapping round; nullptr when none qualifies.
  // CheckTabStop: only controls with TabStop; CheckParent: only direct
  // children of this control.  A control qualifies when CanFocus.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  virtual bool CanFocus();
  virtual void SetFocus();
  virtual bool Focused();
  void Broadcast(TMessage& Message);  // to every child

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  const TImeName& ImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }

  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void Invalidate() override;

  // Aligns the children with Align (alTop, alBottom, alLeft, alRight,
  // alClient in that order) within the client rectangle.
  void Realign();
  // After a window description: the children's tab order as the
  // description gave it, then the alignment.
  void Loaded() override;

protected:
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // Fire the form's preview and then the hook; true when the key was taken
  // (set to 0).  The message's WParam carries the key as changed.
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  // DoKeyDown and DoKeyUp: the preview and the hook are Handler.
  bool DoKey(TMessage& Message, void (TWinControl::*Handler)(Word&, TShiftState));
  virtual void DoEnter();
  virtual void DoExit();
  // Whether a press of the left button gives the control the focus, as the
  // platform's edits, buttons, check boxes, list and combo boxes do when
  // clicked.  Panels and other containers never take it by a click (a click
  // there leaves the focus where it was); a control that wants it otherwise
  // (a grid) sets it itself in MouseDown.
  virtual bool TakesFocusOnClick() const { return false; }
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  void ParentFontChanged() override;
  void ParentColorChanged() override;

  // The native window.  CreateWnd makes the peer (CreatePeer), attaches it
  // to the parent's, mirrors the state and creates the children's;
  // DestroyWnd releases it.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void CreateHandle();
  void DestroyHandle();
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;

  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMSysChar(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMEnable(TMessage& Message);
  virtual void WMCut(TMessage& Message);
  virtual void WMCopy(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  virtual void WMClear(TMessage& Message);
  virtual void WMGetDlgCode(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMWantSpecialKey(TMessage& Message);
  virtual void CMTabStopChanged(TMessage& Message);
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNKeyUp(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  virtual void CNCommand(TMessage& Message);

private:
  friend class TControl;
  friend class TCustomForm;
  friend class platform::WidgetPeer;
  void ReorderPeers();
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  bool FDestroyingHandle = false;
  int FTabOrderWanted = -1;  // TabOrder read from a description
};

// ---------------------------------------------------------------- canvas controls

// A canvas bound to a control: inside the control's WM_PAINT it paints on
// the control; elsewhere it measures only.
class TControlCanvas : public TCanvas {
  ZEL_CLASS(TControlCanvas, TCanvas)
public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* AControl);
  void FreeHandle();
  void UpdateTextFlags() {}

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
};

// A windowed control that paints itself: WM_PAINT runs Paint on Canvas.
class TCustomControl : public TWinControl {
  ZEL_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A windowless control drawn on its parent's surface (to the layer a child
// widget that never takes the focus): WM_PAINT runs Paint on Canvas.
class TGraphicControl : public TControl {
  ZEL_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------- lookups and Win32 window calls

// The control of a window handle, nullptr when it is no (live) window of ours.
TWinControl* FindControl(HWND Handle);
// The windowed control that contains the screen point, nullptr if none.
TWinControl* FindVCLWindow(const TPoint& Pos);

HWND GetFocus();           // the focused control's window, nullptr when none
HWND SetFocus(HWND hWnd);  // returns the window that had the focus
HWND GetParent(HWND hWnd);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL UpdateWindow(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL GetCursorPos(LPPOINT lpPoint);
BOOL SetCursorPos(int X, int Y);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
SHORT GetKeyState(int nVirtKey);  // high bit: down (Shift, Ctrl, Alt, mouse buttons)
SHORT GetAsyncKeyState(int vKey);
// Win32 messages to our windows (also what SendMessageA/PostMessageA of
// platform/os reach for them).
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The message loop's default processing of a message (for a control: its
// DefaultHandler).
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(void* lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Posted messages not yet handled.  PeekMessage looks at those for hWnd
// (null: any) with a number in [wMsgFilterMin, wMsgFilterMax] (both 0: any).
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};
using TMsg = MSG;
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
BOOL PeekMessage(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
inline BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  return PeekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

namespace platform {

// Runs Fn on the GUI thread after the current message (a posted call).
void PostCall(std::function<void()> Fn);
// The popup menus of menus.cpp install how a control's PopupMenu opens.
void SetPopupMenuHandler(std::function<void(TPopupMenu* Menu, int ScreenX, int ScreenY)> Handler);

}  // namespace platform
