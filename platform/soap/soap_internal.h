// What the sources of platform/soap share: the base64 decoder and the XML
// reader over expat that the reply reader and the service-description
// reader are built on, and the room a reply's long texts take.  Only .cpp
// files of platform/soap include this header.
#pragma once

#include <expat.h>

#include <cctype>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "platform/soap/opconvert.h"
#include "platform/soap/soapconst.h"

namespace platform::soap {

constexpr const char* XsiNS = "http://www.w3.org/2001/XMLSchema-instance";

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

// ------------------------------------------------------------ XML reading

// Replies and descriptions are read by expat as their bytes come: it reads
// every encoding XML allows (UTF-8 and UTF-16 with or without a byte-order
// mark, ISO-8859-1, US-ASCII, and windows-1252 through the code page table
// of our own), hands texts over in pieces and has been fuzzed for years.

// Between a namespace and a local name in the names expat reports; no XML
// character, so no name or namespace can hold it.
constexpr char NamespaceSeparator = '\x01';

struct TXmlName {
  std::string_view Namespace;
  std::string_view Local;
};

// The namespace and local name of a name as expat reports it.
TXmlName SplitName(const char* Name);

// The value of the attribute Name (namespace and local name as expat joins
// them) among Attributes, or null.
const char* Attribute(const char** Attributes, std::string_view Name);

// Encodings expat does not know itself: windows-1252, byte for character
// through the code page table.
int XMLCALL UnknownEncoding(void*, const XML_Char* Name, XML_Encoding* Info);

// What expat found wrong, in the runtime's words.
AnsiString XmlErrorText(XML_Error Code);

// One document through expat, namespace-aware: DTDs (and with them every
// entity declaration) are refused, elements nest at most MaxReplyDepth
// deep.  Derived readers take the elements and texts; an exception they
// raise stops expat and comes out of Feed or Finish.
class TXmlReader {
public:
  TXmlReader() : FParser(XML_ParserCreateNS(nullptr, NamespaceSeparator)) {
    if (!FParser) throw ESOAPDomConvertError(Format(msg::XmlReadError, {XmlErrorText(XML_ERROR_NO_MEMORY), 0, 0}));
    XML_SetUserData(FParser, this);
    XML_SetElementHandler(FParser, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(FParser, &OnText);
    XML_SetStartDoctypeDeclHandler(FParser, &OnDoctype);
    XML_SetEntityDeclHandler(FParser, &OnEntity);
    XML_SetUnknownEncodingHandler(FParser, &UnknownEncoding, nullptr);
    XML_SetParamEntityParsing(FParser, XML_PARAM_ENTITY_PARSING_NEVER);
  }
  virtual ~TXmlReader() { XML_ParserFree(FParser); }
  TXmlReader(const TXmlReader&) = delete;
  TXmlReader& operator=(const TXmlReader&) = delete;

  void Feed(const char* Data, std::size_t Size) {
    // A token that expat cannot finish yet (a long comment or tag) is read
    // again from its start with every piece.  Pieces are held back until
    // they are as long as that token, so that it is read again only as
    // often as it doubles, never once per piece.
    if (FHeld.empty() && Size >= FUnfinished) {
      Parse(Data, Size, false);
      return;
    }
    FHeld.append(Data, Size);
    if (FHeld.size() >= FUnfinished) {
      Parse(FHeld.data(), FHeld.size(), false);
      FHeld.clear();
      if (FHeld.capacity() > HeldRoom) FHeld.shrink_to_fit();
    }
  }
  // The document is complete.
  void Finish() {
    std::string held;
    held.swap(FHeld);
    Parse(held.data(), held.size(), true);
  }

protected:
  virtual void StartElement(const TXmlName& Name, const char** Attributes) = 0;
  virtual void EndElement() = 0;
  virtual void Text(const char*, std::size_t) {}

  int Depth() const { return FDepth; }
  // Where in the document the current text starts, in bytes.
  std::int64_t Position() const { return static_cast<std::int64_t>(XML_GetCurrentByteIndex(FParser)); }

private:
  // Held bytes above this much are given back once passed on.
  static constexpr std::size_t HeldRoom = 64 * 1024;

  void Parse(const char* Data, std::size_t Size, bool Final) {
    // expat takes its pieces' lengths as int.
    constexpr std::size_t Most = std::size_t(1) << 30;
    for (; Size > Most; Data += Most, Size -= Most) ParseSlice(Data, Most, false);
    ParseSlice(Data, Size, Final);
  }
  void ParseSlice(const char* Data, std::size_t Size, bool Final) {
    if (XML_Parse(FParser, Data, static_cast<int>(Size), Final) == XML_STATUS_ERROR) {
      if (FError) std::rethrow_exception(FError);
      Raise();
    }
    FPassed += static_cast<std::int64_t>(Size);
    std::int64_t at = Position();
    FUnfinished = at >= 0 && at < FPassed ? static_cast<std::size_t>(FPassed - at) : 0;
  }

  [[noreturn]] void Raise() {
    XML_Error code = XML_GetErrorCode(FParser);
    AnsiString what = XmlErrorText(code);
    if (code == XML_ERROR_UNDEFINED_ENTITY) {
      AnsiString name = EntityAtError();
      if (!name.empty()) what = Format("Entit\xE4t '%s' ist nicht deklariert", {name});
    }
    throw ESOAPDomConvertError(
        Format(msg::XmlReadError, {what, static_cast<Int64>(XML_GetCurrentLineNumber(FParser)),
                                   static_cast<Int64>(XML_GetCurrentColumnNumber(FParser)) + 1}));
  }

  // The name of the reference expat stopped at, for the message (ASCII
  // names only, in any encoding that writes ASCII as itself or with zero
  // bytes beside it).
  AnsiString EntityAtError() const {
    int offset = 0, size = 0;
    const char* context = XML_GetInputContext(FParser, &offset, &size);
    if (!context || offset < 0 || offset >= size) return {};
    AnsiString name;
    bool started = false;
    for (int i = offset; i < size && name.size() < 64; ++i) {
      char c = context[i];
      if (c == '\0') continue;
      if (!started) {
        if (c != '&') return {};
        started = true;
        continue;
      }
      if (c == ';') return name;
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.' && c != ':') return {};
      name += c;
    }
    return {};
  }

  // Runs a handler; its exception stops expat and is raised again by Parse.
  template <class F>
  static void Guard(void* Self, F&& Handler) {
    auto* self = static_cast<TXmlReader*>(Self);
    if (self->FError) return;
    try {
      Handler(*self);
    } catch (...) {
      self->FError = std::current_exception();
      XML_StopParser(self->FParser, XML_FALSE);
    }
  }
  static void XMLCALL OnStart(void* Self, const XML_Char* Name, const XML_Char** Attributes) {
    Guard(Self, [&](TXmlReader& r) {
      if (++r.FDepth > MaxReplyDepth) throw ESOAPDomConvertError(Format(msg::TooDeep, {MaxReplyDepth}));
      r.StartElement(SplitName(Name), Attributes);
    });
  }
  static void XMLCALL OnEnd(void* Self, const XML_Char*) {
    Guard(Self, [&](TXmlReader& r) {
      r.EndElement();
      --r.FDepth;
    });
  }
  static void XMLCALL OnText(void* Self, const XML_Char* Text, int Length) {
    Guard(Self, [&](TXmlReader& r) { r.Text(Text, static_cast<std::size_t>(Length)); });
  }
  static void XMLCALL OnDoctype(void* Self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    Guard(Self, [](TXmlReader&) -> void { throw ESOAPDomConvertError(msg::DtdRefused); });
  }
  static void XMLCALL OnEntity(void* Self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                               const XML_Char*, const XML_Char*, const XML_Char*) {
    Guard(Self, [](TXmlReader&) -> void { throw ESOAPDomConvertError(msg::DtdRefused); });
  }

  XML_Parser FParser;
  std::exception_ptr FError;
  int FDepth = 0;
  std::string FHeld;            // bytes held back from expat
  std::size_t FUnfinished = 0;  // bytes of a token expat could not finish yet
  std::int64_t FPassed = 0;     // bytes given to expat
};

// ------------------------------------------------------------ room for long texts

// Makes room in Out (a text or a byte array) for Need more elements.  The
// first one of a reply to outgrow ReserveFrom takes room for the rest of
// the reply as announced (Rest elements at most; -1: not announced), so that
// a large answer is written once into its place, never copied as it grows.
// That happens once per reply: every other one doubles its room as it
// grows, and Settle gives back what the one did not use.  So nothing beyond
// one reply's length is ever reserved, however many long texts it holds.
template <class TOut>
void MakeRoom(TOut& Out, std::size_t Need, std::int64_t Rest, bool& Reserved);

// A text or byte array that is complete keeps no more than twice its room.
template <class TOut>
void Settle(TOut& Out);

}  // namespace platform::soap
