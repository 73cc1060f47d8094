// Colours, fonts, brushes, pens, the canvas and the GDI drawing calls.
//
// Pixel conventions are those of Windows: a rectangle's right and bottom
// edges lie outside it (FillRect of (0,0,10,10) paints x and y 0..9),
// LineTo leaves out its end pixel, TextOut and DrawText place text by its
// top left corner.  Antialiasing is off.
//
// Colours: TColor is $00BBGGRR (red in the low byte); $FF0000nn is system
// colour nn (COLOR_*), taken from a fixed table of the classic Windows
// colours; clNone and clDefault are special values.
//
// Device contexts (HDC) stand for a painting surface: the control being
// painted (inside WM_PAINT), an off-screen image, or a scratch surface that
// only measures (GetDC outside painting).  Text handed to the A functions
// is Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/os/windows.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"

// ---------------------------------------------------------------- points and rectangles

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
  constexpr TPoint(const POINT& p) : X(p.x), Y(p.y) {}
  constexpr operator POINT() const { return POINT{X, Y}; }
  constexpr bool operator==(const TPoint&) const = default;
};

// Left and Top inside, Right and Bottom the first pixel outside.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int ALeft, int ATop, int ARight, int ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
  constexpr operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
  constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
  constexpr bool Contains(const TPoint& p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool operator==(const TRect&) const = default;
};

// The size of text.
struct TSize {
  int cx = 0;
  int cy = 0;
};

constexpr TPoint Point(int X, int Y) { return TPoint(X, Y); }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect(Left, Top, Right, Bottom); }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) {
  return TRect(Left, Top, Left + Width, Top + Height);
}
// TRect versions of the RECT helpers of platform/os/windows.h.
inline void OffsetRect(TRect& R, int dx, int dy) {
  R.Left += dx;
  R.Right += dx;
  R.Top += dy;
  R.Bottom += dy;
}
inline void InflateRect(TRect& R, int dx, int dy) {
  R.Left -= dx;
  R.Right += dx;
  R.Top -= dy;
  R.Bottom += dy;
}
inline bool PtInRect(const TRect& R, const TPoint& P) { return R.Contains(P); }

// ---------------------------------------------------------------- colours

using TColor = std::int32_t;

constexpr TColor MakeColor(std::uint32_t v) { return static_cast<TColor>(v); }
constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// System colour numbers (GetSysColor; clXxx = $FF000000 | number).
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;

// The colour of a system colour number as RGB ($00BBGGRR); 0 for an unknown number.
DWORD GetSysColor(int nIndex);

inline constexpr TColor clSystemColor = MakeColor(0xFF000000);
inline constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
inline constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
inline constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// A system colour becomes its RGB value; other colours stay.
TColor ColorToRGB(TColor Color);
// "clRed", "clBtnFace" ... or "$00BBGGRR"; and back (also decimal text).
AnsiString ColorToString(TColor Color);
bool IdentToColor(const AnsiString& Ident, TColor& Color);
TColor StringToColor(const AnsiString& S);  // EConvertError when neither

// ---------------------------------------------------------------- GDI objects

using HFONT = struct HFONT__*;
using HBRUSH = struct HBRUSH__*;
using HPEN = struct HPEN__*;
using HBITMAP = struct HBITMAP__*;
using HRGN = struct HRGN__*;

inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_LIGHT = 300;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_MEDIUM = 500;
inline constexpr int FW_SEMIBOLD = 600;
inline constexpr int FW_BOLD = 700;
inline constexpr int FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SYMBOL_CHARSET = 2;
inline constexpr BYTE EASTEUROPE_CHARSET = 238;
inline constexpr BYTE OEM_CHARSET = 255;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE OUT_TT_PRECIS = 4;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE DEFAULT_PITCH = 0;

struct LOGFONTA {
  LONG lfHeight = 0;  // negative: character height in pixels
  LONG lfWidth = 0;
  LONG lfEscapement = 0;  // tenths of a degree, counter-clockwise
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmCharSet;
};
using TTextMetric = TEXTMETRICA;

HFONT CreateFontA(int nHeight, int nWidth, int nEscapement, int nOrientation, int fnWeight, DWORD fdwItalic,
                  DWORD fdwUnderline, DWORD fdwStrikeOut, DWORD fdwCharSet, DWORD fdwOutputPrecision,
                  DWORD fdwClipPrecision, DWORD fdwQuality, DWORD fdwPitchAndFamily, LPCSTR lpszFace);
HFONT CreateFontIndirectA(const LOGFONTA* lplf);
HBRUSH CreateSolidBrush(COLORREF color);
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
// Selecting returns the object selected before (so it can be selected back).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Deleting an object still selected into a DC fails (FALSE), as on Windows.
BOOL DeleteObject(HGDIOBJ ho);

// ---------------------------------------------------------------- drawing on a DC

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
int SetBkMode(HDC hdc, int mode);

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL LineTo(HDC hdc, int x, int y);  // the end pixel stays out
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);  // current pen and brush
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);                      // dotted, drawn by XOR: twice erases it
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* lptm);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
BOOL GetTextExtentPoint32W(HDC hdc, const char16_t* lpString, int c, LPSIZE psizl);
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);  // -1: the last saved
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);

// DrawText flags.
inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_TABSTOP = 0x00000080;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_EXTERNALLEADING = 0x00000200;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_INTERNAL = 0x00001000;
inline constexpr UINT DT_EDITCONTROL = 0x00002000;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
inline constexpr UINT DT_END_ELLIPSIS = 0x00008000;
inline constexpr UINT DT_MODIFYSTRING = 0x00010000;
inline constexpr UINT DT_RTLREADING = 0x00020000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
inline constexpr UINT DT_HIDEPREFIX = 0x00100000;
inline constexpr UINT DT_PREFIXONLY = 0x00200000;

// Draws text in the rectangle with the DC's font, text colour and
// background mode.  "&x" underlines x and "&&" shows "&" unless
// DT_NOPREFIX.  DT_CALCRECT draws nothing and sets the rectangle's right
// and bottom to fit the text (for DT_WORDBREAK within its width).  Without
// DT_NOCLIP the text is clipped to the rectangle.  nCount -1: up to the NUL.
// Returns the height of the text.
int DrawTextA(HDC hDC, LPCSTR lpchText, int nCount, LPRECT lprc, UINT format);
int DrawTextA(HDC hDC, LPCSTR lpchText, int nCount, TRect* lprc, UINT format);
int DrawTextW(HDC hDC, const char16_t* lpchText, int nCount, LPRECT lprc, UINT format);
int DrawTextW(HDC hDC, const char16_t* lpchText, int nCount, TRect* lprc, UINT format);

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;
// Text at (x, y) top left; ETO_OPAQUE fills lprc with the background
// colour first, ETO_CLIPPED clips to lprc.  lpDx is ignored.
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprc, LPCSTR lpString, UINT c, const INT* lpDx);
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const TRect* lprc, LPCSTR lpString, UINT c, const INT* lpDx);
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprc, const char16_t* lpString, UINT c,
                 const INT* lpDx);

// DrawEdge.
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BDR_OUTER = 0x0003;
inline constexpr UINT BDR_INNER = 0x000C;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;
// Outer edge on the rectangle's outermost pixels, inner edge one pixel in;
// raised: light top/left, dark bottom/right (colours of the system table).
BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags);
BOOL DrawEdge(HDC hdc, TRect* qrc, UINT edge, UINT grfFlags);

inline constexpr UINT DFC_CAPTION = 1;
inline constexpr UINT DFC_MENU = 2;
inline constexpr UINT DFC_SCROLL = 3;
inline constexpr UINT DFC_BUTTON = 4;
inline constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0000;
inline constexpr UINT DFCS_BUTTONPUSH = 0x0010;
inline constexpr UINT DFCS_INACTIVE = 0x0100;
inline constexpr UINT DFCS_PUSHED = 0x0200;
inline constexpr UINT DFCS_CHECKED = 0x0400;
inline constexpr UINT DFCS_FLAT = 0x4000;
BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState);

// System metrics (fixed values of a classic 96-dpi desktop; the screen size
// is the primary screen's).
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
int GetSystemMetrics(int nIndex);

// Device contexts of windows.  Inside WM_PAINT of that window GetDC,
// GetWindowDC and BeginPaint paint on it; elsewhere they give a surface
// that only measures (what is drawn there is dropped).
struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint{};
};
using LPPAINTSTRUCT = PAINTSTRUCT*;
HDC GetDC(HWND hWnd);  // null: the screen
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC CreateCompatibleDC(HDC hdc);  // an off-screen surface of 1x1 until a bitmap is selected
BOOL DeleteDC(HDC hdc);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// ---------------------------------------------------------------- TFont, TBrush, TPen

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle, fsBold, fsStrikeOut>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
using TFontName = AnsiString;

class TGraphicsObject : public TPersistent {
  ZEL_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

// A font in the class library's terms.  Height < 0 is the character height
// in pixels, Height > 0 the cell height; Size is points at 96 dpi
// (Height = -Size * 96 / 72, rounded).  Default: "MS Sans Serif", Height -11,
// clWindowText, no style.  Font names that the machine lacks fall back to a
// fixed sans-serif font, so text measures the same everywhere.
class TFont : public TGraphicsObject {
  ZEL_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  const TFontName& Name() const { return FName; }
  void SetName(const TFontName& Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int Size() const;
  void SetSize(int Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Escapement in tenths of a degree, counter-clockwise.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);
  int PixelsPerInch() const { return 96; }
  // A font object with these attributes; the TFont keeps owning it.  Setting
  // a handle takes over the attributes of that font object.
  HFONT Handle();
  void SetHandle(HFONT Value);

private:
  void Release();
  TFontName FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  HFONT FHandle = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  ZEL_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);  // a solid style stays; bsClear becomes bsSolid
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  HBRUSH Handle();

private:
  void Release();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  HBRUSH FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

class TPen : public TGraphicsObject {
  ZEL_CLASS(TPen, TGraphicsObject)
public:
  TPen();
  ~TPen() override;
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  HPEN Handle();

private:
  void Release();
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  int FWidth = 1;
  HPEN FHandle = nullptr;
};

// ---------------------------------------------------------------- TGraphic

class TCanvas;

// The base of pictures (bitmaps, JPEG images; see jpeg.h and extctrls.h).
class TGraphic : public TPersistent {
  ZEL_CLASS(TGraphic, TPersistent)
public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int) {}
  virtual void SetHeight(int) {}
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  // Draws the picture scaled into Rect.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  TNotifyEvent OnChange;

protected:
  virtual void Changed();

private:
  bool FTransparent = false;
};

// ---------------------------------------------------------------- TCanvas

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = Set<TCanvasStates, csHandleValid, csBrushValid>;
enum TFillStyle { fsSurface, fsBorder };
enum TCopyMode { cmSrcCopy };

// Drawing with the class library's canvas.  A canvas works on a device
// context (Handle); TControlCanvas gets its control's while painting, a
// canvas made by platform::CreateImageCanvas paints on an image.  Before
// each call the canvas selects its Font, Brush and Pen into the DC.
class TCanvas : public TPersistent {
  ZEL_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle();  // creates one through CreateHandle when none is set
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
  TRect ClipRect();

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);  // from PenPos; the end pixel stays out
  void Polyline(const TPoint* Points, int Count);
  void FillRect(const TRect& Rect);                // with the brush; right and bottom edge outside
  void FrameRect(const TRect& Rect);               // one pixel with the brush colour
  void Rectangle(int X1, int Y1, int X2, int Y2);  // pen frame, brush inside
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void DrawFocusRect(const TRect& Rect);
  void TextOut(int X, int Y, const AnsiString& Text);                      // top left; brush behind unless bsClear
  void TextRect(const TRect& Rect, int X, int Y, const AnsiString& Text);  // clipped to Rect, Rect filled
  int TextWidth(const AnsiString& Text);
  int TextHeight(const AnsiString& Text);
  TSize TextExtent(const AnsiString& Text);
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  TColor Pixel(int X, int Y);  // image canvases only (clNone elsewhere)
  void SetPixel(int X, int Y, TColor Color);
  void Refresh();  // selects the canvas objects into the DC again
  void Lock() {}
  void Unlock() {}

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void CreateHandle() {}
  void RequiredState(TCanvasState ReqState);
  virtual void Changing();
  virtual void Changed();

private:
  void DeselectHandles();
  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TPen> FPen;
  TPoint FPenPos;
};

namespace platform {

// A canvas that paints on an image of its own (white at the start), for
// off-screen drawing and for tests; free it with delete / unique_ptr.
std::unique_ptr<TCanvas> CreateImageCanvas(int Width, int Height, TColor Background = clWhite);

}  // namespace platform
