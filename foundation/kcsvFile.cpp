#include "foundation/kcsvFile_internal.h"

#include <algorithm>
#include <cstring>

#include "foundation/klog.h"
#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "platform/rtl/codepage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using kcsv::BlockBytes;
using kcsv::U;

TCsvLogProc CsvLogProc = nullptr;

void CsvLog(const AnsiString& Line) {
  if (CsvLogProc) CsvLogProc(Line);
}

void CsvLogToDebugWindow(const AnsiString& Line) { DebugFmt("%s", {Line}); }

#if defined(__GNUC__)
#define KCSV_INLINE __attribute__((always_inline))
#else
#define KCSV_INLINE
#endif

namespace {

constexpr std::size_t ChunkSize = 16384;

// The bits of the 64 bytes at Q that the split of a row looks at: control
// bytes, separators, and escape characters or backslashes.
inline void RowMasks(const char* Q, char Sep, char Esc, std::uint64_t& Controls, std::uint64_t& Seps,
                     std::uint64_t& Escapes) {
#if defined(__SSE2__)
  const __m128i Below = _mm_set1_epi8(0x1F);
  const __m128i VSep = _mm_set1_epi8(Sep);
  const __m128i VEsc = _mm_set1_epi8(Esc);
  const __m128i VBack = _mm_set1_epi8('\\');
  Controls = Seps = Escapes = 0;
  for (int K = 0; K < 4; ++K) {
    const __m128i X = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Q + 16 * static_cast<std::ptrdiff_t>(K)));
    const auto Bits = [K](__m128i Hits) {
      return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(Hits))) << (16 * K);
    };
    Controls |= Bits(_mm_cmpeq_epi8(_mm_min_epu8(X, Below), X));
    Seps |= Bits(_mm_cmpeq_epi8(X, VSep));
    Escapes |= Bits(_mm_or_si128(_mm_cmpeq_epi8(X, VEsc), _mm_cmpeq_epi8(X, VBack)));
  }
#else
  Controls = Seps = Escapes = 0;
  for (std::size_t K = 0; K < BlockBytes; ++K) {
    Controls |= static_cast<std::uint64_t>(U(Q[K]) < 0x20) << K;
    Seps |= static_cast<std::uint64_t>(Q[K] == Sep) << K;
    Escapes |= static_cast<std::uint64_t>(Q[K] == Esc || Q[K] == '\\') << K;
  }
#endif
}

// The first byte in [P, E) that the field walk must look at: a control
// byte, the separator, the escape character or a backslash.
const char* FindSpecial(const char* P, const char* E, char Sep, char Esc) {
#if defined(__SSE2__)
  const __m128i Limit = _mm_set1_epi8(0x1F);
  const __m128i VSep = _mm_set1_epi8(Sep);
  const __m128i VEsc = _mm_set1_epi8(Esc);
  const __m128i VBack = _mm_set1_epi8('\\');
  while (E - P >= 16) {
    const __m128i A = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
    __m128i Hit = _mm_cmpeq_epi8(_mm_min_epu8(A, Limit), A);
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VSep));
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VEsc));
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VBack));
    const unsigned M = static_cast<unsigned>(_mm_movemask_epi8(Hit));
    if (M != 0) return P + __builtin_ctz(M);
    P += 16;
  }
#endif
  while (P < E) {
    const char C = *P;
    if (U(C) < 0x20 || C == Sep || C == Esc || C == '\\') break;
    ++P;
  }
  return P;
}

// Bytes of 0x20 and below removed at both ends.
void TrimInPlace(AnsiString& S) {
  std::size_t E = S.size();
  while (E > 0 && U(S[E - 1]) <= 0x20) --E;
  S.resize(E);
  std::size_t B = 0;
  while (B < E && U(S[B]) <= 0x20) ++B;
  S.erase(0, B);
}

// Splits a header line into items: comma or blanks between items, double
// quotes around an item with doubled quotes inside.
std::vector<AnsiString> SplitHeader(const AnsiString& S) {
  std::vector<AnsiString> Items;
  const std::size_t N = S.size();
  std::size_t I = 0;
  auto SkipBlanks = [&] {
    while (I < N && U(S[I]) >= 0x01 && U(S[I]) <= 0x20) ++I;
  };
  SkipBlanks();
  while (I < N) {
    AnsiString Item;
    if (S[I] == '"') {
      ++I;
      bool Closed = false;
      while (I < N) {
        if (S[I] == '"') {
          if (I + 1 < N && S[I + 1] == '"') {
            Item += '"';
            I += 2;
            continue;
          }
          ++I;
          Closed = true;
          break;
        }
        Item += S[I++];
      }
      // An open quote runs to the end of the line, less its last byte.
      if (!Closed && !Item.empty()) Item.pop_back();
    } else {
      const std::size_t B = I;
      while (I < N && U(S[I]) > 0x20 && S[I] != ',') ++I;
      Item.assign(S, B, I - B);
    }
    Items.push_back(std::move(Item));
    SkipBlanks();
    if (I < N && S[I] == ',') {
      if (I == N - 1) Items.emplace_back();
      ++I;
      SkipBlanks();
    }
  }
  return Items;
}

[[noreturn]] void HeaderItemMissing() { throw EStringListError(Format(platform::msg::ListIndexError, {0})); }

}  // namespace

// ---------------------------------------------------------------- TKBulkMemory

namespace {
constexpr std::size_t LargeBytes = std::size_t{2} << 20;
}  // namespace

void* TKBulkMemory::Allocate(std::size_t Bytes) {
  if (Bytes < LargeBytes) return ::operator new(Bytes);
  void* P = VirtualAlloc(nullptr, Bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!P) throw std::bad_alloc();
  return P;
}

void TKBulkMemory::Release(void* P, std::size_t Bytes) {
  if (Bytes < LargeBytes)
    ::operator delete(P);
  else
    VirtualFree(P, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------- TKValue

Integer TKValue::AsInteger() const {
  const AnsiString& S = Text;
  const std::size_t N = S.size();
  std::size_t I = 0;
  while (I < N && S[I] == ' ') ++I;
  bool Negative = false;
  if (I < N && (S[I] == '-' || S[I] == '+')) {
    Negative = S[I] == '-';
    ++I;
  }
  if (I >= N) return 0;
  bool Hex = false;
  if (S[I] == '$' || S[I] == 'x' || S[I] == 'X') {
    Hex = true;
    ++I;
  } else if (S[I] == '0' && I + 1 < N && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    Hex = true;
    I += 2;
  }
  if (I >= N) return 0;
  if (Hex) {
    if (N - I > 8) return 0;
    std::uint32_t V = 0;
    for (; I < N; ++I) {
      const char C = S[I];
      unsigned D;
      if (C >= '0' && C <= '9')
        D = static_cast<unsigned>(C - '0');
      else if (C >= 'a' && C <= 'f')
        D = static_cast<unsigned>(C - 'a' + 10);
      else if (C >= 'A' && C <= 'F')
        D = static_cast<unsigned>(C - 'A' + 10);
      else
        return 0;
      V = V << 4 | D;
    }
    if (Negative) V = 0u - V;
    return static_cast<Integer>(V);
  }
  std::uint64_t V = 0;
  for (; I < N; ++I) {
    const char C = S[I];
    if (C < '0' || C > '9') return 0;
    V = V * 10 + static_cast<unsigned>(C - '0');
    if (V > 2147483648ull) return 0;
  }
  if (Negative) return static_cast<Integer>(-static_cast<std::int64_t>(V));
  if (V > 2147483647ull) return 0;
  return static_cast<Integer>(V);
}

// ---------------------------------------------------------------- TKField

TKField::TKField(TKTable* ATable) : FTable(ATable), FValue(std::make_unique<TKValue>()) {}

TKField::~TKField() = default;

Integer TKField::DigitsValue(const AnsiString& S) {
  std::uint32_t V = 0;
  for (const char C : S)
    if (C >= '0' && C <= '9') V = V * 10u + static_cast<std::uint32_t>(C - '0');
  return static_cast<Integer>(V);
}

void TKField::SetFieldType(const AnsiString& AType) {
  FTypeName = UpperCase(AType);
  FSize = 0;
  FTypeCode = 0;
  const AnsiString& T = FTypeName;
  auto Set = [this](Byte Code, Integer ASize, Integer AWidth) {
    FTypeCode = Code;
    FSize = ASize;
    FWidth = AWidth;
  };
  if (T == "LARGEINT") {
    Set(25, 8, 20);
  } else if (T == "INTEGER" || T == "INT") {
    Set(3, 4, 10);
    FTypeName = "INT";
  } else if (T == "SMALLINT" || T == "SHORT") {
    Set(2, 2, 6);
    FTypeName = "SHORT";
  } else if (T == "WORD") {
    Set(4, 2, 5);
  } else if (T == "EXTENDED" || T == "FLOAT") {
    Set(6, 10, 15);
    FTypeName = "FLOAT";
  } else if (T == "DATETIME" || T == "TIMESTAMP") {
    Set(11, 8, 17);
  } else if (T == "DATE") {
    Set(9, 8, 10);
  } else if (T == "TIME") {
    Set(10, 8, 8);
  } else if (T == "BLOB") {
    Set(15, 0, 5);
  } else if (T.compare(0, 3, "STR") == 0) {
    Set(1, 255, 255);
  } else if (T.compare(0, 5, "CHAR(") == 0) {
    const Integer N = DigitsValue(T);
    Set(1, N, N);
  } else if (T == "BOOL") {
    Set(2, 2, 1);
  }
}

void TKField::FetchValue() {
  AnsiString& Text = FValue->Text;
  if (OnGetText) {
    AnsiString Supplied;
    OnGetText(FTable, FTable->RecNo(), Supplied);
    Text = std::move(Supplied);
    TrimInPlace(Text);
  } else {
    FTable->ReadFieldValue(FColumn, Text);
  }
}

const AnsiString& TKField::AsTrimmedString() { return AsString(); }

Integer TKField::AsInteger() {
  AsString();
  return FValue->AsInteger();
}

// ---------------------------------------------------------------- TKTable

TKTable::TKTable(TKcsvFile* AOwner, const AnsiString& AName)
    : FDecimalChar(DecimalSeparator),
      FOwner(AOwner),
      FNameIndex(std::make_unique<TStringList>()),
      FImpl(std::make_unique<TImpl>()) {
  SetOwnsObjects(false);
  // Columns go into the sorted index where they belong; two columns of one
  // name are both kept.
  FNameIndex->SetDuplicates(dupAccept);
  FNameIndex->SetSorted(true);
  if (AOwner) {
    FDecimalChar = AOwner->DecimalChar();
    FSeparator = AOwner->Separator();
    FEscapeChar = AOwner->EscapeChar();
  }
  Reset();
  FName = AName;
  FLongestLine = 0;
}

TKTable::~TKTable() { Reset(); }

void TKTable::Reset() {
  FName.clear();
  FMode.clear();
  FNameIndex->Clear();
  ForgetNamesAsked();
  TKList::Clear();
  // The rows go; a shared row table keeps the entries for the reader to drop.
  TKRowTable().swap(FImpl->OwnRows);
  FImpl->Rows = &FImpl->OwnRows;
  FImpl->RowFirst = 0;
  FRowCount = 0;
  FSplitRow = -1;
  FFields.clear();
  SetFieldCount(0);
  FRecNo = 0;
}

void TKTable::AddRows(const std::uint32_t* Offsets, std::size_t Count) {
  TImpl& I = *FImpl;
  if (I.RowFirst + static_cast<std::size_t>(FRowCount) != I.Rows->size()) OwnRows();
  I.Rows->insert(I.Rows->end(), Offsets, Offsets + Count);
  FRowCount += static_cast<Integer>(Count);
  FSplitRow = -1;
}

Integer TKTable::RowOffset(Integer Row) const {
  if (Row < 0 || Row >= FRowCount) IndexError(Row);
  return static_cast<Integer>((*FImpl->Rows)[FImpl->RowFirst + static_cast<std::size_t>(Row)]);
}

void TKTable::UseRowTable(TKRowTable* Rows) {
  if (!Rows || FRowCount != 0) return;
  FImpl->Rows = Rows;
  FImpl->RowFirst = Rows->size();
}

// Another table appends to the shared row table after this one: the rows
// move into the table's own.
void TKTable::OwnRows() {
  TImpl& I = *FImpl;
  if (I.Rows == &I.OwnRows) return;
  const auto First = I.Rows->begin() + static_cast<std::ptrdiff_t>(I.RowFirst);
  I.OwnRows.assign(First, First + FRowCount);
  I.Rows = &I.OwnRows;
  I.RowFirst = 0;
}

void TKTable::SetFieldCount(Integer N) {
  if (N == FFieldCount) return;
  ForgetNamesAsked();
  FFields.resize(static_cast<std::size_t>(std::max(N, 0)));
  FFieldCount = N;
}

TKField* TKTable::AddField(const AnsiString& AName, const AnsiString& AType) {
  auto Field = std::make_unique<TKField>(this);
  Field->FColumn = Field->FFieldNo = FFieldCount;
  Field->FName = UpperCase(AName);
  Field->SetFieldType(AType);
  FNameIndex->AddObject(Field->FName, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(FFieldCount)));
  ForgetNamesAsked();
  SetFieldCount(FFieldCount + 1);
  TKField* Result = Field.get();
  FFields.back() = std::move(Field);
  return Result;
}

void TKTable::ReadRow(const char*& Data, Integer& Length) {
  const Integer Offset = RowOffset(FRecNo);
  if (FSourceBytes) {
    // The reader's bytes in memory: what its row reader would deliver.
    const bool Row = Offset >= 0 && Offset < FSourceSize && FLongestLine > 0;
    Data = Row ? FSourceBytes + Offset : nullptr;
    Length = Row ? std::min(FLongestLine, FSourceSize - Offset) : 0;
    return;
  }
  Data = nullptr;
  Length = 0;
  if (!FRowReader || !FRowReader(Offset, FLongestLine, Data, Length)) {
    Data = nullptr;
    Length = 0;
  }
}

AnsiString TKTable::GetFieldText(Integer N) {
  AnsiString Text;
  ReadFieldText(N, Text);
  return Text;
}

namespace {

// Appends the text of the field that starts at P to Out: up to the next
// separator or row end, with the escapes of the field walk applied.
void ExtractField(const char* P, const char* const E, char Sep, char Esc, std::string& Out) {
  bool Nul = false;
  while (P < E) {
    // Runs of ordinary bytes are taken as they stand.
    const char* Q = FindSpecial(P, E, Sep, Esc);
    Out.append(P, static_cast<std::size_t>(Q - P));
    P = Q;
    if (P >= E) break;
    const char C = *P;
    if (C == Sep || C == '\n' || C == '\r' || C == '\0') break;
    if (C == Esc) {
      if (++P >= E) break;
      if (*P == 'n') {
        Out += "\r\n";
      } else {
        Out += *P;
        Nul = Nul || *P == '\0';
      }
    } else if (C == '\\') {
      if (++P >= E) break;
      if (*P == 'n') {
        Out += "\r\n";
      } else if (*P == '^') {
        Out += '^';
      } else {
        --P;  // the backslash stays; the byte after it is read as usual
        Out += '\\';
      }
    }
    // Any other control byte is dropped.
    ++P;
  }
  // An escaped NUL ends the text.
  if (Nul) Out.resize(Out.find('\0'));
}

}  // namespace

// The split of a row, the walk over its fields: separators counted, the
// byte after the escape character or a backslash stepped over unexamined,
// a row end ends the row.  A field in which no byte needs a look but its
// end is plain: its text is its bytes, and its value those bytes without
// the bytes of 0x20 and below at both ends, found here once for the row.
void TKTable::SplitRow(const char* Data, Integer Length) {
  if (SplitPlainRow(Data, Length)) return;
  const char Sep = FSeparator;
  const char Esc = FEscapeChar;
  FFieldSpans.clear();
  FFieldSpans.push_back(TFieldSpan{0, -1, 0, 0});
  bool Plain = true;
  Integer Skip = -1;  // the byte after an escape
  // The field goes up to End: a plain one gets its ends.
  auto EndField = [&](Integer End) KCSV_INLINE {
    if (!Plain) return;
    TFieldSpan& F = FFieldSpans.back();
    F.PlainEnd = End;
    Integer From = F.Start;
    while (From < End && U(Data[From]) <= 0x20) ++From;
    while (End > From && U(Data[End - 1]) <= 0x20) --End;
    F.ValueFrom = From;
    F.ValueTo = End;
  };
  // Looks at the byte at Pos; false at the row's end.
  auto Visit = [&](Integer Pos) KCSV_INLINE {
    const char C = Data[Pos];
    if (C == Sep) {
      EndField(Pos);
      FFieldSpans.push_back(TFieldSpan{Pos + 1, -1, 0, 0});
      Plain = true;
      return true;
    }
    if (C == '\n' || C == '\r' || C == '\0') {
      EndField(Pos);
      return false;
    }
    Plain = false;
    if (C == Esc || C == '\\') Skip = Pos + 1;
    return true;
  };
  Integer I = 0;
#if defined(__SSE2__)
  const __m128i Limit = _mm_set1_epi8(0x1F);
  const __m128i VSep = _mm_set1_epi8(Sep);
  const __m128i VEsc = _mm_set1_epi8(Esc);
  const __m128i VBack = _mm_set1_epi8('\\');
  for (; Length - I >= 16; I += 16) {
    const __m128i A = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + I));
    __m128i Hit = _mm_cmpeq_epi8(_mm_min_epu8(A, Limit), A);
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VSep));
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VEsc));
    Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(A, VBack));
    unsigned M = static_cast<unsigned>(_mm_movemask_epi8(Hit));
    if (Skip >= I && Skip < I + 16) M &= ~(1u << (Skip - I));
    while (M != 0) {
      const Integer Pos = I + __builtin_ctz(M);
      M &= M - 1;
      if (!Visit(Pos)) return;
      if (Skip == Pos + 1 && Skip < I + 16) M &= ~(1u << (Skip - I));
    }
  }
#endif
  for (; I < Length; ++I) {
    if (I == Skip) continue;
    const char C = Data[I];
    if ((U(C) < 0x20 || C == Sep || C == Esc || C == '\\') && !Visit(I)) return;
  }
  if (Skip < Length) EndField(Length);
}

// The split of a row in which neither a backslash, an escape character nor
// a control byte other than its end (CR, LF, NUL) stands before its end,
// the common case, 64 bytes at a time: the separators in front of the
// first control byte cut it into plain fields.  False (and
// nothing split) for any other row, and when the separator is a byte the
// walk gives another meaning too.
bool TKTable::SplitPlainRow(const char* Data, Integer Length) {
  const char Sep = FSeparator;
  const char Esc = FEscapeChar;
  if (U(Sep) < 0x20 || Sep == '\\' || Sep == Esc) return false;
  FFieldSpans.clear();
  Integer FieldStart = 0;
  auto Plain = [&](Integer End) KCSV_INLINE {
    Integer From = FieldStart;
    const Integer Start = From;
    while (From < End && U(Data[From]) <= 0x20) ++From;
    Integer To = End;
    while (To > From && U(Data[To - 1]) <= 0x20) --To;
    FFieldSpans.push_back(TFieldSpan{Start, End, From, To});
    FieldStart = End + 1;
  };
  for (Integer B = 0; B < Length; B += static_cast<Integer>(BlockBytes)) {
    std::uint64_t Controls, Seps, Escapes;
    const char* Q = Data + B;
    char Tail[BlockBytes];
    if (Length - B < static_cast<Integer>(BlockBytes)) {
      // The bytes end here: what follows counts as a row end.
      std::memset(Tail, 0, sizeof Tail);
      std::memcpy(Tail, Q, static_cast<std::size_t>(Length - B));
      Q = Tail;
    }
    RowMasks(Q, Sep, Esc, Controls, Seps, Escapes);
    const std::uint64_t Before = Controls != 0 ? (Controls & (0 - Controls)) - 1 : ~std::uint64_t{0};
    if ((Escapes & Before) != 0) return false;
    for (std::uint64_t M = Seps & Before; M != 0; M &= M - 1) Plain(B + __builtin_ctzll(M));
    if (Controls != 0) {
      // Other control bytes are dropped from a field: the general walk.
      const Integer End = B + __builtin_ctzll(Controls);
      if (End < Length && Data[End] != '\r' && Data[End] != '\n' && Data[End] != '\0') return false;
      Plain(End);
      return true;
    }
  }
  Plain(Length);
  return true;
}

const TKTable::TFieldSpan* TKTable::CurrentField(Integer N, const char*& Data, Integer& Length) {
  const Integer Offset = RowOffset(FRecNo);
  if (FSourceBytes && FSplitRow == FRecNo && FSplitOffset == Offset) {
    // The row split last, straight from the source: its bytes are known.
    Data = FSplitData;
    Length = FSplitLength;
  } else {
    ReadRow(Data, Length);
  }
  if (N < 0 || Data == nullptr) return nullptr;
  if (FSplitRow != FRecNo || FSplitOffset != Offset || FSplitData != Data || FSplitLength != Length) {
    FSplitRow = FRecNo;
    FSplitOffset = Offset;
    FSplitData = Data;
    FSplitLength = Length;
    SplitRow(Data, Length);
  }
  if (static_cast<std::size_t>(N) >= FFieldSpans.size()) return nullptr;
  return &FFieldSpans[static_cast<std::size_t>(N)];
}

void TKTable::ReadFieldText(Integer N, std::string& Out) {
  Out.clear();
  const char* Data;
  Integer Length;
  const TFieldSpan* F = CurrentField(N, Data, Length);
  if (!F) return;
  if (F->PlainEnd >= 0)
    Out.assign(Data + F->Start, static_cast<std::size_t>(F->PlainEnd - F->Start));
  else
    ExtractField(Data + F->Start, Data + Length, FSeparator, FEscapeChar, Out);
}

void TKTable::ReadFieldValue(Integer N, std::string& Out) {
  Out.clear();
  const char* Data;
  Integer Length;
  const TFieldSpan* F = CurrentField(N, Data, Length);
  if (!F) return;
  if (F->PlainEnd < 0) {
    ExtractField(Data + F->Start, Data + Length, FSeparator, FEscapeChar, Out);
    TrimInPlace(Out);
    return;
  }
  // A plain field: its value is its trimmed bytes.
  Out.append(Data + F->ValueFrom, static_cast<std::size_t>(F->ValueTo - F->ValueFrom));
}

// A name not expected: among the names asked before, else in the name
// index (upper-cased, found by bisection that ignores case), and then
// remembered as asked.
TKField* TKTable::FindName(const AnsiString& AName) {
  TImpl& I = *FImpl;
  if (const auto It = I.AskedAt.find(AName); It != I.AskedAt.end()) {
    const TNameAsked& Asked = I.NamesAsked[It->second];
    FExpectedName = Asked.Next;
    return Asked.Field;
  }
  TKField* Found = nullptr;
  int P = -1;
  if (FNameIndex->Find(UpperCase(AName), P) && P >= 0 && P < FFieldCount) {
    const auto No = static_cast<Integer>(reinterpret_cast<std::intptr_t>(FNameIndex->Objects(P)));
    if (No >= 0 && No < FFieldCount) Found = FFields[static_cast<std::size_t>(No)].get();
  }
  if (std::vector<TNameAsked>& Asked = I.NamesAsked; Asked.size() < TImpl::MaxNamesAsked) {
    I.AskedAt.emplace(AName, Asked.size());
    Asked.push_back(TNameAsked{AName, Found, nullptr});
    // The entries may have moved: the ring of names is tied anew.
    for (std::size_t K = 0; K < Asked.size(); ++K) Asked[K].Next = &Asked[K + 1 == Asked.size() ? 0 : K + 1];
    FExpectedName = &Asked.front();
  }
  return Found;
}

// The columns change: names asked before are asked anew.
void TKTable::ForgetNamesAsked() {
  FImpl->NamesAsked.clear();
  FImpl->AskedAt.clear();
  FExpectedName = nullptr;
}

Integer TKTable::FieldIndex(const AnsiString& AName) {
  TKField* Field = FieldByName(AName);
  return Field ? Field->FieldNo() : -1;
}

bool TKTable::First() {
  if (Count() > 0) {
    FRecNo = 0;
    return true;
  }
  return false;
}

bool TKTable::Next() {
  if (!Eof()) ++FRecNo;
  return !Eof();
}

// ---------------------------------------------------------------- TKcsvFile

TKcsvFile::TKcsvFile()
    : FComments(std::make_unique<TStringList>()),
      FDecimalChar(DecimalSeparator),
      FRows(std::make_unique<TKRowTable>()) {
  TKcsvFile::Clear();
}

TKcsvFile::~TKcsvFile() {
  TKcsvFile::Close();
  ReleaseOwnText();
}

void TKcsvFile::Clear() {
  FTables.clear();
  FRows->clear();
  FComments->Clear();
  FCurrentTable = nullptr;
  FLineCount = 0;
}

bool TKcsvFile::Open(const AnsiString& AFileName, const AnsiString& AMode) {
  CsvLog("TKcsvFile.Open_S");
  Close();
  char Letter = AMode.empty() ? 'm' : AMode[0];
  if (Letter >= 'A' && Letter <= 'Z') Letter = static_cast<char>(Letter - 'A' + 'a');
  if (Letter == 'x') Letter = 'm';
  FFileName = AFileName;
  CsvLog(Format("TKcsvFile.Open('%s',\"%s\")", {AFileName, AnsiString(1, Letter)}));

  bool Success = false;
  switch (Letter) {
    case 'm': {
      const int Fd = FileOpen(AFileName, fmOpenRead | fmShareDenyWrite);
      if (Fd < 0) break;
      DWORD High = 0;
      const DWORD Low = GetFileSize(platform::FileHandle(Fd), &High);
      const bool Fits = Low != INVALID_FILE_SIZE && High == 0 && FitsOffsets(Low);
      HANDLE Map =
          Fits ? CreateFileMappingA(platform::FileHandle(Fd), nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
      const void* View = Map ? MapViewOfFile(Map, FILE_MAP_READ, 0, 0, 0) : nullptr;
      if (View == nullptr) {
        // Nothing of a failed attempt stays open.
        if (Map) CloseHandle(Map);
        FileClose(Fd);
        break;
      }
      FFileHandle = Fd;
      FMapHandle = Map;
      FView = static_cast<const char*>(View);
      FFileDate = FileGetDate(Fd);
      FSize = static_cast<Integer>(Low);
      FSource = TSource::Mapped;
      Success = true;
      break;
    }
    case 'f': {
      auto Stream = std::make_unique<TFileStream>(AFileName, fmOpenRead | fmShareDenyWrite);
      if (!FitsOffsets(Stream->Size())) break;
      FFileDate = FileGetDate(Stream->Handle());
      FSize = static_cast<Integer>(Stream->Size());
      FFileStream = std::move(Stream);
      FSource = TSource::FileStream;
      Success = true;
      break;
    }
    case 'v': {
      TFileStream Stream(AFileName, fmOpenRead | fmShareDenyWrite);
      if (!FitsOffsets(Stream.Size())) break;
      FFileDate = FileGetDate(Stream.Handle());
      auto Memory = std::make_unique<std::string>();
      Memory->resize(static_cast<std::size_t>(Stream.Size()));
      std::size_t Done = 0;
      while (Done < Memory->size()) {
        const int Got = Stream.Read(Memory->data() + Done, static_cast<int>(Memory->size() - Done));
        if (Got <= 0) break;
        Done += static_cast<std::size_t>(Got);
      }
      Memory->resize(Done);
      FSize = static_cast<Integer>(Done);
      FMemory = std::move(Memory);
      FMemoryBytes = FMemory->data();
      FSource = TSource::Memory;
      Success = true;
      break;
    }
    default: break;
  }

  FActive = Success;
  if (Success) {
    CsvLog(Format("TKcsvFile.Open: '%s' OK..", {AFileName}));
    FScanned = false;  // a new source is always scanned
    CheckData();
  } else {
    CsvLog(Format("TKcsvFile.Open: '%s' fail..", {AFileName}));
  }
  CsvLog("TKcsvFile.Open_E");
  return Success;
}

std::unique_ptr<TKcsvFile> TKcsvFile::OpenFile(const AnsiString& AFileName, const AnsiString& AMode,
                                               TKcsvProgressEvent AProgress) {
  auto Reader = std::make_unique<TKcsvFile>();
  if (AProgress) Reader->OnProgress = std::move(AProgress);
  if (!Reader->Open(AFileName, AMode)) return nullptr;
  return Reader;
}

void TKcsvFile::ReleaseMapping() {
  if (FView) UnmapViewOfFile(FView);
  if (FMapHandle) CloseHandle(FMapHandle);
  if (FFileHandle >= 0) FileClose(FFileHandle);
  FView = nullptr;
  FMapHandle = nullptr;
  FFileHandle = -1;
}

void TKcsvFile::Close() {
  if (!FActive) return;
  FActive = false;
  CsvLog(Format("TKcsvFile.Close_S: '%s')", {FFileName}));
  Clear();
  FScanned = false;
  FFileStream.reset();
  FMemory.reset();
  FMemoryBytes = nullptr;
  if (!FKeepOwnText) ReleaseOwnText();
  ReleaseMapping();
  FSource = TSource::None;
  std::vector<char>().swap(FBuffer);
  CsvLog("TKcsvFile.Close_E");
}

void TKcsvFile::RefuseText(std::size_t Bytes) {
  Close();
  throw EReadError("KCSV-Text zu gro\xDF (" + std::to_string(Bytes) + " Bytes)");
}

void TKcsvFile::OpenText(const AnsiString& AText) {
  if (!FitsOffsets(static_cast<Int64>(AText.size()))) RefuseText(AText.size());
  OpenText(AnsiString(AText));
}

void TKcsvFile::OpenText(AnsiString&& AText) {
  if (!FitsOffsets(static_cast<Int64>(AText.size()))) RefuseText(AText.size());
  Close();
  FSize = static_cast<Integer>(AText.size());
  FMemory = std::make_unique<std::string>(std::move(AText));
  FMemoryBytes = FMemory->data();
  FSource = TSource::Memory;
  FActive = true;
  FScanned = false;  // a new source is always scanned
  CheckData();
}

void TKcsvFile::OpenText(const WideString& AText) {
  if (!FitsOffsets(static_cast<Int64>(AText.size()))) RefuseText(AText.size());
  FKeepOwnText = true;
  try {
    Close();
  } catch (...) {
    FKeepOwnText = false;
    throw;
  }
  FKeepOwnText = false;
  // A character gives at most one byte.  A buffer far larger than this text
  // needs goes back; a new one leaves room for a somewhat larger text.
  const std::size_t Need = std::max<std::size_t>(AText.size(), 1);
  if (FOwnTextCapacity < Need || Need < FOwnTextCapacity / 4) {
    ReleaseOwnText();
    const std::size_t Capacity = Need + Need / 8;
    FOwnText = static_cast<char*>(TKBulkMemory::Allocate(Capacity));
    FOwnTextCapacity = Capacity;
  }
  FSize = static_cast<Integer>(platform::WideToAnsi(AText.data(), AText.size(), FOwnText));
  FMemoryBytes = FOwnText;
  FSource = TSource::Memory;
  FActive = true;
  FScanned = false;  // a new source is always scanned
  CheckData();
}

void TKcsvFile::ReleaseOwnText() {
  if (FOwnText) TKBulkMemory::Release(FOwnText, FOwnTextCapacity);
  FOwnText = nullptr;
  FOwnTextCapacity = 0;
}

__attribute__((noinline, cold)) void TKcsvFile::EndLine(TScanLine& L) {
  ++FLineCount;
  switch (L.First) {
    case '#':
      if (L.Text.size() >= 5 && CompareText(L.Text.substr(0, 5), "#CHR=") == 0) {
        FCharDirective = "#CHR=";
        if (L.Text.size() > 5) {
          FEscapeChar = L.Text[5];
          FCharDirective += L.Text[5];
        }
        if (L.Text.size() > 6) {
          FSeparator = L.Text[6];
          FCharDirective += L.Text[6];
        }
      } else {
        FComments->Add(L.Text);
      }
      return;
    case '@': HeaderLine(L.Text); return;
    case ';':
      if (L.Text == ";CHECKSUM=") return;
      break;
    default: break;
  }
  if (FCurrentTable) {
    const auto Measured = static_cast<Integer>(std::min<std::size_t>(L.Bytes + 1, 0x7FFFFFFF));
    if (Measured > FCurrentTable->LongestLine()) FCurrentTable->SetLongestLine(Measured);
    FCurrentTable->AddRow(static_cast<Integer>(L.Start));
    if (OnProgress) OnProgress(FCurrentTable->Name(), FCurrentTable->Count(), false);
  }
}

void TKcsvFile::HeaderLine(const AnsiString& Text) {
  TKTable* Table = new TKTable(this, AnsiString());
  AddTable(Table);
  Table->SetLongestLine(static_cast<Integer>(std::min<std::size_t>(Text.size(), 0x7FFFFFFF)));
  std::vector<AnsiString> Items = SplitHeader(Text);
  std::size_t I = 0;
  auto Item0 = [&]() -> AnsiString& {
    if (I >= Items.size()) HeaderItemMissing();
    return Items[I];
  };
  Table->SetName(Item0().substr(1, 64));
  ++I;
  const AnsiString& Keyword = Item0();
  if (Keyword == "ALL" || Keyword == "DEL" || Keyword == "DIF" || Keyword == "DIFF") {
    Table->SetMode(Keyword.substr(0, 3));
    ++I;
    AnsiString& Next = Item0();
    if (Next.compare(0, 2, "F=") == 0) Next = Next.substr(2, 64);
  }
  for (; I < Items.size(); ++I) {
    const AnsiString& Item = Items[I];
    const std::size_t Bracket = Item.find('[');
    if (Bracket == AnsiString::npos) {
      Table->AddField(Item, AnsiString());
    } else {
      AnsiString Type = Item.substr(Bracket + 1, 250);
      const std::size_t Close = Type.find(']');
      if (Close != AnsiString::npos) Type.resize(Close);
      Table->AddField(Item.substr(0, Bracket), Type);
    }
  }
}

void TKcsvFile::CheckData() {
  if (FScanned) return;
  CsvLog("TKcsvFile.CheckData_S");
  // A scan that raised before may have left tables behind.
  Clear();
  FLineCount = 0;
  FCurrentTable = nullptr;
  ReserveRows();

  TScan Scan(*this);
  switch (FSource) {
    case TSource::Mapped: Scan.ScanBytes(FView, static_cast<std::size_t>(FSize)); break;
    case TSource::Memory: Scan.ScanBytes(FMemoryBytes, static_cast<std::size_t>(FSize)); break;
    case TSource::FileStream: {
      FBuffer.assign(ChunkSize, '\0');
      FFileStream->Seek(0, soBeginning);
      for (;;) {
        const int Got = FFileStream->Read(FBuffer.data(), static_cast<int>(ChunkSize));
        if (Got <= 0) break;
        Scan.ScanBytes(FBuffer.data(), static_cast<std::size_t>(Got));
      }
      break;
    }
    case TSource::None: break;
  }
  Scan.End();
  if (FCurrentTable && OnProgress) OnProgress(FCurrentTable->Name(), FCurrentTable->Count(), true);

  FScanned = true;
  if (FSource == TSource::FileStream) std::fill(FBuffer.begin(), FBuffer.end(), '\0');
  SelectTable(0);
  CsvLog("TKcsvFile.CheckData_E");
}

// A row takes at least two bytes (one above the blank, one that ends it),
// so a large source gets room for all the rows it can hold at once: only
// the part the rows fill takes memory, and the table never moves.
void TKcsvFile::ReserveRows() {
  const std::size_t Most = (static_cast<std::size_t>(std::max(FSize, 0)) + 1) / 2;
  if (FSize < ReserveRowsFrom || FRows->capacity() >= Most) return;
  try {
    FRows->reserve(Most);
  } catch (const std::bad_alloc&) {
    // The table grows as the rows come.
  }
}

bool TKcsvFile::ReadRowAt(Integer Offset, Integer Count, const char*& Data, Integer& Length) {
  if (Offset < 0 || Offset >= FSize || Count <= 0) return false;
  switch (FSource) {
    case TSource::Mapped:
    case TSource::Memory: {
      const char* Base = FSource == TSource::Mapped ? FView : FMemoryBytes;
      Data = Base + Offset;
      Length = std::min(Count, FSize - Offset);
      return true;
    }
    case TSource::FileStream: {
      if (FBuffer.size() < static_cast<std::size_t>(Count)) FBuffer.resize(static_cast<std::size_t>(Count));
      FFileStream->Seek(Offset, soBeginning);
      const int Got = FFileStream->Read(FBuffer.data(), Count);
      if (Got <= 0) return false;
      Data = FBuffer.data();
      Length = Got;
      return true;
    }
    case TSource::None: break;
  }
  return false;
}

void TKcsvFile::AddTable(TKTable* ATable) {
  std::unique_ptr<TKTable> Owned(ATable);
  FCurrentTable = ATable;
  FTables.push_back(std::move(Owned));
  ATable->UseRowTable(FRows.get());
  ATable->SetRowReader([this](Integer Offset, Integer Count, const char*& Data, Integer& Length) {
    return ReadRowAt(Offset, Count, Data, Length);
  });
  // A source in memory stays where it is while its tables live: the table
  // takes its rows from it directly.
  if (FSource == TSource::Mapped) ATable->SetSourceBytes(FView, FSize);
  if (FSource == TSource::Memory) ATable->SetSourceBytes(FMemoryBytes, FSize);
}

Integer TKcsvFile::IndexOfTable(const AnsiString& AName) const {
  const AnsiString Wanted = UpperCase(AName);
  for (std::size_t I = 0; I < FTables.size(); ++I)
    if (UpperCase(FTables[I]->Name()) == Wanted) return static_cast<Integer>(I);
  return -1;
}

TKTable* TKcsvFile::SelectTable(Integer Index) {
  FCurrentTable = nullptr;
  if (Index < 0) Index = 0;
  if (Index < TableCount()) {
    FCurrentTable = FTables[static_cast<std::size_t>(Index)].get();
    FCurrentTable->First();
  }
  return FCurrentTable;
}

TKTable* TKcsvFile::TableByName(const AnsiString& AName) {
  FCurrentTable = nullptr;
  const Integer Index = IndexOfTable(AName);
  if (Index >= 0) SelectTable(Index);
  return FCurrentTable;
}
