#include "foundation/klist.h"

TKList::TKList() : FItems(std::make_unique<TList>()) {}

TKList::~TKList() { Clear(); }

void TKList::Clear() {
  const Integer N = FItems->Count();
  void** List = FItems->List();
  for (Integer i = 0; i < N; ++i) {
    void* Item = List[i];
    List[i] = nullptr;
    if (FOwnsObjects) delete static_cast<TObject*>(Item);
  }
  // A fresh list rather than deleting the entries one by one.
  FItems = std::make_unique<TList>();
}
