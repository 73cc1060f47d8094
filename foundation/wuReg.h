// The user and workstation store: registry-like keys of this workstation
// and of the current user, kept as sections of the INI file kreg.cfg in
// "c:\kuvo".  Every read and write goes to the file itself; an instance
// holds no values.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/os/windows.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/system.h"

// The store file "c:\kuvo\kreg.cfg"; empty until InitRegFile has run.
extern AnsiString RegFileName;
// "USERNAME" of the environment, unchanged.
extern AnsiString RegUserName;
// "CLIENTNAME" when not empty, else "COMPUTERNAME".
extern AnsiString RegWorkstation;

// Once per process: user and workstation from the environment, the
// directory, and the file with its "CREATED" section when it is new; the
// file gets the attributes hidden, system and archive.
void InitRegFile();

class TwuReg : public TObject {
  ZEL_CLASS(TwuReg, TObject)
public:
  // Workstation keys: root "LOCAL_MACHINE\" + workstation (no backslash
  // behind it).
  TwuReg();
  // HKEY_CURRENT_USER gives the root "USERS\" + user, every other hive the
  // workstation root; the root then ends in "\".
  explicit TwuReg(HKEY Hive);
  ~TwuReg() override;

  // Always true; changes nothing (every call names its key).
  bool OpenKey(const AnsiString& Key);
  // The entry's value without its enclosing quotes, at most 2047
  // characters; Default when file, section or entry is missing.
  AnsiString ReadString(const AnsiString& Key, const AnsiString& Ident, const AnsiString& Default);
  // Writes the value in double quotes; a refused write raises
  // EIniFileException.
  void WriteString(const AnsiString& Key, const AnsiString& Ident, const AnsiString& Value);
  // ReadString with default "", a leading "0x"/"0X" turned into "$".
  AnsiString ReadValue(const AnsiString& Key, const AnsiString& Ident);
  // Decimal or hexadecimal ("$", "0x", "x"); Default for anything else.
  std::int32_t ReadInteger(const AnsiString& Key, const AnsiString& Ident, std::int32_t Default);
  void WriteInteger(const AnsiString& Key, const AnsiString& Ident, std::int32_t Value);

  const AnsiString& KeyRoot() const { return FKeyRoot; }
  // The section of a key: root + key path, each "\\" pair turned into one.
  AnsiString SectionOf(const AnsiString& Key) const;

private:
  std::unique_ptr<TIniFile> FIni;
  AnsiString FKeyRoot;
};

// Shut-down step: empties RegFileName, RegUserName and RegWorkstation.
void wuReg_finalization();
