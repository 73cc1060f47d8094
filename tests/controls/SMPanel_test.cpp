// The movable panel: hit-test codes at the caption, borders and corners,
// size limits, the events that allow or forbid moving and sizing, the
// platform's move and size loop driven by them; and the inner window:
// title bar, close button, caption colours, focus, placement in the user
// store on a temporary drive C:, window description.
#include "controls/SMPanel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/wuReg.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"
#include "tests/support/msgbox_recorder.h"
#include "tests/support/beep_counter.h"
#include "tests/support/user_workstation.h"

namespace {

using BeepCounter = zeltest::BeepCounter;

// A shown form on a temporary drive C: (every inner window writes its
// placement there when it goes) for the user 'user1'.
class PanelTest : public zeltest::UserWorkstationTest {
protected:
  void SetUp() override {
    wuReg_finalization();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(20, 20, 500, 400);
  }
  void TearDown() override {
    form.reset();
    wuReg_finalization();
  }
  void Show() { zeltest::ShowForm(form.get()); }
  // WM_NCHITTEST at a client point of the panel.
  static LRESULT Hit(TSMPanel* P, int X, int Y) {
    const TPoint s = P->ClientToScreen(TPoint(X, Y));
    return P->Perform(WM_NCHITTEST, 0, MakePointLParam(s.X, s.Y));
  }
  std::string StoreFile() { return drive.read("kuvo/kreg.cfg"); }

  zeltest::MessageBoxRecorder boxes;
  std::unique_ptr<TForm> form;
};

class SMPanelTest : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    panel = new TSMPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(50, 40, 200, 100);
    Show();
  }
  TSMPanel* panel = nullptr;
};

// ---------------------------------------------------------------- TSMPanel

TEST_F(SMPanelTest, StateAfterConstruction) {
  EXPECT_TRUE(panel->AllowMove());
  EXPECT_TRUE(panel->AllowResize());
  EXPECT_EQ(panel->CaptionHeight(), 0);
  EXPECT_EQ(panel->MaxHeight(), 0);
  EXPECT_EQ(panel->MaxWidth(), 0);
  EXPECT_EQ(panel->MinHeight(), 1);
  EXPECT_EQ(panel->MinWidth(), 1);
  EXPECT_FALSE(panel->TabStop());
  const TResizeDirectionSet all{rdTop, rdBottom, rdLeft, rdRight, rdTopLeft, rdTopRight, rdBottomLeft, rdBottomRight};
  EXPECT_EQ(panel->ResizeDirection(), all);
  EXPECT_FALSE(panel->ResizeDirection().Contains(rdNone));
  EXPECT_EQ(panel->ResizeDirection().ToInt(), 0x1FEu);  // bit n for ordinal n
}

// How a panel is set up for a row of the hit-test table.
struct PanelSetup {
  const char* Name;
  std::function<void(TSMPanel*)> Apply;
};
struct HitCase {
  int X, Y;
  LRESULT Code;
};
struct HitTable {
  PanelSetup Setup;
  std::vector<HitCase> Cases;
};

TEST_F(SMPanelTest, HitTestTable) {
  const TResizeDirectionSet edges{rdTop, rdBottom, rdLeft, rdRight};
  const TResizeDirectionSet all = panel->ResizeDirection();
  const std::vector<HitTable> tables = {
      {{"defaults: band of 6", [](TSMPanel*) {}},
       {{100, 50, HTCAPTION},
        {5, 50, HTLEFT},
        {6, 50, HTCAPTION},
        {0, 50, HTLEFT},
        {194, 50, HTRIGHT},
        {193, 50, HTCAPTION},
        {199, 50, HTRIGHT},
        {100, 5, HTTOP},
        {100, 6, HTCAPTION},
        {100, 94, HTBOTTOM},
        {100, 93, HTCAPTION},
        {2, 2, HTTOPLEFT},
        {197, 2, HTTOPRIGHT},
        {2, 97, HTBOTTOMLEFT},
        {197, 97, HTBOTTOMRIGHT},
        {5, 5, HTTOPLEFT},
        {6, 5, HTTOP}}},
      {{"border 2 and both bevels: band of 9",
        [](TSMPanel* p) {
          p->SetBorderWidth(2);
          p->SetBevelInner(bvRaised);
        }},
       {{8, 50, HTLEFT}, {9, 50, HTCAPTION}, {191, 50, HTRIGHT}, {190, 50, HTCAPTION}, {100, 8, HTTOP}}},
      {{"no outer bevel: band of 5", [](TSMPanel* p) { p->SetBevelOuter(bvNone); }},
       {{4, 50, HTLEFT}, {5, 50, HTCAPTION}}},
      {{"corners without corner directions: later edge wins",
        [edges](TSMPanel* p) { p->SetResizeDirection(edges); }},
       {{2, 2, HTLEFT}, {197, 2, HTRIGHT}, {2, 97, HTBOTTOM}, {197, 97, HTRIGHT}, {100, 2, HTTOP}}},
      {{"only rdTopLeft", [](TSMPanel* p) { p->SetResizeDirection(TResizeDirectionSet{rdTopLeft}); }},
       {{100, 2, HTCLIENT}, {2, 50, HTCLIENT}, {2, 2, HTTOPLEFT}, {100, 50, HTCAPTION}, {197, 50, HTCAPTION},
        {100, 97, HTCAPTION}}},
      {{"rdNone: no border sizes, move area still shrunk",
        [all](TSMPanel* p) {
          TResizeDirectionSet s = all;
          s << rdNone;
          p->SetResizeDirection(s);
        }},
       {{2, 50, HTCLIENT}, {100, 2, HTCLIENT}, {197, 97, HTCLIENT}, {100, 50, HTCAPTION}}},
      {{"rdNone with rdTop only",
        [](TSMPanel* p) { p->SetResizeDirection(TResizeDirectionSet{rdNone, rdTop}); }},
       {{100, 3, HTCLIENT}, {2, 50, HTCAPTION}, {100, 97, HTCAPTION}}},
      {{"AllowResize off: the whole panel moves", [](TSMPanel* p) { p->SetAllowResize(false); }},
       {{0, 0, HTCAPTION}, {2, 50, HTCAPTION}, {199, 99, HTCAPTION}, {100, 50, HTCAPTION}}},
      {{"CaptionHeight 20 below the top band", [](TSMPanel* p) { p->SetCaptionHeight(20); }},
       {{100, 6, HTCAPTION}, {100, 25, HTCAPTION}, {100, 26, HTCLIENT}, {100, 50, HTCLIENT}, {100, 2, HTTOP},
        {2, 50, HTLEFT}}},
      {{"CaptionHeight 20 without resizing",
        [](TSMPanel* p) {
          p->SetCaptionHeight(20);
          p->SetAllowResize(false);
        }},
       {{100, 0, HTCAPTION}, {100, 19, HTCAPTION}, {100, 20, HTCLIENT}}},
      {{"AllowMove off", [](TSMPanel* p) { p->SetAllowMove(false); }},
       {{100, 50, HTCLIENT}, {2, 50, HTLEFT}, {197, 97, HTBOTTOMRIGHT}}},
  };
  for (const HitTable& t : tables) {
    auto* p = new TSMPanel(form.get());
    p->SetParent(form.get());
    p->SetBounds(10, 150, 200, 100);
    t.Setup.Apply(p);
    for (const HitCase& c : t.Cases)
      EXPECT_EQ(Hit(p, c.X, c.Y), c.Code) << t.Setup.Name << " at (" << c.X << ", " << c.Y << ")";
    delete p;
  }
}

TEST_F(SMPanelTest, CanMoveIsAskedEverywhereAndMayAllowOrForbid) {
  struct Call {
    int X, Y;
    bool CanMove;
  };
  std::vector<Call> calls;
  std::optional<bool> answer;
  panel->OnCanMove = [&](TObject* Sender, int X, int Y, bool& CanMove) {
    EXPECT_EQ(Sender, panel);
    calls.push_back({X, Y, CanMove});
    if (answer) CanMove = *answer;
  };
  EXPECT_EQ(Hit(panel, 100, 50), HTCAPTION);
  EXPECT_EQ(Hit(panel, 2, 50), HTLEFT);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].X, 100);
  EXPECT_EQ(calls[0].Y, 50);
  EXPECT_TRUE(calls[0].CanMove);
  EXPECT_FALSE(calls[1].CanMove);  // asked on a border too

  answer = false;
  EXPECT_EQ(Hit(panel, 100, 50), HTCLIENT);
  EXPECT_EQ(Hit(panel, 2, 50), HTLEFT);

  // Allowing makes any point a caption point, also with AllowMove off and
  // on a resize band.
  answer = true;
  panel->SetAllowMove(false);
  EXPECT_EQ(Hit(panel, 100, 50), HTCAPTION);
  EXPECT_EQ(Hit(panel, 2, 50), HTCAPTION);
  EXPECT_EQ(Hit(panel, 197, 97), HTCAPTION);
}

TEST_F(SMPanelTest, CanResizeCanOnlyForbid) {
  std::vector<TResizeDirection> asked;
  bool allow = true;
  panel->OnCanResize = [&](TObject* Sender, TResizeDirection D, bool& CanResize) {
    EXPECT_EQ(Sender, panel);
    EXPECT_TRUE(CanResize);
    asked.push_back(D);
    CanResize = allow;
  };
  const struct {
    int X, Y;
    TResizeDirection D;
    LRESULT Code;
  } cases[] = {
      {100, 2, rdTop, HTTOP},           {100, 97, rdBottom, HTBOTTOM},        {2, 50, rdLeft, HTLEFT},
      {197, 50, rdRight, HTRIGHT},      {2, 2, rdTopLeft, HTTOPLEFT},         {197, 2, rdTopRight, HTTOPRIGHT},
      {2, 97, rdBottomLeft, HTBOTTOMLEFT}, {197, 97, rdBottomRight, HTBOTTOMRIGHT},
  };
  for (const auto& c : cases) {
    asked.clear();
    allow = true;
    EXPECT_EQ(Hit(panel, c.X, c.Y), c.Code);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], c.D);
    allow = false;
    EXPECT_EQ(Hit(panel, c.X, c.Y), HTCLIENT) << c.X << "," << c.Y;  // the band is no move area
  }
  asked.clear();
  EXPECT_EQ(Hit(panel, 100, 50), HTCAPTION);
  EXPECT_TRUE(asked.empty());  // not asked off the bands
}

TEST_F(SMPanelTest, WhileDesignedEverythingIsClientAndNothingIsAsked) {
  int asked = 0;
  panel->OnCanMove = [&](TObject*, int, int, bool&) { ++asked; };
  panel->OnCanResize = [&](TObject*, TResizeDirection, bool&) { ++asked; };
  panel->SetDesigning(true);
  for (const TPoint p : {TPoint(100, 50), TPoint(2, 50), TPoint(197, 97), TPoint(100, 2)})
    EXPECT_EQ(Hit(panel, p.X, p.Y), HTCLIENT);
  EXPECT_EQ(asked, 0);
}

// A move of the mouse asks the panel twice, as on the platform: the hit
// test that picks the cursor, then WM_MOUSEMOVE after its inherited
// handling (the mouse-move event).
TEST_F(SMPanelTest, MouseMoveAsksTheEventsToo) {
  std::vector<std::string> asked;
  const auto at = [](int X, int Y) { return std::to_string(X) + "," + std::to_string(Y); };
  panel->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { asked.push_back("mouse " + at(X, Y)); };
  panel->OnCanMove = [&](TObject*, int X, int Y, bool&) { asked.push_back("move " + at(X, Y)); };
  panel->OnCanResize = [&](TObject*, TResizeDirection D, bool&) { asked.push_back("size " + std::to_string(D)); };
  platform::SendMouseMove(panel, 120, 60);
  platform::SendMouseMove(panel, 198, 60);
  const std::string right = "size " + std::to_string(rdRight);
  EXPECT_EQ(asked, (std::vector<std::string>{"move 120,60", "mouse 120,60", "move 120,60",  //
                                             right, "move 198,60", "mouse 198,60", right, "move 198,60"}));
  // WM_MOUSEMOVE alone asks once, and the code goes into the result.
  asked.clear();
  EXPECT_EQ(panel->Perform(WM_MOUSEMOVE, 0, MakePointLParam(3, 60)), HTLEFT);
  EXPECT_EQ(asked, (std::vector<std::string>{"mouse 3,60", "size " + std::to_string(rdLeft), "move 3,60"}));
}

// While the mouse moves over the panel without a button, the hit test's
// answer picks the cursor: the sizing cursor of each band, elsewhere the
// panel's own.
TEST_F(SMPanelTest, SizingCursorOverTheBands) {
  panel->SetCursor(crHandPoint);
  struct CursorCase {
    const char* Name;
    int X, Y;
    TCursor Shown;
  };
  const CursorCase cases[] = {
      {"left", 3, 50, crSizeWE},           {"right", 197, 50, crSizeWE},
      {"top", 100, 2, crSizeNS},           {"bottom", 100, 97, crSizeNS},
      {"top-left", 2, 2, crSizeNWSE},      {"bottom-right", 197, 97, crSizeNWSE},
      {"top-right", 197, 2, crSizeNESW},   {"bottom-left", 2, 97, crSizeNESW},
      {"caption", 100, 50, crHandPoint},   {"first point past the band", 6, 50, crHandPoint},
  };
  for (const auto& c : cases) {
    platform::MoveMouseOver(panel, c.X, c.Y);
    EXPECT_EQ(platform::ShownCursor(panel), c.Shown) << c.Name;
  }

  // A border whose sizing the application forbids shows no sizing cursor,
  // as it sizes nothing.
  panel->OnCanResize = [](TObject*, TResizeDirection D, bool& CanResize) { CanResize = D != rdRight; };
  platform::MoveMouseOver(panel, 197, 50);
  EXPECT_EQ(platform::ShownCursor(panel), crHandPoint);
  platform::MoveMouseOver(panel, 3, 50);
  EXPECT_EQ(platform::ShownCursor(panel), crSizeWE);
  panel->SetAllowResize(false);
  platform::MoveMouseOver(panel, 3, 50);
  EXPECT_EQ(platform::ShownCursor(panel), crHandPoint);

  // Without a cursor of its own the panel shows its parent's.
  panel->SetCursor(crDefault);
  panel->SetAllowResize(true);
  platform::MoveMouseOver(panel, 3, 50);
  EXPECT_EQ(platform::ShownCursor(panel), crSizeWE);
  platform::MoveMouseOver(panel, 100, 50);
  EXPECT_EQ(platform::ShownCursor(panel), crDefault);
}

TEST_F(SMPanelTest, MinMaxInfo) {
  auto ask = [&] {
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{1111, 888};
    mmi.ptMaxPosition = POINT{-4, -5};
    mmi.ptMinTrackSize = POINT{112, 27};
    mmi.ptMaxTrackSize = POINT{1200, 900};
    panel->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
  };
  MINMAXINFO m = ask();
  EXPECT_EQ(m.ptMinTrackSize.x, 1);
  EXPECT_EQ(m.ptMinTrackSize.y, 1);
  EXPECT_EQ(m.ptMaxTrackSize.x, 1200);  // 0 keeps the platform's value
  EXPECT_EQ(m.ptMaxTrackSize.y, 900);
  panel->SetMinWidth(80);
  panel->SetMinHeight(30);
  panel->SetMaxWidth(300);
  m = ask();
  EXPECT_EQ(m.ptMinTrackSize.x, 80);
  EXPECT_EQ(m.ptMinTrackSize.y, 30);
  EXPECT_EQ(m.ptMaxTrackSize.x, 300);
  EXPECT_EQ(m.ptMaxTrackSize.y, 900);
  panel->SetMaxHeight(250);
  m = ask();
  EXPECT_EQ(m.ptMaxTrackSize.y, 250);
  // The other entries stay the platform's.
  EXPECT_EQ(m.ptMaxSize.x, 1111);
  EXPECT_EQ(m.ptMaxSize.y, 888);
  EXPECT_EQ(m.ptMaxPosition.x, -4);
  EXPECT_EQ(m.ptMaxPosition.y, -5);
}

// The platform's move and size loop, driven by the panel's answers.
TEST_F(SMPanelTest, DraggingTheCaptionMovesThePanel) {
  platform::SendMouseDown(panel, mbLeft, 100, 50);
  platform::SendMouseMove(panel, 130, 70, TShiftState{ssLeft});
  platform::SendMouseUp(panel, mbLeft, 100, 50);
  EXPECT_EQ(panel->BoundsRect(), Bounds(80, 60, 200, 100));
}

TEST_F(SMPanelTest, ForbiddenMoveLeavesThePanel) {
  int downs = 0;
  panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  panel->OnCanMove = [](TObject*, int, int, bool& CanMove) { CanMove = false; };
  platform::SendMouseDown(panel, mbLeft, 100, 50);
  platform::SendMouseMove(panel, 130, 70, TShiftState{ssLeft});
  platform::SendMouseUp(panel, mbLeft, 130, 70);
  EXPECT_EQ(panel->BoundsRect(), Bounds(50, 40, 200, 100));
  EXPECT_EQ(downs, 1);  // an ordinary press
}

TEST_F(SMPanelTest, DraggingBordersSizesWithinTheLimits) {
  struct DragCase {
    const char* Name;
    int FromX, FromY, ToX, ToY;
    std::function<void(TSMPanel*)> Setup;
    TRect Result;
  };
  const DragCase cases[] = {
      {"right border", 197, 50, 247, 50, [](TSMPanel*) {}, Bounds(50, 40, 250, 100)},
      {"right border, MaxWidth", 197, 50, 297, 50, [](TSMPanel* p) { p->SetMaxWidth(220); }, Bounds(50, 40, 220, 100)},
      {"right border, MinWidth", 197, 50, 20, 50, [](TSMPanel* p) { p->SetMinWidth(150); }, Bounds(50, 40, 150, 100)},
      {"left border", 2, 50, -20, 50, [](TSMPanel*) {}, Bounds(28, 40, 222, 100)},
      {"bottom-right corner", 197, 97, 207, 117, [](TSMPanel*) {}, Bounds(50, 40, 210, 120)},
      {"top border, MaxHeight", 100, 2, 100, -58, [](TSMPanel* p) { p->SetMaxHeight(130); }, Bounds(50, 10, 200, 130)},
      {"forbidden resize", 197, 50, 247, 50,
       [](TSMPanel* p) { p->OnCanResize = [](TObject*, TResizeDirection, bool& CanResize) { CanResize = false; }; },
       Bounds(50, 40, 200, 100)},
  };
  for (const DragCase& c : cases) {
    auto* p = new TSMPanel(form.get());
    p->SetParent(form.get());
    p->SetBounds(50, 40, 200, 100);
    c.Setup(p);
    platform::SendMouseDown(p, mbLeft, c.FromX, c.FromY);
    platform::SendMouseMove(p, c.ToX, c.ToY, TShiftState{ssLeft});
    platform::SendMouseUp(p, mbLeft, c.ToX, c.ToY);
    EXPECT_EQ(p->BoundsRect(), c.Result) << c.Name;
    delete p;
  }
}

TEST_F(SMPanelTest, ReadFromADescription) {
  TForm f(nullptr);
  platform::ReadComponent(&f,
                          "object f: TForm\n"
                          "  object SMPanel1: TSMPanel\n"
                          "    Left = 8\n    Top = 9\n    Width = 150\n    Height = 90\n"
                          "    AllowMove = False\n    AllowResize = True\n    CaptionHeight = 18\n"
                          "    MaxHeight = 300\n    MaxWidth = 400\n    MinHeight = 40\n    MinWidth = 60\n"
                          "    ResizeDirection = [rdBottom, rdRight, rdBottomRight]\n"
                          "  end\n"
                          "end\n");
  auto* p = dynamic_cast<TSMPanel*>(f.FindComponent("SMPanel1"));
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->AllowMove());
  EXPECT_EQ(p->CaptionHeight(), 18);
  EXPECT_EQ(p->MaxHeight(), 300);
  EXPECT_EQ(p->MaxWidth(), 400);
  EXPECT_EQ(p->MinHeight(), 40);
  EXPECT_EQ(p->MinWidth(), 60);
  EXPECT_EQ(p->ResizeDirection(), (TResizeDirectionSet{rdBottom, rdRight, rdBottomRight}));
  EXPECT_TRUE(p->Visible());
}

// ---------------------------------------------------------------- TKfrm

class KfrmTest : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    kfrm = new TKfrm(form.get());
    kfrm->SetParent(form.get());
  }
  TKfrm* kfrm = nullptr;
};

TEST_F(KfrmTest, StateAfterConstruction) {
  EXPECT_EQ(kfrm->BevelInner(), bvRaised);
  EXPECT_EQ(kfrm->BevelOuter(), bvRaised);
  EXPECT_EQ(kfrm->ACaption(), "");
  EXPECT_FALSE(kfrm->TabStop());
  EXPECT_EQ(kfrm->ActiveControl(), nullptr);
  TLabel* l = kfrm->CaptionLabel();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Owner(), kfrm);
  EXPECT_EQ(l->Parent(), kfrm);
  EXPECT_EQ(l->Height(), 17);
  EXPECT_EQ(l->Align(), alTop);
  EXPECT_FALSE(l->AutoSize());
  EXPECT_EQ(l->Color(), clActiveCaption);
  EXPECT_EQ(l->Font()->Color(), clCaptionText);
  EXPECT_EQ(l->Layout(), tlCenter);
  // Along the top inside both bevels.
  EXPECT_EQ(l->BoundsRect(), TRect(2, 2, kfrm->Width() - 2, 19));
  TKfrmCloseButton* b = kfrm->CloseButton();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Owner(), kfrm);
  EXPECT_EQ(b->Parent(), kfrm);
  EXPECT_EQ(b->BoundsRect(), Bounds(kfrm->Width() - 14, 5, 11, 11));
  EXPECT_FALSE(b->TabStop());
  EXPECT_EQ(b->Caption(), "");
}

TEST_F(KfrmTest, CloseButtonGlyphIsTheCross) {
  const char* rows[] = {
      ".......",  // 0
      "XX..XX.",  // 1
      ".XXXX..",  // 2
      "..XX...",  // 3
      ".XXXX..",  // 4
      "XX..XX.",  // 5
      ".......",  // 6
  };
  TCanvas* g = kfrm->CloseButton()->Glyph();
  int black = 0;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      const TColor expected = rows[y][x] == 'X' ? clBlack : clWhite;
      EXPECT_EQ(g->Pixel(x, y), expected) << x << "," << y;
      black += g->Pixel(x, y) == clBlack;
    }
  EXPECT_EQ(black, 18);
  // Drawn on the button: the cross in black, centred, the rest of the
  // glyph transparent.
  Show();
  const platform::PixelImage img = platform::RenderControl(kfrm->CloseButton());
  ASSERT_EQ(img.Width, 11);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (rows[y][x] == 'X') {
        EXPECT_EQ(img.At(2 + x, 2 + y), clBlack) << x << "," << y;
      }
  EXPECT_NE(img.At(2 + 6, 2 + 3), clBlack);  // white glyph pixels show the button
  EXPECT_NE(img.At(2 + 6, 2 + 3), clWhite);
}

TEST_F(KfrmTest, ACaptionShowsBehindABlank) {
  kfrm->SetACaption("Artikel");
  EXPECT_EQ(kfrm->ACaption(), "Artikel");
  EXPECT_EQ(kfrm->CaptionLabel()->Caption(), " Artikel");
  kfrm->SetACaption("");
  EXPECT_EQ(kfrm->CaptionLabel()->Caption(), " ");
}

TEST_F(KfrmTest, RenamingNamesLabelAndButton) {
  kfrm->SetCaption("Text");
  kfrm->SetName("Kfrm1");
  EXPECT_EQ(kfrm->Name(), "Kfrm1");
  EXPECT_EQ(kfrm->Caption(), "");
  EXPECT_EQ(kfrm->CaptionLabel()->Name(), "lb_Kfrm1");
  EXPECT_EQ(kfrm->CloseButton()->Name(), "bt_Kfrm1");
  EXPECT_EQ(kfrm->CloseButton()->Caption(), "");
  // With ACaption set the label keeps its name.
  kfrm->SetACaption("Preise");
  kfrm->SetName("Kfrm2");
  EXPECT_EQ(kfrm->CaptionLabel()->Name(), "lb_Kfrm1");
  EXPECT_EQ(kfrm->CloseButton()->Name(), "bt_Kfrm2");
}

TEST_F(KfrmTest, ResizeKeepsTheButtonAtTheRight) {
  kfrm->SetBounds(10, 10, 300, 150);
  EXPECT_EQ(kfrm->CloseButton()->Left(), 300 - 11 - 4);
  int resized = 0;
  kfrm->OnResize = [&](TObject*) { ++resized; };
  kfrm->SetWidth(260);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(kfrm->CloseButton()->Left(), 260 - 15);
  EXPECT_EQ(kfrm->MinWidth(), 1);  // only while designed
  kfrm->SetDesigning(true);
  kfrm->SetBounds(10, 10, 240, 130);
  EXPECT_EQ(kfrm->MinWidth(), 240);
  EXPECT_EQ(kfrm->MinHeight(), 130);
}

TEST_F(KfrmTest, TitleBarFollowsTheWidth) {
  kfrm->SetBounds(10, 10, 300, 150);
  EXPECT_EQ(kfrm->CaptionLabel()->BoundsRect(), TRect(2, 2, 298, 19));
}

TEST_F(KfrmTest, HitTestBandIsSeven) {
  kfrm->SetBounds(10, 10, 200, 120);
  EXPECT_EQ(Hit(kfrm, 6, 60), HTLEFT);
  EXPECT_EQ(Hit(kfrm, 7, 60), HTCAPTION);
  EXPECT_EQ(Hit(kfrm, 100, 6), HTTOP);
  EXPECT_EQ(Hit(kfrm, 100, 7), HTCAPTION);
}

TEST_F(KfrmTest, CloseButtonHidesUnlessRefused) {
  BeepCounter beeps;
  kfrm->SetName("Kfrm1");
  Show();
  std::vector<bool> asked;
  bool allow = false;
  kfrm->OnCloseQuery = [&](TObject* Sender, bool& CanClose) {
    EXPECT_EQ(Sender, kfrm);
    asked.push_back(CanClose);
    CanClose = allow;
  };
  zeltest::Click(kfrm->CloseButton(), 5, 5);
  EXPECT_TRUE(kfrm->Visible());
  ASSERT_EQ(beeps.Types.size(), 1u);
  EXPECT_EQ(beeps.Types[0], 0u);
  allow = true;
  zeltest::Click(kfrm->CloseButton(), 5, 5);
  EXPECT_FALSE(kfrm->Visible());
  EXPECT_EQ(beeps.Types.size(), 1u);
  EXPECT_EQ(asked, (std::vector<bool>{true, true}));
  // Hidden, not destroyed.
  EXPECT_EQ(form->FindComponent(kfrm->Name()), kfrm);
  // Without a handler it simply hides.
  kfrm->OnCloseQuery = nullptr;
  kfrm->Show();
  kfrm->CloseButton()->Click();
  EXPECT_FALSE(kfrm->Visible());
}

class KfrmFocusTest : public KfrmTest {
protected:
  void SetUp() override {
    KfrmTest::SetUp();
    kfrm->SetBounds(10, 10, 300, 200);
    outside = platform::CreateLineEditControl(form.get());
    outside->SetParent(form.get());
    outside->SetBounds(350, 10, 100, 21);
    outside->SetTabStop(true);
    skipped = platform::CreateLineEditControl(form.get());
    skipped->SetParent(kfrm);
    skipped->SetBounds(10, 30, 100, 21);
    skipped->SetTabStop(false);
    first = platform::CreateLineEditControl(form.get());
    first->SetParent(kfrm);
    first->SetBounds(10, 60, 100, 21);
    first->SetTabStop(true);
    second = platform::CreateLineEditControl(form.get());
    second->SetParent(kfrm);
    second->SetBounds(10, 90, 100, 21);
    second->SetTabStop(true);
    Show();
    outside->SetFocus();
    zeltest::RunPostedMessages();
  }
  TColor Caption() { return kfrm->CaptionLabel()->Color(); }
  TWinControl* outside = nullptr;
  TWinControl* skipped = nullptr;
  TWinControl* first = nullptr;
  TWinControl* second = nullptr;
};

// The focus going to any control inside enters the inner window: the title
// turns active and the focus goes on to the first tab stop inside.
TEST_F(KfrmFocusTest, EnteringPassesTheFocusToTheFirstTabStopAndColoursTheTitle) {
  ASSERT_TRUE(outside->Focused());
  kfrm->CaptionLabel()->SetColor(clInactiveCaption);
  int entered = 0, exited = 0;
  kfrm->OnEnter = [&](TObject*) { ++entered; };
  kfrm->OnExit = [&](TObject*) { ++exited; };
  second->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(Caption(), clActiveCaption);
  EXPECT_TRUE(first->Focused());  // not the one asked for, nor the one without a tab stop
  EXPECT_EQ(entered, 1);           // the inherited handling too
  // Moving inside is no entry or exit.
  kfrm->CaptionLabel()->SetColor(clRed);
  second->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(Caption(), clRed);
  // Leaving it.
  outside->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_TRUE(outside->Focused());
  EXPECT_EQ(Caption(), clInactiveCaption);
  EXPECT_EQ(exited, 1);
  EXPECT_EQ(entered, 1);
}

TEST_F(KfrmFocusTest, EnterWithoutATabStopInsideKeepsTheFocus) {
  first->SetTabStop(false);
  second->SetEnabled(false);
  kfrm->Perform(CM_ENTER, 0, 0);
  zeltest::RunPostedMessages();
  EXPECT_EQ(Caption(), clActiveCaption);
  EXPECT_TRUE(outside->Focused());
}

TEST_F(KfrmFocusTest, ExitWithoutAWindowLeavesTheColour) {
  TKfrm loose(nullptr);  // no parent, so no window
  loose.CaptionLabel()->SetColor(clActiveCaption);
  loose.Perform(CM_EXIT, 0, 0);
  EXPECT_EQ(loose.CaptionLabel()->Color(), clActiveCaption);
}

TEST_F(KfrmTest, CheckBounds) {
  struct Case {
    TRect Start;
    int MinW, MinH;
    TRect Result;
  };
  // Parent of 300 x 200.
  const Case cases[] = {
      {Bounds(500, 20, 30, 30), 1, 1, Bounds(250, 20, 50, 50)},
      {Bounds(10, 500, 80, 60), 1, 1, Bounds(10, 150, 80, 60)},
      {Bounds(-100, -100, 60, 60), 1, 1, Bounds(50, 50, 60, 60)},
      {Bounds(-20, -5, 80, 60), 1, 1, Bounds(-20, -5, 80, 60)},
      {Bounds(10, 10, 30, 30), 80, 70, Bounds(10, 10, 80, 70)},
      {Bounds(10, 10, 30, 30), 40, 45, Bounds(10, 10, 50, 50)},  // minima of 50 or less do not count
      {Bounds(10, 10, 120, 90), 80, 70, Bounds(10, 10, 120, 90)},
  };
  auto* host = new TPanel(form.get());
  host->SetParent(form.get());
  host->SetBounds(0, 0, 300, 200);
  kfrm->SetParent(host);
  for (const Case& c : cases) {
    kfrm->SetMinWidth(c.MinW);
    kfrm->SetMinHeight(c.MinH);
    kfrm->SetBoundsRect(c.Start);
    kfrm->CheckBounds();
    EXPECT_EQ(kfrm->BoundsRect(), c.Result) << c.Start.Left << "," << c.Start.Top;
  }
  // Without a parent only the size is kept in bounds.
  TKfrm loose(nullptr);
  loose.SetBounds(900, -900, 10, 10);
  loose.CheckBounds();
  EXPECT_EQ(loose.BoundsRect(), Bounds(900, -900, 50, 50));
}

TEST_F(KfrmTest, PlacementIsWrittenWhenDestroyedAndReadByLoadPlacement) {
  kfrm->SetName("Kfrm1");
  kfrm->SetBounds(12, 34, 222, 111);
  std::vector<std::string> order;
  kfrm->OnDestroy = [&](TObject* Sender) {
    EXPECT_EQ(Sender, kfrm);
    order.push_back("OnDestroy");
    kfrm->SetTop(35);  // before the placement is written
  };
  delete kfrm;
  kfrm = nullptr;
  EXPECT_EQ(order, std::vector<std::string>{"OnDestroy"});
  const std::string file = StoreFile();
  EXPECT_NE(file.find("[USERS\\user1\\Kfrm1]"), std::string::npos) << file;
  EXPECT_NE(file.find("Left=\"12\""), std::string::npos) << file;
  {
    TwuReg reg(HKEY_CURRENT_USER);
    EXPECT_EQ(reg.ReadInteger("Kfrm1", "Left", -1), 12);
    EXPECT_EQ(reg.ReadInteger("Kfrm1", "Top", -1), 35);
    EXPECT_EQ(reg.ReadInteger("Kfrm1", "Width", -1), 222);
    EXPECT_EQ(reg.ReadInteger("Kfrm1", "Height", -1), 111);
  }
  // A new inner window of that name reads it back only when asked.
  auto* again = new TKfrm(form.get());
  again->SetParent(form.get());
  again->SetName("Kfrm1");
  again->SetBounds(1, 2, 150, 120);
  EXPECT_EQ(again->BoundsRect(), Bounds(1, 2, 150, 120));
  again->LoadPlacement();
  EXPECT_EQ(again->BoundsRect(), Bounds(12, 35, 222, 111));
}

TEST_F(KfrmTest, LoadPlacementCorrections) {
  struct Case {
    const char* Name;
    std::vector<std::pair<const char*, const char*>> Stored;  // entry, value as written
    TRect Start;
    int MinW, MinH;
    TRect Result;
  };
  const Case cases[] = {
      {"nothing stored", {}, Bounds(-10, 5, 50, 40), 1, 1, Bounds(100, 5, 100, 100)},
      {"all stored", {{"Left", "30"}, {"Top", "40"}, {"Width", "300"}, {"Height", "200"}}, Bounds(1, 1, 150, 150), 1,
       1, Bounds(30, 40, 300, 200)},
      {"negative position", {{"Left", "-1"}, {"Top", "-7"}}, Bounds(1, 1, 150, 150), 1, 1, Bounds(100, 100, 150, 150)},
      {"size below 20 keeps the current", {{"Width", "19"}, {"Height", "5"}}, Bounds(1, 1, 150, 160), 1, 1,
       Bounds(1, 1, 150, 160)},
      {"size of 20 becomes 100", {{"Width", "20"}, {"Height", "20"}}, Bounds(1, 1, 150, 160), 1, 1,
       Bounds(1, 1, 100, 100)},
      {"no number", {{"Left", "abc"}, {"Width", ""}}, Bounds(7, 8, 150, 160), 1, 1, Bounds(7, 8, 150, 160)},
      {"hexadecimal", {{"Left", "0x1F"}}, Bounds(7, 8, 150, 160), 1, 1, Bounds(31, 8, 150, 160)},
      {"minima above 100", {{"Width", "120"}, {"Height", "110"}}, Bounds(1, 1, 150, 160), 250, 180,
       Bounds(1, 1, 250, 180)},
      {"minima of 100 or less", {{"Width", "60"}, {"Height", "60"}}, Bounds(1, 1, 150, 160), 90, 100,
       Bounds(1, 1, 100, 100)},
  };
  int n = 0;
  for (const Case& c : cases) {
    const AnsiString name = Format("Kfrm%d", {++n});
    {
      TwuReg reg(HKEY_CURRENT_USER);
      for (const auto& e : c.Stored) reg.WriteString(name, e.first, e.second);
    }
    auto* k = new TKfrm(form.get());
    k->SetParent(form.get());
    k->SetName(name);
    k->SetBoundsRect(c.Start);
    k->SetMinWidth(c.MinW);
    k->SetMinHeight(c.MinH);
    k->LoadPlacement();
    EXPECT_EQ(k->BoundsRect(), c.Result) << c.Name;
    delete k;
  }
}

TEST_F(KfrmTest, UnnamedWindowsShareTheEmptyKey) {
  kfrm->SetBounds(3, 4, 160, 170);
  delete kfrm;
  kfrm = nullptr;
  EXPECT_NE(StoreFile().find("[USERS\\user1\\]"), std::string::npos) << StoreFile();
  TKfrm other(nullptr);
  other.SetBounds(0, 0, 120, 120);
  other.LoadPlacement();
  EXPECT_EQ(other.BoundsRect(), Bounds(3, 4, 160, 170));
}

TEST_F(KfrmTest, NothingIsReadOrWrittenWhileDesigned) {
  kfrm->SetName("Kfrm1");
  {
    TwuReg reg(HKEY_CURRENT_USER);
    reg.WriteInteger("Kfrm1", "Left", 77);
  }
  kfrm->SetDesigning(true);
  kfrm->SetBounds(5, 6, 200, 150);
  kfrm->LoadPlacement();
  EXPECT_EQ(kfrm->Left(), 5);
  delete kfrm;
  kfrm = nullptr;
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.ReadInteger("Kfrm1", "Left", -1), 77);
  EXPECT_EQ(reg.ReadInteger("Kfrm1", "Top", -1), -1);
}

// A store that cannot be written: the destruction reports the error and
// goes on; LoadPlacement passes it to its caller.
TEST_F(KfrmTest, RefusedStoreWrite) {
  // kreg.cfg is a directory, so the store cannot create its file.
  ASSERT_EQ(std::system(("mkdir -p '" + drive.file("kuvo/kreg.cfg") + "'").c_str()), 0);
  kfrm->SetName("Kfrm1");
  kfrm->SetBounds(7, 8, 150, 160);
  // The store's creation fails: nothing is applied.
  EXPECT_THROW(kfrm->LoadPlacement(), EIniFileException);
  EXPECT_EQ(kfrm->BoundsRect(), Bounds(7, 8, 150, 160));
  EXPECT_EQ(boxes.Count(), 0);
  int destroyed = 0;
  kfrm->OnDestroy = [&](TObject*) { ++destroyed; };
  // Now the first write fails.
  delete kfrm;
  kfrm = nullptr;
  EXPECT_EQ(destroyed, 1);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_NE(boxes.Last().Text.find("kann nicht geschrieben werden"), std::string::npos) << boxes.Last().Text;
  EXPECT_EQ(form->FindComponent("Kfrm1"), nullptr);
}

TEST_F(KfrmTest, ActiveControlIsForgottenWhenItGoes) {
  TWinControl* e = platform::CreateLineEditControl(form.get());
  e->SetParent(kfrm);
  kfrm->SetActiveControl(e);
  EXPECT_EQ(kfrm->ActiveControl(), e);
  delete e;
  EXPECT_EQ(kfrm->ActiveControl(), nullptr);
}

// The title bar is a label without a window of its own: pressing it moves
// the inner window.
TEST_F(KfrmTest, DraggingTheTitleBarMovesTheWindow) {
  kfrm->SetBounds(10, 10, 200, 120);
  Show();
  int labelDowns = 0;
  kfrm->CaptionLabel()->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++labelDowns; };
  platform::SendMouseDown(kfrm->CaptionLabel(), mbLeft, 50, 8);
  platform::SendMouseMove(kfrm->CaptionLabel(), 80, 18, TShiftState{ssLeft});
  platform::SendMouseUp(kfrm->CaptionLabel(), mbLeft, 80, 18);
  EXPECT_EQ(kfrm->BoundsRect(), Bounds(40, 20, 200, 120));
  EXPECT_EQ(labelDowns, 0);
  // The close button is no caption: a click there closes.
  zeltest::Click(kfrm->CloseButton(), 5, 5);
  EXPECT_EQ(kfrm->BoundsRect(), Bounds(40, 20, 200, 120));
  EXPECT_FALSE(kfrm->Visible());
}

// The title bar is a label without a window of its own: over it the inner
// window's hit test picks the cursor too.
TEST_F(KfrmTest, SizingCursorOverTheTitleBar) {
  kfrm->SetBounds(10, 10, 200, 120);
  Show();
  TLabel* title = kfrm->CaptionLabel();
  ASSERT_EQ(title->BoundsRect(), Bounds(2, 2, 196, 17));
  platform::MoveMouseOver(title, 2, 8);  // the inner window's x 4: left band
  EXPECT_EQ(platform::ShownCursor(title), crSizeWE);
  platform::MoveMouseOver(title, 192, 1);  // x 194, y 3: top-right corner
  EXPECT_EQ(platform::ShownCursor(title), crSizeNESW);
  platform::MoveMouseOver(title, 100, 8);  // caption
  EXPECT_EQ(platform::ShownCursor(title), crDefault);
}

TEST_F(KfrmTest, ReadFromADescriptionStartsHidden) {
  TForm f(nullptr);
  f.SetBounds(0, 0, 400, 300);
  platform::ReadComponent(&f,
                          "object f: TForm\n"
                          "  object Kfrm1: TKfrm\n"
                          "    Left = 8\n    Top = 9\n    Width = 250\n    Height = 140\n"
                          "    AllowMove = True\n    AllowResize = True\n    CaptionHeight = 0\n"
                          "    MaxHeight = 0\n    MaxWidth = 0\n    MinHeight = 140\n    MinWidth = 250\n"
                          "    ResizeDirection = [rdTop, rdBottom, rdLeft, rdRight, rdTopLeft, rdTopRight, "
                          "rdBottomLeft, rdBottomRight]\n"
                          "    ACaption = 'Gr'#246#223'en'\n"
                          "    ActiveControl = Edit1\n"
                          "    object Edit1: TEdit\n      Left = 10\n      Top = 30\n      Width = 100\n"
                          "      Height = 21\n      TabOrder = 0\n    end\n"
                          "  end\n"
                          "end\n");
  auto* k = dynamic_cast<TKfrm*>(f.FindComponent("Kfrm1"));
  ASSERT_NE(k, nullptr);
  EXPECT_FALSE(k->Visible());
  EXPECT_EQ(k->ACaption(), "Gr\xF6\xDF" "en");
  EXPECT_EQ(k->CaptionLabel()->Caption(), " Gr\xF6\xDF" "en");
  EXPECT_EQ(k->CaptionLabel()->Name(), "lb_Kfrm1");  // named before ACaption was read
  EXPECT_EQ(k->CloseButton()->Name(), "bt_Kfrm1");
  EXPECT_EQ(k->CaptionLabel()->Color(), clInactiveCaption);
  EXPECT_EQ(k->CloseButton()->Left(), 250 - 15);
  EXPECT_EQ(k->MinWidth(), 250);
  EXPECT_EQ(k->ActiveControl(), f.FindComponent("Edit1"));
  EXPECT_EQ(k->Caption(), "");
}

// Renders an inner window for a look (ZEL_PANELS_SNAP=dir writes PPM files).
TEST_F(KfrmTest, Rendering) {
  kfrm->SetBounds(10, 10, 240, 120);
  kfrm->SetName("Kfrm1");
  kfrm->SetACaption("Artikeldaten");
  TWinControl* e = platform::CreateLineEditControl(form.get());
  e->SetParent(kfrm);
  e->SetBounds(10, 40, 120, 21);
  Show();
  const platform::PixelImage img = platform::RenderControl(kfrm);
  ASSERT_EQ(img.Width, 240);
  ASSERT_EQ(img.Height, 120);
  // The outer bevel's highlight at the top left, the shadow at the bottom
  // right; the title bar inside both bevels.
  EXPECT_EQ(img.At(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(img.At(239, 119), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img.At(100, 10), ColorToRGB(clActiveCaption));
  EXPECT_EQ(img.At(100, 18), ColorToRGB(clActiveCaption));  // 17 high
  EXPECT_EQ(img.At(100, 19), ColorToRGB(clBtnFace));
  EXPECT_EQ(img.At(2, 10), ColorToRGB(clActiveCaption));  // across the width, inside both bevels
  EXPECT_EQ(img.At(237, 10), ColorToRGB(clActiveCaption));
  EXPECT_EQ(img.At(238, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img.At(100, 30), ColorToRGB(clBtnFace));
  // The cross on the close button at (225, 5).
  EXPECT_EQ(img.At(225 + 2 + 2, 5 + 2 + 3), clBlack);
  if (const char* dir = std::getenv("ZEL_PANELS_SNAP")) {
    const std::string path = std::string(dir) + "/kfrm.ppm";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fprintf(f, "P6\n%d %d\n255\n", img.Width, img.Height);
      for (TColor c : img.Pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>((c >> 8) & 0xFF),
                                      static_cast<unsigned char>((c >> 16) & 0xFF)};
        std::fwrite(rgb, 1, 3, f);
      }
      std::fclose(f);
    }
  }
}

}  // namespace
