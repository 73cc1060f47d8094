// Helpers of the KCSV reader tests.
#pragma once

#include <string>

#include "foundation/kcsvFile.h"

namespace zeltest {

// A text as test names and failure output show it: in double quotes, bytes
// outside printable ASCII (and the quote and backslash) as \xNN, a long
// text cut after 32 bytes with its length.
inline std::string Printable(const std::string& Text) {
  constexpr std::size_t kShown = 32;
  static const char kHex[] = "0123456789ABCDEF";
  std::string Out = "\"";
  for (std::size_t I = 0; I < Text.size() && I < kShown; ++I) {
    const auto B = static_cast<unsigned char>(Text[I]);
    if (B < 0x20 || B >= 0x7F || B == '"' || B == '\\') {
      Out += "\\x";
      Out += kHex[B >> 4];
      Out += kHex[B & 15];
    } else {
      Out += static_cast<char>(B);
    }
  }
  Out += "\"";
  if (Text.size() > kShown) Out += "...(" + std::to_string(Text.size()) + " bytes)";
  return Out;
}

// The worked example: eight lines, each ended by CR LF, 161 bytes.
inline const std::string ExampleText =
    "#demo text\r\n"
    "@one,DIFF,F=id[INTEGER],name[CHAR(20)],note\r\n"
    "  17^Stoff \\^ Garn^first line\\nsecond line\r\n"
    "\r\n"
    "18^^x\\y\r\n"
    ";CHECKSUM=0\r\n"
    "@two,code[STR],n[SMALLINT]\r\n"
    "A1^ 5 \r\n";

// Everything a reading yields, as one text: per table its name, mode,
// characters, longest line, columns, row offsets and every value.
inline std::string Dump(TKcsvFile& F) {
  std::string Out;
  for (Integer T = 0; T < F.TableCount(); ++T) {
    TKTable* Table = F.Tables(T);
    Out += "table " + Table->Name() + " mode=" + Table->Mode() + " sep=" + Table->Separator() +
           " esc=" + std::to_string(static_cast<int>(Table->EscapeChar())) +
           " longest=" + std::to_string(Table->LongestLine()) + "\n";
    for (Integer C = 0; C < Table->FieldCount(); ++C) {
      TKField* Fd = Table->Fields(C);
      Out += "  col " + Fd->Name() + " [" + Fd->TypeName() + "] " + std::to_string(Fd->TypeCode()) +
             "/" + std::to_string(Fd->Size()) + "/" + std::to_string(Fd->Width()) + "\n";
    }
    for (Integer R = 0; R < Table->Count(); ++R) {
      Table->SetRecNo(R);
      Out += "  row @" + std::to_string(Table->RowOffset(R)) + ":";
      for (Integer C = 0; C < Table->FieldCount(); ++C) Out += " <" + Table->Fields(C)->AsString() + ">";
      Out += "\n";
    }
  }
  for (int I = 0; I < F.Comments()->Count(); ++I) Out += "comment " + F.Comments()->Strings(I) + "\n";
  Out += "directive " + F.CharDirective() + "\n";
  return Out;
}

}  // namespace zeltest
