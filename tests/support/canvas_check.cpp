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

std::vector<platform::DrawOp> DrawRecording::TextsIn(const TRect& R) const {
  std::vector<platform::DrawOp> r;
  for (const auto& op : FOps)
    if (op.kind == platform::DrawOp::Text && op.Rect == R) r.push_back(op);
  return r;
}

TRect InkBounds(const platform::PixelImage& Image, TColor Background) {
  return InkBounds(Image, TRect(0, 0, Image.Width, Image.Height), Background);
}

TRect InkBounds(const platform::PixelImage& Image, const TRect& R, TColor Background) {
  int l = R.Right, t = R.Bottom, r = -1, b = -1;
  for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, Image.Height); ++y)
    for (int x = std::max(R.Left, 0); x < std::min(R.Right, Image.Width); ++x)
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
