// Multi-column combo and list boxes of keyed item lines.
//
// Both boxes keep every entry as one text, the item line: fields that each
// end with ";".  The box puts a sort key in front of the caller's line (the
// caller's field SortItem), so the native sorting of item texts orders the
// entries by that field:
//     caller line   '12;00012;Alpha'
//     stored line   'Alpha;12;00012;Alpha;'     (SortItem 3)
// Field 0 of a stored line is the sort key, fields 1 and up are the visible
// columns, field KeyPos (default 1) is the entry's key.  Keys compare with
// the ASCII letters A-Z folded to a-z; every other character as it is.
//
// Column widths (ColWidths, e.g. "0;4;40;") are letter widths ("W" in the
// canvas font; the list box can take pixels instead); a column of width 0
// or less is hidden.
//
// Focus hand-on: the boxes move the focus by posting WM_NEXTDLGCTL (wParam
// 0 next, 1 previous) to their owner's window; the combo box with
// MapEnterToTab posts it to its topmost parent form instead.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/gui/stdctrls.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"

// The sort field of a box: 1..10 in one byte (the setters accept 1..11).
using TSortItem = Byte;
// Sender, a column number (OnGetText) or item index (OnGetLine), the text.
using TGetTextEvent = std::function<void(TObject* Sender, int ind, AnsiString& AText)>;

// The result of splitting a line: entries 0..11; at most 11 fields are
// read, so entry 11 stays empty.
inline constexpr int KFieldTableSize = 12;
inline constexpr int KFieldLimit = 11;
using TKFieldTable = std::array<AnsiString, KFieldTableSize>;
// The parsed column widths, entry c-1 for column c.
using TKWidthTable = std::array<int, KFieldTableSize>;

// Key (field FieldIndex of Line, 0-based; a negative index counts as 0)
// followed by ";", Line and ";".  When Line has no more than FieldIndex
// terminated fields the key is the text after its last ";".
AnsiString MakeSortLine(int FieldIndex, const AnsiString& Line);
// The text after the first ";" (the caller's line of a stored line); empty
// when the line has no ";".
AnsiString StripSortKey(const AnsiString& Line);
// Splits Line at each ";" into the next entries of Fields while fewer than
// Limit are filled; returns the number filled.  Entries not filled are
// left as they are.  Text after the last ";" is no field.
int SplitFields(const AnsiString& Line, TKFieldTable& Fields, int Limit);

// ---------------------------------------------------------------- TKCustomComboBox

// The combo box base: its own type-ahead search (in the list styles the
// typed text starts afresh after a pause of more than 1000 ms), a default
// height of 21 pixels and the flat frame of FlatLook.
class TKCustomComboBox : public TCustomComboBox {
  ZEL_CLASS(TKCustomComboBox, TCustomComboBox)
public:
  explicit TKCustomComboBox(TComponent* AOwner);

  DWORD LastKeyTime() const { return FLastKeyTime; }
  const AnsiString& SearchText() const { return FSearchText; }
  void SetFlat(bool Value);

  // Fired by TKComboBox when the selected key changes (not published).
  TNotifyEvent OnKeyChange;

protected:
  // The search; fires no OnKeyPress.
  void KeyPress(char& Key) override;
  void CNDrawItem(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;

  DWORD FLastKeyTime = 0;
  AnsiString FSearchText;

private:
  bool SelectText(const AnsiString& S);
  bool EditSelection(DWORD& Start, DWORD& End);
};

// ---------------------------------------------------------------- TKComboBox

// The owner-drawn multi-column combo box of keyed item lines.  While the
// selected key differs from BaseKey (the key the box was last set to) the
// box shows clWindow with the font colour ColorChanged.  Enter, Up and Down
// (with the list closed) hand the focus on; KeyCR tells once that Enter
// did.
class TKComboBox : public TKCustomComboBox {
  ZEL_CLASS(TKComboBox, TKCustomComboBox)
public:
  explicit TKComboBox(TComponent* AOwner);
  ~TKComboBox() override;

  // Adds a caller line; into an empty box the none line goes first.
  void AddLine(const AnsiString& Line, TObject* Obj = nullptr);
  // Selects by index (beyond the end: the last entry) and takes its key
  // as BaseKey and CurrentKey.
  void SetIndex(int Index);
  // Index of the first entry with that key (folded), -1 when none.
  int FindKey(const AnsiString& Key);
  // Selects the entry with that key, else the first entry; true when found.
  bool SetKey(const AnsiString& Key);
  // The key of the selection; empty text without one.
  AnsiString GetKey();
  // The key as an integer (decimal separator of the process, rounded half
  // to even); -1 when it is no number.
  int GetKeyInt();
  void SetChanged(bool Value);
  // True once after Enter; reading clears it.
  bool KeyCR();

  TSortItem SortItem() const { return FSortItem; }
  void SetSortItem(int Value);
  AnsiString ColWidths() const;
  // Raises EConvertError for a width that is no integer; the widths
  // then stay as they were.
  void SetColWidths(const AnsiString& Value);
  int ColWidthCount() const { return FColWidthCount; }
  int ColWidth(int Index) const { return FColWidths.at(static_cast<std::size_t>(Index)); }
  int KeyPos() const { return FKeyPos; }
  void SetKeyPos(int Value) { FKeyPos = Value; }
  const AnsiString& NoneItem() const { return FNoneItem; }
  void SetNoneItem(const AnsiString& Value) { FNoneItem = Value; }
  TColor ColorChanged() const { return FColorChanged; }
  void SetColorChanged(TColor Value) { FColorChanged = Value; }
  TColor ColorDisabled() const { return FColorDisabled; }
  void SetColorDisabled(TColor Value) { FColorDisabled = Value; }
  bool MapEnterToTab() const { return FMapEnterToTab; }
  void SetMapEnterToTab(bool Value) { FMapEnterToTab = Value; }

  const AnsiString& BaseKey() const { return FBaseKey; }
  const AnsiString& CurrentKey() const { return FCurrentKey; }
  const AnsiString& NotifiedKey() const { return FNotifiedKey; }
  bool KeyChanged() const { return FKeyChanged; }
  TColor SavedColor() const { return FSavedColor; }
  TColor SavedFontColor() const { return FSavedFontColor; }

  TGetTextEvent OnGetText;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void KeyPress(char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Change() override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

private:
  AnsiString KeyAt(int Index);
  void DoKeyChange();

  bool FKeyCR = false;
  TSortItem FSortItem = 0;
  TKWidthTable FColWidths{};
  int FColWidthCount = 0;
  int FKeyPos = 1;
  AnsiString FBaseKey;
  AnsiString FCurrentKey;
  AnsiString FNotifiedKey;
  AnsiString FNoneItem;
  bool FKeyChanged = false;
  TColor FSavedColor = clWindow;
  TColor FSavedFontColor = clWindowText;
  TColor FColorChanged = clBlue;
  TColor FColorDisabled = clRed;
  bool FMapEnterToTab = false;
};

// ---------------------------------------------------------------- TKCustomListBox

// The list box base: its own type-ahead search (the typed text starts
// afresh after a pause of more than 1000 ms; erasing it selects the first
// entry) and the flat look of FlatLook.
class TKCustomListBox : public TCustomListBox {
  ZEL_CLASS(TKCustomListBox, TCustomListBox)
public:
  explicit TKCustomListBox(TComponent* AOwner);

  DWORD LastKeyTime() const { return FLastKeyTime; }
  const AnsiString& SearchText() const { return FSearchText; }
  void SetFlat(bool Value);

protected:
  // The search; fires no OnKeyPress.
  void KeyPress(char& Key) override;
  void WMPaint(TMessage& Message) override;

  DWORD FLastKeyTime = 0;
  AnsiString FSearchText;
};

// ---------------------------------------------------------------- TKListBox

// The owner-drawn multi-column list box of keyed item lines: columns in
// letter widths or pixels, an optional grid line under every entry, a
// dimmed selection while the box has no focus, OnChange after every click,
// Enter to hand the focus on, and a click at the mouse position whenever
// the box receives the focus.
class TKListBox : public TKCustomListBox {
  ZEL_CLASS(TKListBox, TKCustomListBox)
public:
  explicit TKListBox(TComponent* AOwner);
  ~TKListBox() override;

  void AddLine(const AnsiString& Line, TObject* Obj = nullptr);
  // Selects by index (beyond the end: the last entry) without OnClick or
  // OnChange and takes its key as BaseKey and CurrentKey.
  void SetIndex(int Index);
  AnsiString GetKey();
  int GetKeyInt();
  void SetChanged(bool Value);
  // Takes the selection's index and key and re-evaluates the changed state.
  virtual void UpdateCurrent();

  TSortItem SortItem() const { return FSortItem; }
  void SetSortItem(int Value);
  AnsiString ColWidths() const;
  void SetColWidths(const AnsiString& Value);
  int ColWidthCount() const { return FColWidthCount; }
  int ColWidth(int Index) const { return FColWidths.at(static_cast<std::size_t>(Index)); }
  bool ColWidthsInPoint() const { return FColWidthsInPoint; }
  void SetColWidthsInPoint(bool Value);
  bool GitterHorizontal() const { return (FDrawFlags & 1u) != 0; }
  void SetGitterHorizontal(bool Value);
  std::uint32_t DrawFlags() const { return FDrawFlags; }
  int KeyPos() const { return FKeyPos; }
  void SetKeyPos(int Value) { FKeyPos = Value; }
  const AnsiString& NoneItem() const { return FNoneItem; }
  void SetNoneItem(const AnsiString& Value) { FNoneItem = Value; }

  const AnsiString& BaseKey() const { return FBaseKey; }
  const AnsiString& CurrentKey() const { return FCurrentKey; }
  bool KeyChanged() const { return FKeyChanged; }
  int LastIndex() const { return FLastIndex; }

  TGetTextEvent OnGetText;
  // Supplies, for an item index, the caller line to draw instead of the
  // stored one (not published).
  TGetTextEvent OnGetLine;
  TNotifyEvent OnChange;
  TDrawItemEvent OnPaintItem;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void Click() override;
  void KeyPress(char& Key) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

private:
  AnsiString LineKey(int Index);
  AnsiString SelectionKey();

  TSortItem FSortItem = 0;
  TKWidthTable FColWidths{};
  bool FColWidthsInPoint = false;
  int FColWidthCount = 0;
  int FKeyPos = 1;
  AnsiString FCurrentKey;
  AnsiString FNoneItem;
  bool FKeyChanged = false;
  AnsiString FBaseKey;
  int FLastIndex = -1;
  std::uint32_t FDrawFlags = 0;
};
