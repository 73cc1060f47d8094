// Room for the long texts and byte arrays of a reply: taken once for the
// rest of the reply; a large one that must move gives its old pages back
// as it is copied.
#include "platform/soap/soap_internal.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace platform::soap {

namespace {

// A text below this many characters (a byte array below this many bytes)
// grows as strings do.
constexpr std::size_t ReserveFrom = 4096;

// Gives the whole pages in [Data, Data + Size) back to the system; they
// read as zeros afterwards.
void ReleasePages(const void* Data, std::size_t Size) {
  static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(Data) + page - 1) / page * page;
  std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(Data) + Size) / page * page;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

// Moves Out into a block of Room elements.  A large one is copied a slice at
// a time, and the pages of the old block that are copied are given back at
// once: growing never holds a large text twice.
template <class TOut>
void Regrow(TOut& Out, std::size_t Room) {
  using TElement = typename TOut::value_type;
  constexpr std::size_t Slice = (std::size_t(1) << 20) / sizeof(TElement);
  if (Out.size() < 8 * Slice) {
    Out.reserve(Room);
    return;
  }
  TOut grown;
  grown.reserve(Room);
  for (std::size_t at = 0; at < Out.size(); at += Slice) {
    const std::size_t n = std::min(Slice, Out.size() - at);
    grown.insert(grown.end(), Out.data() + at, Out.data() + at + n);
    ReleasePages(Out.data() + at, n * sizeof(TElement));
  }
  Out.swap(grown);
}

}  // namespace

template <class TOut>
void MakeRoom(TOut& Out, std::size_t Need, std::int64_t Rest, bool& Reserved) {
  const std::size_t size = Out.size();
  if (size + Need <= Out.capacity()) return;
  if (!Reserved && Rest >= 0 && size + Need >= ReserveFrom) {
    Reserved = true;
    Regrow(Out, size + std::max(Need, static_cast<std::size_t>(Rest)));
  } else {
    Regrow(Out, std::max(size + Need, 2 * Out.capacity()));
  }
}

template <class TOut>
void Settle(TOut& Out) {
  if (Out.capacity() > 2 * Out.size() + ReserveFrom) Out.shrink_to_fit();
}

template void MakeRoom(WideString&, std::size_t, std::int64_t, bool&);
template void MakeRoom(TByteDynArray&, std::size_t, std::int64_t, bool&);
template void Settle(WideString&);
template void Settle(TByteDynArray&);

}  // namespace platform::soap
