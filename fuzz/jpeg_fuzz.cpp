// Fuzz target: JPEG bytes as the article picture arrives from the service.
// Every input either decodes or raises EJPEG; nothing else may escape and
// nothing may end the process.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gui/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromBytes(data, size);
    // A decoded picture has its whole pixel buffer.
    const platform::RgbImage* image = jpeg.Image();
    if (!image || image->Width <= 0 || image->Height <= 0 ||
        image->Pixels.size() != static_cast<std::size_t>(image->Width) * image->Height * 3)
      __builtin_trap();
    volatile TColor corner = jpeg.Pixel(image->Width - 1, image->Height - 1);
    (void)corner;
  } catch (const EJPEG&) {
  }
  // The same bytes as the stored form of a window description.
  TPicture picture;
  try {
    picture.LoadFromData(std::vector<Byte>(data, data + size));
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
