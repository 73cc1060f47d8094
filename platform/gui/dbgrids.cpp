// The data grid (see dbgrids.h).
#include "platform/gui/dbgrids.h"

#include <algorithm>

#include "platform/gui/streaming.h"

// ---------------------------------------------------------------- columns

TColumnTitle::TColumnTitle(TColumn* AColumn) : FColumn(AColumn), FFont(std::make_unique<TFont>()) {}

AnsiString TColumnTitle::Caption() const {
  if (FCaptionSet) return FCaption;
  if (TField* f = FColumn->Field()) return f->DisplayLabel();
  return FColumn->FieldName();
}

TColumn::TColumn(TCustomDBGrid* AGrid)
    : FGrid(AGrid), FFont(std::make_unique<TFont>()), FTitle(std::make_unique<TColumnTitle>(this)) {
  if (FGrid) {
    FFont->Assign(FGrid->Font());
    FTitle->Font()->Assign(FGrid->TitleFont());
  }
}

TColumn::~TColumn() = default;

void TColumn::SetFieldName(const AnsiString& Value) {
  FFieldName = Value;
  if (FGrid) FGrid->LayoutChanged();
}

TField* TColumn::Field() const {
  if (!FGrid || !FGrid->DataLink()->DataSet()) return nullptr;
  return FGrid->DataLink()->DataSet()->FindField(FFieldName);
}

int TColumn::Width() const {
  if (FWidth >= 0) return FWidth;
  TField* f = Field();
  if (!f || !FGrid) return 64;
  TCanvas* c = FGrid->Canvas();
  c->Font()->Assign(FFont.get());
  int w = f->DisplayWidth() * c->TextWidth("0") + 4;
  c->Font()->Assign(FTitle->Font());
  return std::max(w, c->TextWidth(FTitle->Caption()) + 4);
}

void TColumn::SetWidth(int Value) {
  FWidth = Value;
  if (FGrid) FGrid->LayoutChanged();
}

void TColumn::SetColor(TColor Value) {
  FColor = Value;
  if (FGrid) FGrid->Invalidate();
}

TAlignment TColumn::Alignment() const {
  if (FAlignmentSet) return FAlignment;
  if (TField* f = Field()) return f->Alignment();
  return taLeftJustify;
}

int TColumn::Index() const { return FGrid ? FGrid->Columns()->IndexOf(this) : -1; }

TDBGridColumns::~TDBGridColumns() {
  for (TColumn* c : FItems) delete c;
}

TColumn* TDBGridColumns::Items(int Index) const {
  if (Index < 0 || Index >= Count()) TList::Error(platform::msg::ListIndexError, Index);
  return FItems[static_cast<size_t>(Index)];
}

TColumn* TDBGridColumns::AddItem() {
  FItems.push_back(new TColumn(FGrid));
  return FItems.back();
}

TColumn* TDBGridColumns::Add() {
  if (FState == csDefault) {
    // The program takes the columns over: the default ones go.
    for (TColumn* c : FItems) delete c;
    FItems.clear();
    FState = csCustomized;
  }
  TColumn* c = AddItem();
  FGrid->LayoutChanged();
  return c;
}

void TDBGridColumns::Clear() {
  for (TColumn* c : FItems) delete c;
  FItems.clear();
  FGrid->LayoutChanged();
}

void TDBGridColumns::SetState(TDBGridColumnsState Value) {
  if (Value == FState) return;
  FState = Value;
  if (Value == csDefault) RebuildColumns();
}

void TDBGridColumns::RebuildColumns() {
  for (TColumn* c : FItems) delete c;
  FItems.clear();
  if (TDataSet* d = FGrid->DataLink()->DataSet())
    for (int i = 0; i < d->FieldCount(); ++i)
      if (d->Fields(i)->Visible()) AddItem()->SetFieldName(d->Fields(i)->FieldName());
  FGrid->LayoutChanged();
}

int TDBGridColumns::IndexOf(const TColumn* Column) const {
  auto it = std::find(FItems.begin(), FItems.end(), Column);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---------------------------------------------------------------- the grid's data link

class TCustomDBGrid::GridLink : public TDataLink {
public:
  explicit GridLink(TCustomDBGrid* AGrid) : FGrid(AGrid) {}

protected:
  void ActiveChanged() override { FGrid->LinkActive(); }
  void DataSetChanged() override { FGrid->DataChanged(); }
  void DataSetScrolled(int) override { FGrid->Scrolled(); }
  void RecordChanged(TField*) override { FGrid->Invalidate(); }

private:
  TCustomDBGrid* FGrid;
};

// ---------------------------------------------------------------- TCustomDBGrid

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner),
      FDataLink(std::make_unique<GridLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)),
      FTitleFont(std::make_unique<TFont>()) {
  UpdateLayout();
}

TCustomDBGrid::~TCustomDBGrid() {
  FColumns.reset();
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TCustomDBGrid::DataSource() const { return FDataLink->DataSource(); }
void TCustomDBGrid::SetDataSource(TDataSource* Value) { FDataLink->SetDataSource(Value); }
TDataLink* TCustomDBGrid::DataLink() const { return FDataLink.get(); }

void TCustomDBGrid::SetOptions(TDBGridOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  UpdateLayout();
}

TField* TCustomDBGrid::Fields(int Index) const { return FColumns->Items(Index)->Field(); }

int TCustomDBGrid::SelectedIndex() const { return Col() - IndicatorOffset(); }
void TCustomDBGrid::SetSelectedIndex(int Value) { SetCol(Value + IndicatorOffset()); }

TField* TCustomDBGrid::SelectedField() const {
  const int i = SelectedIndex();
  return (i >= 0 && i < FColumns->Count()) ? FColumns->Items(i)->Field() : nullptr;
}

void TCustomDBGrid::LinkActive() {
  if (!FColumns) return;
  if (FColumns->State() == csDefault)
    FColumns->RebuildColumns();
  else
    UpdateLayout();
}

void TCustomDBGrid::LayoutChanged() { UpdateLayout(); }

void TCustomDBGrid::DataChanged() {
  UpdateLayout();
  Invalidate();
}

void TCustomDBGrid::Scrolled() {
  if (FFollowing) return;
  FFollowing = true;
  const int rec = FDataLink->Active() ? std::max(0, FDataLink->DataSet()->RecNo() - 1) : 0;
  SetCurrentCell(Col(), TitleOffset() + rec);
  FFollowing = false;
  Invalidate();
}

void TCustomDBGrid::UpdateLayout() {
  if (FInLayout || !FColumns) return;
  FInLayout = true;
  const int cols = IndicatorOffset() + std::max(1, FColumns->Count());
  const int rows = TitleOffset() + std::max(1, FDataLink->RecordCount());
  SetColCount(cols);
  SetRowCount(rows);
  SetFixedCols(IndicatorOffset());
  SetFixedRows(TitleOffset());
  if (IndicatorOffset()) SetColWidths(0, 11);
  for (int i = 0; i < FColumns->Count(); ++i) SetColWidths(i + IndicatorOffset(), FColumns->Items(i)->Width());
  TGridOptions o;
  if (FOptions.Contains(dgColLines)) o << goFixedVertLine << goVertLine;
  if (FOptions.Contains(dgRowLines)) o << goFixedHorzLine << goHorzLine;
  if (FOptions.Contains(dgTabs)) o << goTabs;
  if (FOptions.Contains(dgRowSelect)) o << goRowSelect;
  TCustomGrid::SetOptions(o);
  const int rec = FDataLink->Active() ? std::max(0, FDataLink->DataSet()->RecNo() - 1) : 0;
  FFollowing = true;
  SetCurrentCell(std::max(Col(), IndicatorOffset()), TitleOffset() + rec);
  FFollowing = false;
  FInLayout = false;
  Invalidate();
}

void TCustomDBGrid::CurrentCellMoved(int OldCol, int OldRow) {
  TCustomGrid::CurrentCellMoved(OldCol, OldRow);
  if (Row() != OldRow && !FFollowing && FDataLink->Active()) {
    FFollowing = true;
    try {
      FDataLink->DataSet()->SetRecNo(Row() - TitleOffset() + 1);
    } catch (...) {
      FFollowing = false;
      throw;
    }
    FFollowing = false;
  }
  if (Col() != OldCol && OnColEnter) OnColEnter(this);
}

void TCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) { TCustomGrid::ColumnMoved(FromIndex, ToIndex); }

void TCustomDBGrid::Paint() {
  try {
    TCustomGrid::Paint();
  } catch (...) {
    FDataLink->SetActiveRecord(-1);
    throw;
  }
  FDataLink->SetActiveRecord(-1);
}

void TCustomDBGrid::KeyDown(Word& Key, TShiftState Shift) { TCustomGrid::KeyDown(Key, Shift); }

void TCustomDBGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  TCanvas* cv = Canvas();
  const int dataCol = ACol - IndicatorOffset();
  TColumn* column = (dataCol >= 0 && dataCol < FColumns->Count()) ? FColumns->Items(dataCol) : nullptr;
  if (ARow < TitleOffset()) {
    cv->Brush()->SetColor(FixedColor());
    if (column) {
      cv->Font()->Assign(column->Title()->Font());
      cv->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, column->Title()->Caption());
    } else {
      cv->FillRect(ARect);
    }
    return;
  }
  const int rec = ARow - TitleOffset();
  if (ACol < IndicatorOffset()) {
    cv->Brush()->SetColor(FixedColor());
    cv->FillRect(ARect);
    if (ARow == Row() && FDataLink->Active()) {
      // The current record's marker: a small triangle pointing right.
      cv->Pen()->SetColor(clBlack);
      const int cy = (ARect.Top + ARect.Bottom) / 2;
      for (int i = 0; i < 4; ++i) {
        cv->MoveTo(ARect.Left + 3 + i, cy - 3 + i);
        cv->LineTo(ARect.Left + 3 + i, cy + 4 - i);
      }
    }
    return;
  }
  if (!column || !FDataLink->Active() || rec >= FDataLink->RecordCount()) {
    cv->Brush()->SetColor(Color());
    cv->FillRect(ARect);
    return;
  }
  FDataLink->SetActiveRecord(rec);
  cv->Font()->Assign(column->Font());
  cv->Brush()->SetColor(column->Color());
  if (AState.Contains(gdSelected) && (FOptions.Contains(dgAlwaysShowSelection) || Focused())) {
    cv->Brush()->SetColor(clHighlight);
    cv->Font()->SetColor(clHighlightText);
  }
  if (DefaultDrawing()) DefaultDrawColumnCell(ARect, dataCol, column, AState);
  DrawColumnCell(ARect, dataCol, column, AState);
}

void TCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int, TColumn* Column, TGridDrawState) {
  TCanvas* cv = Canvas();
  TField* f = Column ? Column->Field() : nullptr;
  const AnsiString text = f ? f->DisplayText() : AnsiString();
  int x = Rect.Left + 2;
  switch (Column ? Column->Alignment() : taLeftJustify) {
    case taRightJustify: x = Rect.Right - cv->TextWidth(text) - 3; break;
    case taCenter: x = Rect.Left + (Rect.Right - Rect.Left - cv->TextWidth(text)) / 2; break;
    default: break;
  }
  cv->TextRect(Rect, x, Rect.Top + 2, text);
}

void TCustomDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
  if (OnDrawColumnCell) OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TCustomDBGrid::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
  if (OnDrawDataCell) OnDrawDataCell(this, Rect, Field, State);
}

// ---------------------------------------------------------------- published properties

namespace {

const bool registeredCustomDBGrid =
    platform::RegisterClass<TCustomDBGrid>("TCustomDBGrid", "TCustomGrid").NotCreatable().Done();

const bool registeredDBGrid =
    platform::RegisterClass<TDBGrid>("TDBGrid", "TCustomDBGrid")
        .Ref<TDataSource>("DataSource", &TCustomDBGrid::SetDataSource)
        .SetOf<TDBGridOptions, TDBGridOption>("Options",
                                              {{"dgEditing", dgEditing},
                                               {"dgAlwaysShowEditor", dgAlwaysShowEditor},
                                               {"dgTitles", dgTitles},
                                               {"dgIndicator", dgIndicator},
                                               {"dgColumnResize", dgColumnResize},
                                               {"dgColLines", dgColLines},
                                               {"dgRowLines", dgRowLines},
                                               {"dgTabs", dgTabs},
                                               {"dgRowSelect", dgRowSelect},
                                               {"dgAlwaysShowSelection", dgAlwaysShowSelection},
                                               {"dgConfirmDelete", dgConfirmDelete},
                                               {"dgCancelOnExit", dgCancelOnExit},
                                               {"dgMultiSelect", dgMultiSelect}},
                                              &TCustomDBGrid::SetOptions)
        .Bool("DefaultDrawing", &TCustomGrid::SetDefaultDrawing, true)
        .Color("FixedColor", &TCustomGrid::SetFixedColor, clBtnFace)
        .Event("OnDrawColumnCell", &TCustomDBGrid::OnDrawColumnCell)
        .Event("OnDrawDataCell", &TCustomDBGrid::OnDrawDataCell)
        .Event("OnColEnter", &TCustomDBGrid::OnColEnter)
        .Object("TitleFont", [](TDBGrid* g) -> TPersistent* { return g->TitleFont(); })
        .Done();

}  // namespace
