// Label printers and label formats, loaded by the start-up step.
#include "foundation/kconst.h"

#include <gtest/gtest.h>

namespace {

class KConstTest : public ::testing::Test {
protected:
  void SetUp() override { kconst_initialization(); }
  void TearDown() override { kconst_finalization(); }
};

TEST_F(KConstTest, StartUpLoadsEveryName) {
  struct Case {
    int index;
    const char* name;
  } printers[] = {
      {0, "HP LaserJet"}, {2, "WAM TT5720"}, {5, "Avery Dennison 64-xx"},
      {7, "Eltron P310C"}, {9, "Toshiba B-EX4T"},
  };
  for (const Case& c : printers) EXPECT_EQ(LabelPrinters[c.index], c.name) << c.index;
  Case formats[] = {
      {0, "A4 Portrait 46 * 63 mm"},
      {2, "Rolle Preis wei\xDF"},
      {3, "Rolle 130 * 34.9 mm"},
      {17, "A4 Zweckform Nr. 3668 46*52.5 mm"},
      {24, "A4 Zweckform Nr. 6025 63,5 * 46,4 mm"},
      {29, "Kundenkarte 86 * 54 mm"},
      {33, "Rolle 65 * 48 mm"},
      {34, "Endlos 100mm * 40mm"},
      {48, "Rolle 51mm * 22,5mm"},
      {54, "Rolle 50mm * 40mm 1x"},
  };
  for (const Case& c : formats) EXPECT_EQ(LabelFormats[c.index], c.name) << c.index;
  for (int i = 0; i < LabelPrinterCount; ++i) {
    EXPECT_FALSE(LabelPrinters[i].empty()) << i;
    EXPECT_EQ(LabelPrinters[i], LabelPrinterResource(i)) << i;
  }
  for (int i = 0; i < LabelFormatCount; ++i) {
    EXPECT_FALSE(LabelFormats[i].empty()) << i;
    EXPECT_EQ(LabelFormats[i], LabelFormatResource(i)) << i;
  }
}

TEST_F(KConstTest, ShutDownReleasesTheTexts) {
  kconst_finalization();
  for (const AnsiString& s : LabelPrinters) EXPECT_TRUE(s.empty());
  for (const AnsiString& s : LabelFormats) EXPECT_TRUE(s.empty());
  for (const TFilVerarbeitungsTyp& t : FilVerarbeitungsTypen) EXPECT_TRUE(t.Name.empty());
}

TEST(KConstRecords, DfmRecordDefaults) {
  TKuvoDfmRec rec;
  EXPECT_EQ(rec.ControlClass, nullptr);
  EXPECT_EQ(rec.Mode, 0);
  EXPECT_TRUE(rec.PropertyPath.empty());
  TKuvoDfmRec row{"TKGrid", 1, "", "G", "TitleCols", "TITLECOLS.STRINGS"};
  EXPECT_STREQ(row.ControlClass, "TKGrid");
  EXPECT_EQ(row.PropertyPath, "TITLECOLS.STRINGS");
}

}  // namespace
