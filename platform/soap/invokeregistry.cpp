#include "platform/soap/invokeregistry.h"

#include <algorithm>

#include "platform/soap/soapconst.h"

namespace {
bool SameType(const TRemotableClassInfo& c, std::type_index t) { return c.Type == t; }
}  // namespace

InterfaceMapItem* TInvokableClassRegistry::Find(const TGUID& IID) {
  for (auto& item : FItems)
    if (item.Info->IID == IID) return &item;
  return nullptr;
}

void TInvokableClassRegistry::RegisterInterface(const TIntfMetaData& Info, const AnsiString& Namespace,
                                                const AnsiString& WSDLEncoding, const AnsiString& Doc,
                                                const AnsiString& ExtName) {
  std::lock_guard<std::mutex> lock(FLock);
  InterfaceMapItem* item = Find(Info.IID);
  if (!item) {
    FItems.emplace_back();
    item = &FItems.back();
  }
  *item = InterfaceMapItem{};
  item->Info = &Info;
  item->Name = Info.Name;
  item->Namespace = Namespace;
  item->WSDLEncoding = WSDLEncoding;
  item->Documentation = Doc;
  item->ExtName = ExtName;
}

void TInvokableClassRegistry::RegisterDefaultSOAPAction(const TIntfMetaData& Info,
                                                        const AnsiString& DefSOAPAction) {
  std::lock_guard<std::mutex> lock(FLock);
  InterfaceMapItem* item = Find(Info.IID);
  if (!item) throw EIntfCastError(Format(platform::soap::msg::IntfNotRegistered, {Info.Name}));
  item->SOAPAction = DefSOAPAction;
  item->InvokeOptions.Include(ioHasDefaultSOAPAction);
}

void TInvokableClassRegistry::RegisterInvokeOptions(const TIntfMetaData& Info, TIntfInvokeOptions Options) {
  std::lock_guard<std::mutex> lock(FLock);
  InterfaceMapItem* item = Find(Info.IID);
  if (!item) throw EIntfCastError(Format(platform::soap::msg::IntfNotRegistered, {Info.Name}));
  item->InvokeOptions = Options;
}

void TInvokableClassRegistry::UnRegisterInterface(const TIntfMetaData& Info) {
  std::lock_guard<std::mutex> lock(FLock);
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                              [&](const InterfaceMapItem& i) { return i.Info->IID == Info.IID; }),
               FItems.end());
}

bool TInvokableClassRegistry::HasInterface(const TGUID& IID) const {
  std::lock_guard<std::mutex> lock(FLock);
  return const_cast<TInvokableClassRegistry*>(this)->Find(IID) != nullptr;
}

InterfaceMapItem TInvokableClassRegistry::GetInterfaceInfo(const TGUID& IID) const {
  std::lock_guard<std::mutex> lock(FLock);
  const InterfaceMapItem* item = const_cast<TInvokableClassRegistry*>(this)->Find(IID);
  if (!item) throw EIntfCastError(platform::soap::msg::IntfNotSupported);
  return *item;
}

void TRemotableClassRegistry::Register(TRemotableClassInfo Info) {
  std::lock_guard<std::mutex> lock(FLock);
  for (auto& c : FItems) {
    if (SameType(c, Info.Type)) {
      c = std::move(Info);
      return;
    }
  }
  FItems.push_back(std::move(Info));
}

void TRemotableClassRegistry::UnRegisterXSClass(std::type_index Type) {
  std::lock_guard<std::mutex> lock(FLock);
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                              [&](const TRemotableClassInfo& c) { return SameType(c, Type); }),
               FItems.end());
}

TRemotableClassInfo TRemotableClassRegistry::GetClassInfo(std::type_index Type) const {
  std::lock_guard<std::mutex> lock(FLock);
  for (const auto& c : FItems)
    if (SameType(c, Type)) return c;
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
