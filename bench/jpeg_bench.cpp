// Decoding an article picture: TJPEGImage (as the picture display loads it,
// from a memory stream) against a bare libjpeg decode loop of the same
// bytes.  BM_JpegRatio reports the ratio of the two in one run (goal: at
// most 1.3).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/gui/jpeg.h"
#include "tests/support/jpeg_encode.h"

namespace {

// A 1600 x 1200 photo-like picture: gradients with some texture.
const std::vector<std::uint8_t>& Picture() {
  static const std::vector<std::uint8_t> bytes = [] {
    const int w = 1600, h = 1200;
    unsigned seed = 12345;
    return platform::test::EncodeRgbJpeg(w, h, 85, [&](int y, unsigned char* row) {
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

}  // namespace

BENCHMARK_MAIN();
