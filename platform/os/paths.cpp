// Windows paths to host paths, drives, the program's path, the current
// directory.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/os/fileutil.h"
#include "platform/os/oscore_internal.h"
#include "platform/rtl/system.h"

namespace {

std::mutex g_moduleMutex;
std::string g_moduleOverride;

std::string EnvValue(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string HostCwd() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buf.resize(buf.size() * 2);
  }
  return std::string(buf.data());
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> SplitComponents(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

std::string JoinHost(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Creates a directory and its parents (host path); errors are ignored.
void MakeHostDirs(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return;
  std::string cur = path[0] == '/' ? "/" : "";
  for (const auto& part : SplitComponents(path, '/')) {
    cur = JoinHost(cur, part);
    ::mkdir(cur.c_str(), 0777);
  }
}

std::atomic<long> g_clockAhead{0};

// Names of directories read before, so that a path given in another case
// (the libraries upper-case their base directory) does not read every
// directory from "/" down again on each lookup.  An entry is used only while
// its directory still has the same identity and change times; and only a
// directory that had not changed for a while when it was read is kept, so a
// change in the same clock tick as the reading cannot hide behind an equal
// time stamp.
class TDirectoryCache {
public:
  // The entry names of dir when it is known and unchanged.
  bool Find(const std::string& dir, const struct stat& now, std::vector<std::string>& names) {
    std::lock_guard<std::mutex> lock(FMutex);
    const auto it = std::find_if(FEntries.begin(), FEntries.end(), [&](const Entry& e) { return e.Dir == dir; });
    if (it == FEntries.end()) return false;
    if (!SameState(it->State, now)) {
      FEntries.erase(it);
      return false;
    }
    names = it->Names;
    return true;
  }

  void Keep(const std::string& dir, const struct stat& state, std::vector<std::string> names) {
    if (names.size() > kMaxNames || !Settled(state)) return;
    std::lock_guard<std::mutex> lock(FMutex);
    FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(), [&](const Entry& e) { return e.Dir == dir; }),
                   FEntries.end());
    if (FEntries.size() >= kMaxDirs) FEntries.erase(FEntries.begin());
    FEntries.push_back(Entry{dir, state, std::move(names)});
  }

private:
  static constexpr std::size_t kMaxDirs = 64;
  static constexpr std::size_t kMaxNames = 4096;
  static constexpr long kSettledSeconds = 2;

  struct Entry {
    std::string Dir;
    struct stat State;
    std::vector<std::string> Names;
  };

  static bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
  }
  static bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && SameTime(a.st_mtim, b.st_mtim) &&
           SameTime(a.st_ctim, b.st_ctim);
  }
  // Both change times lie well in the past (a clock behind them counts as not).
  static bool Settled(const struct stat& state) {
    timespec now{};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    now.tv_sec += g_clockAhead.load();
    return state.st_mtim.tv_sec + kSettledSeconds < now.tv_sec &&
           state.st_ctim.tv_sec + kSettledSeconds < now.tv_sec;
  }

  std::mutex FMutex;
  std::vector<Entry> FEntries;
};

TDirectoryCache g_directories;

// The entry names of a directory ("." and ".." left out); false when it
// cannot be read.
bool DirectoryNames(const std::string& dir, std::vector<std::string>& names) {
  const std::string path = dir.empty() ? "." : dir;
  struct stat state {};
  if (::stat(path.c_str(), &state) == 0 && S_ISDIR(state.st_mode) && g_directories.Find(path, state, names))
    return true;
  DIR* d = ::opendir(path.c_str());
  if (!d) return false;
  // The state before reading: a change while reading makes the entry stale.
  const bool known = ::fstat(::dirfd(d), &state) == 0;
  names.clear();
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(d);
  if (known) g_directories.Keep(path, state, names);
  return true;
}

// The name in directory dir that equals name without regard to case; an
// exact match wins, among others the smallest name, so the result repeats.
bool FindComponent(const std::string& dir, const std::string& name, std::string& found) {
  const std::string exact = JoinHost(dir, name);
  struct stat st {};
  if (::lstat(exact.c_str(), &st) == 0) {
    found = name;
    return true;
  }
  std::vector<std::string> names;
  if (!DirectoryNames(dir, names)) return false;
  bool any = false;
  for (const auto& entry : names) {
    if (platform::SameTextAscii(entry, name) && (!any || entry < found)) {
      found = entry;
      any = true;
    }
  }
  return any;
}

// Appends components to a host base path, resolving "." and ".." by name
// and each existing component without regard to case.
std::string ResolveComponents(const std::string& base, const std::vector<std::string>& parts) {
  std::vector<std::string> stack;  // components added below base
  bool resolving = true;
  auto current = [&]() {
    std::string p = base;
    for (const auto& s : stack) p = JoinHost(p, s);
    return p;
  };
  for (const auto& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!stack.empty()) stack.pop_back();
      resolving = true;
      continue;
    }
    std::string found;
    if (resolving && FindComponent(current(), part, found)) {
      stack.push_back(found);
    } else {
      stack.push_back(part);
      resolving = false;
    }
  }
  return current();
}

std::string StripTrailingSlashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string MapperForRtl(const std::string& path) { return platform::MapToHostPath(path); }

}  // namespace

namespace platform {

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

void InstallOsLayer() {
  SetHostPathMapper(&MapperForRtl);
  // A write past the file-size limit (RLIMIT_FSIZE, as a quota sets it)
  // fails with EFBIG like any refused write instead of ending the process.
  ::signal(SIGXFSZ, SIG_IGN);
}

void SetDirectoryCacheClockAheadForTesting(long seconds) { g_clockAhead = seconds; }

std::string DriveCRoot() {
  std::string root = EnvValue("ZEL_DRIVE_C");
  if (root.empty()) {
    std::string data = EnvValue("XDG_DATA_HOME");
    if (data.empty() || data[0] != '/') {
      std::string home = EnvValue("HOME");
      if (home.empty()) home = "/tmp";
      data = JoinHost(home, ".local/share");
    }
    root = JoinHost(data, "zel_web_pricat/drive_c");
  }
  if (root[0] != '/') root = JoinHost(HostCwd(), root);
  root = StripTrailingSlashes(root);
  MakeHostDirs(root);
  return root;
}

std::string MapToHostPath(const std::string& windowsPath) {
  if (windowsPath.empty()) return std::string();
  if (windowsPath[0] == '/') return windowsPath;  // a host path already
  std::string p = windowsPath;
  std::replace(p.begin(), p.end(), '\\', '/');
  std::string base;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
    if (drive == 'C')
      base = DriveCRoot();
    else if (drive == 'Z')
      base = "/";
    else
      return std::string();
    p.erase(0, 2);  // "C:x" counts as "C:\x"
  } else if (p[0] == '/') {
    base = "/";  // the root of the current drive, which is Z:
  } else {
    // Relative: ".." may climb above the current directory.
    base = "/";
    p = HostCwd() + "/" + p;
  }
  return ResolveComponents(base, SplitComponents(p, '/'));
}

std::string ToWindowsPath(const std::string& hostPath) {
  std::string p = hostPath;
  if (p.empty() || p[0] != '/') p = JoinHost(HostCwd(), p);
  std::string out = "Z:";
  const auto parts = SplitComponents(p, '/');
  for (const auto& part : parts) out += "\\" + part;
  if (parts.empty()) out += "\\";
  return out;
}

DWORD MissingPathError(const std::string& hostPath) {
  const auto slash = hostPath.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : hostPath.substr(0, slash);
  if (dir.empty()) dir = "/";
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ERROR_FILE_NOT_FOUND;
  return ERROR_PATH_NOT_FOUND;
}

void SetModuleFileNameOverride(const std::string& windowsPath) {
  std::lock_guard<std::mutex> lock(g_moduleMutex);
  g_moduleOverride = windowsPath;
}

}  // namespace platform

namespace {

// Copies text into a caller's buffer the way the Win32 "size needed" calls
// do: the length without NUL when it fits, else the size needed with NUL.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (hModule != nullptr || !lpFilename) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string path;
  {
    std::lock_guard<std::mutex> lock(g_moduleMutex);
    path = g_moduleOverride;
  }
  if (path.empty()) {
    std::vector<char> buf(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
      platform::SetLastErrorFromErrno(errno);
      return 0;
    }
    path = platform::ToWindowsPath(std::string(buf.data(), static_cast<std::size_t>(n)));
  }
  if (nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= nSize) {  // cut, as Windows does
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.data(), path.size());
  lpFilename[path.size()] = '\0';
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

DWORD GetLogicalDrives() { return (1u << ('C' - 'A')) | (1u << ('Z' - 'A')); }

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, LPSTR lpBuffer) {
  static constexpr char kDrives[] = "C:\\\0Z:\\\0";  // plus the closing NUL
  constexpr DWORD kLength = sizeof(kDrives) - 1;     // without the last NUL
  if (!lpBuffer || nBufferLength < kLength + 1) return kLength + 1;
  std::memcpy(lpBuffer, kDrives, kLength + 1);
  return kLength;
}

UINT GetDriveTypeA(LPCSTR lpRootPathName) {
  if (!lpRootPathName) return DRIVE_FIXED;  // the current directory lies on Z:
  const std::string root = lpRootPathName;
  if (root.size() < 2 || root[1] != ':') return DRIVE_NO_ROOT_DIR;
  if (root.size() > 3 || (root.size() == 3 && root[2] != '\\' && root[2] != '/')) return DRIVE_NO_ROOT_DIR;
  const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
  return (drive == 'C' || drive == 'Z') ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  return CopyOut(GetCurrentDir(), lpBuffer, nBufferLength);
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string host = platform::MapToHostPath(lpPathName);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (::chdir(host.c_str()) != 0) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : platform::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

AnsiString GetCurrentDir() { return platform::ToWindowsPath(HostCwd()); }

AnsiString ExpandFileName(const AnsiString& FileName) {
  if (FileName.empty()) return AnsiString();
  std::string p = FileName;
  std::replace(p.begin(), p.end(), '/', '\\');
  std::string prefix;  // "C:"
  std::string rest;
  if (p.size() >= 2 && p[1] == ':') {
    prefix = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])))) + ":";
    rest = p.substr(2);
  } else if (p[0] == '\\') {
    prefix = "Z:";  // the current drive
    rest = p;
  } else {
    const std::string cwd = GetCurrentDir();
    prefix = cwd.substr(0, 2);
    rest = cwd.substr(2) + "\\" + p;
  }
  const bool trailing = !rest.empty() && rest.back() == '\\';
  std::vector<std::string> stack;
  for (const auto& part : SplitComponents(rest, '\\')) {
    if (part == ".") continue;
    if (part == "..") {
      if (!stack.empty()) stack.pop_back();
      continue;
    }
    stack.push_back(part);
  }
  std::string out = prefix;
  for (const auto& s : stack) out += "\\" + s;
  if (stack.empty() || trailing) out += "\\";
  return out;
}
