// Splits arbitrary text as comma text and delimited text, and checks that
// the list's own comma text reads back to the same items.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/rtl/classes.h"

using fuzzing::Check;
using fuzzing::Items;


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const AnsiString text(reinterpret_cast<const char*>(data), size);

  TStringList list;
  list.SetCommaText(text);
  const std::vector<AnsiString> items = Items(list);
  TStringList back;
  back.SetCommaText(list.CommaText());
  Check(Items(back) == items);

  // Own delimiter and strict mode, first byte as the delimiter.  (Without
  // strict mode a control character or blank as delimiter is stepped over
  // like any blank, so such lists do not read back the same.)
  if (size > 1 && data[0] != 0 && data[0] != '"' && (data[0] > ' ' || (data[1] & 1) != 0)) {
    TStringList d;
    d.SetDelimiter(static_cast<char>(data[0]));
    d.SetStrictDelimiter((data[1] & 1) != 0);
    d.SetDelimitedText(text.substr(2));
    TStringList again;
    again.SetDelimiter(d.Delimiter());
    again.SetStrictDelimiter(d.StrictDelimiter());
    again.SetDelimitedText(d.DelimitedText());
    Check(Items(again) == Items(d));
  }

  // Sorted lists with each duplicates rule stay in order.
  for (TDuplicates dup : {dupIgnore, dupAccept, dupError}) {
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.SetDuplicates(dup);
    try {
      sorted.SetCommaText(text);
    } catch (const EStringListError&) {
      Check(dup == dupError);
    }
    for (int i = 1; i < sorted.Count(); ++i)
      Check(AnsiCompareText(sorted[i - 1], sorted[i]) <= 0);
    for (int i = 0; i < sorted.Count(); ++i) Check(sorted.IndexOf(sorted[i]) >= 0);
  }
  return 0;
}
