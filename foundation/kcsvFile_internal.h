// What the sources of the KCSV reader share: the memory of its large arrays
// and the row table, the line scan (kcsvFile_scan.cpp) and the private parts
// of a table (kcsvFile.cpp, with the KCSV rules and the field walk).  Only
// those sources, and tests of the reader's internals, include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <unordered_map>
#include <vector>

#include "foundation/kcsvFile.h"

// Memory for the large arrays of the reader (row tables, converted texts):
// 2 MiB and more are fresh zero pages from VirtualAlloc (which come in
// large pages, one fault for many rows), less comes from the heap.
struct TKBulkMemory {
  static void* Allocate(std::size_t Bytes);
  static void Release(void* P, std::size_t Bytes);
};
template <class T>
struct TKRowAllocator {
  using value_type = T;
  TKRowAllocator() = default;
  template <class U>
  TKRowAllocator(const TKRowAllocator<U>&) {}
  T* allocate(std::size_t N) {
    if (N > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(TKBulkMemory::Allocate(N * sizeof(T)));
  }
  void deallocate(T* P, std::size_t N) { TKBulkMemory::Release(P, N * sizeof(T)); }
  template <class U>
  bool operator==(const TKRowAllocator<U>&) const {
    return true;
  }
};
// The start offsets of rows.
struct TKRowTable : std::vector<std::uint32_t, TKRowAllocator<std::uint32_t>> {};

namespace kcsv {

// A byte as the unsigned value it is compared as.
inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

// The scan looks at the text 64 bytes at a time: per block one bit for each
// byte that is a control byte (below 0x20) and one for each byte above the
// blank, so that a line costs a few bit operations however long it is.  The
// split of a plain row takes its blocks of the same size.
constexpr std::size_t BlockBytes = 64;

}  // namespace kcsv

// The line being read by the scan.
struct TKcsvFile::TScanLine {
  std::size_t Base = 0;  // offset of the first byte of the present chunk
  bool InLine = false;
  std::size_t Start = 0;
  std::size_t Bytes = 0;
  char First = 0;
  int Keep = 0;  // 0: nothing of the text, 1: all of it, 2: its first ten bytes
  AnsiString Text;
};

// The line scan: the bytes of the source are handed to it in order, in one
// piece or in chunks; the data rows it finds go to the reader's current
// table in batches, every other line to the reader's rules (EndLine).
class TKcsvFile::TScan {
public:
  explicit TScan(TKcsvFile& Reader) : FReader(Reader) {}
  // The scan of N bytes of the source, which go on from where the bytes
  // before left off.
  void ScanBytes(const char* P, std::size_t N);
  // The source ends: so does a line still open.
  void End();

private:
  void ScanBytesAvx2(const char* P, std::size_t N, TScanLine& L);
  template <class TMasks>
  void ScanBlocks(const char* P, std::size_t N, TScanLine& L);
  static void KeepText(TScanLine& L, const char* P, std::size_t N);

  TKcsvFile& FReader;
  TScanLine FLine;
};

// The private parts of a table: its rows, in the reader's row table or its
// own, and the names asked of FieldByName as they were spelled, in the
// order they were first asked (the ring FExpectedName goes round), with
// where each stands among them.
struct TKTable::TImpl {
  TKRowTable OwnRows;
  TKRowTable* Rows = &OwnRows;
  std::size_t RowFirst = 0;  // this table's first entry in *Rows
  static constexpr std::size_t MaxNamesAsked = 1024;
  std::vector<TNameAsked> NamesAsked;
  std::unordered_map<AnsiString, std::size_t> AskedAt;
};
