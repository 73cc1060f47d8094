// Drawn labels.
//
// TKALabel: a caption label whose caption may carry "\x" escapes of wide
// characters (DrawEscapedText).
// TKlabel: a label that draws its caption itself, on white by default,
// with a pen of its own and a border:
// - plain mode: the caption with margins of 2 pixels ("&" shows as itself,
//   "_" as a blank); with AutoLen the width follows the text;
// - Separator mode: one right-aligned box of BoxWidth pixels per
//   comma-separated item of the caption, a vertical pen line after each;
// - chunk mode (FieldLen 1 or more): one box per FieldLen characters, with
//   Numeric each chunk shown as an integer (an empty box for 0 or no number).
// In the box modes AutoLen makes the width BoxWidth x boxes + 1.  Setters
// that change the look repaint at once.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/stdctrls.h"

class TKALabel : public TCustomLabel {
  ZEL_CLASS(TKALabel, TCustomLabel)
public:
  explicit TKALabel(TComponent* AOwner);
  ~TKALabel() override;

protected:
  void DoDrawText(TRect& Rect, UINT Flags) override;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken, sbsRaised, sbsBump, sbsEtched };

class TKlabel : public TCustomLabel {
  ZEL_CLASS(TKlabel, TCustomLabel)
public:
  explicit TKlabel(TComponent* AOwner);
  ~TKlabel() override;

  // The label's own pen; SetPen copies the attributes of Value into it.
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value);
  int BoxWidth() const { return FBoxWidth; }
  void SetBoxWidth(int Value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle Value);
  bool Separator() const { return FSeparator; }
  // Empties the caption, BoxWidth 32, FieldLen 0.
  void SetSeparator(bool Value);
  bool AutoLen() const { return FAutoLen; }
  void SetAutoLen(bool Value);
  int FieldLen() const { return FFieldLen; }
  // Empties the caption, BoxWidth 32, Separator off.
  void SetFieldLen(int Value);
  bool Numeric() const { return FNumeric; }
  void SetNumeric(bool Value) { FNumeric = Value; }

  // The caption as plain and chunk mode show it: "&" doubled, "_" a blank.
  static AnsiString DisplayText(const AnsiString& Caption);

protected:
  void Paint() override;

private:
  void PaintNow();
  void DrawBoxes(const std::vector<AnsiString>& Texts);

  std::unique_ptr<TPen> FPen;
  int FBoxWidth = 32;
  TStaticBorderStyle FBorderStyle = sbsSingle;
  bool FSeparator = false;
  bool FAutoLen = true;
  int FFieldLen = 0;
  bool FNumeric = true;
  bool FCopyingPen = false;
};
