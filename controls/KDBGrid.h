// The data grid with cell colours: the application chooses the font and
// background of every data cell through OnGetCellProps; a selected cell of
// a grid that is not its form's active control shows in silver; RowHeigt
// forces the default row height; losing the focus records the grid as
// LastExitControl.
#pragma once

#include <functional>

#include "platform/gui/db.h"
#include "platform/gui/dbgrids.h"
#include "platform/gui/graphics.h"

// Sender, the column's field (nullptr for a column without one), the font
// the cell is drawn with, its background.
using TGetCellPropsEvent = std::function<void(TObject* Sender, TField* Field, TFont* AFont, TColor& Background)>;

class TKDBGrid : public TDBGrid {
  ZEL_CLASS(TKDBGrid, TDBGrid)
public:
  explicit TKDBGrid(TComponent* AOwner);

  TGetCellPropsEvent OnGetCellProps;
  // Row height to enforce as DefaultRowHeight at the next cell drawing;
  // below 1: none.  (So spelled.)
  int RowHeigt() const { return FRowHeigt; }
  void SetRowHeigt(int Value) { FRowHeigt = Value; }

protected:
  // Asks OnGetCellProps; a highlighted cell keeps its font colour and
  // background, the handler's other font changes stay.
  virtual void DoGetCellProps(TField* Field, TFont* AFont, TColor& Background, bool Highlight);
  void DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void CMExit(TMessage& Message) override;

private:
  bool IsFormsActiveControl();
  int FRowHeigt = 0;
};
