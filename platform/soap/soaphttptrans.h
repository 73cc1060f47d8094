// The HTTP road of the SOAP runtime: blocking GET and POST over libcurl on
// the calling thread, one connection kept per transport.
//
// TLS certificates and host names are verified.  Connecting, a reply that
// stalls and the whole request have time-outs, and a reply larger than a
// bound fails, as does a head larger than a bound, each raised as
// ESOAPHTTPException with the address and the action.  What a failed request
// had read is released with it, the library's copy of its head included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::soap {

// Pieces in which a request body goes out under one announced length.
inline constexpr std::size_t SendPieceSize = 32768;

struct TTransportLimits {
  int ConnectTimeoutMs = 30000;                     // connecting
  int ReceiveTimeoutMs = 60000;                     // no byte from the server once the request is out
  int TotalTimeoutMs = 120000;                      // the whole request, however it moves
  std::int64_t MaxReplySize = 256ll * 1024 * 1024;  // bytes of a reply body
};

// Bytes of the head and trailer lines of one reply, together: far above
// what any service sends, and below the HTTP library's own bound on heads,
// so that this is the bound a head meets.
inline constexpr std::int64_t MaxReplyHeadSize = 256 * 1024;

// The limits a new client starts with.
TTransportLimits DefaultTransportLimits();
void SetDefaultTransportLimits(const TTransportLimits& Limits);

// Takes a reply body as it arrives, instead of collecting it.
class TReplySink {
public:
  virtual ~TReplySink() = default;
  // Asked once, before the first byte of the body: whether the body is
  // wanted (else it is read and dropped).  Length -1: not announced.
  virtual bool Wanted(long Status, const std::string& ContentType, std::int64_t Length) = 0;
  // A piece of the body; false ends the request at once (the sink knows why).
  virtual bool Write(const char* Data, std::size_t Size) = 0;
};

struct THttpReply {
  long Status = 0;
  std::string StatusText;   // reason phrase of the status line
  std::string ContentType;  // the whole header value, as sent
  std::string Body;         // empty when a sink took it
};

// What the last request sent, for diagnosis.
struct THttpTrace {
  std::string Method;
  std::string URL;
  std::string SOAPAction;
  std::string Body;
  std::vector<std::size_t> Pieces;  // sizes handed to the connection, in order
};

// A transfer that the HTTP library ended with an error.
struct TTransportFailure {
  int Code = 0;            // libcurl's CURLcode
  std::string Scheme;      // of the address, in lower case
  std::string Host;        // as the address names it
  int Port = 0;            // the address's, or its scheme's default
  bool BodyBegun = false;  // the first byte of the reply's body had come
  int ConnectTimeoutMs = 0;
  std::string Detail;  // the library's own text, for support staff
};

// What happened, in the program's language; the library's text follows in
// brackets.
std::string TransportFailureText(const TTransportFailure& Failure);

class THttpTransport {
public:
  THttpTransport();
  ~THttpTransport();
  THttpTransport(const THttpTransport&) = delete;
  THttpTransport& operator=(const THttpTransport&) = delete;

  TTransportLimits Limits;
  std::string UserAgent = "ZEL-SOAP/1.0";

  // Any content type is accepted.
  THttpReply Get(const std::string& URL);
  // Headers "SOAPAction" and "Content-Type: text/xml", in this order.  With
  // a sink the reply body goes there; a sink that ends the request makes
  // Post return what it has without raising.
  THttpReply Post(const std::string& URL, const std::string& SOAPAction, const std::string& Body,
                  TReplySink* Sink = nullptr);

  const THttpTrace& LastTrace() const;
  // Bytes of reply the transport still holds between requests.
  std::size_t HeldReplyBytes() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace platform::soap
