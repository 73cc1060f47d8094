// Virtual memory: VirtualAlloc and VirtualFree over anonymous mappings.
#include <sys/mman.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/os/oscore_internal.h"
#include "platform/os/windows.h"

namespace {

// Regions from this size on are aligned to it and advised to the kernel as
// huge-page memory.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

struct Region {
  void* Base;  // of the mapping, which may start before the address given out
  std::size_t Length;
};

std::mutex g_regionMutex;
std::map<const void*, Region> g_regions;

}  // namespace

LPVOID VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect) {
  if (lpAddress != nullptr || dwSize == 0 || flAllocationType != (MEM_RESERVE | MEM_COMMIT) ||
      flProtect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const bool Huge = dwSize >= kHugePage;
  const std::size_t Length = Huge ? dwSize + kHugePage : dwSize;
  if (Length < dwSize) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* Base = ::mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (Base == MAP_FAILED) {
    platform::SetLastErrorFromErrno(errno);
    return nullptr;
  }
  void* Address = Base;
  if (Huge) {
    const auto Aligned = (reinterpret_cast<std::uintptr_t>(Base) + kHugePage - 1) & ~(kHugePage - 1);
    Address = reinterpret_cast<void*>(Aligned);
#if defined(MADV_HUGEPAGE)
    // Only advice: without huge pages the region works the same.
    ::madvise(Address, dwSize, MADV_HUGEPAGE);
#endif
  }
  std::lock_guard<std::mutex> Lock(g_regionMutex);
  g_regions[Address] = Region{Base, Length};
  SetLastError(ERROR_SUCCESS);
  return Address;
}

BOOL VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
  if (dwSize != 0 || dwFreeType != MEM_RELEASE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Region R;
  {
    std::lock_guard<std::mutex> Lock(g_regionMutex);
    const auto It = g_regions.find(lpAddress);
    if (It == g_regions.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    R = It->second;
    g_regions.erase(It);
  }
  ::munmap(R.Base, R.Length);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
