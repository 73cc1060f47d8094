// Virtual memory: VirtualAlloc and VirtualFree over anonymous mappings.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/os/windows.h"

namespace {

constexpr DWORD kReserveCommit = MEM_RESERVE | MEM_COMMIT;

// Resident kilobytes of this process.
long ResidentKb() {
  std::ifstream In("/proc/self/status");
  std::string Line;
  while (std::getline(In, Line))
    if (Line.rfind("VmRSS:", 0) == 0) return std::stol(Line.substr(6));
  return -1;
}

// Small and large regions (a large one is aligned to 2 MiB) are zero pages
// that keep what is written, and are released once.
TEST(VirtualMemory, RegionsAreZeroWritableAndReleasedOnce) {
  for (const SIZE_T Size : {SIZE_T{2}, SIZE_T{4096} + 7, SIZE_T{2} << 20, (SIZE_T{5} << 20) + 3}) {
    SCOPED_TRACE(Size);
    auto* P = static_cast<unsigned char*>(VirtualAlloc(nullptr, Size, kReserveCommit, PAGE_READWRITE));
    ASSERT_NE(P, nullptr);
    if (Size >= (SIZE_T{2} << 20)) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(P) % (std::uintptr_t{2} << 20), 0u);
    }
    EXPECT_EQ(P[0], 0);
    EXPECT_EQ(P[Size - 1], 0);
    P[0] = 1;
    P[Size - 1] = 2;
    EXPECT_EQ(P[0] + P[Size - 1], 3);
    EXPECT_TRUE(VirtualFree(P, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(P, 0, MEM_RELEASE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
  }
}

// A large reservation takes memory only where it is written.
TEST(VirtualMemory, ReservationTakesMemoryOnlyWhereWritten) {
  constexpr SIZE_T Size = SIZE_T{1} << 30;
  const long Before = ResidentKb();
  auto* P = static_cast<char*>(VirtualAlloc(nullptr, Size, kReserveCommit, PAGE_READWRITE));
  ASSERT_NE(P, nullptr);
  std::memset(P, 1, SIZE_T{4} << 20);
  const long After = ResidentKb();
  EXPECT_TRUE(VirtualFree(P, 0, MEM_RELEASE));
  ASSERT_GT(Before, 0);
  EXPECT_LT(After - Before, 64 * 1024);  // far below the gigabyte reserved
}

TEST(VirtualMemory, WhatIsNotSupportedIsRefused) {
  EXPECT_EQ(VirtualAlloc(nullptr, 0, kReserveCommit, PAGE_READWRITE), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, 4096, kReserveCommit, PAGE_READONLY), nullptr);
  char Local = 0;
  EXPECT_EQ(VirtualAlloc(&Local, 4096, kReserveCommit, PAGE_READWRITE), nullptr);
  void* P = VirtualAlloc(nullptr, 4096, kReserveCommit, PAGE_READWRITE);
  ASSERT_NE(P, nullptr);
  EXPECT_FALSE(VirtualFree(P, 4096, MEM_RELEASE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(VirtualFree(&Local, 0, MEM_RELEASE));
  EXPECT_TRUE(VirtualFree(P, 0, MEM_RELEASE));
}

}  // namespace
