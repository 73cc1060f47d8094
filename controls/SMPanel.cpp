#include "controls/SMPanel.h"

#include <utility>

#include "foundation/wuReg.h"
#include "platform/gui/streaming.h"
#include "platform/os/windows.h"

// ---------------------------------------------------------------- TSMPanel

TSMPanel::TSMPanel(TComponent* AOwner) : TPanel(AOwner) { SetTabStop(false); }

TSMPanel::~TSMPanel() = default;

void TSMPanel::DoCanMove(int X, int Y, bool& CanMove) {
  if (OnCanMove) OnCanMove(this, X, Y, CanMove);
}

void TSMPanel::DoCanResize(TResizeDirection Direction, bool& CanResize) {
  if (OnCanResize) OnCanResize(this, Direction, CanResize);
}

namespace {

// The move area leaves out the bands of every side that resizes, also with
// rdNone in the set.
TRect WithoutResizeBands(TRect r, const TResizeDirectionSet& rd, int band) {
  if (rd.Contains(rdTop) || rd.Contains(rdTopLeft) || rd.Contains(rdTopRight)) r.Top += band;
  if (rd.Contains(rdBottom) || rd.Contains(rdBottomLeft) || rd.Contains(rdBottomRight)) r.Bottom -= band;
  if (rd.Contains(rdLeft) || rd.Contains(rdTopLeft) || rd.Contains(rdBottomLeft)) r.Left += band;
  if (rd.Contains(rdRight) || rd.Contains(rdTopRight) || rd.Contains(rdBottomRight)) r.Right -= band;
  return r;
}

// The resize direction whose band p lies in; a corner wins over its sides.
TResizeDirection DirectionAt(const TResizeDirectionSet& rd, const TPoint& p, int band, int width, int height) {
  if (rd.Contains(rdNone)) return rdNone;
  const bool onTop = p.Y < band;
  const bool onLeft = p.X < band;
  const bool onRight = p.X >= width - band;
  const bool onBottom = p.Y >= height - band;
  const std::pair<TResizeDirection, bool> hits[] = {
      {rdTop, onTop},
      {rdLeft, onLeft},
      {rdBottom, onBottom},
      {rdRight, onRight},
      {rdTopLeft, onTop && onLeft},
      {rdTopRight, onTop && onRight},
      {rdBottomLeft, onBottom && onLeft},
      {rdBottomRight, onBottom && onRight},
  };
  TResizeDirection d = rdNone;
  for (const auto& [direction, hit] : hits)
    if (hit && rd.Contains(direction)) d = direction;  // each later hit replaces the one before
  return d;
}

LRESULT ResizeCode(TResizeDirection d) {
  switch (d) {
    case rdTop: return HTTOP;
    case rdBottom: return HTBOTTOM;
    case rdLeft: return HTLEFT;
    case rdRight: return HTRIGHT;
    case rdTopLeft: return HTTOPLEFT;
    case rdTopRight: return HTTOPRIGHT;
    case rdBottomLeft: return HTBOTTOMLEFT;
    case rdBottomRight: return HTBOTTOMRIGHT;
    case rdNone: break;
  }
  return HTCLIENT;
}

}  // namespace

LRESULT TSMPanel::HitTest(const TPoint& ScreenPos) {
  LRESULT code = HTCLIENT;
  if (ComponentState().Contains(csDesigning)) return code;
  const TPoint p = ScreenToClient(ScreenPos);
  int b = BorderWidth() + 5;
  if (BevelInner() != bvNone) b += BevelWidth();
  if (BevelOuter() != bvNone) b += BevelWidth();
  TRect r(0, 0, Width(), Height());
  if (FAllowResize) {
    r = WithoutResizeBands(r, FResizeDirection, b);
    const TResizeDirection d = DirectionAt(FResizeDirection, p, b, Width(), Height());
    bool canResize = true;
    if (d != rdNone) DoCanResize(d, canResize);
    if (d != rdNone && canResize) code = ResizeCode(d);
  }
  if (FCaptionHeight != 0) r.Bottom = r.Top + FCaptionHeight;
  bool canMove = FAllowMove && r.Left <= p.X && p.X < r.Right && r.Top <= p.Y && p.Y < r.Bottom;
  // Asked always: the handler may allow a move anywhere or forbid it.
  DoCanMove(p.X, p.Y, canMove);
  if (canMove) code = HTCAPTION;  // moving wins over resizing
  return code;
}

void TSMPanel::WMNCHitTest(TMessage& Message) {
  TPanel::WMNCHitTest(Message);
  Message.Result = HitTest(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
}

// The events are asked while the pointer moves over the panel too; the
// code goes into the result, which nobody reads for this message.
void TSMPanel::WMMouseMove(TMessage& Message) {
  TPanel::WMMouseMove(Message);
  const TPoint client(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  Message.Result = HitTest(ClientToScreen(client));
}

void TSMPanel::WMGetMinMaxInfo(TMessage& Message) {
  TPanel::WMGetMinMaxInfo(Message);
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  if (!info) return;
  info->ptMinTrackSize.x = FMinWidth;
  info->ptMinTrackSize.y = FMinHeight;
  if (FMaxWidth != 0) info->ptMaxTrackSize.x = FMaxWidth;
  if (FMaxHeight != 0) info->ptMaxTrackSize.y = FMaxHeight;
}

// ---------------------------------------------------------------- TKfrmCloseButton

TKfrmCloseButton::TKfrmCloseButton(TComponent* AOwner)
    : TButton(AOwner),
      FGlyph(platform::CreateImageCanvas(GlyphSize, GlyphSize, clWhite)),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TKfrmCloseButton::~TKfrmCloseButton() = default;

// The native button first, then the glyph centred on it.
void TKfrmCloseButton::WMPaint(TMessage& Message) {
  TButton::WMPaint(Message);
  FCanvas->FreeHandle();
  const TColor transparent = FGlyph->Pixel(0, GlyphSize - 1);
  const int x0 = (Width() - GlyphSize) / 2;
  const int y0 = (Height() - GlyphSize) / 2;
  TBrush* brush = FCanvas->Brush();
  brush->SetStyle(bsSolid);
  for (int y = 0; y < GlyphSize; ++y)
    for (int x = 0; x < GlyphSize; ++x) {
      const TColor c = FGlyph->Pixel(x, y);
      if (c == transparent) continue;
      brush->SetColor(c);
      FCanvas->FillRect(TRect(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1));
    }
  FCanvas->FreeHandle();
}

// ---------------------------------------------------------------- TKfrm

namespace {

// The cross of the close button: black columns of each glyph row.
struct CrossRow {
  int Row;
  int Columns[4];
  int Count;
};
constexpr CrossRow kCross[] = {
    {1, {0, 1, 4, 5}, 4}, {2, {1, 2, 3, 4}, 4}, {3, {2, 3, 0, 0}, 2}, {4, {1, 2, 3, 4}, 4}, {5, {0, 1, 4, 5}, 4},
};

}  // namespace

TKfrm::TKfrm(TComponent* AOwner) : TSMPanel(AOwner) {
  SetBevelInner(bvRaised);
  FACaption.clear();

  FCaptionLabel = new TLabel(this);
  FCaptionLabel->SetParent(this);
  FCaptionLabel->SetHeight(17);
  FCaptionLabel->SetAlign(alTop);
  FCaptionLabel->SetAutoSize(false);
  FCaptionLabel->SetColor(clActiveCaption);
  FCaptionLabel->Font()->SetColor(clCaptionText);
  FCaptionLabel->SetLayout(tlCenter);

  FCloseButton = new TKfrmCloseButton(this);
  FCloseButton->SetParent(this);
  FCloseButton->SetTop(5);
  FCloseButton->SetLeft(Width() - 14);
  FCloseButton->SetWidth(11);
  FCloseButton->SetHeight(11);
  FCloseButton->OnClick = [this](TObject* Sender) { CloseButtonClick(Sender); };
  FCloseButton->SetTabStop(false);
  for (const CrossRow& r : kCross)
    for (int i = 0; i < r.Count; ++i) FCloseButton->Glyph()->SetPixel(r.Columns[i], r.Row, clBlack);
}

TKfrm::~TKfrm() {
  Destroying();
  if (OnDestroy) OnDestroy(this);
  // A destructor must not fail: a refused write of the placement is
  // reported as an error that leaves a handler would be, and the window
  // goes all the same.
  try {
    SavePlacement();
  } catch (...) {
    Application->HandleException(this);
  }
  delete FCloseButton;
  FCloseButton = nullptr;
  delete FCaptionLabel;
  FCaptionLabel = nullptr;
}

void TKfrm::SetACaption(const AnsiString& Value) {
  FCaptionLabel->SetCaption(" " + Value);
  FACaption = Value;
}

void TKfrm::SetActiveControl(TWinControl* Value) {
  if (FActiveControl == Value) return;
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TKfrm::Notification(TComponent* AComponent, TOperation Operation) {
  TSMPanel::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent &&
      static_cast<TObject*>(AComponent) == static_cast<TObject*>(FActiveControl))
    FActiveControl = nullptr;
}

void TKfrm::SetName(const AnsiString& NewName) {
  TSMPanel::SetName(NewName);
  SetCaption("");  // a panel would show its caption text
  if (FCaptionLabel && FACaption.empty()) FCaptionLabel->SetName("lb_" + NewName);
  if (FCloseButton) {
    FCloseButton->SetName("bt_" + NewName);
    FCloseButton->SetCaption("");
  }
}

void TKfrm::Loaded() {
  FCloseButton->SetLeft(Width() - FCloseButton->Width() - 4);
  FCaptionLabel->SetColor(clInactiveCaption);
  TSMPanel::Loaded();
  SetVisible(false);
}

void TKfrm::Resize() {
  TSMPanel::Resize();
  if (!ComponentState().Contains(csDestroying) && FCloseButton) {
    // The panel has realigned the title bar; the close button keeps to the
    // right edge.
    FCloseButton->SetLeft(Width() - FCloseButton->Width() - 4);
  }
  if (Designing()) {
    SetMinHeight(Height());
    SetMinWidth(Width());
  }
}

void TKfrm::CMEnter(TMessage& Message) {
  FCaptionLabel->SetColor(clActiveCaption);
  TWinControl* first = FindNextControl(nullptr, true, true, false);
  if (first && first->CanFocus()) first->SetFocus();
  TSMPanel::CMEnter(Message);
}

void TKfrm::CMExit(TMessage& Message) {
  if (HandleAllocated()) FCaptionLabel->SetColor(clInactiveCaption);
  TSMPanel::CMExit(Message);
}

void TKfrm::CloseButtonClick(TObject*) {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (canClose)
    SetVisible(false);
  else
    MessageBeep(0);
}

void TKfrm::CheckBounds() {
  int w = Width();
  if (MinWidth() > 50 && MinWidth() > w) w = MinWidth();
  int h = Height();
  if (MinHeight() > 50 && MinHeight() > h) h = MinHeight();
  if (w < 50) w = 50;
  if (h < 50) h = 50;
  SetWidth(w);
  SetHeight(h);
  if (TWinControl* p = Parent()) {
    if (Left() > p->Width() - 50) SetLeft(p->Width() - 50);
    if (Left() + Width() < 50) SetLeft(50);
    if (Top() > p->Height() - 50) SetTop(p->Height() - 50);
    if (Top() + Height() < 50) SetTop(50);
  }
}

void TKfrm::LoadPlacement() {
  if (Designing()) return;
  int l, t, w, h;
  {
    // The store goes also when it raises; nothing read is applied then.
    auto reg = std::make_unique<TwuReg>(HKEY_CURRENT_USER);
    reg->OpenKey(PlacementKeyPath);
    l = reg->ReadInteger(Name(), "Left", Left());
    t = reg->ReadInteger(Name(), "Top", Top());
    w = reg->ReadInteger(Name(), "Width", Width());
    h = reg->ReadInteger(Name(), "Height", Height());
  }
  if (l < 0) l = 100;
  if (t < 0) t = 100;
  if (h < 20) h = Height();
  if (w < 20) w = Width();
  if (MinWidth() > 100 && MinWidth() > w) w = MinWidth();
  if (MinHeight() > 100 && MinHeight() > h) h = MinHeight();
  if (w < 100) w = 100;
  if (h < 100) h = 100;
  SetLeft(l);
  SetTop(t);
  SetHeight(h);
  SetWidth(w);
}

void TKfrm::SavePlacement() {
  if (Designing()) return;
  auto reg = std::make_unique<TwuReg>(HKEY_CURRENT_USER);
  reg->OpenKey(PlacementKeyPath);
  reg->WriteInteger(Name(), "Left", Left());
  reg->WriteInteger(Name(), "Top", Top());
  reg->WriteInteger(Name(), "Width", Width());
  reg->WriteInteger(Name(), "Height", Height());
}

// ---------------------------------------------------------------- registration

namespace {

const bool registered = [] {
  platform::RegisterClass<TSMPanel>("TSMPanel", "TPanel")
      .Bool("AllowMove", &TSMPanel::SetAllowMove)
      .Bool("AllowResize", &TSMPanel::SetAllowResize)
      .Int("CaptionHeight", &TSMPanel::SetCaptionHeight)
      .Int("MaxHeight", &TSMPanel::SetMaxHeight)
      .Int("MaxWidth", &TSMPanel::SetMaxWidth)
      .Int("MinHeight", &TSMPanel::SetMinHeight)
      .Int("MinWidth", &TSMPanel::SetMinWidth)
      .SetOf<TResizeDirectionSet, TResizeDirection>("ResizeDirection",
                                                    {{"rdNone", rdNone},
                                                     {"rdTop", rdTop},
                                                     {"rdBottom", rdBottom},
                                                     {"rdLeft", rdLeft},
                                                     {"rdRight", rdRight},
                                                     {"rdTopLeft", rdTopLeft},
                                                     {"rdTopRight", rdTopRight},
                                                     {"rdBottomLeft", rdBottomLeft},
                                                     {"rdBottomRight", rdBottomRight}},
                                                    &TSMPanel::SetResizeDirection)
      .Event("OnCanMove", &TSMPanel::OnCanMove)
      .Event("OnCanResize", &TSMPanel::OnCanResize)
      .Done();
  platform::RegisterClass<TKfrm>("TKfrm", "TSMPanel")
      .Str("ACaption", &TKfrm::SetACaption)
      .Event("OnCloseQuery", &TKfrm::OnCloseQuery)
      .Ref<TWinControl>("ActiveControl", &TKfrm::SetActiveControl)
      .Event("OnCreate", &TKfrm::OnCreate)
      .Event("OnDestroy", &TKfrm::OnDestroy)
      .Done();
  return true;
}();

}  // namespace
