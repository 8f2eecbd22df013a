// TIWDBGridColumn and TIWDBGridColumns: the columns of a data grid, each a cell with the field
// it shows, the field its link carries, its highlighting test, its title cell and its events.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "controls/IWGridCell.h"

namespace qx {

class TIWDBGrid;

enum THighlightCompare : int {
  hcNone, hcEqualTo, hcNotEqualTo, hcContains, hcDoesNotContain, hcGreaterThan, hcLessThan
};
const TEnumInfo& EnumInfoOf(THighlightCompare);

// A click on a linked cell: the column (as sender) and the link value of the clicked row.
using TIWOnClickWithValue = std::function<void(TObject* sender, const std::string& value)>;

class TIWDBGridColumn : public TIWGridCell {
  QX_CLASS(TIWDBGridColumn, TIWGridCell)

 public:
  TIWDBGridColumn();
  TIWDBGridColumn(const TIWDBGridColumn&) = delete;

  // A memo or blob field's text is cut to this many characters followed by "..."; 0 for all.
  int BlobCharLimit() const noexcept { return blobCharLimit_; }
  void SetBlobCharLimit(int v) { Set(blobCharLimit_, v); }
  const std::string& CompareValue() const noexcept { return compareValue_; }
  void SetCompareValue(std::string_view v) { Set(compareValue_, v); }
  THighlightCompare CompareHighlight() const noexcept { return compareHighlight_; }
  void SetCompareHighlight(THighlightCompare v) { Set(compareHighlight_, v); }
  // The field shown. An empty title text takes the field name.
  const std::string& DataField() const noexcept { return dataField_; }
  void SetDataField(std::string_view field);
  // The field whose value a click on the cell posts; empty for a cell that is no link.
  const std::string& LinkField() const noexcept { return linkField_; }
  void SetLinkField(std::string_view v) { Set(linkField_, v); }
  const TIWOnClickWithValue& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TIWOnClickWithValue handler) { onClick_ = std::move(handler); }
  const TNotifyEvent& OnTitleClick() const noexcept { return onTitleClick_; }
  void SetOnTitleClick(TNotifyEvent handler) { onTitleClick_ = std::move(handler); }
  // The title cell, created centred.
  TIWGridCell& Title() noexcept { return title_; }
  const TIWGridCell& Title() const noexcept { return title_; }

  // Whether a row's field text passes the column's highlighting test.
  bool HighlightHolds(std::string_view text) const;

 private:
  int blobCharLimit_ = 0;
  std::string compareValue_;
  THighlightCompare compareHighlight_ = hcNone;
  std::string dataField_;
  std::string linkField_;
  TIWOnClickWithValue onClick_;
  TNotifyEvent onTitleClick_;
  TIWGridCell title_{this};
};

class TIWDBGridColumns : public TCollectionOf<TIWDBGridColumn>, public TIWGridCellOwner {
  QX_CLASS(TIWDBGridColumns, TCollection)

 public:
  explicit TIWDBGridColumns(TIWCustomGrid& grid) : grid_(grid) {}
  TIWCustomGrid* Grid() const noexcept override { return &grid_; }

 private:
  TIWCustomGrid& grid_;
};

}  // namespace qx
