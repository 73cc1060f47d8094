// Exceptions, the number and date settings, strings, file names and the
// system error texts of sysutils.h.  Its other parts: Format and the
// floating-point texts in formatting.cpp, number conversions in numbers.cpp,
// dates in datetime.cpp.
#include "platform/rtl/sysutils.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils_internal.h"

using platform::U;

// ---------------------------------------------------------------- exceptions

Exception::Exception(const AnsiString& Msg) : FMessage(Msg) {}
Exception::Exception(const AnsiString& Fmt, std::initializer_list<TVarRec> Args) : FMessage(Format(Fmt, Args)) {}
Exception::~Exception() = default;

AnsiString platform::ExceptionMessage(std::exception_ptr Error, const AnsiString& Unknown) {
  if (!Error) return Unknown;
  try {
    std::rethrow_exception(Error);
  } catch (const Exception& E) {
    return E.Message();
  } catch (const std::exception& E) {
    return E.what();
  } catch (...) {
  }
  return Unknown;
}

TVarRec::TVarRec(const WideString& v) : VType(Kind::String), VString(platform::WideToAnsi(v)) {}

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
    {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November",
     "Dezember"}};
const MonthNames kMonthsAustrian = {
    {"J\xE4n", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"J\xE4nner", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
     "November", "Dezember"}};
const MonthNames kMonthsEnglish = {
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
     "December"}};
const MonthNames kMonthsFrench = {{"janv.", "f\xE9vr.", "mars", "avr.", "mai", "juin", "juil.", "ao\xFBt", "sept.",
                                   "oct.", "nov.", "d\xE9\x63."},
                                  {"janvier", "f\xE9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xFBt",
                                   "septembre", "octobre", "novembre", "d\xE9\x63\x65mbre"}};

const DayNames kDaysGerman = {{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
                              {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"}};
const DayNames kDaysEnglish = {{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
                               {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}};
const DayNames kDaysFrench = {{"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."},
                              {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"}};

const DateSettings kDateGerman = {'.',        ':', "dd.MM.yyyy", "dddd, d. MMMM yyyy", "hh:mm",
                                  "hh:mm:ss", "",  "",           kMonthsGerman,        kDaysGerman};
const DateSettings kDateAustrian = {'.',        ':', "dd.MM.yyyy", "dddd, dd. MMMM yyyy", "hh:mm",
                                    "hh:mm:ss", "",  "",           kMonthsAustrian,       kDaysGerman};
const DateSettings kDateUS = {'/',  ':',  "M/d/yyyy",     "dddd, MMMM d, yyyy", "h:mm AMPM", "h:mm:ss AMPM",
                              "AM", "PM", kMonthsEnglish, kDaysEnglish};
const DateSettings kDateUK = {'/',        ':',  "dd/MM/yyyy", "dd MMMM yyyy", "HH:mm",
                              "HH:mm:ss", "AM", "PM",         kMonthsEnglish, kDaysEnglish};
const DateSettings kDateFrench = {'/',        ':', "dd/MM/yyyy", "dddd d MMMM yyyy", "HH:mm",
                                  "HH:mm:ss", "",  "",           kMonthsFrench,      kDaysFrench};

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
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2) { return platform::LocaleCompare(S1, S2, false); }
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2) { return platform::LocaleCompare(S1, S2, true); }
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2) { return AnsiCompareText(S1, S2) == 0; }
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

AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags) {
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
    case ENFILE:
      return "Das System kann die Datei nicht \xF6"
             "ffnen.";
    case ENAMETOOLONG: return "Der Dateiname oder die Erweiterung ist zu lang.";
    default: break;
  }
  return Utf8ToAnsi(std::strerror(err));
}

}  // namespace platform
