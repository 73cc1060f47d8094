// Pictures: TPicture (the container an image control shows) and the JPEG
// picture TJPEGImage, decoded with libjpeg.
//
// A JPEG picture is decoded whole when it is loaded, so that a broken file
// raises EJPEG at the load and painting never fails.  Every error of the
// JPEG library becomes EJPEG "JPEG-Fehler #%d" with the library's message
// number; no picture ends the process.  Data that ends early is the
// library's warning, not an error: a picture with an intact header is
// shown as far as its data goes, the missing rest grey.  RGB, grayscale and CMYK pictures
// (Adobe's inverted CMYK and YCCK too) are held as RGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "EInvalidGraphic"; }
};

class EJPEG : public EInvalidGraphic {
public:
  explicit EJPEG(int ErrorCode);
  const char* ClassName() const override { return "EJPEG"; }
  // The JPEG library's message number.
  int ErrorCode() const { return FErrorCode; }

private:
  int FErrorCode;
};

namespace platform {

// A decoded picture: rows of RGB triples, top row first, no padding.
struct RgbImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;  // Width * Height * 3 bytes
  bool Grayscale = false;            // the file holds one channel
};

// Decodes JPEG bytes; raises EJPEG on every error of the library and never
// ends the process.  Data cut short after the header decodes as far as it
// goes (the rest grey); cut within the header it is an error.
RgbImage DecodeJpeg(const std::uint8_t* Data, std::size_t Size);

// The largest picture DecodeJpeg accepts, in pixels; beyond it EJPEG with
// the library's "image too big" number.
inline constexpr std::int64_t MaxJpegPixels = 64LL * 1024 * 1024;

// The most scans DecodeJpeg accepts, and the most 8x8 blocks that the scans
// together may decode (64 passes over one component of a picture at the
// pixel limit).  Real progressive pictures have a few dozen scans.  Beyond
// either, EJPEG with the library's "invalid progressive parameters" number.
inline constexpr int MaxJpegScans = 1000;
inline constexpr std::int64_t MaxJpegScanBlocks = 64 * (MaxJpegPixels / 64);

}  // namespace platform

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
  ZEL_CLASS(TJPEGImage, TGraphic)
public:
  TJPEGImage();
  ~TJPEGImage() override;

  // Another TJPEGImage: shares its bytes and pixels; nullptr empties.
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return !FImage; }
  int Width() const override;
  int Height() const override;

  // Reads from the stream's position to its end and decodes; EJPEG on a
  // broken picture (the picture then stays as it was).
  void LoadFromStream(TStream* Stream) override;
  void LoadFromBytes(const std::uint8_t* Data, std::size_t Size);
  void LoadFromFile(const AnsiString& FileName);
  // Writes the JPEG bytes as they were loaded.
  void SaveToStream(TStream* Stream) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

  // Kept for the class library's interface; decoding is always full size.
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value) { FScale = Value; }
  TJPEGPerformance Performance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value) { FPerformance = Value; }
  TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat Value) { FPixelFormat = Value; }
  bool Grayscale() const { return FGrayscale; }
  // Nothing to do: the picture is decoded at the load.
  void DIBNeeded() {}
  void JPEGNeeded() {}

  // The decoded pixels (nullptr when empty) and the JPEG bytes.
  const platform::RgbImage* Image() const { return FImage.get(); }
  const std::vector<std::uint8_t>& Data() const;
  // The colour of a pixel as TColor ($00BBGGRR); clNone outside.
  TColor Pixel(int X, int Y) const;

private:
  std::shared_ptr<const std::vector<std::uint8_t>> FData;
  std::shared_ptr<const platform::RgbImage> FImage;
  bool FGrayscale = false;
  TJPEGScale FScale = jsFullSize;
  TJPEGPerformance FPerformance = jpBestQuality;
  TJPEGPixelFormat FPixelFormat = jf24Bit;
};

// The picture of an image control: holds one graphic (owned) or none.
class TPicture : public TPersistent {
  ZEL_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;

  // A TPicture or TGraphic source is copied (a graphic of the same class is
  // made and assigned); nullptr makes the picture empty.
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Takes a copy of Value (nullptr: none).
  void SetGraphic(TGraphic* Value);
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // ".jpg", ".jpeg", ".jpe", ".jfif" (case ignored); other extensions
  // raise EInvalidGraphic "Unbekannte Bilddateierweiterung (.%s)".
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

  // The stored form of a window description ("Picture.Data"): the class
  // name as a short string (length byte, then the name), then the
  // graphic's own data; for TJPEGImage a 32-bit little-endian byte count
  // and the JPEG bytes.  Bare JPEG bytes are accepted too.  An empty
  // block makes the picture empty.
  void LoadFromData(const std::vector<Byte>& Data);
  std::vector<Byte> SaveToData() const;

  TNotifyEvent OnChange;

protected:
  void Changed();

private:
  void TakeGraphic(std::unique_ptr<TGraphic> Value);
  std::unique_ptr<TGraphic> FGraphic;
};
