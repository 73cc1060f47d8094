// TFont, TBrush, TPen, TGraphic and TCanvas.
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>

#include "platform/gui/graphics.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

namespace platform {
HBRUSH CreateBrushObject(COLORREF color, int style);
HPEN CreatePenObject(int style, int width, COLORREF color, int mode);
void ForceDeleteObject(HGDIOBJ h);
}  // namespace platform

// ---------------------------------------------------------------- TGraphicsObject

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TFont

TFont::TFont() = default;
TFont::~TFont() { Release(); }

void TFont::Release() {
  if (FHandle) platform::ForceDeleteObject(FHandle);
  FHandle = nullptr;
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FOrientation = f->FOrientation;
    Release();
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

#define ZEL_FONT_SETTER(Fn, Field, Type) \
  void TFont::Fn(Type Value) {           \
    if (Field == Value) return;          \
    Field = Value;                       \
    Release();                           \
    Changed();                           \
  }
ZEL_FONT_SETTER(SetName, FName, const TFontName&)
ZEL_FONT_SETTER(SetHeight, FHeight, int)
ZEL_FONT_SETTER(SetStyle, FStyle, TFontStyles)
ZEL_FONT_SETTER(SetCharset, FCharset, TFontCharset)
ZEL_FONT_SETTER(SetPitch, FPitch, TFontPitch)
ZEL_FONT_SETTER(SetOrientation, FOrientation, int)
#undef ZEL_FONT_SETTER

void TFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

int TFont::Size() const { return -static_cast<int>(std::lround(FHeight * 72.0 / 96.0)); }

void TFont::SetSize(int Value) { SetHeight(-static_cast<int>(std::lround(Value * 96.0 / 72.0))); }

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTA lf;
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    std::strncpy(lf.lfFaceName, FName.c_str(), sizeof(lf.lfFaceName) - 1);
    FHandle = CreateFontIndirectA(&lf);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  // Takes over what the layer can read back of that font.
  const QFont f = platform::FontOfHandle(Value);
  FName = platform::FromQString(f.family());
  FHeight = -f.pixelSize();
  TFontStyles s;
  if (f.bold()) s << fsBold;
  if (f.italic()) s << fsItalic;
  if (f.underline()) s << fsUnderline;
  if (f.strikeOut()) s << fsStrikeOut;
  FStyle = s;
  FOrientation = platform::FontEscapement(Value);
  Release();
  Changed();
}

// ---------------------------------------------------------------- TBrush

TBrush::TBrush() = default;
TBrush::~TBrush() { Release(); }

void TBrush::Release() {
  if (FHandle) platform::ForceDeleteObject(FHandle);
  FHandle = nullptr;
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    Release();
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  if (FColor == Value && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Release();
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Release();
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!FHandle) FHandle = platform::CreateBrushObject(static_cast<COLORREF>(ColorToRGB(FColor)), FStyle);
  return FHandle;
}

// ---------------------------------------------------------------- TPen

TPen::TPen() = default;
TPen::~TPen() { Release(); }

void TPen::Release() {
  if (FHandle) platform::ForceDeleteObject(FHandle);
  FHandle = nullptr;
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FStyle = p->FStyle;
    FMode = p->FMode;
    FWidth = p->FWidth;
    Release();
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

#define ZEL_PEN_SETTER(Fn, Field, Type) \
  void TPen::Fn(Type Value) {           \
    if (Field == Value) return;         \
    Field = Value;                      \
    Release();                          \
    Changed();                          \
  }
ZEL_PEN_SETTER(SetColor, FColor, TColor)
ZEL_PEN_SETTER(SetStyle, FStyle, TPenStyle)
ZEL_PEN_SETTER(SetMode, FMode, TPenMode)
ZEL_PEN_SETTER(SetWidth, FWidth, int)
#undef ZEL_PEN_SETTER

HPEN TPen::Handle() {
  if (!FHandle) {
    int style = PS_SOLID;
    switch (FStyle) {
      case psDash: style = PS_DASH; break;
      case psDot: style = PS_DOT; break;
      case psDashDot: style = PS_DASHDOT; break;
      case psDashDotDot: style = PS_DASHDOTDOT; break;
      case psClear: style = PS_NULL; break;
      case psInsideFrame: style = PS_INSIDEFRAME; break;
      default: break;
    }
    FHandle = platform::CreatePenObject(style, FWidth, static_cast<COLORREF>(ColorToRGB(FColor)), FMode);
  }
  return FHandle;
}

// ---------------------------------------------------------------- TGraphic

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
  FFont->OnChange = [this](TObject*) { FState >> csFontValid; };
  FBrush->OnChange = [this](TObject*) { FState >> csBrushValid; };
  FPen->OnChange = [this](TObject*) { FState >> csPenValid; };
}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  // As in the class library, code that takes the handle finds the canvas's
  // font, brush and pen selected into it.
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  FHandle = Value;
  FState.Clear();
  if (FHandle) FState << csHandleValid;
}

void TCanvas::DeselectHandles() { FState = TCanvasState{csHandleValid}; }

void TCanvas::RequiredState(TCanvasState ReqState) {
  if (!FHandle) CreateHandle();
  HDC dc = FHandle;
  if (!dc) return;
  if (ReqState.Contains(csFontValid) && !FState.Contains(csFontValid)) {
    SelectObject(dc, FFont->Handle());
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
    FState << csFontValid;
  }
  if (ReqState.Contains(csPenValid) && !FState.Contains(csPenValid)) {
    SelectObject(dc, FPen->Handle());
    FState << csPenValid;
  }
  if (ReqState.Contains(csBrushValid) && !FState.Contains(csBrushValid)) {
    SelectObject(dc, FBrush->Handle());
    SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
    SetBkMode(dc, FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE);
    FState << csBrushValid;
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Refresh() { DeselectHandles(); }

TRect TCanvas::ClipRect() {
  HDC dc = Handle();
  if (QPainter* p = platform::PainterOfDC(dc)) {
    if (p->hasClipping()) return platform::FromQRect(p->clipBoundingRect().toAlignedRect());
    if (p->device()) return Bounds(0, 0, p->device()->width(), p->device()->height());
  }
  return TRect();
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(Handle(), X, Y, nullptr);
  FPenPos = TPoint(X, Y);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(Handle(), X, Y);
  FPenPos = TPoint(X, Y);
  Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
  if (Count <= 0) return;
  MoveTo(Points[0].X, Points[0].Y);
  for (int i = 1; i < Count; ++i) LineTo(Points[i].X, Points[i].Y);
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  RECT r = Rect;
  ::FillRect(Handle(), &r, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  RECT r = Rect;
  ::FrameRect(Handle(), &r, FBrush->Handle());
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Rectangle(Handle(), X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  HDC dc = Handle();
  if (QPainter* p = platform::PainterOfDC(dc)) {
    p->save();
    if (FBrush->Style() != bsClear)
      p->setBrush(platform::ToQColor(FBrush->Color()));
    else
      p->setBrush(Qt::NoBrush);
    if (FPen->Style() == psClear)
      p->setPen(Qt::NoPen);
    else
      p->setPen(QPen(platform::ToQColor(FPen->Color()), FPen->Width()));
    p->drawEllipse(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1));
    p->restore();
  }
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  RECT r = Rect;
  ::DrawFocusRect(Handle(), &r);
  Changed();
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(Handle(), X, Y, 0, static_cast<const RECT*>(nullptr), Text.c_str(), static_cast<UINT>(Text.size()),
              nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  RECT r = Rect;
  ExtTextOutA(Handle(), X, Y, options, &r, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s{0, 0};
  HDC dc = Handle();
  if (dc) {
    GetTextExtentPoint32A(dc, Text.c_str(), static_cast<int>(Text.size()), &s);
  } else {
    // No surface: measure with the font itself.
    HDC m = platform::CreateMeasureDC();
    SelectObject(m, FFont->Handle());
    GetTextExtentPoint32A(m, Text.c_str(), static_cast<int>(Text.size()), &s);
    platform::DeleteAnyDC(m);
  }
  return TSize{s.cx, s.cy};
}

int TCanvas::TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
int TCanvas::TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  Changing();
  RequiredState({csHandleValid});
  platform::DrawOp op;
  op.kind = platform::DrawOp::Picture;
  op.Rect = Rect;
  if (const auto& r = platform::DrawRecorderForTests()) r(op);
  Graphic->Draw(this, Rect);
  Changed();
}

TColor TCanvas::Pixel(int X, int Y) {
  QImage* img = platform::ImageOfDC(Handle());
  if (!img || X < 0 || Y < 0 || X >= img->width() || Y >= img->height()) return clNone;
  return platform::FromQColor(img->pixelColor(X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
  if (QPainter* p = platform::PainterOfDC(Handle())) p->fillRect(QRect(X, Y, 1, 1), platform::ToQColor(Color));
}

// ---------------------------------------------------------------- image canvases

namespace platform {

namespace {
class ImageCanvas : public TCanvas {
public:
  ImageCanvas(int w, int h, TColor bg) { SetHandle(CreateImageDC(w, h, bg)); }
  ~ImageCanvas() override {
    HDC dc = Handle();
    SetHandle(nullptr);
    DeleteAnyDC(dc);
  }
};
}  // namespace

std::unique_ptr<TCanvas> CreateImageCanvas(int Width, int Height, TColor Background) {
  return std::make_unique<ImageCanvas>(Width, Height, Background);
}

}  // namespace platform
