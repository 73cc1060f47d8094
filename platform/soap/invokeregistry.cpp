#include "platform/soap/invokeregistry.h"

#include <algorithm>

#include "platform/soap/soapconst.h"

std::size_t TInvokableClassRegistry::IndexOf(const TGUID& IID) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Info->IID == IID) return i;
  return FItems.size();
}

void TInvokableClassRegistry::RegisterInterface(const TIntfMetaData& Info, const AnsiString& Namespace,
                                                const AnsiString& WSDLEncoding, const AnsiString& Doc,
                                                const AnsiString& ExtName) {
  auto item = std::make_shared<InterfaceMapItem>();
  item->Info = &Info;
  item->Name = Info.Name;
  item->Namespace = Namespace;
  item->WSDLEncoding = WSDLEncoding;
  item->Documentation = Doc;
  item->ExtName = ExtName;
  std::lock_guard<std::mutex> lock(FLock);
  std::size_t i = IndexOf(Info.IID);
  if (i == FItems.size())
    FItems.push_back(std::move(item));
  else
    FItems[i] = std::move(item);
}

void TInvokableClassRegistry::RegisterDefaultSOAPAction(const TIntfMetaData& Info,
                                                        const AnsiString& DefSOAPAction) {
  std::lock_guard<std::mutex> lock(FLock);
  std::size_t i = IndexOf(Info.IID);
  if (i == FItems.size()) throw EIntfCastError(Format(platform::soap::msg::IntfNotRegistered, {Info.Name}));
  auto item = std::make_shared<InterfaceMapItem>(*FItems[i]);
  item->SOAPAction = DefSOAPAction;
  item->InvokeOptions.Include(ioHasDefaultSOAPAction);
  FItems[i] = std::move(item);
}

void TInvokableClassRegistry::RegisterInvokeOptions(const TIntfMetaData& Info, TIntfInvokeOptions Options) {
  std::lock_guard<std::mutex> lock(FLock);
  std::size_t i = IndexOf(Info.IID);
  if (i == FItems.size()) throw EIntfCastError(Format(platform::soap::msg::IntfNotRegistered, {Info.Name}));
  auto item = std::make_shared<InterfaceMapItem>(*FItems[i]);
  item->InvokeOptions = Options;
  FItems[i] = std::move(item);
}

void TInvokableClassRegistry::UnRegisterInterface(const TIntfMetaData& Info) {
  std::lock_guard<std::mutex> lock(FLock);
  std::size_t i = IndexOf(Info.IID);
  if (i < FItems.size()) FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
}

bool TInvokableClassRegistry::HasInterface(const TGUID& IID) const { return FindInterface(IID) != nullptr; }

std::shared_ptr<const InterfaceMapItem> TInvokableClassRegistry::FindInterface(const TGUID& IID) const {
  std::lock_guard<std::mutex> lock(FLock);
  std::size_t i = IndexOf(IID);
  return i < FItems.size() ? FItems[i] : nullptr;
}

InterfaceMapItem TInvokableClassRegistry::GetInterfaceInfo(const TGUID& IID) const {
  auto item = FindInterface(IID);
  if (!item) throw EIntfCastError(platform::soap::msg::IntfNotSupported);
  return *item;
}

void TRemotableClassRegistry::Register(TRemotableClassInfo Info) {
  auto item = std::make_shared<const TRemotableClassInfo>(std::move(Info));
  std::lock_guard<std::mutex> lock(FLock);
  for (auto& c : FItems) {
    if (c->Type == item->Type) {
      c = std::move(item);
      return;
    }
  }
  FItems.push_back(std::move(item));
}

void TRemotableClassRegistry::UnRegisterXSClass(std::type_index Type) {
  std::lock_guard<std::mutex> lock(FLock);
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(), [&](const auto& c) { return c->Type == Type; }),
               FItems.end());
}

std::shared_ptr<const TRemotableClassInfo> TRemotableClassRegistry::GetClassInfo(std::type_index Type) const {
  std::lock_guard<std::mutex> lock(FLock);
  for (const auto& c : FItems)
    if (c->Type == Type) return c;
  throw ESOAPDomConvertError(platform::soap::msg::ClassNotRegistered);
}

TInvokableClassRegistry* InvRegistry() {
  static TInvokableClassRegistry registry;
  return &registry;
}

TRemotableClassRegistry* RemClassRegistry() {
  static TRemotableClassRegistry registry;
  return &registry;
}
