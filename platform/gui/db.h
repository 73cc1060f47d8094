// Data access of the class library, as far as the data grid needs it: an
// in-memory dataset with typed fields, the data source and the data link
// through which data-aware controls follow the dataset.
//
// TDataSet keeps its records in memory: fields are defined with AddField
// while the dataset is closed, records are added with AppendRecord (or
// Append, setting field values, Post).  The current record moves with
// First, Next, Prior, Last, MoveBy and RecNo (1-based); a move notifies the
// data sources, which tell their data links (DataSetScrolled), a change of
// data or structure calls DataSetChanged, opening and closing ActiveChanged.
//
// Field values are kept as text.  A field reads the current record, or,
// while a data link shows another record (TDataLink::SetActiveRecord), that
// one: so a grid draws every visible record without moving the dataset.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

class TDataSet;
class TDataSource;
class TDataLink;

class EDatabaseError : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "EDatabaseError"; }
};

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftDate,
  ftTime,
  ftDateTime
};
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TField : public TComponent {
  ZEL_CLASS(TField, TComponent)
public:
  explicit TField(TComponent* AOwner) : TComponent(AOwner) {}

  TDataSet* DataSet() const { return FDataSet; }
  const AnsiString& FieldName() const { return FFieldName; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  int Index() const { return FIndex; }
  // The column title: the field name unless set.
  AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& Value) { FDisplayLabel = Value; }
  // In characters: Size for text fields (at least the label), 10 otherwise, unless set.
  int DisplayWidth() const;
  void SetDisplayWidth(int Value) { FDisplayWidth = Value; }
  // Numbers right-justified, text left.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FAlignmentSet = true;
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  AnsiString AsString() const;
  void SetAsString(const AnsiString& Value);
  // 0 for a value that is no integer.
  int AsInteger() const;
  void SetAsInteger(int Value) { SetAsString(IntToStr(Value)); }
  double AsFloat() const;
  bool IsNull() const { return AsString().empty(); }
  void Clear() { SetAsString(AnsiString()); }
  AnsiString DisplayText() const { return AsString(); }

private:
  friend class TDataSet;
  TDataSet* FDataSet = nullptr;
  AnsiString FFieldName;
  TFieldType FDataType = ftUnknown;
  int FSize = 0;
  int FIndex = 0;
  AnsiString FDisplayLabel;
  int FDisplayWidth = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  bool FVisible = true;
};

class TDataSet : public TComponent {
  ZEL_CLASS(TDataSet, TComponent)
public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // Defines a field (dataset closed; EDatabaseError otherwise or for a
  // name already used).  The dataset owns it.
  TField* AddField(const AnsiString& Name, TFieldType DataType, int Size = 0);
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TField* Fields(int Index) const;
  TField* FindField(const AnsiString& Name) const;    // case ignored; nullptr when none
  TField* FieldByName(const AnsiString& Name) const;  // EDatabaseError when none

  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  TDataSetState State() const { return FState; }

  // A new record at the end, current and in dsInsert until Post or Cancel.
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Appends a record with these values (in field order) and posts it.
  void AppendRecord(std::initializer_list<AnsiString> Values);

  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return FRecords.empty(); }
  int RecordCount() const { return static_cast<int>(FRecords.size()); }
  // 1-based; 0 when there is no record.
  int RecNo() const { return FRecords.empty() ? 0 : FCurrent + 1; }
  void SetRecNo(int Value);

  // Notifications to the data sources are held while disabled.
  void DisableControls() { ++FDisableCount; }
  void EnableControls();

  // For fields and data links: the record whose values fields read.
  int ActiveRecordIndex() const { return FDisplay >= 0 ? FDisplay : FCurrent; }
  void SetDisplayRecord(int Index) { FDisplay = Index; }
  AnsiString Value(int FieldIndex) const;
  void SetValue(int FieldIndex, const AnsiString& Value);

private:
  friend class TDataSource;
  friend class TField;
  enum Event { evActive, evChanged, evScrolled, evRecord };
  void Notify(Event E, int Info = 0);
  void MoveTo(int Index);
  void CheckActive() const;
  std::vector<TField*> FFields;
  std::vector<std::vector<AnsiString>> FRecords;
  std::vector<AnsiString> FSavedRecord;  // Edit's copy for Cancel
  std::vector<TDataSource*> FDataSources;
  TDataSetState FState = dsInactive;
  int FCurrent = 0;
  int FBeforeInsert = 0;  // the current record before Append
  int FDisplay = -1;
  bool FBof = true;
  bool FEof = true;
  int FDisableCount = 0;
  bool FPendingChange = false;
};

// Connects data-aware controls (their data links) to a dataset.
class TDataSource : public TComponent {
  ZEL_CLASS(TDataSource, TComponent)
public:
  explicit TDataSource(TComponent* AOwner) : TComponent(AOwner) {}
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TDataSetState State() const { return FDataSet && FEnabled ? FDataSet->State() : dsInactive; }

  TNotifyEvent OnStateChange;
  std::function<void(TObject* Sender, TField* Field)> OnDataChange;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(int E, int Info);
  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  std::vector<TDataLink*> FDataLinks;
};

// A data-aware control's connection to a data source.
class TDataLink : public TPersistent {
  ZEL_CLASS(TDataLink, TPersistent)
public:
  TDataLink() = default;
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const;
  // The record fields read while drawing (0-based index into the dataset;
  // -1: the current record).
  void SetActiveRecord(int Index);
  int RecordCount() const;

protected:
  virtual void ActiveChanged() {}
  virtual void DataSetChanged() {}
  virtual void DataSetScrolled(int Distance) {
    (void)Distance;
    DataSetChanged();
  }
  virtual void RecordChanged(TField* Field) { (void)Field; }

private:
  friend class TDataSource;
  TDataSource* FDataSource = nullptr;
};
