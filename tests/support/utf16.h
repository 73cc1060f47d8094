// A text (UTF-8) as the bytes of UTF-16 with their byte-order mark, as a
// service may send a reply or a description.
#pragma once

#include <string>

#include "platform/rtl/codepage.h"

namespace zeltest {

inline std::string Utf16(const std::string& Utf8, bool BigEndian) {
  std::string out = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : platform::Utf8ToWide(Utf8)) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += BigEndian ? hi : lo;
    out += BigEndian ? lo : hi;
  }
  return out;
}

}  // namespace zeltest
