// The data grid: its properties, the rows it builds from the dataset in one pass (titles,
// records, footers), the walk that leaves the dataset and its details where it found them,
// and the actions of its links and titles.
#include "controls/IWDBGrid.h"

#include <atomic>

#include "controls/IWDBGridRows.h"
#include "data/DataSet.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kGridInEditMode = "Cannot refresh grid while data is in edit or insert mode.";

const TEnumInfo& EnumInfoOf(TIWDBGridOption) {
  static const TEnumInfo info("TIWDBGridOption", {QX_ENUM(dgIndicator), QX_ENUM(dgShowTitles)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWDBGridRefreshMode) {
  static const TEnumInfo info("TIWDBGridRefreshMode",
                              {QX_ENUM(rmAutomatic), QX_ENUM(rmAlways), QX_ENUM(rmManual)});
  return info;
}

const TClassInfo& TIWDBGrid::StaticClassInfo() {
  using T = TIWDBGrid;
  static const TClassInfo info =
      TClassBuilder<T>("TIWDBGrid")
          .Creatable()
          .Property("Columns", static_cast<TIWDBGridColumns& (T::*)()>(&T::Columns))
          .Property("DataSource", &T::DataSource, &T::SetDataSource)
          .Property("FooterRowCount", &T::FooterRowCount, &T::SetFooterRowCount)
          .Property("FromStart", &T::FromStart, &T::SetFromStart)
          .Property("HighlightColor", &T::HighlightColor, &T::SetHighlightColor)
          .Property("HighlightRows", &T::HighlightRows, &T::SetHighlightRows)
          .Property("Options", &T::Options, &T::SetOptions)
          .Property("RefreshMode", &T::RefreshMode, &T::SetRefreshMode)
          .Property("RowLimit", &T::RowLimit, &T::SetRowLimit)
          .Property("RollOver", &T::RollOver, &T::SetRollOver)
          .Property("RowClick", &T::RowClick, &T::SetRowClick)
          .Property("RollOverColor", &T::RollOverColor, &T::SetRollOverColor)
          .Property("RowHeaderColor", &T::RowHeaderColor, &T::SetRowHeaderColor)
          .Property("RowAlternateColor", &T::RowAlternateColor, &T::SetRowAlternateColor)
          .Property("RowCurrentColor", &T::RowCurrentColor, &T::SetRowCurrentColor)
          .Property("ScrollToCurrentRow", &T::ScrollToCurrentRow, &T::SetScrollToCurrentRow)
          .Build();
  return info;
}

namespace {

// Row IDs are this number followed by the row number. Every grid's number has nine digits,
// so that no two grids' row IDs can meet ("1" + "12" and "11" + "2" could).
std::string NextRowIDPrefix() {
  static std::atomic<unsigned> counter{0};
  return IntToStr(100000000 + counter.fetch_add(1) % 900000000);
}

// The rows a page shows: the grid's text, shared, not copied into each page.
class TIWRowsElement final : public TIWMarkupElement {
 public:
  explicit TIWRowsElement(std::shared_ptr<const TIWRowsText> rows) : rows_(std::move(rows)) {}
  void Render(TPageText& out) const override { out.Splice(rows_->View(), rows_); }

 private:
  std::shared_ptr<const TIWRowsText> rows_;
};

bool IsEditing(const TDataSet& dataSet) {
  return dataSet.State() == dsEdit || dataSet.State() == dsInsert;
}

}  // namespace

TIWDBGrid::TIWDBGrid() : rowIdPrefix_(NextRowIDPrefix()) { TIWDBGrid::SetDefaults(); }

TIWDBGrid::~TIWDBGrid() = default;

void TIWDBGrid::SetDefaults() {
  TIWCustomGrid::SetDefaults();
  footerRowCount_ = 0;
  fromStart_ = true;
  highlightColor_ = clNone;
  highlightRows_ = false;
  options_ = {dgShowTitles};
  refreshMode_ = rmAutomatic;
  rowLimit_ = 0;
  rollOver_ = false;
  rowClick_ = false;
  rollOverColor_ = rowHeaderColor_ = rowAlternateColor_ = rowCurrentColor_ = clNone;
  scrollToCurrentRow_ = false;
  SetUseFrame(true);
}

void TIWDBGrid::SetDataSource(TDataSource* source) {
  if (source == link_.DataSource()) return;
  link_.SetDataSource(source);
  MarkChanged();
}

namespace {

// The display name of the dataset's field of that name: of its field, or of its declaration
// while the dataset, read from the same definition, has not made its fields yet.
std::string FieldDisplayName(TDataSet& dataSet, std::string_view name) {
  if (const TField* field = dataSet.FindField(name)) return field->DisplayName();
  TFieldDefs& defs = dataSet.DeclaredFields();
  for (int i = 0; i < defs.Count(); ++i)
    if (SameText(defs[i].FieldName(), name))
      return defs[i].DisplayLabel().empty() ? defs[i].FieldName() : defs[i].DisplayLabel();
  return {};
}

}  // namespace

void TIWDBGrid::Loaded() {
  TIWCustomGrid::Loaded();
  TDataSet* dataSet = link_.DataSet();
  for (int i = 0; i < columns_.Count(); ++i) {
    TIWDBGridColumn& column = columns_[i];
    if (!column.Title().Text().empty()) continue;
    const std::string name = dataSet ? FieldDisplayName(*dataSet, column.DataField()) : std::string();
    column.Title().SetText(name.empty() ? column.DataField() : name);
  }
}

std::unique_ptr<TIWMarkupLanguageTag> TIWDBGrid::RenderMarkup(TIWComponent40Context& context) {
  std::unique_ptr<TIWMarkupLanguageTag> table = RenderTable();
  TIWPageContext40& page = context.PageContext();
  const std::string e = ElementName();
  const std::string p = page.IsPartialUpdate() ? "IWTop()." : "";
  const std::string row = p + "document.getElementById(row).style.backgroundColor";
  page.AddDeclaration("function rollon_" + e + "(row,where){ ");
  page.AddDeclaration("var tablecolor;");
  page.AddDeclaration("if (where == 'over'){");
  page.AddDeclaration(" currentcolor=" + row);
  page.AddDeclaration(" " + row + "='" + ColorText(rollOverColor_) + "' ");
  page.AddDeclaration(" }else{ ");
  page.AddDeclaration(" " + row + "=currentcolor; }");
  page.AddDeclaration("}");

  const TDataSet* dataSet = link_.DataSet();
  const bool keep = refreshMode_ == rmManual ||
                    (refreshMode_ == rmAutomatic && dataSet && dataSet->Active() && IsEditing(*dataSet));
  if (!keep) BuildRows(context);
  if (rows_ && !rows_->empty()) {
    auto rows = std::make_unique<TIWSplicedElement>();
    rows->Add(std::make_unique<TIWRowsElement>(rows_));
    table->AddSpliced(std::move(rows));
  }
  return table;
}

void TIWDBGrid::BuildRows(TIWComponent40Context& context) {
  // The text of the rows built last is written over when no page holds it any more: a page of
  // megabytes then needs no fresh memory (and no page faults) at every rendering.
  std::shared_ptr<TIWRowsText> text = rows_.use_count() == 1 ? std::move(rows_) : nullptr;
  rows_.reset();
  rowCount_ = 0;
  TDataSet* dataSet = link_.DataSet();
  if (!dataSet || !dataSet->Active()) return;
  if (IsEditing(*dataSet)) throw EIWException(kGridInEditMode);
  if (columns_.Count() == 0)
    for (int i = 0; i < dataSet->FieldCount(); ++i)
      if (const TField& field = dataSet->Fields(i); field.Visible()) columns_.Add().SetDataField(field.FieldName());

  RowWriter writer(*this, *dataSet, context);
  if (!text) text = std::make_shared<TIWRowsText>();
  TIWRowsText& out = *text;
  out.clear();
  if (options_.Contains(dgShowTitles)) writer.WriteTitles(out);

  // The walk: the dataset's linked controls and its own scroll events are quiet, its details'
  // positions saved; everything goes back however the walk ends.
  const TBookmark saved = dataSet->Bookmark();
  std::vector<std::pair<TDataSet*, TBookmark>> details;
  for (TDataSet* detail : dataSet->GetDetailDataSets())
    details.emplace_back(detail, detail->Active() ? detail->Bookmark() : TBookmark{});
  dataSet->DisableControls();
  dataSet->DisableScrollEvents();
  auto restore = [&] {
    if (saved.IsNull()) dataSet->First();
    else dataSet->SetBookmark(saved);
    dataSet->EnableScrollEvents();
    dataSet->EnableControls();
    for (const auto& [detail, mark] : details) {
      try {
        if (detail->Active() && !detail->IsEmpty() && detail->BookmarkValid(mark) && detail->Bookmark() != mark)
          detail->SetBookmark(mark);
      } catch (...) {
        // The detail stays where the dataset layer left it.
      }
    }
  };

  try {
    if (fromStart_ || saved.IsNull()) dataSet->First();
    else dataSet->SetBookmark(saved);
    if (rowLimit_ > 0)
      if (const int record = dataSet->RecNo(); record > 0) dataSet->MoveBy(-((record - 1) % rowLimit_));
    int n = 0;
    while (!dataSet->Eof() && (rowLimit_ == 0 || n < rowLimit_)) {
      writer.WriteRow(out, ++n, dataSet->Bookmark() == saved);
      dataSet->Next();
    }
    rowCount_ = n;
  } catch (...) {
    restore();
    throw;
  }
  restore();
  SetRenderSize(UseFrame() || (UseSize() && (rowLimit_ == 0 || rowCount_ == rowLimit_)));
  writer.WriteFooters(out);
  if (!out.empty()) out += "\r\n";
  out.Compact();
  rows_ = std::move(text);
}

void TIWDBGrid::RunAction(const std::string& parameter) {
  actionParam_ = parameter;
  if (!parameter.empty() && parameter[0] == 'C') {
    TIWDBGridColumn& column = columns_[StrToInt(std::string_view(parameter).substr(1))];
    if (column.OnTitleClick()) column.OnTitleClick()(&column);
    return;
  }
  const std::size_t split = parameter.find('_');
  TIWDBGridColumn& column = columns_[StrToInt(std::string_view(parameter).substr(0, split))];
  const std::string value = split == std::string::npos ? std::string() : parameter.substr(split + 1);
  if (column.OnClick()) column.OnClick()(&column, value);
}

}  // namespace qx
