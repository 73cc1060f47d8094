// Helpers shared by the sources behind sysutils.h; not for other areas.
#pragma once

namespace platform {

// A character as its byte value (for <cctype> and comparisons by code).
inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

}  // namespace platform
