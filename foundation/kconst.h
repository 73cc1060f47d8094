// Constant data of the toolkit: the names of the label printers and label
// formats (translatable texts, loaded at start-up), the row type of the
// table of translatable control properties and the branch-processing types.
#pragma once

#include <cstdint>

#include "platform/rtl/system.h"

inline constexpr int LabelPrinterCount = 10;
inline constexpr int LabelFormatCount = 55;
inline constexpr int FilVerarbeitungsTypCount = 30;

// Filled by the start-up step, emptied by the shut-down step.
extern AnsiString LabelPrinters[LabelPrinterCount];
extern AnsiString LabelFormats[LabelFormatCount];

// One translatable property of a control class.  ControlClass refers to
// the class by its class-library name (as ClassName gives it); none while
// the table's start-up has not filled it in.
struct TKuvoDfmRec {
  const char* ControlClass = nullptr;
  std::int32_t Mode = 0;
  AnsiString Extra;
  AnsiString ShortCode;
  AnsiString PropertyName;
  AnsiString PropertyPath;
};

// A branch-processing type: code, name, value.
struct TFilVerarbeitungsTyp {
  std::int32_t Code = 0;
  AnsiString Name;
  std::int32_t Value = 0;
};

extern TFilVerarbeitungsTyp FilVerarbeitungsTypen[FilVerarbeitungsTypCount];

// The translatable source texts ("resource strings") behind the tables.
const char* LabelPrinterResource(int Index);
const char* LabelFormatResource(int Index);

// Start-up step: loads the 65 texts into LabelPrinters and LabelFormats.
void kconst_initialization();
// Shut-down step: releases the texts of the three tables.
void kconst_finalization();
