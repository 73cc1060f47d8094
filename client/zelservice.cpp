#include "client/zelservice.h"

#include "platform/soap/soaphttpclient.h"

using platform::soap::TRIOCore;
using platform::soap::TSoapKind;
using platform::soap::TSoapValue;

namespace {

constexpr const char* ServiceNamespace = "zel.Service";

enum : int { slotGetPic, slotPicExist, slotSearchART, slotSearchART2, slotPicInfo, slotGetEAN, slotGetPRICAT };

constexpr TSoapKind I = TSoapKind::Integer;
constexpr TSoapKind S = TSoapKind::WideString;

TIntfMethEntry Operation(const char* name, std::vector<TIntfParamEntry> params, TSoapKind result,
                         std::type_index cls = typeid(void)) {
  TIntfMethEntry m;
  m.Name = name;
  m.Params = std::move(params);
  m.ResultKind = result;
  m.ResultClass = cls;
  return m;
}

// The client seen as zelserviceSoap: each operation is one call of the runtime.
class TzelserviceSoapProxy final : public zelserviceSoap {
public:
  explicit TzelserviceSoapProxy(std::shared_ptr<TRIOCore> RIO) : FRIO(std::move(RIO)) {}

  std::unique_ptr<zelPicture> GetPic(const WideString& user, const WideString& pass, Integer zelID) override {
    return FRIO->InvokeObject<zelPicture>(IntfMetaData(), slotGetPic, {user, pass, zelID});
  }
  Integer PicExist(Integer eid) override { return FRIO->InvokeInteger(IntfMetaData(), slotPicExist, {eid}); }
  std::unique_ptr<zelTextData> SearchART(Integer format, const WideString& user, const WideString& pass,
                                         Integer her, const WideString& fab) override {
    return FRIO->InvokeObject<zelTextData>(IntfMetaData(), slotSearchART, {format, user, pass, her, fab});
  }
  std::unique_ptr<zelTextData> SearchART2(Integer format, const WideString& user, const WideString& pass,
                                          Integer her, const WideString& fab, Integer sai) override {
    return FRIO->InvokeObject<zelTextData>(IntfMetaData(), slotSearchART2, {format, user, pass, her, fab, sai});
  }
  std::unique_ptr<zelTextData> PicInfo(Integer format, Integer eid) override {
    return FRIO->InvokeObject<zelTextData>(IntfMetaData(), slotPicInfo, {format, eid});
  }
  std::unique_ptr<zelTextData> GetEAN(Integer format, const WideString& user, const WideString& pass,
                                      Integer eid) override {
    return FRIO->InvokeObject<zelTextData>(IntfMetaData(), slotGetEAN, {format, user, pass, eid});
  }
  std::unique_ptr<zelTextData> GetPRICAT(Integer format, const WideString& user, const WideString& pass,
                                         Integer eid, const WideString& land) override {
    return FRIO->InvokeObject<zelTextData>(IntfMetaData(), slotGetPRICAT, {format, user, pass, eid, land});
  }

private:
  std::shared_ptr<TRIOCore> FRIO;
};

const bool Initialized = (zelservice_Initialize(), true);

}  // namespace

const TIntfMetaData& zelserviceSoap::IntfMetaData() {
  static const TIntfMetaData info = [] {
    TIntfMetaData m;
    m.Name = "zelserviceSoap";
    m.IID = TGUID{0x5B2E4C71, 0x93A8, 0x4F0D, {0xA1, 0x6E, 0x2C, 0x47, 0xD9, 0x08, 0xB3, 0x5F}};
    const std::type_index text = typeid(zelTextData);
    m.MDA = {
        Operation("GetPic", {{"user", S}, {"pass", S}, {"zelID", I}}, TSoapKind::Remotable, typeid(zelPicture)),
        Operation("PicExist", {{"eid", I}}, TSoapKind::Integer),
        Operation("SearchART", {{"format", I}, {"user", S}, {"pass", S}, {"her", I}, {"fab", S}},
                  TSoapKind::Remotable, text),
        Operation("SearchART2", {{"format", I}, {"user", S}, {"pass", S}, {"her", I}, {"fab", S}, {"sai", I}},
                  TSoapKind::Remotable, text),
        Operation("PicInfo", {{"format", I}, {"eid", I}}, TSoapKind::Remotable, text),
        Operation("GetEAN", {{"format", I}, {"user", S}, {"pass", S}, {"eid", I}}, TSoapKind::Remotable, text),
        Operation("GetPRICAT", {{"format", I}, {"user", S}, {"pass", S}, {"eid", I}, {"land", S}},
                  TSoapKind::Remotable, text),
    };
    m.CreateProxy = [](std::shared_ptr<TRIOCore> rio) -> std::shared_ptr<IInvokable> {
      return std::make_shared<TzelserviceSoapProxy>(std::move(rio));
    };
    return m;
  }();
  return info;
}

void zelservice_Initialize() {
  using namespace platform::soap;
  const TIntfMetaData& info = zelserviceSoap::IntfMetaData();
  InvRegistry()->RegisterInterface(info, ServiceNamespace, "utf-8", "", "");
  InvRegistry()->RegisterDefaultSOAPAction(info, "zel.Service/%operationName%");
  // Assigns the whole set: the default-action mark of the step above goes.
  InvRegistry()->RegisterInvokeOptions(info, {ioDocument});

  RemClassRegistry()->RegisterXSClass<zelTextData>(
      ServiceNamespace, "zelTextData",
      {IntegerProp("Status", &zelTextData::SetStatus, true), WideStringProp("Msg", &zelTextData::SetMsg),
       IntegerProp("Len", &zelTextData::SetLen), WideStringProp("Buf", &zelTextData::SetBuf)});
  RemClassRegistry()->RegisterXSClass<zelPicture>(
      ServiceNamespace, "zelPicture",
      {IntegerProp("Status", &zelPicture::SetStatus, true), WideStringProp("Msg", &zelPicture::SetMsg),
       IntegerProp("DataLength", &zelPicture::SetDataLength), ByteArrayProp("Data", &zelPicture::SetData)});
}

std::shared_ptr<zelserviceSoap> GetZelService(const AnsiString& Addr) {
  auto rio = std::make_shared<THTTPRIO>();
  rio->SetWSDLLocation(Addr);
  rio->SetService("zelservice");
  rio->SetPort("zelserviceSoap");
  // A failed cast raises; the client goes with its last reference.
  return rio->As<zelserviceSoap>();
}
