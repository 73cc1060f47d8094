// TSpeedButton: clicks, groups, painting.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/buttons.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

namespace {

TEST(SpeedButton, ClickOnlyWhenReleasedInside) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* b = new TSpeedButton(&form);
  b->SetParent(&form);
  b->SetBounds(10, 10, 23, 22);
  b->SetCaption("P");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  zeltest::ShowForm(&form);
  zeltest::Click(b, 5, 5);
  EXPECT_EQ(clicks, 1);
  platform::SendMouseDown(b, mbLeft, 5, 5);
  EXPECT_EQ(b->State(), bsDown);
  platform::SendMouseMove(b, 40, 5, TShiftState{ssLeft});
  EXPECT_EQ(b->State(), bsUp);  // dragged off
  platform::SendMouseUp(b, mbLeft, 40, 5);
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  zeltest::Click(b, 5, 5);
  EXPECT_EQ(clicks, 1);
}

TEST(SpeedButton, GroupKeepsOneButtonDown) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  TSpeedButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = new TSpeedButton(&form);
    b[i]->SetParent(&form);
    b[i]->SetBounds(10 + 30 * i, 10, 23, 22);
    b[i]->SetGroupIndex(1);
  }
  zeltest::ShowForm(&form);
  zeltest::Click(b[0], 5, 5);
  EXPECT_TRUE(b[0]->Down());
  zeltest::Click(b[2], 5, 5);
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[2]->Down());
  zeltest::Click(b[2], 5, 5);
  EXPECT_TRUE(b[2]->Down());  // the last one down stays down
  b[2]->SetAllowAllUp(true);
  zeltest::Click(b[2], 5, 5);
  EXPECT_FALSE(b[2]->Down());
  // Without a group a button never stays down.
  TSpeedButton single(nullptr);
  single.SetDown(true);
  EXPECT_FALSE(single.Down());
}

TEST(SpeedButton, PaintsFaceFrameAndCaption) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* b = new TSpeedButton(&form);
  b->SetParent(&form);
  b->SetCaption("K");
  zeltest::DrawRecording rec;
  platform::RenderControl(b);
  EXPECT_EQ(rec.OfKind(platform::DrawOp::Edge).size(), 1u);
  EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"K"}));
  rec.Clear();
  b->SetFlat(true);  // flat: no frame while the mouse is elsewhere
  platform::RenderControl(b);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Edge).empty());
}

}  // namespace
