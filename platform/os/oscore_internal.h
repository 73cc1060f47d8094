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

// Tests: the path mapping keeps the names of directories that have not
// changed for a few seconds; this moves the clock it judges that by ahead,
// so that a directory just made counts as settled.
void SetDirectoryCacheClockAheadForTesting(long seconds);

}  // namespace platform
