// The service-description reader: the SOAP 1.1 address of one port of one
// service and the actions of its operations.
#include "platform/soap/opconvert.h"

#include <map>
#include <string>

#include "platform/soap/soap_internal.h"

namespace platform::soap {

namespace {

// The address of one port and the actions of every binding, as the
// description's elements come: 1 definitions, 2 service or binding, 3 port
// or operation, 4 soap:address or soap:operation.
class TWsdlReader final : public TXmlReader {
public:
  TWsdlReader(const std::string& Service, const std::string& Port) : FService(Service), FPort(Port) {}

  TWsdlPortInfo Info;
  bool Root = false;

  TWsdlPortInfo Take() {
    if (!Root) throw ESOAPDomConvertError(msg::NoWsdl);
    if (Info.PortFound) {
      auto it = FBindings.find(FPortBinding);
      if (it != FBindings.end()) Info.Actions = it->second;
    }
    return std::move(Info);
  }

private:
  static std::string Value(const char** Attributes, const char* Name) {
    const char* v = Attribute(Attributes, Name);
    return v ? v : "";
  }

  void StartElement(const TXmlName& Name, const char** Attributes) override {
    const int depth = Depth();
    const bool wsdl = Name.Namespace == WsdlNS, soap = Name.Namespace == WsdlSoapNS;
    if (depth == 1) {
      if (Name.Local != "definitions" || !wsdl) throw ESOAPDomConvertError(msg::NoWsdl);
      Root = true;
    } else if (depth == 2 && wsdl && Name.Local == "service") {
      FInService = Value(Attributes, "name") == FService;
    } else if (depth == 2 && wsdl && Name.Local == "binding") {
      FInBinding = true;
      FBinding = Value(Attributes, "name");
      FBindings[FBinding];
    } else if (depth == 3 && FInService && wsdl && Name.Local == "port" && Value(Attributes, "name") == FPort &&
               !Info.PortFound) {
      FInPort = true;
      Info.PortFound = true;
      std::string binding = Value(Attributes, "binding");
      std::size_t colon = binding.find(':');
      FPortBinding = colon == std::string::npos ? binding : binding.substr(colon + 1);
    } else if (depth == 4 && FInPort && soap && Name.Local == "address") {
      std::string location = Value(Attributes, "location");
      const char* space = " \t\r\n";
      std::size_t b = location.find_first_not_of(space), e = location.find_last_not_of(space);
      Info.Address = b == std::string::npos ? std::string() : location.substr(b, e - b + 1);
    } else if (depth == 3 && FInBinding && wsdl && Name.Local == "operation") {
      FInOperation = true;
      FOperation = Value(Attributes, "name");
    } else if (depth == 4 && FInOperation && soap && Name.Local == "operation") {
      FBindings[FBinding][FOperation] = Value(Attributes, "soapAction");
    }
  }

  void EndElement() override {
    if (Depth() == 2) FInService = FInBinding = false;
    if (Depth() == 3) FInPort = FInOperation = false;
  }

  const std::string& FService;
  const std::string& FPort;
  bool FInService = false, FInPort = false, FInBinding = false, FInOperation = false;
  std::string FBinding, FOperation, FPortBinding;
  std::map<std::string, std::map<std::string, std::string>> FBindings;
};

}  // namespace

TWsdlPortInfo ReadWsdlPort(const std::string& Wsdl, const std::string& Service, const std::string& Port) {
  TWsdlReader reader(Service, Port);
  reader.Feed(Wsdl.data(), Wsdl.size());
  reader.Finish();
  return reader.Take();
}

}  // namespace platform::soap
