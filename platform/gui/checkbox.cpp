// The check box (TCustomCheckBox) over a QCheckBox, drawn by the style with
// the platform's focus rectangle.
#include "platform/gui/stdctrls.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QStyle>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"

using platform::PaintButton;
using platform::ToQString;

namespace {

class CheckPeer : public platform::Peer<QCheckBox> {
public:
  explicit CheckPeer(TCustomCheckBox* Box) : Peer(Box) {
    const HWND h = Handle();
    QObject::connect(this, &QCheckBox::clicked, [h] {
      platform::Guarded([h] {
        if (auto* c = dynamic_cast<TCustomCheckBox*>(FindControl(h))) c->NativeToggled();
      });
    });
  }
  using QCheckBox::initStyleOption;

protected:
  void paintEvent(QPaintEvent*) override { PaintButton(this, QStyle::CE_CheckBox, QStyle::SE_CheckBoxFocusRect); }
};

}  // namespace

// ---------------------------------------------------------------- TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TCustomCheckBox::~TCustomCheckBox() = default;

platform::WidgetPeer* TCustomCheckBox::CreatePeer() { return new CheckPeer(this); }

void TCustomCheckBox::UpdatePeer() {
  TButtonControl::UpdatePeer();
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setText(ToQString(TControl::GetText()));
    c->setTristate(FAllowGrayed);
    c->setCheckState(FState == cbChecked  ? Qt::Checked
                     : FState == cbGrayed ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
    c->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
  }
}

void TCustomCheckBox::SetTextValue(const AnsiString& Value) {
  TButtonControl::SetTextValue(Value);
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) c->setText(ToQString(Value));
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setCheckState(Value == cbChecked ? Qt::Checked : Value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::NativeToggled() {
  // Qt has already changed its box; the state is ours to decide, so the
  // box shows FState again and Toggle moves it on.
  if (auto* c = qobject_cast<QCheckBox*>(platform::WidgetOf(this))) {
    QSignalBlocker block(c);
    c->setCheckState(FState == cbChecked  ? Qt::Checked
                     : FState == cbGrayed ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
  }
  Toggle();
}
