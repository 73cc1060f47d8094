// The lines of a string list as a vector, for comparing in tests and fuzz
// targets.
#pragma once

#include <vector>

#include "platform/rtl/classes.h"

namespace zeltest {

inline std::vector<AnsiString> Items(TStrings& s) {
  std::vector<AnsiString> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}

}  // namespace zeltest
