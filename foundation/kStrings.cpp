#include "foundation/kStrings.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/os/windows.h"

namespace {

using TUpdateBracket = platform::UpdateBracket<TKStrings>;

// The next character of a zero-terminated text of the ANSI code page.
const char* NextChar(const char* P) { return CharNextA(P); }

bool IsControl(char C) {
  const auto U = static_cast<unsigned char>(C);
  return U >= 1 && U <= 31;
}

}  // namespace

// ---------------------------------------------------------------- TKStrings

TKStrings::~TKStrings() = default;

void TKStrings::Error(const char* Msg, int Data) {
  if (std::strstr(Msg, "%d") != nullptr) throw EStringListError(Format(Msg, {Data}));
  throw EStringListError(AnsiString(Msg));
}

int TKStrings::CompareItems(const AnsiString& S1, const AnsiString& S2) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, S1.data(), static_cast<int>(S1.size()), S2.data(),
                        static_cast<int>(S2.size())) -
         2;
}

void TKStrings::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TKStrings*>(Source);
  if (Src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (Src == this) return;  // would clear itself before copying
  TUpdateBracket Bracket(this);
  Clear();
  FDelimiter = Src->FDelimiter;
  AddStrings(Src);
}

int TKStrings::GetCapacity() { return GetCount(); }

TObject* TKStrings::GetObject(int) { return nullptr; }

AnsiString TKStrings::GetTextStr() {
  const int N = GetCount();
  std::size_t Size = 0;
  for (int I = 0; I < N; ++I) Size += Get(I).size() + 2;
  AnsiString Result;
  Result.reserve(Size);
  for (int I = 0; I < N; ++I) {
    Result += Get(I);
    Result += "\r\n";
  }
  return Result;
}

void TKStrings::Put(int Index, const AnsiString& S) {
  TObject* Obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, Obj);
}

void TKStrings::PutObject(int, TObject*) {}

void TKStrings::SetCapacity(int) {}

void TKStrings::SetTextStr(const AnsiString& Value) {
  TUpdateBracket Bracket(this);
  Clear();
  const char* P = Value.c_str();
  while (*P != 0) {
    const char* Start = P;
    while (*P != 0 && *P != '\r' && *P != '\n') ++P;
    Add(AnsiString(Start, static_cast<std::size_t>(P - Start)));
    if (*P == '\r') ++P;
    if (*P == '\n') ++P;
  }
}

void TKStrings::SetUpdateState(bool) {}

int TKStrings::Add(const AnsiString& S) {
  const int Result = GetCount();
  Insert(Result, S);
  return Result;
}

int TKStrings::AddObject(const AnsiString& S, TObject* AObject) {
  const int Result = Add(S);
  PutObject(Result, AObject);
  return Result;
}

void TKStrings::AddStrings(TKStrings* Strings) {
  TUpdateBracket Bracket(this);
  const int N = Strings->GetCount();
  for (int I = 0; I < N; ++I) AddObject(Strings->Get(I), Strings->GetObject(I));
}

void TKStrings::Exchange(int Index1, int Index2) {
  TUpdateBracket Bracket(this);
  const AnsiString TempString = Get(Index1);
  TObject* TempObject = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, TempString);
  PutObject(Index2, TempObject);
}

std::unique_ptr<char[]> TKStrings::GetText() {
  const AnsiString S = GetTextStr();
  auto Result = std::make_unique<char[]>(S.size() + 1);
  std::memcpy(Result.get(), S.c_str(), S.size() + 1);
  return Result;
}

int TKStrings::IndexOf(const AnsiString& S) {
  const int N = GetCount();
  for (int I = 0; I < N; ++I)
    if (CompareItems(Get(I), S) == 0) return I;
  return -1;
}

void TKStrings::LoadFromFile(const AnsiString& FileName) {
  auto Stream = std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream.get());
}

void TKStrings::LoadFromStream(TStream* Stream) {
  TUpdateBracket Bracket(this);
  const Int64 Size = Stream->Size() - Stream->Position();
  AnsiString S;
  if (Size > 0) {
    S.resize(static_cast<std::size_t>(Size));
    // A stream may deliver less than it announced; keep what it gave.
    const int Read = Stream->Read(S.data(), static_cast<int>(Size));
    S.resize(static_cast<std::size_t>(std::max(Read, 0)));
  }
  SetTextStr(S);
}

void TKStrings::CheckMoveTarget(int NewIndex) {
  if (NewIndex < 0 || NewIndex >= GetCount()) Error(platform::msg::StringListIndexError, NewIndex);
}

void TKStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateBracket Bracket(this);
  const AnsiString TempString = Get(CurIndex);
  TObject* TempObject = GetObject(CurIndex);
  CheckMoveTarget(NewIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, TempString, TempObject);
}

void TKStrings::SaveToFile(const AnsiString& FileName) {
  auto Stream = std::make_unique<TFileStream>(FileName, fmCreate);
  SaveStream(Stream.get());
}

void TKStrings::SaveStream(TStream* Stream) {
  const AnsiString S = GetTextStr();
  Stream->WriteBuffer(S.data(), static_cast<int>(S.size()));
}

void TKStrings::SetText(const char* Text) { SetTextStr(Text != nullptr ? AnsiString(Text) : AnsiString()); }

void TKStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TKStrings::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TKStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

char TKStrings::Delimiter() {
  if (FDelimiter == 0) FDelimiter = ',';
  return FDelimiter;
}

void TKStrings::SetDelimitedText(const AnsiString& Value) {
  TUpdateBracket Bracket(this);
  Clear();
  const char* P = Value.c_str();
  while (IsControl(*P)) ++P;
  while (*P != 0) {
    AnsiString Item;
    if (*P == '"') {
      // Quoted item: up to the first quote not followed by another one;
      // doubled quotes stand for one.  Without a closing quote the item runs
      // to the end of the text.
      ++P;
      while (*P != 0) {
        if (*P == '"') {
          if (P[1] == '"') {
            Item += '"';
            P += 2;
            continue;
          }
          ++P;
          break;
        }
        const char* Next = NextChar(P);
        Item.append(P, static_cast<std::size_t>(Next - P));
        P = Next;
      }
    } else {
      const char* Start = P;
      while (static_cast<unsigned char>(*P) >= 32 && *P != Delimiter()) P = NextChar(P);
      Item.assign(Start, static_cast<std::size_t>(P - Start));
    }
    Add(Item);
    while (IsControl(*P)) ++P;
    if (*P != 0 && *P == Delimiter()) {
      ++P;
      while (IsControl(*P)) ++P;
    }
  }
}

void TKStrings::SetCommaText(const AnsiString& Value) {
  SetDelimiter(',');
  SetDelimitedText(Value);
}

// ---------------------------------------------------------------- TKStringList

TKStringList::~TKStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  std::vector<TStringItem>().swap(FList);
  FCount = 0;
  FCapacity = 0;
}

void TKStringList::CheckIndex(int Index) {
  if (Index < 0 || Index >= FCount) Error(platform::msg::StringListIndexError, Index);
}

void TKStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TKStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TKStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

AnsiString TKStringList::Get(int Index) {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FString;
}

int TKStringList::GetCapacity() { return FCapacity; }

int TKStringList::GetCount() { return FCount; }

TObject* TKStringList::GetObject(int Index) {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FObject;
}

void TKStringList::Put(int Index, const AnsiString& S) {
  if (FSorted) Error(platform::msg::SortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FString = S;
  Changed();
}

void TKStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FObject = AObject;
  Changed();
}

void TKStringList::SetCapacity(int NewCapacity) {
  // A block smaller than the items in use would lose them.
  if (NewCapacity < FCount) Error(platform::msg::StringListIndexError, NewCapacity);
  if (NewCapacity == 0) {
    std::vector<TStringItem>().swap(FList);
  } else {
    FList.resize(static_cast<std::size_t>(NewCapacity));
  }
  FCapacity = NewCapacity;
}

void TKStringList::Grow() {
  int Delta = 4;
  if (FCapacity > 64)
    Delta = FCapacity / 4;
  else if (FCapacity > 8)
    Delta = 16;
  SetCapacity(FCapacity + Delta);
}

void TKStringList::InsertItem(int Index, const AnsiString& S) {
  Changing();
  if (FCount == FCapacity) Grow();
  const auto Begin = FList.begin();
  if (Index < FCount) std::move_backward(Begin + Index, Begin + FCount, Begin + FCount + 1);
  TStringItem& Slot = FList[static_cast<std::size_t>(Index)];
  Slot.FString = S;
  Slot.FObject = nullptr;
  ++FCount;
  Changed();
}

int TKStringList::Add(const AnsiString& S) {
  int Result;
  if (!FSorted) {
    Result = FCount;
  } else if (Find(S, Result)) {
    switch (FDuplicates) {
      case dupIgnore: return Result;
      case dupError: Error(platform::msg::DuplicateString, 0);
      case dupAccept: break;
    }
  }
  InsertItem(Result, S);
  return Result;
}

void TKStringList::Clear() {
  if (FCount == 0) return;
  Changing();
  for (int I = 0; I < FCount; ++I) FList[static_cast<std::size_t>(I)].FString.clear();
  FCount = 0;
  SetCapacity(0);
  Changed();
}

void TKStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  const auto Begin = FList.begin();
  Begin[Index].FString.clear();
  --FCount;
  if (Index < FCount) std::move(Begin + Index + 1, Begin + FCount + 1, Begin + Index);
  // The freed slot keeps nothing.
  TStringItem& Last = FList[static_cast<std::size_t>(FCount)];
  AnsiString().swap(Last.FString);
  Last.FObject = nullptr;
  Changed();
}

void TKStringList::ExchangeItems(int Index1, int Index2) {
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TKStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

bool TKStringList::Find(const AnsiString& S, int& Index) {
  return platform::FindSorted(
      FCount, FDuplicates, [&](int I) { return CompareItems(FList[static_cast<std::size_t>(I)].FString, S); },
      Index);
}

int TKStringList::IndexOf(const AnsiString& S) {
  if (!FSorted) return TKStrings::IndexOf(S);
  int Result;
  if (!Find(S, Result)) Result = -1;
  return Result;
}

void TKStringList::Insert(int Index, const AnsiString& S) {
  if (FSorted) Error(platform::msg::SortedListError, 0);
  if (Index < 0 || Index > FCount) Error(platform::msg::StringListIndexError, Index);
  InsertItem(Index, S);
}

void TKStringList::CheckMoveTarget(int NewIndex) {
  if (FSorted) Error(platform::msg::SortedListError, 0);
  TKStrings::CheckMoveTarget(NewIndex);
}

void TKStringList::QuickSort(int L, int R, const TKStringListSortCompare& Compare) {
  platform::QuickSortIndexes(
      L, R, [&](int a, int b) { return Compare(this, a, b); }, [&](int a, int b) { ExchangeItems(a, b); });
}

void TKStringList::Sort() {
  CustomSort([](TKStringList* List, int Index1, int Index2) {
    return CompareItems(List->FList[static_cast<std::size_t>(Index1)].FString,
                        List->FList[static_cast<std::size_t>(Index2)].FString);
  });
}

void TKStringList::CustomSort(TKStringListSortCompare Compare) {
  if (FSorted || FCount < 2) return;
  Changing();
  QuickSort(0, FCount - 1, Compare);
  Changed();
}

void TKStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}
