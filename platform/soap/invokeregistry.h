// The invocation registry of the SOAP runtime: invokable interfaces with
// their namespace, SOAPAction pattern and invoke options, and the remotable
// classes that results are read into.
//
// C++ has no run-time description of an interface's methods, so a module
// that declares an invokable interface also supplies its method table
// (TIntfMetaData: the operations in slot order with their parameters) and a
// proxy factory that turns a SOAP client into the interface.  A remotable
// class supplies its published properties (TRemotablePropInfo).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <variant>
#include <vector>

#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

// A byte array as the runtime passes it (base64 on the wire).
using TByteDynArray = std::vector<Byte>;

// An interface identifier.  Nothing on the wire carries it.
struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {};

  friend bool operator==(const TGUID& a, const TGUID& b) {
    if (a.D1 != b.D1 || a.D2 != b.D2 || a.D3 != b.D3) return false;
    for (int i = 0; i < 8; ++i)
      if (a.D4[i] != b.D4[i]) return false;
    return true;
  }
};

// The runtime's errors.
class EIntfCastError : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "EIntfCastError"; }
};

// A request or reply that cannot be converted (bad XML, a DTD, a value of
// the wrong form, a character that XML cannot carry).
class ESOAPDomConvertError : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "ESOAPDomConvertError"; }
};

// A SOAP fault sent by the service; the message is the fault's text.
class ERemotableException : public Exception {
public:
  ERemotableException(const AnsiString& Msg, const AnsiString& FaultCode, const AnsiString& FaultActor)
      : Exception(Msg), FFaultCode(FaultCode), FFaultActor(FaultActor) {}
  const char* ClassName() const override { return "ERemotableException"; }
  const AnsiString& FaultCode() const { return FFaultCode; }
  const AnsiString& FaultActor() const { return FFaultActor; }

private:
  AnsiString FFaultCode;
  AnsiString FFaultActor;
};

// A failure of the HTTP road: transport, status, content type, description.
class ESOAPHTTPException : public Exception {
public:
  explicit ESOAPHTTPException(const AnsiString& Msg, int StatusCode = 0)
      : Exception(Msg), FStatusCode(StatusCode) {}
  const char* ClassName() const override { return "ESOAPHTTPException"; }
  int StatusCode() const { return FStatusCode; }

private:
  int FStatusCode;
};

// The base of every invokable interface.
class IInvokable {
public:
  virtual ~IInvokable() = default;
};

// The base of every remotable class (a result type of an operation).
class TRemotable {
public:
  virtual ~TRemotable() = default;
};

enum TIntfInvokeOption {
  ioDefault,
  ioDocument,
  ioLiteral,
  ioHasDefaultSOAPAction,
  ioHasReturnParamNames,
  ioHasNamespace,
  ioIsAppServerSOAP
};

// A set of invoke options.
class TIntfInvokeOptions {
public:
  constexpr TIntfInvokeOptions() = default;
  constexpr TIntfInvokeOptions(std::initializer_list<TIntfInvokeOption> Options) {
    for (auto o : Options) FBits |= Bit(o);
  }
  constexpr bool Contains(TIntfInvokeOption o) const { return (FBits & Bit(o)) != 0; }
  constexpr void Include(TIntfInvokeOption o) { FBits |= Bit(o); }
  constexpr void Exclude(TIntfInvokeOption o) { FBits &= ~Bit(o); }
  constexpr bool Empty() const { return FBits == 0; }
  friend constexpr bool operator==(TIntfInvokeOptions a, TIntfInvokeOptions b) { return a.FBits == b.FBits; }

private:
  static constexpr unsigned Bit(TIntfInvokeOption o) { return 1u << static_cast<unsigned>(o); }
  unsigned FBits = 0;
};

namespace platform::soap {

// The kinds of values an operation takes and returns.
enum class TSoapKind { Integer, WideString, ByteArray, Remotable };

// One parameter value or one scalar result.
using TSoapValue = std::variant<Integer, WideString, TByteDynArray>;

class TRIOCore;

}  // namespace platform::soap

// A published property of a remotable class.
struct TRemotablePropInfo {
  AnsiString Name;
  platform::soap::TSoapKind Kind = platform::soap::TSoapKind::Integer;
  // A result without this element fails the call.
  bool Required = false;
  // Takes the value over (a text or byte array is moved, not copied, when
  // the setter takes it by value).
  std::function<void(TRemotable&, platform::soap::TSoapValue&&)> Set;
};

// A registered remotable class.
struct TRemotableClassInfo {
  std::type_index Type = typeid(void);
  AnsiString URI;
  AnsiString Name;
  std::function<std::unique_ptr<TRemotable>()> Create;
  std::vector<TRemotablePropInfo> Props;
};

// One parameter of an operation.
struct TIntfParamEntry {
  AnsiString Name;
  platform::soap::TSoapKind Kind = platform::soap::TSoapKind::Integer;
};

// One operation of an interface's method table.
struct TIntfMethEntry {
  AnsiString Name;
  std::vector<TIntfParamEntry> Params;
  platform::soap::TSoapKind ResultKind = platform::soap::TSoapKind::Integer;
  // For a remotable result: its class.
  std::type_index ResultClass = typeid(void);
};

// The description of an invokable interface: its name, identifier, the
// operations in slot order, and the factory that views a SOAP client as it.
struct TIntfMetaData {
  AnsiString Name;
  TGUID IID;
  std::vector<TIntfMethEntry> MDA;
  std::function<std::shared_ptr<IInvokable>(std::shared_ptr<platform::soap::TRIOCore>)> CreateProxy;
};

// What the registry keeps for a registered interface.
struct InterfaceMapItem {
  const TIntfMetaData* Info = nullptr;
  AnsiString Name;
  AnsiString Namespace;
  AnsiString WSDLEncoding;
  AnsiString Documentation;
  AnsiString ExtName;
  AnsiString SOAPAction;  // the default SOAPAction pattern
  TIntfInvokeOptions InvokeOptions;
};

class TInvokableClassRegistry {
public:
  void RegisterInterface(const TIntfMetaData& Info, const AnsiString& Namespace = "",
                         const AnsiString& WSDLEncoding = "", const AnsiString& Doc = "",
                         const AnsiString& ExtName = "");
  // Records the pattern ("%operationName%" stands for the operation) and
  // marks the interface as having a default action.
  void RegisterDefaultSOAPAction(const TIntfMetaData& Info, const AnsiString& DefSOAPAction);
  // Assigns the whole option set.
  void RegisterInvokeOptions(const TIntfMetaData& Info, TIntfInvokeOptions Options);
  void UnRegisterInterface(const TIntfMetaData& Info);

  bool HasInterface(const TGUID& IID) const;
  // A copy of the entry; raises EIntfCastError when the interface is not registered.
  InterfaceMapItem GetInterfaceInfo(const TGUID& IID) const;
  // The entry as it stands now (entries are replaced, never changed), or null.
  std::shared_ptr<const InterfaceMapItem> FindInterface(const TGUID& IID) const;

private:
  std::size_t IndexOf(const TGUID& IID) const;  // FItems.size() if none
  mutable std::mutex FLock;
  std::vector<std::shared_ptr<const InterfaceMapItem>> FItems;
};

class TRemotableClassRegistry {
public:
  template <class T>
  void RegisterXSClass(const AnsiString& URI, const AnsiString& Name, std::vector<TRemotablePropInfo> Props) {
    TRemotableClassInfo info;
    info.Type = typeid(T);
    info.URI = URI;
    info.Name = Name;
    info.Create = [] { return std::unique_ptr<TRemotable>(new T()); };
    info.Props = std::move(Props);
    Register(std::move(info));
  }
  void UnRegisterXSClass(std::type_index Type);
  // Raises ESOAPDomConvertError when the class is not registered.
  std::shared_ptr<const TRemotableClassInfo> GetClassInfo(std::type_index Type) const;

private:
  void Register(TRemotableClassInfo Info);
  mutable std::mutex FLock;
  std::vector<std::shared_ptr<const TRemotableClassInfo>> FItems;
};

TInvokableClassRegistry* InvRegistry();
TRemotableClassRegistry* RemClassRegistry();

namespace platform::soap {

// Property table entries from a class's setters.  A setter that takes its
// text or bytes by value gets them moved.
template <class C>
TRemotablePropInfo IntegerProp(const char* Name, void (C::*Setter)(Integer), bool Required = false) {
  return {Name, TSoapKind::Integer, Required,
          [Setter](TRemotable& o, TSoapValue&& v) { (static_cast<C&>(o).*Setter)(std::get<Integer>(v)); }};
}
template <class C, class Arg>
TRemotablePropInfo WideStringProp(const char* Name, void (C::*Setter)(Arg), bool Required = false) {
  return {Name, TSoapKind::WideString, Required, [Setter](TRemotable& o, TSoapValue&& v) {
            (static_cast<C&>(o).*Setter)(std::move(std::get<WideString>(v)));
          }};
}
template <class C, class Arg>
TRemotablePropInfo ByteArrayProp(const char* Name, void (C::*Setter)(Arg), bool Required = false) {
  return {Name, TSoapKind::ByteArray, Required, [Setter](TRemotable& o, TSoapValue&& v) {
            (static_cast<C&>(o).*Setter)(std::move(std::get<TByteDynArray>(v)));
          }};
}

// The result of one invocation: a scalar or a remotable object.
struct TInvokeResult {
  TSoapValue Value;
  std::unique_ptr<TRemotable> Object;
};

// What a proxy calls: the SOAP client behind an interface view.
class TRIOCore {
public:
  virtual ~TRIOCore() = default;
  // Performs the operation in slot Slot (counted from 0) of Intf with the
  // arguments in declared order; raises on every failure of the call.
  virtual TInvokeResult Invoke(const TIntfMetaData& Intf, int Slot, const std::vector<TSoapValue>& Args) = 0;

  template <class R>
  std::unique_ptr<R> InvokeObject(const TIntfMetaData& Intf, int Slot, const std::vector<TSoapValue>& Args) {
    TInvokeResult r = Invoke(Intf, Slot, Args);
    R* typed = dynamic_cast<R*>(r.Object.get());
    if (!typed) throw EIntfCastError("Ergebnis hat nicht den erwarteten Typ");
    r.Object.release();
    return std::unique_ptr<R>(typed);
  }
  Integer InvokeInteger(const TIntfMetaData& Intf, int Slot, const std::vector<TSoapValue>& Args) {
    TInvokeResult r = Invoke(Intf, Slot, Args);
    if (!std::holds_alternative<Integer>(r.Value)) throw EIntfCastError("Ergebnis hat nicht den erwarteten Typ");
    return std::get<Integer>(r.Value);
  }
};

}  // namespace platform::soap
