// The values of a reply onto the interface's types: integers, and the
// fields of a remotable object.
#include "platform/soap/opconvert.h"

#include <limits>

#include "platform/rtl/codepage.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

Integer ParseSoapInteger(const WideString& Text) {
  std::size_t b = 0, e = Text.size();
  auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  while (b < e && space(Text[b])) ++b;
  while (e > b && space(Text[e - 1])) --e;
  bool neg = false;
  std::size_t i = b;
  if (i < e && (Text[i] == u'+' || Text[i] == u'-')) neg = Text[i++] == u'-';
  bool ok = i < e;
  Int64 v = 0;
  for (; ok && i < e; ++i) {
    if (Text[i] < u'0' || Text[i] > u'9') {
      ok = false;
      break;
    }
    v = v * 10 + (Text[i] - u'0');
    if (v > Int64(std::numeric_limits<Integer>::max()) + 1) ok = false;
  }
  if (neg) v = -v;
  if (!ok || v > std::numeric_limits<Integer>::max() || v < std::numeric_limits<Integer>::min())
    throw ESOAPDomConvertError(Format(::platform::msg::InvalidInteger, {WideToAnsi(Text)}));
  return static_cast<Integer>(v);
}

std::vector<std::string> FieldsOf(const TRemotableClassInfo& Class) {
  std::vector<std::string> out;
  for (const auto& prop : Class.Props) out.push_back(prop.Name);
  return out;
}

std::vector<std::string> ByteFieldsOf(const TRemotableClassInfo& Class) {
  std::vector<std::string> out;
  for (const auto& prop : Class.Props)
    if (prop.Kind == TSoapKind::ByteArray) out.push_back(prop.Name);
  return out;
}

void AssignFields(TReplyResult& Reply, const TRemotableClassInfo& Class, TRemotable& Object) {
  for (const auto& prop : Class.Props) {
    TReplyField* field = nullptr;
    for (auto& f : Reply.Fields)
      if (f.Name == prop.Name) field = &f;
    if (!field || field->Nil) {
      if (prop.Required) throw ESOAPDomConvertError(Format(msg::MissingElement, {prop.Name, Class.Name}));
      continue;
    }
    switch (prop.Kind) {
      case TSoapKind::Integer: prop.Set(Object, ParseSoapInteger(field->Text)); break;
      case TSoapKind::WideString: prop.Set(Object, std::move(field->Text)); break;
      case TSoapKind::ByteArray:
        prop.Set(Object, field->IsBytes ? std::move(field->Bytes) : ParseBase64(field->Text));
        break;
      case TSoapKind::Remotable: throw ESOAPDomConvertError(Format(msg::UnsupportedType, {prop.Name}));
    }
  }
}

}  // namespace platform::soap
