// The private-profile calls over the runtime library's INI file code.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os/oscore_internal.h"
#include "platform/rtl/inifiles.h"

namespace {

DWORD CopyList(const std::vector<AnsiString>& items, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  std::string block;
  for (const auto& item : items) {
    block += item;
    block += '\0';
  }
  if (block.size() + 1 <= size) {
    std::memcpy(buffer, block.data(), block.size());
    buffer[block.size()] = '\0';
    return static_cast<DWORD>(block.size());
  }
  // Cut: the list still ends in two NULs.
  std::memcpy(buffer, block.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  const std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

std::string ProfileHostPath(LPCSTR file) { return file ? platform::MapToHostPath(file) : std::string(); }

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
  const std::string host = ProfileHostPath(lpFileName);
  if (!lpAppName)
    return CopyList(host.empty() ? std::vector<AnsiString>() : platform::ProfileSections(host), lpReturnedString,
                    nSize);
  if (!lpKeyName)
    return CopyList(host.empty() ? std::vector<AnsiString>() : platform::ProfileKeys(host, lpAppName),
                    lpReturnedString, nSize);
  AnsiString value;
  if (host.empty() || !platform::ProfileRead(host, lpAppName, lpKeyName, value)) {
    value = lpDefault ? lpDefault : "";
    while (!value.empty() && value.back() == ' ') value.pop_back();  // as Windows trims the default
  }
  return CopyValue(value, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpAppName || !lpFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string host = ProfileHostPath(lpFileName);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  const AnsiString key = lpKeyName ? lpKeyName : "";
  const AnsiString value = lpString ? lpString : "";
  if (!platform::ProfileWrite(host, lpAppName, lpKeyName ? &key : nullptr, lpString ? &value : nullptr)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}

UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName) {
  const std::string host = ProfileHostPath(lpFileName);
  AnsiString value;
  if (!lpAppName || !lpKeyName || host.empty() || !platform::ProfileRead(host, lpAppName, lpKeyName, value))
    return static_cast<UINT>(nDefault);
  return static_cast<UINT>(std::strtol(value.c_str(), nullptr, 10));
}
