// The data grid: its properties, the rows it builds from the dataset in one pass (titles,
// records, footers), the walk that leaves the dataset and its details where it found them,
// and the actions of its links and titles.
#include "controls/IWDBGrid.h"

#include <algorithm>
#include <atomic>
#include <charconv>

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
  explicit TIWRowsElement(std::shared_ptr<const std::string> rows) : rows_(std::move(rows)) {}
  void Render(std::string& out) const override { out += *rows_; }

 private:
  std::shared_ptr<const std::string> rows_;
};

// A link value inside a single-quoted script string inside a double-quoted attribute: the
// apostrophe becomes "%27" (as links have always posted it), and whatever else could end
// either the string or the attribute is escaped so that the value posts back as it is.
void AppendLinkValue(std::string& out, std::string_view value) {
  for (const char c : value) {
    switch (c) {
      case '\'': out += "%27"; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '"': out += "\\&quot;"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

void AppendInt(std::string& out, int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

bool IsEditing(const TDataSet& dataSet) {
  return dataSet.State() == dsEdit || dataSet.State() == dsInsert;
}

}  // namespace

// A visible column as the rows render it: its field and link field looked up once, its
// working copy and markup made once.
struct TIWDBGrid::ColumnPlan {
  explicit ColumnPlan(TIWDBGridColumn& c) : column(&c), copy(c.WorkingCopy()) {}

  TIWDBGridColumn* column;
  int index = 0;         // in Columns
  int visibleIndex = 0;  // among the visible columns
  TField* field = nullptr;
  TField* link = nullptr;
  TIWGridCell copy;
  TIWCellMarkup markup;
  // With a link field and no row click: the anchor up to the link value, after it up to the
  // text, and its end.
  std::string anchorOpen;
  std::string anchorMiddle;
  std::string anchorClose;
};

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

std::vector<TIWDBGrid::ColumnPlan> TIWDBGrid::PlanColumns(TDataSet& dataSet,
                                                          TIWComponent40Context& context) {
  const TIWPageContext40& page = context.PageContext();
  std::vector<ColumnPlan> plan;
  for (int i = 0; i < columns_.Count(); ++i) {
    TIWDBGridColumn& column = columns_[i];
    if (!column.Visible()) continue;
    ColumnPlan& c = plan.emplace_back(column);
    c.index = i;
    c.visibleIndex = static_cast<int>(plan.size()) - 1;
    if (!column.DataField().empty()) c.field = &dataSet.FieldByName(column.DataField());
    if (!column.LinkField().empty()) c.link = &dataSet.FieldByName(column.LinkField());
    c.markup = PrepareCell(c.copy);
    if (c.field && c.link && !rowClick_) {
      // The anchor SubmitAnchor makes, cut where the link value and the text go.
      const std::string anchor = SubmitAnchor(page, "\x02", "\x01", true, false)->Text();
      const std::size_t value = anchor.find('\x01');
      const std::size_t text = anchor.find('\x02');
      c.anchorOpen = anchor.substr(0, value) + IntToStr(i) + "_";
      c.anchorMiddle = anchor.substr(value + 1, text - value - 1);
      c.anchorClose = anchor.substr(text + 1);
    }
  }
  return plan;
}

void TIWDBGrid::WriteTitles(std::string& out, std::vector<ColumnPlan>& plan,
                            TIWComponent40Context& context) {
  out += "\r\n  <tr>";
  const std::string header = ColorText(rowHeaderColor_);
  if (options_.Contains(dgIndicator))
    out += header.empty() ? "\r\n  <th>&nbsp</th>" : "\r\n  <th BGCOLOR=\"" + header + "\">&nbsp</th>";
  for (ColumnPlan& c : plan) {
    TIWGridCell title = c.column->Title().WorkingCopy();
    if (c.column->OnTitleClick()) {
      auto anchor = SubmitAnchor(context.PageContext(), title.Text(), "C" + IntToStr(c.index), true, false);
      anchor->AddStringParam("CLASS", c.column->Title().Css());
      title.SetText(anchor->Text());
    }
    if (rowHeaderColor_ != clNone) title.SetBGColor(rowHeaderColor_);
    RenderCell(out, std::move(title), nullptr, 0, c.visibleIndex, nullptr);
  }
  out += plan.empty() && !options_.Contains(dgIndicator) ? "</tr>" : "\r\n</tr>";
}

void TIWDBGrid::WriteFooters(std::string& out, const std::vector<ColumnPlan>& plan) {
  for (int row = -footerRowCount_; row < 0; ++row) {
    out += "\r\n  <tr>";
    if (options_.Contains(dgIndicator)) out += "\r\n  <th>&nbsp</th>";
    for (const ColumnPlan& c : plan) RenderCell(out, c.column->WorkingCopy(), nullptr, row, c.visibleIndex, nullptr);
    out += plan.empty() && !options_.Contains(dgIndicator) ? "</tr>" : "\r\n</tr>";
  }
}

void TIWDBGrid::BuildRows(TIWComponent40Context& context) {
  const std::size_t previousSize = rows_ ? rows_->size() : 0;
  rows_.reset();
  rowCount_ = 0;
  TDataSet* dataSet = link_.DataSet();
  if (!dataSet || !dataSet->Active()) return;
  if (IsEditing(*dataSet)) throw EIWException(kGridInEditMode);
  if (columns_.Count() == 0)
    for (int i = 0; i < dataSet->FieldCount(); ++i)
      if (const TField& field = dataSet->Fields(i); field.Visible()) columns_.Add().SetDataField(field.FieldName());

  std::vector<ColumnPlan> plan = PlanColumns(*dataSet, context);
  auto text = std::make_shared<std::string>();
  std::string& out = *text;
  out.reserve(previousSize);
  if (options_.Contains(dgShowTitles)) WriteTitles(out, plan, context);

  TIWPageContext40& page = context.PageContext();
  const std::string e = ElementName();
  const std::string p = page.IsPartialUpdate() ? "IWTop()." : "";
  const bool highlighting =
      highlightRows_ && std::any_of(plan.begin(), plan.end(), [](const ColumnPlan& c) {
        return c.field && c.column->CompareHighlight() != hcNone;
      });
  const ColumnPlan* rowClickColumn = nullptr;
  if (rowClick_)
    for (const ColumnPlan& c : plan)
      if (c.field && c.link) rowClickColumn = &c;
  const std::string currentColor = ColorText(rowCurrentColor_);
  const std::string alternateColor = ColorText(rowAlternateColor_);
  const std::string highlightColor = ColorText(highlightColor_);
  const std::string rowClickOpen = "SubmitClickConfirm('" + e + "','" +
                                   (rowClickColumn ? IntToStr(rowClickColumn->index) : "") + "_";
  const bool indicator = options_.Contains(dgIndicator);

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

    std::string cellText;
    std::string value;
    std::string controlMarkup;
    int n = 0;
    while (!dataSet->Eof() && (rowLimit_ == 0 || n < rowLimit_)) {
      ++n;
      const bool current = dataSet->Bookmark() == saved;
      std::string id = rowIdPrefix_;
      AppendInt(id, n);
      out.append("\r\n  <tr ID=\"").append(id).append("\"");
      if (rollOver_) {
        out.append(" OnMouseOut=\"rollon_").append(e).append("(").append(id).append(",'')\"");
        out.append(" OnMouseOver=\"rollon_").append(e).append("(").append(id).append(",'over')\"");
      }
      bool highlighted = highlighting;
      for (const ColumnPlan& c : plan)
        if (highlighted && c.field && c.column->CompareHighlight() != hcNone)
          highlighted = c.column->HighlightHolds(c.field->Text());
      const std::string* color = nullptr;
      if (current && !currentColor.empty()) color = &currentColor;
      else if (highlighted) color = &highlightColor;
      else if (n % 2 == 0) color = &alternateColor;
      if (color && !color->empty()) out.append(" BGCOLOR=\"").append(*color).append("\"");
      if (rowClickColumn) {
        out.append(" OnClick=\"").append(rowClickOpen);
        AppendLinkValue(out, rowClickColumn->link->AsString());
        out.append("', true, '')\" STYLE=\"cursor:hand;\"");
      }
      out += '>';
      if (indicator) out += current ? "\r\n  <td>*</td>" : "\r\n  <td>&nbsp </td>";

      for (const ColumnPlan& c : plan) {
        const std::string* given = nullptr;
        if (c.field) {
          cellText.clear();
          const TFieldType type = c.field->DataType();
          if (c.link && rowClick_) {
            AppendEscapedMarkup(cellText, c.field->DisplayText(), true);
          } else {
            value.clear();
            if (type == ftBlob || type == ftMemo) {
              value = c.field->AsString();
              const int limit = c.column->BlobCharLimit();
              if (limit > 0 && value.size() > static_cast<std::size_t>(limit)) value.replace(limit, std::string::npos, "...");
            } else if (type != ftGraphic) {
              value = c.field->DisplayText();
            }
            if (c.column->RawText()) cellText = value;
            else AppendEscapedMarkup(cellText, value, true);
          }
          if (c.link && !rowClick_) {
            std::string anchor = c.anchorOpen;
            AppendLinkValue(anchor, c.link->AsString());
            anchor.append(c.anchorMiddle).append(cellText).append(c.anchorClose);
            cellText = std::move(anchor);
          }
          given = &cellText;
        }
        if (OnRenderCell()) {
          RenderCell(out, c.copy, given, n, c.visibleIndex, current ? &context : nullptr);
          continue;
        }
        const bool withControl = current && c.markup.control;
        if (withControl) controlMarkup = RenderCellControl(context, *c.markup.control);
        AppendCell(out, c.markup, given ? std::string_view(*given) : std::string_view(c.copy.Text()),
                   withControl && !controlMarkup.empty() ? &controlMarkup : nullptr);
      }
      out += "\r\n</tr>";
      dataSet->Next();
      if (current && scrollToCurrentRow_) {
        const std::string script = p + "document.getElementById(\"" + e + "\").scrollTop = " + p +
                                   "document.getElementById(\"" + id + "\").offsetTop - 40;";
        if (page.IsPartialUpdate()) page.AddPartialScript(script + "\r\n");
        else page.AddInitA(script);
      }
    }
    rowCount_ = n;
  } catch (...) {
    restore();
    throw;
  }
  restore();
  SetRenderSize(UseFrame() || (UseSize() && (rowLimit_ == 0 || rowCount_ == rowLimit_)));
  WriteFooters(out, plan);
  if (!out.empty()) out += "\r\n";
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
