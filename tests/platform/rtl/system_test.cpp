// Opening a file that must be a regular one: never a wait in the open,
// anything else refused.  Replacing a file's contents all or nothing.
#include "platform/rtl/system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/tempdir.h"

namespace {

// Each case runs in a child under a watchdog: an open that waits for a
// FIFO's other end ends the child, not the test run.  The child's exit code
// is 0 for a descriptor that blocks and closes on exec, else the errno.
TEST(OpenRegularFile, OnlyARegularFileOpensAndNothingWaits) {
  zeltest::TempDir dir;
  const std::string file = dir.write("file.txt", "text");
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink(file.c_str(), dir.file("link").c_str()), 0);
  ASSERT_EQ(::symlink(fifo.c_str(), dir.file("fifo-link").c_str()), 0);
  struct Case {
    const char* Name;
    std::string Path;
    int Flags;
    int Result;
  };
  const Case cases[] = {
      {"regular file", file, O_RDONLY, 0},
      {"regular file, read and write", file, O_RDWR, 0},
      {"link to a regular file", dir.file("link"), O_RDONLY, 0},
      {"link, not followed", dir.file("link"), O_RDONLY | O_NOFOLLOW, EACCES},
      {"new file", dir.file("new.txt"), O_RDWR | O_CREAT | O_TRUNC, 0},
      {"missing", dir.file("missing"), O_RDONLY, ENOENT},
      {"directory", dir.path(), O_RDONLY, EACCES},
      {"FIFO for reading", fifo, O_RDONLY, EACCES},
      {"FIFO for writing", fifo, O_WRONLY, EACCES},
      {"FIFO for reading and writing", fifo, O_RDWR, EACCES},
      {"FIFO created over", fifo, O_RDWR | O_CREAT | O_TRUNC, EACCES},
      {"link to a FIFO", dir.file("fifo-link"), O_RDONLY, EACCES},
      {"device", "/dev/null", O_RDONLY, EACCES},
  };
  for (const Case& c : cases) {
    const auto child = zeltest::RunInChild(
        [&] {
          const int fd = platform::OpenRegularFile(c.Path, c.Flags);
          if (fd < 0) return errno;
          const bool blocks = (::fcntl(fd, F_GETFL) & O_NONBLOCK) == 0;
          const bool closesOnExec = (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
          ::close(fd);
          return blocks && closesOnExec ? 0 : 255;
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(child.Finished) << c.Name << ": the open waited";
    EXPECT_EQ(child.ExitCode, c.Result) << c.Name;
  }
  struct stat st{};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));  // left as it was
  ASSERT_EQ(::lstat(dir.file("new.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

std::vector<std::string> NamesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

ino_t InodeOf(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The new contents take the old file's place as a new file with the bits
// asked for; while they are written, the name still stands for the old
// file; nothing else is left in the folder.
TEST(ReplaceFileContents, TheNewFileTakesTheOldOnesPlaceOnlyWhenComplete) {
  zeltest::TempDir dir;
  struct Case {
    const char* Name;
    std::optional<unsigned> Mode;
    unsigned Expected;
  };
  const mode_t mask = ::umask(022);
  const Case cases[] = {
      {"private", 0600, 0600},
      {"shared for reading", 0640, 0640},
      {"read-only", 0444, 0444},
      {"as a new file", std::nullopt, 0644},
  };
  for (const Case& c : cases) {
    const std::string path = dir.write("file.txt", "old");
    ::chmod(path.c_str(), 0666);
    const ino_t before = InodeOf(path);
    std::string seenWhileWriting;
    std::vector<std::string> namesWhileWriting;
    const auto result = platform::ReplaceFileContents(
        path,
        [&](int fd) {
          seenWhileWriting = dir.read("file.txt");
          namesWhileWriting = NamesIn(dir.path());
          return platform::WriteAll(fd, "new contents");
        },
        c.Mode);
    EXPECT_EQ(result, platform::FileReplacement::Done) << c.Name;
    EXPECT_EQ(seenWhileWriting, "old") << c.Name;
    // The new file is a hidden one beside it.
    ASSERT_EQ(namesWhileWriting.size(), 2u) << c.Name;
    EXPECT_EQ(namesWhileWriting[0].rfind(".file.txt.", 0), 0u) << c.Name;
    EXPECT_EQ(dir.read("file.txt"), "new contents") << c.Name;
    EXPECT_NE(InodeOf(path), before) << c.Name;
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.Expected) << c.Name;
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"file.txt"}) << c.Name;
    ::chmod(path.c_str(), 0644);
  }
  ::umask(mask);
}

// Every way the replacement can fail leaves the old file (or no file) as
// it was, no temporary file, and errno saying why.
TEST(ReplaceFileContents, AFailureChangesNothingAndSaysWhy) {
  zeltest::TempDir dir;
  const auto writes = [](int fd) { return platform::WriteAll(fd, "new"); };
  const auto fails = [](int fd) {
    platform::WriteAll(fd, "half");
    errno = ENOSPC;
    return false;
  };
  struct Case {
    const char* Name;
    std::string Path;
    std::function<bool(int)> Fill;
    bool Replace;
    platform::FileReplacement Result;
    int Errno;
  };
  const std::string file = dir.file("file.txt");
  const Case cases[] = {
      {"writing fails", file, fails, true, platform::FileReplacement::Failed, ENOSPC},
      {"an existing file is kept", file, writes, false, platform::FileReplacement::Failed, EEXIST},
      {"no folder", dir.file("none/file.txt"), writes, true, platform::FileReplacement::NoNewFile, ENOENT},
      {"a name with no room for the new file's", dir.file(std::string(250, 'n')), writes, true,
       platform::FileReplacement::NoNewFile, ENAMETOOLONG},
  };
  for (const Case& c : cases) {
    dir.write("file.txt", "old");
    const ino_t before = InodeOf(file);
    errno = 0;
    EXPECT_EQ(platform::ReplaceFileContents(c.Path, c.Fill, 0600, c.Replace), c.Result) << c.Name;
    EXPECT_EQ(errno, c.Errno) << c.Name;
    EXPECT_EQ(dir.read("file.txt"), "old") << c.Name;
    EXPECT_EQ(InodeOf(file), before) << c.Name;
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"file.txt"}) << c.Name;
  }
  // Without replacing, a name that is free is taken.
  EXPECT_EQ(platform::ReplaceFileContents(dir.file("free.txt"), writes, 0600, false),
            platform::FileReplacement::Done);
  EXPECT_EQ(dir.read("free.txt"), "new");
}

// A symbolic link at the name is replaced by the new file; its target
// stays as it was.
TEST(ReplaceFileContents, ALinkAtTheNameIsReplacedNotFollowed) {
  zeltest::TempDir dir;
  const std::string target = dir.write("target.txt", "target");
  const std::string link = dir.file("link.txt");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(platform::WriteFileAtomically(link, "new", 0600));
  struct stat st{};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(dir.read("link.txt"), "new");
  EXPECT_EQ(dir.read("target.txt"), "target");
}

}  // namespace
