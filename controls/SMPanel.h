// A panel that the user moves by a caption area and sizes at its borders
// and corners inside another window (TSMPanel), and an inner window built
// on it (TKfrm): title bar, close button, caption colours that follow the
// focus, and a placement kept per user in the user and workstation store.
//
// TSMPanel does no dragging itself: it answers WM_NCHITTEST with HTCAPTION
// or HTTOP ... HTBOTTOMRIGHT and WM_GETMINMAXINFO with its size limits, and
// the platform's move and size loop does the rest.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

enum TResizeDirection {
  rdNone,
  rdTop,
  rdBottom,
  rdLeft,
  rdRight,
  rdTopLeft,
  rdTopRight,
  rdBottomLeft,
  rdBottomRight
};
using TResizeDirectionSet = Set<TResizeDirection, rdNone, rdBottomRight>;

// X, Y: the pointer in the panel's client coordinates.
using TNotifyMoveEvent = std::function<void(TObject* Sender, int X, int Y, bool& CanMove)>;
using TNotifyResizeEvent = std::function<void(TObject* Sender, TResizeDirection ResizeDirection, bool& CanResize)>;

class TSMPanel : public TPanel {
  ZEL_CLASS(TSMPanel, TPanel)
public:
  explicit TSMPanel(TComponent* AOwner);
  ~TSMPanel() override;

  bool AllowMove() const { return FAllowMove; }
  void SetAllowMove(bool Value) { FAllowMove = Value; }
  bool AllowResize() const { return FAllowResize; }
  void SetAllowResize(bool Value) { FAllowResize = Value; }
  // Height of the move area below the top resize band; 0: down to the
  // bottom band (or edge).
  std::int32_t CaptionHeight() const { return FCaptionHeight; }
  void SetCaptionHeight(std::int32_t Value) { FCaptionHeight = Value; }
  // Limits of interactive sizing; a maximum of 0 keeps the platform's.
  std::int32_t MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(std::int32_t Value) { FMaxHeight = Value; }
  std::int32_t MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(std::int32_t Value) { FMaxWidth = Value; }
  std::int32_t MinHeight() const { return FMinHeight; }
  void SetMinHeight(std::int32_t Value) { FMinHeight = Value; }
  std::int32_t MinWidth() const { return FMinWidth; }
  void SetMinWidth(std::int32_t Value) { FMinWidth = Value; }
  TResizeDirectionSet ResizeDirection() const { return FResizeDirection; }
  void SetResizeDirection(TResizeDirectionSet Value) { FResizeDirection = Value; }

  // Asked by the hit test for every point: may allow a move anywhere or
  // forbid it.
  TNotifyMoveEvent OnCanMove;
  // Asked when the point lies on a resize band; can only forbid.
  TNotifyResizeEvent OnCanResize;

  virtual void DoCanMove(int X, int Y, bool& CanMove);
  virtual void DoCanResize(TResizeDirection Direction, bool& CanResize);

  // The hit-test code (HTCLIENT, HTCAPTION, HTTOP ...) at a screen point.
  LRESULT HitTest(const TPoint& ScreenPos);

protected:
  void WMGetMinMaxInfo(TMessage& Message) override;
  void WMNCHitTest(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;

private:
  bool FAllowMove = true;
  bool FAllowResize = true;
  std::int32_t FCaptionHeight = 0;
  std::int32_t FMaxHeight = 0;
  std::int32_t FMaxWidth = 0;
  std::int32_t FMinHeight = 1;
  std::int32_t FMinWidth = 1;
  TResizeDirectionSet FResizeDirection{rdTop,     rdBottom,   rdLeft,       rdRight,
                                       rdTopLeft, rdTopRight, rdBottomLeft, rdBottomRight};
};

// The close button of an inner window: a push button without text that
// shows its glyph, a 7 x 7 bitmap (white when new).  As with the class
// library's bitmap buttons, pixels in the colour of the glyph's bottom-left
// pixel are transparent.
class TKfrmCloseButton : public TButton {
  ZEL_CLASS(TKfrmCloseButton, TButton)
public:
  static constexpr int GlyphSize = 7;
  explicit TKfrmCloseButton(TComponent* AOwner);
  ~TKfrmCloseButton() override;
  TCanvas* Glyph() const { return FGlyph.get(); }

protected:
  void WMPaint(TMessage& Message) override;

private:
  std::unique_ptr<TCanvas> FGlyph;
  std::unique_ptr<TControlCanvas> FCanvas;
};

// The inner window.  Read from a window description it starts hidden; the
// close button hides it (after OnCloseQuery); the title bar is in the
// active caption colour while the focus is inside.  Its placement is kept
// under its Name for the current user and written when it is destroyed;
// LoadPlacement and CheckBounds are for the application to call.
class TKfrm : public TSMPanel {
  ZEL_CLASS(TKfrm, TSMPanel)
public:
  explicit TKfrm(TComponent* AOwner);
  ~TKfrm() override;

  const AnsiString& ACaption() const { return FACaption; }
  // The title bar shows the text behind one blank.
  void SetACaption(const AnsiString& Value);

  TCloseQueryEvent OnCloseQuery;
  // Held for the application (cleared when that control goes).
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value);
  TNotifyEvent OnCreate;   // held for the application, never fired here
  TNotifyEvent OnDestroy;  // fired first on destruction

  void Loaded() override;
  void SetName(const AnsiString& NewName) override;

  virtual void LoadPlacement();
  virtual void CheckBounds();
  virtual void SavePlacement();

  TLabel* CaptionLabel() const { return FCaptionLabel; }
  TKfrmCloseButton* CloseButton() const { return FCloseButton; }

  // The key path the store opens before reading or writing the placement.
  static constexpr const char* PlacementKeyPath = "Software\\KUVO\\SELVARO";

protected:
  void Resize() override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void CloseButtonClick(TObject* Sender);
  bool Designing() const { return ComponentState().Contains(csDesigning); }

  TLabel* FCaptionLabel = nullptr;
  AnsiString FACaption;
  TKfrmCloseButton* FCloseButton = nullptr;
  TWinControl* FActiveControl = nullptr;
};
