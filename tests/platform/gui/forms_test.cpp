// Forms, the application loop, the timer, the clipboard and message boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/clipbrd.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/gui/timer.h"
#include "platform/rtl/codepage.h"
#include "tests/support/gui_input.h"
#include "tests/support/msgbox_recorder.h"

namespace {

TEST(Timer, EnablingARunningTimerDoesNotRestartIt) {
  TTimer timer(nullptr);
  timer.SetInterval(60000);
  EXPECT_TRUE(timer.Running());
  const unsigned starts = platform::TimerStarts(&timer);
  timer.SetEnabled(true);
  EXPECT_EQ(platform::TimerStarts(&timer), starts);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.SetEnabled(true);
  EXPECT_EQ(platform::TimerStarts(&timer), starts + 1);
  timer.SetInterval(200);  // a new interval starts it again
  EXPECT_EQ(platform::TimerStarts(&timer), starts + 2);
}

TEST(Timer, FiresItsEventAndAnExceptionThereGoesToTheDefaultHandler) {
  zeltest::MessageBoxRecorder shown;
  TTimer timer(nullptr);
  timer.SetInterval(60000);
  int ticks = 0;
  timer.OnTimer = [&](TObject* Sender) {
    ++ticks;
    static_cast<TTimer*>(Sender)->SetEnabled(false);
    throw Exception("Zeit");
  };
  EXPECT_TRUE(platform::FireTimerNow(&timer));
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(platform::FireTimerNow(&timer));
  ASSERT_EQ(shown.Count(), 1);
  EXPECT_EQ(shown.Last().Text, "Zeit.");
}

TEST(Timer, RunsFromTheMessageLoop) {
  TTimer timer(nullptr);
  timer.SetInterval(1);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    timer.SetEnabled(false);
  };
  for (int i = 0; i < 200 && ticks == 0; ++i) {
    Sleep(2);
    Application->ProcessMessages();
  }
  EXPECT_EQ(ticks, 1);
}

// The message loop rests: with nothing waiting, HandleMessage fires OnIdle
// and blocks until the timer is due, instead of returning at once (a loop
// that spins calls it thousands of times during the interval).
TEST(Application, HandleMessageWaitsForTheNextTimer) {
  Application->ProcessMessages();
  TTimer timer(nullptr);
  timer.SetInterval(50);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    timer.SetEnabled(false);
  };
  int idles = 0;
  Application->OnIdle = [&](TObject*) { ++idles; };
  int calls = 0;
  while (ticks == 0 && calls < 1000000) {
    Application->HandleMessage();
    ++calls;
  }
  Application->OnIdle = nullptr;
  EXPECT_EQ(ticks, 1);
  // A loop that waits needs a handful of calls (more on a real display,
  // whose own events wake it too); one that spins needs tens of thousands.
  EXPECT_LE(calls, 200);
  EXPECT_GE(idles, 1);
  EXPECT_LE(idles, calls);
}

// A message that is already waiting is handled at once: no idle step, no wait.
TEST(Application, HandleMessageHandlesAWaitingMessageWithoutIdling) {
  Application->ProcessMessages();
  int idles = 0;
  Application->OnIdle = [&](TObject*) { ++idles; };
  bool ran = false;
  platform::PostCall([&] { ran = true; });
  Application->HandleMessage();
  Application->OnIdle = nullptr;
  EXPECT_TRUE(ran);
  EXPECT_EQ(idles, 0);
}

TEST(Clipboard, HoldsWindowsTextAsUnicode) {
  Clipboard()->SetAsText("Gr\xF6\xDF" "e \x80 5");
  EXPECT_EQ(Clipboard()->AsText(), "Gr\xF6\xDF" "e \x80 5");
  EXPECT_TRUE(Clipboard()->HasText());
  Clipboard()->Clear();
  EXPECT_EQ(Clipboard()->AsText(), "");
  // A test backend replaces the system clipboard.
  std::string held;
  auto old = platform::SetClipboardBackend({[&] { return held; }, [&](const std::string& s) { held = s; },
                                            [&] { held.clear(); }, nullptr});
  Clipboard()->SetAsText("\xE4");
  EXPECT_EQ(held, "\xC3\xA4");
  platform::SetClipboardBackend(old);
}

TEST(MessageBox, GoesThroughThePresenterWhichAnswers) {
  zeltest::MessageBoxRecorder shown(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Weiter?", "Frage", MB_YESNO | MB_ICONQUESTION), IDNO);
  Application->SetTitle("ZEL");
  ShowMessage("Fertig");
  ASSERT_EQ(shown.Count(), 2);
  EXPECT_EQ(shown.Boxes()[0].Caption, "Frage");
  EXPECT_EQ(shown.Boxes()[0].Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(shown.Last().Text, "Fertig");
  EXPECT_EQ(shown.Last().Caption, "ZEL");
}

// The platform's own message box (no presenter) on a real display: its
// buttons speak the program's language.
TEST(MessageBox, ThePlatformsBoxHasGermanButtons) {
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    GTEST_SKIP() << "a modal box needs a display that answers it";
  struct Case {
    UINT Flags;
    std::vector<std::string> Captions;
    const char* Click;
    int Answer;
  };
  const Case Cases[] = {
      {MB_OK, {"OK"}, "OK", IDOK},
      {MB_YESNO, {"&Ja", "&Nein"}, "&Nein", IDNO},
      {MB_OKCANCEL, {"Abbrechen", "OK"}, "Abbrechen", IDCANCEL},
      {MB_ABORTRETRYIGNORE, {"&Abbrechen", "&Ignorieren", "&Wiederholen"}, "&Wiederholen", IDRETRY},
      {MB_YESNOCANCEL, {"&Ja", "&Nein", "Abbrechen"}, "&Ja", IDYES},
      {MB_RETRYCANCEL, {"&Wiederholen", "Abbrechen"}, "Abbrechen", IDCANCEL},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Click);
    std::vector<std::string> seen;
    // Answers the box once it is up, as a user would.
    std::function<void()> answer = [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) {
        QTimer::singleShot(10, answer);
        return;
      }
      QAbstractButton* chosen = nullptr;
      for (QAbstractButton* b : box->buttons()) {
        seen.push_back(platform::Utf8ToAnsi(b->text().toStdString()));
        if (seen.back() == C.Click) chosen = b;
      }
      if (chosen) chosen->click();
      else box->reject();
    };
    QTimer::singleShot(0, answer);
    EXPECT_EQ(MessageBoxA(nullptr, "Weiter?", "Frage", C.Flags), C.Answer);
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> want = C.Captions;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(seen, want);
  }
}

// BorderIcons and BorderStyle become the window's frame: with the system
// menu alone there is a close button but neither minimise nor maximise.
TEST(Form, BorderIconsAndStyleMakeTheWindowFrame) {
  struct Case {
    const char* Name;
    TBorderIcons Icons;
    TFormBorderStyle Style;
    bool Close, Minimise, Maximise;
  };
  const Case Cases[] = {
      {"system menu only", {biSystemMenu}, bsSizeable, true, false, false},
      {"all icons", {biSystemMenu, biMinimize, biMaximize}, bsSizeable, true, true, true},
      {"minimise only", {biSystemMenu, biMinimize}, bsSingle, true, true, false},
      {"dialog frame", {biSystemMenu, biMinimize, biMaximize}, bsDialog, true, false, false},
      {"no system menu", {biMinimize, biMaximize}, bsSizeable, false, false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TForm form(nullptr);
    form.SetCaption("Rahmen");
    form.SetBorderStyle(C.Style);
    form.SetBorderIcons(C.Icons);
    zeltest::ShowForm(&form);
    // Changing the frame of a shown form keeps it shown.
    form.SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize, biHelp});
    form.SetBorderIcons(C.Icons);
    const QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t->windowTitle() == QLatin1String("Rahmen")) w = t;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    const Qt::WindowFlags f = w->windowFlags();
    EXPECT_EQ(f.testFlag(Qt::WindowCloseButtonHint), C.Close);
    EXPECT_EQ(f.testFlag(Qt::WindowMinimizeButtonHint), C.Minimise);
    EXPECT_EQ(f.testFlag(Qt::WindowMaximizeButtonHint), C.Maximise);
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
  }
}

// A form without the maximise button stays at its size when the window
// system maximises it anyway (a window manager that ignores the frame); one
// with the button is maximised.
TEST(Form, WithoutTheMaximiseButtonTheWindowIsNotMaximised) {
  for (const bool Button : {false, true}) {
    SCOPED_TRACE(Button);
    TForm form(nullptr);
    form.SetCaption("Rahmen");
    form.SetBounds(30, 40, 300, 200);
    form.SetBorderIcons(Button ? TBorderIcons{biSystemMenu, biMaximize} : TBorderIcons{biSystemMenu});
    zeltest::ShowForm(&form);
    QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t->windowTitle() == QLatin1String("Rahmen") && t->isVisible()) w = t;
    ASSERT_NE(w, nullptr);
    w->setWindowState(Qt::WindowMaximized);
    zeltest::RunPostedMessages();
    EXPECT_EQ(w->windowState().testFlag(Qt::WindowMaximized), Button);
    if (!Button) {
      EXPECT_EQ(form.Width(), 300);
      EXPECT_EQ(form.Height(), 200);
    }
  }
}

class TLifeForm : public TForm {
public:
  explicit TLifeForm(TComponent* Owner, std::vector<std::string>* Log) : TForm(Owner), FLog(Log) {
    OnActivate = [this](TObject*) { FLog->push_back("activate"); };
    OnClose = [this](TObject*, TCloseAction&) { FLog->push_back("close"); };
    OnDestroy = [this](TObject*) { FLog->push_back("destroy"); };
  }

private:
  std::vector<std::string>* FLog;
};

TEST(Application, RunEndsWhenTheMainFormClosesAndThenFreesItsForms) {
  std::vector<std::string> log;
  TForm* first = nullptr;
  Application->CreateForm(first);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_EQ(Application->MainForm(), first);
  delete first;
  ASSERT_EQ(Application->MainForm(), nullptr);

  auto* f = new TLifeForm(Application, &log);
  Application->SetMainForm(f);
  f->SetBounds(0, 0, 100, 80);
  platform::PostCall([f] {
    platform::ShowAndActivate(f);
    f->Close();
  });
  Application->Run();
  EXPECT_EQ(Application->MainForm(), nullptr);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "close");
  EXPECT_EQ(log.back(), "destroy");
  Application->ResetTerminated();
}

TEST(Screen, ReportsTheScreenSizeAndTheActiveControl) {
  platform::SetScreenSizeOverride(1920, 1080);
  EXPECT_EQ(Screen->Width(), 1920);
  EXPECT_EQ(Screen->Height(), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  platform::SetScreenSizeOverride(0, 0);
  EXPECT_GT(Screen->Width(), 0);

  TForm form(nullptr);
  TWinControl* edit = platform::CreateLineEditControl(&form);
  edit->SetParent(&form);
  zeltest::ShowForm(&form);
  edit->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(Screen->ActiveControl(), edit);
  EXPECT_EQ(Screen->ActiveForm(), &form);
}

TEST(Form, ActiveControlGetsTheFocusWhenTheFormIsShownAndEntersOnce) {
  TForm form(nullptr);
  TWinControl* a = platform::CreateLineEditControl(&form);
  TWinControl* b = platform::CreateLineEditControl(&form);
  a->SetParent(&form);
  b->SetParent(&form);
  b->SetTop(30);
  int enters = 0;
  b->OnEnter = [&](TObject*) { ++enters; };
  form.SetActiveControl(b);
  zeltest::ShowForm(&form);
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(enters, 1);
}

TEST(Form, ClosingHidesAndOnCloseCanRefuse) {
  TForm form(nullptr);
  zeltest::ShowForm(&form);
  form.OnClose = [](TObject*, TCloseAction& a) { a = caNone; };
  form.Close();
  EXPECT_TRUE(form.Visible());
  form.OnClose = nullptr;
  form.Close();
  EXPECT_FALSE(form.Visible());
}

}  // namespace
