// Canvas drawing checked by pixels and by the recorded calls.
#include <gtest/gtest.h>

#include "platform/gui/graphics.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"

namespace {

using platform::CanvasPixels;
using platform::CreateImageCanvas;
using zeltest::InkBounds;

TEST(Colors, SystemColoursComeFromTheFixedTableAndPlainOnesStay) {
  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(RGB(212, 208, 200)));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clHighlight), static_cast<TColor>(RGB(10, 36, 106)));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(clBtnFace, static_cast<TColor>(0xFF00000F));
  EXPECT_EQ(GetRValue(static_cast<COLORREF>(clRed)), 255);
  EXPECT_EQ(GetBValue(static_cast<COLORREF>(clBlue)), 255);
  TColor c = 0;
  ASSERT_TRUE(IdentToColor("clinfobk", c));
  EXPECT_EQ(c, clInfoBk);
  EXPECT_EQ(ColorToString(clBtnShadow), "clBtnShadow");
  EXPECT_EQ(StringToColor("16711935"), clFuchsia);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

TEST(Canvas, FillRectLeavesOutItsRightAndBottomEdge) {
  auto canvas = CreateImageCanvas(12, 12);
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(2, 3, 7, 8));
  const auto img = CanvasPixels(canvas.get());
  EXPECT_EQ(InkBounds(img, clWhite), Rect(2, 3, 7, 8));
  EXPECT_EQ(img.At(6, 7), clRed);
  EXPECT_EQ(img.At(7, 7), clWhite);
  EXPECT_EQ(img.At(6, 8), clWhite);
  EXPECT_EQ(zeltest::CountColor(img, clRed), 5 * 5);
}

TEST(Canvas, LineToLeavesOutItsEndPixel) {
  struct Case {
    TPoint from, to;
    int pixels;
    TPoint last, excluded;
  } cases[] = {
      {{1, 1}, {8, 1}, 7, {7, 1}, {8, 1}},    // horizontal
      {{3, 9}, {3, 2}, 7, {3, 3}, {3, 2}},    // vertical, upwards
      {{0, 0}, {5, 5}, 5, {4, 4}, {5, 5}},    // diagonal
  };
  for (const Case& c : cases) {
    auto canvas = CreateImageCanvas(12, 12);
    canvas->Pen()->SetColor(clBlack);
    canvas->MoveTo(c.from.X, c.from.Y);
    canvas->LineTo(c.to.X, c.to.Y);
    const auto img = CanvasPixels(canvas.get());
    EXPECT_EQ(zeltest::CountColor(img, clBlack), c.pixels);
    EXPECT_EQ(img.At(c.from.X, c.from.Y), clBlack);
    EXPECT_EQ(img.At(c.last.X, c.last.Y), clBlack);
    EXPECT_EQ(img.At(c.excluded.X, c.excluded.Y), clWhite);
    EXPECT_EQ(canvas->PenPos(), c.to);
  }
}

TEST(Canvas, RectangleFramesWithThePenAndFillsWithTheBrush) {
  auto canvas = CreateImageCanvas(12, 12);
  canvas->Pen()->SetColor(clBlue);
  canvas->Brush()->SetColor(clYellow);
  canvas->Rectangle(1, 1, 6, 5);
  const auto img = CanvasPixels(canvas.get());
  EXPECT_EQ(InkBounds(img, clWhite), Rect(1, 1, 6, 5));
  EXPECT_EQ(img.At(1, 1), clBlue);
  EXPECT_EQ(img.At(5, 4), clBlue);
  EXPECT_EQ(img.At(3, 2), clYellow);
}

TEST(Canvas, TextOutPlacesTextByItsTopLeftCorner) {
  auto canvas = CreateImageCanvas(60, 40);
  canvas->Font()->SetHeight(-16);
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(0, 0, "W");
  const TRect atOrigin = InkBounds(CanvasPixels(canvas.get()), clWhite);
  ASSERT_FALSE(atOrigin.IsEmpty());
  // The glyph hangs below the point, inside the first line's height.
  EXPECT_GE(atOrigin.Top, 0);
  EXPECT_LE(atOrigin.Top, 4);
  EXPECT_LE(atOrigin.Left, 2);
  EXPECT_LE(atOrigin.Bottom, canvas->TextHeight("W"));

  auto moved = CreateImageCanvas(60, 40);
  moved->Font()->SetHeight(-16);
  moved->Brush()->SetStyle(bsClear);
  moved->TextOut(20, 10, "W");
  const TRect there = InkBounds(CanvasPixels(moved.get()), clWhite);
  EXPECT_EQ(there.Left - atOrigin.Left, 20);
  EXPECT_EQ(there.Top - atOrigin.Top, 10);
}

TEST(Canvas, TextOutFillsBehindTheTextWithTheBrushUnlessClear) {
  auto canvas = CreateImageCanvas(60, 30);
  canvas->Brush()->SetColor(clLime);
  canvas->TextOut(5, 5, "Ab");
  const auto img = CanvasPixels(canvas.get());
  EXPECT_EQ(img.At(5, 5), clLime);
  EXPECT_EQ(img.At(4, 5), clWhite);
  EXPECT_EQ(InkBounds(img, clWhite), Bounds(5, 5, canvas->TextWidth("Ab"), canvas->TextHeight("Ab")));
}

TEST(Canvas, TextRectClipsToItsRectangle) {
  auto canvas = CreateImageCanvas(80, 30);
  canvas->Brush()->SetColor(clYellow);
  canvas->TextRect(Rect(10, 5, 20, 25), 10, 5, "WWWWWW");
  EXPECT_EQ(InkBounds(CanvasPixels(canvas.get()), clWhite), Rect(10, 5, 20, 25));
}

TEST(Canvas, FontHeightIsThePixelHeightOfTheCharacters) {
  auto canvas = CreateImageCanvas(10, 10);
  canvas->Font()->SetHeight(-11);
  const int small = canvas->TextHeight("X");
  canvas->Font()->SetHeight(-22);
  const int big = canvas->TextHeight("X");
  EXPECT_GT(big, small + 8);
  canvas->Font()->SetSize(8);
  EXPECT_EQ(canvas->Font()->Height(), -11);
}

// ---------------------------------------------------------------- DrawText

int DrawTextInto(TCanvas* c, const AnsiString& s, TRect& r, UINT flags) {
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(clBlack);
  c->Font()->SetHeight(-13);
  return DrawTextA(c->Handle(), s.c_str(), -1, &r, flags);
}

TEST(DrawText, CalcRectMeasuresAndDrawsNothing) {
  auto canvas = CreateImageCanvas(200, 100);
  TRect r(10, 10, 10, 10);
  const int h = DrawTextInto(canvas.get(), "Hallo", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Left, 10);
  EXPECT_EQ(r.Width(), canvas->TextWidth("Hallo"));
  EXPECT_EQ(r.Height(), h);
  EXPECT_TRUE(InkBounds(CanvasPixels(canvas.get()), clWhite).IsEmpty());

  // Word breaks wrap within the given width and make it taller.
  TRect wrapped(0, 0, 60, 0);
  const int h2 = DrawTextInto(canvas.get(), "eins zwei drei vier", wrapped, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GT(h2, h);
  EXPECT_LE(wrapped.Width(), 60);
}

TEST(DrawText, AlignmentFlagsPlaceTheText) {
  struct Case {
    UINT flags;
    const char* what;
  } cases[] = {{DT_LEFT, "left"}, {DT_CENTER, "centre"}, {DT_RIGHT, "right"}};
  int lefts[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto canvas = CreateImageCanvas(200, 40);
    TRect r(0, 0, 200, 40);
    DrawTextInto(canvas.get(), "Mitte", r, cases[i].flags | DT_SINGLELINE | DT_VCENTER);
    const TRect ink = InkBounds(CanvasPixels(canvas.get()), clWhite);
    ASSERT_FALSE(ink.IsEmpty()) << cases[i].what;
    lefts[i] = ink.Left;
    // DT_VCENTER: the ink lies around the middle.
    EXPECT_LT(ink.Top, 20) << cases[i].what;
    EXPECT_GT(ink.Bottom, 20) << cases[i].what;
    if (cases[i].flags == DT_RIGHT) {
      EXPECT_GE(ink.Right, 195);
    }
  }
  EXPECT_LT(lefts[0], 3);
  EXPECT_GT(lefts[1], 60);
  EXPECT_LT(lefts[1], lefts[2]);
}

TEST(DrawText, AmpersandUnderlinesTheNextCharacterAndADoubledOneShowsItself) {
  auto measure = [](const AnsiString& s, UINT flags) {
    auto canvas = CreateImageCanvas(120, 30);
    TRect r(0, 0, 0, 0);
    DrawTextInto(canvas.get(), s, r, flags | DT_CALCRECT | DT_SINGLELINE);
    return r.Width();
  };
  auto ink = [](const AnsiString& s, UINT flags) {
    auto canvas = CreateImageCanvas(120, 30);
    TRect r(0, 0, 120, 30);
    DrawTextInto(canvas.get(), s, r, flags | DT_SINGLELINE);
    return InkBounds(CanvasPixels(canvas.get()), clWhite);
  };
  // "&&" shows one "&"; "&A" shows "A" (underlined); DT_NOPREFIX shows the text as it is.
  EXPECT_EQ(measure("A&&B", 0), measure("A&B", DT_NOPREFIX));
  EXPECT_EQ(measure("&A", 0), measure("A", 0));
  EXPECT_GT(measure("&A", DT_NOPREFIX), measure("A", 0));
  EXPECT_GT(ink("&A", 0).Bottom, ink("A", 0).Bottom);  // the underline lies below the glyph
}

TEST(DrawText, RotatedFontRunsUpwards) {
  auto canvas = CreateImageCanvas(60, 100);
  HFONT f = CreateFontA(-14, 0, 900, 900, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0, 0, 0, "Arial");
  HDC dc = canvas->Handle();
  HGDIOBJ old = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  TextOutA(dc, 20, 90, "Summe", 5);
  const TRect r = InkBounds(CanvasPixels(canvas.get()), clWhite);
  EXPECT_GT(r.Height(), r.Width());
  EXPECT_LE(r.Bottom, 92);
  EXPECT_GE(r.Left, 18);
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(f));
}

TEST(DrawText, DeletingASelectedFontFails) {
  auto canvas = CreateImageCanvas(10, 10);
  HFONT f = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(canvas->Handle(), f);
  EXPECT_FALSE(DeleteObject(f));
  SelectObject(canvas->Handle(), old);
  EXPECT_TRUE(DeleteObject(f));
}

// ---------------------------------------------------------------- edges and focus rectangles

TEST(DrawEdge, RaisedAndSunkenEdgesUseTheSystemColours) {
  auto canvas = CreateImageCanvas(20, 20);
  TRect r(2, 2, 12, 12);
  DrawEdge(canvas->Handle(), &r, BDR_RAISEDINNER, BF_RECT);
  auto img = CanvasPixels(canvas.get());
  EXPECT_EQ(img.At(2, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(img.At(5, 2), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(img.At(11, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img.At(5, 11), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img.At(12, 5), clWhite);

  auto sunken = CreateImageCanvas(20, 20);
  TRect s(0, 0, 10, 10);
  DrawEdge(sunken->Handle(), &s, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  img = CanvasPixels(sunken.get());
  EXPECT_EQ(img.At(0, 4), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img.At(1, 4), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(s, Rect(2, 2, 8, 8));
}

TEST(DrawFocusRect, IsDottedAndDrawingItTwiceErasesIt) {
  auto canvas = CreateImageCanvas(20, 20);
  canvas->Brush()->SetColor(clWhite);
  canvas->DrawFocusRect(Rect(2, 2, 12, 8));
  auto img = CanvasPixels(canvas.get());
  EXPECT_NE(img.At(2, 2), clWhite);
  EXPECT_EQ(img.At(3, 2), clWhite);
  EXPECT_EQ(img.At(5, 5), clWhite);
  EXPECT_EQ(InkBounds(img, clWhite), Rect(2, 2, 12, 8));
  canvas->DrawFocusRect(Rect(2, 2, 12, 8));
  EXPECT_TRUE(InkBounds(CanvasPixels(canvas.get()), clWhite).IsEmpty());
}

TEST(DrawRecorder, ReportsTheCallsWithTheirColoursAndTexts) {
  zeltest::DrawRecording rec;
  auto canvas = CreateImageCanvas(50, 20);
  canvas->Brush()->SetColor(clHighlight);
  canvas->Font()->SetColor(clHighlightText);
  canvas->FillRect(Rect(0, 0, 50, 20));
  canvas->TextOut(3, 1, "12");
  ASSERT_EQ(rec.OfKind(platform::DrawOp::Fill).size(), 1u);
  EXPECT_EQ(rec.OfKind(platform::DrawOp::Fill)[0].Color, ColorToRGB(clHighlight));
  ASSERT_EQ(rec.Texts().size(), 1u);
  EXPECT_EQ(rec.Texts()[0], "12");
  const auto text = rec.OfKind(platform::DrawOp::Text)[0];
  EXPECT_EQ(text.Color, ColorToRGB(clHighlightText));
  EXPECT_EQ(text.Rect.Left, 3);
  EXPECT_EQ(text.Rect.Top, 1);
}

TEST(Canvas, WindowsTextSurvivesTheQtEdge) {
  zeltest::DrawRecording rec;
  auto canvas = CreateImageCanvas(80, 20);
  canvas->TextOut(0, 0, "Gr\xF6\xDF" "e \x80");
  ASSERT_EQ(rec.Texts().size(), 1u);
  EXPECT_EQ(rec.Texts()[0], "Gr\xF6\xDF" "e \x80");
}

}  // namespace
