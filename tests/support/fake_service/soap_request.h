// The body of a SOAP 1.1 request as a service reads it: the operation (the
// first element in the envelope's Body) and its parameters (the texts of the
// operation's child elements), read with expat, so every XML escape and
// character reference is resolved (texts in UTF-8).  Namespace prefixes are
// dropped from the names.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zeltest {

struct SoapRequest {
  bool Ok = false;  // well-formed, with an operation in the Body
  std::string Operation;
  std::vector<std::pair<std::string, std::string>> Params;  // in the order sent

  // The text of the first parameter of that name, null if none.
  const std::string* Find(const std::string& Name) const;
  // The same, "" if none.
  std::string Text(const std::string& Name) const;
  // The same read as a number, 0 if none or no number.
  long Int(const std::string& Name) const;
  std::vector<std::string> ParamNames() const;
};

// What was read up to a fault stays in the result (Ok is then false).
SoapRequest ParseSoapRequest(const std::string& Body);

}  // namespace zeltest
