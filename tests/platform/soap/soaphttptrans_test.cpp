// The HTTP road of the SOAP runtime against servers on loopback that answer
// byte by byte, without end or not at all, as no ordinary HTTP server can be
// made to.
#include "platform/soap/soaphttptrans.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/rtl/sysutils.h"
#include "tests/support/error_of.h"

using namespace platform::soap;
using zeltest::ErrorOf;

namespace {

// A listening socket on 127.0.0.1 with an ephemeral port.
int ListenOnLoopback(int backlog, int& port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, backlog) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("no loopback socket");
  port = ntohs(addr.sin_port);
  return s;
}

// Accepts connections one after another and hands each to Serve, until the
// server is destroyed.
class TLoopbackServer {
public:
  using TServe = std::function<void(TLoopbackServer&, int client)>;
  explicit TLoopbackServer(TServe Serve) : FServe(std::move(Serve)) {
    FListen = ListenOnLoopback(1, FPort);
    FThread = std::thread([this] { Accept(); });
  }
  ~TLoopbackServer() {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FStop = true;
    }
    FWake.notify_all();
    ::shutdown(FListen, SHUT_RDWR);
    FThread.join();
    ::close(FListen);
  }
  std::string Url(const std::string& scheme = "http") const {
    return scheme + "://127.0.0.1:" + std::to_string(FPort) + "/svc";
  }
  int Port() const { return FPort; }

  // Waits for the time, or less when the server is destroyed: false then.
  bool Rest(std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> lock(FLock);
    return !FWake.wait_for(lock, time, [this] { return FStop; });
  }
  // Sends all of Data, and counts it; false once the client has gone.
  bool Send(int client, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
      ssize_t n = ::send(client, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
      Sent += n;
    }
    return true;
  }
  static void ReadRequest(int client) {
    char buffer[4096];
    ::recv(client, buffer, sizeof buffer, 0);  // the request's head (and a small body)
  }

  std::atomic<std::int64_t> Sent{0};

private:
  void Accept() {
    for (;;) {
      int client = ::accept(FListen, nullptr, nullptr);
      if (client < 0) return;
      FServe(*this, client);
      ::close(client);
    }
  }

  TServe FServe;
  int FListen = -1;
  int FPort = 0;
  std::mutex FLock;
  std::condition_variable FWake;
  bool FStop = false;
  std::thread FThread;
};

// Reads what comes, and sends Head one byte every Interval, until the
// client goes or the server is destroyed.
class TDrippingServer : public TLoopbackServer {
public:
  TDrippingServer(std::string Head, std::chrono::milliseconds Interval)
      : TLoopbackServer([Head, Interval](TLoopbackServer& server, int client) {
          ReadRequest(client);
          for (std::size_t i = 0;; i = (i + 1) % Head.size())
            if (!server.Send(client, Head.substr(i, 1)) || !server.Rest(Interval)) break;
        }) {}
};

// Reads the request, sends Head, then stays silent until destroyed.
class TSilentServer : public TLoopbackServer {
public:
  explicit TSilentServer(std::string Head)
      : TLoopbackServer([Head](TLoopbackServer& server, int client) {
          ReadRequest(client);
          if (server.Send(client, Head)) server.Rest(std::chrono::hours(1));
        }) {}
};

AnsiString Call(THttpTransport& transport, bool post, const std::string& url) {
  return ErrorOf([&] {
    if (post)
      transport.Post(url, "urn:op", "<x/>");
    else
      transport.Get(url);
  });
}

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

// A server that says nothing, or nothing more, is a stall once the stall
// limit has passed, not later: our own request going out and being
// acknowledged is no sign of the server.  The bound on the time is the
// behaviour asked for here, with room for a busy machine.
TEST(HttpTransport, SilentServerIsAStallAtTheStallLimit) {
  struct TCase {
    const char* Name;
    bool Post;
    std::string Head;
  };
  const TCase cases[] = {
      {"accepts and never answers", true, ""},
      {"description fetch without an answer", false, ""},
      {"a head, then silence", true, "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 100\r\n\r\n"},
      {"part of a head, then silence", false, "HTTP/1.1 200 OK\r\nContent-Ty"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSilentServer server(c.Head);
    THttpTransport transport;
    transport.Limits.ReceiveTimeoutMs = 1000;
    transport.Limits.TotalTimeoutMs = 60000;
    auto start = std::chrono::steady_clock::now();
    AnsiString error = Call(transport, c.Post, server.Url());
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_NE(error.find("Zeit\xFC" "berschreitung: 1000 ms ohne Daten vom Server - URL:" + server.Url()),
              std::string::npos)
        << error;
    EXPECT_GE(waited, std::chrono::milliseconds(1000));
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
  }
}

// Head lines without end, one head line without end, trailer lines without
// end after a chunked body: the call fails as soon as the bound is passed,
// long before the server has sent all it would, and keeps nothing of what
// it read (libcurl's copy of the lines included).
TEST(HttpTransport, EndlessHeadOrTrailerLinesFailAtTheBoundAndKeepNothing) {
  // Far beyond the bound, and beyond what the sockets' buffers can take in
  // (at most half of the largest receive buffer the system allows, 32 MiB).
  constexpr std::int64_t WouldSend = 64ll << 20;
  struct TCase {
    const char* Name;
    std::string Start;
    std::string Repeated;
    std::string Expected;
  };
  const TCase cases[] = {
      {"trailer lines", "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n4\r\n<x/>\r\n0\r\n",
       "X-T: " + std::string(93, 't') + "\r\n", "Der Kopf der Antwort ist l\xE4" "nger als 262144 Bytes - URL:"},
      {"head lines", "HTTP/1.1 200 OK\r\n", "X-H: " + std::string(93, 'h') + "\r\n", "Der Kopf der Antwort ist l\xE4" "nger als 262144 Bytes - URL:"},
      {"one head line", "HTTP/1.1 200 OK\r\nX-H: ", "x",
       "Eine Zeile im Kopf der Antwort ist l\xE4" "nger als 102400 Bytes ("},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string piece;
    while (piece.size() < 64 * 1024) piece += c.Repeated;
    std::atomic<int> calls{0};
    TLoopbackServer server([&](TLoopbackServer& s, int client) {
      int buffer = 64 * 1024;
      ::setsockopt(client, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
      TLoopbackServer::ReadRequest(client);
      if (calls++ == 0) {
        s.Send(client, "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 4\r\n\r\n<x/>");
        return;
      }
      s.Sent = 0;
      if (!s.Send(client, c.Start)) return;
      while (s.Sent < WouldSend && s.Send(client, piece)) {
      }
    });
    THttpTransport transport;
    ASSERT_EQ(Call(transport, true, server.Url()), "");  // libcurl's first allocations made
    std::size_t before = mallinfo2().uordblks;
    AnsiString error = Call(transport, true, server.Url());
    std::int64_t sent = server.Sent;
    std::size_t after = mallinfo2().uordblks;
    EXPECT_EQ(error.find(c.Expected), 0u) << error;
    EXPECT_NE(error.find(" - URL:" + server.Url()), std::string::npos) << error;
    EXPECT_LT(sent, WouldSend / 2);
    EXPECT_LT(after, before + 64 * 1024) << "held after the failed call: " << (after - before);
    EXPECT_EQ(transport.HeldReplyBytes(), 0u);
  }
}

// Transport failures as they really happen, each told in German with the
// host and port where they matter, libcurl's text after it in brackets, and
// the address and the action after that.
TEST(HttpTransport, TransportFailuresSayWhatHappenedInGerman) {
  int closedPort = 0;
  ::close(ListenOnLoopback(1, closedPort));
  // A listener whose queue is full takes no further connection.
  int fullPort = 0;
  int full = ListenOnLoopback(0, fullPort);
  int queued = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<std::uint16_t>(fullPort));
  ASSERT_EQ(::connect(queued, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  auto answer = [](std::string reply) {
    return [reply](TLoopbackServer& server, int client) {
      TLoopbackServer::ReadRequest(client);
      server.Send(client, reply);
    };
  };
  TLoopbackServer closesAtOnce(answer(""));
  TLoopbackServer cutsItsReply(answer("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 100\r\n\r\n<x/>"));
  TLoopbackServer speaksNoHttp(answer("SSH-2.0-OpenSSH_9.2\r\n\r\n"));
  TLoopbackServer plainHttp(answer("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n"));

  const std::string closed = "http://127.0.0.1:" + std::to_string(closedPort) + "/svc";
  struct TCase {
    std::string Url;
    std::string Expected;  // how the message begins
  };
  const TCase cases[] = {
      {closed, "Keine Verbindung zum Server 127.0.0.1 an Port " + std::to_string(closedPort) + " ("},
      {"ftp://127.0.0.1:21/svc", "Das Protokoll \"ftp\" wird nicht unterst\xFC" "tzt, nur http und https ("},
      {"http://", "Die Adresse ist ung\xFC" "ltig ("},
      {closesAtOnce.Url(), "Der Server 127.0.0.1 hat die Verbindung ohne Antwort geschlossen ("},
      {cutsItsReply.Url(), "Die Antwort des Servers 127.0.0.1 brach vor ihrem Ende ab ("},
      {speaksNoHttp.Url(), "Der Server 127.0.0.1 hat nicht mit g\xFC" "ltigem HTTP geantwortet ("},
      {plainHttp.Url("https"),
       "Die TLS-Verbindung zum Server 127.0.0.1 an Port " + std::to_string(plainHttp.Port()) + " kam nicht zustande ("},
      {"http://127.0.0.1:" + std::to_string(fullPort) + "/svc",
       "Zeit\xFC" "berschreitung beim Verbindungsaufbau (300 ms) - URL:"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Url);
    THttpTransport transport;
    transport.Limits.ConnectTimeoutMs = 300;
    transport.Limits.TotalTimeoutMs = 60000;
    AnsiString error = Call(transport, true, c.Url);
    EXPECT_EQ(error.find(c.Expected), 0u) << error;
    EXPECT_NE(error.find(") - URL:" + c.Url + " - SOAPAction:urn:op"), std::string::npos) << error;
  }
  ::close(queued);
  ::close(full);
}

// Every code of libcurl that a call can meet, as the program tells it.
TEST(TransportFailureText, EachCodeSaysWhatHappened) {
  struct TCase {
    CURLcode Code;
    bool BodyBegun;
    std::string Expected;
  };
  const TCase cases[] = {
      {CURLE_COULDNT_CONNECT, false, "Keine Verbindung zum Server zel.example an Port 8443 (why)"},
      {CURLE_COULDNT_RESOLVE_HOST, false,
       "Der Server zel.example ist nicht bekannt: sein Name l\xE4" "sst sich nicht aufl\xF6" "sen (why)"},
      {CURLE_COULDNT_RESOLVE_PROXY, false,
       "Der Proxy-Server ist nicht bekannt: sein Name l\xE4" "sst sich nicht aufl\xF6" "sen (why)"},
      {CURLE_PROXY, false, "Die Verbindung \xFC" "ber den Proxy-Server kam nicht zustande (why)"},
      {CURLE_UNSUPPORTED_PROTOCOL, false, "Der Server zel.example hat nicht mit g\xFC" "ltigem HTTP geantwortet (why)"},
      {CURLE_WEIRD_SERVER_REPLY, false, "Der Server zel.example hat nicht mit g\xFC" "ltigem HTTP geantwortet (why)"},
      {CURLE_PEER_FAILED_VERIFICATION, false,
       "Das Zertifikat des Servers zel.example ist nicht vertrauensw\xFC" "rdig (why)"},
      {CURLE_SSL_ISSUER_ERROR, false, "Das Zertifikat des Servers zel.example ist nicht vertrauensw\xFC" "rdig (why)"},
      {CURLE_SSL_CONNECT_ERROR, false, "Die TLS-Verbindung zum Server zel.example an Port 8443 kam nicht zustande (why)"},
      {CURLE_SSL_CIPHER, false, "Die TLS-Verbindung zum Server zel.example an Port 8443 kam nicht zustande (why)"},
      {CURLE_SSL_CACERT_BADFILE, false,
       "Die vertrauensw\xFC" "rdigen Zertifikate lassen sich auf diesem Rechner nicht lesen (why)"},
      {CURLE_SEND_ERROR, false, "Fehler beim Senden an den Server zel.example an Port 8443 (why)"},
      {CURLE_RECV_ERROR, true, "Fehler beim Empfang vom Server zel.example an Port 8443 (why)"},
      {CURLE_OPERATION_TIMEDOUT, false, "Zeit\xFC" "berschreitung beim Verbindungsaufbau (30000 ms)"},
      {CURLE_OUT_OF_MEMORY, false, "Eine Zeile im Kopf der Antwort ist l\xE4" "nger als 102400 Bytes (why)"},
      {CURLE_OUT_OF_MEMORY, true, "Nicht genug Arbeitsspeicher f\xFC" "r die Antwort (why)"},
      {CURLE_BAD_CONTENT_ENCODING, true, "Die Antwort ist in einer unbekannten Kodierung verpackt (why)"},
      {CURLE_LOGIN_DENIED, false, "Der Server zel.example hat die Anmeldung abgewiesen (why)"},
      {CURLE_HTTP2_STREAM, true, "Fehler im HTTP-Protokoll mit dem Server zel.example (why)"},
      {CURLE_SEND_FAIL_REWIND, false, "Die Anfrage lie\xDF" " sich nicht senden (why)"},
      {CURLE_WRITE_ERROR, true, "Die Antwort lie\xDF" " sich nicht annehmen (why)"},
      {CURLE_ABORTED_BY_CALLBACK, false, "Die Anfrage wurde abgebrochen (why)"},
      {CURLE_FAILED_INIT, false, "Interner Fehler der HTTP-Bibliothek (why)"},
      {CURLE_TFTP_NOTFOUND, false, "Die \xDC" "bertragung schlug fehl, Fehler 68 der HTTP-Bibliothek (why)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Code));
    TTransportFailure failure;
    failure.Code = c.Code;
    failure.Scheme = "https";
    failure.Host = "zel.example";
    failure.Port = 8443;
    failure.BodyBegun = c.BodyBegun;
    failure.ConnectTimeoutMs = 30000;
    failure.Detail = "why";
    EXPECT_EQ(TransportFailureText(failure), c.Expected);
  }
  // Without a text of the library's own, nothing in brackets.
  TTransportFailure failure;
  failure.Code = CURLE_COULDNT_CONNECT;
  failure.Host = "10.1.2.3";
  failure.Port = 80;
  EXPECT_EQ(TransportFailureText(failure), "Keine Verbindung zum Server 10.1.2.3 an Port 80");
}

}  // namespace
