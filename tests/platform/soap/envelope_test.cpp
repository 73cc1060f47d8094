// Request envelopes: what is written, and that it reads back.
#include "platform/soap/opconvert.h"

#include <gtest/gtest.h>

#include "tests/support/error_of.h"

using namespace platform::soap;
using zeltest::ErrorOf;

namespace {

TEST(BuildRequestEnvelope, WritesSoap11EnvelopeWithWrappedParametersInOrder) {
  std::string xml = BuildRequestEnvelope("zel.Service", "GetPRICAT",
                                         {{"format", Integer(2)}, {"user", WideString(u"M\u00FCller")}, {"eid", Integer(-7)},
                                          {"land", WideString(u"<&>")}});
  EXPECT_EQ(xml,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
            "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<SOAP-ENV:Body><GetPRICAT xmlns=\"zel.Service\"><format>2</format><user>M\xC3\xBCller</user>"
            "<eid>-7</eid><land>&lt;&amp;&gt;</land></GetPRICAT></SOAP-ENV:Body></SOAP-ENV:Envelope>\n");
}

TEST(BuildRequestEnvelope, ReadsBackNamespaceAware) {
  // Envelope > Body > operation > one parameter reads like a reply with one result.
  TReplyResult r = ParseReply(BuildRequestEnvelope("zel.Service", "Op", {{"t", WideString(u"\u00E4 <b>")}}));
  EXPECT_EQ(r.ResponseName, "Op");
  EXPECT_EQ(r.ResultName, "t");
  EXPECT_EQ(r.Text, u"\u00E4 <b>");
}

TEST(BuildRequestEnvelope, CarriageReturnIsACharacterReferenceAndSurvivesReading) {
  std::string xml = BuildRequestEnvelope("zel.Service", "Op", {{"t", WideString(u"a\r\nb\tc")}});
  EXPECT_NE(xml.find("<t>a&#13;\nb\tc</t>"), std::string::npos) << xml;
  EXPECT_EQ(ParseReply(xml).Text, u"a\r\nb\tc");
}

TEST(BuildRequestEnvelope, RefusesCharactersXmlCannotCarry) {
  struct Case {
    WideString Text;
    bool Valid;
  } cases[] = {
      {u"plain", true},
      {u"\t\n\r", true},
      {u"\U0001F600", true},                  // a surrogate pair
      {WideString(u"x\0y", 3), false},        // NUL
      {u"\x1F", false},
      {u"\xFFFE", false},
      {u"\xFFFF", false},
      {WideString(1, char16_t(0xDC00)), false},  // lone low surrogate
      {WideString(1, char16_t(0xD83D)), false},  // high surrogate at the end
  };
  for (const auto& c : cases) {
    AnsiString error = ErrorOf([&] { BuildRequestEnvelope("ns", "Op", {{"p", c.Text}}); });
    if (c.Valid)
      EXPECT_EQ(error, "");
    else
      EXPECT_NE(error.find("im Parameter 'p' kann nicht in XML \xFC" "bertragen werden"), std::string::npos) << error;
  }
}

}  // namespace
