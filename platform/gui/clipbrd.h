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
  std::function<std::string()> GetUtf8;  // "" when empty
  std::function<void(const std::string& Utf8)> SetUtf8;
  std::function<void()> Clear;
  // The X11 primary selection (what was last selected anywhere, which a
  // middle click pastes); nullptr: the system's, where it has one.
  std::function<std::string()> GetSelectionUtf8;
};
// nullptr members restore the system clipboard; returns the one before.
ClipboardBackend SetClipboardBackend(ClipboardBackend Backend);

// The text of the primary selection; false where the system has none.
bool PrimarySelectionText(AnsiString& Text);

// While it lives, the clipboard's text reads as Text.  Text that reaches an
// edit without the clipboard (a drop, the primary selection) goes to the
// edit as WM_PASTE under it, so it passes the same rule as a paste.
class ScopedPasteText {
public:
  explicit ScopedPasteText(const AnsiString& Text);
  ~ScopedPasteText();
  ScopedPasteText(const ScopedPasteText&) = delete;
  ScopedPasteText& operator=(const ScopedPasteText&) = delete;

private:
  bool FHadBefore;
  AnsiString FBefore;
};

}  // namespace platform
