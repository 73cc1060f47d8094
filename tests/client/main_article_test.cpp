// End-to-end: the article display and its picture in the real window,
// checked against the fake service's data, and every error box of them.
#include "foundation/ktool.h"
#include "tests/client/main_fixture.h"
#include "tests/platform/rtl/settings_guard.h"

namespace zeltest {
namespace {

class E2eArticle : public MainE2E {
protected:
  void SetUp() override {
    MainE2E::SetUp();
    WriteSettings({"USER=demo", "SAI=-1"});
  }
  // Logs in and searches; the first hit is shown.
  void ShowFirstHit(const AnsiString& Fab, bool Picture = false) {
    StartWindow();
    LoginWithEnter("demo", "demo");
    W->chkPic->SetChecked(Picture);
    SearchWithEnter(Fab);
  }
};

// An article answer with the columns the display reads, in the service's form.
std::string ArticleText(const std::string& ArtHeader, const std::string& ArtRow, const std::string& Sizes) {
  return "@art," + ArtHeader + "\r\n" + ArtRow + "\r\n" + Sizes;
}
const char* const FullArtHeader =
    "eid[INT],mf[INT],mf_name[STR],her[INT],hname[STR],fab[STR],hbrn[STR],wag[STR],wgbez[STR],far[STR],fabez[STR],"
    "hbez[STR],bfa[STR],bma[STR],sai[INT],lfa[INT],lfb[INT],ble[STR],erm[STR],fedas[STR],dtb[STR],herfarbe[STR],"
    "mat[STR],mdl[STR],minqty[INT],vpe[INT],wei[STR],nos[INT]";
const char* const FullArtRow =
    "100101^42^ Alpenstieg ^1203^Alpenstieg Schuhfabrik GmbH^AS-4711^ALPENSTIEG^3110^Wanderschuhe^20^braun^"
    "Wanderschuh Gipfel^braun^Leder^21^20240415^20240615^B31^E3110^F31100^D110^20-1^LEDE^Mod-4711^1^2^normal^1";

// ---------------------------------------------------------------- the display

struct FieldCase {
  const char* Name;
  TStrEdit* TfrmMAIN::*Field;
  std::string Expected;
};

TEST_F(E2eArticle, FirstHitShowsEveryFieldAndSizeLineOfTheService) {
  ShowFirstHit("AS-4711");
  ASSERT_EQ(W->FShownEid, 100101);
  // tests/data/fake_service/articles/100101.kcsv
  const FieldCase Cases[] = {
      {"edZELID", &TfrmMAIN::edZELID, "100101"},
      {"edHer", &TfrmMAIN::edHer, "00042 Alpenstieg"},
      {"edLief", &TfrmMAIN::edLief, "01203 Alpenstieg Schuhfabrik GmbH"},
      {"edHFab", &TfrmMAIN::edHFab, "AS-4711"},
      {"edMarke", &TfrmMAIN::edMarke, "ALPENSTIEG"},
      {"edEASWG", &TfrmMAIN::edEASWG, "3110"},
      {"edeaswgbez", &TfrmMAIN::edeaswgbez, "Wanderschuhe"},
      {"edEASFA", &TfrmMAIN::edEASFA, "20"},
      {"edeasfabez", &TfrmMAIN::edeasfabez, "braun"},
      {"edHBez", &TfrmMAIN::edHBez, "Wanderschuh Gipfel"},
      {"edHFar", &TfrmMAIN::edHFar, "braun"},
      {"edHMat", &TfrmMAIN::edHMat, "Leder"},
      {"edSai", &TfrmMAIN::edSai, "21 - HW 2003"},
      {"edLFA", &TfrmMAIN::edLFA, DateIntToStr(20240415)},
      {"edLFB", &TfrmMAIN::edLFB, DateIntToStr(20240615)},
      {"edBLE", &TfrmMAIN::edBLE, "B31"},
      {"edERM", &TfrmMAIN::edERM, "E3110"},
      {"edFEDAS", &TfrmMAIN::edFEDAS, "F31100"},
      {"edDTB", &TfrmMAIN::edDTB, "D110"},
      {"edHERFARBE", &TfrmMAIN::edHERFARBE, "20-1"},
      {"edEAS_MAT", &TfrmMAIN::edEAS_MAT, "LEDE"},
      {"edMDL", &TfrmMAIN::edMDL, "Mod-4711"},
      {"edMINQTY", &TfrmMAIN::edMINQTY, "1"},
      {"edVPE", &TfrmMAIN::edVPE, "2"},
      {"edWEI", &TfrmMAIN::edWEI, "normal"},
  };
  for (const auto& C : Cases) EXPECT_EQ((W->*C.Field)->EText(), C.Expected) << C.Name;
  EXPECT_FALSE(std::string(DateIntToStr(20240415)).empty());
  EXPECT_TRUE(W->chkNOS->Checked());
  EXPECT_EQ(LinesOf(W->lbGrs), (std::vector<std::string>{
                                   "38;4001001010001;49.95;119.90;0;", "39;4001001010018;49.95;119.90;1;",
                                   "40;4001001010025;49.95;119.90;1;", "41;4001001010032;49.95;119.90;0;",
                                   "42;4001001010049;49.95;119.90;1;", "43;4001001010056;49.95;119.90;1;",
                                   "44;4001001010063;49.95;119.90;0;", "45;4001001010070;49.95;119.90;1;",
                                   "46;4001001010087;49.95;119.90;1;"}));
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (0) OK");
  EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus:");
  EXPECT_TRUE(Calls("GetPic").empty());
}

TEST_F(E2eArticle, NosOtherThanOneLeavesTheBoxAsClearedAndZeroPricesShow) {
  ShowFirstHit("AS-4711");
  ASSERT_TRUE(W->chkNOS->Checked());
  Script().SetArticleText(100102, ArticleText("eid[INT],fab[STR],nos[INT],mf[STR],her[INT],hname[STR],sai[STR]",
                                              "100102^AS-4712^2^x^^Lief^abc",
                                              "@srm,etk[STR],ean[STR],ekp[STR],uvp[INT],qaz[INT]\r\n38^4001^zz^0^1\r\n"));
  ASSERT_TRUE(W->ShowArticle(100102));
  EXPECT_FALSE(W->chkNOS->Checked());
  EXPECT_EQ(W->edHer->EText(), "");  // no column "mf_name": nothing shown, nothing crashed
  EXPECT_EQ(W->edLief->EText(), "00000 Lief");
  EXPECT_EQ(W->edSai->EText(), "0 - Standard");
  EXPECT_EQ(LinesOf(W->lbGrs), (std::vector<std::string>{"38;4001;0.00;0.00;1;"}));
}

TEST_F(E2eArticle, MissingColumnsGiveEmptyFieldsAndNoError) {
  ShowFirstHit("AS-4711");
  // Neither "hbrn" nor "wgbez" nor "fabez" in "art", no "qaz" and no "ekp" in "srm".
  Script().SetArticleText(100102, ArticleText("eid[INT],mf[INT],mf_name[STR],fab[STR],sai[INT],nos[INT]",
                                              "100102^7^Sieben^AS-4712^22^1",
                                              "@srm,etk[STR],ean[STR],uvp[INT]\r\n39^4002^2599\r\n"));
  Boxes.Clear();
  EXPECT_TRUE(W->ShowArticle(100102));
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_EQ(W->edHer->EText(), "00007 Sieben");
  EXPECT_EQ(W->edHFab->EText(), "AS-4712");
  EXPECT_EQ(W->edSai->EText(), "22 - FS 2004");
  EXPECT_EQ(W->edMarke->EText(), "");
  EXPECT_EQ(W->edeaswgbez->EText(), "");
  EXPECT_EQ(W->edeasfabez->EText(), "");
  EXPECT_EQ(W->edLief->EText(), "");
  ASSERT_EQ(W->lbGrs->Items()->Count(), 1);
  const std::string Line = LineOf(W->lbGrs, 0);
  EXPECT_EQ(Line.substr(0, 8), "39;4002;");
  EXPECT_NE(Line.find("25.99"), std::string::npos) << Line;
}

TEST_F(E2eArticle, AnswerWithoutArtShowsOnlyTheStatusAndTheId) {
  ShowFirstHit("AS-4711");
  Script().SetArticleText(100103, "@srm,etk[STR],ean[STR],ekp[INT],uvp[INT],qaz[INT]\r\n38^1^100^200^1\r\n");
  EXPECT_FALSE(W->ShowArticle(100103));
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (0) OK");
  EXPECT_EQ(W->edZELID->EText(), "100103");
  EXPECT_EQ(W->edHFab->EText(), "");
  EXPECT_EQ(W->lbGrs->Items()->Count(), 0);  // "srm" is not read without "art"
}

TEST_F(E2eArticle, ArticleTheServiceDoesNotKnowShowsItsStatus) {
  ShowFirstHit("AS-4711");
  Service->ClearRequests();
  EXPECT_FALSE(W->ShowArticle(999));
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (2) Artikel 999 nicht gefunden");
  EXPECT_EQ(W->edZELID->EText(), "999");
  EXPECT_EQ(W->edHFab->EText(), "");
  // Asked again for the id shown, nothing happens.
  EXPECT_FALSE(W->ShowArticle(999));
  EXPECT_EQ(Calls("GetPRICAT").size(), 1u);
}

// ---------------------------------------------------------------- prices and separators

struct PriceCase {
  char Decimal;
  char Thousand;
  const char* Ekp;
  const char* Uvp;
};

TEST_F(E2eArticle, PricesUseAPointAndGroupThousandsNeverWithThePoint) {
  ShowFirstHit("AS-4711");
  const PriceCase Cases[] = {
      {',', '.', "1,234.56", "1,000.00"},  // German settings: grouping would be "." as well, so ","
      {'.', ',', "1,234.56", "1,000.00"},
      {',', ' ', "1 234.56", "1 000.00"},
  };
  Script().SetArticleText(100102, ArticleText(FullArtHeader, FullArtRow,
                                              "@srm,etk[STR],ean[STR],ekp[INT],uvp[INT],qaz[INT]\r\n"
                                              "38^4001001010001^123456^100000^1\r\n"));
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string("decimal ") + C.Decimal + " thousands " + C.Thousand);
    zeltest::SettingsGuard Guard;
    DecimalSeparator = C.Decimal;
    ThousandSeparator = C.Thousand;
    W->FShownEid = -1;
    ASSERT_TRUE(W->ShowArticle(100102));
    EXPECT_EQ(LinesOf(W->lbGrs), (std::vector<std::string>{std::string("38;4001001010001;") + C.Ekp + ";" + C.Uvp + ";1;"}));
    EXPECT_EQ(DecimalSeparator, C.Decimal);
    EXPECT_EQ(ThousandSeparator, C.Thousand);
  }
}

// The fixture holds the window's timer: however long the machine takes
// after the search, the hit list's timer (armed by the release of the
// search's Enter) does not fire by itself in the message processing of a
// later step, which would show the first hit again in its middle.
TEST_F(E2eArticle, HitListTimerWaitsForTheTestWhileAnArticleIsShown) {
  ShowFirstHit("AS-");
  ASSERT_EQ(W->FShownEid, 100101);
  ASSERT_TRUE(W->timCheck->Running());
  // Longer than the timer's interval, as a busy machine may take.
  std::this_thread::sleep_for(std::chrono::milliseconds(2 * W->timCheck->Interval()));
  W->FShownEid = -1;
  ASSERT_TRUE(W->ShowArticle(100102));
  EXPECT_EQ(W->FShownEid, 100102);
  EXPECT_EQ(W->edHFab->EText(), "AS-4712");
  EXPECT_TRUE(W->timCheck->Running());
}

TEST_F(E2eArticle, DecimalSeparatorComesBackOnEveryWayOut) {
  ShowFirstHit("AS-4711");
  struct WayOut {
    const char* Name;
    std::string Text;
    bool ErrorBox;
  };
  const WayOut Cases[] = {
      {"sizes", ArticleText(FullArtHeader, FullArtRow, "@srm,etk[STR],ean[STR],ekp[INT],uvp[INT],qaz[INT]\r\n38^1^1999^3999^1\r\n"), false},
      {"no srm", ArticleText(FullArtHeader, FullArtRow, ""), false},
      {"srm without rows", ArticleText(FullArtHeader, FullArtRow, "@srm,etk[STR],ean[STR],ekp[INT],uvp[INT],qaz[INT]\r\n"), false},
      {"art without rows", "@art," + std::string(FullArtHeader) + "\r\n", true},
      {"no columns", "@art\r\n1^2\r\n", true},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    zeltest::SettingsGuard Guard;
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    // Through the window's own road: the second hit, reached with the
    // arrow key and the timer, so an escaping error meets the default handler.
    Script().SetArticleText(100102, C.Text);
    SearchWithEnter("AS-");
    ASSERT_EQ(W->FShownEid, 100101);
    if (W->timCheck->Running()) platform::FireTimerNow(W->timCheck);
    Boxes.Clear();
    PressKey(VK_DOWN);
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
    RunPostedMessages();
    EXPECT_EQ(W->FShownEid, 100102);
    EXPECT_EQ(DecimalSeparator, ',');
    EXPECT_EQ(ThousandSeparator, '.');
    EXPECT_EQ(Boxes.Count(), C.ErrorBox ? 1 : 0);
    if (C.Name == std::string("sizes")) {
      EXPECT_EQ(LinesOf(W->lbGrs), (std::vector<std::string>{"38;1;19.99;39.99;1;"}));
    }
  }
}

// ---------------------------------------------------------------- the picture

struct PictureCase {
  const char* Fab;
  int Width, Height;  // 0: no picture
  const char* Status;
};

TEST_F(E2eArticle, PictureIsShownAtItsSize) {
  const PictureCase Cases[] = {
      {"AS-4711", 160, 120, "Bildstatus: (0) OK"},
      {"NL-1001", 120, 160, "Bildstatus: (0) OK"},
      {"NL-2040", 0, 0, "Bildstatus: (1) Kein Bild vorhanden"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Fab);
    WriteSettings({"USER=demo", "SAI=-1", std::string("HER=") + (C.Fab[0] == 'A' ? "1203" : "2210")});
    ShowFirstHit(C.Fab, true);
    const auto Pics = Calls("GetPic");
    ASSERT_EQ(Pics.size(), 1u);
    EXPECT_EQ(Pics[0].ParamNames(), (std::vector<std::string>{"user", "pass", "zelID"}));
    EXPECT_EQ(Pics[0].Param("zelID"), std::to_string(W->FShownEid));
    EXPECT_EQ(W->lbPicStatus->Caption(), C.Status);
    EXPECT_EQ(W->pic->Picture()->Width(), C.Width);
    EXPECT_EQ(W->pic->Picture()->Height(), C.Height);
    if (C.Width) {
      if (const char* Shot = std::getenv("ZEL_E2E_SCREENSHOT_ARTICLE")) WritePng(platform::RenderControl(W), Shot);
      EXPECT_TRUE(W->pic->Stretch());
      EXPECT_TRUE(W->pic->Proportional());
      // Stretched into the frame with the picture's proportions.
      const TRect D = W->pic->DestRect();
      EXPECT_TRUE(D.Width() == W->pic->ClientWidth() || D.Height() == W->pic->ClientHeight());
      EXPECT_LE(D.Width(), W->pic->ClientWidth());
      EXPECT_LE(D.Height(), W->pic->ClientHeight());
      EXPECT_NEAR(double(D.Width()) / D.Height(), double(C.Width) / C.Height, 0.05);
    }
    EXPECT_EQ(Boxes.Count(), 0);
    CloseWindow();
    Service->ClearRequests();
  }
}

TEST_F(E2eArticle, PictureLengthBeyondItsBytesIsNeverReadPast) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  Script().SetPictureLengthSurplus(1 << 20);
  W->chkPic->SetChecked(true);
  SearchWithEnter("AS-4711");
  EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus: (0) OK");
  EXPECT_EQ(W->pic->Picture()->Width(), 160);
  EXPECT_EQ(W->pic->Picture()->Height(), 120);
  EXPECT_EQ(Boxes.Count(), 0);
}

TEST_F(E2eArticle, PictureThatIsNoJpegEndsInTheDefaultErrorBox) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  W->chkPic->SetChecked(true);
  Service->SetFailure(FakeFailure::BadPicture);
  SearchWithEnter("AS-4711");
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_EQ(Boxes.Last().Text.rfind("JPEG-Fehler #", 0), 0u) << Boxes.Last().Text;
  EXPECT_NE(Boxes.Last().Flags & MB_ICONSTOP, 0u);
  EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus: (0) OK");
  EXPECT_EQ(W->pic->Picture()->Graphic(), nullptr);
  // The article's data were shown before the picture.
  EXPECT_EQ(W->edHFab->EText(), "AS-4711");
}

TEST_F(E2eArticle, PictureIsFetchedAlsoWhenTheArticleHasAStatus) {
  ShowFirstHit("AS-4711", true);
  Service->ClearRequests();
  W->ShowArticle(777);
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (2) Artikel 777 nicht gefunden");
  ASSERT_EQ(Calls("GetPic").size(), 1u);
  EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus: (1) Kein Bild vorhanden");
}

// ---------------------------------------------------------------- error boxes

struct ErrorCase {
  const char* Operation;
  const char* Box;
  bool SearchButtonOn;
};

TEST_F(E2eArticle, EachFailedCallShowsItsOwnCode) {
  const ErrorCase Cases[] = {
      {"SearchART2", "error.. (-122)", false},  // the search ends with its button off
      {"GetPRICAT", "error.. (-124)", true},
      {"GetPic", "error.. (-123)", true},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Operation);
    Boxes.Clear();
    StartWindow();
    LoginWithEnter("demo", "demo");
    W->chkPic->SetChecked(true);
    Script().FailCall(C.Operation);
    SearchWithEnter("AS-4711");
    ASSERT_EQ(Boxes.Count(), 1);
    EXPECT_EQ(Boxes.Last().Text, C.Box);
    EXPECT_EQ(W->btSearch->Enabled(), C.SearchButtonOn);
    if (C.Operation == std::string("GetPRICAT")) {
      // The fields are empty, the id shows, the picture was not asked for.
      EXPECT_EQ(W->edZELID->EText(), "100101");
      EXPECT_EQ(W->edHFab->EText(), "");
      EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus:");
      EXPECT_EQ(W->FShownEid, 100101);
    }
    if (C.Operation == std::string("GetPic")) {
      EXPECT_EQ(W->edHFab->EText(), "AS-4711");
      EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus:");
    }
    CloseWindow();
  }
}

}  // namespace
}  // namespace zeltest
