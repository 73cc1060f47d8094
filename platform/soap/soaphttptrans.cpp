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
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

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
  decltype(&curl_multi_init) MultiInit = nullptr;
  decltype(&curl_multi_cleanup) MultiCleanup = nullptr;
  decltype(&curl_multi_add_handle) MultiAddHandle = nullptr;
  decltype(&curl_multi_remove_handle) MultiRemoveHandle = nullptr;
  decltype(&curl_multi_perform) MultiPerform = nullptr;
  decltype(&curl_multi_poll) MultiPoll = nullptr;
  decltype(&curl_multi_info_read) MultiInfoRead = nullptr;
  decltype(&curl_url) Url = nullptr;
  decltype(&curl_url_set) UrlSet = nullptr;
  decltype(&curl_url_get) UrlGet = nullptr;
  decltype(&curl_url_cleanup) UrlCleanup = nullptr;
  decltype(&curl_free) Free = nullptr;
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
    ok = Bind(library, "curl_multi_init", api.MultiInit, error) && ok;
    ok = Bind(library, "curl_multi_cleanup", api.MultiCleanup, error) && ok;
    ok = Bind(library, "curl_multi_add_handle", api.MultiAddHandle, error) && ok;
    ok = Bind(library, "curl_multi_remove_handle", api.MultiRemoveHandle, error) && ok;
    ok = Bind(library, "curl_multi_perform", api.MultiPerform, error) && ok;
    ok = Bind(library, "curl_multi_poll", api.MultiPoll, error) && ok;
    ok = Bind(library, "curl_multi_info_read", api.MultiInfoRead, error) && ok;
    ok = Bind(library, "curl_url", api.Url, error) && ok;
    ok = Bind(library, "curl_url_set", api.UrlSet, error) && ok;
    ok = Bind(library, "curl_url_get", api.UrlGet, error) && ok;
    ok = Bind(library, "curl_url_cleanup", api.UrlCleanup, error) && ok;
    ok = Bind(library, "curl_free", api.Free, error) && ok;
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

std::string TransportFailureText(const TTransportFailure& Failure) {
  const AnsiString& host = Failure.Host;
  const Integer port = Failure.Port;
  AnsiString text;
  switch (static_cast<CURLcode>(Failure.Code)) {
    case CURLE_COULDNT_CONNECT: text = Format(msg::NoConnection, {host, port}); break;
    case CURLE_COULDNT_RESOLVE_HOST: text = Format(msg::HostUnknown, {host}); break;
    case CURLE_COULDNT_RESOLVE_PROXY: text = msg::ProxyUnknown; break;
    case CURLE_PROXY: text = msg::ProxyFailed; break;
    case CURLE_UNSUPPORTED_PROTOCOL:
      // Also a server that answers without a status line (HTTP/0.9).
      if (Failure.Scheme == "http" || Failure.Scheme == "https")
        text = Format(msg::NotHttp, {host});
      else
        text = Format(msg::ProtocolUnsupported, {Failure.Scheme});
      break;
    case CURLE_URL_MALFORMAT: text = msg::AddressInvalid; break;
    case CURLE_WEIRD_SERVER_REPLY: text = Format(msg::NotHttp, {host}); break;
    case CURLE_GOT_NOTHING: text = Format(msg::NoReply, {host}); break;
    case CURLE_PARTIAL_FILE: text = Format(msg::ReplyCut, {host}); break;
    case CURLE_SEND_ERROR: text = Format(msg::SendFailed, {host, port}); break;
    case CURLE_RECV_ERROR: text = Format(msg::ReceiveFailed, {host, port}); break;
    case CURLE_OPERATION_TIMEDOUT:
      // The whole request's limit is told apart before; what is left of
      // libcurl's limits is the one on connecting (the TLS handshake included).
      return Format(msg::ConnectTimedOut, {Failure.ConnectTimeoutMs});
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH: text = Format(msg::CertificateUntrusted, {host}); break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CLIENTCERT:
    case CURLE_SSL_SHUTDOWN_FAILED: text = Format(msg::TlsFailed, {host, port}); break;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE: text = msg::TrustStoreUnreadable; break;
    case CURLE_BAD_CONTENT_ENCODING: text = msg::UnknownEncoding; break;
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
    case CURLE_REMOTE_ACCESS_DENIED: text = Format(msg::LoginRefused, {host}); break;
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_HTTP3:
    case CURLE_QUIC_CONNECT_ERROR:
    case CURLE_TOO_MANY_REDIRECTS: text = Format(msg::ProtocolFault, {host}); break;
    case CURLE_OUT_OF_MEMORY:
      // libcurl's answer to a head line longer than it takes.
      text = Failure.BodyBegun ? AnsiString(msg::OutOfMemory)
                               : Format(msg::ReplyHeadLineTooLong, {Integer(CURL_MAX_HTTP_HEADER)});
      break;
    case CURLE_READ_ERROR:
    case CURLE_UPLOAD_FAILED:
    case CURLE_SEND_FAIL_REWIND: text = msg::RequestNotSent; break;
    case CURLE_WRITE_ERROR: text = msg::ReplyNotTaken; break;
    case CURLE_ABORTED_BY_CALLBACK: text = msg::Aborted; break;
    case CURLE_FAILED_INIT:
    case CURLE_NOT_BUILT_IN:
    case CURLE_FUNCTION_NOT_FOUND:
    case CURLE_BAD_FUNCTION_ARGUMENT:
    case CURLE_INTERFACE_FAILED:
    case CURLE_UNKNOWN_OPTION:
    case CURLE_SETOPT_OPTION_SYNTAX:
    case CURLE_RECURSIVE_API_CALL:
    case CURLE_UNRECOVERABLE_POLL: text = msg::HttpLibraryFault; break;
    default: text = Format(msg::TransferFailed, {Integer(Failure.Code)}); break;
  }
  if (!Failure.Detail.empty()) text += " (" + Failure.Detail + ")";
  return text;
}

namespace {

// How far libcurl's clock may run ahead of ours over one request.
constexpr std::chrono::milliseconds LimitClockSlack{10};
// The longest rest between two looks at the limits while nothing moves.
constexpr int LongestWaitMs = 1000;

// Bytes a connection has received, as the system counts them.
std::uint64_t ReceivedOn(curl_socket_t s) {
  tcp_info info{};
  socklen_t length = sizeof info;
  if (::getsockopt(s, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 &&
      length >= offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received)
    return info.tcpi_bytes_received;
  return 0;
}

// Scheme, host and port of an address, as libcurl reads it.
void SplitAddress(const std::string& url, TTransportFailure& into) {
  const TCurlApi& api = LoadedCurl();
  CURLU* u = api.Url();
  if (!u) return;
  if (api.UrlSet(u, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK) {
    auto part = [&](CURLUPart which, unsigned flags) {
      char* value = nullptr;
      std::string text;
      if (api.UrlGet(u, which, &value, flags) == CURLUE_OK && value) text = value;
      if (value) api.Free(value);
      return text;
    };
    into.Scheme = LowerCase(part(CURLUPART_SCHEME, 0));
    into.Host = part(CURLUPART_HOST, 0);
    std::string port = part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
    into.Port = port.empty() ? 0 : std::atoi(port.c_str());
  }
  api.UrlCleanup(u);
}

}  // namespace

struct THttpTransport::TImpl {
  CURLM* Multi = nullptr;  // holds the kept connection
  CURL* Curl = nullptr;
  std::string LoadError;  // libcurl could not be loaded
  THttpTrace Trace;

  // What one request goes through, begun afresh for each (BeginRequest)
  // and let go of when it ends.
  struct TRequestState {
    TRequestState() = default;
    // A request of Body (none for a GET) whose reply goes to Sink (none:
    // into Reply), under the limits, starting now.
    TRequestState(const std::string* body, TReplySink* sink, const TTransportLimits& limits)
        : Body(body),
          Sink(sink),
          MaxReply(limits.MaxReplySize),
          StallMs(std::max(1, limits.ReceiveTimeoutMs)),
          TotalMs(std::max(1, limits.TotalTimeoutMs)),
          Start(std::chrono::steady_clock::now()),
          LastActivity(Start) {}

    const std::string* Body = nullptr;  // what goes out, Offset bytes of it sent
    std::size_t Offset = 0;
    TReplySink* Sink = nullptr;
    std::int64_t MaxReply = 0;
    int StallMs = 0;
    int TotalMs = 0;
    THttpReply Reply;
    bool Started = false;   // the first byte of the body has come
    bool Dropping = false;  // the sink does not want the body
    bool SinkStopped = false;
    std::int64_t Received = 0;
    std::int64_t HeadBytes = 0;  // of the head and trailer lines
    bool TooLarge = false;
    bool HeadTooLong = false;
    bool Stalled = false;
    bool TookTooLong = false;
    curl_off_t SeenDown = 0, SeenUp = 0;
    std::chrono::steady_clock::time_point Start, LastActivity;
    char ErrorBuffer[CURL_ERROR_SIZE] = {};  // libcurl's words on a failure
  };
  TRequestState Request;

  // The connections' sockets, made and closed here so that their counts can
  // be read during a request (libcurl names its socket only after one), and
  // the bytes each had received when last looked at.
  struct TSocket {
    curl_socket_t Socket;
    std::uint64_t Received;
  };
  std::vector<TSocket> Sockets;

  TImpl() {
    const TCurlApi& api = LoadedCurl();
    if (!api.Error.empty()) {
      LoadError = api.Error;
      return;
    }
    Multi = api.MultiInit();
    if (Multi) Curl = NewHandle();
  }
  ~TImpl() {
    const TCurlApi& api = LoadedCurl();
    if (Curl) api.EasyCleanup(Curl);
    if (Multi) api.MultiCleanup(Multi);  // closes the kept connection
  }

  // A handle with what stays the same for every request of this transport.
  CURL* NewHandle() {
    CURL* c = LoadedCurl().EasyInit();
    if (!c) return nullptr;
    SetOpt(c, CURLOPT_NOSIGNAL, 1L);
    SetOpt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    SetOpt(c, CURLOPT_FOLLOWLOCATION, 0L);
    SetOpt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    SetOpt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    SetOpt(c, CURLOPT_ERRORBUFFER, Request.ErrorBuffer);
    SetOpt(c, CURLOPT_WRITEFUNCTION, &TImpl::OnWrite);
    SetOpt(c, CURLOPT_WRITEDATA, this);
    SetOpt(c, CURLOPT_HEADERFUNCTION, &TImpl::OnHeader);
    SetOpt(c, CURLOPT_HEADERDATA, this);
    SetOpt(c, CURLOPT_XFERINFOFUNCTION, &TImpl::OnProgress);
    SetOpt(c, CURLOPT_XFERINFODATA, this);
    SetOpt(c, CURLOPT_NOPROGRESS, 0L);
    SetOpt(c, CURLOPT_OPENSOCKETFUNCTION, &TImpl::OnOpenSocket);
    SetOpt(c, CURLOPT_OPENSOCKETDATA, this);
    SetOpt(c, CURLOPT_CLOSESOCKETFUNCTION, &TImpl::OnCloseSocket);
    SetOpt(c, CURLOPT_CLOSESOCKETDATA, this);
    SetOpt(c, CURLOPT_READFUNCTION, &TImpl::OnRead);
    SetOpt(c, CURLOPT_READDATA, this);
    SetOpt(c, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(SendPieceSize));
    return c;
  }

  // At the first byte of the body: where it goes, and room for it.
  void BeginBody() {
    TRequestState& r = Request;
    r.Started = true;
    const TCurlApi& api = LoadedCurl();
    curl_off_t length = -1;
    api.EasyGetinfo(Curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (r.Sink) {
      long status = 0;
      char* type = nullptr;
      api.EasyGetinfo(Curl, CURLINFO_RESPONSE_CODE, &status);
      api.EasyGetinfo(Curl, CURLINFO_CONTENT_TYPE, &type);
      r.Dropping = !r.Sink->Wanted(status, type ? type : "", length >= 0 ? static_cast<std::int64_t>(length) : -1);
    } else if (length > 0 && length <= r.MaxReply) {
      r.Reply.Body.reserve(static_cast<std::size_t>(length));
    }
  }

  static size_t OnWrite(char* data, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    TRequestState& r = self->Request;
    size_t bytes = size * n;
    if (!r.Started) self->BeginBody();
    if (r.Received + static_cast<std::int64_t>(bytes) > r.MaxReply) {
      r.TooLarge = true;
      return 0;
    }
    r.Received += static_cast<std::int64_t>(bytes);
    if (!r.Sink) {
      r.Reply.Body.append(data, bytes);
    } else if (!r.Dropping && !r.Sink->Write(data, bytes)) {
      r.SinkStopped = true;
      return 0;
    }
    return bytes;
  }

  // Every line of the head, and the trailer lines after a chunked body.
  static size_t OnHeader(char* data, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    TRequestState& r = self->Request;
    size_t bytes = size * n;
    r.HeadBytes += static_cast<std::int64_t>(bytes);
    if (r.HeadBytes > MaxReplyHeadSize) {
      r.HeadTooLong = true;
      return 0;
    }
    if (bytes >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
      // A new status line (after "100 Continue", too): its reason phrase.
      std::string line(data, bytes);
      r.Reply.StatusText.clear();
      size_t sp1 = line.find(' ');
      size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
      if (sp2 != std::string::npos) {
        std::string reason = line.substr(sp2 + 1);
        while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
          reason.pop_back();
        r.Reply.StatusText = reason;
      }
    }
    return bytes;
  }

  static size_t OnRead(char* buffer, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    TRequestState& r = self->Request;
    size_t room = std::min(size * n, SendPieceSize);
    size_t left = r.Body->size() - r.Offset;
    size_t piece = std::min(room, left);
    std::memcpy(buffer, r.Body->data() + r.Offset, piece);
    r.Offset += piece;
    if (piece > 0) self->Trace.Pieces.push_back(piece);
    return piece;
  }

  static curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
    auto* self = static_cast<TImpl*>(user);
    curl_socket_t s = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (s != CURL_SOCKET_BAD) self->Sockets.push_back({s, 0});
    return s;
  }
  static int OnCloseSocket(void* user, curl_socket_t s) {
    auto* self = static_cast<TImpl*>(user);
    std::erase_if(self->Sockets, [s](const TSocket& known) { return known.Socket == s; });
    return ::close(s);
  }

  // Whether a connection has received bytes since it was last looked at:
  // only what comes from the server counts.
  bool ReceivedMore() {
    bool more = false;
    for (TSocket& s : Sockets) {
      std::uint64_t received = ReceivedOn(s.Socket);
      if (received != s.Received) more = true;
      s.Received = received;
    }
    return more;
  }

  static int OnProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* self = static_cast<TImpl*>(user);
    TRequestState& r = self->Request;
    auto now = std::chrono::steady_clock::now();
    if (now - r.Start >= std::chrono::milliseconds(r.TotalMs)) {
      r.TookTooLong = true;
      return 1;
    }
    // Body bytes came, or the request is still going out, or bytes came
    // that libcurl's counts (bodies only) do not show: those of a head, so
    // that a head that drips in is no stall.
    bool moved = dlnow != r.SeenDown || ulnow != r.SeenUp;
    r.SeenDown = dlnow;
    r.SeenUp = ulnow;
    if (self->ReceivedMore() || moved) {
      r.LastActivity = now;
      return 0;
    }
    if (now - r.LastActivity < std::chrono::milliseconds(r.StallMs)) return 0;
    r.Stalled = true;
    return 1;
  }

  // How long to wait for the connection before the limits are looked at.
  int WaitMs() const {
    const TRequestState& r = Request;
    auto next = std::min(r.LastActivity + std::chrono::milliseconds(r.StallMs),
                         r.Start + std::chrono::milliseconds(r.TotalMs));
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(next - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 1, LongestWaitMs));
  }

  // Runs the request on the handle; libcurl's outcome.
  CURLcode Run() {
    const TCurlApi& api = LoadedCurl();
    if (api.MultiAddHandle(Multi, Curl) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode rc = CURLE_FAILED_INIT;
    for (bool done = false; !done;) {
      int running = 0;
      if (api.MultiPerform(Multi, &running) != CURLM_OK) break;
      int queued = 0;
      while (CURLMsg* m = api.MultiInfoRead(Multi, &queued))
        if (m->msg == CURLMSG_DONE && m->easy_handle == Curl) {
          rc = m->data.result;
          done = true;
        }
      if (done || running == 0) break;
      if (api.MultiPoll(Multi, nullptr, 0, WaitMs(), nullptr) != CURLM_OK) break;
    }
    api.MultiRemoveHandle(Multi, Curl);
    return rc;
  }

  // A fresh state for a request, and its trace.
  void BeginRequest(const TTransportLimits& limits, const char* method, const std::string& url,
                    const std::string& action, const std::string* body, TReplySink* sink);
  // The request's own options on the handle; the header list it sends,
  // which stays with the handle until the request is over.
  curl_slist* SetRequestOptions(const THttpTransport& owner, const std::string& url, const std::string& action,
                                const std::string* body);
  // Why the request that ended with rc failed, in the user's words.
  AnsiString FailureText(CURLcode rc, const TRequestState& done, const TTransportLimits& limits,
                         const std::string& url) const;
  // The status and content type of the reply that came, on its body.
  THttpReply Answered(THttpReply reply) const;
  THttpReply Perform(const THttpTransport& owner, const char* method, const std::string& url,
                     const std::string& action, const std::string* body, TReplySink* sink);
};

THttpTransport::THttpTransport() : Limits(DefaultTransportLimits()), FImpl(std::make_unique<TImpl>()) {}

THttpTransport::~THttpTransport() = default;

const THttpTrace& THttpTransport::LastTrace() const { return FImpl->Trace; }
std::size_t THttpTransport::HeldReplyBytes() const {
  const std::string& body = FImpl->Request.Reply.Body;
  return body.capacity() > std::string().capacity() ? body.capacity() : body.size();
}

THttpReply THttpTransport::Get(const std::string& URL) {
  return FImpl->Perform(*this, "GET", URL, std::string(), nullptr, nullptr);
}

THttpReply THttpTransport::Post(const std::string& URL, const std::string& SOAPAction, const std::string& Body,
                                TReplySink* Sink) {
  return FImpl->Perform(*this, "POST", URL, SOAPAction, &Body, Sink);
}

void THttpTransport::TImpl::BeginRequest(const TTransportLimits& limits, const char* method,
                                         const std::string& url, const std::string& action,
                                         const std::string* body, TReplySink* sink) {
  Trace = THttpTrace{method, url, action, body ? *body : std::string(), {}};
  ReceivedMore();  // a kept connection's earlier replies do not count
  Request = TRequestState(body, sink, limits);
}

curl_slist* THttpTransport::TImpl::SetRequestOptions(const THttpTransport& owner, const std::string& url,
                                                     const std::string& action, const std::string* body) {
  CURL* c = Curl;
  SetOpt(c, CURLOPT_URL, url.c_str());
  SetOpt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, owner.Limits.ConnectTimeoutMs)));
  SetOpt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(Request.TotalMs));
  SetOpt(c, CURLOPT_USERAGENT, owner.UserAgent.c_str());
  SetOpt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::max<std::int64_t>(0, Request.MaxReply)));
  if (!body) {
    SetOpt(c, CURLOPT_HTTPGET, 1L);
    SetOpt(c, CURLOPT_HTTPHEADER, nullptr);
    return nullptr;
  }
  const TCurlApi& api = LoadedCurl();
  curl_slist* headers = nullptr;
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
  return headers;
}

AnsiString THttpTransport::TImpl::FailureText(CURLcode rc, const TRequestState& done,
                                              const TTransportLimits& limits, const std::string& url) const {
  if (done.HeadTooLong) return Format(msg::ReplyHeadTooLong, {static_cast<Int64>(MaxReplyHeadSize)});
  if (done.TooLarge || rc == CURLE_FILESIZE_EXCEEDED)
    return Format(msg::ReplyTooLarge, {static_cast<Int64>(done.MaxReply)});
  // libcurl ends a request at its whole-duration limit on a clock of its
  // own (it may read a little ahead of ours), and a connect that takes too
  // long ends with the same code: what ran within a few milliseconds of
  // the whole limit was ended by that limit.
  if (done.TookTooLong ||
      (rc == CURLE_OPERATION_TIMEDOUT &&
       std::chrono::steady_clock::now() - done.Start + LimitClockSlack >= std::chrono::milliseconds(done.TotalMs)))
    return Format(msg::RequestTooLong, {done.TotalMs});
  if (done.Stalled) return Format(msg::ReplyStalled, {done.StallMs});
  TTransportFailure failure;
  failure.Code = rc;
  failure.BodyBegun = done.Started;
  failure.ConnectTimeoutMs = std::max(1, limits.ConnectTimeoutMs);
  failure.Detail =
      done.ErrorBuffer[0] ? std::string(done.ErrorBuffer) : std::string(LoadedCurl().EasyStrerror(rc));
  SplitAddress(url, failure);
  return TransportFailureText(failure);
}

THttpReply THttpTransport::TImpl::Answered(THttpReply reply) const {
  const TCurlApi& api = LoadedCurl();
  long status = 0;
  api.EasyGetinfo(Curl, CURLINFO_RESPONSE_CODE, &status);
  reply.Status = status;
  if (reply.StatusText.empty()) reply.StatusText = StandardStatusText(status);
  char* type = nullptr;
  api.EasyGetinfo(Curl, CURLINFO_CONTENT_TYPE, &type);
  reply.ContentType = type ? type : "";
  return reply;
}

THttpReply THttpTransport::TImpl::Perform(const THttpTransport& owner, const char* method, const std::string& url,
                                          const std::string& action, const std::string* body, TReplySink* sink) {
  auto fail = [&](const AnsiString& text) -> ESOAPHTTPException {
    return ESOAPHTTPException(Format(msg::TransportError, {text, url, action}));
  };
  if (!LoadError.empty()) throw fail(LoadError);
  if (!Multi || !Curl) throw fail("libcurl kann nicht initialisiert werden");
  const TCurlApi& api = LoadedCurl();

  BeginRequest(owner.Limits, method, url, action, body, sink);
  curl_slist* headers = SetRequestOptions(owner, url, action, body);
  const CURLcode rc = Run();
  SetOpt(Curl, CURLOPT_HTTPHEADER, nullptr);
  SetOpt(Curl, CURLOPT_POSTFIELDS, nullptr);
  api.SlistFreeAll(headers);
  // The request, and its reply, leave the transport here: a failure
  // releases the reply at once.
  TRequestState done = std::exchange(Request, TRequestState{});

  if (rc != CURLE_OK && !(done.SinkStopped && rc == CURLE_WRITE_ERROR)) {
    const AnsiString text = FailureText(rc, done, owner.Limits, url);
    // libcurl keeps the failed reply's head lines until the handle's next
    // request: a fresh handle lets go of them now.  The kept connection
    // stays with the multi handle.
    api.EasyCleanup(Curl);
    Curl = NewHandle();
    throw fail(text);
  }
  return Answered(std::move(done.Reply));
}

}  // namespace platform::soap
