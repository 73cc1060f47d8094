// The standard controls' unit: the item lists of the boxes, the pieces the
// edit, combo box, list box and buttons share (stdctrls_internal.h) and the
// published properties.  Each control lives in a file of its own: edit.cpp,
// combobox.cpp, listbox.cpp, label.cpp, pushbutton.cpp, checkbox.cpp.
#include "platform/gui/stdctrls.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/gui/streaming.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

using platform::ControlItem;

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
  const auto block = std::partition_point(FBlocks.begin(), FBlocks.end(), [&](const std::vector<ControlItem>& b) {
    return !TextLess(probe, b.back());
  });
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
  FNotify(ItemChange::Inserted, i);
  return i;
}

void ControlStrings::Clear() {
  FItems->clear();
  FNotify(ItemChange::Cleared, -1);
}

void ControlStrings::Delete(int Index) {
  Check(Index, false);
  FItems->erase(Index);
  FNotify(ItemChange::Deleted, Index);
}

void ControlStrings::Insert(int Index, const AnsiString& S) {
  Check(Index, true);
  FItems->insert(Index, ControlItem{S, nullptr});
  FNotify(ItemChange::Inserted, Index);
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
  FNotify(ItemChange::Replaced, Index);
}

void ControlStrings::PutObject(int Index, TObject* AObject) {
  Check(Index, false);
  (*FItems)[static_cast<std::size_t>(Index)].Object = AObject;
}

int ControlStrings::IndexOf(const AnsiString& S) { return FindItemPrefix(*FItems, S, -1, true); }

void ControlStrings::SetUpdateState(bool Updating) {
  if (!Updating) FNotify(ItemChange::UpdateEnded, -1);
}

}  // namespace platform

// ---------------------------------------------------------------- combo and list box

namespace platform {

void FollowItemChange(int& ItemIndex, ItemChange Kind, int Index) {
  switch (Kind) {
    case ItemChange::Inserted:
      if (ItemIndex >= Index && ItemIndex >= 0) ++ItemIndex;
      break;
    case ItemChange::Deleted:
      if (ItemIndex == Index)
        ItemIndex = -1;
      else if (ItemIndex > Index)
        --ItemIndex;
      break;
    case ItemChange::Cleared: ItemIndex = -1; break;
    case ItemChange::Replaced:
    case ItemChange::UpdateEnded: break;
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
                            {{"csDropDown", csDropDown},
                             {"csSimple", csSimple},
                             {"csDropDownList", csDropDownList},
                             {"csOwnerDrawFixed", csOwnerDrawFixed},
                             {"csOwnerDrawVariable", csOwnerDrawVariable}},
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
                           {{"lbStandard", lbStandard},
                            {"lbOwnerDrawFixed", lbOwnerDrawFixed},
                            {"lbOwnerDrawVariable", lbOwnerDrawVariable},
                            {"lbVirtual", lbVirtual},
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
      .Enum<TCheckBoxState>("State",
                            {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}},
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
