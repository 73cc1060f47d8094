// End-to-end: the "P" and "K" text views of the article shown, with the
// clipboard and the message box against the service's own text.
#include "tests/client/main_fixture.h"

namespace zeltest {
namespace {

class E2eTextView : public MainE2E {
protected:
  void SetUp() override {
    MainE2E::SetUp();
    WriteFile(WorkFile("zel_web_pricat.exe.debug"), "");
    WriteSettings({"USER=demo", "SAI=-1", "LND=ch"});
  }
  void ShowArticleOf(const AnsiString& Fab) {
    StartWindow();
    LoginWithEnter("demo", "demo");
    SearchWithEnter(Fab);
    if (W->timCheck->Running()) platform::FireTimerNow(W->timCheck);
    RunPostedMessages();
  }
  // What the service itself answers for the article, in the ANSI code page.
  std::string ServiceText(Integer Format, Integer Eid) const {
    auto Client = GetZelService(Service->WsdlUrl());
    auto R = Client->GetPRICAT(Format, u"demo", u"demo", Eid, u"CH");
    EXPECT_EQ(R->Status(), 0);
    return platform::WideToAnsi(R->Buf());
  }
};

struct ViewCase {
  const char* Name;
  TSpeedButton* TfrmMAIN::*Button;
  Integer Format;
};

TEST_F(E2eTextView, ButtonsPutTheServiceTextOnTheClipboardAndShowIt) {
  ShowArticleOf("AS-4712");
  ASSERT_EQ(W->FShownEid, 100102);
  ASSERT_TRUE(W->btKCSV->Visible());
  const ViewCase Cases[] = {{"K", &TfrmMAIN::btKCSV, 0}, {"P", &TfrmMAIN::btEDIpricat, 2}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Service->ClearRequests();
    Boxes.Clear();
    Clipboard()->SetAsText("vorher");
    W->lbStmStatus->SetCaption("x");
    Click(W->*C.Button);
    RunPostedMessages();
    const auto Views = Calls("GetPRICAT");
    ASSERT_EQ(Views.size(), 1u);
    EXPECT_EQ(Views[0].Param("format"), std::to_string(C.Format));
    EXPECT_EQ(Views[0].Param("eid"), "100102");
    EXPECT_EQ(Views[0].Param("land"), "CH");
    EXPECT_EQ(Views[0].Param("user"), "demo");
    const std::string Expected = ServiceText(C.Format, 100102);
    ASSERT_GT(Expected.size(), 100u);
    EXPECT_EQ(Clipboard()->AsText(), Expected);
    ASSERT_EQ(Boxes.Count(), 1);
    EXPECT_EQ(Boxes.Last().Text, Expected);
    EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (0) OK");
    // The display is not touched.
    EXPECT_EQ(W->edHFab->EText(), "AS-4712");
    EXPECT_EQ(W->lbGrs->Items()->Count() > 0, true);
  }
  // The PRICAT text really is the EDIFACT message.
  EXPECT_EQ(Boxes.Last().Text.rfind("UNA", 0), 0u);
}

TEST_F(E2eTextView, WithoutAnArticleTheButtonsDoNothing) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(W->edZELID->EText(), "");
  Service->ClearRequests();
  Clipboard()->SetAsText("vorher");
  Click(W->btKCSV);
  Click(W->btEDIpricat);
  RunPostedMessages();
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_EQ(Clipboard()->AsText(), "vorher");
}

TEST_F(E2eTextView, FailedCallShowsMinus125AndKeepsTheClipboard) {
  ShowArticleOf("AS-4711");
  Script().FailCall("GetPRICAT");
  Clipboard()->SetAsText("vorher");
  Boxes.Clear();
  Click(W->btKCSV);
  RunPostedMessages();
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_EQ(Boxes.Last().Text, "error.. (-125)");
  EXPECT_EQ(Clipboard()->AsText(), "vorher");
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (0) OK");
}

TEST_F(E2eTextView, StatusShowsInTheLabelWithoutBoxOrClipboard) {
  ShowArticleOf("AS-4711");
  Service->SetFailure(FakeFailure::StatusNotZero);
  Clipboard()->SetAsText("vorher");
  Boxes.Clear();
  Click(W->btEDIpricat);
  RunPostedMessages();
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_EQ(Clipboard()->AsText(), "vorher");
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (3) Zugang gesperrt (Testfall)");
}

TEST_F(E2eTextView, LongTextGoesWholeToTheClipboardAndTheBox) {
  ShowArticleOf("AS-4711");
  // A text far longer than a screen can show in one box.
  std::string Long = "@art,eid[INT],fab[STR],hbez[STR]\r\n";
  for (int i = 0; i < 3000; ++i) Long += "100101^AS-4711^Zeile " + std::to_string(i) + " \xE4\xF6\xFC\xDF\r\n";
  Script().SetArticleText(100101, Long);
  Boxes.Clear();
  Click(W->btKCSV);
  RunPostedMessages();
  EXPECT_EQ(Clipboard()->AsText(), Long);
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_EQ(Boxes.Last().Text, Long);
}

TEST_F(E2eTextView, TextViewsFetchOnlyTheArticleShown) {
  ShowArticleOf("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  // Move to the third hit; before the timer fires the window still shows the first.
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  Service->ClearRequests();
  Click(W->btKCSV);
  RunPostedMessages();
  for (const auto& C : Calls("GetPRICAT")) EXPECT_EQ(C.Param("eid"), std::to_string(W->FShownEid));
  // After the timer the third hit is shown, and the views follow it.
  if (W->timCheck->Running()) platform::FireTimerNow(W->timCheck);
  RunPostedMessages();
  ASSERT_EQ(W->FShownEid, 100103);
  Service->ClearRequests();
  Click(W->btEDIpricat);
  RunPostedMessages();
  ASSERT_EQ(Calls("GetPRICAT").size(), 1u);
  EXPECT_EQ(Calls("GetPRICAT")[0].Param("eid"), "100103");
}

}  // namespace
}  // namespace zeltest
