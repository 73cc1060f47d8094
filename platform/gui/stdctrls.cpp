// Standard controls over Qt widgets: edit (QLineEdit), combo box
// (QComboBox), list box (QListView over the box's own items), button
// (QPushButton), check box (QCheckBox); the label draws itself.
#include "platform/gui/stdctrls.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QAbstractListModel>
#include <QItemSelection>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

#include "platform/gui/clipbrd.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_private.h"
#include "platform/gui/stdctrls_private.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

using platform::AnswerItemText;
using platform::AnswerMeasureItem;
using platform::ControlItem;
using platform::CtrlDown;
using platform::DrawItemText;
using platform::DrawPlatformFocusRect;
using platform::FollowItemChange;
using platform::FromQString;
using platform::kTypeAheadPause;
using platform::OwnerDrawDelegate;
using platform::PaintOwnerItem;
using platform::PopupEditMenu;
using platform::ShiftDown;
using platform::ToQString;

namespace platform {

bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace platform

// ---------------------------------------------------------------- item lists

namespace platform {

namespace {
constexpr std::size_t kBlockSize = 512;
bool TextLess(const ControlItem& a, const ControlItem& b) { return AnsiCompareText(a.Text, b.Text) < 0; }
}  // namespace

void ItemStore::Locate(int Index, std::size_t& Block, int& Offset) {
  // Start from the block found last: reading in order stays there or moves on by one.
  std::size_t b = FCacheBlock;
  int start = FCacheStart;
  if (b >= FBlocks.size() || Index < start) {
    b = 0;
    start = 0;
  }
  while (b < FBlocks.size() && Index >= start + static_cast<int>(FBlocks[b].size())) {
    start += static_cast<int>(FBlocks[b].size());
    ++b;
  }
  FCacheBlock = b;
  FCacheStart = start;
  Block = b;
  Offset = Index - start;
}

ControlItem& ItemStore::At(int Index) {
  std::size_t b;
  int off;
  Locate(Index, b, off);
  return FBlocks[b][static_cast<std::size_t>(off)];
}

void ItemStore::insert(int Index, ControlItem Item) {
  if (FBlocks.empty()) FBlocks.emplace_back();
  std::size_t b;
  int off;
  if (Index >= FCount) {
    b = FBlocks.size() - 1;
    off = static_cast<int>(FBlocks[b].size());
  } else {
    Locate(Index, b, off);
  }
  auto& block = FBlocks[b];
  block.insert(block.begin() + off, std::move(Item));
  ++FCount;
  if (block.size() > 2 * kBlockSize) {
    std::vector<ControlItem> tail(std::make_move_iterator(block.begin() + kBlockSize),
                                  std::make_move_iterator(block.end()));
    block.resize(kBlockSize);
    FBlocks.insert(FBlocks.begin() + static_cast<long>(b) + 1, std::move(tail));
  }
  FCacheBlock = 0;
  FCacheStart = 0;
}

void ItemStore::erase(int Index) {
  std::size_t b;
  int off;
  Locate(Index, b, off);
  FBlocks[b].erase(FBlocks[b].begin() + off);
  if (FBlocks[b].empty()) FBlocks.erase(FBlocks.begin() + static_cast<long>(b));
  --FCount;
  FCacheBlock = 0;
  FCacheStart = 0;
}

void ItemStore::clear() {
  FBlocks.clear();
  FCount = 0;
  FCacheBlock = 0;
  FCacheStart = 0;
}

void ItemStore::Sort() {
  std::vector<ControlItem> all;
  all.reserve(static_cast<std::size_t>(FCount));
  for (auto& block : FBlocks)
    for (auto& item : block) all.push_back(std::move(item));
  std::stable_sort(all.begin(), all.end(), TextLess);
  clear();
  for (std::size_t i = 0; i < all.size(); i += kBlockSize) {
    const std::size_t end = std::min(all.size(), i + kBlockSize);
    FBlocks.emplace_back(std::make_move_iterator(all.begin() + static_cast<long>(i)),
                         std::make_move_iterator(all.begin() + static_cast<long>(end)));
  }
  FCount = static_cast<int>(all.size());
}

int ItemStore::SortedInsertIndex(const AnsiString& S) const {
  // The first block whose last item sorts after S (blocks are in order, so
  // a binary search over them), then the place in it.
  const ControlItem probe{S, nullptr};
  const auto block = std::partition_point(FBlocks.begin(), FBlocks.end(),
                                          [&](const std::vector<ControlItem>& b) { return !TextLess(probe, b.back()); });
  if (block == FBlocks.end()) return FCount;
  int start = 0;
  for (auto b = FBlocks.begin(); b != block; ++b) start += static_cast<int>(b->size());
  const auto it = std::upper_bound(block->begin(), block->end(), probe, TextLess);
  return start + static_cast<int>(it - block->begin());
}

int FindItemPrefix(const ItemStore& Items, const AnsiString& Prefix, int After, bool Exact) {
  const int n = Items.size();
  if (n == 0) return -1;
  int start = (After < -1 || After >= n) ? 0 : After + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    const AnsiString& t = Items[i].Text;
    if (Exact) {
      if (AnsiCompareText(t, Prefix) == 0) return i;
    } else if (t.size() >= Prefix.size() && AnsiCompareText(t.substr(0, Prefix.size()), Prefix) == 0) {
      return i;
    }
  }
  return -1;
}

void ControlStrings::Check(int Index, bool AllowCount) {
  const int n = static_cast<int>(FItems->size());
  if (Index < 0 || Index > n || (Index == n && !AllowCount)) Error(msg::ListIndexError, Index);
}

int ControlStrings::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int ControlStrings::AddObject(const AnsiString& S, TObject* AObject) {
  const int i = FSorted() ? FItems->SortedInsertIndex(S) : FItems->size();
  FItems->insert(i, ControlItem{S, AObject});
  FNotify(0, i);
  return i;
}

void ControlStrings::Clear() {
  FItems->clear();
  FNotify(3, -1);
}

void ControlStrings::Delete(int Index) {
  Check(Index, false);
  FItems->erase(Index);
  FNotify(1, Index);
}

void ControlStrings::Insert(int Index, const AnsiString& S) {
  Check(Index, true);
  FItems->insert(Index, ControlItem{S, nullptr});
  FNotify(0, Index);
}

AnsiString ControlStrings::Get(int Index) {
  Check(Index, false);
  return (*FItems)[static_cast<std::size_t>(Index)].Text;
}

int ControlStrings::GetCount() { return static_cast<int>(FItems->size()); }

TObject* ControlStrings::GetObject(int Index) {
  Check(Index, false);
  return (*FItems)[static_cast<std::size_t>(Index)].Object;
}

void ControlStrings::Put(int Index, const AnsiString& S) {
  Check(Index, false);
  (*FItems)[static_cast<std::size_t>(Index)].Text = S;
  FNotify(2, Index);
}

void ControlStrings::PutObject(int Index, TObject* AObject) {
  Check(Index, false);
  (*FItems)[static_cast<std::size_t>(Index)].Object = AObject;
}

int ControlStrings::IndexOf(const AnsiString& S) { return FindItemPrefix(*FItems, S, -1, true); }

void ControlStrings::SetUpdateState(bool Updating) {
  if (!Updating) FNotify(5, -1);
}

}  // namespace platform

// ---------------------------------------------------------------- combo and list box

namespace platform {

void FollowItemChange(int& ItemIndex, int Kind, int Index) {
  switch (Kind) {
    case 0:
      if (ItemIndex >= Index && ItemIndex >= 0) ++ItemIndex;
      break;
    case 1:
      if (ItemIndex == Index) ItemIndex = -1;
      else if (ItemIndex > Index) --ItemIndex;
      break;
    case 3:
      ItemIndex = -1;
      break;
    default:
      break;
  }
}

void DrawItemText(TCanvas& Canvas, const platform::ItemStore& Items, int Index, const TRect& Rect) {
  Canvas.FillRect(Rect);
  if (Index >= 0 && Index < Items.size()) Canvas.TextOut(Rect.Left + 2, Rect.Top, Items[Index].Text);
}

void AnswerItemText(TMessage& Message, const platform::ItemStore& Items, bool CopyText, LRESULT Error) {
  const int i = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  if (i < 0 || i >= Items.size()) {
    Message.Result = Error;
    return;
  }
  const AnsiString& t = Items[i].Text;
  if (CopyText && Message.LParam) {
    char* out = reinterpret_cast<char*>(Message.LParam);
    std::copy(t.begin(), t.end(), out);
    out[t.size()] = 0;
  }
  Message.Result = static_cast<LRESULT>(t.size());
}

namespace {

int ItemHeightOf(TWinControl* Control, bool& Variable) {
  if (auto* cb = dynamic_cast<TCustomComboBox*>(Control)) {
    Variable = cb->Style() == csOwnerDrawVariable;
    return cb->ItemHeight();
  }
  if (auto* lb = dynamic_cast<TCustomListBox*>(Control)) {
    Variable = lb->Style() == lbOwnerDrawVariable;
    return lb->ItemHeight();
  }
  Variable = false;
  return 16;
}

}  // namespace

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& /*Option*/, const QModelIndex& Index) const {
  bool variable = false;
  int h = ItemHeightOf(FControl, variable);
  if (variable) h = platform::SendMeasureItem(FControl, Index.row(), h, FType);
  // The width is the list's: an item spans the client width, whatever the
  // vertical scroll bar leaves of it.
  return QSize(1, std::max(1, h));
}

void DrawPlatformFocusRect(QPainter* Painter, QWidget* Widget, const QRect& Rect) {
  HDC dc = platform::CreatePainterDC(Painter, Widget);
  const RECT r = platform::FromQRect(Rect);
  ::DrawFocusRect(dc, &r);
  platform::ReleasePainterDC(dc);
}

}  // namespace platform

// ---------------------------------------------------------------- TCustomComboBox

namespace {

class ComboPeer;

class ComboPeer : public platform::Peer<QComboBox> {
public:
  explicit ComboPeer(TCustomComboBox* Box) : Peer(Box), FBox(Box) {
    setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(this, qOverload<int>(&QComboBox::activated), [this](int i) {
      platform::Guarded([this, i] { FBox->NativeActivated(i); });
    });
  }
  void showPopup() override {
    const HWND h = Handle();
    platform::Guarded([this] { FBox->NativeDroppedDown(); });
    if (!FindControl(h)) return;
    QComboBox::showPopup();
  }
  void hidePopup() override {
    const bool wasOpen = view() && view()->isVisible();
    QComboBox::hidePopup();
    if (wasOpen) platform::Guarded([this] { FBox->NativeClosedUp(); });
  }
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
      FStrings(std::make_unique<platform::ControlStrings>(
          &FItems, [this] { return FSorted; }, [this](int k, int i) { ItemsChanged(k, i); })),
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
      QObject::connect(le, &QLineEdit::textEdited, [this](const QString&) {
        platform::Guarded([this] { NativeEditTextEdited(); });
      });
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
  c->clear();
  QStringList texts;
  texts.reserve(static_cast<int>(FItems.size()));
  for (int i = 0; i < FItems.size(); ++i) texts << ToQString(FItems[i].Text);
  c->addItems(texts);
  MirrorSelection();
  if (c->isEditable()) c->setEditText(FItemIndex >= 0 ? ToQString(FItems[FItemIndex].Text) : ToQString(TControl::GetText()));
}

void TCustomComboBox::MirrorSelection() {
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  c->ShowIndex(FItemIndex);
  c->update();
}

void TCustomComboBox::ItemsChanged(int Kind, int Index) {
  FollowItemChange(FItemIndex, Kind, Index);
  FListFrom = kNoListMove;
  if (FStrings->UpdateCount() > 0 && Kind != 5) return;
  ComboPeer* c = ComboOf(this);
  if (!c) return;
  QSignalBlocker block(c);
  switch (Kind) {
    case 0: c->insertItem(Index, ToQString(FItems[static_cast<std::size_t>(Index)].Text)); break;
    case 1: c->removeItem(Index); break;
    case 2: c->setItemText(Index, ToQString(FItems[static_cast<std::size_t>(Index)].Text)); break;
    default: MirrorItems(); return;
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
    FItems.Sort();
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
  if (Value < -1 || Value >= static_cast<int>(FItems.size())) Value = -1;
  FItemIndex = Value;
  FListFrom = kNoListMove;
  if (HasEdit()) {
    const AnsiString t = Value >= 0 ? FItems[static_cast<std::size_t>(Value)].Text : AnsiString();
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
  return FItemIndex >= 0 ? FItems[static_cast<std::size_t>(FItemIndex)].Text : AnsiString();
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

namespace platform {
int DroppedListRow(TCustomComboBox* Box) {
  ComboPeer* c = ComboOf(Box);
  return c ? c->ListRow() : -1;
}
}  // namespace platform

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
  if (Value) DropDown(); else CloseUp();
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
  return platform::FindItemPrefix(FItems, S, After, Exact);
}

void TCustomComboBox::NativeActivated(int Index) {
  if (Index < -1 || Index >= static_cast<int>(FItems.size())) return;
  FItemIndex = Index;
  FListFrom = kNoListMove;
  if (HasEdit()) {
    const AnsiString t = Index >= 0 ? FItems[static_cast<std::size_t>(Index)].Text : AnsiString();
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
  if (ch < 32 && ch != 8) return;
  if (HasEdit()) {
    // Completes the edit text with the first item that begins with it.
    if (ch == 8) return;
    const AnsiString t = GetText();
    const int s = SelStart();
    const AnsiString typed = t.substr(0, static_cast<std::size_t>(std::min<int>(s, static_cast<int>(t.size())))) + Key;
    const int i = FindString(typed, -1, false);
    if (i < 0) return;
    const bool changed = i != FItemIndex;
    const AnsiString full = typed + FItems[static_cast<std::size_t>(i)].Text.substr(typed.size());
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
  if (ch == 8) {
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
  DrawItemText(*FCanvas, FItems, Index, Rect);
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  AnswerMeasureItem(Message, FItemHeight, [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: {
      ComboPeer* c = ComboOf(this);
      const WORD key = static_cast<WORD>(Message.WParam);
      if (!c || !c->PopupOpen()) break;
      const int count = static_cast<int>(FItems.size());
      const int row = c->ListRow();
      // The open list: the arrow keys move the selection of the box and of
      // the list together; Enter takes it, closing the list otherwise goes
      // back to the entry selected before.
      int to = -2;
      const int page = std::max(1, c->maxVisibleItems() - 1);
      const int at = row >= 0 ? row : FItemIndex;
      switch (key) {
        case VK_UP: to = at - 1; break;
        case VK_DOWN: to = at + 1; break;
        case VK_PRIOR: to = at - page; break;
        case VK_NEXT: to = at < 0 ? page - 1 : at + page; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = count - 1; break;
        default: break;
      }
      if (to != -2) {
        if (count > 0) PreviewListIndex(std::clamp(to, 0, count - 1));
        return;
      }
      // Enter keeps the entry the list shows, Esc the selection; both close
      // the list, and their character follows as it would after the key.
      if (key == VK_RETURN || key == VK_ESCAPE) {
        const HWND h = Handle();
        const int before = SelectionBeforeList();
        const bool take = key == VK_RETURN && row >= 0 && row < count;
        // A list that closes with its entry taken does not go back first.
        if (take) FListFrom = kNoListMove;
        c->hidePopup();
        if (take)
          TakeListIndex(row, before);
        else
          MirrorSelection();
        if (FindControl(h) == this) Perform(WM_CHAR, key == VK_RETURN ? '\r' : '\x1B', Message.LParam);
        return;
      }
      break;
    }
    case WM_CHAR: {
      const auto ch = static_cast<unsigned char>(Message.WParam);
      // The list styles have no native type-ahead here (ours is KeyPress).
      if (!HasEdit() && ch >= 32) return;
      if (HasEdit() && ch >= 32 && FMaxLength > 0 &&
          static_cast<int>(GetText().size()) - SelLength() >= FMaxLength)
        return;
      break;
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      Message.Result = FindString(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "",
                                  static_cast<int>(static_cast<std::intptr_t>(Message.WParam)),
                                  Message.Msg == CB_FINDSTRINGEXACT);
      return;
    case CB_SETCURSEL: {
      const int i = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
      SetItemIndex(i);
      Message.Result = (i >= 0 && i == FItemIndex) ? i : CB_ERR;
      return;
    }
    case CB_GETCURSEL:
      Message.Result = FItemIndex;
      return;
    case CB_GETCOUNT:
      Message.Result = static_cast<LRESULT>(FItems.size());
      return;
    case CB_GETLBTEXTLEN:
    case CB_GETLBTEXT:
      AnswerItemText(Message, FItems, Message.Msg == CB_GETLBTEXT, CB_ERR);
      return;
    case CB_GETITEMHEIGHT:
      Message.Result = FItemHeight;
      return;
    case CB_SETITEMHEIGHT:
      SetItemHeight(static_cast<int>(Message.LParam));
      return;
    case CB_GETEDITSEL: {
      int s = 0, e = 0;
      if (HasEdit()) {
        s = SelStart();
        e = s + SelLength();
      }
      if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = static_cast<DWORD>(s);
      if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = static_cast<DWORD>(e);
      Message.Result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s), static_cast<WORD>(e)));
      return;
    }
    case CB_SETEDITSEL: {
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
      return;
    }
    case CB_SHOWDROPDOWN:
      SetDroppedDown(Message.WParam != 0);
      Message.Result = 1;
      return;
    case CB_GETDROPPEDSTATE:
      Message.Result = DroppedDown() ? 1 : 0;
      return;
    case CB_LIMITTEXT:
      FMaxLength = static_cast<int>(Message.WParam);
      Message.Result = 1;
      return;
    default:
      break;
  }
  TWinControl::DefaultHandler(Message);
}

// ---------------------------------------------------------------- TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 17);
  SetColor(clBtnFace);
  SetParentColor(true);
}

TCustomLabel::~TCustomLabel() = default;

AnsiString TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  AnsiString text = GetLabelText();
  // An empty caption (or a lone "&") still measures one line.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Flags = DrawTextBiDiModeFlags(Flags);
  Canvas()->Font()->Assign(Font());
  if (!Enabled()) {
    OffsetRect(Rect, 1, 1);
    Canvas()->Font()->SetColor(clBtnHighlight);
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    OffsetRect(Rect, -1, -1);
    Canvas()->Font()->SetColor(clBtnShadow);
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
  } else {
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
  }
}

void TCustomLabel::Paint() {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  const TRect client = ClientRect();
  if (!FTransparent) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(client);
  }
  Canvas()->Brush()->SetStyle(bsClear);
  TRect r = client;
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | kAlign[FAlignment];
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int h = calc.Height();
    if (FLayout == tlBottom)
      OffsetRect(r, 0, r.Height() - h);
    else
      OffsetRect(r, 0, (r.Height() - h) / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  static const UINT kWrap[] = {0, DT_WORDBREAK};
  TRect r = ClientRect();
  DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | kWrap[FWordWrap ? 1 : 0]);
  int x = Left();
  if (FAlignment == taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}

// ---------------------------------------------------------------- TButton

namespace {

// Buttons and check boxes are drawn by the style, without its own sign of
// the focus (which it shows only after a focus change by Tab); a control
// with the focus then gets the platform's dotted focus rectangle, over the
// style's focus area (inside the button, round the check box's caption).
template <class Button>
void PaintButton(Button* Widget, QStyle::ControlElement Element, QStyle::SubElement FocusArea) {
  QStylePainter p(Widget);
  QStyleOptionButton opt;
  Widget->initStyleOption(&opt);
  opt.state &= ~QStyle::State_HasFocus;
  p.drawControl(Element, opt);
  if (Widget->hasFocus()) DrawPlatformFocusRect(&p, Widget, Widget->style()->subElementRect(FocusArea, &opt, Widget));
}

class ButtonPeer : public platform::Peer<QPushButton> {
public:
  explicit ButtonPeer(TButton* Button) : Peer(Button) {
    setAutoDefault(true);
    const HWND h = Handle();
    QObject::connect(this, &QPushButton::clicked, [h] {
      platform::Guarded([h] {
        if (auto* b = dynamic_cast<TButton*>(FindControl(h))) b->Click();
      });
    });
  }
  using QPushButton::initStyleOption;

protected:
  void paintEvent(QPaintEvent*) override { PaintButton(this, QStyle::CE_PushButton, QStyle::SE_PushButtonFocusRect); }
};

class CheckPeer : public platform::Peer<QCheckBox> {
public:
  explicit CheckPeer(TCustomCheckBox* Box) : Peer(Box) {
    const HWND h = Handle();
    QObject::connect(this, &QCheckBox::clicked, [h] {
      platform::Guarded([h] {
        if (auto* c = dynamic_cast<TCustomCheckBox*>(FindControl(h))) c->NativeToggled();
      });
    });
  }
  using QCheckBox::initStyleOption;

protected:
  void paintEvent(QPaintEvent*) override { PaintButton(this, QStyle::CE_CheckBox, QStyle::SE_CheckBoxFocusRect); }
};

}  // namespace

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TButton::~TButton() = default;

platform::WidgetPeer* TButton::CreatePeer() { return new ButtonPeer(this); }

void TButton::UpdatePeer() {
  TButtonControl::UpdatePeer();
  if (auto* b = qobject_cast<QPushButton*>(platform::WidgetOf(this))) {
    b->setText(ToQString(TControl::GetText()));
    b->setDefault(FDefault);
  }
}

void TButton::SetTextValue(const AnsiString& Value) {
  TButtonControl::SetTextValue(Value);
  if (auto* b = qobject_cast<QPushButton*>(platform::WidgetOf(this))) b->setText(ToQString(Value));
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::CMDialogKey(TMessage& Message) {
  const WORD key = static_cast<WORD>(Message.WParam);
  if (((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel)) && Enabled() && Showing()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(Message);
}

// ---------------------------------------------------------------- TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TCustomCheckBox::~TCustomCheckBox() = default;

platform::WidgetPeer* TCustomCheckBox::CreatePeer() { return new CheckPeer(this); }

void TCustomCheckBox::UpdatePeer() {
  TButtonControl::UpdatePeer();
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setText(ToQString(TControl::GetText()));
    c->setTristate(FAllowGrayed);
    c->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    c->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
  }
}

void TCustomCheckBox::SetTextValue(const AnsiString& Value) {
  TButtonControl::SetTextValue(Value);
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) c->setText(ToQString(Value));
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setCheckState(Value == cbChecked ? Qt::Checked : Value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::NativeToggled() {
  // Qt has already changed its box; the state is ours to decide, so the
  // box shows FState again and Toggle moves it on.
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  }
  Toggle();
}

// ---------------------------------------------------------------- published properties

namespace {

const std::initializer_list<std::pair<const char*, TBorderStyle>> kBorderStyles = {{"bsNone", bsNone},
                                                                                    {"bsSingle", bsSingle}};
const std::initializer_list<std::pair<const char*, TEditCharCase>> kCharCases = {
    {"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}};
const std::initializer_list<std::pair<const char*, TAlignment>> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

char FirstChar(const AnsiString& S) { return S.empty() ? '\0' : S[0]; }

const bool registered = [] {
  using platform::RegisterClass;
  RegisterClass<TCustomEdit>("TCustomEdit", "TWinControl")
      .NotCreatable()
      .Int("MaxLength", &TCustomEdit::SetMaxLength, 0)
      .Bool("ReadOnly", &TCustomEdit::SetReadOnly, false)
      .Str("PasswordChar", [](TCustomEdit* e, const AnsiString& v) { e->SetPasswordChar(FirstChar(v)); })
      .Enum<TEditCharCase>("CharCase", kCharCases, &TCustomEdit::SetCharCase, ecNormal)
      .Bool("AutoSelect", &TCustomEdit::SetAutoSelect, true)
      .Bool("AutoSize", &TCustomEdit::SetAutoSize, true)
      .Bool("HideSelection", &TCustomEdit::SetHideSelection, true)
      .Enum<TBorderStyle>("BorderStyle", kBorderStyles, &TCustomEdit::SetBorderStyle, bsSingle)
      .Event("OnChange", &TCustomEdit::OnChange)
      .Ignore("OEMConvert")
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Done();
  RegisterClass<TEdit>("TEdit", "TCustomEdit").Done();

  RegisterClass<TCustomComboBox>("TCustomComboBox", "TWinControl")
      .NotCreatable()
      .Enum<TComboBoxStyle>("Style",
                            {{"csDropDown", csDropDown}, {"csSimple", csSimple}, {"csDropDownList", csDropDownList},
                             {"csOwnerDrawFixed", csOwnerDrawFixed}, {"csOwnerDrawVariable", csOwnerDrawVariable}},
                            &TCustomComboBox::SetStyle, csDropDown)
      .Object("Items", [](TCustomComboBox* c) -> TPersistent* { return c->Items(); })
      .Int("ItemIndex", &TCustomComboBox::SetItemIndex, -1)
      .Bool("Sorted", &TCustomComboBox::SetSorted, false)
      .Int("ItemHeight", &TCustomComboBox::SetItemHeight)
      .Int("DropDownCount", &TCustomComboBox::SetDropDownCount, 8)
      .Int("MaxLength", &TCustomComboBox::SetMaxLength, 0)
      .Bool("AutoComplete", &TCustomComboBox::SetAutoComplete, true)
      .Bool("AutoDropDown", &TCustomComboBox::SetAutoDropDown, false)
      .Bool("AutoCloseUp", &TCustomComboBox::SetAutoCloseUp, false)
      .Enum<TEditCharCase>("CharCase", kCharCases, &TCustomComboBox::SetCharCase, ecNormal)
      .Event("OnChange", &TCustomComboBox::OnChange)
      .Event("OnSelect", &TCustomComboBox::OnSelect)
      .Event("OnDropDown", &TCustomComboBox::OnDropDown)
      .Event("OnCloseUp", &TCustomComboBox::OnCloseUp)
      .Event("OnDrawItem", &TCustomComboBox::OnDrawItem)
      .Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem)
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Done();
  RegisterClass<TComboBox>("TComboBox", "TCustomComboBox").Done();

  RegisterClass<TCustomListBox>("TCustomListBox", "TWinControl")
      .NotCreatable()
      .Enum<TListBoxStyle>("Style",
                           {{"lbStandard", lbStandard}, {"lbOwnerDrawFixed", lbOwnerDrawFixed},
                            {"lbOwnerDrawVariable", lbOwnerDrawVariable}, {"lbVirtual", lbVirtual},
                            {"lbVirtualOwnerDraw", lbVirtualOwnerDraw}},
                           &TCustomListBox::SetStyle, lbStandard)
      .Object("Items", [](TCustomListBox* c) -> TPersistent* { return c->Items(); })
      .Int("ItemIndex", &TCustomListBox::SetItemIndex, -1)
      .Bool("MultiSelect", &TCustomListBox::SetMultiSelect, false)
      .Bool("ExtendedSelect", &TCustomListBox::SetExtendedSelect, true)
      .Bool("Sorted", &TCustomListBox::SetSorted, false)
      .Int("ItemHeight", &TCustomListBox::SetItemHeight)
      .Int("TopIndex", &TCustomListBox::SetTopIndex)
      .Enum<TBorderStyle>("BorderStyle", kBorderStyles, &TCustomListBox::SetBorderStyle, bsSingle)
      .Bool("IntegralHeight", &TCustomListBox::SetIntegralHeight, false)
      .Bool("AutoComplete", &TCustomListBox::SetAutoComplete, true)
      .Event("OnDrawItem", &TCustomListBox::OnDrawItem)
      .Event("OnMeasureItem", &TCustomListBox::OnMeasureItem)
      .Ignore("Columns")
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Ignore("TabWidth")
      .Done();
  RegisterClass<TListBox>("TListBox", "TCustomListBox").Done();

  RegisterClass<TCustomLabel>("TCustomLabel", "TControl")
      .NotCreatable()
      .Enum<TAlignment>("Alignment", kAlignments, &TCustomLabel::SetAlignment, taLeftJustify)
      .Enum<TTextLayout>("Layout", {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}},
                         &TCustomLabel::SetLayout, tlTop)
      .Bool("AutoSize", &TCustomLabel::SetAutoSize, true)
      .Bool("WordWrap", &TCustomLabel::SetWordWrap, false)
      .Bool("Transparent", &TCustomLabel::SetTransparent, false)
      .Bool("ShowAccelChar", &TCustomLabel::SetShowAccelChar, true)
      .Ref<TWinControl>("FocusControl", &TCustomLabel::SetFocusControl)
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Done();
  RegisterClass<TLabel>("TLabel", "TCustomLabel").Done();

  RegisterClass<TButtonControl>("TButtonControl", "TWinControl").NotCreatable().Done();
  RegisterClass<TButton>("TButton", "TButtonControl")
      .Bool("Default", &TButton::SetDefault, false)
      .Bool("Cancel", &TButton::SetCancel, false)
      .Int("ModalResult", &TButton::SetModalResult, 0)
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Done();
  RegisterClass<TCustomCheckBox>("TCustomCheckBox", "TButtonControl")
      .NotCreatable()
      .Bool("Checked", &TCustomCheckBox::SetChecked, false)
      .Enum<TCheckBoxState>("State", {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}},
                            &TCustomCheckBox::SetState, cbUnchecked)
      .Bool("AllowGrayed", &TCustomCheckBox::SetAllowGrayed, false)
      .Enum<TAlignment>("Alignment", kAlignments, &TCustomCheckBox::SetAlignment, taRightJustify)
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Done();
  RegisterClass<TCheckBox>("TCheckBox", "TCustomCheckBox").Done();
  return true;
}();

}  // namespace
