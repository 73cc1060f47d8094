// TPanel and TImage.
#include "platform/gui/extctrls.h"

#include <algorithm>

#include "platform/gui/streaming.h"

// ---------------------------------------------------------------- frames

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  TPen* pen = Canvas->Pen();
  const TColor saved = pen->Color();
  const int savedWidth = pen->Width();
  pen->SetWidth(1);
  for (int i = 0; i < Width && !Rect.IsEmpty(); ++i) {
    // Top and left, then bottom and right; each line leaves out its end.
    pen->SetColor(TopColor);
    Canvas->MoveTo(Rect.Left, Rect.Bottom - 1);
    Canvas->LineTo(Rect.Left, Rect.Top);
    Canvas->LineTo(Rect.Right - 1, Rect.Top);
    pen->SetColor(BottomColor);
    Canvas->LineTo(Rect.Right - 1, Rect.Bottom - 1);
    Canvas->LineTo(Rect.Left - 1, Rect.Bottom - 1);
    InflateRect(Rect, -1, -1);
  }
  pen->SetColor(saved);
  pen->SetWidth(savedWidth);
}

// ---------------------------------------------------------------- TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  FrameChanged();
}
void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  FrameChanged();
}
void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = std::max(1, Value);
  FrameChanged();
}
void TCustomPanel::SetBorderWidth(int Value) {
  FBorderWidth = std::max(0, Value);
  FrameChanged();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  FrameChanged();
}

int TCustomPanel::FrameWidth() const {
  int w = FBorderWidth;
  if (FBevelOuter != bvNone) w += FBevelWidth;
  if (FBevelInner != bvNone) w += FBevelWidth;
  if (FBorderStyle == bsSingle) w += 1;
  return w;
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect) {
  const int w = FrameWidth();
  InflateRect(Rect, -w, -w);
  TCustomControl::AlignControls(AControl, Rect);
}

// A new size moves the aligned children along.
void TCustomPanel::Resize() {
  Realign();
  TCustomControl::Resize();
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    const bool lowered = cut == bvLowered;
    if (cut == bvSpace)
      Frame3D(c, r, Color(), Color(), FBevelWidth);
    else
      Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, FBevelWidth);
  };
  if (FBorderStyle == bsSingle) Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
  bevel(FBevelOuter);
  Frame3D(c, r, Color(), Color(), FBorderWidth);
  bevel(FBevelInner);
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  const AnsiString caption = Caption();
  if (caption.empty()) return;
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  TRect text = r;
  DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | kAlign[FAlignment]);
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetBounds(0, 0, 105, 105);
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}
void TImage::SetProportional(bool Value) {
  FProportional = Value;
  Invalidate();
}
void TImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}
void TImage::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}
void TImage::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (Value) PictureChanged(nullptr);
}

TRect TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  const bool fit = FStretch || (FProportional && (w > cw || h > ch));
  if (fit) {
    if (FProportional && w > 0 && h > 0) {
      // The largest size of the picture's aspect ratio within the client area.
      if (static_cast<long long>(cw) * h <= static_cast<long long>(ch) * w) {
        h = static_cast<int>(static_cast<long long>(cw) * h / w);
        w = cw;
      } else {
        w = static_cast<int>(static_cast<long long>(ch) * w / h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r(0, 0, w, h);
  if (FCenter) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

// ---------------------------------------------------------------- published properties

namespace {

const bool registered = [] {
  using platform::RegisterClass;
  const std::initializer_list<std::pair<const char*, TBevelCut>> cuts = {
      {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
  RegisterClass<TCustomPanel>("TCustomPanel", "TWinControl")
      .NotCreatable()
      .Enum<TAlignment>(
          "Alignment",
          {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
          &TCustomPanel::SetAlignment, taCenter)
      .Enum<TBevelCut>("BevelInner", cuts, &TCustomPanel::SetBevelInner, bvNone)
      .Enum<TBevelCut>("BevelOuter", cuts, &TCustomPanel::SetBevelOuter, bvRaised)
      .Int("BevelWidth", &TCustomPanel::SetBevelWidth, 1)
      .Int("BorderWidth", &TCustomPanel::SetBorderWidth, 0)
      .Enum<TBorderStyle>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}},
                          &TCustomPanel::SetBorderStyle, bsNone)
      .Bool("FullRepaint", &TCustomPanel::SetFullRepaint, true)
      .Ignore("ParentBackground")
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Ignore("UseDockManager")
      .Ignore("DockSite")
      .Done();
  RegisterClass<TPanel>("TPanel", "TCustomPanel").Done();

  RegisterClass<TPicture>("TPicture", "TPersistent")
      .NotCreatable()
      .Binary("Data", [](TPicture* p, const std::vector<Byte>& d) { p->LoadFromData(d); })
      .Done();
  RegisterClass<TImage>("TImage", "TControl")
      .Object("Picture", [](TImage* i) -> TPersistent* { return i->Picture(); })
      .Bool("Stretch", &TImage::SetStretch, false)
      .Bool("Proportional", &TImage::SetProportional, false)
      .Bool("Center", &TImage::SetCenter, false)
      .Bool("Transparent", &TImage::SetTransparent, false)
      .Bool("AutoSize", &TImage::SetAutoSize, false)
      .Ignore("IncrementalDisplay")
      .Done();
  return true;
}();

}  // namespace
