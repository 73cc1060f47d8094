// Colours, GDI objects, device contexts and the drawing calls over QPainter,
// with the pixel conventions of Windows.
#include "platform/gui/graphics.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils.h"

// ---------------------------------------------------------------- system colours

namespace {

// The classic Windows colours (Windows Standard scheme).
constexpr COLORREF kSysColors[31] = {
    RGB(212, 208, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 background
    RGB(10, 36, 106),    // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(212, 208, 200),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 app workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3D dark shadow
    RGB(212, 208, 200),  // 22 3D light
    RGB(0, 0, 0),        // 23 info text
    RGB(255, 255, 225),  // 24 info background
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // 26 hot light
    RGB(166, 202, 240),  // 27 gradient active caption
    RGB(192, 192, 192),  // 28 gradient inactive caption
    RGB(49, 106, 197),   // 29 menu highlight
    RGB(212, 208, 200),  // 30 menu bar
};

struct ColorName {
  const char* Name;
  TColor Value;
};
constexpr ColorName kColorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar},
};

}  // namespace

DWORD GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex > 30) return 0;
  return kSysColors[nIndex];
}

TColor ColorToRGB(TColor Color) {
  if ((static_cast<std::uint32_t>(Color) & 0xFF000000u) == 0xFF000000u)
    return static_cast<TColor>(GetSysColor(Color & 0xFF));
  return Color;
}

AnsiString ColorToString(TColor Color) {
  for (const auto& c : kColorNames)
    if (c.Value == Color) return c.Name;
  return "$" + IntToHex(static_cast<std::uint32_t>(Color), 8);
}

bool IdentToColor(const AnsiString& Ident, TColor& Color) {
  for (const auto& c : kColorNames)
    if (SameText(c.Name, Ident)) {
      Color = c.Value;
      return true;
    }
  return false;
}

TColor StringToColor(const AnsiString& S) {
  TColor c;
  if (IdentToColor(S, c)) return c;
  std::int64_t v;
  if (TryStrToInt64(S, v)) return static_cast<TColor>(v);
  throw EConvertError("'" + S + "' ist kein g\xFCltiger Integerwert");
}

// ---------------------------------------------------------------- GDI objects

namespace platform {

struct GdiObject {
  enum Kind { Font, Brush, Pen, Bitmap } kind;
  explicit GdiObject(Kind k) : kind(k) {}
  // font
  LOGFONTA lf;
  // brush / pen
  COLORREF color = 0;
  int brushStyle = 0;  // TBrushStyle
  int penStyle = PS_SOLID;
  int penWidth = 1;
  int penMode = pmCopy;
  // bitmap
  std::shared_ptr<QImage> image;
  bool deleted = false;
};
using GdiRef = std::shared_ptr<GdiObject>;

namespace {

std::unordered_map<const void*, GdiRef>& GdiTable() {
  static std::unordered_map<const void*, GdiRef> t;
  return t;
}

HGDIOBJ Register(GdiRef o) {
  HGDIOBJ h = o.get();
  GdiTable()[h] = std::move(o);
  return h;
}

GdiRef Lookup(HGDIOBJ h) {
  auto& t = GdiTable();
  auto it = t.find(h);
  return it == t.end() ? nullptr : it->second;
}

GdiRef StockFont() {
  static GdiRef f = [] {
    auto o = std::make_shared<GdiObject>(GdiObject::Font);
    o->lf.lfHeight = -11;
    std::strcpy(o->lf.lfFaceName, "MS Sans Serif");
    return o;
  }();
  return f;
}
GdiRef StockBrush() {
  static GdiRef b = [] {
    auto o = std::make_shared<GdiObject>(GdiObject::Brush);
    o->color = RGB(255, 255, 255);
    return o;
  }();
  return b;
}
GdiRef StockPen() {
  static GdiRef p = [] {
    auto o = std::make_shared<GdiObject>(GdiObject::Pen);
    o->color = 0;
    return o;
  }();
  return p;
}

}  // namespace

DrawRecorder& DrawRecorderForTests() {
  static DrawRecorder r;
  return r;
}

QFont FontOfHandle(HFONT Font) {
  GdiRef o = Lookup(Font);
  if (!o || o->kind != GdiObject::Font) o = StockFont();
  const LOGFONTA& lf = o->lf;
  return MakeQFont(lf.lfFaceName, lf.lfHeight, lf.lfWeight >= FW_BOLD, lf.lfItalic != 0, lf.lfUnderline != 0,
                   lf.lfStrikeOut != 0,
                   (lf.lfWeight != FW_NORMAL && lf.lfWeight != FW_BOLD && lf.lfWeight > 0) ? lf.lfWeight : 0);
}

int FontEscapement(HFONT Font) {
  GdiRef o = Lookup(Font);
  return (o && o->kind == GdiObject::Font) ? o->lf.lfEscapement : 0;
}

}  // namespace platform

using platform::GdiObject;
using platform::GdiRef;

// ---------------------------------------------------------------- device contexts

struct HDC__ {
  QPainter* painter = nullptr;
  bool ownsPainter = false;
  std::shared_ptr<QImage> image;  // image and measuring DCs
  QWidget* widget = nullptr;
  GdiRef font, brush, pen, bitmap;
  COLORREF textColor = 0;
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  POINT pos{0, 0};
  bool measureOnly = false;
  struct Saved {
    GdiRef font, brush, pen;
    COLORREF textColor, bkColor;
    int bkMode;
    POINT pos;
  };
  std::vector<Saved> saved;
  int painterSaves = 0;
};

namespace platform {

namespace {

std::unordered_map<HDC, std::unique_ptr<HDC__>>& DcTable() {
  static std::unordered_map<HDC, std::unique_ptr<HDC__>> t;
  return t;
}

HDC NewDC(std::unique_ptr<HDC__> dc) {
  dc->font = StockFont();
  dc->brush = StockBrush();
  dc->pen = StockPen();
  HDC h = dc.get();
  DcTable()[h] = std::move(dc);
  return h;
}

HDC__* Dc(HDC h) {
  if (!h) return nullptr;
  auto& t = DcTable();
  auto it = t.find(h);
  return it == t.end() ? nullptr : it->second.get();
}

}  // namespace

HDC CreatePainterDC(QPainter* Painter, QWidget* Widget) {
  auto dc = std::make_unique<HDC__>();
  dc->painter = Painter;
  dc->widget = Widget;
  if (Painter) {
    Painter->setRenderHint(QPainter::Antialiasing, false);
    Painter->setRenderHint(QPainter::TextAntialiasing, false);
  }
  return NewDC(std::move(dc));
}

void ReleasePainterDC(HDC DC) { DeleteAnyDC(DC); }

QPainter* PainterOfDC(HDC DC) {
  HDC__* d = Dc(DC);
  return (d && !d->measureOnly) ? d->painter : nullptr;
}

HDC CreateImageDC(int Width, int Height, TColor Background) {
  auto dc = std::make_unique<HDC__>();
  dc->image = std::make_shared<QImage>(std::max(1, Width), std::max(1, Height), QImage::Format_RGB32);
  dc->image->fill(ToQColor(Background));
  dc->painter = new QPainter(dc->image.get());
  dc->ownsPainter = true;
  dc->painter->setRenderHint(QPainter::Antialiasing, false);
  dc->painter->setRenderHint(QPainter::TextAntialiasing, false);
  return NewDC(std::move(dc));
}

QImage* ImageOfDC(HDC DC) {
  HDC__* d = Dc(DC);
  return d ? d->image.get() : nullptr;
}

HDC CreateMeasureDC() {
  // Measuring needs no surface: the DC has no painter (what is drawn on it
  // goes nowhere) and shares one white pixel, which is what reads from it.
  static const std::shared_ptr<QImage> kWhitePixel = [] {
    auto image = std::make_shared<QImage>(1, 1, QImage::Format_RGB32);
    image->fill(ToQColor(clWhite));
    return image;
  }();
  auto dc = std::make_unique<HDC__>();
  dc->image = kWhitePixel;
  dc->measureOnly = true;
  return NewDC(std::move(dc));
}

void DeleteAnyDC(HDC DC) {
  auto& t = DcTable();
  auto it = t.find(DC);
  if (it == t.end()) return;
  HDC__* d = it->second.get();
  if (d->painter) {
    while (d->painterSaves > 0) {
      d->painter->restore();
      --d->painterSaves;
    }
    if (d->ownsPainter) {
      d->painter->end();
      delete d->painter;
    }
  }
  t.erase(it);
}

}  // namespace platform

using platform::Dc;

namespace {

QColor QC(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
TColor TC(COLORREF c) { return static_cast<TColor>(c); }

void Record(const platform::DrawOp& op) {
  const auto& r = platform::DrawRecorderForTests();
  if (r) r(op);
}

QPainter* PainterFor(HDC__* d) {
  if (!d || !d->painter || d->measureOnly) return nullptr;
  return d->painter;
}

QPainter::CompositionMode CompositionOf(int mode) {
  switch (mode) {
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

COLORREF BrushColorOf(HBRUSH hbr, bool& clear, Qt::BrushStyle& style) {
  clear = false;
  style = Qt::SolidPattern;
  const auto v = reinterpret_cast<std::uintptr_t>(hbr);
  if (v > 0 && v <= 31) return GetSysColor(static_cast<int>(v) - 1);  // COLOR_xxx + 1
  GdiRef o = platform::Lookup(hbr);
  if (!o || o->kind != GdiObject::Brush) o = platform::StockBrush();
  switch (o->brushStyle) {
    case bsClear: clear = true; break;
    case bsHorizontal: style = Qt::HorPattern; break;
    case bsVertical: style = Qt::VerPattern; break;
    case bsFDiagonal: style = Qt::FDiagPattern; break;
    case bsBDiagonal: style = Qt::BDiagPattern; break;
    case bsCross: style = Qt::CrossPattern; break;
    case bsDiagCross: style = Qt::DiagCrossPattern; break;
    default: break;
  }
  return o->color;
}

void FillWith(QPainter* p, const QRect& r, COLORREF color, Qt::BrushStyle style) {
  if (style == Qt::SolidPattern)
    p->fillRect(r, QC(color));
  else
    p->fillRect(r, QBrush(QC(color), style));
}

// One-pixel line from a to b without b (Bresenham), in the pen's colour.
void PixelLine(QPainter* p, int x0, int y0, int x1, int y1, const QColor& c, int style) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  int n = 0;
  p->save();
  p->setPen(QPen(c, 1));
  std::vector<QPoint> pts;
  while (!(x0 == x1 && y0 == y1)) {
    bool on = true;
    switch (style) {
      case PS_DOT: on = (n % 2) == 0; break;
      case PS_DASH: on = (n % 9) < 6; break;
      case PS_DASHDOT: on = (n % 12) < 6 || (n % 12) == 8; break;
      case PS_DASHDOTDOT: on = (n % 14) < 6 || (n % 14) == 8 || (n % 14) == 11; break;
      default: break;
    }
    if (on) pts.emplace_back(x0, y0);
    ++n;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  if (!pts.empty()) p->drawPoints(pts.data(), static_cast<int>(pts.size()));
  p->restore();
}

QString TextOf(const char* s, int n) {
  if (!s) return QString();
  const std::size_t len = n < 0 ? std::strlen(s) : static_cast<std::size_t>(n);
  return platform::ToQString(AnsiString(s, len));
}

QString TextOfW(const char16_t* s, int n) {
  if (!s) return QString();
  std::size_t len = 0;
  if (n < 0)
    while (s[len]) ++len;
  else
    len = static_cast<std::size_t>(n);
  return QString(reinterpret_cast<const QChar*>(s), static_cast<qsizetype>(len));
}

QFont DcFont(HDC__* d) { return platform::FontOfHandle(reinterpret_cast<HFONT>(d->font.get())); }
int DcEscapement(HDC__* d) { return d->font ? d->font->lf.lfEscapement : 0; }

platform::DrawOp TextOp(HDC__* d, const TRect& r, const QString& text, UINT flags, bool opaque) {
  platform::DrawOp op;
  op.kind = platform::DrawOp::Text;
  op.Rect = r;
  op.TextValue = platform::FromQString(text);
  op.FontName = d->font ? d->font->lf.lfFaceName : "";
  op.FontHeight = d->font ? d->font->lf.lfHeight : 0;
  op.Escapement = DcEscapement(d);
  op.Color = TC(d->textColor);
  op.BkColor = TC(d->bkColor);
  op.Opaque = opaque;
  op.Flags = flags;
  return op;
}

// Text with its top left at (x, y), optionally rotated by the font's escapement.
void PaintText(HDC__* d, QPainter* p, int x, int y, const QString& text, bool opaque, int qtFlags = 0) {
  const QFont f = DcFont(d);
  const QFontMetrics fm(f);
  const int esc = DcEscapement(d);
  p->save();
  p->setFont(f);
  p->translate(x, y);
  if (esc != 0) p->rotate(-esc / 10.0);
  const int w = fm.horizontalAdvance(text);
  const QRect box(0, 0, std::max(w, 1), fm.height());
  if (opaque) p->fillRect(box, QC(d->bkColor));
  p->setPen(QC(d->textColor));
  p->drawText(QRect(0, 0, std::max(w, 1) + fm.maxWidth(), fm.height()),
              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | qtFlags, text);
  p->restore();
}

}  // namespace

// ---------------------------------------------------------------- GDI object calls

HFONT CreateFontA(int nHeight, int nWidth, int nEscapement, int nOrientation, int fnWeight, DWORD fdwItalic,
                  DWORD fdwUnderline, DWORD fdwStrikeOut, DWORD fdwCharSet, DWORD fdwOutputPrecision,
                  DWORD fdwClipPrecision, DWORD fdwQuality, DWORD fdwPitchAndFamily, LPCSTR lpszFace) {
  LOGFONTA lf;
  lf.lfHeight = nHeight;
  lf.lfWidth = nWidth;
  lf.lfEscapement = nEscapement;
  lf.lfOrientation = nOrientation;
  lf.lfWeight = fnWeight == 0 ? FW_NORMAL : fnWeight;
  lf.lfItalic = static_cast<BYTE>(fdwItalic != 0);
  lf.lfUnderline = static_cast<BYTE>(fdwUnderline != 0);
  lf.lfStrikeOut = static_cast<BYTE>(fdwStrikeOut != 0);
  lf.lfCharSet = static_cast<BYTE>(fdwCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(fdwOutputPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(fdwClipPrecision);
  lf.lfQuality = static_cast<BYTE>(fdwQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(fdwPitchAndFamily);
  if (lpszFace) std::strncpy(lf.lfFaceName, lpszFace, sizeof(lf.lfFaceName) - 1);
  return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
  auto o = std::make_shared<GdiObject>(GdiObject::Font);
  if (lplf) o->lf = *lplf;
  return static_cast<HFONT>(platform::Register(std::move(o)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto o = std::make_shared<GdiObject>(GdiObject::Brush);
  o->color = color & 0xFFFFFF;
  return static_cast<HBRUSH>(platform::Register(std::move(o)));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  auto o = std::make_shared<GdiObject>(GdiObject::Pen);
  o->penStyle = iStyle;
  o->penWidth = std::max(1, cWidth);
  o->color = color & 0xFFFFFF;
  return static_cast<HPEN>(platform::Register(std::move(o)));
}

namespace platform {
// For TBrush/TPen: objects with style and mode.
HBRUSH CreateBrushObject(COLORREF color, int style) {
  auto o = std::make_shared<GdiObject>(GdiObject::Brush);
  o->color = color & 0xFFFFFF;
  o->brushStyle = style;
  return static_cast<HBRUSH>(Register(std::move(o)));
}
HPEN CreatePenObject(int style, int width, COLORREF color, int mode) {
  auto o = std::make_shared<GdiObject>(GdiObject::Pen);
  o->penStyle = style;
  o->penWidth = std::max(1, width);
  o->color = color & 0xFFFFFF;
  o->penMode = mode;
  return static_cast<HPEN>(Register(std::move(o)));
}
// Removes the object even when selected somewhere (the DC keeps its copy).
void ForceDeleteObject(HGDIOBJ h) { GdiTable().erase(h); }
}  // namespace platform

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  HDC__* d = Dc(hdc);
  GdiRef o = platform::Lookup(h);
  if (!d || !o) return nullptr;
  GdiRef* slot = nullptr;
  switch (o->kind) {
    case GdiObject::Font: slot = &d->font; break;
    case GdiObject::Brush: slot = &d->brush; break;
    case GdiObject::Pen: slot = &d->pen; break;
    case GdiObject::Bitmap: slot = &d->bitmap; break;
  }
  GdiRef old = *slot;
  *slot = o;
  if (o->kind == GdiObject::Bitmap && o->image) {
    if (d->painter && d->ownsPainter) {
      d->painter->end();
      delete d->painter;
    }
    d->image = o->image;
    d->painter = new QPainter(d->image.get());
    d->ownsPainter = true;
    d->measureOnly = false;
  }
  if (!old) return nullptr;
  // Give back a handle that selects the old object again.
  HGDIOBJ oldHandle = old.get();
  if (!platform::Lookup(oldHandle)) platform::GdiTable()[oldHandle] = old;
  return oldHandle;
}

BOOL DeleteObject(HGDIOBJ ho) {
  GdiRef o = platform::Lookup(ho);
  if (!o) return FALSE;
  for (auto& [h, d] : platform::DcTable())
    if (d->font == o || d->brush == o || d->pen == o || d->bitmap == o) return FALSE;
  platform::GdiTable().erase(ho);
  return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int cx, int cy) {
  auto o = std::make_shared<GdiObject>(GdiObject::Bitmap);
  o->image = std::make_shared<QImage>(std::max(1, cx), std::max(1, cy), QImage::Format_RGB32);
  o->image->fill(Qt::black);
  return static_cast<HBITMAP>(platform::Register(std::move(o)));
}

HDC CreateCompatibleDC(HDC) {
  HDC h = platform::CreateImageDC(1, 1, clWhite);
  return h;
}

BOOL DeleteDC(HDC hdc) {
  if (!Dc(hdc)) return FALSE;
  platform::DeleteAnyDC(hdc);
  return TRUE;
}

// ---------------------------------------------------------------- DC state

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  HDC__* d = Dc(hdc);
  if (!d) return 0xFFFFFFFF;
  const COLORREF old = d->textColor;
  d->textColor = color & 0xFFFFFF;
  return old;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  HDC__* d = Dc(hdc);
  if (!d) return 0xFFFFFFFF;
  const COLORREF old = d->bkColor;
  d->bkColor = color & 0xFFFFFF;
  return old;
}

int SetBkMode(HDC hdc, int mode) {
  HDC__* d = Dc(hdc);
  if (!d) return 0;
  const int old = d->bkMode;
  d->bkMode = mode;
  return old;
}

int SaveDC(HDC hdc) {
  HDC__* d = Dc(hdc);
  if (!d) return 0;
  d->saved.push_back({d->font, d->brush, d->pen, d->textColor, d->bkColor, d->bkMode, d->pos});
  if (d->painter) {
    d->painter->save();
    ++d->painterSaves;
  }
  return static_cast<int>(d->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  HDC__* d = Dc(hdc);
  if (!d || d->saved.empty()) return FALSE;
  std::size_t target = nSavedDC < 0 ? d->saved.size() + nSavedDC : static_cast<std::size_t>(nSavedDC - 1);
  if (target >= d->saved.size()) return FALSE;
  while (d->saved.size() > target) {
    const auto s = d->saved.back();
    d->saved.pop_back();
    d->font = s.font;
    d->brush = s.brush;
    d->pen = s.pen;
    d->textColor = s.textColor;
    d->bkColor = s.bkColor;
    d->bkMode = s.bkMode;
    d->pos = s.pos;
    if (d->painter && d->painterSaves > 0) {
      d->painter->restore();
      --d->painterSaves;
    }
  }
  return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  HDC__* d = Dc(hdc);
  if (!d || (!d->painter && !d->measureOnly)) return 0;
  if (d->painter) d->painter->setClipRect(QRect(left, top, right - left, bottom - top), Qt::IntersectClip);
  return 2;  // SIMPLEREGION
}

// ---------------------------------------------------------------- lines and rectangles

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  HDC__* d = Dc(hdc);
  if (!d) return FALSE;
  if (lppt) *lppt = d->pos;
  d->pos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  HDC__* d = Dc(hdc);
  if (!d) return FALSE;
  const POINT from = d->pos;
  d->pos = POINT{x, y};
  const GdiRef pen = d->pen ? d->pen : platform::StockPen();
  platform::DrawOp op;
  op.kind = platform::DrawOp::Line;
  op.From = TPoint(from.x, from.y);
  op.To = TPoint(x, y);
  op.Color = TC(pen->color);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || pen->penStyle == PS_NULL) return TRUE;
  p->save();
  p->setCompositionMode(CompositionOf(pen->penMode));
  QColor c = QC(pen->color);
  if (pen->penMode == pmXor) c = QC(pen->color);
  if (pen->penMode == pmNot) c = Qt::white;
  if (pen->penWidth <= 1) {
    PixelLine(p, from.x, from.y, x, y, c, pen->penStyle);
  } else {
    QPen qp(c, pen->penWidth, Qt::SolidLine, Qt::FlatCap);
    p->setPen(qp);
    p->drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(x + 0.5, y + 0.5));
  }
  p->restore();
  return TRUE;
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  HDC__* d = Dc(hDC);
  if (!d || !lprc) return 0;
  bool clear;
  Qt::BrushStyle style;
  const COLORREF c = BrushColorOf(hbr, clear, style);
  platform::DrawOp op;
  op.kind = platform::DrawOp::Fill;
  op.Rect = TRect(*lprc);
  op.Color = TC(c);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || clear || op.Rect.IsEmpty()) return 1;
  FillWith(p, platform::ToQRect(op.Rect), c, style);
  return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  HDC__* d = Dc(hDC);
  if (!d || !lprc) return 0;
  bool clear;
  Qt::BrushStyle style;
  const COLORREF c = BrushColorOf(hbr, clear, style);
  const TRect r(*lprc);
  platform::DrawOp op;
  op.kind = platform::DrawOp::Frame;
  op.Rect = r;
  op.Color = TC(c);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || clear || r.IsEmpty()) return 1;
  const QColor q = QC(c);
  p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), q);
  p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), q);
  p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), q);
  p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), q);
  return 1;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  HDC__* d = Dc(hdc);
  if (!d) return FALSE;
  const GdiRef pen = d->pen ? d->pen : platform::StockPen();
  bool clear;
  Qt::BrushStyle style;
  const COLORREF bc = BrushColorOf(reinterpret_cast<HBRUSH>(d->brush.get()), clear, style);
  platform::DrawOp op;
  op.kind = platform::DrawOp::Rectangle;
  op.Rect = TRect(left, top, right, bottom);
  op.Color = TC(pen->color);
  op.BkColor = TC(bc);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || right <= left || bottom <= top) return TRUE;
  const bool nullPen = pen->penStyle == PS_NULL;
  if (!clear) {
    const QRect inner = nullPen ? QRect(left, top, right - left - 1, bottom - top - 1)
                                : QRect(left, top, right - left, bottom - top);
    FillWith(p, inner, bc, style);
  }
  if (!nullPen) {
    const QColor q = QC(pen->color);
    const int w = std::max(1, pen->penWidth);
    p->save();
    p->setCompositionMode(CompositionOf(pen->penMode));
    p->fillRect(QRect(left, top, right - left, w), q);
    p->fillRect(QRect(left, bottom - w, right - left, w), q);
    p->fillRect(QRect(left, top, w, bottom - top), q);
    p->fillRect(QRect(right - w, top, w, bottom - top), q);
    p->restore();
  }
  return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
  HDC__* d = Dc(hDC);
  if (!d || !lprc) return FALSE;
  const TRect r(*lprc);
  platform::DrawOp op;
  op.kind = platform::DrawOp::FocusRect;
  op.Rect = r;
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || r.IsEmpty()) return TRUE;
  std::vector<QPoint> pts;
  for (int x = r.Left; x < r.Right; ++x) {
    if (((x - r.Left) & 1) == 0) pts.emplace_back(x, r.Top);
    if (r.Bottom - 1 != r.Top && ((x - r.Left + r.Bottom - 1 - r.Top) & 1) == 0) pts.emplace_back(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    if (((y - r.Top) & 1) == 0) pts.emplace_back(r.Left, y);
    if (r.Right - 1 != r.Left && ((r.Right - 1 - r.Left + y - r.Top) & 1) == 0) pts.emplace_back(r.Right - 1, y);
  }
  p->save();
  p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p->setPen(QPen(Qt::white, 1));
  if (!pts.empty()) p->drawPoints(pts.data(), static_cast<int>(pts.size()));
  p->restore();
  return TRUE;
}

// ---------------------------------------------------------------- text

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* lptm) {
  HDC__* d = Dc(hdc);
  if (!d || !lptm) return FALSE;
  const QFont f = DcFont(d);
  const QFontMetrics fm(f);
  std::memset(lptm, 0, sizeof(*lptm));
  lptm->tmHeight = fm.height();
  lptm->tmAscent = fm.ascent();
  lptm->tmDescent = fm.descent();
  lptm->tmInternalLeading = std::max(0, fm.height() - f.pixelSize());
  lptm->tmExternalLeading = std::max(0, fm.leading());
  lptm->tmAveCharWidth = fm.averageCharWidth();
  lptm->tmMaxCharWidth = fm.maxWidth();
  lptm->tmWeight = f.bold() ? FW_BOLD : FW_NORMAL;
  lptm->tmItalic = f.italic();
  lptm->tmUnderlined = f.underline();
  lptm->tmStruckOut = f.strikeOut();
  lptm->tmCharSet = d->font ? d->font->lf.lfCharSet : 0;
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  HDC__* d = Dc(hdc);
  if (!d || !psizl) return FALSE;
  const QFontMetrics fm(DcFont(d));
  psizl->cx = fm.horizontalAdvance(TextOf(lpString, c));
  psizl->cy = fm.height();
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, const char16_t* lpString, int c, LPSIZE psizl) {
  HDC__* d = Dc(hdc);
  if (!d || !psizl) return FALSE;
  const QFontMetrics fm(DcFont(d));
  psizl->cx = fm.horizontalAdvance(TextOfW(lpString, c));
  psizl->cy = fm.height();
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  return ExtTextOutA(hdc, x, y, 0, static_cast<const RECT*>(nullptr), lpString, static_cast<UINT>(c < 0 ? 0 : c),
                     nullptr);
}

namespace {

BOOL ExtTextOutQ(HDC hdc, int x, int y, UINT options, const RECT* lprc, const QString& text) {
  HDC__* d = Dc(hdc);
  if (!d) return FALSE;
  const QFontMetrics fm(DcFont(d));
  const bool opaqueRect = (options & ETO_OPAQUE) && lprc;
  TRect textRect = Bounds(x, y, fm.horizontalAdvance(text), fm.height());
  Record(TextOp(d, lprc ? TRect(*lprc) : textRect, text, options, opaqueRect || d->bkMode == OPAQUE));
  QPainter* p = PainterFor(d);
  if (!p) return TRUE;
  p->save();
  if (opaqueRect) p->fillRect(platform::ToQRect(TRect(*lprc)), QC(d->bkColor));
  if ((options & ETO_CLIPPED) && lprc) p->setClipRect(platform::ToQRect(TRect(*lprc)), Qt::IntersectClip);
  PaintText(d, p, x, y, text, !opaqueRect && d->bkMode == OPAQUE);
  p->restore();
  return TRUE;
}

int DrawTextQ(HDC hDC, const QString& text, RECT* lprc, UINT format) {
  HDC__* d = Dc(hDC);
  if (!d || !lprc) return 0;
  const QFont f = DcFont(d);
  const QFontMetrics fm(f);
  TRect r(*lprc);
  int qf = 0;
  const bool single = format & DT_SINGLELINE;
  if (format & DT_CENTER)
    qf |= Qt::AlignHCenter;
  else if (format & DT_RIGHT)
    qf |= Qt::AlignRight;
  else
    qf |= Qt::AlignLeft;
  if (single && (format & DT_VCENTER))
    qf |= Qt::AlignVCenter;
  else if (single && (format & DT_BOTTOM))
    qf |= Qt::AlignBottom;
  else
    qf |= Qt::AlignTop;
  if (single) qf |= Qt::TextSingleLine;
  if (format & DT_WORDBREAK) qf |= Qt::TextWordWrap;
  if (format & DT_EXPANDTABS) qf |= Qt::TextExpandTabs;
  if (!(format & DT_NOPREFIX)) qf |= (format & DT_HIDEPREFIX) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;
  QString shown = text;
  if (single) shown.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QString());
  // Measure as Windows does: the lines' extent from the rectangle's top left.
  const int measureWidth = (format & DT_WORDBREAK) ? std::max(1, r.Width()) : 1 << 20;
  const QRect bound =
      fm.boundingRect(QRect(0, 0, measureWidth, 1 << 20),
                      (qf & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom)) |
                          Qt::AlignLeft | Qt::AlignTop,
                      shown);
  const int textHeight = text.isEmpty() ? fm.height() : std::max(bound.height(), fm.height());
  if (format & DT_CALCRECT) {
    lprc->right = lprc->left + (text.isEmpty() ? 0 : bound.width());
    lprc->bottom = lprc->top + textHeight;
    return textHeight;
  }
  platform::DrawOp op = TextOp(d, r, shown, format, d->bkMode == OPAQUE);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p) return textHeight;
  p->save();
  if (!(format & DT_NOCLIP))
    p->setClipRect(platform::ToQRect(r), Qt::IntersectClip);
  else
    qf |= Qt::TextDontClip;
  p->setFont(f);
  const QRect qr(r.Left, r.Top, std::max(1, r.Width()), std::max(1, r.Height()));
  if (d->bkMode == OPAQUE && !text.isEmpty()) {
    QRect br = p->boundingRect(qr, qf, shown);
    p->fillRect(br, QC(d->bkColor));
  }
  p->setPen(QC(d->textColor));
  const int esc = DcEscapement(d);
  if (esc != 0) {
    p->translate(r.Left, r.Top);
    p->rotate(-esc / 10.0);
    p->drawText(
        QRect(0, 0, 1 << 16, 1 << 16),
        (qf & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom)) | Qt::TextDontClip,
        shown);
  } else {
    p->drawText(qr, qf, shown);
  }
  p->restore();
  return textHeight;
}

}  // namespace

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprc, LPCSTR lpString, UINT c, const INT*) {
  return ExtTextOutQ(hdc, x, y, options, lprc, TextOf(lpString, static_cast<int>(c)));
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const TRect* lprc, LPCSTR lpString, UINT c,
                 const INT* lpDx) {
  RECT r{};
  if (lprc) r = *lprc;
  return ExtTextOutA(hdc, x, y, options, lprc ? &r : static_cast<const RECT*>(nullptr), lpString, c, lpDx);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprc, const char16_t* lpString, UINT c,
                 const INT*) {
  return ExtTextOutQ(hdc, x, y, options, lprc, TextOfW(lpString, static_cast<int>(c)));
}

int DrawTextA(HDC hDC, LPCSTR lpchText, int nCount, LPRECT lprc, UINT format) {
  return DrawTextQ(hDC, TextOf(lpchText, nCount), lprc, format);
}

int DrawTextA(HDC hDC, LPCSTR lpchText, int nCount, TRect* lprc, UINT format) {
  if (!lprc) return 0;
  RECT r = *lprc;
  const int h = DrawTextA(hDC, lpchText, nCount, &r, format);
  *lprc = TRect(r);
  return h;
}

int DrawTextW(HDC hDC, const char16_t* lpchText, int nCount, LPRECT lprc, UINT format) {
  return DrawTextQ(hDC, TextOfW(lpchText, nCount), lprc, format);
}

int DrawTextW(HDC hDC, const char16_t* lpchText, int nCount, TRect* lprc, UINT format) {
  if (!lprc) return 0;
  RECT r = *lprc;
  const int h = DrawTextW(hDC, lpchText, nCount, &r, format);
  *lprc = TRect(r);
  return h;
}

// ---------------------------------------------------------------- edges and frame controls

namespace {

void Ring(QPainter* p, const TRect& r, COLORREF tl, COLORREF br, UINT flags) {
  if (r.IsEmpty()) return;
  if (flags & BF_TOP) p->fillRect(QRect(r.Left, r.Top, r.Width() - 1, 1), QC(tl));
  if (flags & BF_LEFT) p->fillRect(QRect(r.Left, r.Top, 1, r.Height() - 1), QC(tl));
  if (flags & BF_BOTTOM) p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), QC(br));
  if (flags & BF_RIGHT) p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), QC(br));
}

TRect Shrink(const TRect& r, UINT flags) {
  TRect n = r;
  if (flags & BF_LEFT) ++n.Left;
  if (flags & BF_TOP) ++n.Top;
  if (flags & BF_RIGHT) --n.Right;
  if (flags & BF_BOTTOM) --n.Bottom;
  return n;
}

}  // namespace

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
  HDC__* d = Dc(hdc);
  if (!d || !qrc) return FALSE;
  TRect r(*qrc);
  platform::DrawOp op;
  op.kind = platform::DrawOp::Edge;
  op.Rect = r;
  op.Flags = (edge << 16) | (grfFlags & 0xFFFF);
  Record(op);
  QPainter* p = PainterFor(d);
  const bool soft = grfFlags & BF_SOFT;
  const bool mono = grfFlags & (BF_MONO | BF_FLAT);
  COLORREF outerTL = 0, outerBR = 0, innerTL = 0, innerBR = 0;
  const bool hasOuter = edge & BDR_OUTER, hasInner = edge & BDR_INNER;
  if (edge & BDR_RAISEDOUTER) {
    outerTL = GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT);
    outerBR = GetSysColor(COLOR_3DDKSHADOW);
  }
  if (edge & BDR_SUNKENOUTER) {
    outerTL = GetSysColor(COLOR_BTNSHADOW);
    outerBR = GetSysColor(COLOR_BTNHIGHLIGHT);
  }
  if (edge & BDR_RAISEDINNER) {
    innerTL = GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
    innerBR = GetSysColor(COLOR_BTNSHADOW);
  }
  if (edge & BDR_SUNKENINNER) {
    innerTL = GetSysColor(COLOR_3DDKSHADOW);
    innerBR = GetSysColor(COLOR_3DLIGHT);
  }
  if (mono) {
    outerTL = outerBR = GetSysColor(grfFlags & BF_MONO ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    innerTL = innerBR = GetSysColor(COLOR_BTNFACE);
  }
  if (p) {
    if (hasOuter) Ring(p, r, outerTL, outerBR, grfFlags);
    if (hasOuter) r = Shrink(r, grfFlags);
    if (hasInner) Ring(p, r, innerTL, innerBR, grfFlags);
    if (hasInner) r = Shrink(r, grfFlags);
    if ((grfFlags & BF_MIDDLE) && !r.IsEmpty()) p->fillRect(platform::ToQRect(r), QC(GetSysColor(COLOR_BTNFACE)));
  } else {
    if (hasOuter) r = Shrink(r, grfFlags);
    if (hasInner) r = Shrink(r, grfFlags);
  }
  if (grfFlags & BF_ADJUST) *qrc = r;
  return TRUE;
}

BOOL DrawEdge(HDC hdc, TRect* qrc, UINT edge, UINT grfFlags) {
  if (!qrc) return FALSE;
  RECT r = *qrc;
  const BOOL ok = DrawEdge(hdc, &r, edge, grfFlags);
  *qrc = TRect(r);
  return ok;
}

BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
  HDC__* d = Dc(hdc);
  if (!d || !lprc) return FALSE;
  TRect r(*lprc);
  platform::DrawOp op;
  op.kind = platform::DrawOp::FrameControl;
  op.Rect = r;
  op.Flags = (uType << 16) | (uState & 0xFFFF);
  Record(op);
  QPainter* p = PainterFor(d);
  if (!p || r.IsEmpty()) return TRUE;
  p->fillRect(platform::ToQRect(r), QC(GetSysColor(COLOR_BTNFACE)));
  if (uState & DFCS_FLAT) {
    Ring(p, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW), BF_RECT);
  } else {
    RECT rr = *lprc;
    DrawEdge(hdc, &rr, (uState & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  if (uType == DFC_SCROLL && (uState & 0xFF) == DFCS_SCROLLCOMBOBOX) {
    // A small arrow pointing down in the middle.
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const QColor c = QC(GetSysColor((uState & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    for (int i = 0; i < 4; ++i) p->fillRect(QRect(cx - 3 + i, cy - 1 + i, 7 - 2 * i, 1), c);
  }
  return TRUE;
}

// ---------------------------------------------------------------- system metrics

namespace platform {
extern int ScreenWidthOverride;
extern int ScreenHeightOverride;
}  // namespace platform

int GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      int w = platform::ScreenWidthOverride, h = platform::ScreenHeightOverride;
      if (w <= 0 || h <= 0) {
        w = 1024;
        h = 768;
        if (QGuiApplication::instance())
          if (QScreen* s = QGuiApplication::primaryScreen()) {
            w = s->geometry().width();
            h = s->geometry().height();
          }
      }
      return nIndex == SM_CXSCREEN ? w : h;
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}
