// SOAP 1.1 envelopes and service descriptions over Qt's XML streams.
#include "platform/soap/opconvert.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <limits>
#include <string_view>

#include "platform/rtl/codepage.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

namespace {

constexpr const char* Soap12EnvelopeNS = "http://www.w3.org/2003/05/soap-envelope";
constexpr const char* XsiNS = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* XsdNS = "http://www.w3.org/2001/XMLSchema";

QString ToQ(const WideString& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

WideString FromQ(QStringView s) {
  return WideString(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

std::string Utf8(QStringView s) {
  QByteArray b = s.toUtf8();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

AnsiString Ansi(QStringView s) { return WideToAnsi(FromQ(s)); }

// The first character of Text that XML 1.0 cannot carry, or -1.
long InvalidXmlChar(const WideString& Text) {
  for (std::size_t i = 0; i < Text.size(); ++i) {
    char16_t c = Text[i];
    if (c == 0x09 || c == 0x0A || c == 0x0D) continue;
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) return c;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      return c;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return c;
  }
  return -1;
}

// Characters as text; CR as a character reference, since a reader turns a
// literal CR into LF.
void WriteText(QXmlStreamWriter& w, const WideString& Text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= Text.size(); ++i) {
    if (i == Text.size() || Text[i] == u'\r') {
      if (i > start) w.writeCharacters(ToQ(Text.substr(start, i - start)));
      if (i < Text.size()) w.writeEntityReference(QStringLiteral("#13"));
      start = i + 1;
    }
  }
}

[[noreturn]] void RaiseXmlError(const QXmlStreamReader& r) {
  throw ESOAPDomConvertError(Format(msg::XmlReadError, {Ansi(r.errorString()),
                                                         static_cast<Int64>(r.lineNumber()),
                                                         static_cast<Int64>(r.columnNumber())}));
}

// The next token, refusing DTDs, entity references and errors.
QXmlStreamReader::TokenType Next(QXmlStreamReader& r) {
  QXmlStreamReader::TokenType t = r.readNext();
  if (t == QXmlStreamReader::DTD) throw ESOAPDomConvertError(msg::DtdRefused);
  if (t == QXmlStreamReader::EntityReference) throw ESOAPDomConvertError(msg::DtdRefused);
  if (t == QXmlStreamReader::Invalid) RaiseXmlError(r);
  return t;
}

bool IsEnvelopeNS(QStringView ns) { return ns == QLatin1String(SoapEnvelopeNS) || ns == QLatin1String(Soap12EnvelopeNS); }

bool IsNil(const QXmlStreamReader& r) {
  QStringView v = r.attributes().value(QLatin1String(XsiNS), QLatin1String("nil"));
  return v == QLatin1String("true") || v == QLatin1String("1");
}

}  // namespace

std::string BuildRequestEnvelope(const std::string& Namespace, const std::string& Operation,
                                 const std::vector<TRequestParam>& Params) {
  for (const auto& p : Params) {
    if (const auto* text = std::get_if<WideString>(&p.Value)) {
      long bad = InvalidXmlChar(*text);
      if (bad >= 0)
        throw ESOAPDomConvertError(Format(msg::InvalidXmlChar, {static_cast<Int64>(bad), p.Name}));
    }
  }

  QString out;  // writing to a string is cheaper than through a QBuffer
  out.reserve(512);
  QXmlStreamWriter w(&out);
  w.writeNamespace(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("SOAP-ENV"));
  w.writeNamespace(QString::fromLatin1(XsdNS), QStringLiteral("xsd"));
  w.writeNamespace(QString::fromLatin1(XsiNS), QStringLiteral("xsi"));
  w.writeStartElement(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("Envelope"));
  w.writeStartElement(QString::fromLatin1(SoapEnvelopeNS), QStringLiteral("Body"));
  // The operation's element declares the namespace as default, so that the
  // parameter elements inside it are qualified by it too.
  w.writeStartElement(QString::fromUtf8(Operation.data(), static_cast<qsizetype>(Operation.size())));
  if (!Namespace.empty())
    w.writeDefaultNamespace(QString::fromUtf8(Namespace.data(), static_cast<qsizetype>(Namespace.size())));
  for (const auto& p : Params) {
    w.writeStartElement(QString::fromUtf8(p.Name.data(), static_cast<qsizetype>(p.Name.size())));
    if (const auto* i = std::get_if<Integer>(&p.Value)) {
      w.writeCharacters(QString::number(*i));
    } else if (const auto* text = std::get_if<WideString>(&p.Value)) {
      WriteText(w, *text);
    } else {
      const auto& bytes = std::get<TByteDynArray>(p.Value);
      QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
      w.writeCharacters(QString::fromLatin1(raw.toBase64()));
    }
    w.writeEndElement();
  }
  w.writeEndElement();  // operation
  w.writeEndElement();  // Body
  w.writeEndElement();  // Envelope
  w.writeEndDocument();
  // A writer on a string declares no encoding; the bytes are UTF-8.
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + Utf8(out);
}

namespace {

// ------------------------------------------------------------ base64

constexpr signed char B64Bad = -1, B64Pad = 64, B64Space = 65;

struct TBase64Table {
  signed char V[256];
  constexpr TBase64Table() : V{} {
    for (auto& v : V) v = B64Bad;
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) V[static_cast<unsigned char>(digits[i])] = static_cast<signed char>(i);
    V[static_cast<unsigned char>('=')] = B64Pad;
    for (char c : {' ', '\t', '\r', '\n'}) V[static_cast<unsigned char>(c)] = B64Space;
  }
};
constexpr TBase64Table Base64Table;

// Decodes base64 text as it comes, into Out; white space is skipped, the
// padding may be left out.
class TBase64Decoder {
public:
  explicit TBase64Decoder(TByteDynArray& Out) : FOut(Out) {}

  void Put(char32_t c) {
    if (c > 0x7F) Bad();
    PutAscii(static_cast<unsigned char>(c));
  }
  void PutAscii(unsigned char c) {
    signed char v = Base64Table.V[c];
    if (v >= 0 && v < 64) {
      if (FPads) Bad();
      FAcc = (FAcc << 6) | static_cast<unsigned>(v);
      if (++FCount == 4) {
        FOut.push_back(static_cast<Byte>(FAcc >> 16));
        FOut.push_back(static_cast<Byte>(FAcc >> 8));
        FOut.push_back(static_cast<Byte>(FAcc));
        FCount = 0;
        FAcc = 0;
      }
    } else if (v == B64Pad) {
      if (FEnded || FCount < 2) Bad();
      if (FCount + ++FPads == 4) Flush();
    } else if (v != B64Space) {
      Bad();
    }
  }
  void Finish() {
    if (FEnded) return;
    if (FPads || FCount == 1) Bad();
    Flush();
  }
  TByteDynArray& Out() { return FOut; }

private:
  [[noreturn]] static void Bad() { throw ESOAPDomConvertError(msg::InvalidBase64); }
  void Flush() {
    if (FCount == 2) {
      FOut.push_back(static_cast<Byte>(FAcc >> 4));
    } else if (FCount == 3) {
      FOut.push_back(static_cast<Byte>(FAcc >> 10));
      FOut.push_back(static_cast<Byte>(FAcc >> 2));
    }
    FEnded = FCount != 0;
    FCount = 0;
  }

  TByteDynArray& FOut;
  unsigned FAcc = 0;
  int FCount = 0;
  int FPads = 0;
  bool FEnded = false;
};

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The bytes that stand for themselves in text: printable ASCII but the
// markup characters and the two that need a look at their neighbours.
struct TPlainTable {
  bool V[256];
  constexpr TPlainTable() : V{} {
    for (int c = 0x20; c < 0x80; ++c) V[c] = c != '<' && c != '&' && c != ']' && c != '>';
  }
};
constexpr TPlainTable PlainText;

// Length of the run of plain bytes at In.
std::size_t PlainRun(const char* In, const char* End) {
  const char* q = In;
#ifdef __SSE2__
  // Sixteen at a time: below 0x20 or above 0x7F (negative as signed) or markup.
  const __m128i low = _mm_set1_epi8(0x20), lt = _mm_set1_epi8('<'), amp = _mm_set1_epi8('&'),
                bracket = _mm_set1_epi8(']'), gt = _mm_set1_epi8('>');
  while (End - q >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    __m128i markup = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)),
                                  _mm_or_si128(_mm_cmpeq_epi8(v, bracket), _mm_cmpeq_epi8(v, gt)));
    int stop = _mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(v, low), markup));
    if (stop) return static_cast<std::size_t>(q - In) + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(stop)));
    q += 16;
  }
#endif
  while (q < End && PlainText.V[static_cast<unsigned char>(*q)]) ++q;
  return static_cast<std::size_t>(q - In);
}

// N ASCII bytes as UTF-16.
void Widen(char16_t* Out, const char* In, std::size_t N) {
  std::size_t i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= N; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(In + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i + 8), _mm_unpackhi_epi8(v, zero));
  }
#endif
  for (; i < N; ++i) Out[i] = static_cast<unsigned char>(In[i]);
}

// The longest reference a text may hold, "&#x10FFFF;" with room to spare.
constexpr std::size_t MaxReference = 12;

// UTF-16 units of UTF-8 bytes: every byte but the continuation bytes, and
// one more for a sequence of four.
qint64 Utf16Length(const char* In, const char* End) {
  qint64 n = 0;
  for (; In < End; ++In) {
    unsigned char c = static_cast<unsigned char>(*In);
    n += (c & 0xC0) != 0x80;
    n += c >= 0xF0;
  }
  return n;
}

// A text below this many characters grows as strings do; a longer one
// reserves its room from the reply's announced length once.
constexpr std::size_t ReserveFrom = 4096;

}  // namespace

// ------------------------------------------------------------ reply reader

struct TReplyReader::TImpl {
  QXmlStreamReader R;
  std::vector<std::string> ByteFields;
  bool ResultIsBytes = false;
  std::int64_t Expected = -1;  // announced length of the reply
  std::int64_t Consumed = 0;   // bytes fed before the current piece
  const char* PieceStart = nullptr;

  int Depth = 0;
  bool BodySeen = false, InBody = false, ResponseSeen = false, InResponse = false;
  bool ResultSeen = false, InResult = false, InField = false, Ended = false;
  TReplyResult Result;

  // A fault as the body's first element.
  bool Fault = false;
  QString FaultText, FaultCode, FaultActor;
  QString* FaultTarget = nullptr;
  int FaultTargetDepth = 0;
  bool InReason = false, InCode = false;

  // Where the text of the open result or field goes.
  WideString* Text = nullptr;
  TBase64Decoder* Bytes = nullptr;
  bool Reserved = false;  // the open text has reserved its room
  std::unique_ptr<TBase64Decoder> ResultBytes, FieldBytes;

  // Raw: the bytes that follow are that text, read here instead of by R.
  bool Raw = false;
  qint64 FedChars = 0;      // UTF-16 units given to R
  qint64 LastTokenEnd = 0;  // where R's last token ended, in those units
  std::string Carry;  // an entity or UTF-8 sequence cut at the end of a piece
  bool SkipLF = false;
  int Brackets = 0;
  long SkippedLines = 0;

  [[noreturn]] void Error(const AnsiString& What) {
    throw ESOAPDomConvertError(Format(msg::XmlReadError, {What, static_cast<Int64>(R.lineNumber() + SkippedLines),
                                                          static_cast<Int64>(R.columnNumber())}));
  }
  [[noreturn]] void ReaderError() { Error(Ansi(R.errorString())); }

  bool Collecting() const { return InResult; }

  void OpenText(WideString& Target) {
    Text = &Target;
    Bytes = nullptr;
    Reserved = false;
  }
  void OpenBytes(std::unique_ptr<TBase64Decoder>& Slot, TByteDynArray& Target) {
    Slot = std::make_unique<TBase64Decoder>(Target);
    Text = nullptr;
    Bytes = Slot.get();
    Reserved = false;
  }
  void OpenResultSink() {
    if (ResultIsBytes) {
      Result.IsBytes = true;
      OpenBytes(ResultBytes, Result.Bytes);
    } else {
      OpenText(Result.Text);
    }
  }

  // Bytes of the reply still to come after Pos of the current piece.
  std::size_t Remaining(const char* Pos) const {
    if (Expected < 0) return 0;
    std::int64_t left = Expected - Consumed - (Pos - PieceStart);
    return left > 0 ? static_cast<std::size_t>(left) : 0;
  }

  void ReserveText(std::size_t Need, const char* Pos) {
    if (Reserved || Text->size() + Need <= Text->capacity() || Text->size() + Need < ReserveFrom) return;
    Reserved = true;
    Text->reserve(Text->size() + std::max(Need, Remaining(Pos)));
  }
  void ReserveBytes(std::size_t Need, const char* Pos) {
    TByteDynArray& out = Bytes->Out();
    if (Reserved || out.size() + Need <= out.capacity() || out.size() + Need < ReserveFrom) return;
    Reserved = true;
    out.reserve(out.size() + std::max(Need, Remaining(Pos) / 4 * 3 + 3));
  }

  void AppendCode(char32_t c) {
    if (Text) {
      if (c >= 0x10000) {
        Text->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        Text->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        Text->push_back(static_cast<char16_t>(c));
      }
    } else if (Bytes) {
      Bytes->Put(c);
    }
  }
  void AppendView(QStringView s) {
    if (Text) {
      Text->append(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
    } else if (Bytes) {
      for (QChar c : s) Bytes->Put(c.unicode());
    }
  }

  // The character of the reference or entity Name (without & and ;).
  char32_t Reference(std::string_view Name) {
    if (Name == "lt") return '<';
    if (Name == "gt") return '>';
    if (Name == "amp") return '&';
    if (Name == "quot") return '"';
    if (Name == "apos") return '\'';
    if (Name.size() >= 2 && Name[0] == '#') {
      bool hex = Name[1] == 'x';
      std::size_t i = hex ? 2 : 1;
      char32_t v = 0;
      if (i == Name.size()) Error("Ung\xFC" "ltiger Zeichenverweis");
      for (; i < Name.size(); ++i) {
        char c = Name[i];
        int d = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) Error("Ung\xFC" "ltiger Zeichenverweis");
        v = v * (hex ? 16 : 10) + static_cast<char32_t>(d);
        if (v > 0x10FFFF) Error("Ung\xFC" "ltiger Zeichenverweis");
      }
      if (!IsXmlChar(v)) Error("Ung\xFC" "ltiger Zeichenverweis");
      return v;
    }
    Error(Format("Entit\xE4t '%s' ist nicht deklariert", {AnsiString(Name)}));
  }

  // Length of the UTF-8 sequence that Lead starts; 0 when it starts none.
  static int SequenceLength(unsigned char Lead) {
    if (Lead >= 0xC2 && Lead <= 0xDF) return 2;
    if (Lead >= 0xE0 && Lead <= 0xEF) return 3;
    if (Lead >= 0xF0 && Lead <= 0xF4) return 4;
    return 0;
  }
  char32_t DecodeUtf8(const unsigned char* s, int n) {
    char32_t c = s[0] & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
      if ((s[i] & 0xC0) != 0x80) Error("Ung\xFC" "ltiges UTF-8");
      c = (c << 6) | (s[i] & 0x3F);
    }
    static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || (c >= 0xD800 && c <= 0xDFFF) || !IsXmlChar(c)) Error("Ung\xFC" "ltiges Zeichen");
    return c;
  }

  // One unit that needs more than a plain byte: a reference or a UTF-8
  // sequence, whole in Unit.
  void Special(std::string_view Unit) {
    if (Unit[0] == '&') {
      AppendCode(Reference(Unit.substr(1, Unit.size() - 2)));
    } else {
      AppendCode(DecodeUtf8(reinterpret_cast<const unsigned char*>(Unit.data()), static_cast<int>(Unit.size())));
    }
  }
  // How many bytes the unit that Unit begins takes, 0 while that is not known.
  std::size_t UnitLength(std::string_view Unit) {
    if (Unit[0] == '&') {
      std::size_t semi = Unit.find(';');
      if (semi != std::string_view::npos) return semi + 1;
      if (Unit.size() > MaxReference) Error("Ung\xFC" "ltiger Verweis");
      return 0;
    }
    int n = SequenceLength(static_cast<unsigned char>(Unit[0]));
    if (n == 0) Error("Ung\xFC" "ltiges UTF-8");
    return Unit.size() >= static_cast<std::size_t>(n) ? static_cast<std::size_t>(n) : 0;
  }

  // Reads text from P on; returns where the markup that ends it begins, or End.
  const char* ScanText(const char* P, const char* End) {
    while (!Carry.empty() && P < End) {
      Carry += *P++;
      std::size_t n = UnitLength(Carry);
      if (n) {
        Special(Carry);
        Carry.clear();
      }
    }
    while (P < End) {
      unsigned char c = static_cast<unsigned char>(*P);
      if (PlainText.V[c]) {
        std::size_t n = PlainRun(P, End);
        const char* q = P + n;
        if (Text) {
          ReserveText(n, P);
          std::size_t old = Text->size();
          Text->resize(old + n);
          Widen(Text->data() + old, P, n);
        } else if (Bytes) {
          ReserveBytes(n, P);
          for (std::size_t i = 0; i < n; ++i) Bytes->PutAscii(static_cast<unsigned char>(P[i]));
        }
        SkipLF = false;
        Brackets = 0;
        P = q;
        continue;
      }
      if (c == '<') return P;
      bool lf = SkipLF;
      SkipLF = false;
      int brackets = Brackets;
      Brackets = 0;
      switch (c) {
        case '\r':
          AppendCode('\n');
          SkipLF = true;
          ++SkippedLines;
          ++P;
          continue;
        case '\n':
          if (!lf) {
            AppendCode('\n');
            ++SkippedLines;
          }
          ++P;
          continue;
        case '\t':
          AppendCode('\t');
          ++P;
          continue;
        case ']':
          Brackets = brackets + 1;
          AppendCode(']');
          ++P;
          continue;
        case '>':
          if (brackets >= 2) Error("']]>' im Text");
          AppendCode('>');
          ++P;
          continue;
        default:
          break;
      }
      if (c < 0x20) Error("Ung\xFC" "ltiges Zeichen");
      // A reference or a UTF-8 sequence, perhaps cut by the end of the piece.
      std::size_t left = static_cast<std::size_t>(End - P);
      if (c == '&') {
        const void* semi = std::memchr(P + 1, ';', std::min<std::size_t>(left - 1, MaxReference));
        if (semi) {
          const char* e = static_cast<const char*>(semi);
          AppendCode(Reference(std::string_view(P + 1, static_cast<std::size_t>(e - P - 1))));
          P = e + 1;
          continue;
        }
        if (left > MaxReference) Error("Ung\xFC" "ltiger Verweis");
      } else {
        std::size_t n = static_cast<std::size_t>(SequenceLength(c));
        if (n == 0) Error("Ung\xFC" "ltiges UTF-8");
        if (left >= n) {
          AppendCode(DecodeUtf8(reinterpret_cast<const unsigned char*>(P), static_cast<int>(n)));
          P += n;
          continue;
        }
      }
      Carry.assign(P, End);
      return End;
    }
    return End;
  }

  void CloseText() {
    if (!Carry.empty()) Error("Unvollst\xE4ndiger Text");
    SkipLF = false;
    Brackets = 0;
  }

  void StartElement() {
    if (++Depth > MaxReplyDepth) throw ESOAPDomConvertError(Format(msg::TooDeep, {MaxReplyDepth}));
    QStringView ns = R.namespaceUri(), n = R.name();
    if (Depth == 1) {
      if (n != QLatin1String("Envelope") || !IsEnvelopeNS(ns)) throw ESOAPDomConvertError(msg::NoEnvelope);
    } else if (Depth == 2) {
      if (!BodySeen && n == QLatin1String("Body") && IsEnvelopeNS(ns)) BodySeen = InBody = true;
    } else if (Depth == 3 && InBody && !ResponseSeen) {
      ResponseSeen = true;
      if (n == QLatin1String("Fault") && IsEnvelopeNS(ns)) {
        Fault = true;
      } else {
        InResponse = true;
        Result.ResponseName = Utf8(n);
      }
    } else if (Depth == 4 && InResponse) {
      if (ResultSeen) throw ESOAPDomConvertError(Format(msg::SeveralResults, {Result.ResponseName}));
      ResultSeen = InResult = true;
      Result.ResultName = Utf8(n);
      OpenResultSink();
    } else if (Depth == 5 && InResult) {
      Result.HasChildren = true;
      TReplyField& f = Result.Fields.emplace_back();
      f.Name = Utf8(n);
      f.Nil = IsNil(R);
      InField = true;
      f.IsBytes = std::find(ByteFields.begin(), ByteFields.end(), f.Name) != ByteFields.end();
      if (f.IsBytes)
        OpenBytes(FieldBytes, f.Bytes);
      else
        OpenText(f.Text);
    } else if (Depth == 6 && InField) {
      throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Ansi(n)}));
    } else if (Fault) {
      if (FaultTarget) throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Ansi(n)}));
      QString* target = nullptr;
      if (Depth == 4) {
        if (n == QLatin1String("faultstring")) target = &FaultText;
        else if (n == QLatin1String("faultcode")) target = &FaultCode;
        else if (n == QLatin1String("faultactor")) target = &FaultActor;
        InReason = n == QLatin1String("Reason");  // SOAP 1.2: Reason/Text and Code/Value
        InCode = n == QLatin1String("Code");
      } else if (Depth == 5 && InReason && n == QLatin1String("Text") && FaultText.isEmpty()) {
        target = &FaultText;
      } else if (Depth == 5 && InCode && n == QLatin1String("Value")) {
        target = &FaultCode;
      }
      if (target) {
        target->clear();
        FaultTarget = target;
        FaultTargetDepth = Depth;
      }
    }
  }

  void EndElement() {
    if (Depth == 5 && InField) {
      if (FieldBytes) FieldBytes->Finish();
      FieldBytes.reset();
      InField = false;
      Text = ResultBytes ? nullptr : &Result.Text;
      Bytes = ResultBytes.get();
      Reserved = false;
    } else if (Depth == 4 && InResult) {
      if (ResultBytes && !Result.HasChildren) ResultBytes->Finish();
      ResultBytes.reset();
      InResult = false;
      Text = nullptr;
      Bytes = nullptr;
    } else if (Depth == 3 && InResponse) {
      if (!ResultSeen) throw ESOAPDomConvertError(Format(msg::NoResult, {Result.ResponseName}));
      InResponse = false;
    } else if (Depth == 2 && InBody) {
      InBody = false;
      if (!ResponseSeen) throw ESOAPDomConvertError(msg::NoResponse);
    } else if (Depth == 1 && !BodySeen) {
      throw ESOAPDomConvertError(msg::NoBody);
    }
    if (Fault && FaultTarget && Depth == FaultTargetDepth) FaultTarget = nullptr;
    if (Fault && Depth == 4) InReason = InCode = false;
    --Depth;
  }

  // Reads the tokens that the data given so far holds; returns the last.
  QXmlStreamReader::TokenType Pump() {
    QXmlStreamReader::TokenType last = QXmlStreamReader::NoToken;
    for (;;) {
      auto t = R.readNext();
      switch (t) {
        case QXmlStreamReader::Invalid:
          if (R.error() == QXmlStreamReader::PrematureEndOfDocumentError) return last;
          ReaderError();
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
          throw ESOAPDomConvertError(msg::DtdRefused);
        case QXmlStreamReader::StartElement:
          StartElement();
          break;
        case QXmlStreamReader::EndElement:
          EndElement();
          break;
        case QXmlStreamReader::Characters:
          if (FaultTarget && Depth == FaultTargetDepth)
            *FaultTarget += R.text();
          else if (InResult && (Depth == 4 || Depth == 5))
            AppendView(R.text());
          break;
        case QXmlStreamReader::EndDocument:
          Ended = true;
          return t;
        default:
          break;
      }
      last = t;
      LastTokenEnd = R.characterOffset();
    }
  }

  void Feed(const char* Data, std::size_t Size) {
    PieceStart = Data;
    const char* p = Data;
    const char* end = Data + Size;
    while (p < end) {
      if (Raw) {
        p = ScanText(p, end);
        if (p < end) {
          Raw = false;
          CloseText();
        }
        continue;
      }
      if (Ended) {
        for (; p < end; ++p)
          if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') Error("Weitere Daten nach dem Dokument");
        break;
      }
      // Up to a '>' that text follows, so that the text can be read here
      // when it belongs to the result or a field; tags that follow one
      // another directly go to R together.
      const char* gt = static_cast<const char*>(std::memchr(p, '>', static_cast<std::size_t>(end - p)));
      while (gt && gt + 1 < end && gt[1] == '<') {
        const char* next = static_cast<const char*>(std::memchr(gt + 1, '>', static_cast<std::size_t>(end - gt - 1)));
        if (!next) break;
        gt = next;
      }
      const char* stop = gt ? gt + 1 : end;
      R.addData(QByteArray::fromRawData(p, static_cast<qsizetype>(stop - p)));
      FedChars += Utf16Length(p, stop);
      QXmlStreamReader::TokenType last = Pump();
      // The text is ours only when the last token ends at that '>' (it may
      // also stand inside a tag that R has not finished).
      bool tagEnded = LastTokenEnd == FedChars &&
                      (last == QXmlStreamReader::StartElement || last == QXmlStreamReader::EndElement ||
                       last == QXmlStreamReader::Comment || last == QXmlStreamReader::ProcessingInstruction ||
                       (last == QXmlStreamReader::Characters && R.isCDATA()));
      p = stop;
      if (gt && tagEnded && Collecting() && !Ended) Raw = true;
    }
    Consumed += static_cast<std::int64_t>(Size);
  }

  TReplyResult Finish() {
    if (!Ended) {
      if (!Raw && Carry.empty()) Pump();
      if (!Ended) Error(R.hasError() ? Ansi(R.errorString()) : AnsiString("Unerwartetes Ende des Dokuments"));
    }
    if (Fault) throw ERemotableException(Ansi(FaultText), Ansi(FaultCode), Ansi(FaultActor));
    return std::move(Result);
  }
};

TReplyReader::TReplyReader(std::vector<std::string> ByteFields, bool ResultIsBytes) : FImpl(std::make_unique<TImpl>()) {
  FImpl->ByteFields = std::move(ByteFields);
  FImpl->ResultIsBytes = ResultIsBytes;
}
TReplyReader::~TReplyReader() = default;

void TReplyReader::SetExpectedSize(std::int64_t Bytes) { FImpl->Expected = Bytes; }
void TReplyReader::Feed(const char* Data, std::size_t Size) { FImpl->Feed(Data, Size); }
TReplyResult TReplyReader::Finish() { return FImpl->Finish(); }

TReplyResult ParseReply(const std::string& Body, const std::vector<std::string>& ByteFields, bool ResultIsBytes) {
  constexpr std::size_t Piece = 64 * 1024;
  TReplyReader reader(ByteFields, ResultIsBytes);
  reader.SetExpectedSize(static_cast<std::int64_t>(Body.size()));
  for (std::size_t at = 0; at < Body.size(); at += Piece)
    reader.Feed(Body.data() + at, std::min(Piece, Body.size() - at));
  return reader.Finish();
}

TWsdlPortInfo ReadWsdlPort(const std::string& Wsdl, const std::string& Service,
                           const std::string& Port) {
  QXmlStreamReader r(QByteArray::fromRawData(Wsdl.data(), static_cast<qsizetype>(Wsdl.size())));
  const QString service = QString::fromUtf8(Service.data(), static_cast<qsizetype>(Service.size()));
  const QString port = QString::fromUtf8(Port.data(), static_cast<qsizetype>(Port.size()));
  const QLatin1String wsdlNS(WsdlNS), soapNS(WsdlSoapNS);

  TWsdlPortInfo info;
  std::string portBinding;
  std::map<std::string, std::map<std::string, std::string>> bindings;

  // Element path: 0 definitions, 1 service/binding, 2 port/operation, 3 address/soap operation.
  int depth = 0;
  bool inService = false, inPort = false, inBinding = false, inOperation = false;
  std::string binding, operation;
  bool root = false;
  for (;;) {
    auto t = Next(r);
    if (t == QXmlStreamReader::EndDocument) break;
    if (t == QXmlStreamReader::StartElement) {
      if (++depth > MaxReplyDepth) throw ESOAPDomConvertError(Format(msg::TooDeep, {MaxReplyDepth}));
      QStringView ns = r.namespaceUri(), n = r.name();
      const auto attrs = r.attributes();
      if (depth == 1) {
        if (n != QLatin1String("definitions") || ns != wsdlNS) throw ESOAPDomConvertError(msg::NoWsdl);
        root = true;
      } else if (depth == 2 && ns == wsdlNS && n == QLatin1String("service")) {
        inService = attrs.value(QLatin1String("name")) == service;
      } else if (depth == 2 && ns == wsdlNS && n == QLatin1String("binding")) {
        inBinding = true;
        binding = Utf8(attrs.value(QLatin1String("name")));
        bindings[binding];
      } else if (depth == 3 && inService && ns == wsdlNS && n == QLatin1String("port") &&
                 attrs.value(QLatin1String("name")) == port && !info.PortFound) {
        inPort = true;
        info.PortFound = true;
        QStringView b = attrs.value(QLatin1String("binding"));
        qsizetype colon = b.indexOf(QLatin1Char(':'));
        portBinding = Utf8(colon >= 0 ? b.mid(colon + 1) : b);
      } else if (depth == 4 && inPort && ns == soapNS && n == QLatin1String("address")) {
        info.Address = Utf8(attrs.value(QLatin1String("location")).trimmed());
      } else if (depth == 3 && inBinding && ns == wsdlNS && n == QLatin1String("operation")) {
        inOperation = true;
        operation = Utf8(attrs.value(QLatin1String("name")));
      } else if (depth == 4 && inOperation && ns == soapNS && n == QLatin1String("operation")) {
        bindings[binding][operation] = Utf8(attrs.value(QLatin1String("soapAction")));
      }
    } else if (t == QXmlStreamReader::EndElement) {
      if (depth == 2) inService = inBinding = false;
      if (depth == 3) inPort = inOperation = false;
      --depth;
    }
  }
  if (r.hasError()) RaiseXmlError(r);
  if (!root) throw ESOAPDomConvertError(msg::NoWsdl);
  if (info.PortFound) {
    auto it = bindings.find(portBinding);
    if (it != bindings.end()) info.Actions = it->second;
  }
  return info;
}

Integer ParseSoapInteger(const WideString& Text) {
  std::size_t b = 0, e = Text.size();
  auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  while (b < e && space(Text[b])) ++b;
  while (e > b && space(Text[e - 1])) --e;
  bool neg = false;
  std::size_t i = b;
  if (i < e && (Text[i] == u'+' || Text[i] == u'-')) neg = Text[i++] == u'-';
  bool ok = i < e;
  Int64 v = 0;
  for (; ok && i < e; ++i) {
    if (Text[i] < u'0' || Text[i] > u'9') {
      ok = false;
      break;
    }
    v = v * 10 + (Text[i] - u'0');
    if (v > Int64(std::numeric_limits<Integer>::max()) + 1) ok = false;
  }
  if (neg) v = -v;
  if (!ok || v > std::numeric_limits<Integer>::max() || v < std::numeric_limits<Integer>::min())
    throw ESOAPDomConvertError(Format(::platform::msg::InvalidInteger, {WideToAnsi(Text)}));
  return static_cast<Integer>(v);
}

TByteDynArray ParseBase64(const WideString& Text) {
  TByteDynArray out;
  out.reserve(Text.size() / 4 * 3 + 3);
  TBase64Decoder decoder(out);
  for (char16_t c : Text) decoder.Put(c);
  decoder.Finish();
  return out;
}

std::vector<std::string> ByteFieldsOf(const TRemotableClassInfo& Class) {
  std::vector<std::string> out;
  for (const auto& prop : Class.Props)
    if (prop.Kind == TSoapKind::ByteArray) out.push_back(prop.Name);
  return out;
}

void AssignFields(TReplyResult& Reply, const TRemotableClassInfo& Class, TRemotable& Object) {
  for (const auto& prop : Class.Props) {
    TReplyField* field = nullptr;
    for (auto& f : Reply.Fields)
      if (f.Name == prop.Name) field = &f;
    if (!field || field->Nil) {
      if (prop.Required) throw ESOAPDomConvertError(Format(msg::MissingElement, {prop.Name, Class.Name}));
      continue;
    }
    switch (prop.Kind) {
      case TSoapKind::Integer:
        prop.Set(Object, ParseSoapInteger(field->Text));
        break;
      case TSoapKind::WideString:
        prop.Set(Object, std::move(field->Text));
        break;
      case TSoapKind::ByteArray:
        prop.Set(Object, field->IsBytes ? std::move(field->Bytes) : ParseBase64(field->Text));
        break;
      case TSoapKind::Remotable:
        throw ESOAPDomConvertError(Format(msg::UnsupportedType, {prop.Name}));
    }
  }
}

}  // namespace platform::soap
