// The toolkit's single-line edit: TCustomStrEdit and TStrEdit.
//
// On top of the platform edit it carries
// - an edit mask of its own (see platform::TEditMask below) with the raw
//   value EText, the displayed Text without the literals the edit inserts;
//   typing, pasting and cutting follow the mask;
// - a caption label, a TLabel named "lab_" + the edit's name under the
//   edit's owner, found or created on demand and kept beside the edit
//   (above, left, below, or where it was put);
// - colours of the state: ColorBackground while focused, ColorChanged for
//   a value that differs from the reference text when the edit is left,
//   ColorDisabled for the text of a disabled edit;
// - Enter, Up and Down hand the focus on (WM_NEXTDLGCTL to the owner's
//   window, with MapEnterToTab to the topmost parent form); Enter also sets
//   the read-once flag GetKeyCR;
// - its own painting of the text, aligned by Alignment, while it is not the
//   active control of its form.
// Refused input is signalled by MessageBeep(0) only.
#pragma once

#include <cstdint>

#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

namespace platform {

// The edit mask and the value logic built on it, position by position:
//   "0", "9"  a digit
//   ">"       any character, made upper case; "<" lower case
//   " " "-" "." "/" "_"   literals: typed by the edit itself ("_" shows as
//             a blank); no typed character goes there
//   other     any character (the "," of a decimal mask, the ":" of a time mask)
// A character that its position refuses is still accepted when it occurs
// in the mask, except a "-" whose first occurrence is the mask's last
// character: that one only into an empty text (a leading minus sign).
// Kinds: a 5-character mask whose first ":" is the third is a time mask
// (MaxLength 4: the four digits of "hh:mm"); a mask with a "," is a decimal
// mask with as many decimals as characters follow the first "," (MaxLength
// one less than the mask: its digits); the rest are plain masks.  The ":"
// of a time and the "," of a decimal amount take no place under MaxLength.
// Positions count from 1, as the mask is written.
class TEditMask {
public:
  static bool IsLiteral(char C) { return C == ' ' || C == '-' || C == '.' || C == '/' || C == '_'; }
  // The character a literal shows as.
  static char LiteralShown(char C) { return C == '_' ? ' ' : C; }

  // Stores the mask and derives its kind.
  void SetMask(const AnsiString& Mask);
  const AnsiString& Mask() const { return FMask; }
  bool HasMask() const { return !FMask.empty(); }
  int Decimals() const { return FDecimals; }
  bool IsTime() const { return FTime; }
  // The MaxLength the kind gives (-1 for no mask).
  int DerivedMaxLength() const { return FMaxLength; }
  // An empty value stays empty in FormatDecimal and FormatTime.
  bool Empty() const { return FEmpty; }
  void SetEmpty(bool Value) { FEmpty = Value; }

  // Whether mask position Pos holds a literal (false beyond the mask).
  bool LiteralAt(int Pos) const;
  // The places the first Count characters of S take against MaxLength:
  // one each, but none for the ":" of a time or the "," of a decimal mask.
  int Places(const AnsiString& S, std::size_t Count) const;

  // The raw value of a displayed text: literals dropped (and for a decimal
  // mask leading "0" and "," and every ",").
  AnsiString StripMask(const AnsiString& S) const;
  // The displayed text of a raw value.
  AnsiString FormatMask(const AnsiString& Value) const;
  // "5" -> "0,05" with 2 decimals ("" without decimals).
  AnsiString FormatDecimal(const AnsiString& S) const;
  // A typed amount in its decimal form: the first "," in S starts the
  // decimals (more than the mask's are dropped, fewer filled with "0":
  // "12,5" -> "12,50"); without one as FormatDecimal ("1250" -> "12,50").
  AnsiString FormatTypedDecimal(const AnsiString& S) const;
  // "930" -> "09:30" for a time mask; other masks leave S as it is.
  AnsiString FormatTime(const AnsiString& S) const;
  // Whether Key may stand at mask position Pos of Text; may change Key's case.
  bool CharFitsMask(int Pos, const AnsiString& Text, char& Key) const;
  // The same after moving Pos over literal positions (never past the
  // mask's last position).
  bool CharFitsAt(int Pos, const AnsiString& Text, char& Key) const;
  // The paste rule: Clip pasted over the selection [SelStart, SelEnd) of
  // Text (offsets from 0).  True when the result fits the mask, with the new
  // raw value in NewEText; false leaves everything as it is.  MaxLength 0
  // or less is no limit; a longer result is cut to it, except that an
  // amount pasted with its "," into a decimal mask keeps its value
  // (FormatTypedDecimal) and does not fit when its digits are too many.
  bool PasteValue(const AnsiString& Clip, const AnsiString& Text, int SelStart, int SelEnd, int MaxLength,
                  AnsiString& NewEText) const;
  // The raw value of Text as an integer (decimal separator of the process,
  // halves to even, the low 32 bits); 0 when it is no number.
  std::int32_t AsInteger(const AnsiString& Text) const;

private:
  bool TakesPlace(char C) const { return !(FTime && C == ':') && !(FDecimals > 0 && C == ','); }
  // The length of the longest start of S that takes at most Count places.
  std::size_t PlacesEnd(const AnsiString& S, int Count) const;

  AnsiString FMask;
  int FDecimals = 0;
  bool FTime = false;
  int FMaxLength = -1;
  bool FEmpty = true;
};

}  // namespace platform

// A caption label on another parent, or of another owner.
class ELabeledControl : public Exception {
public:
  using Exception::Exception;
  // 1: label position, 2: attaching a label of another form.
  static ELabeledControl CreateCode(Word Code, const AnsiString& Name);
  const char* ClassName() const override { return "ELabeledControl"; }
};

enum TLabelPos { lpCustom, lpLeft, lpTop, lpBottom };

class TCustomStrEdit : public TCustomEdit {
  ZEL_CLASS(TCustomStrEdit, TCustomEdit)
public:
  explicit TCustomStrEdit(TComponent* AOwner);
  ~TCustomStrEdit() override;

  // The Enter flag: true once after Enter left the edit, then false.
  bool GetKeyCR();

  // Mask and value.
  const AnsiString& EditMask() const { return FMask.Mask(); }
  void SetEditMask(const AnsiString& Value);
  AnsiString EText();
  void SetEText(const AnsiString& Value);
  // Text; the EText cache becomes its raw value (as far as a mask is set).
  virtual AnsiString UpdateEText();
  // Empties the value and the reference text; the changed state ends.
  virtual void ClearValue();
  // The EText cache becomes the raw value of Text, which it returns.
  virtual AnsiString FetchEText();
  AnsiString StripMask(const AnsiString& S) const { return FMask.StripMask(S); }
  AnsiString FormatMask(const AnsiString& Value) const { return FMask.FormatMask(Value); }
  AnsiString FormatDecimal(const AnsiString& S) const { return FMask.FormatDecimal(S); }
  AnsiString FormatTime(const AnsiString& S) const { return FMask.FormatTime(S); }
  bool CharFitsMask(int Pos, const AnsiString& AText, char& Key) const {
    return FMask.CharFitsMask(Pos, AText, Key);
  }
  bool CharFitsAt(int Pos, char& Key);
  std::int32_t AsInteger();
  const platform::TEditMask& Mask() const { return FMask; }

  bool Empty() const { return FMask.Empty(); }
  void SetEmpty(bool Value) { FMask.SetEmpty(Value); }
  const AnsiString& EditChars() const { return FEditChars; }
  void SetEditChars(const AnsiString& Value) { FEditChars = Value; }
  bool MapEnterToTab() const { return FMapEnterToTab; }
  void SetMapEnterToTab(bool Value) { FMapEnterToTab = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  // State colours.
  TColor ColorChanged() const { return FColorChanged; }
  void SetColorChanged(TColor Value) { FColorChanged = Value; }
  TColor ColorBackground() const { return FColorBackground; }
  void SetColorBackground(TColor Value) { FColorBackground = Value; }
  TColor ColorDisabled() const { return FColorDisabled; }
  void SetColorDisabled(TColor Value);
  // The value differed from the reference text when the edit was last left.
  bool ValueChanged() const { return FChanged; }
  const AnsiString& ReferenceText() const { return FRefText; }

  // Caption label.
  AnsiString LabelText();
  void SetLabelText(const AnsiString& Value);
  TLabelPos LabelPos() const { return FLabelPos; }
  void SetLabelPos(TLabelPos Value);
  int LabelMargin() const { return FLabelMargin; }
  void SetLabelMargin(int Value);
  bool LabelColon() const { return FLabelColon; }
  void SetLabelColon(bool Value);
  TLabel* LabelComponent() const { return FLabel; }
  void SetLabelComponent(TLabel* Value);

  void SetName(const AnsiString& NewName) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void VisibleChanging() override;
  void Change() override;
  void KeyPress(char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void WMLButtonDblClk(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMEnable(TMessage& Message) override;
  void WMCut(TMessage& Message) override;
  void WMPaste(TMessage& Message) override;

  void CreateLabel();
  void FreeLabel();
  bool HasLabel();
  void PositionLabel();
  void SetChanged(bool Value);
  int TextMargin();
  void SetFlat();

private:
  void HandFocusOn(bool Previous);
  void GetSel(int& Start, int& End);
  void SetSel(int Start, int End);
  bool IsActiveControl();
  // MaxLength as a limit (0 or less: none).
  int Limit() const { return MaxLength() > 0 ? MaxLength() : INT32_MAX; }

  bool FKeyCR = false;
  platform::TEditMask FMask;  // mask, kind, decimal count, time flag, Empty
  AnsiString FETextCache;
  TAlignment FAlignment = taLeftJustify;
  TAlignment FSavedAlignment = taLeftJustify;
  AnsiString FRefText;
  TColor FSavedColor = clWindow;
  TColor FSavedFontColor = clWindowText;
  TLabel* FLabel = nullptr;
  TLabelPos FLabelPos = lpTop;
  int FLabelMargin = 2;
  bool FLabelColon = false;
  bool FChanged = false;
  TColor FColorChanged = clBlue;
  TColor FColorBackground = 0xD0FFD0;
  TColor FColorDisabled = clRed;
  AnsiString FEditChars;
  bool FMapEnterToTab = false;
};

class TStrEdit : public TCustomStrEdit {
  ZEL_CLASS(TStrEdit, TCustomStrEdit)
public:
  explicit TStrEdit(TComponent* AOwner) : TCustomStrEdit(AOwner) {}
};
