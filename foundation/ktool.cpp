#include "foundation/ktool.h"

#include <vector>

#include "foundation/klog.h"
#include "foundation/kmsg.h"
#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/sysutils.h"

bool AppInitDone = false;
bool DebugMarker = false;
AnsiString ProgramDir;
AnsiString BaseDir;
AnsiString IniFileName;
AnsiString ClientName;
AnsiString LocalIP;
std::int32_t DiagnoseLevel = 0;
char BarcodePrefix = 0;
AnsiString HelpPath;
AnsiString HelpFile;
std::unique_ptr<TStringList> HelpMap;
AnsiString LogFileName;

namespace {

constexpr const char* DebugMarkerFile = "C:\\_kuvo.debug";
constexpr const char* ReplacementIniFile = "C:\\KUVO\\KUVOINI.ORG";

// The older colour keys of "CFG" and the keys they move to, in this order.
struct ColourKeyMove {
  const char* NewKey;
  const char* OldKey;
};
constexpr ColourKeyMove ColourKeyMoves[] = {
    {"FAR_0", "COLDG"},  {"FAR_1", "COLDR"}, {"FAR_2", "COLEI"},  {"FAR_3", "COLUM"},
    {"FAR_4", "COLBE"},  {"FAR_5", "COLTR"}, {"FAR_6", "COLTV"},  {"FAR_7", "COLTRS"},
    {"FAR_8", "COLTVS"}, {"FAR_9", "COLGR"}, {"FAR_10", "COLLI"},
};

std::int32_t ReadSettingsInt(TIniFile& Ini, const char* Section, const char* Ident, std::int32_t Default) {
  std::int32_t v = 0;
  return TryReadSettingsInt(Ini.ReadString(Section, Ident, ""), v) ? v : Default;
}

AnsiString ProgramFileName() {
  char path[MAX_PATH + 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return AnsiString(path, n < sizeof path ? n : sizeof path - 1);
}

// The directory part of a path without its closing backslash; a drive root
// keeps it ("C:\").
AnsiString DirectoryOf(const AnsiString& Path) {
  AnsiString dir = ExtractFilePath(Path);
  const bool driveRoot = dir.size() == 3 && dir[1] == ':';
  if (dir.size() > 1 && dir.back() == '\\' && !driveRoot) dir.pop_back();
  return dir;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool TryReadSettingsInt(const AnsiString& S, std::int32_t& Value) {
  std::size_t i = 0;
  const std::size_t n = S.size();
  while (i < n && S[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (S[i] == '+' || S[i] == '-')) {
    negative = S[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && (S[i] == '$' || S[i] == 'x' || S[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  std::uint64_t v = 0;
  for (; i < n; ++i) {
    if (hex) {
      const int d = HexDigit(S[i]);
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
      if (v > 0xFFFFFFFFull) return false;
    } else {
      if (S[i] < '0' || S[i] > '9') return false;
      v = v * 10 + static_cast<unsigned>(S[i] - '0');
      if (v > 0x80000000ull) return false;
    }
  }
  if (hex) {
    std::uint32_t bits = static_cast<std::uint32_t>(v);
    if (negative) bits = 0u - bits;
    Value = static_cast<std::int32_t>(bits);
    return true;
  }
  if (!negative && v > 0x7FFFFFFFull) return false;
  Value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(v)) : static_cast<std::int32_t>(v);
  return true;
}

AnsiString GetEnvVar(const AnsiString& Name) {
  const DWORD size = GetEnvironmentVariableA(Name.c_str(), nullptr, 0);
  if (size == 0) return AnsiString();
  std::vector<char> buffer(size + 1, '\0');
  const DWORD n = GetEnvironmentVariableA(Name.c_str(), buffer.data(), size + 1);
  if (n == 0 || n > size) return AnsiString();
  return AnsiString(buffer.data(), n);
}

AnsiString GetClientName() {
  AnsiString name = GetEnvVar("CLIENTNAME");
  if (name.empty()) {
    char buffer[128] = {};
    DWORD size = 127;
    if (GetComputerNameA(buffer, &size)) name.assign(buffer, size < 127 ? size : 127);
    if (name.size() > 20) name.resize(20);
  }
  return UpperCase(name);
}

AnsiString GetLocalIP() {
  AnsiString result;
  WSADATA data{};
  WSAStartup(MAKEWORD(1, 1), &data);
  result = platform::HostIPv4Address(ClientName);
  // Else the first address of this host's own name, loopback or not.
  if (result.empty()) result = platform::LocalIPv4Address();
  WSACleanup();
  return result;
}

AnsiString GetFixedDrives() {
  const DWORD needed = GetLogicalDriveStringsA(0, nullptr);
  if (needed == 0) return AnsiString();
  std::vector<char> buffer(needed + 1, '\0');
  const DWORD n = GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return AnsiString();
  AnsiString result;
  for (const char* root = buffer.data(); *root != '\0'; root += std::char_traits<char>::length(root) + 1) {
    if (GetDriveTypeA(root) == DRIVE_FIXED) result += root;
  }
  return result;
}

AnsiString SectionWithSuffix(const AnsiString& Section, const AnsiString& Suffix) {
  return Suffix.empty() ? Section : Section + "_" + Suffix;
}

AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default,
                         const AnsiString& Suffix) {
  if (Section.empty()) return AnsiString();
  TIniFile ini(IniFileName);
  AnsiString value;
  if (!Suffix.empty()) value = ini.ReadString(SectionWithSuffix(Section, Suffix), Ident, "");
  if (value.empty()) value = ini.ReadString(Section, Ident, "");
  if (value.empty()) value = Default;
  return value;
}

bool ForceDeleteFile(const AnsiString& FileName) {
  if (FileExists(FileName)) {
    SetFileAttributesA(FileName.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(FileName.c_str());
  }
  return true;
}

bool MoveFileReplace(const AnsiString& Source, const AnsiString& Dest) {
  // The target is replaced by the move itself, so a move that fails leaves
  // it in place.  Its attributes are cleared as for a deletion.  Across file
  // systems the move copies beside the target and renames over it.
  if (FileExists(Dest)) SetFileAttributesA(Dest.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  return MoveFileExA(Source.c_str(), Dest.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
}

void WriteLog(const AnsiString& Line) { DebugFmt("%s", {Line}); }

void SetGermanFormats(char /*Language*/) {
  DateSeparator = '.';
  TimeSeparator = ':';
  LongDateFormat = "dddd, d. MMMM yyyy";
  ShortDateFormat = "dd.MM.yyyy";
  LongTimeFormat = "hh:mm:ss";
  ShortTimeFormat = "hh:mm";
}

void InitApplikation(const AnsiString& Tag) {
  if (AppInitDone) return;
  AppInitDone = true;

  DebugMarker = false;
  if (Pos("C", GetFixedDrives()) > 0) DebugMarker = FileExists(DebugMarkerFile);

  const AnsiString programFile = ProgramFileName();
  ProgramDir = UpperCase(DirectoryOf(programFile));
  BaseDir = ProgramDir;
  const int extras = Pos("\\EXTRAS", BaseDir);
  if (extras > 0) BaseDir = Copy(BaseDir, 1, extras - 1);
  IniFileName = BaseDir + "\\KUVO.INI";

  ClientName = GetClientName();
  LocalIP = GetLocalIP();

  AnsiString prefixText;
  {
    TIniFile ini(IniFileName);
    DiagnoseLevel = ReadSettingsInt(ini, "CFG", "DIAGNOSE", 0);
    if (ReadSettingsInt(ini, "CFG", "FAR_0", -1) == -1) {
      for (const ColourKeyMove& move : ColourKeyMoves) {
        const AnsiString value = ini.ReadString("CFG", move.OldKey, "");
        if (value.empty()) continue;
        // The new key first: a refused write must not lose the colour.
        ini.WriteString("CFG", move.NewKey, value);
        ini.DeleteKey("CFG", move.OldKey);
      }
    }
    BarcodePrefix = '*';
    prefixText = ini.ReadString("BARCODE", "PREFIX", "");
  }
  std::int32_t prefix = 0;
  if (!TryReadSettingsInt(prefixText, prefix)) prefix = 0;
  if (prefix > 0) BarcodePrefix = static_cast<char>(prefix & 0xFF);

  if (FileExists(ReplacementIniFile)) MoveFileReplace(ReplacementIniFile, IniFileName);

  HelpPath = ReadIniString("CFG", "HELPPATH", BaseDir, "");
  HelpFile = HelpPath + "\\" + ChangeFileExt(ExtractFileName(programFile), ".HLP");

  if (!HelpMap) HelpMap = std::make_unique<TStringList>();
  HelpMap->Clear();
  HelpMap->SetSorted(true);
  HelpMap->SetDuplicates(dupIgnore);
  const AnsiString mapFile = ChangeFileExt(HelpFile, ".MAP");
  if (FileExists(mapFile)) HelpMap->LoadFromFile(mapFile);

  LogFileName = BaseDir + "\\KUVO.LOG";
  SetGermanFormats('D');

  WriteLog("InitApplikation from \"" + Tag + "\"");
  WriteLog(Format("Barcodeprefix= %.2x [%s]",
                  {static_cast<int>(static_cast<unsigned char>(BarcodePrefix)), BarcodePrefix}));
}

// ---------------------------------------------------------------- date numbers

AnsiString FormatDateInt(std::int32_t Value, bool CheckMin, bool ShowSpecial, bool FourDigitYear) {
  if (Value == 0) return ShowSpecial ? TKMsgList::GetMsg(479) : AnsiString();
  if (Value == 20301231) return ShowSpecial ? TKMsgList::GetMsg(480) : AnsiString();
  if (CheckMin && Value < 19900102) return ShowSpecial ? AnsiString("Dat. Err") : AnsiString();
  const std::int32_t r = Value % 10000;
  const std::int32_t day = r % 100;
  const std::int32_t month = r / 100;
  if (FourDigitYear) return Format("%.2d.%.2d.%.4d", {day, month, Value / 10000});
  return Format("%.2d.%.2d.%.2d", {day, month, (Value / 10000) % 100});
}

AnsiString DateIntToStr(std::int32_t Value) { return FormatDateInt(Value, true, false, true); }

// ---------------------------------------------------------------- start-up

void ktool_initialization() { InitApplikation("KTOOL"); }

void ktool_finalization() {
  HelpMap.reset();
  AppInitDone = false;
  DebugMarker = false;
  ProgramDir.clear();
  BaseDir.clear();
  IniFileName.clear();
  ClientName.clear();
  LocalIP.clear();
  DiagnoseLevel = 0;
  BarcodePrefix = 0;
  HelpPath.clear();
  HelpFile.clear();
  LogFileName.clear();
}
