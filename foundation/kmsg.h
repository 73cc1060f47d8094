// The toolkit's German texts: the numbered messages, day and month names,
// transaction types, and GetMsg with its fixed message texts.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"

class TKMsgList : public TObject {
  ZEL_CLASS(TKMsgList, TObject)
public:
  // Fills the numbered messages and the day, month and transaction tables;
  // the language codes stay empty.
  TKMsgList();
  ~TKMsgList() override;

  // The fixed text of a message number ("msg_%d" for one without), with
  // its escapes expanded, through the wide escape conversion and back into
  // the code page.  A "%d" in a text stays for the caller.  It reads no
  // table of the object.
  static AnsiString GetMsg(std::int32_t Number);

  std::unique_ptr<TStringList> Messages;  // "number=text"
  AnsiString LanguageCode;
  AnsiString LanguageCode2;
  AnsiString DayShortNames[7];  // Monday first
  AnsiString DayNames[7];
  AnsiString MonthShortNames[12];
  AnsiString MonthNames[12];
  AnsiString TransCodes[100];
  AnsiString TransNames[100];
};

// "\n" becomes CR LF and every "~" a blank; the length stays.
AnsiString ExpandMsgEscapes(const AnsiString& S);

// The one message list (created at start-up) and the message directory
// BaseDir + "\MESG\".
extern std::unique_ptr<TKMsgList> MsgList;
extern AnsiString MsgPath;

// Start-up step: InitApplikation("LANGUAGE"), then the message list with
// the language codes "de" and MsgPath.
void kmsg_initialization();
// Shut-down step: frees the message list and empties MsgPath.
void kmsg_finalization();
