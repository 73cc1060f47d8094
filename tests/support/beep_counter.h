// Counts MessageBeep calls (and their types) while it lives.
#pragma once

#include <vector>

#include "platform/os/windows.h"

namespace zeltest {

class BeepCounter {
public:
  BeepCounter() {
    platform::SetMessageBeepHook([this](UINT Type) { Types.push_back(Type); });
  }
  ~BeepCounter() { platform::SetMessageBeepHook(nullptr); }
  BeepCounter(const BeepCounter&) = delete;
  BeepCounter& operator=(const BeepCounter&) = delete;
  int Count() const { return static_cast<int>(Types.size()); }
  std::vector<UINT> Types;
};

}  // namespace zeltest
