#include "platform/rtl/inifiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/rtl/codepage.h"

namespace platform {

namespace {

// One line of an INI file as read.
struct IniLine {
  enum Kind { Blank, Comment, Section, Key, Other };
  std::string text;
  Kind kind = Other;
  std::string name;   // section name or key name (trimmed)
  std::string value;  // raw text after '=' for a key
};

struct IniText {
  std::vector<IniLine> lines;
  std::string eol = "\r\n";
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

IniLine ParseLine(std::string text) {
  IniLine l;
  const std::string t = TrimBlanks(text);
  if (t.empty()) {
    l.kind = IniLine::Blank;
  } else if (t[0] == ';') {
    l.kind = IniLine::Comment;
  } else if (t[0] == '[') {
    l.kind = IniLine::Section;
    const std::size_t close = t.find(']');
    l.name = TrimBlanks(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else {
    l.kind = IniLine::Key;
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) {
      l.name = t;
    } else {
      l.name = TrimBlanks(std::string_view(t).substr(0, eq));
      l.value = t.substr(eq + 1);
    }
    if (l.name.empty()) l.kind = IniLine::Other;  // "=value" names no key
  }
  l.text = std::move(text);
  return l;
}

IniText ParseText(const std::string& data) {
  IniText r;
  const std::size_t lf = data.find('\n');
  const std::size_t cr = data.find('\r');
  if (lf != std::string::npos && (cr == std::string::npos || cr > lf))
    r.eol = "\n";
  else if (cr != std::string::npos && (cr + 1 >= data.size() || data[cr + 1] != '\n'))
    r.eol = "\r";
  std::size_t p = 0;
  const std::size_t n = data.size();
  while (p < n) {
    const std::size_t start = p;
    while (p < n && data[p] != '\r' && data[p] != '\n') ++p;
    r.lines.push_back(ParseLine(data.substr(start, p - start)));
    if (p < n && data[p] == '\r') ++p;
    if (p < n && data[p] == '\n') ++p;
  }
  return r;
}

// What reading a settings file found.
enum class FileRead {
  Text,     // a regular file within the bound: its bytes
  Missing,  // no such file
  NoFile,   // a file beyond the bound
  Failed,   // a FIFO, a device, a directory, or a file that cannot be read
};

using Clock = std::chrono::steady_clock;

std::atomic<std::int64_t> gLockWaitMs{SettingsLockWait.count()};
std::atomic<bool> gNoRoomReservation{false};

Clock::time_point LockDeadline() { return Clock::now() + std::chrono::milliseconds(gLockWaitMs.load()); }

// Takes a lock (flock: LOCK_SH or LOCK_EX) on fd, trying again until the
// deadline.  A file system without such locks lets the caller go on
// without one, as before locks were taken.
bool LockBy(int fd, int how, Clock::time_point deadline) {
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, how | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) return true;
    if (errno != EWOULDBLOCK) return false;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(16));
  }
}

// Whether fd is still the file that the name stands for.
bool IsStillNamed(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

// Reads an open settings file from its start.  Only a regular file of at
// most MaxSettingsFileSize bytes is read.
FileRead ReadOpenFile(int fd, std::string& out) {
  out.clear();
  struct stat st {};
  if (::fstat(fd, &st) != 0) return FileRead::Failed;
  if (static_cast<std::uint64_t>(st.st_size) > MaxSettingsFileSize) return FileRead::NoFile;
  out.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (off_t at = 0;;) {
    const ssize_t k = ::pread(fd, buf, sizeof buf, at);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) {
      out.clear();
      return FileRead::Failed;
    }
    if (k == 0) return FileRead::Text;
    out.append(buf, static_cast<std::size_t>(k));
    at += k;
    if (out.size() > MaxSettingsFileSize) {  // it grew while read
      out.clear();
      return FileRead::NoFile;
    }
  }
}

// Reads a settings file, opened without waiting (see
// platform::OpenRegularFile).  A rewrite in place holds the file itself,
// so the read waits for it (up to the lock wait) and sees a whole file.
FileRead ReadFileText(const std::string& path, std::string& out) {
  out.clear();
  const int fd = platform::OpenRegularFile(path, O_RDONLY);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Failed;
  const FileRead result = LockBy(fd, LOCK_SH, LockDeadline()) ? ReadOpenFile(fd, out) : FileRead::Failed;
  ::close(fd);
  return result;
}

// The text of a settings file for a read: anything but a readable regular
// file reads as empty, as a missing one does.
std::string TextForReading(const std::string& path) {
  std::string data;
  ReadFileText(path, data);
  return data;
}

bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t k = ::pwrite(fd, data + done, size - done, at + static_cast<off_t>(done));
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    done += static_cast<std::size_t>(k);
  }
  return true;
}

// Makes sure the file of fd can hold size bytes without changing a byte of
// its present text: within the file-size limit, and the blocks reserved
// (or, where the file system reserves none, the file extended by the new
// text's tail).  On failure the file has its old length again.
bool SecureRoom(int fd, const std::string& data, off_t oldSize) {
  const off_t size = static_cast<off_t>(data.size());
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(limit.rlim_cur))
    return false;
  if (size <= oldSize) return true;
  int err = gNoRoomReservation.load() ? EOPNOTSUPP : ::posix_fallocate(fd, 0, size);
  if (err == EOPNOTSUPP || err == EINVAL)
    err =
        WriteAllAt(fd, data.data() + oldSize, data.size() - static_cast<std::size_t>(oldSize), oldSize) ? 0 : EIO;
  if (err == 0) return true;
  while (::ftruncate(fd, oldSize) != 0 && errno == EINTR) {
  }
  return false;
}

// Rewrites an existing regular file through fd (opened for writing, locked
// by the caller), for a folder that refuses the temporary file while the
// file itself may be written.  Room for the new text is secured before a
// byte changes; the text is written and flushed, and only then is the file
// cut to the new length.  Should writing fail after all, the old text (as
// read under the same lock) is put back.
bool WriteInPlace(int fd, const std::string& data, const std::string& old) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  const off_t oldSize = st.st_size;
  if (!SecureRoom(fd, data, oldSize)) return false;
  const off_t size = static_cast<off_t>(data.size());
  bool ok = WriteAllAt(fd, data.data(), data.size(), 0) && ::fsync(fd) == 0;
  if (ok && size < oldSize) ok = ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
  if (!ok && static_cast<off_t>(old.size()) == oldSize && WriteAllAt(fd, old.data(), old.size(), 0) &&
      ::ftruncate(fd, oldSize) == 0)
    ::fsync(fd);
  return ok;
}

// The folder refuses new files (permissions, a read-only mount, a name
// that leaves no room for the temporary file's longer one).
bool FolderRefuses(int err) { return err == EACCES || err == EPERM || err == EROFS || err == ENAMETOOLONG; }

// The file a name stands for: a symbolic link's target, else the name.
std::string FileBehindLink(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target = real;
  std::free(real);
  return target;
}

// An exclusive hold on one settings file for a read-change-replace, across
// processes: a lock on "." + name + ".lock" beside the file, made for the
// write and removed while still held (a process that waited on the removed
// file finds it gone and takes the new one).  The rename swaps the settings
// file itself, so that file cannot carry the lock; but where the folder
// refuses the lock file, the write can only be in place, which keeps the
// file, and the file itself is locked (its descriptor, open for writing,
// is the one the write then uses).
class WriteLock {
public:
  WriteLock() = default;
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock() {
    if (FLockFd >= 0) {
      ::unlink(FLockPath.c_str());
      ::close(FLockFd);
    }
    if (FFileFd >= 0) ::close(FFileFd);
  }

  // False when the lock cannot be had within the lock wait, or neither
  // file can be opened.
  bool Take(const std::string& file) {
    const Clock::time_point deadline = LockDeadline();
    const std::size_t slash = file.rfind('/');
    FLockPath = file.substr(0, slash + 1) + "." + file.substr(slash + 1) + ".lock";
    FLockFd = LockNamed(FLockPath, O_RDONLY | O_CREAT | O_NOFOLLOW, deadline);
    if (FLockFd >= 0) return true;
    if (!FolderRefuses(errno)) return false;
    FFileFd = LockNamed(file, O_RDWR, deadline);
    return FFileFd >= 0;
  }

  // The settings file itself when it is the one locked, else -1.
  int FileFd() const { return FFileFd; }

private:
  // Opens the file of that name and locks it, again while the name turns
  // out to stand for another file once the lock is had (its holder removed
  // it meanwhile).  -1 with errno set when it cannot be opened, -1 with
  // EWOULDBLOCK when it stays locked.
  static int LockNamed(const std::string& path, int flags, Clock::time_point deadline) {
    for (;;) {
      const int fd = platform::OpenRegularFile(path, flags);
      if (fd < 0) return -1;
      if (!LockBy(fd, LOCK_EX, deadline)) {
        ::close(fd);
        errno = EWOULDBLOCK;
        return -1;
      }
      if (IsStillNamed(fd, path)) return fd;
      ::close(fd);
    }
  }

  std::string FLockPath;
  int FLockFd = -1;
  int FFileFd = -1;
};

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i])) return false;
  return true;
}

// Index of the first section header of that name, or npos.
std::size_t FindSection(const IniText& t, const std::string& section) {
  for (std::size_t i = 0; i < t.lines.size(); ++i)
    if (t.lines[i].kind == IniLine::Section && SameName(t.lines[i].name, section)) return i;
  return std::string::npos;
}

// End (exclusive) of the section starting at header index h.
std::size_t SectionEnd(const IniText& t, std::size_t h) {
  std::size_t i = h + 1;
  while (i < t.lines.size() && t.lines[i].kind != IniLine::Section) ++i;
  return i;
}

std::size_t FindKey(const IniText& t, std::size_t h, const std::string& key) {
  const std::size_t end = SectionEnd(t, h);
  for (std::size_t i = h + 1; i < end; ++i)
    if (t.lines[i].kind == IniLine::Key && SameName(t.lines[i].name, key)) return i;
  return std::string::npos;
}

std::string ValueOf(const IniLine& l) {
  std::string v = TrimBlanks(l.value);
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return v;
}

// Text as written: up to its first code 0, CR and LF as blanks.
std::string OneLine(const std::string& s) {
  std::string r(s.c_str());
  for (char& c : r)
    if (c == '\r' || c == '\n') c = ' ';
  return r;
}

// Copies the extended attributes of the old file (where the file attributes
// of the operating-system layer live) to the new one; failures are ignored.
void CopyAttributes(const std::string& from, int toFd) {
  const ssize_t len = ::listxattr(from.c_str(), nullptr, 0);
  if (len <= 0) return;
  std::string names(static_cast<std::size_t>(len), '\0');
  const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
  if (got <= 0) return;
  names.resize(static_cast<std::size_t>(got));
  for (std::size_t p = 0; p < names.size();) {
    const std::string name(names.c_str() + p);
    p += name.size() + 1;
    if (name.empty()) continue;
    const ssize_t vlen = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (vlen < 0) continue;
    std::string value(static_cast<std::size_t>(vlen), '\0');
    const ssize_t vgot = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (vgot < 0) continue;
    ::fsetxattr(toFd, name.c_str(), value.data(), static_cast<std::size_t>(vgot), 0);
  }
}

// Writes data to a new file next to path and renames it over path; where
// the folder refuses the new file, an existing writable file is rewritten
// in place instead (through inPlaceFd when the caller holds the file
// itself, which then is the only way).  old is the file's text as read
// under the caller's lock.
bool ReplaceFile(const std::string& path, const std::string& data, const std::string& old, int inPlaceFd) {
  const std::string target = FileBehindLink(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  // A read-only file (no owner write bit, as the read-only attribute is
  // kept) refuses the write, for every user.
  if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0))
    return false;
  if (inPlaceFd >= 0) return exists && WriteInPlace(inPlaceFd, data, old);
  const auto fill = [&](int fd) {
    if (!WriteAll(fd, data)) return false;
    if (exists) CopyAttributes(target, fd);
    return true;
  };
  const std::optional<unsigned> mode = exists ? std::optional<unsigned>(st.st_mode & 07777) : std::nullopt;
  const FileReplacement result = ReplaceFileContents(target, fill, mode);
  if (result != FileReplacement::NoNewFile || !exists || !FolderRefuses(errno))
    return result == FileReplacement::Done;
  // Readers wait for the rewrite; the write lock is held already.
  const int file = platform::OpenRegularFile(target, O_WRONLY);
  if (file < 0) return false;
  const bool ok = LockBy(file, LOCK_EX, LockDeadline()) && WriteInPlace(file, data, old);
  ::close(file);
  return ok;
}

std::string Join(const IniText& t) {
  std::string r;
  for (const IniLine& l : t.lines) {
    r += l.text;
    r += t.eol;
  }
  return r;
}

}  // namespace

void SetSettingsLockWaitForTesting(std::chrono::milliseconds wait) {
  gLockWaitMs.store(wait.count() > 0 ? wait.count() : SettingsLockWait.count());
}

void SetNoRoomReservationForTesting(bool on) { gNoRoomReservation.store(on); }

bool ProfileRead(const std::string& hostPath, const AnsiString& section, const AnsiString& key,
                 AnsiString& value) {
  const IniText t = ParseText(TextForReading(hostPath));
  const std::size_t h = FindSection(t, TrimBlanks(section));
  if (h == std::string::npos) return false;
  const std::size_t k = FindKey(t, h, TrimBlanks(key));
  if (k == std::string::npos) return false;
  value = ValueOf(t.lines[k]);
  return true;
}

std::vector<AnsiString> ProfileSections(const std::string& hostPath) {
  std::vector<AnsiString> r;
  for (const IniLine& l : ParseText(TextForReading(hostPath)).lines)
    if (l.kind == IniLine::Section) r.push_back(l.name);
  return r;
}

std::vector<AnsiString> ProfileKeys(const std::string& hostPath, const AnsiString& section) {
  std::vector<AnsiString> r;
  const IniText t = ParseText(TextForReading(hostPath));
  const std::size_t h = FindSection(t, TrimBlanks(section));
  if (h == std::string::npos) return r;
  const std::size_t end = SectionEnd(t, h);
  for (std::size_t i = h + 1; i < end; ++i)
    if (t.lines[i].kind == IniLine::Key) r.push_back(t.lines[i].name);
  return r;
}

bool ProfileWrite(const std::string& hostPath, const AnsiString& section, const AnsiString* key,
                  const AnsiString* value) {
  WriteLock lock;
  if (!lock.Take(FileBehindLink(hostPath))) return false;
  // Only a missing file or a regular one that could be read is written:
  // a FIFO, a device or an oversized file stays as it is.
  std::string data;
  const FileRead found = lock.FileFd() >= 0 ? ReadOpenFile(lock.FileFd(), data) : ReadFileText(hostPath, data);
  if (found != FileRead::Text && found != FileRead::Missing) return false;
  const auto replace = [&](const IniText& changed) {
    return ReplaceFile(hostPath, Join(changed), data, lock.FileFd());
  };
  IniText t = ParseText(data);
  const std::string sec = TrimBlanks(OneLine(section));
  const std::size_t h = FindSection(t, sec);
  if (key == nullptr) {  // erase the section
    if (h == std::string::npos) return true;
    t.lines.erase(t.lines.begin() + static_cast<std::ptrdiff_t>(h),
                  t.lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(t, h)));
    return replace(t);
  }
  const std::string k = TrimBlanks(OneLine(*key));
  if (value == nullptr) {  // delete the key
    if (h == std::string::npos) return true;
    const std::size_t i = FindKey(t, h, k);
    if (i == std::string::npos) return true;
    t.lines.erase(t.lines.begin() + static_cast<std::ptrdiff_t>(i));
    return replace(t);
  }
  const std::string line = k + "=" + OneLine(*value);
  if (h == std::string::npos) {
    if (!t.lines.empty() && t.lines.back().kind != IniLine::Blank) t.lines.push_back(ParseLine(""));
    t.lines.push_back(ParseLine("[" + sec + "]"));
    t.lines.push_back(ParseLine(line));
  } else {
    const std::size_t i = FindKey(t, h, k);
    if (i != std::string::npos) {
      t.lines[i] = ParseLine(line);
    } else {
      // Behind the last entry of the section (or its header).
      std::size_t at = h + 1;
      const std::size_t end = SectionEnd(t, h);
      for (std::size_t j = h + 1; j < end; ++j)
        if (t.lines[j].kind == IniLine::Key || t.lines[j].kind == IniLine::Other) at = j + 1;
      t.lines.insert(t.lines.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(line));
    }
  }
  return replace(t);
}

}  // namespace platform

// ---------------------------------------------------------------- TCustomIniFile

int TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) {
  const AnsiString s = ReadString(Section, Ident, AnsiString());
  double v;
  return !s.empty() && TryStrToFloat(s, v) ? v : Default;
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
  const AnsiString s = ReadString(Section, Ident, AnsiString());
  TDateTime v;
  return !s.empty() && TryStrToDate(s, v) ? v : Default;
}

void TCustomIniFile::WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateToStr(Value));
}

bool TCustomIniFile::SectionExists(const AnsiString& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) > -1;
}

// ---------------------------------------------------------------- TIniFile

TIniFile::~TIniFile() = default;

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  AnsiString v;
  if (platform::ProfileRead(platform::HostPath(FileName()), Section, Ident, v)) return v;
  return Default;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  if (!platform::ProfileWrite(platform::HostPath(FileName()), Section, &Ident, &Value))
    throw EIniFileException(platform::msg::IniFileWriteError, {FileName()});
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const AnsiString& k : platform::ProfileKeys(platform::HostPath(FileName()), Section)) Strings->Add(k);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const AnsiString& s : platform::ProfileSections(platform::HostPath(FileName()))) Strings->Add(s);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  TStringList keys;
  ReadSection(Section, &keys);
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (int i = 0; i < keys.Count(); ++i)
      Strings->Add(keys[i] + "=" + ReadString(Section, keys[i], AnsiString()));
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const AnsiString& Section) {
  if (!platform::ProfileWrite(platform::HostPath(FileName()), Section, nullptr, nullptr))
    throw EIniFileException(platform::msg::IniFileWriteError, {FileName()});
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  // Windows reports no failure for a refused delete; neither do we.
  platform::ProfileWrite(platform::HostPath(FileName()), Section, &Ident, nullptr);
}

void TIniFile::UpdateFile() {}
