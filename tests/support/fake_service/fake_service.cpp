#include "tests/support/fake_service/fake_service.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/rtl/codepage.h"
#include "tests/support/fake_service/soap_request.h"

namespace zeltest {

namespace {

constexpr const char* LoopbackHost = "127.0.0.1";

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

// ------------------------------------------------------------ recording server

// A socket stream that hands httplib the bytes of each request and keeps a
// copy of them, so that the headers can be recorded in the order they came.
class RecordingStream : public httplib::Stream {
public:
  explicit RecordingStream(int sock) : FSock(sock) {}

  bool is_readable() const override { return FPos < FBuf.size() || Poll(POLLIN, 5000); }
  bool is_writable() const override { return Poll(POLLOUT, 5000); }

  ssize_t read(char* ptr, size_t size) override {
    if (FPos >= FBuf.size()) {
      if (!Poll(POLLIN, 5000)) return -1;
      char chunk[8192];
      ssize_t n = ::recv(FSock, chunk, sizeof chunk, 0);
      if (n <= 0) return n;
      FBuf.assign(chunk, static_cast<size_t>(n));
      FPos = 0;
    }
    size_t n = std::min(size, FBuf.size() - FPos);
    std::memcpy(ptr, FBuf.data() + FPos, n);
    Raw.append(ptr, n);
    FPos += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* ptr, size_t size) override {
    size_t done = 0;
    while (done < size) {
      if (!Poll(POLLOUT, 5000)) return -1;
      ssize_t n = ::send(FSock, ptr + done, size - done, MSG_NOSIGNAL);
      if (n <= 0) return -1;
      done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(true, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { Address(false, ip, port); }
  socket_t socket() const override { return FSock; }

  bool HasBuffered() const { return FPos < FBuf.size(); }

  std::string Raw;  // bytes handed on since the request began

private:
  bool Poll(short events, int ms) const {
    pollfd p{FSock, events, 0};
    return ::poll(&p, 1, ms) > 0 && (p.revents & (events | POLLHUP)) != 0;
  }
  void Address(bool peer, std::string& ip, int& port) const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    int rc = peer ? ::getpeername(FSock, reinterpret_cast<sockaddr*>(&a), &len)
                  : ::getsockname(FSock, reinterpret_cast<sockaddr*>(&a), &len);
    if (rc != 0) return;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(a.sin_port);
  }

  int FSock;
  std::string FBuf;
  size_t FPos = 0;
};

thread_local RecordingStream* tCurrentStream = nullptr;

class RecordingServer : public httplib::Server {
private:
  bool process_and_close_socket(socket_t sock) override {
    int on = 1;  // headers and body go out in separate writes
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    RecordingStream strm(sock);
    tCurrentStream = &strm;
    bool ret = false;
    for (size_t count = keep_alive_max_count_; count > 0 && svr_sock_ != INVALID_SOCKET; --count) {
      if (!strm.HasBuffered() && !WaitReadable(sock)) break;
      strm.Raw.clear();
      bool closed = false;
      ret = process_request(strm, count == 1, closed, nullptr);
      if (!ret || closed) break;
    }
    tCurrentStream = nullptr;
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ret;
  }

  // Waits for the next request of a kept connection, giving up when the
  // server stops or the connection stays idle too long.
  bool WaitReadable(int sock) {
    auto start = std::chrono::steady_clock::now();
    while (svr_sock_ != INVALID_SOCKET) {
      pollfd p{sock, POLLIN, 0};
      int rc = ::poll(&p, 1, 10);
      if (rc < 0) return false;
      if (rc > 0) return true;
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(keep_alive_timeout_sec_)) return false;
    }
    return false;
  }
};

// The header lines of the request in Raw, in order.
std::vector<std::pair<std::string, std::string>> HeaderLines(const std::string& raw) {
  std::vector<std::pair<std::string, std::string>> out;
  size_t end = raw.find("\r\n\r\n");
  if (end == std::string::npos) end = raw.size();
  size_t pos = raw.find("\r\n");  // skip the request line
  while (pos != std::string::npos && pos < end) {
    size_t start = pos + 2;
    size_t next = raw.find("\r\n", start);
    if (next == std::string::npos || next > end) next = end;
    std::string line = raw.substr(start, next - start);
    size_t colon = line.find(':');
    if (colon != std::string::npos) {
      std::string value = line.substr(colon + 1);
      size_t b = value.find_first_not_of(" \t");
      value = b == std::string::npos ? std::string() : value.substr(b);
      out.emplace_back(line.substr(0, colon), value);
    }
    if (next >= end) break;
    pos = next;
  }
  return out;
}

// ------------------------------------------------------------ XML helpers

std::string Escape(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (char c : s) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '\r': out += "&#13;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Envelope(const std::string& inner) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
         "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body>" +
         inner + "</soap:Body></soap:Envelope>";
}

std::string FaultEnvelope(const std::string& code, const std::string& text) {
  return Envelope("<soap:Fault><faultcode>" + code + "</faultcode><faultstring>" + Escape(text) +
                  "</faultstring><detail /></soap:Fault>");
}

const char* const Operations[] = {"GetPic", "PicExist", "SearchART", "SearchART2", "PicInfo", "GetEAN", "GetPRICAT"};

struct OperationShape {
  const char* Name;
  std::vector<std::pair<const char*, const char*>> Params;  // name, xsd type
  const char* Result;
};

const std::vector<OperationShape>& Shapes() {
  static const std::vector<OperationShape> shapes = {
      {"GetPic", {{"user", "s:string"}, {"pass", "s:string"}, {"zelID", "s:int"}}, "tns:zelPicture"},
      {"PicExist", {{"eid", "s:int"}}, "s:int"},
      {"SearchART", {{"format", "s:int"}, {"user", "s:string"}, {"pass", "s:string"}, {"her", "s:int"}, {"fab", "s:string"}}, "tns:zelTextData"},
      {"SearchART2", {{"format", "s:int"}, {"user", "s:string"}, {"pass", "s:string"}, {"her", "s:int"}, {"fab", "s:string"}, {"sai", "s:int"}}, "tns:zelTextData"},
      {"PicInfo", {{"format", "s:int"}, {"eid", "s:int"}}, "tns:zelTextData"},
      {"GetEAN", {{"format", "s:int"}, {"user", "s:string"}, {"pass", "s:string"}, {"eid", "s:int"}}, "tns:zelTextData"},
      {"GetPRICAT", {{"format", "s:int"}, {"user", "s:string"}, {"pass", "s:string"}, {"eid", "s:int"}, {"land", "s:string"}}, "tns:zelTextData"},
  };
  return shapes;
}

// What a description that smuggles a request header appends to a value.
constexpr const char* InjectedHeader = "&#13;&#10;X-Injected: 1";

std::string BuildWsdl(const std::string& base, FakeWsdl variant) {
  std::ostringstream w;
  w << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
       "<wsdl:definitions xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\" "
       "xmlns:soap12=\"http://schemas.xmlsoap.org/wsdl/soap12/\" "
       "xmlns:s=\"http://www.w3.org/2001/XMLSchema\" xmlns:tns=\"zel.Service\" "
       "targetNamespace=\"zel.Service\" xmlns:wsdl=\"http://schemas.xmlsoap.org/wsdl/\">\n"
       "  <wsdl:types>\n    <s:schema elementFormDefault=\"qualified\" targetNamespace=\"zel.Service\">\n";
  for (const auto& op : Shapes()) {
    w << "      <s:element name=\"" << op.Name << "\"><s:complexType><s:sequence>";
    for (const auto& p : op.Params)
      w << "<s:element minOccurs=\"" << (std::string(p.second) == "s:string" ? "0" : "1") << "\" maxOccurs=\"1\" name=\""
        << p.first << "\" type=\"" << p.second << "\" />";
    w << "</s:sequence></s:complexType></s:element>\n";
    w << "      <s:element name=\"" << op.Name << "Response\"><s:complexType><s:sequence><s:element minOccurs=\"1\" "
      << "maxOccurs=\"1\" name=\"" << op.Name << "Result\" type=\"" << op.Result << "\" /></s:sequence></s:complexType></s:element>\n";
  }
  w << "      <s:complexType name=\"zelTextData\"><s:sequence><s:element minOccurs=\"1\" maxOccurs=\"1\" name=\"Status\" type=\"s:int\" />"
       "<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"Msg\" type=\"s:string\" /><s:element minOccurs=\"1\" maxOccurs=\"1\" name=\"Len\" type=\"s:int\" />"
       "<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"Buf\" type=\"s:string\" /></s:sequence></s:complexType>\n"
       "      <s:complexType name=\"zelPicture\"><s:sequence><s:element minOccurs=\"1\" maxOccurs=\"1\" name=\"Status\" type=\"s:int\" />"
       "<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"Msg\" type=\"s:string\" /><s:element minOccurs=\"1\" maxOccurs=\"1\" name=\"DataLength\" type=\"s:int\" />"
       "<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"Data\" type=\"s:base64Binary\" /></s:sequence></s:complexType>\n"
       "    </s:schema>\n  </wsdl:types>\n";
  for (const auto& op : Shapes()) {
    w << "  <wsdl:message name=\"" << op.Name << "SoapIn\"><wsdl:part name=\"parameters\" element=\"tns:" << op.Name << "\" /></wsdl:message>\n";
    w << "  <wsdl:message name=\"" << op.Name << "SoapOut\"><wsdl:part name=\"parameters\" element=\"tns:" << op.Name << "Response\" /></wsdl:message>\n";
  }
  w << "  <wsdl:portType name=\"zelserviceSoap\">\n";
  for (const auto& op : Shapes())
    w << "    <wsdl:operation name=\"" << op.Name << "\"><wsdl:input message=\"tns:" << op.Name << "SoapIn\" />"
      << "<wsdl:output message=\"tns:" << op.Name << "SoapOut\" /></wsdl:operation>\n";
  w << "  </wsdl:portType>\n";
  // The SOAP 1.2 binding first, with actions that must not be used.
  w << "  <wsdl:binding name=\"zelserviceSoap12\" type=\"tns:zelserviceSoap\">\n"
       "    <soap12:binding transport=\"http://schemas.xmlsoap.org/soap/http\" />\n";
  for (const auto& op : Shapes())
    w << "    <wsdl:operation name=\"" << op.Name << "\"><soap12:operation soapAction=\"urn:zel-fake:soap12-wrong/" << op.Name
      << "\" style=\"document\" /><wsdl:input><soap12:body use=\"literal\" /></wsdl:input>"
      << "<wsdl:output><soap12:body use=\"literal\" /></wsdl:output></wsdl:operation>\n";
  w << "  </wsdl:binding>\n";
  w << "  <wsdl:binding name=\"zelserviceSoap\" type=\"tns:zelserviceSoap\">\n"
       "    <soap:binding transport=\"http://schemas.xmlsoap.org/soap/http\" />\n";
  for (const auto& op : Shapes()) {
    w << "    <wsdl:operation name=\"" << op.Name << "\">";
    if (variant == FakeWsdl::WithoutActions)
      w << "<soap:operation style=\"document\" />";
    else
      w << "<soap:operation soapAction=\"" << FakeZelService::ActionOf(op.Name)
        << (variant == FakeWsdl::CrLfInAction ? InjectedHeader : "") << "\" style=\"document\" />";
    w << "<wsdl:input><soap:body use=\"literal\" /></wsdl:input><wsdl:output><soap:body use=\"literal\" /></wsdl:output></wsdl:operation>\n";
  }
  w << "  </wsdl:binding>\n";
  // Another service with a port of the same name, at a wrong address.
  w << "  <wsdl:service name=\"zelserviceLegacy\">\n"
       "    <wsdl:port name=\"zelserviceSoap\" binding=\"tns:zelserviceSoap\"><soap:address location=\""
    << base << "/zel/legacy/wrong\" /></wsdl:port>\n  </wsdl:service>\n";
  w << "  <wsdl:service name=\"zelservice\">\n"
       "    <wsdl:port name=\"zelserviceSoap12\" binding=\"tns:zelserviceSoap12\"><soap12:address location=\""
    << base << "/zel/soap12/wrong\" /></wsdl:port>\n"
       "    <wsdl:port name=\"zelserviceSoap\" binding=\"tns:zelserviceSoap\">";
  if (variant != FakeWsdl::WithoutAddress)
    w << "<soap:address location=\"" << base << FakeZelService::EndpointPath
      << (variant == FakeWsdl::CrLfInAddress ? InjectedHeader : "") << "\" />";
  w << "</wsdl:port>\n  </wsdl:service>\n</wsdl:definitions>\n";
  return w.str();
}

// ------------------------------------------------------------ data

struct Article {
  long Eid = 0, Her = 0, Sai = 0;
  std::string Fab;  // ANSI
};

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t b = 0;
  for (;;) {
    size_t e = s.find(sep, b);
    out.push_back(s.substr(b, e == std::string::npos ? std::string::npos : e - b));
    if (e == std::string::npos) break;
    b = e + 1;
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

struct Data {
  std::string Suppliers, Seasons, Countries;  // ANSI KCSV texts
  std::string FaultText = "Server was unable to process request. ---> Datenbank nicht erreichbar";  // ANSI
  std::string ForeignElements;  // XML before the fields of every text result
  std::vector<Article> Catalog;
  std::map<long, std::string> Kcsv, Pricat, Pictures;
  std::string NotJpeg;

  void Load(const std::string& dir) {
    Suppliers = ReadFile(dir + "/suppliers.kcsv");
    Seasons = ReadFile(dir + "/seasons.kcsv");
    Countries = ReadFile(dir + "/countries.kcsv");
    NotJpeg = ReadFile(dir + "/pictures/not_a_jpeg.png");
    for (const auto& line : Lines(ReadFile(dir + "/catalog.kcsv"))) {
      if (line.empty() || line[0] == '#' || line[0] == '@') continue;
      auto f = Split(line, '^');
      if (f.size() < 4) continue;
      Article a{std::stol(f[0]), std::stol(f[1]), std::stol(f[2]), f[3]};
      Catalog.push_back(a);
      std::string base = dir + "/articles/" + std::to_string(a.Eid);
      Kcsv[a.Eid] = ReadFile(base + ".kcsv");
      Pricat[a.Eid] = ReadFile(base + ".pricat");
      std::string pic = dir + "/pictures/" + std::to_string(a.Eid) + ".jpg";
      if (FileExists(pic)) Pictures[a.Eid] = ReadFile(pic);
    }
  }
};

std::string Base64(const std::string& bytes) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += digits[v >> 18];
    out += digits[(v >> 12) & 63];
    out += digits[(v >> 6) & 63];
    out += digits[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += digits[v >> 18];
    out += digits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

// ------------------------------------------------------------ recorded requests

std::string RecordedRequest::Header(const std::string& Name) const {
  int i = HeaderIndex(Name);
  return i < 0 ? std::string() : Headers[static_cast<size_t>(i)].second;
}

int RecordedRequest::HeaderIndex(const std::string& Name) const {
  for (size_t i = 0; i < Headers.size(); ++i)
    if (Lower(Headers[i].first) == Lower(Name)) return static_cast<int>(i);
  return -1;
}

bool ParseFailure(const std::string& Name, FakeFailure& Out) {
  static const std::map<std::string, FakeFailure> names = {
      {"none", FakeFailure::None},         {"fault", FakeFailure::SoapFault},
      {"404", FakeFailure::Http404},       {"html", FakeFailure::HtmlReply},
      {"status", FakeFailure::StatusNotZero}, {"badpicture", FakeFailure::BadPicture},
      {"stall", FakeFailure::Stall},       {"500", FakeFailure::Http500NoFault},
      {"dtd", FakeFailure::DtdReply},      {"nostatus", FakeFailure::MissingStatus},
      {"tworesults", FakeFailure::TwoResults}, {"shortpicture", FakeFailure::ShortPicture},
      {"drip", FakeFailure::Drip}};
  auto it = names.find(Lower(Name));
  if (it == names.end()) return false;
  Out = it->second;
  return true;
}

bool ParseWsdl(const std::string& Name, FakeWsdl& Out) {
  static const std::map<std::string, FakeWsdl> names = {
      {"normal", FakeWsdl::Normal},           {"noaddress", FakeWsdl::WithoutAddress},
      {"noactions", FakeWsdl::WithoutActions}, {"crlfaction", FakeWsdl::CrLfInAction},
      {"crlfaddress", FakeWsdl::CrLfInAddress}, {"drip", FakeWsdl::Drip}};
  auto it = names.find(Lower(Name));
  if (it == names.end()) return false;
  Out = it->second;
  return true;
}

// ------------------------------------------------------------ the service

struct FakeZelService::TImpl {
  RecordingServer Server;
  std::thread Thread;
  int Port = 0;
  Data Files;

  struct ScopedFailure {
    std::string Operation;
    long Her;
    FakeFailure Failure;
  };

  mutable std::mutex Lock;
  std::mutex DataLock;  // guards Files
  std::vector<RecordedRequest> Requests;
  FakeFailure Failure = FakeFailure::None;
  std::vector<ScopedFailure> Scoped;
  FakeWsdl Wsdl = FakeWsdl::Normal;
  bool StallReleased = false;
  std::condition_variable StallWake;

  std::string Base() const { return std::string("http://") + LoopbackHost + ":" + std::to_string(Port); }

  void Record(const httplib::Request& req) {
    RecordedRequest r;
    r.Method = req.method;
    r.Target = req.target;
    r.Body = req.body;
    if (tCurrentStream) r.Headers = HeaderLines(tCurrentStream->Raw);
    std::lock_guard<std::mutex> lock(Lock);
    Requests.push_back(std::move(r));
  }

  FakeFailure FailureFor(const SoapRequest& call) const {
    std::lock_guard<std::mutex> lock(Lock);
    if (call.Ok) {
      for (auto it = Scoped.rbegin(); it != Scoped.rend(); ++it)
        if (it->Operation == call.Operation && (it->Her == 0 || call.Int("her") == it->Her)) return it->Failure;
    }
    return Failure;
  }

  void OnGet(const httplib::Request& req, httplib::Response& res) {
    Record(req);
    std::string target = Lower(req.target);
    if (target.size() >= 5 && target.compare(target.size() - 5, 5, "?wsdl") == 0) {
      FakeWsdl variant;
      {
        std::lock_guard<std::mutex> lock(Lock);
        variant = Wsdl;
      }
      if (variant == FakeWsdl::Drip)
        Drip(res, BuildWsdl(Base(), FakeWsdl::Normal), "text/xml; charset=utf-8");
      else
        res.set_content(BuildWsdl(Base(), variant), "text/xml; charset=utf-8");
      return;
    }
    res.status = 404;
    res.set_content("<html><body><h1>404 - Nicht gefunden</h1></body></html>", "text/html");
  }

  void OnPost(const httplib::Request& req, httplib::Response& res) {
    Record(req);
    if (req.path != EndpointPath) {
      res.status = 404;
      res.set_content("<html><body><h1>404 - Nicht gefunden</h1></body></html>", "text/html");
      return;
    }
    std::string action = req.get_header_value("SOAPAction");
    if (action.size() >= 2 && action.front() == '"' && action.back() == '"') action = action.substr(1, action.size() - 2);
    SoapRequest call = ParseSoapRequest(req.body);
    FakeFailure failure = FailureFor(call);
    switch (failure) {
      case FakeFailure::SoapFault: {
        std::string text;
        {
          std::lock_guard<std::mutex> lock(DataLock);
          text = platform::AnsiToUtf8(Files.FaultText);
        }
        res.status = 500;
        res.set_content(FaultEnvelope("soap:Server", text), "text/xml; charset=utf-8");
        return;
      }
      case FakeFailure::Http404:
        res.status = 404;
        res.set_content("<html><body><h1>404 - Nicht gefunden</h1></body></html>", "text/html");
        return;
      case FakeFailure::HtmlReply:
        res.set_content("<html><body><h1>Wartungsarbeiten</h1><p>Bitte sp&auml;ter wieder versuchen.</p></body></html>",
                        "text/html");
        return;
      case FakeFailure::Stall: {
        std::unique_lock<std::mutex> lock(Lock);
        StallWake.wait_for(lock, std::chrono::seconds(30), [&] { return StallReleased; });
        res.status = 503;
        res.set_content("stalled", "text/plain");
        return;
      }
      default:
        break;
    }

    if (!call.Ok) {
      res.status = 500;
      res.set_content(FaultEnvelope("soap:Client", "Die Anforderung kann nicht gelesen werden."), "text/xml; charset=utf-8");
      return;
    }
    if (!action.empty() && action != ActionOf(call.Operation)) {
      res.status = 500;
      res.set_content(FaultEnvelope("soap:Client", "Server did not recognize the value of HTTP Header SOAPAction: " + action + "."),
                      "text/xml; charset=utf-8");
      return;
    }
    std::string inner;
    {
      std::lock_guard<std::mutex> lock(DataLock);
      inner = Answer(call, failure);
    }
    if (inner.empty()) {
      res.status = 500;
      res.set_content(FaultEnvelope("soap:Client", "Unbekannte Operation " + call.Operation), "text/xml; charset=utf-8");
      return;
    }
    std::string body = Envelope(inner);
    if (failure == FakeFailure::DtdReply)
      body = "<?xml version=\"1.0\"?><!DOCTYPE soap:Envelope [<!ENTITY z \"zzzzzzzzzz\">]>" + body.substr(body.find("?>") + 2);
    if (failure == FakeFailure::Http500NoFault) res.status = 500;
    if (failure == FakeFailure::Drip)
      Drip(res, std::move(body), "text/xml; charset=utf-8");
    else
      res.set_content(body, "text/xml; charset=utf-8");
  }

  // The headers and all but the last DripTail bytes at once, then one byte
  // a second, until released (the connection is then dropped).
  static constexpr size_t DripTail = 256;
  void Drip(httplib::Response& res, std::string body, const char* type) {
    auto bytes = std::make_shared<const std::string>(std::move(body));
    res.set_content_provider(bytes->size(), type, [this, bytes](size_t offset, size_t, httplib::DataSink& sink) {
      size_t head = bytes->size() > DripTail ? bytes->size() - DripTail : 0;
      if (offset < head) return sink.write(bytes->data() + offset, head - offset);
      {
        std::unique_lock<std::mutex> lock(Lock);
        if (StallWake.wait_for(lock, std::chrono::seconds(1), [&] { return StallReleased; })) return false;
      }
      return sink.write(bytes->data() + offset, 1);
    });
  }

  static bool LoggedIn(const SoapRequest& call) {
    std::string user = call.Text("user"), pass = call.Text("pass");
    return (user == "demo" && pass == "demo") || (user == "kunde" && pass == "geheim");
  }

  std::string TextResult(const std::string& op, int status, const std::string& msgAnsi, const std::string& bufAnsi,
                         FakeFailure failure) {
    if (failure == FakeFailure::StatusNotZero) {
      status = 3;
      return TextResult(op, status, "Zugang gesperrt (Testfall)", "", FakeFailure::None);
    }
    std::string buf = platform::AnsiToUtf8(bufAnsi);
    std::string r = "<" + op + "Response xmlns=\"zel.Service\"><" + op + "Result>" + Files.ForeignElements;
    if (failure != FakeFailure::MissingStatus) r += "<Status>" + std::to_string(status) + "</Status>";
    r += "<Msg>" + Escape(platform::AnsiToUtf8(msgAnsi)) + "</Msg><Len>" + std::to_string(bufAnsi.size()) + "</Len>";
    r += "<Buf>" + Escape(buf) + "</Buf></" + op + "Result>";
    if (failure == FakeFailure::TwoResults) r += "<Extra>1</Extra>";
    r += "</" + op + "Response>";
    return r;
  }

  std::string Search(long her, long sai, const std::string& fabUtf8) const {
    std::string needle = Lower(platform::Utf8ToAnsi(fabUtf8));
    std::string out = "@stm,eid[INT],fab[STR]\r\n";
    for (const auto& a : Files.Catalog) {
      if (her != -1 && a.Her != her) continue;
      if (sai != -1 && a.Sai != sai) continue;
      if (!needle.empty() && Lower(a.Fab).find(needle) == std::string::npos) continue;
      out += std::to_string(a.Eid) + "^" + a.Fab + "\r\n";
    }
    return out;
  }

  std::string Answer(const SoapRequest& call, FakeFailure failure) {
    const std::string& op = call.Operation;
    if (op == "PicExist") {
      return "<PicExistResponse xmlns=\"zel.Service\"><PicExistResult>" +
             std::to_string(Files.Pictures.count(call.Int("eid")) ? 1 : 0) + "</PicExistResult></PicExistResponse>";
    }
    if (op == "PicInfo") {
      long eid = call.Int("eid");
      auto it = Files.Pictures.find(eid);
      if (it == Files.Pictures.end()) return TextResult(op, 1, "Kein Bild vorhanden", "", failure);
      return TextResult(op, 0, "OK", "@pic,eid[INT],len[INT]\r\n" + std::to_string(eid) + "^" + std::to_string(it->second.size()) + "\r\n",
                        failure);
    }
    if (op != "GetPic" && op != "SearchART" && op != "SearchART2" && op != "GetEAN" && op != "GetPRICAT") return std::string();
    if (!LoggedIn(call)) {
      if (op == "GetPic") return PictureResult(1, "Benutzer oder Passwort falsch", "", failure);
      return TextResult(op, 1, "Benutzer oder Passwort falsch", "", failure);
    }
    if (op == "GetPic") {
      long id = call.Int("zelID");
      if (failure == FakeFailure::BadPicture) return PictureResult(0, "OK", Files.NotJpeg, failure);
      auto it = Files.Pictures.find(id);
      if (it == Files.Pictures.end()) return PictureResult(1, "Kein Bild vorhanden", "", failure);
      return PictureResult(0, "OK", it->second, failure);
    }
    long format = call.Int("format");
    if (op == "GetPRICAT") {
      if (format != 0 && format != 2) return TextResult(op, 4, "Format nicht unterst\xFCtzt", "", failure);
      long eid = call.Int("eid");
      const auto& table = format == 0 ? Files.Kcsv : Files.Pricat;
      auto it = table.find(eid);
      if (it == table.end()) return TextResult(op, 2, "Artikel " + std::to_string(eid) + " nicht gefunden", "", failure);
      return TextResult(op, 0, "OK", it->second, failure);
    }
    if (format != 0) return TextResult(op, 4, "Format nicht unterst\xFCtzt", "", failure);
    if (op == "GetEAN") {
      long eid = call.Int("eid");
      auto it = Files.Kcsv.find(eid);
      if (it == Files.Kcsv.end()) return TextResult(op, 2, "Artikel " + std::to_string(eid) + " nicht gefunden", "", failure);
      std::string out = "@ean,etk[STR],ean[STR]\r\n";
      bool inSizes = false;
      for (const auto& line : Lines(it->second)) {
        if (!line.empty() && line[0] == '@') {
          inSizes = line.compare(0, 4, "@srm") == 0;
          continue;
        }
        auto f = Split(line, '^');
        if (inSizes && f.size() >= 2) out += f[0] + "^" + f[1] + "\r\n";
      }
      return TextResult(op, 0, "OK", out, failure);
    }
    long her = call.Int("her");
    if (op == "SearchART") {
      if (her == -19971001) return TextResult(op, 0, "OK", Files.Suppliers, failure);
      if (her == -19971002) return TextResult(op, 0, "OK", Files.Seasons, failure);
      if (her == -19971003) return TextResult(op, 0, "OK", Files.Countries, failure);
      return TextResult(op, 0, "OK", Search(her, -1, call.Text("fab")), failure);
    }
    return TextResult(op, 0, "OK", Search(her, call.Int("sai"), call.Text("fab")), failure);
  }

  std::string PictureResult(int status, const std::string& msgAnsi, const std::string& bytes, FakeFailure failure) {
    if (failure == FakeFailure::StatusNotZero) {
      status = 3;
      return PictureResult(status, "Zugang gesperrt (Testfall)", "", FakeFailure::None);
    }
    std::string r = "<GetPicResponse xmlns=\"zel.Service\"><GetPicResult>";
    if (failure != FakeFailure::MissingStatus) r += "<Status>" + std::to_string(status) + "</Status>";
    size_t stated = bytes.size() + (failure == FakeFailure::ShortPicture && !bytes.empty() ? 1000 : 0);
    r += "<Msg>" + Escape(platform::AnsiToUtf8(msgAnsi)) + "</Msg><DataLength>" + std::to_string(stated) +
         "</DataLength><Data>" + Base64(bytes) + "</Data></GetPicResult>";
    if (failure == FakeFailure::TwoResults) r += "<Extra>1</Extra>";
    r += "</GetPicResponse>";
    return r;
  }
};

FakeZelService::FakeZelService(int Port) : FImpl(std::make_unique<TImpl>()) {
  FImpl->Files.Load(DataDir());
  auto& s = FImpl->Server;
  s.set_keep_alive_timeout(5);
  s.set_keep_alive_max_count(10000);
  s.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { FImpl->OnGet(req, res); });
  s.Post(".*", [this](const httplib::Request& req, httplib::Response& res) { FImpl->OnPost(req, res); });
  if (Port == 0) {
    FImpl->Port = s.bind_to_any_port(LoopbackHost);
  } else if (s.bind_to_port(LoopbackHost, Port)) {
    FImpl->Port = Port;
  } else {
    FImpl->Port = -1;
  }
  if (FImpl->Port <= 0) throw std::runtime_error("fake service: cannot listen on " + std::string(LoopbackHost));
  FImpl->Thread = std::thread([this] { FImpl->Server.listen_after_bind(); });
  // stop() does nothing before the server runs, so wait for it.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!s.is_running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeZelService::~FakeZelService() {
  ReleaseStall();
  FImpl->Server.stop();
  if (FImpl->Thread.joinable()) FImpl->Thread.join();
}

int FakeZelService::Port() const { return FImpl->Port; }
std::string FakeZelService::BaseUrl() const { return FImpl->Base(); }
std::string FakeZelService::ServiceUrl() const { return BaseUrl() + ServicePath; }
std::string FakeZelService::WsdlUrl() const { return ServiceUrl() + "?wsdl"; }
std::string FakeZelService::EndpointUrl() const { return BaseUrl() + EndpointPath; }
std::string FakeZelService::ActionOf(const std::string& Operation) { return "urn:zel-fake:soap11/" + Operation; }

void FakeZelService::SetFailure(FakeFailure Failure) {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  FImpl->Failure = Failure;
  if (Failure == FakeFailure::None) FImpl->Scoped.clear();
  FImpl->StallReleased = false;
}

void FakeZelService::SetFailureFor(const std::string& Operation, FakeFailure Failure, long Her) {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  FImpl->Scoped.push_back({Operation, Operation == "SearchART" ? Her : 0, Failure});
  FImpl->StallReleased = false;
}

void FakeZelService::SetArticleText(long Eid, const std::string& KcsvAnsi) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.Kcsv[Eid] = KcsvAnsi;
}

void FakeZelService::AddCatalogEntry(long Eid, long Her, long Sai, const std::string& FabAnsi) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.Catalog.push_back(Article{Eid, Her, Sai, FabAnsi});
}

void FakeZelService::SetSupplierList(const std::string& KcsvAnsi) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.Suppliers = KcsvAnsi;
}

void FakeZelService::SetFaultText(const std::string& TextAnsi) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.FaultText = TextAnsi;
}

void FakeZelService::SetForeignElements(const std::string& Xml) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.ForeignElements = Xml;
}

void FakeZelService::SetWsdl(FakeWsdl Wsdl) {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  FImpl->Wsdl = Wsdl;
  FImpl->StallReleased = false;
}

void FakeZelService::SetPicture(long Eid, const std::string& JpegBytes) {
  std::lock_guard<std::mutex> lock(FImpl->DataLock);
  FImpl->Files.Pictures[Eid] = JpegBytes;
}

void FakeZelService::ReleaseStall() {
  {
    std::lock_guard<std::mutex> lock(FImpl->Lock);
    FImpl->StallReleased = true;
  }
  FImpl->StallWake.notify_all();
}

std::vector<RecordedRequest> FakeZelService::Requests() const {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  return FImpl->Requests;
}

std::size_t FakeZelService::CountOf(const std::string& Method) const {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  return static_cast<std::size_t>(std::count_if(FImpl->Requests.begin(), FImpl->Requests.end(),
                                                [&](const RecordedRequest& r) { return r.Method == Method; }));
}

void FakeZelService::ClearRequests() {
  std::lock_guard<std::mutex> lock(FImpl->Lock);
  FImpl->Requests.clear();
}

std::string FakeZelService::DataDir() { return std::string(ZEL_TEST_DATA_DIR) + "/fake_service"; }

}  // namespace zeltest
