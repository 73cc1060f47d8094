// Environment, computer name, temp path, local address, clock and beep.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"

namespace {

std::string EnvVar(const char* name) {
  char buf[256] = {};
  const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

TEST(Environment, NamesIgnoreCase) {
  zeltest::ScopedEnv v("ZEL_Test_Var", std::string("Wert 1"));
  for (const char* name : {"ZEL_Test_Var", "zel_test_var", "ZEL_TEST_VAR"}) EXPECT_EQ("Wert 1", EnvVar(name)) << name;

  EXPECT_EQ(7u, GetEnvironmentVariableA("zel_test_var", nullptr, 0));  // size needed with NUL
  char small[4];
  EXPECT_EQ(7u, GetEnvironmentVariableA("zel_test_var", small, sizeof small));

  SetLastError(0);
  EXPECT_EQ(0u, GetEnvironmentVariableA("ZEL_NO_SUCH_VARIABLE", small, sizeof small));
  EXPECT_EQ(ERROR_ENVVAR_NOT_FOUND, GetLastError());
}

TEST(Environment, SetReplacesTheVariableWhateverItsCase) {
  zeltest::ScopedEnv v("ZEL_Test_Var", std::string("alt"));
  ASSERT_TRUE(SetEnvironmentVariableA("zel_test_VAR", "neu"));
  EXPECT_STREQ("neu", std::getenv("ZEL_Test_Var"));  // the entry keeps its name
  EXPECT_EQ(nullptr, std::getenv("zel_test_VAR"));
  ASSERT_TRUE(SetEnvironmentVariableA("ZEL_TEST_VAR", nullptr));
  EXPECT_EQ(nullptr, std::getenv("ZEL_Test_Var"));
  EXPECT_FALSE(SetEnvironmentVariableA("A=B", "x"));
}

TEST(Environment, BlockHoldsEveryEntryAndEndsWithAnEmptyOne) {
  zeltest::ScopedEnv a("ZEL_BLOCK_A", std::string("1"));
  zeltest::ScopedEnv b("zel_block_b", std::string("x=y"));
  LPCH block = GetEnvironmentStringsA();
  ASSERT_NE(nullptr, block);
  std::vector<std::string> entries;
  const char* p = block;
  for (; *p; p += std::strlen(p) + 1) entries.emplace_back(p);
  EXPECT_EQ('\0', p[0]);
  std::size_t count = 0;
  for (char** e = environ; *e; ++e) ++count;
  EXPECT_EQ(count, entries.size());
  EXPECT_NE(entries.end(), std::find(entries.begin(), entries.end(), "ZEL_BLOCK_A=1"));
  EXPECT_NE(entries.end(), std::find(entries.begin(), entries.end(), "zel_block_b=x=y"));
  EXPECT_TRUE(FreeEnvironmentStringsA(block));
}

TEST(Environment, ComputerNameIsTheHostNameWithoutDomain) {
  char host[256] = {};
  ASSERT_EQ(0, ::gethostname(host, sizeof host - 1));
  const std::string expected = std::string(host).substr(0, std::string(host).find('.'));
  char buf[128];
  DWORD size = sizeof buf;
  ASSERT_TRUE(GetComputerNameA(buf, &size));
  EXPECT_EQ(expected, buf);
  EXPECT_EQ(expected.size(), size);
}

TEST(Environment, ComputerNameBufferAndReplacement) {
  platform::SetComputerNameSource([] { return std::string("WORKSTATION-WITH-A-LONG-NAME"); });
  char buf[128];
  DWORD size = 10;
  EXPECT_FALSE(GetComputerNameA(buf, &size));
  EXPECT_EQ(ERROR_BUFFER_OVERFLOW, GetLastError());
  EXPECT_EQ(29u, size);
  size = sizeof buf;
  EXPECT_TRUE(GetComputerNameA(buf, &size));
  EXPECT_STREQ("WORKSTATION-WITH-A-LONG-NAME", buf);
  platform::SetComputerNameSource(nullptr);
}

TEST(Environment, TempPathInZFormWithTrailingBackslash) {
  struct Case {
    std::optional<std::string> tmpdir;
    const char* path;
  } cases[] = {
      {std::string("/var/tmp/zel"), "Z:\\var\\tmp\\zel\\"},
      {std::string("/var/tmp/zel/"), "Z:\\var\\tmp\\zel\\"},
      {std::nullopt, "Z:\\tmp\\"},
      {std::string(""), "Z:\\tmp\\"},
  };
  for (const auto& c : cases) {
    zeltest::ScopedEnv tmp("TMPDIR", c.tmpdir);
    char buf[256];
    const DWORD n = GetTempPathA(sizeof buf, buf);
    EXPECT_EQ(std::strlen(c.path), n);
    EXPECT_STREQ(c.path, buf);
    EXPECT_EQ(n + 1, GetTempPathA(n, buf));  // too small: the size needed
  }
}

bool IsDottedQuad(const std::string& s) {
  in_addr a{};
  return ::inet_pton(AF_INET, s.c_str(), &a) == 1;
}

TEST(Address, ResolverAndLocalAddress) {
  EXPECT_EQ("127.0.0.1", platform::HostIPv4Address("localhost"));
  EXPECT_EQ("", platform::HostIPv4Address(""));
  // The own name's first address as the resolver gives it (loopback
  // included), or nothing.
  const std::string local = platform::LocalIPv4Address();
  EXPECT_TRUE(local.empty() || IsDottedQuad(local)) << local;
  EXPECT_EQ(local, platform::HostIPv4Address(platform::LocalHostName()));
}

TEST(Address, ReplacedResolver) {
  std::vector<std::string> asked;
  platform::SetHostResolver([&](const std::string& name) {
    asked.push_back(name);
    return name == "TERM-07" ? std::string("10.1.2.3") : std::string();
  });
  EXPECT_EQ("10.1.2.3", platform::HostIPv4Address("TERM-07"));
  EXPECT_EQ("", platform::HostIPv4Address("UNKNOWN"));
  EXPECT_EQ("", platform::LocalIPv4Address());  // nothing found: nothing
  platform::SetHostResolver(nullptr);
  ASSERT_EQ(3u, asked.size());
  EXPECT_EQ("TERM-07", asked[0]);
  EXPECT_EQ(platform::LocalHostName(), asked[2]);
}

TEST(WinSock, StartAndCleanUpSucceed) {
  WSADATA data;
  EXPECT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
  EXPECT_EQ(MAKEWORD(1, 1), data.wVersion);
  EXPECT_EQ(0, WSACleanup());
}

TEST(TickCount, ReplaceableClockAndWrapping) {
  DWORD now = 0xFFFFFF00u;
  platform::SetTickCountSource([&] { return now; });
  const DWORD start = GetTickCount();
  now += 0x200;  // past the 32-bit end
  EXPECT_EQ(0x100u, GetTickCount());
  EXPECT_EQ(0x200u, GetTickCount() - start);  // differences survive the wrap
  platform::SetTickCountSource(nullptr);
  const DWORD a = GetTickCount();
  Sleep(2);
  EXPECT_GE(static_cast<DWORD>(GetTickCount() - a), 2u);
}

TEST(Beep, GoesToTheHook) {
  std::vector<UINT> beeps;
  platform::SetMessageBeepHook([&](UINT t) { beeps.push_back(t); });
  EXPECT_TRUE(MessageBeep(0));
  EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  platform::SetMessageBeepHook(nullptr);
  EXPECT_TRUE(MessageBeep(0));  // the default, not counted
  EXPECT_EQ((std::vector<UINT>{0, MB_ICONEXCLAMATION}), beeps);
}

}  // namespace
