// The version resource: the ".zel_version" ELF section that the build writes
// into every program, read from the file without running it.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/oscore_internal.h"
#include "platform/rtl/system.h"

namespace {

constexpr char kSectionName[] = ".zel_version";
constexpr char kRecordMagic[8] = {'Z', 'E', 'L', 'V', 'E', 'R', 'S', '\0'};
constexpr std::size_t kRecordSize = 8 + 4 * 4;
constexpr std::uint32_t kSectionNoBits = 8;  // SHT_NOBITS
constexpr std::uint64_t kMaxSections = 1u << 20;
constexpr std::uint64_t kMaxNameTable = 16u << 20;

// The block that GetFileVersionInfoA fills.
struct VersionBlock {
  char magic[8];  // "ZELVINFO"
  DWORD size;
  DWORD reserved;
  VS_FIXEDFILEINFO fixed;
};
constexpr char kBlockMagic[8] = {'Z', 'E', 'L', 'V', 'I', 'N', 'F', 'O'};

// Reads an ELF file by offset with bounds checks; every failure is "no".
class ElfReader {
public:
  explicit ElfReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

  bool Read(std::uint64_t offset, void* out, std::size_t n) const {
    if (offset > size_ || n > size_ - offset) return false;
    auto* p = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < n) {
      const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
      done += static_cast<std::size_t>(r);
    }
    return true;
  }

  // Unsigned integer of width bytes at p in the file's byte order.
  std::uint64_t Value(const unsigned char* p, int width) const {
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i) {
      const int shift = big_ ? (width - 1 - i) * 8 : i * 8;
      v |= static_cast<std::uint64_t>(p[i]) << shift;
    }
    return v;
  }

  void SetBigEndian(bool big) { big_ = big; }

private:
  int fd_;
  std::uint64_t size_;
  bool big_ = false;
};

struct SectionHeader {
  std::uint32_t name;
  std::uint32_t type;
  std::uint64_t offset;
  std::uint64_t size;
  std::uint32_t link;
};

// Where the section table stands, from the ELF header.
struct SectionTable {
  bool is64 = false;
  std::uint64_t offset = 0;
  std::uint64_t entrySize = 0;
  std::uint64_t count = 0;
  std::uint64_t namesIndex = 0;
  std::size_t entry = 0;  // bytes of an entry that are read
};

// The identification and the header; sets the reader's byte order.
bool ReadElfHeader(ElfReader& elf, SectionTable& t) {
  unsigned char ident[64] = {};
  if (!elf.Read(0, ident, 16)) return false;
  if (std::memcmp(ident,
                  "\x7f"
                  "ELF",
                  4) != 0)
    return false;
  if (ident[4] != 1 && ident[4] != 2) return false;
  if (ident[5] != 1 && ident[5] != 2) return false;
  t.is64 = ident[4] == 2;
  elf.SetBigEndian(ident[5] == 2);
  if (!elf.Read(0, ident, t.is64 ? 64 : 52)) return false;
  t.offset = t.is64 ? elf.Value(ident + 0x28, 8) : elf.Value(ident + 0x20, 4);
  t.entrySize = elf.Value(ident + (t.is64 ? 0x3A : 0x2E), 2);
  t.count = elf.Value(ident + (t.is64 ? 0x3C : 0x30), 2);
  t.namesIndex = elf.Value(ident + (t.is64 ? 0x3E : 0x32), 2);
  t.entry = t.is64 ? 64 : 40;
  return t.offset != 0 && t.entrySize >= t.entry;
}

bool ReadSection(const ElfReader& elf, const SectionTable& t, std::uint64_t index, SectionHeader& sh) {
  if (index >= kMaxSections) return false;
  unsigned char raw[64];
  if (!elf.Read(t.offset + index * t.entrySize, raw, t.entry)) return false;
  sh.name = static_cast<std::uint32_t>(elf.Value(raw, 4));
  sh.type = static_cast<std::uint32_t>(elf.Value(raw + 4, 4));
  sh.offset = t.is64 ? elf.Value(raw + 0x18, 8) : elf.Value(raw + 0x10, 4);
  sh.size = t.is64 ? elf.Value(raw + 0x20, 8) : elf.Value(raw + 0x14, 4);
  sh.link = static_cast<std::uint32_t>(elf.Value(raw + (t.is64 ? 0x28 : 0x18), 4));
  return true;
}

// Many sections: the real counts stand in the first section header.
bool ReadSectionCounts(const ElfReader& elf, SectionTable& t) {
  if (t.count == 0 || t.namesIndex == 0xFFFF) {
    SectionHeader first{};
    if (!ReadSection(elf, t, 0, first)) return false;
    if (t.count == 0) t.count = first.size;
    if (t.namesIndex == 0xFFFF) t.namesIndex = first.link;
  }
  return t.count != 0 && t.count <= kMaxSections && t.namesIndex < t.count;
}

bool ReadNameTable(const ElfReader& elf, const SectionTable& t, std::vector<char>& table) {
  SectionHeader names{};
  if (!ReadSection(elf, t, t.namesIndex, names) || names.type == kSectionNoBits) return false;
  if (names.size == 0 || names.size > kMaxNameTable) return false;
  table.resize(static_cast<std::size_t>(names.size));
  return elf.Read(names.offset, table.data(), table.size());
}

// Whether the name at offset `name` of the table is `what` (and ends in it).
bool NameIs(const std::vector<char>& table, std::uint32_t name, const char* what) {
  if (name >= table.size()) return false;
  const std::size_t maxLen = table.size() - name;
  if (strnlen(table.data() + name, maxLen) == maxLen) return false;  // not terminated
  return std::strcmp(table.data() + name, what) == 0;
}

// The record at the start of the version section.
bool ReadRecord(const ElfReader& elf, const SectionHeader& sh, platform::VersionRecord& record) {
  if (sh.type == kSectionNoBits || sh.size < kRecordSize) return false;
  unsigned char raw[kRecordSize];
  if (!elf.Read(sh.offset, raw, sizeof raw)) return false;
  if (std::memcmp(raw, kRecordMagic, sizeof kRecordMagic) != 0) return false;
  auto le32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(raw[at]) | (static_cast<std::uint32_t>(raw[at + 1]) << 8) |
           (static_cast<std::uint32_t>(raw[at + 2]) << 16) | (static_cast<std::uint32_t>(raw[at + 3]) << 24);
  };
  record = {le32(8), le32(12), le32(16), le32(20)};
  return true;
}

bool FindRecord(int fd, std::uint64_t fileSize, platform::VersionRecord& record) {
  ElfReader elf(fd, fileSize);
  SectionTable t;
  std::vector<char> table;
  if (!ReadElfHeader(elf, t) || !ReadSectionCounts(elf, t) || !ReadNameTable(elf, t, table)) return false;
  for (std::uint64_t i = 0; i < t.count; ++i) {
    SectionHeader sh{};
    if (!ReadSection(elf, t, i, sh)) return false;
    if (NameIs(table, sh.name, kSectionName)) return ReadRecord(elf, sh, record);
  }
  return false;
}

// Reads the record of a Windows-named file, setting the last error.
bool RecordOfFile(LPCSTR name, platform::VersionRecord& record) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const std::string host = platform::MapToHostPath(name);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) {
    SetLastError(errno == ENOENT ? platform::MissingPathError(host) : platform::Win32ErrorFromErrno(errno));
    return false;
  }
  if (!S_ISREG(st.st_mode)) {  // a directory, a FIFO, a device: not even opened
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return false;
  }
  if (!platform::ReadVersionRecord(host, record)) {
    if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return false;
  }
  return true;
}

}  // namespace

namespace platform {

bool ReadVersionRecord(const std::string& hostPath, VersionRecord& record) {
  SetLastError(ERROR_SUCCESS);
  // Only a regular file is read: a FIFO or a device would make the open wait.
  const int fd = OpenRegularFile(hostPath, O_RDONLY);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  struct stat st {};
  bool found = false;
  if (::fstat(fd, &st) == 0) found = FindRecord(fd, static_cast<std::uint64_t>(st.st_size), record);
  ::close(fd);
  return found;
}

}  // namespace platform

DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
  if (lpdwHandle) *lpdwHandle = 0;
  platform::VersionRecord record{};
  if (!RecordOfFile(lptstrFilename, record)) return 0;
  return sizeof(VersionBlock);
}

BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
  if (!lpData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  platform::VersionRecord record{};
  if (!RecordOfFile(lptstrFilename, record)) return FALSE;
  if (dwLen < sizeof(VersionBlock)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  VersionBlock block{};
  std::memcpy(block.magic, kBlockMagic, sizeof kBlockMagic);
  block.size = sizeof(VersionBlock);
  VS_FIXEDFILEINFO& f = block.fixed;
  f.dwSignature = VS_FFI_SIGNATURE;
  f.dwStrucVersion = VS_FFI_STRUCVERSION;
  f.dwFileVersionMS = MAKELONG(static_cast<WORD>(record.Minor), static_cast<WORD>(record.Major));
  f.dwFileVersionLS = MAKELONG(static_cast<WORD>(record.Build), static_cast<WORD>(record.Release));
  f.dwProductVersionMS = f.dwFileVersionMS;
  f.dwProductVersionLS = f.dwFileVersionLS;
  f.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  f.dwFileOS = VOS_NT_WINDOWS32;
  f.dwFileType = VFT_APP;
  std::memcpy(lpData, &block, sizeof block);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
  if (puLen) *puLen = 0;
  if (!pBlock || !lpSubBlock || !lplpBuffer) return FALSE;
  const auto* block = static_cast<const VersionBlock*>(pBlock);
  if (std::memcmp(block->magic, kBlockMagic, sizeof kBlockMagic) != 0) return FALSE;
  if (std::strcmp(lpSubBlock, "\\") != 0) return FALSE;  // only the root block exists
  *lplpBuffer = const_cast<VS_FIXEDFILEINFO*>(&block->fixed);
  if (puLen) *puLen = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}
