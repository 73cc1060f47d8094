// The masked edit's caption label: found or created, placed, following the
// edit's name, position and visibility, attached and detached, freed; and
// the edit read from a window description.
#include <gtest/gtest.h>

#include <memory>

#include "controls/K_Edit.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "tests/controls/K_Edit_support.h"

using zeltest::EditForm;

namespace {

class KEditLabel : public EditForm {
protected:
  TLabel* Label() { return edit->LabelComponent(); }
};

TEST_F(KEditLabel, LabelTextCreatesTheLabelAboveTheEdit) {
  const int before = form->ComponentCount();
  edit->SetLabelText("Name");
  TLabel* l = Label();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Name(), "lab_edA");
  EXPECT_EQ(l->Owner(), form.get());
  EXPECT_EQ(l->Parent(), form.get());
  EXPECT_EQ(l->FocusControl(), edit);
  EXPECT_EQ(l->Caption(), "Name");
  EXPECT_TRUE(l->Visible());
  EXPECT_EQ(l->Left(), 100);
  EXPECT_EQ(l->Top(), 50 - (l->Height() + 2));
  EXPECT_EQ(form->ComponentCount(), before + 1);
  // An empty text frees it.
  edit->SetLabelText("");
  EXPECT_EQ(Label(), nullptr);
  EXPECT_EQ(form->FindComponent("lab_edA"), nullptr);
  EXPECT_EQ(form->ComponentCount(), before);
  EXPECT_EQ(edit->LabelText(), "");
}

TEST_F(KEditLabel, LabelColon) {
  edit->SetLabelColon(true);
  edit->SetLabelText("Name");
  EXPECT_EQ(Label()->Caption(), "Name:");
  EXPECT_EQ(edit->LabelText(), "Name");
  edit->SetLabelText("Ort:");  // already ends with one
  EXPECT_EQ(Label()->Caption(), "Ort:");
  edit->SetLabelColon(false);
  EXPECT_EQ(Label()->Caption(), "Ort");
  EXPECT_EQ(edit->LabelText(), "Ort");
  edit->SetLabelColon(true);
  EXPECT_EQ(Label()->Caption(), "Ort:");
}

struct PosCase {
  TLabelPos Pos;
  int Left, Top;
};

TEST_F(KEditLabel, Positions) {
  edit->SetLabelText("Name");
  TLabel* l = Label();
  l->SetAutoSize(false);
  l->SetBounds(0, 0, 40, 13);
  const PosCase cases[] = {
      {lpLeft, 58, 54},
      {lpTop, 100, 50 - 15},
      {lpBottom, 100, 50 + 21 + 2},
      {lpCustom, 100, 73},  // stays where it was
  };
  for (const auto& c : cases) {
    edit->SetLabelPos(c.Pos);
    EXPECT_EQ(l->Left(), c.Left) << c.Pos;
    EXPECT_EQ(l->Top(), c.Top) << c.Pos;
    EXPECT_EQ(l->Width(), 40);
    EXPECT_EQ(l->Height(), 13);
  }
  edit->SetLabelPos(lpLeft);
  edit->SetLabelMargin(10);
  EXPECT_EQ(l->Left(), 100 - 50);
  // Moving the edit takes the label along.
  edit->SetBounds(200, 120, 120, 21);
  EXPECT_EQ(l->Left(), 150);
  EXPECT_EQ(l->Top(), 124);
}

TEST_F(KEditLabel, DesigningALeftLabelWidensTheDefaultMargin) {
  edit->SetLabelText("Name");
  edit->SetLabelPos(lpLeft);  // not designed: the margin stays
  EXPECT_EQ(edit->LabelMargin(), 2);
  edit->SetLabelPos(lpTop);
  edit->SetDesigning(true);
  edit->SetLabelPos(lpLeft);
  EXPECT_EQ(edit->LabelMargin(), 8);
  EXPECT_EQ(Label()->Left(), 100 - (Label()->Width() + 8));
  edit->SetLabelPos(lpTop);
  edit->SetLabelMargin(2);
  edit->SetLabelPos(lpBottom);  // only left and custom
  EXPECT_EQ(edit->LabelMargin(), 2);
}

TEST_F(KEditLabel, AnExistingLabelOfThatNameIsTakenOver) {
  auto* l = new TLabel(form.get());
  l->SetName("lab_edA");
  l->SetParent(form.get());
  l->SetCaption("alt");
  const int before = form->ComponentCount();
  edit->SetLabelText("Neu");
  EXPECT_EQ(Label(), l);
  EXPECT_EQ(l->Caption(), "Neu");
  EXPECT_EQ(form->ComponentCount(), before);
}

TEST_F(KEditLabel, AComponentOfThatNameThatIsNoLabel) {
  auto* p = new TPanel(form.get());
  p->SetName("lab_edA");
  const int before = form->ComponentCount();
  EXPECT_THROW(edit->SetLabelText("Name"), EComponentError);
  EXPECT_EQ(Label(), nullptr);
  EXPECT_EQ(form->ComponentCount(), before);
}

TEST_F(KEditLabel, UnnamedEditsKeepTheirLabelsApart) {
  auto* a = new TStrEdit(form.get());
  auto* b = new TStrEdit(form.get());
  a->SetParent(form.get());
  b->SetParent(form.get());
  a->SetLabelText("A");
  b->SetLabelText("B");
  ASSERT_NE(a->LabelComponent(), nullptr);
  ASSERT_NE(b->LabelComponent(), nullptr);
  EXPECT_NE(a->LabelComponent(), b->LabelComponent());
  EXPECT_EQ(a->LabelComponent()->Caption(), "A");
}

TEST_F(KEditLabel, RenamingTheEditRenamesItsLabel) {
  edit->SetLabelText("Name");
  edit->SetName("edNeu");
  EXPECT_EQ(Label()->Name(), "lab_edNeu");
}

TEST_F(KEditLabel, VisibilityFollowsTheEdit) {
  edit->SetLabelText("Name");
  TLabel* l = Label();
  edit->SetVisible(false);
  EXPECT_FALSE(l->Visible());
  edit->SetBounds(10, 60, 120, 21);  // hidden: the label stays hidden
  EXPECT_FALSE(l->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(l->Visible());
  EXPECT_EQ(l->Left(), 10);
  EXPECT_EQ(l->Top(), 60 - (l->Height() + 2));
  // Enabling is the edit's own.
  edit->SetEnabled(false);
  EXPECT_TRUE(l->Enabled());
}

TEST_F(KEditLabel, AttachingALabel) {
  edit->SetLabelText("Alt");
  TLabel* old = Label();
  auto* l = new TLabel(form.get());
  l->SetName("Label7");
  l->SetParent(form.get());
  l->SetBounds(5, 7, 30, 13);
  l->SetCaption("Preis:");
  // The old caption label goes: watch it through a free notification.
  bool oldGone = false;
  struct Watch : TComponent {
    bool* Flag;
    TComponent* Target;
    Watch(bool* F, TComponent* T) : TComponent(nullptr), Flag(F), Target(T) { T->FreeNotification(this); }
    void Notification(TComponent* C, TOperation Op) override {
      TComponent::Notification(C, Op);
      if (C == Target && Op == opRemove) *Flag = true;
    }
  } watch(&oldGone, old);

  edit->SetLabelComponent(l);
  EXPECT_TRUE(oldGone);
  EXPECT_EQ(Label(), l);
  EXPECT_EQ(l->Name(), "lab_edA");
  EXPECT_EQ(l->FocusControl(), edit);
  EXPECT_EQ(edit->LabelPos(), lpCustom);
  EXPECT_TRUE(edit->LabelColon());
  EXPECT_EQ(edit->LabelText(), "Preis");
  EXPECT_EQ(l->Caption(), "Preis:");
  // lpCustom: it stays where it was put when the edit moves, but follows hiding.
  edit->SetBounds(250, 150, 120, 21);
  EXPECT_EQ(l->Left(), 5);
  EXPECT_EQ(l->Top(), 7);
  edit->Hide();
  EXPECT_FALSE(l->Visible());
  edit->Show();
  EXPECT_TRUE(l->Visible());
  EXPECT_EQ(l->Left(), 5);
  // Detaching leaves it alone.
  edit->SetLabelComponent(nullptr);
  EXPECT_EQ(Label(), nullptr);
  EXPECT_EQ(form->FindComponent("lab_edA"), l);
  EXPECT_EQ(l->Caption(), "Preis:");
}

TEST_F(KEditLabel, AttachingKeepsTheCaptionOfALabelWithoutColon) {
  edit->SetLabelColon(true);
  auto* l = new TLabel(form.get());
  l->SetParent(form.get());
  l->SetCaption("Name");
  edit->SetLabelComponent(l);
  EXPECT_FALSE(edit->LabelColon());
  EXPECT_EQ(l->Caption(), "Name");
  EXPECT_EQ(edit->LabelText(), "Name");
}

TEST_F(KEditLabel, LabelOfAnotherOwnerIsRefused) {
  edit->SetLabelText("Name");
  TLabel* mine = Label();
  TForm otherForm(nullptr);
  auto* foreign = new TLabel(&otherForm);
  try {
    edit->SetLabelComponent(foreign);
    FAIL() << "no exception";
  } catch (const ELabeledControl& e) {
    EXPECT_EQ(e.Message(), "Cannot attach label to edA. Label and control must be on the same form!");
  }
  EXPECT_EQ(Label(), mine);
  EXPECT_EQ(edit->LabelPos(), lpTop);
}

TEST_F(KEditLabel, LabelOnAnotherParentRefusesAPosition) {
  edit->SetLabelText("Name");
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  Label()->SetParent(panel);
  try {
    edit->SetLabelPos(lpLeft);
    FAIL() << "no exception";
  } catch (const ELabeledControl& e) {
    EXPECT_EQ(e.Message(), "Cannot set label position. Label parent is different from edA parent.");
  }
  EXPECT_EQ(edit->LabelPos(), lpTop);
  EXPECT_EQ(ELabeledControl::CreateCode(7, "x").Message(), "Undefined exception (?)");
}

TEST_F(KEditLabel, ALabelFreedByOthersIsForgotten) {
  edit->SetLabelText("Name");
  delete Label();
  EXPECT_EQ(Label(), nullptr);
  EXPECT_EQ(edit->LabelText(), "");
  edit->SetLabelText("Neu");  // a new one
  EXPECT_EQ(Label()->Caption(), "Neu");
}

TEST_F(KEditLabel, TheEditFreesItsLabel) {
  edit->SetLabelText("Name");
  const int before = form->ComponentCount();
  delete edit;
  edit = nullptr;
  EXPECT_EQ(form->FindComponent("lab_edA"), nullptr);
  EXPECT_EQ(form->ComponentCount(), before - 2);
}

TEST_F(KEditLabel, ALabelWhoseOwnerIsBeingDestroyedIsNotTouched) {
  edit->SetLabelText("Name");
  TLabel* l = Label();
  form->Destroying();
  delete edit;
  edit = nullptr;
  // Still there: the owner frees it with the rest.
  EXPECT_EQ(form->FindComponent("lab_edA"), l);
  EXPECT_EQ(l->Parent(), form.get());
}

TEST_F(KEditLabel, ALabelWhoseParentIsBeingDestroyedIsNotTouched) {
  auto* panel = new TPanel(nullptr);
  panel->SetParent(form.get());
  auto* e = new TStrEdit(form.get());
  e->SetName("edP");
  e->SetParent(panel);
  e->SetLabelText("Name");
  TLabel* l = e->LabelComponent();
  ASSERT_EQ(l->Parent(), panel);
  panel->Destroying();
  delete e;
  EXPECT_EQ(l->Parent(), panel);
  EXPECT_EQ(form->FindComponent("lab_edP"), l);
  delete panel;  // frees its child, the label
  EXPECT_EQ(form->FindComponent("lab_edP"), nullptr);
}

TEST_F(KEditLabel, APanelGoingWithAnEditAndItsLabel) {
  for (bool labelFirst : {true, false}) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    TLabel* l = nullptr;
    if (labelFirst) {
      l = new TLabel(form.get());
      l->SetName("lab_edQ");
      l->SetParent(panel);
    }
    auto* e = new TStrEdit(form.get());
    e->SetName("edQ");
    e->SetParent(panel);
    e->SetLabelText("Q");
    if (!labelFirst) {
      ASSERT_EQ(e->LabelComponent()->Parent(), panel);
    }
    const int before = form->ComponentCount();
    delete panel;  // frees the edit and the label once each
    EXPECT_EQ(form->FindComponent("edQ"), nullptr) << labelFirst;
    EXPECT_EQ(form->FindComponent("lab_edQ"), nullptr) << labelFirst;
    EXPECT_EQ(form->ComponentCount(), before - 3) << labelFirst;
  }
}

TEST_F(KEditLabel, FormsWithCaptionLabelsGoInEitherOrder) {
  // Labels made before and after their edits; the form frees everything once.
  auto* l = new TLabel(form.get());
  l->SetName("lab_edB");
  l->SetParent(form.get());
  other->SetLabelText("B");
  edit->SetLabelText("A");
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  auto* e = new TStrEdit(form.get());
  e->SetName("edC");
  e->SetParent(panel);
  e->SetLabelText("C");
  form.reset();
  SUCCEED();
}

// ---------------------------------------------------------------- window description

class TDescForm : public TForm {
  ZEL_CLASS(TDescForm, TForm)
public:
  explicit TDescForm(const AnsiString& Text) : TForm(nullptr) {
    platform::RegisterClass<TDescForm>("TDescForm", "TForm")
        .Field("edZELID", &TDescForm::edZELID)
        .Field("edHFab", &TDescForm::edHFab)
        .Method("edZELIDExit", &TDescForm::edZELIDExit)
        .Done();
    ReadDescription(Text);
  }
  void edZELIDExit(TObject*) { ++Exits; }
  TStrEdit* edZELID = nullptr;
  TStrEdit* edHFab = nullptr;
  int Exits = 0;
};

TEST(KEditDescription, PropertiesOfTheMainWindow) {
  const char* text =
      "object frm: TDescForm\n"
      "  Left = 0\n  Top = 0\n  Width = 400\n  Height = 200\n"
      "  object Label9: TLabel\n    Left = 3\n    Top = 4\n    Caption = 'Hersteller:'\n  end\n"
      "  object edZELID: TStrEdit\n"
      "    Left = 8\n    Top = 62\n    Width = 84\n    Height = 21\n"
      "    EditMask = '00000000'\n    MapEnterToTab = False\n    MaxLength = 8\n"
      "    Color = clInfoBk\n    ReadOnly = True\n    TabStop = False\n    TabOrder = 0\n"
      "    OnExit = edZELIDExit\n  end\n"
      "  object edHFab: TStrEdit\n"
      "    Left = 100\n    Top = 62\n    Width = 160\n    Height = 21\n"
      "    EditMask = '9999,99'\n    MaxLength = -1\n    Color = clInfoBk\n    Enabled = False\n"
      "    ColorDisabled = clMaroon\n    Alignment = taRightJustify\n    LabelComponent = Label9\n"
      "    OnExit = edZELIDExit\n  end\n"
      "end\n";
  TDescForm f(text);
  ASSERT_NE(f.edZELID, nullptr);
  EXPECT_EQ(f.edZELID->EditMask(), "00000000");
  EXPECT_EQ(f.edZELID->MaxLength(), 8);
  EXPECT_TRUE(f.edZELID->ReadOnly());
  EXPECT_FALSE(f.edZELID->TabStop());
  EXPECT_EQ(f.edZELID->Color(), clInfoBk);
  ASSERT_NE(f.edHFab, nullptr);
  EXPECT_EQ(f.edHFab->MaxLength(), -1);  // the stored value wins over the mask's
  EXPECT_EQ(f.edHFab->ColorDisabled(), clMaroon);
  EXPECT_EQ(f.edHFab->Alignment(), taRightJustify);
  EXPECT_FALSE(f.edHFab->Enabled());
  ASSERT_NE(f.edHFab->LabelComponent(), nullptr);
  EXPECT_EQ(f.edHFab->LabelComponent()->Name(), "lab_edHFab");
  EXPECT_EQ(f.edHFab->LabelText(), "Hersteller");
  EXPECT_EQ(f.edHFab->LabelPos(), lpCustom);
  // The loaded colour is the one the edit returns to.
  f.edHFab->SetEText("1250");
  EXPECT_EQ(f.edHFab->Text(), "12,50");
  f.edZELID->Perform(CM_EXIT, 0, 0);
  EXPECT_EQ(f.edZELID->Color(), clInfoBk);
  EXPECT_EQ(f.Exits, 1);
}

}  // namespace
