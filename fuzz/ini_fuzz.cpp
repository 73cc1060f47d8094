// Feeds arbitrary bytes to the INI reader as a file, then writes a key whose
// value carries line breaks and checks that the write added no section or
// key beyond the one written and that the value reads back as written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/rtl/inifiles.h"

using fuzzing::Check;
using fuzzing::Items;

namespace {

const std::string& FilePath() {
  static const std::string path = [] {
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/zel_ini_fuzz_XXXXXX";
    std::vector<char> buf(dir.begin(), dir.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) std::abort();
    return std::string(buf.data()) + "/fuzz.ini";
  }();
  return path;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  TIniFile ini(path);
  TStringList sections, keys;
  ini.ReadSections(&sections);
  for (int i = 0; i < sections.Count(); ++i) {
    ini.ReadSection(sections[i], &keys);
    for (int k = 0; k < keys.Count(); ++k) ini.ReadString(sections[i], keys[k], "");
  }

  // Write into the first section a value made of the input (a new section
  // when there is none; a name with code 0 cannot be written).
  if (sections.Count() > 0 && sections[0].find('\0') != std::string::npos) return 0;
  const AnsiString section = sections.Count() > 0 ? sections[0] : AnsiString("New");
  const AnsiString value = AnsiString(reinterpret_cast<const char*>(data), size < 64 ? size : 64) +
                           "\r\n[Injected]\r\nkey=1";
  std::vector<std::vector<AnsiString>> before;
  for (int i = 0; i < sections.Count(); ++i) {
    ini.ReadSection(sections[i], &keys);
    before.push_back(Items(keys));
  }
  try {
    ini.WriteString(section, "FuzzKey", value);
  } catch (const EIniFileException&) {
    return 0;
  }
  TStringList after;
  ini.ReadSections(&after);
  std::vector<AnsiString> expectedSections = Items(sections);
  if (sections.Count() == 0) expectedSections.push_back("New");
  Check(Items(after) == expectedSections);
  for (int i = 0; i < sections.Count(); ++i) {
    ini.ReadSection(sections[i], &keys);
    std::vector<AnsiString> k = Items(keys);
    if (i == 0) {
      // The first section of that name got FuzzKey (unless it had one).
      bool had = false;
      for (const AnsiString& s : before[0]) had = had || SameText(s, "FuzzKey");
      if (!had) before[0].push_back("FuzzKey");
    }
    // Sections of the same name as the first share its key list.
    if (i > 0 && SameText(sections[i], sections[0])) continue;
    Check(k == before[static_cast<std::size_t>(i)]);
  }
  // The value reads back as one line (up to a code 0), trimmed, one pair of
  // enclosing quotes removed.
  AnsiString expected(value.c_str());
  for (char& c : expected)
    if (c == '\r' || c == '\n') c = ' ';
  std::size_t b = 0, e = expected.size();
  while (b < e && (expected[b] == ' ' || expected[b] == '\t')) ++b;
  while (e > b && (expected[e - 1] == ' ' || expected[e - 1] == '\t')) --e;
  expected = expected.substr(b, e - b);
  if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') &&
      expected.back() == expected[0])
    expected = expected.substr(1, expected.size() - 2);
  Check(ini.ReadString(section, "FuzzKey", "<none>") == expected);
  return 0;
}
