// THTTPRIO, the SOAP-over-HTTP client.
//
// The client is bound to a service description (WSDL location, service,
// port).  At its first call it reads the description by HTTP GET and keeps
// it for its whole life; the address and the SOAPAction of every call are
// those the description gives for the service and port.  Calls are
// synchronous on the calling thread.
//
// A client has no owner: it lives as long as a reference to it is held,
// the interface views that As() hands out included.
#pragma once

#include <memory>
#include <string>

#include "platform/rtl/system.h"
#include "platform/soap/invokeregistry.h"
#include "platform/soap/soaphttptrans.h"

class THTTPRIO : public platform::soap::TRIOCore, public std::enable_shared_from_this<THTTPRIO> {
public:
  THTTPRIO();
  ~THTTPRIO() override;
  THTTPRIO(const THTTPRIO&) = delete;
  THTTPRIO& operator=(const THTTPRIO&) = delete;

  const AnsiString& WSDLLocation() const;
  void SetWSDLLocation(const AnsiString& Value);
  const AnsiString& Service() const;
  void SetService(const AnsiString& Value);
  const AnsiString& Port() const;
  void SetPort(const AnsiString& Value);
  // The address the description gave; empty before the first call.
  AnsiString URL() const;

  // Time-outs in milliseconds and the bound of a reply body in bytes;
  // a new client takes platform::soap::DefaultTransportLimits().
  int ConnectTimeout() const;
  void SetConnectTimeout(int Ms);
  int ReceiveTimeout() const;
  void SetReceiveTimeout(int Ms);
  int TotalTimeout() const;  // the whole request, description and calls alike
  void SetTotalTimeout(int Ms);
  Int64 MaxReplySize() const;
  void SetMaxReplySize(Int64 Bytes);

  // The client viewed as the registered interface T; raises EIntfCastError
  // when T is not registered.  The client must be held by a shared_ptr.
  template <class T>
  std::shared_ptr<T> As() {
    const TIntfMetaData& info = T::IntfMetaData();
    std::shared_ptr<IInvokable> view = CreateView(info);
    auto typed = std::dynamic_pointer_cast<T>(view);
    if (!typed) throw EIntfCastError(CastErrorText());
    return typed;
  }

  platform::soap::TInvokeResult Invoke(const TIntfMetaData& Intf, int Slot,
                                       const std::vector<platform::soap::TSoapValue>& Args) override;

  // What went over the wire last (the description's GET or the last POST).
  const platform::soap::THttpTrace& LastTrace() const;
  // Bytes of reply the client still holds after its last request.
  std::size_t HeldReplyBytes() const;

private:
  std::shared_ptr<IInvokable> CreateView(const TIntfMetaData& Info);
  static AnsiString CastErrorText();
  void ReadDescription(const std::string& Action);

  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
