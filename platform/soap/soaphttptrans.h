// The HTTP road of the SOAP runtime: blocking GET and POST over libcurl on
// the calling thread, one connection kept per transport.
//
// TLS certificates and host names are verified.  Connecting and a reply
// that stalls have time-outs, and a reply larger than a bound fails, each
// raised as ESOAPHTTPException with the address and the action.
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
  int ConnectTimeoutMs = 30000;                   // connecting
  int ReceiveTimeoutMs = 60000;                   // no byte moving in either direction
  std::int64_t MaxReplySize = 256ll * 1024 * 1024;  // bytes of a reply body
};

// The limits a new client starts with.
TTransportLimits DefaultTransportLimits();
void SetDefaultTransportLimits(const TTransportLimits& Limits);

struct THttpReply {
  long Status = 0;
  std::string StatusText;   // reason phrase of the status line
  std::string ContentType;  // the whole header value, as sent
  std::string Body;
};

// What the last request sent, for diagnosis.
struct THttpTrace {
  std::string Method;
  std::string URL;
  std::string SOAPAction;
  std::string Body;
  std::vector<std::size_t> Pieces;  // sizes handed to the connection, in order
};

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
  // Headers "SOAPAction" and "Content-Type: text/xml", in this order.
  THttpReply Post(const std::string& URL, const std::string& SOAPAction, const std::string& Body);

  const THttpTrace& LastTrace() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace platform::soap
