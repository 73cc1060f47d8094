// A drawing call on a device context as a value, for the recorder of the
// test support (SetDrawRecorder); no Qt in this header.
#pragma once

#include <functional>

#include "platform/gui/graphics.h"

namespace platform {

// One drawing call on a device context.
struct DrawOp {
  enum Kind { Fill, Frame, Line, Text, FocusRect, Edge, Rectangle, Ellipse, Pixel, FrameControl, Picture };
  Kind kind = Fill;
  TRect Rect;            // Fill/Frame/FocusRect/Edge/Rectangle/Text (the text's rectangle)
  TPoint From, To;       // Line (To excluded)
  AnsiString TextValue;  // Text
  AnsiString FontName;
  int FontHeight = 0;
  int Escapement = 0;
  TColor Color = clBlack;    // brush colour (Fill ...), pen colour (Line), text colour (Text)
  TColor BkColor = clWhite;  // Text
  bool Opaque = false;       // Text: background filled
  UINT Flags = 0;            // DrawText/ExtTextOut/DrawEdge flags
};
using DrawRecorder = std::function<void(const DrawOp&)>;

}  // namespace platform
