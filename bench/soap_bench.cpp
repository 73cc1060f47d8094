// Service round trips on loopback through the service contract (envelope
// writing, HTTP, reply reading into the result object), each beside a bare
// libcurl POST of the very same envelope to the same server, both reusing
// their connection; the peak memory of one large GetPic call; and the reply
// reader alone on large replies of several shapes (a 100 MB text with and
// without a byte-order mark, many long fields, a Content-Length that lies,
// a reply without one).
//
// The fake service runs in a child process forked before anything else
// starts, so that its own buffers neither take CPU from this process's
// threads nor count in this process's memory.
//
//   soap_bench                      every benchmark, medians of repetitions
//   soap_bench --benchmark_filter=Ratio   the client / bare curl ratios
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/proc_status.h"
#include "client/zelservice.h"
#include "platform/soap/opconvert.h"
#include "platform/soap/soaphttpclient.h"
#include "tests/support/fake_service/fake_service.h"

namespace {

// Supplier of the large answer: a SearchART2 for it answers about 400 KB.
constexpr long LargeSupplier = 4711;
constexpr std::size_t LargeAnswerBytes = 400 * 1024 - 600;  // UTF-8 bytes of the lines
// The picture of the memory benchmark.
constexpr long LargePictureEid = 990001;
constexpr std::size_t LargePictureBytes = 48u << 20;

int gPort = 0;  // of the fake service in the child

std::string BaseUrl() { return "http://127.0.0.1:" + std::to_string(gPort); }
std::string WsdlUrl() { return BaseUrl() + zeltest::FakeZelService::ServicePath + "?wsdl"; }
std::string EndpointUrl() { return BaseUrl() + zeltest::FakeZelService::EndpointPath; }

// The child: the fake service with a large catalog and a large picture,
// until the parent closes the pipe.
[[noreturn]] void ServeInChild(int toParent, int fromParent) {
  int port = 0;
  {
    zeltest::FakeZelService fake;
    std::size_t bytes = 0;
    for (long i = 0; bytes < LargeAnswerBytes; ++i) {
      char fab[64];
      std::snprintf(fab, sizeof fab, "WJ-%06ld Winterjacke Gr\xF6\xDF" "e %ld", i, 36 + i % 20);
      fake.AddCatalogEntry(3000000 + i, LargeSupplier, 21, fab);
      bytes += 7 + 1 + std::strlen(fab) + 2 + 2 + 4;  // umlauts in UTF-8, CR as "&#13;"
    }
    std::string picture(LargePictureBytes, '\0');
    std::mt19937 random(42);
    for (char& c : picture) c = static_cast<char>(random());
    fake.SetPicture(LargePictureEid, picture);
    picture = std::string();
    port = fake.Port();
    if (::write(toParent, &port, sizeof port) != sizeof port) _exit(1);
    char c;
    while (::read(fromParent, &c, 1) > 0) {
    }
  }
  _exit(0);
}

// What the client sends for one call, captured from its own trace.
struct TCall {
  std::string Envelope;
  std::string Action;
};

template <class F>
TCall CaptureCall(F&& call) {
  auto rio = std::make_shared<THTTPRIO>();
  rio->SetWSDLLocation(WsdlUrl());
  rio->SetService("zelservice");
  rio->SetPort("zelserviceSoap");
  auto view = rio->As<zelserviceSoap>();
  call(*view);
  return {rio->LastTrace().Body, rio->LastTrace().SOAPAction};
}

// A bare libcurl POST on one kept connection, collecting the reply.
class TBareCurl {
public:
  explicit TBareCurl(const TCall& Call) : FCall(Call) {
    FCurl = curl_easy_init();
    std::string action = "SOAPAction: \"" + FCall.Action + "\"";
    FHeaders = curl_slist_append(FHeaders, action.c_str());
    FHeaders = curl_slist_append(FHeaders, "Content-Type: text/xml");
    FUrl = EndpointUrl();
    curl_easy_setopt(FCurl, CURLOPT_URL, FUrl.c_str());
    curl_easy_setopt(FCurl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(FCurl, CURLOPT_USERAGENT, "ZEL-SOAP/1.0");
    curl_easy_setopt(FCurl, CURLOPT_HTTPHEADER, FHeaders);
    curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, FCall.Envelope.c_str());
    curl_easy_setopt(FCurl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(FCall.Envelope.size()));
    curl_easy_setopt(FCurl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, &FReply);
  }
  ~TBareCurl() {
    curl_slist_free_all(FHeaders);
    curl_easy_cleanup(FCurl);
  }
  bool Post() {
    FReply.clear();
    return curl_easy_perform(FCurl) == CURLE_OK;
  }
  const std::string& Reply() const { return FReply; }

private:
  static size_t Collect(char* data, size_t size, size_t n, void* user) {
    static_cast<std::string*>(user)->append(data, size * n);
    return size * n;
  }
  TCall FCall;
  CURL* FCurl = nullptr;
  curl_slist* FHeaders = nullptr;
  std::string FUrl;
  std::string FReply;
};

// The two searches: the articles of one supplier of the small data (a small answer),
// and every article of the large supplier (about 400 KB).
std::unique_ptr<zelTextData> Search(zelserviceSoap& client, bool large) {
  return client.SearchART2(0, u"demo", u"demo", large ? LargeSupplier : 1203, u"", -1);
}

void BM_SearchART2_zelserviceSoap(benchmark::State& state) {
  bool large = state.range(0) != 0;
  auto client = GetZelService(WsdlUrl());
  Search(*client, large);  // reads the description once
  for (auto _ : state) {
    auto r = Search(*client, large);
    if (r->Status() != 0) state.SkipWithError("status not 0");
    benchmark::DoNotOptimize(r->Buf().data());
  }
}
BENCHMARK(BM_SearchART2_zelserviceSoap)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SearchART2_BareCurl(benchmark::State& state) {
  bool large = state.range(0) != 0;
  TBareCurl bare(CaptureCall([&](zelserviceSoap& c) { Search(c, large); }));
  for (auto _ : state) {
    if (!bare.Post()) state.SkipWithError("curl failed");
    benchmark::DoNotOptimize(bare.Reply().data());
  }
  state.counters["reply_bytes"] = static_cast<double>(bare.Reply().size());
}
BENCHMARK(BM_SearchART2_BareCurl)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true);

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Client and bare curl alternately, call by call, so that both see the same
// load; the ratio of their medians.
void BM_SearchART2_Ratio(benchmark::State& state) {
  bool large = state.range(0) != 0;
  auto client = GetZelService(WsdlUrl());
  Search(*client, large);
  TBareCurl bare(CaptureCall([&](zelserviceSoap& c) { Search(c, large); }));
  bare.Post();
  std::vector<double> ours, theirs;
  using clock = std::chrono::steady_clock;
  for (auto _ : state) {
    auto t0 = clock::now();
    auto r = Search(*client, large);
    auto t1 = clock::now();
    bool ok = bare.Post();
    auto t2 = clock::now();
    if (r->Status() != 0 || !ok) state.SkipWithError("call failed");
    ours.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    theirs.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  double a = Median(ours), b = Median(theirs);
  state.counters["client_us"] = a;
  state.counters["bare_curl_us"] = b;
  state.counters["ratio"] = b > 0 ? a / b : 0;
  state.counters["reply_bytes"] = static_cast<double>(bare.Reply().size());
}
BENCHMARK(BM_SearchART2_Ratio)->Arg(0)->Arg(1)->Iterations(200)->Repetitions(9)->ReportAggregatesOnly(true);

using zelbench::StatusKb;

// Peak resident memory of one GetPic call with a 48 MiB picture (a 64 MiB
// reply), above what the process held before the call: the high-water mark
// is reset right before the call, after the heap was trimmed, so that pages
// a previous call left behind do not hide what this call needs.  The goal
// is at most 2x the reply plus the decoded picture, that is x_reply <= 2.
void BM_GetPic_PeakMemory(benchmark::State& state) {
  auto client = GetZelService(WsdlUrl());
  client->PicExist(0);  // reads the description
  double reply = 0;
  {
    TBareCurl bare(CaptureCall([](zelserviceSoap& c) { c.GetPic(u"demo", u"demo", LargePictureEid); }));
    bare.Post();
    reply = static_cast<double>(bare.Reply().size());
  }
  double peak = 0, picture = 0;
  for (auto _ : state) {
    ::malloc_trim(0);
    long before = StatusKb("VmRSS");
    {
      std::ofstream reset("/proc/self/clear_refs");
      reset << "5";
    }
    auto r = client->GetPic(u"demo", u"demo", LargePictureEid);
    long high = StatusKb("VmHWM");
    if (r->Status() != 0 || r->Data().size() != LargePictureBytes || before < 0 || high < 0)
      state.SkipWithError("call or measurement failed");
    peak = static_cast<double>(high - before) * 1024.0;
    picture = static_cast<double>(r->Data().size());
  }
  constexpr double MiB = 1024.0 * 1024.0;
  state.counters["peak_MiB"] = peak / MiB;
  state.counters["reply_MiB"] = reply / MiB;
  state.counters["picture_MiB"] = picture / MiB;
  state.counters["x_reply"] = reply > 0 ? (peak - picture) / reply : 0;
}
BENCHMARK(BM_GetPic_PeakMemory)->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// ---- the reply reader alone -------------------------------------------------

// Resets the high-water mark of resident memory after trimming the heap;
// returns the resident memory in bytes at that point.
double StartPeak() {
  ::malloc_trim(0);
  long before = StatusKb("VmRSS");
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5";
  return static_cast<double>(before) * 1024.0;
}
// Peak resident memory in bytes since StartPeak, above what was resident then.
double PeakSince(double Before) { return static_cast<double>(StatusKb("VmHWM")) * 1024.0 - Before; }

// A zelTextData reply around Fields (the result's child elements).
std::string TextDataReply(const std::string& Fields, bool Bom) {
  return std::string(Bom ? "\xEF\xBB\xBF" : "") +
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
         "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
         "<soap:Body><SearchART2Response xmlns=\"zel.Service\"><SearchART2Result>" +
         Fields + "</SearchART2Result></SearchART2Response></soap:Body></soap:Envelope>";
}

// KCSV lines as the service sends them (umlauts in UTF-8, CR as a
// character reference) up to Bytes bytes.
std::string KcsvLines(std::size_t Bytes) {
  std::string out;
  out.reserve(Bytes + 64);
  char line[96];
  for (long i = 0; out.size() < Bytes; ++i) {
    int n = std::snprintf(line, sizeof line, "%ld^WJ-%06ld Winterjacke Gr\xC3\xB6\xC3\x9F" "e %ld&#13;\n", 3000000 + i,
                          i, 36 + i % 20);
    out.append(line, static_cast<std::size_t>(n));
  }
  return out;
}

// What reading a reply took and left.
struct TReadFigures {
  double Us = 0;
  double PeakBytes = 0;
  double ResultBytes = 0;    // bytes of the texts and byte arrays read
  double ReservedBytes = 0;  // bytes the result's strings hold room for
};

// Reads Reply as the client does, in the pieces libcurl hands over (16 KiB),
// with Announced as the reply's Content-Length (-1: none).
TReadFigures ReadReply(const std::string& Reply, std::int64_t Announced) {
  TReadFigures f;
  double before = StartPeak();
  auto t0 = std::chrono::steady_clock::now();
  {
    platform::soap::TReplyReader reader;
    reader.SetExpectedSize(Announced);
    constexpr std::size_t Piece = 16 * 1024;
    for (std::size_t at = 0; at < Reply.size(); at += Piece)
      reader.Feed(Reply.data() + at, std::min(Piece, Reply.size() - at));
    platform::soap::TReplyResult r = reader.Finish();
    f.Us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    f.PeakBytes = PeakSince(before);
    for (const auto& field : r.Fields) {
      f.ResultBytes += static_cast<double>(field.Text.size() * 2 + field.Bytes.size());
      f.ReservedBytes += static_cast<double>(field.Text.capacity() * 2 + field.Bytes.capacity());
    }
  }
  return f;
}

// A 100 MB reply (one Buf of KCSV lines) read with and without a UTF-8
// byte-order mark, alternately, the order swapped every round.
void BM_LargeReply_ByteOrderMark(benchmark::State& state) {
  constexpr std::size_t Bytes = 100u * 1000 * 1000;
  const std::string lines = KcsvLines(Bytes);
  const std::string plain = TextDataReply("<Status>0</Status><Msg/><Buf>" + lines + "</Buf>", false);
  const std::string bom = "\xEF\xBB\xBF" + plain;
  static int round = 0;
  TReadFigures p, b;
  for (auto _ : state) {
    if (round++ % 2 == 0) {
      p = ReadReply(plain, static_cast<std::int64_t>(plain.size()));
      b = ReadReply(bom, static_cast<std::int64_t>(bom.size()));
    } else {
      b = ReadReply(bom, static_cast<std::int64_t>(bom.size()));
      p = ReadReply(plain, static_cast<std::int64_t>(plain.size()));
    }
  }
  constexpr double MiB = 1024.0 * 1024.0;
  state.counters["plain_ms"] = p.Us / 1000;
  state.counters["bom_ms"] = b.Us / 1000;
  state.counters["bom_vs_plain"] = p.Us > 0 ? b.Us / p.Us : 0;
  state.counters["reply_MiB"] = static_cast<double>(plain.size()) / MiB;
  state.counters["plain_peak_MiB"] = p.PeakBytes / MiB;
  state.counters["bom_peak_MiB"] = b.PeakBytes / MiB;
  state.counters["result_MiB"] = p.ResultBytes / MiB;
  // The goal: peak <= 2x the reply plus the result.
  state.counters["x_reply"] = (std::max(p.PeakBytes, b.PeakBytes) - p.ResultBytes) / static_cast<double>(plain.size());
}
BENCHMARK(BM_LargeReply_ByteOrderMark)->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// Replies of shapes that once made the reader reserve far more than the
// reply: 0 = 1000 fields of 4100 characters (4.1 MB); 1 = a 12 KB reply with
// three long fields whose Content-Length announces 200 MB; 2 = a 100 MB
// reply without a Content-Length (chunked); 3 = a reply with a comment of
// 32 MB, a token that the parser can finish only when all of it is there.
void BM_ReplyShapes_Memory(benchmark::State& state) {
  std::string reply;
  std::int64_t announced = 0;
  switch (state.range(0)) {
    case 0: {
      std::string fields = "<Status>0</Status>";
      for (int i = 0; i < 1000; ++i) fields += "<F" + std::to_string(i) + ">" + std::string(4100, 'x') + "</F" + std::to_string(i) + ">";
      reply = TextDataReply(fields, false);
      announced = static_cast<std::int64_t>(reply.size());
      break;
    }
    case 1:
      reply = TextDataReply("<Status>0</Status><Msg>" + std::string(4100, 'm') + "</Msg><Buf>" + std::string(4100, 'b') +
                                "</Buf><Tail>" + std::string(4100, 't') + "</Tail>",
                            false);
      announced = 200ll * 1000 * 1000;
      break;
    case 2:
      reply = TextDataReply("<Status>0</Status><Msg/><Buf>" + KcsvLines(100u * 1000 * 1000) + "</Buf>", false);
      announced = -1;
      break;
    default:
      reply = TextDataReply("<Status>0</Status><!--" + std::string(32u << 20, 'c') + "--><Msg/>", false);
      announced = static_cast<std::int64_t>(reply.size());
      break;
  }
  TReadFigures f;
  for (auto _ : state) f = ReadReply(reply, announced);
  constexpr double MiB = 1024.0 * 1024.0;
  state.counters["read_ms"] = f.Us / 1000;
  state.counters["reply_MiB"] = static_cast<double>(reply.size()) / MiB;
  state.counters["result_MiB"] = f.ResultBytes / MiB;
  state.counters["reserved_MiB"] = f.ReservedBytes / MiB;
  state.counters["peak_MiB"] = f.PeakBytes / MiB;
  state.counters["x_reply"] = (f.PeakBytes - f.ResultBytes) / static_cast<double>(reply.size());
}
BENCHMARK(BM_ReplyShapes_Memory)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  int up[2], down[2];
  if (::pipe(up) != 0 || ::pipe(down) != 0) return 1;
  pid_t child = ::fork();
  if (child < 0) return 1;
  if (child == 0) {
    ::close(up[0]);
    ::close(down[1]);
    ServeInChild(up[1], down[0]);
  }
  ::close(up[1]);
  ::close(down[0]);
  if (::read(up[0], &gPort, sizeof gPort) != sizeof gPort) return 1;

  int rc = 0;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    rc = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  ::close(down[1]);  // the child ends its service and exits
  ::waitpid(child, nullptr, 0);
  return rc;
}
