#include "platform/rtl/classes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/tempdir.h"

namespace {

// A component that records what it is told.
class TRecorder : public TComponent {
  ZEL_CLASS(TRecorder, TComponent)
public:
  TRecorder(TComponent* AOwner, std::vector<std::string>* Log, const char* AName)
      : TComponent(AOwner), FLog(Log) {
    SetName(AName);
  }
  ~TRecorder() override {
    Destroying();
    if (FLog) FLog->push_back("~" + Name());
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (FLog)
      FLog->push_back(Name() + (Operation == opInsert ? "+" : "-") +
                      (AComponent->Name().empty() ? "?" : AComponent->Name()));
    if (Operation == opRemove && AComponent == FPartner) FPartner = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    if (FLog) FLog->push_back(Name() + ".Loaded");
  }
  TComponent* FPartner = nullptr;

private:
  std::vector<std::string>* FLog;
};

TEST(Object, ClassNamesAndInheritance) {
  TStringList list;
  EXPECT_STREQ(list.ClassName(), "TStringList");
  EXPECT_STREQ(list.ClassParentName(), "TStrings");
  for (const char* base : {"TStringList", "tstrings", "TPersistent", "TObject"})
    EXPECT_TRUE(list.InheritsFrom(base)) << base;
  EXPECT_FALSE(list.InheritsFrom("TComponent"));
  EXPECT_FALSE(list.InheritsFrom("TStringListX"));
  EXPECT_TRUE(list.ClassNameIs("TSTRINGLIST"));
  std::vector<std::string> log;
  TRecorder r(nullptr, &log, "r");
  EXPECT_TRUE(r.InheritsFrom("TComponent"));
  EXPECT_STREQ(r.ClassName(), "TRecorder");
}

TEST(Component, OwnerFreesOwnedAndEveryoneIsTold) {
  std::vector<std::string> log;
  auto* form = new TRecorder(nullptr, &log, "form");
  auto* a = new TRecorder(form, &log, "a");
  auto* b = new TRecorder(form, &log, "b");
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(1), b);
  EXPECT_EQ(a->Owner(), form);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(form->FindComponent("B"), b);
  EXPECT_EQ(form->FindComponent("c"), nullptr);
  // Names are set after the insertion, so the insertions show "?".
  EXPECT_EQ(log, (std::vector<std::string>{"form+?", "a+?", "form+?"}));
  log.clear();

  delete form;
  // form goes: its owned components are freed last first; each removal is
  // passed on to the others (form's own override is gone by then).
  EXPECT_EQ(log, (std::vector<std::string>{"~form", "a-b", "~b", "~a"}));
}

TEST(Component, DestroyingStateAndDirectDelete) {
  std::vector<std::string> log;
  TRecorder form(nullptr, &log, "form");
  auto* a = new TRecorder(&form, &log, "a");
  auto* b = new TRecorder(&form, &log, "b");
  b->FPartner = a;
  log.clear();
  delete a;  // freed by its user: the owner forgets it and the others hear of it
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(b->FPartner, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"~a", "b-a", "form-a"}));
  EXPECT_FALSE(form.ComponentState().Contains(csDestroying));
  form.Destroying();
  EXPECT_TRUE(form.ComponentState().Contains(csDestroying));
  EXPECT_TRUE(b->ComponentState().Contains(csDestroying));
}

TEST(Component, FreeNotificationAcrossOwners) {
  std::vector<std::string> log;
  TRecorder formA(nullptr, &log, "formA");
  TRecorder formB(nullptr, &log, "formB");
  auto* source = new TRecorder(&formA, &log, "source");
  auto* user = new TRecorder(&formB, &log, "user");
  user->FPartner = source;
  source->FreeNotification(user);
  EXPECT_TRUE(source->ComponentState().Contains(csFreeNotification));
  log.clear();
  delete source;
  EXPECT_EQ(user->FPartner, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"~source", "user-source", "formA-source"}));

  // After RemoveFreeNotification nothing is told any more.
  auto* other = new TRecorder(&formA, &log, "other");
  other->FreeNotification(user);
  other->RemoveFreeNotification(user);
  log.clear();
  delete other;
  EXPECT_EQ(log, (std::vector<std::string>{"~other", "formA-other"}));
}

TEST(Component, NamesAreIdentifiersAndUniquePerOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Edit1");
  auto* b = new TComponent(&owner);
  try {
    b->SetName("EDIT1");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "Eine Komponente mit der Bezeichnung EDIT1 existiert bereits");
  }
  try {
    b->SetName("1abc");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "'1abc' ist kein g\xFCltiger Komponentenname");
  }
  b->SetName("Edit2");
  a->SetName("edit1");  // the same component may change the case of its name
  EXPECT_EQ(owner.FindComponent("EDIT1"), a);
  b->SetTag(-7);
  EXPECT_EQ(b->Tag(), -7);
  EXPECT_THROW(owner.Components(2), EListError);
}

TEST(Component, LoadingStateAndLoaded) {
  std::vector<std::string> log;
  TRecorder r(nullptr, &log, "r");
  r.IncludeState(csLoading);
  EXPECT_TRUE(r.ComponentState().Contains(csLoading));
  r.Loaded();
  EXPECT_FALSE(r.ComponentState().Contains(csLoading));
  EXPECT_EQ(log.back(), "r.Loaded");
  TComponent child(nullptr);
  r.SetDesigning(true);
  EXPECT_TRUE(r.ComponentState().Contains(csDesigning));
}

TEST(List, PointerListWithIndexErrors) {
  TList list;
  int a = 1, b = 2, c = 3;
  list.Add(&c);
  list.Add(&a);
  list.Insert(1, &b);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.IndexOf(&b), 1);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.Last(), &c);
  list.Move(0, 2);
  EXPECT_EQ(list[2], &a);
  EXPECT_EQ(list.Remove(&b), 0);
  EXPECT_EQ(list.Remove(&b), -1);
  list.Add(nullptr);
  list.Pack();
  EXPECT_EQ(list.Count(), 2);
  try {
    list.Get(2);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Listenindex \xFC" "berschreitet das Maximum (2)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  m.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 4);
  EXPECT_EQ(std::string(buf, 4), "ello");
  m.SetPosition(3);
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
  m.SetPosition(7);  // writing past the end fills the gap
  m.WriteBuffer("!", 1);
  EXPECT_EQ(m.Size(), 8);
  m.SetSize(2);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 2), "he");
  EXPECT_EQ(m.Position(), 2);
}

TEST(Streams, FileStreamCreatesOpensAndReportsErrors) {
  zeltest::TempDir dir;
  const std::string path = dir.file("data.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("abcdef", 6);
    EXPECT_EQ(f.FileName(), path);
  }
  {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 6);
    TMemoryStream m;
    m.CopyFrom(&f, 0);
    EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 6), "abcdef");
    // Denied writing while it is open that way.
    try {
      TFileStream w(path, fmOpenReadWrite | fmShareExclusive);
      ADD_FAILURE();
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), "Datei " + path +
                                 " kann nicht ge\xF6" "ffnet werden. Der Prozess kann nicht auf die "
                                 "Datei zugreifen, da sie von einem anderen Prozess verwendet wird.");
    }
    // Plain readers are welcome.
    TFileStream r(path, fmOpenRead);
    EXPECT_EQ(r.Size(), 6);
  }
  {
    TFileStream f(path, fmOpenWrite);
    EXPECT_THROW(
        {
          char c;
          f.ReadBuffer(&c, 1);
        },
        EReadError);
  }
  try {
    TFileStream f(dir.file("missing"), fmOpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find("Das System kann die angegebene Datei nicht finden."),
              std::string::npos);
  }
  EXPECT_THROW(TFileStream(dir.path(), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.file("x/y"), fmCreate), EFCreateError);
}

// A FIFO (which would wait for a writer) or a device is no file that a
// stream opens, in any mode; each open runs in a child under a watchdog.
TEST(Streams, FileStreamOpensOnlyRegularFiles) {
  zeltest::TempDir dir;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string cannotOpen = " kann nicht ge\xF6" "ffnet werden. Zugriff verweigert.";
  struct Case {
    const char* Name;
    std::string Path;
    Word Mode;
    std::string Message;
  };
  const Case cases[] = {
      {"FIFO for reading", fifo, fmOpenRead | fmShareDenyWrite, "Datei " + fifo + cannotOpen},
      {"FIFO for writing", fifo, fmOpenWrite, "Datei " + fifo + cannotOpen},
      {"FIFO for reading and writing", fifo, fmOpenReadWrite, "Datei " + fifo + cannotOpen},
      {"FIFO created over", fifo, fmCreate,
       "Datei " + fifo + " kann nicht erstellt werden. Zugriff verweigert."},
      {"device", "/dev/null", fmOpenRead, "Datei /dev/null" + cannotOpen},
  };
  for (const Case& c : cases) {
    const auto child = zeltest::RunInChild(
        [&] {
          try {
            TFileStream f(c.Path, c.Mode);
            return 1;
          } catch (const EFileStreamError& e) {
            return e.Message() == c.Message ? 0 : 2;
          }
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(child.Finished) << c.Name << ": the open waited";
    EXPECT_EQ(child.ExitCode, 0) << c.Name << " (1: opened, 2: another message)";
  }
}

TEST(Set, ClassLibrarySets) {
  TComponentState s;
  EXPECT_TRUE(s.Empty());
  s << csLoading << csDesigning;
  EXPECT_TRUE(s.Contains(csDesigning));
  s >> csLoading;
  EXPECT_FALSE(s.Contains(csLoading));
  EXPECT_EQ(s, TComponentState({csDesigning}));
  EXPECT_EQ((s + TComponentState{csLoading}) * TComponentState{csLoading}, TComponentState{csLoading});
}

}  // namespace
