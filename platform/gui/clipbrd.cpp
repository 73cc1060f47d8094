// The clipboard as plain text.
#include "platform/gui/clipbrd.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

#include "platform/rtl/codepage.h"

namespace {

platform::ClipboardBackend& Backend() {
  static platform::ClipboardBackend b;
  return b;
}

QClipboard* System() { return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr; }

// The text a ScopedPasteText puts in place of the clipboard's.
struct PasteOverride {
  bool Active = false;
  AnsiString Text;
};
PasteOverride& Override() {
  static PasteOverride o;
  return o;
}

}  // namespace

namespace platform {
ClipboardBackend SetClipboardBackend(ClipboardBackend B) {
  ClipboardBackend old = Backend();
  Backend() = std::move(B);
  return old;
}

bool PrimarySelectionText(AnsiString& Text) {
  if (Backend().GetSelectionUtf8) {
    Text = Utf8ToAnsi(Backend().GetSelectionUtf8());
    return true;
  }
  QClipboard* c = System();
  if (!c || !c->supportsSelection()) return false;
  Text = Utf8ToAnsi(c->text(QClipboard::Selection).toStdString());
  return true;
}

ScopedPasteText::ScopedPasteText(const AnsiString& Text)
    : FHadBefore(Override().Active), FBefore(Override().Text) {
  Override().Active = true;
  Override().Text = Text;
}

ScopedPasteText::~ScopedPasteText() {
  Override().Active = FHadBefore;
  Override().Text = FBefore;
}
}  // namespace platform

TClipboard* Clipboard() {
  static TClipboard c;
  return &c;
}

AnsiString TClipboard::AsText() {
  if (Override().Active) return Override().Text;
  if (Backend().GetUtf8) return platform::Utf8ToAnsi(Backend().GetUtf8());
  if (QClipboard* c = System()) return platform::Utf8ToAnsi(c->text().toStdString());
  return AnsiString();
}

void TClipboard::SetAsText(const AnsiString& Value) {
  const std::string utf8 = platform::AnsiToUtf8(Value);
  if (Backend().SetUtf8) {
    Backend().SetUtf8(utf8);
    return;
  }
  if (QClipboard* c = System()) c->setText(QString::fromStdString(utf8));
}

void TClipboard::Clear() {
  if (Backend().Clear) {
    Backend().Clear();
    return;
  }
  if (QClipboard* c = System()) c->clear();
}

bool TClipboard::HasText() { return !AsText().empty(); }
