// Panels, images, and window descriptions that set the standard controls.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/buttons.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/support/jpeg_encode.h"

namespace {

// A w x h JPEG of one colour.
std::vector<std::uint8_t> FlatJpeg(int w, int h, int r, int g, int b) {
  return zeltest::EncodeRgbJpeg(w, h, 95, [&](int, unsigned char* row) {
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<unsigned char>(r);
      row[3 * x + 1] = static_cast<unsigned char>(g);
      row[3 * x + 2] = static_cast<unsigned char>(b);
    }
  });
}

bool Near(TColor a, TColor b, int tol = 10) {
  const auto ca = static_cast<COLORREF>(ColorToRGB(a)), cb = static_cast<COLORREF>(ColorToRGB(b));
  return std::abs(GetRValue(ca) - GetRValue(cb)) <= tol && std::abs(GetGValue(ca) - GetGValue(cb)) <= tol &&
         std::abs(GetBValue(ca) - GetBValue(cb)) <= tol;
}

// ---------------------------------------------------------------- panel

TEST(Panel, BevelsBorderAndCaption) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 100, 60);
  panel->SetColor(clWhite);
  panel->SetCaption("Artikel");
  {
    zeltest::DrawRecording rec;
    const platform::PixelImage img = platform::RenderControl(panel);
    // Raised outer bevel: light top and left, dark bottom and right.
    EXPECT_EQ(img.At(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(img.At(0, 30), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(img.At(99, 30), ColorToRGB(clBtnShadow));
    EXPECT_EQ(img.At(50, 59), ColorToRGB(clBtnShadow));
    EXPECT_EQ(img.At(5, 5), clWhite);
    EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"Artikel"}));
  }
  panel->SetBevelOuter(bvLowered);
  panel->SetBevelInner(bvRaised);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  const platform::PixelImage img = platform::RenderControl(panel);
  EXPECT_EQ(img.At(1, 1), ColorToRGB(clBtnShadow));   // outer, lowered
  EXPECT_EQ(img.At(3, 3), clWhite);                    // the border in Color
  EXPECT_EQ(img.At(5, 6), ColorToRGB(clBtnHighlight));  // inner, raised
  EXPECT_EQ(panel->FrameWidth(), 7);

  // Aligned children stay inside bevels and border.
  auto* child = new TPanel(&form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  panel->Realign();
  EXPECT_EQ(child->BoundsRect(), TRect(7, 7, 93, 53));
  panel->SetBounds(0, 0, 150, 80);  // and follow the panel's size
  EXPECT_EQ(child->BoundsRect(), TRect(7, 7, 143, 73));
}

// ---------------------------------------------------------------- image

TEST(Image, DestRectByStretchProportionalAndCenter) {
  struct Case {
    int pw, ph;
    bool stretch, proportional, center;
    TRect expected;
  };
  const Case cases[] = {
      {200, 100, false, false, false, TRect(0, 0, 200, 100)},  // as it is, cut by the control
      {200, 100, true, false, false, TRect(0, 0, 100, 80)},
      {200, 100, true, true, false, TRect(0, 0, 100, 50)},
      {200, 100, true, true, true, TRect(0, 15, 100, 65)},
      {50, 20, false, true, false, TRect(0, 0, 50, 20)},     // smaller: never enlarged without Stretch
      {50, 20, true, true, false, TRect(0, 0, 100, 40)},
      {40, 160, false, true, true, TRect(40, 0, 60, 80)},    // larger: shrunk to fit
      {40, 40, false, false, true, TRect(30, 20, 70, 60)},
  };
  for (const Case& c : cases) {
    TImage image(nullptr);
    image.SetBounds(0, 0, 100, 80);
    const auto bytes = FlatJpeg(c.pw, c.ph, 0, 0, 255);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes.data(), bytes.size());
    image.Picture()->Assign(&jpeg);
    image.SetStretch(c.stretch);
    image.SetProportional(c.proportional);
    image.SetCenter(c.center);
    EXPECT_EQ(image.DestRect(), c.expected) << c.pw << "x" << c.ph << " " << c.stretch << c.proportional << c.center;
  }
}

TEST(Image, PaintsItsOwnCopyOfThePicture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* image = new TImage(&form);
  image->SetParent(&form);
  image->SetBounds(0, 0, 60, 40);
  image->SetStretch(true);
  {
    const auto bytes = FlatJpeg(30, 20, 255, 0, 0);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes.data(), bytes.size());
    image->Picture()->Assign(&jpeg);
  }
  platform::PixelImage img = platform::RenderControl(image);
  EXPECT_TRUE(Near(img.At(1, 1), clRed));
  EXPECT_TRUE(Near(img.At(58, 38), clRed));
  // No picture: nothing drawn.
  image->Picture()->Assign(nullptr);
  zeltest::DrawRecording rec;
  platform::RenderControl(image);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Picture).empty());
  // AutoSize takes the picture's size.
  image->SetAutoSize(true);
  const auto bytes = FlatJpeg(24, 16, 0, 255, 0);
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes.data(), bytes.size());
  image->Picture()->Assign(&jpeg);
  EXPECT_EQ(image->Width(), 24);
  EXPECT_EQ(image->Height(), 16);
}

// ---------------------------------------------------------------- window descriptions

class TDescForm : public TForm {
  ZEL_CLASS(TDescForm, TForm)
public:
  using TForm::TForm;
  TEdit* edUser = nullptr;
  TComboBox* cbLnd = nullptr;
  TListBox* deb = nullptr;
  TLabel* Label1 = nullptr;
  TCheckBox* chkPic = nullptr;
  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TSpeedButton* btKCSV = nullptr;
  TPopupMenu* pu = nullptr;
  TMenuItem* Lschen1 = nullptr;
  int Cleared = 0;
  void Lschen1Click(TObject*) { ++Cleared; }
};

const bool kDescRegistered = platform::RegisterClass<TDescForm>("TDescForm", "TForm")
                                 .Field("edUser", &TDescForm::edUser)
                                 .Field("cbLnd", &TDescForm::cbLnd)
                                 .Field("deb", &TDescForm::deb)
                                 .Field("Label1", &TDescForm::Label1)
                                 .Field("chkPic", &TDescForm::chkPic)
                                 .Field("Panel1", &TDescForm::Panel1)
                                 .Field("Image1", &TDescForm::Image1)
                                 .Field("btKCSV", &TDescForm::btKCSV)
                                 .Field("pu", &TDescForm::pu)
                                 .Field("Lschen1", &TDescForm::Lschen1)
                                 .Method("Lschen1Click", &TDescForm::Lschen1Click)
                                 .Done();

std::string ItemsText(TStrings* s) {
  std::string r;
  for (int i = 0; i < s->Count(); ++i) r += s->Strings(i) + "|";
  return r;
}

std::string Hex(const std::vector<Byte>& b) {
  std::string s;
  char buf[3];
  for (Byte x : b) {
    std::snprintf(buf, sizeof buf, "%02X", x);
    s += buf;
  }
  return s;
}

TEST(Description, SetsThePublishedPropertiesOfTheStandardControls) {
  ASSERT_TRUE(kDescRegistered);
  const auto jpegBytes = FlatJpeg(32, 16, 0, 128, 0);
  TPicture source;
  source.LoadFromData(std::vector<Byte>(jpegBytes.begin(), jpegBytes.end()));
  const std::string text =
      "object Form: TDescForm\n"
      "  Left = 0\n  Top = 0\n  Width = 400\n  Height = 300\n"
      "  object Panel1: TPanel\n    Left = 0\n    Top = 0\n    Width = 400\n    Height = 225\n"
      "    BevelOuter = bvLowered\n    BorderWidth = 2\n    Caption = 'Kopf'\n"
      "    object Label1: TLabel\n      Left = 8\n      Top = 8\n      Caption = 'Benutzername'\n"
      "      FocusControl = edUser\n    end\n"
      "    object edUser: TEdit\n      Left = 8\n      Top = 24\n      Width = 121\n      Height = 21\n"
      "      MaxLength = 20\n      CharCase = ecUpperCase\n      PasswordChar = '*'\n      TabOrder = 0\n"
      "      Text = 'anna'\n    end\n"
      "    object cbLnd: TComboBox\n      Left = 8\n      Top = 50\n      Width = 145\n      Height = 21\n"
      "      Style = csOwnerDrawFixed\n      ItemHeight = 16\n      Sorted = True\n      DropDownCount = 12\n"
      "      Items.Strings = (\n        'nl;Niederlande'\n        'de;Deutschland'\n        'at;'#214'sterreich')\n"
      "      TabOrder = 1\n    end\n"
      "    object chkPic: TCheckBox\n      Left = 8\n      Top = 80\n      Width = 97\n      Height = 17\n"
      "      Caption = 'Bild anzeigen'\n      Checked = True\n      State = cbChecked\n      TabOrder = 2\n    end\n"
      "    object Image1: TImage\n      Left = 200\n      Top = 8\n      Width = 100\n      Height = 50\n"
      "      Proportional = True\n      Stretch = True\n"
      "      Picture.Data = {" + Hex(source.SaveToData()) + "}\n    end\n"
      "    object btKCSV: TSpeedButton\n      Left = 300\n      Top = 8\n      Caption = 'K'\n"
      "      Flat = True\n    end\n"
      "  end\n"
      "  object deb: TListBox\n    Left = 0\n    Top = 230\n    Width = 200\n    Height = 60\n"
      "    ItemHeight = 13\n    PopupMenu = pu\n    MultiSelect = True\n    TabOrder = 1\n  end\n"
      "  object pu: TPopupMenu\n    object Lschen1: TMenuItem\n      Caption = 'Debug L'#246'schen'\n"
      "      OnClick = Lschen1Click\n    end\n    object Mehr: TMenuItem\n      Caption = 'Mehr'\n"
      "      object Alles: TMenuItem\n        Caption = 'Alles'\n      end\n    end\n  end\n"
      "end\n";
  TDescForm form(nullptr);
  platform::ReadComponent(&form, text);

  ASSERT_NE(form.edUser, nullptr);
  EXPECT_EQ(form.edUser->MaxLength(), 20);
  EXPECT_EQ(form.edUser->CharCase(), ecUpperCase);
  EXPECT_EQ(form.edUser->PasswordChar(), '*');
  EXPECT_EQ(form.edUser->Text(), "ANNA");
  EXPECT_EQ(form.edUser->Parent(), form.Panel1);

  ASSERT_NE(form.cbLnd, nullptr);
  EXPECT_EQ(form.cbLnd->Style(), csOwnerDrawFixed);
  EXPECT_EQ(form.cbLnd->DropDownCount(), 12);
  EXPECT_EQ(ItemsText(form.cbLnd->Items()), "at;\xD6sterreich|de;Deutschland|nl;Niederlande|");

  EXPECT_TRUE(form.chkPic->Checked());
  EXPECT_EQ(form.Label1->FocusControl(), form.edUser);
  EXPECT_EQ(form.Label1->Caption(), "Benutzername");
  EXPECT_EQ(form.Panel1->BevelOuter(), bvLowered);
  EXPECT_EQ(form.Panel1->BorderWidth(), 2);
  EXPECT_EQ(form.Panel1->Caption(), "Kopf");
  EXPECT_TRUE(form.Image1->Proportional());
  EXPECT_TRUE(form.Image1->Stretch());
  EXPECT_EQ(form.Image1->Picture()->Width(), 32);
  EXPECT_EQ(form.Image1->DestRect(), TRect(0, 0, 100, 50));
  EXPECT_TRUE(form.btKCSV->Flat());
  EXPECT_TRUE(form.deb->MultiSelect());
  EXPECT_EQ(form.deb->ItemHeight(), 13);
  EXPECT_EQ(form.deb->PopupMenu(), form.pu);

  // The menu's item was nested in it and is bound to its handler.
  ASSERT_NE(form.pu, nullptr);
  ASSERT_EQ(form.pu->Items()->Count(), 2);
  EXPECT_EQ(form.pu->Items()->Items(0), form.Lschen1);
  // An item nested in an item is a submenu entry.
  TMenuItem* more = form.pu->Items()->Items(1);
  ASSERT_EQ(more->Count(), 1);
  EXPECT_EQ(more->Items(0)->Caption(), "Alles");
  EXPECT_EQ(form.Lschen1->Caption(), "Debug L\xF6schen");
  form.Lschen1->Click();
  EXPECT_EQ(form.Cleared, 1);
}

}  // namespace
