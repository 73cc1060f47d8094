// Objects, components, lists, string lists and streams of the class library.
//
// Class names: every class of the layer states its class-library name with
// ZEL_CLASS(Name, Base) at the top of its body; that gives ClassName(),
// ClassParentName() and the chain that InheritsFrom("TComponent") walks
// (names compared without regard to case).  The macro leaves the class body
// in private access, so write an access specifier after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

#define ZEL_CLASS(Name, Base)                                                              \
public:                                                                                    \
  const char* ClassName() const override { return #Name; }                                 \
  bool InheritsFrom(const char* AClassName) const override {                               \
    return ::platform::SameClassName(#Name, AClassName) || Base::InheritsFrom(AClassName); \
  }                                                                                        \
  const char* ClassParentName() const override { return Base::ClassName(); }               \
                                                                                           \
private:

namespace platform {
bool SameClassName(const char* a, const char* b);  // ASCII case ignored
}

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  virtual const char* ClassName() const { return "TObject"; }
  // The class name of the base class; nullptr for TObject.
  virtual const char* ClassParentName() const { return nullptr; }
  // True when this object's class or one of its bases has the name.
  virtual bool InheritsFrom(const char* AClassName) const {
    return platform::SameClassName("TObject", AClassName);
  }
  bool ClassNameIs(const char* AName) const { return platform::SameClassName(ClassName(), AName); }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// ---------------------------------------------------------------- TPersistent

class TPersistent : public TObject {
  ZEL_CLASS(TPersistent, TObject)
public:
  // Copies Source into this object; the default hands it to Source->AssignTo,
  // which raises EConvertError "%s kann nicht zu %s zugewiesen werden"
  // (source class, or "nil", then this class) unless it knows this class.
  virtual void Assign(TPersistent* Source);

protected:
  virtual void AssignTo(TPersistent* Dest);
  // Raises the conversion error for assigning Source to this object.
  [[noreturn]] void AssignError(TPersistent* Source);
};

// ---------------------------------------------------------------- TComponent

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = Set<TComponentStateItem, csLoading, csDesignInstance>;

enum TOperation { opInsert, opRemove };

// A component belongs to its Owner, which frees it in its own destructor.
// Destruction order: Destroying() (csDestroying on this component and those
// it owns; a derived destructor may call it first), every component that
// asked for FreeNotification gets Notification(this, opRemove), the owned
// components are freed (last first), then the owner and its components are
// told opRemove.  Insertion tells the owner and its components opInsert.
class TComponent : public TPersistent {
  ZEL_CLASS(TComponent, TPersistent)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError for an index out of range.
  TComponent* Components(int Index) const;
  // Position in the owner's list, -1 without owner.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);

  const AnsiString& Name() const { return FName; }
  // A name is empty or an identifier (letters, digits, '_', no digit first)
  // and unique among the owner's components without regard to case;
  // otherwise EComponentError.
  virtual void SetName(const AnsiString& NewName);
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t Value) { FTag = Value; }

  // The owned component of that name (case ignored), or nullptr.
  TComponent* FindComponent(const AnsiString& AName) const;

  TComponentState ComponentState() const { return FComponentState; }
  // For readers and designers: set or clear state flags directly.
  void SetComponentState(TComponentState Value) { FComponentState = Value; }
  void IncludeState(TComponentStateItem Item) { FComponentState << Item; }
  void ExcludeState(TComponentStateItem Item) { FComponentState >> Item; }
  void SetDesigning(bool Value, bool SetChildren = true);

  void InsertComponent(TComponent* AComponent);  // takes ownership
  void RemoveComponent(TComponent* AComponent);  // gives it back (no free)
  void DestroyComponents();                      // frees all owned components
  void Destroying();

  // AComponent's Notification(this, opRemove) runs when this component goes.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Told of every insertion and removal of a component into the owner, and
  // of the end of components this one asked FreeNotification of.  The base
  // forgets a removed component's free notification and passes the call on to
  // every owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called by the window-description reader once every component is read;
  // the base clears csLoading.
  virtual void Loaded();

protected:
  virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
  // Changes the name without the tests of SetName.
  void ChangeName(const AnsiString& NewName) { FName = NewName; }

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  AnsiString FName;
  std::intptr_t FTag = 0;
  TComponentState FComponentState;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

// ---------------------------------------------------------------- TList

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
using TListSortCompare = int (*)(void* Item1, void* Item2);

// A list of pointers; index errors raise EListError
// "Listenindex überschreitet das Maximum (%d)" with the index.
class TList : public TObject {
  ZEL_CLASS(TList, TObject)
public:
  TList() = default;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);  // index it had, or -1
  void* Extract(void* Item);
  void Clear();
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  void Pack();  // removes nullptr items
  void Sort(TListSortCompare Compare);
  void* First() const;
  void* Last() const;
  TList* Expand();

  int Count() const { return static_cast<int>(FList.size()); }
  void SetCount(int NewCount);
  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const { return Get(Index); }
  void SetItems(int Index, void* Item) { Put(Index, Item); }
  void* Get(int Index) const;
  void Put(int Index, void* Item);
  void* operator[](int Index) const { return Get(Index); }
  // The items themselves, in order.
  void** List() { return FList.data(); }

  [[noreturn]] static void Error(const char* Msg, std::intptr_t Data);

protected:
  virtual void Notify(void* Ptr, TListNotification Action);

private:
  std::vector<void*> FList;
  int FCapacity = 0;
};

// ---------------------------------------------------------------- streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

constexpr Word fmCreate = 0xFFFF;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  ZEL_CLASS(TStream, TObject)
public:
  // Bytes actually read or written.
  virtual int Read(void* Buffer, int Count) = 0;
  virtual int Write(const void* Buffer, int Count) = 0;
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

  // All Count bytes or EReadError "Stream-Lesefehler".
  void ReadBuffer(void* Buffer, int Count);
  // All Count bytes or EWriteError "Stream-Schreibfehler".
  void WriteBuffer(const void* Buffer, int Count);
  // Count 0 copies from the start of Source to its end.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
  virtual Int64 Size();
  virtual void SetSize(Int64 NewSize);
};

// A stream over a POSIX file descriptor (not owned).
class THandleStream : public TStream {
  ZEL_CLASS(THandleStream, TStream)
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;
  int Handle() const { return FHandle; }

protected:
  int FHandle = -1;
};

// Mode fmCreate creates (or empties) the file, otherwise fmOpenRead,
// fmOpenWrite or fmOpenReadWrite open an existing one, combined with a share
// mode.  Failing raises EFCreateError "Datei %s kann nicht erstellt werden. %s"
// or EFOpenError "Datei %s kann nicht geöffnet werden. %s" with the name and
// the system's reason.  The name goes through platform::HostPath.
class TFileStream : public THandleStream {
  ZEL_CLASS(TFileStream, THandleStream)
public:
  TFileStream(const AnsiString& AFileName, Word Mode);
  ~TFileStream() override;
  const AnsiString& FileName() const { return FFileName; }

private:
  AnsiString FFileName;
};

class TCustomMemoryStream : public TStream {
  ZEL_CLASS(TCustomMemoryStream, TStream)
public:
  int Read(void* Buffer, int Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SaveToStream(TStream* Stream);
  void SaveToFile(const AnsiString& FileName);
  void* Memory() { return FData.data(); }
  Int64 Size() override { return static_cast<Int64>(FData.size()); }

protected:
  std::vector<char> FData;
  Int64 FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  ZEL_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  int Write(const void* Buffer, int Count) override;
  void SetSize(Int64 NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const AnsiString& FileName);
};

class TStringStream : public TStream {
  ZEL_CLASS(TStringStream, TStream)
public:
  explicit TStringStream(const AnsiString& AString = AnsiString()) : FDataString(AString) {}
  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;
  AnsiString ReadString(int Count);
  void WriteString(const AnsiString& AString);
  const AnsiString& DataString() const { return FDataString; }

private:
  AnsiString FDataString;
  Int64 FPosition = 0;
};

// ---------------------------------------------------------------- TStrings

enum TDuplicates { dupIgnore, dupAccept, dupError };

namespace platform {

// Brackets a string list's changes in BeginUpdate and EndUpdate; EndUpdate
// runs when the bracket's scope ends, also on an exception.
template <class List>
class UpdateBracket {
public:
  explicit UpdateBracket(List* AList) : FList(AList) { FList->BeginUpdate(); }
  ~UpdateBracket() { FList->EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  List* FList;
};

// The binary search of the sorted string lists over Count items:
// CompareAt(I) compares item I with the text searched for.  True when an
// equal item exists; Index is the first equal item (Duplicates other than
// dupAccept) or where the text goes.
template <class Compare>
bool FindSorted(int Count, TDuplicates Duplicates, Compare&& CompareAt, int& Index) {
  bool found = false;
  int L = 0, H = Count - 1;
  while (L <= H) {
    const int I = (L + H) / 2;
    const int C = CompareAt(I);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) {
        found = true;
        if (Duplicates != dupAccept) L = I;
      }
    }
  }
  Index = L;
  return found;
}

// The quick sort of the class library's lists (not stable): compare(i, j)
// and swap(i, j) on indexes; the pivot index follows its item when swapped.
template <class Compare, class Swap>
void QuickSortIndexes(int L, int R, Compare compare, Swap swap) {
  int I;
  do {
    I = L;
    int J = R;
    int P = (L + R) / 2;
    do {
      while (compare(I, P) < 0) ++I;
      while (compare(J, P) > 0) --J;
      if (I <= J) {
        if (I != J) swap(I, J);
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSortIndexes(L, J, compare, swap);
    L = I;
  } while (I < R);
}

}  // namespace platform

// The abstract string list.  Texts are compared with AnsiCompareText (the
// fixed locale, case ignored).  Comma and delimited text: reading quotes an
// item (with QuoteChar, inner quotes doubled) when it contains a character
// up to blank, the quote or the delimiter; a single empty item reads as "".
// Writing splits at the delimiter and at blanks and control characters
// (unless StrictDelimiter), takes quoted items, and a delimiter at the end
// adds an empty item.  Text: every item followed by CR LF; reading ends a
// line at CR LF, LF or CR.
class TStrings : public TPersistent {
  ZEL_CLASS(TStrings, TPersistent)
public:
  TStrings() = default;
  ~TStrings() override;

  void Assign(TPersistent* Source) override;

  virtual int Add(const AnsiString& S);
  virtual int AddObject(const AnsiString& S, TObject* AObject);
  void Append(const AnsiString& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  virtual void Insert(int Index, const AnsiString& S) = 0;
  void InsertObject(int Index, const AnsiString& S, TObject* AObject);
  virtual void Move(int CurIndex, int NewIndex);
  virtual int IndexOf(const AnsiString& S);
  int IndexOfName(const AnsiString& Name);
  int IndexOfObject(TObject* AObject);
  bool Equals(TStrings* Strings);
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToFile(const AnsiString& FileName);
  virtual void SaveToStream(TStream* Stream);

  int Count() { return GetCount(); }
  AnsiString Strings(int Index) { return Get(Index); }
  void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
  AnsiString operator[](int Index) { return Get(Index); }
  TObject* Objects(int Index) { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  int Capacity() { return GetCapacity(); }

  // name=value lines (NameValueSeparator, "=" by default).
  AnsiString Names(int Index);
  AnsiString Values(const AnsiString& Name);
  // An empty value deletes the line; a new name is added.
  void SetValues(const AnsiString& Name, const AnsiString& Value);
  AnsiString ValueFromIndex(int Index);
  void SetValueFromIndex(int Index, const AnsiString& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

  AnsiString Text() { return GetTextStr(); }
  void SetText(const AnsiString& Value) { SetTextStr(Value); }
  AnsiString CommaText();
  void SetCommaText(const AnsiString& Value);
  AnsiString DelimitedText();
  void SetDelimitedText(const AnsiString& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  virtual AnsiString Get(int Index) = 0;
  virtual int GetCount() = 0;
  virtual TObject* GetObject(int Index);
  virtual void Put(int Index, const AnsiString& S);
  virtual void PutObject(int Index, TObject* AObject);
  virtual int GetCapacity();
  virtual void SetCapacity(int NewCapacity);
  virtual AnsiString GetTextStr();
  virtual void SetTextStr(const AnsiString& Value);

protected:
  virtual void SetUpdateState(bool Updating);
  // Compares two items; the base uses AnsiCompareText.
  virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2);
  [[noreturn]] void Error(const char* Msg, std::intptr_t Data);

private:
  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
};

class TStringList;
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

// The array-backed string list.  Sorted keeps the items in the order of
// AnsiCompareText (setting it sorts); Duplicates applies to a sorted list
// (dupError raises EStringListError "In der Stringliste sind Duplikate nicht
// erlaubt"); Insert and Put on a sorted list raise "Operation bei sortierten
// Stringlisten nicht erlaubt"; index errors raise EStringListError
// "Listenindex überschreitet das Maximum (%d)".  With OwnsObjects the list
// frees its items' objects when they are deleted.
class TStringList : public TStrings {
  ZEL_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  int Add(const AnsiString& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  // Bisection on a sorted list; Index is the item found (the first of equal
  // items with dupAccept) or where S belongs.
  virtual bool Find(const AnsiString& S, int& Index);
  int IndexOf(const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare Compare);

  AnsiString Get(int Index) override;
  int GetCount() override;
  TObject* GetObject(int Index) override;
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCapacity() override;
  void SetCapacity(int NewCapacity) override;

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const AnsiString& S1, const AnsiString& S2) override;
  void InsertItem(int Index, const AnsiString& S, TObject* AObject);

private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index, bool AllowCount = false);
  void QuickSort(int L, int R, TStringListSortCompare Compare);
  void ExchangeItems(int Index1, int Index2);

  std::vector<TStringItem> FList;
  int FCapacity = 0;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TDuplicates FDuplicates = dupIgnore;
};
