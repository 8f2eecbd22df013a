// The data grid's columns: their properties and their highlighting test.
#include "controls/IWDBGridColumns.h"

#include "controls/IWGrid.h"
#include "runtime/Strings.h"

namespace qx {

const TEnumInfo& EnumInfoOf(THighlightCompare) {
  static const TEnumInfo info(
      "THighlightCompare",
      {QX_ENUM(hcNone), QX_ENUM(hcEqualTo), QX_ENUM(hcNotEqualTo), QX_ENUM(hcContains),
       QX_ENUM(hcDoesNotContain), QX_ENUM(hcGreaterThan), QX_ENUM(hcLessThan)});
  return info;
}

const TClassInfo& TIWDBGridColumn::StaticClassInfo() {
  using T = TIWDBGridColumn;
  static const TClassInfo info =
      TClassBuilder<T>("TIWDBGridColumn")
          .Property("BlobCharLimit", &T::BlobCharLimit, &T::SetBlobCharLimit)
          .Property("CompareValue", &T::CompareValue, &T::SetCompareValue)
          .Property("CompareHighlight", &T::CompareHighlight, &T::SetCompareHighlight)
          .Property("DataField", &T::DataField, &T::SetDataField)
          .Property("LinkField", &T::LinkField, &T::SetLinkField)
          .Property("OnClick", &T::OnClick, &T::SetOnClick)
          .Property("OnTitleClick", &T::OnTitleClick, &T::SetOnTitleClick)
          .Property("Title", static_cast<TIWGridCell& (T::*)()>(&T::Title))
          .Build();
  return info;
}

const TClassInfo& TIWDBGridColumns::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWDBGridColumns>("TIWDBGridColumns").Build();
  return info;
}

TIWDBGridColumn::TIWDBGridColumn() {
  // A column escapes its field's text unless told otherwise; its title is centred.
  SetRawText(false);
  title_.SetAlignment(taCenter);
}

void TIWDBGridColumn::SetDataField(std::string_view field) {
  Set(dataField_, field);
  // While the grid is read from its definition, its Loaded gives the title the field's
  // display name instead.
  const TIWCustomGrid* grid = Grid();
  if (title_.Text().empty() && !(grid && grid->Loading())) title_.SetText(field);
}

bool TIWDBGridColumn::HighlightHolds(std::string_view text) const {
  switch (compareHighlight_) {
    case hcNone: return true;
    case hcEqualTo: return SameText(text, compareValue_);
    case hcNotEqualTo: return text != compareValue_;
    case hcContains: return text.find(compareValue_) != std::string_view::npos;
    case hcDoesNotContain: return text.find(compareValue_) == std::string_view::npos;
    case hcGreaterThan: return CompareText(text, compareValue_) > 0;
    case hcLessThan: return CompareText(text, compareValue_) < 0;
  }
  return true;
}

}  // namespace qx
