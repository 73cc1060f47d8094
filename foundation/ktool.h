// The application environment: program and base directory, the common
// settings file KUVO.INI, client name and address, barcode prefix, help
// file and help map, and the process-wide German date and time formats,
// set up once per process by InitApplikation.  Also the date-number texts.
//
// Start-up and shut-down of the foundation modules.  The program entry runs
// the modules' start-up steps in this order:
//     1. the service contract registers its interface (client)
//     2. kconst_initialization()    label printers and label formats
//     3. language_initialization()  text support globals
//     4. klog_initialization()      looks for the debug window, "#START ..."
//     5. kglobal_initialization()   translatable control properties
//     6. kmsg_initialization()      InitApplikation("LANGUAGE"), message list
//     7. ktool_initialization()     InitApplikation("KTOOL"): no effect
// and after the message loop the shut-down steps in the reverse order:
//     ktool_finalization(), kmsg_finalization(), kglobal_finalization(),
//     klog_finalization(), language_finalization(), kconst_finalization(),
// and wuReg_finalization() (it only empties the store's names, so its place
// does not matter).  getvers has no steps; wuReg prepares itself at its
// first use.  klog_finalization() does nothing and exists for symmetry.
// The GUI layer's application window handle reaches the debug messages
// through SetDebugApplicationHandleSource (klog.h).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"

// ---------------------------------------------------------------- module values

extern bool AppInitDone;
extern bool DebugMarker;        // "C:\_kuvo.debug" exists
extern AnsiString ProgramDir;   // upper case, without closing backslash
extern AnsiString BaseDir;      // ProgramDir cut before "\EXTRAS"
extern AnsiString IniFileName;  // BaseDir + "\KUVO.INI"
extern AnsiString ClientName;
extern AnsiString LocalIP;
extern std::int32_t DiagnoseLevel;
extern char BarcodePrefix;
extern AnsiString HelpPath;
extern AnsiString HelpFile;
// Sorted (locale order, case ignored), duplicates dropped.
extern std::unique_ptr<TStringList> HelpMap;
extern AnsiString LogFileName;

// ---------------------------------------------------------------- operations

// Sets up the environment at its first call; every later call returns at
// once.  Tag names the caller in the first debug line.
void InitApplikation(const AnsiString& Tag);

// The value of an environment variable; empty when missing.
AnsiString GetEnvVar(const AnsiString& Name);
// "CLIENTNAME", else the computer name cut to 20 characters; upper case.
AnsiString GetClientName();
// The dotted IPv4 address of ClientName, else of this host; may be empty.
AnsiString GetLocalIP();
// The roots of the fixed drives, joined: "C:\Z:\".
AnsiString GetFixedDrives();
// Section + "_" + Suffix, or Section alone for an empty suffix.
AnsiString SectionWithSuffix(const AnsiString& Section, const AnsiString& Suffix);
// A value from KUVO.INI: first in the suffixed section, then in Section,
// then Default.  An empty Section gives "" without looking.
AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default,
                         const AnsiString& Suffix);
// Deletes the file whatever its attributes; always true.
bool ForceDeleteFile(const AnsiString& FileName);
// Moves Source onto Dest, replacing it in one step: when the move fails,
// Dest stays as it was.  True when the move succeeded.
bool MoveFileReplace(const AnsiString& Source, const AnsiString& Dest);
// Hands the line to the debug window unchanged ("%" included).
void WriteLog(const AnsiString& Line);
// Date separator ".", time separator ":", "dddd, d. MMMM yyyy",
// "dd.MM.yyyy", "hh:mm:ss", "hh:mm".  Language is not examined.
void SetGermanFormats(char Language);

// The integer of a settings text: leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits behind "$", "x", "X", "0x" or "0X",
// up to the end.  Up to eight hexadecimal digits form a 32-bit pattern; a
// decimal value outside the 32-bit range is no integer.  False when S is
// no integer.
bool TryReadSettingsInt(const AnsiString& S, std::int32_t& Value);

// ---------------------------------------------------------------- date numbers

// A date number yyyymmdd as text: 0 and 20301231 give "Ursprung" and
// "Immer" with ShowSpecial (else ""); with CheckMin a value below 19900102
// gives "Dat. Err" with ShowSpecial (else ""); otherwise day, month and year
// as "%.2d.%.2d.%.4d", or with a two-digit year "%.2d.%.2d.%.2d".
AnsiString FormatDateInt(std::int32_t Value, bool CheckMin, bool ShowSpecial, bool FourDigitYear);
// FormatDateInt(Value, true, false, true).
AnsiString DateIntToStr(std::int32_t Value);

// ---------------------------------------------------------------- start-up

// Start-up step: InitApplikation("KTOOL") (the message tables made the
// effective call before).
void ktool_initialization();
// Shut-down step: frees HelpMap and empties the module's values, so that
// the module is as before its first InitApplikation.
void ktool_finalization();
