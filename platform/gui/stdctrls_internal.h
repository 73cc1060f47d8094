// What the files of the standard controls share: the boxes' item store and
// the TStrings over it, the pieces of the boxes' owner draw and item
// messages, the platform's edit menu and focus rectangle, the type-ahead
// (defined in stdctrls.cpp and edit.cpp) and the painting of buttons and
// check boxes.  Only .cpp files of platform/gui (and its tests) include this
// header.
#pragma once

#include <QAbstractListModel>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls.h"

class QLineEdit;

// ---------------------------------------------------------------- item lists

namespace platform {

// The items of a combo or list box: text and object per item, kept by the
// control; the control mirrors them to its native window.
struct ControlItem {
  AnsiString Text;
  TObject* Object = nullptr;
  bool Selected = false;  // multi-select list boxes
};

// The item sequence of a box, kept in blocks so that inserting into a long
// (sorted) list moves only one block; reading in index order is O(1) per
// item.
class ItemStore {
public:
  int size() const { return FCount; }
  bool empty() const { return FCount == 0; }
  ControlItem& operator[](int Index) { return At(Index); }
  const ControlItem& operator[](int Index) const { return const_cast<ItemStore*>(this)->At(Index); }
  ControlItem& operator[](std::size_t Index) { return At(static_cast<int>(Index)); }
  const ControlItem& operator[](std::size_t Index) const {
    return const_cast<ItemStore*>(this)->At(static_cast<int>(Index));
  }
  void insert(int Index, ControlItem Item);
  void erase(int Index);
  void clear();
  // Stable sort by AnsiCompareText.
  void Sort();
  // Where S goes into the items sorted by AnsiCompareText (after equal texts).
  int SortedInsertIndex(const AnsiString& S) const;

private:
  ControlItem& At(int Index);
  void Locate(int Index, std::size_t& Block, int& Offset);
  std::vector<std::vector<ControlItem>> FBlocks;  // none empty
  int FCount = 0;
  // The block found last and the index of its first item.
  std::size_t FCacheBlock = 0;
  int FCacheStart = 0;
};

// Index of the first item (from After + 1, wrapping; After -1: from the
// top) whose text begins with Prefix, case ignored; -1 when none.  Exact:
// the whole text must match.
int FindItemPrefix(const ItemStore& Items, const AnsiString& Prefix, int After, bool Exact);

// What changed in a box's items, as ControlStrings tells its control.
enum class ItemChange {
  Inserted,    // item Index is new
  Deleted,     // item Index is gone
  Replaced,    // item Index has a new text
  Cleared,     // all items are gone (Index -1)
  UpdateEnded  // the last EndUpdate: the changes since BeginUpdate are done (Index -1)
};

// The TStrings of a box over its item vector.
class ControlStrings : public TStrings {
  ZEL_CLASS(ControlStrings, TStrings)
public:
  // Called after every change of the items, so that the control mirrors it.
  using Notify = std::function<void(ItemChange Kind, int Index)>;
  ControlStrings(ItemStore* Items, std::function<bool()> Sorted, Notify OnItems)
      : FItems(Items), FSorted(std::move(Sorted)), FNotify(std::move(OnItems)) {}

  int Add(const AnsiString& S) override;
  int AddObject(const AnsiString& S, TObject* AObject) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const AnsiString& S) override;
  AnsiString Get(int Index) override;
  int GetCount() override;
  TObject* GetObject(int Index) override;
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  int IndexOf(const AnsiString& S) override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  void Check(int Index, bool AllowCount);
  ItemStore* FItems;
  std::function<bool()> FSorted;
  Notify FNotify;
};

// Shift and Ctrl as the keyboard state has them now.
bool ShiftDown();
bool CtrlDown();

// Typed texts of the type-ahead start afresh after this pause.
constexpr DWORD kTypeAheadPause = 1000;

// The platform's edit menu, in the program's language: Undo; Cut, Copy,
// Paste, Delete; Select all, each entry enabled as the platform enables it
// (nothing to cut or copy from a password).  An entry sends Command its
// message (WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR; EM_SETSEL for
// select all).
void PopupEditMenu(QLineEdit* Edit, const QPoint& Global, const std::function<void(UINT)>& Command);

// Moves a box's item index along with a change of its items: past an item
// inserted before it, back over one deleted before it, to none when its
// own item is deleted or all are cleared.
void FollowItemChange(int& ItemIndex, ItemChange Kind, int Index);

// CN_DRAWITEM of a box: puts the control's canvas on the item's device
// context with the control's font and colour (the highlight for a selected
// item), draws the item (an index below 0 only clears the rectangle) and
// always releases the context again.
template <class Draw>
void PaintOwnerItem(TCanvas& Canvas, const TControl& Control, TMessage& Message, TOwnerDrawState State,
                    bool FocusRect, Draw&& DrawItem) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const int index = static_cast<int>(dis->itemID);
  Canvas.SetHandle(dis->hDC);
  Canvas.Font()->Assign(Control.Font());
  Canvas.Brush()->SetColor(Control.Color());
  Canvas.Brush()->SetStyle(bsSolid);
  if (index >= 0 && State.Contains(odSelected)) {
    Canvas.Brush()->SetColor(clHighlight);
    Canvas.Font()->SetColor(clHighlightText);
  }
  const TRect r(dis->rcItem);
  try {
    if (index >= 0)
      DrawItem(index, r, State);
    else
      Canvas.FillRect(r);
    if (FocusRect && State.Contains(odFocused)) Canvas.DrawFocusRect(r);
  } catch (...) {
    Canvas.SetHandle(nullptr);
    throw;
  }
  Canvas.SetHandle(nullptr);
  Message.Result = 1;
}

// The default look of an item: the background, then its text.
void DrawItemText(TCanvas& Canvas, const platform::ItemStore& Items, int Index, const TRect& Rect);

// CB_GETLBTEXT(LEN), LB_GETTEXT(LEN): the length of the text of item WParam
// and, with CopyText, the text and its 0 into the buffer at LParam.
void AnswerItemText(TMessage& Message, const platform::ItemStore& Items, bool CopyText, LRESULT Error);

// CN_MEASUREITEM of a box: the control's item height unless the message
// brings one, as the control's MeasureItem leaves it, at least 1.
template <class Measure>
void AnswerMeasureItem(TMessage& Message, int ItemHeight, Measure&& MeasureItem) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  int h = static_cast<int>(mis->itemHeight);
  if (h <= 0) h = ItemHeight;
  MeasureItem(static_cast<int>(mis->itemID), h);
  mis->itemHeight = static_cast<UINT>(std::max(1, h));
  Message.Result = 1;
}

// The rows of a box's list as Qt's views see them: the box's own items,
// read where a view asks for them (the texts of the rows it shows), so the
// box keeps its items once.  The model tells the views of every change of
// its row count; a row past the box's items (while a view is told of a
// change the items made already) reads as empty.
class ItemListModel : public QAbstractListModel {
public:
  ItemListModel(QObject* Parent, const ItemStore* Items) : QAbstractListModel(Parent), FItems(Items) {}

  int rowCount(const QModelIndex& Parent = QModelIndex()) const override { return Parent.isValid() ? 0 : FRows; }
  QVariant data(const QModelIndex& Index, int Role) const override {
    if (!Index.isValid() || Index.row() >= FItems->size() || (Role != Qt::DisplayRole && Role != Qt::EditRole))
      return QVariant();
    return ToQString((*FItems)[Index.row()].Text);
  }

  // The views take all rows anew.
  void Reset() {
    beginResetModel();
    FRows = FItems->size();
    endResetModel();
  }
  // Rows came at the end of the items: one insertion for all of them.
  void Appended() {
    const int Rows = FItems->size();
    if (Rows <= FRows) return;
    beginInsertRows(QModelIndex(), FRows, Rows - 1);
    FRows = Rows;
    endInsertRows();
  }
  void Inserted(int Row) {
    beginInsertRows(QModelIndex(), Row, Row);
    ++FRows;
    endInsertRows();
  }
  void Removed(int Row) {
    beginRemoveRows(QModelIndex(), Row, Row);
    --FRows;
    endRemoveRows();
  }
  void Changed(int Row) { emit dataChanged(index(Row), index(Row)); }

private:
  const ItemStore* FItems;
  int FRows = 0;
};

// Items of owner-drawn boxes are drawn by the control (CN_DRAWITEM).
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
  OwnerDrawDelegate(QObject* Parent, TWinControl* Control, UINT Type)
      : QStyledItemDelegate(Parent), FControl(Control), FType(Type) {}
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    UINT state = 0;
    if (Option.state & QStyle::State_Selected) state |= ODS_SELECTED;
    if (Option.state & QStyle::State_HasFocus) state |= ODS_FOCUS;
    if (!(Option.state & QStyle::State_Enabled)) state |= ODS_DISABLED;
    platform::SendDrawItem(FControl, Painter, Option.rect, Index.row(), state, FType);
  }
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
  TWinControl* FControl;
  UINT FType;
};

// The platform's dotted focus rectangle, over what the style drew.
void DrawPlatformFocusRect(QPainter* Painter, QWidget* Widget, const QRect& Rect);

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
  if (Widget->hasFocus())
    DrawPlatformFocusRect(&p, Widget, Widget->style()->subElementRect(FocusArea, &opt, Widget));
}

}  // namespace platform
