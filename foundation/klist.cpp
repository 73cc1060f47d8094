#include "foundation/klist.h"

TKList::~TKList() { TKList::Clear(); }

void TKList::Clear() {
  if (FOwnsObjects) {
    for (Integer I = 0; I < FCount; ++I) {
      void*& Item = FBlocks[static_cast<std::size_t>(I >> BlockBits)][static_cast<std::size_t>(I & BlockMask)];
      void* Object = Item;
      Item = nullptr;
      delete static_cast<TObject*>(Object);
    }
  }
  FBlocks.clear();
  FCount = 0;
}

void TKList::IndexError(Integer Index) { throw EListError(Format(platform::msg::ListIndexError, {Index})); }
