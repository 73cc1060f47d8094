// File version: the version record of a program file as TVersion and text.
#include "foundation/getvers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/os/windows.h"
#include "tests/support/child_process.h"
#include "tests/support/tempdir.h"

namespace {

void Put(std::string& b, std::size_t at, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A minimal little-endian ELF64 file with a ".zel_version" section holding
// the record "ZELVERS" + four 32-bit parts, as the build writes it.
std::string ElfWithVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t release,
                           std::uint32_t build) {
  const std::string names("\0.zel_version\0.shstrtab\0", 24);
  const std::size_t recordAt = 64, namesAt = recordAt + 24, headersAt = 112;
  std::string b(headersAt + 3 * 64, '\0');
  std::memcpy(&b[0], "\x7f" "ELF", 4);
  b[4] = 2;  // 64-bit
  b[5] = 1;  // little-endian
  b[6] = 1;
  Put(b, 0x10, 2, 2);           // executable
  Put(b, 0x12, 62, 2);          // x86-64
  Put(b, 0x14, 1, 4);
  Put(b, 0x28, headersAt, 8);   // section headers
  Put(b, 0x34, 64, 2);
  Put(b, 0x3A, 64, 2);
  Put(b, 0x3C, 3, 2);           // three sections
  Put(b, 0x3E, 2, 2);           // names in section 2
  std::memcpy(&b[recordAt], "ZELVERS", 8);
  Put(b, recordAt + 8, major, 4);
  Put(b, recordAt + 12, minor, 4);
  Put(b, recordAt + 16, release, 4);
  Put(b, recordAt + 20, build, 4);
  std::memcpy(&b[namesAt], names.data(), names.size());
  const std::size_t s1 = headersAt + 64, s2 = headersAt + 128;
  Put(b, s1, 1, 4);             // ".zel_version"
  Put(b, s1 + 4, 1, 4);         // PROGBITS
  Put(b, s1 + 8, 2, 8);         // ALLOC
  Put(b, s1 + 0x18, recordAt, 8);
  Put(b, s1 + 0x20, 24, 8);
  Put(b, s1 + 0x30, 4, 8);
  Put(b, s2, 14, 4);            // ".shstrtab"
  Put(b, s2 + 4, 3, 4);         // STRTAB
  Put(b, s2 + 0x18, namesAt, 8);
  Put(b, s2 + 0x20, names.size(), 8);
  Put(b, s2 + 0x30, 1, 8);
  return b;
}

class GetVersTest : public ::testing::Test {
protected:
  zeltest::TempDir dir;
};

TEST_F(GetVersTest, BuiltProgramShowsTheProjectVersion) {
  EXPECT_EQ(GetFileVersionText(ZEL_PROGRAM_PATH), ZEL_VERSION_TEXT);
  // The empty name stands for the running program, which carries the same
  // record.
  EXPECT_EQ(GetFileVersionText(""), ZEL_VERSION_TEXT);
}

TEST_F(GetVersTest, MissingFileAndFileWithoutVersion) {
  EXPECT_EQ(GetFileVersionText(dir.file("nope.exe")), "-1.0.0.0");
  EXPECT_EQ(GetFileVersionText(dir.write("plain.txt", "no version here\n")), "0.0.0.0");
  // A directory is no file.
  EXPECT_EQ(GetFileVersionText(dir.path()), "-1.0.0.0");
}

// A FIFO exists but is no file that can be read: no version resource, and
// no wait for a writer (read in a child under a watchdog).
TEST_F(GetVersTest, FifoHasNoVersion) {
  const std::string fifo = dir.file("pipe.exe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto child = zeltest::RunInChild(
      [&] { return GetFileVersionText(fifo) == "0.0.0.0" && TVersion(fifo).Major == 0 ? 0 : 1; },
      std::chrono::seconds(20));
  ASSERT_TRUE(child.Finished) << "the version read waited";
  EXPECT_EQ(child.ExitCode, 0);
}

TEST_F(GetVersTest, PartsComeFromTheRecordAsUnsignedWords) {
  struct Case {
    std::uint32_t major, minor, release, build;
    const char* text;
  } cases[] = {
      {1, 2, 3, 4, "1.2.3.4"},
      {65535, 65535, 65535, 65535, "65535.65535.65535.65535"},
      {0, 0, 0, 0, "0.0.0.0"},
      {10, 0, 200, 7, "10.0.200.7"},
  };
  for (const Case& c : cases) {
    const std::string file = dir.write("v.exe", ElfWithVersion(c.major, c.minor, c.release, c.build));
    TVersion v(file);
    EXPECT_EQ(v.GetVersionText(), c.text);
    EXPECT_EQ(GetFileVersionText(file), c.text);
  }
}

TEST_F(GetVersTest, ReadVersionAgainOnTheSameObject) {
  const std::string versioned = dir.write("v.exe", ElfWithVersion(1, 2, 3, 4));
  const std::string plain = dir.write("plain.txt", "text");
  TVersion v;
  EXPECT_EQ(v.GetVersionText(), "0.0.0.0");
  v.ReadVersion(versioned);
  EXPECT_EQ(v.GetVersionText(), "1.2.3.4");
  // No version resource: the previous values stay.
  v.ReadVersion(plain);
  EXPECT_EQ(v.GetVersionText(), "1.2.3.4");
  // A missing file: -1 and the rest 0.
  v.ReadVersion(dir.file("gone.exe"));
  EXPECT_EQ(v.Major, -1);
  EXPECT_EQ(v.Minor, 0);
  EXPECT_EQ(v.Release, 0);
  EXPECT_EQ(v.Build, 0);
  EXPECT_EQ(v.GetVersionText(), "-1.0.0.0");
}

}  // namespace
