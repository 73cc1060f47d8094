// Service descriptions: the address of a port and the actions of its
// operations.
#include "platform/soap/opconvert.h"

#include <gtest/gtest.h>

#include "tests/support/error_of.h"
#include "tests/support/utf16.h"

using namespace platform::soap;
using zeltest::ErrorOf;
using zeltest::Utf16;

namespace {

const char* const Wsdl = R"(<?xml version="1.0"?>
<wsdl:definitions xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:soap12="http://schemas.xmlsoap.org/wsdl/soap12/" xmlns:tns="zel.Service" targetNamespace="zel.Service">
  <wsdl:service name="zelservice">
    <wsdl:port name="zelserviceSoap12" binding="tns:B12"><soap12:address location="http://h/12"/></wsdl:port>
    <wsdl:port name="zelserviceSoap" binding="tns:B11"><soap:address location=" http://h/11 "/></wsdl:port>
  </wsdl:service>
  <wsdl:service name="other"><wsdl:port name="zelserviceSoap" binding="tns:B11"><soap:address location="http://h/other"/></wsdl:port></wsdl:service>
  <wsdl:binding name="B12"><wsdl:operation name="Op"><soap12:operation soapAction="wrong"/></wsdl:operation></wsdl:binding>
  <wsdl:binding name="B11">
    <wsdl:operation name="Op"><soap:operation soapAction="urn:op"/></wsdl:operation>
    <wsdl:operation name="NoAction"><soap:operation style="document"/></wsdl:operation>
  </wsdl:binding>
</wsdl:definitions>)";

TEST(ReadWsdlPort, TakesAddressAndActionsOfTheNamedServiceAndPort) {
  TWsdlPortInfo info = ReadWsdlPort(Wsdl, "zelservice", "zelserviceSoap");
  EXPECT_TRUE(info.PortFound);
  EXPECT_EQ(info.Address, "http://h/11");
  EXPECT_EQ(info.Actions.at("Op"), "urn:op");
  EXPECT_EQ(info.Actions.at("NoAction"), "");
  EXPECT_EQ(ReadWsdlPort(Wsdl, "other", "zelserviceSoap").Address, "http://h/other");
  // A SOAP 1.2 port has no SOAP 1.1 address.
  EXPECT_EQ(ReadWsdlPort(Wsdl, "zelservice", "zelserviceSoap12").Address, "");
  TWsdlPortInfo none = ReadWsdlPort(Wsdl, "zelservice", "nosuchport");
  EXPECT_FALSE(none.PortFound);
  EXPECT_EQ(none.Address, "");
}

// The description is read like a reply: in its own encoding, cut anyhow.
TEST(ReadWsdlPort, ReadsTheDescriptionInItsOwnEncoding) {
  const std::string utf8 = std::string(Wsdl).substr(std::string(Wsdl).find("?>") + 2);
  const std::string cases[] = {
      "\xEF\xBB\xBF" + std::string(Wsdl),
      Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + utf8, false),
      Utf16(utf8, true),
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + utf8,
  };
  for (const auto& wsdl : cases) {
    TWsdlPortInfo info = ReadWsdlPort(wsdl, "zelservice", "zelserviceSoap");
    EXPECT_EQ(info.Address, "http://h/11");
    EXPECT_EQ(info.Actions.at("Op"), "urn:op");
  }
}

TEST(ReadWsdlPort, RefusesDtdAndNonWsdl) {
  std::string dtd = std::string("<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY e \"x\">]>") + (Wsdl + 22);
  EXPECT_NE(ErrorOf([&] { ReadWsdlPort(dtd, "zelservice", "zelserviceSoap"); }).find("DTD"), std::string::npos);
  EXPECT_NE(ErrorOf([&] { ReadWsdlPort("<html><body/></html>", "s", "p"); }), "");
  EXPECT_NE(ErrorOf([&] { ReadWsdlPort("", "s", "p"); }), "");
  std::string nest, deep(Wsdl);
  for (int i = 0; i < 300; ++i) nest = "<d>" + nest + "</d>";
  deep.insert(deep.find("</wsdl:definitions>"), nest);
  EXPECT_NE(ErrorOf([&] { ReadWsdlPort(deep, "zelservice", "zelserviceSoap"); }).find("mehr als 256 Ebenen"),
            std::string::npos);
}

}  // namespace
