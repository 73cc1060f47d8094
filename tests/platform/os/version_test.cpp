// The version resource read from the ELF section of a program.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"

namespace {

struct Version {
  DWORD major, minor, release, build;
};

// The version of a file by the three calls, as the file-version reader
// makes them; false when any of them fails.
bool ReadFileVersion(const std::string& name, Version& v, DWORD* size = nullptr) {
  DWORD handle = 99;
  const DWORD n = GetFileVersionInfoSizeA(name.c_str(), &handle);
  if (size) *size = n;
  EXPECT_EQ(0u, handle);
  if (n == 0) return false;
  std::vector<char> block(n);
  if (!GetFileVersionInfoA(name.c_str(), handle, n, block.data())) return false;
  void* p = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(block.data(), "\\", &p, &len)) return false;
  EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), len);
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(p);
  EXPECT_EQ(VS_FFI_SIGNATURE, info->dwSignature);
  v = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
       LOWORD(info->dwFileVersionLS)};
  return true;
}

std::string Text(const Version& v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", v.major, v.minor, v.release, v.build);
  return buf;
}

std::string ZForm(const std::string& host) { return platform::ToWindowsPath(host); }

// A small ELF file with a section table of its own making.
struct ElfSpec {
  bool is64 = true;
  bool bigEndian = false;
  std::string sectionName = ".zel_version";
  std::uint32_t sectionType = 1;  // SHT_PROGBITS
  std::string magic = std::string("ZELVERS\0", 8);
  std::uint32_t numbers[4] = {1, 2, 3, 4};
  bool countsInFirstSection = false;  // e_shnum 0, e_shstrndx 0xFFFF
  std::uint64_t recordSize = 0;       // the record section's size; 0: the record's
  std::uint64_t namesSize = 0;        // the name table's size; 0: the table's
  std::uint32_t recordName = 1;       // the record section's name offset
};

std::string MakeElf(const ElfSpec& s) {
  std::string out;
  auto put = [&](std::uint64_t v, int width) {
    for (int i = 0; i < width; ++i) {
      const int shift = s.bigEndian ? (width - 1 - i) * 8 : i * 8;
      out += static_cast<char>((v >> shift) & 0xFF);
    }
  };
  const int word = s.is64 ? 8 : 4;
  const std::size_t ehsize = s.is64 ? 64 : 52, shentsize = s.is64 ? 64 : 40;
  const std::string names = std::string("\0", 1) + s.sectionName + std::string("\0.shstrtab\0", 11);
  std::string record = s.magic;
  for (auto n : s.numbers)
    for (int i = 0; i < 4; ++i) record += static_cast<char>((n >> (8 * i)) & 0xFF);  // always little-endian
  const std::size_t recordOff = ehsize, namesOff = recordOff + record.size(),
                    shoff = namesOff + names.size();
  // header
  out += "\x7f" "ELF";
  out += static_cast<char>(s.is64 ? 2 : 1);
  out += static_cast<char>(s.bigEndian ? 2 : 1);
  out += '\x01';
  out.append(9, '\0');
  put(2, 2);                       // e_type
  put(s.is64 ? 62 : 3, 2);         // e_machine
  put(1, 4);                       // e_version
  put(0, word);                    // e_entry
  put(0, word);                    // e_phoff
  put(shoff, word);                // e_shoff
  put(0, 4);                       // e_flags
  put(ehsize, 2);
  put(0, 2);                       // e_phentsize
  put(0, 2);                       // e_phnum
  put(shentsize, 2);
  put(s.countsInFirstSection ? 0 : 3, 2);           // e_shnum
  put(s.countsInFirstSection ? 0xFFFF : 2, 2);  // e_shstrndx
  out += record;
  out += names;
  auto section = [&](std::uint32_t name, std::uint32_t type, std::uint64_t off, std::uint64_t size,
                     std::uint32_t link) {
    put(name, 4);
    put(type, 4);
    put(0, word);  // flags
    put(0, word);  // addr
    put(off, word);
    put(size, word);
    put(link, 4);
    put(0, 4);  // info
    put(1, word);
    put(0, word);
  };
  if (s.countsInFirstSection)
    section(0, 0, 0, 3, 2);
  else
    section(0, 0, 0, 0, 0);
  section(s.recordName, s.sectionType, recordOff, s.recordSize ? s.recordSize : record.size(), 0);
  section(static_cast<std::uint32_t>(2 + s.sectionName.size()), 3, namesOff,
          s.namesSize ? s.namesSize : names.size(), 0);
  return out;
}

TEST(VersionResource, BuiltProgramCarriesTheProjectVersion) {
  Version v{};
  ASSERT_TRUE(ReadFileVersion(ZForm(ZEL_PROGRAM_PATH), v)) << ZEL_PROGRAM_PATH;
  EXPECT_EQ(ZEL_VERSION_TEXT, Text(v));
}

TEST(VersionResource, TheTestProgramItselfAsGetModuleFileNameNamesIt) {
  char self[MAX_PATH + 1];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
  Version v{};
  ASSERT_TRUE(ReadFileVersion(self, v));
  EXPECT_EQ(ZEL_VERSION_TEXT, Text(v));
}

TEST(VersionResource, FullFixedInformation) {
  DWORD size = 0;
  const std::string name = ZForm(ZEL_PROGRAM_PATH);
  ASSERT_GT(size = GetFileVersionInfoSizeA(name.c_str(), nullptr), sizeof(VS_FIXEDFILEINFO));
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(name.c_str(), 0, size, block.data()));
  void* p = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &p, &len));
  const auto* f = static_cast<const VS_FIXEDFILEINFO*>(p);
  EXPECT_EQ(VS_FFI_STRUCVERSION, f->dwStrucVersion);
  EXPECT_EQ(f->dwFileVersionMS, f->dwProductVersionMS);
  EXPECT_EQ(f->dwFileVersionLS, f->dwProductVersionLS);
  EXPECT_EQ(VFT_APP, f->dwFileType);

  EXPECT_FALSE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &p, &len));
  EXPECT_FALSE(VerQueryValueA(block.data(), "", &p, &len));
  EXPECT_FALSE(GetFileVersionInfoA(name.c_str(), 0, size - 1, block.data()));  // buffer too small
  std::vector<char> junk(size, 'x');
  EXPECT_FALSE(VerQueryValueA(junk.data(), "\\", &p, &len));
}

TEST(VersionResource, MissingFilesAndFilesWithoutResource) {
  zeltest::TempDir dir;
  const std::string text = dir.write("notes.txt", "just text\n");
  const std::string empty = dir.write("empty", "");
  struct Case {
    std::string name;
    DWORD error;
  } cases[] = {
      {ZForm(dir.file("missing.exe")), ERROR_FILE_NOT_FOUND},
      {ZForm(dir.file("nodir/missing.exe")), ERROR_PATH_NOT_FOUND},
      {"Z:\\bin\\true", ERROR_RESOURCE_TYPE_NOT_FOUND},
      {ZForm(text), ERROR_RESOURCE_TYPE_NOT_FOUND},
      {ZForm(empty), ERROR_RESOURCE_TYPE_NOT_FOUND},
      {ZForm(dir.path()), ERROR_RESOURCE_TYPE_NOT_FOUND},  // a directory
  };
  for (const auto& c : cases) {
    Version v{};
    DWORD size = 1;
    SetLastError(0);
    EXPECT_FALSE(ReadFileVersion(c.name, v, &size)) << c.name;
    EXPECT_EQ(0u, size) << c.name;
    EXPECT_EQ(c.error, GetLastError()) << c.name;
  }
}

TEST(VersionResource, ElfLayoutsAndLimits) {
  zeltest::TempDir dir;
  struct Case {
    const char* what;
    ElfSpec spec;
    bool found;
    const char* text;
  };
  ElfSpec elf64;
  ElfSpec elf32;
  elf32.is64 = false;
  ElfSpec big;
  big.bigEndian = true;
  ElfSpec max;
  max.numbers[0] = max.numbers[1] = max.numbers[2] = max.numbers[3] = 65535;
  ElfSpec otherName;
  otherName.sectionName = ".zel_versio";
  ElfSpec noBits;
  noBits.sectionType = 8;
  ElfSpec badMagic;
  badMagic.magic = std::string("ZELVERX\0", 8);
  ElfSpec manySections;
  manySections.countsInFirstSection = true;
  ElfSpec manySections32 = manySections;
  manySections32.is64 = false;
  ElfSpec shortRecord;
  shortRecord.recordSize = 23;
  ElfSpec longRecord;
  longRecord.recordSize = 24 + 40;  // the names that follow it
  ElfSpec unterminated;
  unterminated.namesSize = 1 + 12;  // ".zel_version" without its 0
  ElfSpec nameOutside;
  nameOutside.recordName = 1000;
  const Case cases[] = {
      {"ELF64", elf64, true, "1.2.3.4"},       {"ELF32", elf32, true, "1.2.3.4"},
      {"big-endian", big, true, "1.2.3.4"},    {"largest", max, true, "65535.65535.65535.65535"},
      {"other name", otherName, false, ""},    {"no bits", noBits, false, ""},
      {"bad magic", badMagic, false, ""},
      {"counts in the first section", manySections, true, "1.2.3.4"},
      {"counts in the first section, ELF32", manySections32, true, "1.2.3.4"},
      {"record section too short", shortRecord, false, ""},
      {"record section longer", longRecord, true, "1.2.3.4"},
      {"name not terminated", unterminated, false, ""},
      {"name outside the table", nameOutside, false, ""},
  };
  for (const auto& c : cases) {
    const std::string path = dir.write("prog", MakeElf(c.spec));
    Version v{};
    EXPECT_EQ(c.found, ReadFileVersion(ZForm(path), v)) << c.what;
    if (c.found) {
      EXPECT_EQ(c.text, Text(v)) << c.what;
    }
  }
}

TEST(VersionResource, CutOrDamagedFilesHaveNoResource) {
  zeltest::TempDir dir;
  const std::string good = MakeElf(ElfSpec{});
  // Every cut of the file gives no resource; every single damaged byte
  // outside the record itself gives no resource or the record unchanged.
  for (std::size_t len = 0; len < good.size(); ++len) {
    Version v{};
    EXPECT_FALSE(ReadFileVersion(ZForm(dir.write("cut", good.substr(0, len))), v)) << len;
  }
  for (std::size_t at = 0; at < good.size(); ++at) {
    if (at >= 64 && at < 64 + 24) continue;  // the record's own bytes
    std::string bad = good;
    bad[at] = static_cast<char>(0xFF);
    Version v{};
    if (ReadFileVersion(ZForm(dir.write("bad", bad)), v)) {
      EXPECT_EQ("1.2.3.4", Text(v)) << at;
    }
  }
}

}  // namespace
