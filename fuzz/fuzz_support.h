// Helpers of the fuzz targets.
#pragma once

#include <vector>

#include "platform/rtl/classes.h"

namespace fuzzing {

// Ends the run as a crash when a property does not hold.
inline void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// The lines of a list, in order.
inline std::vector<AnsiString> Items(TStrings& s) {
  std::vector<AnsiString> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}

}  // namespace fuzzing
