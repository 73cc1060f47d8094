#include "foundation/wuReg.h"

#include "foundation/ktool.h"
#include "platform/os/fileutil.h"
#include "platform/rtl/sysutils.h"

AnsiString RegFileName;
AnsiString RegUserName;
AnsiString RegWorkstation;

namespace {

constexpr const char* RegDir = "c:\\kuvo";
constexpr std::size_t ProfileBufferSize = 2048;

AnsiString ProgramFileName() {
  char path[MAX_PATH + 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return AnsiString(path, n < sizeof path ? n : sizeof path - 1);
}

}  // namespace

void InitRegFile() {
  if (!RegFileName.empty()) return;
  RegWorkstation.clear();
  RegUserName.clear();
  AnsiString computerName;

  if (LPCH block = GetEnvironmentStringsA()) {
    for (const char* entry = block; *entry != '\0'; entry += std::char_traits<char>::length(entry) + 1) {
      const AnsiString line(entry);
      const std::size_t eq = line.find('=');
      const AnsiString name = UpperCase(eq == AnsiString::npos ? line : line.substr(0, eq));
      const AnsiString value = eq == AnsiString::npos ? AnsiString() : line.substr(eq + 1);
      if (name == "USERNAME")
        RegUserName = value;
      else if (name == "CLIENTNAME")
        RegWorkstation = value;
      else if (name == "COMPUTERNAME")
        computerName = value;
    }
    FreeEnvironmentStringsA(block);
  }
  if (RegWorkstation.empty()) RegWorkstation = computerName;

  if (!DirectoryExists(RegDir)) ForceDirectories(RegDir);
  RegFileName = AnsiString(RegDir) + "\\kreg.cfg";

  if (!FileExists(RegFileName)) {
    auto ini = std::make_unique<TIniFile>(RegFileName);
    ini->WriteString("CREATED", "DAT", FormatDateTime("yyyyy.dd.mm hh:nn:ss", Now()));
    ini->WriteString("CREATED", "APP", ChangeFileExt(ExtractFileName(ProgramFileName()), ""));
    ini->WriteString("CREATED", "USR", RegUserName);
    ini->WriteString("CREATED", "WRK", RegWorkstation);
  }
  if (FileExists(RegFileName))
    SetFileAttributesA(RegFileName.c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
}

TwuReg::TwuReg() {
  InitRegFile();
  FIni = std::make_unique<TIniFile>(RegFileName);
  FKeyRoot = "LOCAL_MACHINE\\" + RegWorkstation;
}

TwuReg::TwuReg(HKEY Hive) : TwuReg() {
  if (Hive == HKEY_CURRENT_USER) FKeyRoot = "USERS\\" + RegUserName;
  if (FKeyRoot.empty() || FKeyRoot.back() != '\\') FKeyRoot += "\\";
}

TwuReg::~TwuReg() = default;

bool TwuReg::OpenKey(const AnsiString& /*Key*/) { return true; }

AnsiString TwuReg::SectionOf(const AnsiString& Key) const {
  const AnsiString joined = FKeyRoot + Key;
  AnsiString section;
  section.reserve(joined.size());
  for (std::size_t i = 0; i < joined.size(); ++i) {
    section += joined[i];
    if (joined[i] == '\\' && i + 1 < joined.size() && joined[i + 1] == '\\') ++i;
  }
  return section;
}

AnsiString TwuReg::ReadString(const AnsiString& Key, const AnsiString& Ident, const AnsiString& Default) {
  InitRegFile();
  AnsiString value = FIni->ReadString(SectionOf(Key), Ident, Default);
  if (value.size() > ProfileBufferSize - 1) value.resize(ProfileBufferSize - 1);
  return value;
}

void TwuReg::WriteString(const AnsiString& Key, const AnsiString& Ident, const AnsiString& Value) {
  InitRegFile();
  FIni->WriteString(SectionOf(Key), Ident, "\"" + Value + "\"");
}

AnsiString TwuReg::ReadValue(const AnsiString& Key, const AnsiString& Ident) {
  AnsiString s = ReadString(Key, Ident, "");
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  return s;
}

std::int32_t TwuReg::ReadInteger(const AnsiString& Key, const AnsiString& Ident, std::int32_t Default) {
  std::int32_t v = 0;
  return TryReadSettingsInt(ReadValue(Key, Ident), v) ? v : Default;
}

void TwuReg::WriteInteger(const AnsiString& Key, const AnsiString& Ident, std::int32_t Value) {
  WriteString(Key, Ident, IntToStr(Value));
}

void wuReg_finalization() {
  RegFileName.clear();
  RegUserName.clear();
  RegWorkstation.clear();
}
