// temporary: renders grids to PPM files for viewing
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "controls/KGrid.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "tests/support/gui_input.h"
namespace {
void Save(const platform::PixelImage& img, const char* name) {
  std::string p = std::string("/tmp/grids/") + name + ".ppm";
  FILE* f = fopen(p.c_str(), "wb");
  fprintf(f, "P6\n%d %d\n255\n", img.Width, img.Height);
  for (TColor c : img.Pixels) { unsigned char b[3] = {(unsigned char)(c & 0xFF), (unsigned char)((c >> 8) & 0xFF), (unsigned char)((c >> 16) & 0xFF)}; fwrite(b, 1, 3, f); }
  fclose(f);
}
TEST(Snap, KGrid) {
  if (!getenv("ZEL_GRID_SNAP")) GTEST_SKIP();
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* g = new TKGrid(&form);
  g->SetParent(&form);
  g->SetBounds(10, 10, 260, 140);
  g->SetColCount(8); g->SetRowCount(6);
  g->SetTitles("A;B;C;D;E;F;Sum;", false);
  g->SetSumCol(7); g->SetSumColor(0x80FFFF);
  g->SetObjects(3, 0, LockMark);
  g->AddCellColor(3, -1, 0xC0FFC0);
  zeltest::ShowForm(&form);
  g->SetFocus();
  zeltest::RunPostedMessages();
  zeltest::TypeText("1203");
  g->SetRowValues(false, false, 2, 1, 0, 1, "5,0,7,12", false);
  Save(platform::RenderControl(g), "kgrid");
  g->SetSelectFrame(true);
  Save(platform::RenderControl(g), "kgrid_frame");
  auto* s = new TKStrGrid(&form);
  s->SetParent(&form);
  s->SetBounds(10, 160, 260, 120);
  s->SetColCount(6);
  s->TitleCols()->SetCommaText(",Apfel,Birne,Kirsche,Pflaume,Summe");
  s->SetTitleEnabled(true);
  s->SetTurn(true);
  s->SetTurnBold(true);
  s->SetCells(2, 1, "0"); s->SetCells(3, 1, "44");
  zeltest::RunPostedMessages();
  Save(platform::RenderControl(s), "kstrgrid");
}
}
