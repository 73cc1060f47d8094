// The clipboard as plain text.  Text is Windows-1252 here and Unicode on
// the system clipboard; a test backend can replace the system one.
#pragma once

#include <functional>

#include "platform/rtl/classes.h"

class TClipboard : public TPersistent {
  ZEL_CLASS(TClipboard, TPersistent)
public:
  AnsiString AsText();
  void SetAsText(const AnsiString& Value);
  void Clear();
  bool HasText();
  void Open() {}
  void Close() {}
};

// The process-wide clipboard object (made at first use).
TClipboard* Clipboard();

namespace platform {

struct ClipboardBackend {
  std::function<std::string()> GetUtf8;               // "" when empty
  std::function<void(const std::string& Utf8)> SetUtf8;
  std::function<void()> Clear;
};
// nullptr members restore the system clipboard; returns the one before.
ClipboardBackend SetClipboardBackend(ClipboardBackend Backend);

}  // namespace platform
