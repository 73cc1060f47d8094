// Helpers shared by the sources behind sysutils.h; not for other areas.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A character as its byte value (for <cctype> and comparisons by code).
inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

// Upper-case hex digits of v without leading zeros ("0" for 0).
std::string HexDigits(std::uint64_t v);

}  // namespace platform
