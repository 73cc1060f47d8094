// JPEG decoding with libjpeg (the 6b interface).
//
// libjpeg reports errors through error_exit, which must not return; the
// default one ends the process.  Ours jumps back with longjmp to the
// decoding routine, which then raises EJPEG.  The routine between setjmp
// and the jump holds no C++ object with a destructor: the output buffer
// lives in the caller's frame, and nothing may throw out of the libjpeg
// calls.  The source reads from memory.  Data that ends early is no error:
// as the library's own sources do, the source warns and supplies an end
// marker, so a picture whose data is cut short (even only its end marker)
// decodes as far as its data goes and the missing rest comes out grey.  A
// stream that ends before its header is complete still fails (no image).
//
// A scan costs a pass over the blocks of its components however few bytes
// it has, so a picture that repeats a scan makes work without end out of
// little data.  The progress monitor, which the library calls as it reads
// the scans, refuses a picture past the scan limit or the block limit of
// jpeg.h, and a progression the library calls inconsistent (a warning
// that no real encoder causes) is an error here.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/gui/jpeg.h"

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;  // first: libjpeg sees a jpeg_error_mgr*
  std::jmp_buf jump;
};

extern "C" void ZelJpegErrorExit(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

// Warnings (corrupt data that libjpeg can skip, data that ends early) and
// trace messages are not shown anywhere.
extern "C" void ZelJpegOutputMessage(j_common_ptr) {}

// An inconsistent progression ends the decoding; other warnings are only
// counted, as the library does.
extern "C" void ZelJpegEmitMessage(j_common_ptr cinfo, int msg_level) {
  if (msg_level >= 0) return;
  if (cinfo->err->msg_code == JWRN_BOGUS_PROGRESSION) cinfo->err->error_exit(cinfo);
  ++cinfo->err->num_warnings;
}

struct ProgressMonitor {
  jpeg_progress_mgr pub;    // first: libjpeg sees a jpeg_progress_mgr*
  int Scan = 0;             // the scan last counted
  std::int64_t Blocks = 0;  // blocks of the scans so far
};

// Called before each row of blocks the library reads and at each new scan.
extern "C" void ZelJpegProgress(j_common_ptr common) {
  j_decompress_ptr cinfo = reinterpret_cast<j_decompress_ptr>(common);
  auto* progress = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
  if (cinfo->input_scan_number == progress->Scan) return;
  progress->Scan = cinfo->input_scan_number;
  progress->Blocks +=
      static_cast<std::int64_t>(cinfo->MCUs_per_row) * cinfo->MCU_rows_in_scan * cinfo->blocks_in_MCU;
  if (progress->Scan > platform::MaxJpegScans || progress->Blocks > platform::MaxJpegScanBlocks)
    ERREXIT4(cinfo, JERR_BAD_PROGRESSION, cinfo->Ss, cinfo->Se, cinfo->Ah, cinfo->Al);
}

extern "C" void ZelJpegInitSource(j_decompress_ptr) {}

const JOCTET kEndMarker[2] = {0xFF, JPEG_EOI};

// Called only when the data is used up: the picture ends too early.  A
// warning, then an end marker for the decoder to find.
extern "C" boolean ZelJpegFillInputBuffer(j_decompress_ptr cinfo) {
  WARNMS(cinfo, JWRN_JPEG_EOF);
  cinfo->src->next_input_byte = kEndMarker;
  cinfo->src->bytes_in_buffer = sizeof kEndMarker;
  return TRUE;
}

extern "C" void ZelJpegSkipInputData(j_decompress_ptr cinfo, long num_bytes) {
  if (num_bytes <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(num_bytes) > src->bytes_in_buffer) {
    ZelJpegFillInputBuffer(cinfo);  // past the end: only the end marker is left
    return;
  }
  src->next_input_byte += num_bytes;
  src->bytes_in_buffer -= static_cast<std::size_t>(num_bytes);
}

extern "C" void ZelJpegTermSource(j_decompress_ptr) {}

inline std::uint8_t Mul255(unsigned a, unsigned b) {
  // a * b / 255, rounded.
  unsigned t = a * b + 128;
  return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// What the decoding routine hands back; plain data only (see above).
struct Outcome {
  bool Failed = false;
  int ErrorCode = 0;  // the library's message number when Failed
  bool OutOfMemory = false;
};

// The routine with setjmp.  Out is resized only after the header is read
// and before decoding starts; a failed allocation is caught here.
Outcome DecodeInto(const std::uint8_t* Data, std::size_t Size, platform::RgbImage& Out) {
  Outcome result;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_source_mgr src;
  ProgressMonitor progress;
  std::memset(&cinfo, 0, sizeof cinfo);

  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ZelJpegErrorExit;
  err.pub.emit_message = ZelJpegEmitMessage;
  err.pub.output_message = ZelJpegOutputMessage;
  if (setjmp(err.jump)) {
    result.Failed = true;
    result.ErrorCode = err.pub.msg_code;
    jpeg_destroy_decompress(&cinfo);
    return result;
  }
  jpeg_create_decompress(&cinfo);
  // Coefficient buffers of progressive pictures beyond this fail with an
  // error instead of taking all memory.
  cinfo.mem->max_memory_to_use = 1024L * 1024L * 1024L;

  src.next_input_byte = Data;
  src.bytes_in_buffer = Size;
  src.init_source = ZelJpegInitSource;
  src.fill_input_buffer = ZelJpegFillInputBuffer;
  src.skip_input_data = ZelJpegSkipInputData;
  src.resync_to_restart = jpeg_resync_to_restart;
  src.term_source = ZelJpegTermSource;
  cinfo.src = &src;
  progress.pub.progress_monitor = ZelJpegProgress;
  cinfo.progress = &progress.pub;

  jpeg_read_header(&cinfo, TRUE);

  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  if (cmyk)
    cinfo.out_color_space = JCS_CMYK;
  else if (gray)
    cinfo.out_color_space = JCS_GRAYSCALE;
  else
    cinfo.out_color_space = JCS_RGB;
  cinfo.dct_method = JDCT_ISLOW;

  if (static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height > platform::MaxJpegPixels)
    ERREXIT1(&cinfo, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(platform::MaxJpegPixels));

  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width);
  const int height = static_cast<int>(cinfo.output_height);
  const int comps = cinfo.output_components;
  const bool inverted = cmyk && cinfo.saw_Adobe_marker;

  bool allocated = true;
  try {
    Out.Width = width;
    Out.Height = height;
    Out.Grayscale = gray;
    Out.Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
  } catch (const std::bad_alloc&) {
    allocated = false;
  }
  if (!allocated) {
    result.OutOfMemory = true;
    jpeg_destroy_decompress(&cinfo);
    return result;
  }

  // One scratch row for grayscale and CMYK, from libjpeg's own pool.
  JSAMPARRAY scratch = nullptr;
  if (comps != 3)
    scratch = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                         static_cast<JDIMENSION>(width * comps), 1);

  while (cinfo.output_scanline < cinfo.output_height) {
    std::uint8_t* row = Out.Pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * width * 3;
    if (comps == 3) {
      JSAMPROW rows[1] = {row};
      jpeg_read_scanlines(&cinfo, rows, 1);
      continue;
    }
    jpeg_read_scanlines(&cinfo, scratch, 1);
    const JSAMPLE* in = scratch[0];
    const auto columns = static_cast<std::size_t>(width);
    if (comps == 1) {
      for (std::size_t x = 0; x < columns; ++x) {
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = in[x];
      }
    } else {
      // Adobe writes CMYK inverted (0 = full ink); others store ink amounts.
      for (std::size_t x = 0; x < columns; ++x) {
        unsigned c = in[4 * x], m = in[4 * x + 1], y = in[4 * x + 2], k = in[4 * x + 3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          y = 255 - y;
          k = 255 - k;
        }
        row[3 * x] = Mul255(c, k);
        row[3 * x + 1] = Mul255(m, k);
        row[3 * x + 2] = Mul255(y, k);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return result;
}

}  // namespace

EJPEG::EJPEG(int ErrorCode) : EInvalidGraphic("JPEG-Fehler #%d", {ErrorCode}), FErrorCode(ErrorCode) {}

namespace platform {

RgbImage DecodeJpeg(const std::uint8_t* Data, std::size_t Size) {
  RgbImage image;
  static const std::uint8_t kNone = 0;
  const Outcome outcome = DecodeInto(Size ? Data : &kNone, Size, image);
  if (outcome.OutOfMemory) throw EJPEG(JERR_OUT_OF_MEMORY);
  if (outcome.Failed) throw EJPEG(outcome.ErrorCode);
  return image;
}

}  // namespace platform
