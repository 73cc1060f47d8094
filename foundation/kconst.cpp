#include "foundation/kconst.h"

AnsiString LabelPrinters[LabelPrinterCount];
AnsiString LabelFormats[LabelFormatCount];
// The branch-processing types of the customers' branches.
TFilVerarbeitungsTyp FilVerarbeitungsTypen[FilVerarbeitungsTypCount] = {
    {1, "Kunde 01", 0},  {2, "Kunde 02", 0},  {3, "Kunde 03", 0},  {4, "Kunde 04", 0},  {5, "Kunde 05", 0},
    {6, "Kunde 06", 0},  {7, "Kunde 07", 0},  {8, "Kunde 08", 0},  {9, "Kunde 09", 0},  {10, "Kunde 10", 0},
    {11, "Kunde 11", 0}, {12, "Kunde 12", 0}, {13, "Kunde 13", 0}, {14, "Kunde 14", 0}, {15, "Kunde 15", 0},
    {16, "Kunde 16", 0}, {17, "Kunde 17", 0}, {18, "Kunde 18", 0}, {19, "Kunde 19", 0}, {20, "Kunde 20", 0},
    {21, "Kunde 21", 0}, {22, "Kunde 22", 0}, {23, "Kunde 23", 0}, {24, "Kunde 24", 0}, {25, "Kunde 25", 0},
    {26, "Kunde 26", 0}, {27, "Kunde 27", 0}, {28, "Kunde 28", 0}, {29, "Kunde 29", 0}, {30, "Kunde 30", 0},
};

namespace {

// The resource strings; a translated set replaces these texts.
constexpr const char* LabelPrinterTexts[LabelPrinterCount] = {
    "HP LaserJet",          "Avery Dennison", "WAM TT5720",   "METO SP40",         "Zebra",
    "Avery Dennison 64-xx", "Generic",        "Eltron P310C", "Datamax (I-Class)", "Toshiba B-EX4T",
};

constexpr const char* LabelFormatTexts[LabelFormatCount] = {
    "A4 Portrait 46 * 63 mm",
    "Rolle Preis gelb",
    "Rolle Preis wei\xDF",
    "Rolle 130 * 34.9 mm",
    "Rolle 49 * 22 mm",
    "A4 Portrait 70 * 37 mm * 2",
    "Rolle 51 * 48 mm",
    "A4 Portrait 46 * 128 mm",
    "Generic (variabel)",
    "Rolle 64 * 35 mm",
    "A4 Portrait 70 * 37 mm",
    "A4 Portrait 46 * 21 mm",
    "Endlos 50 * 61 mm * 2",
    "Rolle 55 * 48 mm",
    "Rolle 49 * 27 mm",
    "A4 Landscape 70 * 41 mm",
    "A4 Karton-Einzel",
    "A4 Zweckform Nr. 3668 46*52.5 mm",
    "Rolle 70 * 46 mm",
    "Offprice Rolle 110 * 35 mm",
    "Standard Rolle 110 * 35 mm",
    "Rolle Preis gelb 110 * 42 mm",
    "Doppel-Rolle 50 * 70 mm",
    "Doppel-Rolle 70 * 70 mm",
    "A4 Zweckform Nr. 6025 63,5 * 46,4 mm",
    "Rolle 85 * 25 mm",
    "Rolle 50 * 25 mm",
    "Rolle 68 * 48 mm",
    "A4 Portrait 46 * 78 mm",
    "Kundenkarte 86 * 54 mm",
    "A4 Portrait Kunde A 70 * 42 mm",
    "Rolle Kunde B 60 * 40 mm",
    "Rolle Kunde C 56 * 32 mm",
    "Rolle 65 * 48 mm",
    "Endlos 100mm * 40mm",
    "Rolle 53mm * 62mm",
    "Rolle 75mm * 48mm",
    "Rolle 96mm * 28mm",
    "Rolle 79mm * 47mm",
    "A4 Landscape 145 * 28 mm",
    "Rolle 96mm * 48mm",
    "Rolle 79mm * 47mm (E)",
    "Rolle 100mm * 50mm",
    "Rolle 49mm * 30mm",
    "Rolle 79mm * 47mm (L)",
    "Rolle 50mm * 25mm",
    "Rolle 89mm * 44mm",
    "Rolle 53mm * 36mm",
    "Rolle 51mm * 22,5mm",
    "Rolle 53mm * 23mm",
    "Rolle 40mm * 19mm",
    "A4 Portrait 100mm * 63mm",
    "Rolle 50mm * 40mm 3x",
    "Rolle 50mm * 40mm 2x",
    "Rolle 50mm * 40mm 1x",
};

}  // namespace

const char* LabelPrinterResource(int Index) {
  return Index >= 0 && Index < LabelPrinterCount ? LabelPrinterTexts[Index] : "";
}

const char* LabelFormatResource(int Index) {
  return Index >= 0 && Index < LabelFormatCount ? LabelFormatTexts[Index] : "";
}

void kconst_initialization() {
  for (int i = 0; i < LabelPrinterCount; ++i) LabelPrinters[i] = LabelPrinterResource(i);
  for (int i = 0; i < LabelFormatCount; ++i) LabelFormats[i] = LabelFormatResource(i);
}

void kconst_finalization() {
  for (AnsiString& s : LabelPrinters) s.clear();
  for (AnsiString& s : LabelFormats) s.clear();
  for (TFilVerarbeitungsTyp& t : FilVerarbeitungsTypen) t.Name.clear();
}
