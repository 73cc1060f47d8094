// The control (TControl) and its size constraints: bounds, looks, the
// message dispatch and the default handling of its messages, its peer.
#include "platform/gui/controls.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

using platform::WidgetPeer;

// ---------------------------------------------------------------- TSizeConstraints

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinWidth = s->FMinWidth;
    FMinHeight = s->FMinHeight;
    FMaxWidth = s->FMaxWidth;
    FMaxHeight = s->FMaxHeight;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

#define ZEL_CONSTRAINT(Fn, Field)        \
  void TSizeConstraints::Fn(int Value) { \
    if (Field == Value) return;          \
    Field = Value;                       \
    Changed();                           \
  }
ZEL_CONSTRAINT(SetMinWidth, FMinWidth)
ZEL_CONSTRAINT(SetMinHeight, FMinHeight)
ZEL_CONSTRAINT(SetMaxWidth, FMaxWidth)
ZEL_CONSTRAINT(SetMaxHeight, FMaxHeight)
#undef ZEL_CONSTRAINT

void TSizeConstraints::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TControl

namespace {
bool g_fontFromParent = false;
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FFont(std::make_unique<TFont>()),
      FConstraints(std::make_unique<TSizeConstraints>(this)) {
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FConstraints->OnChange = [this](TObject* s) { ConstraintsChanged(s); };
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
  ReleasePeer();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && static_cast<void*>(AComponent) == static_cast<void*>(FPopupMenu))
    FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("Ein Steuerelement kann nicht sein eigener Vorfahr sein");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FConstraints) {
    if (FConstraints->MinWidth() > 0 && AWidth < FConstraints->MinWidth()) AWidth = FConstraints->MinWidth();
    if (FConstraints->MaxWidth() > 0 && AWidth > FConstraints->MaxWidth()) AWidth = FConstraints->MaxWidth();
    if (FConstraints->MinHeight() > 0 && AHeight < FConstraints->MinHeight()) AHeight = FConstraints->MinHeight();
    if (FConstraints->MaxHeight() > 0 && AHeight > FConstraints->MaxHeight()) AHeight = FConstraints->MaxHeight();
  }
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool moved = ALeft != FLeft || ATop != FTop;
  const bool sized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FPeer) {
    if (platform::PaintDepth > 0) {
      QPointer<QWidget> w = FPeer->Widget();
      const HWND h = FPeer->Handle();
      TControl* self = this;
      platform::PostCall([w, self, h] {
        if (!w) return;
        auto* p = dynamic_cast<WidgetPeer*>(w.data());
        if (!p || p->Control() != self || (h && p->Handle() != h)) return;
        self->UpdatePeer();
      });
    } else {
      UpdatePeer();
    }
  }
  if (moved) Perform(WM_MOVE, 0, MakePointLParam(FLeft, FTop));
  if (sized) Perform(WM_SIZE, 0, MakePointLParam(FWidth, FHeight));
  if (FParent && FAlign != alNone && !ComponentState().Contains(csLoading)) FParent->Realign();
}

TRect TControl::ClientRect() { return TRect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int Value) {
  const int frame = FWidth - ClientRect().Width();
  SetWidth(Value + frame);
}

void TControl::SetClientHeight(int Value) {
  const int frame = FHeight - ClientRect().Height();
  SetHeight(Value + frame);
}

TPoint TControl::ClientOrigin() {
  if (QWidget* w = platform::WidgetOf(this)) {
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return TPoint(p.x(), p.y());
  }
  if (FParent) {
    const TPoint o = FParent->ClientOrigin();
    return TPoint(o.X + FLeft, o.Y + FTop);
  }
  return TPoint(FLeft, FTop);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  if (FParent && !ComponentState().Contains(csLoading)) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  if (FPeer) UpdatePeer();
  if (FParent && FAlign != alNone && !ComponentState().Contains(csLoading)) FParent->Realign();
}

void TControl::VisibleChanging() {}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (!c->FVisible) return false;
    if (!c->FParent) return dynamic_cast<const TCustomForm*>(c) != nullptr;
  }
  return false;
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value && !FParentColor) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (Value && FParent) {
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED, 0, 0);
    FParentColor = true;
  }
}

void TControl::FontChanged(TObject*) {
  if (!g_fontFromParent) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  g_fontFromParent = true;
  try {
    FFont->Assign(FParent->Font());
  } catch (...) {
    g_fontFromParent = false;
    throw;
  }
  g_fontFromParent = false;
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  if (FColor != FParent->Color()) {
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED, 0, 0);
    FParentColor = true;
  }
}

void TControl::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TControl::SetParentCtl3D(bool Value) {
  if (FParentCtl3D == Value) return;
  FParentCtl3D = Value;
  if (Value && FParent && FParent->Ctl3D() != FCtl3D) {
    FCtl3D = FParent->Ctl3D();
    Perform(CM_CTL3DCHANGED, 0, 0);
    FParentCtl3D = true;
  }
}

AnsiString TControl::GetText() { return FText; }

void TControl::SetTextValue(const AnsiString& Value) {
  FText = Value;
  if (QWidget* w = platform::WidgetOf(this))
    if (w->isWindow()) w->setWindowTitle(platform::ToQString(Value));
}

void TControl::SetText(const AnsiString& Value) {
  if (GetText() == Value) return;
  SetTextValue(Value);
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetHint(const AnsiString& Value) {
  FHint = Value;
  if (FPeer) UpdatePeer();
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  FParentShowHint = false;
  if (FPeer) UpdatePeer();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  FPopupMenu = Value;
  if (Value) FreeNotification(reinterpret_cast<TComponent*>(Value));
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::ConstraintsChanged(TObject*) {
  SetBounds(FLeft, FTop, FWidth, FHeight);
  if (FPeer) UpdatePeer();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: WMPaint(M); break;
    case WM_MOVE: WMMove(M); break;
    case WM_SIZE: WMSize(M); break;
    case WM_NCHITTEST: WMNCHitTest(M); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(M); break;
    case WM_MOUSEMOVE: WMMouseMove(M); break;
    case WM_LBUTTONDOWN: WMLButtonDown(M); break;
    case WM_LBUTTONUP: WMLButtonUp(M); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(M); break;
    case WM_RBUTTONDOWN: WMRButtonDown(M); break;
    case WM_RBUTTONUP: WMRButtonUp(M); break;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(M); break;
    case WM_MBUTTONDOWN: WMMButtonDown(M); break;
    case WM_MBUTTONUP: WMMButtonUp(M); break;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(M); break;
    case WM_CONTEXTMENU: WMContextMenu(M); break;
    case WM_CANCELMODE: WMCancelMode(M); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); break;
    case CM_COLORCHANGED: CMColorChanged(M); break;
    case CM_FONTCHANGED: CMFontChanged(M); break;
    case CM_TEXTCHANGED: CMTextChanged(M); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); break;
    case CM_CTL3DCHANGED: CMCtl3DChanged(M); break;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(M); break;
    case CM_MOUSEENTER: CMMouseEnter(M); break;
    case CM_MOUSELEAVE: CMMouseLeave(M); break;
    case CM_CURSORCHANGED: CMCursorChanged(M); break;
    default: DefaultHandler(M); break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  if (FPeer) FPeer->PassToNative(Message);
}

void TControl::Invalidate() {
  if (QWidget* w = platform::WidgetOf(this)) w->update();
}

void TControl::Repaint() {
  QWidget* w = platform::WidgetOf(this);
  if (!w) return;
  if (platform::PaintDepth > 0)
    w->update();
  else
    w->repaint();
}

void TControl::Update() {
  if (QWidget* w = platform::WidgetOf(this))
    if (platform::PaintDepth == 0) w->repaint();
}

void TControl::BringToFront() {
  if (FParent) {
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
  }
  if (QWidget* w = platform::WidgetOf(this)) w->raise();
}

void TControl::SendToBack() {
  if (FParent) {
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
  }
  if (QWidget* w = platform::WidgetOf(this)) w->lower();
}

TCustomForm* TControl::TopForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::WMPaint(TMessage& M) { DefaultHandler(M); }
void TControl::WMMove(TMessage& M) { DefaultHandler(M); }
void TControl::WMSize(TMessage& M) {
  Resize();
  DefaultHandler(M);
}
void TControl::WMNCHitTest(TMessage& M) {
  DefaultHandler(M);
  if (M.Result == 0) M.Result = HTCLIENT;
}
void TControl::WMGetMinMaxInfo(TMessage& M) { DefaultHandler(M); }
void TControl::WMMouseMove(TMessage& M) {
  MouseMove(KeysToShiftState(static_cast<WORD>(M.WParam)), GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMLButtonDown(TMessage& M) {
  FMouseDownLeft = true;
  MouseDown(mbLeft, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssLeft, GET_X_LPARAM(M.LParam),
            GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMLButtonUp(TMessage& M) {
  DefaultHandler(M);
  const int x = GET_X_LPARAM(M.LParam), y = GET_Y_LPARAM(M.LParam);
  if (FMouseDownLeft) {
    FMouseDownLeft = false;
    if (ClickOnMouseUp() && ClientRect().Contains(TPoint(x, y))) Click();
  }
  MouseUp(mbLeft, KeysToShiftState(static_cast<WORD>(M.WParam)), x, y);
}
void TControl::WMLButtonDblClk(TMessage& M) {
  MouseDown(mbLeft, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssLeft << ssDouble, GET_X_LPARAM(M.LParam),
            GET_Y_LPARAM(M.LParam));
  DblClick();
  DefaultHandler(M);
}
void TControl::WMRButtonDown(TMessage& M) {
  MouseDown(mbRight, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssRight, GET_X_LPARAM(M.LParam),
            GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMRButtonUp(TMessage& M) {
  DefaultHandler(M);
  MouseUp(mbRight, KeysToShiftState(static_cast<WORD>(M.WParam)), GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
}
// The second press of a double click with the right or middle button is a
// press too (with ssDouble), as the platform reports it.
void TControl::WMRButtonDblClk(TMessage& M) {
  MouseDown(mbRight, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssRight << ssDouble, GET_X_LPARAM(M.LParam),
            GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMMButtonDblClk(TMessage& M) {
  MouseDown(mbMiddle, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssMiddle << ssDouble,
            GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMMButtonDown(TMessage& M) {
  MouseDown(mbMiddle, KeysToShiftState(static_cast<WORD>(M.WParam)) << ssMiddle, GET_X_LPARAM(M.LParam),
            GET_Y_LPARAM(M.LParam));
  DefaultHandler(M);
}
void TControl::WMMButtonUp(TMessage& M) {
  DefaultHandler(M);
  MouseUp(mbMiddle, KeysToShiftState(static_cast<WORD>(M.WParam)), GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
}
void TControl::WMContextMenu(TMessage& M) {
  if (FPopupMenu && platform::PopupHandler()) {
    platform::PopupHandler()(FPopupMenu, GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
    M.Result = 1;
    return;
  }
  DefaultHandler(M);
}
void TControl::WMCancelMode(TMessage& M) {
  FMouseDownLeft = false;
  DefaultHandler(M);
}
namespace {
// A windowed control that is being disabled or hidden while it (or a
// control inside it) has its form's focus: the form's own window takes the
// focus first, so Qt does not hand it to the next widget (with focus-in
// events there, and the other control's OnEnter).  The form's
// ActiveControl becomes empty; the focus stays with the window until the
// program or the user moves it.
void RemoveFocus(TControl* Control) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->Parent()) return;
  TCustomForm* form = GetParentForm(wc);
  QWidget* formWidget = platform::WidgetOf(form);
  if (!form || !formWidget) return;
  // The window's focus child, also while another window is active.
  const QWidget* focus = formWidget->focusWidget();
  TControl* holder = focus ? platform::ControlOfWidget(focus) : nullptr;
  if (holder && (holder == wc || wc->ContainsControl(holder))) formWidget->setFocus(Qt::OtherFocusReason);
  form->DefocusControl(wc);
}
}  // namespace

void TControl::CMEnabledChanged(TMessage& /*M*/) {
  if (!FEnabled) RemoveFocus(this);
  if (FPeer) UpdatePeer();
  Invalidate();
}
void TControl::CMVisibleChanged(TMessage& /*M*/) {
  if (!FVisible) RemoveFocus(this);
}
void TControl::CMColorChanged(TMessage& /*M*/) {
  if (FPeer) UpdatePeer();
  Invalidate();
  if (auto* wc = dynamic_cast<TWinControl*>(this))
    for (TControl* c : std::vector<TControl*>(wc->FControls)) c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
}
void TControl::CMFontChanged(TMessage& /*M*/) {
  if (FPeer) UpdatePeer();
  Invalidate();
  if (auto* wc = dynamic_cast<TWinControl*>(this))
    for (TControl* c : std::vector<TControl*>(wc->FControls)) c->Perform(CM_PARENTFONTCHANGED, 0, 0);
}
void TControl::CMTextChanged(TMessage& /*M*/) { Invalidate(); }
void TControl::CMParentColorChanged(TMessage& /*M*/) { ParentColorChanged(); }
void TControl::CMParentFontChanged(TMessage& /*M*/) { ParentFontChanged(); }
void TControl::CMCtl3DChanged(TMessage& /*M*/) { Invalidate(); }
void TControl::CMParentCtl3DChanged(TMessage& /*M*/) {
  if (FParentCtl3D && FParent && FParent->Ctl3D() != FCtl3D) {
    FCtl3D = FParent->Ctl3D();
    Perform(CM_CTL3DCHANGED, 0, 0);
    FParentCtl3D = true;
  }
}
void TControl::CMMouseEnter(TMessage& M) { DefaultHandler(M); }
void TControl::CMMouseLeave(TMessage& M) { DefaultHandler(M); }
void TControl::CMHintShow(TMessage& M) { DefaultHandler(M); }
void TControl::CMCursorChanged(TMessage& /*M*/) {
  if (FPeer) UpdatePeer();
}

void TControl::SendCancelMode() { Perform(WM_CANCELMODE, 0, 0); }

platform::WidgetPeer* TControl::CreatePeer() {
  auto* p = new platform::PlainPeer(this);
  p->setFocusPolicy(Qt::NoFocus);
  return p;
}

void TControl::SetPeer(platform::WidgetPeer* APeer) {
  FPeer = APeer;
  if (!APeer) return;
  QWidget* w = APeer->Widget();
  QWidget* pw = platform::WidgetOf(FParent);
  if (pw && w->parentWidget() != pw) w->setParent(pw);
}

void TControl::PeerNeeded() {
  if (FPeer || !FParent || !FParent->FPeer) return;
  SetPeer(CreatePeer());
  UpdatePeer();
}

void TControl::ReleasePeer() {
  WidgetPeer* p = FPeer;
  if (!p) return;
  FPeer = nullptr;
  QWidget* w = p->Widget();
  p->Detach();
  // A widget inside its own event handler must not be deleted there.
  w->hide();
  w->setParent(nullptr);
  w->deleteLater();
}

void TControl::UpdatePeer() {
  QWidget* w = platform::WidgetOf(this);
  if (!w) return;
  if (!w->isWindow()) w->setGeometry(FLeft, FTop, std::max(0, FWidth), std::max(0, FHeight));
  w->setEnabled(FEnabled);
  // Setting an explicit font or palette the widget already has changes
  // nothing but costs a resolve against the style's defaults; moves and
  // resizes come here too.
  const QFont font = platform::ToQFont(FFont.get());
  if (!w->testAttribute(Qt::WA_SetFont) || w->font() != font || w->font().resolveMask() != font.resolveMask())
    w->setFont(font);
  const QPalette& current = w->palette();
  QPalette pal = current;
  const QColor bg = platform::ToQColor(FColor);
  const QColor fg = platform::ToQColor(FFont->Color());
  pal.setColor(QPalette::Window, bg);
  pal.setColor(QPalette::Base, bg);
  pal.setColor(QPalette::Button, bg);
  // A disabled control's text is grey (clGrayText), as the platform draws
  // it; the font colour is for the enabled one.
  const QColor grey = platform::ToQColor(clGrayText);
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    pal.setColor(QPalette::Active, role, fg);
    pal.setColor(QPalette::Inactive, role, fg);
    pal.setColor(QPalette::Disabled, role, grey);
  }
  if (!w->testAttribute(Qt::WA_SetPalette) || pal != current || pal.resolveMask() != current.resolveMask())
    w->setPalette(pal);
  platform::SetWidgetCursor(w, FCursor);
  w->setToolTip(FShowHint ? platform::ToQString(FHint) : QString());
  w->setMouseTracking(true);  // WM_MOUSEMOVE comes without a button held too
  if (!w->isWindow()) w->setVisible(FVisible);
}
