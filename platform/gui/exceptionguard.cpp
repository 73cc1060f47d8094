// The exception guard: every entry from Qt into library code runs inside it,
// and what the code raises goes to Application->HandleException.
#include <functional>

#include "platform/gui/forms.h"
#include "platform/gui/qt_internal.h"

namespace platform {

void Guarded(const std::function<void()>& Fn) {
  try {
    Fn();
  } catch (...) {
    try {
      Application->HandleException(nullptr);
    } catch (...) {
    }
  }
}

}  // namespace platform
