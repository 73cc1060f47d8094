// The control canvas (TControlCanvas) and the controls that paint on one of
// their own: TCustomControl (windowed) and TGraphicControl (windowless).
#include "platform/gui/controls.h"

#include <memory>

#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

using platform::WidgetPeer;

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
  if (FControl == AControl) return;
  FreeHandle();
  FControl = AControl;
}

void TControlCanvas::FreeHandle() {
  if (FDeviceContext) {
    HDC dc = FDeviceContext;
    FDeviceContext = nullptr;
    if (Handle() == dc) SetHandle(nullptr);
    platform::DeleteAnyDC(dc);
  }
}

void TControlCanvas::CreateHandle() {
  if (FDeviceContext) platform::DeleteAnyDC(FDeviceContext);
  FDeviceContext = nullptr;
  WidgetPeer* p = platform::PeerOf(FControl);
  if (p && p->InPaint())
    FDeviceContext = platform::CreatePainterDC(p->PaintPainter(), p->Widget());
  else
    FDeviceContext = platform::CreateMeasureDC();
  SetHandle(FDeviceContext);
}

namespace {

// WM_PAINT of a control with a canvas of its own: Paint on a fresh device
// context with the control's font and colour, released again afterwards.
template <class PaintFn>
void PaintOn(TControlCanvas& Canvas, const TControl& Control, PaintFn&& Paint) {
  Canvas.FreeHandle();
  Canvas.Font()->Assign(Control.Font());
  Canvas.Brush()->SetColor(Control.Color());
  try {
    Paint();
  } catch (...) {
    Canvas.FreeHandle();
    throw;
  }
  Canvas.FreeHandle();
}

}  // namespace

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}
TCustomControl::~TCustomControl() = default;

void TCustomControl::WMPaint(TMessage& M) {
  DefaultHandler(M);
  PaintOn(*FCanvas, *this, [this] { Paint(); });
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TMessage& M) {
  DefaultHandler(M);
  PaintOn(*FCanvas, *this, [this] { Paint(); });
}
