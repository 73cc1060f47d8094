// JPEG pictures made for tests and benchmarks, encoded with libjpeg.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace zeltest {

// A Width x Height picture at Quality in colour space Space with Components
// bytes a pixel.  Adjust(cinfo) may change the parameters after libjpeg's
// defaults; FillRow(y, row) writes the bytes of row y.
template <class Setup, class Fill>
std::vector<std::uint8_t> EncodeJpeg(int Width, int Height, int Quality, J_COLOR_SPACE Space, int Components,
                                     Setup&& Adjust, Fill&& FillRow) {
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = static_cast<JDIMENSION>(Width);
  c.image_height = static_cast<JDIMENSION>(Height);
  c.in_color_space = Space;
  c.input_components = Components;
  jpeg_set_defaults(&c);
  Adjust(c);
  jpeg_set_quality(&c, Quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Components));
  while (c.next_scanline < c.image_height) {
    FillRow(static_cast<int>(c.next_scanline), row.data());
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<std::uint8_t> v(buf, buf + size);
  std::free(buf);
  return v;
}

// The picture Jpeg with its last scan (the table segments right before it,
// its SOS segment and its data) written Times times in all.
inline std::vector<std::uint8_t> RepeatLastScan(const std::vector<std::uint8_t>& Jpeg, int Times) {
  // Walks the segments from SOI on; after each scan's data the next
  // segment starts a new unit.
  std::size_t unitStart = 2, pos = 2, end = Jpeg.size();
  bool afterScan = false;
  while (pos + 2 <= Jpeg.size()) {
    const std::uint8_t marker = Jpeg[pos + 1];
    if (marker == 0xD9 || pos + 4 > Jpeg.size()) {
      end = pos;
      break;
    }
    if (afterScan) {
      unitStart = pos;
      afterScan = false;
    }
    pos += 2 + (static_cast<std::size_t>(Jpeg[pos + 2]) << 8 | Jpeg[pos + 3]);
    if (marker == 0xDA) {
      // Entropy-coded data up to the next marker other than a stuffed
      // zero or a restart marker.
      while (pos + 1 < Jpeg.size() &&
             !(Jpeg[pos] == 0xFF && Jpeg[pos + 1] != 0 && (Jpeg[pos + 1] < 0xD0 || Jpeg[pos + 1] > 0xD7)))
        ++pos;
      afterScan = true;
    }
  }
  std::vector<std::uint8_t> out(Jpeg.begin(), Jpeg.begin() + static_cast<long>(end));
  for (int i = 1; i < Times; ++i) out.insert(out.end(), Jpeg.begin() + static_cast<long>(unitStart), Jpeg.begin() + static_cast<long>(end));
  out.insert(out.end(), Jpeg.begin() + static_cast<long>(end), Jpeg.end());
  return out;
}

// A Width x Height RGB picture at Quality; FillRow(y, row) writes the three
// bytes of each pixel of row y.
template <class Fill>
std::vector<std::uint8_t> EncodeRgbJpeg(int Width, int Height, int Quality, Fill&& FillRow) {
  return EncodeJpeg(Width, Height, Quality, JCS_RGB, 3, [](jpeg_compress_struct&) {}, FillRow);
}

}  // namespace zeltest
