// Link to the external debug viewer: a window of class "TKuvoDebugForm"
// titled "Debug" in another program.  The window is looked for once, at
// start-up; each line goes to it as one WM_COPYDATA message.  Without a
// viewer every line is dropped.  There is no log file.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>

#include "platform/os/windows.h"
#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

// Window handle of the viewer; -1 while none has been found.  Set at most
// once in the life of the process.
extern LONG_PTR DebugWindow;

// One value of DebugValues, in the manner of a variant: empty (gives empty
// text), null (cannot be turned into text) or a value that has a text.
class TKLogValue {
public:
  enum class Kind { Empty, Null, Value };

  TKLogValue() = default;  // empty
  TKLogValue(const TVarRec& V) : FKind(Kind::Value), FValue(V) {}
  TKLogValue(const char* V) : TKLogValue(TVarRec(V)) {}
  TKLogValue(const AnsiString& V) : TKLogValue(TVarRec(V)) {}
  template <typename T>
  requires(std::is_arithmetic_v<T>) TKLogValue(T V) : TKLogValue(TVarRec(V)) {}

  static TKLogValue Empty() { return TKLogValue(); }
  static TKLogValue Null() {
    TKLogValue v;
    v.FKind = Kind::Null;
    return v;
  }

  Kind ValueKind() const { return FKind; }
  // The value as text; raises EConvertError for a null value.
  AnsiString ToText() const;

private:
  Kind FKind = Kind::Empty;
  TVarRec FValue{0};
};

// Looks for the viewer and sends "#START {program path}".  Does nothing once
// a viewer has been found.
void ConnectDebugWindow();
// One line formatted with Format; a format that does not fit its arguments
// sends "Error" instead.
void DebugFmt(const AnsiString& Fmt, std::initializer_list<TVarRec> Args);
// The values as text joined by ", " (a separator only after a non-empty
// beginning); a value without text makes the line "Error".
void DebugValues(std::initializer_list<TKLogValue> Values);
// "{" + the program's own path + "}".
AnsiString ModuleTag();

// The wParam of every message: the GUI framework's application window
// handle.  The GUI layer installs its source once the application object
// exists; until then 0 is sent.  nullptr restores that.
void SetDebugApplicationHandleSource(std::function<WPARAM()> Source);
WPARAM DebugApplicationHandle();

// Start-up step: DebugWindow := -1, then ConnectDebugWindow.
void klog_initialization();
// Shut-down step: the module has none (the handle stays to the end).
void klog_finalization();
