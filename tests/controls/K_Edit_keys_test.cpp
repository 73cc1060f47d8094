// The masked edit's keys: typing into masked fields character by character,
// refused characters, Backspace, blank, Esc, Enter and the read-once flag,
// Up and Down, clipboard messages, focus entry and exit, the value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/K_Edit.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "tests/controls/K_Edit_support.h"
#include "tests/support/gui_input.h"

using zeltest::BeepCounter;
using zeltest::EditForm;
using zeltest::TakeNextDlgCtl;
using zeltest::TestClipboard;

namespace {

// Keys of the paste tables: "\b" is Backspace, "\x16" Ctrl+V, every other
// character is typed.
void PressKeys(const char* Keys) {
  for (const char* k = Keys; *k; ++k) {
    if (*k == '\b')
      ASSERT_TRUE(zeltest::PressKey(VK_BACK));
    else if (*k == '\x16')
      ASSERT_TRUE(zeltest::PressCtrl('V'));
    else
      ASSERT_TRUE(zeltest::TypeText(AnsiString(1, *k)));
  }
}

class KEditKeys : public EditForm {
protected:
  // Presses Keys into the focused edit, then moves the focus on.
  void PressKeysAndLeave(const char* Keys) {
    PressKeys(Keys);
    other->SetFocus();
    zeltest::RunPostedMessages();
  }
};

struct TypeCase {
  const char* Mask;
  const char* Start;
  const char* Typed;
  const char* Result;
  int Beeps;
};

TEST_F(KEditKeys, TypingIntoMaskedFields) {
  const TypeCase cases[] = {
      {"99.99.9999", "", "0102", "01.02", 0},    // the literal goes in before the third digit
      {"99.99.9999", "01", ".", "01..", 0},      // "." itself occurs in the mask
      {"99.99.9999", "", "01022024", "01.02.2024", 0},
      {"00000000", "12345678", "9", "12345678", 1},  // beyond MaxLength
      {"00000000", "", "12a3", "123", 1},
      {">>>", "", "ab\xE4", "AB\xC4", 0},
      {"<<", "", "XY", "xy", 0},
      {"9999-", "", "-1234", "-123", 1},  // the sign only first; then MaxLength 4
      {"9999-", "1", "-", "1", 1},
      {"99-99", "12", "-", "12--", 0},  // the literal, then "-" itself
      {"99:99", "", "0930", "0930", 0},
      {"9999,99", "", "1234567", "123456", 1},
      {"9999,99", "", "12,5", "12,5", 0},
  };
  for (const auto& c : cases) {
    edit->SetEditMask(c.Mask);
    edit->SetText(c.Start);
    FocusAtEnd(edit);
    BeepCounter beeps;
    ASSERT_TRUE(zeltest::TypeText(c.Typed));
    EXPECT_EQ(edit->Text(), c.Result) << c.Mask << " '" << c.Start << "' + '" << c.Typed << "'";
    EXPECT_EQ(beeps.Count(), c.Beeps) << c.Mask << " '" << c.Typed << "'";
    for (UINT t : beeps.Types) EXPECT_EQ(t, 0u);
    EXPECT_EQ(edit->SelStart(), static_cast<int>(edit->Text().size())) << c.Mask;
    EXPECT_EQ(edit->SelLength(), 0);
    other->SetFocus();
    zeltest::RunPostedMessages();
  }
}

TEST_F(KEditKeys, RefusedCharacterChangesNothing) {
  edit->SetEditMask("00000000");
  edit->SetText("1234");
  FocusAtEnd(edit);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  BeepCounter beeps;
  ASSERT_TRUE(zeltest::TypeText("x"));
  EXPECT_EQ(edit->Text(), "1234");
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(changes, 0);
}

TEST_F(KEditKeys, TypingOverTheSelectionAndInsideAFullText) {
  edit->SetEditMask("99.99.9999");
  edit->SetText("01.02.2024");
  Show(edit);  // the focus selects all
  BeepCounter beeps;
  ASSERT_TRUE(zeltest::TypeText("3"));
  EXPECT_EQ(edit->Text(), "3");
  // A full text with the caret inside: swallowed without a beep.
  edit->SetEditMask("0000");
  edit->SetText("1234");
  edit->SetSelStart(2);
  ASSERT_TRUE(zeltest::TypeText("5"));
  EXPECT_EQ(edit->Text(), "1234");
  EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(KEditKeys, BackspaceRemovesTheLastCharacterWhereverTheCaret) {
  edit->SetEditMask("99.99.9999");
  edit->SetText("01.02");
  Show(edit);
  for (int caret : {0, 2, 5}) {
    edit->SetText("01.02");
    edit->SetSelStart(caret);
    ASSERT_TRUE(zeltest::PressKey(VK_BACK));
    EXPECT_EQ(edit->Text(), "01.0") << caret;
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->SelLength(), 0);
  }
  edit->SetText("");
  ASSERT_TRUE(zeltest::PressKey(VK_BACK));
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(KEditKeys, Blank) {
  edit->SetEditMask("00000000");
  edit->SetText("1234");
  Show(edit);  // all selected
  ASSERT_TRUE(zeltest::TypeText(" "));
  EXPECT_EQ(edit->Text(), "");
  // The empty text counts as fully selected: consumed.
  ASSERT_TRUE(zeltest::TypeText(" "));
  EXPECT_EQ(edit->Text(), "");
  // Elsewhere a blank goes in as typed, even under a digit mask.
  edit->SetText("12");
  edit->SetSelStart(2);
  BeepCounter beeps;
  ASSERT_TRUE(zeltest::TypeText(" "));
  EXPECT_EQ(edit->Text(), "12 ");
  EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(KEditKeys, CaretAndAtSign) {
  FocusAtEnd(edit);
  ASSERT_TRUE(zeltest::TypeText("a^@b"));
  EXPECT_EQ(edit->Text(), "ab");
  edit->SetEditChars("@");
  ASSERT_TRUE(zeltest::TypeText("^@"));
  EXPECT_EQ(edit->Text(), "ab@");
}

TEST_F(KEditKeys, UnmaskedTypingGoesToThePlatformEdit) {
  edit->SetText("ab");
  FocusAtEnd(edit);
  edit->SetSelStart(1);
  ASSERT_TRUE(zeltest::TypeText("xy"));
  EXPECT_EQ(edit->Text(), "axyb");
  ASSERT_TRUE(zeltest::PressKey(VK_BACK));
  EXPECT_EQ(edit->Text(), "axb");
}

TEST_F(KEditKeys, OnKeyPressRunsOncePerCharacter) {
  std::vector<char> seen;
  edit->OnKeyPress = [&](TObject*, char& Key) {
    seen.push_back(Key);
    if (Key == 'z') Key = 0;  // ends the handling
  };
  edit->SetEditMask("99.99");
  FocusAtEnd(edit);
  BeepCounter beeps;
  ASSERT_TRUE(zeltest::TypeText("12z3x"));
  EXPECT_EQ(seen, (std::vector<char>{'1', '2', 'z', '3', 'x'}));
  EXPECT_EQ(edit->Text(), "12.3");
  EXPECT_EQ(beeps.Count(), 1);  // only "x"
  edit->SetEditMask("");
  seen.clear();
  ASSERT_TRUE(zeltest::TypeText("ab"));
  EXPECT_EQ(seen, (std::vector<char>{'a', 'b'}));
}

TEST_F(KEditKeys, EscReturnsToTheReferenceText) {
  edit->SetEditMask("00000000");
  FocusAtEnd(edit);
  ASSERT_TRUE(zeltest::TypeText("42"));
  ASSERT_TRUE(zeltest::PressKey(VK_ESCAPE));
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(edit->SelStart(), 0);
  // A value written through EText counts as changed when the edit is left;
  // the reference text stays empty, and Esc returns to it.
  edit->SetEText("123");
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_TRUE(edit->ValueChanged());
  EXPECT_EQ(edit->ReferenceText(), "");
  edit->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(zeltest::PressKey(VK_ESCAPE));
  EXPECT_EQ(edit->Text(), "");
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_FALSE(edit->ValueChanged());
}

TEST_F(KEditKeys, ReadOnlyMaskedEditStillTakesTyping) {
  edit->SetEditMask("00000000");
  edit->SetReadOnly(true);
  FocusAtEnd(edit);
  ASSERT_TRUE(zeltest::TypeText("42"));
  EXPECT_EQ(edit->Text(), "42");
  ASSERT_TRUE(zeltest::PressKey(VK_ESCAPE));
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(KEditKeys, EnterHandsTheFocusOnAndIsReadOnce) {
  edit->SetEditMask("00000000");
  FocusAtEnd(edit);
  bool crAtExit = false;
  int exits = 0;
  edit->OnExit = [&](TObject*) {
    ++exits;
    crAtExit = edit->GetKeyCR();
  };
  ASSERT_TRUE(zeltest::TypeText("12"));
  ASSERT_TRUE(zeltest::PressKey(VK_RETURN));
  EXPECT_EQ(edit->Text(), "12");  // nothing inserted
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_EQ(exits, 1);
  EXPECT_TRUE(crAtExit);
  EXPECT_FALSE(edit->GetKeyCR());
  // Left by Tab: the flag is false.
  edit->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(zeltest::PressKey(VK_TAB));
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_EQ(exits, 2);
  EXPECT_FALSE(crAtExit);
}

TEST_F(KEditKeys, KeyCRIsClearedByKeysAndFocusEntry) {
  // Perform does not run the posted focus move, so the flag stays to be seen.
  edit->SetEditMask("9999");
  edit->HandleNeeded();
  edit->Perform(WM_CHAR, '\r', 0);
  EXPECT_EQ(TakeNextDlgCtl(form.get()), (std::vector<WPARAM>{0}));
  edit->Perform(WM_CHAR, '1', 0);
  EXPECT_FALSE(edit->GetKeyCR());
  edit->Perform(WM_CHAR, '\r', 0);
  edit->Perform(WM_KEYDOWN, VK_SHIFT, 0);
  EXPECT_FALSE(edit->GetKeyCR());
  edit->Perform(WM_CHAR, '\r', 0);
  edit->Perform(CM_ENTER, 0, 0);
  EXPECT_FALSE(edit->GetKeyCR());
  edit->Perform(WM_CHAR, '\r', 0);
  EXPECT_TRUE(edit->GetKeyCR());
  EXPECT_FALSE(edit->GetKeyCR());
  TakeNextDlgCtl(form.get());
}

TEST_F(KEditKeys, UpAndDownHandTheFocusOn) {
  edit->HandleNeeded();
  const struct {
    WORD Key;
    std::vector<WPARAM> Posted;
  } cases[] = {{VK_UP, {1}}, {VK_DOWN, {0}}, {VK_HOME, {}}};
  for (const auto& c : cases) {
    edit->Perform(WM_KEYDOWN, c.Key, 0);
    EXPECT_EQ(TakeNextDlgCtl(form.get()), c.Posted) << c.Key;
  }
  // With MapEnterToTab the topmost parent form gets it, not the owner.
  TForm owner(nullptr);
  auto* e = new TStrEdit(&owner);
  e->SetParent(form.get());
  e->SetMapEnterToTab(true);
  e->HandleNeeded();
  e->Perform(WM_CHAR, '\r', 0);
  EXPECT_EQ(TakeNextDlgCtl(form.get()), (std::vector<WPARAM>{0}));
  EXPECT_TRUE(TakeNextDlgCtl(&owner).empty());
  e->SetMapEnterToTab(false);
  e->Perform(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(TakeNextDlgCtl(&owner), (std::vector<WPARAM>{1}));
  delete e;
}

TEST_F(KEditKeys, UpAndDownThroughTheForm) {
  Show(edit);
  ASSERT_TRUE(zeltest::PressKey(VK_DOWN));
  EXPECT_EQ(form->ActiveControl(), other);
  ASSERT_TRUE(zeltest::PressKey(VK_UP));
  EXPECT_EQ(form->ActiveControl(), edit);
}

TEST_F(KEditKeys, LeftAndRightStepOverLiterals) {
  edit->SetEditMask("99.99");
  edit->SetText("01.02");
  edit->HandleNeeded();
  // Left with the caret right of the literal: the selection takes it in.
  edit->SetSelStart(3);
  edit->Perform(WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 1);
  // Right with the literal after the next character: one on.
  edit->SetSelStart(1);
  edit->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 0);
  // Elsewhere nothing changes.
  edit->SetSelStart(4);
  edit->Perform(WM_KEYDOWN, VK_LEFT, 0);
  edit->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(edit->SelStart(), 4);
  // Through the keyboard the caret passes the literal with one key.
  Show(edit);
  edit->SetSelStart(1);
  ASSERT_TRUE(zeltest::PressKey(VK_RIGHT));
  EXPECT_EQ(edit->SelStart(), 3);
}

TEST_F(KEditKeys, CutInAMaskedEditOnlyCopies) {
  TestClipboard clip;
  edit->SetEditMask("00000000");
  edit->SetText("123456");
  edit->HandleNeeded();
  edit->SetSelStart(1);
  edit->SetSelLength(3);
  edit->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "123456");
  EXPECT_EQ(clip.Text, "234");
  // Without a mask the platform edit cuts.
  edit->SetEditMask("");
  edit->SetSelStart(0);
  edit->SetSelLength(2);
  edit->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "3456");
  EXPECT_EQ(clip.Text, "12");
}

TEST_F(KEditKeys, PasteFollowsTheMask) {
  TestClipboard clip;
  edit->SetEditMask("99.99.9999");
  edit->HandleNeeded();
  clip.Text = "01.02.2024";
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "01.02.2024");
  EXPECT_EQ(edit->EText(), "01022024");
  // A letter: nothing changes; the selection is put back.
  edit->SetSelStart(3);
  edit->SetSelLength(2);
  clip.Text = "1x";
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "01.02.2024");
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_EQ(edit->SelLength(), 2);
  // Ctrl+V from the keyboard takes the same road.
  edit->SetText("01");
  Show(edit);
  edit->SetSelStart(2);
  clip.Text = "0320";
  ASSERT_TRUE(zeltest::PressCtrl('V'));
  EXPECT_EQ(edit->Text(), "01.03.20");
  // Read-only: the platform edit refuses the paste.
  edit->SetReadOnly(true);
  edit->SetText("");
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "");
  // Without a mask the platform edit pastes as it is.
  edit->SetReadOnly(false);
  edit->SetEditMask("");
  clip.Text = "a.b";
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "a.b");
}

// Text that comes without a key, dropped or pasted with the middle button
// from the primary selection, takes the road of a paste: the mask, the
// length limit and read-only hold, and refused text changes nothing.
TEST_F(KEditKeys, DroppedAndPrimarySelectionTextFollowThePasteRule) {
  struct Case {
    const char* Name;
    const char* Mask;
    bool ReadOnly;
    const char* Text;
    const char* Expected;
  };
  const Case Cases[] = {
      {"letters into a digit mask", "00000000", false, "abc", "12"},
      {"digits into a digit mask", "00000000", false, "345", "12345"},
      {"beyond the mask's length", "00000000", false, "3456789", "12345678"},
      {"read-only", "00000000", true, "345", "12"},
      {"no mask: the first line", "", false, "ab\r\ncd", "12ab"},
  };
  TestClipboard clip;
  clip.Text = "0";
  for (const bool Drop : {true, false}) {
    for (const Case& C : Cases) {
      SCOPED_TRACE(std::string(Drop ? "drop, " : "primary selection, ") + C.Name);
      edit->SetReadOnly(false);
      edit->SetEditMask(C.Mask);
      edit->SetText("12");
      edit->SetReadOnly(C.ReadOnly);
      Show(edit);
      edit->SetSelStart(2);
      const int X = edit->Width() - 4;
      if (Drop) {
        platform::SendTextDrop(edit, X, 5, C.Text);
      } else {
        clip.Selection = C.Text;
        platform::SendMouseDown(edit, mbMiddle, X, 5);
        platform::SendMouseUp(edit, mbMiddle, X, 5);
      }
      EXPECT_EQ(edit->Text(), C.Expected);
      EXPECT_EQ(clip.Text, "0");  // the clipboard itself is neither read nor changed
    }
  }
}

TEST_F(KEditKeys, DoubleClickSelectsAll) {
  int clicks = 0;
  edit->OnDblClick = [&](TObject*) { ++clicks; };
  edit->SetText("abc def");
  Show(edit);
  edit->SetSelStart(1);
  platform::SendDblClick(edit, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 7);
}

// ---------------------------------------------------------------- focus

TEST_F(KEditKeys, FocusColoursAlignmentAndChangedState) {
  edit->SetColor(clInfoBk);
  edit->Loaded();  // the saved colours are those loaded
  edit->SetAlignment(taRightJustify);
  edit->SetText("12");
  Show(edit);
  EXPECT_EQ(edit->Color(), TColor(0xD0FFD0));
  EXPECT_EQ(edit->Font()->Color(), clBlack);
  EXPECT_EQ(edit->Alignment(), taLeftJustify);
  EXPECT_EQ(edit->SelLength(), 2);
  edit->SetSelStart(2);
  ASSERT_TRUE(zeltest::TypeText("3"));
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(LastExitControl.Get(), edit);
  EXPECT_EQ(edit->Color(), clInfoBk);
  EXPECT_EQ(edit->Alignment(), taRightJustify);
  EXPECT_TRUE(edit->ValueChanged());
  EXPECT_EQ(edit->Font()->Color(), clBlue);
  // ClearValue: empty, not changed; the colours stay.
  edit->ClearValue();
  EXPECT_EQ(edit->Text(), "");
  EXPECT_FALSE(edit->ValueChanged());
  EXPECT_EQ(edit->Font()->Color(), clBlue);
  // Left unchanged: the saved font colour again.
  edit->SetFocus();
  zeltest::RunPostedMessages();
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_FALSE(edit->ValueChanged());
  EXPECT_EQ(edit->Font()->Color(), clWindowText);
}

TEST_F(KEditKeys, DecimalAndTimeFormsOnEntryAndExit) {
  edit->SetEditMask("9999,99");
  edit->SetEText("750");
  EXPECT_EQ(edit->Text(), "7,50");
  Show(edit);
  EXPECT_EQ(edit->Text(), "750");  // the bare digits while editing
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(edit->Text(), "7,50");
  EXPECT_EQ(edit->EText(), "750");

  // Typed with a comma: the comma starts the decimals.
  edit->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(zeltest::TypeText("12,5"));
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(edit->Text(), "12,50");

  other->SetEditMask("99:99");
  other->SetFocus();
  zeltest::RunPostedMessages();
  other->SetSelStart(0);
  ASSERT_TRUE(zeltest::TypeText("930"));
  edit->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(other->Text(), "09:30");
}

// A decimal amount typed with its comma takes its decimals from after the
// comma; typed without one, the last digits are the decimals.
TEST_F(KEditKeys, DecimalCommaTypedStartsTheDecimals) {
  struct Case {
    const char* Mask;
    const char* Typed;
    const char* Shown;  // after leaving
    const char* EText;
    std::int32_t Value;
    int Beeps;
  };
  const Case cases[] = {
      {"9999,99", "12,5", "12,50", "1250", 1250, 0},
      {"9999,99", "12,", "12,00", "1200", 1200, 0},
      {"9999,99", ",5", "0,50", "50", 50, 0},
      {"9999,99", "0,05", "0,05", "5", 5, 0},
      {"9999,99", ",", "0,00", "", 0, 0},
      {"9999,99", "1234,56", "1234,56", "123456", 123456, 0},  // the comma takes no place
      {"9999,99", "1234,567", "1234,56", "123456", 123456, 1},
      {"9999,99", "12,3456", "12,34", "1234", 1234, 0},  // decimals past the mask's are dropped
      {"9999,99", "1,2,3", "1,23", "123", 123, 0},       // the first comma decides
      {"99,9", "12,5", "12,5", "125", 125, 0},
      {"999,999", "1,5", "1,500", "1500", 1500, 0},
      // Without a comma as before: the last digits are the decimals.
      {"9999,99", "1250", "12,50", "1250", 1250, 0},
      {"9999,99", "5", "0,05", "5", 5, 0},
      {"9999,99", "1234567", "1234,56", "123456", 123456, 1},
      {"9999,99", "", "", "", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " '" + c.Typed + "'");
    edit->SetEditMask(c.Mask);
    edit->SetEText("");
    FocusAtEnd(edit);
    BeepCounter beeps;
    ASSERT_TRUE(zeltest::TypeText(c.Typed));
    other->SetFocus();
    zeltest::RunPostedMessages();
    EXPECT_EQ(edit->Text(), c.Shown);
    EXPECT_EQ(edit->EText(), c.EText);
    EXPECT_EQ(edit->AsInteger(), c.Value);
    EXPECT_EQ(beeps.Count(), c.Beeps);
  }
}

// A time is kept as typed or pasted, with its colon or without, and a
// formatted time can be edited; a time holds four digits.
TEST_F(KEditKeys, TimeTypedOrPastedIsKept) {
  struct Case {
    const char* Name;
    const char* Start;  // the EText left in the edit before
    const char* Clip;
    const char* Keys;
    const char* Shown;  // after leaving
    int Beeps;
  };
  const Case cases[] = {
      {"typed with its colon", "", "", "09:30", "09:30", 0},
      {"typed without", "", "", "0930", "09:30", 0},
      {"three digits", "", "", "930", "09:30", 0},
      {"pasted with its colon", "", "09:30", "\x16", "09:30", 0},
      {"pasted without", "", "0930", "\x16", "09:30", 0},
      {"pasted after the hours", "", "30", "09:\x16", "09:30", 0},
      {"the last digit again", "0930", "", "\b0", "09:30", 0},
      {"new minutes", "0930", "", "\b\b45", "09:45", 0},
      {"a fifth digit", "", "", "09305", "09:30", 1},
      {"a fifth digit after the colon", "", "", "09:305", "09:30", 1},
      {"a colon after four digits", "", "", "0930:", "09:30", 1},
      {"pasted past four digits", "", "0930", "12\x16", "12:09", 0},
  };
  TestClipboard clip;
  edit->SetEditMask("99:99");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->SetEText(c.Start);
    clip.Text = c.Clip;
    FocusAtEnd(edit);
    BeepCounter beeps;
    PressKeysAndLeave(c.Keys);
    EXPECT_EQ(edit->Text(), c.Shown);
    EXPECT_EQ(edit->EText(), c.Shown);  // ":" is no literal
    EXPECT_EQ(beeps.Count(), c.Beeps);
  }
}

// An amount pasted with its comma keeps it: the comma starts the decimals,
// as when typed; pasted without one, the last digits are the decimals.
TEST_F(KEditKeys, DecimalCommaPastedStartsTheDecimals) {
  struct Case {
    const char* Mask;
    const char* Clip;
    const char* Keys;
    const char* Shown;  // after leaving
    const char* EText;
    std::int32_t Value;
  };
  const Case cases[] = {
      {"9999,99", "12,5", "\x16", "12,50", "1250", 1250},
      {"9999,99", "12,", "\x16", "12,00", "1200", 1200},
      {"9999,99", ",5", "\x16", "0,50", "50", 50},
      {"9999,99", "0,5", "\x16", "0,50", "50", 50},
      {"9999,99", "12,50", "\x16", "12,50", "1250", 1250},
      {"9999,99", "1234,56", "\x16", "1234,56", "123456", 123456},
      {"9999,99", "1.234,5", "\x16", "1234,50", "123450", 123450},  // literals dropped
      {"9999,99", "12,345", "\x16", "12,34", "1234", 1234},  // decimals past the mask's are dropped
      {"9999,99", ",5", "3\x16", "3,50", "350", 350},       // after typed digits
      {"99,9", "12,5", "\x16", "12,5", "125", 125},
      {"999,999", "1,5", "\x16", "1,500", "1500", 1500},
      // Too many digits for the mask: nothing changes.
      {"9999,99", "12345,6", "\x16", "", "", 0},
      {"9999,99", "12345,6", "7\x16", "0,07", "7", 7},
      // Without a comma as before: the last digits are the decimals.
      {"9999,99", "1250", "\x16", "12,50", "1250", 1250},
      {"9999,99", "5", "\x16", "0,05", "5", 5},
      {"9999,99", "1234567", "\x16", "1234,56", "123456", 123456},
      // Other masks as before: a plain mask refuses the comma.
      {"00000000", "12,5", "\x16", "", "", 0},
      {"99.99.9999", "01.02.2024", "\x16", "01.02.2024", "01022024", 1022024},
  };
  TestClipboard clip;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " '" + c.Clip + "'");
    edit->SetEditMask(c.Mask);
    edit->SetEText("");
    clip.Text = c.Clip;
    FocusAtEnd(edit);
    PressKeysAndLeave(c.Keys);
    EXPECT_EQ(edit->Text(), c.Shown);
    EXPECT_EQ(edit->EText(), c.EText);
    EXPECT_EQ(edit->AsInteger(), c.Value);
  }
}

TEST_F(KEditKeys, RequiredEmptyValueBeepsOnceAndLetsGo) {
  edit->SetEditMask("00000000");
  edit->SetEmpty(false);
  Show(edit);
  BeepCounter beeps;
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(form->ActiveControl(), other);
  // Not for a mask that starts otherwise, nor with Empty on.
  edit->SetEditMask("99999999");
  edit->SetFocus();
  zeltest::RunPostedMessages();
  other->SetFocus();
  zeltest::RunPostedMessages();
  edit->SetEditMask("00000000");
  edit->SetEmpty(true);
  edit->SetFocus();
  zeltest::RunPostedMessages();
  other->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(beeps.Count(), 1);
}

// ---------------------------------------------------------------- value

TEST_F(KEditKeys, ETextAndAsInteger) {
  edit->SetEditMask("00000000");
  edit->SetEText("12345");
  EXPECT_EQ(edit->Text(), "12345");
  EXPECT_EQ(edit->AsInteger(), 12345);
  edit->SetText("00012345");
  EXPECT_EQ(edit->AsInteger(), 12345);
  EXPECT_EQ(edit->EText(), "00012345");
  edit->SetEditMask("99.99.9999");
  edit->SetEText("01022024");
  EXPECT_EQ(edit->Text(), "01.02.2024");
  EXPECT_EQ(edit->UpdateEText(), "01.02.2024");
  EXPECT_EQ(edit->EText(), "01022024");
  // Without a mask EText is the text; FetchEText strips all the same.
  edit->SetEditMask("");
  edit->SetEText("1.2-3");
  EXPECT_EQ(edit->Text(), "1.2-3");
  EXPECT_EQ(edit->EText(), "1.2-3");
  EXPECT_EQ(edit->FetchEText(), "123");
  edit->SetText("abc");
  EXPECT_EQ(edit->AsInteger(), 0);
}

TEST_F(KEditKeys, MaskSetsMaxLengthAndAStoredMaxLengthWins) {
  edit->SetEditMask("99.99.9999");
  EXPECT_EQ(edit->MaxLength(), 10);
  edit->SetMaxLength(4);
  FocusAtEnd(edit);
  BeepCounter beeps;
  ASSERT_TRUE(zeltest::TypeText("0102"));
  EXPECT_EQ(edit->Text(), "01.0");
  EXPECT_EQ(beeps.Count(), 1);
  edit->SetEditMask("");
  EXPECT_EQ(edit->MaxLength(), -1);
}

TEST(KEditCreation, ANewMaskEmptiesTheTextOnlyWhileDesigned) {
  TStrEdit e(nullptr);
  e.SetText("abc");
  e.SetEditMask("999");
  EXPECT_EQ(e.Text(), "abc");
  e.SetDesigning(true);
  e.SetEditMask("99.99");
  EXPECT_EQ(e.Text(), "");
  e.SetText("x");
  e.SetEditMask("");  // an empty mask leaves it
  EXPECT_EQ(e.Text(), "x");
  e.IncludeState(csLoading);  // read from a description: left as it is
  e.SetEditMask("99");
  EXPECT_EQ(e.Text(), "x");
}

TEST(KEditCreation, Defaults) {
  TStrEdit e(nullptr);
  EXPECT_EQ(e.Alignment(), taLeftJustify);
  EXPECT_EQ(e.LabelPos(), lpTop);
  EXPECT_EQ(e.LabelMargin(), 2);
  EXPECT_FALSE(e.LabelColon());
  EXPECT_EQ(e.LabelComponent(), nullptr);
  EXPECT_EQ(e.ColorChanged(), clBlue);
  EXPECT_EQ(e.ColorBackground(), 13696976);
  EXPECT_EQ(e.ColorDisabled(), clRed);
  EXPECT_TRUE(e.Empty());
  EXPECT_FALSE(e.MapEnterToTab());
  EXPECT_EQ(e.EditChars(), "");
  EXPECT_EQ(e.EditMask(), "");
  EXPECT_EQ(e.Text(), "");
  EXPECT_FALSE(e.ValueChanged());
  EXPECT_FALSE(e.GetKeyCR());
  EXPECT_EQ(e.BorderStyle(), bsSingle);
  EXPECT_TRUE(e.AutoSelect());
}

}  // namespace
