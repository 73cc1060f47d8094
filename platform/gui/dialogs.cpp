// Message boxes through a replaceable presenter.
#include "platform/gui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>
#include <string>

#include "platform/gui/forms.h"
#include "platform/gui/qt_internal.h"
#include "platform/rtl/codepage.h"

namespace {

// A text too large for the screen goes into a scrollable read-only box.
bool TooLargeForScreen(const QString& text) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  const QRect avail = screen->availableGeometry();
  const QFontMetrics fm(QApplication::font());
  const QRect need = fm.boundingRect(QRect(0, 0, avail.width() * 3 / 4, 1 << 20), Qt::TextWordWrap, text);
  return need.height() > avail.height() * 3 / 4 || need.width() > avail.width() * 3 / 4;
}

int ScrollingBox(QWidget* parent, const QString& title, const QString& text) {
  QDialog dlg(parent);
  dlg.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dlg);
  auto* view = new QPlainTextEdit(&dlg);
  view->setReadOnly(true);
  view->setPlainText(text);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(view);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  layout->addWidget(buttons);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    dlg.resize(avail.width() * 3 / 4, avail.height() * 3 / 4);
  }
  dlg.exec();
  return IDOK;
}

// A platform without a screen (offscreen, minimal) has nobody to answer a
// modal box, which would then wait for ever: the box goes to the standard
// error output instead and is answered with its default button.
bool NobodyToAnswer() {
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

int ReportedBox(const AnsiString& Text, const AnsiString& Caption, int Answer) {
  const std::string line = "Meldung [" + platform::AnsiToUtf8(Caption) + "]: " + platform::AnsiToUtf8(Text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return Answer;
}

// The captions of the platform's message box buttons.
const char* ButtonCaption(int Id) {
  switch (Id) {
    case IDCANCEL: return "Abbrechen";
    case IDABORT: return "&Abbrechen";
    case IDRETRY: return "&Wiederholen";
    case IDIGNORE: return "&Ignorieren";
    case IDYES: return "&Ja";
    case IDNO: return "&Nein";
    default: return "OK";
  }
}

int QtPresenter(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
  if (!QApplication::instance()) return IDOK;
  QWidget* parent = platform::WidgetOf(FindControl(Owner));
  if ((Flags & 0x0F) == MB_OK && !NobodyToAnswer() && TooLargeForScreen(platform::ToQString(Text)))
    return ScrollingBox(parent, platform::ToQString(Caption), platform::ToQString(Text));
  QMessageBox box(parent);
  box.setWindowTitle(platform::ToQString(Caption));
  box.setText(platform::ToQString(Text));
  switch (Flags & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct B {
    QMessageBox::StandardButton b;
    int id;
  };
  std::vector<B> buttons;
  switch (Flags & 0x0F) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
      buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
      break;
    case MB_YESNOCANCEL:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
  }
  QMessageBox::StandardButtons sb;
  for (auto& b : buttons) sb |= b.b;
  box.setStandardButtons(sb);
  // The buttons speak the program's language, as the platform's own do.
  for (auto& b : buttons)
    if (QAbstractButton* button = box.button(b.b)) button->setText(platform::ToQString(ButtonCaption(b.id)));
  const int def = (Flags >> 8) & 3;
  if (def < static_cast<int>(buttons.size())) box.setDefaultButton(buttons[static_cast<std::size_t>(def)].b);
  if (NobodyToAnswer())
    return ReportedBox(Text, Caption,
                       buttons[def < static_cast<int>(buttons.size()) ? static_cast<std::size_t>(def) : 0].id);
  const int r = box.exec();
  for (auto& b : buttons)
    if (b.b == r) return b.id;
  return buttons.size() > 1 && (Flags & 0x0F) != MB_YESNO ? IDCANCEL : buttons.front().id;
}

platform::MessageBoxPresenter& Presenter() {
  static platform::MessageBoxPresenter p;
  return p;
}

}  // namespace

namespace platform {
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter P) {
  MessageBoxPresenter old = std::move(Presenter());
  Presenter() = std::move(P);
  return old;
}
}  // namespace platform

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  const AnsiString text = lpText ? lpText : "";
  const AnsiString caption = lpCaption ? lpCaption : "Fehler";
  if (Presenter()) return Presenter()(hWnd, text, caption, uType);
  return QtPresenter(hWnd, text, caption, uType);
}

void ShowMessage(const AnsiString& Msg) {
  AnsiString title = Application->Title();
  if (title.empty()) {
    const AnsiString exe = Application->ExeName();
    title = ChangeFileExt(ExtractFileName(exe), "");
  }
  MessageBoxA(nullptr, Msg.c_str(), title.c_str(), MB_OK);
}
