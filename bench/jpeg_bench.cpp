// Decoding an article picture: TJPEGImage (as the picture display loads it,
// from a memory stream) against a bare libjpeg decode loop of the same
// bytes.  BM_JpegRatio reports the ratio of the two in one run (goal: at
// most 1.3).  BM_RepeatedScansRatio: refusing an 8000 x 8000 picture that
// repeats one progressive scan 5000 times against decoding an ordinary
// progressive picture of that size (goal: at most 2).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "bench/ratio.h"
#include "platform/gui/jpeg.h"
#include "tests/support/jpeg_encode.h"

namespace {

// A 1600 x 1200 photo-like picture: gradients with some texture.
const std::vector<std::uint8_t>& Picture() {
  static const std::vector<std::uint8_t> bytes = [] {
    const int w = 1600, h = 1200;
    unsigned seed = 12345;
    return zeltest::EncodeRgbJpeg(w, h, 85, [&](int y, unsigned char* row) {
      for (int x = 0; x < w; ++x) {
        seed = seed * 1103515245u + 12345u;
        const int noise = static_cast<int>((seed >> 16) & 31) - 16;
        auto clamp = [](int v) { return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v); };
        row[3 * x] = clamp(x * 255 / w + noise);
        row[3 * x + 1] = clamp(y * 255 / h + noise);
        row[3 * x + 2] = clamp(((x / 40 + y / 40) % 2) * 160 + noise);
      }
    });
  }();
  return bytes;
}

// What a program that uses libjpeg directly does: decode into an RGB buffer.
std::vector<std::uint8_t> BareDecode(const std::vector<std::uint8_t>& bytes) {
  jpeg_decompress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_RGB;
  c.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&c);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(c.output_width) * c.output_height * 3);
  while (c.output_scanline < c.output_height) {
    JSAMPROW rows[1] = {out.data() + static_cast<std::size_t>(c.output_scanline) * c.output_width * 3};
    jpeg_read_scanlines(&c, rows, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return out;
}

void LoadThroughPicture(const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(&stream);
  benchmark::DoNotOptimize(jpeg.Image()->Pixels.data());
}

void BM_TJPEGImageLoad(benchmark::State& state) {
  const auto& bytes = Picture();
  for (auto _ : state) LoadThroughPicture(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_TJPEGImageLoad)->Unit(benchmark::kMillisecond);

void BM_BareLibjpeg(benchmark::State& state) {
  const auto& bytes = Picture();
  for (auto _ : state) {
    auto out = BareDecode(bytes);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_BareLibjpeg)->Unit(benchmark::kMillisecond);

// Both in turn within each iteration; the counter "ratio" is the time of
// TJPEGImage divided by the bare loop's.
void BM_JpegRatio(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const auto& bytes = Picture();
  double ours = 0, bare = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    LoadThroughPicture(bytes);
    const auto t1 = Clock::now();
    auto out = BareDecode(bytes);
    benchmark::DoNotOptimize(out.data());
    const auto t2 = Clock::now();
    ours += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["ratio"] = bare > 0 ? ours / bare : 0;
}
BENCHMARK(BM_JpegRatio)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// 8000 x 8000 grey pictures with large flat fields: progressive with
// libjpeg's usual script, or a DC scan and an AC scan, the AC scan then
// repeated 5000 times in all (0.7 MB).
std::vector<std::uint8_t> BigProgressive(bool Repeated) {
  const int w = 8000;
  auto bytes = zeltest::EncodeJpeg(
      w, w, 75, JCS_GRAYSCALE, 1,
      [Repeated](jpeg_compress_struct& c) {
        static jpeg_scan_info scans[2] = {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 63, 0, 0}};
        if (!Repeated) {
          jpeg_simple_progression(&c);
          return;
        }
        c.scan_info = scans;
        c.num_scans = 2;
      },
      [&](int y, unsigned char* row) {
        for (int x = 0; x < w; ++x) row[x] = static_cast<unsigned char>(96 + ((x / 1000 + y / 1000) % 2) * 64);
      });
  return Repeated ? zeltest::RepeatLastScan(bytes, 5000) : bytes;
}

void BM_RepeatedScansRatio(benchmark::State& State) {
  const auto ordinary = BigProgressive(false);
  const auto repeated = BigProgressive(true);
  zelbench::TRounds R;
  for (auto _ : State) {
    R.Time("ordinary", [&] { benchmark::DoNotOptimize(platform::DecodeJpeg(ordinary.data(), ordinary.size())); });
    bool refused = false;
    R.Time("repeated", [&] {
      try {
        platform::DecodeJpeg(repeated.data(), repeated.size());
      } catch (const EJPEG&) {
        refused = true;
      }
    });
    if (!refused) State.SkipWithError("the repeated scans were decoded");
    State.SetIterationTime(R.Last("repeated"));
  }
  R.Ratio("repeated", "ordinary");
  R.Report(State);
}
BENCHMARK(BM_RepeatedScansRatio)->UseManualTime()->Iterations(zelbench::MinRounds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
