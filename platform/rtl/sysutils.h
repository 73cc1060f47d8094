// Strings, formatting, conversions, exceptions and the process-wide number
// and date settings of the runtime library.
//
// Format is type-safe and takes its arguments as a braced list of TVarRec:
//
//     Format("%s (%d) - '%s'", {AnsiString(x), 42, y})
//     Format("%.2x", {code})
//     Format("no arguments", {})
//
// A TVarRec is built implicitly from any integer, floating-point value,
// char, bool, const char*, AnsiString, WideString or pointer.  Directives:
//     %[index:][-][width][.precision]type
// with the types d u x (integers; x upper-case hex), s (text, char),
// f e g n m (floating point), p (pointer).  Width and precision may be "*",
// taking an integer argument.  "%%" is a percent sign.  A directive whose
// argument has the wrong kind, a missing argument, or an unknown directive
// raises EConvertError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/system.h"

// ---------------------------------------------------------------- Format

// One argument of Format.
struct TVarRec {
  enum class Kind { Integer, Unsigned, Float, String, Char, Boolean, Pointer };

  Kind VType = Kind::Integer;
  std::int64_t VInteger = 0;  // Integer, Unsigned (as bits), Boolean
  long double VFloat = 0;     // Float
  AnsiString VString;         // String (WideString converted to the code page)
  char VChar = 0;             // Char
  const void* VPointer = nullptr;

  TVarRec(bool v) : VType(Kind::Boolean), VInteger(v ? 1 : 0) {}
  TVarRec(char v) : VType(Kind::Char), VChar(v) {}
  template <typename T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) TVarRec(T v)
      : VType(std::is_signed_v<T> || sizeof(T) < sizeof(std::int64_t) ? Kind::Integer : Kind::Unsigned),
        VInteger(static_cast<std::int64_t>(v)) {}
  template <typename T>
  requires std::is_floating_point_v<T> TVarRec(T v) : VType(Kind::Float), VFloat(v) {}
  TVarRec(const char* v) : VType(Kind::String), VString(v ? v : "") {}
  TVarRec(char* v) : TVarRec(static_cast<const char*>(v)) {}
  TVarRec(const AnsiString& v) : VType(Kind::String), VString(v) {}
  TVarRec(std::string_view v) : VType(Kind::String), VString(v) {}
  TVarRec(const WideString& v);
  TVarRec(const void* v) : VType(Kind::Pointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(Kind::Pointer), VPointer(nullptr) {}
};

AnsiString Format(const AnsiString& Fmt, std::initializer_list<TVarRec> Args);
// The same with an argument array of any length (for callers that build it).
AnsiString FormatArgs(const AnsiString& Fmt, const TVarRec* Args, std::size_t Count);

// ---------------------------------------------------------------- exceptions

class Exception : public std::exception {
public:
  explicit Exception(const AnsiString& Msg);
  // CreateFmt: the message is Format(Fmt, Args).
  Exception(const AnsiString& Fmt, std::initializer_list<TVarRec> Args);
  ~Exception() override;

  const AnsiString& Message() const { return FMessage; }
  void SetMessage(const AnsiString& Value) { FMessage = Value; }
  // The class library's class name of the exception ("EConvertError").
  virtual const char* ClassName() const { return "Exception"; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  AnsiString FMessage;
};

#define ZEL_RTL_EXCEPTION(Name, Base)                        \
  class Name : public Base {                                 \
  public:                                                    \
    using Base::Base;                                        \
    const char* ClassName() const override { return #Name; } \
  }

ZEL_RTL_EXCEPTION(EAbort, Exception);
ZEL_RTL_EXCEPTION(EConvertError, Exception);
ZEL_RTL_EXCEPTION(EListError, Exception);
ZEL_RTL_EXCEPTION(EStringListError, Exception);
ZEL_RTL_EXCEPTION(EStreamError, Exception);
ZEL_RTL_EXCEPTION(EFileStreamError, EStreamError);
ZEL_RTL_EXCEPTION(EFCreateError, EFileStreamError);
ZEL_RTL_EXCEPTION(EFOpenError, EFileStreamError);
ZEL_RTL_EXCEPTION(EFilerError, EStreamError);
ZEL_RTL_EXCEPTION(EReadError, EFilerError);
ZEL_RTL_EXCEPTION(EWriteError, EFilerError);
ZEL_RTL_EXCEPTION(EIniFileException, Exception);
ZEL_RTL_EXCEPTION(EComponentError, Exception);
ZEL_RTL_EXCEPTION(EInvalidOperation, Exception);
ZEL_RTL_EXCEPTION(EInvalidCast, Exception);
ZEL_RTL_EXCEPTION(EOutOfMemory, Exception);
ZEL_RTL_EXCEPTION(EExternal, Exception);
ZEL_RTL_EXCEPTION(EIntError, EExternal);
ZEL_RTL_EXCEPTION(EDivByZero, EIntError);
ZEL_RTL_EXCEPTION(ERangeError, EIntError);
ZEL_RTL_EXCEPTION(EIntOverflow, EIntError);
ZEL_RTL_EXCEPTION(EMathError, EExternal);
ZEL_RTL_EXCEPTION(EZeroDivide, EMathError);
ZEL_RTL_EXCEPTION(EOverflow, EMathError);

#undef ZEL_RTL_EXCEPTION

// An operating-system error with its code (GetLastError style).
class EOSError : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "EOSError"; }
  std::uint32_t ErrorCode = 0;
};

// Messages of the class library that several areas raise.
namespace platform::msg {
inline constexpr const char* ListIndexError =
    "Listenindex \xFC"
    "berschreitet das Maximum (%d)";
inline constexpr const char* StringListIndexError =
    "Der Index der Liste \xFC"
    "berschreitet das Maximum (%d)";
inline constexpr const char* DuplicateString = "In der Stringliste sind Duplikate nicht erlaubt";
inline constexpr const char* SortedListError = "Operation bei sortierten Stringlisten nicht erlaubt";
inline constexpr const char* InvalidInteger =
    "'%s' ist kein g\xFC"
    "ltiger Integerwert";
inline constexpr const char* InvalidFloat =
    "'%s' ist kein g\xFC"
    "ltiger Gleitkommawert";
inline constexpr const char* InvalidFormat =
    "Format '%s' ung\xFC"
    "ltig oder nicht kompatibel mit Argument";
inline constexpr const char* ArgumentMissing =
    "Kein Argument f\xFC"
    "r Format '%s'";
inline constexpr const char* AssignError = "%s kann nicht zu %s zugewiesen werden";
inline constexpr const char* FOpenError =
    "Datei %s kann nicht ge\xF6"
    "ffnet werden. %s";
inline constexpr const char* FCreateError = "Datei %s kann nicht erstellt werden. %s";
inline constexpr const char* WriteError = "Stream-Schreibfehler";
inline constexpr const char* ReadError = "Stream-Lesefehler";
inline constexpr const char* IniFileWriteError = "In %s kann nicht geschrieben werden";
inline constexpr const char* DuplicateName = "Eine Komponente mit der Bezeichnung %s existiert bereits";
inline constexpr const char* InvalidName =
    "'%s' ist kein g\xFC"
    "ltiger Komponentenname";
inline constexpr const char* ListCapacityError =
    "Listenkapazit\xE4t \xFC"
    "berschreitet das Maximum (%d)";
inline constexpr const char* ListCountError =
    "Listenz\xE4hler \xFC"
    "berschreitet das Maximum (%d)";
inline constexpr const char* SharingViolation =
    "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird.";
inline constexpr const char* InvalidDate =
    "'%s' ist kein g\xFC"
    "ltiges Datum";
inline constexpr const char* InvalidTime =
    "'%s' ist keine g\xFC"
    "ltige Zeit";
inline constexpr const char* DateEncodeError =
    "Ung\xFC"
    "ltiges Argument zum Codieren des Datums";
inline constexpr const char* TimeEncodeError =
    "Ung\xFC"
    "ltiges Argument zum Codieren der Zeit";
inline constexpr const char* UnknownException = "Unbekannte Exception";
}  // namespace platform::msg

namespace platform {
// The message of an exception: Message() of an Exception, what() of any
// other std::exception, Unknown for anything else (and for no exception).
AnsiString ExceptionMessage(std::exception_ptr Error, const AnsiString& Unknown = msg::UnknownException);
}  // namespace platform

namespace platform {
// The reason text for a POSIX error number as the German Windows system
// messages word it ("Das System kann die angegebene Datei nicht finden.").
AnsiString ErrnoMessage(int err);
}  // namespace platform

// ---------------------------------------------------------------- settings

// Process-wide number and date settings, initialised at start-up from the
// user's locale (LC_ALL, LC_NUMERIC / LC_TIME, LANG) as Windows takes them
// from the regional settings.  The program may change them at any time.
extern char DecimalSeparator;
extern char ThousandSeparator;
extern char DateSeparator;
extern char TimeSeparator;
extern AnsiString ShortDateFormat;
extern AnsiString LongDateFormat;
extern AnsiString ShortTimeFormat;
extern AnsiString LongTimeFormat;
extern AnsiString TimeAMString;
extern AnsiString TimePMString;
extern AnsiString CurrencyString;
extern Byte CurrencyFormat;
extern Byte NegCurrFormat;
extern Byte CurrencyDecimals;
extern AnsiString ShortMonthNames[12];
extern AnsiString LongMonthNames[12];
extern AnsiString ShortDayNames[7];  // Sunday first
extern AnsiString LongDayNames[7];

namespace platform {
// Sets every setting above from a locale name such as "de_DE.UTF-8", "de_AT",
// "en_US" or "C".  Unknown languages fall back to the English (US) settings.
void InitLocaleSettings(const std::string& localeName);
// The locale name the start-up settings came from (as found in the
// environment, "C" when none is set).
std::string UserLocaleName();
}  // namespace platform

// ---------------------------------------------------------------- strings

// Character-by-character ASCII case (only 'A'..'Z' / 'a'..'z' change).
AnsiString UpperCase(const AnsiString& S);
AnsiString LowerCase(const AnsiString& S);
int CompareStr(const AnsiString& S1, const AnsiString& S2);   // by byte value
int CompareText(const AnsiString& S1, const AnsiString& S2);  // ASCII case ignored
bool SameText(const AnsiString& S1, const AnsiString& S2);

// Case of the code page (Windows-1252 letters, see codepage.h).
AnsiString AnsiUpperCase(const AnsiString& S);
AnsiString AnsiLowerCase(const AnsiString& S);
// The fixed German comparison of the locale (see codepage.h): negative, 0 or
// positive.  AnsiCompareStr takes case into account, AnsiCompareText not.
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2);
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2);
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2);
bool AnsiSameStr(const AnsiString& S1, const AnsiString& S2);

// Blanks and control characters (codes 0 to 32) removed at the ends.
AnsiString Trim(const AnsiString& S);
AnsiString TrimLeft(const AnsiString& S);
AnsiString TrimRight(const AnsiString& S);

// Positions count from 1; 0 means "not found".
int Pos(const AnsiString& Substr, const AnsiString& S);
int AnsiPos(const AnsiString& Substr, const AnsiString& S);
// Count characters from position Index (1-based); out-of-range parts are cut.
AnsiString Copy(const AnsiString& S, int Index, int Count);
AnsiString StringOfChar(char Ch, int Count);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;
AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags);

AnsiString QuotedStr(const AnsiString& S);  // 'it''s'
AnsiString AnsiQuotedStr(const AnsiString& S, char Quote);
// Reads a quoted text starting at position Pos (0-based, moved behind it).
// A text not starting with Quote gives "" and leaves Pos.
AnsiString AnsiExtractQuotedStr(const AnsiString& S, std::size_t& Pos, char Quote);
// Removes one pair of quotes when S starts with Quote, else S unchanged.
AnsiString AnsiDequotedStr(const AnsiString& S, char Quote);

// Windows file-name parts (backslash or colon separate; no file access).
AnsiString ExtractFilePath(const AnsiString& FileName);  // with trailing '\'
AnsiString ExtractFileDir(const AnsiString& FileName);   // without it
AnsiString ExtractFileName(const AnsiString& FileName);
AnsiString ExtractFileExt(const AnsiString& FileName);    // ".ini"
AnsiString ExtractFileDrive(const AnsiString& FileName);  // "C:"
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);
AnsiString IncludeTrailingBackslash(const AnsiString& S);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S);
AnsiString ExcludeTrailingBackslash(const AnsiString& S);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S);
bool IsPathDelimiter(const AnsiString& S, int Index);  // Index 1-based

// ---------------------------------------------------------------- numbers

AnsiString IntToStr(std::int64_t Value);
namespace platform {
// Upper-case hex of the value's bits, at least Digits digits.
AnsiString HexOfBits(std::uint64_t Bits, int Digits);
}  // namespace platform
// Upper case, at least Digits digits; a negative value shows the two's
// complement of its type (32 bits for int, 64 for Int64).
template <typename T>
requires std::is_integral_v<T> AnsiString IntToHex(T Value, int Digits) {
  if constexpr (sizeof(T) <= 4)
    return platform::HexOfBits(static_cast<std::uint32_t>(Value), Digits);
  else
    return platform::HexOfBits(static_cast<std::uint64_t>(Value), Digits);
}
// Strict: optional blanks in front, optional sign, decimal digits or "$"/"0x"
// hex; anything else raises EConvertError "'%s' ist kein gültiger Integerwert".
int StrToInt(const AnsiString& S);
std::int64_t StrToInt64(const AnsiString& S);
int StrToIntDef(const AnsiString& S, int Default);
std::int64_t StrToInt64Def(const AnsiString& S, std::int64_t Default);
bool TryStrToInt(const AnsiString& S, int& Value);
bool TryStrToInt64(const AnsiString& S, std::int64_t& Value);

namespace platform {
// Lenient reading of an integer, never raising: the number formed by all
// decimal digits of S, negative when the last '+' or '-' in S is a '-'
// (no digit gives 0); the digits wrap at 64 bits, so the low 32 bits are
// the 32-bit wrapped reading.
std::int64_t LenientDigits(const AnsiString& S);
// Lenient reading of a decimal number with the process's DecimalSeparator,
// rounded to the nearest integer, halves to even; Default when S is no
// number.
std::int64_t LenientRound(const AnsiString& S, std::int64_t Default);
}  // namespace platform

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t Round(double X);
std::int64_t Trunc(double X);
double Frac(double X);
double Int(double X);

// Floating point with the process-wide DecimalSeparator.  StrToFloat accepts
// blanks at both ends, a sign, digits with one decimal separator and an
// exponent; otherwise EConvertError "'%s' ist kein gültiger Gleitkommawert".
double StrToFloat(const AnsiString& S);
double StrToFloatDef(const AnsiString& S, double Default);
bool TryStrToFloat(const AnsiString& S, double& Value);
// Shortest general form with up to 15 significant digits ("1,5", "1E20").
AnsiString FloatToStr(double Value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
AnsiString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
// Patterns with '0', '#', '.', ',', 'E+'/'E-', quoted literals and up to
// three sections separated by ';' (positive;negative;zero), e.g. "#,##0.00".
// Halves are rounded away from zero as the pattern formatting does.
AnsiString FormatFloat(const AnsiString& Format, double Value);

// ---------------------------------------------------------------- dates

struct TSystemTimeParts {
  Word Year, Month, Day, Hour, Minute, Second, MilliSecond;
};

TDateTime EncodeDate(Word Year, Word Month, Word Day);  // EConvertError when invalid
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
int DayOfWeek(TDateTime Date);  // 1 = Sunday ... 7 = Saturday
bool IsLeapYear(Word Year);
int DaysInMonth(Word Year, Word Month);

// Local time now, today (time part 0), the time of day (date part 0).
TDateTime Now();
TDateTime Date();
TDateTime Time();

namespace platform {
// Tests replace the clock behind Now/Date/Time; nullptr restores the system clock.
using NowFunction = std::function<TDateTime()>;
void SetNowFunction(NowFunction f);
}  // namespace platform

// The class library's date format: d dd ddd dddd ddddd dddddd, m mm mmm mmmm,
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, am/pm a/p ampm, c, / and :
// (the separators), "..." and '...' literals; "m" after "h"/"hh" is minutes.
AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime);
AnsiString DateToStr(TDateTime Date);  // ShortDateFormat
AnsiString TimeToStr(TDateTime Time);  // LongTimeFormat
AnsiString DateTimeToStr(TDateTime DateTime);
// Reads a date in the order of ShortDateFormat with DateSeparator.
TDateTime StrToDate(const AnsiString& S);
bool TryStrToDate(const AnsiString& S, TDateTime& Value);
