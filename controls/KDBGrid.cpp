// The data grid with cell colours (see KDBGrid.h).
#include "controls/KDBGrid.h"

#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"

TKDBGrid::TKDBGrid(TComponent* AOwner) : TDBGrid(AOwner) {}

bool TKDBGrid::IsFormsActiveControl() {
  TCustomForm* f = GetParentForm(this);
  return f && f->ActiveControl() == this;
}

void TKDBGrid::DoGetCellProps(TField* Field, TFont* AFont, TColor& Background, bool Highlight) {
  if (!OnGetCellProps) return;
  if (!Highlight) {
    OnGetCellProps(this, Field, AFont, Background);
    return;
  }
  const TColor fontColor = AFont->Color();
  TColor copy = Background;
  OnGetCellProps(this, Field, AFont, copy);
  AFont->SetColor(fontColor);
}

void TKDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
  TCanvas* cv = Canvas();
  TField* field = Column ? Column->Field() : nullptr;
  TColor background = cv->Brush()->Color();
  const bool highlight = State.Contains(gdSelected) && (Options().Contains(dgAlwaysShowSelection) || Focused());
  DoGetCellProps(field, cv->Font(), background, highlight);
  cv->Brush()->SetColor(background);
  const bool active = IsFormsActiveControl();
  if (State.Contains(gdSelected) && !active) {
    cv->Brush()->SetColor(clSilver);
    cv->Font()->SetColor(clWindowText);
  }
  if (DefaultDrawing()) DefaultDrawColumnCell(Rect, DataCol, Column, State);
  if (Columns()->State() == csDefault) DrawDataCell(Rect, field, State);
  TDBGrid::DrawColumnCell(Rect, DataCol, Column, State);
  if (FRowHeigt >= 1 && FRowHeigt != DefaultRowHeight()) SetDefaultRowHeight(FRowHeigt);
  if (DefaultDrawing() && highlight && !ComponentState().Contains(csDesigning) &&
      !Options().Contains(dgRowSelect) && active)
    cv->DrawFocusRect(Rect);
}

void TKDBGrid::ColumnMoved(int FromIndex, int ToIndex) { TDBGrid::ColumnMoved(FromIndex, ToIndex); }

void TKDBGrid::CMExit(TMessage& Message) {
  LastExitControl = this;
  TDBGrid::CMExit(Message);
}

namespace {

const bool registeredKDBGrid = platform::RegisterClass<TKDBGrid>("TKDBGrid", "TDBGrid")
                                   .Event("OnGetCellProps", &TKDBGrid::OnGetCellProps)
                                   .Int("RowHeigt", &TKDBGrid::SetRowHeigt)
                                   .Done();

}  // namespace
