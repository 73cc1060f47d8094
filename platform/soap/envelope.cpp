// The request envelope, written with Qt's XML stream writer.
#include "platform/soap/opconvert.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

#include "platform/soap/soap_internal.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

namespace {

constexpr const char* XsdNS = "http://www.w3.org/2001/XMLSchema";

QString ToQ(const WideString& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::string Utf8(QStringView s) {
  QByteArray b = s.toUtf8();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

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

}  // namespace

std::string BuildRequestEnvelope(const std::string& Namespace, const std::string& Operation,
                                 const std::vector<TRequestParam>& Params) {
  for (const auto& p : Params) {
    if (const auto* text = std::get_if<WideString>(&p.Value)) {
      long bad = InvalidXmlChar(*text);
      if (bad >= 0) throw ESOAPDomConvertError(Format(msg::InvalidXmlChar, {static_cast<Int64>(bad), p.Name}));
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

}  // namespace platform::soap
