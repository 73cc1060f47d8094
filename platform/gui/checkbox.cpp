// The button (TButton) over a QPushButton and the check box
// (TCustomCheckBox) over a QCheckBox, both drawn by the style with the
// platform's focus rectangle.
#include "platform/gui/stdctrls.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"

using platform::DrawPlatformFocusRect;
using platform::ToQString;

// ---------------------------------------------------------------- TButton

namespace {

// Buttons and check boxes are drawn by the style, without its own sign of
// the focus (which it shows only after a focus change by Tab); a control
// with the focus then gets the platform's dotted focus rectangle, over the
// style's focus area (inside the button, round the check box's caption).
template <class Button>
void PaintButton(Button* Widget, QStyle::ControlElement Element, QStyle::SubElement FocusArea) {
  QStylePainter p(Widget);
  QStyleOptionButton opt;
  Widget->initStyleOption(&opt);
  opt.state &= ~QStyle::State_HasFocus;
  p.drawControl(Element, opt);
  if (Widget->hasFocus()) DrawPlatformFocusRect(&p, Widget, Widget->style()->subElementRect(FocusArea, &opt, Widget));
}

class ButtonPeer : public platform::Peer<QPushButton> {
public:
  explicit ButtonPeer(TButton* Button) : Peer(Button) {
    setAutoDefault(true);
    const HWND h = Handle();
    QObject::connect(this, &QPushButton::clicked, [h] {
      platform::Guarded([h] {
        if (auto* b = dynamic_cast<TButton*>(FindControl(h))) b->Click();
      });
    });
  }
  using QPushButton::initStyleOption;

protected:
  void paintEvent(QPaintEvent*) override { PaintButton(this, QStyle::CE_PushButton, QStyle::SE_PushButtonFocusRect); }
};

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

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TButton::~TButton() = default;

platform::WidgetPeer* TButton::CreatePeer() { return new ButtonPeer(this); }

void TButton::UpdatePeer() {
  TButtonControl::UpdatePeer();
  if (auto* b = qobject_cast<QPushButton*>(platform::WidgetOf(this))) {
    b->setText(ToQString(TControl::GetText()));
    b->setDefault(FDefault);
  }
}

void TButton::SetTextValue(const AnsiString& Value) {
  TButtonControl::SetTextValue(Value);
  if (auto* b = qobject_cast<QPushButton*>(platform::WidgetOf(this))) b->setText(ToQString(Value));
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::CMDialogKey(TMessage& Message) {
  const WORD key = static_cast<WORD>(Message.WParam);
  if (((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel)) && Enabled() && Showing()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(Message);
}

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
    c->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
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
    c->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  }
  Toggle();
}
