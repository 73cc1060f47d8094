// Feeds SOAP replies and service descriptions to their readers, each whole.
// Every input goes through both; the readers may refuse it, never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/soap/invokeregistry.h"
#include "platform/soap/opconvert.h"

namespace {

class TFuzzResult : public TRemotable {
public:
  void SetStatus(Integer v) { FStatus = v; }
  void SetMsg(const WideString& v) { FMsg = v; }
  void SetData(const TByteDynArray& v) { FData = v; }

private:
  Integer FStatus = 0;
  WideString FMsg;
  TByteDynArray FData;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform::soap;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TRemotableClassInfo cls;
  cls.Name = "TFuzzResult";
  cls.Props = {IntegerProp("Status", &TFuzzResult::SetStatus, true), WideStringProp("Msg", &TFuzzResult::SetMsg),
               ByteArrayProp("Data", &TFuzzResult::SetData)};
  try {
    TReplyResult reply = ParseReply(text, {"Data"});
    TFuzzResult result;
    AssignFields(reply, cls, result);
  } catch (const Exception&) {
  }
  // As the client reads it: only the result type's fields.
  try {
    TReplyReader reader(FieldsOf(cls), ByteFieldsOf(cls), false);
    reader.Feed(text.data(), text.size());
    TReplyResult reply = reader.Finish();
    TFuzzResult result;
    AssignFields(reply, cls, result);
  } catch (const Exception&) {
  }
  try {
    TWsdlPortInfo info = ReadWsdlPort(text, "zelservice", "zelserviceSoap");
    (void)info;
  } catch (const Exception&) {
  }
  return 0;
}
