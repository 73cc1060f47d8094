// The list box (TCustomListBox): a QListView over a light model that reads
// the box's own items, with the platform's scroll bar menu.
#include "platform/gui/stdctrls.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QAction>
#include <QContextMenuEvent>
#include <QItemSelection>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

using platform::AnswerItemText;
using platform::AnswerMeasureItem;
using platform::CtrlDown;
using platform::DrawItemText;
using platform::DrawPlatformFocusRect;
using platform::FollowItemChange;
using platform::FromQString;
using platform::ItemChange;
using platform::kTypeAheadPause;
using platform::OwnerDrawDelegate;
using platform::PaintOwnerItem;
using platform::ShiftDown;
using platform::ToQString;

// ---------------------------------------------------------------- TCustomListBox

namespace {

// The items of a list box of the standard style, drawn by the style and as
// wide as the list (a longer text is cut at the edge); the item with the
// focus gets the platform's focus rectangle.
class ListItemDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    return QSize(1, QStyledItemDelegate::sizeHint(Option, Index).height());
  }
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QStyleOptionViewItem plain(Option);
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(Painter, plain, Index);
    if (Option.state & QStyle::State_HasFocus) DrawPlatformFocusRect(Painter, nullptr, Option.rect);
  }
};

// The scroll bar of a list box, with the platform's scroll bar menu in the
// program's language (Qt's own is English): scroll here, to either end, a
// page or a line either way.
class ListScrollBar : public QScrollBar {
public:
  ListScrollBar(Qt::Orientation Orientation, QWidget* Parent) : QScrollBar(Orientation, Parent) {}

protected:
  // A press on the scroll bar belongs to it, whatever the button: it never
  // reaches the list's mouse handling.
  void mousePressEvent(QMouseEvent* Event) override {
    QScrollBar::mousePressEvent(Event);
    Event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    QScrollBar::mouseReleaseEvent(Event);
    Event->accept();
  }
  void contextMenuEvent(QContextMenuEvent* Event) override {
    const bool vertical = orientation() == Qt::Vertical;
    const int here = ValueAt(Event->pos());
    QPointer<QScrollBar> self(this);
    auto* menu = new QMenu(this);
    auto entry = [&](const char* Caption, const std::function<void(QScrollBar*)>& Act) {
      QObject::connect(menu->addAction(ToQString(Caption)), &QAction::triggered, [self, Act] {
        if (self) Act(self);
      });
    };
    entry("Hier scrollen", [here](QScrollBar* s) { s->setValue(here); });
    menu->addSeparator();
    entry(vertical ? "Oberer Rand" : "Linker Rand", [](QScrollBar* s) { s->triggerAction(SliderToMinimum); });
    entry(vertical ? "Unterer Rand" : "Rechter Rand", [](QScrollBar* s) { s->triggerAction(SliderToMaximum); });
    menu->addSeparator();
    entry(vertical ? "Seite nach oben" : "Seite nach links",
          [](QScrollBar* s) { s->triggerAction(SliderPageStepSub); });
    entry(vertical ? "Seite nach unten" : "Seite nach rechts",
          [](QScrollBar* s) { s->triggerAction(SliderPageStepAdd); });
    menu->addSeparator();
    entry(vertical ? "Nach oben scrollen" : "Nach links scrollen",
          [](QScrollBar* s) { s->triggerAction(SliderSingleStepSub); });
    entry(vertical ? "Nach unten scrollen" : "Nach rechts scrollen",
          [](QScrollBar* s) { s->triggerAction(SliderSingleStepAdd); });
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(Event->globalPos());
  }

private:
  // The value whose slider would stand centred at P.
  int ValueAt(const QPoint& P) const {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove = style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarGroove, this);
    const QRect slider = style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this);
    const bool vertical = orientation() == Qt::Vertical;
    const int length = vertical ? slider.height() : slider.width();
    const int start = vertical ? groove.y() : groove.x();
    const int span = (vertical ? groove.height() : groove.width()) - length;
    const int pos = (vertical ? P.y() : P.x()) - start - length / 2;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), pos, std::max(1, span), opt.upsideDown);
  }
};

// The viewport of the list.  The control's message path hands a mouse
// event, after the control's hooks, to the viewport's own event(), which
// does not pass the scroll area's filter; so the viewport gives those events
// to the list itself, as that filter would.
class ListViewport : public QWidget {
public:
  using Handler = std::function<bool(QEvent*)>;
  explicit ListViewport(Handler ToList) : FToList(std::move(ToList)) {}

  std::function<void()> FBeforeEvent;

protected:
  bool event(QEvent* Event) override {
    if (FBeforeEvent) FBeforeEvent();
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: return FToList(Event);
      default: return QWidget::event(Event);
    }
  }

private:
  Handler FToList;
};

class ListPeer : public platform::Peer<QListView> {
public:
  explicit ListPeer(TCustomListBox* Box)
      : Peer(Box), FBox(Box), FItems(new platform::ItemListModel(this, &Box->ItemList())) {
    auto* port = new ListViewport([this](QEvent* e) { return NativeMouse(static_cast<QMouseEvent*>(e)); });
    setVerticalScrollBar(new ListScrollBar(Qt::Vertical, this));
    // Every event of the list (paint, mouse, keys) sees the items as they are.
    port->FBeforeEvent = [this] { Sync(); };
    setViewport(port);
    setUniformItemSizes(false);
    setModel(FItems);
    auto changed = [this] { platform::Guarded([this] { FBox->NativeSelectionChanged(); }); };
    QObject::connect(selectionModel(), &QItemSelectionModel::selectionChanged, changed);
    QObject::connect(selectionModel(), &QItemSelectionModel::currentRowChanged, changed);
  }

  ~ListPeer() override {
    // The viewport outlives this part of the peer while Qt takes the list down.
    if (auto* port = dynamic_cast<ListViewport*>(viewport())) port->FBeforeEvent = nullptr;
  }

  bool event(QEvent* Event) override {
    Sync();
    return Peer::event(Event);
  }

  // Only while the box is there: Qt may still deliver events to a peer
  // whose control has gone.
  void Sync() {
    if (Control()) platform::Guarded([this] { FBox->SyncNative(); });
  }

  // Mouse events that reach the list itself (not its viewport) act on
  // the viewport, as a click on the items does.
  bool NativeEvent(QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(Event);
        const QPointF local = viewport()->mapFrom(this, me->position().toPoint());
        QMouseEvent mapped(me->type(), local, me->globalPosition(), me->button(), me->buttons(), me->modifiers());
        return NativeMouse(&mapped);
      }
      default: return Peer::NativeEvent(Event);
    }
  }

  platform::ItemListModel* Items() const { return FItems; }
  // The rows the view has (behind the box's items while they are stale).
  int RowCount() const { return FItems->rowCount(); }
  // The index of a row; invalid for a row the view does not have.
  QModelIndex Row(int R) const { return R >= 0 && R < RowCount() ? FItems->index(R) : QModelIndex(); }
  int CurrentRow() const { return currentIndex().row(); }
  bool IsSelected(int R) const { return selectionModel()->isSelected(Row(R)); }
  // Makes row R (-1: none) the current row; a single-selection list
  // selects it too.
  void SetCurrentRow(int R) {
    const QItemSelectionModel::SelectionFlags How =
        selectionMode() == SingleSelection ? QItemSelectionModel::ClearAndSelect
        : selectionMode() == NoSelection   ? QItemSelectionModel::NoUpdate
                                           : QItemSelectionModel::SelectCurrent;
    selectionModel()->setCurrentIndex(Row(R), How);
  }

private:
  // The mouse of the platform's list box (Event in viewport coordinates):
  // only a press of the left button on an entry selects, and in a
  // single-selection box the keyboard modifiers change nothing.  Qt's list
  // would also select with the right button, deselect on Ctrl+click, clear
  // the selection on a click below the last entry and start a rubber band
  // there; such presses, and the moves and release that follow them, never
  // reach it.
  bool NativeMouse(QMouseEvent* Event) {
    const bool single = !FBox->MultiSelect();
    const bool onEntry = indexAt(Event->position().toPoint()).isValid();
    const bool left = Event->button() == Qt::LeftButton;
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (!left) return Ignored(Event);
        FLeftTaken = onEntry;
        if (!onEntry) return Ignored(Event);
        break;
      case QEvent::MouseButtonRelease:
        if (!left) return Ignored(Event);
        if (!FLeftTaken) return Ignored(Event);
        FLeftTaken = false;
        break;
      case QEvent::MouseMove:
        if (Event->buttons() & Qt::LeftButton) {
          if (!FLeftTaken || (single && !onEntry)) return Ignored(Event);
        } else if (Event->buttons() != Qt::NoButton) {
          return Ignored(Event);
        }
        break;
      default: break;
    }
    if (single && Event->modifiers() != Qt::NoModifier) {
      QMouseEvent plain(Event->type(), Event->position(), Event->globalPosition(), Event->button(),
                        Event->buttons(), Qt::NoModifier);
      return viewportEvent(&plain);
    }
    return viewportEvent(Event);
  }
  static bool Ignored(QEvent* Event) {
    Event->accept();
    return true;
  }

  TCustomListBox* FBox;
  platform::ItemListModel* FItems;
  bool FLeftTaken = false;  // the list has the left press that is held now
};

ListPeer* ListOf(const TControl* C) { return dynamic_cast<ListPeer*>(platform::PeerOf(C)); }

// The native list, brought up to date first.
ListPeer* SyncedList(TCustomListBox* B) {
  B->SyncNative();
  return ListOf(B);
}

}  // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<platform::ItemStore>()),
      FStrings(std::make_unique<platform::ControlStrings>(
          FItems.get(), [this] { return FSorted; },
          [this](platform::ItemChange k, int i) { ItemsChanged(k, i); })),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

platform::WidgetPeer* TCustomListBox::CreatePeer() { return new ListPeer(this); }

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (ListPeer* l = ListOf(this)) {
    if (l->viewport()) platform::ForwardEvents(l->viewport(), this);
    UpdatePeer();
  }
}

void TCustomListBox::UpdatePeer() {
  TWinControl::UpdatePeer();
  ListPeer* l = ListOf(this);
  if (!l) return;
  QSignalBlocker block(l);
  l->setSelectionMode(!FMultiSelect     ? QAbstractItemView::SingleSelection
                      : FExtendedSelect ? QAbstractItemView::ExtendedSelection
                                        : QAbstractItemView::MultiSelection);
  l->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
  // The platform's list box scrolls only up and down; a line wider than the
  // box is cut at its edge.
  l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  if (IsOwnerDraw() && !dynamic_cast<OwnerDrawDelegate*>(l->itemDelegate()))
    l->setItemDelegate(new OwnerDrawDelegate(l, this, ODT_LISTBOX));
  else if (!IsOwnerDraw() && !dynamic_cast<ListItemDelegate*>(l->itemDelegate()))
    l->setItemDelegate(new ListItemDelegate(l));
  l->setTextElideMode(Qt::ElideNone);
  l->setUniformItemSizes(FStyle != lbOwnerDrawVariable);
  MirrorItems();
}

void TCustomListBox::SyncNative() {
  if (FNativeStale) MirrorItems();
}

void TCustomListBox::MirrorItems() {
  ListPeer* l = ListOf(this);
  const bool Stale = FNativeStale;
  FNativeStale = false;
  if (!l) return;
  QSignalBlocker block(l);
  QSignalBlocker blockModel(l->selectionModel());
  // Lines only added at the end reach the view as one insertion; any other
  // change as all rows anew.
  if (Stale || l->RowCount() > FItems->size())
    l->Items()->Reset();
  else
    l->Items()->Appended();
  MirrorSelection();
}

void TCustomListBox::MirrorSelection() {
  if (FNativeStale) {
    MirrorItems();  // mirrors the selection too
    return;
  }
  ListPeer* l = ListOf(this);
  if (!l) return;
  QSignalBlocker block(l);
  QSignalBlocker blockModel(l->selectionModel());
  if (FMultiSelect) {
    QItemSelection sel;
    for (int i = 0; i < l->RowCount() && i < FItems->size(); ++i) {
      if (!(*FItems)[i].Selected) continue;
      int last = i;
      while (last + 1 < l->RowCount() && last + 1 < FItems->size() && (*FItems)[last + 1].Selected) ++last;
      sel.select(l->Row(i), l->Row(last));
      i = last;
    }
    l->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    if (FItemIndex >= 0) l->selectionModel()->setCurrentIndex(l->Row(FItemIndex), QItemSelectionModel::NoUpdate);
  } else {
    l->clearSelection();
    l->SetCurrentRow(FItemIndex);
    if (FItemIndex >= 0 && l->Row(FItemIndex).isValid())
      l->selectionModel()->select(l->Row(FItemIndex), QItemSelectionModel::Select);
  }
  l->viewport()->update();
}

void TCustomListBox::ItemsChanged(ItemChange Kind, int Index) {
  FollowItemChange(FItemIndex, Kind, Index);
  if (Kind == ItemChange::Cleared) FTopIndex = 0;
  // While the items are updated, lines added at the end wait for its end;
  // any other change makes the view take all rows anew then.
  if (FStrings->UpdateCount() > 0 && Kind != ItemChange::UpdateEnded) {
    if (Kind != ItemChange::Inserted || Index < FItems->size() - 1) FNativeStale = true;
    return;
  }
  ListPeer* l = ListOf(this);
  if (!l) return;
  // A line inserted before the end would shift the whole native list: such
  // changes are mirrored in one pass when the list is next used, at the
  // latest once the messages now waiting are handled (so the list shows
  // them without waiting for input).
  const bool oneItem = Kind == ItemChange::Inserted || Kind == ItemChange::Deleted || Kind == ItemChange::Replaced;
  if (FNativeStale && oneItem) return;
  if (Kind == ItemChange::Inserted && Index < l->RowCount()) {
    FNativeStale = true;
    QMetaObject::invokeMethod(
        l, [l] { l->Sync(); }, Qt::QueuedConnection);
    return;
  }
  QSignalBlocker block(l);
  QSignalBlocker blockModel(l->selectionModel());
  switch (Kind) {
    case ItemChange::Inserted: l->Items()->Appended(); break;
    case ItemChange::Deleted: l->Items()->Removed(Index); break;
    case ItemChange::Replaced: l->Items()->Changed(Index); break;
    case ItemChange::UpdateEnded: MirrorItems(); return;
    case ItemChange::Cleared:
      FNativeStale = true;
      MirrorItems();
      return;
  }
  MirrorSelection();
}

void TCustomListBox::CheckIndex(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FItems->size())) TList::Error(platform::msg::ListIndexError, Index);
}

void TCustomListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= static_cast<int>(FItems->size())) Value = -1;
  FItemIndex = Value;
  if (!FMultiSelect) {
    SelectOnly(Value);
  }
  MirrorSelection();
  if (ListPeer* l = SyncedList(this))
    if (l->Row(Value).isValid()) l->scrollTo(l->Row(Value));
}

int TCustomListBox::TopIndex() {
  if (ListPeer* l = SyncedList(this)) {
    const QModelIndex i = l->indexAt(QPoint(1, 1));
    return i.isValid() ? i.row() : 0;
  }
  return FTopIndex;
}

void TCustomListBox::SetTopIndex(int Value) {
  FTopIndex = std::clamp(Value, 0, std::max(0, static_cast<int>(FItems->size()) - 1));
  if (ListPeer* l = SyncedList(this))
    if (l->Row(FTopIndex).isValid()) l->scrollTo(l->Row(FTopIndex), QAbstractItemView::PositionAtTop);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  FMultiSelect = Value;
  if (HandleAllocated()) UpdatePeer();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  FExtendedSelect = Value;
  if (HandleAllocated()) UpdatePeer();
}

bool TCustomListBox::Selected(int Index) const {
  CheckIndex(Index);
  return (*FItems)[Index].Selected;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  CheckIndex(Index);
  if (FMultiSelect) {
    (*FItems)[Index].Selected = Value;
    MirrorSelection();
  } else if (Value) {
    SetItemIndex(Index);
  } else if (FItemIndex == Index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() const {
  if (!FMultiSelect) return -1;
  int n = 0;
  for (int i = 0; i < FItems->size(); ++i) n += (*FItems)[i].Selected ? 1 : 0;
  return n;
}

void TCustomListBox::ClearSelection() {
  if (FMultiSelect) {
    SelectOnly(-1);
    MirrorSelection();
  } else {
    SetItemIndex(-1);
  }
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  for (int i = 0; i < FItems->size(); ++i) (*FItems)[i].Selected = true;
  MirrorSelection();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (Value) {
    FItems->Sort();
    FNativeStale = true;
    MirrorItems();
  }
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  FStyle = Value;
  if (HandleAllocated()) UpdatePeer();
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value > 0) FItemHeight = Value;
  if (ListPeer* l = SyncedList(this)) l->doItemsLayout();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  if (ListPeer* l = SyncedList(this)) l->setFrameShape(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  if (ListPeer* l = SyncedList(this)) {
    const QModelIndex i = l->indexAt(l->viewport()->mapFrom(l, QPoint(Pos.X, Pos.Y)));
    if (i.isValid()) return i.row();
    return Existing ? -1 : static_cast<int>(FItems->size());
  }
  const int row = TopIndex() + Pos.Y / std::max(1, FItemHeight);
  if (Pos.Y >= 0 && row < static_cast<int>(FItems->size())) return row;
  return Existing ? -1 : static_cast<int>(FItems->size());
}

TRect TCustomListBox::ItemRect(int Index) {
  if (ListPeer* l = SyncedList(this)) {
    if (l->Row(Index).isValid()) {
      const QRect r = l->visualRect(l->Row(Index));
      return platform::FromQRect(QRect(l->viewport()->mapTo(l, r.topLeft()), r.size()));
    }
    return TRect();
  }
  const int top = (Index - FTopIndex) * FItemHeight;
  return TRect(0, top, ClientWidth(), top + FItemHeight);
}

void TCustomListBox::Clear() { FStrings->Clear(); }

void TCustomListBox::NativeSelectionChanged() {
  ListPeer* l = SyncedList(this);
  if (!l) return;
  bool changed = false;
  int index = FMultiSelect ? l->CurrentRow() : -1;
  for (int i = 0; i < l->RowCount() && i < FItems->size(); ++i) {
    const bool sel = l->IsSelected(i);
    if (sel && !FMultiSelect) index = i;
    if (sel != (*FItems)[i].Selected) {
      (*FItems)[i].Selected = sel;
      changed = true;
    }
  }
  if (index == FItemIndex && !changed) return;
  FItemIndex = index;
  FClickedInEvent = true;
  Click();
}

void TCustomListBox::SelectOnly(int Index) {
  for (int i = 0; i < FItems->size(); ++i) (*FItems)[i].Selected = i == Index;
}

void TCustomListBox::UserClick(int Row) {
  if (Row < 0 || Row >= static_cast<int>(FItems->size())) return;
  if (FMultiSelect) {
    if (!FExtendedSelect)
      (*FItems)[Row].Selected = !(*FItems)[Row].Selected;
    else
      SelectOnly(Row);
    FItemIndex = Row;
    MirrorSelection();
  } else {
    SetItemIndex(Row);
  }
  Click();
}

void TCustomListBox::WMLButtonDown(TMessage& Message) {
  FClickedInEvent = false;
  TWinControl::WMLButtonDown(Message);
  // The native list reports a click also when the item was selected already.
  if (!FClickedInEvent && platform::PeerOf(this) && platform::PeerOf(this)->CurrentEvent()) {
    const int row = ItemAtPos(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)), true);
    // A single-selection box ignores Ctrl and Shift: the press is a click.
    if (row >= 0 && row == FItemIndex && (!FMultiSelect || (!CtrlDown() && !ShiftDown()))) Click();
  }
  FClickedInEvent = false;
}

void TCustomListBox::KeyPress(char& Key) {
  TWinControl::KeyPress(Key);
  if (!FAutoComplete || Key == 0) return;
  const auto ch = static_cast<unsigned char>(Key);
  if (ch < ' ') return;
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - FLastTyped) > kTypeAheadPause) FTypedText.clear();
  FLastTyped = now;
  FTypedText += Key;
  const int i = platform::FindItemPrefix(*FItems, FTypedText, -1, false);
  Key = 0;
  if (i < 0 || i == FItemIndex) return;
  if (FMultiSelect) {
    SelectOnly(i);
  }
  SetItemIndex(i);
  Click();
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  const UINT raw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->itemState;
  PaintOwnerItem(*FCanvas, *this, Message, TOwnerDrawState::FromBits(raw & 0xFFFF), true,
                 [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  DrawItemText(*FCanvas, *FItems, Index, Rect);
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  AnswerMeasureItem(Message, FItemHeight, [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::DefaultHandler(TMessage& Message) {
  const bool fromQt = platform::PeerOf(this) && platform::PeerOf(this)->CurrentEvent();
  switch (Message.Msg) {
    case WM_CHAR:
      // No native type-ahead (ours is KeyPress).
      if (static_cast<unsigned char>(Message.WParam) >= ' ') return;
      break;
    case WM_LBUTTONDOWN:
      if (!fromQt) {
        UserClick(ItemAtPos(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)), true));
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (!fromQt) return;
      break;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      Message.Result = platform::FindItemPrefix(
          *FItems, Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "",
          static_cast<int>(static_cast<std::intptr_t>(Message.WParam)), Message.Msg == LB_FINDSTRINGEXACT);
      return;
    case LB_SELITEMRANGE: {
      if (!FMultiSelect) {
        Message.Result = LB_ERR;
        return;
      }
      int first = LOWORD(static_cast<DWORD>(Message.LParam));
      int last = HIWORD(static_cast<DWORD>(Message.LParam));
      if (first > last) std::swap(first, last);
      const int n = static_cast<int>(FItems->size());
      for (int i = std::max(0, first); i <= last && i < n; ++i) (*FItems)[i].Selected = Message.WParam != 0;
      MirrorSelection();
      Message.Result = LB_OKAY;
      return;
    }
    case LB_SETSEL: {
      const int i = static_cast<int>(Message.LParam);
      if (!FMultiSelect) {
        Message.Result = LB_ERR;
        return;
      }
      if (i == -1)
        for (int k = 0; k < FItems->size(); ++k) (*FItems)[k].Selected = Message.WParam != 0;
      else if (i >= 0 && i < static_cast<int>(FItems->size()))
        (*FItems)[i].Selected = Message.WParam != 0;
      MirrorSelection();
      Message.Result = LB_OKAY;
      return;
    }
    case LB_GETSEL: {
      const int i = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
      Message.Result = (i >= 0 && i < static_cast<int>(FItems->size())) ? ((*FItems)[i].Selected ? 1 : 0) : LB_ERR;
      return;
    }
    case LB_SETCURSEL: {
      const int i = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
      SetItemIndex(i);
      Message.Result = (i >= 0 && i == FItemIndex) ? i : LB_ERR;
      return;
    }
    case LB_GETCURSEL: Message.Result = FItemIndex; return;
    case LB_GETCARETINDEX: Message.Result = FItemIndex; return;
    case LB_GETCOUNT: Message.Result = static_cast<LRESULT>(FItems->size()); return;
    case LB_GETSELCOUNT: Message.Result = FMultiSelect ? SelCount() : LB_ERR; return;
    case LB_GETTOPINDEX: Message.Result = TopIndex(); return;
    case LB_SETTOPINDEX:
      SetTopIndex(static_cast<int>(static_cast<std::intptr_t>(Message.WParam)));
      Message.Result = LB_OKAY;
      return;
    case LB_GETITEMHEIGHT: Message.Result = FItemHeight; return;
    case LB_SETITEMHEIGHT: SetItemHeight(static_cast<int>(Message.LParam)); return;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: AnswerItemText(Message, *FItems, Message.Msg == LB_GETTEXT, LB_ERR); return;
    case LB_ITEMFROMPOINT: {
      const int row = ItemAtPos(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)), true);
      Message.Result = row >= 0 ? row : MAKELONG(static_cast<WORD>(FItems->size()), 1);
      return;
    }
    default: break;
  }
  TWinControl::DefaultHandler(Message);
}
