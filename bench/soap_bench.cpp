// One SearchART2 round trip on loopback: through the service contract
// (envelope writing, HTTP, reply reading into zelTextData) against a bare
// libcurl POST of the same envelope to the same server in the same run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>

#include "client/zelservice.h"
#include "tests/support/fake_service/fake_service.h"

namespace {

zeltest::FakeZelService& Fake() {
  static zeltest::FakeZelService fake;
  return fake;
}

std::unique_ptr<zelTextData> Search(zelserviceSoap& client) {
  return client.SearchART2(0, u"demo", u"demo", -1, u"", -1);  // every article
}

void BM_SearchART2_zelserviceSoap(benchmark::State& state) {
  auto client = GetZelService(Fake().WsdlUrl());
  Search(*client);  // reads the description once
  for (auto _ : state) {
    auto r = Search(*client);
    if (r->Status() != 0) state.SkipWithError("status not 0");
    benchmark::DoNotOptimize(r->Buf().data());
  }
  Fake().ClearRequests();
}
BENCHMARK(BM_SearchART2_zelserviceSoap);

size_t Collect(char* data, size_t size, size_t n, void* user) {
  static_cast<std::string*>(user)->append(data, size * n);
  return size * n;
}

void BM_SearchART2_BareCurl(benchmark::State& state) {
  // The very envelope the client sends.
  Fake().ClearRequests();
  Search(*GetZelService(Fake().WsdlUrl()));
  std::string envelope;
  for (const auto& r : Fake().Requests())
    if (r.Method == "POST") envelope = r.Body;
  Fake().ClearRequests();

  CURL* c = curl_easy_init();
  curl_slist* headers = nullptr;
  std::string action = "SOAPAction: \"" + zeltest::FakeZelService::ActionOf("SearchART2") + "\"";
  headers = curl_slist_append(headers, action.c_str());
  headers = curl_slist_append(headers, "Content-Type: text/xml");
  std::string url = Fake().EndpointUrl();
  std::string reply;
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, envelope.c_str());
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(envelope.size()));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply);
  for (auto _ : state) {
    reply.clear();
    if (curl_easy_perform(c) != CURLE_OK) state.SkipWithError("curl failed");
    benchmark::DoNotOptimize(reply.data());
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(c);
  Fake().ClearRequests();
}
BENCHMARK(BM_SearchART2_BareCurl);

}  // namespace

BENCHMARK_MAIN();
