// Text calls of the ANSI code page and the system version.
#include <cstring>

#include "platform/os/oscore_internal.h"
#include "platform/rtl/codepage.h"

int CompareStringA(LCID, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2, int cchCount2) {
  if (!lpString1 || !lpString2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t n1 = cchCount1 < 0 ? std::strlen(lpString1) : static_cast<std::size_t>(cchCount1);
  const std::size_t n2 = cchCount2 < 0 ? std::strlen(lpString2) : static_cast<std::size_t>(cchCount2);
  const int c = platform::LocaleCompare(lpString1, n1, lpString2, n2, (dwCmpFlags & NORM_IGNORECASE) != 0);
  return c < 0 ? CSTR_LESS_THAN : c == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
}

LPSTR CharNextA(LPCSTR lpsz) {
  if (!lpsz) return nullptr;
  return const_cast<LPSTR>(*lpsz ? lpsz + 1 : lpsz);
}

LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent) {
  if (!lpszCurrent) return nullptr;
  return const_cast<LPSTR>(lpszStart && lpszCurrent > lpszStart ? lpszCurrent - 1 : lpszCurrent);
}

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  OSVERSIONINFOA& v = *lpVersionInformation;
  v.dwMajorVersion = 5;
  v.dwMinorVersion = 1;
  v.dwBuildNumber = 2600;
  v.dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(v.szCSDVersion, 0, sizeof v.szCSDVersion);
  return TRUE;
}
