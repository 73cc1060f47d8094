#include "platform/soap/soaphttpclient.h"

#include <exception>

#include "platform/rtl/sysutils.h"
#include "platform/soap/opconvert.h"
#include "platform/soap/soapconst.h"

using namespace platform::soap;

namespace {

bool IsRefusedContentType(const std::string& type) {
  return SameText(type, "text/plain") || SameText(type, "text/html");
}

void CheckStatus(const THttpReply& reply, const std::string& url) {
  if (reply.Status >= 300 && reply.Status != 500)
    throw ESOAPHTTPException(
        Format(msg::HttpStatusError, {reply.StatusText, static_cast<Int64>(reply.Status), url}),
        static_cast<int>(reply.Status));
}

// A control character (C0, DEL or C1 in UTF-8) would break the request's
// head apart: CR LF in an action starts a header of its own.
bool HasControlChar(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F)
      return true;
  }
  return false;
}

bool HasControlChar(const TWsdlPortInfo& info) {
  if (HasControlChar(info.Address)) return true;
  for (const auto& [operation, action] : info.Actions)
    if (HasControlChar(action)) return true;
  return false;
}

// Reads the reply body into a TReplyReader as it arrives, when the head
// says it is a SOAP answer to read; keeps the first error it raises.
class TReaderSink final : public TReplySink {
public:
  explicit TReaderSink(TReplyReader& Reader) : FReader(Reader) {}
  bool Wanted(long Status, const std::string& ContentType, std::int64_t Length) override {
    if (!IsSoapAnswer(Status, ContentType)) return false;
    FReader.SetExpectedSize(Length);
    return true;
  }
  bool Write(const char* Data, std::size_t Size) override {
    try {
      FReader.Feed(Data, Size);
      return true;
    } catch (...) {
      FError = std::current_exception();
      return false;
    }
  }
  // The reader's result, or the error it raised while the reply came.
  TReplyResult Finish() {
    if (FError) std::rethrow_exception(FError);
    return FReader.Finish();
  }
  static bool IsSoapAnswer(long Status, const std::string& ContentType) {
    return (Status < 300 || Status == 500) && !IsRefusedContentType(ContentType);
  }

private:
  TReplyReader& FReader;
  std::exception_ptr FError;
};

AnsiString ReplaceOperationName(const AnsiString& pattern, const AnsiString& operation) {
  return StringReplace(pattern, "%operationName%", operation, rfReplaceAll | rfIgnoreCase);
}

}  // namespace

struct THTTPRIO::TImpl {
  AnsiString WSDLLocation;
  AnsiString Service;
  AnsiString Port;
  bool HaveDescription = false;
  bool Refused = false;  // the description would put control characters into requests
  TWsdlPortInfo PortInfo;
  THttpTransport Transport;
};

THTTPRIO::THTTPRIO() : FImpl(std::make_unique<TImpl>()) {}
THTTPRIO::~THTTPRIO() = default;

const AnsiString& THTTPRIO::WSDLLocation() const { return FImpl->WSDLLocation; }
void THTTPRIO::SetWSDLLocation(const AnsiString& Value) {
  if (Value == FImpl->WSDLLocation) return;
  FImpl->WSDLLocation = Value;
  FImpl->HaveDescription = false;
  FImpl->PortInfo = TWsdlPortInfo{};
}
const AnsiString& THTTPRIO::Service() const { return FImpl->Service; }
void THTTPRIO::SetService(const AnsiString& Value) {
  FImpl->Service = Value;
  FImpl->HaveDescription = false;
}
const AnsiString& THTTPRIO::Port() const { return FImpl->Port; }
void THTTPRIO::SetPort(const AnsiString& Value) {
  FImpl->Port = Value;
  FImpl->HaveDescription = false;
}
AnsiString THTTPRIO::URL() const { return FImpl->HaveDescription ? FImpl->PortInfo.Address : AnsiString(); }

int THTTPRIO::ConnectTimeout() const { return FImpl->Transport.Limits.ConnectTimeoutMs; }
void THTTPRIO::SetConnectTimeout(int Ms) { FImpl->Transport.Limits.ConnectTimeoutMs = Ms; }
int THTTPRIO::ReceiveTimeout() const { return FImpl->Transport.Limits.ReceiveTimeoutMs; }
void THTTPRIO::SetReceiveTimeout(int Ms) { FImpl->Transport.Limits.ReceiveTimeoutMs = Ms; }
int THTTPRIO::TotalTimeout() const { return FImpl->Transport.Limits.TotalTimeoutMs; }
void THTTPRIO::SetTotalTimeout(int Ms) { FImpl->Transport.Limits.TotalTimeoutMs = Ms; }
Int64 THTTPRIO::MaxReplySize() const { return FImpl->Transport.Limits.MaxReplySize; }
void THTTPRIO::SetMaxReplySize(Int64 Bytes) { FImpl->Transport.Limits.MaxReplySize = Bytes; }

const THttpTrace& THTTPRIO::LastTrace() const { return FImpl->Transport.LastTrace(); }
std::size_t THTTPRIO::HeldReplyBytes() const { return FImpl->Transport.HeldReplyBytes(); }

AnsiString THTTPRIO::CastErrorText() { return msg::IntfNotSupported; }

std::shared_ptr<IInvokable> THTTPRIO::CreateView(const TIntfMetaData& Info) {
  auto item = InvRegistry()->FindInterface(Info.IID);
  std::shared_ptr<THTTPRIO> self = weak_from_this().lock();
  if (!item || !self || !item->Info->CreateProxy) throw EIntfCastError(msg::IntfNotSupported);
  return item->Info->CreateProxy(self);
}

void THTTPRIO::ReadDescription(const std::string&) {
  THttpReply reply = FImpl->Transport.Get(FImpl->WSDLLocation);
  CheckStatus(reply, FImpl->WSDLLocation);
  if (reply.Status == 500)
    throw ESOAPHTTPException(Format(msg::HttpStatusError, {reply.StatusText, 500, FImpl->WSDLLocation}), 500);
  FImpl->PortInfo = ReadWsdlPort(reply.Body, FImpl->Service, FImpl->Port);
  FImpl->Refused = HasControlChar(FImpl->PortInfo);
  FImpl->HaveDescription = true;
}

TInvokeResult THTTPRIO::Invoke(const TIntfMetaData& Intf, int Slot, const std::vector<TSoapValue>& Args) {
  auto registered = InvRegistry()->FindInterface(Intf.IID);
  if (!registered) throw EIntfCastError(msg::IntfNotSupported);
  const InterfaceMapItem& item = *registered;
  if (Slot < 0 || static_cast<std::size_t>(Slot) >= Intf.MDA.size())
    throw EIntfCastError(Format(msg::BadArguments, {IntToStr(Slot)}));
  const TIntfMethEntry& method = Intf.MDA[static_cast<std::size_t>(Slot)];
  if (!item.InvokeOptions.Contains(ioDocument) || item.InvokeOptions.Contains(ioLiteral))
    throw ESOAPDomConvertError(Format(msg::NotDocumentStyle, {Intf.Name}));

  // The request first: a text that XML cannot carry fails before anything is sent.
  if (Args.size() != method.Params.size()) throw EIntfCastError(Format(msg::BadArguments, {method.Name}));
  std::vector<TRequestParam> params;
  params.reserve(Args.size());
  for (std::size_t i = 0; i < Args.size(); ++i) {
    TSoapKind kind = method.Params[i].Kind;
    bool fits = (kind == TSoapKind::Integer && std::holds_alternative<Integer>(Args[i])) ||
                (kind == TSoapKind::WideString && std::holds_alternative<WideString>(Args[i])) ||
                (kind == TSoapKind::ByteArray && std::holds_alternative<TByteDynArray>(Args[i]));
    if (!fits) throw EIntfCastError(Format(msg::BadArguments, {method.Name}));
    params.push_back({method.Params[i].Name, Args[i]});
  }
  std::string envelope = BuildRequestEnvelope(item.Namespace, method.Name, params);

  if (!FImpl->HaveDescription) ReadDescription(method.Name);
  const std::string& address = FImpl->PortInfo.Address;
  if (address.empty())
    throw ESOAPHTTPException(Format(msg::NoEndpoint, {FImpl->Service, FImpl->Port, FImpl->WSDLLocation}));
  if (FImpl->Refused)
    throw ESOAPHTTPException(
        Format(msg::ControlInDescription, {FImpl->WSDLLocation, FImpl->Service, FImpl->Port}));

  std::string action;
  auto found = FImpl->PortInfo.Actions.find(method.Name);
  if (found != FImpl->PortInfo.Actions.end() && !found->second.empty())
    action = found->second;
  else if (item.InvokeOptions.Contains(ioHasDefaultSOAPAction))
    action = ReplaceOperationName(item.SOAPAction, method.Name);

  // The reply is read as it arrives; the result's texts go straight into
  // their place and nothing of a failed reply outlives the call.
  std::shared_ptr<const TRemotableClassInfo> cls;
  if (method.ResultKind == TSoapKind::Remotable) cls = RemClassRegistry()->GetClassInfo(method.ResultClass);
  // Elements the result type does not have are skipped as they come.
  TReplyReader reader(cls ? FieldsOf(*cls) : std::vector<std::string>(),
                      cls ? ByteFieldsOf(*cls) : std::vector<std::string>(),
                      method.ResultKind == TSoapKind::ByteArray);
  TReaderSink sink(reader);
  THttpReply reply = FImpl->Transport.Post(address, action, envelope, &sink);
  CheckStatus(reply, address);
  if (IsRefusedContentType(reply.ContentType))
    throw ESOAPHTTPException(Format(msg::WrongContentType, {reply.ContentType}), static_cast<int>(reply.Status));

  TReplyResult result;
  try {
    result = sink.Finish();
  } catch (const ESOAPDomConvertError&) {
    // A 500 that carries no readable fault is reported as the status it is.
    if (reply.Status == 500)
      throw ESOAPHTTPException(Format(msg::HttpStatusError, {reply.StatusText, 500, address}), 500);
    throw;
  }
  if (reply.Status == 500)
    throw ESOAPHTTPException(Format(msg::HttpStatusError, {reply.StatusText, 500, address}), 500);

  TInvokeResult out;
  switch (method.ResultKind) {
    case TSoapKind::Remotable: {
      out.Object = cls->Create();
      AssignFields(result, *cls, *out.Object);
      break;
    }
    case TSoapKind::Integer:
      if (result.HasChildren) throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {result.FirstChild}));
      out.Value = ParseSoapInteger(result.Text);
      break;
    case TSoapKind::WideString:
      if (result.HasChildren) throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {result.FirstChild}));
      out.Value = std::move(result.Text);
      break;
    case TSoapKind::ByteArray:
      if (result.HasChildren) throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {result.FirstChild}));
      out.Value = result.IsBytes ? std::move(result.Bytes) : ParseBase64(result.Text);
      break;
  }
  return out;
}
