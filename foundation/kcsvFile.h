// The KCSV reader: the in-house typed CSV text in which the article service
// answers.  TKcsvFile reads a text or a file once and keeps, per table, the
// header and the start offsets of its rows; TKTable, TKField and TKValue read
// the fields of the current row from the source each time they are asked.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/klist.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

class TKcsvFile;
class TKTable;
class TKField;
struct TKRowTable;

// Progress of the scan: the current table's name, its rows so far, and
// whether the scan is done.
using TKcsvProgressEvent = std::function<void(const AnsiString& TableName, Integer RowCount, bool Done)>;
// Supplies a column's text for row RecNo instead of the source (Text is
// empty on entry).
using TKGetTextEvent = std::function<void(TKTable* Sender, Integer RecNo, AnsiString& Text)>;
// Delivers the bytes of a row: from Offset, at most Count bytes, never past
// the end of the source.  False when there are none.
using TKRowReader = std::function<bool(Integer Offset, Integer Count, const char*& Data, Integer& Length)>;

// The trace hook of the reader: empty at program start; CsvLog hands every
// trace line to it when it is set.
using TCsvLogProc = void (*)(const AnsiString& Line);
extern TCsvLogProc CsvLogProc;
void CsvLog(const AnsiString& Line);
// A hook that sends each trace line to the debug window.
void CsvLogToDebugWindow(const AnsiString& Line);

// ---------------------------------------------------------------- TKValue

class TKValue : public TObject {
  ZEL_CLASS(TKValue, TObject)
public:
  AnsiString Text;

  // Text as an integer; 0 when it is none.  Never raises.
  Integer AsInteger() const;
};

// ---------------------------------------------------------------- TKField

class TKField : public TObject {
  ZEL_CLASS(TKField, TObject)
public:
  explicit TKField(TKTable* ATable);
  ~TKField() override;

  TKTable* Table() const { return FTable; }
  Integer Column() const { return FColumn; }
  Integer FieldNo() const { return FFieldNo; }
  TKValue* Value() const { return FValue.get(); }
  const AnsiString& Name() const { return FName; }
  const AnsiString& TypeName() const { return FTypeName; }
  Byte TypeCode() const { return FTypeCode; }
  Integer Size() const { return FSize; }
  Integer Width() const { return FWidth; }

  // Sets TypeName, TypeCode, Size and Width from a type text.
  void SetFieldType(const AnsiString& AType);
  // The decimal value of all digits of S, other bytes skipped (32 bits).
  static Integer DigitsValue(const AnsiString& S);

  // Reads the current row's value into Value.
  void FetchValue();
  // The value read into Value (its text, valid until the next read).
  inline const AnsiString& AsString();
  // The same: the value has no bytes of 0x20 and below at its ends.
  const AnsiString& AsTrimmedString();
  Integer AsInteger();

  TKGetTextEvent OnGetText;

private:
  friend class TKTable;

  TKTable* FTable;
  Integer FColumn = -1;
  Integer FFieldNo = -1;
  std::unique_ptr<TKValue> FValue;
  AnsiString FName;
  AnsiString FTypeName;
  Byte FTypeCode = 0;
  Integer FSize = 0;
  Integer FWidth = 0;
};

// ---------------------------------------------------------------- TKTable

// One table.  Its rows are the start offsets of its rows in the source, as
// 32-bit values; a table of a reader keeps them in the reader's row table
// (kept from one source to the next, so a large answer does not have to
// find fresh memory for them each time), a table without owner in its own.
// The current row is split into its fields once; each field is then read
// from where it starts.
class TKTable : public TKList {
  ZEL_CLASS(TKTable, TKList)
public:
  TKTable(TKcsvFile* AOwner, const AnsiString& AName);
  ~TKTable() override;

  char DecimalChar() const { return FDecimalChar; }
  char Separator() const { return FSeparator; }
  char EscapeChar() const { return FEscapeChar; }
  TKcsvFile* Owner() const { return FOwner; }
  Integer LongestLine() const { return FLongestLine; }
  void SetLongestLine(Integer Value) {
    FLongestLine = Value;
    FSplitRow = -1;
  }
  const AnsiString& Name() const { return FName; }
  void SetName(const AnsiString& Value) { FName = Value; }
  const AnsiString& Mode() const { return FMode; }
  void SetMode(const AnsiString& Value) { FMode = Value; }

  Integer FieldCount() const { return FFieldCount; }
  // Column Index (0 .. FieldCount-1), unchecked.
  TKField* Fields(Integer Index) const { return FFields[static_cast<std::size_t>(Index)].get(); }

  Integer RecNo() const { return FRecNo; }
  void SetRecNo(Integer Value) { FRecNo = Value; }

  // Name and mode empty, rows and columns gone, RecNo 0.
  void Reset();
  void SetFieldCount(Integer N);
  TKField* AddField(const AnsiString& AName, const AnsiString& AType);

  // Number of rows.
  Integer Count() const { return FRowCount; }
  // Appends the start offset of a row (0 .. 2^31-1).
  void AddRow(Integer Offset) {
    const auto Row = static_cast<std::uint32_t>(Offset);
    AddRows(&Row, 1);
  }
  // EListError when Row is no row.
  Integer RowOffset(Integer Row) const;
  void SetRowReader(TKRowReader Reader) {
    FRowReader = std::move(Reader);
    FSourceBytes = nullptr;
    FSourceSize = 0;
    FSplitRow = -1;
  }

  // Fetches row RecNo; EListError when RecNo is no row.  Data is nullptr
  // when the source delivers nothing.
  void ReadRow(const char*& Data, Integer& Length);
  // The raw text of field N of the current row.
  AnsiString GetFieldText(Integer N);
  // The same into Out.
  void ReadFieldText(Integer N, std::string& Out);
  // The text of field N with the bytes of 0x20 and below removed at both
  // ends, into Out.
  void ReadFieldValue(Integer N, std::string& Out);

  // Readers ask for the same names in the same order row after row: the
  // name expected next is tried first.
  TKField* FieldByName(const AnsiString& AName) {
    if (const TNameAsked* Asked = FExpectedName; Asked && Asked->Name == AName) {
      FExpectedName = Asked->Next;
      return Asked->Field;
    }
    return FindName(AName);
  }
  Integer FieldIndex(const AnsiString& AName);

  bool Eof() const { return FRecNo >= Count(); }
  bool First();
  bool Next();

private:
  // The reader hands its tables their row table, rows and source bytes;
  // a column reads a plain value at once.
  friend class TKcsvFile;
  friend class TKField;
  // The list's own items are not the rows.
  using TKList::Add;
  using TKList::Get;
  // The rows and the names asked of FieldByName (kcsvFile_internal.h).
  // The split of the current row and the name expected next are kept
  // below, where the inline quick paths of AsString and FieldByName read
  // them.
  struct TImpl;

  // A field of the current row: where it starts in the row's bytes and,
  // for a field without escapes, backslashes or control bytes, where it
  // ends (else -1) and where its value (the bytes without those of 0x20
  // and below at both ends) starts and ends.
  struct TFieldSpan {
    Integer Start;
    Integer PlainEnd;
    Integer ValueFrom;
    Integer ValueTo;
  };

  // A table without rows appends them to Rows from now on.
  void UseRowTable(TKRowTable* Rows);
  // Appends the start offsets of Count rows.
  void AddRows(const std::uint32_t* Offsets, std::size_t Count);
  // Rows read straight from Size bytes at Bytes (which must stay there), as
  // the row reader of a source in memory delivers them.
  void SetSourceBytes(const char* Bytes, Integer Size) {
    FSourceBytes = Bytes;
    FSourceSize = Size;
    FSplitRow = -1;
  }
  // The value of field N of the current row when the row is split already
  // (straight from a source in memory) and the field is plain: its bytes.
  bool PlainValue(Integer N, const char*& Value, std::size_t& Size) const {
    if (FSplitRow != FRecNo || !FSourceBytes || static_cast<std::size_t>(N) >= FFieldSpans.size()) return false;
    const TFieldSpan& F = FFieldSpans[static_cast<std::size_t>(N)];
    if (F.PlainEnd < 0) return false;
    Value = FSplitData + F.ValueFrom;
    Size = static_cast<std::size_t>(F.ValueTo - F.ValueFrom);
    return true;
  }
  void OwnRows();
  TKField* FindName(const AnsiString& AName);
  void ForgetNamesAsked();
  void SplitRow(const char* Data, Integer Length);
  bool SplitPlainRow(const char* Data, Integer Length);
  // Fetches the current row into Data and Length and gives its field N;
  // nullptr when the row has no such field.
  const TFieldSpan* CurrentField(Integer N, const char*& Data, Integer& Length);

  char FDecimalChar;
  char FSeparator = '^';
  char FEscapeChar = '\0';
  TKcsvFile* FOwner = nullptr;
  Integer FLongestLine = 0;
  AnsiString FName;
  AnsiString FMode;
  Integer FFieldCount = 0;
  std::vector<std::unique_ptr<TKField>> FFields;
  Integer FRecNo = 0;
  std::unique_ptr<TStringList> FNameIndex;
  TKRowReader FRowReader;
  const char* FSourceBytes = nullptr;
  Integer FSourceSize = 0;
  Integer FRowCount = 0;
  std::unique_ptr<TImpl> FImpl;
  // The split of the current row: the row (its number, offset, bytes) and
  // its fields.
  Integer FSplitRow = -1;
  Integer FSplitOffset = -1;
  const char* FSplitData = nullptr;
  Integer FSplitLength = 0;
  std::vector<TFieldSpan> FFieldSpans;
  // A name asked of FieldByName as it was spelled, with the column it gave
  // (none: nullptr) and the name asked after it (after the last: the
  // first), as FImpl keeps them; and the name expected to be asked next.
  struct TNameAsked {
    AnsiString Name;
    TKField* Field;
    const TNameAsked* Next;
  };
  const TNameAsked* FExpectedName = nullptr;
};

inline const AnsiString& TKField::AsString() {
  // A plain field of the row split already is taken at once.
  const char* Bytes;
  std::size_t Size;
  if (!OnGetText && FTable->PlainValue(FColumn, Bytes, Size)) {
    AnsiString& Text = FValue->Text;
    Text.clear();
    Text.append(Bytes, Size);
  } else {
    FetchValue();
  }
  return FValue->Text;
}

// ---------------------------------------------------------------- TKcsvFile

class TKcsvFile : public TObject {
  ZEL_CLASS(TKcsvFile, TObject)
public:
  TKcsvFile();
  ~TKcsvFile() override;

  // Frees every table and empties Tables and Comments.
  virtual void Clear();
  // Opens a file and scans it.  Mode "m" (also "" and "x..."): mapped;
  // "f": file stream; "v": copied into memory.  Returns success; modes "f"
  // and "v" raise EFOpenError for a file that cannot be opened.
  virtual bool Open(const AnsiString& AFileName, const AnsiString& AMode);
  // A new reader with the file open, or nullptr when Open fails.
  static std::unique_ptr<TKcsvFile> OpenFile(const AnsiString& AFileName, const AnsiString& AMode,
                                             TKcsvProgressEvent AProgress = nullptr);
  // Releases the present source and its tables.
  virtual void Close();
  // Reads a text from memory (a copy of it is kept) and scans it.  A text
  // of more than 2^31-1 bytes raises EReadError and leaves the reader
  // closed.  Files of that size do not open.
  void OpenText(const AnsiString& AText);
  // The same, taking the text over instead of copying it.
  void OpenText(AnsiString&& AText);
  // Reads a wide text (as the service answers), converted to the ANSI code
  // page into a buffer of the reader's own.  The buffer is kept for the
  // next wide text, unless that needs far less, so a large answer is
  // converted into memory at hand instead of fresh pages; Close gives it
  // back.  A text of more than 2^31-1 characters raises EReadError.
  void OpenText(const WideString& AText);
  // The scan; does nothing once the source is scanned.
  void CheckData();

  TKTable* TableByName(const AnsiString& AName);
  Integer IndexOfTable(const AnsiString& AName) const;
  TKTable* SelectTable(Integer Index);
  // Takes ownership, makes it current and hands it the row reader.
  void AddTable(TKTable* ATable);
  bool ReadRowAt(Integer Offset, Integer Count, const char*& Data, Integer& Length);

  bool Active() const { return FActive; }
  const AnsiString& FileName() const { return FFileName; }
  Integer Size() const { return FSize; }
  Integer FileDate() const { return FFileDate; }
  TStringList* Comments() const { return FComments.get(); }
  Integer LineCount() const { return FLineCount; }
  char DecimalChar() const { return FDecimalChar; }
  char Separator() const { return FSeparator; }
  char EscapeChar() const { return FEscapeChar; }
  const AnsiString& CharDirective() const { return FCharDirective; }
  Integer TableCount() const { return static_cast<Integer>(FTables.size()); }
  // Table Index (0 .. TableCount-1), unchecked.
  TKTable* Tables(Integer Index) const { return FTables[static_cast<std::size_t>(Index)].get(); }
  TKTable* CurrentTable() const { return FCurrentTable; }
  bool Scanned() const { return FScanned; }

  TKcsvProgressEvent OnProgress;

private:
  enum class TSource { None, Mapped, FileStream, Memory };
  // A source of more bytes than a 32-bit signed offset reaches is not read.
  static bool FitsOffsets(Int64 Bytes) { return Bytes >= 0 && Bytes <= 0x7FFFFFFF; }
  // The line scan and the line it is reading (kcsvFile_internal.h).
  class TScan;
  struct TScanLine;

  // What the scan finds: data rows of the current table (their offsets,
  // the longest measured length among them); any other line, and a line
  // that the end of the source ends.
  void AddRows(const std::uint32_t* Offsets, std::size_t Count, std::size_t Longest);
  void EndLine(TScanLine& L);
  void HeaderLine(const AnsiString& Text);
  void ReleaseMapping();
  void ReleaseOwnText();
  void ReserveRows();
  // Sources from this size on have the row table reserved before the scan.
  static constexpr Integer ReserveRowsFrom = 16 << 20;
  [[noreturn]] void RefuseText(std::size_t Bytes);

  bool FActive = false;
  AnsiString FFileName;
  Integer FSize = 0;
  const char* FView = nullptr;  // mode "m": the mapped file
  int FFileHandle = -1;
  void* FMapHandle = nullptr;
  std::unique_ptr<std::string> FMemory;
  // The buffer of converted wide texts, its size, and whether the source
  // about to be closed keeps it.
  char* FOwnText = nullptr;
  std::size_t FOwnTextCapacity = 0;
  bool FKeepOwnText = false;
  const char* FMemoryBytes = nullptr;  // the bytes of a source in memory
  std::unique_ptr<TFileStream> FFileStream;
  std::vector<char> FBuffer;  // chunk buffer of the "f" scan, then row buffer
  Integer FFileDate = 0;
  std::unique_ptr<TStringList> FComments;
  Integer FLineCount = 0;
  char FDecimalChar;
  char FSeparator = '^';
  char FEscapeChar = '\0';
  AnsiString FCharDirective;
  TSource FSource = TSource::None;
  // The rows of every table, in text order; emptied but not freed by Clear.
  std::unique_ptr<TKRowTable> FRows;
  std::vector<std::unique_ptr<TKTable>> FTables;
  TKTable* FCurrentTable = nullptr;
  bool FScanned = false;
};
