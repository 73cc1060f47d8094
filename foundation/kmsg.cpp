#include "foundation/kmsg.h"

#include "foundation/ktool.h"
#include "foundation/language.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils.h"

std::unique_ptr<TKMsgList> MsgList;
AnsiString MsgPath;

namespace {

struct NumberedText {
  std::int32_t Number;
  const char* Text;
};

// The numbered messages of the list.
constexpr NumberedText ListMessages[] = {
    {1, "Artikel nicht gefunden"},
    {2, "Groesse nicht gefunden"},
    {3, "Preis nicht gefunden"},
    {4, "EAN-Code nicht gefunden"},
    {5, "Filiale nicht gefunden"},
    {6, "Preis nicht korrekt"},
    {7, "Menge nicht korrekt"},
    {8, "Datum nicht korrekt"},
    {9, "Falscher Vorgang"},
    {10, "Falscher Mandant"},
    {11, "LFD-Vergabe nicht mehr moeglich"},
    {12, "Artikellaenge falsch"},
    {13, "Artikeltyp falsch"},
    {14, "Filiale VON gleich Filiale AN"},
    {15, "EAN nicht eindeutig"},
    {16, "Kein Verkaufssatz vorhanden"},
    {17, "Kein Bestand mehr"},
    {18, "Falsche Waehrung"},
    {19, "Groesse nicht im zulaessigen Bereich"},
    {20, "Transfer-Abgang nicht gefunden"},
    {21,
     "Kein Auftrag vorhanden, zu dem die Disporeste gel\xF6"
     "scht werden k\xF6"
     "nnen"},
    {22, "Maximale Preissprunganzahl wurde erreicht"},
    {23, "Lieferschein bereits gebucht"},
    {24, "Falsche Lieferscheinnummer"},
    {25, "Devisenkurs falsch"},
    {26, "VK-Maximalrabatt wurde unterschritten"},
    {27, "Auftrag nicht gefunden"},
    {28, "Auftragsmenge nicht ausreichend"},
    {999, "SQL-Except error"},
};

// The fixed texts of GetMsg.
constexpr NumberedText FixedMessages[] = {
    {35, "ausgeliefert"},
    {76, "Filiale"},
    {83, "freigegeben"},
    {87, "geliefert"},
    {129, "Lieferant"},
    {142, "Eingegebene Menge ist zu gro\xDF"},
    {157, "nicht geliefert"},
    {160, "<none>"},
    {200, "storniert"},
    {204, "teilweise geliefert"},
    {474, "Seite"},
    {475, "unbekannt"},
    {479, "Ursprung"},
    {480, "Immer"},
    {481, "aufgetreten in"},
    {510, "Bitte warten"},
    {511, "Auswertung wird erstellt"},
    {605,
     "Es wurden %d Datens\xE4"
     "tze exportiert"},
    {764, "Lokaler Drucker"},
    {765, "Remote Drucker"},
    {766, "Fax"},
    {767, "eMail"},
};

struct TransType {
  int Position;
  const char* Code;
  const char* Name;
};

constexpr TransType TransTypes[] = {
    {9, "STM", "Artikelstamm NEU"},
    {10, "STM", "Artikelstamm UPD"},
    {12, "DEL",
     "Artikel L\xF6"
     "schsatz"},
    {19, "EKP", "EK-Preis NEU"},
    {20, "EKP", "EK-Preis UPD"},
    {21, "VKP", "VK-Preis NEU"},
    {22, "VKP", "VK-Preis UPD"},
    {25, "PSD", "Preissprung DEL"},
    {29, "APO", "Auftragspos. NEU"},
    {30, "APO", "Auftragspos. PLUS"},
    {31, "AP*", "Auftragspos. DEL"},
    {32, "-AP", "Auftragspos. MINUS"},
    {33, "APK", "Auftragspos. KORR"},
    {39, "WE", "Wareneingang"},
    {40, "-WE", "Wareneingang STORNO"},
    {48, "WEK", "Wareneingang KORR"},
    {49, "VK", "Verkauf"},
    {50, "-VK", "Verkauf STORNO"},
    {59, "WV", "Warenverschiebung"},
    {60, "UM", "Umbuchung Zugang"},
    {61, "-UM", "Umbuchung Abgang"},
    {62, "WV", "Warenverschiebung ZU"},
    {63, "SAU", "Saison Umbuchung"},
    {64, "TRV", "Transfer Vorschlag"},
    {65, "-TR", "Transfer Abgang"},
    {66, "TR", "Transfer Zugang"},
    {67, "RT", "Retoure Abgang"},
    {68, "LK", "Lagerwertkorrektur"},
    {69, "BE", "Bereitstellung"},
    {70, "-BE", "Bereitstellung-Storno"},
    {71, "LF", "Lieferung"},
    {72, "-LF", "Lieferung-Storno"},
    {90, "IDF", "Inventur Diferenz PLUS"},
    {91, "-IDF", "Inventur Diferenz MINUS"},
    {92, "+PA", "Zugang Artikel auf Palette"},
    {93, "-PA", "Abgang Artikel von Palette"},
};

constexpr const char* DayShort[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
constexpr const char* DayLong[7] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                    "Freitag", "Samstag",  "Sonntag"};
constexpr const char* MonthShort[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                        "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
constexpr const char* MonthLong[12] = {"Januar", "Februar", "M\xE4rz",   "April",   "Mai",      "Juni",
                                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

}  // namespace

TKMsgList::TKMsgList() : Messages(std::make_unique<TStringList>()) {
  for (const NumberedText& m : ListMessages) Messages->Add(IntToStr(m.Number) + "=" + m.Text);
  for (int i = 0; i < 7; ++i) {
    DayShortNames[i] = DayShort[i];
    DayNames[i] = DayLong[i];
  }
  for (int i = 0; i < 12; ++i) {
    MonthShortNames[i] = MonthShort[i];
    MonthNames[i] = MonthLong[i];
  }
  for (const TransType& t : TransTypes) {
    TransCodes[t.Position] = t.Code;
    TransNames[t.Position] = t.Name;
  }
}

TKMsgList::~TKMsgList() = default;

AnsiString TKMsgList::GetMsg(std::int32_t Number) {
  AnsiString text;
  bool found = false;
  for (const NumberedText& m : FixedMessages) {
    if (m.Number == Number) {
      text = m.Text;
      found = true;
      break;
    }
  }
  if (!found) text = Format("msg_%d", {Number});
  text = ExpandMsgEscapes(text);
  WideString wide;
  EscapedWideText(text, wide);
  return platform::WideToAnsi(wide);
}

AnsiString ExpandMsgEscapes(const AnsiString& S) {
  AnsiString r = S;
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i] == '\\' && i + 1 < r.size() && r[i + 1] == 'n') {
      r[i] = '\r';
      r[i + 1] = '\n';
      ++i;
    } else if (r[i] == '~') {
      r[i] = ' ';
    }
  }
  return r;
}

void kmsg_initialization() {
  InitApplikation("LANGUAGE");
  MsgList = std::make_unique<TKMsgList>();
  MsgPath = BaseDir + "\\MESG\\";
  MsgList->LanguageCode = "de";
  MsgList->LanguageCode2 = "de";
}

void kmsg_finalization() {
  MsgList.reset();
  MsgPath.clear();
}
