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

}  // namespace

namespace platform {
ClipboardBackend SetClipboardBackend(ClipboardBackend B) {
  ClipboardBackend old = Backend();
  Backend() = std::move(B);
  return old;
}
}  // namespace platform

TClipboard* Clipboard() {
  static TClipboard c;
  return &c;
}

AnsiString TClipboard::AsText() {
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
