// Drawn labels: the escape-drawing caption label and the boxed label with
// its plain, separator and chunk modes, pen, borders and repainting.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/Klabel.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

namespace {

using platform::DrawOp;

// Counts the paint routine's runs.
class ProbeKlabel : public TKlabel {
public:
  using TKlabel::TKlabel;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    TKlabel::Paint();
  }
};

class LabelForm : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 400, 200);
    label = new ProbeKlabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 10, 120, 17);
  }
  void TearDown() override { form.reset(); }
  // Paints the label and returns what it drew.
  std::vector<DrawOp> Draw(DrawOp::Kind Kind) {
    zeltest::DrawRecording rec;
    platform::RenderControl(label);
    return rec.OfKind(Kind);
  }
  std::vector<AnsiString> Texts() {
    zeltest::DrawRecording rec;
    platform::RenderControl(label);
    return rec.Texts();
  }
  int TextWidth(const AnsiString& S) {
    auto c = platform::CreateImageCanvas(1, 1);
    c->Font()->Assign(label->Font());
    return c->TextWidth(S);
  }
  std::unique_ptr<TForm> form;
  ProbeKlabel* label = nullptr;
};

// ---------------------------------------------------------------- TKlabel

TEST_F(LabelForm, Defaults) {
  TKlabel l(nullptr);
  EXPECT_EQ(l.BoxWidth(), 32);
  EXPECT_EQ(l.Pen()->Color(), clGray);
  EXPECT_EQ(l.Pen()->Style(), psSolid);
  EXPECT_EQ(l.Pen()->Mode(), pmCopy);
  EXPECT_EQ(l.Pen()->Width(), 1);
  EXPECT_EQ(l.BorderStyle(), sbsSingle);
  EXPECT_FALSE(l.Separator());
  EXPECT_TRUE(l.Numeric());
  EXPECT_TRUE(l.AutoLen());
  EXPECT_EQ(l.FieldLen(), 0);
  EXPECT_FALSE(l.AutoSize());
  EXPECT_FALSE(l.ParentColor());
  EXPECT_FALSE(l.Transparent());
  EXPECT_EQ(l.Color(), clWhite);
  EXPECT_EQ(l.Height(), 17);
}

TEST_F(LabelForm, PlainModeDisplayText) {
  label->SetAutoLen(false);
  const struct {
    const char* Caption;
    const char* Drawn;
  } cases[] = {{"A&B", "A&&B"}, {"A_B", "A B"}, {"Gr\xF6\xDF" "e", "Gr\xF6\xDF" "e"}, {"", ""}};
  for (const auto& c : cases) {
    label->SetCaption(c.Caption);
    const auto ops = Draw(DrawOp::Text);
    ASSERT_EQ(ops.size(), 1u) << c.Caption;
    EXPECT_EQ(ops[0].TextValue, c.Drawn);
    EXPECT_EQ(ops[0].Flags, DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(ops[0].Rect, TRect(2, 0, 118, 17));
  }
  label->SetAlignment(taRightJustify);
  EXPECT_EQ(Draw(DrawOp::Text)[0].Flags, DT_VCENTER | DT_SINGLELINE | DT_RIGHT);
  label->SetAlignment(taCenter);
  EXPECT_EQ(Draw(DrawOp::Text)[0].Flags, DT_VCENTER | DT_SINGLELINE | DT_CENTER);
}

TEST_F(LabelForm, PlainModeShowsTheAmpersandItself) {
  label->SetAutoLen(false);
  label->SetBorderStyle(sbsNone);
  label->SetCaption("A&B");
  const auto shown = platform::RenderControl(label);
  // The same as "A&B" drawn without prefix handling.
  auto c = platform::CreateImageCanvas(label->Width(), label->Height());
  c->Font()->Assign(label->Font());
  c->Brush()->SetStyle(bsClear);
  TRect r(2, 0, 118, 17);
  DrawTextA(c->Handle(), "A&B", 3, &r, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  const auto expected = platform::CanvasPixels(c.get());
  EXPECT_EQ(zeltest::InkBounds(shown, clWhite), zeltest::InkBounds(expected, clWhite));
}

TEST_F(LabelForm, PlainModeAutoLen) {
  label->SetCaption("Gr\xF6\xDF");
  const auto ops = Draw(DrawOp::Text);
  const int w = TextWidth("Gr\xF6\xDF");
  EXPECT_EQ(label->Width(), w + 5);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect.Left, 2);
  EXPECT_EQ(ops[0].Rect.Right, w + 2);
  // Settles: the next paint keeps the width.
  platform::ProcessPendingMessages();
  Draw(DrawOp::Text);
  EXPECT_EQ(label->Width(), w + 5);
  // An empty text keeps the width.
  label->SetCaption("");
  Draw(DrawOp::Text);
  EXPECT_EQ(label->Width(), w + 5);
}

TEST_F(LabelForm, SeparatorMode) {
  label->SetSeparator(true);
  label->SetCaption("1, 2 ,3");
  zeltest::DrawRecording rec;
  platform::RenderControl(label);
  const auto texts = rec.OfKind(DrawOp::Text);
  ASSERT_EQ(texts.size(), 3u);
  const char* expected[] = {"1", "2", "3"};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(texts[k].TextValue, expected[k]);
    EXPECT_EQ(texts[k].Flags, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(texts[k].Rect, TRect(k * 32, 0, (k + 1) * 32 - 2, 17)) << k;
  }
  const auto lines = rec.OfKind(DrawOp::Line);
  // Three separators, then the four sides of the border.
  ASSERT_EQ(lines.size(), 7u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(lines[k].From, TPoint((k + 1) * 32, 0));
    EXPECT_EQ(lines[k].To, TPoint((k + 1) * 32, 17));
    EXPECT_EQ(lines[k].Color, clGray);
  }
  EXPECT_EQ(label->Width(), 3 * 32 + 1);
}

TEST_F(LabelForm, SeparatorItemsKeepTheirPrefix) {
  label->SetSeparator(true);
  label->SetCaption("a&b,c_d");
  EXPECT_EQ(Texts(), (std::vector<AnsiString>{"a&b", "c_d"}));
}

TEST_F(LabelForm, SeparatorBoxesFollowBoxWidth) {
  label->SetSeparator(true);
  label->SetBoxWidth(40);
  label->SetCaption("7,8");
  const auto texts = Draw(DrawOp::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].Rect, TRect(40, 0, 78, 17));
  EXPECT_EQ(label->Width(), 81);
}

TEST_F(LabelForm, EmptyCaptionInBoxModes) {
  label->SetSeparator(true);
  EXPECT_TRUE(Draw(DrawOp::Text).empty());
  EXPECT_EQ(label->Width(), 1);
  label->SetFieldLen(3);
  label->SetWidth(50);
  EXPECT_TRUE(Draw(DrawOp::Text).empty());
  EXPECT_EQ(label->Width(), 1);
}

TEST_F(LabelForm, ChunkMode) {
  const struct {
    int FieldLen;
    bool Numeric;
    const char* Caption;
    std::vector<AnsiString> Texts;
    std::vector<int> Boxes;  // box of each text
    int Count;
  } cases[] = {
      {3, true, "007000012", {"7", "12"}, {0, 2}, 3},
      {5, false, "ab_cd", {"ab cd"}, {0}, 1},
      {3, true, "1234", {"123", "4"}, {0, 1}, 2},  // the last chunk is what is left
      {3, false, "abcd", {"abc", "d"}, {0, 1}, 2},
      {2, true, "ab-2", {}, {}, 2},  // no integer, and below 1: empty boxes
      {2, false, "a&b", {"a&", "&b"}, {0, 1}, 2},  // chunks of the display text
  };
  for (const auto& c : cases) {
    label->SetNumeric(c.Numeric);
    label->SetFieldLen(c.FieldLen);
    label->SetCaption(c.Caption);
    zeltest::DrawRecording rec;
    platform::RenderControl(label);
    const auto texts = rec.OfKind(DrawOp::Text);
    ASSERT_EQ(texts.size(), c.Texts.size()) << c.Caption;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].TextValue, c.Texts[i]) << c.Caption;
      EXPECT_EQ(texts[i].Rect.Left, c.Boxes[i] * 32) << c.Caption;
    }
    EXPECT_EQ(rec.OfKind(DrawOp::Line).size(), static_cast<std::size_t>(c.Count + 4)) << c.Caption;
    EXPECT_EQ(label->Width(), c.Count * 32 + 1) << c.Caption;
    label->SetFieldLen(0);
  }
}

TEST_F(LabelForm, ModeSettersEmptyTheCaptionAndRepaintAtOnce) {
  zeltest::ShowForm(form.get());
  zeltest::RunPostedMessages();
  label->SetCaption("Text");
  label->SetBoxWidth(40);
  zeltest::RunPostedMessages();
  int paints = label->Paints;
  label->SetFieldLen(3);
  EXPECT_EQ(label->Paints, paints + 1);  // at once, not later
  EXPECT_EQ(label->Caption(), "");
  EXPECT_EQ(label->BoxWidth(), 32);
  EXPECT_FALSE(label->Separator());
  EXPECT_EQ(label->FieldLen(), 3);
  paints = label->Paints;
  label->SetFieldLen(3);  // the same value: nothing
  EXPECT_EQ(label->Paints, paints);
  label->SetCaption("123");
  zeltest::RunPostedMessages();
  paints = label->Paints;
  label->SetSeparator(true);
  EXPECT_EQ(label->Paints, paints + 1);
  EXPECT_EQ(label->Caption(), "");
  EXPECT_EQ(label->FieldLen(), 0);
  EXPECT_TRUE(label->Separator());
  paints = label->Paints;
  label->SetBorderStyle(sbsSunken);
  label->SetAutoLen(false);
  label->SetBoxWidth(20);
  label->Pen()->SetColor(clRed);
  EXPECT_EQ(label->Paints, paints + 4);
  paints = label->Paints;
  label->SetNumeric(false);  // a plain field
  EXPECT_EQ(label->Paints, paints);
}

TEST_F(LabelForm, SetPenCopiesTheAttributes) {
  auto other = std::make_unique<TPen>();
  other->SetColor(clRed);
  other->SetStyle(psDot);
  other->SetMode(pmXor);
  other->SetWidth(2);
  label->SetPen(other.get());
  other.reset();
  EXPECT_NE(label->Pen(), nullptr);
  EXPECT_EQ(label->Pen()->Color(), clRed);
  EXPECT_EQ(label->Pen()->Style(), psDot);
  EXPECT_EQ(label->Pen()->Mode(), pmXor);
  EXPECT_EQ(label->Pen()->Width(), 2);
  label->Pen()->SetStyle(psSolid);
  label->Pen()->SetMode(pmCopy);
  label->Pen()->SetWidth(1);
  const auto lines = Draw(DrawOp::Line);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].Color, clRed);
}

TEST_F(LabelForm, SingleBorderInThePenColour) {
  label->SetAutoLen(false);
  label->SetBounds(10, 10, 50, 17);
  label->Pen()->SetColor(clRed);
  label->SetCaption("");
  const auto img = platform::RenderControl(label);
  for (int x = 0; x < 50; ++x) {
    EXPECT_EQ(img.At(x, 0), clRed) << x;
    EXPECT_EQ(img.At(x, 16), clRed) << x;
  }
  for (int y = 0; y < 17; ++y) {
    EXPECT_EQ(img.At(0, y), clRed) << y;
    EXPECT_EQ(img.At(49, y), clRed) << y;
  }
  EXPECT_EQ(img.At(1, 1), clWhite);
  EXPECT_EQ(img.At(48, 15), clWhite);
  EXPECT_EQ(zeltest::CountColor(img, clRed), 2 * 50 + 2 * 15);
  // None: only the background.
  label->SetBorderStyle(sbsNone);
  EXPECT_EQ(zeltest::CountColor(platform::RenderControl(label), clRed), 0);
}

TEST_F(LabelForm, EdgeBorders) {
  const struct {
    TStaticBorderStyle Style;
    UINT Edge;
  } cases[] = {{sbsSunken, BDR_SUNKENINNER}, {sbsRaised, BDR_RAISEDINNER}, {sbsBump, EDGE_BUMP}, {sbsEtched, EDGE_ETCHED}};
  label->SetAutoLen(false);
  for (const auto& c : cases) {
    label->SetBorderStyle(c.Style);
    const auto edges = Draw(DrawOp::Edge);
    ASSERT_EQ(edges.size(), 1u) << c.Style;
    EXPECT_EQ(edges[0].Flags, (c.Edge << 16) | BF_RECT);
    EXPECT_EQ(edges[0].Rect, TRect(0, 0, 120, 17));
  }
}

TEST_F(LabelForm, BackgroundUnlessTransparent) {
  label->SetColor(TColor(16765650));
  label->SetAutoLen(false);
  auto fills = Draw(DrawOp::Fill);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].Rect, TRect(0, 0, 120, 17));
  EXPECT_EQ(fills[0].Color, TColor(16765650));
  label->SetTransparent(true);
  EXPECT_TRUE(Draw(DrawOp::Fill).empty());
}

TEST(KlabelDescription, ColumnHeaderOfTheMainWindow) {
  TForm f(nullptr);
  platform::ReadComponent(&f,
                          "object f: TForm\n"
                          "  object Klabel1: TKlabel\n"
                          "    Left = 0\n    Top = 286\n    Width = 49\n    Height = 17\n"
                          "    BoxWidth = 32\n    AutoLen = False\n    Color = 16765650\n"
                          "    Pen.Color = clNavy\n    Caption = 'Gr'#246#223'e'\n    Alignment = taCenter\n"
                          "    Numeric = False\n    FieldLen = 0\n    BorderStyle = sbsEtched\n"
                          "  end\n"
                          "end\n");
  auto* l = dynamic_cast<TKlabel*>(f.FindComponent("Klabel1"));
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Caption(), "Gr\xF6\xDF" "e");
  EXPECT_FALSE(l->AutoLen());
  EXPECT_EQ(l->Color(), TColor(16765650));
  EXPECT_EQ(l->Pen()->Color(), clNavy);
  EXPECT_EQ(l->Alignment(), taCenter);
  EXPECT_FALSE(l->Numeric());
  EXPECT_EQ(l->BorderStyle(), sbsEtched);
  EXPECT_EQ(l->Width(), 49);
}

// ---------------------------------------------------------------- TKALabel

class KALabelForm : public ::testing::Test {
protected:
  void SetUp() override {
    savedWinNT = IsWinNT;
    IsWinNT = true;  // as the start-up finds it on this platform
    form = std::make_unique<TForm>(nullptr);
    label = new TKALabel(form.get());
    label->SetParent(form.get());
    label->SetLeft(5);
  }
  void TearDown() override {
    form.reset();
    IsWinNT = savedWinNT;
  }
  bool savedWinNT = false;
  std::unique_ptr<TForm> form;
  TKALabel* label = nullptr;
};

TEST_F(KALabelForm, Defaults) {
  EXPECT_EQ(label->Font()->Name(), "Microsoft Sans Serif");
  EXPECT_TRUE(label->AutoSize());
  EXPECT_EQ(label->Alignment(), taLeftJustify);
}

TEST_F(KALabelForm, EscapesAreDrawnAndMeasuredAsWideText) {
  label->SetCaption("\\x20AC 5");  // the euro sign
  zeltest::DrawRecording rec;
  platform::RenderControl(label);
  EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"\x80 5"}));
  auto c = platform::CreateImageCanvas(1, 1);
  c->Font()->Assign(label->Font());
  EXPECT_EQ(label->Width(), c->TextWidth("\x80 5"));
  // Plain text goes through unchanged, "&" underlining as the platform does.
  label->SetCaption("Lieferant");
  EXPECT_EQ(label->Width(), c->TextWidth("Lieferant"));
}

TEST_F(KALabelForm, AnEmptyCaptionIsMeasuredAsItIs) {
  label->SetCaption("x");
  label->SetCaption("");
  EXPECT_EQ(label->Width(), 0);
}

TEST_F(KALabelForm, DisabledIsEmbossed) {
  label->SetCaption("Saison");
  label->SetEnabled(false);
  zeltest::DrawRecording rec;
  platform::RenderControl(label);
  const auto texts = rec.OfKind(DrawOp::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Color, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(texts[1].Color, ColorToRGB(clBtnShadow));
  EXPECT_EQ(texts[0].Rect.Left, texts[1].Rect.Left + 1);
  EXPECT_EQ(texts[0].Rect.Top, texts[1].Rect.Top + 1);
  EXPECT_EQ(texts[1].Rect.Left, 0);
  label->SetEnabled(true);
  zeltest::DrawRecording again;
  platform::RenderControl(label);
  ASSERT_EQ(again.OfKind(DrawOp::Text).size(), 1u);
  EXPECT_EQ(again.OfKind(DrawOp::Text)[0].Color, ColorToRGB(clWindowText));
}

}  // namespace
