// The toolkit's own string list: TKStrings, an abstract ordered list of
// 8-bit strings each carrying an object reference, and TKStringList, its
// array-backed implementation.
//
// Items are compared without regard to case in the user's locale
// (CompareStringA).  A sorted list keeps that order, searches by bisection
// and applies its duplicates rule.  Update brackets nest; OnChanging fires
// before and OnChange after a change, only outside a bracket.  The list
// never owns the objects attached to its items.
//
// Delimited text differs from the class library's string list: blanks stay
// inside items, only control characters and the delimiter separate items,
// a double quote opens a quoted item (doubled quotes inside), and a
// delimiter at the very end makes no empty item.  Nothing joins the items
// back into such a text.
//
// Failures raise EStringListError with one of three messages: duplicates
// not allowed, index out of range (with the index), operation not allowed
// on a sorted list.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

class TKStrings : public TPersistent {
  ZEL_CLASS(TKStrings, TPersistent)
public:
  TKStrings() = default;
  ~TKStrings() override;

  // From another TKStrings: in one bracket, Clear, the delimiter as stored,
  // then every item with its object.  Anything else goes to TPersistent.
  void Assign(TPersistent* Source) override;

  virtual AnsiString Get(int Index) = 0;
  virtual int GetCapacity();
  virtual int GetCount() = 0;
  virtual TObject* GetObject(int Index);
  // Every item followed by CR LF.
  virtual AnsiString GetTextStr();
  virtual void Put(int Index, const AnsiString& S);
  virtual void PutObject(int Index, TObject* AObject);
  virtual void SetCapacity(int NewCapacity);
  // Replaces the items by the lines of Value (CR LF, LF or CR end a line;
  // the text ends at its first NUL).
  virtual void SetTextStr(const AnsiString& Value);

  virtual int Add(const AnsiString& S);
  virtual int AddObject(const AnsiString& S, TObject* AObject);
  virtual void AddStrings(TKStrings* Strings);
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  // A zero-terminated copy of the text.
  virtual std::unique_ptr<char[]> GetText();
  virtual int IndexOf(const AnsiString& S);
  virtual void Insert(int Index, const AnsiString& S) = 0;
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void LoadFromStream(TStream* Stream);
  // NewIndex counts in the list without the moved item (0 to Count - 1).
  virtual void Move(int CurIndex, int NewIndex);
  virtual void SaveToFile(const AnsiString& FileName);
  virtual void SaveStream(TStream* Stream);
  virtual void SetText(const char* Text);

  void BeginUpdate();
  void EndUpdate();
  void InsertObject(int Index, const AnsiString& S, TObject* AObject);

  // Reads "," (and stores it) while no delimiter was set.
  char Delimiter();
  char GetDelimiter() { return Delimiter(); }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  void SetDelimitedText(const AnsiString& Value);
  // Delimiter := ",", then SetDelimitedText.
  void SetCommaText(const AnsiString& Value);

  int Count() { return GetCount(); }
  int Capacity() { return GetCapacity(); }
  AnsiString Strings(int Index) { return Get(Index); }
  void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
  AnsiString operator[](int Index) { return Get(Index); }
  TObject* Objects(int Index) { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  AnsiString Text() { return GetTextStr(); }
  int UpdateCount() const { return FUpdateCount; }

protected:
  virtual void SetUpdateState(bool Updating);
  // Called by Move before the item is taken out, so that a move that cannot
  // be carried out leaves the list as it was.  Tests 0 <= NewIndex < Count.
  virtual void CheckMoveTarget(int NewIndex);
  // Raises EStringListError with the message, formatted with Data where it
  // holds "%d".
  [[noreturn]] static void Error(const char* Msg, int Data);
  // The item comparison: negative, 0 or positive, case ignored.
  static int CompareItems(const AnsiString& S1, const AnsiString& S2);

private:
  char FDelimiter = 0;
  int FUpdateCount = 0;
};

class TKStringList;
// Compares the items at two indexes of List: negative, 0 or positive.
using TKStringListSortCompare = std::function<int(TKStringList* List, int Index1, int Index2)>;

class TKStringList : public TKStrings {
  ZEL_CLASS(TKStringList, TKStrings)
public:
  TKStringList() = default;
  ~TKStringList() override;

  AnsiString Get(int Index) override;
  int GetCapacity() override;
  int GetCount() override;
  TObject* GetObject(int Index) override;
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  // Refuses (EStringListError, index message) a capacity below Count.
  void SetCapacity(int NewCapacity) override;

  int Add(const AnsiString& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;

  // Bisection: true on a hit; Index is the item found (with dupAccept the
  // first of equal items) or where S belongs.  Meaningful on a sorted list.
  virtual bool Find(const AnsiString& S, int& Index);
  // Quick sort (not stable), only while not Sorted and with two items or more.
  virtual void Sort();
  virtual void CustomSort(TKStringListSortCompare Compare);

  bool Sorted() const { return FSorted; }
  // Setting it sorts the items first, so the order holds from then on.
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  void CheckMoveTarget(int NewIndex) override;

private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index);
  void Grow();
  void InsertItem(int Index, const AnsiString& S);
  void QuickSort(int L, int R, const TKStringListSortCompare& Compare);
  void ExchangeItems(int Index1, int Index2);

  std::vector<TStringItem> FList;  // FCapacity slots, FCount in use
  int FCount = 0;
  int FCapacity = 0;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};
