// Conversions at the Qt edge: text (Windows-1252 and Unicode), colours and
// fonts.
#include <QColor>
#include <QFont>
#include <QString>

#include <algorithm>
#include <cmath>

#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/rtl/codepage.h"

namespace platform {

// ---------------------------------------------------------------- text

QString ToQString(const AnsiString& S) {
  const WideString w = AnsiToWide(S);
  return QString(reinterpret_cast<const QChar*>(w.data()), static_cast<qsizetype>(w.size()));
}

AnsiString FromQString(const QString& S) {
  WideString w(reinterpret_cast<const char16_t*>(S.utf16()), static_cast<std::size_t>(S.size()));
  return WideToAnsi(w);
}

// ---------------------------------------------------------------- colours and fonts

QColor ToQColor(TColor Color) {
  if (Color == clNone) return QColor(Qt::transparent);
  if (Color == clDefault) Color = clWindow;
  const TColor c = ColorToRGB(Color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& Color) {
  return static_cast<TColor>(RGB(Color.red(), Color.green(), Color.blue()));
}

namespace {

QString MapFamily(const AnsiString& Name) {
  const AnsiString n = AsciiLower(Name);
  if (n.find("courier") != AnsiString::npos || n.find("mono") != AnsiString::npos ||
      n.find("fixedsys") != AnsiString::npos || n.find("consol") != AnsiString::npos)
    return QStringLiteral("DejaVu Sans Mono");
  if (n.find("times") != AnsiString::npos || n.find("serif") == 0 || n.find("roman") != AnsiString::npos ||
      n.find("georgia") != AnsiString::npos)
    return QStringLiteral("DejaVu Serif");
  return QStringLiteral("DejaVu Sans");
}

}  // namespace

QFont MakeQFont(const AnsiString& Name, int Height, bool Bold, bool Italic, bool Underline, bool StrikeOut,
                int Weight) {
  QFont f(MapFamily(Name));
  int px = 11;
  if (Height < 0)
    px = -Height;
  else if (Height > 0)
    px = std::max(1, static_cast<int>(std::lround(Height / 1.164)));
  f.setPixelSize(std::max(1, px));
  if (Weight > 0)
    f.setWeight(static_cast<QFont::Weight>(std::clamp(Weight, 100, 900)));
  else
    f.setBold(Bold);
  f.setItalic(Italic);
  f.setUnderline(Underline);
  f.setStrikeOut(StrikeOut);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  return f;
}

QFont ToQFont(const TFont* Font) {
  if (!Font) return MakeQFont("MS Sans Serif", -11, false, false, false, false, 0);
  const TFontStyles s = Font->Style();
  return MakeQFont(Font->Name(), Font->Height(), s.Contains(fsBold), s.Contains(fsItalic), s.Contains(fsUnderline),
                   s.Contains(fsStrikeOut), 0);
}

}  // namespace platform
