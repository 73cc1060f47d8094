// The helpers of the XML reader over expat (TXmlReader itself is in
// soap_internal.h, where the readers derived from it see it): names and
// attributes as expat reports them, windows-1252, and expat's errors in the
// runtime's words.
#include "platform/soap/soap_internal.h"

#include <algorithm>

#include "platform/rtl/codepage.h"

namespace platform::soap {

TXmlName SplitName(const char* Name) {
  std::string_view all(Name);
  std::size_t sep = all.find(NamespaceSeparator);
  if (sep == std::string_view::npos) return {{}, all};
  return {all.substr(0, sep), all.substr(sep + 1)};
}

const char* Attribute(const char** Attributes, std::string_view Name) {
  for (const char** a = Attributes; *a; a += 2)
    if (Name == a[0]) return a[1];
  return nullptr;
}

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return AsciiLowerChar(x) == AsciiLowerChar(y); });
}

}  // namespace

int XMLCALL UnknownEncoding(void*, const XML_Char* Name, XML_Encoding* Info) {
  if (!SameAsciiText(Name, "windows-1252") && !SameAsciiText(Name, "cp1252")) return XML_STATUS_ERROR;
  for (int b = 0; b < 256; ++b) Info->map[b] = AnsiCharToWide(static_cast<unsigned char>(b));
  Info->data = nullptr;
  Info->convert = nullptr;
  Info->release = nullptr;
  return XML_STATUS_OK;
}

AnsiString XmlErrorText(XML_Error Code) {
  switch (Code) {
    case XML_ERROR_NO_MEMORY: return "Nicht genug Speicher";
    case XML_ERROR_SYNTAX: return "Syntaxfehler";
    case XML_ERROR_NO_ELEMENTS: return "Unerwartetes Ende des Dokuments";
    case XML_ERROR_INVALID_TOKEN:
      return "Ung\xFC"
             "ltiges Zeichen oder ung\xFC"
             "ltige Markierung";
    case XML_ERROR_UNCLOSED_TOKEN:
      return "Unvollst\xE4"
             "ndige Markierung";
    case XML_ERROR_PARTIAL_CHAR:
      return "Unvollst\xE4"
             "ndiges Zeichen";
    case XML_ERROR_TAG_MISMATCH: return "Das Ende-Tag passt nicht zum Start-Tag";
    case XML_ERROR_DUPLICATE_ATTRIBUTE: return "Doppeltes Attribut";
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT: return "Weitere Daten nach dem Dokument";
    case XML_ERROR_UNDEFINED_ENTITY: return "Entit\xE4t ist nicht deklariert";
    case XML_ERROR_BAD_CHAR_REF:
      return "Ung\xFC"
             "ltiger Zeichenverweis";
    case XML_ERROR_MISPLACED_XML_PI: return "XML-Deklaration nicht am Anfang des Dokuments";
    case XML_ERROR_UNKNOWN_ENCODING: return "Unbekannte Zeichenkodierung";
    case XML_ERROR_INCORRECT_ENCODING: return "Die Zeichenkodierung der XML-Deklaration passt nicht zum Dokument";
    case XML_ERROR_UNCLOSED_CDATA_SECTION: return "Nicht abgeschlossener CDATA-Abschnitt";
    case XML_ERROR_UNBOUND_PREFIX:
      return "Pr\xE4"
             "fix ohne Namensraum";
    case XML_ERROR_UNDECLARING_PREFIX:
      return "Ein Pr\xE4"
             "fix darf nicht aufgehoben werden";
    case XML_ERROR_XML_DECL: return "Fehlerhafte XML-Deklaration";
    case XML_ERROR_RESERVED_PREFIX_XML:
    case XML_ERROR_RESERVED_PREFIX_XMLNS:
    case XML_ERROR_RESERVED_NAMESPACE_URI:
      return "Reserviertes Pr\xE4"
             "fix oder reservierter Namensraum";
    case XML_ERROR_PARAM_ENTITY_REF:
    case XML_ERROR_RECURSIVE_ENTITY_REF:
    case XML_ERROR_ASYNC_ENTITY:
    case XML_ERROR_BINARY_ENTITY_REF:
    case XML_ERROR_ATTRIBUTE_EXTERNAL_ENTITY_REF:
    case XML_ERROR_EXTERNAL_ENTITY_HANDLING:
    case XML_ERROR_ENTITY_DECLARED_IN_PE:
    case XML_ERROR_INCOMPLETE_PE: return "Unerlaubter Entit\xE4tsverweis";
    default: break;
  }
  const XML_LChar* text = XML_ErrorString(Code);
  return text ? AnsiString(text) : Format("Fehler %d", {static_cast<Int64>(Code)});
}

}  // namespace platform::soap
