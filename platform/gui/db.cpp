// Data access: the in-memory dataset, data sources and data links (see db.h).
#include "platform/gui/db.h"

#include <algorithm>

#include "platform/gui/streaming.h"

namespace {

bool SameName(const AnsiString& A, const AnsiString& B) {
  return A.size() == B.size() && AnsiCompareText(A, B) == 0;
}

}  // namespace

// ---------------------------------------------------------------- TField

int TField::DisplayWidth() const {
  if (FDisplayWidth > 0) return FDisplayWidth;
  if (FDataType == ftString) return std::max<int>(FSize, static_cast<int>(DisplayLabel().size()));
  return 10;
}

TAlignment TField::Alignment() const {
  if (FAlignmentSet) return FAlignment;
  switch (FDataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency: return taRightJustify;
    default: return taLeftJustify;
  }
}

void TField::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (FDataSet) FDataSet->Notify(TDataSet::evChanged);
}

AnsiString TField::AsString() const { return FDataSet ? FDataSet->Value(FIndex) : AnsiString(); }

void TField::SetAsString(const AnsiString& Value) {
  if (FDataSet) FDataSet->SetValue(FIndex, Value);
}

int TField::AsInteger() const {
  int v = 0;
  return TryStrToInt(AsString(), v) ? v : 0;
}

double TField::AsFloat() const {
  double v = 0;
  return TryStrToFloat(AsString(), v) ? v : 0.0;
}

// ---------------------------------------------------------------- TDataSet

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  for (TDataSource* s : std::vector<TDataSource*>(FDataSources)) s->SetDataSet(nullptr);
  for (TField* f : FFields) delete f;
}

TField* TDataSet::AddField(const AnsiString& Name, TFieldType DataType, int Size) {
  if (Active())
    throw EDatabaseError(
        "Operation bei einer ge\xF6"
        "ffneten Datenmenge nicht zul\xE4ssig");
  if (FindField(Name)) throw EDatabaseError(Format("Doppelter Feldname '%s'", {Name}));
  auto* f = new TField(nullptr);
  f->FDataSet = this;
  f->FFieldName = Name;
  f->FDataType = DataType;
  f->FSize = Size;
  f->FIndex = static_cast<int>(FFields.size());
  FFields.push_back(f);
  for (auto& r : FRecords) r.resize(FFields.size());
  return f;
}

TField* TDataSet::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount()) TList::Error(platform::msg::ListIndexError, Index);
  return FFields[static_cast<size_t>(Index)];
}

TField* TDataSet::FindField(const AnsiString& Name) const {
  for (TField* f : FFields)
    if (SameName(f->FieldName(), Name)) return f;
  return nullptr;
}

TField* TDataSet::FieldByName(const AnsiString& Name) const {
  TField* f = FindField(Name);
  if (!f) throw EDatabaseError(Format("Feld '%s' nicht gefunden", {Name}));
  return f;
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError("Operation bei einer geschlossenen Datenmenge nicht zul\xE4ssig");
}

void TDataSet::SetActive(bool Value) {
  if (Value == Active()) return;
  if (Value) {
    FState = dsBrowse;
    FCurrent = 0;
    FBof = true;
    FEof = FRecords.empty();
  } else {
    if (FState == dsInsert || FState == dsEdit) Cancel();
    FState = dsInactive;
  }
  Notify(evActive);
}

AnsiString TDataSet::Value(int FieldIndex) const {
  const int r = ActiveRecordIndex();
  if (!Active() || r < 0 || r >= RecordCount()) return AnsiString();
  const auto& rec = FRecords[static_cast<size_t>(r)];
  if (FieldIndex < 0 || FieldIndex >= static_cast<int>(rec.size())) return AnsiString();
  return rec[static_cast<size_t>(FieldIndex)];
}

void TDataSet::SetValue(int FieldIndex, const AnsiString& Value) {
  CheckActive();
  if (FState == dsBrowse) Edit();
  if (FRecords.empty() || FieldIndex < 0 || FieldIndex >= FieldCount()) return;
  FRecords[static_cast<size_t>(FCurrent)][static_cast<size_t>(FieldIndex)] = Value;
  Notify(evRecord, FieldIndex);
}

void TDataSet::Append() {
  CheckActive();
  if (FState != dsBrowse) Post();
  FBeforeInsert = FCurrent;
  FRecords.emplace_back(FFields.size());
  FCurrent = RecordCount() - 1;
  FState = dsInsert;
  FBof = false;
  FEof = true;
  Notify(evChanged);
}

void TDataSet::Edit() {
  CheckActive();
  if (FState != dsBrowse) return;
  if (FRecords.empty()) {
    Append();
    return;
  }
  FSavedRecord = FRecords[static_cast<size_t>(FCurrent)];
  FState = dsEdit;
}

void TDataSet::Post() {
  CheckActive();
  if (FState == dsBrowse) return;
  FState = dsBrowse;
  Notify(evChanged);
}

void TDataSet::Cancel() {
  if (FState == dsInsert) {
    FRecords.erase(FRecords.begin() + FCurrent);
    FState = dsBrowse;
    FCurrent = std::clamp(FBeforeInsert, 0, std::max(0, RecordCount() - 1));
    FEof = FRecords.empty();
    Notify(evChanged);
  } else if (FState == dsEdit) {
    FRecords[static_cast<size_t>(FCurrent)] = FSavedRecord;
    FState = dsBrowse;
    Notify(evChanged);
  }
}

void TDataSet::Delete() {
  CheckActive();
  if (FRecords.empty()) return;
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  FState = dsBrowse;
  FRecords.erase(FRecords.begin() + FCurrent);
  if (FCurrent >= RecordCount()) FCurrent = std::max(0, RecordCount() - 1);
  FEof = FRecords.empty();
  Notify(evChanged);
}

void TDataSet::AppendRecord(std::initializer_list<AnsiString> Values) {
  Append();
  int i = 0;
  for (const AnsiString& v : Values) {
    if (i >= FieldCount()) break;
    FRecords[static_cast<size_t>(FCurrent)][static_cast<size_t>(i++)] = v;
  }
  Post();
}

void TDataSet::MoveTo(int Index) {
  CheckActive();
  if (FState != dsBrowse) Post();
  const int old = FCurrent;
  FBof = FEof = false;
  if (FRecords.empty()) {
    FBof = FEof = true;
    return;
  }
  if (Index < 0) {
    Index = 0;
    FBof = true;
  }
  if (Index >= RecordCount()) {
    Index = RecordCount() - 1;
    FEof = true;
  }
  FCurrent = Index;
  if (FCurrent != old) Notify(evScrolled, FCurrent - old);
}

void TDataSet::First() {
  MoveTo(0);
  FBof = true;
}
void TDataSet::Last() {
  MoveTo(RecordCount() - 1);
  FEof = true;
}
void TDataSet::Next() { MoveTo(FCurrent + 1); }
void TDataSet::Prior() { MoveTo(FCurrent - 1); }

int TDataSet::MoveBy(int Distance) {
  const int old = FCurrent;
  MoveTo(FCurrent + Distance);
  return FCurrent - old;
}

void TDataSet::SetRecNo(int Value) { MoveTo(Value - 1); }

void TDataSet::EnableControls() {
  if (FDisableCount > 0 && --FDisableCount == 0 && FPendingChange) {
    FPendingChange = false;
    Notify(evChanged);
  }
}

void TDataSet::Notify(Event E, int Info) {
  if (FDisableCount > 0) {
    FPendingChange = true;
    return;
  }
  for (TDataSource* s : std::vector<TDataSource*>(FDataSources)) s->DataEvent(E, Info);
}

// ---------------------------------------------------------------- TDataSource

TDataSource::~TDataSource() {
  for (TDataLink* l : std::vector<TDataLink*>(FDataLinks)) l->SetDataSource(nullptr);
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    auto& v = FDataSet->FDataSources;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = Value;
  if (FDataSet) {
    FDataSet->FDataSources.push_back(this);
    FDataSet->FreeNotification(this);
  }
  DataEvent(TDataSet::evActive, 0);
}

void TDataSource::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  DataEvent(TDataSet::evActive, 0);
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) {
    auto& v = FDataSet->FDataSources;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    FDataSet = nullptr;
    DataEvent(TDataSet::evActive, 0);
  }
}

void TDataSource::DataEvent(int E, int Info) {
  if (E == TDataSet::evActive && OnStateChange) OnStateChange(this);
  for (TDataLink* l : std::vector<TDataLink*>(FDataLinks)) {
    switch (E) {
      case TDataSet::evActive: l->ActiveChanged(); break;
      case TDataSet::evChanged: l->DataSetChanged(); break;
      case TDataSet::evScrolled: l->DataSetScrolled(Info); break;
      case TDataSet::evRecord: l->RecordChanged(FDataSet ? FDataSet->Fields(Info) : nullptr); break;
    }
  }
  if (E != TDataSet::evActive && OnDataChange)
    OnDataChange(this, E == TDataSet::evRecord && FDataSet ? FDataSet->Fields(Info) : nullptr);
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
  if (FDataSource) {
    auto& v = FDataSource->FDataLinks;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) {
    auto& v = FDataSource->FDataLinks;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  FDataSource = Value;
  if (FDataSource) FDataSource->FDataLinks.push_back(this);
  ActiveChanged();
}

bool TDataLink::Active() const { return FDataSource && FDataSource->State() != dsInactive; }

void TDataLink::SetActiveRecord(int Index) {
  if (TDataSet* d = DataSet()) d->SetDisplayRecord(Index);
}

int TDataLink::RecordCount() const { return Active() ? DataSet()->RecordCount() : 0; }

namespace {

const bool registeredDataSet =
    platform::RegisterClass<TDataSet>("TDataSet", "TComponent").Bool("Active", &TDataSet::SetActive, false).Done();
const bool registeredDataSource = platform::RegisterClass<TDataSource>("TDataSource", "TComponent")
                                      .Ref<TDataSet>("DataSet", &TDataSource::SetDataSet)
                                      .Bool("Enabled", &TDataSource::SetEnabled, true)
                                      .Done();

}  // namespace
