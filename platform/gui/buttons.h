// TSpeedButton: a windowless button drawn on its parent.
#pragma once

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Pressing the left button inside shows it pressed; releasing inside fires
// Click.  With GroupIndex above 0 it stays down (Down) after a click, and
// the other buttons of its group with the same parent come up; AllowAllUp
// lets a click raise the button that is down.  Flat buttons show a frame
// only while the mouse is over them.  It takes no focus.
class TSpeedButton : public TGraphicControl {
  ZEL_CLASS(TSpeedButton, TGraphicControl)
public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
  }
  int Margin() const { return FMargin; }
  void SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
  }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
  }
  TButtonState State() const { return FState; }
  // As if the user clicked it.
  void Click() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool ClickOnMouseUp() const override { return false; }
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

private:
  void UpdateGroup();
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TButtonState FState = bsUp;
  bool FDragging = false;
  bool FMouseInside = false;
};
