// TJPEGImage and TPicture.
#include "platform/gui/jpeg.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

#include "platform/gui/qt_internal.h"

// ---------------------------------------------------------------- TJPEGImage

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    FData.reset();
    FImage.reset();
    FGrayscale = false;
    Changed();
    return;
  }
  if (auto* other = dynamic_cast<TJPEGImage*>(Source)) {
    if (other == this) return;
    FData = other->FData;
    FImage = other->FImage;
    FGrayscale = other->FGrayscale;
    FScale = other->FScale;
    FPerformance = other->FPerformance;
    FPixelFormat = other->FPixelFormat;
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

int TJPEGImage::Width() const { return FImage ? FImage->Width : 0; }
int TJPEGImage::Height() const { return FImage ? FImage->Height : 0; }

const std::vector<std::uint8_t>& TJPEGImage::Data() const {
  static const std::vector<std::uint8_t> kEmpty;
  return FData ? *FData : kEmpty;
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  const Int64 rest = Stream->Size() - Stream->Position();
  if (rest > 0) {
    bytes.resize(static_cast<std::size_t>(rest));
    bytes.resize(static_cast<std::size_t>(Stream->Read(bytes.data(), static_cast<int>(rest))));
  } else {
    // A stream that does not know its size: read in blocks to the end.
    std::uint8_t block[16384];
    for (;;) {
      const int n = Stream->Read(block, sizeof block);
      if (n <= 0) break;
      bytes.insert(bytes.end(), block, block + n);
    }
  }
  auto data = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
  auto image = std::make_shared<platform::RgbImage>(platform::DecodeJpeg(data->data(), data->size()));
  FData = std::move(data);
  FImage = std::move(image);
  FGrayscale = FImage->Grayscale;
  Changed();
}

void TJPEGImage::LoadFromBytes(const std::uint8_t* Data, std::size_t Size) {
  TMemoryStream stream;
  if (Size) stream.WriteBuffer(Data, static_cast<int>(Size));
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TJPEGImage::LoadFromFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  const auto& bytes = Data();
  if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

TColor TJPEGImage::Pixel(int X, int Y) const {
  if (!FImage || X < 0 || Y < 0 || X >= FImage->Width || Y >= FImage->Height) return clNone;
  const std::uint8_t* p = FImage->Pixels.data() + (static_cast<std::size_t>(Y) * FImage->Width + X) * 3;
  return static_cast<TColor>(RGB(p[0], p[1], p[2]));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FImage || !ACanvas || Rect.IsEmpty()) return;
  QPainter* painter = platform::PainterOfDC(ACanvas->Handle());
  if (!painter) return;  // a surface that only measures
  const QImage image(FImage->Pixels.data(), FImage->Width, FImage->Height,
                     static_cast<qsizetype>(FImage->Width) * 3, QImage::Format_RGB888);
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter->drawImage(platform::ToQRect(Rect), image);
  painter->restore();
}

// ---------------------------------------------------------------- TPicture

namespace {

const char* const kJpegClass = "TJPEGImage";

std::unique_ptr<TGraphic> NewGraphicLike(TGraphic* Source) {
  if (dynamic_cast<TJPEGImage*>(Source)) return std::make_unique<TJPEGImage>();
  throw EInvalidGraphic("Unbekanntes Bildformat (%s)", {AnsiString(Source->ClassName())});
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> Value) {
  FGraphic = std::move(Value);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == nullptr) {
    TakeGraphic(nullptr);
    return;
  }
  if (Value == FGraphic.get()) return;
  std::unique_ptr<TGraphic> copy = NewGraphicLike(Value);
  copy->Assign(Value);
  TakeGraphic(std::move(copy));
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    if (picture != this) SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
  const AnsiString ext = LowerCase(ExtractFileExt(FileName));
  if (ext != ".jpg" && ext != ".jpeg" && ext != ".jpe" && ext != ".jfif")
    throw EInvalidGraphic("Unbekannte Bilddateierweiterung (%s)", {ext});
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->LoadFromFile(FileName);
  TakeGraphic(std::move(jpeg));
}

void TPicture::SaveToFile(const AnsiString& FileName) {
  if (!FGraphic) return;
  TFileStream stream(FileName, fmCreate);
  FGraphic->SaveToStream(&stream);
}

void TPicture::LoadFromData(const std::vector<Byte>& Data) {
  if (Data.empty()) {
    TakeGraphic(nullptr);
    return;
  }
  const Byte* jpegBytes = nullptr;
  std::size_t jpegSize = 0;
  if (Data.size() >= 2 && Data[0] == 0xFF && Data[1] == 0xD8) {
    jpegBytes = Data.data();
    jpegSize = Data.size();
  } else {
    const std::size_t nameLen = Data[0];
    if (1 + nameLen > Data.size()) throw EInvalidGraphic("Unbekanntes Bildformat");
    const AnsiString name(reinterpret_cast<const char*>(Data.data() + 1), nameLen);
    if (!SameText(name, kJpegClass)) throw EInvalidGraphic("Unbekanntes Bildformat (%s)", {name});
    std::size_t pos = 1 + nameLen;
    std::uint32_t count = 0;
    if (pos + 4 <= Data.size()) {
      for (int i = 0; i < 4; ++i) count |= static_cast<std::uint32_t>(Data[pos + i]) << (8 * i);
      pos += 4;
    } else {
      pos = Data.size();  // no count, so no bytes: the decoder reports the short data
    }
    jpegBytes = Data.data() + pos;
    jpegSize = std::min<std::size_t>(count, Data.size() - pos);
  }
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->LoadFromBytes(jpegBytes, jpegSize);
  TakeGraphic(std::move(jpeg));
}

std::vector<Byte> TPicture::SaveToData() const {
  std::vector<Byte> out;
  auto* jpeg = dynamic_cast<TJPEGImage*>(FGraphic.get());
  if (!jpeg) return out;
  const std::size_t nameLen = std::strlen(kJpegClass);
  const auto& bytes = jpeg->Data();
  const auto count = static_cast<std::uint32_t>(bytes.size());
  out.resize(1 + nameLen + 4 + bytes.size());
  out[0] = static_cast<Byte>(nameLen);
  std::memcpy(out.data() + 1, kJpegClass, nameLen);
  for (std::size_t i = 0; i < 4; ++i) out[1 + nameLen + i] = static_cast<Byte>(count >> (8 * i));
  if (!bytes.empty()) std::memcpy(out.data() + 1 + nameLen + 4, bytes.data(), bytes.size());
  return out;
}
