// The combo box (TCustomComboBox) over a QComboBox: its list, its edit
// part with the platform's edit menu, owner draw and type-ahead.
#include "platform/gui/stdctrls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/gui/clipbrd.h"
#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

using platform::AnswerItemText;
using platform::AnswerMeasureItem;
using platform::DrawItemText;
using platform::FollowItemChange;
using platform::FromQString;
using platform::ItemChange;
using platform::kTypeAheadPause;
using platform::OwnerDrawDelegate;
using platform::PaintOwnerItem;
using platform::PopupEditMenu;
using platform::ToQString;

// ---------------------------------------------------------------- TCustomComboBox

namespace {

// The platform's open list: DropDownCount rows below the box, above it only
// where there is no room below, scrolling over the rest, the row under the
// mouse highlighted.  (Fusion would open a menu over the box, as tall as
// all the entries and the screen allow.)
class ComboListStyle : public QProxyStyle {
public:
  explicit ComboListStyle(const QString& Key) : QProxyStyle(Key) {}
  int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                QStyleHintReturn* Return) const override {
    if (Hint == SH_ComboBox_Popup) return 0;
    if (Hint == SH_ComboBox_ListMouseTracking) return 1;
    return QProxyStyle::styleHint(Hint, Option, Widget, Return);
  }
};

// One for all boxes, on the application's style.
QStyle* ComboStyle() {
  static QPointer<QStyle> style, of;
  if (!style || of != QApplication::style()) {
    of = QApplication::style();
    style = new ComboListStyle(of ? of->name() : QString());
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

class ComboPeer : public platform::Peer<QComboBox> {
public:
  explicit ComboPeer(TCustomComboBox* Box)
      : Peer(Box), FBox(Box), FItems(new platform::ItemListModel(this, &Box->ItemList())) {
    // Before the list exists: its container takes the style's choices.
    setStyle(ComboStyle());
    setModel(FItems);
    setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(this, qOverload<int>(&QComboBox::activated),
                     [this](int i) { platform::Guarded([this, i] { FBox->NativeActivated(i); }); });
  }
  void showPopup() override {
    const HWND h = Handle();
    platform::Guarded([this] { FBox->NativeDroppedDown(); });
    if (!FindControl(h)) return;
    QComboBox::showPopup();
    PlaceList();
    // As the platform's list opens: the selection at the top where the
    // entries below it fill the list.
    if (view() && view()->currentIndex().isValid())
      view()->scrollTo(view()->currentIndex(), QAbstractItemView::PositionAtTop);
  }
  void hidePopup() override {
    const bool wasOpen = view() && view()->isVisible();
    QComboBox::hidePopup();
    if (wasOpen) platform::Guarded([this] { FBox->NativeClosedUp(); });
  }
  platform::ItemListModel* Items() const { return FItems; }
  bool PopupOpen() const { return view() && view()->window()->isVisible(); }
  // Selects Index in the box and in its list: the list's view keeps a
  // current row of its own, which Enter in the open list takes.
  void ShowIndex(int Index) {
    QSignalBlocker block(this);
    setCurrentIndex(Index);
    QAbstractItemView* v = view();
    if (!v || !v->selectionModel()) return;
    QSignalBlocker blockView(v->selectionModel());
    const QModelIndex i = model()->index(Index, modelColumn(), rootModelIndex());
    if (i.isValid()) {
      v->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
      v->scrollTo(i);
    } else {
      v->selectionModel()->clear();
    }
    v->viewport()->update();
  }
  // The open list's current row (-1 when closed or none).
  int ListRow() const {
    if (!PopupOpen()) return -1;
    const QModelIndex i = view()->currentIndex();
    return i.isValid() ? i.row() : -1;
  }

protected:
  // The platform gives the wheel to the control with the focus: a box that
  // has it steps its selection as the arrow keys do, any other keeps it.
  void wheelEvent(QWheelEvent* Event) override {
    if (hasFocus() || (lineEdit() && lineEdit()->hasFocus())) {
      QComboBox::wheelEvent(Event);
      return;
    }
    Event->accept();
  }
  void paintEvent(QPaintEvent* Event) override {
    const TComboBoxStyle st = FBox->Style();
    if (isEditable() || (st != csOwnerDrawFixed && st != csOwnerDrawVariable)) {
      QComboBox::paintEvent(Event);
      return;
    }
    // The face of an owner-drawn box: the frame and arrow from the style,
    // the selected item from the control.
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect r = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    UINT state = ODS_COMBOBOXEDIT;
    if (hasFocus() && !PopupOpen()) state |= ODS_SELECTED | ODS_FOCUS;
    if (!isEnabled()) state |= ODS_DISABLED;
    platform::SendDrawItem(FBox, &p, r, FBox->ItemIndex(), state, ODT_COMBOBOX);
  }

private:
  TCustomComboBox* FBox;

  // Qt lays the list over the box's last (or first) row of pixels; the
  // platform's list begins right beside the box.
  void PlaceList() {
    QWidget* list = view() ? view()->window() : nullptr;
    if (!list || list == window() || !list->isVisible()) return;
    const QRect box(mapToGlobal(QPoint(0, 0)), size());
    QRect r = list->geometry();
    if (r.top() == box.bottom())
      r.moveTop(box.bottom() + 1);
    else if (r.bottom() == box.top())
      r.moveBottom(box.top() - 1);
    else
      return;
    if (screen() && !screen()->geometry().contains(r)) return;
    list->setGeometry(r);
  }
  platform::ItemListModel* FItems;
};

ComboPeer* ComboOf(const TControl* C) { return dynamic_cast<ComboPeer*>(platform::PeerOf(C)); }

// The edit part of an edit-style box, with the platform's edit menu (Qt's
// box has none there); cut, copy and paste use the class library's
// clipboard.
class ComboEdit : public QLineEdit {
public:
  explicit ComboEdit(QWidget* Parent) : QLineEdit(Parent) {}

protected:
  void contextMenuEvent(QContextMenuEvent* Event) override {
    QPointer<QLineEdit> self(this);
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (!self) return;
    PopupEditMenu(this, Event->globalPos(), [self](UINT Msg) {
      if (!self) return;
      switch (Msg) {
        case WM_UNDO: self->undo(); break;
        case WM_CUT:
        case WM_COPY:
          Clipboard()->SetAsText(FromQString(self->selectedText()));
          if (Msg == WM_CUT) self->del();
          break;
        case WM_PASTE: self->insert(ToQString(Clipboard()->AsText())); break;
        case WM_CLEAR: self->del(); break;
        default: self->selectAll(); break;
      }
    });
  }
};

}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<platform::ItemStore>()),
      FStrings(std::make_unique<platform::ControlStrings>(
          FItems.get(), [this] { return FSorted; },
          [this](platform::ItemChange k, int i) { ItemsChanged(k, i); })),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

platform::WidgetPeer* TCustomComboBox::CreatePeer() { return new ComboPeer(this); }

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  if (c->view()) {
    c->view()->setItemDelegate(new OwnerDrawDelegate(c->view(), this, ODT_COMBOBOX));
    platform::ForwardEvents(c->view(), this);
  }
  UpdatePeer();
}

void TCustomComboBox::UpdatePeer() {
  TWinControl::UpdatePeer();
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  QSignalBlocker block(c);
  const bool editable = HasEdit();
  if (c->isEditable() != editable) {
    c->setEditable(editable);
    if (editable && c->lineEdit()) {
      c->setLineEdit(new ComboEdit(c));
      c->lineEdit()->setContextMenuPolicy(Qt::DefaultContextMenu);
      c->setCompleter(nullptr);
      c->lineEdit()->setMaxLength(INT_MAX);
      platform::ForwardEvents(c->lineEdit(), this);
      QLineEdit* le = c->lineEdit();
      QObject::connect(le, &QLineEdit::textEdited,
                       [this](const QString&) { platform::Guarded([this] { NativeEditTextEdited(); }); });
    }
  }
  if (c->view()) {
    // The open list scrolls only up and down, as the platform's does.
    c->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Our delegate draws the owner-drawn styles; the others keep the style's.
    auto* d = dynamic_cast<OwnerDrawDelegate*>(c->view()->itemDelegate());
    if (IsOwnerDraw() && !d)
      c->view()->setItemDelegate(new OwnerDrawDelegate(c->view(), this, ODT_COMBOBOX));
    else if (!IsOwnerDraw() && d)
      c->view()->setItemDelegate(new QStyledItemDelegate(c->view()));
  }
  c->setMaxVisibleItems(std::max(1, FDropDownCount));
  MirrorItems();
}

void TCustomComboBox::MirrorItems() {
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  QSignalBlocker block(c);
  c->Items()->Reset();
  MirrorSelection();
  if (c->isEditable())
    c->setEditText(FItemIndex >= 0 ? ToQString((*FItems)[FItemIndex].Text) : ToQString(TControl::GetText()));
}

void TCustomComboBox::MirrorSelection() {
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  c->ShowIndex(FItemIndex);
  c->update();
}

void TCustomComboBox::ItemsChanged(ItemChange Kind, int Index) {
  FollowItemChange(FItemIndex, Kind, Index);
  FListFrom = kNoListMove;
  if (FStrings->UpdateCount() > 0 && Kind != ItemChange::UpdateEnded) return;
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  QSignalBlocker block(c);
  switch (Kind) {
    case ItemChange::Inserted: c->Items()->Inserted(Index); break;
    case ItemChange::Deleted: c->Items()->Removed(Index); break;
    case ItemChange::Replaced: c->Items()->Changed(Index); break;
    case ItemChange::Cleared:
    case ItemChange::UpdateEnded: MirrorItems(); return;
  }
  MirrorSelection();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) UpdatePeer();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (Value) {
    FItems->Sort();
    MirrorItems();
  }
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value > 0) FItemHeight = Value;
  if (ComboPeer* c = ComboOf(this)) {
    if (c->view()) c->view()->doItemsLayout();
    c->update();
  }
}

void TCustomComboBox::SetDropDownCount(int Value) {
  FDropDownCount = Value;
  if (ComboPeer* c = ComboOf(this)) c->setMaxVisibleItems(std::max(1, Value));
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= static_cast<int>(FItems->size())) Value = -1;
  FItemIndex = Value;
  FListFrom = kNoListMove;
  if (HasEdit()) {
    const AnsiString t = Value >= 0 ? (*FItems)[static_cast<std::size_t>(Value)].Text : AnsiString();
    TControl::SetTextValue(t);
    if (ComboPeer* c = ComboOf(this)) {
      c->ShowIndex(Value);
      QSignalBlocker block(c);
      c->setEditText(ToQString(t));
    }
    return;
  }
  MirrorSelection();
}

AnsiString TCustomComboBox::GetText() {
  if (HasEdit()) {
    if (ComboPeer* c = ComboOf(this)) return FromQString(c->currentText());
    return TControl::GetText();
  }
  return FItemIndex >= 0 ? (*FItems)[static_cast<std::size_t>(FItemIndex)].Text : AnsiString();
}

void TCustomComboBox::SetTextValue(const AnsiString& Value) {
  if (!HasEdit()) {
    SetItemIndex(FindString(Value, -1, true));
    return;
  }
  TControl::SetTextValue(Value);
  FItemIndex = FindString(Value, -1, true);
  FListFrom = kNoListMove;
  if (ComboPeer* c = ComboOf(this)) {
    c->ShowIndex(FItemIndex);
    QSignalBlocker block(c);
    c->setEditText(ToQString(Value));
  }
}

bool TCustomComboBox::DroppedDown() {
  if (ComboPeer* c = ComboOf(this)) return c->PopupOpen();
  return FDroppedDown;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (ComboPeer* c = ComboOf(this)) {
    if (Value == c->PopupOpen()) return;
    if (Value)
      c->showPopup();
    else
      c->hidePopup();
    return;
  }
  if (Value == FDroppedDown) return;
  FDroppedDown = Value;
  if (Value)
    DropDown();
  else
    CloseUp();
}

void TCustomComboBox::CloseList(bool Take) {
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  const int row = c->ListRow();
  const int before = SelectionBeforeList();
  Take = Take && row >= 0 && row < static_cast<int>(FItems->size());
  // A list that closes with its entry taken does not go back first.
  if (Take) FListFrom = kNoListMove;
  c->hidePopup();
  if (Take)
    TakeListIndex(row, before);
  else
    MirrorSelection();
}

void TCustomComboBox::NativeDroppedDown() { DropDown(); }
void TCustomComboBox::NativeClosedUp() {
  // Closed without Enter: the arrow keys' entry was not taken.
  if (FListFrom != kNoListMove) SetItemIndex(FListFrom);
  CloseUp();
}

int TCustomComboBox::SelStart() {
  if (ComboPeer* c = ComboOf(this))
    if (QLineEdit* e = c->lineEdit()) return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return FEditSelStart;
}

void TCustomComboBox::SetSelStart(int Value) {
  FEditSelStart = std::max(0, Value);
  FEditSelLength = 0;
  if (ComboPeer* c = ComboOf(this))
    if (QLineEdit* e = c->lineEdit()) {
      e->deselect();
      e->setCursorPosition(Value);
    }
}

int TCustomComboBox::SelLength() {
  if (ComboPeer* c = ComboOf(this))
    if (QLineEdit* e = c->lineEdit()) return e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0;
  return FEditSelLength;
}

void TCustomComboBox::SetSelLength(int Value) {
  const int s = SelStart();
  const int len = static_cast<int>(GetText().size());
  FEditSelStart = s;
  FEditSelLength = std::clamp(Value, 0, std::max(0, len - s));
  if (ComboPeer* c = ComboOf(this))
    if (QLineEdit* e = c->lineEdit()) e->setSelection(s, FEditSelLength);
}

AnsiString TCustomComboBox::SelText() {
  const AnsiString t = GetText();
  const int s = std::min(SelStart(), static_cast<int>(t.size()));
  return t.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(SelLength()));
}

void TCustomComboBox::SelectAll() {
  SetSelStart(0);
  SetSelLength(static_cast<int>(GetText().size()));
}

void TCustomComboBox::Clear() {
  FStrings->Clear();
  TControl::SetTextValue("");
  if (ComboPeer* c = ComboOf(this)) {
    QSignalBlocker block(c);
    if (c->isEditable()) c->setEditText(QString());
  }
}

int TCustomComboBox::FindString(const AnsiString& S, int After, bool Exact) const {
  return platform::FindItemPrefix(*FItems, S, After, Exact);
}

void TCustomComboBox::NativeActivated(int Index) {
  if (Index < -1 || Index >= static_cast<int>(FItems->size())) return;
  FItemIndex = Index;
  FListFrom = kNoListMove;
  if (HasEdit()) {
    const AnsiString t = Index >= 0 ? (*FItems)[static_cast<std::size_t>(Index)].Text : AnsiString();
    TControl::SetTextValue(t);
  }
  Click();
  Select();
}

int TCustomComboBox::SelectionBeforeList() const { return FListFrom != kNoListMove ? FListFrom : FItemIndex; }

void TCustomComboBox::PreviewListIndex(int Index) {
  const int before = SelectionBeforeList();
  SetItemIndex(Index);
  FListFrom = before;
}

void TCustomComboBox::TakeListIndex(int Index, int Before) {
  SetItemIndex(Index);
  if (Index == Before) return;
  Click();
  Select();
}

void TCustomComboBox::NativeEditTextEdited() {
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  const AnsiString t = FromQString(c->currentText());
  TControl::SetTextValue(t);
  FItemIndex = FindString(t, -1, true);
  FListFrom = kNoListMove;
  Change();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::KeyPress(char& Key) {
  TWinControl::KeyPress(Key);
  if (!FAutoComplete || Key == 0) return;
  const auto ch = static_cast<unsigned char>(Key);
  if (ch < ' ' && ch != VK_BACK) return;
  if (HasEdit()) {
    // Completes the edit text with the first item that begins with it.
    if (ch == VK_BACK) return;
    const AnsiString t = GetText();
    const int s = SelStart();
    const AnsiString typed =
        t.substr(0, static_cast<std::size_t>(std::min<int>(s, static_cast<int>(t.size())))) + Key;
    const int i = FindString(typed, -1, false);
    if (i < 0) return;
    const bool changed = i != FItemIndex;
    const AnsiString full = typed + (*FItems)[static_cast<std::size_t>(i)].Text.substr(typed.size());
    SetTextValue(full);
    FItemIndex = i;
    if (ComboPeer* c = ComboOf(this)) {
      c->ShowIndex(i);
      QSignalBlocker block(c);
      c->setEditText(ToQString(full));
    }
    SetSelStart(static_cast<int>(typed.size()));
    SetSelLength(static_cast<int>(full.size() - typed.size()));
    Key = 0;
    if (changed) {
      Click();
      Select();
    } else {
      Change();
    }
    return;
  }
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - FLastTyped) > kTypeAheadPause) FTypedText.clear();
  FLastTyped = now;
  if (ch == VK_BACK) {
    if (!FTypedText.empty()) FTypedText.pop_back();
    Key = 0;
    return;
  }
  const AnsiString candidate = FTypedText + Key;
  const int i = FindString(candidate, -1, false);
  if (i < 0) return;
  FTypedText = candidate;
  Key = 0;
  if (i == FItemIndex) return;
  SetItemIndex(i);
  Click();
  Select();
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
  const UINT raw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->itemState;
  TOwnerDrawState state = TOwnerDrawState::FromBits(raw & 0xFFFF);
  if (raw & ODS_COMBOBOXEDIT) state << odComboBoxEdit;
  if (raw & ODS_DEFAULT) state << odDefault;
  PaintOwnerItem(*FCanvas, *this, Message, state, false,
                 [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  DrawItemText(*FCanvas, *FItems, Index, Rect);
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  AnswerMeasureItem(Message, FItemHeight, [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

// F4, Alt+Up and Alt+Down open the list and close it again; closing keeps
// the entry it shows.  In the open list the other keys move in it, take its
// entry or close it (OpenListKey).
bool TCustomComboBox::ListKeyDown(TMessage& Message) {
  ComboPeer* c = ComboOf(this);
  const auto key = static_cast<WORD>(Message.WParam);
  const bool alt = (Message.LParam & (static_cast<LPARAM>(1) << 29)) != 0;
  if (alt ? (key == VK_UP || key == VK_DOWN) : key == VK_F4) {
    if (c && c->PopupOpen())
      CloseList(true);
    else
      SetDroppedDown(!DroppedDown());
    return true;
  }
  if (Message.Msg != WM_KEYDOWN || !c || !c->PopupOpen()) return false;
  return OpenListKey(key, Message.LParam);
}

// The entry a key moves to in the open list from entry At, or kNoListMove
// for a key that does not move there.
int TCustomComboBox::ListKeyTarget(WORD Key, int At, int Page) const {
  switch (Key) {
    case VK_UP: return At - 1;
    case VK_DOWN: return At + 1;
    case VK_PRIOR: return At - Page;
    case VK_NEXT: return At < 0 ? Page - 1 : At + Page;
    case VK_HOME: return 0;
    case VK_END: return static_cast<int>(FItems->size()) - 1;
    default: return kNoListMove;
  }
}

// The open list: the arrow keys move the selection of the box and of the
// list together; Enter takes it, closing the list otherwise goes back to
// the entry selected before.
bool TCustomComboBox::OpenListKey(WORD Key, LPARAM KeyData) {
  ComboPeer* c = ComboOf(this);
  const int count = static_cast<int>(FItems->size());
  const int row = c->ListRow();
  const int to = ListKeyTarget(Key, row >= 0 ? row : FItemIndex, std::max(1, c->maxVisibleItems() - 1));
  if (to != kNoListMove) {
    if (count > 0) PreviewListIndex(std::clamp(to, 0, count - 1));
    return true;
  }
  // Enter keeps the entry the list shows, Esc the selection; both close
  // the list, and their character follows as it would after the key.
  if (Key != VK_RETURN && Key != VK_ESCAPE) return false;
  const HWND h = Handle();
  CloseList(Key == VK_RETURN);
  if (FindControl(h) == this) Perform(WM_CHAR, Key, KeyData);  // Enter types VK_RETURN, Esc VK_ESCAPE
  return true;
}

// A character the box does not take: the list styles have no native
// type-ahead here (ours is KeyPress), and the edit part takes no more than
// MaxLength characters.
bool TCustomComboBox::RefusesChar(const TMessage& Message) {
  const auto ch = static_cast<unsigned char>(Message.WParam);
  if (ch < ' ') return false;
  if (!HasEdit()) return true;
  return FMaxLength > 0 && static_cast<int>(GetText().size()) - SelLength() >= FMaxLength;
}

void TCustomComboBox::CBGetEditSel(TMessage& Message) {
  int s = 0, e = 0;
  if (HasEdit()) {
    s = SelStart();
    e = s + SelLength();
  }
  if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = static_cast<DWORD>(s);
  if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = static_cast<DWORD>(e);
  Message.Result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s), static_cast<WORD>(e)));
}

void TCustomComboBox::CBSetEditSel(TMessage& Message) {
  if (!HasEdit()) {
    Message.Result = CB_ERR;
    return;
  }
  const int len = static_cast<int>(GetText().size());
  const int s = static_cast<SHORT>(LOWORD(static_cast<DWORD>(Message.LParam)));
  int e = static_cast<SHORT>(HIWORD(static_cast<DWORD>(Message.LParam)));
  if (s < 0) {
    SetSelStart(SelStart());
  } else {
    if (e < 0 || e > len) e = len;
    SetSelStart(std::min(s, len));
    SetSelLength(std::max(0, e - std::min(s, len)));
  }
  Message.Result = 1;
}

// The CB_ messages of the items, the selection and the list; false for any
// other message.
bool TCustomComboBox::CBItemMessage(TMessage& Message) {
  switch (Message.Msg) {
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      Message.Result = FindString(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "",
                                  static_cast<int>(static_cast<std::intptr_t>(Message.WParam)),
                                  Message.Msg == CB_FINDSTRINGEXACT);
      return true;
    case CB_SETCURSEL: {
      const int i = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
      SetItemIndex(i);
      Message.Result = (i >= 0 && i == FItemIndex) ? i : CB_ERR;
      return true;
    }
    case CB_GETCURSEL: Message.Result = FItemIndex; return true;
    case CB_GETCOUNT: Message.Result = static_cast<LRESULT>(FItems->size()); return true;
    case CB_GETLBTEXTLEN:
    case CB_GETLBTEXT: AnswerItemText(Message, *FItems, Message.Msg == CB_GETLBTEXT, CB_ERR); return true;
    case CB_GETITEMHEIGHT: Message.Result = FItemHeight; return true;
    case CB_SETITEMHEIGHT: SetItemHeight(static_cast<int>(Message.LParam)); return true;
    case CB_SHOWDROPDOWN:
      SetDroppedDown(Message.WParam != 0);
      Message.Result = 1;
      return true;
    case CB_GETDROPPEDSTATE: Message.Result = DroppedDown() ? 1 : 0; return true;
    case CB_LIMITTEXT:
      FMaxLength = static_cast<int>(Message.WParam);
      Message.Result = 1;
      return true;
    default: return false;
  }
}

void TCustomComboBox::DefaultHandler(TMessage& Message) {
  bool handled = false;
  switch (Message.Msg) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN: handled = ListKeyDown(Message); break;
    case WM_CHAR: handled = RefusesChar(Message); break;
    case CB_GETEDITSEL: CBGetEditSel(Message); return;
    case CB_SETEDITSEL: CBSetEditSel(Message); return;
    default: handled = CBItemMessage(Message); break;
  }
  if (!handled) TWinControl::DefaultHandler(Message);
}
