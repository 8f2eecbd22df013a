// TDataSet: opening into fetched rows, field binding, navigation with its notifications,
// Locate, bookmarks, edit state and the linked-control notifications.
#include "data/DataSet.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>

#include "data/DataErrors.h"
#include "data/DataSource.h"
#include "runtime/ClassInfo.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgFieldNotFound = "Field '%s' not found";
constexpr const char* kMsgDeclaredMissing =
    "Field '%s' not found: the statement does not return this declared column";
constexpr const char* kMsgDuplicateField = "Duplicate field name '%s'";
constexpr const char* kMsgClosed = "Cannot perform this operation on a closed dataset";
constexpr const char* kMsgOpen = "Cannot perform this operation on an open dataset";
constexpr const char* kMsgNotEditing = "Dataset not in edit or insert mode";
constexpr const char* kMsgReadOnlyField = "Field '%s' cannot be modified";
constexpr const char* kMsgNothingToEdit = "There is no current record to edit";
constexpr const char* kMsgRecordNotFound = "Record not found";
constexpr const char* kMsgFieldIndex = "Field index %d out of range";

// Every open of every dataset gets its own number, so no bookmark is valid elsewhere.
std::atomic<std::uint64_t> openCounter{0};

TFieldType InferType(const std::vector<Variant>& values, std::size_t width, std::size_t column) {
  for (std::size_t at = column; at < values.size(); at += width) {
    const Variant& v = values[at];
    switch (v.kind()) {
      case Variant::Kind::Null:
        continue;
      case Variant::Kind::Integer:
        return v.integer() >= std::numeric_limits<int>::min() &&
                       v.integer() <= std::numeric_limits<int>::max()
                   ? ftInteger
                   : ftLargeint;
      case Variant::Kind::Float:
        return ftFloat;
      case Variant::Kind::Text:
        return ftString;
      case Variant::Kind::Blob:
        return ftBlob;
    }
  }
  return ftString;
}

std::optional<double> NumberOf(const Variant& v) {
  if (v.IsNumber()) return v.number();
  if (v.kind() != Variant::Kind::Text) return std::nullopt;
  if (auto n = TryStrToInt64(v.bytes())) return static_cast<double>(*n);
  std::string s = Trim(v.bytes());
  char* end = nullptr;
  double d = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size()) return std::nullopt;
  return d;
}

// Whole-value equality of a stored value and a searched one, in the terms of the field.
bool Matches(const TField& field, const Variant& stored, const Variant& wanted) {
  if (wanted.IsNull() || stored.IsNull()) return wanted.IsNull() && stored.IsNull();
  bool numericField = field.DataType() == ftSmallint || field.DataType() == ftInteger ||
                      field.DataType() == ftLargeint || field.DataType() == ftFloat ||
                      field.DataType() == ftDateTime || field.DataType() == ftBoolean;
  if (numericField || stored.IsNumber()) {
    if (stored.kind() == Variant::Kind::Integer && wanted.kind() == Variant::Kind::Integer)
      return stored.integer() == wanted.integer();
    auto a = NumberOf(stored);
    auto b = NumberOf(wanted);
    if (!a || !b) return false;
    if (field.DataType() == ftBoolean) return (*a != 0) == (*b != 0);
    return *a == *b;
  }
  if (wanted.IsNumber()) {
    std::string text = wanted.kind() == Variant::Kind::Integer ? IntToStr(wanted.integer())
                                                               : FloatToStr(wanted.number());
    return stored.bytes() == text;
  }
  return stored.bytes() == wanted.bytes();
}

}  // namespace

const TClassInfo& TDataSet::StaticClassInfo() {
  using T = TDataSet;
  static const TClassInfo info = TClassBuilder<T>("TDataSet")
                                     .Property("DeclaredFields", &T::DeclaredFields)
                                     .Property("AfterScroll", &T::AfterScroll, &T::SetAfterScroll)
                                     .Property("OnCalcFields", &T::OnCalcFields, &T::SetOnCalcFields)
                                     .Build();
  return info;
}

TDataSet::~TDataSet() {
  // A concrete dataset closes itself in its own destructor; here only the sources forget us.
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) {
    source->dataSet_ = nullptr;
    source->NotifyActiveChanged();
  }
}

void TDataSet::Open() {
  if (Active()) return;
  ResultSet result = FetchAll();
  std::vector<int> sourceColumn;
  try {
    BindFields(result, sourceColumn);
  } catch (...) {
    RemoveUndeclaredFields();
    throw;
  }
  // One block of values, row after row, so that a walk over the rows reads memory in order.
  width_ = fields_.size();
  rowCount_ = result.RowCount();
  const std::size_t columns = result.columns.size();
  bool asFetched = width_ == columns;
  for (std::size_t i = 0; asFetched && i < width_; ++i) asFetched = sourceColumn[i] == static_cast<int>(i);
  if (asFetched) {
    values_ = std::move(result.values);  // the fields are the columns, in their order
  } else {
    values_.assign(rowCount_ * width_, Variant());
    for (std::size_t r = 0; r < rowCount_; ++r) {
      Variant* row = Row(r);
      Variant* fetched = result.values.data() + r * columns;
      for (std::size_t i = 0; i < sourceColumn.size(); ++i)
        if (sourceColumn[i] >= 0) row[i] = std::move(fetched[sourceColumn[i]]);
    }
  }
  generation_ = ++openCounter;
  state_ = dsBrowse;
  current_ = 0;
  bof_ = true;
  eof_ = rowCount_ == 0;
  try {
    for (std::size_t r = 0; r < rowCount_; ++r) CalculateRow(r);
  } catch (...) {
    ClearRows();
    state_ = dsInactive;
    eof_ = true;
    RemoveUndeclaredFields();
    throw;
  }
  current_ = 0;
  Notify(LinkEvent::kActive);
  if (rowCount_ > 0) DoAfterScroll();
}

void TDataSet::Close() {
  if (!Active()) return;
  ClearRows();
  editBuffer_.clear();
  state_ = dsInactive;
  current_ = 0;
  bof_ = eof_ = true;
  RemoveUndeclaredFields();
  Notify(LinkEvent::kActive);
}

void TDataSet::BindFields(const ResultSet& result, std::vector<int>& sourceColumn) {
  const std::vector<DbColumn>& columns = result.columns;
  auto columnOf = [&](std::string_view name) {
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (SameText(columns[c].name, name)) return static_cast<int>(c);
    return -1;
  };
  if (!fields_.empty()) {
    for (const auto& field : fields_) {
      int column = -1;
      if (field->FieldKind() == fkData) {
        column = columnOf(field->FieldName());
        if (column < 0) throw EDatabaseError(Format(kMsgDeclaredMissing, {field->FieldName()}));
      }
      sourceColumn.push_back(column);
    }
    return;
  }
  for (std::size_t c = 0; c < columns.size(); ++c) {
    FieldTypeInfo info = FieldTypeFromDeclaration(columns[c].declaredType);
    if (info.type == ftUnknown) info.type = InferType(result.values, columns.size(), c);
    // A join may return two columns of one name; the second is reachable as "<name>_1".
    std::string name = columns[c].name;
    for (int k = 1; FindField(name); ++k) name = columns[c].name + "_" + std::to_string(k);
    AddField(std::make_unique<TField>(name, info.type, info.size, fkData), false);
    sourceColumn.push_back(static_cast<int>(c));
  }
}

void TDataSet::CalculateRow(std::size_t row) {
  if (!onCalcFields_) return;
  bool any = std::any_of(fields_.begin(), fields_.end(),
                         [](const auto& f) { return f->FieldKind() == fkCalculated; });
  if (!any) return;
  for (const auto& f : fields_)
    if (f->FieldKind() == fkCalculated) Row(row)[f->slot_] = Variant();
  TDataSetState saved = state_;
  std::size_t savedRow = current_;
  state_ = dsCalcFields;
  current_ = row;
  try {
    onCalcFields_(*this);
  } catch (...) {
    state_ = saved;
    current_ = savedRow;
    throw;
  }
  state_ = saved;
  current_ = savedRow;
}

TField& TDataSet::AddField(std::unique_ptr<TField> field, bool declared) {
  field->dataSet_ = this;
  field->slot_ = static_cast<int>(fields_.size());
  field->declared_ = declared;
  fields_.push_back(std::move(field));
  return *fields_.back();
}

void TDataSet::RemoveUndeclaredFields() noexcept {
  std::erase_if(fields_, [](const auto& f) { return !f->declared_; });
}

TField& TDataSet::DeclareField(std::string name, TFieldType type, int size) {
  if (Active()) throw EDatabaseError(kMsgOpen);
  if (FindField(name)) throw EDatabaseError(Format(kMsgDuplicateField, {name}));
  TField& field = AddField(std::make_unique<TField>(std::move(name), type, size, fkData), true);
  Notify(LinkEvent::kLayout);
  return field;
}

TField& TDataSet::DeclareCalculatedField(std::string name, TFieldType type, int size) {
  if (Active()) throw EDatabaseError(kMsgOpen);
  if (FindField(name)) throw EDatabaseError(Format(kMsgDuplicateField, {name}));
  TField& field =
      AddField(std::make_unique<TField>(std::move(name), type, size, fkCalculated), true);
  Notify(LinkEvent::kLayout);
  return field;
}

void TDataSet::Loaded() {
  for (int i = 0; i < declaredFields_.Count(); ++i) {
    const TFieldDef& def = declaredFields_[i];
    TField& field = def.FieldKind() == fkCalculated
                        ? DeclareCalculatedField(def.FieldName(), def.DataType(), def.Size())
                        : DeclareField(def.FieldName(), def.DataType(), def.Size());
    field.SetDisplayLabel(def.DisplayLabel());
    field.SetDisplayValues(def.DisplayValues());
    field.SetDisplayFormat(def.DisplayFormat());
    field.SetVisible(def.Visible());
  }
}

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) throw EDatabaseError(Format(kMsgFieldIndex, {index}));
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const noexcept {
  for (const auto& f : fields_)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  if (TField* f = FindField(name)) return *f;
  throw EDatabaseError(Format(kMsgFieldNotFound, {name}));
}

const Variant& TDataSet::FieldValue(const TField& field) const {
  static const Variant kNull;
  CheckActive();
  auto slot = static_cast<std::size_t>(field.slot_);
  if (state_ == dsEdit) return editBuffer_[slot];
  if (rowCount_ == 0) return kNull;
  return Row(current_)[slot];
}

void TDataSet::SetFieldValue(TField& field, Variant value) {
  CheckActive();
  auto slot = static_cast<std::size_t>(field.slot_);
  bool calculated = field.FieldKind() == fkCalculated;
  if (state_ == dsCalcFields) {
    if (!calculated) throw EDatabaseError(Format(kMsgReadOnlyField, {field.FieldName()}));
    Row(current_)[slot] = std::move(value);
    return;
  }
  if (state_ != dsEdit) throw EDatabaseError(kMsgNotEditing);
  if (calculated) throw EDatabaseError(Format(kMsgReadOnlyField, {field.FieldName()}));
  editBuffer_[slot] = std::move(value);
  Notify(LinkEvent::kRecord, 0, &field);
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError(kMsgClosed);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == dsEdit) Post();
}

void TDataSet::DoAfterScroll() {
  if (afterScroll_ && scrollDisableCount_ == 0) afterScroll_(*this);
}

void TDataSet::First() {
  CheckBrowseMode();
  current_ = 0;
  bof_ = true;
  eof_ = rowCount_ == 0;
  Notify(LinkEvent::kChanged);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  current_ = rowCount_ == 0 ? 0 : rowCount_ - 1;
  eof_ = true;
  bof_ = rowCount_ == 0;
  Notify(LinkEvent::kChanged);
  DoAfterScroll();
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  auto count = static_cast<std::int64_t>(rowCount_);
  auto from = static_cast<std::int64_t>(current_);
  std::int64_t to = from + distance;
  if (count == 0) {
    bof_ = eof_ = true;
    to = 0;
  } else if (distance > 0) {
    bof_ = false;
    eof_ = to > count - 1;
    to = std::min(to, count - 1);
  } else {
    eof_ = false;
    bof_ = to < 0;
    to = std::max<std::int64_t>(to, 0);
  }
  current_ = static_cast<std::size_t>(to);
  int moved = static_cast<int>(to - from);
  Notify(LinkEvent::kScrolled, moved);
  DoAfterScroll();
  return moved;
}

int TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(rowCount_);
}

int TDataSet::RecNo() const {
  CheckActive();
  return rowCount_ == 0 ? -1 : static_cast<int>(current_) + 1;
}

bool TDataSet::Locate(std::string_view fieldName, const Variant& value) {
  CheckBrowseMode();
  TField& field = FieldByName(fieldName);
  auto slot = static_cast<std::size_t>(field.slot_);
  for (std::size_t r = 0; r < rowCount_; ++r) {
    if (!Matches(field, Row(r)[slot], value)) continue;
    current_ = r;
    bof_ = eof_ = false;
    Notify(LinkEvent::kChanged);
    DoAfterScroll();
    return true;
  }
  return false;
}

TBookmark TDataSet::Bookmark() const {
  CheckActive();
  if (rowCount_ == 0) return {};
  return {generation_, static_cast<int>(current_)};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const noexcept {
  return Active() && !bookmark.IsNull() && bookmark.generation == generation_ &&
         bookmark.row >= 0 && bookmark.row < static_cast<int>(rowCount_);
}

void TDataSet::SetBookmark(const TBookmark& bookmark) {
  CheckBrowseMode();
  if (!BookmarkValid(bookmark)) throw EDatabaseError(kMsgRecordNotFound);
  current_ = static_cast<std::size_t>(bookmark.row);
  bof_ = eof_ = false;
  Notify(LinkEvent::kChanged);
  DoAfterScroll();
}

void TDataSet::DisableControls() noexcept {
  if (disableCount_++ == 0) activeWhenDisabled_ = Active();
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0) return;
  if (Active() != activeWhenDisabled_)
    Notify(LinkEvent::kActive);
  else if (Active())
    Notify(LinkEvent::kChanged);
}

std::vector<TDataSet*> TDataSet::GetDetailDataSets() const {
  std::vector<TDataSet*> details;
  for (TDataSource* source : sources_)
    for (TDataLink* link : source->links_)
      if (TDataSet* detail = link->DetailDataSet())
        if (std::find(details.begin(), details.end(), detail) == details.end())
          details.push_back(detail);
  return details;
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit) return;
  if (rowCount_ == 0) throw EDatabaseError(kMsgNothingToEdit);
  editBuffer_.assign(Row(current_), Row(current_) + width_);
  state_ = dsEdit;
  Notify(LinkEvent::kEditing);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != dsEdit) throw EDatabaseError(kMsgNotEditing);
  std::move(editBuffer_.begin(), editBuffer_.end(), Row(current_));
  editBuffer_.clear();
  state_ = dsBrowse;
  CalculateRow(current_);
  Notify(LinkEvent::kEditing);
  Notify(LinkEvent::kChanged);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit) return;
  editBuffer_.clear();
  state_ = dsBrowse;
  Notify(LinkEvent::kEditing);
  Notify(LinkEvent::kChanged);
}

void TDataSet::Notify(LinkEvent event, int distance, TField* field) {
  if (disableCount_ > 0) return;
  // Copies, and a presence check before each call: a notified control may detach links.
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) continue;
    for (TDataLink* link : std::vector<TDataLink*>(source->links_)) {
      const auto& live = source->links_;
      if (std::find(live.begin(), live.end(), link) == live.end()) continue;
      switch (event) {
        case LinkEvent::kActive:
          link->ActiveChanged();
          break;
        case LinkEvent::kChanged:
          link->DataSetChanged();
          break;
        case LinkEvent::kScrolled:
          link->DataSetScrolled(distance);
          break;
        case LinkEvent::kEditing:
          link->EditingChanged();
          break;
        case LinkEvent::kLayout:
          link->LayoutChanged();
          break;
        case LinkEvent::kRecord:
          link->RecordChanged(field);
          break;
      }
    }
  }
}

void TDataSet::AttachSource(TDataSource* source) {
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
    sources_.push_back(source);
}

void TDataSet::DetachSource(TDataSource* source) noexcept { std::erase(sources_, source); }

}  // namespace qx
