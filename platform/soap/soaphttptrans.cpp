#include "platform/soap/soaphttptrans.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/soap/invokeregistry.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

namespace {

std::mutex gLimitsLock;
TTransportLimits gLimits;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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

struct THttpTransport::TImpl {
  CURL* Curl = nullptr;
  THttpTrace Trace;

  // State of the running request.
  const std::string* Body = nullptr;
  std::size_t Offset = 0;
  THttpReply Reply;
  std::int64_t MaxReply = 0;
  bool TooLarge = false;
  bool Stalled = false;
  int StallMs = 0;
  curl_off_t SeenDown = 0, SeenUp = 0;
  std::chrono::steady_clock::time_point LastActivity;
  char ErrorBuffer[CURL_ERROR_SIZE] = {};

  static size_t OnWrite(char* data, size_t size, size_t n, void* user) {
    auto* self = static_cast<TImpl*>(user);
    size_t bytes = size * n;
    if (static_cast<std::int64_t>(self->Reply.Body.size() + bytes) > self->MaxReply) {
      self->TooLarge = true;
      return 0;
    }
    self->Reply.Body.append(data, bytes);
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

  static int OnProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* self = static_cast<TImpl*>(user);
    auto now = std::chrono::steady_clock::now();
    if (dlnow != self->SeenDown || ulnow != self->SeenUp) {
      self->SeenDown = dlnow;
      self->SeenUp = ulnow;
      self->LastActivity = now;
      return 0;
    }
    auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - self->LastActivity).count();
    if (idle >= self->StallMs) {
      self->Stalled = true;
      return 1;
    }
    return 0;
  }

  THttpReply Perform(const THttpTransport& owner, const char* method, const std::string& url,
                     const std::string& action, const std::string* body);
};

THttpTransport::THttpTransport() : Limits(DefaultTransportLimits()), FImpl(std::make_unique<TImpl>()) {
  GlobalInit();
  CURL* c = curl_easy_init();
  FImpl->Curl = c;
  if (!c) return;
  // What stays the same for every request of this transport.
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, FImpl->ErrorBuffer);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &TImpl::OnWrite);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, FImpl.get());
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &TImpl::OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, FImpl.get());
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &TImpl::OnProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, FImpl.get());
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_READFUNCTION, &TImpl::OnRead);
  curl_easy_setopt(c, CURLOPT_READDATA, FImpl.get());
  curl_easy_setopt(c, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(SendPieceSize));
}

THttpTransport::~THttpTransport() {
  if (FImpl->Curl) curl_easy_cleanup(FImpl->Curl);
}

const THttpTrace& THttpTransport::LastTrace() const { return FImpl->Trace; }

THttpReply THttpTransport::Get(const std::string& URL) {
  return FImpl->Perform(*this, "GET", URL, std::string(), nullptr);
}

THttpReply THttpTransport::Post(const std::string& URL, const std::string& SOAPAction,
                                const std::string& Body) {
  return FImpl->Perform(*this, "POST", URL, SOAPAction, &Body);
}

THttpReply THttpTransport::TImpl::Perform(const THttpTransport& owner, const char* method,
                                          const std::string& url, const std::string& action,
                                          const std::string* body) {
  auto fail = [&](const AnsiString& text) -> ESOAPHTTPException {
    return ESOAPHTTPException(Format(msg::TransportError, {text, url, action}));
  };
  if (!Curl) throw fail("libcurl kann nicht initialisiert werden");

  Trace = THttpTrace{};
  Trace.Method = method;
  Trace.URL = url;
  Trace.SOAPAction = action;
  if (body) Trace.Body = *body;
  Body = body;
  Offset = 0;
  Reply = THttpReply{};
  TooLarge = false;
  Stalled = false;
  MaxReply = owner.Limits.MaxReplySize;
  StallMs = std::max(1, owner.Limits.ReceiveTimeoutMs);
  SeenDown = SeenUp = 0;
  LastActivity = std::chrono::steady_clock::now();
  ErrorBuffer[0] = 0;

  CURL* c = Curl;
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, owner.Limits.ConnectTimeoutMs)));
  curl_easy_setopt(c, CURLOPT_USERAGENT, owner.UserAgent.c_str());
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::max<std::int64_t>(0, MaxReply)));

  curl_slist* headers = nullptr;
  if (body) {
    std::string soapAction = "SOAPAction: \"" + action + "\"";
    headers = curl_slist_append(headers, soapAction.c_str());
    headers = curl_slist_append(headers, "Content-Type: text/xml");
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    if (body->size() <= SendPieceSize) {
      // One piece: libcurl sends it together with the headers.
      curl_easy_setopt(c, CURLOPT_POSTFIELDS, body->data());
      if (!body->empty()) Trace.Pieces.push_back(body->size());
    } else {
      curl_easy_setopt(c, CURLOPT_POSTFIELDS, nullptr);  // pieces come from OnRead
    }
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  } else {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
  }

  CURLcode rc = curl_easy_perform(c);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, nullptr);
  curl_slist_free_all(headers);
  Body = nullptr;

  if (rc != CURLE_OK) {
    if (TooLarge || rc == CURLE_FILESIZE_EXCEEDED)
      throw fail(Format(msg::ReplyTooLarge, {static_cast<Int64>(MaxReply)}));
    if (Stalled) throw fail(Format(msg::ReplyStalled, {StallMs}));
    AnsiString text = ErrorBuffer[0] ? AnsiString(ErrorBuffer) : AnsiString(curl_easy_strerror(rc));
    throw fail(text);
  }

  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  Reply.Status = status;
  if (Reply.StatusText.empty()) Reply.StatusText = StandardStatusText(status);
  char* type = nullptr;
  curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type);
  Reply.ContentType = type ? type : "";
  return std::move(Reply);
}

}  // namespace platform::soap
