// Dates and times: encoding and decoding, the clock, FormatDateTime and
// reading a date.
#include "platform/rtl/sysutils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/rtl/sysutils_internal.h"

using platform::U;

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

bool IsLeapYear(Word Year) { return (Year % 4 == 0) && ((Year % 100 != 0) || (Year % 400 == 0)); }

int DaysInMonth(Word Year, Word Month) {
  if (Month < 1 || Month > 12) return 0;
  return kMonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
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
                static_cast<Word>(tm.tm_sec > 59 ? 59 : tm.tm_sec), static_cast<Word>(ts.tv_nsec / 1000000), t);
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

// 12-hour clock when an am/pm marker follows the hour (quoted text aside).
bool HasAmPmAfter(const std::string& f, std::size_t from) {
  for (std::size_t k = from; k < f.size(); ++k) {
    if (f[k] == '"' || f[k] == '\'') {
      const std::size_t e = f.find(f[k], k + 1);
      if (e == std::string::npos) break;
      k = e;
      continue;
    }
    if (StartsWithNoCase(f, k, "am/pm") || StartsWithNoCase(f, k, "a/p") || StartsWithNoCase(f, k, "ampm"))
      return true;
  }
  return false;
}

// A number, with `wide` digits when its run is at least that long.
std::string FieldNumber(int v, std::size_t run, std::size_t wide) {
  return run >= wide ? Pad(v, static_cast<int>(wide)) : std::to_string(v);
}

std::string MonthText(int month, std::size_t run) {
  if (run <= 2) return FieldNumber(month, run, 2);
  return run == 3 ? ShortMonthNames[month - 1] : LongMonthNames[month - 1];
}

// am/pm and a/p in the format's own letters, ampm in the locale's words;
// returns the characters read.
std::size_t AppendAmPm(std::string& out, const std::string& f, std::size_t i, std::size_t run, bool pm) {
  if (StartsWithNoCase(f, i, "am/pm")) {
    out += pm ? f.substr(i + 3, 2) : f.substr(i, 2);
    return 5;
  }
  if (StartsWithNoCase(f, i, "a/p")) {
    out += pm ? f.substr(i + 2, 1) : f.substr(i, 1);
    return 3;
  }
  if (StartsWithNoCase(f, i, "ampm")) {
    out += pm ? TimePMString : TimeAMString;
    return 4;
  }
  out.append(f, i, run);
  return run;
}

// Quoted text from the quote at i on, as it stands; returns where it ends.
std::size_t AppendQuoted(std::string& out, const std::string& f, std::size_t i) {
  const std::size_t e = f.find(f[i], i + 1);
  const std::size_t end = e == std::string::npos ? f.size() : e;
  out.append(f, i + 1, end - i - 1);
  return end == f.size() ? end : end + 1;
}

void AppendDateTime(std::string& out, const std::string& f, TDateTime dt, int depth);

// Writes one format for one moment, field by field.
class DateTimeWriter {
public:
  DateTimeWriter(std::string& out, const std::string& f, TDateTime dt, int depth)
      : FOut(out), FFormat(f), FDateTime(dt), FParts(Split(dt)), FDepth(depth) {}

  void Run() {
    char lastToken = ' ';
    std::size_t i = 0;
    const std::size_t n = FFormat.size();
    while (i < n) {
      const char raw = FFormat[i];
      if (raw == '"' || raw == '\'') {
        i = AppendQuoted(FOut, FFormat, i);
        continue;
      }
      char token = static_cast<char>(std::toupper(U(raw)));
      const bool letter = token >= 'A' && token <= 'Z';
      std::size_t run = 1;
      while (letter && i + run < n && std::toupper(U(FFormat[i + run])) == token) ++run;
      if (token == 'M' && lastToken == 'H') token = 'N';  // minutes after an hour
      i += Field(token, i, run);
      if (letter) lastToken = token == 'N' ? 'H' : token;
    }
  }

private:
  // Writes the field of `run` letters `token` at i; returns the characters read.
  std::size_t Field(char token, std::size_t i, std::size_t run) {
    const DateParts& p = FParts;
    switch (token) {
      case 'Y': FOut += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4); return run;
      case 'M': FOut += MonthText(p.month, run); return run;
      case 'D': Day(run); return run;
      case 'H': FOut += FieldNumber(ClockHour(i + run), run, 2); return std::min<std::size_t>(run, 2);
      case 'N': FOut += FieldNumber(p.minute, run, 2); return std::min<std::size_t>(run, 2);
      case 'S': FOut += FieldNumber(p.second, run, 2); return std::min<std::size_t>(run, 2);
      case 'Z': FOut += FieldNumber(p.msec, run, 3); return std::min<std::size_t>(run, 3);
      case 'T': Nested(run == 1 ? ShortTimeFormat : LongTimeFormat); return std::min<std::size_t>(run, 2);
      case 'C': DateAndTime(); return 1;
      case 'A': return AppendAmPm(FOut, FFormat, i, run, p.hour >= 12);
      case '/': FOut += DateSeparator; return run;
      case ':': FOut += TimeSeparator; return run;
      default: FOut.append(FFormat, i, run); return run;
    }
  }

  // d, dd, ddd, dddd; ddddd and dddddd are the short and long date.
  void Day(std::size_t run) {
    if (run <= 2)
      FOut += FieldNumber(FParts.day, run, 2);
    else if (run == 3)
      FOut += ShortDayNames[FParts.dow - 1];
    else if (run == 4)
      FOut += LongDayNames[FParts.dow - 1];
    else
      Nested(run == 5 ? ShortDateFormat : LongDateFormat);
  }

  // The hour, on the 12-hour clock when am/pm follows the field ending at `end`.
  int ClockHour(std::size_t end) const {
    if (!HasAmPmAfter(FFormat, end)) return FParts.hour;
    const int h = FParts.hour % 12;
    return h == 0 ? 12 : h;
  }

  // c: the short date, and the long time unless it is midnight.
  void DateAndTime() {
    Nested(ShortDateFormat);
    const DateParts& p = FParts;
    if (p.hour || p.minute || p.second || p.msec) {
      FOut += ' ';
      Nested(LongTimeFormat);
    }
  }

  void Nested(const std::string& f) { AppendDateTime(FOut, f, FDateTime, FDepth + 1); }

  std::string& FOut;
  const std::string& FFormat;
  TDateTime FDateTime;
  DateParts FParts;
  int FDepth;
};

void AppendDateTime(std::string& out, const std::string& f, TDateTime dt, int depth) {
  if (depth > 2) return;  // c, ddddd, t inside those formats: no endless nesting
  DateTimeWriter(out, f, dt, depth).Run();
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

namespace {

// Order of day, month and year as they appear in ShortDateFormat.
std::string DateOrder() {
  std::string order;
  for (char c : ShortDateFormat) {
    const char u = static_cast<char>(std::toupper(U(c)));
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
  }
  return order.size() == 3 ? order : "DMY";
}

// Up to three numbers of at most four digits, each followed by DateSeparator
// (optional after the last).
struct DateNumbers {
  int nums[3] = {0, 0, 0};
  int count = 0;
  int digitsOfYear = 0;
};

bool ReadDateNumbers(const std::string& t, const std::string& order, DateNumbers& r) {
  std::size_t i = 0;
  while (i < t.size() && r.count < 3) {
    if (t[i] < '0' || t[i] > '9') return false;
    int v = 0, nd = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++nd)
      if (nd < 5) v = v * 10 + (t[i] - '0');
    if (nd > 4) return false;
    if (order[static_cast<std::size_t>(r.count)] == 'Y') r.digitsOfYear = nd;
    r.nums[r.count++] = v;
    if (i < t.size()) {
      if (t[i] != DateSeparator) return false;
      ++i;  // a separator at the end is allowed ("3.4.")
    }
  }
  return i == t.size() && r.count >= 2;
}

int CurrentYear() {
  Word cy, cm, cd;
  DecodeDate(Now(), cy, cm, cd);
  return cy;
}

// Two-digit years: the century that puts the year within 50 years of now.
int WithCentury(int y) {
  const int cy = CurrentYear();
  y += cy / 100 * 100;
  if (y > cy + 50) y -= 100;
  if (y < cy - 50) y += 100;
  return y;
}

}  // namespace

bool TryStrToDate(const AnsiString& S, TDateTime& Value) {
  const std::string order = DateOrder();
  DateNumbers r;
  if (!ReadDateNumbers(Trim(S), order, r)) return false;
  int y = 0, m = 0, d = 0;
  if (r.count == 2) {  // day and month of the current year
    y = CurrentYear();
    int k = 0;
    for (char o : order)
      if (o != 'Y') (o == 'D' ? d : m) = r.nums[k++];
  } else {
    for (int k = 0; k < 3; ++k) {
      const char o = order[static_cast<std::size_t>(k)];
      (o == 'D' ? d : o == 'M' ? m : y) = r.nums[k];
    }
    if (r.digitsOfYear <= 2) y = WithCentury(y);
  }
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), Value);
}

TDateTime StrToDate(const AnsiString& S) {
  TDateTime v;
  if (!TryStrToDate(S, v)) throw EConvertError(platform::msg::InvalidDate, {S});
  return v;
}
