#include "platform/rtl/inifiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/string_items.h"
#include "tests/support/tempdir.h"

using zeltest::Items;

namespace {

using V = std::vector<AnsiString>;

class IniTest : public ::testing::Test {
protected:
  std::string Write(const std::string& text) { return FDir.write("test.ini", text); }
  std::string Read() { return FDir.read("test.ini"); }
  zeltest::TempDir FDir;
};

TEST_F(IniTest, ReadsLikeThePrivateProfileFunctions) {
  const std::string path = Write(
      "; leading comment\r\n"
      "orphan=before any section\r\n"
      "[Main]\r\n"
      "Name = Anna  \r\n"
      "quoted=\"  padded  \"\r\n"
      "single=' x '\r\n"
      "half=\"open\r\n"
      "inner=a \"b\" c\r\n"
      "empty=\r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      ";dup=comment\r\n"
      "eq=a=b\r\n"
      "  [ Other ]  \r\n"
      "x=1\r\n"
      "[main]\r\n"
      "late=never seen\r\n"
      "Name=also not\r\n");
  TIniFile ini(path);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"Main", "Name", "Anna"},      {"MAIN", "name", "Anna"},   {"Main", "quoted", "  padded  "},
      {"Main", "single", " x "},     {"Main", "half", "\"open"}, {"Main", "inner", "a \"b\" c"},
      {"Main", "empty", ""},         {"Main", "dup", "first"},   {"Main", "eq", "a=b"},
      {"Other", "x", "1"},           {"other", "X", "1"},        {"Main", "late", "<def>"},
      {"Main", "orphan", "<def>"},   {"Nope", "x", "<def>"},     {"Main", ";dup", "<def>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Items(list), (V{"Main", "Other", "main"}));
  ini.ReadSection("main", &list);
  EXPECT_EQ(Items(list),
            (V{"Name", "quoted", "single", "half", "inner", "empty", "dup", "DUP", "eq"}));
  ini.ReadSectionValues("Other", &list);
  EXPECT_EQ(Items(list), (V{"x=1"}));
  EXPECT_TRUE(ini.SectionExists("other"));
  EXPECT_FALSE(ini.SectionExists("none"));
  EXPECT_TRUE(ini.ValueExists("Main", "EMPTY"));
  EXPECT_FALSE(ini.ValueExists("Main", "late"));
}

TEST_F(IniTest, TypedReads) {
  const std::string path = Write("[n]\nd=42\nh=$1F\nx=0x10\nbad=12a\nb0=0\nb1=7\nf=1.5\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("n", "d", -1), 42);
  EXPECT_EQ(ini.ReadInteger("n", "h", -1), 31);
  EXPECT_EQ(ini.ReadInteger("n", "x", -1), 16);
  EXPECT_EQ(ini.ReadInteger("n", "bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("n", "missing", -1), -1);
  EXPECT_FALSE(ini.ReadBool("n", "b0", true));
  EXPECT_TRUE(ini.ReadBool("n", "b1", false));
  EXPECT_TRUE(ini.ReadBool("n", "missing", true));
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "f", 0), 1.5);
  DecimalSeparator = saved;
}

TEST_F(IniTest, MissingFileReadsAsEmpty) {
  TIniFile ini(FDir.file("none.ini"));
  EXPECT_EQ(ini.ReadString("a", "b", "def"), "def");
  TStringList list;
  list.Add("stale");
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(IniTest, WritesInPlaceAndKeepsEverythingElse) {
  const std::string path = Write(
      "; settings\r\n"
      "[CFG]\r\n"
      "Top=1\r\n"
      "; colour comment\r\n"
      "Left=2\r\n"
      "\r\n"
      "[USER]\r\n"
      "name=x\r\n");
  TIniFile ini(path);
  ini.WriteString("cfg", "LEFT", "20");        // replaced in place, case ignored
  ini.WriteString("CFG", "Height", "300");     // new key behind the last entry
  ini.WriteInteger("New", "Count", 3);         // new section at the end
  ini.WriteBool("USER", "flag", true);
  EXPECT_EQ(Read(),
            "; settings\r\n"
            "[CFG]\r\n"
            "Top=1\r\n"
            "; colour comment\r\n"
            "LEFT=20\r\n"
            "Height=300\r\n"
            "\r\n"
            "[USER]\r\n"
            "name=x\r\n"
            "flag=1\r\n"
            "\r\n"
            "[New]\r\n"
            "Count=3\r\n");
  EXPECT_EQ(ini.ReadInteger("CFG", "left", 0), 20);

  ini.DeleteKey("CFG", "top");
  ini.EraseSection("user");
  EXPECT_EQ(Read(),
            "; settings\r\n"
            "[CFG]\r\n"
            "; colour comment\r\n"
            "LEFT=20\r\n"
            "Height=300\r\n"
            "\r\n"
            "[New]\r\n"
            "Count=3\r\n");
}

TEST_F(IniTest, WriteReplacesOnlyTheFirstOfDuplicates) {
  const std::string path = Write("[a]\nk=1\nK=2\n[A]\nk=3\n");
  TIniFile ini(path);
  ini.WriteString("A", "k", "9");
  EXPECT_EQ(Read(), "[a]\nk=9\nK=2\n[A]\nk=3\n");  // LF files stay LF
}

TEST_F(IniTest, CreatesTheFile) {
  TIniFile ini(FDir.file("fresh.ini"));
  ini.WriteString("S", "k", "v");
  EXPECT_EQ(FDir.read("fresh.ini"), "[S]\r\nk=v\r\n");
}

TEST_F(IniTest, LineBreaksInAValueCannotAddKeysOrSections) {
  const std::string path = Write("[USER]\r\nname=x\r\n");
  TIniFile ini(path);
  ini.WriteString("USER", "name", "evil\r\n[ADMIN]\r\nroot=1");
  ini.WriteString("USER\nX", "k\r\nj", "v\nw");
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Items(list), (V{"USER", "USER X"}));
  ini.ReadSection("USER", &list);
  EXPECT_EQ(Items(list), (V{"name"}));
  EXPECT_EQ(ini.ReadString("USER", "name", ""), "evil  [ADMIN]  root=1");
  EXPECT_EQ(ini.ReadString("USER X", "k  j", ""), "v w");
}

TEST_F(IniTest, RefusedWriteRaisesAndLeavesTheFileWhole) {
  const std::string original = "[a]\r\nk=1\r\n";
  const std::string path = Write(original);
  ::chmod(path.c_str(), 0444);  // read-only
  TIniFile ini(path);
  try {
    ini.WriteString("a", "k", "2");
    ADD_FAILURE();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "In " + path + " kann nicht geschrieben werden");
  }
  EXPECT_EQ(Read(), original);
  EXPECT_THROW(ini.EraseSection("a"), EIniFileException);
  EXPECT_THROW(ini.WriteInteger("b", "c", 1), EIniFileException);
  EXPECT_EQ(Read(), original);
  EXPECT_EQ(ini.ReadString("a", "k", ""), "1");  // reading still works

  // No directory to put the file in.
  EXPECT_THROW(TIniFile(FDir.file("no/dir.ini")).WriteString("a", "b", "c"), EIniFileException);
  EXPECT_THROW(TIniFile(FDir.file("test.ini/x.ini")).WriteString("a", "b", "c"),
               EIniFileException);

  // A directory that refuses new files cannot take a new settings file (not
  // for root, who may write anyway).
  ::chmod(path.c_str(), 0644);
  if (::geteuid() != 0) {
    ::chmod(FDir.path().c_str(), 0555);
    EXPECT_THROW(TIniFile(FDir.file("new.ini")).WriteString("a", "k", "3"), EIniFileException);
    ::chmod(FDir.path().c_str(), 0755);
    EXPECT_EQ(Read(), original);
  }
  // Nothing but the file itself is left in the directory.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(FDir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(IniTest, ReplacementKeepsExtendedAttributes) {
  const std::string path = Write("[a]\nk=1\n");
  const char attr[] = "6";
  if (::setxattr(path.c_str(), "user.zel.attributes", attr, 1, 0) != 0)
    GTEST_SKIP() << "file system without user attributes";
  TIniFile(path).WriteString("a", "k", "2");
  char buf[8] = {};
  ASSERT_EQ(::getxattr(path.c_str(), "user.zel.attributes", buf, sizeof buf), 1);
  EXPECT_EQ(buf[0], '6');
  EXPECT_EQ(Read(), "[a]\nk=2\n");
}

TEST_F(IniTest, ReplacementIsAtomicAndKeepsTheMode) {
  const std::string path = Write("[a]\nk=1\n");
  ::chmod(path.c_str(), 0640);
  struct stat before{};
  ::stat(path.c_str(), &before);
  TIniFile ini(path);
  ini.WriteString("a", "k", "2");
  struct stat after{};
  ::stat(path.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file took the old one's place
  EXPECT_EQ(after.st_mode & 0777, 0640u);
  EXPECT_EQ(Read(), "[a]\nk=2\n");
  // Nothing but the file itself is left in the directory.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(FDir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

int EntriesIn(const std::string& Dir) {
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(Dir)) {
    (void)e;
    ++entries;
  }
  return entries;
}

// A FIFO (which would block a plain open until a writer comes), a link to
// /dev/zero (endless data) and a regular file beyond the bound read as
// empty and refuse every write, so the file stays what it is.  The reads
// run in a child that a watchdog ends should they ever block again.
TEST_F(IniTest, WhatIsNoRegularFileWithinTheBoundReadsAsEmptyAndIsNotWritten) {
  const std::string fifo = FDir.file("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string zero = FDir.file("zero.ini");
  ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
  const std::string head = "[a]\r\nk=1\r\n";
  const std::string bigText = head + std::string(platform::MaxSettingsFileSize + 1 - head.size(), ';');
  const std::string big = FDir.write("big.ini", bigText);
  const std::string fullText = head + std::string(platform::MaxSettingsFileSize - head.size() - 2, ';') + "\r\n";
  const std::string full = FDir.write("full.ini", fullText);

  const std::vector<std::function<bool()>> checks = {
      [&] { return TIniFile(fifo).ReadString("a", "k", "def") == "def"; },
      [&] { return TIniFile(zero).ReadString("a", "k", "def") == "def"; },
      [&] { return TIniFile(big).ReadString("a", "k", "def") == "def"; },
      [&] {
        TStringList sections;
        TIniFile(zero).ReadSections(&sections);
        TIniFile(fifo).ReadSection("a", &sections);
        return sections.Count() == 0;
      },
      [&] {
        for (const std::string& file : {fifo, zero, big}) {
          try {
            TIniFile(file).WriteString("a", "k", "2");
            return false;
          } catch (const EIniFileException&) {
          }
        }
        return true;
      },
      // Exactly at the bound the file is still read and written.
      [&] {
        TIniFile ini(full);
        if (ini.ReadString("a", "k", "def") != "1") return false;
        ini.WriteString("a", "k", "2");
        return ini.ReadString("a", "k", "def") == "2";
      },
  };
  const auto result = zeltest::RunInChild(
      [&] {
        for (std::size_t i = 0; i < checks.size(); ++i)
          if (!checks[i]()) return static_cast<int>(i + 1);
        return 0;
      },
      std::chrono::seconds(60), false, 512u * 1024 * 1024);
  ASSERT_TRUE(result.Finished) << "a read or write blocked";
  EXPECT_EQ(result.ExitCode, 0) << "check number " << result.ExitCode << " failed";

  struct stat st{};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::lstat(zero.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(FDir.read("big.ini"), bigText);
  EXPECT_EQ(EntriesIn(FDir.path()), 4);  // no temporary file left
}

// Where the folder does not allow the temporary file but the file may be
// written, the file is rewritten in place: a read-only folder (entered as
// an ordinary user, for root may create files there) and a file name so
// long that the temporary file's longer name does not fit (the last case is
// skipped where root cannot become an ordinary user).
TEST_F(IniTest, FolderThatRefusesTheTemporaryFileGetsTheFileRewrittenInPlace) {
  struct Case {
    const char* name;
    std::string file;
    bool readOnlyFolder;
  };
  const Case cases[] = {
      {"long name", std::string(250, 'n') + ".ini", false},
      {"read-only folder", "test.ini", true},
  };
  ::chmod(FDir.path().c_str(), 0755);  // the ordinary user may enter
  for (const Case& c : cases) {
    const std::string folder = FDir.file(c.name);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/" + c.file;
    FDir.write(std::string(c.name) + "/" + c.file, "; kept\r\n[a]\r\nk=1\r\n");
    ::chmod(path.c_str(), 0644);
    if (c.readOnlyFolder) {
      if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), zeltest::UnprivilegedId, zeltest::UnprivilegedId), 0);
        ASSERT_EQ(::chown(path.c_str(), zeltest::UnprivilegedId, zeltest::UnprivilegedId), 0);
      }
      ::chmod(folder.c_str(), 0555);
    }
    struct stat before{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const auto result = zeltest::RunInChild(
        [&] {
          try {
            TIniFile(path).WriteString("a", "k", "2");
            return 0;
          } catch (const EIniFileException&) {
            return 1;
          }
        },
        std::chrono::seconds(60), c.readOnlyFolder);
    ::chmod(folder.c_str(), 0755);
    if (result.ExitCode == zeltest::ChildCannotDropRoot)
      GTEST_SKIP() << c.name << ": the test runs as root and cannot become an ordinary user here";
    ASSERT_TRUE(result.Finished) << c.name;
    EXPECT_EQ(result.ExitCode, 0) << c.name << ": the write was refused";
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "; kept\r\n[a]\r\nk=2\r\n") << c.name;
    struct stat after{};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << c.name;  // the same file, rewritten
    EXPECT_EQ(after.st_mode & 0777, 0644u) << c.name;
    EXPECT_EQ(EntriesIn(folder), 1) << c.name;
  }
}

// A folder that refuses new files, entered as an ordinary user (root may
// create files anywhere): the settings file in it belongs to that user.
// Returns false where root cannot hand the files over.
bool MakeReadOnlyFolder(const std::string& folder, const std::string& path) {
  if (::geteuid() == 0 &&
      (::chown(folder.c_str(), zeltest::UnprivilegedId, zeltest::UnprivilegedId) != 0 ||
       ::chown(path.c_str(), zeltest::UnprivilegedId, zeltest::UnprivilegedId) != 0))
    return false;
  return ::chmod(folder.c_str(), 0555) == 0;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The exit codes of a child that writes one value: written, refused.
enum { Written = 0, Refused = 1 };

int WriteValue(const std::string& path, const std::string& value) {
  try {
    TIniFile(path).WriteString("a", "k", value);
    return Written;
  } catch (const EIniFileException&) {
    return Refused;
  }
}

// The in-place rewrite (the folder refuses the temporary file) under a
// file-size limit below the new text's size, with and without room
// reserved by the file system: the write is refused and the old file stays
// whole, byte for byte; below the limit a longer and a shorter text are
// written exactly.
TEST_F(IniTest, RewriteInPlaceSecuresRoomBeforeItChangesAByte) {
  struct Case {
    const char* name;
    std::size_t oldPadding;  // comment bytes in the old file
    std::size_t valueSize;   // of the new value
    rlim_t sizeLimit;        // RLIM_INFINITY: none
    bool reservation;        // posix_fallocate works
    bool written;
  };
  const Case cases[] = {
      {"grows past the limit", 6000, 3000, 8192, true, false},
      {"grows past the limit, no reservation", 6000, 3000, 8192, false, false},
      {"shrinks, still past the limit", 20000, 9000, 8192, true, false},
      {"grows", 6000, 3000, RLIM_INFINITY, true, true},
      {"grows, no reservation", 6000, 3000, RLIM_INFINITY, false, true},
      {"shrinks", 20000, 10, RLIM_INFINITY, true, true},
  };
  ::chmod(FDir.path().c_str(), 0755);  // the ordinary user may enter
  for (const Case& c : cases) {
    const std::string folder = FDir.file(c.name);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string old = "; " + std::string(c.oldPadding, 'x') + "\r\n[a]\r\nk=1\r\n[b]\r\nlast=1\r\n";
    const std::string path = FDir.write(std::string(c.name) + "/test.ini", old);
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(MakeReadOnlyFolder(folder, path)) << c.name;
    struct stat before{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const std::string value(c.valueSize, 'v');
    platform::SetNoRoomReservationForTesting(!c.reservation);
    const auto result = zeltest::RunInChild(
        [&] {
          const rlimit limit{c.sizeLimit, c.sizeLimit};
          if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 9;
          return WriteValue(path, value);
        },
        std::chrono::seconds(60), true);
    platform::SetNoRoomReservationForTesting(false);
    ::chmod(folder.c_str(), 0755);
    if (result.ExitCode == zeltest::ChildCannotDropRoot)
      GTEST_SKIP() << "the test runs as root and cannot become an ordinary user here";
    ASSERT_TRUE(result.Finished) << c.name;
    EXPECT_EQ(result.ExitCode, c.written ? Written : Refused) << c.name;
    const std::string expected = c.written ? "; " + std::string(c.oldPadding, 'x') + "\r\n[a]\r\nk=" + value +
                                                 "\r\n[b]\r\nlast=1\r\n"
                                           : old;
    EXPECT_EQ(FileText(path), expected) << c.name;
    struct stat after{};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << c.name;  // rewritten, not replaced
    EXPECT_EQ(EntriesIn(folder), 1) << c.name;
  }
}

// Under a file-size limit (as a quota sets it) a write fails like any
// refused write: it raises, the old file stays whole and no temporary file
// is left.  The process lives on (SIGXFSZ is ignored from the start).
TEST_F(IniTest, AWritePastTheFileSizeLimitIsARefusedWrite) {
  const std::string old = "[a]\r\nk=1\r\n";
  const std::string path = Write(old);
  const auto result = zeltest::RunInChild(
      [&] {
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 9;
        const int first = WriteValue(path, std::string(5000, 'v'));
        // A write within the limit still succeeds afterwards.
        return first == Refused && WriteValue(path, "2") == Written ? 0 : 1;
      },
      std::chrono::seconds(60));
  ASSERT_TRUE(result.Finished);
  EXPECT_EQ(result.ExitCode, 0) << "the child ended by a signal (-1) or the write was not refused (1)";
  EXPECT_EQ(Read(), "[a]\r\nk=2\r\n");
  EXPECT_EQ(EntriesIn(FDir.path()), 1);
}

// Four processes that write 40 entries each at the same time lose none:
// each read-change-replace holds the lock for its whole length.
TEST_F(IniTest, WritersAtOnceLoseNoEntry) {
  const std::string path = Write("[a]\r\nk=1\r\n");
  constexpr int Writers = 4, Entries = 40;
  const auto results = zeltest::RunInChildren(
      Writers,
      [&](int w) {
        TIniFile ini(path);
        for (int e = 0; e < Entries; ++e) {
          try {
            ini.WriteString("s" + std::to_string(e % 3), "w" + std::to_string(w) + "e" + std::to_string(e),
                            std::to_string(w * 1000 + e));
          } catch (const EIniFileException&) {
            return 1;
          }
        }
        return 0;
      },
      std::chrono::seconds(120));
  EXPECT_EQ(zeltest::EndedWithZero(results), Writers) << "a writer hung or its write was refused";
  TIniFile ini(path);
  int found = 0;
  for (int w = 0; w < Writers; ++w)
    for (int e = 0; e < Entries; ++e)
      if (ini.ReadString("s" + std::to_string(e % 3), "w" + std::to_string(w) + "e" + std::to_string(e), "") ==
          std::to_string(w * 1000 + e))
        ++found;
  EXPECT_EQ(found, Writers * Entries);
  EXPECT_EQ(ini.ReadString("a", "k", ""), "1");
  EXPECT_EQ(EntriesIn(FDir.path()), 1);  // neither lock nor temporary file left
}

// Another process holds a lock on a file (flock) until it is let go.
class HeldLock {
public:
  explicit HeldLock(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(FRelease) != 0) return;
    std::fflush(nullptr);
    FPid = ::fork();
    if (FPid == 0) {
      ::close(ready[0]);
      ::close(FRelease[1]);
      const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
      const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? '1' : '0';
      if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
      char c;
      while (::read(FRelease[0], &c, 1) < 0 && errno == EINTR) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(FRelease[0]);
    char ok = '0';
    FHeld = ::read(ready[0], &ok, 1) == 1 && ok == '1';
    ::close(ready[0]);
  }
  ~HeldLock() { Release(); }
  bool Held() const { return FHeld; }
  void Release() {
    if (FPid <= 0) return;
    ::close(FRelease[1]);
    int status = 0;
    while (::waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
    }
    FPid = -1;
  }

private:
  pid_t FPid = -1;
  int FRelease[2] = {-1, -1};
  bool FHeld = false;
};

// While another process holds the lock, a write waits only up to the lock
// wait and is then refused (it never hangs); reads go on; once the lock is
// let go the write succeeds.  The lock is the lock file beside the
// settings file, or, where the folder refuses that file, the settings file
// itself (rewritten in place).
TEST_F(IniTest, AHeldLockRefusesTheWriteWithinTheWait) {
  struct Case {
    const char* name;
    bool readOnlyFolder;
    const char* locked;  // in the folder
  };
  const Case cases[] = {
      {"lock file", false, ".test.ini.lock"},
      {"read-only folder", true, "test.ini"},
  };
  ::chmod(FDir.path().c_str(), 0755);
  platform::SetSettingsLockWaitForTesting(std::chrono::milliseconds(300));
  for (const Case& c : cases) {
    const std::string folder = FDir.file(c.name);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string old = "[a]\r\nk=1\r\n";
    const std::string path = FDir.write(std::string(c.name) + "/test.ini", old);
    ::chmod(path.c_str(), 0644);
    if (c.readOnlyFolder) {
      ASSERT_TRUE(MakeReadOnlyFolder(folder, path)) << c.name;
    }
    const auto write = [&](const char* value) {
      return zeltest::RunInChild([&] { return WriteValue(path, value); }, std::chrono::seconds(60),
                                        c.readOnlyFolder);
    };
    HeldLock lock(folder + "/" + c.locked);
    ASSERT_TRUE(lock.Held()) << c.name;
    const auto refused = write("2");
    if (refused.ExitCode == zeltest::ChildCannotDropRoot) {
      ::chmod(folder.c_str(), 0755);
      GTEST_SKIP() << "the test runs as root and cannot become an ordinary user here";
    }
    ASSERT_TRUE(refused.Finished) << c.name << ": the write hung";
    EXPECT_EQ(refused.ExitCode, Refused) << c.name;
    EXPECT_EQ(FileText(path), old) << c.name;
    if (!c.readOnlyFolder) {
      EXPECT_EQ(TIniFile(path).ReadString("a", "k", ""), "1") << c.name;
    }
    lock.Release();
    const auto written = write("3");
    ASSERT_TRUE(written.Finished) << c.name;
    EXPECT_EQ(written.ExitCode, Written) << c.name;
    EXPECT_EQ(FileText(path), "[a]\r\nk=3\r\n") << c.name;
    ::chmod(folder.c_str(), 0755);
  }
  platform::SetSettingsLockWaitForTesting(std::chrono::milliseconds(0));
}

}  // namespace
