// Standard controls of the GUI class library: edit, combo box, list box,
// label, button, check box.
//
// Each keeps its state in its own fields and mirrors it to its Qt widget,
// so that it works before and without a native window.  The notifications
// of the native controls are ours: Click, Change and Select of the combo and
// list boxes come only from the user's actions (a value the program sets
// fires nothing); an edit's Change follows its text, whoever changed it,
// as the native edit's change notice does.  Sorted boxes keep their items in
// the order of AnsiCompareText (the fixed locale comparison); the prefix
// searches CB_FINDSTRING and LB_FINDSTRING ignore case and start from the
// top.  Qt's own sorting and keyboard search are never used.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/rtl/classes.h"

// ---------------------------------------------------------------- TCustomEdit

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A single-line edit.  MaxLength limits what the user types or pastes (0 or
// less: no limit), never the text the program sets.  WM_CUT, WM_COPY,
// WM_PASTE and WM_CLEAR run through the message path whether they come from
// the keyboard (Ctrl+X, Ctrl+C, Ctrl+V, Shift+Del, Ctrl+Ins, Shift+Ins), the
// context menu or the program, so a derived edit can take them over; the
// default processing does what the native edit does.  EM_GETSEL answers
// MAKELONG(start, end) and stores start and end where wParam and lParam
// point (when not 0); EM_SETSEL selects from wParam to lParam (-1: to the
// end; a start of -1 removes the selection).
class TCustomEdit : public TWinControl {
  ZEL_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Set by every change of the text by the user; the program clears it.
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // Selection, counted from 0 in characters.
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  AnsiString SelText();
  void SetSelText(const AnsiString& Value);
  void SelectAll();
  void ClearSelection() { Perform(WM_CLEAR, 0, 0); }
  void CopyToClipboard() { Perform(WM_COPY, 0, 0); }
  void CutToClipboard() { Perform(WM_CUT, 0, 0); }
  void PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

  void DefaultHandler(TMessage& Message) override;

  // For the layer: the user changed the text in the native edit.
  void NativeTextEdited();

protected:
  virtual void Change();
  AnsiString GetText() override;
  void SetTextValue(const AnsiString& Value) override;
  void CMEnter(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  bool TakesFocusOnClick() const override { return true; }
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  // The characters the user may still add to the text when Selected
  // characters are replaced (-1: no limit).
  int Room(int Selected);

private:
  void ApplyCase(AnsiString& S) const;
  void InsertText(const AnsiString& S, bool ByUser);
  void AdjustHeight();
  // The messages DefaultHandler answers; the first two return whether the
  // message is done or goes on to the native edit.
  bool CharMessage(TMessage& Message);
  bool ClipboardKey(WORD Key);
  void CopySelection();
  void CutSelection();
  void DeleteSelection();
  void PasteLine();
  void GetSelection(TMessage& Message);
  void SetSelection(TMessage& Message);
  void UndoLastEdit(TMessage& Message);

  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoSelect = true;
  bool FAutoSize = true;
  bool FHideSelection = true;
  TBorderStyle FBorderStyle = bsSingle;
  bool FModified = false;
  int FSelStart = 0;
  int FSelLength = 0;
  bool FMouseFocus = false;
};

class TEdit : public TCustomEdit {
  ZEL_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

namespace platform {
class ItemStore;  // the items of a box (stdctrls_internal.h)
enum class ItemChange;
}  // namespace platform

// ---------------------------------------------------------------- TCustomComboBox

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box.  csDropDown and csSimple have an edit part; the others show
// the selected item, drawn by the box itself in the owner-draw styles
// (CN_DRAWITEM for each list item and, with ODS_COMBOBOXEDIT, for the
// closed box's face).  The user's choice of an item fires Click, then
// Select (OnSelect, else Change); typing in the edit part fires Change.
// Setting ItemIndex, Text or Items fires nothing.
//
// Native messages: CB_FINDSTRING (wParam: start after, -1 from the top;
// lParam: const char* prefix), CB_FINDSTRINGEXACT, CB_SETCURSEL (wParam
// index, -1 none; answers the index or CB_ERR), CB_GETCURSEL, CB_GETCOUNT,
// CB_GETEDITSEL (like EM_GETSEL), CB_SETEDITSEL (lParam MAKELONG(start,
// end)), CB_SHOWDROPDOWN (wParam TRUE opens), CB_GETDROPPEDSTATE,
// CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETITEMHEIGHT.
class TCustomComboBox : public TWinControl {
  ZEL_CLASS(TCustomComboBox, TWinControl)
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return FStrings.get(); }
  void SetItems(TStrings* Value) { FStrings->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  virtual void SetStyle(TComboBoxStyle Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  bool AutoCloseUp() const { return FAutoCloseUp; }
  void SetAutoCloseUp(bool Value) { FAutoCloseUp = Value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
  // The edit part's selection (edit styles).
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  AnsiString SelText();
  void SelectAll();

  void AddItem(const AnsiString& Item, TObject* AObject) { FStrings->AddObject(Item, AObject); }
  virtual void Clear();
  TCanvas* Canvas() const { return FCanvas.get(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void DefaultHandler(TMessage& Message) override;

  // For the layer (the native control's notices).
  void NativeActivated(int Index);
  // The arrow keys moved to entry Index in the open list: the box shows it
  // and remembers the entry selected before (a list closed without Enter
  // goes back to it).
  void PreviewListIndex(int Index);
  // Enter took entry Index in the open list: it becomes the selection, with
  // Click and Select when it differs from Before, the entry selected before
  // the arrow keys moved in the list.
  void TakeListIndex(int Index, int Before);
  void NativeEditTextEdited();
  void NativeDroppedDown();
  void NativeClosedUp();
  const platform::ItemStore& ItemList() const { return *FItems; }

protected:
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // The class library's type-ahead: selects the first item that begins
  // with the text typed so far (list styles) or completes the edit text.
  void KeyPress(char& Key) override;
  void CNDrawItem(TMessage& Message) override;
  void CNMeasureItem(TMessage& Message) override;
  bool ClickOnMouseUp() const override { return false; }
  bool TakesFocusOnClick() const override { return true; }
  AnsiString GetText() override;
  void SetTextValue(const AnsiString& Value) override;
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  void CreateWnd() override;
  bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
  bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }

private:
  void ItemsChanged(platform::ItemChange Kind, int Index);
  void MirrorItems();
  void MirrorSelection();
  int FindString(const AnsiString& S, int After, bool Exact) const;
  // Closes the open list; with Take the entry it shows becomes the
  // selection (TakeListIndex), else the selection goes back to the one
  // before the arrow keys moved in it.
  void CloseList(bool Take);
  // Pieces of DefaultHandler, each true when it handled the message.
  bool ListKeyDown(TMessage& Message);
  bool OpenListKey(WORD Key, LPARAM KeyData);
  int ListKeyTarget(WORD Key, int At, int Page) const;
  bool RefusesChar(const TMessage& Message);
  bool CBItemMessage(TMessage& Message);
  void CBGetEditSel(TMessage& Message);
  void CBSetEditSel(TMessage& Message);

  std::unique_ptr<platform::ItemStore> FItems;
  std::unique_ptr<TStrings> FStrings;  // a platform::ControlStrings over FItems
  std::unique_ptr<TControlCanvas> FCanvas;
  int FItemIndex = -1;
  // The entry selected before the arrow keys moved in the open list.
  static constexpr int kNoListMove = -2;
  int FListFrom = kNoListMove;
  // The entry selected before the arrow keys moved in the open list, or
  // the selection when they did not.
  int SelectionBeforeList() const;
  TComboBoxStyle FStyle = csDropDown;
  bool FSorted = false;
  int FItemHeight = 16;
  int FDropDownCount = 8;
  int FMaxLength = 0;
  bool FAutoComplete = true;
  bool FAutoDropDown = false;
  bool FAutoCloseUp = false;
  TEditCharCase FCharCase = ecNormal;
  bool FDroppedDown = false;  // without a native window
  AnsiString FTypedText;      // the class library's type-ahead
  DWORD FLastTyped = 0;
  int FEditSelStart = 0, FEditSelLength = 0;
};

class TComboBox : public TCustomComboBox {
  ZEL_CLASS(TComboBox, TCustomComboBox)
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---------------------------------------------------------------- TCustomListBox

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// A list box.  Every selection the user makes (mouse or keys) fires Click,
// also a click on the item already selected; what the program sets fires
// nothing.  In the owner-draw styles each item is drawn by DrawItem through
// CN_DRAWITEM (the canvas brush clHighlight and font clHighlightText for a
// selected item), and the focus rectangle of the item with the focus is
// drawn after DrawItem returns.
//
// Native messages: LB_FINDSTRING (wParam start after, -1 from the top;
// lParam const char*), LB_FINDSTRINGEXACT, LB_SELITEMRANGE (wParam select;
// lParam MAKELONG(first, last); multi-select boxes only), LB_SETCURSEL,
// LB_GETCURSEL, LB_SETSEL, LB_GETSEL, LB_GETCOUNT, LB_GETSELCOUNT,
// LB_GETTOPINDEX, LB_SETTOPINDEX, LB_GETTEXT, LB_GETTEXTLEN,
// LB_GETITEMHEIGHT, LB_ITEMFROMPOINT; WM_LBUTTONDOWN / WM_LBUTTONUP sent
// by the program act as the user's click at that point.
class TCustomListBox : public TWinControl {
  ZEL_CLASS(TCustomListBox, TWinControl)
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const { return FStrings.get(); }
  void SetItems(TStrings* Value) { FStrings->Assign(Value); }
  // In a multi-select box the item with the focus (caret).
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int TopIndex();
  void SetTopIndex(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  // EListError for an index out of range.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  void ClearSelection();
  void SelectAll();
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  int Columns() const { return 0; }
  // The item at a client point, -1 when none.
  int ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(int Index);

  void AddItem(const AnsiString& Item, TObject* AObject) { FStrings->AddObject(Item, AObject); }
  virtual void Clear();
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void DefaultHandler(TMessage& Message) override;

  // For the layer (the native control's notices).
  void NativeSelectionChanged();
  // Brings the native list up to date after items were inserted in the
  // middle (which is mirrored in one pass, not line by line).
  void SyncNative();
  const platform::ItemStore& ItemList() const { return *FItems; }
  bool IsOwnerDraw() const {
    return FStyle == lbOwnerDrawFixed || FStyle == lbOwnerDrawVariable || FStyle == lbVirtualOwnerDraw;
  }

protected:
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // The class library's type-ahead: selects the first item beginning with
  // the key (the text typed within a second).
  void KeyPress(char& Key) override;
  void CNDrawItem(TMessage& Message) override;
  void CNMeasureItem(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  bool ClickOnMouseUp() const override { return false; }
  bool TakesFocusOnClick() const override { return true; }
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  void CreateWnd() override;

private:
  void ItemsChanged(platform::ItemChange Kind, int Index);
  void MirrorItems();
  void MirrorSelection();
  void UserClick(int Row);
  void CheckIndex(int Index) const;
  void SelectOnly(int Index);  // -1: none

  std::unique_ptr<platform::ItemStore> FItems;
  std::unique_ptr<TStrings> FStrings;  // a platform::ControlStrings over FItems
  std::unique_ptr<TControlCanvas> FCanvas;
  int FItemIndex = -1;
  int FTopIndex = 0;
  bool FNativeStale = false;  // the native list lags behind FItems
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
  TBorderStyle FBorderStyle = bsSingle;
  bool FIntegralHeight = false;
  bool FAutoComplete = true;
  AnsiString FTypedText;
  DWORD FLastTyped = 0;
  bool FClickedInEvent = false;
};

class TListBox : public TCustomListBox {
  ZEL_CLASS(TListBox, TCustomListBox)
public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------- TCustomLabel

enum TTextLayout { tlTop, tlCenter, tlBottom };

// A windowless text control drawn on its parent.  Paint fills the client
// rectangle with Color unless Transparent and draws the caption through
// DoDrawText with the flags of Alignment, Layout and WordWrap ("&x"
// underlines x unless ShowAccelChar is off).  AutoSize measures the caption
// through DoDrawText with DT_CALCRECT and sets the size to the rectangle it
// returns (keeping the width with WordWrap).  A click on the label's
// accelerator focuses FocusControl.
class TCustomLabel : public TGraphicControl {
  ZEL_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);
  ~TCustomLabel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  void Loaded() override;

protected:
  // Draws (or with DT_CALCRECT measures) the caption in Rect.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  void Paint() override;
  // Sets the size from the caption when AutoSize is on.
  virtual void AdjustBounds();
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual AnsiString GetLabelText();

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  ZEL_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------- buttons

// A push button: a click (mouse, Space, or Enter while it has the focus)
// fires Click; Default and Cancel buttons also react to Enter and Esc
// anywhere in their form.  ModalResult is handed to the form.
class TButtonControl : public TWinControl {
  ZEL_CLASS(TButtonControl, TWinControl)
public:
  explicit TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

protected:
  bool TakesFocusOnClick() const override { return true; }
};

class TButton : public TButtonControl {
  ZEL_CLASS(TButton, TButtonControl)
public:
  explicit TButton(TComponent* AOwner);
  ~TButton() override;
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // As if the user pressed it.
  void Click() override;

protected:
  bool ClickOnMouseUp() const override { return false; }
  void CMDialogKey(TMessage& Message) override;
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  void SetTextValue(const AnsiString& Value) override;

private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box.  The user's toggle (mouse or Space) fires Click; setting
// Checked or State from the program fires Click as well, as the class
// library's check box does.
class TCustomCheckBox : public TButtonControl {
  ZEL_CLASS(TCustomCheckBox, TButtonControl)
public:
  explicit TCustomCheckBox(TComponent* AOwner);
  ~TCustomCheckBox() override;
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }

  // For the layer: the user toggled the native check box.
  void NativeToggled();

protected:
  virtual void Toggle();
  bool ClickOnMouseUp() const override { return false; }
  platform::WidgetPeer* CreatePeer() override;
  void UpdatePeer() override;
  void SetTextValue(const AnsiString& Value) override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  ZEL_CLASS(TCheckBox, TCustomCheckBox)
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};
