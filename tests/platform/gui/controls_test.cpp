// The message path of controls: keys, focus, posted messages, exceptions.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "tests/support/gui_input.h"
#include "tests/support/msgbox_recorder.h"

namespace {

using zeltest::PressKey;

// A windowed control that logs what reaches its hooks.  Like an edit, it
// takes the focus when clicked; the key-downs that the keyboard repeats
// (bit 30 of the key data) are counted.
class TLogBox : public TWinControl {
public:
  TLogBox(TComponent* Owner, std::vector<std::string>* Log) : TWinControl(Owner), FLog(Log) { SetTabStop(true); }
  bool WantTabs = false;
  int RepeatedDowns = 0;

protected:
  bool TakesFocusOnClick() const override { return true; }
  void WMKeyDown(TMessage& M) override {
    if (M.LParam & (static_cast<LPARAM>(1) << 30)) ++RepeatedDowns;
    TWinControl::WMKeyDown(M);
  }
  void KeyDown(Word& Key, TShiftState Shift) override {
    FLog->push_back(Name() + ".down " + std::to_string(Key) + (Shift.Contains(ssShift) ? "+shift" : "") +
                    (Shift.Contains(ssCtrl) ? "+ctrl" : "") + (Shift.Contains(ssAlt) ? "+alt" : ""));
    TWinControl::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    FLog->push_back(Name() + ".press " + std::to_string(static_cast<unsigned char>(Key)));
    TWinControl::KeyPress(Key);
  }
  void KeyUp(Word& Key, TShiftState Shift) override {
    FLog->push_back(Name() + ".up " + std::to_string(Key));
    TWinControl::KeyUp(Key, Shift);
  }
  void CMEnter(TMessage& M) override {
    FLog->push_back(Name() + ".enter");
    TWinControl::CMEnter(M);
  }
  void CMExit(TMessage& M) override {
    FLog->push_back(Name() + ".exit");
    TWinControl::CMExit(M);
  }
  void WMGetDlgCode(TMessage& M) override {
    TWinControl::WMGetDlgCode(M);
    if (WantTabs) M.Result |= DLGC_WANTTAB;
  }
  void Dispatch(TMessage& M) override {
    if (M.Msg >= WM_USER && M.Msg < WM_USER + 100) {
      FLog->push_back(Name() + ".user " + std::to_string(M.Msg - WM_USER) + " " + std::to_string(M.WParam));
      M.Result = 7;
      return;
    }
    TWinControl::Dispatch(M);
  }

private:
  std::vector<std::string>* FLog;
};

class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 300, 200);
    for (int i = 0; i < 3; ++i) {
      boxes[i] = new TLogBox(form.get(), &log);
      boxes[i]->SetName(std::string("b") + std::to_string(i));
      boxes[i]->SetParent(form.get());
      boxes[i]->SetBounds(10, 10 + 40 * i, 100, 30);
    }
    zeltest::ShowForm(form.get());
    boxes[0]->SetFocus();
    zeltest::RunPostedMessages();
    log.clear();
  }
  void TearDown() override { form.reset(); }

  std::unique_ptr<TForm> form;
  TLogBox* boxes[3] = {};
  std::vector<std::string> log;
};

TEST_F(ControlsTest, KeysReachKeyDownKeyPressAndKeyUpWithTheAnsiCharacter) {
  struct Case {
    WORD key;
    TShiftState shift;
    std::vector<std::string> expected;
  } cases[] = {
      {'A', {}, {"b0.down 65", "b0.press 97", "b0.up 65"}},
      {'A', {ssShift}, {"b0.down 65+shift", "b0.press 65", "b0.up 65"}},
      {'C', {ssCtrl}, {"b0.down 67+ctrl", "b0.press 3", "b0.up 67"}},
      {'V', {ssCtrl}, {"b0.down 86+ctrl", "b0.press 22", "b0.up 86"}},
      {VK_RETURN, {}, {"b0.down 13", "b0.press 13", "b0.up 13"}},
      {VK_ESCAPE, {}, {"b0.down 27", "b0.press 27", "b0.up 27"}},
      {VK_BACK, {}, {"b0.down 8", "b0.press 8", "b0.up 8"}},
      {VK_LEFT, {}, {"b0.down 37", "b0.up 37"}},
      {VK_DELETE, {}, {"b0.down 46", "b0.up 46"}},
      {'X', {ssAlt}, {"b0.down 88+alt", "b0.up 88"}},
  };
  for (const Case& c : cases) {
    log.clear();
    ASSERT_TRUE(PressKey(c.key, c.shift));
    EXPECT_EQ(log, c.expected) << "key " << c.key;
  }
}

TEST_F(ControlsTest, KeypadEnterGivesCarriageReturnToo) {
  ASSERT_TRUE(platform::SendKeypadEnter());
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 13", "b0.press 13", "b0.up 13"}));
}

// A key stroke or a typed capital lets its modifier keys go with it: what
// comes after sees none of them held.
TEST_F(ControlsTest, AKeyStrokeLetsItsModifierKeysGo) {
  struct Case {
    const char* name;
    std::function<bool()> stroke;
  } cases[] = {
      {"typed capital", [] { return zeltest::TypeText("X"); }},
      {"shift+delete", [] { return PressKey(VK_DELETE, TShiftState{ssShift}); }},
      {"ctrl+insert", [] { return PressKey(VK_INSERT, TShiftState{ssCtrl}); }},
      {"alt+x", [] { return PressKey('X', TShiftState{ssAlt}); }},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.stroke()) << c.name;
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << c.name;
    EXPECT_GE(GetKeyState(VK_CONTROL), 0) << c.name;
    EXPECT_GE(GetKeyState(VK_MENU), 0) << c.name;
  }
}

TEST_F(ControlsTest, TabReachesKeyDownAndThenMovesTheFocus) {
  ASSERT_TRUE(PressKey(VK_TAB));
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 9", "b0.exit", "b1.enter", "b1.up 9"}));
  EXPECT_TRUE(boxes[1]->Focused());
  log.clear();
  PressKey(VK_TAB, {ssShift});
  EXPECT_TRUE(boxes[0]->Focused());
}

TEST_F(ControlsTest, ATabTakenInKeyDownOrWantedByTheControlStaysThere) {
  boxes[0]->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
    if (Key == VK_TAB) Key = 0;
  };
  PressKey(VK_TAB);
  EXPECT_TRUE(boxes[0]->Focused());
  boxes[0]->OnKeyDown = nullptr;
  boxes[0]->WantTabs = true;
  log.clear();
  PressKey(VK_TAB);
  EXPECT_TRUE(boxes[0]->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 9", "b0.press 9", "b0.up 9"}));
}

TEST_F(ControlsTest, AKeySetToZeroInKeyDownNeverReachesKeyPress) {
  boxes[0]->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
    if (Key == 'Q') Key = 0;
  };
  PressKey('Q');
  PressKey('W');
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 81", "b0.up 81", "b0.down 87", "b0.press 119", "b0.up 87"}));
}

TEST_F(ControlsTest, FormWithKeyPreviewSeesKeysFirstAndCanSwallowThem) {
  std::vector<std::string> formLog;
  form->SetKeyPreview(true);
  form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    formLog.push_back("form.down " + std::to_string(Key));
    if (Key == VK_F2) Key = 0;
  };
  form->OnKeyPress = [&](TObject*, char& Key) { formLog.push_back("form.press " + std::to_string(Key)); };
  PressKey('B');
  PressKey(VK_F2);
  EXPECT_EQ(formLog, (std::vector<std::string>{"form.down 66", "form.press 98", "form.down 113"}));
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 66", "b0.press 98", "b0.up 66", "b0.up 113"}));
}

// The native edit sees the key only as the hooks leave it.
TEST(KeyPipeline, HandlersDecideWhatTheNativeEditReceives) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  TWinControl* edit = platform::CreateLineEditControl(&form);
  edit->SetParent(&form);
  edit->SetBounds(5, 5, 150, 24);
  zeltest::ShowForm(&form);
  edit->SetFocus();
  zeltest::RunPostedMessages();
  edit->OnKeyPress = [](TObject*, char& Key) {
    if (Key == 'x') Key = 0;       // swallowed
    else if (Key == 'a') Key = 'b';  // replaced
  };
  zeltest::TypeText("axc");
  EXPECT_EQ(edit->Text(), "bc");
  // A character of the code page beyond ASCII arrives as its Windows-1252 byte.
  char seen = 0;
  edit->OnKeyPress = [&](TObject*, char& Key) { seen = Key; };
  zeltest::TypeText("\xE4");
  EXPECT_EQ(seen, '\xE4');
  EXPECT_EQ(edit->Text(), "bc\xE4");
  // Enter zeroed in KeyPress: nothing happens in the edit.
  edit->OnKeyPress = [](TObject*, char& Key) {
    if (Key == '\r') Key = 0;
  };
  PressKey(VK_RETURN);
  EXPECT_EQ(edit->Text(), "bc\xE4");
}

// ---------------------------------------------------------------- focus

TEST_F(ControlsTest, FocusChangeSendsExitToTheOldControlBeforeEnterToTheNew) {
  std::vector<std::string> events;
  boxes[0]->OnExit = [&](TObject*) {
    events.push_back("OnExit b0 focused=" + std::to_string(boxes[0]->Focused()));
  };
  boxes[2]->OnEnter = [&](TObject*) { events.push_back("OnEnter b2"); };
  boxes[2]->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"b0.exit", "b2.enter"}));
  EXPECT_EQ(events, (std::vector<std::string>{"OnExit b0 focused=0", "OnEnter b2"}));
  EXPECT_EQ(form->ActiveControl(), boxes[2]);
  EXPECT_EQ(GetFocus(), boxes[2]->Handle());
  // Giving the focus to the control that has it changes nothing.
  log.clear();
  boxes[2]->SetFocus();
  EXPECT_TRUE(log.empty());
}

// Disabling or hiding the control that has the focus (or a parent of it)
// hands the focus to no other control: the form's own window keeps it, the
// form has no active control, and no other control's OnEnter runs.  The
// next Tab moves on from the start of the tab order.
TEST_F(ControlsTest, DisablingOrHidingTheFocusedControlLeavesTheFocusWithTheWindow) {
  struct Case {
    const char* Name;
    bool ParentToo;  // the focused control sits in a container, which is switched off
    bool Hide;
  };
  const Case Cases[] = {{"disable", false, false}, {"hide", false, true}, {"disable parent", true, false},
                        {"hide parent", true, true}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TLogBox* target = boxes[1];
    TLogBox* container = nullptr;
    if (C.ParentToo) {
      container = new TLogBox(form.get(), &log);
      container->SetName("box");
      container->SetParent(form.get());
      container->SetTabStop(false);
      container->SetBounds(150, 10, 120, 100);
      boxes[1]->SetParent(container);
      target = container;
    }
    zeltest::Click(boxes[1], 5, 5);
    ASSERT_TRUE(boxes[1]->Focused());
    log.clear();
    int enters = 0;
    for (TLogBox* b : boxes) b->OnEnter = [&](TObject*) { ++enters; };
    if (C.Hide)
      target->SetVisible(false);
    else
      target->SetEnabled(false);
    zeltest::RunPostedMessages();
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(log, (std::vector<std::string>(C.ParentToo ? std::vector<std::string>{"b1.exit", "box.exit"}
                                                          : std::vector<std::string>{"b1.exit"})));
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), form->Handle());
    for (TLogBox* b : boxes) EXPECT_FALSE(b->Focused()) << b->Name();
    // Keys now reach the window, not a control; Tab starts the tab order.
    log.clear();
    PressKey(VK_SPACE);
    EXPECT_TRUE(log.empty());
    PressKey(VK_TAB);
    EXPECT_TRUE(boxes[0]->Focused());
    EXPECT_EQ(enters, 1);
    for (TLogBox* b : boxes) b->OnEnter = nullptr;
    if (C.Hide)
      target->SetVisible(true);
    else
      target->SetEnabled(true);
    if (container) {
      boxes[1]->SetParent(form.get());
      delete container;
    }
  }
}

TEST_F(ControlsTest, ClickingAControlGivesItTheFocus) {
  zeltest::Click(boxes[1], 5, 5);
  EXPECT_TRUE(boxes[1]->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"b0.exit", "b1.enter"}));
}

// Under X11 a held key comes as a press, pairs of an auto-repeated release
// and press, and the real release.  The hooks see one key-down (and
// character) per press, the repeated ones marked, and one key-up.
TEST_F(ControlsTest, AHeldKeyGivesRepeatedKeyDownsAndOneKeyUp) {
  struct Case {
    WORD Key;
    int Repeats;
    std::vector<std::string> Each;  // per press
  };
  const Case Cases[] = {{'A', 3, {"b0.down 65+shift", "b0.press 65"}}, {VK_DOWN, 5, {"b0.down 40"}}, {VK_SPACE, 0, {"b0.down 32", "b0.press 32"}}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Key);
    log.clear();
    boxes[0]->RepeatedDowns = 0;
    ASSERT_TRUE(platform::InputHeldKey(C.Key, C.Repeats, C.Key == 'A' ? TShiftState{ssShift} : TShiftState()));
    std::vector<std::string> want;
    for (int i = 0; i <= C.Repeats; ++i) want.insert(want.end(), C.Each.begin(), C.Each.end());
    want.push_back("b0.up " + std::to_string(C.Key));
    EXPECT_EQ(log, want);
    EXPECT_EQ(boxes[0]->RepeatedDowns, C.Repeats);
  }
}

// Mouse input over a disabled control goes to the enabled parent under the
// pointer, in the parent's coordinates; the disabled control sees none.
TEST_F(ControlsTest, MouseOverADisabledControlGoesToItsParent) {
  std::vector<std::string> ev;
  auto record = [&](const char* Who) {
    return [&ev, Who](TObject*, TMouseButton, TShiftState, int X, int Y) {
      ev.push_back(std::string(Who) + " " + std::to_string(X) + "," + std::to_string(Y));
    };
  };
  form->OnMouseDown = record("form");
  boxes[1]->OnMouseDown = record("b1");
  boxes[1]->SetEnabled(false);
  platform::InputClick(boxes[1], 5, 6);
  boxes[1]->SetEnabled(true);
  platform::InputClick(boxes[1], 5, 6);
  EXPECT_EQ(ev, (std::vector<std::string>{"form 15,56", "b1 5,6"}));
  EXPECT_TRUE(boxes[1]->Focused());  // only the enabled one took the focus
}

// ---------------------------------------------------------------- WM_NEXTDLGCTL

TEST_F(ControlsTest, NextDlgCtlMovesAlongTheTabOrderSkippingNonTabStops) {
  boxes[1]->SetTabStop(false);
  struct Step {
    WPARAM direction;
    int expected;
  } steps[] = {{0, 2}, {0, 0}, {1, 2}, {1, 0}};
  for (const Step& s : steps) {
    PostMessage(form->Handle(), WM_NEXTDLGCTL, s.direction, 0);
    zeltest::RunPostedMessages();
    EXPECT_TRUE(boxes[s.expected]->Focused()) << "direction " << s.direction << " expected b" << s.expected;
  }
}

TEST_F(ControlsTest, NextDlgCtlFollowsTabOrderNotCreationOrder) {
  boxes[2]->SetTabOrder(0);  // order now b2, b0, b1
  PostMessage(form->Handle(), WM_NEXTDLGCTL, 0, 0);
  zeltest::RunPostedMessages();
  EXPECT_TRUE(boxes[1]->Focused());
  PostMessage(form->Handle(), WM_NEXTDLGCTL, 0, 0);
  zeltest::RunPostedMessages();
  EXPECT_TRUE(boxes[2]->Focused());
  EXPECT_EQ(boxes[2]->TabOrder(), 0);
  EXPECT_EQ(boxes[0]->TabOrder(), 1);
}

TEST_F(ControlsTest, PostMessageARunsOnlyAfterTheCurrentHandler) {
  // Also the Win32 entry of platform/os reaches our windows.
  boxes[0]->OnKeyPress = [&](TObject*, char&) {
    PostMessageA(form->Handle(), WM_NEXTDLGCTL, 0, 0);
    log.push_back("handler done, focused b0=" + std::to_string(boxes[0]->Focused()));
  };
  platform::SendKeyDown('K');
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 75", "b0.press 107", "handler done, focused b0=1", "b0.exit",
                                           "b1.enter"}));
}

TEST_F(ControlsTest, PostedMessagesQueueInOrderAndPeekMessageSeesThem) {
  const HWND h = boxes[0]->Handle();
  ASSERT_TRUE(PostMessage(h, WM_USER + 1, 10, 0));
  ASSERT_TRUE(PostMessage(h, WM_USER + 2, 20, 0));
  ASSERT_TRUE(PostMessage(h, WM_USER + 3, 30, 0));
  EXPECT_TRUE(log.empty());
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, h, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, 20u);
  ASSERT_TRUE(PeekMessage(&m, h, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&m, h, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
  EXPECT_FALSE(PeekMessage(&m, boxes[1]->Handle(), 0, 0, PM_NOREMOVE));
  zeltest::RunPostedMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"b0.user 1 10", "b0.user 3 30"}));
  // Sends answer at once with the handler's result.
  EXPECT_EQ(SendMessage(h, WM_USER + 5, 1, 0), 7);
  EXPECT_EQ(SendMessageA(h, WM_USER + 5, 2, 0), 7);
  EXPECT_EQ(boxes[0]->Perform(WM_USER + 5, 3, 0), 7);
  EXPECT_TRUE(IsWindow(h));
}

TEST(Handles, AWindowThatIsGoneIsNoWindowAndPostsToItAreDropped) {
  std::vector<std::string> log;
  TForm form(nullptr);
  auto* box = new TLogBox(&form, &log);
  box->SetParent(&form);
  const HWND h = box->Handle();
  EXPECT_EQ(FindControl(h), box);
  EXPECT_EQ(GetParent(h), form.Handle());
  PostMessage(h, WM_USER + 1, 0, 0);
  delete box;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(FindControl(h), nullptr);
  EXPECT_FALSE(PostMessage(h, WM_USER + 1, 0, 0));
  zeltest::RunPostedMessages();
  EXPECT_TRUE(log.empty());
}

// ---------------------------------------------------------------- exceptions

TEST_F(ControlsTest, AnExceptionInAHandlerGoesToTheDefaultHandlerAndTheLoopGoesOn) {
  zeltest::MessageBoxRecorder boxes_shown;
  Application->SetTitle("Test");
  boxes[0]->OnKeyPress = [](TObject*, char& Key) {
    if (Key == 'e') throw EConvertError("'x' ist kein g\xFCltiger Integerwert");
  };
  PressKey('E');
  ASSERT_EQ(boxes_shown.Count(), 1);
  EXPECT_EQ(boxes_shown.Last().Text, "'x' ist kein g\xFCltiger Integerwert.");
  EXPECT_EQ(boxes_shown.Last().Caption, "Test");
  EXPECT_EQ(boxes_shown.Last().Flags & MB_ICONSTOP, MB_ICONSTOP);
  // The key up of that key and later keys are handled as usual.
  log.clear();
  PressKey('F');
  EXPECT_EQ(log, (std::vector<std::string>{"b0.down 70", "b0.press 102", "b0.up 70"}));
  // A message that already ends with a full stop keeps it; EAbort shows nothing.
  boxes[0]->OnKeyPress = [](TObject*, char&) { throw Exception("Fertig."); };
  PressKey('G');
  EXPECT_EQ(boxes_shown.Last().Text, "Fertig.");
  boxes[0]->OnKeyPress = [](TObject*, char&) { throw EAbort("still"); };
  PressKey('H');
  EXPECT_EQ(boxes_shown.Count(), 2);
  // A posted message whose handler raises is reported the same way.
  boxes[0]->OnExit = [](TObject*) { throw Exception("beim Verlassen"); };
  PostMessage(form->Handle(), WM_NEXTDLGCTL, 0, 0);
  zeltest::RunPostedMessages();
  EXPECT_EQ(boxes_shown.Last().Text, "beim Verlassen.");
  EXPECT_TRUE(boxes[1]->Focused());
}

TEST(Application, OnExceptionReplacesTheDefaultHandler) {
  zeltest::MessageBoxRecorder shown;
  AnsiString seen;
  Application->OnException = [&](TObject*, Exception& E) { seen = E.Message(); };
  try {
    throw EListError("Liste");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "Liste");
  EXPECT_EQ(shown.Count(), 0);
}

// ---------------------------------------------------------------- painting and mouse

class TPainted : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(2, 2, 5, 5));
  }
};

TEST(Painting, ACustomControlPaintsOnItsCanvasWithWindowsPixelRules) {
  TForm form(nullptr);
  auto* c = new TPainted(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 10, 8);
  const auto img = platform::RenderControl(c);
  ASSERT_EQ(img.Width, 10);
  EXPECT_GE(c->Paints, 1);
  EXPECT_EQ(img.At(2, 2), clRed);
  EXPECT_EQ(img.At(4, 4), clRed);
  EXPECT_EQ(img.At(5, 5), clBlue);
  EXPECT_EQ(img.At(9, 7), clBlue);
}

TEST(Mouse, PressAndReleaseInsideMakeAClickWithClientCoordinates) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* c = new TPainted(&form);
  c->SetParent(&form);
  c->SetBounds(20, 30, 50, 40);
  std::vector<std::string> ev;
  c->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    ev.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) +
                 (s.Contains(ssLeft) ? " left" : ""));
  };
  c->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    ev.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnClick = [&](TObject*) { ev.push_back("click"); };
  c->OnDblClick = [&](TObject*) { ev.push_back("dblclick"); };
  zeltest::ShowForm(&form);
  platform::SendClick(c, 7, 9);
  EXPECT_EQ(ev, (std::vector<std::string>{"down 0 7,9 left", "click", "up 7,9"}));
  ev.clear();
  platform::SendMouseDown(c, mbLeft, 3, 3);
  platform::SendMouseUp(c, mbLeft, 80, 3);  // released outside: no click
  EXPECT_EQ(ev, (std::vector<std::string>{"down 0 3,3 left", "up 80,3"}));
  ev.clear();
  platform::SendDblClick(c, 4, 4);
  EXPECT_NE(std::find(ev.begin(), ev.end(), "dblclick"), ev.end());
}

// Answers the hit test like a movable, sizable panel.
class TMovable : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void WMNCHitTest(TMessage& M) override {
    TCustomControl::WMNCHitTest(M);
    const TPoint p = ScreenToClient(TPoint(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)));
    if (p.X >= Width() - 4 && p.Y >= Height() - 4) M.Result = HTBOTTOMRIGHT;
    else if (p.Y < 10) M.Result = HTCAPTION;
  }
  void WMGetMinMaxInfo(TMessage& M) override {
    TCustomControl::WMGetMinMaxInfo(M);
    reinterpret_cast<MINMAXINFO*>(M.LParam)->ptMinTrackSize = POINT{40, 30};
  }
};

TEST(Mouse, HitTestCodesMoveAndSizeTheControl) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* m = new TMovable(&form);
  m->SetParent(&form);
  m->SetBounds(50, 50, 100, 80);
  int downs = 0;
  m->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  zeltest::ShowForm(&form);
  // Drag by the caption area.
  platform::SendMouseDown(m, mbLeft, 20, 5);
  platform::SendMouseMove(m, 50, 25);
  platform::SendMouseUp(m, mbLeft, 50, 25);
  EXPECT_EQ(m->BoundsRect(), Bounds(80, 70, 100, 80));
  EXPECT_EQ(downs, 0);  // the caption is no client area
  // Size by the corner, no smaller than the minimum tracking size.
  platform::SendMouseDown(m, mbLeft, 98, 78);
  platform::SendMouseMove(m, 0, 0);
  platform::SendMouseUp(m, mbLeft, 0, 0);
  EXPECT_EQ(m->BoundsRect(), Bounds(80, 70, 40, 30));
  // The client area gets the press as usual.
  platform::SendClick(m, 20, 20);
  EXPECT_EQ(downs, 1);
}

class TLabelLike : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
};

TEST(Mouse, APressOnAWindowlessControlIsHitTestedByItsWindowedParent) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* m = new TMovable(&form);
  m->SetParent(&form);
  m->SetBounds(50, 50, 100, 80);
  auto* title = new TLabelLike(&form);
  title->SetParent(m);
  title->SetBounds(0, 0, 100, 10);
  zeltest::ShowForm(&form);
  platform::SendMouseDown(title, mbLeft, 20, 5);
  platform::SendMouseMove(title, 30, 15);
  platform::SendMouseUp(title, mbLeft, 30, 15);
  EXPECT_EQ(m->BoundsRect(), Bounds(60, 60, 100, 80));
}

TEST_F(ControlsTest, EnterAndExitRunAlongTheParentChains) {
  // b1 and b2 move into a container; focus moves b0 -> b1 -> b2 -> b0.
  auto* box = new TLogBox(form.get(), &log);
  box->SetName("box");
  box->SetParent(form.get());
  box->SetTabStop(false);
  box->SetBounds(150, 10, 120, 150);
  boxes[1]->SetParent(box);
  boxes[2]->SetParent(box);
  boxes[1]->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"b0.exit", "box.enter", "b1.enter"}));
  log.clear();
  boxes[2]->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"b1.exit", "b2.enter"}));
  log.clear();
  boxes[0]->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"b2.exit", "box.exit", "b0.enter"}));
}

TEST(Controls, ParentFontAndParentColorFollowTheParentUntilSetThemselves) {
  TForm form(nullptr);
  auto* c = new TPainted(&form);
  c->SetParent(&form);
  form.Font()->SetHeight(-20);
  EXPECT_EQ(c->Font()->Height(), -20);
  EXPECT_TRUE(c->ParentFont());
  c->Font()->SetHeight(-9);
  EXPECT_FALSE(c->ParentFont());
  form.Font()->SetHeight(-30);
  EXPECT_EQ(c->Font()->Height(), -9);
}

// Looks at its parent and owner while it goes.
class TWitness : public TWinControl {
public:
  TWitness(TComponent* Owner, std::vector<std::string>* Log) : TWinControl(Owner), FLog(Log) {}
  ~TWitness() override {
    FLog->push_back(std::string("parent destroying=") +
                    std::to_string(Parent() && Parent()->ComponentState().Contains(csDestroying)) +
                    " owner destroying=" + std::to_string(Owner()->ComponentState().Contains(csDestroying)));
  }

private:
  std::vector<std::string>* FLog;
};

TEST(Controls, AWindowFreesItsChildrenWhichSeeItBeingDestroyed) {
  std::vector<std::string> log;
  auto* form = new TForm(nullptr);
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  auto* child = new TWitness(form, &log);
  child->SetParent(panel);
  const HWND h = child->Handle();
  delete form;
  EXPECT_EQ(log, (std::vector<std::string>{"parent destroying=1 owner destroying=1"}));
  EXPECT_FALSE(IsWindow(h));
  zeltest::RunPostedMessages();
}

TEST(Controls, AlignedChildrenShareTheClientArea) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* top = new TPainted(&form);
  top->SetParent(&form);
  top->SetHeight(40);
  top->SetAlign(alTop);
  auto* left = new TPainted(&form);
  left->SetParent(&form);
  left->SetWidth(50);
  left->SetAlign(alLeft);
  auto* rest = new TPainted(&form);
  rest->SetParent(&form);
  rest->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 40));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 40, 50, 200));
  EXPECT_EQ(rest->BoundsRect(), Rect(50, 40, 300, 200));
}

}  // namespace
