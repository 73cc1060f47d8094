// Helpers shared by the sources of platform/os; not for other areas.
#pragma once

#include <string>

#include "platform/os/windows.h"

namespace platform {

// Sets the last error to the Win32 code of an errno value.
void SetLastErrorFromErrno(int err);

// The last error for a host path that does not exist: ERROR_FILE_NOT_FOUND
// when its directory exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingPathError(const std::string& hostPath);

// ASCII case-insensitive equality.
bool SameTextAscii(const std::string& a, const std::string& b);

}  // namespace platform
