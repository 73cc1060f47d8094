#include "platform/soap/soaphttptrans.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/soap/invokeregistry.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

namespace {

std::mutex gLimitsLock;
TTransportLimits gLimits;

// libcurl is loaded at the first transport, not at program start: it brings
// some thirty libraries (TLS, Kerberos, LDAP, ...) that a start without a
// service call never needs.  The declarations of curl.h give the types.
struct TCurlApi {
  decltype(&curl_global_init) GlobalInit = nullptr;
  decltype(&curl_easy_init) EasyInit = nullptr;
  decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
  decltype(&curl_easy_setopt) EasySetopt = nullptr;
  decltype(&curl_easy_perform) EasyPerform = nullptr;
  decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
  decltype(&curl_easy_strerror) EasyStrerror = nullptr;
  decltype(&curl_slist_append) SlistAppend = nullptr;
  decltype(&curl_slist_free_all) SlistFreeAll = nullptr;
  std::string Error;  // why loading failed; empty when loaded
};

template <typename F>
bool Bind(void* library, const char* name, F& target, std::string& error) {
  target = reinterpret_cast<F>(::dlsym(library, name));
  if (!target && error.empty()) error = std::string("libcurl.so.4: ") + name + " fehlt";
  return target != nullptr;
}

// Loads libcurl once for the process and keeps it loaded.
const TCurlApi& LoadedCurl() {
  static TCurlApi api;
  static std::once_flag once;
  std::call_once(once, [] {
    void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      const char* why = ::dlerror();
      api.Error = std::string("libcurl.so.4 kann nicht geladen werden: ") + (why ? why : "unbekannter Fehler");
      return;
    }
    std::string error;
    bool ok = Bind(library, "curl_global_init", api.GlobalInit, error);
    ok = Bind(library, "curl_easy_init", api.EasyInit, error) && ok;
    ok = Bind(library, "curl_easy_cleanup", api.EasyCleanup, error) && ok;
    ok = Bind(library, "curl_easy_setopt", api.EasySetopt, error) && ok;
    ok = Bind(library, "curl_easy_perform", api.EasyPerform, error) && ok;
    ok = Bind(library, "curl_easy_getinfo", api.EasyGetinfo, error) && ok;
    ok = Bind(library, "curl_easy_strerror", api.EasyStrerror, error) && ok;
    ok = Bind(library, "curl_slist_append", api.SlistAppend, error) && ok;
    ok = Bind(library, "curl_slist_free_all", api.SlistFreeAll, error) && ok;
    if (!ok) {
      api = TCurlApi{};
      api.Error = error;
      return;
    }
    if (api.GlobalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      api = TCurlApi{};
      api.Error = "libcurl kann nicht initialisiert werden";
    }
  });
  return api;
}

// One option of a handle of the loaded library.
template <typename T>
void SetOpt(CURL* handle, CURLoption option, T value) {
  LoadedCurl().EasySetopt(handle, option, value);
}

const char* StandardStatusText(long code) {
  switch (code) {
    case 300: return "Multiple Choices";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 415: return "Unsupported Media Type";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "HTTP-Fehler";
  }
}

}  // namespace

TTransportLimits DefaultTransportLimits() {
  std::lock_guard<std::mutex> lock(gLimitsLock);
  return gLimits;
}

void SetDefaultTransportLimits(const TTransportLimits& Limits) {
  std::lock_guard<std::mutex> lock(gLimitsLock);
  gLimits = Limits;
}

// How far libcurl's clock may run ahead of ours over one request.
constexpr std::chrono::milliseconds LimitClockSlack{10};

struct THttpTransport::TImpl {
  CURL* Curl = nullptr;
  std::string LoadError;  // libcurl could not be loaded
  THttpTrace Trace;

  // State of the running request.
  const std::string* Body = nullptr;
  std::size_t Offset = 0;
  THttpReply Reply;
  TReplySink* Sink = nullptr;
  bool Started = false;   // the first byte of the body has come
  bool Dropping = false;  // the sink does not want the body
  bool SinkStopped = false;
  std::int64_t Received = 0;
  std::int64_t MaxReply = 0;
  bool TooLarge = false;
  bool Stalled = false;
  bool TookTooLong = false;
  int StallMs = 0;
  int TotalMs = 0;
  curl_off_t SeenDown = 0, SeenUp = 0;
  std::uint64_t SeenOnSocket = 0;  // bytes the connections had moved when the quiet time began
  bool SampleSocket = true;
  std::chrono::steady_clock::time_point Start, LastActivity;
  char ErrorBuffer[CURL_ERROR_SIZE] = {};

  // At the first byte of the body: where it goes, and room for it.
  void BeginBody() {
    Started = true;
    const TCurlApi& api = LoadedCurl();
    curl_off_t length = -1;
    api.EasyGetinfo(Curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (Sink) {
      long status = 0;
      char* type = nullptr;
      api.EasyGetinfo(Curl, CURLINFO_RESPONSE_CODE, &status);
      api.EasyGetinfo(Curl, CURLINFO_CONTENT_TYPE, &type);
      Dropping = !Sink->Wanted(status, type ? type : "", length >= 0 ? static_cast<std::int64_t>(length) : -1);
    } else if (length > 0 && length <= MaxReply) {
      Reply.Body.reserve(static_cast<std::size_t>(length));
    }
  }

  static size_t OnWrite(char* data, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    size_t bytes = size * n;
    if (!self->Started) self->BeginBody();
    if (self->Received + static_cast<std::int64_t>(bytes) > self->MaxReply) {
      self->TooLarge = true;
      return 0;
    }
    self->Received += static_cast<std::int64_t>(bytes);
    if (!self->Sink) {
      self->Reply.Body.append(data, bytes);
    } else if (!self->Dropping && !self->Sink->Write(data, bytes)) {
      self->SinkStopped = true;
      return 0;
    }
    return bytes;
  }

  static size_t OnHeader(char* data, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    size_t bytes = size * n;
    std::string line(data, bytes);
    if (line.compare(0, 5, "HTTP/") == 0) {
      // A new status line (after "100 Continue", too): its reason phrase.
      self->Reply.StatusText.clear();
      size_t sp1 = line.find(' ');
      size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
      if (sp2 != std::string::npos) {
        std::string reason = line.substr(sp2 + 1);
        while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
          reason.pop_back();
        self->Reply.StatusText = reason;
      }
    }
    return bytes;
  }

  static size_t OnRead(char* buffer, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    size_t room = std::min(size * n, SendPieceSize);
    size_t left = self->Body->size() - self->Offset;
    size_t piece = std::min(room, left);
    std::memcpy(buffer, self->Body->data() + self->Offset, piece);
    self->Offset += piece;
    if (piece > 0) self->Trace.Pieces.push_back(piece);
    return piece;
  }

  // The connections' sockets, made and closed here so that their counts can
  // be read during a request (libcurl names its socket only after one).
  std::vector<curl_socket_t> Sockets;

  static curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
    auto* self = static_cast<TImpl*>(user);
    curl_socket_t s = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (s != CURL_SOCKET_BAD) self->Sockets.push_back(s);
    return s;
  }
  static int OnCloseSocket(void* user, curl_socket_t s) {
    auto* self = static_cast<TImpl*>(user);
    self->Sockets.erase(std::remove(self->Sockets.begin(), self->Sockets.end(), s), self->Sockets.end());
    return ::close(s);
  }

  // Bytes the connections have received, and sent and seen acknowledged, as
  // the system counts them.  They move while a response head comes in,
  // which libcurl's counts (bodies only) do not show.
  std::uint64_t SocketBytes() const {
    std::uint64_t bytes = 0;
    for (curl_socket_t s : Sockets) {
      tcp_info info{};
      socklen_t length = sizeof info;
      if (::getsockopt(s, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 &&
          length >= offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received)
        bytes += info.tcpi_bytes_received + info.tcpi_bytes_acked;
    }
    return bytes;
  }

  static int OnProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* self = static_cast<TImpl*>(user);
    auto now = std::chrono::steady_clock::now();
    if (now - self->Start >= std::chrono::milliseconds(self->TotalMs)) {
      self->TookTooLong = true;
      return 1;
    }
    if (dlnow != self->SeenDown || ulnow != self->SeenUp) {
      self->SeenDown = dlnow;
      self->SeenUp = ulnow;
      self->LastActivity = now;
      self->SampleSocket = true;
      return 0;
    }
    // A quiet time begins: what the connections have moved so far.
    if (self->SampleSocket) {
      self->SeenOnSocket = self->SocketBytes();
      self->SampleSocket = false;
    }
    auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - self->LastActivity).count();
    if (idle < self->StallMs) return 0;
    // Bytes of a head keep a request alive just as bytes of a body do: a
    // head that drips in is no stall.
    std::uint64_t onSocket = self->SocketBytes();
    if (onSocket != self->SeenOnSocket) {
      self->SeenOnSocket = onSocket;
      self->LastActivity = now;
      return 0;
    }
    self->Stalled = true;
    return 1;
  }

  THttpReply Perform(const THttpTransport& owner, const char* method, const std::string& url,
                     const std::string& action, const std::string* body, TReplySink* sink);
};

THttpTransport::THttpTransport() : Limits(DefaultTransportLimits()), FImpl(std::make_unique<TImpl>()) {
  const TCurlApi& api = LoadedCurl();
  if (!api.Error.empty()) {
    FImpl->LoadError = api.Error;
    return;
  }
  CURL* c = api.EasyInit();
  FImpl->Curl = c;
  if (!c) return;
  // What stays the same for every request of this transport.
  SetOpt(c, CURLOPT_NOSIGNAL, 1L);
  SetOpt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  SetOpt(c, CURLOPT_FOLLOWLOCATION, 0L);
  SetOpt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  SetOpt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  SetOpt(c, CURLOPT_ERRORBUFFER, FImpl->ErrorBuffer);
  SetOpt(c, CURLOPT_WRITEFUNCTION, &TImpl::OnWrite);
  SetOpt(c, CURLOPT_WRITEDATA, FImpl.get());
  SetOpt(c, CURLOPT_HEADERFUNCTION, &TImpl::OnHeader);
  SetOpt(c, CURLOPT_HEADERDATA, FImpl.get());
  SetOpt(c, CURLOPT_XFERINFOFUNCTION, &TImpl::OnProgress);
  SetOpt(c, CURLOPT_XFERINFODATA, FImpl.get());
  SetOpt(c, CURLOPT_NOPROGRESS, 0L);
  SetOpt(c, CURLOPT_OPENSOCKETFUNCTION, &TImpl::OnOpenSocket);
  SetOpt(c, CURLOPT_OPENSOCKETDATA, FImpl.get());
  SetOpt(c, CURLOPT_CLOSESOCKETFUNCTION, &TImpl::OnCloseSocket);
  SetOpt(c, CURLOPT_CLOSESOCKETDATA, FImpl.get());
  SetOpt(c, CURLOPT_READFUNCTION, &TImpl::OnRead);
  SetOpt(c, CURLOPT_READDATA, FImpl.get());
  SetOpt(c, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(SendPieceSize));
}

THttpTransport::~THttpTransport() {
  if (FImpl->Curl) LoadedCurl().EasyCleanup(FImpl->Curl);
}

const THttpTrace& THttpTransport::LastTrace() const { return FImpl->Trace; }
std::size_t THttpTransport::HeldReplyBytes() const {
  const std::string& body = FImpl->Reply.Body;
  return body.capacity() > std::string().capacity() ? body.capacity() : body.size();
}

THttpReply THttpTransport::Get(const std::string& URL) {
  return FImpl->Perform(*this, "GET", URL, std::string(), nullptr, nullptr);
}

THttpReply THttpTransport::Post(const std::string& URL, const std::string& SOAPAction,
                                const std::string& Body, TReplySink* Sink) {
  return FImpl->Perform(*this, "POST", URL, SOAPAction, &Body, Sink);
}

THttpReply THttpTransport::TImpl::Perform(const THttpTransport& owner, const char* method,
                                          const std::string& url, const std::string& action,
                                          const std::string* body, TReplySink* sink) {
  auto fail = [&](const AnsiString& text) -> ESOAPHTTPException {
    return ESOAPHTTPException(Format(msg::TransportError, {text, url, action}));
  };
  if (!LoadError.empty()) throw fail(LoadError);
  if (!Curl) throw fail("libcurl kann nicht initialisiert werden");
  const TCurlApi& api = LoadedCurl();

  Trace = THttpTrace{};
  Trace.Method = method;
  Trace.URL = url;
  Trace.SOAPAction = action;
  if (body) Trace.Body = *body;
  Body = body;
  Offset = 0;
  Reply = THttpReply{};
  Sink = sink;
  Started = Dropping = SinkStopped = false;
  Received = 0;
  TooLarge = false;
  Stalled = false;
  TookTooLong = false;
  MaxReply = owner.Limits.MaxReplySize;
  StallMs = std::max(1, owner.Limits.ReceiveTimeoutMs);
  TotalMs = std::max(1, owner.Limits.TotalTimeoutMs);
  SeenDown = SeenUp = 0;
  SeenOnSocket = 0;
  SampleSocket = true;
  Start = LastActivity = std::chrono::steady_clock::now();
  ErrorBuffer[0] = 0;

  CURL* c = Curl;
  SetOpt(c, CURLOPT_URL, url.c_str());
  SetOpt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, owner.Limits.ConnectTimeoutMs)));
  SetOpt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(TotalMs));
  SetOpt(c, CURLOPT_USERAGENT, owner.UserAgent.c_str());
  SetOpt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::max<std::int64_t>(0, MaxReply)));

  curl_slist* headers = nullptr;
  if (body) {
    std::string soapAction = "SOAPAction: \"" + action + "\"";
    headers = api.SlistAppend(headers, soapAction.c_str());
    headers = api.SlistAppend(headers, "Content-Type: text/xml");
    headers = api.SlistAppend(headers, "Expect:");
    SetOpt(c, CURLOPT_POST, 1L);
    if (body->size() <= SendPieceSize) {
      // One piece: libcurl sends it together with the headers.
      SetOpt(c, CURLOPT_POSTFIELDS, body->data());
      if (!body->empty()) Trace.Pieces.push_back(body->size());
    } else {
      SetOpt(c, CURLOPT_POSTFIELDS, nullptr);  // pieces come from OnRead
    }
    SetOpt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    SetOpt(c, CURLOPT_HTTPHEADER, headers);
  } else {
    SetOpt(c, CURLOPT_HTTPGET, 1L);
    SetOpt(c, CURLOPT_HTTPHEADER, nullptr);
  }

  CURLcode rc = api.EasyPerform(c);
  SetOpt(c, CURLOPT_HTTPHEADER, nullptr);
  SetOpt(c, CURLOPT_POSTFIELDS, nullptr);
  api.SlistFreeAll(headers);
  Body = nullptr;
  Sink = nullptr;
  // The reply leaves the transport here: a failure releases it at once.
  THttpReply reply = std::move(Reply);
  Reply = THttpReply{};

  if (rc != CURLE_OK && !(SinkStopped && rc == CURLE_WRITE_ERROR)) {
    if (TooLarge || rc == CURLE_FILESIZE_EXCEEDED)
      throw fail(Format(msg::ReplyTooLarge, {static_cast<Int64>(MaxReply)}));
    // libcurl ends a request at its whole-duration limit on a clock of its
    // own (it may read a little ahead of ours), and a connect that takes too
    // long ends with the same code: what ran within a few milliseconds of
    // the whole limit was ended by that limit.
    if (TookTooLong ||
        (rc == CURLE_OPERATION_TIMEDOUT &&
         std::chrono::steady_clock::now() - Start + LimitClockSlack >= std::chrono::milliseconds(TotalMs)))
      throw fail(Format(msg::RequestTooLong, {TotalMs}));
    if (Stalled) throw fail(Format(msg::ReplyStalled, {StallMs}));
    AnsiString text = ErrorBuffer[0] ? AnsiString(ErrorBuffer) : AnsiString(api.EasyStrerror(rc));
    throw fail(text);
  }

  long status = 0;
  api.EasyGetinfo(c, CURLINFO_RESPONSE_CODE, &status);
  reply.Status = status;
  if (reply.StatusText.empty()) reply.StatusText = StandardStatusText(status);
  char* type = nullptr;
  api.EasyGetinfo(c, CURLINFO_CONTENT_TYPE, &type);
  reply.ContentType = type ? type : "";
  return reply;
}

}  // namespace platform::soap
