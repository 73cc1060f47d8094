// The line scan of the KCSV reader: the lines of the source found 64 bytes
// at a time from bit masks, data rows handed to their table in batches.
#include "foundation/kcsvFile_internal.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

using kcsv::BlockBytes;
using kcsv::U;

namespace {

// The bits of the 64 bytes at Q, with the SSE2 instructions of every x86-64
// processor (or byte by byte elsewhere).
struct TMasksSse2 {
  static void Load(const char* Q, std::uint64_t& Controls, std::uint64_t& Above) {
#if defined(__SSE2__)
    const __m128i Below = _mm_set1_epi8(0x1F);
    const __m128i Blank = _mm_set1_epi8(0x20);
    std::uint64_t C = 0, G = 0;
    for (int K = 0; K < 4; ++K) {
      const __m128i X = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Q + 16 * static_cast<std::ptrdiff_t>(K)));
      C |= static_cast<std::uint64_t>(
               static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(X, Below), X))))
           << (16 * K);
      G |= static_cast<std::uint64_t>(
               static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(X, Blank), X))))
           << (16 * K);
    }
    Controls = C;
    Above = ~G;
#else
    Controls = Above = 0;
    for (std::size_t K = 0; K < BlockBytes; ++K) {
      Controls |= static_cast<std::uint64_t>(U(Q[K]) < 0x20) << K;
      Above |= static_cast<std::uint64_t>(U(Q[K]) > 0x20) << K;
    }
#endif
  }
};

#if defined(__x86_64__) && defined(__GNUC__)
#define KCSV_HAVE_AVX2 1
// The same with AVX2, for the processors that have it.
struct TMasksAvx2 {
  __attribute__((target("avx2"))) static void Load(const char* Q, std::uint64_t& Controls, std::uint64_t& Above) {
    const __m256i Below = _mm256_set1_epi8(0x1F);
    const __m256i Blank = _mm256_set1_epi8(0x20);
    const __m256i X = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Q));
    const __m256i Y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Q + 32));
    auto Bits = [](__m256i A, __m256i B) __attribute__((target("avx2"))) {
      return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(A))) |
             static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(B))) << 32;
    };
    Controls =
        Bits(_mm256_cmpeq_epi8(_mm256_min_epu8(X, Below), X), _mm256_cmpeq_epi8(_mm256_min_epu8(Y, Below), Y));
    Above =
        ~Bits(_mm256_cmpeq_epi8(_mm256_min_epu8(X, Blank), X), _mm256_cmpeq_epi8(_mm256_min_epu8(Y, Blank), Y));
  }
};

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
#endif

// The bits of a block above bit I.
inline std::uint64_t BitsAfter(unsigned I) { return I >= 63 ? 0 : ~std::uint64_t{0} << (I + 1); }

}  // namespace

// The text of a "#", "@" or ";" line as far as it is kept.
__attribute__((noinline, cold)) void TKcsvFile::TScan::KeepText(TScanLine& L, const char* P, std::size_t N) {
  if (L.Keep == 1)
    L.Text.append(P, N);
  else if (L.Keep == 2 && L.Text.size() < 10)
    L.Text.append(P, std::min<std::size_t>(N, 10 - L.Text.size()));
}

void TKcsvFile::TScan::ScanBytes(const char* P, std::size_t N) {
#if defined(KCSV_HAVE_AVX2)
  static const bool Avx2 = HasAvx2();
  if (Avx2) {
    ScanBytesAvx2(P, N, FLine);
    return;
  }
#endif
  ScanBlocks<TMasksSse2>(P, N, FLine);
}

#if defined(KCSV_HAVE_AVX2)
// Everything the loop calls is made part of it, so that its masks are AVX2
// code; the rare lines go through functions that stay apart.
__attribute__((target("avx2"), flatten)) void TKcsvFile::TScan::ScanBytesAvx2(const char* P, std::size_t N,
                                                                              TScanLine& L) {
  ScanBlocks<TMasksAvx2>(P, N, L);
}
#else
void TKcsvFile::TScan::ScanBytesAvx2(const char* P, std::size_t N, TScanLine& L) {
  ScanBlocks<TMasksSse2>(P, N, L);
}
#endif

// Data rows of the current table: the offsets of Count rows, the longest
// measured length among them.
__attribute__((noinline, cold)) void TKcsvFile::AddRows(const std::uint32_t* Offsets, std::size_t Count,
                                                        std::size_t Longest) {
  FLineCount += static_cast<Integer>(Count);
  TKTable* Table = FCurrentTable;
  if (!Table) return;
  const auto Measured = static_cast<Integer>(std::min<std::size_t>(Longest, 0x7FFFFFFF));
  if (Measured > Table->LongestLine()) Table->SetLongestLine(Measured);
  Table->AddRows(Offsets, Count);
  if (OnProgress) OnProgress(Table->Name(), Table->Count(), false);
}

template <class TMasks>
void TKcsvFile::TScan::ScanBlocks(const char* P, std::size_t N, TScanLine& L) {
  // The data rows found go to the current table in batches; with OnProgress
  // assigned, one by one.
  std::uint32_t Batch[256];
  std::size_t Batched = 0;
  std::size_t Longest = 0;  // the longest measured length in the batch
  const std::size_t BatchSize = FReader.OnProgress ? 1 : std::size(Batch);
  bool InLine = L.InLine;
  std::size_t Start = L.Start;  // of the open line, in the whole source
  int Keep = InLine ? L.Keep : 0;
  std::size_t TextFrom = 0;  // where the kept text of the open line goes on
  const std::size_t Base = L.Base;
  // The lines in the block at B.
  auto Lines = [&](std::size_t B, std::uint64_t Controls, std::uint64_t Above) {
    std::uint64_t Ahead = ~std::uint64_t{0};  // the bits not passed yet
    for (;;) {
      if (!InLine) {
        // Bytes of 0x20 and below before a line are skipped.
        const std::uint64_t M = Above & Ahead;
        if (M == 0) return;
        const auto I = static_cast<unsigned>(__builtin_ctzll(M));
        const std::size_t At = B + I;
        InLine = true;
        Start = Base + At;
        Ahead = BitsAfter(I);
        const char First = P[At];
        Keep = (First == '#' || First == '@') ? 1 : (First == ';' ? 2 : 0);
        if (Keep != 0) {
          L.First = First;
          L.Keep = Keep;
          L.Text.clear();
          TextFrom = At;
        }
      }
      // The first byte below 0x20 ends the line and belongs to no line.
      const std::uint64_t M = Controls & Ahead;
      if (M == 0) return;
      const auto E = static_cast<unsigned>(__builtin_ctzll(M));
      const std::size_t End = B + E;
      if (End >= N) return;  // the line goes on in the next bytes
      InLine = false;
      Ahead = BitsAfter(E);
      const std::size_t Bytes = Base + End - Start;
      if (Keep == 0) {
        // A data row, the common case.
        Batch[Batched++] = static_cast<std::uint32_t>(Start);
        Longest = std::max(Longest, Bytes + 1);
        if (Batched == BatchSize) {
          FReader.AddRows(Batch, Batched, Longest);
          Batched = Longest = 0;
        }
        continue;
      }
      if (Batched > 0) {
        FReader.AddRows(Batch, Batched, Longest);
        Batched = Longest = 0;
      }
      KeepText(L, P + TextFrom, End - TextFrom);
      L.Start = Start;
      L.Bytes = Bytes;
      FReader.EndLine(L);
    }
  };
  std::size_t B = 0;
  std::uint64_t Controls, Above;
  for (; N - B >= BlockBytes; B += BlockBytes) {
    TMasks::Load(P + B, Controls, Above);
    Lines(B, Controls, Above);
  }
  if (B < N) {
    // The last, short block: what follows the bytes counts as control bytes.
    char Tail[BlockBytes] = {};
    std::memcpy(Tail, P + B, N - B);
    TMasks::Load(Tail, Controls, Above);
    Lines(B, Controls, Above);
  }
  if (Batched > 0) FReader.AddRows(Batch, Batched, Longest);
  L.InLine = InLine;
  L.Start = Start;
  if (InLine) {
    L.Keep = Keep;
    if (Keep == 0) L.First = '\0';  // a data row
    if (Keep != 0) KeepText(L, P + TextFrom, N - TextFrom);
    L.Bytes = Base + N - Start;
  }
  L.Base += N;
}

void TKcsvFile::TScan::End() {
  if (FLine.InLine) {
    FLine.InLine = false;
    FReader.EndLine(FLine);
  }
}
