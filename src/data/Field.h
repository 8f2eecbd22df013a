// TField: one column of a dataset's current row, with the typed reads (and their rules for
// missing values), the display and edit texts, and the field kinds the data controls need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/Variant.h"
#include "runtime/Enums.h"
#include "runtime/DateTime.h"

namespace qx {

class TDataSet;
class TStream;

enum TFieldType {
  ftUnknown,
  ftString,    // text of at most Size characters
  ftSmallint,  // 16-bit integer
  ftInteger,   // 32-bit integer
  ftLargeint,  // 64-bit integer
  ftBoolean,
  ftFloat,
  ftDateTime,  // a day serial
  ftMemo,      // long text
  ftBlob,      // long binary value
  ftGraphic,   // a picture held as a long binary value
};

// Data fields come from the statement; calculated fields are filled by the dataset's
// OnCalcFields hook for every row.
enum TFieldKind { fkData, fkCalculated };

const TEnumInfo& EnumInfoOf(TFieldType);
const TEnumInfo& EnumInfoOf(TFieldKind);

// The field type and size a declared column type stands for: "INTEGER" ftInteger, "SMALLINT"
// ftSmallint, "BIT"/"BOOLEAN" ftBoolean, "VARCHAR(50)"/"TEXT(50)" ftString of 50, "TEXT"/"MEMO"
// ftMemo, "DATETIME" ftDateTime, "REAL"/"DOUBLE" ftFloat, "BLOB" ftBlob ... ftUnknown when the
// type is empty or not one of these.
struct FieldTypeInfo {
  TFieldType type = ftUnknown;
  int size = 0;
};
FieldTypeInfo FieldTypeFromDeclaration(std::string_view declaredType);

// The default text of a date-time: "dd/mm/yyyy hh:nn:ss", without the time at midnight and
// without the date on day 0.
std::string DateTimeToStr(TDateTime value);

class TField {
 public:
  TField(std::string name, TFieldType type, int size, TFieldKind kind);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const noexcept { return name_; }
  TFieldType DataType() const noexcept { return type_; }
  int Size() const noexcept { return size_; }
  TFieldKind FieldKind() const noexcept { return kind_; }
  TDataSet* DataSet() const noexcept { return dataSet_; }
  // Memo, blob and graphic fields.
  bool IsBlob() const noexcept { return type_ == ftMemo || type_ == ftBlob || type_ == ftGraphic; }

  const std::string& DisplayLabel() const noexcept { return label_; }
  void SetDisplayLabel(std::string value) { label_ = std::move(value); }
  // The label, or the field name when there is none.
  const std::string& DisplayName() const noexcept { return label_.empty() ? name_ : label_; }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) noexcept { visible_ = value; }
  // Booleans: the texts for true and false separated by ';' ("!;" shows "!" or nothing).
  const std::string& DisplayValues() const noexcept { return displayValues_; }
  void SetDisplayValues(std::string value) { displayValues_ = std::move(value); }
  // Date-times: a FormatDateTime format for the display text; empty for DateTimeToStr.
  const std::string& DisplayFormat() const noexcept { return displayFormat_; }
  void SetDisplayFormat(std::string value) { displayFormat_ = std::move(value); }

  // Reads of the current row. No value reads 0, empty text, false or day 0; a value that does
  // not convert fails with EConvertError. Reading a field of a closed dataset fails with
  // EDatabaseError.
  bool IsNull() const;
  const Variant& Value() const;
  int AsInteger() const;  // 32-bit; any other number of the engine too large fails
  std::int64_t AsLargeInt() const;
  double AsFloat() const;
  // Any non-zero number is true; texts "True"/"Yes"/"T"/"Y" (any case) too.
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  // The value as text: booleans "True"/"False", date-times by DateTimeToStr, blob bytes as
  // they are.
  std::string AsString() const;
  // The whole content of a memo or blob field (the same bytes as AsString).
  std::string AsBytes() const { return AsString(); }
  void SaveToStream(TStream& stream) const;

  // The text a control shows: empty for no value, DisplayValues for booleans, DisplayFormat
  // for date-times, "(BLOB)" / "(GRAPHIC)" for binary fields, else AsString.
  std::string DisplayText() const;
  // The same text without a copy where the field shows its stored text as it is: a view of
  // the stored bytes (valid until the record moves or the value changes); any other text is
  // written into `buffer`, reused from call to call, and viewed there.
  std::string_view DisplayText(std::string& buffer) const;
  // The text an editor starts from: DisplayText without DisplayFormat.
  std::string Text() const;

  // Writes to the current row, allowed in edit state (data fields) and while the dataset
  // calculates fields (calculated fields); otherwise EDatabaseError. The value is converted
  // to the field's type.
  void SetValue(const Variant& value);
  void SetAsString(std::string_view value) { SetValue(Variant(value)); }
  void SetAsInteger(std::int64_t value) { SetValue(Variant(value)); }
  void SetAsFloat(double value) { SetValue(Variant(value)); }
  void SetAsBoolean(bool value) { SetValue(Variant(value)); }
  void SetAsDateTime(TDateTime value) { SetValue(Variant(value)); }
  void Clear() { SetValue(Variant()); }

 private:
  friend class TDataSet;
  std::string TextOf(bool display) const;
  // DisplayValues' part for the value: before the semicolon for true, after it for false.
  std::string_view BooleanText() const;
  // Turns a value into the kind this field stores.
  Variant Coerce(const Variant& value) const;

  std::string name_;
  TFieldType type_;
  int size_;
  TFieldKind kind_;
  std::string label_;
  std::string displayValues_;
  std::string displayFormat_;
  bool visible_ = true;
  TDataSet* dataSet_ = nullptr;
  int slot_ = -1;          // position of the value in the dataset's rows
  bool declared_ = false;  // declared by the program, not made from the statement's columns
};

}  // namespace qx
