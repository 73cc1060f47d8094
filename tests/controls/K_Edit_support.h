// Helpers of the masked edit tests: a beep counter, a test clipboard and a
// shown form with a masked edit in it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/K_Edit.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "tests/support/beep_counter.h"
#include "tests/support/gui_input.h"

namespace zeltest {

using BeepCounter = zeltest::BeepCounter;

// A clipboard of the test's own instead of the system's, with a primary
// selection (the text a middle click pastes).
class TestClipboard {
public:
  TestClipboard() {
    FPrevious = platform::SetClipboardBackend({[this] { return Text; }, [this](const std::string& s) { Text = s; },
                                               [this] { Text.clear(); }, [this] { return Selection; }});
  }
  ~TestClipboard() { platform::SetClipboardBackend(FPrevious); }
  TestClipboard(const TestClipboard&) = delete;
  TestClipboard& operator=(const TestClipboard&) = delete;
  std::string Text;       // UTF-8, as the system clipboard holds it
  std::string Selection;  // the primary selection, UTF-8

private:
  platform::ClipboardBackend FPrevious;
};

using zeltest::TakeNextDlgCtl;

// A form with two masked edits (edA, edB in tab order); the form is shown
// and active once Show runs.
class EditForm : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(20, 20, 400, 240);
    edit = new TStrEdit(form.get());
    edit->SetName("edA");
    edit->SetParent(form.get());
    edit->SetBounds(100, 50, 120, 21);
    other = new TStrEdit(form.get());
    other->SetName("edB");
    other->SetParent(form.get());
    other->SetBounds(100, 100, 120, 21);
  }
  void TearDown() override { form.reset(); }
  // Shows the form and gives Focus the focus.
  void Show(TWinControl* Focus) {
    zeltest::ShowForm(form.get());
    Focus->SetFocus();
    zeltest::RunPostedMessages();
  }
  // Focus to the edit, caret at the end of its text.
  void FocusAtEnd(TCustomStrEdit* E) {
    Show(E);
    E->SetSelStart(static_cast<int>(E->Text().size()));
  }
  std::unique_ptr<TForm> form;
  TStrEdit* edit = nullptr;
  TStrEdit* other = nullptr;
};

}  // namespace zeltest
