// TFieldDef and TFieldDefs: the declared fields of a dataset as a definition writes them, with
// their type, size, kind and display settings; the dataset declares them once it is loaded.
#pragma once

#include <string>
#include <string_view>

#include "data/Field.h"
#include "runtime/Collection.h"

namespace qx {

class TFieldDef : public TCollectionItem {
  QX_CLASS(TFieldDef, TCollectionItem)

 public:
  TFieldDef() = default;

  const std::string& FieldName() const noexcept { return fieldName_; }
  void SetFieldName(std::string_view value) { fieldName_ = value; }
  TFieldType DataType() const noexcept { return dataType_; }
  void SetDataType(TFieldType value) noexcept { dataType_ = value; }
  int Size() const noexcept { return size_; }
  void SetSize(int value) noexcept { size_ = value; }
  TFieldKind FieldKind() const noexcept { return fieldKind_; }
  void SetFieldKind(TFieldKind value) noexcept { fieldKind_ = value; }
  const std::string& DisplayLabel() const noexcept { return displayLabel_; }
  void SetDisplayLabel(std::string_view value) { displayLabel_ = value; }
  const std::string& DisplayValues() const noexcept { return displayValues_; }
  void SetDisplayValues(std::string_view value) { displayValues_ = value; }
  const std::string& DisplayFormat() const noexcept { return displayFormat_; }
  void SetDisplayFormat(std::string_view value) { displayFormat_ = value; }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) noexcept { visible_ = value; }

 private:
  std::string fieldName_;
  TFieldType dataType_ = ftString;
  int size_ = 0;
  TFieldKind fieldKind_ = fkData;
  std::string displayLabel_;
  std::string displayValues_;
  std::string displayFormat_;
  bool visible_ = true;
};

using TFieldDefs = TCollectionOf<TFieldDef>;

}  // namespace qx
