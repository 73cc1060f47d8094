// Helpers of the kCtrls tests: a replaceable tick clock, the posted focus
// hand-on, drawing one item through CN_DRAWITEM onto an image canvas.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "controls/kCtrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "tests/support/fake_clock.h"
#include "tests/support/gui_input.h"

namespace zeltest {

using zeltest::FakeClock;

using zeltest::TakeNextDlgCtl;

// A character through the message path (WM_CHAR -> KeyPress).
inline void Char(TWinControl* C, char Key) {
  C->Perform(WM_CHAR, static_cast<unsigned char>(Key), 0);
}
// A key-down through the message path (WM_KEYDOWN -> KeyDown).
inline void KeyDown(TWinControl* C, WORD Key, bool Alt = false) {
  C->Perform(Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, Key, Alt ? static_cast<LPARAM>(0x20000000) : 0);
}

// Draws item Index of an owner-drawn box through CN_DRAWITEM onto a fresh
// image canvas of Width x Height (the item rectangle is all of it).
inline std::unique_ptr<TCanvas> DrawThroughOwnerDraw(TWinControl* Box, int Index, UINT State, int Width,
                                                     int Height, UINT Type, TColor Background = clWhite) {
  auto canvas = platform::CreateImageCanvas(Width, Height, Background);
  DRAWITEMSTRUCT dis;
  dis.CtlType = Type;
  dis.itemID = static_cast<UINT>(Index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = State;
  dis.hDC = canvas->Handle();
  dis.rcItem = RECT{0, 0, Width, Height};
  Box->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  return canvas;
}

}  // namespace zeltest
