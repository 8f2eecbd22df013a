// TIWDBGrid: a table of the records of a dataset, one row per record of the current page, the
// dataset's current record marked, linked cells and titles that post the grid with the clicked
// row's key. The rows are built in one pass straight into text and kept between renderings.
#pragma once

#include <memory>
#include <string>

#include "controls/IWDBGridColumns.h"
#include "controls/IWDataLink.h"
#include "controls/IWGrid.h"

namespace qx {

class TIWRowsText;

enum TIWDBGridOption : int { dgIndicator, dgShowTitles };
using TIWDBGridOptions = TSet<TIWDBGridOption>;
const TEnumInfo& EnumInfoOf(TIWDBGridOption);
enum TIWDBGridRefreshMode : int { rmAutomatic, rmAlways, rmManual };
const TEnumInfo& EnumInfoOf(TIWDBGridRefreshMode);

// "Cannot refresh grid while data is in edit or insert mode."
extern const char* const kGridInEditMode;

class TIWDBGrid : public TIWCustomGrid {
  QX_CLASS(TIWDBGrid, TIWCustomGrid)

 public:
  TIWDBGrid();
  ~TIWDBGrid() override;

  TIWDBGridColumns& Columns() noexcept { return columns_; }
  const TIWDBGridColumns& Columns() const noexcept { return columns_; }
  TDataSource* DataSource() const noexcept { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  // Rows of column texts appended after the records, each cell showing its column's Text.
  int FooterRowCount() const noexcept { return footerRowCount_; }
  void SetFooterRowCount(int v) { SetProperty(footerRowCount_, v); }
  // Every rendering starts at the first record (else at the current one's page).
  bool FromStart() const noexcept { return fromStart_; }
  void SetFromStart(bool v) { SetProperty(fromStart_, v); }
  TColor HighlightColor() const noexcept { return highlightColor_; }
  void SetHighlightColor(TColor v) { SetProperty(highlightColor_, v); }
  // Rows whose fields pass every column's CompareHighlight test get HighlightColor.
  bool HighlightRows() const noexcept { return highlightRows_; }
  void SetHighlightRows(bool v) { SetProperty(highlightRows_, v); }
  TIWDBGridOptions Options() const noexcept { return options_; }
  void SetOptions(TIWDBGridOptions v) { SetProperty(options_, v); }
  TIWDBGridRefreshMode RefreshMode() const noexcept { return refreshMode_; }
  void SetRefreshMode(TIWDBGridRefreshMode v) { SetProperty(refreshMode_, v); }
  // Records per page; 0 for every record.
  int RowLimit() const noexcept { return rowLimit_; }
  void SetRowLimit(int v) { SetProperty(rowLimit_, v); }
  bool RollOver() const noexcept { return rollOver_; }
  void SetRollOver(bool v) { SetProperty(rollOver_, v); }
  // A link column makes the whole row post its link (instead of an anchor in the cell).
  bool RowClick() const noexcept { return rowClick_; }
  void SetRowClick(bool v) { SetProperty(rowClick_, v); }
  TColor RollOverColor() const noexcept { return rollOverColor_; }
  void SetRollOverColor(TColor v) { SetProperty(rollOverColor_, v); }
  TColor RowHeaderColor() const noexcept { return rowHeaderColor_; }
  void SetRowHeaderColor(TColor v) { SetProperty(rowHeaderColor_, v); }
  TColor RowAlternateColor() const noexcept { return rowAlternateColor_; }
  void SetRowAlternateColor(TColor v) { SetProperty(rowAlternateColor_, v); }
  TColor RowCurrentColor() const noexcept { return rowCurrentColor_; }
  void SetRowCurrentColor(TColor v) { SetProperty(rowCurrentColor_, v); }
  // The page scrolls the frame to the current record's row.
  bool ScrollToCurrentRow() const noexcept { return scrollToCurrentRow_; }
  void SetScrollToCurrentRow(bool v) { SetProperty(scrollToCurrentRow_, v); }

  // What the grid keeps between renderings: the number of record rows rendered last and the
  // action parameter received last.
  int RowCount() const noexcept { return rowCount_; }
  const std::string& ActionParam() const noexcept { return actionParam_; }
  // The number that starts the ID of every row of this grid (then the row number).
  const std::string& RowIDPrefix() const noexcept { return rowIdPrefix_; }

  void SetDefaults() override;
  bool CanSubmit() const override { return true; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // "C" + a column index runs that column's OnTitleClick; otherwise the index before the
  // first "_" names the column whose OnClick gets the rest. An index that is no number fails
  // with EConvertError, one outside Columns with EListError.
  void RunAction(const std::string& parameter) override;

 protected:
  // Columns whose title is still empty take their field's display name.
  void Loaded() override;

 private:
  class RowWriter;

  // Builds the rows (titles, records, footers) of the dataset.
  void BuildRows(TIWComponent40Context& context);

  TIWDBGridColumns columns_{*this};
  TIWDataLink link_{*this};
  int footerRowCount_ = 0;
  bool fromStart_ = true;
  TColor highlightColor_ = clNone;
  bool highlightRows_ = false;
  TIWDBGridOptions options_{dgShowTitles};
  TIWDBGridRefreshMode refreshMode_ = rmAutomatic;
  int rowLimit_ = 0;
  bool rollOver_ = false;
  bool rowClick_ = false;
  TColor rollOverColor_ = clNone;
  TColor rowHeaderColor_ = clNone;
  TColor rowAlternateColor_ = clNone;
  TColor rowCurrentColor_ = clNone;
  bool scrollToCurrentRow_ = false;

  // The rows built last, shared with the pages that show them.
  std::shared_ptr<TIWRowsText> rows_;
  int rowCount_ = 0;
  std::string actionParam_;
  std::string rowIdPrefix_;
};

}  // namespace qx
