// Helpers of the fuzz targets.
#pragma once

#include "tests/support/string_items.h"

namespace fuzzing {

// Ends the run as a crash when a property does not hold.
inline void Check(bool ok) {
  if (!ok) __builtin_trap();
}

using zeltest::Items;

}  // namespace fuzzing
