// Numbers and text: integers to text and back, rounding, reading a floating
// point number.
#include "platform/rtl/sysutils.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/rtl/sysutils_internal.h"

using platform::U;

// ---------------------------------------------------------------- numbers

AnsiString IntToStr(std::int64_t Value) { return std::to_string(Value); }

namespace platform {

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

}  // namespace platform

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
      bits == 32 ? (neg ? 0x80000000ull : 0x7FFFFFFFull) : (neg ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull);
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
    std::int64_t sv = bits == 32
                          ? static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)))
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
  // Unsigned arithmetic: the value wraps modulo 2^64 however many digits
  // there are, so every narrower reading of it wraps as well.
  std::uint64_t v = 0;
  bool neg = false;
  for (char c : S) {
    if (c >= '0' && c <= '9') {
      v = v * 10 + static_cast<unsigned>(c - '0');
    } else if (c == '-') {
      neg = true;
    } else if (c == '+') {
      neg = false;
    }
  }
  return static_cast<std::int64_t>(neg ? 0 - v : v);
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
