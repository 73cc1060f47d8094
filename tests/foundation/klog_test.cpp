// Debug-window link: what a debug viewer receives, and when it receives
// nothing.
#include "foundation/klog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/kmsg.h"
#include "foundation/ktool.h"
#include "platform/os/windows.h"
#include "tests/support/debug_receiver.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

using namespace std::chrono_literals;
using zeltest::DebugReceiver;

using zeltest::ScopedEnv;

namespace {

// Each test has its own window directory and drive C:, and the program is
// C:\APP\ZEL.EXE.
class KLogTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::SetModuleFileNameOverride("C:\\APP\\ZEL.EXE");
    platform::SetHostResolver([](const std::string&) { return std::string(); });
    ktool_finalization();
    DebugWindow = -1;
  }
  void TearDown() override {
    kmsg_finalization();
    ktool_finalization();
    SetDebugApplicationHandleSource(nullptr);
    platform::SetSendMessageTimeout(500ms);
    platform::SetModuleFileNameOverride("");
    platform::SetHostResolver(nullptr);
    DebugWindow = -1;
  }

  zeltest::TempDir dir;
  ScopedEnv runtime{"ZEL_RUNTIME_DIR", dir.path().c_str()};
  ScopedEnv driveC{"ZEL_DRIVE_C", dir.path().c_str()};
};

TEST_F(KLogTest, StartLineAndTheTwoStartUpLines) {
  DebugReceiver viewer;
  SetDebugApplicationHandleSource([] { return WPARAM{0x1234}; });
  klog_initialization();
  kmsg_initialization();
  ktool_initialization();  // the second InitApplikation sends nothing
  ASSERT_TRUE(viewer.waitForLines(3, 2s));

  const std::vector<std::string> expected = {
      "#START {C:\\APP\\ZEL.EXE}",
      "InitApplikation from \"LANGUAGE\"",
      "Barcodeprefix= 2A [*]",
  };
  EXPECT_EQ(viewer.lines(), expected);
  const auto messages = viewer.messages();
  ASSERT_EQ(messages.size(), 3u);
  for (std::size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i].msg, WM_COPYDATA);
    EXPECT_EQ(messages[i].wParam, WPARAM{0x1234});
    EXPECT_EQ(messages[i].dwData, 0u);
    EXPECT_EQ(messages[i].cbData, expected[i].size() + 1);
    EXPECT_EQ(messages[i].bytes, expected[i] + std::string(1, '\0'));
  }
  EXPECT_EQ(ModuleTag(), "{C:\\APP\\ZEL.EXE}");
}

TEST_F(KLogTest, LinesAndTheirErrors) {
  DebugReceiver viewer;
  klog_initialization();
  ASSERT_TRUE(viewer.waitForLines(1, 2s));
  DebugFmt("%s", {AnsiString()});
  DebugFmt("%d", {});
  DebugFmt("%d items in %s", {3, "box"});
  WriteLog("100% sure");
  DebugValues({TKLogValue::Null()});
  DebugValues({TKLogValue(), TKLogValue(""), TKLogValue("a"), TKLogValue(), TKLogValue(7)});
  DebugValues({TKLogValue("x"), TKLogValue(1.5), TKLogValue(true)});
  ASSERT_TRUE(viewer.waitForLines(8, 2s));
  const auto messages = viewer.messages();
  ASSERT_EQ(messages.size(), 8u);
  EXPECT_EQ(messages[1].cbData, 1u);
  EXPECT_EQ(messages[1].bytes, std::string(1, '\0'));
  const std::vector<std::string> lines = viewer.lines();
  EXPECT_EQ(lines[2], "Error");
  EXPECT_EQ(lines[3], "3 items in box");
  EXPECT_EQ(lines[4], "100% sure");
  EXPECT_EQ(lines[5], "Error");
  EXPECT_EQ(lines[6], "a, , 7");
  EXPECT_EQ(lines[7], "x, " + FloatToStr(1.5) + ", True");
}

TEST_F(KLogTest, OnlyTheRightWindowAtStartUpIsTaken) {
  DebugReceiver otherTitle("TKuvoDebugForm", "Debug2");
  DebugReceiver otherClass("TOtherForm", "Debug");
  klog_initialization();
  EXPECT_LT(DebugWindow, 0);
  DebugFmt("%s", {"lost"});

  // A viewer that starts later gets nothing from this process.
  DebugReceiver late;
  DebugFmt("%s", {"lost too"});
  WriteLog("and this");
  EXPECT_FALSE(late.waitForLines(1, 100ms));
  EXPECT_TRUE(otherTitle.messages().empty());
  EXPECT_TRUE(otherClass.messages().empty());

  // Once found, the window is not looked for again.
  klog_initialization();
  ASSERT_TRUE(late.waitForLines(1, 2s));
  const LONG_PTR found = DebugWindow;
  ConnectDebugWindow();
  EXPECT_EQ(DebugWindow, found);
  EXPECT_EQ(late.lines().size(), 1u);
}

// A viewer busy for a while (another program floods it) misses nothing:
// the line that timed out and every later one arrive, in order, and once it
// has caught up the link waits for its answers again.
TEST_F(KLogTest, AViewerSlowOnceGetsEveryLaterLine) {
  platform::SetSendMessageTimeout(50ms);
  DebugReceiver viewer;
  klog_initialization();
  ASSERT_TRUE(viewer.waitForLines(1, 2s));
  const HWND handle = reinterpret_cast<HWND>(DebugWindow);

  viewer.pauseFor(800ms);
  std::vector<std::string> expected = {"#START {C:\\APP\\ZEL.EXE}"};
  for (int i = 1; i <= 8; ++i) {
    expected.push_back("while busy " + std::to_string(i));
    WriteLog(expected.back());
  }
  EXPECT_TRUE(IsHungAppWindow(handle));  // the first of them timed out
  ASSERT_TRUE(viewer.waitForLines(expected.size(), 5s));

  // Caught up: the next lines are waited for and answered again.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (IsHungAppWindow(handle) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(5ms);
  ASSERT_FALSE(IsHungAppWindow(handle));
  for (const char* line : {"after 1", "after 2"}) {
    expected.push_back(line);
    SetLastError(ERROR_TIMEOUT);
    WriteLog(line);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << line;  // answered
  }
  ASSERT_TRUE(viewer.waitForLines(expected.size(), 2s));
  EXPECT_EQ(viewer.lines(), expected);
}

// A viewer that never reads holds the program up once, for one time-out;
// the later lines are handed over without waiting.  (A guard against a
// frozen program, not a speed goal: a wait per line would take 21 s.)
// The start line and each later line are timed on their own, so that on a
// loaded machine the later lines' small delays do not add up with the
// start line's wait; every bound has a whole time-out to spare.
TEST_F(KLogTest, AViewerThatNeverReadsCostsAtMostOneTimeOut) {
  constexpr auto timeout = 1000ms;
  // A send that waited for the time-out; the wait may end a little early
  // (the time left is counted in whole milliseconds).
  constexpr auto waited = timeout - 50ms;
  platform::SetSendMessageTimeout(timeout);
  DebugReceiver hung("TKuvoDebugForm", "Debug", DebugReceiver::Mode::NeverReads);
  auto timed = [](const auto& send) {
    const auto start = std::chrono::steady_clock::now();
    send();
    return std::chrono::steady_clock::now() - start;
  };
  const auto first = timed([] { klog_initialization(); });
  EXPECT_GE(first, waited);       // the start line waited ...
  EXPECT_LT(first, 2 * timeout);  // ... for one time-out
  EXPECT_GE(DebugWindow, 0);
  int waits = 0;
  std::chrono::steady_clock::duration later{};
  for (int i = 0; i < 20; ++i) {
    const auto spent = timed([i] { WriteLog("line " + std::to_string(i)); });
    if (spent >= waited) ++waits;
    later += spent;
  }
  EXPECT_EQ(waits, 0);         // no later line waited for a time-out ...
  EXPECT_LT(later, timeout);   // ... nor a little each
  EXPECT_TRUE(IsHungAppWindow(reinterpret_cast<HWND>(DebugWindow)));
  EXPECT_TRUE(hung.messages().empty());
}

}  // namespace
