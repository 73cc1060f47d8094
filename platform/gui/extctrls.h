// Panels and images of the GUI class library (and the timer, timer.h).
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/jpeg.h"
#include "platform/gui/timer.h"

// A container with 3-D bevels: from the outside in the outer bevel
// (BevelWidth pixels), BorderWidth pixels in Color, the inner bevel; the
// rest is filled with Color and shows the caption, vertically centred and
// aligned by Alignment.  Child controls aligned with Align stay inside the
// bevels and the border.
class TCustomPanel : public TCustomControl {
  ZEL_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);
  ~TCustomPanel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool ParentBackground() const { return false; }

  // The width of everything drawn around the inside.
  int FrameWidth() const;

protected:
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Resize() override;
  void CMTextChanged(TMessage& Message) override;

private:
  void FrameChanged();
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
  ZEL_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws the frame of a bevel: Width lines, TopColor on the top and left,
// BottomColor on the bottom and right; Rect shrinks by Width.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// Shows a picture.  Stretch scales it to the client area; Proportional
// keeps its aspect ratio while scaling (and shrinks a picture larger than
// the client area even without Stretch, never enlarging it then); Center
// centres it.  AutoSize takes the picture's size.  The image holds its own
// copy of the picture.
class TImage : public TGraphicControl {
  ZEL_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool IncrementalDisplay() const { return false; }

  // Where the picture is drawn, in client coordinates.
  TRect DestRect();

protected:
  void Paint() override;

private:
  void PictureChanged(TObject* Sender);
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FProportional = false;
  bool FCenter = false;
  bool FTransparent = false;
  bool FAutoSize = false;
};
