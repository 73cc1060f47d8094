// Message texts of the SOAP runtime (Windows-1252).
#pragma once

namespace platform::soap::msg {

// Transport: the platform's error text, the address and the action.
inline constexpr const char* TransportError = "%s - URL:%s - SOAPAction:%s";
// An HTTP status of 300 or above: status text, code, address.
inline constexpr const char* HttpStatusError = "%s (%d) - '%s'";
inline constexpr const char* NoEndpoint =
    "URL-Endpunkt f\xFC"
    "r Service/Port '%s'/'%s' kann nicht von WSDL '%s' gelesen werden";
inline constexpr const char* WrongContentType =
    "Ung\xFC"
    "ltiger Inhaltstyp der Antwort: '%s' - SOAP erwartet \"text/xml\"";
inline constexpr const char* ConnectTimedOut =
    "Zeit\xFC"
    "berschreitung beim Verbindungsaufbau (%d ms)";
inline constexpr const char* ReplyStalled =
    "Zeit\xFC"
    "berschreitung: %d ms ohne Daten vom Server";
inline constexpr const char* RequestTooLong =
    "Zeit\xFC"
    "berschreitung: Die Anfrage dauerte l\xE4"
    "nger als %d ms";
inline constexpr const char* ReplyTooLarge =
    "Die Antwort ist gr\xF6\xDF"
    "er als %d Bytes";
inline constexpr const char* ReplyHeadTooLong =
    "Der Kopf der Antwort ist l\xE4"
    "nger als %d Bytes";
inline constexpr const char* ReplyHeadLineTooLong =
    "Eine Zeile im Kopf der Antwort ist l\xE4"
    "nger als %d Bytes";
// What else ends a transfer, in the words of what happened; the HTTP
// library's own text follows in brackets.
inline constexpr const char* NoConnection = "Keine Verbindung zum Server %s an Port %d";
inline constexpr const char* HostUnknown =
    "Der Server %s ist nicht bekannt: sein Name l\xE4"
    "sst sich nicht aufl\xF6"
    "sen";
inline constexpr const char* ProxyUnknown =
    "Der Proxy-Server ist nicht bekannt: sein Name l\xE4"
    "sst sich nicht aufl\xF6"
    "sen";
inline constexpr const char* ProxyFailed =
    "Die Verbindung \xFC"
    "ber den Proxy-Server kam nicht zustande";
inline constexpr const char* ProtocolUnsupported =
    "Das Protokoll \"%s\" wird nicht unterst\xFC"
    "tzt, nur http und https";
inline constexpr const char* AddressInvalid =
    "Die Adresse ist ung\xFC"
    "ltig";
inline constexpr const char* NotHttp =
    "Der Server %s hat nicht mit g\xFC"
    "ltigem HTTP geantwortet";
inline constexpr const char* NoReply = "Der Server %s hat die Verbindung ohne Antwort geschlossen";
inline constexpr const char* ReplyCut = "Die Antwort des Servers %s brach vor ihrem Ende ab";
inline constexpr const char* SendFailed = "Fehler beim Senden an den Server %s an Port %d";
inline constexpr const char* ReceiveFailed = "Fehler beim Empfang vom Server %s an Port %d";
inline constexpr const char* CertificateUntrusted =
    "Das Zertifikat des Servers %s ist nicht vertrauensw\xFC"
    "rdig";
inline constexpr const char* TlsFailed = "Die TLS-Verbindung zum Server %s an Port %d kam nicht zustande";
inline constexpr const char* TrustStoreUnreadable =
    "Die vertrauensw\xFC"
    "rdigen Zertifikate lassen sich auf diesem Rechner nicht lesen";
inline constexpr const char* UnknownEncoding = "Die Antwort ist in einer unbekannten Kodierung verpackt";
inline constexpr const char* LoginRefused = "Der Server %s hat die Anmeldung abgewiesen";
inline constexpr const char* ProtocolFault = "Fehler im HTTP-Protokoll mit dem Server %s";
inline constexpr const char* OutOfMemory =
    "Nicht genug Arbeitsspeicher f\xFC"
    "r die Antwort";
inline constexpr const char* RequestNotSent =
    "Die Anfrage lie\xDF"
    " sich nicht senden";
inline constexpr const char* ReplyNotTaken =
    "Die Antwort lie\xDF"
    " sich nicht annehmen";
inline constexpr const char* Aborted = "Die Anfrage wurde abgebrochen";
inline constexpr const char* HttpLibraryFault = "Interner Fehler der HTTP-Bibliothek";
inline constexpr const char* TransferFailed =
    "Die \xDC"
    "bertragung schlug fehl, Fehler %d der HTTP-Bibliothek";

inline constexpr const char* XmlReadError = "XML-Fehler: %s (Zeile %d, Spalte %d)";
inline constexpr const char* DtdRefused =
    "Die Antwort enth\xE4"
    "lt eine DTD oder Entit\xE4"
    "ten; sie wird abgewiesen";
inline constexpr const char* TooDeep =
    "Die Antwort schachtelt Elemente in mehr als %d Ebenen; sie wird abgewiesen";
inline constexpr const char* NoEnvelope = "Die Antwort ist kein SOAP-Envelope";
inline constexpr const char* NoBody = "Die Antwort hat keinen SOAP-Body";
inline constexpr const char* NoResponse = "Der SOAP-Body der Antwort ist leer";
inline constexpr const char* NoResult =
    "Das Antwortelement '%s' enth\xE4"
    "lt kein Ergebnis";
inline constexpr const char* SeveralResults =
    "Das Antwortelement '%s' enth\xE4"
    "lt mehr als ein Element; das Ergebnis ist nicht eindeutig";
inline constexpr const char* MissingElement = "Element '%s' fehlt im Ergebnis vom Typ %s";
inline constexpr const char* UnexpectedElement = "Unerwartetes Element '%s' in einem einfachen Wert";
inline constexpr const char* InvalidBase64 =
    "Ung\xFC"
    "ltige Base64-Daten im Ergebnis";
inline constexpr const char* UnsupportedType =
    "Typ des Elements '%s' wird nicht unterst\xFC"
    "tzt";
inline constexpr const char* InvalidXmlChar =
    "Das Zeichen #$%.4x im Parameter '%s' kann nicht in XML \xFC"
    "bertragen werden";
inline constexpr const char* ControlInDescription =
    "Die WSDL '%s' gibt f\xFC"
    "r Service/Port '%s'/'%s' eine Adresse oder SOAPAction mit Steuerzeichen an; "
    "sie wird abgewiesen";
inline constexpr const char* NoWsdl = "Die Dienstbeschreibung ist kein WSDL-Dokument";

inline constexpr const char* IntfNotSupported =
    "Schnittstelle nicht unterst\xFC"
    "tzt";
inline constexpr const char* IntfNotRegistered = "Schnittstelle %s ist nicht registriert";
inline constexpr const char* ClassNotRegistered =
    "Klasse ist nicht f\xFC"
    "r SOAP registriert";
inline constexpr const char* NotDocumentStyle =
    "Schnittstelle %s: nur Document-Stil mit eingepackten Parametern wird unterst\xFC"
    "tzt";
inline constexpr const char* BadArguments = "Operation %s: Parameter passen nicht zur Beschreibung";

}  // namespace platform::soap::msg
