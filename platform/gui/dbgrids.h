// The data grid of the class library: TCustomDBGrid and TDBGrid show the
// records of a data source's dataset, one row per record, one column per
// TColumn (by default one per visible field).
//
// Layout: with dgIndicator a narrow fixed column marks the current record;
// with dgTitles a fixed row holds the column titles.  The current row is
// the dataset's current record: moving the grid's row moves the dataset,
// and the grid follows the dataset's moves.
//
// Drawing of a data cell: the canvas font becomes the column's font and the
// brush its colour; a highlighted cell (gdSelected, and the grid focused or
// dgAlwaysShowSelection) gets clHighlight with the font in clHighlightText.
// Then, with DefaultDrawing, DefaultDrawColumnCell draws the field's text;
// then DrawColumnCell runs (it fires OnDrawColumnCell).  DrawDataCell fires
// OnDrawDataCell where a derived grid calls it.  While a cell is drawn the
// fields read that cell's record.
//
// Not built (nothing here needs it): editing in the grid, column moving and
// sizing by mouse, multi-select.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/db.h"
#include "platform/gui/graphics.h"
#include "platform/gui/grids.h"

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using TDBGridOptions = Set<TDBGridOption, dgEditing, dgMultiSelect>;

enum TDBGridColumnsState { csDefault, csCustomized };

class TCustomDBGrid;
class TColumn;

using TDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;
using TDrawDataCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;

class TColumnTitle : public TPersistent {
  ZEL_CLASS(TColumnTitle, TPersistent)
public:
  explicit TColumnTitle(TColumn* AColumn);
  // The field's display label unless set.
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value) {
    FCaption = Value;
    FCaptionSet = true;
  }
  TFont* Font() const { return FFont.get(); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }

private:
  TColumn* FColumn;
  AnsiString FCaption;
  bool FCaptionSet = false;
  std::unique_ptr<TFont> FFont;
  TAlignment FAlignment = taLeftJustify;
};

class TColumn : public TPersistent {
  ZEL_CLASS(TColumn, TPersistent)
public:
  explicit TColumn(TCustomDBGrid* AGrid);
  ~TColumn() override;
  TCustomDBGrid* Grid() const { return FGrid; }
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  // The dataset's field of that name (nullptr when none).
  TField* Field() const;
  // Pixels; by default from the field's display width.
  int Width() const;
  void SetWidth(int Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont.get(); }
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FAlignmentSet = true;
  }
  TColumnTitle* Title() const { return FTitle.get(); }
  int Index() const;

private:
  TCustomDBGrid* FGrid;
  AnsiString FFieldName;
  int FWidth = -1;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  std::unique_ptr<TColumnTitle> FTitle;
};

class TDBGridColumns : public TPersistent {
  ZEL_CLASS(TDBGridColumns, TPersistent)
public:
  explicit TDBGridColumns(TCustomDBGrid* AGrid) : FGrid(AGrid) {}
  ~TDBGridColumns() override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TColumn* Items(int Index) const;
  TColumn* operator[](int Index) const { return Items(Index); }
  // A column added by the program makes the columns customised.
  TColumn* Add();
  void Clear();
  TDBGridColumnsState State() const { return FState; }
  // Back to csDefault rebuilds one column per visible field.
  void SetState(TDBGridColumnsState Value);
  void RebuildColumns();
  int IndexOf(const TColumn* Column) const;

private:
  TColumn* AddItem();
  TCustomDBGrid* FGrid;
  std::vector<TColumn*> FItems;
  TDBGridColumnsState FState = csDefault;
};

class TCustomDBGrid : public TCustomGrid {
  ZEL_CLASS(TCustomDBGrid, TCustomGrid)
public:
  explicit TCustomDBGrid(TComponent* AOwner);
  ~TCustomDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDataLink* DataLink() const;
  TDBGridColumns* Columns() const { return FColumns.get(); }
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  TFont* TitleFont() const { return FTitleFont.get(); }
  int FieldCount() const { return FColumns->Count(); }
  TField* Fields(int Index) const;
  // The current column (0-based among the columns) and its field.
  int SelectedIndex() const;
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  // The grid's column of a column index and back.
  int IndicatorOffset() const { return FOptions.Contains(dgIndicator) ? 1 : 0; }
  int TitleOffset() const { return FOptions.Contains(dgTitles) ? 1 : 0; }

  // Draws the cell's field text with the canvas's font and brush (the text
  // at the left + 2, or right-justified by the column's alignment).
  void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);

  TDrawColumnCellEvent OnDrawColumnCell;
  TDrawDataCellEvent OnDrawDataCell;
  TNotifyEvent OnColEnter;

  // For the data link and the columns.
  void LinkActive();
  void LayoutChanged();
  void DataChanged();
  void Scrolled();

protected:
  virtual void DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
  virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  void CurrentCellMoved(int OldCol, int OldRow) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  bool PaintsFocusRect() override { return false; }
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;

private:
  class GridLink;
  void UpdateLayout();
  std::unique_ptr<GridLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  TDBGridOptions FOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                          dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
  std::unique_ptr<TFont> FTitleFont;
  bool FInLayout = false;
  bool FFollowing = false;
};

class TDBGrid : public TCustomDBGrid {
  ZEL_CLASS(TDBGrid, TCustomDBGrid)
public:
  explicit TDBGrid(TComponent* AOwner) : TCustomDBGrid(AOwner) {}
};
