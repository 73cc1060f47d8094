#include "tests/support/canvas_check.h"

#include <algorithm>

namespace zeltest {

DrawRecording::DrawRecording() {
  FPrevious = platform::SetDrawRecorder([this](const platform::DrawOp& op) { FOps.push_back(op); });
}

DrawRecording::~DrawRecording() { platform::SetDrawRecorder(std::move(FPrevious)); }

std::vector<platform::DrawOp> DrawRecording::OfKind(platform::DrawOp::Kind Kind) const {
  std::vector<platform::DrawOp> r;
  for (const auto& op : FOps)
    if (op.kind == Kind) r.push_back(op);
  return r;
}

std::vector<AnsiString> DrawRecording::Texts() const {
  std::vector<AnsiString> r;
  for (const auto& op : FOps)
    if (op.kind == platform::DrawOp::Text) r.push_back(op.TextValue);
  return r;
}

TRect InkBounds(const platform::PixelImage& Image, TColor Background) {
  int l = Image.Width, t = Image.Height, r = -1, b = -1;
  for (int y = 0; y < Image.Height; ++y)
    for (int x = 0; x < Image.Width; ++x)
      if (Image.At(x, y) != Background) {
        l = std::min(l, x);
        t = std::min(t, y);
        r = std::max(r, x);
        b = std::max(b, y);
      }
  if (r < 0) return TRect();
  return TRect(l, t, r + 1, b + 1);
}

int CountColor(const platform::PixelImage& Image, TColor Color) {
  return static_cast<int>(std::count(Image.Pixels.begin(), Image.Pixels.end(), Color));
}

}  // namespace zeltest
