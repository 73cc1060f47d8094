// The HTTP road of the SOAP runtime against a server on loopback that
// answers byte by byte, as no ordinary HTTP server can be made to.
#include "platform/soap/soaphttptrans.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/rtl/sysutils.h"

using namespace platform::soap;

namespace {

// Accepts one connection on 127.0.0.1, reads what comes, and sends Head
// one byte every Interval, until the client goes or the server is destroyed.
class TDrippingServer {
public:
  TDrippingServer(std::string Head, std::chrono::milliseconds Interval) : FHead(std::move(Head)), FInterval(Interval) {
    FListen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (FListen < 0 || ::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(FListen, 1) != 0 || ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      throw std::runtime_error("no loopback socket");
    FPort = ntohs(addr.sin_port);
    FThread = std::thread([this] { Serve(); });
  }
  ~TDrippingServer() {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FStop = true;
    }
    FWake.notify_all();
    ::shutdown(FListen, SHUT_RDWR);
    FThread.join();
    ::close(FListen);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(FPort) + "/svc"; }

private:
  void Serve() {
    int client = ::accept(FListen, nullptr, nullptr);
    if (client < 0) return;
    char buffer[4096];
    ::recv(client, buffer, sizeof buffer, 0);  // the request's head (and body)
    std::unique_lock<std::mutex> lock(FLock);
    for (std::size_t i = 0; !FStop; i = (i + 1) % FHead.size()) {
      if (::send(client, &FHead[i], 1, MSG_NOSIGNAL) != 1) break;
      FWake.wait_for(lock, FInterval, [this] { return FStop; });
    }
    ::close(client);
  }

  std::string FHead;
  std::chrono::milliseconds FInterval;
  int FListen = -1;
  int FPort = 0;
  std::mutex FLock;
  std::condition_variable FWake;
  bool FStop = false;
  std::thread FThread;
};

// A response head that never ends, a byte every 25 ms: bytes keep coming,
// so the request is no stalled one; the limit of the whole request ends it,
// and the message names that limit.
TEST(HttpTransport, DrippingResponseHeadEndsAtTheLimitOfTheWholeRequest) {
  for (bool post : {false, true}) {
    SCOPED_TRACE(post ? "POST" : "GET");
    TDrippingServer server("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nX-Padding: " + std::string(4000, 'x'),
                           std::chrono::milliseconds(25));
    THttpTransport transport;
    transport.Limits.ReceiveTimeoutMs = 500;
    transport.Limits.TotalTimeoutMs = 1500;
    AnsiString error;
    try {
      if (post)
        transport.Post(server.Url(), "urn:op", "<x/>");
      else
        transport.Get(server.Url());
    } catch (const Exception& e) {
      error = e.Message();
    }
    EXPECT_NE(error.find("Zeit\xFC" "berschreitung: Die Anfrage dauerte l\xE4" "nger als 1500 ms - URL:" + server.Url()),
              std::string::npos)
        << error;
    EXPECT_EQ(error.find("ohne Daten"), std::string::npos) << error;
  }
}

// A head that stops coming after its first byte is a stalled reply.
TEST(HttpTransport, ResponseHeadThatStopsIsAStall) {
  TDrippingServer server("H", std::chrono::hours(1));
  THttpTransport transport;
  transport.Limits.ReceiveTimeoutMs = 500;
  transport.Limits.TotalTimeoutMs = 60000;
  AnsiString error;
  try {
    transport.Post(server.Url(), "urn:op", "<x/>");
  } catch (const Exception& e) {
    error = e.Message();
  }
  EXPECT_NE(error.find("500 ms ohne Daten vom Server - URL:" + server.Url()), std::string::npos) << error;
}

}  // namespace
