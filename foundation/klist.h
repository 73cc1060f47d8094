// The object list that the KCSV tables are built on.
#pragma once

#include <memory>

#include "platform/rtl/classes.h"

// A list of pointer-sized entries.  With OwnsObjects (the default) the
// entries are objects that Clear frees.
class TKList : public TObject {
  ZEL_CLASS(TKList, TObject)
public:
  TKList();
  ~TKList() override;

  // Frees every item when OwnsObjects, then empties the list.
  virtual void Clear();

  Integer Count() const { return FItems->Count(); }
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // The entries themselves; index errors raise EListError.
  TList* Items() const { return FItems.get(); }
  Integer Add(void* Item) { return FItems->Add(Item); }
  void* Get(Integer Index) const { return FItems->Get(Index); }

private:
  bool FOwnsObjects = true;
  std::unique_ptr<TList> FItems;
};
