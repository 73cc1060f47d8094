// INI files with the semantics of the Windows private-profile functions.
//
// Sections and keys are compared without regard to case (ASCII and the code
// page's letters); the first matching section and the first matching key
// win.  A value is read trimmed, with one pair of enclosing single or double
// quotes removed.  Lines starting with ';' are comments.  Every call reads
// the file anew; a write replaces the key's line in place and keeps every
// other line and comment, puts a new key behind the last entry of its
// section and a new section at the end of the file.  A written value, key or
// section never contains a line break (CR and LF are written as blanks), so
// no write can add keys or sections.  Writes go to a temporary file in the
// same directory that then replaces the file (rename), so a failed write
// leaves the old file whole; where the directory refuses the temporary file
// but the file itself may be written, the file is rewritten in place: room
// for the new text is secured first, then it is written and flushed, and
// only then is the file cut to its new length, so a full disk or a size
// limit leaves the old file whole as well.  Each write (read, change,
// replace) holds a lock across processes for its whole length: see
// platform::ProfileWrite.  A refused write raises EIniFileException
// "In %s kann nicht geschrieben werden".  A file that does not exist reads as
// empty; so does anything that is no regular file (a FIFO, a device) and a
// file larger than platform::MaxSettingsFileSize, and such a file is never
// written.  File names go through platform::HostPath.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

class TCustomIniFile : public TObject {
  ZEL_CLASS(TCustomIniFile, TObject)
public:
  explicit TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}
  const AnsiString& FileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
  virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
  // Decimal or hex ("$1F", "0x1F"); Default when the value is no integer.
  virtual int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
  virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
  // "0" is false, any other integer true; Default otherwise.
  virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
  virtual double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);
  virtual void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
  virtual TDateTime ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
  virtual void WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);

  // Key names of the section, in file order.
  virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
  // Section names, in file order.
  virtual void ReadSections(TStrings* Strings) = 0;
  // "key=value" lines of the section.
  virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const AnsiString& Section) = 0;
  virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
  virtual void UpdateFile() = 0;
  bool SectionExists(const AnsiString& Section);
  virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

private:
  AnsiString FFileName;
};

class TIniFile : public TCustomIniFile {
  ZEL_CLASS(TIniFile, TCustomIniFile)
public:
  explicit TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) {}
  ~TIniFile() override;

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  void UpdateFile() override;
};

namespace platform {

// The largest settings file that is read, far beyond any real one (a store
// shared by many users and workstations may grow to a few MiB).
inline constexpr std::size_t MaxSettingsFileSize = 64 * 1024 * 1024;

// How long a write waits for the lock of its settings file (and a read for
// an in-place rewrite to end) before it gives up.
inline constexpr std::chrono::milliseconds SettingsLockWait{10000};
// Tests: another wait than SettingsLockWait (a zero or negative one puts
// SettingsLockWait back).
void SetSettingsLockWaitForTesting(std::chrono::milliseconds wait);
// Tests: makes the in-place rewrite behave as on a file system that cannot
// reserve room (posix_fallocate refused with EOPNOTSUPP).
void SetNoRoomReservationForTesting(bool on);

// The private-profile functions on a host path, for the Win32 calls of the
// operating-system layer.  Read: the value as TIniFile reads it, or
// std::nullopt-like false when section or key is missing.
bool ProfileRead(const std::string& hostPath, const AnsiString& section, const AnsiString& key, AnsiString& value);
// Section names / key names in file order.
std::vector<AnsiString> ProfileSections(const std::string& hostPath);
std::vector<AnsiString> ProfileKeys(const std::string& hostPath, const AnsiString& section);
// Writes (key != nullptr, value != nullptr), deletes a key (value == nullptr)
// or a whole section (key == nullptr).  False when the file cannot be
// written; the old file then stays as it was.
//
// Reading, changing and replacing the file happen under an exclusive lock
// (flock) on the file "." + name + ".lock" beside it (beside the file a
// symbolic link names), made for the write and removed behind it; another
// process's write of the same file waits for it.  Where the folder refuses
// that file, the write can only be in place, which keeps the file itself:
// the settings file itself is locked then.  A lock that cannot be had
// within SettingsLockWait refuses the write.
bool ProfileWrite(const std::string& hostPath, const AnsiString& section, const AnsiString* key,
                  const AnsiString* value);

}  // namespace platform
