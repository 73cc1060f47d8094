// The invocation registry and the interface views of a SOAP client.
#include "platform/soap/invokeregistry.h"

#include <gtest/gtest.h>

#include "platform/soap/soaphttpclient.h"

namespace {

class IProbe : public IInvokable {
public:
  static const TIntfMetaData& IntfMetaData();
  virtual Integer Ping(Integer n) = 0;
};

class TProbeProxy : public IProbe {
public:
  explicit TProbeProxy(std::shared_ptr<platform::soap::TRIOCore> rio) : FRIO(std::move(rio)) {}
  Integer Ping(Integer n) override { return FRIO->InvokeInteger(IntfMetaData(), 0, {n}); }

private:
  std::shared_ptr<platform::soap::TRIOCore> FRIO;
};

const TIntfMetaData& IProbe::IntfMetaData() {
  static const TIntfMetaData info = [] {
    TIntfMetaData m;
    m.Name = "IProbe";
    m.IID = TGUID{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
    m.MDA = {TIntfMethEntry{"Ping", {{"n", platform::soap::TSoapKind::Integer}}, platform::soap::TSoapKind::Integer,
                            typeid(void)}};
    m.CreateProxy = [](std::shared_ptr<platform::soap::TRIOCore> rio) -> std::shared_ptr<IInvokable> {
      return std::make_shared<TProbeProxy>(std::move(rio));
    };
    return m;
  }();
  return info;
}

class RegistryTest : public ::testing::Test {
protected:
  void TearDown() override { InvRegistry()->UnRegisterInterface(IProbe::IntfMetaData()); }
};

TEST_F(RegistryTest, DefaultActionMarksAndInvokeOptionsAssignTheWholeSet) {
  const auto& info = IProbe::IntfMetaData();
  InvRegistry()->RegisterInterface(info, "urn:probe", "utf-8");
  EXPECT_TRUE(InvRegistry()->GetInterfaceInfo(info.IID).InvokeOptions.Empty());

  InvRegistry()->RegisterDefaultSOAPAction(info, "urn:probe/%operationName%");
  InterfaceMapItem item = InvRegistry()->GetInterfaceInfo(info.IID);
  EXPECT_EQ(item.SOAPAction, "urn:probe/%operationName%");
  EXPECT_TRUE(item.InvokeOptions.Contains(ioHasDefaultSOAPAction));

  InvRegistry()->RegisterInvokeOptions(info, {ioDocument});
  item = InvRegistry()->GetInterfaceInfo(info.IID);
  EXPECT_TRUE(item.InvokeOptions == TIntfInvokeOptions{ioDocument});
  EXPECT_EQ(item.SOAPAction, "urn:probe/%operationName%");  // the pattern stays recorded
}

TEST_F(RegistryTest, ViewOfAnUnregisteredInterfaceFailsAndTheClientGoes) {
  std::weak_ptr<THTTPRIO> weak;
  {
    auto rio = std::make_shared<THTTPRIO>();
    weak = rio;
    EXPECT_THROW(rio->As<IProbe>(), EIntfCastError);
  }
  EXPECT_TRUE(weak.expired());
}

TEST_F(RegistryTest, ViewKeepsItsClientAlive) {
  InvRegistry()->RegisterInterface(IProbe::IntfMetaData(), "urn:probe");
  std::weak_ptr<THTTPRIO> weak;
  std::shared_ptr<IProbe> view;
  {
    auto rio = std::make_shared<THTTPRIO>();
    weak = rio;
    view = rio->As<IProbe>();
  }
  EXPECT_FALSE(weak.expired());
  view.reset();
  EXPECT_TRUE(weak.expired());
}

TEST_F(RegistryTest, ClientNotHeldBySharedPointerHasNoView) {
  InvRegistry()->RegisterInterface(IProbe::IntfMetaData(), "urn:probe");
  THTTPRIO rio;
  EXPECT_THROW(rio.As<IProbe>(), EIntfCastError);
}

TEST_F(RegistryTest, RpcStyleIsRefusedBeforeAnythingIsSent) {
  InvRegistry()->RegisterInterface(IProbe::IntfMetaData(), "urn:probe");  // no ioDocument
  auto rio = std::make_shared<THTTPRIO>();
  rio->SetWSDLLocation("http://127.0.0.1:1/x?wsdl");
  auto view = rio->As<IProbe>();
  try {
    view->Ping(1);
    FAIL();
  } catch (const ESOAPDomConvertError& e) {
    EXPECT_NE(e.Message().find("Document-Stil"), std::string::npos);
  }
  EXPECT_TRUE(rio->LastTrace().URL.empty());
}

}  // namespace
