#include "platform/rtl/classes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/rtl/codepage.h"

namespace platform {

bool SameClassName(const char* a, const char* b) {
  if (!a || !b) return false;
  while (*a && *b) {
    if (AsciiLowerChar(*a) != AsciiLowerChar(*b)) return false;
    ++a;
    ++b;
  }
  return *a == *b;
}

namespace {

int GrowDelta(int capacity) {
  if (capacity > 64) return capacity / 4;
  if (capacity > 8) return 16;
  return 4;
}

}  // namespace

}  // namespace platform

// ---------------------------------------------------------------- TObject

TObject::~TObject() = default;

// ---------------------------------------------------------------- TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  const char* sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError(platform::msg::AssignError, {sourceName, ClassName()});
}

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell every component that asked for it; each answer may change the list.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) TList::Error(platform::msg::ListIndexError, Index);
  return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (FOwner == nullptr) return -1;
  const auto& list = FOwner->FComponents;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (FOwner == nullptr) return;
  auto& list = FOwner->FComponents;
  const int cur = ComponentIndex();
  if (cur < 0) return;
  const int count = static_cast<int>(list.size());
  if (Value < 0) Value = 0;
  if (Value >= count) Value = count - 1;
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

namespace {
bool IsValidIdent(const AnsiString& s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(s[0])) return false;
  for (char c : s)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}
}  // namespace

void TComponent::SetName(const AnsiString& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError(platform::msg::InvalidName, {NewName});
  if (FOwner != nullptr)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName) {
  if (AComponent != nullptr && !SameText(CurName, NewName) && !NewName.empty() &&
      FindComponent(NewName) != nullptr)
    throw EComponentError(platform::msg::DuplicateName, {NewName});
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState << csDesigning;
  else
    FComponentState >> csDesigning;
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  AComponent->FOwner = nullptr;
  const auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  ValidateRename(AComponent, AnsiString(), AComponent->FName);
  Insert(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    RemoveComponent(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState << csDestroying;
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (FOwner == nullptr || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  const auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
  if (FFreeNotifies.empty()) FComponentState >> csFreeNotification;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // The list may change while its members are told.
  for (std::size_t i = 0; i < FComponents.size(); ++i) {
    TComponent* c = FComponents[i];
    if (c != AComponent || Operation == opInsert) c->Notification(AComponent, Operation);
  }
}

void TComponent::Loaded() { FComponentState >> csLoading; }

// ---------------------------------------------------------------- TList

// The items go without notice: a derived list's Notify is gone by now.
TList::~TList() {
  std::vector<void*>().swap(FList);
  FCapacity = 0;
}

void TList::Error(const char* Msg, std::intptr_t Data) {
  throw EListError(Msg, {static_cast<std::int64_t>(Data)});
}

int TList::Add(void* Item) {
  const int index = Count();
  if (index == FCapacity) SetCapacity(FCapacity + platform::GrowDelta(FCapacity));
  FList.push_back(Item);
  if (Item != nullptr) Notify(Item, lnAdded);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error(platform::msg::ListIndexError, Index);
  if (Count() == FCapacity) SetCapacity(FCapacity + platform::GrowDelta(FCapacity));
  FList.insert(FList.begin() + Index, Item);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error(platform::msg::ListIndexError, Index);
  void* item = FList[static_cast<std::size_t>(Index)];
  FList.erase(FList.begin() + Index);
  if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  const int i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* Item) {
  const int i = IndexOf(Item);
  if (i < 0) return nullptr;
  FList.erase(FList.begin() + i);
  Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

int TList::IndexOf(void* Item) const {
  const auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) Error(platform::msg::ListIndexError, Index1);
  if (Index2 < 0 || Index2 >= Count()) Error(platform::msg::ListIndexError, Index2);
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= Count()) Error(platform::msg::ListIndexError, CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) Error(platform::msg::ListIndexError, NewIndex);
  void* item = FList[static_cast<std::size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Pack() {
  for (int i = Count() - 1; i >= 0; --i)
    if (FList[static_cast<std::size_t>(i)] == nullptr) FList.erase(FList.begin() + i);
}

void TList::Sort(TListSortCompare Compare) {
  if (Count() < 2 || Compare == nullptr) return;
  platform::QuickSortIndexes(
      0, Count() - 1,
      [&](int a, int b) {
        return Compare(FList[static_cast<std::size_t>(a)], FList[static_cast<std::size_t>(b)]);
      },
      [&](int a, int b) { std::swap(FList[static_cast<std::size_t>(a)], FList[static_cast<std::size_t>(b)]); });
}

void* TList::First() const { return Get(0); }
void* TList::Last() const { return Get(Count() - 1); }

TList* TList::Expand() {
  if (Count() == FCapacity) SetCapacity(FCapacity + platform::GrowDelta(FCapacity));
  return this;
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0) Error(platform::msg::ListCountError, NewCount);
  if (NewCount > FCapacity) SetCapacity(NewCount);
  if (NewCount > Count()) {
    FList.resize(static_cast<std::size_t>(NewCount), nullptr);
  } else {
    for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
  }
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error(platform::msg::ListCapacityError, NewCapacity);
  FCapacity = NewCapacity;
  if (NewCapacity == 0)
    std::vector<void*>().swap(FList);
  else
    FList.reserve(static_cast<std::size_t>(NewCapacity));
}

void* TList::Get(int Index) const {
  if (Index < 0 || Index >= Count()) Error(platform::msg::ListIndexError, Index);
  return FList[static_cast<std::size_t>(Index)];
}

void TList::Put(int Index, void* Item) {
  if (Index < 0 || Index >= Count()) Error(platform::msg::ListIndexError, Index);
  void* old = FList[static_cast<std::size_t>(Index)];
  if (old == Item) return;
  FList[static_cast<std::size_t>(Index)] = Item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------- TStream

void TStream::ReadBuffer(void* Buffer, int Count) {
  if (Count > 0 && Read(Buffer, Count) != Count) throw EReadError(platform::msg::ReadError);
}

void TStream::WriteBuffer(const void* Buffer, int Count) {
  if (Count > 0 && Write(Buffer, Count) != Count) throw EWriteError(platform::msg::WriteError);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const Int64 result = Count;
  std::vector<char> buf(static_cast<std::size_t>(std::min<Int64>(Count, 0xF000)));
  while (Count > 0) {
    const int n = static_cast<int>(std::min<Int64>(Count, static_cast<Int64>(buf.size())));
    Source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    Count -= n;
  }
  return result;
}

Int64 TStream::Size() {
  const Int64 pos = Seek(0, soCurrent);
  const Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) {}

// ---------------------------------------------------------------- THandleStream

int THandleStream::Read(void* Buffer, int Count) {
  if (Count <= 0) return 0;
  int total = 0;
  char* p = static_cast<char*>(Buffer);
  while (total < Count) {
    const ssize_t n = ::read(FHandle, p + total, static_cast<std::size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<int>(n);
  }
  return total;
}

int THandleStream::Write(const void* Buffer, int Count) {
  if (Count <= 0) return 0;
  int total = 0;
  const char* p = static_cast<const char*>(Buffer);
  while (total < Count) {
    const ssize_t n = ::write(FHandle, p + total, static_cast<std::size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<int>(n);
  }
  return total;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  return r < 0 ? -1 : static_cast<Int64>(r);
}

void THandleStream::SetSize(Int64 NewSize) {
  Seek(NewSize, soBeginning);
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) throw EWriteError(platform::msg::WriteError);
}

// ---------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const AnsiString& AFileName, Word Mode) : THandleStream(-1), FFileName(AFileName) {
  const std::string host = platform::HostPath(AFileName);
  if (Mode == fmCreate) {
    FHandle = platform::OpenRegularFile(host, O_RDWR | O_CREAT | O_TRUNC);
    if (FHandle < 0) throw EFCreateError(platform::msg::FCreateError, {AFileName, platform::ErrnoMessage(errno)});
    return;
  }
  int flags = 0;
  switch (Mode & 3) {
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: flags = O_RDONLY; break;
  }
  // Only a regular file: a FIFO or a device would make the open wait.
  FHandle = platform::OpenRegularFile(host, flags);
  int err = errno;
  if (FHandle >= 0) {
    // Share modes as advisory locks: denying others writing or reading.
    const Word share = Mode & 0xF0;
    int lock = 0;
    if (share == fmShareExclusive || share == fmShareDenyRead)
      lock = LOCK_EX;
    else if (share == fmShareDenyWrite)
      lock = (Mode & 3) == fmOpenRead ? LOCK_SH : LOCK_EX;
    if (lock != 0 && ::flock(FHandle, lock | LOCK_NB) != 0) {
      err = EWOULDBLOCK;
      ::close(FHandle);
      FHandle = -1;
    }
  }
  if (FHandle < 0) throw EFOpenError(platform::msg::FOpenError, {AFileName, platform::ErrnoMessage(err)});
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---------------------------------------------------------------- memory streams

int TCustomMemoryStream::Read(void* Buffer, int Count) {
  const Int64 size = static_cast<Int64>(FData.size());
  if (Count <= 0 || FPosition < 0 || FPosition >= size) return 0;
  const Int64 n = std::min<Int64>(Count, size - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return static_cast<int>(n);
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = static_cast<Int64>(FData.size()) + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<int>(FData.size()));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

int TMemoryStream::Write(const void* Buffer, int Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  const Int64 end = FPosition + Count;
  if (end > static_cast<Int64>(FData.size())) FData.resize(static_cast<std::size_t>(end));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  FData.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  std::vector<char>().swap(FData);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  const Int64 count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(FData.data(), static_cast<int>(count));
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

// ---------------------------------------------------------------- TStringStream

int TStringStream::Read(void* Buffer, int Count) {
  const Int64 size = static_cast<Int64>(FDataString.size());
  if (Count <= 0 || FPosition < 0 || FPosition >= size) return 0;
  const Int64 n = std::min<Int64>(Count, size - FPosition);
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return static_cast<int>(n);
}

int TStringStream::Write(const void* Buffer, int Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  const Int64 end = FPosition + Count;
  if (end > static_cast<Int64>(FDataString.size())) FDataString.resize(static_cast<std::size_t>(end));
  std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = static_cast<Int64>(FDataString.size()) + Offset; break;
  }
  return FPosition;
}

void TStringStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  FDataString.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

AnsiString TStringStream::ReadString(int Count) {
  AnsiString r(static_cast<std::size_t>(std::max(Count, 0)), '\0');
  r.resize(static_cast<std::size_t>(Read(r.data(), Count)));
  return r;
}

void TStringStream::WriteString(const AnsiString& AString) {
  Write(AString.data(), static_cast<int>(AString.size()));
}

// ---------------------------------------------------------------- TStrings

TStrings::~TStrings() = default;

void TStrings::Error(const char* Msg, std::intptr_t Data) {
  throw EStringListError(Msg, {static_cast<std::int64_t>(Data)});
}

void TStrings::Assign(TPersistent* Source) {
  if (Source != nullptr && Source->InheritsFrom("TStrings")) {
    TStrings* src = static_cast<TStrings*>(Source);
    BeginUpdate();
    try {
      Clear();
      FDelimiter = src->FDelimiter;
      FQuoteChar = src->FQuoteChar;
      FNameValueSeparator = src->FNameValueSeparator;
      FStrictDelimiter = src->FStrictDelimiter;
      AddStrings(src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

int TStrings::Add(const AnsiString& S) {
  const int result = GetCount();
  Insert(result, S);
  return result;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject) {
  const int result = Add(S);
  PutObject(result, AObject);
  return result;
}

void TStrings::AddStrings(TStrings* Strings) {
  BeginUpdate();
  try {
    const int n = Strings->GetCount();
    for (int i = 0; i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  try {
    const AnsiString s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  try {
    const AnsiString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    try {
      InsertObject(NewIndex, s, o);
    } catch (...) {
      // Put the item back where it was before the error goes on.
      try {
        InsertObject(CurIndex, s, o);
      } catch (...) {
      }
      throw;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::IndexOf(const AnsiString& S) {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) {
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    const AnsiString s = Get(i);
    const std::size_t p = s.find(FNameValueSeparator);
    if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(TStrings* Strings) {
  const int n = GetCount();
  if (n != Strings->GetCount()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

void TStrings::LoadFromStream(TStream* Stream) {
  BeginUpdate();
  try {
    const Int64 size = Stream->Size() - Stream->Position();
    AnsiString s(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
    s.resize(static_cast<std::size_t>(Stream->Read(s.data(), static_cast<int>(s.size()))));
    SetTextStr(s);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::SaveToFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

void TStrings::SaveToStream(TStream* Stream) {
  const AnsiString s = GetTextStr();
  Stream->WriteBuffer(s.data(), static_cast<int>(s.size()));
}

AnsiString TStrings::Names(int Index) {
  const AnsiString s = Get(Index);
  const std::size_t p = s.find(FNameValueSeparator);
  return p == std::string::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::Values(const AnsiString& Name) {
  const int i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : AnsiString();
}

void TStrings::SetValues(const AnsiString& Name, const AnsiString& Value) {
  int i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) i = Add(AnsiString());
    Put(i, Name + FNameValueSeparator + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

AnsiString TStrings::ValueFromIndex(int Index) {
  if (Index < 0) return AnsiString();
  const AnsiString s = Get(Index);
  const std::size_t p = s.find(FNameValueSeparator);
  return p == std::string::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const AnsiString& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(AnsiString());
    Put(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

AnsiString TStrings::CommaText() {
  const char d = FDelimiter, q = FQuoteChar;
  const bool strict = FStrictDelimiter;
  FDelimiter = ',';
  FQuoteChar = '"';
  FStrictDelimiter = false;
  AnsiString r;
  try {
    r = DelimitedText();
  } catch (...) {
    FDelimiter = d;
    FQuoteChar = q;
    FStrictDelimiter = strict;
    throw;
  }
  FDelimiter = d;
  FQuoteChar = q;
  FStrictDelimiter = strict;
  return r;
}

void TStrings::SetCommaText(const AnsiString& Value) {
  FDelimiter = ',';
  FQuoteChar = '"';
  SetDelimitedText(Value);
}

AnsiString TStrings::DelimitedText() {
  const int n = GetCount();
  if (n == 1 && Get(0).empty()) return AnsiString(2, FQuoteChar);
  AnsiString r;
  for (int i = 0; i < n; ++i) {
    AnsiString s = Get(i);
    bool quote = false;
    for (char c : s) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (c == FQuoteChar || c == FDelimiter || (!FStrictDelimiter && u <= ' ') || (FStrictDelimiter && u == 0)) {
        quote = true;
        break;
      }
    }
    if (quote) s = AnsiQuotedStr(s, FQuoteChar);
    if (i > 0) r += FDelimiter;
    r += s;
  }
  return r;
}

void TStrings::SetDelimitedText(const AnsiString& Value) {
  // The text ends at its first code 0, as a zero-terminated text does.
  const std::string_view v(Value.c_str());
  const std::size_t n = v.size();
  auto isSkip = [&](std::size_t i) {
    if (i >= n) return false;
    const unsigned char u = static_cast<unsigned char>(v[i]);
    return FStrictDelimiter ? false : (u >= 1 && u <= ' ');
  };
  BeginUpdate();
  try {
    Clear();
    std::size_t p = 0;
    while (isSkip(p)) ++p;
    while (p < n) {
      AnsiString item;
      if (v[p] == FQuoteChar) {
        item = AnsiExtractQuotedStr(Value, p, FQuoteChar);
      } else {
        const std::size_t start = p;
        if (FStrictDelimiter) {
          while (p < n && v[p] != FDelimiter) ++p;
        } else {
          while (p<n&& static_cast<unsigned char>(v[p])> ' ' && v[p] != FDelimiter) ++p;
        }
        item.assign(v.substr(start, p - start));
      }
      Add(item);
      while (isSkip(p)) ++p;
      if (p < n && v[p] == FDelimiter) {
        if (p + 1 >= n) Add(AnsiString());
        do {
          ++p;
        } while (isSkip(p));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TObject* TStrings::GetObject(int) { return nullptr; }

void TStrings::Put(int Index, const AnsiString& S) {
  TObject* o = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, o);
}

void TStrings::PutObject(int, TObject*) {}
int TStrings::GetCapacity() { return GetCount(); }
void TStrings::SetCapacity(int) {}

AnsiString TStrings::GetTextStr() {
  const int n = GetCount();
  std::size_t total = 0;
  for (int i = 0; i < n; ++i) total += Get(i).size() + 2;
  AnsiString r;
  r.reserve(total);
  for (int i = 0; i < n; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetTextStr(const AnsiString& Value) {
  const std::string_view v(Value.c_str());
  BeginUpdate();
  try {
    Clear();
    std::size_t p = 0;
    const std::size_t n = v.size();
    while (p < n) {
      const std::size_t start = p;
      while (p < n && v[p] != '\r' && v[p] != '\n') ++p;
      Add(AnsiString(v.substr(start, p - start)));
      if (p < n && v[p] == '\r') ++p;
      if (p < n && v[p] == '\n') ++p;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) { return AnsiCompareText(S1, S2); }

// ---------------------------------------------------------------- TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (TStringItem& item : FList) delete item.FObject;
  FList.clear();
}

void TStringList::CheckIndex(int Index, bool AllowCount) {
  const int count = static_cast<int>(FList.size());
  if (Index < 0 || Index > count || (Index == count && !AllowCount)) Error(platform::msg::ListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::Add(const AnsiString& S) {
  int index;
  if (!FSorted) {
    index = static_cast<int>(FList.size());
  } else if (Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: Error(platform::msg::DuplicateString, 0);
      case dupAccept: break;
    }
  }
  InsertItem(index, S, nullptr);
  return index;
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> old;
  old.swap(FList);
  SetCapacity(0);
  if (FOwnsObjects)
    for (TStringItem& item : old) delete item.FObject;
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* o = FList[static_cast<std::size_t>(Index)].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete o;
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

bool TStringList::Find(const AnsiString& S, int& Index) {
  return platform::FindSorted(
      static_cast<int>(FList.size()), FDuplicates,
      [&](int I) { return CompareStrings(FList[static_cast<std::size_t>(I)].FString, S); }, Index);
}

int TStringList::IndexOf(const AnsiString& S) {
  if (!FSorted) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

void TStringList::Insert(int Index, const AnsiString& S) {
  if (FSorted) Error(platform::msg::SortedListError, 0);
  CheckIndex(Index, true);
  InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject) {
  Changing();
  if (static_cast<int>(FList.size()) == FCapacity) SetCapacity(FCapacity + platform::GrowDelta(FCapacity));
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* List, int Index1, int Index2) {
    return List->CompareStrings(List->FList[static_cast<std::size_t>(Index1)].FString,
                                List->FList[static_cast<std::size_t>(Index2)].FString);
  });
}

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (FSorted || FList.size() < 2 || Compare == nullptr) return;
  Changing();
  QuickSort(0, static_cast<int>(FList.size()) - 1, Compare);
  Changed();
}

void TStringList::QuickSort(int L, int R, TStringListSortCompare Compare) {
  platform::QuickSortIndexes(
      L, R, [&](int a, int b) { return Compare(this, a, b); }, [&](int a, int b) { ExchangeItems(a, b); });
}

AnsiString TStringList::Get(int Index) {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FString;
}

int TStringList::GetCount() { return static_cast<int>(FList.size()); }

TObject* TStringList::GetObject(int Index) {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const AnsiString& S) {
  if (FSorted) Error(platform::msg::SortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FObject = AObject;
  Changed();
}

int TStringList::GetCapacity() { return FCapacity; }

void TStringList::SetCapacity(int NewCapacity) {
  // Never below the items held.
  if (NewCapacity < static_cast<int>(FList.size())) NewCapacity = static_cast<int>(FList.size());
  FCapacity = NewCapacity;
  if (NewCapacity == 0)
    std::vector<TStringItem>().swap(FList);
  else
    FList.reserve(static_cast<std::size_t>(NewCapacity));
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    FSorted = false;
    Sort();
    FSorted = true;
  }
}

int TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}
