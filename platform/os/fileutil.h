// The class library's file functions that touch the file system.  Names are
// Windows paths, mapped to host paths as platform/os/windows.h describes.
// The pure name functions (ExtractFilePath, ExtractFileName, ChangeFileExt,
// ...) are in platform/rtl/sysutils.h; the fm* open modes in
// platform/rtl/classes.h.
#pragma once

#include "platform/os/windows.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

// A regular file of that name exists (a directory does not count).
bool FileExists(const AnsiString& FileName);
bool DirectoryExists(const AnsiString& Directory);
// Creates the directory with every missing parent; true when it exists
// afterwards.  An empty name gives false.
bool ForceDirectories(const AnsiString& Dir);
bool CreateDir(const AnsiString& Dir);
bool RemoveDir(const AnsiString& Dir);
bool DeleteFile(const AnsiString& FileName);
// Fails when NewName exists.
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);

// The full Windows path of a name: a relative name is taken from the current
// directory (in the Z: form), "." and ".." are resolved, "/" becomes "\".
AnsiString ExpandFileName(const AnsiString& FileName);
// The current directory in the Z: form, without a trailing backslash.
AnsiString GetCurrentDir();

// Opens an existing file; Mode is fmOpenRead/fmOpenWrite/fmOpenReadWrite
// combined with a share mode (share modes are not enforced on POSIX).  The
// result is a POSIX file descriptor, -1 on failure (GetLastError says why).
int FileOpen(const AnsiString& FileName, LongWord Mode);
int FileCreate(const AnsiString& FileName);
void FileClose(int Handle);
int FileRead(int Handle, void* Buffer, LongWord Count);
int FileWrite(int Handle, const void* Buffer, LongWord Count);
// Origin 0 from the start, 1 from the current position, 2 from the end;
// the new position or -1.
Int64 FileSeek(int Handle, Int64 Offset, int Origin);

// The DOS packed local date and time of the last modification: date in the
// high word ((year - 1980) << 9 | month << 5 | day), time in the low word
// (hour << 11 | minute << 5 | second / 2).  -1 on failure.
Integer FileGetDate(int Handle);
Integer FileAge(const AnsiString& FileName);
TDateTime FileDateToDateTime(Integer FileDate);
Integer DateTimeToFileDate(TDateTime DateTime);

// The German Windows text of a Win32 error code, without the closing
// period; empty for a code without text.
AnsiString SysErrorMessage(DWORD ErrorCode);
