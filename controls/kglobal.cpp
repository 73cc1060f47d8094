#include "controls/kglobal.h"

namespace {

struct PropRow {
  const char* ControlClass;
  std::int32_t Mode;
  const char* ShortCode;
  const char* PropertyName;
  const char* PropertyPath;
};

// The classes without a header of this library are those of the GUI class
// library; the rows name them all the same.
constexpr PropRow kRows[TranslatablePropCount] = {
    {"TKStrGrid", 1, "G", "TitleCols", "TITLECOLS.STRINGS"},
    {"TKGrid", 1, "G", "TitleCols", "TITLECOLS.STRINGS"},
    {"TKfrm", 1, "A", "ACaption", "ACAPTION"},
    {"TRadioGroup", 1, "RG", "Items", "ITEMS.STRINGS"},
    {"TRichEdit", 1, "RE", "Lines", "LINES.STRINGS"},
    {"TCustomStrEdit", 0, "EL", "LabelText", "LABELTEXT"},
    {"TListView", 1, "LV", "Columns", "COLUMNS"},
    {"THeaderControl", 1, "HC", "Sections", "SECTIONS"},
    {"TDBGrid", 1, "DG", "Columns", "COLUMNS"},
    {"TKDBGrid", 1, "DG", "Columns", "COLUMNS"},
    {"TMenuItem", 2, "C", "Caption", "CAPTION"},
    {"TToolButton", 2, "C", "Caption", "CAPTION"},
    {"TControl", 2, "C", "Caption", "CAPTION"},
};

TKuvoDfmRec MakeRow(const PropRow& r) {
  TKuvoDfmRec rec;
  rec.Mode = r.Mode;
  rec.ShortCode = r.ShortCode;
  rec.PropertyName = r.PropertyName;
  rec.PropertyPath = r.PropertyPath;
  return rec;
}

int Counter = 0;

}  // namespace

// Constant data from the start; only the classes wait for the start-up.
TKuvoDfmRec TranslatableProps[TranslatablePropCount] = {
    MakeRow(kRows[0]),  MakeRow(kRows[1]),  MakeRow(kRows[2]),  MakeRow(kRows[3]), MakeRow(kRows[4]),
    MakeRow(kRows[5]),  MakeRow(kRows[6]),  MakeRow(kRows[7]),  MakeRow(kRows[8]), MakeRow(kRows[9]),
    MakeRow(kRows[10]), MakeRow(kRows[11]), MakeRow(kRows[12]),
};

void PrepareTranslatableProps() {
  if (Counter++ != 0) return;
  for (int i = 0; i < TranslatablePropCount; ++i) {
    // The texts again too, in case an earlier shut-down released them.
    TKuvoDfmRec& rec = TranslatableProps[i];
    rec = MakeRow(kRows[i]);
    rec.ControlClass = kRows[i].ControlClass;
  }
}

void FreeTranslatableProps() {
  if (Counter == 0) return;
  if (--Counter != 0) return;
  for (TKuvoDfmRec& rec : TranslatableProps) {
    rec.Extra.clear();
    rec.ShortCode.clear();
    rec.PropertyName.clear();
    rec.PropertyPath.clear();
  }
}

int TranslatablePropsCounter() { return Counter; }

void kglobal_initialization() { PrepareTranslatableProps(); }

void kglobal_finalization() { FreeTranslatableProps(); }
