#include "platform/rtl/sysutils.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/rtl/codepage.h"

// ---------------------------------------------------------------- exceptions

Exception::Exception(const AnsiString& Msg) : FMessage(Msg) {}
Exception::Exception(const AnsiString& Fmt, std::initializer_list<TVarRec> Args)
    : FMessage(Format(Fmt, Args)) {}
Exception::~Exception() = default;

TVarRec::TVarRec(const WideString& v) : VType(Kind::String), VString(platform::WideToAnsi(v)) {}

// ---------------------------------------------------------------- helpers

namespace {

unsigned char U(char c) { return static_cast<unsigned char>(c); }

[[noreturn]] void FormatError(const AnsiString& fmt) {
  throw EConvertError(platform::msg::InvalidFormat, {fmt});
}

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
std::string ExponentText(double v, int precision, int minExp, bool alwaysSign,
                         bool keepZeros, bool& negative) {
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

std::string HexDigits(std::uint64_t v) {
  static const char* kHex = "0123456789ABCDEF";
  if (v == 0) return "0";
  std::string r;
  while (v) {
    r.insert(r.begin(), kHex[v & 15]);
    v >>= 4;
  }
  return r;
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

AnsiString FormatArgs(const AnsiString& Fmt, const TVarRec* Args, std::size_t Count) {
  AnsiString out;
  std::size_t argIndex = 0;
  const std::size_t n = Fmt.size();
  std::size_t i = 0;

  auto nextArg = [&]() -> const TVarRec& {
    if (argIndex >= Count) throw EConvertError(platform::msg::ArgumentMissing, {Fmt});
    return Args[argIndex++];
  };
  // A number or '*' (taken from the arguments); -1 when none.
  auto readNumber = [&]() -> long {
    if (i < n && Fmt[i] == '*') {
      ++i;
      const TVarRec& a = nextArg();
      if (a.VType != TVarRec::Kind::Integer && a.VType != TVarRec::Kind::Unsigned)
        FormatError(Fmt);
      return static_cast<long>(a.VInteger);
    }
    if (i >= n || Fmt[i] < '0' || Fmt[i] > '9') return -1;
    long v = 0;
    while (i < n && Fmt[i] >= '0' && Fmt[i] <= '9') {
      if (v < 100000000) v = v * 10 + (Fmt[i] - '0');
      ++i;
    }
    return v;
  };

  while (i < n) {
    const char c = Fmt[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    ++i;
    if (i >= n) FormatError(Fmt);
    if (Fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // [index:] — digits followed by a colon
    {
      std::size_t j = i;
      long index = 0;
      while (j < n && Fmt[j] >= '0' && Fmt[j] <= '9') {
        if (index < 100000000) index = index * 10 + (Fmt[j] - '0');
        ++j;
      }
      if (j > i && j < n && Fmt[j] == ':') {
        argIndex = static_cast<std::size_t>(index);
        i = j + 1;
      }
    }
    bool left = false;
    if (i < n && Fmt[i] == '-') {
      left = true;
      ++i;
    }
    long width = readNumber();
    if (width < -1) {  // a negative '*' width means left alignment
      left = true;
      width = -width;
    }
    long prec = -1;
    if (i < n && Fmt[i] == '.') {
      ++i;
      prec = readNumber();
      if (prec < 0) prec = 0;
    }
    if (i >= n) FormatError(Fmt);
    const char type = static_cast<char>(std::tolower(U(Fmt[i])));
    ++i;
    std::string text;
    switch (type) {
      case 'd': {
        const TVarRec& a = nextArg();
        if (a.VType != TVarRec::Kind::Integer && a.VType != TVarRec::Kind::Unsigned)
          FormatError(Fmt);
        bool neg = false;
        std::string digits;
        if (a.VType == TVarRec::Kind::Unsigned) {
          digits = DecimalOfUnsigned(static_cast<std::uint64_t>(a.VInteger));
        } else {
          neg = a.VInteger < 0;
          const std::uint64_t mag = neg ? (~static_cast<std::uint64_t>(a.VInteger) + 1)
                                        : static_cast<std::uint64_t>(a.VInteger);
          digits = DecimalOfUnsigned(mag);
        }
        while (prec > 0 && static_cast<long>(digits.size()) < prec) digits.insert(digits.begin(), '0');
        text = neg ? "-" + digits : digits;
        break;
      }
      case 'u': {
        const TVarRec& a = nextArg();
        if (a.VType != TVarRec::Kind::Integer && a.VType != TVarRec::Kind::Unsigned)
          FormatError(Fmt);
        text = DecimalOfUnsigned(AsUnsignedBits(a));
        while (prec > 0 && static_cast<long>(text.size()) < prec) text.insert(text.begin(), '0');
        break;
      }
      case 'x': {
        const TVarRec& a = nextArg();
        if (a.VType != TVarRec::Kind::Integer && a.VType != TVarRec::Kind::Unsigned)
          FormatError(Fmt);
        text = HexDigits(AsUnsignedBits(a));
        while (prec > 0 && static_cast<long>(text.size()) < prec) text.insert(text.begin(), '0');
        break;
      }
      case 's': {
        const TVarRec& a = nextArg();
        if (a.VType == TVarRec::Kind::String)
          text = a.VString;
        else if (a.VType == TVarRec::Kind::Char)
          text.assign(1, a.VChar);
        else
          FormatError(Fmt);
        if (prec >= 0 && static_cast<long>(text.size()) > prec) text.resize(static_cast<std::size_t>(prec));
        break;
      }
      case 'f':
      case 'e':
      case 'g':
      case 'n':
      case 'm': {
        const TVarRec& a = nextArg();
        if (a.VType != TVarRec::Kind::Float) FormatError(Fmt);
        const double v = static_cast<double>(a.VFloat);
        bool neg = false;
        if (type == 'f') {
          text = FixedText(v, prec < 0 ? 2 : static_cast<int>(std::min(prec, 18L)), false, neg);
        } else if (type == 'n') {
          text = FixedText(v, prec < 0 ? 2 : static_cast<int>(std::min(prec, 18L)), true, neg);
        } else if (type == 'e') {
          text = ExponentText(v, prec < 0 ? 15 : static_cast<int>(prec), 3, true, true, neg);
        } else if (type == 'g') {
          text = GeneralText(v, prec < 0 ? 15 : static_cast<int>(prec), neg);
        } else {
          text = CurrencyText(v, prec < 0 ? CurrencyDecimals : static_cast<int>(std::min(prec, 18L)));
        }
        if (neg) text.insert(text.begin(), '-');
        break;
      }
      case 'p': {
        const TVarRec& a = nextArg();
        if (a.VType != TVarRec::Kind::Pointer) FormatError(Fmt);
        text = HexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer));
        const std::size_t w = sizeof(void*) * 2;
        while (text.size() < w) text.insert(text.begin(), '0');
        break;
      }
      default:
        FormatError(Fmt);
    }
    if (width > 0 && static_cast<long>(text.size()) < width) {
      const std::size_t pad = static_cast<std::size_t>(width) - text.size();
      if (left)
        text.append(pad, ' ');
      else
        text.insert(0, pad, ' ');
    }
    out += text;
  }
  return out;
}

// ---------------------------------------------------------------- settings

char DecimalSeparator = '.';
char ThousandSeparator = ',';
char DateSeparator = '/';
char TimeSeparator = ':';
AnsiString ShortDateFormat;
AnsiString LongDateFormat;
AnsiString ShortTimeFormat;
AnsiString LongTimeFormat;
AnsiString TimeAMString;
AnsiString TimePMString;
AnsiString CurrencyString;
Byte CurrencyFormat = 0;
Byte NegCurrFormat = 0;
Byte CurrencyDecimals = 2;
AnsiString ShortMonthNames[12];
AnsiString LongMonthNames[12];
AnsiString ShortDayNames[7];
AnsiString LongDayNames[7];

namespace platform {

namespace {

struct NumberSettings {
  char decimal, thousand;
  const char* currency;
  Byte currFormat, negCurrFormat;
};

struct MonthNames {
  const char* shortNames[12];
  const char* longNames[12];
};

struct DayNames {
  const char* shortNames[7];
  const char* longNames[7];
};

struct DateSettings {
  char dateSep, timeSep;
  const char* shortDate;
  const char* longDate;
  const char* shortTime;
  const char* longTime;
  const char* am;
  const char* pm;
  const MonthNames& months;
  const DayNames& days;
};

const MonthNames kMonthsGerman = {
    {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"}};
const MonthNames kMonthsAustrian = {
    {"J\xE4n", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"J\xE4nner", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"}};
const MonthNames kMonthsEnglish = {
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"}};
const MonthNames kMonthsFrench = {
    {"janv.", "f\xE9vr.", "mars", "avr.", "mai", "juin", "juil.", "ao\xFBt", "sept.", "oct.",
     "nov.", "d\xE9" "c."},
    {"janvier", "f\xE9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xFBt", "septembre",
     "octobre", "novembre", "d\xE9" "cembre"}};

const DayNames kDaysGerman = {{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
                              {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"}};
const DayNames kDaysEnglish = {{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
                               {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}};
const DayNames kDaysFrench = {{"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."},
                              {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"}};

const DateSettings kDateGerman = {'.', ':', "dd.MM.yyyy", "dddd, d. MMMM yyyy", "hh:mm", "hh:mm:ss", "", "",
                                  kMonthsGerman, kDaysGerman};
const DateSettings kDateAustrian = {'.', ':', "dd.MM.yyyy", "dddd, dd. MMMM yyyy", "hh:mm", "hh:mm:ss", "", "",
                                    kMonthsAustrian, kDaysGerman};
const DateSettings kDateUS = {'/', ':', "M/d/yyyy", "dddd, MMMM d, yyyy", "h:mm AMPM", "h:mm:ss AMPM", "AM", "PM",
                              kMonthsEnglish, kDaysEnglish};
const DateSettings kDateUK = {'/', ':', "dd/MM/yyyy", "dd MMMM yyyy", "HH:mm", "HH:mm:ss", "AM", "PM",
                              kMonthsEnglish, kDaysEnglish};
const DateSettings kDateFrench = {'/', ':', "dd/MM/yyyy", "dddd d MMMM yyyy", "HH:mm", "HH:mm:ss", "", "",
                                  kMonthsFrench, kDaysFrench};

const NumberSettings kNumGerman = {',', '.', "\x80", 3, 8};
const NumberSettings kNumSwiss = {'.', '\'', "CHF", 2, 2};
const NumberSettings kNumUS = {'.', ',', "$", 0, 0};
const NumberSettings kNumUK = {'.', ',', "\xA3", 0, 1};
const NumberSettings kNumFrench = {',', '\xA0', "\x80", 3, 8};

// Language and territory of a locale name ("de_DE.UTF-8@euro" -> de, DE).
void SplitLocale(const std::string& name, std::string& lang, std::string& terr) {
  std::string s = name.substr(0, name.find_first_of(".@"));
  const std::size_t u = s.find_first_of("_-");
  lang = AsciiLower(s.substr(0, u));
  terr = u == std::string::npos ? std::string() : AsciiUpper(s.substr(u + 1));
}

const NumberSettings& NumbersFor(const std::string& name) {
  std::string lang, terr;
  SplitLocale(name, lang, terr);
  if (lang == "de") return terr == "CH" ? kNumSwiss : kNumGerman;
  if (lang == "fr") return terr == "CH" ? kNumSwiss : kNumFrench;
  if (lang == "en" && terr != "US" && !terr.empty()) return kNumUK;
  return kNumUS;
}

const DateSettings& DatesFor(const std::string& name) {
  std::string lang, terr;
  SplitLocale(name, lang, terr);
  if (lang == "de") return terr == "AT" ? kDateAustrian : kDateGerman;
  if (lang == "fr") return kDateFrench;
  if (lang == "en" && terr != "US" && !terr.empty()) return kDateUK;
  return kDateUS;
}

void ApplyNumbers(const NumberSettings& n) {
  DecimalSeparator = n.decimal;
  ThousandSeparator = n.thousand;
  CurrencyString = n.currency;
  CurrencyFormat = n.currFormat;
  NegCurrFormat = n.negCurrFormat;
  CurrencyDecimals = 2;
}

void ApplyDates(const DateSettings& d) {
  DateSeparator = d.dateSep;
  TimeSeparator = d.timeSep;
  ShortDateFormat = d.shortDate;
  LongDateFormat = d.longDate;
  ShortTimeFormat = d.shortTime;
  LongTimeFormat = d.longTime;
  TimeAMString = d.am;
  TimePMString = d.pm;
  for (int i = 0; i < 12; ++i) {
    ShortMonthNames[i] = d.months.shortNames[i];
    LongMonthNames[i] = d.months.longNames[i];
  }
  for (int i = 0; i < 7; ++i) {
    ShortDayNames[i] = d.days.shortNames[i];
    LongDayNames[i] = d.days.longNames[i];
  }
}

std::string EnvLocale(const char* category) {
  for (const char* var : {"LC_ALL", category, "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

struct StartupSettings {
  StartupSettings() {
    ApplyNumbers(NumbersFor(EnvLocale("LC_NUMERIC")));
    ApplyDates(DatesFor(EnvLocale("LC_TIME")));
  }
} gStartupSettings;

}  // namespace

void InitLocaleSettings(const std::string& localeName) {
  ApplyNumbers(NumbersFor(localeName));
  ApplyDates(DatesFor(localeName));
}

std::string UserLocaleName() { return EnvLocale("LC_NUMERIC"); }

}  // namespace platform

// ---------------------------------------------------------------- strings

AnsiString UpperCase(const AnsiString& S) { return platform::AsciiUpper(S); }
AnsiString LowerCase(const AnsiString& S) { return platform::AsciiLower(S); }

int CompareStr(const AnsiString& S1, const AnsiString& S2) {
  const std::size_t n = std::min(S1.size(), S2.size());
  for (std::size_t i = 0; i < n; ++i)
    if (S1[i] != S2[i]) return int(U(S1[i])) - int(U(S2[i]));
  return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

int CompareText(const AnsiString& S1, const AnsiString& S2) {
  // As CompareStr of both texts upper-cased (ASCII letters only).
  const auto Up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  const std::size_t n = std::min(S1.size(), S2.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char a = Up(S1[i]);
    const char b = Up(S2[i]);
    if (a != b) return int(U(a)) - int(U(b));
  }
  return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

bool SameText(const AnsiString& S1, const AnsiString& S2) {
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

AnsiString AnsiUpperCase(const AnsiString& S) { return platform::AnsiUpper(S); }
AnsiString AnsiLowerCase(const AnsiString& S) { return platform::AnsiLower(S); }
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2) {
  return platform::LocaleCompare(S1, S2, false);
}
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2) {
  return platform::LocaleCompare(S1, S2, true);
}
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2) {
  return AnsiCompareText(S1, S2) == 0;
}
bool AnsiSameStr(const AnsiString& S1, const AnsiString& S2) { return S1 == S2; }

AnsiString Trim(const AnsiString& S) { return TrimLeft(TrimRight(S)); }
AnsiString TrimLeft(const AnsiString& S) {
  std::size_t i = 0;
  while (i < S.size() && U(S[i]) <= ' ') ++i;
  return S.substr(i);
}
AnsiString TrimRight(const AnsiString& S) {
  std::size_t n = S.size();
  while (n > 0 && U(S[n - 1]) <= ' ') --n;
  return S.substr(0, n);
}

int Pos(const AnsiString& Substr, const AnsiString& S) {
  if (Substr.empty()) return 0;
  const std::size_t p = S.find(Substr);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}
int AnsiPos(const AnsiString& Substr, const AnsiString& S) { return Pos(Substr, S); }

AnsiString Copy(const AnsiString& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<std::size_t>(Index) > S.size()) return AnsiString();
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

AnsiString StringOfChar(char Ch, int Count) {
  return Count > 0 ? AnsiString(static_cast<std::size_t>(Count), Ch) : AnsiString();
}

AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern,
                         const AnsiString& NewPattern, TReplaceFlags Flags) {
  if (OldPattern.empty()) return S;
  const bool ic = (Flags & rfIgnoreCase) != 0;
  const AnsiString hay = ic ? platform::AnsiUpper(S) : S;
  const AnsiString pat = ic ? platform::AnsiUpper(OldPattern) : OldPattern;
  AnsiString r;
  std::size_t from = 0;
  while (true) {
    const std::size_t p = hay.find(pat, from);
    if (p == std::string::npos) break;
    r.append(S, from, p - from);
    r += NewPattern;
    from = p + pat.size();
    if (!(Flags & rfReplaceAll)) break;
  }
  r.append(S, from, std::string::npos);
  return r;
}

AnsiString QuotedStr(const AnsiString& S) { return AnsiQuotedStr(S, '\''); }

AnsiString AnsiQuotedStr(const AnsiString& S, char Quote) {
  AnsiString r(1, Quote);
  for (char c : S) {
    r += c;
    if (c == Quote) r += c;
  }
  r += Quote;
  return r;
}

AnsiString AnsiExtractQuotedStr(const AnsiString& S, std::size_t& Pos, char Quote) {
  if (Pos >= S.size() || S[Pos] != Quote) return AnsiString();
  AnsiString r;
  std::size_t i = Pos + 1;
  while (i < S.size()) {
    if (S[i] == Quote) {
      if (i + 1 < S.size() && S[i + 1] == Quote) {
        r += Quote;
        i += 2;
        continue;
      }
      ++i;  // closing quote
      break;
    }
    r += S[i++];
  }
  Pos = i;
  return r;
}

AnsiString AnsiDequotedStr(const AnsiString& S, char Quote) {
  std::size_t p = 0;
  if (S.empty() || S[0] != Quote) return S;
  AnsiString r = AnsiExtractQuotedStr(S, p, Quote);
  // Not a complete quoted text: unchanged.
  if (p != S.size() || S.size() < 2 || S.back() != Quote) return S;
  return r;
}

namespace {
std::size_t LastDelimiter(const AnsiString& s, const char* delims) {
  const std::size_t p = s.find_last_of(delims);
  return p;
}
}  // namespace

AnsiString ExtractFilePath(const AnsiString& FileName) {
  const std::size_t p = LastDelimiter(FileName, "\\:/");
  return p == std::string::npos ? AnsiString() : FileName.substr(0, p + 1);
}

AnsiString ExtractFileDir(const AnsiString& FileName) {
  std::size_t p = LastDelimiter(FileName, "\\:/");
  if (p == std::string::npos) return AnsiString();
  // "C:\dir\file" gives "C:\dir", "C:\file" gives "C:\"
  if (p > 0 && FileName[p] != ':' && FileName[p - 1] != ':' && FileName[p - 1] != '\\')
    return FileName.substr(0, p);
  return FileName.substr(0, p + 1);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
  const std::size_t p = LastDelimiter(FileName, "\\:/");
  return p == std::string::npos ? FileName : FileName.substr(p + 1);
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
  const std::size_t p = LastDelimiter(FileName, ".\\:/");
  if (p == std::string::npos || FileName[p] != '.') return AnsiString();
  return FileName.substr(p);
}

AnsiString ExtractFileDrive(const AnsiString& FileName) {
  if (FileName.size() >= 2 && FileName[1] == ':') return FileName.substr(0, 2);
  if (FileName.size() >= 2 && FileName[0] == '\\' && FileName[1] == '\\') {
    // \\server\share
    std::size_t p = FileName.find('\\', 2);
    if (p == std::string::npos) return FileName;
    p = FileName.find('\\', p + 1);
    return p == std::string::npos ? FileName : FileName.substr(0, p);
  }
  return AnsiString();
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
  const std::size_t p = LastDelimiter(FileName, ".\\:/");
  if (p == std::string::npos || FileName[p] != '.') return FileName + Extension;
  return FileName.substr(0, p) + Extension;
}

AnsiString IncludeTrailingBackslash(const AnsiString& S) {
  if (!S.empty() && S.back() == '\\') return S;
  return S + '\\';
}
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S) { return IncludeTrailingBackslash(S); }
AnsiString ExcludeTrailingBackslash(const AnsiString& S) {
  if (!S.empty() && S.back() == '\\') return S.substr(0, S.size() - 1);
  return S;
}
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S) { return ExcludeTrailingBackslash(S); }
bool IsPathDelimiter(const AnsiString& S, int Index) {
  return Index >= 1 && static_cast<std::size_t>(Index) <= S.size() && S[Index - 1] == '\\';
}

// ---------------------------------------------------------------- numbers

AnsiString IntToStr(std::int64_t Value) { return std::to_string(Value); }

AnsiString platform::HexOfBits(std::uint64_t Bits, int Digits) {
  AnsiString r = HexDigits(Bits);
  while (static_cast<int>(r.size()) < Digits) r.insert(r.begin(), '0');
  return r;
}

namespace {

// The class library's integer reading: blanks in front, sign, decimal or
// hex ("$", "0x", "x"); nothing may follow.  Hex may fill all `bits`.
bool ParseInt(const AnsiString& S, int bits, std::int64_t& out) {
  std::size_t i = 0;
  const std::size_t n = S.size();
  while (i < n && S[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (S[i] == '-' || S[i] == '+')) {
    neg = S[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && S[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    hex = true;
    i += 2;
  } else if (i < n && (S[i] == 'x' || S[i] == 'X')) {
    hex = true;
    ++i;
  }
  if (i >= n) return false;
  const std::uint64_t limitMag =
      bits == 32 ? (neg ? 0x80000000ull : 0x7FFFFFFFull)
                 : (neg ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull);
  const std::uint64_t hexLimit = bits == 32 ? 0xFFFFFFFFull : ~0ull;
  std::uint64_t v = 0;
  for (; i < n; ++i) {
    const char c = S[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    if (hex) {
      if (v > (hexLimit >> 4)) return false;
      v = (v << 4) | static_cast<std::uint64_t>(d);
    } else {
      if (v > (limitMag - static_cast<std::uint64_t>(d)) / 10) return false;
      v = v * 10 + static_cast<std::uint64_t>(d);
    }
  }
  if (hex) {
    // hex wraps into the signed range of the width
    std::int64_t sv = bits == 32 ? static_cast<std::int64_t>(static_cast<std::int32_t>(
                                       static_cast<std::uint32_t>(v)))
                                 : static_cast<std::int64_t>(v);
    out = neg ? -sv : sv;
    if (bits == 32) out = static_cast<std::int32_t>(static_cast<std::uint32_t>(out));
    return true;
  }
  out = neg ? static_cast<std::int64_t>(~v + 1) : static_cast<std::int64_t>(v);
  return true;
}

}  // namespace

bool TryStrToInt(const AnsiString& S, int& Value) {
  std::int64_t v;
  if (!ParseInt(S, 32, v)) return false;
  Value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const AnsiString& S, std::int64_t& Value) { return ParseInt(S, 64, Value); }

int StrToInt(const AnsiString& S) {
  int v;
  if (!TryStrToInt(S, v)) throw EConvertError(platform::msg::InvalidInteger, {S});
  return v;
}

std::int64_t StrToInt64(const AnsiString& S) {
  std::int64_t v;
  if (!TryStrToInt64(S, v)) throw EConvertError(platform::msg::InvalidInteger, {S});
  return v;
}

int StrToIntDef(const AnsiString& S, int Default) {
  int v;
  return TryStrToInt(S, v) ? v : Default;
}

std::int64_t StrToInt64Def(const AnsiString& S, std::int64_t Default) {
  std::int64_t v;
  return TryStrToInt64(S, v) ? v : Default;
}

namespace platform {

std::int64_t LenientDigits(const AnsiString& S) {
  std::uint64_t v = 0;
  bool neg = false;
  bool saturated = false;
  for (char c : S) {
    if (c >= '0' && c <= '9') {
      const unsigned d = static_cast<unsigned>(c - '0');
      if (v > (0x7FFFFFFFFFFFFFFFull - d) / 10) {
        saturated = true;
        v = 0x7FFFFFFFFFFFFFFFull;
      } else if (!saturated) {
        v = v * 10 + d;
      }
    } else if (c == '-') {
      neg = true;
    } else if (c == '+') {
      neg = false;
    }
  }
  const std::int64_t sv = static_cast<std::int64_t>(v);
  return neg ? -sv : sv;
}

std::int64_t LenientRound(const AnsiString& S, std::int64_t Default) {
  double d;
  if (!TryStrToFloat(S, d)) return Default;
  if (!(d > -9.2e18 && d < 9.2e18)) return Default;
  return Round(d);
}

}  // namespace platform

std::int64_t Round(double X) {
  if (!std::isfinite(X)) return 0;
  if (X >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
  if (X <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::nearbyint(X));  // default mode: halves to even
}

std::int64_t Trunc(double X) {
  if (!std::isfinite(X)) return 0;
  if (X >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
  if (X <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(X);
}

double Frac(double X) { return X - std::trunc(X); }
double Int(double X) { return std::trunc(X); }

bool TryStrToFloat(const AnsiString& S, double& Value) {
  std::size_t i = 0, n = S.size();
  while (i < n && U(S[i]) <= ' ') ++i;
  while (n > i && U(S[n - 1]) <= ' ') --n;
  if (i >= n) return false;
  // Translate into the C locale's form, then read with strtod.
  std::string t;
  if (S[i] == '+' || S[i] == '-') t += S[i++];
  int digits = 0;
  while (i < n && S[i] >= '0' && S[i] <= '9') {
    t += S[i++];
    ++digits;
  }
  if (i < n && S[i] == DecimalSeparator) {
    t += '.';
    ++i;
    while (i < n && S[i] >= '0' && S[i] <= '9') {
      t += S[i++];
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < n && (S[i] == 'e' || S[i] == 'E')) {
    t += 'e';
    ++i;
    if (i < n && (S[i] == '+' || S[i] == '-')) t += S[i++];
    int expDigits = 0;
    while (i < n && S[i] >= '0' && S[i] <= '9') {
      t += S[i++];
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size()) return false;
  if (!std::isfinite(v)) return false;
  Value = v;
  return true;
}

double StrToFloat(const AnsiString& S) {
  double v;
  if (!TryStrToFloat(S, v)) throw EConvertError(platform::msg::InvalidFloat, {S});
  return v;
}

double StrToFloatDef(const AnsiString& S, double Default) {
  double v;
  return TryStrToFloat(S, v) ? v : Default;
}

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
    case ffGeneral:
      t = GeneralText(Value, Precision, neg);
      break;
    case ffExponent:
      t = ExponentText(Value, Precision, Digits > 4 ? 4 : Digits, true, true, neg);
      break;
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
    case ffCurrency:
      return CurrencyText(Value, Digits);
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
    while (static_cast<int>(frac.size()) > p.fracZeros && !frac.empty() && frac.back() == '0')
      frac.pop_back();
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
    if (sections.size() >= 3 && !sections[2].empty())
      return ApplyPattern(ParsePattern(sections[2]), 0.0);
    return ApplyPattern(pos, 0.0);
  }
  if (Value < 0) {
    if (sections.size() >= 2 && !sections[1].empty())
      return ApplyPattern(ParsePattern(sections[1]), -Value);
    return "-" + ApplyPattern(pos, -Value);
  }
  return ApplyPattern(pos, Value);
}

// ---------------------------------------------------------------- dates

namespace {

constexpr std::int64_t kDateDelta = 693594;  // days from 0001-01-01 to 1899-12-30
constexpr std::int64_t kMSecsPerDay = 86400000;

const int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

struct DateParts {
  int year, month, day, dow;  // dow 1 = Sunday
  int hour, minute, second, msec;
};

// Days (TDateTime date part) to the civil date.
void DaysToDate(std::int64_t days, int& y, int& m, int& d) {
  // Standard algorithm on days since 1970-01-01.
  std::int64_t z2 = days - 25569;  // 1970-01-01 is TDateTime 25569
  z2 += 719468;
  const std::int64_t era = (z2 >= 0 ? z2 : z2 - 146096) / 146097;
  const std::int64_t doe = z2 - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t yy = yoe + era * 400;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  if (m <= 2) ++yy;
  y = static_cast<int>(yy);
}

DateParts Split(TDateTime dt) {
  DateParts p{};
  std::int64_t days, ms;
  if (dt >= 0) {
    const std::int64_t total = std::llround(dt * static_cast<double>(kMSecsPerDay));
    days = total / kMSecsPerDay;
    ms = total % kMSecsPerDay;
  } else {
    days = static_cast<std::int64_t>(std::trunc(dt));
    ms = std::llround(-(dt - std::trunc(dt)) * static_cast<double>(kMSecsPerDay));
    if (ms >= kMSecsPerDay) ms = kMSecsPerDay - 1;
  }
  DaysToDate(days, p.year, p.month, p.day);
  // 1899-12-30 (day 0) was a Saturday (7).
  p.dow = static_cast<int>(((days % 7) + 13) % 7) + 1;
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.msec = static_cast<int>(ms % 1000);
  return p;
}

}  // namespace

bool IsLeapYear(Word Year) {
  return (Year % 4 == 0) && ((Year % 100 != 0) || (Year % 400 == 0));
}

int DaysInMonth(Word Year, Word Month) {
  if (Month < 1 || Month > 12) return 0;
  return kMonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInMonth(Year, Month))
    return false;
  std::int64_t d = Day;
  for (int i = 0; i < Month - 1; ++i) d += kMonthDays[IsLeapYear(Year) ? 1 : 0][i];
  const std::int64_t y = Year - 1;
  d += y * 365 + y / 4 - y / 100 + y / 400;
  Date = static_cast<double>(d - kDateDelta);
  return true;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time) {
  if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
  Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeDate(Word Year, Word Month, Word Day) {
  TDateTime d;
  if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError(platform::msg::DateEncodeError);
  return d;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec) {
  TDateTime t;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError(platform::msg::TimeEncodeError);
  return t;
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
  const DateParts p = Split(Date);
  Year = static_cast<Word>(p.year);
  Month = static_cast<Word>(p.month);
  Day = static_cast<Word>(p.day);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
  const DateParts p = Split(Time);
  Hour = static_cast<Word>(p.hour);
  Min = static_cast<Word>(p.minute);
  Sec = static_cast<Word>(p.second);
  MSec = static_cast<Word>(p.msec);
}

int DayOfWeek(TDateTime Date) { return Split(Date).dow; }

namespace platform {
namespace {
std::mutex gNowMutex;
NowFunction gNow;
}  // namespace
void SetNowFunction(NowFunction f) {
  std::lock_guard<std::mutex> lock(gNowMutex);
  gNow = std::move(f);
}
}  // namespace platform

TDateTime Now() {
  {
    std::lock_guard<std::mutex> lock(platform::gNowMutex);
    if (platform::gNow) return platform::gNow();
  }
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  TDateTime d, t;
  if (!TryEncodeDate(static_cast<Word>(tm.tm_year + 1900), static_cast<Word>(tm.tm_mon + 1),
                     static_cast<Word>(tm.tm_mday), d))
    d = 0;
  TryEncodeTime(static_cast<Word>(tm.tm_hour), static_cast<Word>(tm.tm_min),
                static_cast<Word>(tm.tm_sec > 59 ? 59 : tm.tm_sec),
                static_cast<Word>(ts.tv_nsec / 1000000), t);
  return d + t;
}

TDateTime Date() { return std::floor(Now()); }
TDateTime Time() {
  const TDateTime n = Now();
  return n - std::floor(n);
}

namespace {

std::string Pad(int v, int width) {
  std::string s = std::to_string(v);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

bool StartsWithNoCase(const std::string& s, std::size_t i, const char* what) {
  const std::size_t n = std::strlen(what);
  if (i + n > s.size()) return false;
  for (std::size_t k = 0; k < n; ++k)
    if (std::tolower(U(s[i + k])) != std::tolower(U(what[k]))) return false;
  return true;
}

void AppendDateTime(std::string& out, const std::string& f, TDateTime dt, int depth) {
  if (depth > 2) return;  // c, ddddd, t inside those formats: no endless nesting
  const DateParts p = Split(dt);
  char lastToken = ' ';
  std::size_t i = 0;
  const std::size_t n = f.size();
  // 12-hour clock when an am/pm marker follows the hour.
  auto hasAmPmAfter = [&](std::size_t from) {
    for (std::size_t k = from; k < n; ++k) {
      if (f[k] == '"' || f[k] == '\'') {
        const std::size_t e = f.find(f[k], k + 1);
        if (e == std::string::npos) break;
        k = e;
        continue;
      }
      if (StartsWithNoCase(f, k, "am/pm") || StartsWithNoCase(f, k, "a/p") ||
          StartsWithNoCase(f, k, "ampm"))
        return true;
    }
    return false;
  };
  while (i < n) {
    const char raw = f[i];
    char token = static_cast<char>(std::toupper(U(raw)));
    if (raw == '"' || raw == '\'') {
      const std::size_t e = f.find(raw, i + 1);
      const std::size_t end = e == std::string::npos ? n : e;
      out.append(f, i + 1, end - i - 1);
      i = end == n ? n : end + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < n && std::toupper(U(f[i + run])) == token && token >= 'A' && token <= 'Z')
      ++run;
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
    }
    switch (token) {
      case 'Y':
        out += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4);
        break;
      case 'M':
        if (run == 1)
          out += std::to_string(p.month);
        else if (run == 2)
          out += Pad(p.month, 2);
        else if (run == 3)
          out += ShortMonthNames[p.month - 1];
        else
          out += LongMonthNames[p.month - 1];
        break;
      case 'D':
        if (run == 1)
          out += std::to_string(p.day);
        else if (run == 2)
          out += Pad(p.day, 2);
        else if (run == 3)
          out += ShortDayNames[p.dow - 1];
        else if (run == 4)
          out += LongDayNames[p.dow - 1];
        else if (run == 5)
          AppendDateTime(out, ShortDateFormat, dt, depth + 1);
        else
          AppendDateTime(out, LongDateFormat, dt, depth + 1);
        break;
      case 'H': {
        int h = p.hour;
        if (hasAmPmAfter(i + run)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += run >= 2 ? Pad(h, 2) : std::to_string(h);
        if (run > 2) run = 2;
        break;
      }
      case 'N':
        out += run >= 2 ? Pad(p.minute, 2) : std::to_string(p.minute);
        if (run > 2) run = 2;
        break;
      case 'S':
        out += run >= 2 ? Pad(p.second, 2) : std::to_string(p.second);
        if (run > 2) run = 2;
        break;
      case 'Z':
        out += run >= 3 ? Pad(p.msec, 3) : std::to_string(p.msec);
        if (run > 3) run = 3;
        break;
      case 'T':
        AppendDateTime(out, run == 1 ? ShortTimeFormat : LongTimeFormat, dt, depth + 1);
        if (run > 2) run = 2;
        break;
      case 'C':
        AppendDateTime(out, ShortDateFormat, dt, depth + 1);
        if (p.hour || p.minute || p.second || p.msec) {
          out += ' ';
          AppendDateTime(out, LongTimeFormat, dt, depth + 1);
        }
        run = 1;
        break;
      case 'A': {
        const bool pm = p.hour >= 12;
        if (StartsWithNoCase(f, i, "am/pm")) {
          out += pm ? f.substr(i + 3, 2) : f.substr(i, 2);
          run = 5;
        } else if (StartsWithNoCase(f, i, "a/p")) {
          out += pm ? f.substr(i + 2, 1) : f.substr(i, 1);
          run = 3;
        } else if (StartsWithNoCase(f, i, "ampm")) {
          out += pm ? TimePMString : TimeAMString;
          run = 4;
        } else {
          out.append(f, i, run);
        }
        break;
      }
      case '/':
        out += DateSeparator;
        break;
      case ':':
        out += TimeSeparator;
        break;
      default:
        out.append(f, i, run);
        break;
    }
    if (token >= 'A' && token <= 'Z') lastToken = token == 'N' ? 'H' : token;
    i += run;
  }
}

}  // namespace

AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime) {
  std::string out;
  AppendDateTime(out, Format.empty() ? std::string("c") : Format, DateTime, 0);
  return out;
}

AnsiString DateToStr(TDateTime Date) { return FormatDateTime("ddddd", Date); }
AnsiString TimeToStr(TDateTime Time) { return FormatDateTime("tt", Time); }
AnsiString DateTimeToStr(TDateTime DateTime) { return FormatDateTime("c", DateTime); }

bool TryStrToDate(const AnsiString& S, TDateTime& Value) {
  // Order of day, month and year as they appear in ShortDateFormat.
  std::string order;
  for (char c : ShortDateFormat) {
    const char u = static_cast<char>(std::toupper(U(c)));
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
  }
  if (order.size() != 3) order = "DMY";
  int nums[3] = {0, 0, 0};
  int count = 0;
  std::size_t i = 0;
  const std::string t = Trim(S);
  int digitsOfYear = 0;
  while (i < t.size() && count < 3) {
    if (t[i] < '0' || t[i] > '9') return false;
    int v = 0, nd = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      if (nd < 5) v = v * 10 + (t[i] - '0');
      ++nd;
      ++i;
    }
    if (nd > 4) return false;
    if (order[static_cast<std::size_t>(count)] == 'Y') digitsOfYear = nd;
    nums[count++] = v;
    if (i < t.size()) {
      if (t[i] != DateSeparator) return false;
      ++i;  // a separator at the end is allowed ("3.4.")
    }
  }
  if (i != t.size() || count < 2) return false;
  int y = 0, m = 0, d = 0;
  if (count == 2) {  // day and month of the current year
    Word cy, cm, cd;
    DecodeDate(Now(), cy, cm, cd);
    y = cy;
    int k = 0;
    for (char o : order) {
      if (o == 'Y') continue;
      (o == 'D' ? d : m) = nums[k++];
    }
  } else {
    for (int k = 0; k < 3; ++k) {
      const char o = order[static_cast<std::size_t>(k)];
      (o == 'D' ? d : o == 'M' ? m : y) = nums[k];
    }
    if (digitsOfYear <= 2) {
      // Two-digit years: the century that puts the year within 50 years of now.
      Word cy, cm, cd;
      DecodeDate(Now(), cy, cm, cd);
      const int century = cy / 100 * 100;
      y += century;
      if (y > cy + 50) y -= 100;
      if (y < cy - 50) y += 100;
    }
  }
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), Value);
}

TDateTime StrToDate(const AnsiString& S) {
  TDateTime v;
  if (!TryStrToDate(S, v)) throw EConvertError(platform::msg::InvalidDate, {S});
  return v;
}

namespace platform {

AnsiString ErrnoMessage(int err) {
  switch (err) {
    case ENOENT: return "Das System kann die angegebene Datei nicht finden.";
    case ENOTDIR: return "Das System kann den angegebenen Pfad nicht finden.";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return "Zugriff verweigert.";
    case EEXIST: return "Die Datei ist bereits vorhanden.";
    case ENOSPC: return "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Speicherplatz vorhanden.";
    case EWOULDBLOCK:
    case EBUSY: return msg::SharingViolation;
    case EMFILE:
    case ENFILE: return "Das System kann die Datei nicht \xF6" "ffnen.";
    case ENAMETOOLONG: return "Der Dateiname oder die Erweiterung ist zu lang.";
    default: break;
  }
  return Utf8ToAnsi(std::strerror(err));
}

}  // namespace platform
