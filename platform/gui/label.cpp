// The label (TCustomLabel): a graphic control that draws its caption
// itself, with DrawText on its canvas.
#include "platform/gui/stdctrls.h"

#include "platform/os/windows.h"

// ---------------------------------------------------------------- TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 17);
  SetColor(clBtnFace);
  SetParentColor(true);
}

TCustomLabel::~TCustomLabel() = default;

AnsiString TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  AnsiString text = GetLabelText();
  // An empty caption (or a lone "&") still measures one line.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Flags = DrawTextBiDiModeFlags(Flags);
  Canvas()->Font()->Assign(Font());
  if (!Enabled()) {
    OffsetRect(Rect, 1, 1);
    Canvas()->Font()->SetColor(clBtnHighlight);
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    OffsetRect(Rect, -1, -1);
    Canvas()->Font()->SetColor(clBtnShadow);
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
  } else {
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
  }
}

void TCustomLabel::Paint() {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  const TRect client = ClientRect();
  if (!FTransparent) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(client);
  }
  Canvas()->Brush()->SetStyle(bsClear);
  TRect r = client;
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | kAlign[FAlignment];
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int h = calc.Height();
    if (FLayout == tlBottom)
      OffsetRect(r, 0, r.Height() - h);
    else
      OffsetRect(r, 0, (r.Height() - h) / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  static const UINT kWrap[] = {0, DT_WORDBREAK};
  TRect r = ClientRect();
  DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | kWrap[FWordWrap ? 1 : 0]);
  int x = Left();
  if (FAlignment == taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}
