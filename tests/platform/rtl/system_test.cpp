// Opening a file that must be a regular one: never a wait in the open,
// anything else refused.
#include "platform/rtl/system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/tempdir.h"

namespace {

// Each case runs in a child under a watchdog: an open that waits for a
// FIFO's other end ends the child, not the test run.  The child's exit code
// is 0 for a descriptor that blocks and closes on exec, else the errno.
TEST(OpenRegularFile, OnlyARegularFileOpensAndNothingWaits) {
  platform::test::TempDir dir;
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
    const auto child = platform::test::RunInChild(
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

}  // namespace
