// The data grid with cell colours: the cell-properties event with and
// without highlight, the silver selection of a grid that is not the active
// control, the forced row height, the draw events and the focus exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "controls/KDBGrid.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

namespace {

class ProbeDBGrid : public TKDBGrid {
public:
  using TKDBGrid::TKDBGrid;
  std::vector<bool> Highlights;

protected:
  void DoGetCellProps(TField* Field, TFont* AFont, TColor& Background, bool Highlight) override {
    Highlights.push_back(Highlight);
    TKDBGrid::DoGetCellProps(Field, AFont, Background, Highlight);
  }
};

class KDBGridTest : public ::testing::Test {
protected:
  KDBGridTest() : form(nullptr) {
    form.SetBounds(0, 0, 400, 300);
    data = new TDataSet(&form);
    data->AddField("NR", ftInteger);
    data->AddField("NAME", ftString, 8);
    data->Open();
    data->AppendRecord({"1", "Anna"});
    data->AppendRecord({"2", "Bernd"});
    data->AppendRecord({"3", "Carla"});
    data->First();
    source = new TDataSource(&form);
    source->SetDataSet(data);
    grid = new ProbeDBGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 300, 150);
    grid->SetDataSource(source);
    other = platform::CreateLineEditControl(&form);
    other->SetParent(&form);
    other->SetBounds(0, 200, 100, 20);
    zeltest::ShowForm(&form);
    Focus(other);
  }
  ~KDBGridTest() override { LastExitControl = nullptr; }
  void Focus(TWinControl* C) {
    C->SetFocus();
    zeltest::RunPostedMessages();
  }
  TColor Back(const platform::PixelImage& Img, int Col, int Row) {
    const TRect r = grid->CellRect(Col, Row);
    return Img.At(r.Left + 1, r.Top + 1);
  }
  // The colour of the text drawn for a value.
  // The colour of the text last drawn for a value (the cell's final drawing).
  static TColor TextColour(const zeltest::DrawRecording& Rec, const AnsiString& Text) {
    TColor c = clNone;
    for (const auto& op : Rec.OfKind(platform::DrawOp::Text))
      if (op.TextValue == Text) c = op.Color;
    return c;
  }
  TForm form;
  TDataSet* data;
  TDataSource* source;
  ProbeDBGrid* grid;
  TWinControl* other;
};

TEST_F(KDBGridTest, Creation) {
  EXPECT_FALSE(grid->OnGetCellProps);
  EXPECT_EQ(grid->RowHeigt(), 0);
  EXPECT_EQ(grid->ColCount(), 3);  // indicator and two fields
  EXPECT_EQ(grid->RowCount(), 4);  // titles and three records
  EXPECT_EQ(grid->Columns()->State(), csDefault);
  EXPECT_EQ(grid->Row(), 1);
}

TEST_F(KDBGridTest, WithoutTheEventTheClassLibrarysColours) {
  zeltest::DrawRecording rec;
  const platform::PixelImage img = platform::RenderControl(grid);
  EXPECT_EQ(Back(img, 2, 2), clWhite);
  EXPECT_EQ(TextColour(rec, "Bernd"), clBlack);
  // The selected cell of a grid that is not the active control: silver.
  EXPECT_EQ(Back(img, 1, 1), clSilver);
  EXPECT_EQ(TextColour(rec, "1"), ColorToRGB(clWindowText));
  // Focused: the highlight, with a focus rectangle.
  Focus(grid);
  zeltest::DrawRecording rec2;
  const platform::PixelImage img2 = platform::RenderControl(grid);
  EXPECT_EQ(Back(img2, 1, 1), ColorToRGB(clHighlight));
  EXPECT_EQ(TextColour(rec2, "1"), ColorToRGB(clHighlightText));
  const auto focus = rec2.OfKind(platform::DrawOp::FocusRect);
  ASSERT_EQ(focus.size(), 1u);
  EXPECT_EQ(focus[0].Rect, grid->CellRect(1, 1));
}

struct PropsCase {
  const char* Name;
  bool FocusGrid;
  bool AlwaysShowSelection;
  int Col, Row;
  bool Highlight;
  TColor Background;
  TColor Text;
};

TEST_F(KDBGridTest, CellPropsEvent) {
  const PropsCase cases[] = {
      {"unselected", false, false, 2, 2, false, clRed, clBlue},
      {"highlighted, focused grid", true, false, 1, 1, true, ColorToRGB(clHighlight), ColorToRGB(clHighlightText)},
      {"selected, focus elsewhere", false, false, 1, 1, false, clSilver, ColorToRGB(clWindowText)},
      {"always shown selection, focus elsewhere", false, true, 1, 1, true, clSilver, ColorToRGB(clWindowText)},
  };
  for (const auto& c : cases) {
    TDBGridOptions o = grid->Options();
    if (c.AlwaysShowSelection) o << dgAlwaysShowSelection;
    else o >> dgAlwaysShowSelection;
    grid->SetOptions(o);
    Focus(c.FocusGrid ? static_cast<TWinControl*>(grid) : other);
    std::vector<TField*> fields;
    grid->OnGetCellProps = [&](TObject* Sender, TField* Field, TFont* AFont, TColor& Background) {
      EXPECT_EQ(Sender, grid);
      fields.push_back(Field);
      Background = clRed;
      AFont->SetColor(clBlue);
      AFont->SetStyle(TFontStyles{fsBold});
    };
    std::vector<bool> boldSeen;
    grid->OnDrawColumnCell = [&](TObject*, const TRect&, int DataCol, TColumn*, TGridDrawState) {
      if (DataCol == c.Col - 1) boldSeen.push_back(grid->Canvas()->Font()->Style().Contains(fsBold));
    };
    grid->Highlights.clear();
    zeltest::DrawRecording rec;
    const platform::PixelImage img = platform::RenderControl(grid);
    EXPECT_EQ(fields.size(), 6u) << c.Name;  // once per data cell
    EXPECT_EQ(fields[0], data->FieldByName("NR")) << c.Name;
    EXPECT_EQ(fields[1], data->FieldByName("NAME")) << c.Name;
    // The current cell is the first data cell drawn.
    EXPECT_EQ(grid->Highlights[0], c.Highlight) << c.Name;
    EXPECT_EQ(std::count(grid->Highlights.begin(), grid->Highlights.end(), true), c.Highlight ? 1 : 0) << c.Name;
    EXPECT_EQ(Back(img, c.Col, c.Row), c.Background) << c.Name;
    const AnsiString text = c.Row == 1 ? (c.Col == 1 ? "1" : "Anna") : (c.Col == 1 ? "2" : "Bernd");
    EXPECT_EQ(TextColour(rec, text), c.Text) << c.Name;
    EXPECT_EQ(boldSeen, std::vector<bool>(3, true)) << c.Name;  // the other font changes stay
    grid->OnGetCellProps = nullptr;
    grid->OnDrawColumnCell = nullptr;
  }
}

TEST_F(KDBGridTest, ColumnWithoutField) {
  TColumn* col = grid->Columns()->Add();
  col->SetFieldName("NOPE");
  grid->Columns()->Add()->SetFieldName("NAME");
  EXPECT_EQ(grid->Columns()->State(), csCustomized);
  std::vector<TField*> fields;
  grid->OnGetCellProps = [&](TObject*, TField* Field, TFont*, TColor&) { fields.push_back(Field); };
  int dataEvents = 0, columnEvents = 0;
  grid->OnDrawDataCell = [&](TObject*, const TRect&, TField*, TGridDrawState) { ++dataEvents; };
  grid->OnDrawColumnCell = [&](TObject*, const TRect&, int, TColumn*, TGridDrawState) { ++columnEvents; };
  platform::RenderControl(grid);
  ASSERT_EQ(fields.size(), 6u);
  EXPECT_EQ(fields[0], nullptr);
  EXPECT_EQ(fields[1], data->FieldByName("NAME"));
  EXPECT_EQ(dataEvents, 0);  // customised columns: no data-cell event
  EXPECT_EQ(columnEvents, 6);
  grid->Columns()->SetState(csDefault);
  dataEvents = columnEvents = 0;
  platform::RenderControl(grid);
  EXPECT_EQ(dataEvents, 6);
  EXPECT_EQ(columnEvents, 6);
}

TEST_F(KDBGridTest, RowHeigtTakesEffectAtTheNextDrawing) {
  const int before = grid->DefaultRowHeight();
  platform::RenderControl(grid);
  EXPECT_EQ(grid->DefaultRowHeight(), before);
  grid->SetRowHeigt(25);
  EXPECT_EQ(grid->DefaultRowHeight(), before);  // the setter only stores
  platform::RenderControl(grid);
  EXPECT_EQ(grid->DefaultRowHeight(), 25);
  grid->SetRowHeigt(0);
  platform::RenderControl(grid);
  EXPECT_EQ(grid->DefaultRowHeight(), 25);
}

TEST_F(KDBGridTest, FocusExitRecordsTheGrid) {
  Focus(grid);
  LastExitControl = nullptr;
  Focus(other);
  EXPECT_EQ(LastExitControl.Get(), grid);
}

TEST_F(KDBGridTest, TheGridFollowsItsData) {
  data->Next();
  EXPECT_EQ(grid->Row(), 2);
  grid->SetRow(3);
  EXPECT_EQ(data->RecNo(), 3);
  data->AppendRecord({"4", "Dora"});
  EXPECT_EQ(grid->RowCount(), 5);
  EXPECT_EQ(grid->Row(), 4);
  zeltest::DrawRecording rec;
  platform::RenderControl(grid);
  const auto texts = rec.Texts();
  for (const char* t : {"NR", "NAME", "Anna", "Bernd", "Carla", "Dora"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
  EXPECT_EQ(data->RecNo(), 4);  // drawing does not move the dataset
}

TEST(KDBGridDescription, PublishedProperties) {
  TForm f(nullptr);
  platform::ReadComponent(&f, R"(object F: TForm
  object T: TDataSet
  end
  object DS: TDataSource
    DataSet = T
  end
  object G: TKDBGrid
    DataSource = DS
    RowHeigt = 20
    Options = [dgTitles, dgColLines, dgAlwaysShowSelection]
  end
end
)");
  auto* g = dynamic_cast<TKDBGrid*>(f.FindComponent("G"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->RowHeigt(), 20);
  EXPECT_EQ(g->DataSource(), f.FindComponent("DS"));
  EXPECT_EQ(g->Options(), (TDBGridOptions{dgTitles, dgColLines, dgAlwaysShowSelection}));
  EXPECT_EQ(g->FixedCols(), 0);
}

}  // namespace
