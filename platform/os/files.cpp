// Files and directories: existence, attributes, delete, move, copy, dates,
// descriptor I/O and read-only file mapping.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/os/fileutil.h"
#include "platform/os/oscore_internal.h"
#include "platform/rtl/system.h"

namespace {

// Hidden, system and archive live in this extended attribute.
constexpr const char* kAttrName = "user.zel.attributes";
constexpr DWORD kKeptBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Maps a Windows name; an empty host path (no such drive) sets the error.
bool Host(LPCSTR name, std::string& host) {
  if (!name || !*name) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  host = platform::MapToHostPath(name);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  return true;
}

void FailErrno(const std::string& host, int err) {
  if (err == ENOENT)
    SetLastError(platform::MissingPathError(host));
  else
    platform::SetLastErrorFromErrno(err);
}

bool ReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// Copies the bytes of one descriptor to another; the error is set on failure.
bool CopyBytes(int in, int out) {
  std::vector<char> buf(std::size_t{64} * 1024);
  for (;;) {
    const ssize_t n = ::read(in, buf.data(), buf.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      platform::SetLastErrorFromErrno(errno);
      return false;
    }
    if (!platform::WriteAll(out, std::string_view(buf.data(), static_cast<std::size_t>(n)))) {
      platform::SetLastErrorFromErrno(errno);
      return false;
    }
  }
}

void CopyKeptAttribute(const std::string& from, int toFd) {
  char attr[16];
  const ssize_t an = ::getxattr(from.c_str(), kAttrName, attr, sizeof attr);
  if (an > 0) ::fsetxattr(toFd, kAttrName, attr, static_cast<std::size_t>(an), 0);
}

bool CopyContents(const std::string& from, const std::string& to, bool failIfExists) {
  const int in = platform::OpenRegularFile(from, O_RDONLY);
  if (in < 0) {
    FailErrno(from, errno);
    return false;
  }
  struct stat st {};
  ::fstat(in, &st);
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0);
  const int out = ::open(to.c_str(), flags, st.st_mode & 0777);
  if (out < 0) {
    const int err = errno;
    ::close(in);
    if (err == EEXIST)
      SetLastError(ERROR_FILE_EXISTS);
    else
      FailErrno(to, err);
    return false;
  }
  bool ok = CopyBytes(in, out);
  CopyKeptAttribute(from, out);
  ::close(in);
  if (::close(out) != 0 && ok) {
    platform::SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (!ok) ::unlink(to.c_str());
  return ok;
}

// A move to another file system, all or nothing: the source is copied to a
// new file beside the destination, which then replaces it (see
// platform::ReplaceFileContents); only then is the source deleted.  Until
// that the destination stays as it was.
bool MoveByCopy(const std::string& from, const std::string& to, bool replace) {
  const int in = platform::OpenRegularFile(from, O_RDONLY | O_NOFOLLOW);
  if (in < 0) {
    FailErrno(from, errno);
    return false;
  }
  struct stat st {};
  ::fstat(in, &st);
  const auto copy = [&](int out) {
    if (!CopyBytes(in, out)) return false;
    CopyKeptAttribute(from, out);
    return true;
  };
  const bool moved =
      platform::ReplaceFileContents(to, copy, st.st_mode & 07777, replace) == platform::FileReplacement::Done;
  const int err = errno;
  ::close(in);
  if (!moved) {
    if (err == EEXIST)
      SetLastError(ERROR_ALREADY_EXISTS);
    else
      FailErrno(to, err);
    return false;
  }
  if (::unlink(from.c_str()) != 0) {
    platform::SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

// Writes the kept attribute bits; the write permission is lent for the
// moment when a read-only file refuses it.  Failures are dropped: a file
// system without extended attributes simply does not keep them.
void StoreKeptBits(const std::string& host, DWORD bits) {
  const std::string text = std::to_string(bits & kKeptBits);
  if (::setxattr(host.c_str(), kAttrName, text.data(), text.size(), 0) == 0) return;
  if (errno != EACCES && errno != EPERM) return;
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0 || st.st_uid != ::geteuid()) return;
  if (::chmod(host.c_str(), st.st_mode | S_IWUSR) != 0) return;
  ::setxattr(host.c_str(), kAttrName, text.data(), text.size(), 0);
  ::chmod(host.c_str(), st.st_mode & 07777);
}

Integer PackDosDate(time_t t) {
  tm lt{};
  if (!::localtime_r(&t, &lt)) return -1;
  const int year = lt.tm_year + 1900;
  if (year < 1980 || year > 2107) return -1;
  const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                             (static_cast<std::uint32_t>(lt.tm_mon + 1) << 5) |
                             static_cast<std::uint32_t>(lt.tm_mday);
  const std::uint32_t time = (static_cast<std::uint32_t>(lt.tm_hour) << 11) |
                             (static_cast<std::uint32_t>(lt.tm_min) << 5) |
                             static_cast<std::uint32_t>(lt.tm_sec / 2);
  return static_cast<Integer>((date << 16) | time);
}

// ---- file mappings and views

struct Mapping {
  int fd;
  std::uint64_t size;
};

std::mutex g_mapMutex;
std::set<Mapping*> g_mappings;
std::map<const void*, std::size_t> g_views;

constexpr std::uint64_t kGranularity = 65536;  // Windows' allocation granularity

}  // namespace

// ---------------------------------------------------------------- Win32 calls

BOOL DeleteFileA(LPCSTR lpFileName) {
  std::string host;
  if (!Host(lpFileName, host)) return FALSE;
  struct stat st {};
  if (::lstat(host.c_str(), &st) != 0) {
    FailErrno(host, errno);
    return FALSE;
  }
  if (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && ReadOnly(st))) {
    SetLastError(ERROR_ACCESS_DENIED);  // as Windows refuses read-only files
    return FALSE;
  }
  if (::unlink(host.c_str()) != 0) {
    FailErrno(host, errno);
    return FALSE;
  }
  return TRUE;
}

BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  std::string from, to;
  if (!Host(lpExistingFileName, from) || !Host(lpNewFileName, to)) return FALSE;
  struct stat src {};
  if (::lstat(from.c_str(), &src) != 0) {
    FailErrno(from, errno);
    return FALSE;
  }
  const bool replace = (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0;
  struct stat dst {};
  const bool exists = ::lstat(to.c_str(), &dst) == 0;
  const bool sameFile = exists && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino;
  if (exists && !sameFile) {
    if (!replace) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(dst.st_mode) || ReadOnly(dst)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  if (sameFile) return TRUE;
  int rc;
  if (replace) {
    rc = ::rename(from.c_str(), to.c_str());
  } else {
    rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
      // The file system cannot refuse atomically; the check above stands.
      rc = ::rename(from.c_str(), to.c_str());
    }
  }
  if (rc == 0) return TRUE;
  const int err = errno;
  if (err == EEXIST) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (err == EXDEV && (dwFlags & MOVEFILE_COPY_ALLOWED) && S_ISREG(src.st_mode))
    return MoveByCopy(from, to, replace) ? TRUE : FALSE;
  FailErrno(err == ENOENT ? to : from, err);
  return FALSE;
}

BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  std::string from, to;
  if (!Host(lpExistingFileName, from) || !Host(lpNewFileName, to)) return FALSE;
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) {
    FailErrno(from, errno);
    return FALSE;
  }
  if (!S_ISREG(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  struct stat dst {};
  if (::stat(to.c_str(), &dst) == 0) {
    if (bFailIfExists) {
      SetLastError(ERROR_FILE_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(dst.st_mode) || ReadOnly(dst)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (dst.st_dev == st.st_dev && dst.st_ino == st.st_ino) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  }
  return CopyContents(from, to, bFailIfExists != FALSE) ? TRUE : FALSE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  std::string host;
  if (!Host(lpPathName, host)) return FALSE;
  if (::mkdir(host.c_str(), 0777) != 0) {
    if (errno == ENOENT)
      SetLastError(ERROR_PATH_NOT_FOUND);
    else
      platform::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName) {
  std::string host;
  if (!Host(lpPathName, host)) return FALSE;
  if (::rmdir(host.c_str()) != 0) {
    if (errno == ENOTDIR)
      SetLastError(ERROR_DIRECTORY);
    else
      FailErrno(host, errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  std::string host;
  if (!Host(lpFileName, host)) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) {
    FailErrno(host, errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attrs = 0;
  if (S_ISDIR(st.st_mode)) attrs |= FILE_ATTRIBUTE_DIRECTORY;
  if (ReadOnly(st)) attrs |= FILE_ATTRIBUTE_READONLY;
  char buf[16] = {};
  const ssize_t n = ::getxattr(host.c_str(), kAttrName, buf, sizeof buf - 1);
  if (n > 0) {
    attrs |= static_cast<DWORD>(std::strtoul(buf, nullptr, 10)) & kKeptBits;
  } else if (!S_ISDIR(st.st_mode)) {
    attrs |= FILE_ATTRIBUTE_ARCHIVE;  // what a new file has on Windows
  }
  return attrs == 0 ? FILE_ATTRIBUTE_NORMAL : attrs;
}

BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
  std::string host;
  if (!Host(lpFileName, host)) return FALSE;
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) {
    FailErrno(host, errno);
    return FALSE;
  }
  // First the extended attribute, while the file may still be writable.
  StoreKeptBits(host, dwFileAttributes);
  mode_t mode = st.st_mode & 07777;
  if (dwFileAttributes & FILE_ATTRIBUTE_READONLY)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  if (mode != (st.st_mode & 07777) && ::chmod(host.c_str(), mode) != 0) {
    platform::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  struct stat st {};
  if (::fstat(platform::FileDescriptor(hFile), &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL CloseHandle(HANDLE hObject) {
  {
    std::lock_guard<std::mutex> lock(g_mapMutex);
    auto it = g_mappings.find(static_cast<Mapping*>(hObject));
    if (it != g_mappings.end()) {
      Mapping* m = *it;
      g_mappings.erase(it);
      ::close(m->fd);
      delete m;
      return TRUE;
    }
  }
  const int fd = platform::FileDescriptor(hObject);
  if (hObject == INVALID_HANDLE_VALUE || fd < 0 || ::close(fd) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HANDLE CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect, DWORD dwMaximumSizeHigh,
                          DWORD dwMaximumSizeLow, LPCSTR lpName) {
  if (lpName != nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if ((flProtect & 0xFF) != PAGE_READONLY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int fd = platform::FileDescriptor(hFile);
  struct stat st {};
  if (hFile == INVALID_HANDLE_VALUE || fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl < 0 || (fl & O_ACCMODE) == O_WRONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  std::uint64_t size = (static_cast<std::uint64_t>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
  const auto fileSize = static_cast<std::uint64_t>(st.st_size);
  if (size == 0) size = fileSize;
  if (size == 0) {
    SetLastError(ERROR_FILE_INVALID);  // an empty file cannot be mapped
    return nullptr;
  }
  if (size > fileSize) {  // a read-only mapping cannot grow the file
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (own < 0) {
    platform::SetLastErrorFromErrno(errno);
    return nullptr;
  }
  auto* m = new Mapping{own, size};
  std::lock_guard<std::mutex> lock(g_mapMutex);
  g_mappings.insert(m);
  SetLastError(ERROR_SUCCESS);
  return m;
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap) {
  std::lock_guard<std::mutex> lock(g_mapMutex);
  auto it = g_mappings.find(static_cast<Mapping*>(hFileMappingObject));
  if (it == g_mappings.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const Mapping& m = **it;
  if (dwDesiredAccess != FILE_MAP_READ) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::uint64_t offset = (static_cast<std::uint64_t>(dwFileOffsetHigh) << 32) | dwFileOffsetLow;
  if (offset % kGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset >= m.size) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  std::uint64_t length = dwNumberOfBytesToMap == 0 ? m.size - offset : dwNumberOfBytesToMap;
  if (length > m.size - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  void* p =
      ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED, m.fd, static_cast<off_t>(offset));
  if (p == MAP_FAILED) {
    platform::SetLastErrorFromErrno(errno);
    return nullptr;
  }
  g_views[p] = static_cast<std::size_t>(length);
  SetLastError(ERROR_SUCCESS);
  return p;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress) {
  std::lock_guard<std::mutex> lock(g_mapMutex);
  auto it = g_views.find(lpBaseAddress);
  if (it == g_views.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  ::munmap(const_cast<void*>(it->first), it->second);
  g_views.erase(it);
  return TRUE;
}

// ---------------------------------------------------------------- class library

bool FileExists(const AnsiString& FileName) {
  const std::string host = platform::MapToHostPath(FileName);
  struct stat st {};
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& Directory) {
  const std::string host = platform::MapToHostPath(Directory);
  struct stat st {};
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const AnsiString& Dir) {
  if (Dir.empty()) return false;
  const std::string host = platform::MapToHostPath(Dir);
  if (host.empty()) return false;
  // Existing components were found without regard to case by the mapping;
  // the missing ones are made as written.
  std::string cur = host[0] == '/' ? "/" : "";
  std::size_t pos = 0;
  while (pos < host.size()) {
    const std::size_t next = host.find('/', pos);
    const std::string part = host.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
    pos = next == std::string::npos ? host.size() : next + 1;
    if (part.empty()) continue;
    cur += (cur.empty() || cur.back() == '/') ? part : "/" + part;
    if (::mkdir(cur.c_str(), 0777) != 0 && errno != EEXIST) {
      platform::SetLastErrorFromErrno(errno);
      return false;
    }
  }
  struct stat st {};
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const AnsiString& Dir) { return CreateDirectoryA(Dir.c_str(), nullptr) != FALSE; }
bool RemoveDir(const AnsiString& Dir) { return RemoveDirectoryA(Dir.c_str()) != FALSE; }
bool DeleteFile(const AnsiString& FileName) { return DeleteFileA(FileName.c_str()) != FALSE; }
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
  return MoveFileExA(OldName.c_str(), NewName.c_str(), 0) != FALSE;
}

int FileOpen(const AnsiString& FileName, LongWord Mode) {
  std::string host;
  if (!Host(FileName.c_str(), host)) return -1;
  int flags = 0;
  switch (Mode & 3) {
    case fmOpenRead: flags = O_RDONLY; break;
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return -1;
  }
  // Only a regular file: a FIFO or a device would make the open wait.
  int fd = platform::OpenRegularFile(host, flags);
  if (fd < 0) {
    FailErrno(host, errno);
    return -1;
  }
  if (fd == 0) {  // 0 counts as no handle for the callers
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    fd = moved;
  }
  return fd;
}

int FileCreate(const AnsiString& FileName) {
  std::string host;
  if (!Host(FileName.c_str(), host)) return -1;
  struct stat st {};
  if (::stat(host.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || ReadOnly(st))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  const int fd = platform::OpenRegularFile(host, O_RDWR | O_CREAT | O_TRUNC);
  if (fd < 0) FailErrno(host, errno);
  return fd;
}

void FileClose(int Handle) {
  if (Handle >= 0) ::close(Handle);
}

int FileRead(int Handle, void* Buffer, LongWord Count) {
  ssize_t n;
  do n = ::read(Handle, Buffer, Count);
  while (n < 0 && errno == EINTR);
  if (n < 0) platform::SetLastErrorFromErrno(errno);
  return static_cast<int>(n);
}

int FileWrite(int Handle, const void* Buffer, LongWord Count) {
  ssize_t n;
  do n = ::write(Handle, Buffer, Count);
  while (n < 0 && errno == EINTR);
  if (n < 0) platform::SetLastErrorFromErrno(errno);
  return static_cast<int>(n);
}

Int64 FileSeek(int Handle, Int64 Offset, int Origin) {
  const int whence = Origin == 0 ? SEEK_SET : Origin == 1 ? SEEK_CUR : Origin == 2 ? SEEK_END : -1;
  if (whence < 0) return -1;
  const off_t r = ::lseek(Handle, static_cast<off_t>(Offset), whence);
  if (r < 0) platform::SetLastErrorFromErrno(errno);
  return static_cast<Int64>(r);
}

Integer FileGetDate(int Handle) {
  struct stat st {};
  if (::fstat(Handle, &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  return PackDosDate(st.st_mtime);
}

Integer FileAge(const AnsiString& FileName) {
  const std::string host = platform::MapToHostPath(FileName);
  struct stat st {};
  if (host.empty() || ::stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return PackDosDate(st.st_mtime);
}

TDateTime FileDateToDateTime(Integer FileDate) {
  const auto v = static_cast<std::uint32_t>(FileDate);
  const Word date = static_cast<Word>(v >> 16);
  const Word time = static_cast<Word>(v & 0xFFFF);
  return EncodeDate(static_cast<Word>((date >> 9) + 1980), static_cast<Word>((date >> 5) & 15),
                    static_cast<Word>(date & 31)) +
         EncodeTime(static_cast<Word>(time >> 11), static_cast<Word>((time >> 5) & 63),
                    static_cast<Word>((time & 31) * 2), 0);
}

Integer DateTimeToFileDate(TDateTime DateTime) {
  Word y, mo, d, h, mi, s, ms;
  DecodeDate(DateTime, y, mo, d);
  DecodeTime(DateTime, h, mi, s, ms);
  if (y < 1980 || y > 2107) return 0;
  const std::uint32_t date =
      (static_cast<std::uint32_t>(y - 1980) << 9) | (static_cast<std::uint32_t>(mo) << 5) | d;
  const std::uint32_t time =
      (static_cast<std::uint32_t>(h) << 11) | (static_cast<std::uint32_t>(mi) << 5) | (s / 2u);
  return static_cast<Integer>((date << 16) | time);
}
