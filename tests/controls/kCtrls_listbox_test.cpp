// The multi-column list box: keys, clicks and OnChange, the type-ahead
// search, Enter, the focus entry click, colours and columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/kCtrls.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/rtl/sysutils.h"
#include "tests/controls/kCtrls_support.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

using zeltest::Char;
using zeltest::DrawThroughOwnerDraw;
using zeltest::FakeClock;
using zeltest::TakeNextDlgCtl;

namespace {

class ProbeList : public TKListBox {
public:
  using TKListBox::TKListBox;
  char Press(char Key) {
    KeyPress(Key);
    return Key;
  }
  void UserClick() { Click(); }
};

class KListBox : public ::testing::Test {
protected:
  KListBox() : form(nullptr), box(new ProbeList(&form)) {
    box->OnClick = [this](TObject*) { events.push_back("click"); };
    box->OnChange = [this](TObject* s) {
      EXPECT_EQ(s, box);
      events.push_back("change");
    };
  }
  void Fill(const std::vector<const char*>& Lines) {
    for (const char* l : Lines) box->AddLine(l);
  }
  TForm form;
  ProbeList* box;
  std::vector<std::string> events;
};

TEST_F(KListBox, Creation) {
  EXPECT_EQ(box->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(box->LastIndex(), -1);
  EXPECT_FALSE(box->GitterHorizontal());
  EXPECT_FALSE(box->ColWidthsInPoint());
  EXPECT_EQ(box->DrawFlags(), 0u);
  EXPECT_TRUE(box->AutoComplete());
}

TEST_F(KListBox, GetKeyIntOfAHitLine) {
  struct Case {
    const char* Line;
    int KeyPos;
    int Expected;
  };
  const Case cases[] = {{"1;2041;AB-17", 2, 2041}, {"1;00012;x", 2, 12}, {"1;2.5;x", 2, 2},
                        {"1;3.5;x", 2, 4},         {"1;abc;x", 2, -1},   {"1;;x", 2, -1}};
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  for (const auto& c : cases) {
    box->Items()->Clear();
    box->SetKeyPos(c.KeyPos);
    box->AddLine(c.Line);
    box->SetIndex(0);
    EXPECT_EQ(box->GetKeyInt(), c.Expected) << c.Line;
  }
  DecimalSeparator = saved;
  box->SetItemIndex(-1);
  EXPECT_EQ(box->GetKey(), "");
  EXPECT_EQ(box->GetKeyInt(), -1);
}

TEST_F(KListBox, SetIndexSelectsSilently) {
  Fill({"1;a", "2;b", "3;c"});
  box->SetIndex(10);
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(box->BaseKey(), "3");
  EXPECT_EQ(box->CurrentKey(), "3");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(box->LastIndex(), -1);
  // The next click runs UpdateCurrent, since LastIndex is still -1.
  box->UserClick();
  EXPECT_EQ(box->LastIndex(), 2);
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
}

TEST_F(KListBox, SetIndexOnAnEmptyBox) {
  box->SetIndex(0);
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST_F(KListBox, SetIndexWithANegativeIndexRaises) {
  Fill({"1;a"});
  box->SetIndex(0);
  EXPECT_THROW(box->SetIndex(-1), EListError);
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(box->BaseKey(), "1");
}

TEST_F(KListBox, ClickUpdatesTheKeyAndFiresOnChangeEveryTime) {
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  box->SetItemIndex(1);
  box->UserClick();
  EXPECT_EQ(box->CurrentKey(), "2");
  EXPECT_TRUE(box->KeyChanged());
  EXPECT_EQ(box->LastIndex(), 1);
  box->UserClick();  // not moved: OnChange all the same
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change", "click", "change"}));
}

TEST_F(KListBox, ChangedStateComparesFoldedKeys) {
  Fill({"abc;1", "ABC;2", "\xE4;3", "\xC4;4"});
  struct Case {
    int Base;
    int Selected;
    bool Changed;
  };
  const Case cases[] = {{0, 1, false}, {0, 0, false}, {2, 3, true}, {0, 2, true}};
  for (const auto& c : cases) {
    box->SetIndex(c.Base);
    box->SetItemIndex(c.Selected);
    box->UpdateCurrent();
    EXPECT_EQ(box->KeyChanged(), c.Changed) << c.Base << "->" << c.Selected;
  }
}

TEST_F(KListBox, ExitReEvaluatesTheChangedState) {
  int exits = 0;
  box->OnExit = [&](TObject*) { ++exits; };
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  box->SetItemIndex(1);
  LastExitControl = nullptr;
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_TRUE(box->KeyChanged());
  EXPECT_EQ(box->CurrentKey(), "2");
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(LastExitControl.Get(), nullptr);  // the list box does not record itself
}

TEST_F(KListBox, ExitOfAnEmptyBox) {
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST_F(KListBox, SetChangedNeedsEntries) {
  box->SetChanged(true);
  EXPECT_FALSE(box->KeyChanged());
  Fill({"1;a"});
  box->SetIndex(0);
  box->SetChanged(true);
  EXPECT_TRUE(box->KeyChanged());
  box->SetChanged(false);
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(box->BaseKey(), "1");
}

TEST_F(KListBox, GitterHorizontalIsBitZero) {
  box->SetGitterHorizontal(true);
  EXPECT_TRUE(box->GitterHorizontal());
  EXPECT_EQ(box->DrawFlags(), 1u);
  box->SetGitterHorizontal(false);
  box->SetGitterHorizontal(false);
  EXPECT_FALSE(box->GitterHorizontal());
  EXPECT_EQ(box->DrawFlags(), 0u);
}

// ---------------------------------------------------------------- keys

TEST_F(KListBox, EnterHandsOnAndNeverReachesTheSearch) {
  FakeClock clock;
  Fill({"1;a"});
  std::vector<char> seen;
  box->OnKeyPress = [&](TObject*, char& k) { seen.push_back(k); };
  EXPECT_EQ(box->Press('\r'), '\0');
  EXPECT_EQ(seen, std::vector<char>{'\r'});
  EXPECT_EQ(box->SearchText(), "");
  EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>{0});
  EXPECT_TRUE(events.empty());
}

class KListSearch : public KListBox {
protected:
  KListSearch() { Fill({"4;four", "40;forty", "42;x", "420;y", "7;seven"}); }
  FakeClock clock;
};

TEST_F(KListSearch, TypingBackspaceAndErasing) {
  EXPECT_EQ(box->Press('4'), '\0');
  EXPECT_EQ(box->ItemIndex(), 0);
  clock.Advance(300);
  box->Press('2');
  EXPECT_EQ(box->SearchText(), "42");
  EXPECT_EQ(box->ItemIndex(), 2);
  box->Press('0');
  EXPECT_EQ(box->ItemIndex(), 3);
  events.clear();
  EXPECT_EQ(box->Press('\b'), '\b');
  EXPECT_EQ(box->SearchText(), "42");
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
  box->Press('\b');
  box->Press('\b');
  EXPECT_EQ(box->SearchText(), "");
  EXPECT_EQ(box->ItemIndex(), 0);  // erased: the first entry
}

TEST_F(KListSearch, PauseBoundary) {
  struct Case {
    DWORD Pause;
    const char* Text;
    int Index;
  };
  const Case cases[] = {{999, "47", -1}, {1000, "47", -1}, {1001, "7", 4}};
  for (const auto& c : cases) {
    box->SetIndex(2);
    clock.Advance(5000);
    box->Press('4');
    clock.Advance(c.Pause);
    EXPECT_EQ(box->Press('7'), '\0');  // found or not, the key is consumed
    EXPECT_EQ(box->SearchText(), c.Text) << c.Pause;
    EXPECT_EQ(box->ItemIndex(), c.Index < 0 ? 0 : c.Index) << c.Pause;
  }
}

TEST_F(KListSearch, EscIsCollectedAndPassedOn) {
  box->Press('4');
  EXPECT_EQ(box->Press('\x1B'), '\x1B');
  EXPECT_EQ(box->SearchText(), "4\x1B");
}

TEST_F(KListSearch, SearchIgnoresCase) {
  box->Items()->Clear();
  Fill({"Anton;1", "Berta;2"});
  box->Press('b');
  EXPECT_EQ(box->ItemIndex(), 1);
}

TEST_F(KListSearch, MultiSelectSelectsOnlyTheFoundEntry) {
  box->SetMultiSelect(true);
  box->SetSelected(0, true);
  box->SetSelected(1, true);
  box->Press('7');
  EXPECT_EQ(box->ItemIndex(), 4);
  EXPECT_EQ(box->SelCount(), 1);
  EXPECT_TRUE(box->Selected(4));
}

TEST_F(KListSearch, WithoutAutoCompleteNothingHappens) {
  box->SetAutoComplete(false);
  EXPECT_EQ(box->Press('7'), '7');
  EXPECT_EQ(box->ItemIndex(), -1);
}

// A real window: Enter moves the focus; the focus entry clicks where the
// mouse pointer rests.
TEST(KListBoxWindow, EnterAndFocusEntry) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  auto* first = new TEdit(&form);
  first->SetParent(&form);
  first->SetBounds(5, 5, 100, 21);
  auto* box = new TKListBox(&form);
  box->SetParent(&form);
  box->SetBounds(5, 35, 200, 150);
  box->SetItemHeight(13);
  box->SetColWidths("2;5;40;");
  box->SetKeyPos(2);
  for (int i = 0; i < 5; ++i) box->AddLine(IntToStr(i) + ";" + IntToStr(1000 + i) + ";Artikel " + IntToStr(i));
  auto* next = new TEdit(&form);
  next->SetParent(&form);
  next->SetBounds(5, 200, 100, 21);
  int clicks = 0, mouseDowns = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  zeltest::ShowForm(&form);
  ASSERT_TRUE(first->Focused());

  // The pointer over the fourth entry: focusing the box selects it.
  const TRect r = box->ItemRect(3);
  platform::SetMousePos(box, r.Left + 10, r.Top + 3);
  box->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(box->Focused());
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_EQ(box->GetKeyInt(), 1003);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(mouseDowns, 0);

  zeltest::PressKey(VK_RETURN);
  EXPECT_TRUE(next->Focused());
  platform::SetMousePos(box, 500, 500);  // away from the box
  box->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(box->ItemIndex(), 3);

  // A mouse click into the box from another control.
  first->SetFocus();
  clicks = 0;
  const TRect r4 = box->ItemRect(4);
  platform::SetMousePos(box, r4.Left + 10, r4.Top + 3);
  zeltest::Click(box, r4.Left + 10, r4.Top + 3);
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(box->ItemIndex(), 4);
  EXPECT_GE(clicks, 1);
  EXPECT_EQ(mouseDowns, 1);

  // Tabbing into the box clicks as well.
  first->SetFocus();
  platform::SetMousePos(box, r.Left + 10, box->ItemRect(1).Top + 3);
  zeltest::PressKey(VK_TAB);
  ASSERT_TRUE(box->Focused());
  EXPECT_EQ(box->ItemIndex(), 1);
}

// The search in a real window: the list shows the entry it found (scrolled
// into view), and the arrow keys go on from there.
TEST(KListBoxWindow, SearchShowsTheFoundEntryAndTheArrowsGoOnFromIt) {
  zeltest::FakeClock clock;
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  auto* box = new TKListBox(&form);
  box->SetParent(&form);
  box->SetBounds(5, 5, 200, 60);
  box->SetItemHeight(13);
  for (int i = 10; i < 40; ++i) box->AddLine(IntToStr(i) + ";Artikel " + IntToStr(i));
  box->SetIndex(0);
  platform::SetMousePos(box, 500, 500);  // away from the box, which clicks there when it takes the focus
  zeltest::ShowForm(&form);
  box->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_EQ(box->ItemIndex(), 0);
  zeltest::TypeText("35");
  ASSERT_EQ(box->ItemIndex(), 25);
  const TRect r = box->ItemRect(25);
  EXPECT_GE(r.Top, 0);
  EXPECT_LE(r.Bottom, box->ClientHeight());
  zeltest::PressKey(VK_DOWN);
  EXPECT_EQ(box->ItemIndex(), 26);
  EXPECT_EQ(box->GetKey(), "36");
}

// ---------------------------------------------------------------- drawing

class KListDraw : public KListBox {
protected:
  void Draw(int Index, UINT State, int Width = 400, int Height = 13, TColor Background = clBlack) {
    zeltest::DrawRecording rec;
    canvas = DrawThroughOwnerDraw(box, Index, State, Width, Height, ODT_LISTBOX, Background);
    texts = rec.OfKind(platform::DrawOp::Text);
    lines = rec.OfKind(platform::DrawOp::Line);
    fills = rec.OfKind(platform::DrawOp::Fill);
    focus = rec.OfKind(platform::DrawOp::FocusRect);
    letter = canvas->TextWidth("W");
  }
  std::unique_ptr<TCanvas> canvas;
  std::vector<platform::DrawOp> texts, lines, fills, focus;
  int letter = 0;
};

TEST_F(KListDraw, ColumnPositionsInPixels) {
  box->SetColWidths("48;88;68;68;100;");
  box->SetColWidthsInPoint(true);
  Fill({"a;b;c;d;e"});
  Draw(0, 0);
  ASSERT_EQ(texts.size(), 5u);
  const int starts[] = {3, 51, 140, 209, 278};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(texts[static_cast<std::size_t>(i)].Rect.Left, starts[i]) << i;
  ASSERT_EQ(lines.size(), 4u);  // the fifth column has no separator
  const int seps[] = {48, 137, 206, 275};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)].From, TPoint(seps[i], 0)) << i;
    EXPECT_EQ(lines[static_cast<std::size_t>(i)].To, TPoint(seps[i], 13)) << i;
    EXPECT_EQ(ColorToRGB(lines[static_cast<std::size_t>(i)].Color), ColorToRGB(clBtnShadow));
  }
  // The separators by pixels: the column of x = 48 is shadow from top to bottom.
  const platform::PixelImage img = platform::CanvasPixels(canvas.get());
  for (int y = 0; y < 13; ++y) EXPECT_EQ(img.At(48, y), ColorToRGB(clBtnShadow)) << y;
}

TEST_F(KListDraw, ColumnPositionsInLetters) {
  box->SetColWidths("5;5;");
  Fill({"a;b;c;d"});
  Draw(0, 0);
  ASSERT_EQ(texts.size(), 2u);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].From.X, 5 * letter);
  EXPECT_EQ(lines[1].From.X, 10 * letter + 1);
}

TEST_F(KListDraw, HitListLayout) {
  // The main window's hit list: SortItem 0, ColWidths "2;5;40;", KeyPos 2.
  box->SetColWidths("2;5;40;");
  box->SetKeyPos(2);
  Fill({"1;2041;AB-17"});
  Draw(0, 0);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].TextValue, "1");
  EXPECT_EQ(texts[1].TextValue, "2041");
  EXPECT_EQ(texts[2].TextValue, "AB-17");
  EXPECT_EQ(texts[1].Rect.Left, 2 * letter + 3);
  EXPECT_EQ(texts[2].Rect.Left, 7 * letter + 1 + 3);
}

// The hit list's article number column is five letters wide; a longer
// number is drawn whole and moves the separator and the next column behind
// it (one pixel more before a separator after column 2, as always).
TEST_F(KListDraw, ATextWiderThanItsColumnIsDrawnWhole) {
  box->SetColWidths("2;5;40;");
  box->SetKeyPos(2);
  const char* const Numbers[] = {"2041", "100101", "12345678"};
  for (const char* N : Numbers) {
    SCOPED_TRACE(N);
    box->Items()->Clear();
    const std::string line = std::string("1;") + N + ";AB-17";
    Fill({line.c_str()});
    Draw(0, 0);
    ASSERT_EQ(texts.size(), 3u);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].From.X, 2 * letter);
    const int end = std::max(7 * letter, texts[1].Rect.Right);
    EXPECT_EQ(lines[1].From.X, end + 1);
    EXPECT_EQ(texts[2].Rect.Left, end + 1 + 3);
  }
}

TEST_F(KListDraw, OnGetLineReplacesTheDrawnLine) {
  box->SetColWidths("5;5;");
  Fill({"1;stored"});
  box->OnGetLine = [this](TObject* s, int ind, AnsiString& t) {
    EXPECT_EQ(s, box);
    EXPECT_EQ(ind, 0);
    t = "7;X";
  };
  Draw(0, 0);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].TextValue, "7");
  EXPECT_EQ(texts[1].TextValue, "X");
  box->SetIndex(0);
  EXPECT_EQ(box->GetKey(), "1");
}

struct ListColourCase {
  const char* Name;
  bool Enabled;
  UINT State;
  TColor Brush;
  TColor Text;
  bool FocusRect;
};

TEST_F(KListDraw, Colours) {
  box->SetColor(static_cast<TColor>(16711145));  // the hit list's colour
  box->Font()->SetColor(clNavy);
  box->SetColWidths("20;");
  Fill({"Eintrag;x"});
  const TColor dimmed = ScaleColor(static_cast<TColor>(16711145), 0.9L);
  const ListColourCase cases[] = {
      {"plain", true, 0, 16711145, clNavy, false},
      {"selected and focused", true, ODS_SELECTED | ODS_FOCUS, clHighlight, clHighlightText, true},
      {"selected without focus", true, ODS_SELECTED, dimmed, clNavy, true},
      {"disabled", false, ODS_SELECTED, 16711145, clInactiveCaption, true},
  };
  for (const auto& c : cases) {
    box->SetEnabled(c.Enabled);
    Draw(0, c.State, 200, 13);
    ASSERT_FALSE(fills.empty()) << c.Name;
    EXPECT_EQ(ColorToRGB(fills.back().Color), ColorToRGB(c.Brush)) << c.Name;
    ASSERT_EQ(texts.size(), 1u) << c.Name;
    EXPECT_EQ(ColorToRGB(texts[0].Color), ColorToRGB(c.Text)) << c.Name;
    EXPECT_EQ(!focus.empty(), c.FocusRect) << c.Name;
    // By pixels: the middle of the right end of the item shows the brush.
    const platform::PixelImage img = platform::CanvasPixels(canvas.get());
    EXPECT_EQ(img.At(190, 6), ColorToRGB(c.Brush)) << c.Name;
  }
}

TEST_F(KListDraw, DimmedSelectionIsScaledByPointNine) {
  box->SetColor(clWhite);
  Fill({"a;b"});
  Draw(0, ODS_SELECTED, 50, 13);
  const platform::PixelImage img = platform::CanvasPixels(canvas.get());
  EXPECT_EQ(img.At(40, 6), static_cast<TColor>(0xE6E6E6));
}

TEST_F(KListDraw, GitterHorizontal) {
  box->SetGitterHorizontal(true);
  box->SetColWidths("20;");
  Fill({"a;b"});
  Draw(0, ODS_SELECTED, 100, 13);
  EXPECT_TRUE(focus.empty());  // no focus rectangle around an unfocused selection
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().From, TPoint(0, 12));
  EXPECT_EQ(lines.back().To, TPoint(100, 12));
  const platform::PixelImage img = platform::CanvasPixels(canvas.get());
  for (int x = 0; x < 100; ++x) EXPECT_EQ(img.At(x, 12), ColorToRGB(clBtnShadow)) << x;
}

TEST_F(KListDraw, OnPaintItemRunsBeforeTheFill) {
  Fill({"a;b"});
  box->OnPaintItem = [this](TWinControl* c, int i, TRect r, TOwnerDrawState st) {
    EXPECT_EQ(c, box);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(r, TRect(0, 0, 60, 13));
    EXPECT_TRUE(st.Contains(odSelected));
    box->Canvas()->Brush()->SetColor(clLime);
  };
  Draw(0, ODS_SELECTED | ODS_FOCUS, 60, 13);
  const platform::PixelImage img = platform::CanvasPixels(canvas.get());
  EXPECT_EQ(img.At(50, 6), clLime);
}

TEST_F(KListDraw, NoneLineAndIndexBeyondTheEntries) {
  box->SetNoneItem("0;(alle);");
  box->SetColWidths("5;5;");
  Fill({"1;a"});
  Draw(0, 0);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].TextValue, "0");
  EXPECT_EQ(texts[1].TextValue, "(alle)");
  Draw(5, 0);
  EXPECT_TRUE(texts.empty());
  EXPECT_TRUE(fills.empty());
}

// A rendered, focused box against the same box without focus.
TEST(KListBoxRender, FocusedAndUnfocusedSelection) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* box = new TKListBox(&form);
  box->SetParent(&form);
  box->SetBounds(0, 0, 200, 100);
  box->SetItemHeight(13);
  box->SetColWidths("3;20;");
  box->SetColor(clWhite);
  for (int i = 0; i < 3; ++i) box->AddLine(IntToStr(i) + ";Zeile " + IntToStr(i));
  auto* other = new TEdit(&form);
  other->SetParent(&form);
  other->SetBounds(0, 150, 100, 21);
  zeltest::ShowForm(&form);
  platform::SetMousePos(box, 500, 500);
  box->SetFocus();
  box->SetIndex(1);
  zeltest::RunPostedMessages();
  const TRect r = box->ItemRect(1);
  const platform::PixelImage focused = platform::RenderControl(box);
  EXPECT_EQ(focused.At(r.Right - 5, r.Top + 6), ColorToRGB(clHighlight));
  other->SetFocus();
  zeltest::RunPostedMessages();
  const platform::PixelImage unfocused = platform::RenderControl(box);
  EXPECT_EQ(unfocused.At(r.Right - 5, r.Top + 6), static_cast<TColor>(0xE6E6E6));
  EXPECT_EQ(unfocused.At(r.Right - 5, r.Top + 6 + 13), clWhite);
}

// ---------------------------------------------------------------- window descriptions

class TKListForm : public TForm {
  ZEL_CLASS(TKListForm, TForm)
public:
  explicit TKListForm(const AnsiString& Text) : TForm(nullptr) { ReadDescription(Text); }
  TKListBox* lbox = nullptr;
  int Enters = 0;
  void lboxEnter(TObject*) { ++Enters; }
};

const bool listFormRegistered = platform::RegisterClass<TKListForm>("TKListForm", "TForm")
                                    .NotCreatable()
                                    .Field("lbox", &TKListForm::lbox)
                                    .Method("lboxEnter", &TKListForm::lboxEnter)
                                    .Done();

TEST(KListDescription, PublishedProperties) {
  ASSERT_TRUE(listFormRegistered);
  TKListForm form(
      "object KListForm: TKListForm\n"
      "  object lbox: TKListBox\n"
      "    Left = 0\n"
      "    Top = 225\n"
      "    Width = 201\n"
      "    Height = 300\n"
      "    Style = lbOwnerDrawFixed\n"
      "    Color = 16711145\n"
      "    ItemHeight = 13\n"
      "    TabOrder = 0\n"
      "    TabStop = True\n"
      "    SortItem = 0\n"
      "    ColWidths = '2;5;40;'\n"
      "    ColWidthsInPoint = True\n"
      "    GitterHorizontal = True\n"
      "    KeyPos = 2\n"
      "    NoneItem = '0;-;'\n"
      "    Sorted = True\n"
      "    OnEnter = lboxEnter\n"
      "  end\n"
      "end\n");
  ASSERT_NE(form.lbox, nullptr);
  EXPECT_EQ(form.lbox->SortItem(), 0);
  EXPECT_EQ(form.lbox->ColWidths(), "2;5;40;");
  EXPECT_TRUE(form.lbox->ColWidthsInPoint());
  EXPECT_TRUE(form.lbox->GitterHorizontal());
  EXPECT_EQ(form.lbox->KeyPos(), 2);
  EXPECT_EQ(form.lbox->NoneItem(), "0;-;");
  EXPECT_EQ(form.lbox->Color(), 16711145);
  EXPECT_EQ(form.lbox->ItemHeight(), 13);
  EXPECT_TRUE(form.lbox->Sorted());
  EXPECT_TRUE(form.lbox->TabStop());
  ASSERT_TRUE(form.lbox->OnEnter);
  form.lbox->OnEnter(form.lbox);
  EXPECT_EQ(form.Enters, 1);
}

TEST(KListDescription, StyleDefaultsToOwnerDrawFixed) {
  TKListForm form(
      "object KListForm: TKListForm\n"
      "  object lbox: TKListBox\n"
      "  end\n"
      "end\n");
  ASSERT_NE(form.lbox, nullptr);
  EXPECT_EQ(form.lbox->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(form.lbox->KeyPos(), 1);
}

}  // namespace
