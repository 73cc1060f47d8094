// The push button (TButton) over a QPushButton, drawn by the style with the
// platform's focus rectangle.
#include "platform/gui/stdctrls.h"

#include <QPushButton>
#include <QStyle>

#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/os/windows.h"

using platform::PaintButton;
using platform::ToQString;

namespace {

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
  void paintEvent(QPaintEvent*) override {
    PaintButton(this, QStyle::CE_PushButton, QStyle::SE_PushButtonFocusRect);
  }
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
