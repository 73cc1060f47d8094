// Key and mouse input for tests, in the class library's terms (virtual
// keys, shift states, client coordinates).  Every call lets the posted
// messages run afterwards, as the message loop would.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"

namespace zeltest {

inline bool PressKey(WORD Key, TShiftState Shift = TShiftState()) { return platform::SendKey(Key, Shift); }
inline bool PressCtrl(char Letter) { return platform::SendKey(static_cast<WORD>(Letter), TShiftState{ssCtrl}); }
inline bool TypeText(const AnsiString& Text) { return platform::TypeText(Text); }
inline void Click(TControl* Control, int X = 2, int Y = 2) { platform::SendClick(Control, X, Y); }
inline void RunPostedMessages() { platform::ProcessPendingMessages(); }
inline void ShowForm(TCustomForm* Form) { platform::ShowAndActivate(Form); }

// The WM_NEXTDLGCTL messages waiting for a window (taken out of the queue):
// their wParam values in order.
inline std::vector<WPARAM> TakeNextDlgCtl(TWinControl* Target) {
  std::vector<WPARAM> r;
  MSG m;
  while (PeekMessage(&m, Target->Handle(), WM_NEXTDLGCTL, WM_NEXTDLGCTL, PM_REMOVE)) {
    EXPECT_EQ(m.lParam, 0);
    r.push_back(m.wParam);
  }
  return r;
}

}  // namespace zeltest
