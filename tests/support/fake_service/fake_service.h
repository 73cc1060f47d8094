// A fake article master-data service on loopback (cpp-httplib).
//
// It serves its service description at every path ending in "?wsdl" and
// answers SOAP 1.1 requests at the address that description names
// (EndpointPath, not the configured address ServiceUrl()).  Its answers come
// from the KCSV, PRICAT and JPEG files in tests/data/fake_service.  Every
// request is recorded with its method, target, headers in the order they
// came, and body.  It can be told to fail in each way a real service fails.
//
// Users: "demo" with password "demo", "kunde" with password "geheim".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zeltest {

struct RecordedRequest {
  std::string Method;
  std::string Target;  // path with query
  std::vector<std::pair<std::string, std::string>> Headers;  // in the order sent
  std::string Body;

  // Value of the first header of that name (case ignored), "" if none.
  std::string Header(const std::string& Name) const;
  // Position of the first header of that name, -1 if none.
  int HeaderIndex(const std::string& Name) const;
};

enum class FakeFailure {
  None,
  SoapFault,       // HTTP 500 with a SOAP fault
  Http404,         // HTTP 404 Not Found
  HtmlReply,       // 200 with content type text/html
  StatusNotZero,   // Status 3 with a message
  BadPicture,      // GetPic answers bytes that are no JPEG (a PNG)
  Stall,           // the reply never comes (until released or the service ends)
  Http500NoFault,  // HTTP 500 with an ordinary answer, no fault
  DtdReply,        // the answer carries a DTD with an entity declaration
  MissingStatus,   // the result lacks its Status element
  TwoResults,      // the response element holds two elements
  ShortPicture,    // GetPic states a DataLength 1000 above the bytes it sends
  Drip,            // the answer but its last 256 bytes, then one byte a second (until released)
};

enum class FakeWsdl {
  Normal,          // address and soapActions for service zelservice, port zelserviceSoap
  WithoutAddress,  // the port has no SOAP address
  WithoutActions,  // the binding gives no soapAction
  CrLfInAction,    // every soapAction holds "&#13;&#10;" and a further header line
  CrLfInAddress,   // the SOAP address holds "&#13;&#10;" and a further header line
  Drip,            // the description but its last 256 bytes, then one a second (until released)
};

// Parses a failure or description name as the program takes it
// ("fault", "404", "html", "status", "badpicture", "stall", "drip", ...).
bool ParseFailure(const std::string& Name, FakeFailure& Out);
bool ParseWsdl(const std::string& Name, FakeWsdl& Out);

class FakeZelService {
public:
  static constexpr const char* ServicePath = "/services/zel.asmx";
  static constexpr const char* EndpointPath = "/zel/soap11/endpoint";

  // Port 0: an ephemeral port.  Listens on 127.0.0.1 until destroyed.
  explicit FakeZelService(int Port = 0);
  ~FakeZelService();
  FakeZelService(const FakeZelService&) = delete;
  FakeZelService& operator=(const FakeZelService&) = delete;

  int Port() const;
  std::string BaseUrl() const;      // "http://127.0.0.1:<port>"
  std::string ServiceUrl() const;   // the configured service address
  std::string WsdlUrl() const;      // ServiceUrl() + "?wsdl"
  std::string EndpointUrl() const;  // the address the description names
  // The soapAction the description gives for an operation.
  static std::string ActionOf(const std::string& Operation);

  // Every following call fails so; None also clears the failures below.
  void SetFailure(FakeFailure Failure);
  // Only calls of Operation fail so; for "SearchART" with Her not 0 only the
  // calls with that her (a list query such as -19971003).  Takes precedence
  // over SetFailure for the calls it names.
  void SetFailureFor(const std::string& Operation, FakeFailure Failure, long Her = 0);
  void SetWsdl(FakeWsdl Wsdl);

  // Own data: GetPRICAT format 0 for Eid answers KcsvAnsi (Windows-1252);
  // a catalog entry makes an article findable by SearchART2.
  void SetArticleText(long Eid, const std::string& KcsvAnsi);
  void AddCatalogEntry(long Eid, long Her, long Sai, const std::string& FabAnsi);
  // Own data: the answer of the supplier list query (the login), KCSV in
  // Windows-1252.
  void SetSupplierList(const std::string& KcsvAnsi);
  // The faultstring of the SoapFault failure (Windows-1252).
  void SetFaultText(const std::string& TextAnsi);
  // XML put into every text result before its fields: elements the
  // contract does not name.
  void SetForeignElements(const std::string& Xml);
  // The picture GetPic answers for Eid.
  void SetPicture(long Eid, const std::string& JpegBytes);
  // Lets a stalled reply go (it then answers 503) and ends a dripping one.
  void ReleaseStall();

  std::vector<RecordedRequest> Requests() const;
  std::size_t CountOf(const std::string& Method) const;
  void ClearRequests();

  // The folder of the service's data files.
  static std::string DataDir();

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace zeltest
