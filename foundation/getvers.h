// The four-part version of a program file, read from its version resource.
#pragma once

#include <cstdint>

#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"

class TVersion : public TObject {
  ZEL_CLASS(TVersion, TObject)
public:
  // All four parts 0.
  TVersion() = default;
  // The same, then ReadVersion(FileName).
  explicit TVersion(const AnsiString& FileName);

  // A missing file gives -1.0.0.0; a file without version resource leaves
  // the parts as they are.
  virtual void ReadVersion(const AnsiString& FileName);
  // "%d.%d.%d.%d" of Major, Minor, Release, Build.
  AnsiString GetVersionText() const;

  std::int32_t Major = 0;
  std::uint16_t Minor = 0;
  std::uint16_t Release = 0;
  std::uint16_t Build = 0;
};

// The version text of a file; an empty name means the running program.
AnsiString GetFileVersionText(const AnsiString& FileName);
