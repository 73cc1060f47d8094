// The message of the exception a call raises, "" when it raises none. An
// exception of another class than E passes through (and fails the test).
#pragma once

#include <utility>

#include "platform/rtl/sysutils.h"

namespace zeltest {

template <class E = Exception, class F>
AnsiString ErrorOf(F&& call) {
  try {
    std::forward<F>(call)();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

}  // namespace zeltest
