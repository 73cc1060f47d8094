// The reply reader: a reply envelope read as it arrives, the texts and
// bytes of its result written straight into their place.
#include "platform/soap/opconvert.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/codepage.h"
#include "platform/soap/soap_internal.h"

namespace platform::soap {

namespace {

constexpr const char* Soap12EnvelopeNS = "http://www.w3.org/2003/05/soap-envelope";

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
    if (StartOuterElement(Name, depth)) return;
    if (depth == 4 && InResponse) {
      StartResult(Name);
    } else if (depth == 5 && InResult) {
      StartField(Name, Attributes, depth);
    } else if (depth == 6 && InField) {
      throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Utf8ToAnsi(std::string(Name.Local))}));
    } else if (Fault) {
      StartFaultElement(Name, depth);
    }
  }

  // The envelope, the body and the response or fault in it; false for
  // every element below them.
  bool StartOuterElement(const TXmlName& Name, int depth) {
    if (depth == 1) {
      if (Name.Local != "Envelope" || !IsEnvelopeNS(Name.Namespace)) throw ESOAPDomConvertError(msg::NoEnvelope);
      return true;
    }
    if (depth == 2) {
      if (!BodySeen && Name.Local == "Body" && IsEnvelopeNS(Name.Namespace)) BodySeen = InBody = true;
      return true;
    }
    if (depth != 3 || !InBody || ResponseSeen) return false;
    ResponseSeen = true;
    if (Name.Local == "Fault" && IsEnvelopeNS(Name.Namespace)) {
      Fault = true;
    } else {
      InResponse = true;
      Result.ResponseName = Name.Local;
    }
    return true;
  }

  void StartResult(const TXmlName& Name) {
    if (ResultSeen) throw ESOAPDomConvertError(Format(msg::SeveralResults, {Result.ResponseName}));
    ResultSeen = InResult = true;
    Result.ResultName = Name.Local;
    if (ResultIsBytes) {
      Result.IsBytes = true;
      OpenBytes(ResultBytes, Result.Bytes);
    } else {
      OpenText(Result.Text);
    }
  }

  // A field of the result; one the result type does not have is skipped
  // with all it holds.
  void StartField(const TXmlName& Name, const char** Attributes, int depth) {
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
  }

  // Inside a fault: the texts it keeps (SOAP 1.1 faultstring, faultcode,
  // faultactor; SOAP 1.2 Reason/Text and Code/Value).
  void StartFaultElement(const TXmlName& Name, int depth) {
    if (FaultTarget)
      throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Utf8ToAnsi(std::string(Name.Local))}));
    TFaultText* target = nullptr;
    if (depth == 4) {
      if (Name.Local == "faultstring")
        target = &FaultText;
      else if (Name.Local == "faultcode")
        target = &FaultCode;
      else if (Name.Local == "faultactor")
        target = &FaultActor;
      InReason = Name.Local == "Reason";
      InCode = Name.Local == "Code";
    } else if (depth == 5 && InReason && Name.Local == "Text" && FaultText.Utf8.empty()) {
      target = &FaultText;
    } else if (depth == 5 && InCode && Name.Local == "Value") {
      target = &FaultCode;
    }
    if (!target) return;
    target->Clear();
    FaultTarget = target;
    FaultTargetDepth = depth;
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

TReplyReader::TReplyReader(std::vector<std::string> ByteFields, bool ResultIsBytes)
    : FImpl(std::make_unique<TImpl>()) {
  FImpl->ByteFields = std::move(ByteFields);
  FImpl->ResultIsBytes = ResultIsBytes;
}
TReplyReader::TReplyReader(std::vector<std::string> Fields, std::vector<std::string> ByteFields,
                           bool ResultIsBytes)
    : TReplyReader(std::move(ByteFields), ResultIsBytes) {
  FImpl->Fields = std::move(Fields);
  FImpl->Named = true;
}
TReplyReader::~TReplyReader() = default;

void TReplyReader::SetExpectedSize(std::int64_t Bytes) { FImpl->Expected = Bytes; }
void TReplyReader::Feed(const char* Data, std::size_t Size) { FImpl->Feed(Data, Size); }
TReplyResult TReplyReader::Finish() { return FImpl->Finish(); }

TReplyResult ParseReply(const std::string& Body, const std::vector<std::string>& ByteFields, bool ResultIsBytes) {
  constexpr std::size_t Piece = std::size_t{64} * 1024;
  TReplyReader reader(ByteFields, ResultIsBytes);
  reader.SetExpectedSize(static_cast<std::int64_t>(Body.size()));
  for (std::size_t at = 0; at < Body.size(); at += Piece)
    reader.Feed(Body.data() + at, std::min(Piece, Body.size() - at));
  return reader.Finish();
}

}  // namespace platform::soap
