// Window descriptions read into a form.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/gui/timer.h"
#include "tests/support/error_of.h"

namespace {

std::vector<std::string> g_log;

// A component class with properties of every kind the reader knows.
class TProbe : public TWinControl {
  ZEL_CLASS(TProbe, TWinControl)
public:
  explicit TProbe(TComponent* Owner) : TWinControl(Owner) {
    FItems = std::make_unique<TStringList>();
    FLimit = 42;  // the constructor's value; descriptions may leave it
  }
  int Limit() const { return FLimit; }
  void SetLimit(int v) {
    g_log.push_back(Name() + ".Limit loading=" + std::to_string(ComponentState().Contains(csLoading)));
    FLimit = v;
  }
  AnsiString Title;
  TColor Shade = clWindow;
  bool Flag = true;
  TAlign Side = alNone;
  TAnchors Corners;
  std::vector<Byte> Blob;
  TProbe* Buddy = nullptr;
  TNotifyEvent OnPing;
  TKeyEvent OnKeyed;
  TStrings* Items() { return FItems.get(); }

  void Loaded() override {
    g_log.push_back(Name() + ".Loaded buddy=" + (Buddy ? Buddy->Name() : std::string("nil")));
    TWinControl::Loaded();
  }
  // How often the control's state went to its native window.
  int PeerUpdates = 0;
  void UpdatePeer() override {
    ++PeerUpdates;
    TWinControl::UpdatePeer();
  }

private:
  int FLimit;
  std::unique_ptr<TStringList> FItems;
};

const bool probeRegistered =
    platform::RegisterClass<TProbe>("TProbe", "TWinControl")
        .Int("Limit", &TProbe::SetLimit, 42)
        .Str("Title", [](TProbe* p, const AnsiString& v) { p->Title = v; })
        .Color("Shade", [](TProbe* p, TColor v) { p->Shade = v; }, clWindow)
        .Bool("Flag", [](TProbe* p, bool v) { p->Flag = v; }, true)
        .Enum<TAlign>("Side", {{"alNone", alNone}, {"alLeft", alLeft}, {"alRight", alRight}},
                      [](TProbe* p, TAlign v) { p->Side = v; })
        .SetOf<TAnchors, TAnchorKind>("Corners", {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}},
                                      [](TProbe* p, TAnchors v) { p->Corners = v; })
        .Binary("Blob", [](TProbe* p, const std::vector<Byte>& v) { p->Blob = v; })
        .Object("Items", [](TProbe* p) -> TPersistent* { return p->Items(); })
        .Ref<TProbe>("Buddy", [](TProbe* p, TProbe* b) { p->Buddy = b; })
        .Event("OnPing", &TProbe::OnPing)
        .Event("OnKeyed", &TProbe::OnKeyed)
        .Done();

// A component that is no control and joins the component it is nested in.
class TProbeItem : public TComponent {
  ZEL_CLASS(TProbeItem, TComponent)
public:
  explicit TProbeItem(TComponent* Owner) : TComponent(Owner) {}
  TComponent* Joined = nullptr;
};

const bool itemRegistered = platform::RegisterClass<TProbeItem>("TProbeItem", "TComponent")
                                .ParentComponent([](TProbeItem* i, TComponent* p) { i->Joined = p; })
                                .Done();

class TProbeForm : public TForm {
  ZEL_CLASS(TProbeForm, TForm)
public:
  explicit TProbeForm(TComponent* Owner) : TForm(Owner) {}
  TProbe* Outer = nullptr;
  TProbe* Inner = nullptr;
  TProbe* Last = nullptr;
  TTimer* Clock = nullptr;
  std::vector<std::string> Calls;
  void PingHandler(TObject* Sender) { Calls.push_back("ping " + static_cast<TComponent*>(Sender)->Name()); }
  void KeyHandler(TObject*, Word& Key, TShiftState) { Calls.push_back("key " + std::to_string(Key)); }
  void FormCreate(TObject*) { Calls.push_back("create, Inner=" + (Inner ? Inner->Name() : std::string("nil"))); }
  void Read(const AnsiString& Text) { ReadDescription(Text); }
  void Loaded() override {
    g_log.push_back("form.Loaded");
    TForm::Loaded();
  }
};

const bool formRegistered = platform::RegisterClass<TProbeForm>("TProbeForm", "TForm")
                                .Field("Outer", &TProbeForm::Outer)
                                .Field("Inner", &TProbeForm::Inner)
                                .Field("Last", &TProbeForm::Last)
                                .Field("Clock", &TProbeForm::Clock)
                                .Method("PingHandler", &TProbeForm::PingHandler)
                                .Method("KeyHandler", &TProbeForm::KeyHandler)
                                .Method("FormCreate", &TProbeForm::FormCreate)
                                .Done();

const char* kDescription = R"(object ProbeForm: TProbeForm
  Left = 100
  Top = 50
  Width = 400
  Height = 300
  Caption = 'Gr'#246#223'e '#39'Test'#39
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  KeyPreview = True
  ActiveControl = Last
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Outer: TProbe
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    Limit = 7
    Shade = clBtnFace
    Buddy = Last
    Corners = [akLeft, akTop]
    object Inner: TProbe
      Left = 4
      Top = 5
      Width = 50
      Height = 20
      Title = 'eins' +
        ' zwei'
      Shade = $00C0C0C0
      Flag = False
      Side = alRight
      Blob = {0A0b FF
              00}
      Items.Strings = (
        'erste'
        'zweite')
      OnPing = PingHandler
      OnKeyed = KeyHandler
      TabOrder = 1
    end
  end
  object Last: TProbe
    Left = 8
    Top = 120
    Width = 100
    Height = 20
    OnPing = PingHandler
    TabOrder = 0
  end
  object Clock: TTimer
    Enabled = False
    Interval = 200
    object Tick: TProbeItem
    end
  end
end
)";

class ReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    g_log.clear();
    form = std::make_unique<TProbeForm>(nullptr);
    form->Read(kDescription);
  }
  std::unique_ptr<TProbeForm> form;
};

TEST_F(ReaderTest, NestedComponentsGetOwnerParentNameAndField) {
  ASSERT_NE(form->Outer, nullptr);
  ASSERT_NE(form->Inner, nullptr);
  ASSERT_NE(form->Last, nullptr);
  ASSERT_NE(form->Clock, nullptr);
  EXPECT_EQ(form->Name(), "ProbeForm");
  EXPECT_EQ(form->Inner->Owner(), form.get());
  EXPECT_EQ(form->Inner->Parent(), form->Outer);
  EXPECT_EQ(form->Outer->Parent(), form.get());
  EXPECT_EQ(form->Clock->Owner(), form.get());
  EXPECT_EQ(form->FindComponent("inner"), form->Inner);
  EXPECT_EQ(form->Inner->BoundsRect(), Bounds(4, 5, 50, 20));
  auto* tick = dynamic_cast<TProbeItem*>(form->FindComponent("Tick"));
  ASSERT_NE(tick, nullptr);
  EXPECT_EQ(tick->Joined, form->Clock);
  EXPECT_EQ(tick->Owner(), form.get());
}

// A control read into a form that has its window gets its own once all its
// properties are read: its state goes to it once, not once per property.
TEST_F(ReaderTest, ControlsGetTheirNativeWindowOnceWithTheirProperties) {
  ASSERT_TRUE(form->HandleAllocated());
  for (TProbe* P : {form->Outer, form->Inner, form->Last}) {
    SCOPED_TRACE(P->Name());
    EXPECT_TRUE(P->HandleAllocated());
    EXPECT_EQ(P->PeerUpdates, 1);
  }
  // Later changes still reach the window.
  form->Inner->SetBounds(1, 2, 30, 40);
  EXPECT_EQ(form->Inner->PeerUpdates, 2);
  // A control made in code gets its window when it joins the form.
  auto* Made = new TProbe(form.get());
  Made->SetParent(form.get());
  EXPECT_TRUE(Made->HandleAllocated());
}

TEST_F(ReaderTest, PropertiesTakeTheirValuesAndUnnamedOnesKeepTheConstructors) {
  EXPECT_EQ(form->Caption(), "Gr\xF6\xDF" "e 'Test'");
  EXPECT_EQ(form->Font()->Height(), -11);
  EXPECT_TRUE(form->Font()->Style().Contains(fsBold));
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_EQ(form->Outer->Limit(), 7);
  EXPECT_EQ(form->Inner->Limit(), 42);  // not named: the constructor's value
  EXPECT_EQ(form->Outer->Shade, clBtnFace);
  EXPECT_EQ(form->Inner->Shade, clSilver);
  EXPECT_EQ(form->Inner->Title, "eins zwei");
  EXPECT_FALSE(form->Inner->Flag);
  EXPECT_TRUE(form->Outer->Flag);
  EXPECT_EQ(form->Inner->Side, alRight);
  EXPECT_EQ(form->Outer->Corners, (TAnchors{akLeft, akTop}));
  EXPECT_EQ(form->Inner->Blob, (std::vector<Byte>{0x0A, 0x0B, 0xFF, 0x00}));
  ASSERT_EQ(form->Inner->Items()->Count(), 2);
  EXPECT_EQ(form->Inner->Items()->Strings(1), "zweite");
  EXPECT_FALSE(form->Clock->Enabled());
  EXPECT_EQ(form->Clock->Interval(), 200u);
  EXPECT_FALSE(form->Clock->Running());
}

TEST_F(ReaderTest, EventsAreBoundToTheFormsHandlersByName) {
  ASSERT_TRUE(form->Inner->OnPing);
  form->Inner->OnPing(form->Inner);
  form->Last->OnPing(form->Last);
  Word key = 65;
  form->Inner->OnKeyed(form->Inner, key, TShiftState());
  EXPECT_FALSE(form->Outer->OnPing);
  EXPECT_EQ(form->Calls, (std::vector<std::string>{"create, Inner=Inner", "ping Inner", "ping Last", "key 65"}));
}

TEST_F(ReaderTest, ReferencesToLaterComponentsAreResolvedBeforeLoaded) {
  EXPECT_EQ(form->Outer->Buddy, form->Last);
  EXPECT_EQ(form->ActiveControl(), form->Last);
  EXPECT_EQ(form->Last->TabOrder(), 0);
}

TEST_F(ReaderTest, PropertiesAreSetWhileLoadingAndLoadedRunsAfterTheWholeDescription) {
  EXPECT_EQ(g_log, (std::vector<std::string>{"Outer.Limit loading=1", "form.Loaded", "Outer.Loaded buddy=Last",
                                             "Inner.Loaded buddy=nil", "Last.Loaded buddy=nil"}));
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_FALSE(form->Inner->ComponentState().Contains(csLoading));
  // OnCreate runs after Loaded, with the fields bound.
  EXPECT_EQ(form->Calls.front(), "create, Inner=Inner");
}

TEST(Reader, TabOrderIsTheDescriptionsWhateverTheReadingOrder) {
  TProbeForm f(nullptr);
  platform::ReadComponent(&f, R"(object F: TProbeForm
  object A: TProbe
    TabOrder = 2
  end
  object B: TProbe
    TabOrder = 1
  end
  object C: TProbe
    TabOrder = 0
  end
end
)");
  auto order = [&](const char* n) { return static_cast<TWinControl*>(f.FindComponent(n))->TabOrder(); };
  EXPECT_EQ(order("C"), 0);
  EXPECT_EQ(order("B"), 1);
  EXPECT_EQ(order("A"), 2);
}

TEST(Reader, RefusesWhatItCannotRead) {
  struct Case {
    const char* text;
    const char* what;
  } cases[] = {
      {"object F: TProbeForm\n  Bogus = 1\nend\n", "unknown property"},
      {"object F: TProbeForm\n  object X: TNoSuchClass\n  end\nend\n", "unknown class"},
      {"object F: TProbeForm\n  object Outer: TProbe\n    Limit = 'abc'\n  end\nend\n", "wrong value type"},
      {"object F: TProbeForm\n  object Outer: TProbe\n    OnPing = NoHandler\n  end\nend\n", "unknown handler"},
      {"object F: TProbeForm\n  object Outer: TProbe\n    OnPing = KeyHandler\n  end\nend\n", "handler of another type"},
      {"object F: TProbeForm\n  object Outer: TProbe\n    Buddy = Nobody\n  end\nend\n", "unresolved reference"},
      {"object F: TProbeForm\n  Caption = 'open\nend\n", "open string"},
      {"object F: TProbeForm\n  Left = 1\n", "missing end"},
      {"object F: TOther\nend\n", "another root class"},
  };
  for (const Case& c : cases) {
    TProbeForm f(nullptr);
    EXPECT_THROW(platform::ReadComponent(&f, c.text), EFilerError) << c.what;
  }
}

// Keeps each value it is given, as read.
class TValueSink : public TComponent {
  ZEL_CLASS(TValueSink, TComponent)
public:
  explicit TValueSink(TComponent* Owner) : TComponent(Owner) {}
  std::vector<platform::TPropValue> Seen;
};

const bool sinkRegistered =
    platform::RegisterClass<TValueSink>("TValueSink", "TComponent")
        .Raw("V", [](TValueSink* s, const platform::TPropValue& v) { s->Seen.push_back(v); })
        .Done();

std::string Describe(const platform::TPropValue& v) {
  using V = platform::TPropValue;
  std::ostringstream o;
  switch (v.kind) {
    case V::vkInteger: o << "int " << v.Int; break;
    case V::vkFloat: o << "float " << v.Float; break;
    case V::vkString: o << "str <" << v.Str << ">"; break;
    case V::vkIdent: o << "ident " << v.Str; break;
    case V::vkSet:
      o << "set";
      for (const AnsiString& i : v.Idents) o << " " << i;
      break;
    case V::vkList:
      o << "list(";
      for (const V& i : v.Items) o << " " << Describe(i);
      o << " )";
      break;
    case V::vkBinary:
      o << "bin";
      for (Byte b : v.Binary) o << " " << static_cast<int>(b);
      break;
    case V::vkCollection:
      o << "coll";
      for (const auto& item : v.Collection) {
        o << " item";
        for (const auto& [name, value] : item) o << " " << name << "=" << Describe(value);
        o << " end";
      }
      break;
  }
  return o.str();
}

TEST(Reader, ReadsEveryKindOfValue) {
  struct Case {
    const char* value;
    const char* expected;
  } cases[] = {
      {"'a''b'#65#8364 +\n    'c' + #300", "str <a'bA\x80" "c?>"},
      {"#9'x'", "str <\tx>"},
      {"-12", "int -12"},
      {"+7", "int 7"},
      {"$ff", "int 255"},
      {"-$10", "int -16"},
      {"$FFFFFFFF", "int -1"},
      {"$100000000", "int 4294967296"},
      {"1.5", "float 1.5"},
      {"-2E3", "float -2000"},
      {"[]", "set"},
      {"[akLeft, akTop]", "set akLeft akTop"},
      {"[a b]", "set a b"},
      {"()", "list( )"},
      {"(1 'x'\n  (2) [c])", "list( int 1 str <x> list( int 2 ) set c )"},
      {"{}", "bin"},
      {"{0a FF\n  10}", "bin 10 255 16"},
      {"<>", "coll"},
      {"<\n  item\n    A = 1\n    B.C = 'x'\n  end\n  item\n  end>",
       "coll item A=int 1 B.C=str <x> end item end"},
      {"Form1.Button1", "ident Form1.Button1"},
      {"True", "ident True"},
  };
  for (const Case& c : cases) {
    TValueSink sink(nullptr);
    platform::ReadComponent(&sink, std::string("object S: TValueSink\n  V = ") + c.value + "\nend\n");
    ASSERT_EQ(sink.Seen.size(), 1u) << c.value;
    EXPECT_EQ(Describe(sink.Seen[0]), c.expected) << c.value;
  }
}

TEST(Reader, NamesTheLineAndWhatIsWrongInAValue) {
  struct Case {
    const char* value;
    const char* message;
  } cases[] = {
      {"$", "Zeile 2: Hexadezimalzahl erwartet"},
      {"-$x", "Zeile 2: Hexadezimalzahl erwartet"},
      {"#", "Zeile 2: Zeichencode erwartet"},
      {"{0A\n0G}", "Zeile 3: Hexadezimalzeichen erwartet"},
      {"{0A0}", "Zeile 2: Bin\xE4rdaten unvollst\xE4ndig"},
      {"{0A", "Zeile 3: Hexadezimalzeichen erwartet"},  // the 'e' of "end" is a digit
      {"(1", "Zeile 4: ')' erwartet"},
      {"<thing end>", "Zeile 2: 'item' erwartet"},
      {"<item A 1 end>", "Zeile 2: '=' erwartet"},
      {"[1]", "Zeile 2: Bezeichner erwartet"},
      {"?", "Zeile 2: Wert erwartet"},
  };
  const auto errorOf = [](const std::string& text) {
    return zeltest::ErrorOf<EReadError>([&] {
      TValueSink sink(nullptr);
      platform::ReadComponent(&sink, text);
    });
  };
  const std::string prefix = "Fehler beim Lesen der Fensterbeschreibung in ";
  for (const Case& c : cases) {
    EXPECT_EQ(errorOf(std::string("object S: TValueSink\n  V = ") + c.value + "\nend\n"),
              prefix + c.message)
        << c.value;
  }
  EXPECT_EQ(errorOf("object S: TValueSink\n  V = {0A"), prefix + "Zeile 2: '}' erwartet");
  EXPECT_EQ(errorOf("object S: TValueSink\n  V = (1"), prefix + "Zeile 2: ')' erwartet");
}

TEST(Registry, ClassInfoIsFoundAlongTheParents) {
  const platform::ClassInfo* info = platform::FindClassInfo("tprobe");
  ASSERT_NE(info, nullptr);
  EXPECT_NE(info->FindProp("Limit"), nullptr);
  EXPECT_NE(info->FindProp("TabOrder"), nullptr);  // from TWinControl
  EXPECT_NE(info->FindProp("Left"), nullptr);      // from TControl
  EXPECT_EQ(info->FindProp("Nothing"), nullptr);
  // Property names are found without regard to case, along the parents too.
  EXPECT_EQ(info->FindProp("lIMIT"), info->FindProp("Limit"));
  EXPECT_EQ(info->FindProp("taborder"), info->FindProp("TabOrder"));
  EXPECT_EQ(info->FindProp("LEFT"), info->FindProp("Left"));
  EXPECT_EQ(info->FindProp("Limi"), nullptr);
  ASSERT_TRUE(info->FindProp("Limit")->Default.has_value());
  EXPECT_EQ(info->FindProp("Limit")->Default->Int, 42);
  TStringList list;
  EXPECT_STREQ(platform::ClassInfoOf(&list)->Name.c_str(), "TStrings");
  std::unique_ptr<TComponent> made(platform::CreateComponent("TProbe", nullptr));
  EXPECT_TRUE(made->InheritsFrom("TWinControl"));
  EXPECT_THROW(platform::CreateComponent("TControl", nullptr), EClassNotFound);
}

}  // namespace
