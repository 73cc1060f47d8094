#include "foundation/language.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/gui/controls.h"
#include "platform/rtl/classes.h"

std::int32_t LanguageId = 1;
bool IsWinNT = false;
bool FlatLook = false;
platform::TControlRef LastExitControl;

// ---------------------------------------------------------------- weak reference

namespace platform {

// Receives the free notification of the referenced control.
class TControlRefWatcher : public TComponent {
  ZEL_CLASS(TControlRefWatcher, TComponent)
public:
  explicit TControlRefWatcher(TControlRef* ARef) : TComponent(nullptr), FRef(ARef) {}

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FRef->Forget(AComponent);
  }

private:
  TControlRef* FRef;
};

TControlRef::TControlRef() = default;

TControlRef::~TControlRef() {
  Clear();
  FWatcher.reset();
}

void TControlRef::Clear() {
  if (FComponent != nullptr && FWatcher != nullptr) FComponent->RemoveFreeNotification(FWatcher.get());
  FControl = nullptr;
  FComponent = nullptr;
}

TControlRef& TControlRef::operator=(TWinControl* Control) {
  if (Control == FControl) return *this;
  Clear();
  if (Control != nullptr) {
    if (FWatcher == nullptr) FWatcher = std::make_unique<TControlRefWatcher>(this);
    FControl = Control;
    FComponent = Control;
    FComponent->FreeNotification(FWatcher.get());
  }
  return *this;
}

void TControlRef::Forget(TComponent* Component) {
  if (Component != nullptr && Component == FComponent) {
    FControl = nullptr;
    FComponent = nullptr;
  }
}

}  // namespace platform

// ---------------------------------------------------------------- escapes

std::int32_t Cp1250Letter(std::int32_t Code) {
  switch (Code) {
    case 0x8C: return 0x015A;  // Ś
    case 0x8F: return 0x0179;  // Ź
    case 0x9C: return 0x015B;  // ś
    case 0x9F: return 0x017A;  // ź
    case 0xA3: return 0x0141;  // Ł
    case 0xA5: return 0x0104;  // Ą
    case 0xAF: return 0x017B;  // Ż
    case 0xB3: return 0x0142;  // ł
    case 0xB9: return 0x0105;  // ą
    case 0xBF: return 0x017C;  // ż
    case 0xC6: return 0x0106;  // Ć
    case 0xCA: return 0x0118;  // Ę
    case 0xD1: return 0x0143;  // Ń
    case 0xD3: return 0x00D3;  // Ó
    case 0xE6: return 0x0107;  // ć
    case 0xEA: return 0x0119;  // ę
    case 0xF1: return 0x0144;  // ń
    case 0xF3: return 0x00F3;  // ó
    default: return Code;
  }
}

namespace {

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

}  // namespace

bool AnsiToWideEsc(const AnsiString& S, WideString& W) {
  const bool Polish = LanguageId == 9;
  const std::size_t N = S.size();
  bool Changed = false;
  WideString Result;
  Result.reserve(N);
  std::size_t I = 0;  // 0-based
  while (I < N) {
    if (S[I] == '\\' && I + 1 < N && S[I + 1] == 'x') {
      // Up to four characters after the "x"; they must all be hex digits.
      const std::size_t Avail = std::min<std::size_t>(4, N - (I + 2));
      unsigned Value = 0;
      for (std::size_t K = 0; K < Avail; ++K) {
        const int D = HexDigit(S[I + 2 + K]);
        if (D < 0) {
          Value = 0;
          break;
        }
        Value = Value * 16 + static_cast<unsigned>(D);
      }
      if (Value > 0) {
        Result.push_back(static_cast<char16_t>(Value));
        Changed = true;
        I += 6;
        continue;
      }
      // Malformed: the backslash and the "x" vanish, and the next character
      // is plain text whatever it is.
      I += 2;
      if (I >= N) break;
    }
    std::int32_t B = static_cast<unsigned char>(S[I]);
    if (Polish) {
      const std::int32_t M = Cp1250Letter(B);
      if (M != B) {
        Changed = true;
        B = M;
      }
    }
    Result.push_back(static_cast<char16_t>(B));
    ++I;
  }
  W = std::move(Result);
  return Changed;
}

bool EscapedToWide(const AnsiString& S, WideString& W) { return AnsiToWideEsc(S, W); }

void EscapedWideText(const AnsiString& S, WideString& W) { AnsiToWideEsc(S, W); }

WideString EscapedWideText(const AnsiString& S) {
  WideString W;
  AnsiToWideEsc(S, W);
  return W;
}

// ---------------------------------------------------------------- drawing

void DrawEscapedText(HDC DC, RECT& Rect, const AnsiString& Text, UINT Format) {
  WideString W;
  const bool Changed = EscapedToWide(Text, W);
  if (IsWinNT && Changed)
    DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &Rect, Format);
  else
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &Rect, Format);
}

// ---------------------------------------------------------------- colours

namespace {

// One channel times the factor, rounded half to even (the default rounding
// mode) and kept within 0..255; a negative or undefined product gives 0.
int ScaleChannel(int Channel, long double Factor) {
  const long double X = std::nearbyint(static_cast<long double>(Channel) * Factor);
  if (!(X > 0)) return 0;
  if (X > 255) return 255;
  return static_cast<int>(X);
}

}  // namespace

TColor ScaleColor(TColor Color, long double Factor) {
  const std::uint32_t RGBValue =
      Color >= 0 ? static_cast<std::uint32_t>(Color) : static_cast<std::uint32_t>(GetSysColor(Color & 0xFF));
  const int R = ScaleChannel(static_cast<int>(RGBValue & 0xFF), Factor);
  const int G = ScaleChannel(static_cast<int>((RGBValue >> 8) & 0xFF), Factor);
  const int B = ScaleChannel(static_cast<int>((RGBValue >> 16) & 0xFF), Factor);
  return static_cast<TColor>(R + G * 256 + B * 65536);
}

// ---------------------------------------------------------------- start-up

void language_initialization() {
  LastExitControl = nullptr;
  FlatLook = false;
  LanguageId = 1;
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  IsWinNT = GetVersionExA(&Info) != FALSE && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void language_finalization() {}
