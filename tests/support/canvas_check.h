// Canvas checks: a recorder of drawing calls and helpers over rendered pixels.
#pragma once

#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/testing.h"

namespace zeltest {

// Records every drawing call while it lives.
class DrawRecording {
public:
  DrawRecording();
  ~DrawRecording();
  DrawRecording(const DrawRecording&) = delete;
  DrawRecording& operator=(const DrawRecording&) = delete;

  const std::vector<platform::DrawOp>& Ops() const { return FOps; }
  std::vector<platform::DrawOp> OfKind(platform::DrawOp::Kind Kind) const;
  // The texts drawn, in order.
  std::vector<AnsiString> Texts() const;
  // The text calls whose rectangle (clip or opaque rectangle) is R, in order.
  std::vector<platform::DrawOp> TextsIn(const TRect& R) const;
  void Clear() { FOps.clear(); }

private:
  std::vector<platform::DrawOp> FOps;
  platform::DrawRecorder FPrevious;
};

// The smallest rectangle holding every pixel that differs from Background
// (empty when none does).
TRect InkBounds(const platform::PixelImage& Image, TColor Background);
// The same within R only (empty when no pixel of R differs).
TRect InkBounds(const platform::PixelImage& Image, const TRect& R, TColor Background);
// Number of pixels of that colour.
int CountColor(const platform::PixelImage& Image, TColor Color);

}  // namespace zeltest
