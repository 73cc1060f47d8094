// The object list that the KCSV tables are built on.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/classes.h"

// A list of pointer-sized entries.  With OwnsObjects (the default) the
// entries are objects that Clear frees.
//
// The entries are kept in blocks of fixed size, so that a list that grows to
// millions of entries (the rows of a large answer) is never copied.
class TKList : public TObject {
  ZEL_CLASS(TKList, TObject)
public:
  TKList() = default;
  ~TKList() override;

  // Frees every item when OwnsObjects, then empties the list.
  virtual void Clear();

  Integer Count() const { return FCount; }
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  Integer Add(void* Item) {
    const auto Block = static_cast<std::size_t>(FCount >> BlockBits);
    if (Block == FBlocks.size()) FBlocks.push_back(std::make_unique_for_overwrite<void*[]>(BlockSize));
    FBlocks[Block][static_cast<std::size_t>(FCount & BlockMask)] = Item;
    return FCount++;
  }
  // Index errors raise EListError "Listenindex überschreitet das Maximum (%d)".
  void* Get(Integer Index) const {
    if (Index < 0 || Index >= FCount) IndexError(Index);
    return FBlocks[static_cast<std::size_t>(Index >> BlockBits)][static_cast<std::size_t>(Index & BlockMask)];
  }

protected:
  // EListError "Listenindex überschreitet das Maximum (Index)".
  [[noreturn]] static void IndexError(Integer Index);

private:
  static constexpr Integer BlockBits = 13;
  static constexpr Integer BlockSize = Integer{1} << BlockBits;
  static constexpr Integer BlockMask = BlockSize - 1;

  bool FOwnsObjects = true;
  Integer FCount = 0;
  std::vector<std::unique_ptr<void*[]>> FBlocks;
};
