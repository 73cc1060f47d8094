#include "tests/support/fake_service/soap_request.h"

#include <expat.h>

#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

namespace zeltest {

namespace {

// Expat names an element of a namespace "<uri> <local name>".
constexpr XML_Char NamespaceSeparator = ' ';

std::string LocalName(const XML_Char* Name) {
  const XML_Char* Separator = std::strrchr(Name, NamespaceSeparator);
  return Separator ? Separator + 1 : Name;
}

// Depth 1 is the envelope, 2 its Body, 3 the operation, 4 a parameter.
struct TReader {
  SoapRequest Request;
  int Depth = 0;
  bool InBody = false, InOperation = false, InParameter = false;

  void Start(const XML_Char* Name) {
    ++Depth;
    if (Depth == 2 && Request.Operation.empty() && LocalName(Name) == "Body") {
      InBody = true;
    } else if (Depth == 3 && InBody && Request.Operation.empty()) {
      Request.Operation = LocalName(Name);
      InOperation = true;
    } else if (Depth == 4 && InOperation) {
      Request.Params.emplace_back(LocalName(Name), std::string());
      InParameter = true;
    }
  }
  void End() {
    if (Depth == 4) InParameter = false;
    if (Depth == 3) InOperation = false;
    if (Depth == 2) InBody = false;
    --Depth;
  }
  void Text(const XML_Char* S, int Len) {
    if (InParameter) Request.Params.back().second.append(S, static_cast<std::size_t>(Len));
  }
};

void XMLCALL OnStart(void* Data, const XML_Char* Name, const XML_Char**) {
  static_cast<TReader*>(Data)->Start(Name);
}
void XMLCALL OnEnd(void* Data, const XML_Char*) { static_cast<TReader*>(Data)->End(); }
void XMLCALL OnText(void* Data, const XML_Char* S, int Len) { static_cast<TReader*>(Data)->Text(S, Len); }

}  // namespace

const std::string* SoapRequest::Find(const std::string& Name) const {
  for (const auto& P : Params)
    if (P.first == Name) return &P.second;
  return nullptr;
}

std::string SoapRequest::Text(const std::string& Name) const {
  const std::string* Value = Find(Name);
  return Value ? *Value : std::string();
}

long SoapRequest::Int(const std::string& Name) const {
  try {
    return std::stol(Text(Name));
  } catch (const std::exception&) {
    return 0;
  }
}

std::vector<std::string> SoapRequest::ParamNames() const {
  std::vector<std::string> Names;
  for (const auto& P : Params) Names.push_back(P.first);
  return Names;
}

SoapRequest ParseSoapRequest(const std::string& Body) {
  TReader Reader;
  std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> Parser(XML_ParserCreateNS(nullptr, NamespaceSeparator),
                                                                 XML_ParserFree);
  if (!Parser) return Reader.Request;
  XML_SetUserData(Parser.get(), &Reader);
  XML_SetElementHandler(Parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(Parser.get(), OnText);
  const bool Parsed =
      Body.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max()) &&
      XML_Parse(Parser.get(), Body.data(), static_cast<int>(Body.size()), XML_TRUE) == XML_STATUS_OK;
  Reader.Request.Ok = Parsed && !Reader.Request.Operation.empty();
  return Reader.Request;
}

}  // namespace zeltest
