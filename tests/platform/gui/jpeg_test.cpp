// TJPEGImage and TPicture: decoding with libjpeg, colour spaces, errors.
// The test pictures are made here with libjpeg's encoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/gui/jpeg.h"
#include "tests/support/jpeg_encode.h"

namespace {

struct Rgb {
  int R, G, B;
};

// Four flat quadrants, aligned to 8x8 blocks so the colours survive the
// compression almost exactly.
Rgb QuadrantColour(int x, int y, int w, int h) {
  static const Rgb colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  return colours[(x < w / 2 ? 0 : 1) + (y < h / 2 ? 0 : 2)];
}

enum class Kind { Rgb, Gray, CmykAdobe, CmykPlain, Ycck };

// Encodes a w x h picture of the quadrants in the given colour space.
std::vector<std::uint8_t> Encode(int w, int h, Kind kind, int quality = 95) {
  J_COLOR_SPACE space = JCS_CMYK;
  int comps = 4;
  if (kind == Kind::Rgb) {
    space = JCS_RGB;
    comps = 3;
  } else if (kind == Kind::Gray) {
    space = JCS_GRAYSCALE;
    comps = 1;
  }
  auto adjust = [kind](jpeg_compress_struct& cinfo) {
    if (kind == Kind::Ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (kind == Kind::CmykPlain) cinfo.write_Adobe_marker = FALSE;
    for (int c = 0; c < cinfo.num_components; ++c) {
      cinfo.comp_info[c].h_samp_factor = 1;
      cinfo.comp_info[c].v_samp_factor = 1;
    }
  };
  return zeltest::EncodeJpeg(w, h, quality, space, comps, adjust, [&](int y, unsigned char* row) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = QuadrantColour(x, y, w, h);
      unsigned char* p = row + x * comps;
      if (comps == 3) {
        p[0] = static_cast<unsigned char>(c.R);
        p[1] = static_cast<unsigned char>(c.G);
        p[2] = static_cast<unsigned char>(c.B);
      } else if (comps == 1) {
        p[0] = static_cast<unsigned char>((c.R + c.G + c.B) / 3);
      } else {
        // Ink amounts with full black kept out (K = 0).
        const int ink[4] = {255 - c.R, 255 - c.G, 255 - c.B, 0};
        // Adobe files store inverted values (255 = no ink).
        const bool inverted = kind != Kind::CmykPlain;
        for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(inverted ? 255 - ink[i] : ink[i]);
      }
    }
  });
}

void ExpectNear(TColor actual, Rgb expected, int tolerance, const char* where) {
  EXPECT_NEAR(GetRValue(static_cast<COLORREF>(actual)), expected.R, tolerance) << where;
  EXPECT_NEAR(GetGValue(static_cast<COLORREF>(actual)), expected.G, tolerance) << where;
  EXPECT_NEAR(GetBValue(static_cast<COLORREF>(actual)), expected.B, tolerance) << where;
}

// The libjpeg message number an EJPEG carries (-1: none raised).
int ErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), "JPEG-Fehler #" + std::to_string(e.ErrorCode()));
    return e.ErrorCode();
  }
  return -1;
}

// Position of the SOS marker (the start of the compressed data), or 0.
std::size_t ScanStart(const std::vector<std::uint8_t>& b) {
  for (std::size_t i = 2; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xDA) return i;
  return 0;
}

// Position of the SOF0 marker's height field, or 0.
std::size_t SofDimensions(const std::vector<std::uint8_t>& b) {
  for (std::size_t i = 2; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) return i + 5;
  return 0;
}

struct ColourCase {
  const char* name;
  Kind kind;
  bool grayscale;
};

// Test names and failure output show the case by its name.
void PrintTo(const ColourCase& Case, std::ostream* Out) { *Out << Case.name; }

class JpegColourSpace : public ::testing::TestWithParam<ColourCase> {};

TEST_P(JpegColourSpace, DecodesToRgbOfTheExpectedSizeAndColours) {
  const ColourCase& c = GetParam();
  const int w = 64, h = 48;
  const auto bytes = Encode(w, h, c.kind);
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes.data(), bytes.size());
  ASSERT_FALSE(jpeg.Empty());
  EXPECT_EQ(jpeg.Width(), w);
  EXPECT_EQ(jpeg.Height(), h);
  EXPECT_EQ(jpeg.Grayscale(), c.grayscale);
  const int points[][2] = {{4, 4}, {w - 5, 4}, {4, h - 5}, {w - 5, h - 5}, {w / 4, h / 4}};
  for (const auto& p : points) {
    Rgb expected = QuadrantColour(p[0], p[1], w, h);
    if (c.grayscale) {
      const int g = (expected.R + expected.G + expected.B) / 3;
      expected = {g, g, g};
    }
    ExpectNear(jpeg.Pixel(p[0], p[1]), expected, 6, c.name);
  }
  EXPECT_EQ(jpeg.Pixel(-1, 0), clNone);
  EXPECT_EQ(jpeg.Pixel(w, 0), clNone);
}

INSTANTIATE_TEST_SUITE_P(Spaces, JpegColourSpace,
                         ::testing::Values(ColourCase{"rgb", Kind::Rgb, false},
                                           ColourCase{"gray", Kind::Gray, true},
                                           ColourCase{"cmyk-adobe", Kind::CmykAdobe, false},
                                           ColourCase{"cmyk-plain", Kind::CmykPlain, false},
                                           ColourCase{"ycck", Kind::Ycck, false}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n) if (ch == '-') ch = '_';
                           return n;
                         });

TEST(JpegImage, LoadsFromTheStreamPositionToTheEnd) {
  const auto bytes = Encode(16, 8, Kind::Rgb);
  TMemoryStream stream;
  stream.WriteBuffer("junk", 4);
  stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(4);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(&stream);
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 8);
  EXPECT_EQ(jpeg.Data(), bytes);

  // SaveToStream gives the bytes back as loaded.
  TMemoryStream out;
  jpeg.SaveToStream(&out);
  ASSERT_EQ(out.Size(), static_cast<Int64>(bytes.size()));
  EXPECT_EQ(0, std::memcmp(out.Memory(), bytes.data(), bytes.size()));
}

TEST(JpegImage, BrokenInputRaisesEJpegWithTheLibraryNumber) {
  const auto good = Encode(32, 32, Kind::Rgb);
  const std::size_t sos = ScanStart(good);
  ASSERT_NE(sos, 0u);
  // Cut before the scan: the header is not whole, so there is no picture.
  auto cutHeader = std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(sos));
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  auto zeroHeight = good;
  const std::size_t sof = SofDimensions(zeroHeight);
  ASSERT_NE(sof, 0u);
  zeroHeight[sof] = 0;
  zeroHeight[sof + 1] = 0;
  auto huge = good;  // 20000 x 20000 pixels in the header
  huge[sof] = huge[sof + 2] = 0x4E;
  huge[sof + 1] = huge[sof + 3] = 0x20;
  const std::vector<std::uint8_t> onlySoi = {0xFF, 0xD8};

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int code;
  };
  const Case cases[] = {
      {"header cut", cutHeader, JERR_SOF_NO_SOS},
      {"png", png, JERR_NO_SOI},
      {"empty", {}, JERR_NO_SOI},
      {"only SOI", onlySoi, JERR_NO_IMAGE},
      {"zero height", zeroHeight, JERR_EMPTY_IMAGE},
      {"too big", huge, JERR_IMAGE_TOO_BIG},
  };
  for (const Case& c : cases) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(good.data(), good.size());
    EXPECT_EQ(ErrorOf([&] {
                TMemoryStream stream;
                if (!c.bytes.empty()) stream.WriteBuffer(c.bytes.data(), static_cast<int>(c.bytes.size()));
                stream.SetPosition(0);
                jpeg.LoadFromStream(&stream);
              }),
              c.code)
        << c.name;
    // The picture stays as it was.
    EXPECT_EQ(jpeg.Width(), 32) << c.name;
    EXPECT_EQ(jpeg.Data(), good) << c.name;
  }
}

// The quadrants, progressive: libjpeg's usual script, or (spectral) a DC
// scan and one scan of all AC coefficients per component, each without
// successive approximation, so that repeating the last scan is no
// inconsistent progression for the library.
std::vector<std::uint8_t> EncodeProgressive(int w, int h, bool spectral, J_COLOR_SPACE space = JCS_RGB) {
  const int comps = space == JCS_GRAYSCALE ? 1 : 3;
  return zeltest::EncodeJpeg(
      w, h, 90, space, comps,
      [spectral](jpeg_compress_struct& cinfo) {
        if (!spectral) {
          jpeg_simple_progression(&cinfo);
          return;
        }
        static jpeg_scan_info scans[1 + MAX_COMPS_IN_SCAN];
        scans[0] = {cinfo.num_components, {0, 1, 2, 3}, 0, 0, 0, 0};
        for (int c = 0; c < cinfo.num_components; ++c) scans[1 + c] = {1, {c, 0, 0, 0}, 1, 63, 0, 0};
        cinfo.scan_info = scans;
        cinfo.num_scans = 1 + cinfo.num_components;
      },
      [&](int y, unsigned char* row) {
        for (int x = 0; x < w; ++x) {
          const Rgb c = QuadrantColour(x, y, w, h);
          if (comps == 1) {
            row[x] = static_cast<unsigned char>((c.R + c.G + c.B) / 3);
            continue;
          }
          row[3 * x] = static_cast<unsigned char>(c.R);
          row[3 * x + 1] = static_cast<unsigned char>(c.G);
          row[3 * x + 2] = static_cast<unsigned char>(c.B);
        }
      });
}

// Ordinary pictures decode, baseline and progressive; a picture that
// repeats a scan beyond any real one is refused as a bad JPEG: past the
// number of scans, past the work its scans may do together, or at once
// when the repetition is one the library itself calls inconsistent.
TEST(JpegImage, RepeatedProgressiveScansAreRefused) {
  using zeltest::RepeatLastScan;
  const int w = 256, h = 256;
  const auto spectral = EncodeProgressive(w, h, true);
  const auto simple = EncodeProgressive(w, h, false);
  const int spectralScans = 1 + 3;
  // A picture at the pixel limit's width whose one component's scans
  // reach the work bound before the number of scans.
  const int big = 4096;
  const std::int64_t bigBlocks = (big / 8) * (big / 8);
  const int bigScans = static_cast<int>(platform::MaxJpegScanBlocks / bigBlocks) + 1;
  ASSERT_LT(bigScans, platform::MaxJpegScans);
  const auto bigGray = EncodeProgressive(big, big, true, JCS_GRAYSCALE);

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int code;  // -1: decodes
  };
  const Case cases[] = {
      {"baseline", Encode(w, h, Kind::Rgb), -1},
      {"progressive", simple, -1},
      {"spectral selection", spectral, -1},
      {"as many scans as allowed", RepeatLastScan(spectral, platform::MaxJpegScans - spectralScans + 1), -1},
      {"one scan too many", RepeatLastScan(spectral, platform::MaxJpegScans - spectralScans + 2), JERR_BAD_PROGRESSION},
      {"5000 scans", RepeatLastScan(spectral, 5000), JERR_BAD_PROGRESSION},
      {"scans of a large picture", RepeatLastScan(bigGray, bigScans), JERR_BAD_PROGRESSION},
      {"refinement repeated", RepeatLastScan(simple, 2), JWRN_BOGUS_PROGRESSION},
  };
  for (const Case& c : cases) {
    TJPEGImage jpeg;
    ASSERT_EQ(ErrorOf([&] { jpeg.LoadFromBytes(c.bytes.data(), c.bytes.size()); }), c.code) << c.name;
    if (c.code != -1) {
      EXPECT_TRUE(jpeg.Empty()) << c.name;
      continue;
    }
    ASSERT_EQ(jpeg.Width(), w) << c.name;
    ASSERT_EQ(jpeg.Height(), h) << c.name;
    const int points[][2] = {{4, 4}, {w - 5, 4}, {4, h - 5}, {w - 5, h - 5}};
    for (const auto& p : points) ExpectNear(jpeg.Pixel(p[0], p[1]), QuadrantColour(p[0], p[1], w, h), 6, c.name);
  }
}

// A picture whose data ends early loads and draws without an error: the
// part its data holds as the whole picture has it, the missing rest grey.
// Without only its end marker it is the whole picture.
TEST(JpegImage, PictureCutShortShowsAsFarAsItsDataGoes) {
  const int w = 64, h = 64;
  const auto full = zeltest::EncodeRgbJpeg(w, h, 90, [&](int y, unsigned char* row) {
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<unsigned char>((x * 7) ^ (y * 13));
      row[3 * x + 1] = static_cast<unsigned char>(x * 4);
      row[3 * x + 2] = static_cast<unsigned char>(y * 4);
    }
  });
  TJPEGImage whole;
  whole.LoadFromBytes(full.data(), full.size());
  const std::size_t sos = ScanStart(full);
  ASSERT_NE(sos, 0u);
  ASSERT_GT(full.size() - sos, 1000u);  // enough data for a cut in the middle

  struct Case {
    const char* name;
    std::size_t size;
    int wholeRows;  // rows that come out as in the whole picture
    bool greyEnd;   // the last rows are grey
  };
  const Case cases[] = {
      {"without end marker", full.size() - 2, h, false},
      {"half the data", sos + (full.size() - sos) / 2, 8, true},
  };
  for (const Case& c : cases) {
    TJPEGImage jpeg;
    ASSERT_EQ(ErrorOf([&] { jpeg.LoadFromBytes(full.data(), c.size); }), -1) << c.name;
    ASSERT_EQ(jpeg.Width(), w) << c.name;
    ASSERT_EQ(jpeg.Height(), h) << c.name;
    for (int y = 0; y < c.wholeRows; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(jpeg.Pixel(x, y), whole.Pixel(x, y)) << c.name << " " << x << "," << y;
    if (c.greyEnd) {
      for (int x = 0; x < w; ++x) EXPECT_EQ(jpeg.Pixel(x, h - 1), static_cast<TColor>(RGB(128, 128, 128))) << x;
    }
    // Drawing shows the same.
    auto canvas = platform::CreateImageCanvas(w, h, clBlack);
    canvas->StretchDraw(Rect(0, 0, w, h), &jpeg);
    EXPECT_EQ(canvas->Pixel(5, 2), whole.Pixel(5, 2)) << c.name;
    EXPECT_EQ(canvas->Pixel(5, h - 1), jpeg.Pixel(5, h - 1)) << c.name;
  }
}

TEST(JpegImage, AssignSharesThePictureAndNilEmpties) {
  const auto bytes = Encode(24, 16, Kind::Rgb);
  TJPEGImage a;
  a.LoadFromBytes(bytes.data(), bytes.size());
  TJPEGImage b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Assign(&a);
  EXPECT_EQ(b.Width(), 24);
  EXPECT_EQ(b.Pixel(2, 2), a.Pixel(2, 2));
  EXPECT_EQ(changes, 1);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(changes, 2);
  TStringList notAGraphic;
  EXPECT_THROW(b.Assign(&notAGraphic), EConvertError);
}

TEST(Picture, HoldsACopyAndReportsChanges) {
  const auto bytes = Encode(40, 24, Kind::Rgb);
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes.data(), bytes.size());
    picture.Assign(&jpeg);
  }  // the picture keeps its own copy
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_TRUE(picture.Graphic()->InheritsFrom("TJPEGImage"));
  EXPECT_EQ(picture.Width(), 40);
  EXPECT_EQ(picture.Height(), 24);
  EXPECT_EQ(changes, 1);

  TPicture other;
  other.Assign(&picture);
  EXPECT_EQ(other.Width(), 40);

  picture.Assign(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(other.Width(), 40);
}

TEST(Picture, DescriptionDataRoundTripsAndAcceptsBareJpeg) {
  const auto bytes = Encode(16, 16, Kind::Gray);
  TPicture picture;
  picture.LoadFromData(std::vector<Byte>(bytes.begin(), bytes.end()));
  EXPECT_EQ(picture.Width(), 16);

  const std::vector<Byte> data = picture.SaveToData();
  ASSERT_GT(data.size(), 15u);
  EXPECT_EQ(data[0], 10);
  EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 11), "TJPEGImage");
  EXPECT_EQ(data[11] | (data[12] << 8) | (data[13] << 16) | (data[14] << 24), static_cast<int>(bytes.size()));

  TPicture copy;
  copy.LoadFromData(data);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.SaveToData(), data);

  copy.LoadFromData({});
  EXPECT_EQ(copy.Graphic(), nullptr);

  std::vector<Byte> otherClass = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 0, 0, 0, 0};
  EXPECT_THROW(copy.LoadFromData(otherClass), EInvalidGraphic);
  // A count beyond the data takes what is there: here the header and half
  // of the compressed data, a picture cut short.
  const std::size_t sos = ScanStart(bytes);
  ASSERT_NE(sos, 0u);
  std::vector<Byte> cut(data.begin(), data.begin() + 15 + static_cast<long>(sos + (bytes.size() - sos) / 2));
  EXPECT_EQ(ErrorOf([&] { copy.LoadFromData(cut); }), -1);
  EXPECT_EQ(copy.Width(), 16);
}

TEST(Picture, UnknownFileExtensionIsRefused) {
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile("bild.png"), EInvalidGraphic);
}

TEST(JpegImage, StretchDrawPaintsTheScaledPicture) {
  const auto bytes = Encode(64, 48, Kind::Rgb);
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes.data(), bytes.size());
  auto canvas = platform::CreateImageCanvas(40, 30, clBlack);
  canvas->StretchDraw(Rect(4, 2, 36, 26), &jpeg);  // 32 x 24: half size
  ExpectNear(canvas->Pixel(8, 6), {255, 0, 0}, 8, "top left");
  ExpectNear(canvas->Pixel(31, 6), {0, 255, 0}, 8, "top right");
  ExpectNear(canvas->Pixel(8, 21), {0, 0, 255}, 8, "bottom left");
  ExpectNear(canvas->Pixel(31, 21), {255, 255, 255}, 8, "bottom right");
  // Outside the rectangle (right and bottom edges excluded) nothing changed.
  EXPECT_EQ(canvas->Pixel(3, 10), clBlack);
  EXPECT_EQ(canvas->Pixel(36, 10), clBlack);
  EXPECT_EQ(canvas->Pixel(10, 26), clBlack);
}

}  // namespace
