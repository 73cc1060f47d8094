// Message tables: GetMsg, the message escapes and the tables of TKMsgList.
#include "foundation/kmsg.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/ktool.h"
#include "platform/os/windows.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

using zeltest::ScopedEnv;

namespace {

TEST(KMsg, GetMsgFixedAndUnknownNumbers) {
  struct Case {
    std::int32_t number;
    const char* text;
  } cases[] = {
      {479, "Ursprung"},
      {480, "Immer"},
      {35, "ausgeliefert"},
      {767, "eMail"},
      {605, "Es wurden %d Datens\xE4" "tze exportiert"},
      {142, "Eingegebene Menge ist zu gro\xDF"},
      {1, "msg_1"},  // the list's message 1 is not used
      {-3, "msg_-3"},
      {0, "msg_0"},
      {2147483647, "msg_2147483647"},
  };
  for (const Case& c : cases) EXPECT_EQ(TKMsgList::GetMsg(c.number), c.text) << c.number;
}

TEST(KMsg, ExpandMsgEscapes) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"a\\nb", "a\r\nb"},
      {"end~", "end "},
      {"~", " "},
      {"a~b~~c", "a b  c"},
      {"tail\\", "tail\\"},
      {"\\\\n", "\\\r\n"},
      {"\\n\\n", "\r\n\r\n"},
      {"\\x", "\\x"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandMsgEscapes(c.in), c.out) << c.in;
    EXPECT_EQ(ExpandMsgEscapes(c.in).size(), c.in.size()) << c.in;
  }
}

TEST(KMsg, TablesOfTheList) {
  TKMsgList list;
  ASSERT_EQ(list.Messages->Count(), 29);
  EXPECT_EQ(list.Messages->Strings(0), "1=Artikel nicht gefunden");
  EXPECT_EQ(list.Messages->Strings(20),
            "21=Kein Auftrag vorhanden, zu dem die Disporeste gel\xF6" "scht werden k\xF6" "nnen");
  EXPECT_EQ(list.Messages->Strings(28), "999=SQL-Except error");
  EXPECT_EQ(list.Messages->Values("999"), "SQL-Except error");
  EXPECT_EQ(list.LanguageCode, "");
  EXPECT_EQ(list.DayShortNames[0], "Mo");
  EXPECT_EQ(list.DayNames[6], "Sonntag");
  EXPECT_EQ(list.MonthNames[2], "M\xE4rz");
  EXPECT_EQ(list.MonthShortNames[2], "Mrz");
  EXPECT_EQ(list.TransCodes[9], "STM");
  EXPECT_EQ(list.TransNames[12], "Artikel L\xF6" "schsatz");
  EXPECT_EQ(list.TransCodes[93], "-PA");
  EXPECT_EQ(list.TransNames[93], "Abgang Artikel von Palette");
  int set = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(list.TransCodes[i].empty(), list.TransNames[i].empty()) << i;
    if (!list.TransCodes[i].empty()) ++set;
  }
  EXPECT_EQ(set, 36);
}

TEST(KMsg, StartUpRunsInitApplikationAndSetsLanguage) {
  zeltest::TempDir drive;
  ScopedEnv driveC("ZEL_DRIVE_C", drive.path().c_str());
  ScopedEnv runtime("ZEL_RUNTIME_DIR", drive.path().c_str());
  platform::SetModuleFileNameOverride("C:\\SHOP\\EXTRAS\\ZEL.EXE");
  platform::SetHostResolver([](const std::string&) { return std::string(); });
  ktool_finalization();

  kmsg_initialization();
  EXPECT_TRUE(AppInitDone);
  ASSERT_TRUE(MsgList);
  EXPECT_EQ(MsgPath, "C:\\SHOP\\MESG\\");
  EXPECT_EQ(MsgList->LanguageCode, "de");
  EXPECT_EQ(MsgList->LanguageCode2, "de");
  kmsg_finalization();
  EXPECT_FALSE(MsgList);
  EXPECT_EQ(MsgPath, "");

  ktool_finalization();
  platform::SetModuleFileNameOverride("");
  platform::SetHostResolver(nullptr);
}

}  // namespace
