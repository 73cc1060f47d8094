// The masked edit's own painting while it is not the active control:
// background, alignment, the disabled colour; the native edit while it is.
#include <gtest/gtest.h>

#include "controls/K_Edit.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "tests/controls/K_Edit_support.h"
#include "tests/support/canvas_check.h"

using zeltest::EditForm;

namespace {

// The inside of the edit, within the native frame.
TRect Inside(TControl* C) { return TRect(2, 2, C->Width() - 2, C->Height() - 2); }

// Columns inside R holding a pixel that is not Background: first and last
// (-1, -1 when none).
std::pair<int, int> InkColumns(const platform::PixelImage& Img, const TRect& R, TColor Background) {
  int first = -1, last = -1;
  for (int x = R.Left; x < R.Right; ++x)
    for (int y = R.Top; y < R.Bottom; ++y)
      if (Img.At(x, y) != Background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

int TextWidthOf(TControl* C, const AnsiString& S) {
  auto canvas = platform::CreateImageCanvas(1, 1);
  canvas->Font()->Assign(C->Font());
  return canvas->TextWidth(S);
}

class KEditPaint : public EditForm {};

TEST_F(KEditPaint, AlignmentWhileNotFocused) {
  edit->SetColor(clWhite);
  edit->SetText("123");
  const TRect r = Inside(edit);
  const int w = TextWidthOf(edit, "123");
  struct Case {
    TAlignment Align;
    int From, To;  // where the ink may begin
  } cases[] = {
      {taLeftJustify, r.Left + 1, r.Left + 3},
      {taRightJustify, r.Right - w - 3, r.Right - w + 1},
      {taCenter, (r.Left + r.Right - w) / 2, (r.Left + r.Right - w) / 2 + 2},
  };
  for (const auto& c : cases) {
    edit->SetAlignment(c.Align);
    const auto img = platform::RenderControl(edit);
    const auto ink = InkColumns(img, r, clWhite);
    EXPECT_GE(ink.first, c.From) << c.Align;
    EXPECT_LE(ink.first, c.To) << c.Align;
    EXPECT_LE(ink.second, r.Right - 1) << c.Align;
    EXPECT_LE(ink.second - ink.first, w) << c.Align;
  }
}

TEST_F(KEditPaint, BackgroundAndDisabledColour) {
  edit->SetColor(clInfoBk);
  edit->SetText("4711");
  edit->SetEnabled(false);
  auto img = platform::RenderControl(edit);
  const TColor infoBk = ColorToRGB(clInfoBk);
  const TRect r = Inside(edit);
  EXPECT_EQ(img.At(r.Left, r.Top), infoBk);
  EXPECT_EQ(img.At(r.Right - 1, r.Bottom - 1), infoBk);
  EXPECT_GT(zeltest::CountColor(img, clRed), 0);  // ColorDisabled
  edit->SetColorDisabled(clBlue);
  img = platform::RenderControl(edit);
  EXPECT_EQ(zeltest::CountColor(img, clRed), 0);
  EXPECT_GT(zeltest::CountColor(img, clBlue), 0);
  // Enabled: the font colour.
  edit->SetEnabled(true);
  img = platform::RenderControl(edit);
  EXPECT_EQ(zeltest::CountColor(img, clBlue), 0);
  EXPECT_GT(zeltest::CountColor(img, ColorToRGB(clWindowText)), 0);
}

TEST_F(KEditPaint, ShowsTheFormattedValueAndRefreshesEText) {
  edit->SetColor(clWhite);
  edit->SetEditMask("99.99.9999");
  edit->SetText("01.02.2024");
  const auto img = platform::RenderControl(edit);
  const auto ink = InkColumns(img, Inside(edit), clWhite);
  EXPECT_GE(ink.second - ink.first + 1, TextWidthOf(edit, "01.02.2024") - 3);
  EXPECT_EQ(edit->FetchEText(), "01022024");
}

TEST_F(KEditPaint, TheActiveControlShowsTheNativeEdit) {
  edit->SetAlignment(taRightJustify);
  edit->SetText("123");
  Show(edit);
  // Focused: left-aligned in ColorBackground, whatever Alignment says.
  const auto img = platform::RenderControl(edit);
  const TRect r = Inside(edit);
  const TColor back = ColorToRGB(edit->ColorBackground());
  const auto ink = InkColumns(img, TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), back);
  ASSERT_GE(ink.first, 0);
  EXPECT_LT(ink.first, r.Left + 8);
  EXPECT_GT(zeltest::CountColor(img, back), 0);
  // Left again: right-aligned.
  other->SetFocus();
  zeltest::RunPostedMessages();
  edit->SetColor(clWhite);
  const auto after = platform::RenderControl(edit);
  const auto ink2 = InkColumns(after, r, clWhite);
  EXPECT_GT(ink2.first, r.Right - TextWidthOf(edit, "123") - 5);
}

TEST_F(KEditPaint, FlatLook) {
  FlatLook = true;
  auto* flat = new TStrEdit(form.get());
  flat->SetParent(form.get());
  flat->SetBounds(10, 150, 100, 21);
  flat->SetColor(clWhite);
  FlatLook = false;
  EXPECT_FALSE(flat->Ctl3D());
  FlatLook = true;
  const auto img = platform::RenderControl(flat);
  FlatLook = false;
  // A one-pixel frame in clBtnShadow on the inside's outermost pixels.
  const TRect r = Inside(flat);
  const TColor shadow = ColorToRGB(clBtnShadow);
  for (int x = r.Left; x < r.Right; ++x) {
    EXPECT_EQ(img.At(x, r.Top), shadow) << x;
    EXPECT_EQ(img.At(x, r.Bottom - 1), shadow) << x;
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    EXPECT_EQ(img.At(r.Left, y), shadow) << y;
    EXPECT_EQ(img.At(r.Right - 1, y), shadow) << y;
  }
  EXPECT_EQ(img.At(r.Left + 1, r.Top + 1), clWhite);
  // Without it, no such frame.
  const auto plain = platform::RenderControl(flat);
  EXPECT_EQ(plain.At(r.Left + 5, r.Top), clWhite);
}

}  // namespace
