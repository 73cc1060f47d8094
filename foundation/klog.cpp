#include "foundation/klog.h"

#include <utility>

LONG_PTR DebugWindow = -1;

namespace {

std::function<WPARAM()> GApplicationHandleSource;

// A viewer that let a line time out gets the later lines handed over
// without a wait until it has taken them all: one that was busy for a while
// misses nothing, and one that stops reading costs the program a single
// time-out, not one per line.
void SendLine(const AnsiString& Line) {
  COPYDATASTRUCT cds{};
  cds.dwData = 0;
  cds.cbData = static_cast<DWORD>(Line.size() + 1);
  // The record points at the line's own bytes, NUL included.
  cds.lpData = const_cast<char*>(Line.c_str());
  const HWND Viewer = reinterpret_cast<HWND>(DebugWindow);
  const LPARAM Record = reinterpret_cast<LPARAM>(&cds);
  if (IsHungAppWindow(Viewer)) {
    DWORD_PTR Result = 0;
    SendMessageTimeoutA(Viewer, WM_COPYDATA, DebugApplicationHandle(), Record, SMTO_NORMAL, 0, &Result);
  } else {
    SendMessageA(Viewer, WM_COPYDATA, DebugApplicationHandle(), Record);
  }
}

}  // namespace

AnsiString TKLogValue::ToText() const {
  switch (FKind) {
    case Kind::Empty: return AnsiString();
    case Kind::Null: throw EConvertError("Variant Null kann nicht in String umgewandelt werden");
    case Kind::Value: break;
  }
  switch (FValue.VType) {
    case TVarRec::Kind::Integer: return IntToStr(FValue.VInteger);
    case TVarRec::Kind::Unsigned: return std::to_string(static_cast<std::uint64_t>(FValue.VInteger));
    case TVarRec::Kind::Float: return FloatToStr(static_cast<double>(FValue.VFloat));
    case TVarRec::Kind::String: return FValue.VString;
    case TVarRec::Kind::Char: return AnsiString(1, FValue.VChar);
    case TVarRec::Kind::Boolean: return FValue.VInteger ? "True" : "False";
    case TVarRec::Kind::Pointer: break;
  }
  throw EConvertError("Variant kann nicht in String umgewandelt werden");
}

void SetDebugApplicationHandleSource(std::function<WPARAM()> Source) {
  GApplicationHandleSource = std::move(Source);
}

WPARAM DebugApplicationHandle() { return GApplicationHandleSource ? GApplicationHandleSource() : 0; }

AnsiString ModuleTag() {
  char path[MAX_PATH + 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return "{" + AnsiString(path, n < sizeof path ? n : sizeof path - 1) + "}";
}

void ConnectDebugWindow() {
  if (DebugWindow >= 0) return;
  HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  if (h == nullptr) return;
  DebugWindow = reinterpret_cast<LONG_PTR>(h);
  DebugValues({TKLogValue("#START " + ModuleTag())});
}

void DebugFmt(const AnsiString& Fmt, std::initializer_list<TVarRec> Args) {
  if (DebugWindow < 0) return;
  AnsiString Line;
  try {
    Line = Format(Fmt, Args);
  } catch (const std::exception&) {
    Line = "Error";
  }
  SendLine(Line);
}

void DebugValues(std::initializer_list<TKLogValue> Values) {
  if (DebugWindow < 0) return;
  AnsiString Line;
  try {
    for (const TKLogValue& v : Values) {
      const AnsiString t = v.ToText();
      if (Line.empty())
        Line = t;
      else
        Line += ", " + t;
    }
  } catch (const std::exception&) {
    Line = "Error";
  }
  SendLine(Line);
}

void klog_initialization() {
  DebugWindow = -1;
  ConnectDebugWindow();
}

void klog_finalization() {}
