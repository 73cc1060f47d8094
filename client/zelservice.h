// The service contract of the article master-data web service: the
// interface zelserviceSoap with its seven operations, the result types
// zelTextData and zelPicture, and the factory GetZelService.
//
// Shared conventions of the callers: format 0 answers KCSV text, 2 PRICAT
// text; SearchART with her -19971001, -19971002, -19971003 (and fab empty)
// lists the suppliers, the season codes of every supplier and the
// countries; Status 0 is success, any other value is the service's refusal
// with Msg saying why and is no error of the call.
#pragma once

#include <memory>
#include <utility>

#include "platform/rtl/system.h"
#include "platform/soap/invokeregistry.h"

// The special supplier numbers of SearchART.
constexpr Integer ZEL_LIST_SUPPLIERS = -19971001;
constexpr Integer ZEL_LIST_SEASONS = -19971002;
constexpr Integer ZEL_LIST_COUNTRIES = -19971003;

class zelTextData : public TRemotable {
public:
  Integer Status() const { return FStatus; }
  void SetStatus(Integer Value) { FStatus = Value; }
  const WideString& Msg() const { return FMsg; }
  void SetMsg(WideString Value) { FMsg = std::move(Value); }
  Integer Len() const { return FLen; }
  void SetLen(Integer Value) { FLen = Value; }
  const WideString& Buf() const { return FBuf; }
  void SetBuf(WideString Value) { FBuf = std::move(Value); }

private:
  Integer FStatus = 0;
  WideString FMsg;
  Integer FLen = 0;
  WideString FBuf;
};

class zelPicture : public TRemotable {
public:
  Integer Status() const { return FStatus; }
  void SetStatus(Integer Value) { FStatus = Value; }
  const WideString& Msg() const { return FMsg; }
  void SetMsg(WideString Value) { FMsg = std::move(Value); }
  Integer DataLength() const { return FDataLength; }
  void SetDataLength(Integer Value) { FDataLength = Value; }
  const TByteDynArray& Data() const { return FData; }
  void SetData(TByteDynArray Value) { FData = std::move(Value); }

private:
  Integer FStatus = 0;
  WideString FMsg;
  Integer FDataLength = 0;
  TByteDynArray FData;
};

// Every operation performs one request and returns its result object, or
// raises an exception on every failure of the call.
class zelserviceSoap : public IInvokable {
public:
  // The interface's method table (operations in slot order) and identifier.
  static const TIntfMetaData& IntfMetaData();

  virtual std::unique_ptr<zelPicture> GetPic(const WideString& user, const WideString& pass, Integer zelID) = 0;
  virtual Integer PicExist(Integer eid) = 0;
  virtual std::unique_ptr<zelTextData> SearchART(Integer format, const WideString& user, const WideString& pass,
                                                 Integer her, const WideString& fab) = 0;
  virtual std::unique_ptr<zelTextData> SearchART2(Integer format, const WideString& user, const WideString& pass,
                                                  Integer her, const WideString& fab, Integer sai) = 0;
  virtual std::unique_ptr<zelTextData> PicInfo(Integer format, Integer eid) = 0;
  virtual std::unique_ptr<zelTextData> GetEAN(Integer format, const WideString& user, const WideString& pass,
                                              Integer eid) = 0;
  virtual std::unique_ptr<zelTextData> GetPRICAT(Integer format, const WideString& user, const WideString& pass,
                                                 Integer eid, const WideString& land) = 0;
};

// A client bound to the service description at Addr (the service address
// followed by "?wsdl"), service "zelservice", port "zelserviceSoap".  Does
// not touch the network; the client lives with its last reference.
std::shared_ptr<zelserviceSoap> GetZelService(const AnsiString& Addr);

// The module's start-up step (run once before main): registers the
// interface and the result types with the runtime.  Safe to run again.
void zelservice_Initialize();
