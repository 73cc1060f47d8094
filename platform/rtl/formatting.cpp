// Values as text: Format and FormatArgs, FloatToStr, FloatToStrF and
// FormatFloat, over the decimal digits they share.
#include "platform/rtl/sysutils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "platform/rtl/sysutils_internal.h"

using platform::HexDigits;
using platform::U;

// ---------------------------------------------------------------- helpers

namespace {

[[noreturn]] void FormatError(const AnsiString& fmt) { throw EConvertError(platform::msg::InvalidFormat, {fmt}); }

// Decimal digits of |v| rounded to `sig` significant digits: digits (no
// leading zeros unless v is 0) and the position of the decimal point
// (number of integer digits; may be <= 0).
struct Decimal {
  std::string digits;  // at least one digit
  int point = 1;
  bool negative = false;
};

Decimal ToDecimal(double v, int sig) {
  Decimal d;
  d.negative = std::signbit(v);
  v = std::fabs(v);
  if (v == 0 || !std::isfinite(v)) {
    d.digits = "0";
    d.point = 1;
    return d;
  }
  if (sig < 1) sig = 1;
  if (sig > 17) sig = 17;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", sig - 1, v);
  // buf: d.ddddde[+-]xx
  const char* p = buf;
  d.digits += *p++;
  if (*p == '.') {
    ++p;
    while (*p >= '0' && *p <= '9') d.digits += *p++;
  }
  if (*p == 'e') ++p;
  d.point = std::atoi(p) + 1;
  // drop trailing zeros (keep one digit)
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Rounds d (half away from zero on its decimal digits) to `decimals` places
// after the point.
void RoundDecimals(Decimal& d, int decimals) {
  const long keep = static_cast<long>(d.point) + decimals;  // digits to keep
  if (keep >= static_cast<long>(d.digits.size())) return;
  if (keep < 0) {
    d.digits = "0";
    d.point = 1;
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    long i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.point += 1;
    } else {
      d.digits[static_cast<std::size_t>(i)]++;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) {
    d.digits = "0";
    d.point = 1;
  }
}

bool IsZero(const Decimal& d) { return d.digits == "0"; }

// Digit at index pos of the digit string; beyond it the digits are 0.
char DigitAt(const Decimal& d, long pos) {
  if (pos < 0 || pos >= static_cast<long>(d.digits.size())) return '0';
  return d.digits[static_cast<std::size_t>(pos)];
}

// Integer part digits (at least one) and fraction digits (exactly n) of d.
std::string IntDigits(const Decimal& d) {
  if (d.point <= 0 || IsZero(d)) return "0";
  std::string r;
  for (long i = 0; i < d.point; ++i) r += DigitAt(d, i);
  return r;
}

std::string FracDigits(const Decimal& d, int n) {
  std::string r;
  if (IsZero(d)) return std::string(static_cast<std::size_t>(n), '0');
  for (int i = 0; i < n; ++i) r += DigitAt(d, static_cast<long>(d.point) + i);
  return r;
}

std::string GroupThousands(const std::string& intDigits) {
  if (ThousandSeparator == 0) return intDigits;
  std::string r;
  const std::size_t n = intDigits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += ThousandSeparator;
    r += intDigits[i];
  }
  return r;
}

// Fixed notation with `decimals` places (rounded, half away from zero).
std::string FixedText(double v, int decimals, bool thousands, bool& negative) {
  Decimal d = ToDecimal(v, 15);
  RoundDecimals(d, decimals);
  negative = d.negative && !IsZero(d);
  std::string r = IntDigits(d);
  if (thousands) r = GroupThousands(r);
  if (decimals > 0) {
    r += DecimalSeparator;
    r += FracDigits(d, decimals);
  }
  return r;
}

// Scientific: one digit, point, precision-1 digits, "E", sign, at least
// minExp digits.
std::string ExponentText(double v, int precision, int minExp, bool alwaysSign, bool keepZeros, bool& negative) {
  if (precision < 1) precision = 1;
  if (precision > 15) precision = 15;
  Decimal d = ToDecimal(v, precision);
  negative = d.negative && !IsZero(d);
  int exp = IsZero(d) ? 0 : d.point - 1;
  std::string mant(1, d.digits[0]);
  std::string frac = d.digits.substr(1);
  if (keepZeros) frac.resize(static_cast<std::size_t>(precision - 1), '0');
  if (!frac.empty()) {
    mant += DecimalSeparator;
    mant += frac;
  }
  std::string e = std::to_string(exp < 0 ? -exp : exp);
  while (static_cast<int>(e.size()) < minExp) e.insert(e.begin(), '0');
  mant += 'E';
  if (exp < 0)
    mant += '-';
  else if (alwaysSign)
    mant += '+';
  return mant + e;
}

// General: shortest of fixed and scientific with up to `precision` digits.
std::string GeneralText(double v, int precision, bool& negative) {
  if (precision < 1 || precision > 15) precision = 15;
  Decimal d = ToDecimal(v, precision);
  negative = d.negative && !IsZero(d);
  if (IsZero(d)) return "0";
  if (d.point > precision || d.point < -3) {
    bool n2;
    return ExponentText(v, precision, 0, false, false, n2);
  }
  std::string r = IntDigits(d);
  const int fracLen = static_cast<int>(d.digits.size()) - d.point;
  if (fracLen > 0) {
    r += DecimalSeparator;
    r += FracDigits(d, fracLen);
  }
  return r;
}

std::string CurrencyText(double v, int decimals) {
  bool neg;
  std::string num = FixedText(v, decimals, true, neg);
  const std::string& c = CurrencyString;
  if (!neg) {
    switch (CurrencyFormat) {
      case 0: return c + num;
      case 1: return num + c;
      case 2: return c + " " + num;
      default: return num + " " + c;
    }
  }
  switch (NegCurrFormat) {
    case 0: return "(" + c + num + ")";
    case 1: return "-" + c + num;
    case 2: return c + "-" + num;
    case 3: return c + num + "-";
    case 4: return "(" + num + c + ")";
    case 5: return "-" + num + c;
    case 6: return num + "-" + c;
    case 7: return num + c + "-";
    case 8: return "-" + num + " " + c;
    case 9: return "-" + c + " " + num;
    case 10: return num + " " + c + "-";
    case 11: return c + " " + num + "-";
    case 12: return c + " -" + num;
    case 13: return num + "- " + c;
    case 14: return "(" + c + " " + num + ")";
    default: return "(" + num + " " + c + ")";
  }
}

// Two's complement width of an integer argument: 32 bits when it fits.
std::uint64_t AsUnsignedBits(const TVarRec& a) {
  if (a.VType == TVarRec::Kind::Unsigned) return static_cast<std::uint64_t>(a.VInteger);
  const std::int64_t v = a.VInteger;
  if (v < 0 && v >= std::numeric_limits<std::int32_t>::min())
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  return static_cast<std::uint64_t>(v);
}

std::string DecimalOfUnsigned(std::uint64_t v) { return std::to_string(v); }

}  // namespace

// ---------------------------------------------------------------- Format

AnsiString Format(const AnsiString& Fmt, std::initializer_list<TVarRec> Args) {
  return FormatArgs(Fmt, Args.begin(), Args.size());
}

namespace {

// Flags, width, precision and type letter of one directive; -1 for none.
struct Directive {
  bool left = false;
  long width = -1;
  long prec = -1;
  char type = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Left-pads with '0' to at least `digits` characters.
std::string ZeroPadded(std::string text, long digits) {
  if (static_cast<long>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
  return text;
}

std::string AlignedText(std::string text, long width, bool left) {
  if (width > 0 && static_cast<long>(text.size()) < width) {
    const std::size_t pad = static_cast<std::size_t>(width) - text.size();
    if (left)
      text.append(pad, ' ');
    else
      text.insert(0, pad, ' ');
  }
  return text;
}

// %d: signed unless the argument is unsigned.
std::string SignedText(const TVarRec& a, long prec) {
  if (a.VType == TVarRec::Kind::Unsigned)
    return ZeroPadded(DecimalOfUnsigned(static_cast<std::uint64_t>(a.VInteger)), prec);
  const bool neg = a.VInteger < 0;
  const std::uint64_t mag =
      neg ? (~static_cast<std::uint64_t>(a.VInteger) + 1) : static_cast<std::uint64_t>(a.VInteger);
  const std::string digits = ZeroPadded(DecimalOfUnsigned(mag), prec);
  return neg ? "-" + digits : digits;
}

// %s: at most `prec` characters.
std::string StringText(const TVarRec& a, long prec) {
  std::string text = a.VType == TVarRec::Kind::Char ? std::string(1, a.VChar) : a.VString;
  if (prec >= 0 && static_cast<long>(text.size()) > prec) text.resize(static_cast<std::size_t>(prec));
  return text;
}

// %f, %n, %e, %g and %m.
std::string FloatText(char type, double v, long prec) {
  const int places = prec < 0 ? 2 : static_cast<int>(std::min(prec, 18L));
  const int digits = prec < 0 ? 15 : static_cast<int>(prec);
  bool neg = false;
  std::string text;
  switch (type) {
    case 'f': text = FixedText(v, places, false, neg); break;
    case 'n': text = FixedText(v, places, true, neg); break;
    case 'e': text = ExponentText(v, digits, 3, true, true, neg); break;
    case 'g': text = GeneralText(v, digits, neg); break;
    default: text = CurrencyText(v, prec < 0 ? CurrencyDecimals : places); break;
  }
  if (neg) text.insert(text.begin(), '-');
  return text;
}

std::string PointerText(const TVarRec& a) {
  return ZeroPadded(HexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer)), static_cast<long>(sizeof(void*) * 2));
}

// Walks a format string and takes its arguments in turn.
class FormatReader {
public:
  FormatReader(const AnsiString& fmt, const TVarRec* args, std::size_t count)
      : FFmt(fmt), FArgs(args), FCount(count) {}

  AnsiString Run() {
    AnsiString out;
    while (FPos < FFmt.size()) {
      const char c = FFmt[FPos++];
      if (c != '%') {
        out += c;
      } else if (FPos < FFmt.size() && FFmt[FPos] == '%') {
        out += '%';
        ++FPos;
      } else {
        const Directive d = ReadDirective();
        out += AlignedText(DirectiveText(d), d.width, d.left);
      }
    }
    return out;
  }

private:
  [[noreturn]] void Fail() const { FormatError(FFmt); }

  const TVarRec& NextArg() {
    if (FArgIndex >= FCount) throw EConvertError(platform::msg::ArgumentMissing, {FFmt});
    return FArgs[FArgIndex++];
  }

  const TVarRec& NextArgOf(TVarRec::Kind kind, TVarRec::Kind alternative) {
    const TVarRec& a = NextArg();
    if (a.VType != kind && a.VType != alternative) Fail();
    return a;
  }

  const TVarRec& NextInteger() { return NextArgOf(TVarRec::Kind::Integer, TVarRec::Kind::Unsigned); }

  // Digits from `pos` on, capped so they cannot overflow.
  long ReadDigits(std::size_t& pos) const {
    long v = 0;
    for (; pos < FFmt.size() && IsDigit(FFmt[pos]); ++pos)
      if (v < 100000000) v = v * 10 + (FFmt[pos] - '0');
    return v;
  }

  // A number or '*' (taken from the arguments); -1 when none.
  long ReadNumber() {
    if (FPos < FFmt.size() && FFmt[FPos] == '*') {
      ++FPos;
      return static_cast<long>(NextInteger().VInteger);
    }
    if (FPos >= FFmt.size() || !IsDigit(FFmt[FPos])) return -1;
    return ReadDigits(FPos);
  }

  // [index:] — digits followed by a colon choose the next argument.
  void ReadArgIndex() {
    std::size_t j = FPos;
    const long index = ReadDigits(j);
    if (j > FPos && j < FFmt.size() && FFmt[j] == ':') {
      FArgIndex = static_cast<std::size_t>(index);
      FPos = j + 1;
    }
  }

  // Everything after the '%': [index:][-][width][.prec]type.
  Directive ReadDirective() {
    if (FPos >= FFmt.size()) Fail();
    ReadArgIndex();
    Directive d;
    if (FPos < FFmt.size() && FFmt[FPos] == '-') {
      d.left = true;
      ++FPos;
    }
    d.width = ReadNumber();
    if (d.width < -1) {  // a negative '*' width means left alignment
      d.left = true;
      d.width = -d.width;
    }
    if (FPos < FFmt.size() && FFmt[FPos] == '.') {
      ++FPos;
      d.prec = std::max(ReadNumber(), 0L);
    }
    if (FPos >= FFmt.size()) Fail();
    d.type = static_cast<char>(std::tolower(U(FFmt[FPos++])));
    return d;
  }

  std::string DirectiveText(const Directive& d) {
    using Kind = TVarRec::Kind;
    switch (d.type) {
      case 'd': return SignedText(NextInteger(), d.prec);
      case 'u': return ZeroPadded(DecimalOfUnsigned(AsUnsignedBits(NextInteger())), d.prec);
      case 'x': return ZeroPadded(HexDigits(AsUnsignedBits(NextInteger())), d.prec);
      case 's': return StringText(NextArgOf(Kind::String, Kind::Char), d.prec);
      case 'f':
      case 'e':
      case 'g':
      case 'n':
      case 'm': return FloatText(d.type, static_cast<double>(NextArgOf(Kind::Float, Kind::Float).VFloat), d.prec);
      case 'p': return PointerText(NextArgOf(Kind::Pointer, Kind::Pointer));
      default: Fail();
    }
  }

  const AnsiString& FFmt;
  const TVarRec* FArgs;
  std::size_t FCount;
  std::size_t FArgIndex = 0;
  std::size_t FPos = 0;
};

}  // namespace

AnsiString FormatArgs(const AnsiString& Fmt, const TVarRec* Args, std::size_t Count) {
  return FormatReader(Fmt, Args, Count).Run();
}

// ---------------------------------------------------------------- floating point

AnsiString FloatToStr(double Value) {
  bool neg;
  std::string t = GeneralText(Value, 15, neg);
  return neg ? "-" + t : t;
}

AnsiString FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits) {
  if (Precision < 1) Precision = 1;
  if (Precision > 15) Precision = 15;
  if (Digits < 0) Digits = 0;
  if (Digits > 18) Digits = 18;
  bool neg = false;
  std::string t;
  switch (Fmt) {
    case ffGeneral: t = GeneralText(Value, Precision, neg); break;
    case ffExponent: t = ExponentText(Value, Precision, Digits > 4 ? 4 : Digits, true, true, neg); break;
    case ffFixed:
    case ffNumber: {
      Decimal d = ToDecimal(Value, Precision);
      if (d.point > Precision) {
        t = ExponentText(Value, Precision, 0, false, false, neg);
        break;
      }
      // Round to Precision significant digits first, then show Digits places.
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*e", Precision - 1, Value);
      const double rounded = std::strtod(buf, nullptr);
      t = FixedText(rounded, Digits, Fmt == ffNumber, neg);
      break;
    }
    case ffCurrency: return CurrencyText(Value, Digits);
  }
  return neg ? "-" + t : t;
}

namespace {

// One section of a FormatFloat pattern, parsed.
struct FloatPattern {
  std::string prefix, suffix;  // literal text before / after the number
  int intZeros = 0;            // '0' placeholders before the point (minimum digits)
  int fracZeros = 0;           // '0' after the point (always shown)
  int fracMax = 0;             // '0' and '#' after the point
  bool thousands = false;
  bool hasPoint = false;
  bool scientific = false;
  bool expAlwaysSign = false;
  int expDigits = 0;
  bool anyPlaceholder = false;
};

FloatPattern ParsePattern(const std::string& s) {
  FloatPattern p;
  bool inNumber = false, afterNumber = false, afterPoint = false;
  bool seenDigitZero = false;
  std::string* lit = &p.prefix;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const std::size_t e = s.find(c, i + 1);
      const std::size_t end = e == std::string::npos ? s.size() : e;
      *lit += s.substr(i + 1, end - i - 1);
      i = end;
      continue;
    }
    if (!afterNumber && (c == '0' || c == '#')) {
      inNumber = true;
      p.anyPlaceholder = true;
      lit = &p.suffix;
      if (afterPoint) {
        ++p.fracMax;
        if (c == '0') p.fracZeros = p.fracMax;
      } else {
        if (c == '0') seenDigitZero = true;
        if (seenDigitZero) ++p.intZeros;
      }
      continue;
    }
    if (!afterNumber && c == '.' && !p.hasPoint) {
      p.hasPoint = true;
      afterPoint = true;
      inNumber = true;
      lit = &p.suffix;
      continue;
    }
    if (!afterNumber && c == ',' && inNumber && !afterPoint) {
      p.thousands = true;
      continue;
    }
    if (!afterNumber && inNumber && (c == 'E' || c == 'e') && i + 1 < s.size() &&
        (s[i + 1] == '+' || s[i + 1] == '-')) {
      p.scientific = true;
      p.expAlwaysSign = s[i + 1] == '+';
      i += 2;
      while (i < s.size() && s[i] == '0') {
        ++p.expDigits;
        ++i;
      }
      --i;
      afterNumber = true;
      continue;
    }
    if (inNumber) afterNumber = true;
    *lit += c;
  }
  return p;
}

std::vector<std::string> SplitSections(const std::string& f) {
  std::vector<std::string> r(1);
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    if (c == '"' || c == '\'') {
      const std::size_t e = f.find(c, i + 1);
      const std::size_t end = e == std::string::npos ? f.size() - 1 : e;
      r.back() += f.substr(i, end - i + 1);
      i = end;
    } else if (c == ';') {
      r.emplace_back();
    } else {
      r.back() += c;
    }
  }
  return r;
}

std::string ApplyPattern(const FloatPattern& p, double v) {
  std::string num;
  if (!p.anyPlaceholder) return p.prefix + p.suffix;
  if (p.scientific) {
    const int intDigits = p.intZeros > 0 ? p.intZeros : 1;
    Decimal d = ToDecimal(v, 15);
    int exp = IsZero(d) ? 0 : d.point - intDigits;
    // Mantissa with intDigits integer digits and up to fracMax decimals.
    Decimal m = d;
    m.point = IsZero(d) ? 1 : intDigits;
    RoundDecimals(m, p.fracMax);
    if (m.point > intDigits) {  // rounding carried into a new digit
      m.point = intDigits;
      ++exp;
    }
    num = IntDigits(m);
    std::string frac = FracDigits(m, p.fracMax);
    while (static_cast<int>(frac.size()) > p.fracZeros && !frac.empty() && frac.back() == '0') frac.pop_back();
    if (!frac.empty()) num += DecimalSeparator + frac;
    std::string e = std::to_string(exp < 0 ? -exp : exp);
    while (static_cast<int>(e.size()) < p.expDigits) e.insert(e.begin(), '0');
    num += 'E';
    if (exp < 0)
      num += '-';
    else if (p.expAlwaysSign)
      num += '+';
    num += e;
    return p.prefix + num + p.suffix;
  }
  Decimal d = ToDecimal(v, 15);
  RoundDecimals(d, p.fracMax);
  std::string ip = IsZero(d) || d.point <= 0 ? std::string() : IntDigits(d);
  while (static_cast<int>(ip.size()) < p.intZeros) ip.insert(ip.begin(), '0');
  if (p.thousands) ip = GroupThousands(ip);
  std::string frac = FracDigits(d, p.fracMax);
  while (static_cast<int>(frac.size()) > p.fracZeros && frac.back() == '0') frac.pop_back();
  num = ip;
  if (!frac.empty()) num += DecimalSeparator + frac;
  return p.prefix + num + p.suffix;
}

// True when v shows as zero in the pattern (all shown digits 0).
bool RoundsToZero(const FloatPattern& p, double v) {
  if (p.scientific) return v == 0;
  Decimal d = ToDecimal(v, 15);
  RoundDecimals(d, p.fracMax);
  return IsZero(d);
}

}  // namespace

AnsiString FormatFloat(const AnsiString& Format, double Value) {
  if (!std::isfinite(Value)) return std::isnan(Value) ? "NAN" : (Value > 0 ? "INF" : "-INF");
  if (Format.empty()) return FloatToStr(Value);
  const std::vector<std::string> sections = SplitSections(Format);
  const FloatPattern pos = ParsePattern(sections[0]);
  if (Value == 0 || RoundsToZero(pos, Value)) {
    if (sections.size() >= 3 && !sections[2].empty()) return ApplyPattern(ParsePattern(sections[2]), 0.0);
    return ApplyPattern(pos, 0.0);
  }
  if (Value < 0) {
    if (sections.size() >= 2 && !sections[1].empty()) return ApplyPattern(ParsePattern(sections[1]), -Value);
    return "-" + ApplyPattern(pos, -Value);
  }
  return ApplyPattern(pos, Value);
}
