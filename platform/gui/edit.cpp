// The edit (TCustomEdit) over a QLineEdit, with the platform's edit menu
// (which the edit part of a combo box shows too).
#include "platform/gui/stdctrls.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/gui/clipbrd.h"
#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

using platform::CtrlChar;
using platform::CtrlDown;
using platform::FromQString;
using platform::ShiftDown;
using platform::ToQString;

// ---------------------------------------------------------------- TCustomEdit

namespace platform {

void PopupEditMenu(QLineEdit* Edit, const QPoint& Global, const std::function<void(UINT)>& Command) {
  const bool writable = !Edit->isReadOnly();
  const bool selected = Edit->hasSelectedText();
  const bool hidden = Edit->echoMode() != QLineEdit::Normal;
  const int length = static_cast<int>(Edit->text().size());
  const bool all = selected && Edit->selectedText().size() == length;
  auto* menu = new QMenu(Edit);
  auto entry = [&](const char* Caption, UINT Msg, bool Enabled) {
    QAction* a = menu->addAction(ToQString(Caption));
    a->setEnabled(Enabled);
    QObject::connect(a, &QAction::triggered, [Command, Msg] { platform::Guarded([&] { Command(Msg); }); });
  };
  entry(
      "&R\xFC"
      "ckg\xE4ngig",
      WM_UNDO, writable && Edit->isUndoAvailable());
  menu->addSeparator();
  entry("&Ausschneiden", WM_CUT, writable && selected && !hidden);
  entry("&Kopieren", WM_COPY, selected && !hidden);
  entry("&Einf\xFCgen", WM_PASTE, writable && Clipboard()->HasText());
  entry("&L\xF6schen", WM_CLEAR, writable && selected);
  menu->addSeparator();
  entry("Alles &markieren", EM_SETSEL, length > 0 && !all);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(Global);
}

}  // namespace platform

namespace {

class EditPeer : public platform::Peer<QLineEdit> {
public:
  explicit EditPeer(TCustomEdit* Edit) : Peer(Edit), FEdit(Edit) {
    setMaxLength(INT_MAX);
    QObject::connect(this, &QLineEdit::textEdited,
                     [this](const QString&) { platform::Guarded([this] { FEdit->NativeTextEdited(); }); });
  }

protected:
  // The edit menu, every entry going through the control's messages.  The
  // edit takes the focus first, as the platform's edit does for its menu.
  void contextMenuEvent(QContextMenuEvent* Event) override {
    const HWND h = Handle();
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (!FindControl(h)) return;
    PopupEditMenu(this, Event->globalPos(),
                  [h](UINT Msg) { SendMessage(h, Msg, 0, Msg == EM_SETSEL ? static_cast<LPARAM>(-1) : 0); });
  }
  // Dropped text and the primary selection (middle click) would go into the
  // text past the control's rules: they are pasted instead (WM_PASTE), at
  // the drop position or the caret, and what the paste refuses changes
  // nothing.  A drop is always a copy, so a refused one takes nothing away
  // from its source either.
  void dropEvent(QDropEvent* Event) override {
    if (!Event->mimeData() || !Event->mimeData()->hasText() || isReadOnly()) {
      Event->ignore();
      return;
    }
    const AnsiString text = platform::FromQString(Event->mimeData()->text());
    deselect();
    setCursorPosition(cursorPositionAt(Event->position().toPoint()));
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
    PasteAsMessage(text);
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    AnsiString selection;
    if (Event->button() == Qt::MiddleButton && platform::PrimarySelectionText(selection)) {
      Event->accept();
      if (!isReadOnly()) {
        deselect();
        PasteAsMessage(selection);
      }
      return;
    }
    QLineEdit::mouseReleaseEvent(Event);
  }

private:
  void PasteAsMessage(const AnsiString& Text) {
    const HWND h = Handle();
    platform::Guarded([&] {
      platform::ScopedPasteText paste(Text);
      SendMessage(h, WM_PASTE, 0, 0);
    });
  }
  TCustomEdit* FEdit;
};

QLineEdit* LineEditOf(const TControl* C) { return qobject_cast<QLineEdit*>(platform::WidgetOf(C)); }

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomEdit::~TCustomEdit() = default;

platform::WidgetPeer* TCustomEdit::CreatePeer() { return new EditPeer(this); }

void TCustomEdit::UpdatePeer() {
  TWinControl::UpdatePeer();
  QLineEdit* e = LineEditOf(this);
  if (!e) return;
  QSignalBlocker block(e);
  const QString t = ToQString(TControl::GetText());
  if (e->text() != t) e->setText(t);
  e->setReadOnly(FReadOnly);
  e->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
  e->setFrame(FBorderStyle != bsNone);
  const int len = static_cast<int>(e->text().size());
  const int s = std::clamp(FSelStart, 0, len);
  e->setSelection(s, std::clamp(FSelLength, 0, len - s));
  if (FSelLength == 0) e->setCursorPosition(s);
}

AnsiString TCustomEdit::GetText() {
  if (QLineEdit* e = LineEditOf(this)) return FromQString(e->text());
  return TControl::GetText();
}

void TCustomEdit::SetTextValue(const AnsiString& Value) {
  AnsiString v = Value;
  ApplyCase(v);
  TControl::SetTextValue(v);
  FSelStart = 0;
  FSelLength = 0;
  if (QLineEdit* e = LineEditOf(this)) {
    QSignalBlocker block(e);
    e->setText(ToQString(v));
    e->setCursorPosition(0);
  }
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::NativeTextEdited() {
  QLineEdit* e = LineEditOf(this);
  if (!e) return;
  AnsiString t = FromQString(e->text());
  AnsiString cased = t;
  ApplyCase(cased);
  if (cased != t) {
    const int pos = e->cursorPosition();
    QSignalBlocker block(e);
    e->setText(ToQString(cased));
    e->setCursorPosition(pos);
  }
  TControl::SetTextValue(cased);
  FModified = true;
  Change();
}

void TCustomEdit::ApplyCase(AnsiString& S) const {
  if (FCharCase == ecUpperCase) S = AnsiUpperCase(S);
  if (FCharCase == ecLowerCase) S = AnsiLowerCase(S);
}

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (QLineEdit* e = LineEditOf(this)) e->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value) {
  FPasswordChar = Value;
  if (QLineEdit* e = LineEditOf(this)) e->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  FCharCase = Value;
  AnsiString t = GetText();
  ApplyCase(t);
  SetText(t);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  if (QLineEdit* e = LineEditOf(this)) e->setFrame(Value != bsNone);
  AdjustHeight();
}

void TCustomEdit::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AdjustHeight();
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  AdjustHeight();
}

// The height of one line of the font plus the frame, as the class library
// sizes an edit.
void TCustomEdit::AdjustHeight() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  auto canvas = platform::CreateImageCanvas(1, 1);
  canvas->Font()->Assign(Font());
  TEXTMETRICA tm{};
  GetTextMetricsA(canvas->Handle(), &tm);
  SetHeight(tm.tmHeight + (FBorderStyle == bsNone ? 2 : 8));
}

int TCustomEdit::SelStart() {
  if (QLineEdit* e = LineEditOf(this)) return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return FSelStart;
}

void TCustomEdit::SetSelStart(int Value) {
  const int len = static_cast<int>(GetText().size());
  FSelStart = std::clamp(Value, 0, len);
  FSelLength = 0;
  if (QLineEdit* e = LineEditOf(this)) {
    e->deselect();
    e->setCursorPosition(FSelStart);
  }
}

int TCustomEdit::SelLength() {
  if (QLineEdit* e = LineEditOf(this))
    return e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0;
  return FSelLength;
}

void TCustomEdit::SetSelLength(int Value) {
  const int len = static_cast<int>(GetText().size());
  const int s = SelStart();
  FSelStart = s;
  FSelLength = std::clamp(Value, 0, len - s);
  if (QLineEdit* e = LineEditOf(this)) {
    if (FSelLength > 0)
      e->setSelection(s, FSelLength);
    else {
      e->deselect();
      e->setCursorPosition(s);
    }
  }
}

AnsiString TCustomEdit::SelText() {
  const AnsiString t = GetText();
  const int s = std::min(SelStart(), static_cast<int>(t.size()));
  return t.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const AnsiString& Value) { InsertText(Value, false); }

void TCustomEdit::SelectAll() {
  FSelStart = 0;
  FSelLength = static_cast<int>(GetText().size());
  if (QLineEdit* e = LineEditOf(this)) e->selectAll();
}

int TCustomEdit::Room(int Selected) {
  if (FMaxLength <= 0) return -1;
  return std::max(0, FMaxLength - (static_cast<int>(GetText().size()) - Selected));
}

// Replaces the selection with S and puts the caret after it.
void TCustomEdit::InsertText(const AnsiString& S, bool ByUser) {
  AnsiString ins = S;
  ApplyCase(ins);
  const AnsiString t = GetText();
  const int s = std::min(SelStart(), static_cast<int>(t.size()));
  const int l = std::min(SelLength(), static_cast<int>(t.size()) - s);
  const AnsiString n = t.substr(0, static_cast<std::size_t>(s)) + ins +
                       t.substr(static_cast<std::size_t>(s) + static_cast<std::size_t>(l));
  TControl::SetTextValue(n);
  FSelStart = s + static_cast<int>(ins.size());
  FSelLength = 0;
  if (QLineEdit* e = LineEditOf(this)) {
    QSignalBlocker block(e);
    e->setText(ToQString(n));
    e->setCursorPosition(FSelStart);
  }
  if (n == t) return;
  if (ByUser) FModified = true;
  Change();
}

void TCustomEdit::WMLButtonDown(TMessage& Message) {
  FMouseFocus = !Focused();
  TWinControl::WMLButtonDown(Message);
  FMouseFocus = false;
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && !FMouseFocus) {
    SelectAll();
  } else if (!FAutoSelect && !FMouseFocus) {
    // Qt selects everything when the focus comes by Tab; we do only with AutoSelect.
    if (QLineEdit* e = LineEditOf(this)) e->deselect();
  }
  TWinControl::CMEnter(Message);
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CHAR:
      if (CharMessage(Message)) return;
      break;
    case WM_KEYDOWN:
      if (ClipboardKey(static_cast<WORD>(Message.WParam))) return;
      break;
    case WM_COPY: CopySelection(); return;
    case WM_CUT: CutSelection(); return;
    case WM_CLEAR: DeleteSelection(); return;
    case WM_PASTE: PasteLine(); return;
    case EM_GETSEL: GetSelection(Message); return;
    case EM_SETSEL: SetSelection(Message); return;
    case EM_LIMITTEXT: FMaxLength = static_cast<int>(Message.WParam); return;
    case WM_UNDO:
    case EM_UNDO: UndoLastEdit(Message); return;
    case EM_CANUNDO:
      if (QLineEdit* e = LineEditOf(this)) Message.Result = e->isUndoAvailable() ? 1 : 0;
      return;
    case EM_SETREADONLY:
      SetReadOnly(Message.WParam != 0);
      Message.Result = 1;
      return;
    default: break;
  }
  TWinControl::DefaultHandler(Message);
}

// Ctrl+C, Ctrl+V and Ctrl+X as characters are the clipboard messages; a full
// text takes no more; what is typed gets the CharCase.
bool TCustomEdit::CharMessage(TMessage& Message) {
  const auto ch = static_cast<unsigned char>(Message.WParam);
  const UINT command = ch == CtrlChar('C')   ? WM_COPY
                       : ch == CtrlChar('V') ? WM_PASTE
                       : ch == CtrlChar('X') ? WM_CUT
                                             : 0;
  if (command) {
    Perform(command, 0, 0);
    return true;
  }
  if (ch < ' ' || FReadOnly) return false;
  if (Room(SelLength()) == 0) return true;  // the text is full
  if (FCharCase != ecNormal) {
    AnsiString c(1, static_cast<char>(ch));
    ApplyCase(c);
    Message.WParam = static_cast<unsigned char>(c[0]);
  }
  return false;
}

// Shift+Delete cuts, Shift+Insert pastes, Ctrl+Insert copies.
bool TCustomEdit::ClipboardKey(WORD Key) {
  UINT command = 0;
  if (Key == VK_DELETE && ShiftDown())
    command = WM_CUT;
  else if (Key == VK_INSERT && ShiftDown())
    command = WM_PASTE;
  else if (Key == VK_INSERT && CtrlDown())
    command = WM_COPY;
  if (command) Perform(command, 0, 0);
  return command != 0;
}

void TCustomEdit::CopySelection() {
  if (!FPasswordChar && SelLength() > 0) Clipboard()->SetAsText(SelText());
}

void TCustomEdit::CutSelection() {
  if (FPasswordChar) return;
  CopySelection();
  DeleteSelection();
}

void TCustomEdit::DeleteSelection() {
  if (!FReadOnly && SelLength() > 0) InsertText("", true);
}

// The clipboard's first line, as much of it as there is room for.
void TCustomEdit::PasteLine() {
  if (FReadOnly) return;
  AnsiString s = Clipboard()->AsText();
  const std::size_t br = s.find_first_of("\r\n");
  if (br != AnsiString::npos) s.resize(br);
  const int room = Room(SelLength());
  if (room >= 0 && static_cast<int>(s.size()) > room) s.resize(static_cast<std::size_t>(room));
  if (!s.empty() || SelLength() > 0) InsertText(s, true);
}

void TCustomEdit::GetSelection(TMessage& Message) {
  const int s = SelStart();
  const int e = s + SelLength();
  if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = static_cast<DWORD>(s);
  if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = static_cast<DWORD>(e);
  Message.Result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s), static_cast<WORD>(e)));
}

// Start -1 drops the selection; an end out of the text means its end.
void TCustomEdit::SetSelection(TMessage& Message) {
  const int len = static_cast<int>(GetText().size());
  int s = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  int e = static_cast<int>(Message.LParam);
  if (s == -1) {
    SetSelStart(SelStart());
    return;
  }
  if (e < 0 || e > len) e = len;
  s = std::clamp(s, 0, len);
  if (e < s) std::swap(s, e);
  SetSelStart(s);
  SetSelLength(e - s);
}

void TCustomEdit::UndoLastEdit(TMessage& Message) {
  if (QLineEdit* e = LineEditOf(this); e && !FReadOnly && e->isUndoAvailable()) {
    e->undo();
    Message.Result = 1;
  }
}
