#include "foundation/getvers.h"

#include <memory>

#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

TVersion::TVersion(const AnsiString& FileName) : TVersion() { ReadVersion(FileName); }

void TVersion::ReadVersion(const AnsiString& FileName) {
  if (!FileExists(FileName)) {
    Major = -1;
    Minor = Release = Build = 0;
    return;
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
  if (size == 0) return;
  std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
  if (!GetFileVersionInfoA(FileName.c_str(), handle, size, buffer.get())) return;
  void* block = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(buffer.get(), "\\", &block, &len) || block == nullptr || len < sizeof(VS_FIXEDFILEINFO))
    return;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  Major = HIWORD(info->dwFileVersionMS);
  Minor = LOWORD(info->dwFileVersionMS);
  Release = HIWORD(info->dwFileVersionLS);
  Build = LOWORD(info->dwFileVersionLS);
}

AnsiString TVersion::GetVersionText() const { return Format("%d.%d.%d.%d", {Major, Minor, Release, Build}); }

AnsiString GetFileVersionText(const AnsiString& FileName) {
  AnsiString name = FileName;
  if (name.empty()) {
    char path[MAX_PATH + 2] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    name.assign(path, n < sizeof path ? n : sizeof path - 1);
  }
  auto version = std::make_unique<TVersion>(name);
  return version->GetVersionText();
}
