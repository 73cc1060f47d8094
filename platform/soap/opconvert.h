// Conversion between operations and SOAP 1.1 messages, and the reading of
// service descriptions.  Document style with wrapped parameters only.
//
// Every reader refuses a DTD (and so every entity declaration) and elements
// nested deeper than MaxReplyDepth, and raises ESOAPDomConvertError for XML
// it cannot read; a SOAP fault raises ERemotableException with the fault's
// text.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
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
  std::string Name;     // local name
  WideString Text;      // its text (empty for xsi:nil and for bytes)
  TByteDynArray Bytes;  // its base64 text decoded, when it is one of the byte fields
  bool IsBytes = false;
  bool Nil = false;
};

struct TReplyResult {
  std::string ResponseName;  // local name of the response element
  std::string ResultName;    // local name of the result element
  std::string FirstChild;    // local name of the result's first child element, kept or not
  WideString Text;           // the result's text when it is a simple value
  TByteDynArray Bytes;       // that text decoded, when the result is bytes
  bool IsBytes = false;
  bool HasChildren = false;
  std::vector<TReplyField> Fields;  // the result's child elements, in order
};

// No real reply nests its elements this deep; a deeper one is refused.
inline constexpr int MaxReplyDepth = 256;

// Characters of a fault's texts that are kept; a longer text is cut there
// and ends with an ellipsis.
inline constexpr std::size_t MaxFaultText = 64 * 1024;

// Reads a reply envelope piece by piece as it arrives, with a streaming XML
// parser that takes every encoding XML allows (UTF-8 and UTF-16 with or
// without a byte-order mark, ISO-8859-1, US-ASCII, windows-1252).  The texts
// of the result and of its fields go from the parser's pieces straight into
// their place (the result's own string or byte array), base64 decoded as it
// comes, so that a call needs little more than its reply and its result.
// Comments, processing instructions and white space may follow the
// envelope; anything else refuses the reply, however it is cut.
// A Fault as the first element of the body raises ERemotableException at
// Finish; otherwise the response element must hold exactly one element,
// the result.  Every error raises ESOAPDomConvertError as soon as it shows.
// A fault's texts are kept up to MaxFaultText characters.
class TReplyReader {
public:
  // Keeps every child element of the result as a field.  ByteFields: the
  // result's fields that are base64; ResultIsBytes: the result itself is.
  explicit TReplyReader(std::vector<std::string> ByteFields = {}, bool ResultIsBytes = false);
  // Keeps only the fields named in Fields (the result type's): any other
  // child element of the result is skipped with everything inside it, and
  // of a name that comes again only the last element is kept.
  TReplyReader(std::vector<std::string> Fields, std::vector<std::string> ByteFields, bool ResultIsBytes);
  ~TReplyReader();
  TReplyReader(const TReplyReader&) = delete;
  TReplyReader& operator=(const TReplyReader&) = delete;

  // The reply's announced length (negative: unknown).  It only keeps a
  // growing text from taking more room than the rest of the reply can fill;
  // nothing is reserved from it, so a length that lies costs nothing.
  void SetExpectedSize(std::int64_t Bytes);
  void Feed(const char* Data, std::size_t Size);
  // The reply is complete: its result, or the fault it carries.
  TReplyResult Finish();

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// A whole reply through TReplyReader.
TReplyResult ParseReply(const std::string& Body, const std::vector<std::string>& ByteFields = {},
                        bool ResultIsBytes = false);

// The SOAP 1.1 address and actions that a description gives for one port of
// one service.
struct TWsdlPortInfo {
  bool PortFound = false;
  std::string Address;                         // empty when the port has none
  std::map<std::string, std::string> Actions;  // operation -> soapAction
};

TWsdlPortInfo ReadWsdlPort(const std::string& Wsdl, const std::string& Service, const std::string& Port);

// Helpers shared with the client: the result's fields onto a remotable
// object (their texts and bytes are moved there), and the text conversions
// of values.
void AssignFields(TReplyResult& Reply, const TRemotableClassInfo& Class, TRemotable& Object);
// The names of a class's fields and of its byte array fields, for TReplyReader.
std::vector<std::string> FieldsOf(const TRemotableClassInfo& Class);
std::vector<std::string> ByteFieldsOf(const TRemotableClassInfo& Class);
Integer ParseSoapInteger(const WideString& Text);   // raises ESOAPDomConvertError
TByteDynArray ParseBase64(const WideString& Text);  // raises ESOAPDomConvertError

}  // namespace platform::soap
