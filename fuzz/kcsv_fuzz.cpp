// Feeds arbitrary bytes to the KCSV reader as an answer text and reads back
// every value of every table.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/kcsvFile.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

bool Trimmed(const std::string& S) {
  return S.empty() || (static_cast<unsigned char>(S.front()) > 0x20 && static_cast<unsigned char>(S.back()) > 0x20);
}

void ReadAll(TKcsvFile& F) {
  for (Integer T = 0; T < F.TableCount(); ++T) {
    TKTable* Table = F.Tables(T);
    Check(F.IndexOfTable(Table->Name()) <= T);
    for (Integer C = 0; C < Table->FieldCount(); ++C) {
      TKField* Field = Table->Fields(C);
      Check(Table->FieldByName(Field->Name()) != nullptr);
      Check(Table->FieldIndex(Field->Name()) >= 0);
    }
    for (Table->First(); !Table->Eof(); Table->Next()) {
      const Integer Offset = Table->RowOffset(Table->RecNo());
      Check(Offset >= 0 && Offset < F.Size());
      for (Integer C = 0; C < Table->FieldCount(); ++C) {
        const AnsiString Value = Table->Fields(C)->AsString();
        Check(Trimmed(Value));
        Check(Value.find('\0') == std::string::npos);
        Table->Fields(C)->AsInteger();
      }
      Table->GetFieldText(Table->FieldCount());
    }
    if (Table->FieldCount() > 0) {
      Table->SetRecNo(Table->Count());
      try {
        Table->Fields(0)->AsString();
        Check(false);
      } catch (const EListError&) {
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  TKcsvFile F;
  try {
    F.OpenText(Text);
    Check(F.Scanned());
  } catch (const EStringListError&) {
    // A header without columns ends the reading; what was read stays.
    Check(!F.Scanned());
  }
  ReadAll(F);
  F.TableByName("art");
  F.SelectTable(F.TableCount());
  // The same reader again: directives of the first text hold for the second.
  try {
    F.OpenText(Text);
  } catch (const EStringListError&) {
  }
  ReadAll(F);
  return 0;
}
