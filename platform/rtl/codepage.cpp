#include "platform/rtl/codepage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

// Windows-1252 0x80..0x9F; the undefined five map to themselves.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned char U(char c) { return static_cast<unsigned char>(c); }

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

namespace {

// Decodes the UTF-8 character at s[i] of n bytes; advances i.  Returns
// false for an invalid sequence (i then moves by one byte).
bool DecodeUtf8(const char* s, std::size_t n, std::size_t& i, char32_t& cp) {
  const unsigned char b0 = U(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    ++i;
    return true;
  }
  int len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    ++i;
    return false;
  }
  if (i + len > n) {
    ++i;
    return false;
  }
  for (int k = 1; k < len; ++k) {
    const unsigned char b = U(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return false;
  }
  i += len;
  return true;
}

char CodePointToAnsi(char32_t cp) {
  char c;
  if (cp <= 0xFFFF && WideCharToAnsi(static_cast<char16_t>(cp), c)) return c;
  return '?';
}

}  // namespace

char16_t AnsiCharToWide(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

bool WideCharToAnsi(char16_t w, char& out) {
  if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) {
    out = static_cast<char>(w);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == w) {
      out = static_cast<char>(0x80 + i);
      return true;
    }
  }
  out = '?';
  return false;
}

WideString AnsiToWide(const AnsiString& s) {
  WideString r;
  r.reserve(s.size());
  for (char c : s) r += AnsiCharToWide(U(c));
  return r;
}

AnsiString WideToAnsi(const WideString& s) {
  AnsiString r(s.size(), '\0');
  r.resize(WideToAnsi(s.data(), s.size(), r.data()));
  return r;
}

std::size_t WideToAnsi(const char16_t* s, std::size_t n, char* Out) {
  char* o = Out;
  std::size_t i = 0;
  while (i < n) {
#if defined(__SSE2__)
    // Runs of ASCII characters eight at a time.
    while (n - i >= 8) {
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      const __m128i high = _mm_and_si128(w, _mm_set1_epi16(static_cast<short>(0xFF80)));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(w, w));
      o += 8;
      i += 8;
    }
    if (i == n) break;
#endif
    const char16_t w = s[i];
    if (w >= 0xD800 && w <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      i += 2;  // a pair is one character outside the code page
      *o++ = '?';
      continue;
    }
    WideCharToAnsi(w, *o++);
    ++i;
  }
  return static_cast<std::size_t>(o - Out);
}

std::string AnsiToUtf8(const AnsiString& s) {
  std::string r;
  r.reserve(s.size() + s.size() / 4);
  for (char c : s) AppendUtf8(r, AnsiCharToWide(U(c)));
  return r;
}

AnsiString Utf8ToAnsi(const std::string& s) {
  AnsiString r;
  r.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    char32_t cp;
    if (DecodeUtf8(s.data(), s.size(), i, cp))
      r += CodePointToAnsi(cp);
    else
      r += '?';
  }
  return r;
}

std::string WideToUtf8(const WideString& s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(r, cp);
  }
  return r;
}

void AppendUtf8ToWide(WideString& Out, const char* Utf8, std::size_t Size) {
  // A byte gives at most one code unit (four bytes give two).
  const std::size_t old = Out.size();
  Out.resize(old + Size);
  char16_t* d = Out.data() + old;
  std::size_t i = 0;
  while (i < Size) {
    // Runs of ASCII, the bulk of any text, without decoding.
    while (i < Size && U(Utf8[i]) < 0x80) *d++ = static_cast<char16_t>(Utf8[i++]);
    if (i == Size) break;
    char32_t cp;
    if (!DecodeUtf8(Utf8, Size, i, cp)) {
      *d++ = u'\xFFFD';
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      *d++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *d++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *d++ = static_cast<char16_t>(cp);
    }
  }
  Out.resize(static_cast<std::size_t>(d - Out.data()));
}

WideString Utf8ToWide(const std::string& s) {
  WideString r;
  AppendUtf8ToWide(r, s.data(), s.size());
  return r;
}

char AnsiUpperChar(char ch) {
  const unsigned char c = U(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A: return '\x8A';
    case 0x9C: return '\x8C';
    case 0x9E: return '\x8E';
    case 0xFF: return '\x9F';
    default: return ch;
  }
}

char AnsiLowerChar(char ch) {
  const unsigned char c = U(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  switch (c) {
    case 0x8A: return '\x9A';
    case 0x8C: return '\x9C';
    case 0x8E: return '\x9E';
    case 0x9F: return '\xFF';
    default: return ch;
  }
}

AnsiString AnsiUpper(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AnsiUpperChar(c);
  return r;
}

AnsiString AnsiLower(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AnsiLowerChar(c);
  return r;
}

bool IsAnsiLetter(char ch) {
  const unsigned char c = U(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA: return true;
    default: break;
  }
  return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

char AsciiLowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

AnsiString AsciiLower(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AsciiLowerChar(c);
  return r;
}

AnsiString AsciiUpper(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

// ---------------------------------------------------------------- collation

namespace {

struct Element {
  std::uint16_t primary;
  std::uint8_t secondary;  // accent
  std::uint8_t tertiary;   // 0 lower or caseless, 1 upper
};

constexpr std::uint16_t kControl = 0x0000;
constexpr std::uint16_t kSymbol = 0x0100;
constexpr std::uint16_t kDigit = 0x0300;
constexpr std::uint16_t kLetter = 0x0400;

std::uint16_t Letter(char l) { return static_cast<std::uint16_t>(kLetter + (l - 'a')); }

// The elements of one byte: up to two (expansions).
int Elements(unsigned char c, Element out[2]) {
  auto one = [&](std::uint16_t p, std::uint8_t s, std::uint8_t t) {
    out[0] = {p, s, t};
    return 1;
  };
  auto two = [&](char a, char b, std::uint8_t s2, std::uint8_t t) {
    out[0] = {Letter(a), 0, t};
    out[1] = {Letter(b), s2, t};
    return 2;
  };
  if (c >= 'a' && c <= 'z') return one(Letter(static_cast<char>(c)), 0, 0);
  if (c >= 'A' && c <= 'Z') return one(Letter(static_cast<char>(c + 32)), 0, 1);
  if (c >= '0' && c <= '9') return one(static_cast<std::uint16_t>(kDigit + (c - '0')), 0, 0);
  // Accented letters: base letter, accent number, case.
  struct Acc {
    unsigned char code;
    char base;
    std::uint8_t accent;
    std::uint8_t upper;
  };
  static constexpr Acc kAcc[] = {
      {0xC0, 'a', 1, 1}, {0xC1, 'a', 2, 1}, {0xC2, 'a', 3, 1}, {0xC3, 'a', 4, 1}, {0xC4, 'a', 5, 1},
      {0xC5, 'a', 6, 1}, {0xE0, 'a', 1, 0}, {0xE1, 'a', 2, 0}, {0xE2, 'a', 3, 0}, {0xE3, 'a', 4, 0},
      {0xE4, 'a', 5, 0}, {0xE5, 'a', 6, 0}, {0xAA, 'a', 7, 0}, {0xC7, 'c', 1, 1}, {0xE7, 'c', 1, 0},
      {0xD0, 'd', 1, 1}, {0xF0, 'd', 1, 0}, {0xC8, 'e', 1, 1}, {0xC9, 'e', 2, 1}, {0xCA, 'e', 3, 1},
      {0xCB, 'e', 5, 1}, {0xE8, 'e', 1, 0}, {0xE9, 'e', 2, 0}, {0xEA, 'e', 3, 0}, {0xEB, 'e', 5, 0},
      {0x83, 'f', 1, 0}, {0xCC, 'i', 1, 1}, {0xCD, 'i', 2, 1}, {0xCE, 'i', 3, 1}, {0xCF, 'i', 5, 1},
      {0xEC, 'i', 1, 0}, {0xED, 'i', 2, 0}, {0xEE, 'i', 3, 0}, {0xEF, 'i', 5, 0}, {0xD1, 'n', 4, 1},
      {0xF1, 'n', 4, 0}, {0xD2, 'o', 1, 1}, {0xD3, 'o', 2, 1}, {0xD4, 'o', 3, 1}, {0xD5, 'o', 4, 1},
      {0xD6, 'o', 5, 1}, {0xD8, 'o', 8, 1}, {0xF2, 'o', 1, 0}, {0xF3, 'o', 2, 0}, {0xF4, 'o', 3, 0},
      {0xF5, 'o', 4, 0}, {0xF6, 'o', 5, 0}, {0xF8, 'o', 8, 0}, {0xBA, 'o', 7, 0}, {0x8A, 's', 9, 1},
      {0x9A, 's', 9, 0}, {0xD9, 'u', 1, 1}, {0xDA, 'u', 2, 1}, {0xDB, 'u', 3, 1}, {0xDC, 'u', 5, 1},
      {0xF9, 'u', 1, 0}, {0xFA, 'u', 2, 0}, {0xFB, 'u', 3, 0}, {0xFC, 'u', 5, 0}, {0xDD, 'y', 2, 1},
      {0xFD, 'y', 2, 0}, {0x9F, 'y', 5, 1}, {0xFF, 'y', 5, 0}, {0x8E, 'z', 9, 1}, {0x9E, 'z', 9, 0},
  };
  for (const Acc& a : kAcc)
    if (a.code == c) return one(Letter(a.base), a.accent, a.upper);
  switch (c) {
    case 0xDF: return two('s', 's', 10, 0);  // ß after "ss"
    case 0xC6: return two('a', 'e', 10, 1);
    case 0xE6: return two('a', 'e', 10, 0);
    case 0x8C: return two('o', 'e', 10, 1);
    case 0x9C: return two('o', 'e', 10, 0);
    case 0xDE: return two('t', 'h', 10, 1);
    case 0xFE: return two('t', 'h', 10, 0);
    case 0xB9: return one(kDigit + 1, 1, 0);
    case 0xB2: return one(kDigit + 2, 1, 0);
    case 0xB3: return one(kDigit + 3, 1, 0);
    default: break;
  }
  if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
    return one(static_cast<std::uint16_t>(kControl + c), 0, 0);
  return one(static_cast<std::uint16_t>(kSymbol + c), 0, 0);
}

// The elements of every byte, computed once.
struct ElementTable {
  Element e[256][2];
  std::uint8_t count[256];
  ElementTable() {
    for (int c = 0; c < 256; ++c)
      count[c] = static_cast<std::uint8_t>(Elements(static_cast<unsigned char>(c), e[c]));
  }
};

const ElementTable& Table() {
  static const ElementTable table;
  return table;
}

// Walks the elements of a text without building them.
class Cursor {
public:
  Cursor(const char* s, std::size_t n) : FS(s), FN(n) {}
  bool Next(Element& out) {
    const ElementTable& t = Table();
    while (FI < FN) {
      const unsigned char c = static_cast<unsigned char>(FS[FI]);
      if (FSub < t.count[c]) {
        out = t.e[c][FSub++];
        return true;
      }
      ++FI;
      FSub = 0;
    }
    return false;
  }

private:
  const char* FS;
  std::size_t FN;
  std::size_t FI = 0;
  int FSub = 0;
};

template <typename Key>
int CompareBy(const char* s1, std::size_t n1, const char* s2, std::size_t n2, Key key) {
  Cursor a(s1, n1), b(s2, n2);
  Element ea{}, eb{};
  while (true) {
    const bool ha = a.Next(ea), hb = b.Next(eb);
    if (!ha || !hb) return ha == hb ? 0 : (ha ? 1 : -1);
    const int ka = key(ea), kb = key(eb);
    if (ka != kb) return ka < kb ? -1 : 1;
  }
}

}  // namespace

int LocaleCompare(const char* s1, std::size_t n1, const char* s2, std::size_t n2, bool ignoreCase) {
  if (int r = CompareBy(s1, n1, s2, n2, [](const Element& e) { return int(e.primary); })) return r;
  if (int r = CompareBy(s1, n1, s2, n2, [](const Element& e) { return int(e.secondary); })) return r;
  if (!ignoreCase) return CompareBy(s1, n1, s2, n2, [](const Element& e) { return int(e.tertiary); });
  return 0;
}

}  // namespace platform
