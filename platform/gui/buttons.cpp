// TSpeedButton.
#include "platform/gui/buttons.h"

#include "platform/gui/streaming.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
  SetParentColor(false);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !Value && !FAllowAllUp) {
    // The last button of a group stays down unless AllowAllUp.
    bool otherDown = false;
    if (Parent())
      for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)))
          if (b != this && b->FGroupIndex == FGroupIndex && b->FDown) otherDown = true;
    if (!otherDown) return;
  }
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  if (Value) UpdateGroup();
  Invalidate();
}

void TSpeedButton::UpdateGroup() {
  if (FGroupIndex == 0 || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)))
      if (b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
        b->FDown = false;
        b->FState = bsUp;
        b->Invalidate();
      }
}

void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  const TButtonState s = FDown ? bsExclusive : inside ? bsDown : bsUp;
  if (s != FState) {
    FState = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
    if (inside) Click();
    return;
  }
  if (inside) SetDown(!FDown);
  FState = FDown ? bsExclusive : bsUp;
  Invalidate();
  if (inside) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  FMouseInside = true;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  FMouseInside = false;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  FState = Enabled() ? (FDown ? bsExclusive : bsUp) : bsDisabled;
  Invalidate();
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  const bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat || FMouseInside || pressed) {
    TRect edge = r;
    DrawEdge(c->Handle(), &edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  const AnsiString caption = Caption();
  if (caption.empty()) return;
  TRect text = r;
  if (pressed) OffsetRect(text, 1, 1);
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (!Enabled()) {
    TRect light = text;
    OffsetRect(light, 1, 1);
    c->Font()->SetColor(clBtnHighlight);
    DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &light, flags);
    c->Font()->SetColor(clBtnShadow);
  }
  DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &text, flags);
}

namespace {

const bool registered = platform::RegisterClass<TSpeedButton>("TSpeedButton", "TControl")
                            .Bool("Down", &TSpeedButton::SetDown, false)
                            .Int("GroupIndex", &TSpeedButton::SetGroupIndex, 0)
                            .Bool("AllowAllUp", &TSpeedButton::SetAllowAllUp, false)
                            .Bool("Flat", &TSpeedButton::SetFlat, false)
                            .Enum<TButtonLayout>("Layout",
                                                 {{"blGlyphLeft", blGlyphLeft},
                                                  {"blGlyphRight", blGlyphRight},
                                                  {"blGlyphTop", blGlyphTop},
                                                  {"blGlyphBottom", blGlyphBottom}},
                                                 &TSpeedButton::SetLayout, blGlyphLeft)
                            .Int("Margin", &TSpeedButton::SetMargin, -1)
                            .Int("Spacing", &TSpeedButton::SetSpacing, 4)
                            .Ignore("Glyph.Data")
                            .Ignore("Glyph")
                            .Ignore("NumGlyphs")
                            .Ignore("Transparent")
                            .Done();

}  // namespace
