// Comma text of the toolkit's string list: any bytes must split without a
// fault, and the result must keep the list's rules.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/kStrings.h"
#include "platform/rtl/sysutils.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);

  // Plain list: without quotes, the items are exactly the text's bytes with
  // the separators (control characters and commas) taken out.
  TKStringList Plain;
  Plain.SetCommaText(Text);
  Check(Plain.Count() <= Plain.Capacity());
  Check(Plain.Delimiter() == ',');
  const std::string Visible = Text.substr(0, Text.find('\0'));
  if (Visible.find('"') == std::string::npos) {
    std::string Expected, Joined;
    for (char C : Visible)
      if (static_cast<unsigned char>(C) >= 32 && C != ',') Expected += C;
    for (int I = 0; I < Plain.Count(); ++I) Joined += Plain[I];
    Check(Joined == Expected);
  }
  // The text of the items reads back as the same items when none holds a
  // line end.
  bool HasLineEnd = false;
  for (int I = 0; I < Plain.Count(); ++I)
    HasLineEnd = HasLineEnd || Plain[I].find_first_of("\r\n") != std::string::npos;
  if (!HasLineEnd) {
    TKStringList Again;
    Again.SetTextStr(Plain.Text());
    Check(Again.Count() == Plain.Count());
    for (int I = 0; I < Again.Count(); ++I) Check(Again[I] == Plain[I]);
  }

  // Sorted without duplicates: in order, no two equal.
  TKStringList Sorted;
  Sorted.SetSorted(true);
  Sorted.SetCommaText(Text);
  for (int I = 1; I < Sorted.Count(); ++I) Check(AnsiCompareText(Sorted[I - 1], Sorted[I]) < 0);

  // dupError: a duplicate raises and leaves the bracket closed.
  TKStringList Strict;
  Strict.SetSorted(true);
  Strict.SetDuplicates(dupError);
  try {
    Strict.SetCommaText(Text);
  } catch (const EStringListError&) {
  }
  Check(Strict.UpdateCount() == 0);
  return 0;
}
