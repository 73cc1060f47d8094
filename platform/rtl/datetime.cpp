// Dates and times: encoding and decoding, the clock, FormatDateTime and
// reading a date.
#include "platform/rtl/sysutils.h"

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
