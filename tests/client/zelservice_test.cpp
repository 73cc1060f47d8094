// The service contract on the wire, against the fake service on loopback.
#include "client/zelservice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils.h"
#include "platform/soap/soaphttpclient.h"
#include "tests/support/error_of.h"
#include "tests/support/fake_service/fake_service.h"

using zeltest::FakeFailure;
using zeltest::FakeWsdl;
using zeltest::FakeZelService;
using zeltest::ErrorOf;

namespace {

WideString W(const char* ansi) { return platform::AnsiToWide(ansi); }
AnsiString A(const WideString& wide) { return platform::WideToAnsi(wide); }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ZelServiceTest : public ::testing::Test {
protected:
  FakeZelService Fake;
  std::shared_ptr<zelserviceSoap> Client = GetZelService(Fake.WsdlUrl());

  std::unique_ptr<zelTextData> Suppliers() {
    return Client->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u"");
  }
  std::vector<zeltest::RecordedRequest> Posts() {
    std::vector<zeltest::RecordedRequest> out;
    for (auto& r : Fake.Requests())
      if (r.Method == "POST") out.push_back(r);
    return out;
  }
};

TEST(ZelServiceRegistration, RecordsNamespaceEncodingPatternAndOnlyDocumentStyle) {
  InterfaceMapItem item = InvRegistry()->GetInterfaceInfo(zelserviceSoap::IntfMetaData().IID);
  EXPECT_EQ(item.Name, "zelserviceSoap");
  EXPECT_EQ(item.Namespace, "zel.Service");
  EXPECT_EQ(item.WSDLEncoding, "utf-8");
  EXPECT_EQ(item.Documentation, "");
  EXPECT_EQ(item.ExtName, "");
  EXPECT_EQ(item.SOAPAction, "zel.Service/%operationName%");
  // The option set was assigned after the pattern: its default-action mark is gone.
  EXPECT_TRUE(item.InvokeOptions == TIntfInvokeOptions{ioDocument});
  EXPECT_FALSE(item.InvokeOptions.Contains(ioHasDefaultSOAPAction));
  EXPECT_FALSE(item.InvokeOptions.Contains(ioLiteral));
}

TEST(ZelServiceRegistration, DeclaresTheSevenOperationsInSlotOrder) {
  const auto& mda = zelserviceSoap::IntfMetaData().MDA;
  std::vector<std::string> names;
  for (const auto& m : mda) names.push_back(m.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"GetPic", "PicExist", "SearchART", "SearchART2", "PicInfo",
                                             "GetEAN", "GetPRICAT"}));
  std::vector<std::string> params;
  for (const auto& p : mda[3].Params) params.push_back(p.Name);
  EXPECT_EQ(params, (std::vector<std::string>{"format", "user", "pass", "her", "fab", "sai"}));
}

TEST(ZelServiceRegistration, FactoryPassesTheCastErrorOn) {
  InvRegistry()->UnRegisterInterface(zelserviceSoap::IntfMetaData());
  EXPECT_THROW(GetZelService("http://127.0.0.1:1/services/zel.asmx?wsdl"), EIntfCastError);
  zelservice_Initialize();  // the start-up step again
  EXPECT_NE(GetZelService("http://127.0.0.1:1/services/zel.asmx?wsdl"), nullptr);
}

TEST_F(ZelServiceTest, CreatingTheClientTouchesNoNetwork) {
  ASSERT_NE(Client, nullptr);
  EXPECT_TRUE(Fake.Requests().empty());
}

TEST_F(ZelServiceTest, SupplierListArrivesAsKcsvWithLineEndsAndUmlauts) {
  auto r = Suppliers();
  EXPECT_EQ(r->Status(), 0);
  EXPECT_EQ(A(r->Msg()), "OK");
  AnsiString buf = A(r->Buf());
  EXPECT_EQ(buf.rfind("#Lieferanten\r\n@stm,eid[INT],fab[STR]\r\n", 0), 0u) << buf;
  EXPECT_NE(buf.find("3377^M\xFCller & S\xF6hne Sportartikel\r\n"), std::string::npos) << buf;
  EXPECT_EQ(r->Len(), static_cast<Integer>(buf.size()));
}

TEST_F(ZelServiceTest, RequestGoesToTheDescribedAddressWithHeadersInOrder) {
  auto r = Client->SearchART2(0, u"demo", W("J\xFCrgen"), 1203, u"AS-47", -1);
  EXPECT_EQ(r->Status(), 1);  // wrong password: a refusal, not an error

  auto posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  const auto& post = posts[0];
  EXPECT_EQ(post.Target, FakeZelService::EndpointPath);
  EXPECT_EQ(post.Header("SOAPAction"), "\"" + FakeZelService::ActionOf("SearchART2") + "\"");
  EXPECT_EQ(post.Header("Content-Type"), "text/xml");
  EXPECT_LT(post.HeaderIndex("SOAPAction"), post.HeaderIndex("Content-Type"));
  EXPECT_EQ(post.Header("Content-Length"), std::to_string(post.Body.size()));

  const std::string& body = post.Body;
  EXPECT_NE(body.find("xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""), std::string::npos);
  EXPECT_NE(body.find("<SOAP-ENV:Envelope"), std::string::npos);
  EXPECT_NE(body.find("<SOAP-ENV:Body><SearchART2 xmlns=\"zel.Service\">"), std::string::npos) << body;
  // Parameters by name, in declared order; text in UTF-8.
  const char* expected[] = {"<format>0</format>", "<user>demo</user>", "<pass>J\xC3\xBCrgen</pass>",
                            "<her>1203</her>",    "<fab>AS-47</fab>",  "<sai>-1</sai>"};
  size_t at = 0;
  for (const char* part : expected) {
    size_t found = body.find(part, at);
    ASSERT_NE(found, std::string::npos) << part << " in " << body;
    at = found;
  }
}

TEST_F(ZelServiceTest, SearchFindsTheArticlesOfTheSupplier) {
  auto r = Client->SearchART2(0, u"demo", u"demo", 1203, u"as-47", -1);
  ASSERT_EQ(r->Status(), 0);
  EXPECT_EQ(A(r->Buf()), "@stm,eid[INT],fab[STR]\r\n100101^AS-4711\r\n100102^AS-4712\r\n");
}

TEST_F(ZelServiceTest, DescriptionIsReadOnceForTwoCalls) {
  Suppliers();
  Client->SearchART(0, u"demo", u"demo", ZEL_LIST_COUNTRIES, u"");
  auto requests = Fake.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Method, "GET");
  EXPECT_EQ(requests[0].Target, std::string(FakeZelService::ServicePath) + "?wsdl");
  EXPECT_EQ(requests[1].Method, "POST");
  EXPECT_EQ(requests[2].Method, "POST");
}

TEST_F(ZelServiceTest, BindingWithoutSoapActionSendsEmptyActionNotThePattern) {
  Fake.SetWsdl(FakeWsdl::WithoutActions);
  auto r = Suppliers();
  EXPECT_EQ(r->Status(), 0);
  auto posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].Header("SOAPAction"), "\"\"");
}

TEST_F(ZelServiceTest, DescriptionWithoutAddressFailsEveryCallWithoutPosting) {
  Fake.SetWsdl(FakeWsdl::WithoutAddress);
  const AnsiString expected = "URL-Endpunkt f\xFCr Service/Port 'zelservice'/'zelserviceSoap' kann nicht von WSDL '" +
                              Fake.WsdlUrl() + "' gelesen werden";
  EXPECT_EQ(ErrorOf([&] { Suppliers(); }), expected);
  EXPECT_EQ(ErrorOf([&] { Client->GetPic(u"demo", u"demo", 100101); }), expected);
  EXPECT_EQ(Fake.CountOf("POST"), 0u);
  EXPECT_EQ(Fake.CountOf("GET"), 1u);  // the description was read and is kept
}

struct FailureCase {
  FakeFailure Failure;
  const char* Name;
  // The expected message; "@" stands for the endpoint address.
  const char* Message;
  bool Exact;
};

// Test names and failure output show the case by its name.
void PrintTo(const FailureCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ZelServiceFailureTest : public ZelServiceTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ZelServiceFailureTest, CallFailsWithItsMessage) {
  const FailureCase& c = GetParam();
  Fake.SetFailure(c.Failure);
  AnsiString expected = StringReplace(c.Message, "@", Fake.EndpointUrl(), rfReplaceAll);
  AnsiString got = ErrorOf([&] { Suppliers(); });
  if (c.Exact)
    EXPECT_EQ(got, expected);
  else
    EXPECT_NE(got.find(expected), std::string::npos) << got;
  EXPECT_EQ(Fake.CountOf("POST"), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ZelServiceFailureTest,
    ::testing::Values(
        FailureCase{FakeFailure::SoapFault, "Fault", "Server was unable to process request. ---> Datenbank nicht erreichbar", true},
        FailureCase{FakeFailure::Http404, "Http404", "Not Found (404) - '@'", true},
        FailureCase{FakeFailure::HtmlReply, "Html", "'text/html' - SOAP erwartet \"text/xml\"", false},
        FailureCase{FakeFailure::Http500NoFault, "Http500WithoutFault", "Internal Server Error (500) - '@'", true},
        FailureCase{FakeFailure::DtdReply, "Dtd", "DTD", false},
        FailureCase{FakeFailure::MissingStatus, "MissingStatus", "Element 'Status' fehlt", false},
        FailureCase{FakeFailure::TwoResults, "TwoResults", "mehr als ein Element", false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.Name); });

TEST_F(ZelServiceTest, FaultRaisesRemotableException) {
  Fake.SetFailure(FakeFailure::SoapFault);
  try {
    Suppliers();
    FAIL() << "no exception";
  } catch (const ERemotableException& e) {
    EXPECT_EQ(e.FaultCode(), "soap:Server");
  }
}

TEST_F(ZelServiceTest, NonZeroStatusIsNoError) {
  Fake.SetFailure(FakeFailure::StatusNotZero);
  auto r = Suppliers();
  EXPECT_EQ(r->Status(), 3);
  EXPECT_EQ(A(r->Msg()), "Zugang gesperrt (Testfall)");
  EXPECT_TRUE(r->Buf().empty());
}

TEST_F(ZelServiceTest, PictureArrivesAsTheJpegBytes) {
  auto r = Client->GetPic(u"demo", u"demo", 100101);
  ASSERT_EQ(r->Status(), 0);
  std::string file = ReadBytes(FakeZelService::DataDir() + "/pictures/100101.jpg");
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(r->DataLength(), static_cast<Integer>(file.size()));
  EXPECT_EQ(std::string(r->Data().begin(), r->Data().end()), file);

  auto none = Client->GetPic(u"demo", u"demo", 100105);
  EXPECT_EQ(none->Status(), 1);
  EXPECT_EQ(none->DataLength(), 0);
  EXPECT_TRUE(none->Data().empty());
}

TEST_F(ZelServiceTest, BadPictureBytesArriveUnchanged) {
  Fake.SetFailure(FakeFailure::BadPicture);
  auto r = Client->GetPic(u"demo", u"demo", 100101);
  EXPECT_EQ(r->Status(), 0);
  std::string png = ReadBytes(FakeZelService::DataDir() + "/pictures/not_a_jpeg.png");
  EXPECT_EQ(std::string(r->Data().begin(), r->Data().end()), png);
}

TEST_F(ZelServiceTest, PricatInBothFormats) {
  auto kcsv = Client->GetPRICAT(0, u"demo", u"demo", 200202, u"DE");
  ASSERT_EQ(kcsv->Status(), 0);
  EXPECT_EQ(A(kcsv->Buf()).rfind("#Artikel 200202\r\n@art,", 0), 0u);
  EXPECT_NE(A(kcsv->Buf()).find("Regenjacke K\xFCste"), std::string::npos);
  auto pricat = Client->GetPRICAT(2, u"demo", u"demo", 200202, u"DE");
  ASSERT_EQ(pricat->Status(), 0);
  EXPECT_EQ(A(pricat->Buf()).rfind("UNA:+.? '\r\nUNB+", 0), 0u);
  auto missing = Client->GetPRICAT(0, u"demo", u"demo", 999, u"DE");
  EXPECT_EQ(missing->Status(), 2);
}

TEST_F(ZelServiceTest, OperationsNobodyCallsWorkToo) {
  EXPECT_EQ(Client->PicExist(100101), 1);
  EXPECT_EQ(Client->PicExist(100105), 0);
  EXPECT_EQ(Client->PicInfo(0, 100101)->Status(), 0);
  auto ean = Client->GetEAN(0, u"demo", u"demo", 100101);
  EXPECT_EQ(A(ean->Buf()).rfind("@ean,etk[STR],ean[STR]\r\n38^4001001010001\r\n", 0), 0u);
}

TEST_F(ZelServiceTest, CarriageReturnTravelsAsCharacterReference) {
  Client->SearchART2(0, u"demo", u"demo", -1, u"a\rb\nc", -1);
  auto posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_NE(posts[0].Body.find("<fab>a&#13;b\nc</fab>"), std::string::npos) << posts[0].Body;
}

TEST_F(ZelServiceTest, TextThatXmlCannotCarryFailsBeforeAnythingIsSent) {
  for (const WideString& bad : {WideString(u"ab\x01"), WideString(u"\xFFFE"), WideString(1, char16_t(0xD800))}) {
    AnsiString error = ErrorOf([&] { Client->SearchART2(0, u"demo", u"demo", -1, bad, -1); });
    EXPECT_NE(error.find("im Parameter 'fab' kann nicht in XML"), std::string::npos) << error;
  }
  EXPECT_TRUE(Fake.Requests().empty());
}

// A client made directly, to reach its limits and its trace.
class ZelServiceRioTest : public ZelServiceTest {
protected:
  std::shared_ptr<THTTPRIO> Rio = [this] {
    auto rio = std::make_shared<THTTPRIO>();
    rio->SetWSDLLocation(Fake.WsdlUrl());
    rio->SetService("zelservice");
    rio->SetPort("zelserviceSoap");
    return rio;
  }();
  std::shared_ptr<zelserviceSoap> View = Rio->As<zelserviceSoap>();
};

TEST_F(ZelServiceRioTest, LargeBodyGoesOutInPiecesUnderOneLength) {
  WideString fab(40000 - 400, u'x');
  View->SearchART2(0, u"demo", u"demo", -1, fab, -1);
  const auto& trace = Rio->LastTrace();
  ASSERT_GT(trace.Body.size(), 39000u);
  ASSERT_EQ(trace.Pieces.size(), 2u);
  EXPECT_EQ(trace.Pieces[0], 32768u);
  EXPECT_EQ(trace.Pieces[0] + trace.Pieces[1], trace.Body.size());

  auto posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].Body, trace.Body);
  EXPECT_EQ(posts[0].Header("Content-Length"), std::to_string(trace.Body.size()));
  EXPECT_EQ(posts[0].HeaderIndex("Transfer-Encoding"), -1);
  EXPECT_EQ(posts[0].HeaderIndex("Expect"), -1);
}

TEST_F(ZelServiceRioTest, SmallBodyGoesOutInOnePiece) {
  View->SearchART(0, u"demo", u"demo", ZEL_LIST_SEASONS, u"");
  const auto& trace = Rio->LastTrace();
  ASSERT_EQ(trace.Pieces.size(), 1u);
  EXPECT_EQ(trace.Pieces[0], trace.Body.size());
  EXPECT_EQ(Rio->URL(), Fake.EndpointUrl());
  EXPECT_EQ(trace.SOAPAction, FakeZelService::ActionOf("SearchART"));
}

TEST_F(ZelServiceRioTest, ReplyLargerThanTheBoundFails) {
  Rio->SetMaxReplySize(1000);
  AnsiString error = ErrorOf([&] { View->GetPRICAT(0, u"demo", u"demo", 100101, u"DE"); });
  EXPECT_NE(error.find("gr\xF6\xDF" "er als 1000 Bytes"), std::string::npos) << error;
}

TEST_F(ZelServiceRioTest, DefaultLimitsAreThoseOfTheDesign) {
  auto rio = std::make_shared<THTTPRIO>();
  EXPECT_EQ(rio->ConnectTimeout(), 30000);
  EXPECT_EQ(rio->ReceiveTimeout(), 60000);
  EXPECT_EQ(rio->TotalTimeout(), 120000);
  EXPECT_EQ(rio->MaxReplySize(), 256ll * 1024 * 1024);
}

// A service that sends a byte now and then never stalls; the limit of the
// whole request ends the call all the same, for the description as for a
// call.  The fake sends a byte a second of a long answer, so only the limit
// can end these calls, however busy the machine is.
TEST_F(ZelServiceRioTest, DrippingReplyEndsAtTheLimitOfTheWholeRequest) {
  View->SearchART(0, u"demo", u"demo", ZEL_LIST_COUNTRIES, u"");  // description read
  Rio->SetTotalTimeout(700);
  Fake.SetFailure(FakeFailure::Drip);
  AnsiString error = ErrorOf([&] { View->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u""); });
  EXPECT_NE(error.find("Zeit\xFC" "berschreitung: Die Anfrage dauerte l\xE4" "nger als 700 ms - URL:" +
                       Fake.EndpointUrl() + " - SOAPAction:" + FakeZelService::ActionOf("SearchART")),
            std::string::npos)
      << error;
}

TEST_F(ZelServiceRioTest, DrippingDescriptionEndsAtTheLimitOfTheWholeRequest) {
  Rio->SetTotalTimeout(700);
  Fake.SetWsdl(FakeWsdl::Drip);
  AnsiString error = ErrorOf([&] { View->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u""); });
  EXPECT_NE(error.find("l\xE4" "nger als 700 ms - URL:" + Fake.WsdlUrl() + " - SOAPAction:"), std::string::npos)
      << error;
  EXPECT_EQ(Fake.CountOf("POST"), 0u);
}

// The part of a reply that a failed call had read is given back with the
// call, not kept until the next one: a reply that stops halfway (the drip
// pauses longer than the stall limit), one above the size bound, one that
// cannot be read.
TEST_F(ZelServiceRioTest, FailedCallKeepsNoPartOfItsReply) {
  auto pricat = [&] { return ErrorOf([&] { View->GetPRICAT(0, u"demo", u"demo", 100101, u"DE"); }); };
  Rio->SetReceiveTimeout(300);
  Fake.SetFailure(FakeFailure::Drip);
  EXPECT_NE(pricat().find("ohne Daten vom Server"), std::string::npos);
  EXPECT_EQ(Rio->HeldReplyBytes(), 0u);

  Rio->SetReceiveTimeout(60000);
  Fake.SetFailure(FakeFailure::None);
  Rio->SetMaxReplySize(1000);
  EXPECT_NE(pricat().find("gr\xF6\xDF" "er als 1000 Bytes"), std::string::npos);
  EXPECT_EQ(Rio->HeldReplyBytes(), 0u);

  Rio->SetMaxReplySize(256ll * 1024 * 1024);
  Fake.SetFailure(FakeFailure::DtdReply);
  EXPECT_NE(pricat().find("DTD"), std::string::npos);
  EXPECT_EQ(Rio->HeldReplyBytes(), 0u);
}

// A description that would put control characters (CR LF: further header
// lines) into the request is refused like one without an address.
TEST(ZelServiceDescription, ControlCharacterInAddressOrActionIsRefusedAndNothingIsSent) {
  for (FakeWsdl variant : {FakeWsdl::CrLfInAction, FakeWsdl::CrLfInAddress}) {
    FakeZelService fake;
    fake.SetWsdl(variant);
    auto client = GetZelService(fake.WsdlUrl());
    for (int call = 0; call < 2; ++call) {
      AnsiString error = ErrorOf([&] { client->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u""); });
      EXPECT_NE(error.find("Steuerzeichen"), std::string::npos) << error;
      EXPECT_NE(error.find("'zelservice'/'zelserviceSoap'"), std::string::npos) << error;
      EXPECT_NE(error.find(fake.WsdlUrl()), std::string::npos) << error;
    }
    EXPECT_EQ(fake.CountOf("POST"), 0u);
    EXPECT_EQ(fake.CountOf("GET"), 1u);  // read once and kept, refused at every call
  }
}

TEST_F(ZelServiceTest, StalledReplyEndsInAnErrorWithinTheTimeout) {
  auto saved = platform::soap::DefaultTransportLimits();
  auto limits = saved;
  limits.ReceiveTimeoutMs = 300;
  platform::soap::SetDefaultTransportLimits(limits);
  auto client = GetZelService(Fake.WsdlUrl());  // takes the limits now in force
  platform::soap::SetDefaultTransportLimits(saved);

  client->SearchART(0, u"demo", u"demo", ZEL_LIST_COUNTRIES, u"");  // description read
  Fake.SetFailure(FakeFailure::Stall);
  auto start = std::chrono::steady_clock::now();
  AnsiString error = ErrorOf([&] { client->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u""); });
  auto waited = std::chrono::steady_clock::now() - start;
  Fake.ReleaseStall();
  EXPECT_NE(error.find("300 ms ohne Daten vom Server - URL:" + Fake.EndpointUrl() + " - SOAPAction:" +
                       FakeZelService::ActionOf("SearchART")),
            std::string::npos)
      << error;
  EXPECT_LT(waited, std::chrono::seconds(20));  // well inside the 60 s default
}

TEST(ZelServiceTransport, ConnectionRefusedNamesAddressAndAction) {
  std::string url;
  {
    FakeZelService gone;
    url = gone.WsdlUrl();
  }  // nothing listens there any more
  auto client = GetZelService(url);
  AnsiString error = ErrorOf([&] { client->SearchART(0, u"demo", u"demo", ZEL_LIST_SUPPLIERS, u""); });
  EXPECT_NE(error.find(" - URL:" + url + " - SOAPAction:"), std::string::npos) << error;
  EXPECT_GT(error.find(" - URL:"), 0u);  // the platform's error text comes first
}

TEST(ZelServiceLifetime, ClientLivesWithItsLastReference) {
  std::weak_ptr<zelserviceSoap> weak;
  {
    auto client = GetZelService("http://127.0.0.1:1/services/zel.asmx?wsdl");
    weak = client;
    EXPECT_FALSE(weak.expired());
  }
  EXPECT_TRUE(weak.expired());
}

}  // namespace

namespace {

// The fake service's own switches that other tests build on.
TEST_F(ZelServiceTest, FailureScopedToOneListQuery) {
  Fake.SetFailureFor("SearchART", FakeFailure::SoapFault, ZEL_LIST_COUNTRIES);
  Fake.SetFailureFor("GetPic", FakeFailure::Http404);
  EXPECT_EQ(Suppliers()->Status(), 0);
  EXPECT_NE(ErrorOf([&] { Client->SearchART(0, u"demo", u"demo", ZEL_LIST_COUNTRIES, u""); }), "");
  EXPECT_EQ(Client->SearchART(0, u"demo", u"demo", ZEL_LIST_SEASONS, u"")->Status(), 0);
  EXPECT_NE(ErrorOf([&] { Client->GetPic(u"demo", u"demo", 100101); }), "");
  EXPECT_EQ(Client->GetPRICAT(0, u"demo", u"demo", 100101, u"DE")->Status(), 0);
  Fake.SetFailure(FakeFailure::None);  // clears the scoped ones too
  EXPECT_EQ(ErrorOf([&] { Client->GetPic(u"demo", u"demo", 100101); }), "");
}

TEST_F(ZelServiceTest, ShortPictureStatesMoreThanItSends) {
  Fake.SetFailure(FakeFailure::ShortPicture);
  auto r = Client->GetPic(u"demo", u"demo", 100101);
  EXPECT_EQ(r->DataLength(), static_cast<Integer>(r->Data().size()) + 1000);
}

TEST_F(ZelServiceTest, OwnArticleTextAndCatalogEntry) {
  Fake.SetArticleText(900001, "@art,eid[INT],fab[STR]\r\n900001^Gr\xFC\xDF" "e\r\n");
  Fake.AddCatalogEntry(900001, 1203, 21, "XY-900");
  EXPECT_EQ(A(Client->SearchART2(0, u"demo", u"demo", 1203, u"xy-9", 21)->Buf()),
            "@stm,eid[INT],fab[STR]\r\n900001^XY-900\r\n");
  EXPECT_EQ(A(Client->GetPRICAT(0, u"demo", u"demo", 900001, u"DE")->Buf()),
            "@art,eid[INT],fab[STR]\r\n900001^Gr\xFC\xDF" "e\r\n");
}

}  // namespace
