// Windows of other programs: FindWindowA and WM_COPYDATA to the test receiver.
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"
#include "tests/support/debug_receiver.h"

namespace {

using zeltest::DebugReceiver;
using namespace std::chrono_literals;

class ForeignWindows : public ::testing::Test {
protected:
  ForeignWindows() : FRuntime("ZEL_RUNTIME_DIR", FTemp.path()) {}
  ~ForeignWindows() override { platform::SetSendMessageTimeout(500ms); }

  // Sends one line as the debug-window link does.
  static LRESULT SendLine(HWND h, const std::string& line, WPARAM from = 0) {
    COPYDATASTRUCT cds{};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(line.size() + 1);
    cds.lpData = const_cast<char*>(line.c_str());
    return SendMessageA(h, WM_COPYDATA, from, reinterpret_cast<LPARAM>(&cds));
  }

  zeltest::TempDir FTemp;
  zeltest::ScopedEnv FRuntime;
};

TEST_F(ForeignWindows, NoWindowWithoutAPublishingProgram) {
  EXPECT_EQ(nullptr, FindWindowA("TKuvoDebugForm", "Debug"));
}

TEST_F(ForeignWindows, ClassAndTitleMustBothMatch) {
  DebugReceiver receiver;
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(h, FindWindowA("TKuvoDebugForm", "Debug"));  // one handle per window
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(nullptr, FindWindowA("TKuvoDebugForm", "Debug2"));
  EXPECT_EQ(nullptr, FindWindowA("TOtherForm", "Debug"));
  EXPECT_EQ(nullptr, FindWindowA("TKuvoDebugForm", nullptr));
}

TEST_F(ForeignWindows, CopyDataRoundTrip) {
  DebugReceiver receiver;
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  const std::string start = "#START {Z:\\opt\\zel\\zel_web_pricat}";
  EXPECT_EQ(TRUE, SendLine(h, start, 0x1234));
  EXPECT_EQ(TRUE, SendLine(h, ""));
  EXPECT_EQ(TRUE, SendLine(h, "100% \xE4rger; Barcodeprefix= 2A [*]"));
  ASSERT_TRUE(receiver.waitForLines(3, 5s));

  const auto messages = receiver.messages();
  ASSERT_EQ(3u, messages.size());
  EXPECT_EQ(WM_COPYDATA, messages[0].msg);
  EXPECT_EQ(0x1234u, messages[0].wParam);
  EXPECT_EQ(0u, messages[0].dwData);
  EXPECT_EQ(start.size() + 1, messages[0].cbData);
  EXPECT_EQ(start + std::string(1, '\0'), messages[0].bytes);
  EXPECT_EQ(1u, messages[1].cbData);  // an empty line is the NUL alone
  EXPECT_EQ((std::vector<std::string>{start, "", "100% \xE4rger; Barcodeprefix= 2A [*]"}), receiver.lines());
}

TEST_F(ForeignWindows, TheReceiversAnswerIsTheResult) {
  DebugReceiver receiver;
  receiver.setAnswer(42);
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(42, SendLine(h, "x"));
  // Only WM_COPYDATA travels to another program.
  EXPECT_EQ(0, SendMessageA(h, 0x0010, 0, 0));
  EXPECT_FALSE(PostMessageA(h, WM_COPYDATA, 0, 0));
}

TEST_F(ForeignWindows, LargeMessage) {
  DebugReceiver receiver;
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  std::string big(1 << 20, 'k');
  for (std::size_t i = 0; i < big.size(); i += 97) big[i] = static_cast<char>('a' + i % 26);
  EXPECT_EQ(TRUE, SendLine(h, big));
  ASSERT_TRUE(receiver.waitForLines(1, 5s));
  EXPECT_EQ(big, receiver.lines().at(0));
}

TEST_F(ForeignWindows, AReceiverThatNeverReadsCostsOnlyTheTimeOut) {
  DebugReceiver hung("TKuvoDebugForm", "Debug", DebugReceiver::Mode::NeverReads);
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  platform::SetSendMessageTimeout(100ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, SendLine(h, "line to nobody"));
  EXPECT_EQ(ERROR_TIMEOUT, GetLastError());
  EXPECT_EQ(0, SendLine(h, std::string(1 << 20, 'x')));  // more than the socket holds
  EXPECT_EQ(ERROR_TIMEOUT, GetLastError());
  // A guard against hanging, not a speed goal: two sends of 100 ms each.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_TRUE(hung.messages().empty());
}

// A message whose answer did not come in time stays with the receiver; the
// window counts as hung until it has answered everything handed to it.
TEST_F(ForeignWindows, ALateAnswerEndsTheHang) {
  DebugReceiver receiver;
  const HWND h = FindWindowA("TKuvoDebugForm", "Debug");
  ASSERT_NE(nullptr, h);
  EXPECT_FALSE(IsHungAppWindow(h));
  receiver.pauseFor(300ms);
  platform::SetSendMessageTimeout(30ms);
  EXPECT_EQ(0, SendLine(h, "late"));
  EXPECT_EQ(ERROR_TIMEOUT, GetLastError());
  EXPECT_TRUE(IsHungAppWindow(h));

  // Handed over without a wait: no answer yet, and still hung.
  COPYDATASTRUCT cds{0, 5, const_cast<char*>("next")};
  DWORD_PTR result = 7;
  EXPECT_EQ(0, SendMessageTimeoutA(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 0, &result));
  EXPECT_EQ(0u, result);
  EXPECT_TRUE(IsHungAppWindow(h));

  ASSERT_TRUE(receiver.waitForLines(2, 5s));
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (IsHungAppWindow(h) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
  EXPECT_FALSE(IsHungAppWindow(h));
  EXPECT_EQ((std::vector<std::string>{"late", "next"}), receiver.lines());

  platform::SetSendMessageTimeout(5s);
  EXPECT_EQ(TRUE, SendMessageTimeoutA(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &result));
  EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), result);
  EXPECT_FALSE(IsHungAppWindow(nullptr));
}

TEST_F(ForeignWindows, AWindowThatWentAwayIsNoWindow) {
  HWND h;
  {
    DebugReceiver receiver;
    h = FindWindowA("TKuvoDebugForm", "Debug");
    ASSERT_NE(nullptr, h);
  }
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(0, SendLine(h, "after the end"));
  EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
  EXPECT_EQ(nullptr, FindWindowA("TKuvoDebugForm", "Debug"));
}

TEST_F(ForeignWindows, LongNamesStillFitASocketAddress) {
  const std::string cls(120, 'C'), title(80, 'T');
  const std::string path = platform::WindowSocketPath(cls, title);
  EXPECT_LT(path.size(), 108u);
  EXPECT_NE(path, platform::WindowSocketPath(cls, title + "x"));
  DebugReceiver receiver(cls, title);
  const HWND h = FindWindowA(cls.c_str(), title.c_str());
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(TRUE, SendLine(h, "long"));
  EXPECT_EQ(nullptr, FindWindowA(cls.c_str(), (title + "x").c_str()));
}

TEST_F(ForeignWindows, RuntimeDirectory) {
  EXPECT_EQ(FTemp.path(), platform::WindowRuntimeDir());
  EXPECT_EQ(FTemp.path() + "/zel-window-544b75766f4465627567466f726d-4465627567.sock",
            platform::WindowSocketPath("TKuvoDebugForm", "Debug"));
  zeltest::ScopedEnv none("ZEL_RUNTIME_DIR", std::nullopt);
  zeltest::ScopedEnv xdg("XDG_RUNTIME_DIR", std::string("/run/user/1000"));
  EXPECT_EQ("/run/user/1000", platform::WindowRuntimeDir());
  zeltest::ScopedEnv noXdg("XDG_RUNTIME_DIR", std::nullopt);
  EXPECT_EQ("/tmp", platform::WindowRuntimeDir());
}

TEST(LocalWindows, MessagesGoToTheGuiHooks) {
  auto* own = reinterpret_cast<HWND>(0x1000);
  EXPECT_EQ(0, SendMessageA(own, 0x0100, 1, 2));  // no hook
  EXPECT_FALSE(PostMessageA(own, 0x0100, 1, 2));
  EXPECT_FALSE(IsWindow(own));

  std::vector<std::string> calls;
  platform::SetLocalSendMessageHook([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    calls.push_back("send " + std::to_string(reinterpret_cast<std::uintptr_t>(h)) + " " + std::to_string(m) +
                    " " + std::to_string(w) + " " + std::to_string(l));
    return 7;
  });
  platform::SetLocalPostMessageHook([&](HWND, UINT m, WPARAM, LPARAM) -> BOOL {
    calls.push_back("post " + std::to_string(m));
    return TRUE;
  });
  platform::SetLocalIsWindowHook([&](HWND h) -> BOOL { return h == own; });
  EXPECT_EQ(7, SendMessageA(own, 0x0100, 1, 2));
  EXPECT_TRUE(PostMessageA(own, 0x0101, 0, 0));
  EXPECT_TRUE(IsWindow(own));
  EXPECT_FALSE(IsWindow(nullptr));
  platform::SetLocalSendMessageHook(nullptr);
  platform::SetLocalPostMessageHook(nullptr);
  platform::SetLocalIsWindowHook(nullptr);
  EXPECT_EQ((std::vector<std::string>{"send 4096 256 1 2", "post 257"}), calls);
}

}  // namespace
