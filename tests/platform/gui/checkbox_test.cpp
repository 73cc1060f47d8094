// The button and the check box: clicks, the modal result, the focus
// rectangle and the looks of disabled controls.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/gui_input.h"

namespace {

using zeltest::FormTest;
using zeltest::PressKey;

// ---------------------------------------------------------------- buttons

TEST_F(FormTest, ButtonClickAndCheckBoxToggle) {
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetCaption("Suchen");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  auto* check = new TCheckBox(form.get());
  check->SetParent(form.get());
  check->SetBounds(10, 50, 120, 17);
  check->SetCaption("Bild anzeigen");
  int toggles = 0;
  check->OnClick = [&](TObject*) { ++toggles; };
  Show(button);

  zeltest::Click(button, 10, 10);
  EXPECT_EQ(clicks, 1);
  PressKey(VK_SPACE);
  EXPECT_EQ(clicks, 2);
  button->SetEnabled(false);
  zeltest::Click(button, 10, 10);
  EXPECT_EQ(clicks, 2);

  zeltest::Click(check, 6, 8);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(toggles, 1);
  zeltest::Click(check, 6, 8);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(toggles, 2);
  // Setting Checked fires the click as the class library's check box does.
  check->SetChecked(true);
  EXPECT_EQ(toggles, 3);
  check->SetChecked(true);
  EXPECT_EQ(toggles, 3);
}

// ---------------------------------------------------------------- looks

// The darkest pixel of a rendered control: its caption's colour.
TColor DarkestPixel(const platform::PixelImage& Image) {
  TColor best = clWhite;
  int bestSum = 3 * 255 + 1;
  for (TColor c : Image.Pixels) {
    const int sum = static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF));
    if (sum < bestSum) {
      bestSum = sum;
      best = c;
    }
  }
  return best;
}

// A button, a check box and an edit, as the main window has them.
class LooksTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetCaption("Anmelden");
    check = new TCheckBox(form.get());
    check->SetParent(form.get());
    check->SetBounds(10, 40, 120, 17);
    check->SetCaption("Bild anzeigen");
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 70, 120, 21);
    edit->SetText("Suchen");
    Show(button);
  }
  TButton* button = nullptr;
  TCheckBox* check = nullptr;
  TEdit* edit = nullptr;
};

// A disabled control draws its caption in clGrayText, an enabled one in
// its font colour.
TEST_F(LooksTest, DisabledControlsDrawTheirTextGrey) {
  for (TWinControl* c : std::initializer_list<TWinControl*>{button, check, edit}) {
    SCOPED_TRACE(c->ClassName());
    c->SetEnabled(true);
    EXPECT_EQ(DarkestPixel(platform::RenderControl(c)), clBlack);
    c->SetEnabled(false);
    EXPECT_EQ(DarkestPixel(platform::RenderControl(c)), ColorToRGB(clGrayText));
  }
}

// A check box or button with the focus shows the platform's dotted focus
// rectangle (inside the button, round the check box's caption); without the
// focus it shows none.
TEST_F(LooksTest, AFocusedCheckBoxOrButtonShowsTheFocusRectangle) {
  TEdit* other = edit;
  for (TWinControl* c : std::initializer_list<TWinControl*>{check, button}) {
    SCOPED_TRACE(c->ClassName());
    // The focus rectangles drawn while the control paints itself once.
    auto focusRects = [c] {
      std::vector<TRect> rects;
      auto previous = platform::SetDrawRecorder([&](const platform::DrawOp& Op) {
        if (Op.kind == platform::DrawOp::FocusRect) rects.push_back(Op.Rect);
      });
      platform::RenderControl(c);
      platform::SetDrawRecorder(previous);
      return rects;
    };
    other->SetFocus();
    zeltest::RunPostedMessages();
    EXPECT_TRUE(focusRects().empty());
    c->SetFocus();
    zeltest::RunPostedMessages();
    ASSERT_TRUE(c->Focused());
    const std::vector<TRect> rects = focusRects();
    ASSERT_EQ(rects.size(), 1u);
    const TRect r = rects[0];
    EXPECT_GE(r.Left, 0);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Right, c->Width());
    EXPECT_LE(r.Bottom, c->Height());
    EXPECT_GT(r.Width(), 10);
    if (c == check) {
      EXPECT_GT(r.Left, 12);  // round the caption, right of the box
    }
  }
}

TEST(Button, ModalResultGoesToTheForm) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetModalResult(mrOk);
  button->Click();
  EXPECT_EQ(form.ModalResult(), mrOk);
}

}  // namespace
