// The edit: typing, the selection and clipboard messages, its limits, case
// and password, and the platform's edit menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/clipbrd.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/rtl/codepage.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/gui_input.h"

namespace {

using zeltest::FormTest;
using zeltest::PressKey;
using zeltest::TypeText;

// A test clipboard instead of the system's.
class ClipboardFixture {
public:
  ClipboardFixture() {
    FPrevious = platform::SetClipboardBackend({[this] { return FText; }, [this](const std::string& s) { FText = s; },
                                               [this] { FText.clear(); }, nullptr});
  }
  ~ClipboardFixture() { platform::SetClipboardBackend(FPrevious); }
  std::string FText;

private:
  platform::ClipboardBackend FPrevious;
};

// ---------------------------------------------------------------- edit

// An edit that takes over the paste message.
class TNoPasteEdit : public TEdit {
public:
  using TEdit::TEdit;
  int Pastes = 0;

protected:
  void WMPaste(TMessage&) override { ++Pastes; }
};

class EditTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
    Show(edit);
  }
  TEdit* edit = nullptr;
  int changes = 0;
};

TEST_F(EditTest, TypedTextAndSelectionMessages) {
  TypeText("Hallo");
  EXPECT_EQ(edit->Text(), "Hallo");
  EXPECT_EQ(edit->SelStart(), 5);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(edit->Modified());

  edit->Perform(EM_SETSEL, 1, 3);
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 2);
  EXPECT_EQ(edit->SelText(), "al");
  DWORD s = 99, e = 99;
  const LRESULT r = edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 1u);
  EXPECT_EQ(e, 3u);
  EXPECT_EQ(LOWORD(static_cast<DWORD>(r)), 1);
  EXPECT_EQ(HIWORD(static_cast<DWORD>(r)), 3);

  TypeText("\xE4");  // replaces the selection
  EXPECT_EQ(edit->Text(), "H\xE4lo");
  EXPECT_EQ(edit->SelStart(), 2);

  edit->Perform(EM_SETSEL, 0, -1);
  EXPECT_EQ(edit->SelLength(), 4);
  edit->SelectAll();
  EXPECT_EQ(edit->SelText(), "H\xE4lo");
  PressKey(VK_BACK);
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(EditTest, MaxLengthLimitsTypingButNotTheProgram) {
  struct Case {
    int max;
    const char* typed;
    const char* expected;
  };
  const Case cases[] = {{3, "abcd", "abc"}, {0, "abcd", "abcd"}, {-1, "abcdef", "abcdef"}, {1, "xy", "x"}};
  for (const Case& c : cases) {
    edit->SetText("");
    edit->SetMaxLength(c.max);
    TypeText(c.typed);
    EXPECT_EQ(edit->Text(), c.expected) << c.max;
  }
  edit->SetMaxLength(3);
  edit->SetText("abcdef");
  EXPECT_EQ(edit->Text(), "abcdef");
  // A full text still takes a character that replaces a selection.
  edit->SetText("abc");
  edit->Perform(EM_SETSEL, 1, 2);
  TypeText("X");
  EXPECT_EQ(edit->Text(), "aXc");
}

TEST_F(EditTest, ChangeFollowsTheTextWhoeverSetsIt) {
  edit->SetText("Wert");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(edit->Modified());  // only the user sets it
  edit->SetText("Wert");
  EXPECT_EQ(changes, 1);  // no change, no notice
  TypeText("e");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditTest, ClipboardMessagesAndKeysRespectMaxLengthAndReadOnly) {
  ClipboardFixture clip;
  edit->SetText("Artikel");
  edit->Perform(EM_SETSEL, 0, 3);
  PressKey('C', TShiftState{ssCtrl});
  EXPECT_EQ(clip.FText, "Art");
  PressKey('X', TShiftState{ssCtrl});
  EXPECT_EQ(edit->Text(), "ikel");
  EXPECT_EQ(clip.FText, "Art");

  clip.FText = "123456\r\nzweite Zeile";
  edit->SetMaxLength(8);
  edit->SetSelStart(4);
  PressKey('V', TShiftState{ssCtrl});
  EXPECT_EQ(edit->Text(), "ikel1234");  // cut to the room left, first line only

  edit->SetReadOnly(true);
  edit->SelectAll();
  edit->Perform(WM_CUT, 0, 0);
  edit->Perform(WM_PASTE, 0, 0);
  TypeText("z");
  EXPECT_EQ(edit->Text(), "ikel1234");
  EXPECT_EQ(clip.FText, "ikel1234");  // copying is still allowed
}

TEST_F(FormTest, PasteIsAMessageADerivedEditCanTakeOver) {
  ClipboardFixture clip;
  clip.FText = "fremd";
  auto* e = new TNoPasteEdit(form.get());
  e->SetParent(form.get());
  Show(e);
  PressKey('V', TShiftState{ssCtrl});
  PressKey(VK_INSERT, TShiftState{ssShift});
  e->PasteFromClipboard();
  EXPECT_EQ(e->Pastes, 3);
  EXPECT_EQ(e->Text(), "");
}

TEST_F(EditTest, CharCaseAndPassword) {
  edit->SetCharCase(ecUpperCase);
  TypeText("ab\xE4");
  EXPECT_EQ(edit->Text(), "AB\xC4");
  edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(edit->Text(), "ab\xE4");
  ClipboardFixture clip;
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(clip.FText, "");  // a password is never copied
}

TEST_F(EditTest, AutoSelectOnKeyboardFocusOnly) {
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 50, 150, 21);
  other->SetText("Suchbegriff");
  other->SetFocus();  // as by Tab
  zeltest::RunPostedMessages();
  EXPECT_EQ(other->SelLength(), 11);
  edit->SetText("Name");
  edit->SetAutoSelect(false);
  edit->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(edit->SelLength(), 0);
  // A click that gives the focus places the caret instead.
  zeltest::Click(other, 3, 5);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(other->SelLength(), 0);
}

TEST(Edit, WorksWithoutNativeWindow) {
  TEdit edit(nullptr);
  edit.SetText("Kunde");
  edit.SetSelStart(1);
  edit.SetSelLength(3);
  EXPECT_EQ(edit.SelText(), "und");
  edit.Perform(EM_SETSEL, 2, 10);
  EXPECT_EQ(edit.SelLength(), 3);
}

TEST_F(EditTest, SelectionMessagesOrderAndClampTheirEnds) {
  struct Case {
    std::intptr_t from;
    LPARAM to;
    int selStart, selLength;
  };
  const Case cases[] = {{5, 2, 2, 3}, {-5, 3, 0, 3}, {3, 100, 3, 4}, {3, -2, 3, 4}, {9, 9, 7, 0}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    edit->SetText("Artikel");
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(c.from), c.to);
    EXPECT_EQ(edit->SelStart(), c.selStart) << c.from << "," << c.to;
    EXPECT_EQ(edit->SelLength(), c.selLength) << c.from << "," << c.to;
  }
  // -1 as the start drops the selection and keeps the caret.
  edit->Perform(EM_SETSEL, 2, 5);
  edit->Perform(EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditTest, ClearLimitReadOnlyAndUndoMessages) {
  edit->SetText("Artikel");
  changes = 0;
  edit->Perform(WM_CLEAR, 0, 0);  // nothing selected
  EXPECT_EQ(edit->Text(), "Artikel");
  EXPECT_EQ(changes, 0);
  edit->Perform(EM_SETSEL, 0, 3);
  edit->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "ikel");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(edit->Modified());

  edit->Perform(EM_LIMITTEXT, 5, 0);
  EXPECT_EQ(edit->MaxLength(), 5);
  edit->SetSelStart(4);
  TypeText("xyz");
  EXPECT_EQ(edit->Text(), "ikelx");

  EXPECT_EQ(edit->Perform(EM_CANUNDO, 0, 0), 1);
  EXPECT_EQ(edit->Perform(EM_SETREADONLY, 1, 0), 1);
  EXPECT_TRUE(edit->ReadOnly());
  EXPECT_EQ(edit->Perform(WM_UNDO, 0, 0), 0);  // not while read-only
  edit->SelectAll();
  edit->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "ikelx");
  EXPECT_EQ(edit->Perform(EM_SETREADONLY, 0, 0), 1);
  EXPECT_FALSE(edit->ReadOnly());
  EXPECT_EQ(edit->Perform(EM_UNDO, 0, 0), 1);
  EXPECT_EQ(edit->Text(), "ikel");
}

TEST_F(EditTest, InsertAndDeleteKeysAndPasswordsOnTheClipboard) {
  ClipboardFixture clip;
  edit->SetText("Artikel");
  edit->Perform(EM_SETSEL, 0, 3);
  PressKey(VK_INSERT, TShiftState{ssCtrl});
  EXPECT_EQ(clip.FText, "Art");
  EXPECT_EQ(edit->Text(), "Artikel");
  edit->Perform(EM_SETSEL, 3, 5);
  PressKey(VK_DELETE, TShiftState{ssShift});
  EXPECT_EQ(clip.FText, "ik");
  EXPECT_EQ(edit->Text(), "Artel");
  edit->Perform(EM_SETSEL, 0, 0);
  PressKey(VK_INSERT, TShiftState{ssShift});
  EXPECT_EQ(edit->Text(), "ikArtel");
  // A paste of nothing changes nothing, or removes the selection.
  clip.FText = "";
  changes = 0;
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(changes, 0);
  edit->Perform(EM_SETSEL, 0, 2);
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "Artel");
  // The characters of the copy, cut and paste keys do what the keys do.
  edit->Perform(EM_SETSEL, 0, 1);
  edit->Perform(WM_CHAR, 3, 0);
  EXPECT_EQ(clip.FText, "A");
  edit->Perform(EM_SETSEL, 4, 5);
  edit->Perform(WM_CHAR, 24, 0);
  EXPECT_EQ(clip.FText, "l");
  EXPECT_EQ(edit->Text(), "Arte");
  edit->Perform(EM_SETSEL, 0, 0);
  edit->Perform(WM_CHAR, 22, 0);
  EXPECT_EQ(edit->Text(), "lArte");
  // A password is neither copied nor cut.
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "lArte");
  EXPECT_EQ(clip.FText, "l");
}

// The edit's menu is the platform's, in the program's language, with each
// entry enabled as the platform enables it; its entries go through the
// edit's messages.  The edit part of an edit-style combo box has it too.
TEST_F(FormTest, TheEditMenuIsThePlatformsInGerman) {
  ClipboardFixture clip;
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 150, 21);
  edit->SetText("Artikel");
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetBounds(10, 40, 150, 21);
  combo->SetText("Saison");
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 70, 150, 21);
  Show(other);
  const std::vector<std::string> captions = {"&R\xFC" "ckg\xE4ngig", "&Ausschneiden", "&Kopieren", "&Einf\xFCgen",
                                             "&L\xF6schen", "Alles &markieren"};
  auto openMenu = [](TWinControl* C) -> QMenu* {
    platform::InputClick(C, 20, 8, mbRight);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  };
  auto entries = [](QMenu* Menu) {
    std::vector<std::pair<std::string, bool>> out;
    for (QAction* a : Menu->actions())
      if (!a->isSeparator()) out.emplace_back(platform::Utf8ToAnsi(a->text().toStdString()), a->isEnabled());
    return out;
  };
  for (TWinControl* c : std::initializer_list<TWinControl*>{edit, combo}) {
    SCOPED_TRACE(c->ClassName());
    clip.FText.clear();
    other->SetFocus();
    zeltest::RunPostedMessages();
    QMenu* menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(c->Focused());  // the edit took the focus for its menu
    menu->close();
    zeltest::RunPostedMessages();
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) e->SetSelStart(0);
    if (auto* b = dynamic_cast<TCustomComboBox*>(c)) b->SetSelStart(0);
    // Nothing selected, nothing to paste: only "select all".
    menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    auto got = entries(menu);
    ASSERT_EQ(got.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
      EXPECT_EQ(got[i].first, captions[i]);
      EXPECT_EQ(got[i].second, i == 5) << captions[i];
    }
    menu->actions().back()->trigger();  // "Alles markieren"
    menu->close();
    zeltest::RunPostedMessages();
    menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    got = entries(menu);
    EXPECT_EQ(got[1].second, true);  // cut
    EXPECT_EQ(got[2].second, true);  // copy
    EXPECT_EQ(got[5].second, false); // all is selected already
    for (QAction* a : menu->actions())
      if (platform::Utf8ToAnsi(a->text().toStdString()) == "&Kopieren") a->trigger();
    menu->close();
    zeltest::RunPostedMessages();
    EXPECT_EQ(clip.FText, c == edit ? "Artikel" : "Saison");
  }
}

}  // namespace
