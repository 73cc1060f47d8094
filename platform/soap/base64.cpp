// Base64 text decoded whole.  The decoder itself is in soap_internal.h,
// since the reply reader runs it on every byte as the reply comes.
#include "platform/soap/opconvert.h"

#include "platform/soap/soap_internal.h"

namespace platform::soap {

TByteDynArray ParseBase64(const WideString& Text) {
  TByteDynArray out;
  out.reserve(Text.size() / 4 * 3 + 3);
  TBase64Decoder decoder(out);
  for (char16_t c : Text) decoder.Put(c);
  decoder.Finish();
  return out;
}

}  // namespace platform::soap
