// The table of translatable control properties: its 13 rows, the class
// names as class references, and the start-up counter.
#include "controls/kglobal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "controls/KDBGrid.h"
#include "controls/KGrid.h"
#include "controls/K_Edit.h"
#include "controls/SMPanel.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

namespace {

struct Row {
  const char* ControlClass;
  int Mode;
  const char* ShortCode;
  const char* PropertyName;
  const char* PropertyPath;
};

const Row kExpected[13] = {
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

// Leaves the module as the process starts it.
class KGlobalTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    while (TranslatablePropsCounter() > 0) FreeTranslatableProps();
  }
  static void ExpectRows() {
    for (int i = 0; i < TranslatablePropCount; ++i) {
      const TKuvoDfmRec& r = TranslatableProps[i];
      const Row& e = kExpected[i];
      ASSERT_NE(r.ControlClass, nullptr) << i;
      EXPECT_STREQ(r.ControlClass, e.ControlClass) << i;
      EXPECT_EQ(r.Mode, e.Mode) << i;
      EXPECT_EQ(r.Extra, "") << i;
      EXPECT_EQ(r.ShortCode, e.ShortCode) << i;
      EXPECT_EQ(r.PropertyName, e.PropertyName) << i;
      EXPECT_EQ(r.PropertyPath, e.PropertyPath) << i;
    }
  }
  static bool Released() {
    for (const TKuvoDfmRec& r : TranslatableProps)
      if (!r.Extra.empty() || !r.ShortCode.empty() || !r.PropertyName.empty() || !r.PropertyPath.empty())
        return false;
    return true;
  }
};

TEST_F(KGlobalTest, StartUpFillsTheThirteenRows) {
  EXPECT_EQ(TranslatablePropCount, 13);
  kglobal_initialization();
  EXPECT_EQ(TranslatablePropsCounter(), 1);
  ExpectRows();
  kglobal_finalization();
  EXPECT_EQ(TranslatablePropsCounter(), 0);
  EXPECT_TRUE(Released());
  // The classes stay; only the texts are released.
  EXPECT_STREQ(TranslatableProps[12].ControlClass, "TControl");
}

TEST_F(KGlobalTest, CounterLetsOnlyTheFirstStartUpAndTheLastShutDownAct) {
  PrepareTranslatableProps();
  ExpectRows();
  // A later start-up does not act: a class taken out stays out.
  const char* saved = TranslatableProps[3].ControlClass;
  TranslatableProps[3].ControlClass = nullptr;
  PrepareTranslatableProps();
  EXPECT_EQ(TranslatableProps[3].ControlClass, nullptr);
  EXPECT_EQ(TranslatablePropsCounter(), 2);
  TranslatableProps[3].ControlClass = saved;

  FreeTranslatableProps();  // not yet back at the start
  EXPECT_EQ(TranslatablePropsCounter(), 1);
  EXPECT_FALSE(Released());
  ExpectRows();
  FreeTranslatableProps();
  EXPECT_EQ(TranslatablePropsCounter(), 0);
  EXPECT_TRUE(Released());
  // A shut-down without a start-up does nothing.
  FreeTranslatableProps();
  EXPECT_EQ(TranslatablePropsCounter(), 0);
  // A new start-up after the shut-down has the whole table again.
  PrepareTranslatableProps();
  ExpectRows();
}

// The rows' classes name classes of this library and of the class library
// by their ClassName: a control belongs to the first row whose class it
// inherits from, TControl catching every other control.
TEST_F(KGlobalTest, ClassNamesMatchTheLibrarysClasses) {
  PrepareTranslatableProps();
  auto rowOf = [](const TObject* O) {
    for (int i = 0; i < TranslatablePropCount; ++i)
      if (O->InheritsFrom(TranslatableProps[i].ControlClass)) return i;
    return -1;
  };
  TForm form(nullptr);
  // Designed, so that it keeps no placement when it goes.
  auto kfrm = std::make_unique<TKfrm>(nullptr);
  kfrm->SetDesigning(true);
  const struct {
    TObject* Instance;
    int Row;
  } cases[] = {
      {new TKStrGrid(&form), 0},
      {new TKGrid(&form), 1},
      {kfrm.get(), 2},
      {new TStrEdit(&form), 5},
      // Its base TDBGrid stands first, with the same texts.
      {new TKDBGrid(&form), 8},
      {new TMenuItem(&form), 10},
      {new TLabel(&form), 12},
      {new TButton(&form), 12},
  };
  for (const auto& c : cases) EXPECT_EQ(rowOf(c.Instance), c.Row) << c.Instance->ClassName();
  // The row's name is the class's own name for the library's classes.
  EXPECT_STREQ(cases[0].Instance->ClassName(), TranslatableProps[0].ControlClass);
  EXPECT_STREQ(cases[1].Instance->ClassName(), TranslatableProps[1].ControlClass);
  EXPECT_STREQ(cases[2].Instance->ClassName(), TranslatableProps[2].ControlClass);
  EXPECT_TRUE(cases[3].Instance->InheritsFrom("TCustomStrEdit"));
  EXPECT_STREQ(cases[4].Instance->ClassName(), TranslatableProps[9].ControlClass);
  EXPECT_EQ(TranslatableProps[8].PropertyPath, TranslatableProps[9].PropertyPath);
}

}  // namespace
