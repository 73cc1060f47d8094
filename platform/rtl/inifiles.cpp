#include "platform/rtl/inifiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string_view>

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
    l.name = TrimBlanks(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos
                                                                                 : close - 1));
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

// Reads a settings file.  Only a regular file of at most
// MaxSettingsFileSize bytes is read, opened without waiting (see
// platform::OpenRegularFile).
FileRead ReadFileText(const std::string& path, std::string& out) {
  out.clear();
  const int fd = platform::OpenRegularFile(path, O_RDONLY);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Failed;
  FileRead result = FileRead::Text;
  struct stat st{};
  if (::fstat(fd, &st) != 0)
    result = FileRead::Failed;
  else if (static_cast<std::uint64_t>(st.st_size) > MaxSettingsFileSize)
    result = FileRead::NoFile;
  char buf[8192];
  while (result == FileRead::Text) {
    const ssize_t k = ::read(fd, buf, sizeof buf);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) result = FileRead::Failed;
    if (k <= 0) break;
    out.append(buf, static_cast<std::size_t>(k));
    if (out.size() > MaxSettingsFileSize) result = FileRead::NoFile;  // it grew while read
  }
  ::close(fd);
  if (result != FileRead::Text) out.clear();
  return result;
}

// The text of a settings file for a read: anything but a readable regular
// file reads as empty, as a missing one does.
std::string TextForReading(const std::string& path) {
  std::string data;
  ReadFileText(path, data);
  return data;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t k = ::write(fd, data.data() + done, data.size() - done);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    done += static_cast<std::size_t>(k);
  }
  return true;
}

// Rewrites an existing regular file through its own descriptor, for a
// folder that refuses the temporary file while the file itself may be
// written: truncate, write, flush.
bool WriteInPlace(const std::string& path, const std::string& data) {
  const int fd = platform::OpenRegularFile(path, O_WRONLY);
  if (fd < 0) return false;
  bool ok = ::ftruncate(fd, 0) == 0;
  ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  return ok;
}

// The folder refuses new files (permissions, a read-only mount, a name
// that leaves no room for the temporary file's longer one).
bool FolderRefuses(int err) {
  return err == EACCES || err == EPERM || err == EROFS || err == ENAMETOOLONG;
}

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
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    v = v.substr(1, v.size() - 2);
  return v;
}

// Text as written: up to its first code 0, CR and LF as blanks.
std::string OneLine(const std::string& s) {
  std::string r(s.c_str());
  for (char& c : r)
    if (c == '\r' || c == '\n') c = ' ';
  return r;
}

std::atomic<unsigned> gTempCounter{0};

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
// in place instead.
bool ReplaceFile(const std::string& path, const std::string& data) {
  std::string target = path;
  struct stat st{};
  bool exists = false;
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      // Replace the file the link names, keep the link.
      char* real = ::realpath(path.c_str(), nullptr);
      if (real) {
        target = real;
        std::free(real);
      }
      exists = ::stat(target.c_str(), &st) == 0;
    } else {
      exists = true;
    }
    // A read-only file (no owner write bit, as the read-only attribute is
    // kept) refuses the write, for every user.
    if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0 ||
                   ::access(target.c_str(), W_OK) != 0))
      return false;
  }
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "." + base + "." + std::to_string(::getpid()) + "." +
           std::to_string(gTempCounter.fetch_add(1)) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return exists && FolderRefuses(errno) && WriteInPlace(target, data);
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data);
  if (ok && exists) {
    ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    CopyAttributes(target, fd);
  }
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
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
  // Only a missing file or a regular one that could be read is written:
  // a FIFO, a device or an oversized file stays as it is.
  std::string data;
  const FileRead found = ReadFileText(hostPath, data);
  if (found != FileRead::Text && found != FileRead::Missing) return false;
  IniText t = ParseText(data);
  const std::string sec = TrimBlanks(OneLine(section));
  const std::size_t h = FindSection(t, sec);
  if (key == nullptr) {  // erase the section
    if (h == std::string::npos) return true;
    t.lines.erase(t.lines.begin() + static_cast<std::ptrdiff_t>(h),
                  t.lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(t, h)));
    return ReplaceFile(hostPath, Join(t));
  }
  const std::string k = TrimBlanks(OneLine(*key));
  if (value == nullptr) {  // delete the key
    if (h == std::string::npos) return true;
    const std::size_t i = FindKey(t, h, k);
    if (i == std::string::npos) return true;
    t.lines.erase(t.lines.begin() + static_cast<std::ptrdiff_t>(i));
    return ReplaceFile(hostPath, Join(t));
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
  return ReplaceFile(hostPath, Join(t));
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

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident,
                                 double Default) {
  const AnsiString s = ReadString(Section, Ident, AnsiString());
  double v;
  return !s.empty() && TryStrToFloat(s, v) ? v : Default;
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& Section, const AnsiString& Ident,
                                   TDateTime Default) {
  const AnsiString s = ReadString(Section, Ident, AnsiString());
  TDateTime v;
  return !s.empty() && TryStrToDate(s, v) ? v : Default;
}

void TCustomIniFile::WriteDate(const AnsiString& Section, const AnsiString& Ident,
                               TDateTime Value) {
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

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) {
  AnsiString v;
  if (platform::ProfileRead(platform::HostPath(FileName()), Section, Ident, v)) return v;
  return Default;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident,
                           const AnsiString& Value) {
  if (!platform::ProfileWrite(platform::HostPath(FileName()), Section, &Ident, &Value))
    throw EIniFileException(platform::msg::IniFileWriteError, {FileName()});
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const AnsiString& k : platform::ProfileKeys(platform::HostPath(FileName()), Section))
      Strings->Add(k);
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
    for (const AnsiString& s : platform::ProfileSections(platform::HostPath(FileName())))
      Strings->Add(s);
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
