// Conversion between operations and SOAP 1.1 messages, and the reading of
// service descriptions.  Document style with wrapped parameters only.
//
// Every reader refuses a DTD (and so every entity declaration) and raises
// ESOAPDomConvertError for XML it cannot read; a SOAP fault raises
// ERemotableException with the fault's text.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/soap/invokeregistry.h"

namespace platform::soap {

inline constexpr const char* SoapEnvelopeNS = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr const char* WsdlNS = "http://schemas.xmlsoap.org/wsdl/";
inline constexpr const char* WsdlSoapNS = "http://schemas.xmlsoap.org/wsdl/soap/";

struct TRequestParam {
  std::string Name;
  TSoapValue Value;
};

// The request envelope (UTF-8): a body element named after the operation in
// the namespace Namespace, holding one element per parameter in order.
// Integers in decimal, texts as characters (CR as a character reference),
// byte arrays as base64.  A text with a character that XML 1.0 cannot carry
// raises ESOAPDomConvertError before anything is written.
std::string BuildRequestEnvelope(const std::string& Namespace, const std::string& Operation,
                                 const std::vector<TRequestParam>& Params);

// One element of a reply, as far as the result reaches.
struct TReplyField {
  std::string Name;    // local name
  WideString Text;     // its text (empty for xsi:nil)
  bool Nil = false;
};

struct TReplyResult {
  std::string ResponseName;  // local name of the response element
  std::string ResultName;    // local name of the result element
  WideString Text;           // the result's text when it is a simple value
  bool HasChildren = false;
  std::vector<TReplyField> Fields;  // the result's child elements, in order
};

// Reads a reply envelope: a Fault as the first element of the body raises
// ERemotableException; otherwise the response element must hold exactly one
// element, the result.
TReplyResult ParseReply(const std::string& Body);

// The SOAP 1.1 address and actions that a description gives for one port of
// one service.
struct TWsdlPortInfo {
  bool PortFound = false;
  std::string Address;                        // empty when the port has none
  std::map<std::string, std::string> Actions; // operation -> soapAction
};

TWsdlPortInfo ReadWsdlPort(const std::string& Wsdl, const std::string& Service,
                           const std::string& Port);

// Helpers shared with the client: the result's fields onto a remotable
// object, and the text conversions of values.
void AssignFields(const TReplyResult& Reply, const TRemotableClassInfo& Class, TRemotable& Object);
Integer ParseSoapInteger(const WideString& Text);       // raises ESOAPDomConvertError
TByteDynArray ParseBase64(const WideString& Text);      // raises ESOAPDomConvertError

}  // namespace platform::soap
