// SOAP 1.1 envelopes written with Qt's XML stream writer; replies and
// service descriptions read with expat.
#include "platform/soap/opconvert.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>
#include <expat.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <exception>
#include <limits>
#include <string_view>

#include "platform/rtl/codepage.h"
#include "platform/soap/soap_internal.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

namespace {

constexpr const char* Soap12EnvelopeNS = "http://www.w3.org/2003/05/soap-envelope";
constexpr const char* XsiNS = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* XsdNS = "http://www.w3.org/2001/XMLSchema";

QString ToQ(const WideString& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::string Utf8(QStringView s) {
  QByteArray b = s.toUtf8();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// The first character of Text that XML 1.0 cannot carry, or -1.
long InvalidXmlChar(const WideString& Text) {
  for (std::size_t i = 0; i < Text.size(); ++i) {
    char16_t c = Text[i];
    if (c == 0x09 || c == 0x0A || c == 0x0D) continue;
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) return c;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      return c;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return c;
  }
  return -1;
}

// Characters as text; CR as a character reference, since a reader turns a
// literal CR into LF.
void WriteText(QXmlStreamWriter& w, const WideString& Text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= Text.size(); ++i) {
    if (i == Text.size() || Text[i] == u'\r') {
      if (i > start) w.writeCharacters(ToQ(Text.substr(start, i - start)));
      if (i < Text.size()) w.writeEntityReference(QStringLiteral("#13"));
      start = i + 1;
    }
  }
}

}  // namespace

std::string BuildRequestEnvelope(const std::string& Namespace, const std::string& Operation,
                                 const std::vector<TRequestParam>& Params) {
  for (const auto& p : Params) {
    if (const auto* text = std::get_if<WideString>(&p.Value)) {
      long bad = InvalidXmlChar(*text);
      if (bad >= 0)
        throw ESOAPDomConvertError(Format(msg::InvalidXmlChar, {static_cast<Int64>(bad), p.Name}));
    }
  }

  QString out;  // writing to a string is cheaper than through a QBuffer
  out.reserve(512);
  QXmlStreamWriter w(&out);
  w.writeNamespace(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("SOAP-ENV"));
  w.writeNamespace(QString::fromLatin1(XsdNS), QStringLiteral("xsd"));
  w.writeNamespace(QString::fromLatin1(XsiNS), QStringLiteral("xsi"));
  w.writeStartElement(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("Envelope"));
  w.writeStartElement(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("Body"));
  // The operation's element declares the namespace as default, so that the
  // parameter elements inside it are qualified by it too.
  w.writeStartElement(QString::fromUtf8(Operation.data(), static_cast<qsizetype>(Operation.size())));
  if (!Namespace.empty())
    w.writeDefaultNamespace(QString::fromUtf8(Namespace.data(), static_cast<qsizetype>(Namespace.size())));
  for (const auto& p : Params) {
    w.writeStartElement(QString::fromUtf8(p.Name.data(), static_cast<qsizetype>(p.Name.size())));
    if (const auto* i = std::get_if<Integer>(&p.Value)) {
      w.writeCharacters(QString::number(*i));
    } else if (const auto* text = std::get_if<WideString>(&p.Value)) {
      WriteText(w, *text);
    } else {
      const auto& bytes = std::get<TByteDynArray>(p.Value);
      QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
      w.writeCharacters(QString::fromLatin1(raw.toBase64()));
    }
    w.writeEndElement();
  }
  w.writeEndElement();  // operation
  w.writeEndElement();  // Body
  w.writeEndElement();  // Envelope
  w.writeEndDocument();
  // A writer on a string declares no encoding; the bytes are UTF-8.
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + Utf8(out);
}

namespace {

bool IsEnvelopeNS(std::string_view Ns) { return Ns == SoapEnvelopeNS || Ns == Soap12EnvelopeNS; }

// One text of a fault as it comes (UTF-8), kept up to MaxFaultText
// characters; what comes after them is only noted.
struct TFaultText {
  std::string Utf8;
  std::size_t Chars = 0;
  bool Cut = false;

  void Clear() {
    Utf8.clear();
    Chars = 0;
    Cut = false;
  }
  void Append(const char* Data, std::size_t Size) {
    if (Cut) return;
    std::size_t i = 0;
    for (; i < Size; ++i) {
      // expat hands over whole characters: every byte but a continuation
      // byte begins one.
      if ((static_cast<unsigned char>(Data[i]) & 0xC0) != 0x80 && Chars++ == MaxFaultText) {
        Cut = true;
        break;
      }
    }
    Utf8.append(Data, i);
  }
  // The text in the ANSI code page; a cut one ends with an ellipsis.
  AnsiString Ansi() const { return Cut ? Utf8ToAnsi(Utf8) + '\x85' : Utf8ToAnsi(Utf8); }
};

}  // namespace

// ------------------------------------------------------------ reply reader

struct TReplyReader::TImpl final : TXmlReader {
  std::vector<std::string> ByteFields;
  bool ResultIsBytes = false;
  std::int64_t Expected = -1;  // announced length of the reply

  // Named: only the result's fields of these names are kept.
  std::vector<std::string> Fields;
  bool Named = false;

  bool BodySeen = false, InBody = false, ResponseSeen = false, InResponse = false;
  bool ResultSeen = false, InResult = false, InField = false;
  TReplyResult Result;
  std::size_t OpenField = 0;  // the field being read, in Result.Fields
  int SkipDepth = 0;          // depth of the child element being skipped, 0: none

  // A fault as the body's first element.
  bool Fault = false;
  TFaultText FaultText, FaultCode, FaultActor;
  TFaultText* FaultTarget = nullptr;
  int FaultTargetDepth = 0;
  bool InReason = false, InCode = false;

  // Where the text of the open result or field goes.
  WideString* Target = nullptr;
  TBase64Decoder* Bytes = nullptr;
  bool Reserved = false;  // a text of this reply took room for the rest of it
  std::unique_ptr<TBase64Decoder> ResultBytes, FieldBytes;

  void OpenText(WideString& Where) {
    Target = &Where;
    Bytes = nullptr;
  }
  void OpenBytes(std::unique_ptr<TBase64Decoder>& Slot, TByteDynArray& Where) {
    Slot = std::make_unique<TBase64Decoder>(Where);
    Target = nullptr;
    Bytes = Slot.get();
  }

  // Bytes of the reply from the current text on, as announced; -1 unknown.
  std::int64_t Rest() const {
    if (Expected < 0) return -1;
    std::int64_t at = Position();
    return at >= 0 && at < Expected ? Expected - at : 0;
  }

  void StartElement(const TXmlName& Name, const char** Attributes) override {
    if (SkipDepth) return;
    const int depth = Depth();
    if (depth == 1) {
      if (Name.Local != "Envelope" || !IsEnvelopeNS(Name.Namespace)) throw ESOAPDomConvertError(msg::NoEnvelope);
    } else if (depth == 2) {
      if (!BodySeen && Name.Local == "Body" && IsEnvelopeNS(Name.Namespace)) BodySeen = InBody = true;
    } else if (depth == 3 && InBody && !ResponseSeen) {
      ResponseSeen = true;
      if (Name.Local == "Fault" && IsEnvelopeNS(Name.Namespace)) {
        Fault = true;
      } else {
        InResponse = true;
        Result.ResponseName = Name.Local;
      }
    } else if (depth == 4 && InResponse) {
      if (ResultSeen) throw ESOAPDomConvertError(Format(msg::SeveralResults, {Result.ResponseName}));
      ResultSeen = InResult = true;
      Result.ResultName = Name.Local;
      if (ResultIsBytes) {
        Result.IsBytes = true;
        OpenBytes(ResultBytes, Result.Bytes);
      } else {
        OpenText(Result.Text);
      }
    } else if (depth == 5 && InResult) {
      if (!Result.HasChildren) Result.FirstChild = Name.Local;
      Result.HasChildren = true;
      if (Named && std::find(Fields.begin(), Fields.end(), Name.Local) == Fields.end()) {
        SkipDepth = depth;
        return;
      }
      OpenField = Result.Fields.size();
      if (Named) {
        // Only the last element of a name counts: it takes the place of one before.
        for (std::size_t i = 0; i < Result.Fields.size(); ++i)
          if (Result.Fields[i].Name == Name.Local) OpenField = i;
      }
      if (OpenField == Result.Fields.size()) Result.Fields.emplace_back().Name = Name.Local;
      TReplyField& f = Result.Fields[OpenField];
      f.Text.clear();
      f.Bytes.clear();
      const char* nil = Attribute(Attributes, std::string(XsiNS) + NamespaceSeparator + "nil");
      f.Nil = nil && (std::string_view(nil) == "true" || std::string_view(nil) == "1");
      InField = true;
      f.IsBytes = std::find(ByteFields.begin(), ByteFields.end(), f.Name) != ByteFields.end();
      if (f.IsBytes)
        OpenBytes(FieldBytes, f.Bytes);
      else
        OpenText(f.Text);
    } else if (depth == 6 && InField) {
      throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Utf8ToAnsi(std::string(Name.Local))}));
    } else if (Fault) {
      if (FaultTarget) throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Utf8ToAnsi(std::string(Name.Local))}));
      TFaultText* target = nullptr;
      if (depth == 4) {
        if (Name.Local == "faultstring") target = &FaultText;
        else if (Name.Local == "faultcode") target = &FaultCode;
        else if (Name.Local == "faultactor") target = &FaultActor;
        InReason = Name.Local == "Reason";  // SOAP 1.2: Reason/Text and Code/Value
        InCode = Name.Local == "Code";
      } else if (depth == 5 && InReason && Name.Local == "Text" && FaultText.Utf8.empty()) {
        target = &FaultText;
      } else if (depth == 5 && InCode && Name.Local == "Value") {
        target = &FaultCode;
      }
      if (target) {
        target->Clear();
        FaultTarget = target;
        FaultTargetDepth = depth;
      }
    }
  }

  void EndElement() override {
    const int depth = Depth();
    if (SkipDepth) {
      if (depth == SkipDepth) SkipDepth = 0;
      return;
    }
    if (depth == 5 && InField) {
      if (FieldBytes) FieldBytes->Finish();
      FieldBytes.reset();
      InField = false;
      TReplyField& f = Result.Fields[OpenField];
      Settle(f.Text);
      Settle(f.Bytes);
      // Text after the field is the result's own (and refused as a value
      // with children when it matters).
      Target = ResultBytes ? nullptr : &Result.Text;
      Bytes = ResultBytes.get();
    } else if (depth == 4 && InResult) {
      if (ResultBytes && !Result.HasChildren) ResultBytes->Finish();
      ResultBytes.reset();
      Settle(Result.Text);
      Settle(Result.Bytes);
      InResult = false;
      Target = nullptr;
      Bytes = nullptr;
    } else if (depth == 3 && InResponse) {
      if (!ResultSeen) throw ESOAPDomConvertError(Format(msg::NoResult, {Result.ResponseName}));
      InResponse = false;
    } else if (depth == 2 && InBody) {
      InBody = false;
      if (!ResponseSeen) throw ESOAPDomConvertError(msg::NoResponse);
    } else if (depth == 1 && !BodySeen) {
      throw ESOAPDomConvertError(msg::NoBody);
    }
    if (Fault && FaultTarget && depth == FaultTargetDepth) FaultTarget = nullptr;
    if (Fault && depth == 4) InReason = InCode = false;
  }

  void Text(const char* Data, std::size_t Size) override {
    if (SkipDepth) return;
    const int depth = Depth();
    if (FaultTarget && depth == FaultTargetDepth) {
      FaultTarget->Append(Data, Size);
    } else if (InResult && (depth == 4 || depth == 5)) {
      if (Target) {
        // At most one UTF-16 unit per byte of UTF-8.
        if (Target->size() + Size > Target->capacity()) MakeRoom(*Target, Size, Rest(), Reserved);
        AppendUtf8ToWide(*Target, Data, Size);
      } else if (Bytes) {
        TByteDynArray& out = Bytes->Out();
        const std::size_t need = Size / 4 * 3 + 3;
        if (out.size() + need > out.capacity()) {
          std::int64_t rest = Rest();
          MakeRoom(out, need, rest < 0 ? -1 : rest / 4 * 3 + 3, Reserved);
        }
        for (std::size_t i = 0; i < Size; ++i) Bytes->PutAscii(static_cast<unsigned char>(Data[i]));
      }
    }
  }

  TReplyResult Finish() {
    TXmlReader::Finish();
    if (Fault) throw ERemotableException(FaultText.Ansi(), FaultCode.Ansi(), FaultActor.Ansi());
    return std::move(Result);
  }
};

TReplyReader::TReplyReader(std::vector<std::string> ByteFields, bool ResultIsBytes) : FImpl(std::make_unique<TImpl>()) {
  FImpl->ByteFields = std::move(ByteFields);
  FImpl->ResultIsBytes = ResultIsBytes;
}
TReplyReader::TReplyReader(std::vector<std::string> Fields, std::vector<std::string> ByteFields, bool ResultIsBytes)
    : TReplyReader(std::move(ByteFields), ResultIsBytes) {
  FImpl->Fields = std::move(Fields);
  FImpl->Named = true;
}
TReplyReader::~TReplyReader() = default;

void TReplyReader::SetExpectedSize(std::int64_t Bytes) { FImpl->Expected = Bytes; }
void TReplyReader::Feed(const char* Data, std::size_t Size) { FImpl->Feed(Data, Size); }
TReplyResult TReplyReader::Finish() { return FImpl->Finish(); }

TReplyResult ParseReply(const std::string& Body, const std::vector<std::string>& ByteFields, bool ResultIsBytes) {
  constexpr std::size_t Piece = 64 * 1024;
  TReplyReader reader(ByteFields, ResultIsBytes);
  reader.SetExpectedSize(static_cast<std::int64_t>(Body.size()));
  for (std::size_t at = 0; at < Body.size(); at += Piece)
    reader.Feed(Body.data() + at, std::min(Piece, Body.size() - at));
  return reader.Finish();
}

// ------------------------------------------------------------ service description

namespace {

// The address of one port and the actions of every binding, as the
// description's elements come: 1 definitions, 2 service or binding, 3 port
// or operation, 4 soap:address or soap:operation.
class TWsdlReader final : public TXmlReader {
public:
  TWsdlReader(const std::string& Service, const std::string& Port) : FService(Service), FPort(Port) {}

  TWsdlPortInfo Info;
  bool Root = false;

  TWsdlPortInfo Take() {
    if (!Root) throw ESOAPDomConvertError(msg::NoWsdl);
    if (Info.PortFound) {
      auto it = FBindings.find(FPortBinding);
      if (it != FBindings.end()) Info.Actions = it->second;
    }
    return std::move(Info);
  }

private:
  static std::string Value(const char** Attributes, const char* Name) {
    const char* v = Attribute(Attributes, Name);
    return v ? v : "";
  }

  void StartElement(const TXmlName& Name, const char** Attributes) override {
    const int depth = Depth();
    const bool wsdl = Name.Namespace == WsdlNS, soap = Name.Namespace == WsdlSoapNS;
    if (depth == 1) {
      if (Name.Local != "definitions" || !wsdl) throw ESOAPDomConvertError(msg::NoWsdl);
      Root = true;
    } else if (depth == 2 && wsdl && Name.Local == "service") {
      FInService = Value(Attributes, "name") == FService;
    } else if (depth == 2 && wsdl && Name.Local == "binding") {
      FInBinding = true;
      FBinding = Value(Attributes, "name");
      FBindings[FBinding];
    } else if (depth == 3 && FInService && wsdl && Name.Local == "port" && Value(Attributes, "name") == FPort &&
               !Info.PortFound) {
      FInPort = true;
      Info.PortFound = true;
      std::string binding = Value(Attributes, "binding");
      std::size_t colon = binding.find(':');
      FPortBinding = colon == std::string::npos ? binding : binding.substr(colon + 1);
    } else if (depth == 4 && FInPort && soap && Name.Local == "address") {
      std::string location = Value(Attributes, "location");
      const char* space = " \t\r\n";
      std::size_t b = location.find_first_not_of(space), e = location.find_last_not_of(space);
      Info.Address = b == std::string::npos ? std::string() : location.substr(b, e - b + 1);
    } else if (depth == 3 && FInBinding && wsdl && Name.Local == "operation") {
      FInOperation = true;
      FOperation = Value(Attributes, "name");
    } else if (depth == 4 && FInOperation && soap && Name.Local == "operation") {
      FBindings[FBinding][FOperation] = Value(Attributes, "soapAction");
    }
  }

  void EndElement() override {
    if (Depth() == 2) FInService = FInBinding = false;
    if (Depth() == 3) FInPort = FInOperation = false;
  }

  const std::string& FService;
  const std::string& FPort;
  bool FInService = false, FInPort = false, FInBinding = false, FInOperation = false;
  std::string FBinding, FOperation, FPortBinding;
  std::map<std::string, std::map<std::string, std::string>> FBindings;
};

}  // namespace

TWsdlPortInfo ReadWsdlPort(const std::string& Wsdl, const std::string& Service,
                           const std::string& Port) {
  TWsdlReader reader(Service, Port);
  reader.Feed(Wsdl.data(), Wsdl.size());
  reader.Finish();
  return reader.Take();
}

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
      case TSoapKind::Integer:
        prop.Set(Object, ParseSoapInteger(field->Text));
        break;
      case TSoapKind::WideString:
        prop.Set(Object, std::move(field->Text));
        break;
      case TSoapKind::ByteArray:
        prop.Set(Object, field->IsBytes ? std::move(field->Bytes) : ParseBase64(field->Text));
        break;
      case TSoapKind::Remotable:
        throw ESOAPDomConvertError(Format(msg::UnsupportedType, {prop.Name}));
    }
  }
}

}  // namespace platform::soap
