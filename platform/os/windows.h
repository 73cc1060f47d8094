// The Win32 kernel and user calls that the libraries make, over POSIX.
//
// Paths: the code names files as Windows paths; HostPath (below) maps them
// at the one place where a file is touched:
//   C:   the directory named by $ZEL_DRIVE_C, else
//        $XDG_DATA_HOME/zel_web_pricat/drive_c (created on demand),
//   Z:   the host root "/",
//   no drive: relative to the current directory ("\x" is the root of the
//        current directory's drive, which is Z:),
//   a name that starts with "/" is a host path already.
// "\" becomes "/", runs of separators count as one, and each existing path
// component is found without regard to (ASCII) case.  Other drive letters
// do not exist.
//
// Errors: the calls set the thread's last error (GetLastError) to a Win32
// error code, as on Windows.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// ---------------------------------------------------------------- base types

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using UCHAR = unsigned char;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using PDWORD_PTR = DWORD_PTR*;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using ATOM = WORD;
using COLORREF = DWORD;

using PVOID = void*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCH = char*;
using PCHAR = char*;
using LPBYTE = BYTE*;
using LPWORD = WORD*;
using LPDWORD = DWORD*;
using PDWORD = DWORD*;
using LPLONG = LONG*;
using PUINT = UINT*;
using LPBOOL = BOOL*;

using HANDLE = void*;
using HWND = struct HWND__*;
using HINSTANCE = struct HINSTANCE__*;
using HMODULE = HINSTANCE;
using HDC = struct HDC__*;
using HGDIOBJ = void*;
using HKEY = struct HKEY__*;

// libjpeg's headers define TRUE and FALSE as macros; then theirs stand.
#if !defined(TRUE)
inline constexpr BOOL TRUE = 1;
#endif
#if !defined(FALSE)
inline constexpr BOOL FALSE = 0;
#endif

inline constexpr DWORD MAX_PATH = 260;
inline constexpr DWORD MAX_COMPUTERNAME_LENGTH = 15;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

struct RECT {
  LONG left, top, right, bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct POINT {
  LONG x, y;
};
using LPPOINT = POINT*;

struct SIZE {
  LONG cx, cy;
};
using LPSIZE = SIZE*;

// The record of WM_COPYDATA.
struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  PVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

struct FILETIME {
  DWORD dwLowDateTime, dwHighDateTime;
};

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// The fixed file information at the root block "\" of a version resource.
struct VS_FIXEDFILEINFO {
  DWORD dwSignature;  // VS_FFI_SIGNATURE
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;  // major << 16 | minor
  DWORD dwFileVersionLS;  // release << 16 | build
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};
inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x0000003F;
inline constexpr DWORD VOS_NT_WINDOWS32 = 0x00040004;
inline constexpr DWORD VFT_APP = 0x00000001;

// Words of a 32-bit value and 16-bit halves, as the Win32 helpers give them.
constexpr WORD LOWORD(DWORD v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(WORD v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(WORD v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }
constexpr WORD MAKEWORD(BYTE lo, BYTE hi) { return static_cast<WORD>(lo | (hi << 8)); }

// Rectangle helpers (right and bottom lie outside the rectangle).
inline BOOL SetRect(LPRECT r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT{left, top, right, bottom};
  return TRUE;
}
inline BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }
inline BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}
inline BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
inline BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
inline BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}
inline BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}
inline BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
// The common part; an empty result (FALSE) when they do not overlap.
inline BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
         a->right < b->right ? a->right : b->right, a->bottom < b->bottom ? a->bottom : b->bottom};
  if (IsRectEmpty(&r)) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
// The smallest rectangle holding both (an empty one counts as absent).
inline BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
  if (ea && eb) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (ea) {
    *dst = *b;
    return TRUE;
  }
  if (eb) {
    *dst = *a;
    return TRUE;
  }
  *dst = RECT{a->left < b->left ? a->left : b->left, a->top < b->top ? a->top : b->top,
              a->right > b->right ? a->right : b->right, a->bottom > b->bottom ? a->bottom : b->bottom};
  return TRUE;
}

// ---------------------------------------------------------------- constants

inline constexpr UINT WM_COPYDATA = 0x004A;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
inline constexpr UINT DRIVE_REMOTE = 4;
inline constexpr UINT DRIVE_CDROM = 5;
inline constexpr UINT DRIVE_RAMDISK = 6;

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x00000002;

inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD PAGE_READWRITE = 0x04;
inline constexpr DWORD PAGE_WRITECOPY = 0x08;
inline constexpr DWORD FILE_MAP_COPY = 0x0001;
inline constexpr DWORD FILE_MAP_WRITE = 0x0002;
inline constexpr DWORD FILE_MAP_READ = 0x0004;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
inline constexpr DWORD MEM_COMMIT = 0x00001000;
inline constexpr DWORD MEM_RESERVE = 0x00002000;
inline constexpr DWORD MEM_RELEASE = 0x00008000;

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u));

// Win32 error codes (GetLastError).
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD NO_ERROR = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_OUTOFMEMORY = 14;
inline constexpr DWORD ERROR_INVALID_DRIVE = 15;
inline constexpr DWORD ERROR_CURRENT_DIRECTORY = 16;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_LOCK_VIOLATION = 33;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_CANNOT_MAKE = 82;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_OPEN_FAILED = 110;
inline constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
inline constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_INVALID_ADDRESS = 487;
inline constexpr DWORD ERROR_NOACCESS = 998;
inline constexpr DWORD ERROR_FILE_INVALID = 1006;
inline constexpr DWORD ERROR_MAPPED_ALIGNMENT = 1132;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

// ---------------------------------------------------------------- text, system version

using LCID = DWORD;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr DWORD NORM_IGNORECASE = 0x00000001;
inline constexpr int CSTR_LESS_THAN = 1;
inline constexpr int CSTR_EQUAL = 2;
inline constexpr int CSTR_GREATER_THAN = 3;

// The fixed German comparison of platform/rtl/codepage.h (the locale is not
// examined); a count of -1 reads up to the NUL.  0 for a null text.
int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2,
                   int cchCount2);
// The ANSI code page has one byte per character: the next one, never past
// the NUL.
LPSTR CharNextA(LPCSTR lpsz);
LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// Reports an NT platform, version 5.1 (the caller's dwOSVersionInfoSize must
// be sizeof(OSVERSIONINFOA)).
BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);

// ---------------------------------------------------------------- errors

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// ---------------------------------------------------------------- module, drives

// The program's own path in the Z: form ("Z:\usr\bin\prog").  hModule must
// be null (the program).  Returns the length copied, or nSize when the path
// was cut (then the buffer holds nSize - 1 characters and a NUL, and the
// last error is ERROR_INSUFFICIENT_BUFFER).
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// Bit 2 (C:) and bit 25 (Z:).
DWORD GetLogicalDrives();
// "C:\", NUL, "Z:\", NUL, NUL.  Returns the length without the last NUL, or
// the size needed when nBufferLength is too small.
DWORD GetLogicalDriveStringsA(DWORD nBufferLength, LPSTR lpBuffer);
// DRIVE_FIXED for C: and Z: (and for null, the current drive); any other
// root gives DRIVE_NO_ROOT_DIR.
UINT GetDriveTypeA(LPCSTR lpRootPathName);

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);

// ---------------------------------------------------------------- files

BOOL DeleteFileA(LPCSTR lpFileName);
// Fails with ERROR_ALREADY_EXISTS when the target exists.  Moves to another
// file system too (MoveFileExA with MOVEFILE_COPY_ALLOWED).
BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
// With MOVEFILE_COPY_ALLOWED a move to another file system copies the file
// to a new file beside the target, flushes it, renames it onto the target's
// name and then deletes the source; a failure leaves the target whole.
BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
BOOL CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL RemoveDirectoryA(LPCSTR lpPathName);

// Read-only is the owner's write permission; hidden, system and archive are
// kept in an extended attribute where the file system has them (otherwise
// they are dropped without an error).  A file that never had its attributes
// set reads as archive.
DWORD GetFileAttributesA(LPCSTR lpFileName);
BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);

// File handles are POSIX file descriptors (as FileOpen and TFileStream give
// them), passed as HANDLE by value; platform::FileHandle converts.
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
BOOL CloseHandle(HANDLE hObject);

// ---------------------------------------------------------------- file mapping

// Read-only only: flProtect must be PAGE_READONLY, the size of the whole file
// is taken when both size words are 0.  An empty file cannot be mapped
// (ERROR_FILE_INVALID).  lpName must be null.
HANDLE CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES lpAttributes, DWORD flProtect,
                          DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName);
// dwDesiredAccess FILE_MAP_READ; 0 bytes map from the offset to the end.
LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID lpBaseAddress);

// ---------------------------------------------------------------- virtual memory

// Zero pages reserved and committed at once (flAllocationType MEM_RESERVE |
// MEM_COMMIT, flProtect PAGE_READWRITE, lpAddress null): they take memory
// only where they are written, so a large reservation costs nothing it does
// not use.  Regions of 2 MiB and more are backed by the system's huge pages
// where it offers them, which makes the first touch of fresh memory far
// cheaper (one fault per 2 MiB).  VirtualFree takes the address VirtualAlloc
// gave, size 0 and MEM_RELEASE.
LPVOID VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect);
BOOL VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType);

// ---------------------------------------------------------------- private profiles

// INI files as platform/rtl/inifiles.h reads and writes them (sections and
// keys without regard to case, values trimmed, one pair of quotes removed).
// A null section lists the section names, a null key the section's keys,
// each NUL-terminated and closed by an empty entry.  Returns the number of
// characters copied without the closing NUL (size - 1, or size - 2 for a
// list, when the buffer was too small).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);
// A null key deletes the section, a null value the key.  FALSE when the file
// cannot be written.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
// The leading decimal number of the value (0 when there is none), nDefault
// when the key is missing.
UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName);

// ---------------------------------------------------------------- environment

// Names are compared without regard to case (an exact match is preferred).
// Returns the length of the value without NUL, or the size needed with NUL
// when nSize is too small, or 0 (ERROR_ENVVAR_NOT_FOUND) when missing.
DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
// A null value removes the variable.
BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue);
// A copy of the environment: "name=value" entries, each NUL-terminated,
// closed by an empty entry.  Free it with FreeEnvironmentStringsA.
LPCH GetEnvironmentStringsA();
BOOL FreeEnvironmentStringsA(LPCH penv);

// The host name up to its first dot.  *nSize: buffer size in, length out;
// too small gives FALSE, ERROR_BUFFER_OVERFLOW and the size needed with NUL.
BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);

// $TMPDIR, else /tmp, in the Z: form with a trailing backslash.  Returns the
// length without NUL, or the size needed with NUL when nBufferLength is too
// small.
DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// ---------------------------------------------------------------- sockets

// WinSock start-up and clean-up have nothing to do on POSIX.
struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
};
using LPWSADATA = WSADATA*;
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
int WSACleanup();

// ---------------------------------------------------------------- time, sound

// Milliseconds of a monotonic clock, 32 bits, wrapping after 49.7 days.
DWORD GetTickCount();
void Sleep(DWORD dwMilliseconds);
// Goes to the beep hook; the default hook rings the terminal bell when
// stderr is a terminal.
BOOL MessageBeep(UINT uType);

// ---------------------------------------------------------------- version resource

// The version resource of a program is the ".zel_version" ELF section that
// the build writes; it is read from the file, never by running it.  A file
// without that section has none (size 0, ERROR_RESOURCE_TYPE_NOT_FOUND).
DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);
BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// Only the root block "\" (a VS_FIXEDFILEINFO) exists.
BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen);

// ---------------------------------------------------------------- windows

// A window of another program: published by that program as a Unix-domain
// socket named after class and title (platform::WindowSocketPath).  Both
// names must be given.  0 when no program listens there.
HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);
// For a window found by FindWindowA: WM_COPYDATA (lParam a COPYDATASTRUCT*)
// sends the bytes and waits for the receiver's answer at most the send
// time-out (then 0, ERROR_TIMEOUT); other messages give 0.  Every other
// window goes to the local send hook.
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// SendMessageA with a time-out of its own, in milliseconds.  As on Windows,
// a message whose answer did not come in time stays with the receiver,
// which handles it when it reads again; 0 hands the message over without
// waiting at all.  Nonzero when the answer came (it is in *lpdwResult), 0
// otherwise (GetLastError says why).  Only SMTO_NORMAL is supported.
inline constexpr UINT SMTO_NORMAL = 0x0000;
LRESULT SendMessageTimeoutA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                            PDWORD_PTR lpdwResult);
// A window found by FindWindowA counts as not responding from a send to it
// that timed out until it has answered again and every message handed to
// it since has been answered (or taken).  The program's own windows never
// count so.
BOOL IsHungAppWindow(HWND hwnd);
// Local windows go to the local post hook; a foreign window gets nothing
// (FALSE), as WM_COPYDATA cannot be posted.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// A foreign window is checked by connecting to it; others go to the local
// IsWindow hook (FALSE without one).
BOOL IsWindow(HWND hWnd);

// ---------------------------------------------------------------- platform helpers

namespace platform {

// Installs the path mapping into the runtime library (platform::HostPath of
// system.h) and ignores SIGXFSZ, so that a write past the file-size limit
// fails (EFBIG) like any refused write.  Called once, before any file is
// touched, by a program's start-up: the program's main, and for the tests
// and benchmarks platform::InitTestApplication.
void InstallOsLayer();

// Host path of a Windows path (see the top of this file); "" for a path on a
// drive that does not exist.
std::string MapToHostPath(const std::string& windowsPath);
// The Z: form of a host path ("/tmp/a" -> "Z:\tmp\a").  A relative host
// path is taken from the current directory.
std::string ToWindowsPath(const std::string& hostPath);
// The host directory that is drive C: (created on demand).
std::string DriveCRoot();

// A file descriptor as HANDLE and back.
inline HANDLE FileHandle(int fd) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd)); }
inline int FileDescriptor(HANDLE h) { return static_cast<int>(reinterpret_cast<std::intptr_t>(h)); }

// The Win32 error code for an errno value.
DWORD Win32ErrorFromErrno(int err);

// Tests replace the program path that GetModuleFileNameA reports (a
// Windows path); "" restores the real one.
void SetModuleFileNameOverride(const std::string& windowsPath);

// Tests replace the computer name; nullptr restores the host name.
void SetComputerNameSource(std::function<std::string()> source);

// The dotted IPv4 address that the resolver gives for a host name (its
// first one), "" when it gives none.  Tests replace the resolver (nullptr
// restores it).
std::string HostIPv4Address(const std::string& hostName);
void SetHostResolver(std::function<std::string(const std::string& hostName)> resolver);
// This workstation's host name (gethostname).
std::string LocalHostName();
// This workstation's address: the first address that the resolver gives
// for its own host name, whatever it is; "" when it gives none.
std::string LocalIPv4Address();

// Tests replace the clock behind GetTickCount; nullptr restores it.
void SetTickCountSource(std::function<DWORD()> source);
// Tests count beeps; nullptr restores the default.
void SetMessageBeepHook(std::function<void(UINT uType)> hook);

// The GUI layer handles messages to the program's own windows.
void SetLocalSendMessageHook(std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> hook);
void SetLocalPostMessageHook(std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> hook);
void SetLocalIsWindowHook(std::function<BOOL(HWND)> hook);

// Where published windows live: $ZEL_RUNTIME_DIR, else $XDG_RUNTIME_DIR,
// else /tmp.
std::string WindowRuntimeDir();
// The socket of the window with that class and title in WindowRuntimeDir:
// "zel-window-<hex of class>-<hex of title>.sock" (a hash of both when that
// name would not fit a socket address).
std::string WindowSocketPath(const std::string& className, const std::string& title);
// How long a send to a foreign window waits at most (default 500 ms).
void SetSendMessageTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds SendMessageTimeout();

// The wire of a WM_COPYDATA send: this header, then cbData bytes; the
// receiver answers with one LRESULT (int64, little-endian) once it has
// handled the message.
struct CopyDataFrame {
  std::uint32_t magic;  // CopyDataMagic
  std::uint32_t msg;    // WM_COPYDATA
  std::uint64_t wParam;
  std::uint64_t dwData;
  std::uint32_t cbData;
  std::uint32_t reserved;
};
inline constexpr std::uint32_t CopyDataMagic = 0x314D575A;  // "ZWM1"

// The version record that the build writes into every program.
struct VersionRecord {
  std::uint32_t Major, Minor, Release, Build;
};
// Reads the ".zel_version" section of an ELF file (host path); false when
// the file cannot be read, is no ELF file or has no such section.
bool ReadVersionRecord(const std::string& hostPath, VersionRecord& record);

}  // namespace platform
