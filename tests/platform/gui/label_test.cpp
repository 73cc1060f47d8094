// The label: its size through DoDrawText, its painting, its focus control.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/canvas_check.h"

namespace {

using zeltest::FormTest;

// ---------------------------------------------------------------- label

class TProbeLabel : public TLabel {
public:
  using TLabel::TLabel;
  std::vector<UINT> Flags;

protected:
  void DoDrawText(TRect& Rect, UINT F) override {
    Flags.push_back(F);
    TLabel::DoDrawText(Rect, F);
  }
};

TEST_F(FormTest, LabelAutoSizeMeasuresThroughDoDrawText) {
  auto* label = new TProbeLabel(form.get());
  label->SetParent(form.get());
  label->SetLeft(30);
  label->SetCaption("Lieferant");
  auto canvas = platform::CreateImageCanvas(1, 1);
  canvas->Font()->Assign(label->Font());
  ASSERT_FALSE(label->Flags.empty());
  EXPECT_TRUE(label->Flags.back() & DT_CALCRECT);
  EXPECT_EQ(label->Width(), canvas->TextWidth("Lieferant"));
  EXPECT_EQ(label->Height(), canvas->TextHeight("Lieferant"));

  // Right-justified labels keep their right edge; an empty caption keeps one line.
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("Land");
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->SetCaption("");
  EXPECT_EQ(label->Height(), canvas->TextHeight("W"));

  // Without AutoSize the bounds stay.
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 200, 40);
  label->SetCaption("Artikelnummer");
  EXPECT_EQ(label->Width(), 200);

  // Painting: the background unless transparent, then the text.
  label->Flags.clear();
  {
    zeltest::DrawRecording rec;
    platform::RenderControl(label);
    EXPECT_FALSE(rec.OfKind(platform::DrawOp::Fill).empty());
    EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"Artikelnummer"}));
  }
  ASSERT_FALSE(label->Flags.empty());
  EXPECT_FALSE(label->Flags.back() & DT_CALCRECT);
  EXPECT_TRUE(label->Flags.back() & DT_RIGHT);
  label->SetTransparent(true);
  zeltest::DrawRecording rec;
  platform::RenderControl(label);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Fill).empty());
}

TEST(Label, FocusControlIsAWeakReference) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  auto* edit = new TEdit(&form);
  label->SetFocusControl(edit);
  EXPECT_EQ(label->FocusControl(), edit);
  delete edit;
  EXPECT_EQ(label->FocusControl(), nullptr);
}

}  // namespace
