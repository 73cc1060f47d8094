// Read-only file mapping over mmap.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"

namespace {

class FileMapping : public zeltest::DriveCTest {
protected:
  // Opens a file of drive C: as the mapped reader does.
  int Open(const std::string& name, const std::string& bytes) {
    FTemp.write("drive_c/" + name, bytes);
    return FileOpen("C:\\" + name, fmOpenRead | fmShareDenyWrite);
  }
};

TEST_F(FileMapping, WholeFileViewHoldsItsBytes) {
  const std::string text = "#CHR=^\r\n@stm^eid;C;10\r\nrow one\r\n";
  const int fd = Open("a.csv", text);
  ASSERT_GT(fd, 0);
  const DWORD size = GetFileSize(platform::FileHandle(fd), nullptr);
  ASSERT_EQ(text.size(), size);
  HANDLE mapping = CreateFileMappingA(platform::FileHandle(fd), nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(nullptr, mapping);
  FileClose(fd);  // the mapping keeps the file
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(text, std::string(static_cast<const char*>(view), size));
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));  // only once
  EXPECT_EQ(ERROR_INVALID_ADDRESS, GetLastError());
  EXPECT_TRUE(CloseHandle(mapping));
}

TEST_F(FileMapping, PartOfAFile) {
  std::string big(200000, 'a');
  big[65536] = 'B';
  const int fd = Open("big.bin", big);
  ASSERT_GT(fd, 0);
  HANDLE mapping = CreateFileMappingA(platform::FileHandle(fd), nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(nullptr, mapping);
  const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 10));
  ASSERT_NE(nullptr, view);
  EXPECT_EQ("Baaaaaaaaa", std::string(view, 10));
  UnmapViewOfFile(view);
  EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_READ, 0, 100, 0));  // not on a boundary
  EXPECT_EQ(ERROR_MAPPED_ALIGNMENT, GetLastError());
  EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 300000));  // beyond the end
  CloseHandle(mapping);
  FileClose(fd);
}

TEST_F(FileMapping, AnEmptyFileCannotBeMapped) {
  const int fd = Open("empty.csv", "");
  ASSERT_GT(fd, 0);
  EXPECT_EQ(nullptr, CreateFileMappingA(platform::FileHandle(fd), nullptr, PAGE_READONLY, 0, 0, nullptr));
  EXPECT_EQ(ERROR_FILE_INVALID, GetLastError());
  FileClose(fd);
}

TEST_F(FileMapping, OnlyReadingIsOffered) {
  const int fd = Open("a.csv", "abc");
  ASSERT_GT(fd, 0);
  const HANDLE file = platform::FileHandle(fd);
  EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr));
  EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, "Global\\named"));
  EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 4096, nullptr));  // larger than the file
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(nullptr, mapping);
  EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  CloseHandle(mapping);
  FileClose(fd);
}

TEST_F(FileMapping, BadHandles) {
  EXPECT_EQ(nullptr, CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  int dummy = 0;
  EXPECT_EQ(nullptr, MapViewOfFile(&dummy, FILE_MAP_READ, 0, 0, 0));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

}  // namespace
