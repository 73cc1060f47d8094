// SOAP 1.1 envelopes and service descriptions over Qt's XML streams.
#include "platform/soap/opconvert.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <limits>

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

// The text of the current element, which must hold no elements.
WideString ElementText(QXmlStreamReader& r) {
  QString text;
  for (;;) {
    auto t = Next(r);
    if (t == QXmlStreamReader::Characters) {
      text += r.text();
    } else if (t == QXmlStreamReader::EndElement) {
      return FromQ(text);
    } else if (t == QXmlStreamReader::StartElement) {
      throw ESOAPDomConvertError(Format(msg::UnexpectedElement, {Ansi(r.name())}));
    } else if (t == QXmlStreamReader::EndDocument) {
      RaiseXmlError(r);
    }
  }
}

// Skips the current element with everything inside it.
void Skip(QXmlStreamReader& r) {
  int depth = 1;
  while (depth > 0) {
    auto t = Next(r);
    if (t == QXmlStreamReader::StartElement) ++depth;
    else if (t == QXmlStreamReader::EndElement) --depth;
    else if (t == QXmlStreamReader::EndDocument) RaiseXmlError(r);
  }
}

// Moves to the next child element of the current one; false at its end.
bool NextChild(QXmlStreamReader& r) {
  for (;;) {
    auto t = Next(r);
    if (t == QXmlStreamReader::StartElement) return true;
    if (t == QXmlStreamReader::EndElement) return false;
    if (t == QXmlStreamReader::EndDocument) RaiseXmlError(r);
  }
}

bool IsEnvelopeNS(QStringView ns) { return ns == QLatin1String(SoapEnvelopeNS) || ns == QLatin1String(Soap12EnvelopeNS); }

// Reads to the end of the document so that junk after the envelope shows.
void ReadToEnd(QXmlStreamReader& r) {
  while (!r.atEnd()) {
    auto t = Next(r);
    if (t == QXmlStreamReader::EndDocument) break;
  }
  if (r.hasError()) RaiseXmlError(r);
}

[[noreturn]] void ReadFault(QXmlStreamReader& r) {
  QString code, text, actor;
  while (NextChild(r)) {
    QStringView n = r.name();
    if (n == QLatin1String("faultstring")) {
      text = ToQ(ElementText(r));
    } else if (n == QLatin1String("faultcode")) {
      code = ToQ(ElementText(r));
    } else if (n == QLatin1String("faultactor")) {
      actor = ToQ(ElementText(r));
    } else if (n == QLatin1String("Reason") || n == QLatin1String("Code")) {
      // SOAP 1.2: Reason/Text and Code/Value.
      bool reason = n == QLatin1String("Reason");
      while (NextChild(r)) {
        if (reason && r.name() == QLatin1String("Text") && text.isEmpty()) text = ToQ(ElementText(r));
        else if (!reason && r.name() == QLatin1String("Value")) code = ToQ(ElementText(r));
        else Skip(r);
      }
    } else {
      Skip(r);
    }
  }
  ReadToEnd(r);
  throw ERemotableException(Ansi(text), Ansi(code), Ansi(actor));
}

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

TReplyResult ParseReply(const std::string& Body) {
  QXmlStreamReader r(QByteArray::fromRawData(Body.data(), static_cast<qsizetype>(Body.size())));
  // The root: the envelope.
  for (;;) {
    auto t = Next(r);
    if (t == QXmlStreamReader::StartElement) break;
    if (t == QXmlStreamReader::EndDocument) {
      if (r.hasError()) RaiseXmlError(r);
      throw ESOAPDomConvertError(msg::NoEnvelope);
    }
  }
  if (r.name() != QLatin1String("Envelope") || !IsEnvelopeNS(r.namespaceUri()))
    throw ESOAPDomConvertError(msg::NoEnvelope);

  // The body, after an optional header.
  bool body = false;
  while (NextChild(r)) {
    if (r.name() == QLatin1String("Body") && IsEnvelopeNS(r.namespaceUri())) {
      body = true;
      break;
    }
    Skip(r);
  }
  if (!body) throw ESOAPDomConvertError(msg::NoBody);

  if (!NextChild(r)) throw ESOAPDomConvertError(msg::NoResponse);
  if (r.name() == QLatin1String("Fault") && IsEnvelopeNS(r.namespaceUri())) ReadFault(r);

  TReplyResult result;
  result.ResponseName = Utf8(r.name());
  if (!NextChild(r)) throw ESOAPDomConvertError(Format(msg::NoResult, {result.ResponseName}));
  result.ResultName = Utf8(r.name());

  QString text;
  for (;;) {
    auto t = Next(r);
    if (t == QXmlStreamReader::Characters) {
      text += r.text();
    } else if (t == QXmlStreamReader::StartElement) {
      result.HasChildren = true;
      TReplyField f;
      f.Name = Utf8(r.name());
      f.Nil = IsNil(r);
      f.Text = ElementText(r);
      result.Fields.push_back(std::move(f));
    } else if (t == QXmlStreamReader::EndElement) {
      break;
    } else if (t == QXmlStreamReader::EndDocument) {
      RaiseXmlError(r);
    }
  }
  result.Text = FromQ(text);

  // Nothing else may stand in the response element.
  if (NextChild(r)) throw ESOAPDomConvertError(Format(msg::SeveralResults, {result.ResponseName}));
  ReadToEnd(r);
  return result;
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
      ++depth;
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
  QByteArray ascii;
  ascii.reserve(static_cast<qsizetype>(Text.size()));
  for (char16_t c : Text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') continue;
    if (c > 0x7F) throw ESOAPDomConvertError(msg::InvalidBase64);
    ascii.append(static_cast<char>(c));
  }
  auto decoded = QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded) throw ESOAPDomConvertError(msg::InvalidBase64);
  const QByteArray& d = *decoded;
  return TByteDynArray(reinterpret_cast<const Byte*>(d.constData()),
                       reinterpret_cast<const Byte*>(d.constData()) + d.size());
}

void AssignFields(const TReplyResult& Reply, const TRemotableClassInfo& Class, TRemotable& Object) {
  for (const auto& prop : Class.Props) {
    const TReplyField* field = nullptr;
    for (const auto& f : Reply.Fields)
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
        prop.Set(Object, field->Text);
        break;
      case TSoapKind::ByteArray:
        prop.Set(Object, ParseBase64(field->Text));
        break;
      case TSoapKind::Remotable:
        throw ESOAPDomConvertError(Format(msg::UnsupportedType, {prop.Name}));
    }
  }
}

}  // namespace platform::soap
