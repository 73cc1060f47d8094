// The ANSI code page (Windows-1252) and the fixed locale comparison.
//
// Conversion uses a table of our own.  The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of
// the same value, as Windows does, so every byte survives a round trip.
// A UTF-16 or UTF-8 character outside the code page becomes '?'.
//
// Locale comparison (CompareStringA with NORM_IGNORECASE, AnsiCompareText):
// fixed German rules, independent of the environment, deterministic:
//  1. Texts are compared character by character on a primary key; the first
//     difference decides.  The primary key ignores case (A = a, Ä = ä) and
//     treats accented letters like their base letter (ä = a, é = e, ñ = n,
//     ç = c); ß counts as "ss", æ as "ae", œ as "oe"; ð as d, þ as "th".
//  2. Order of primary keys: control characters, then blank and punctuation
//     and symbols (in code order among themselves), then digits 0-9, then
//     letters a-z.  A shorter text that is a prefix of the longer comes first.
//  3. When the primary keys are equal, the first accent difference decides:
//     the unaccented letter comes before the accented one (a < ä), and ß
//     after "ss".
//  4. Only when case is considered (AnsiCompareStr, no NORM_IGNORECASE):
//     then, at the first case difference, lower case comes before upper case.
//  5. Texts equal under these rules compare as 0 (with case ignored, "abc"
//     and "ABC" are equal).
// Hyphen and apostrophe count like other punctuation (no word sort).
#pragma once

#include <cstddef>
#include <string>

#include "platform/rtl/system.h"

namespace platform {

// One byte of the code page as a UTF-16 code unit, and back ('?' if none).
char16_t AnsiCharToWide(unsigned char c);
bool WideCharToAnsi(char16_t w, char& out);

WideString AnsiToWide(const AnsiString& s);
AnsiString WideToAnsi(const WideString& s);
// The same into Out, which has room for n bytes; returns the bytes written
// (fewer than n where surrogate pairs stood, each of which gives one '?').
std::size_t WideToAnsi(const char16_t* s, std::size_t n, char* Out);
std::string AnsiToUtf8(const AnsiString& s);
// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t cp);
// Invalid UTF-8 sequences become '?' per offending byte.
AnsiString Utf8ToAnsi(const std::string& s);
std::string WideToUtf8(const WideString& s);
WideString Utf8ToWide(const std::string& s);
// Appends Size bytes of UTF-8 as UTF-16, an invalid sequence as U+FFFD per
// offending byte.  Out grows by at most Size units, so room reserved for
// that much is enough.
void AppendUtf8ToWide(WideString& Out, const char* Utf8, std::size_t Size);

// Case of the code page: a letter whose other case is not in Windows-1252
// (ß, µ) stays as it is; ÿ <-> Ÿ, š <-> Š, ž <-> Ž, œ <-> Œ and the Latin-1
// letters map.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
AnsiString AnsiUpper(const AnsiString& s);
AnsiString AnsiLower(const AnsiString& s);
bool IsAnsiLetter(char c);

// ASCII-only folding: 'A'..'Z' become 'a'..'z', every other byte unchanged.
char AsciiLowerChar(char c);
AnsiString AsciiLower(const AnsiString& s);
AnsiString AsciiUpper(const AnsiString& s);

// The fixed comparison above: negative, 0, positive.
int LocaleCompare(const char* s1, std::size_t n1, const char* s2, std::size_t n2, bool ignoreCase);
inline int LocaleCompare(const AnsiString& a, const AnsiString& b, bool ignoreCase) {
  return LocaleCompare(a.data(), a.size(), b.data(), b.size(), ignoreCase);
}

}  // namespace platform
