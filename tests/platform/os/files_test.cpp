// File calls on a temporary drive C:.
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ctime>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"
#include "tests/support/child_process.h"

namespace {

class Files : public zeltest::DriveCTest {
protected:
  void SetUp() override {
    ::mkdir(C("Kuvo").c_str(), 0777);
    FTemp.write("drive_c/Kuvo/Kreg.cfg", "kreg");
  }
  std::string Read(const std::string& rel) const { return FTemp.read("drive_c/" + rel); }
  bool Exists(const std::string& rel) const {
    struct stat st{};
    return ::lstat(C(rel).c_str(), &st) == 0;
  }
  // Whether the host keeps extended attributes in the temporary directory.
  bool HostKeepsAttributes() const {
    const std::string probe = FTemp.write("probe", "");
    return ::setxattr(probe.c_str(), "user.zel.probe", "1", 1, 0) == 0;
  }
};

TEST_F(Files, ExistenceOfFilesAndDirectories) {
  EXPECT_TRUE(FileExists("C:\\KUVO\\KREG.CFG"));
  EXPECT_FALSE(FileExists("C:\\kuvo"));  // a directory is no file
  EXPECT_FALSE(FileExists("C:\\kuvo\\missing.cfg"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists("c:\\kuvo"));
  EXPECT_TRUE(DirectoryExists("c:\\kuvo\\"));
  EXPECT_TRUE(DirectoryExists("C:\\"));
  EXPECT_FALSE(DirectoryExists("C:\\kuvo\\kreg.cfg"));
  EXPECT_FALSE(DirectoryExists("C:\\nothing"));
}

TEST_F(Files, ForceDirectoriesMakesMissingParentsAndReusesExistingOnes) {
  EXPECT_TRUE(ForceDirectories("c:\\KUVO\\a\\\\b\\c\\"));
  struct stat st{};
  EXPECT_EQ(0, ::stat(C("Kuvo/a/b/c").c_str(), &st));
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(Exists("KUVO"));  // the existing directory was found, not made again
  EXPECT_TRUE(ForceDirectories("C:\\kuvo\\a"));  // already there
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(ForceDirectories("C:\\kuvo\\kreg.cfg\\sub"));  // a file is in the way
  EXPECT_FALSE(ForceDirectories("D:\\x"));
}

TEST_F(Files, DeleteFile) {
  EXPECT_TRUE(DeleteFileA("C:\\kuvo\\KREG.CFG"));
  EXPECT_FALSE(Exists("Kuvo/Kreg.cfg"));

  struct Case {
    const char* name;
    DWORD error;
  } failures[] = {
      {"C:\\kuvo\\kreg.cfg", ERROR_FILE_NOT_FOUND},
      {"C:\\nowhere\\kreg.cfg", ERROR_PATH_NOT_FOUND},
      {"C:\\kuvo", ERROR_ACCESS_DENIED},
      {"Q:\\kreg.cfg", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& f : failures) {
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(f.name)) << f.name;
    EXPECT_EQ(f.error, GetLastError()) << f.name;
  }
}

TEST_F(Files, ReadOnlyFileIsDeletedOnlyAfterItsAttributesAreCleared) {
  ASSERT_TRUE(SetFileAttributesA("C:\\kuvo\\kreg.cfg", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(DeleteFileA("C:\\kuvo\\kreg.cfg"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  ASSERT_TRUE(SetFileAttributesA("C:\\kuvo\\kreg.cfg", FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(DeleteFileA("C:\\kuvo\\kreg.cfg"));
  EXPECT_FALSE(Exists("Kuvo/Kreg.cfg"));
}

TEST_F(Files, MoveFileFailsWhenTheTargetExists) {
  FTemp.write("drive_c/Kuvo/new.ini", "new");
  EXPECT_FALSE(MoveFileA("C:\\kuvo\\new.ini", "C:\\KUVO\\KREG.CFG"));
  EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_EQ("new", Read("Kuvo/new.ini"));
  EXPECT_EQ("kreg", Read("Kuvo/Kreg.cfg"));

  EXPECT_TRUE(MoveFileExA("C:\\kuvo\\new.ini", "C:\\KUVO\\KREG.CFG", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ("new", Read("Kuvo/Kreg.cfg"));
  EXPECT_FALSE(Exists("Kuvo/new.ini"));
}

TEST_F(Files, MoveFile) {
  ::mkdir(C("Other").c_str(), 0777);
  EXPECT_TRUE(MoveFileA("C:\\kuvo\\kreg.cfg", "c:\\other\\moved.cfg"));
  EXPECT_EQ("kreg", Read("Other/moved.cfg"));
  EXPECT_FALSE(Exists("Kuvo/Kreg.cfg"));

  EXPECT_FALSE(MoveFileA("C:\\kuvo\\kreg.cfg", "C:\\kuvo\\x.cfg"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_FALSE(MoveFileA("C:\\other\\moved.cfg", "C:\\nowhere\\x.cfg"));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
  EXPECT_TRUE(Exists("Other/moved.cfg"));
  EXPECT_TRUE(RenameFile("C:\\other\\moved.cfg", "C:\\other\\renamed.cfg"));
  EXPECT_EQ("kreg", Read("Other/renamed.cfg"));
}

// The shared-memory tmpfs is another file system than the temporary
// directory of drive C: in most set-ups; elsewhere the test is skipped.
TEST_F(Files, MoveToAnotherFileSystemIsAllOrNothing) {
  std::optional<zeltest::TempDir> other;
  {
    zeltest::ScopedEnv tmp("TMPDIR", "/dev/shm");
    if (::access("/dev/shm", W_OK) == 0) other.emplace();
  }
  struct stat here{}, there{};
  if (!other || ::stat(C().c_str(), &here) != 0 || ::stat(other->path().c_str(), &there) != 0 ||
      here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system: /dev/shm is missing or on the same one as " << C();
  const std::string source = platform::ToWindowsPath(other->file("new.ini"));
  const std::string sourceHost = other->file("new.ini");
  auto Entries = [this] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(C("Kuvo"))) {
      (void)e;
      ++n;
    }
    return n;
  };

  // Without the copy the move cannot happen and changes nothing.
  other->write("new.ini", "new");
  EXPECT_FALSE(MoveFileExA(source.c_str(), "C:\\kuvo\\kreg.cfg", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ERROR_NOT_SAME_DEVICE, GetLastError());
  EXPECT_EQ("kreg", Read("Kuvo/Kreg.cfg"));

  // A copy that fails half-way (the file size limit of a child process)
  // leaves the old target and the source whole, and no temporary file.
  const std::string large(256 * 1024, 'x');
  other->write("new.ini", large);
  const auto failed = zeltest::RunInChild(
      [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return MoveFileExA(source.c_str(), "C:\\kuvo\\kreg.cfg", MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
                   ? 1
                   : 0;
      },
      std::chrono::seconds(60));
  EXPECT_TRUE(failed.Finished);
  EXPECT_EQ(failed.ExitCode, 0) << "the move did not fail";
  EXPECT_EQ("kreg", Read("Kuvo/Kreg.cfg"));
  EXPECT_EQ(large, other->read("new.ini"));
  EXPECT_EQ(1, Entries());

  // Replacing: the new content under the old name, the source gone.
  other->write("new.ini", "new");
  ::chmod(sourceHost.c_str(), 0640);
  EXPECT_TRUE(MoveFileExA(source.c_str(), "C:\\kuvo\\kreg.cfg", MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ("new", Read("Kuvo/Kreg.cfg"));
  EXPECT_FALSE(std::filesystem::exists(sourceHost));
  struct stat moved{};
  ASSERT_EQ(::stat(C("Kuvo/Kreg.cfg").c_str(), &moved), 0);
  EXPECT_EQ(moved.st_mode & 0777, 0640u);
  EXPECT_EQ(1, Entries());

  // MoveFileA takes the same road, and refuses an existing target.
  other->write("new.ini", "again");
  EXPECT_FALSE(MoveFileA(source.c_str(), "C:\\kuvo\\kreg.cfg"));
  EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_EQ("new", Read("Kuvo/Kreg.cfg"));
  EXPECT_TRUE(MoveFileA(source.c_str(), "C:\\kuvo\\other.cfg"));
  EXPECT_EQ("again", Read("Kuvo/other.cfg"));
  EXPECT_FALSE(std::filesystem::exists(sourceHost));
  EXPECT_EQ(2, Entries());
}

TEST_F(Files, CopyFile) {
  EXPECT_TRUE(CopyFileA("C:\\kuvo\\kreg.cfg", "C:\\kuvo\\copy.cfg", TRUE));
  EXPECT_EQ("kreg", Read("Kuvo/copy.cfg"));
  EXPECT_FALSE(CopyFileA("C:\\kuvo\\kreg.cfg", "C:\\kuvo\\copy.cfg", TRUE));
  EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
  FTemp.write("drive_c/Kuvo/Kreg.cfg", "changed");
  EXPECT_TRUE(CopyFileA("C:\\kuvo\\kreg.cfg", "C:\\kuvo\\copy.cfg", FALSE));
  EXPECT_EQ("changed", Read("Kuvo/copy.cfg"));
}

TEST_F(Files, AttributesOfNewFilesDirectoriesAndMissingNames) {
  EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\kuvo\\kreg.cfg"));
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\kuvo"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\kuvo\\none"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_FALSE(SetFileAttributesA("C:\\kuvo\\none", FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(Files, ReadOnlyIsTheWritePermission) {
  ASSERT_TRUE(SetFileAttributesA("C:\\kuvo\\kreg.cfg", FILE_ATTRIBUTE_READONLY));
  struct stat st{};
  ASSERT_EQ(0, ::stat(C("Kuvo/Kreg.cfg").c_str(), &st));
  EXPECT_EQ(0u, st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
  EXPECT_TRUE(GetFileAttributesA("C:\\kuvo\\kreg.cfg") & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesA("C:\\kuvo\\kreg.cfg", FILE_ATTRIBUTE_NORMAL));
  ASSERT_EQ(0, ::stat(C("Kuvo/Kreg.cfg").c_str(), &st));
  EXPECT_NE(0u, st.st_mode & S_IWUSR);
  EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributesA("C:\\kuvo\\kreg.cfg"));
}

TEST_F(Files, HiddenSystemAndArchiveAreKeptWhereTheHostCan) {
  if (!HostKeepsAttributes()) GTEST_SKIP() << "no extended attributes in " << FTemp.path();
  struct Case {
    DWORD set;
    DWORD read;
  } cases[] = {
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, 0x26},
      {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN},
      {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY},
      {0x27, 0x27},
      {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
      {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL},
      {0, FILE_ATTRIBUTE_NORMAL},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetFileAttributesA("C:\\KUVO\\kreg.cfg", c.set)) << c.set;
    EXPECT_EQ(c.read, GetFileAttributesA("c:\\kuvo\\KREG.CFG")) << c.set;
  }
  ASSERT_TRUE(SetFileAttributesA("C:\\kuvo", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, GetFileAttributesA("C:\\kuvo"));
}

TEST_F(Files, FileDatesArePackedLocalDateAndTime) {
  tm lt{};
  lt.tm_year = 2026 - 1900;
  lt.tm_mon = 11;
  lt.tm_mday = 8;
  lt.tm_hour = 14;
  lt.tm_min = 3;
  lt.tm_sec = 9;
  lt.tm_isdst = -1;
  const time_t t = std::mktime(&lt);
  utimbuf times{t, t};
  ASSERT_EQ(0, ::utime(C("Kuvo/Kreg.cfg").c_str(), &times));

  const Integer expected = static_cast<Integer>(((2026u - 1980u) << 25) | (12u << 21) | (8u << 16) |
                                                (14u << 11) | (3u << 5) | (9u / 2u));
  EXPECT_EQ(expected, FileAge("C:\\kuvo\\kreg.cfg"));
  const int fd = FileOpen("C:\\kuvo\\kreg.cfg", fmOpenRead | fmShareDenyWrite);
  ASSERT_GT(fd, 0);
  EXPECT_EQ(expected, FileGetDate(fd));
  FileClose(fd);

  const TDateTime dt = FileDateToDateTime(expected);
  EXPECT_EQ("08.12.2026 14:03:08", FormatDateTime("dd.mm.yyyy hh:nn:ss", dt));
  EXPECT_EQ(expected, DateTimeToFileDate(dt));

  EXPECT_EQ(-1, FileAge("C:\\kuvo\\missing"));
  EXPECT_EQ(-1, FileAge("C:\\kuvo"));
  EXPECT_EQ(-1, FileGetDate(-1));
}

TEST_F(Files, FileOpenAndItsFailures) {
  const int fd = FileOpen("c:\\KUVO\\kreg.cfg", fmOpenRead);
  ASSERT_GT(fd, 0);
  char buf[8] = {};
  EXPECT_EQ(4, FileRead(fd, buf, sizeof buf));
  EXPECT_STREQ("kreg", buf);
  DWORD high = 7;
  EXPECT_EQ(4u, GetFileSize(platform::FileHandle(fd), &high));
  EXPECT_EQ(0u, high);
  EXPECT_EQ(0, FileSeek(fd, 0, 0));
  FileClose(fd);

  EXPECT_EQ(-1, FileOpen("C:\\kuvo\\missing", fmOpenRead));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(-1, FileOpen("C:\\missing\\x", fmOpenRead));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
  EXPECT_EQ(-1, FileOpen("C:\\kuvo", fmOpenRead));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());

  const int created = FileCreate("C:\\kuvo\\created.txt");
  ASSERT_GT(created, 0);
  EXPECT_EQ(3, FileWrite(created, "abc", 3));
  FileClose(created);
  EXPECT_EQ("abc", Read("Kuvo/created.txt"));
}

// A FIFO (which would wait for its other end) is no file that FileOpen,
// FileCreate or CopyFileA opens: access denied, in a child under a watchdog.
TEST_F(Files, AFifoIsNoFileToOpen) {
  ASSERT_EQ(0, ::mkfifo(C("Kuvo/pipe").c_str(), 0600));
  struct Case {
    const char* Name;
    std::function<bool()> Call;  // true when the call failed
  };
  const Case cases[] = {
      {"FileOpen for reading", [] { return FileOpen("C:\\kuvo\\pipe", fmOpenRead | fmShareDenyWrite) == -1; }},
      {"FileOpen for writing", [] { return FileOpen("C:\\kuvo\\pipe", fmOpenWrite) == -1; }},
      {"FileOpen for both", [] { return FileOpen("C:\\kuvo\\pipe", fmOpenReadWrite) == -1; }},
      {"FileCreate", [] { return FileCreate("C:\\kuvo\\pipe") == -1; }},
      {"CopyFileA from it", [] { return !CopyFileA("C:\\kuvo\\pipe", "C:\\kuvo\\copy", FALSE); }},
  };
  for (const Case& c : cases) {
    const auto child = zeltest::RunInChild(
        [&] { return c.Call() ? (GetLastError() == ERROR_ACCESS_DENIED ? 0 : 2) : 1; }, std::chrono::seconds(20));
    ASSERT_TRUE(child.Finished) << c.Name << ": the open waited";
    EXPECT_EQ(0, child.ExitCode) << c.Name << " (1: opened, 2: another error)";
  }
  EXPECT_FALSE(Exists("Kuvo/copy"));
}

TEST_F(Files, DirectoriesAndTheCurrentDirectory) {
  EXPECT_TRUE(CreateDir("C:\\kuvo\\sub"));
  EXPECT_FALSE(CreateDir("C:\\kuvo\\sub"));
  EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_FALSE(CreateDirectoryA("C:\\missing\\sub", nullptr));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

  char old[4096];
  ASSERT_NE(nullptr, ::getcwd(old, sizeof old));
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\KUVO\\SUB"));
  char buf[4096];
  const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  EXPECT_EQ(platform::ToWindowsPath(C("Kuvo/sub")), std::string(buf, n));
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath("..\\kreg.cfg"));
  ASSERT_EQ(0, ::chdir(old));

  EXPECT_TRUE(RemoveDir("C:\\kuvo\\sub"));
  EXPECT_FALSE(RemoveDir("C:\\kuvo"));
  EXPECT_EQ(ERROR_DIR_NOT_EMPTY, GetLastError());
}

TEST(SysErrorMessage, GermanTextsOfTheErrorsThatOccur) {
  struct Case {
    DWORD code;
    const char* text;
  } cases[] = {
      {ERROR_SUCCESS, "Der Vorgang wurde erfolgreich beendet"},
      {ERROR_FILE_NOT_FOUND, "Das System kann die angegebene Datei nicht finden"},
      {ERROR_PATH_NOT_FOUND, "Das System kann den angegebenen Pfad nicht finden"},
      {ERROR_ACCESS_DENIED, "Zugriff verweigert"},
      {ERROR_SHARING_VIOLATION,
       "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird"},
      {ERROR_ALREADY_EXISTS, "Eine Datei kann nicht erstellt werden, wenn sie bereits vorhanden ist"},
      {ERROR_INVALID_HANDLE, "Das Handle ist ung\xFCltig"},
      {ERROR_DISK_FULL, "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Speicherplatz vorhanden"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, SysErrorMessage(c.code)) << c.code;
  EXPECT_EQ("", SysErrorMessage(0xDEADu));
}

TEST(SysErrorMessage, EveryErrorTheFileCallsSetHasAText) {
  for (int err : {ENOENT, ENOTDIR, EACCES, EPERM, EEXIST, ENOSPC, EROFS, EMFILE, EBADF, ENOTEMPTY, EXDEV,
                  ENAMETOOLONG, EINVAL, EBUSY, EIO, ETIMEDOUT, ENOMEM})
    EXPECT_NE("", SysErrorMessage(platform::Win32ErrorFromErrno(err))) << err;
}

}  // namespace
