// Replies read whole and as they come: results, fields, encodings, faults
// and what is refused.
#include "platform/soap/opconvert.h"

#include <gtest/gtest.h>

#include "platform/rtl/codepage.h"
#include "tests/support/error_of.h"
#include "tests/support/utf16.h"

using namespace platform::soap;
using zeltest::ErrorOf;
using zeltest::Utf16;

namespace {

std::string Reply(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><soap:Body>" +
         body + "</soap:Body></soap:Envelope>";
}

TEST(ParseReply, ReadsTheOneResultWhateverItsName) {
  TReplyResult r = ParseReply(Reply("<XResponse xmlns=\"zel.Service\"><Anything><Status>3</Status><Msg>M&#252;de</Msg>"
                                    "<Buf>a&#13;\nb</Buf><Msg2 xsi:nil=\"true\"/></Anything></XResponse>"));
  EXPECT_EQ(r.ResponseName, "XResponse");
  EXPECT_EQ(r.ResultName, "Anything");
  ASSERT_EQ(r.Fields.size(), 4u);
  EXPECT_EQ(r.Fields[0].Name, "Status");
  EXPECT_EQ(r.Fields[1].Text, u"M\u00FCde");
  EXPECT_EQ(r.Fields[2].Text, u"a\r\nb");
  EXPECT_TRUE(r.Fields[3].Nil);
}

TEST(ParseReply, FaultRaisesItsText) {
  try {
    ParseReply(Reply("<soap:Fault><faultcode>soap:Client</faultcode><faultstring>Kein Zugriff f&#252;r Sie</faultstring>"
                     "<detail><x/></detail></soap:Fault>"));
    FAIL();
  } catch (const ERemotableException& e) {
    EXPECT_EQ(e.Message(), "Kein Zugriff f\xFCr Sie");
    EXPECT_EQ(e.FaultCode(), "soap:Client");
  }
}

// A text that is refused, and a part of the message it is refused with.
struct RefusalCase {
  const char* Name;
  std::string Text;
  const char* Message;
};

TEST(ParseReply, RefusesWhatIsNoUsableAnswer) {
  const RefusalCase cases[] = {
      {"dtd", "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"b\">]>" + Reply("<R><S>&a;</S></R>").substr(38), "DTD"},
      {"two results", Reply("<R><A/><B/></R>"), "mehr als ein Element"},
      {"no result", Reply("<R></R>"), "kein Ergebnis"},
      {"empty body", Reply(""), "leer"},
      {"no envelope", "<Envelope/>", "kein SOAP-Envelope"},
      {"not xml", "Internal error", "XML-Fehler"},
      {"truncated", Reply("<R><S>1</S></R>").substr(0, 120), "XML-Fehler"},
      {"junk after", Reply("<R><S>1</S></R>") + "<more/>", "XML-Fehler"},
      {"nested field", Reply("<R><S><T><U/></T></S></R>"), "Unerwartetes Element 'U'"},
      {"undeclared entity", Reply("<R><S>&nbsp;</S></R>"), ""},
  };
  for (const auto& c : cases) {
    AnsiString error = ErrorOf([&] { ParseReply(c.Text); });
    EXPECT_NE(error, "") << c.Name;
    EXPECT_NE(error.find(c.Message), std::string::npos) << c.Name << ": " << error;
  }
}

// A reply read piece by piece as it arrives, Piece bytes at a time.
TReplyResult ParseInPieces(const std::string& Body, std::size_t Piece, const std::vector<std::string>& ByteFields = {}) {
  TReplyReader reader(ByteFields);
  reader.SetExpectedSize(static_cast<std::int64_t>(Body.size()));
  for (std::size_t at = 0; at < Body.size(); at += Piece) reader.Feed(Body.data() + at, std::min(Piece, Body.size() - at));
  return reader.Finish();
}

// Texts that need more than plain bytes, wherever the pieces are cut:
// multi-byte UTF-8, references, line ends, CDATA, a comment, "]]" and ">".
TEST(ReplyReader, TextsAreTheSameHoweverTheReplyIsCut) {
  const std::string body = Reply(
      "<R xmlns=\"zel.Service\"><Res><Msg>M\xC3\xBC" "de \xE2\x82\xAC \xF0\x9F\x98\x80 &lt;&amp;&gt;&quot;&apos;&#252;&#x20AC;</Msg>"
      "<Buf>a\r\nb\rc\nd&#13;&#10;e<![CDATA[<x>&amp;]]>f<!-- c -->g ]] > ]h</Buf>"
      "<Data>/9j/\r\n4A==</Data><Empty/><Nil xsi:nil=\"true\"></Nil><Odd a=\"1>2\" b=\"\xC3\xBC>\">x>y</Odd></Res></R>");
  const WideString msg = u"M\u00FCde \u20AC \U0001F600 <&>\"'\u00FC\u20AC";
  const WideString buf = u"a\nb\nc\nd\r\ne<x>&amp;fg ]] > ]h";
  for (std::size_t piece : {body.size(), std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7)}) {
    SCOPED_TRACE(piece);
    TReplyResult r = ParseInPieces(body, piece, {"Data"});
    ASSERT_EQ(r.Fields.size(), 6u);
    EXPECT_EQ(r.Fields[0].Text, msg);
    EXPECT_EQ(r.Fields[1].Text, buf);
    EXPECT_TRUE(r.Fields[2].IsBytes);
    EXPECT_EQ(r.Fields[2].Bytes, (TByteDynArray{0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(r.Fields[3].Text, u"");
    EXPECT_TRUE(r.Fields[4].Nil);
    EXPECT_EQ(r.Fields[5].Text, u"x>y");  // '>' inside the tag is no end of it
  }
}

TEST(ReplyReader, RefusesBadTextWhereverThePiecesAreCut) {
  const RefusalCase cases[] = {
      {"control character", "a\x01" "b", "XML-Fehler"},
      {"cdata end in text", "a]]>b", "XML-Fehler"},
      {"bad utf-8", "a\xC3(b", "XML-Fehler"},
      {"overlong utf-8", "a\xC0\xAF", "XML-Fehler"},
      {"surrogate in utf-8", "\xED\xA0\x80", "XML-Fehler"},
      {"reference to nothing", "&#0;", "XML-Fehler"},
      {"undeclared entity", "&nbsp;", "nbsp"},
      {"unended reference", "&amp", "XML-Fehler"},
      {"bad base64", "<Data>/9j=/</Data>", "Base64"},
  };
  for (const auto& c : cases) {
    std::string field = c.Text.rfind("<Data>", 0) == 0 ? c.Text : "<T>" + c.Text + "</T>";
    std::string body = Reply("<R><Res>" + field + "</Res></R>");
    for (std::size_t piece : {body.size(), std::size_t(1), std::size_t(5)}) {
      AnsiString error = ErrorOf([&] { ParseInPieces(body, piece, {"Data"}); });
      EXPECT_NE(error.find(c.Message), std::string::npos) << c.Name << " in pieces of " << piece << ": " << error;
    }
  }
}

// ------------------------------------------------------------ replies as they come

// A reply in UTF-8 whose result holds Fields; Declaration names the
// encoding ("" for no XML declaration), After follows the envelope.
std::string ReplyWith(const std::string& Declaration, const std::string& Fields, const std::string& After = "") {
  std::string decl = Declaration.empty() ? "" : "<?xml version=\"1.0\" encoding=\"" + Declaration + "\"?>\r\n";
  return decl +
         "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><soap:Body><R xmlns=\"zel.Service\"><Res>" +
         Fields + "</Res></R></soap:Body></soap:Envelope>" + After;
}

// The fields Msg, Buf and the base64 field Data.
std::string Fields(const std::string& Msg, const std::string& Buf = "a&#13;\r\nb") {
  return "<Msg>" + Msg + "</Msg><Buf>" + Buf + "</Buf><Data>/9j/\r\n4A==</Data>";
}

std::string LongFields(int Count, std::size_t Length) {
  std::string out;
  for (int i = 0; i < Count; ++i) out += "<F" + std::to_string(i) + ">" + std::string(Length, static_cast<char>('a' + i % 26)) + "</F" + std::to_string(i) + ">";
  return out;
}

std::vector<WideString> LongTexts(int Count, std::size_t Length) {
  std::vector<WideString> out;
  for (int i = 0; i < Count; ++i) out.emplace_back(Length, static_cast<char16_t>(u'a' + i % 26));
  return out;
}

const TByteDynArray Jpeg{0xFF, 0xD8, 0xFF, 0xE0};

struct ComingReply {
  const char* Name;
  std::string Bytes;
  std::vector<WideString> Texts;  // the texts of the result's fields but Data, in order
  TByteDynArray Data;             // the bytes of Data, when it is there
  const char* Refusal = nullptr;  // part of the message a refused reply raises
  std::int64_t Announced = 0;     // the Content-Length announced; 0: the reply's own size
};

void PrintTo(const ComingReply& Case, std::ostream* Out) { *Out << Case.Name; }

std::vector<ComingReply> ComingReplies() {
  const std::string utf8 = Fields("M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80");
  const std::vector<WideString> utf8Texts{u"M\u00FCller \u20AC \U0001F600", u"a\r\nb"};
  return {
      {"Utf8", ReplyWith("utf-8", utf8), utf8Texts, Jpeg},
      {"Utf8WithoutDeclaration", ReplyWith("", utf8), utf8Texts, Jpeg},
      {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + ReplyWith("UTF-8", utf8), utf8Texts, Jpeg},
      {"Utf8WithByteOrderMarkWithoutDeclaration", "\xEF\xBB\xBF" + ReplyWith("", utf8), utf8Texts, Jpeg},
      {"Utf16LittleEndian", Utf16(ReplyWith("UTF-16", utf8), false), utf8Texts, Jpeg},
      {"Utf16BigEndian", Utf16(ReplyWith("utf-16", utf8), true), utf8Texts, Jpeg},
      {"Utf16BigEndianWithoutDeclaration", Utf16(ReplyWith("", utf8), true), utf8Texts, Jpeg},
      {"Latin1", ReplyWith("ISO-8859-1", Fields("M\xFCller \xE4\xF6\xDF \x80")), {u"M\u00FCller \u00E4\u00F6\u00DF \u0080", u"a\r\nb"}, Jpeg},
      // UTF-8 bytes declared as Latin-1 are Latin-1 characters.
      {"Utf8BytesDeclaredLatin1", ReplyWith("iso-8859-1", Fields("M\xC3\xBCller")), {u"M\u00C3\u00BCller", u"a\r\nb"}, Jpeg},
      {"UsAscii", ReplyWith("US-ASCII", Fields("M&#252;ller &#x20AC;")), {u"M\u00FCller \u20AC", u"a\r\nb"}, Jpeg},
      {"Windows1252", ReplyWith("windows-1252", Fields("M\xFCller \x80 \x9C \x81")), {u"M\u00FCller \u20AC \u0153 \u0081", u"a\r\nb"}, Jpeg},
      {"Windows1252UpperCase", ReplyWith("WINDOWS-1252", Fields("\x84" "Stra\xDF" "e\x93")), {u"\u201EStra\u00DFe\u201C", u"a\r\nb"}, Jpeg},
      {"MarkupAfterTheEnvelope", ReplyWith("utf-8", Fields("x"), "<!-- after -->\r\n<?done yes?>\r\n \t\r\n"), {u"x", u"a\r\nb"}, Jpeg},
      {"CommentBetweenLineEndsAfterTheEnvelope", ReplyWith("utf-8", Fields("x"), "\r\n<!-- -->\r\n"), {u"x", u"a\r\nb"}, Jpeg},
      {"MarkupAfterTheEnvelopeInUtf16", Utf16(ReplyWith("UTF-16", Fields("x"), "\r\n<!-- -->\r\n<?pi?>"), false), {u"x", u"a\r\nb"}, Jpeg},
      {"ReferencesWithLeadingZeros", ReplyWith("utf-8", Fields("&#00000000065;&#x0000000042;&#0067;")), {u"ABC", u"a\r\nb"}, Jpeg},
      {"ManyLongFields", ReplyWith("utf-8", LongFields(40, 4100)), LongTexts(40, 4100), {}},
      {"ContentLengthThatLies", ReplyWith("utf-8", LongFields(3, 4100)), LongTexts(3, 4100), {}, nullptr, 200ll * 1000 * 1000},
      {"ManyLongFieldsWithoutContentLength", ReplyWith("utf-8", LongFields(40, 4100)), LongTexts(40, 4100), {}, nullptr, -1},
      {"CdataEndInText", ReplyWith("utf-8", Fields("a]]>b")), {}, {}, "XML-Fehler"},
      {"CdataEndInTextAfterByteOrderMark", "\xEF\xBB\xBF" + ReplyWith("utf-8", Fields("a]]>b")), {}, {}, "XML-Fehler"},
      {"SecondRoot", ReplyWith("utf-8", Fields("x"), "<soap:Envelope/>"), {}, {}, "XML-Fehler"},
      {"SecondRootAfterComment", ReplyWith("utf-8", Fields("x"), "\r\n<!-- -->\r\n<x/>"), {}, {}, "XML-Fehler"},
      {"TextAfterTheEnvelope", ReplyWith("utf-8", Fields("x"), "\r\nx"), {}, {}, "XML-Fehler"},
      {"UnknownEncoding", ReplyWith("x-unbekannt", Fields("x")), {}, {}, "XML-Fehler"},
      {"Latin1BytesDeclaredUtf8", ReplyWith("utf-8", Fields("M\xFCller")), {}, {}, "XML-Fehler"},
  };
}

// The ways a reply is read: whole, a byte at a time, in pieces of 2, 3 and
// 7 bytes, and (for short replies) cut in two at every byte.
std::vector<std::vector<std::size_t>> Cuts(std::size_t Size) {
  std::vector<std::vector<std::size_t>> out{{Size}};
  for (std::size_t piece : {1, 2, 3, 7}) {
    std::vector<std::size_t> cut;
    for (std::size_t at = 0; at < Size; at += piece) cut.push_back(std::min(piece, Size - at));
    out.push_back(cut);
  }
  if (Size <= 2048)
    for (std::size_t at = 1; at < Size; ++at) out.push_back({at, Size - at});
  return out;
}

class ComingReplyTest : public ::testing::TestWithParam<ComingReply> {};

TEST_P(ComingReplyTest, ReadsAlikeHoweverItIsCut) {
  const ComingReply& c = GetParam();
  std::int64_t announced = c.Announced == 0 ? static_cast<std::int64_t>(c.Bytes.size()) : c.Announced;
  for (const auto& cut : Cuts(c.Bytes.size())) {
    std::string how = cut.size() == 2 ? "cut after " + std::to_string(cut[0]) : "pieces of " + std::to_string(cut[0]);
    SCOPED_TRACE(how);
    TReplyReader reader({"Data"});
    reader.SetExpectedSize(announced);
    TReplyResult r;
    AnsiString error = ErrorOf([&] {
      std::size_t at = 0;
      for (std::size_t n : cut) {
        reader.Feed(c.Bytes.data() + at, n);
        at += n;
      }
      r = reader.Finish();
    });
    if (c.Refusal) {
      ASSERT_NE(error.find(c.Refusal), std::string::npos) << error;
      continue;
    }
    ASSERT_EQ(error, "");
    std::vector<WideString> texts;
    TByteDynArray data;
    for (auto& f : r.Fields) {
      if (f.IsBytes) {
        data = f.Bytes;
        continue;
      }
      texts.push_back(f.Text);
      // Room for a text grows with the text, whatever length was announced.
      EXPECT_LE(f.Text.capacity(), 2 * f.Text.size() + 32) << f.Name;
    }
    ASSERT_EQ(texts, c.Texts);
    EXPECT_EQ(data, c.Data);
  }
}

INSTANTIATE_TEST_SUITE_P(Replies, ComingReplyTest, ::testing::ValuesIn(ComingReplies()),
                         [](const ::testing::TestParamInfo<ComingReply>& info) { return std::string(info.param.Name); });

// A fault's text in the reply's own encoding, however the reply is cut.
TEST(ReplyReader, FaultTextInEveryEncoding) {
  const std::string fault = "<soap:Fault><faultcode>soap:Server</faultcode><faultstring>Kein Zugriff f&#252;r ";
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"utf-8", Reply(fault + "M\xC3\xBCller</faultstring></soap:Fault>")},
      {"latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + Reply(fault + "M\xFCller</faultstring></soap:Fault>").substr(38)},
      {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + Reply(fault + "M\xFCller</faultstring></soap:Fault>").substr(38)},
      {"utf-16", Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + Reply(fault + "M\xC3\xBCller</faultstring></soap:Fault>").substr(38), false)},
  };
  for (const auto& c : cases) {
    for (const auto& cut : Cuts(c.Bytes.size())) {
      TReplyReader reader;
      std::size_t at = 0;
      try {
        for (std::size_t n : cut) {
          reader.Feed(c.Bytes.data() + at, n);
          at += n;
        }
        reader.Finish();
        ADD_FAILURE() << c.Name << ": no fault";
      } catch (const ERemotableException& e) {
        EXPECT_EQ(e.Message(), "Kein Zugriff f\xFCr M\xFCller") << c.Name;
        EXPECT_EQ(e.FaultCode(), "soap:Server") << c.Name;
      } catch (const Exception& e) {
        ADD_FAILURE() << c.Name << " pieces of " << cut[0] << ": " << e.Message();
      }
    }
  }
}

// A reply read for a result type with the fields Status, Msg, Len, Buf and
// the byte field Data, Piece bytes at a time.
TReplyResult ParseForFields(const std::string& Body, std::size_t Piece) {
  TReplyReader reader({"Status", "Msg", "Len", "Buf", "Data"}, {"Data"}, false);
  reader.SetExpectedSize(static_cast<std::int64_t>(Body.size()));
  for (std::size_t at = 0; at < Body.size(); at += Piece) reader.Feed(Body.data() + at, std::min(Piece, Body.size() - at));
  return reader.Finish();
}

// Elements the result type does not have are skipped with all they hold;
// the fields around them read as without them.
TEST(ReplyReader, SkipsElementsTheResultTypeDoesNotHave) {
  const struct {
    const char* Name;
    std::string Fields;       // inside the result
    std::string FirstChild;
    std::vector<std::pair<std::string, std::u16string>> Kept;  // name, text
  } cases[] = {
      {"between fields", "<Status>0</Status><Extra>geheim<Deep><Deeper a=\"1\">tief</Deeper></Deep></Extra><Msg>ok</Msg><Buf>b</Buf>",
       "Status", {{"Status", u"0"}, {"Msg", u"ok"}, {"Buf", u"b"}}},
      {"first", "<Extra>geheim</Extra><Status>3</Status><Msg>M&#252;de</Msg>", "Extra", {{"Status", u"3"}, {"Msg", u"M\u00FCde"}}},
      {"empty and nested", "<Rest/><Status>1</Status><Note><Status>9</Status><Buf>nein</Buf></Note><Len>4</Len>", "Rest",
       {{"Status", u"1"}, {"Len", u"4"}}},
      {"only unknown", "<A>x</A><B><C/></B>", "A", {}},
      {"a name again", "<Msg>erst</Msg><Status>0</Status><Msg>dann</Msg>", "Msg", {{"Msg", u"dann"}, {"Status", u"0"}}},
  };
  for (const auto& c : cases) {
    const std::string body = Reply("<R xmlns=\"zel.Service\"><Res>" + c.Fields + "</Res></R>");
    for (std::size_t piece : {body.size(), std::size_t(1), std::size_t(7)}) {
      TReplyResult r = ParseForFields(body, piece);
      EXPECT_TRUE(r.HasChildren) << c.Name;
      EXPECT_EQ(r.FirstChild, c.FirstChild) << c.Name;
      ASSERT_EQ(r.Fields.size(), c.Kept.size()) << c.Name;
      for (std::size_t i = 0; i < c.Kept.size(); ++i) {
        EXPECT_EQ(r.Fields[i].Name, c.Kept[i].first) << c.Name;
        EXPECT_EQ(r.Fields[i].Text, c.Kept[i].second) << c.Name;
      }
      for (const char16_t* hidden : {u"geheim", u"tief", u"nein", u"x"})
        EXPECT_EQ(r.Text.find(hidden), std::u16string::npos) << c.Name;
    }
  }
}

// A reader that keeps every element, as before, still refuses an element
// nested inside a field; one for a result type skips it inside an unknown one.
TEST(ReplyReader, NestingInsideAnUnknownElementIsNoError) {
  const std::string body = Reply("<R><Res><Status>0</Status><Foreign><A><B>1</B></A></Foreign><Buf>x</Buf></Res></R>");
  EXPECT_NE(ErrorOf([&] { ParseReply(body); }).find("Unerwartetes Element 'A'"), std::string::npos);
  TReplyResult r = ParseForFields(body, body.size());
  ASSERT_EQ(r.Fields.size(), 2u);
  EXPECT_EQ(r.Fields[1].Text, u"x");
  // Inside a field of the type it stays refused.
  EXPECT_NE(ErrorOf([&] { ParseForFields(Reply("<R><Res><Buf><A/></Buf></Res></R>"), 5); }).find("Unerwartetes Element 'A'"),
            std::string::npos);
}

// The message of the fault whose faultstring is Text (UTF-8), read in pieces of Piece bytes.
AnsiString FaultMessage(const std::string& Text, std::size_t Piece) {
  const std::string body = Reply("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" + Text +
                                 "</faultstring></soap:Fault>");
  try {
    ParseForFields(body, Piece);
  } catch (const ERemotableException& e) {
    return e.Message();
  }
  return "<no fault>";
}

// A fault's text is kept up to MaxFaultText characters; a longer one is cut
// there and ends with an ellipsis (Windows-1252 0x85).
TEST(ReplyReader, FaultTextIsKeptUpToItsBound) {
  const std::size_t n = MaxFaultText;
  auto repeat = [](const std::string& s, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += s;
    return out;
  };
  const struct {
    const char* Name;
    std::string Utf8;
    AnsiString Expected;
  } cases[] = {
      {"short", "Datenbank nicht erreichbar", "Datenbank nicht erreichbar"},
      {"exactly the bound", std::string(n, 'a'), std::string(n, 'a')},
      {"one more", std::string(n + 1, 'a'), std::string(n, 'a') + "\x85"},
      {"ten MiB", std::string(10u << 20, 'b'), std::string(n, 'b') + "\x85"},
      {"umlauts", repeat("\xC3\xBC", n + 5), std::string(n, '\xFC') + "\x85"},
      {"umlauts at the bound", repeat("\xC3\xBC", n), std::string(n, '\xFC')},
      {"references", repeat("&#8364;", n) + "x", std::string(n, '\x80') + "\x85"},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {std::size_t(1) << 16, std::size_t(4093)}) {
      const AnsiString m = FaultMessage(c.Utf8, piece);
      EXPECT_EQ(m.size(), c.Expected.size()) << c.Name;
      EXPECT_TRUE(m == c.Expected) << c.Name;
    }
  }
}

// The fault code and actor are bound the same way.
TEST(ReplyReader, FaultCodeAndActorAreBoundToo) {
  const std::string body = Reply("<soap:Fault><faultcode>" + std::string(MaxFaultText + 10, 'c') +
                                 "</faultcode><faultstring>kurz</faultstring><faultactor>" +
                                 std::string(MaxFaultText * 2, 'a') + "</faultactor></soap:Fault>");
  try {
    ParseReply(body);
    FAIL();
  } catch (const ERemotableException& e) {
    EXPECT_EQ(e.Message(), "kurz");
    EXPECT_EQ(e.FaultCode(), std::string(MaxFaultText, 'c') + "\x85");
    EXPECT_EQ(e.FaultActor(), std::string(MaxFaultText, 'a') + "\x85");
  }
}

// An envelope whose header holds Levels elements one inside the other.
std::string DeepReply(int Levels) {
  std::string open, close;
  for (int i = 0; i < Levels; ++i) {
    open += "<h>";
    close += "</h>";
  }
  return "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Header>" + open + close +
         "</soap:Header><soap:Body><R><S>1</S></R></soap:Body></soap:Envelope>";
}

TEST(ParseReply, RefusesElementsNestedDeeperThan256) {
  // Envelope and Header are two levels: 254 more reach 256.
  EXPECT_EQ(ParseReply(DeepReply(254)).ResultName, "S");
  for (int levels : {255, 100000}) {
    AnsiString error = ErrorOf([&] { ParseReply(DeepReply(levels)); });
    EXPECT_NE(error.find("mehr als 256 Ebenen"), std::string::npos) << levels << ": " << error;
  }
}

}  // namespace
