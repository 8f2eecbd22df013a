// The data grid's rows: titles, one row per record and footers, written straight into the
// rows' text from pieces prepared once per rendering, so that a row costs little more than
// reading its fields.
#include "controls/IWDBGridRows.h"

#include <algorithm>
#include <charconv>

#include "data/DataSet.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

// A link value inside a single-quoted script string inside a double-quoted attribute: the
// apostrophe becomes "%27" (as links have always posted it), and whatever else could end
// either the string or the attribute is escaped so that the value posts back as it is.
template <class Out>
void AppendLinkValue(Out& out, std::string_view value) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    std::string_view replacement;
    switch (value[i]) {
      case '\'': replacement = "%27"; break;
      case '\\': replacement = "\\\\"; break;
      case '\n': replacement = "\\n"; break;
      case '\r': replacement = "\\r"; break;
      case '"': replacement = "\\&quot;"; break;
      case '&': replacement = "&amp;"; break;
      case '<': replacement = "&lt;"; break;
      case '>': replacement = "&gt;"; break;
      default: continue;
    }
    out.append(value.data() + run, i - run);
    out.append(replacement.data(), replacement.size());
    run = i + 1;
  }
  out.append(value.data() + run, value.size() - run);
}

// The link's value as its string value: an integer key (the usual link) written straight in,
// anything else through AsString.
template <class Out>
void AppendLinkField(Out& out, const TField& link) {
  const TFieldType type = link.DataType();
  const Variant& value = link.Value();
  if (value.kind() == Variant::Kind::Integer && (type == ftInteger || type == ftSmallint || type == ftLargeint)) {
    char digits[24];
    out.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value.integer()).ptr - digits));
  } else {
    AppendLinkValue(out, link.AsString());
  }
}

}  // namespace

TIWDBGrid::RowWriter::RowWriter(TIWDBGrid& grid, TDataSet& dataSet, TIWComponent40Context& context)
    : grid_(grid), context_(context), e_(grid.ElementName()) {
  const TIWPageContext40& page = context.PageContext();
  p_ = page.IsPartialUpdate() ? "IWTop()." : "";
  for (int i = 0; i < grid.columns_.Count(); ++i) {
    TIWDBGridColumn& column = grid.columns_[i];
    if (!column.Visible()) continue;
    Column& c = columns_.emplace_back(column);
    c.index = i;
    c.visibleIndex = static_cast<int>(columns_.size()) - 1;
    if (!column.DataField().empty()) c.field = &dataSet.FieldByName(column.DataField());
    if (!column.LinkField().empty()) c.link = &dataSet.FieldByName(column.LinkField());
    c.markup = grid.PrepareCell(c.copy);
    c.textOpen = c.markup.open + c.markup.fontOpen;
    c.textClose = c.markup.fontClose + (c.markup.fontOpen.empty() ? "</" : "\r\n</") + c.markup.tag + ">";
    if (c.field && c.link && !grid.rowClick_) {
      // The anchor SubmitAnchor makes, cut where the link value and the text go.
      const std::string anchor = grid.SubmitAnchor(page, "\x02", "\x01", true, false)->Text();
      const std::size_t value = anchor.find('\x01');
      const std::size_t text = anchor.find('\x02');
      c.anchorOpen = anchor.substr(0, value) + IntToStr(i) + "_";
      c.anchorMiddle = anchor.substr(value + 1, text - value - 1);
      c.anchorClose = anchor.substr(text + 1);
      c.linkOpen = c.textOpen + c.anchorOpen;
      c.linkClose = c.anchorClose + c.textClose;
    }
  }
  highlighting_ = grid.highlightRows_ && std::any_of(columns_.begin(), columns_.end(), [](const Column& c) {
                    return c.field && c.column->CompareHighlight() != hcNone;
                  });
  if (grid.rowClick_)
    for (const Column& c : columns_)
      if (c.field && c.link) rowClickColumn_ = &c;
  const std::string& number = grid.rowIdPrefix_;
  rowOpen_ = "\r\n  <tr ID=\"" + number;
  mouseOut_ = "\" OnMouseOut=\"rollon_" + e_ + "(" + number;
  mouseOver_ = ",'')\" OnMouseOver=\"rollon_" + e_ + "(" + number;
  headEnd_ = grid.rollOver_ ? ",'over')\"" : "\"";
  if (rowClickColumn_)
    rowClickOpen_ = " OnClick=\"SubmitClickConfirm('" + e_ + "','" + IntToStr(rowClickColumn_->index) + "_";
  auto colorAttribute = [](TColor color) {
    return color == clNone ? std::string() : " BGCOLOR=\"" + ColorText(color) + "\"";
  };
  currentColor_ = colorAttribute(grid.rowCurrentColor_);
  alternateColor_ = colorAttribute(grid.rowAlternateColor_);
  highlightColor_ = colorAttribute(grid.highlightColor_);

  const bool indicator = grid.options_.Contains(dgIndicator);
  rowEnd_ = columns_.empty() && !indicator ? "</tr>" : "\r\n</tr>";
  auto open = [](const Column& c) -> const std::string& { return c.linkOpen.empty() ? c.textOpen : c.linkOpen; };
  auto close = [](const Column& c) -> const std::string& { return c.linkOpen.empty() ? c.textClose : c.linkClose; };
  for (const bool current : {false, true}) {
    bodyStart_[current] = ">";
    if (indicator) bodyStart_[current] += current ? "\r\n  <td>*</td>" : "\r\n  <td>&nbsp </td>";
    bodyOpen_[current] = bodyStart_[current] + (columns_.empty() ? rowEnd_ : open(columns_.front()));
  }
  for (std::size_t k = 0; k < columns_.size(); ++k) {
    anyControl_ = anyControl_ || columns_[k].markup.control;
    columns_[k].glue = close(columns_[k]) + (k + 1 < columns_.size() ? open(columns_[k + 1]) : rowEnd_);
  }
}

void TIWDBGrid::RowWriter::WriteTitles(TIWRowsText& rows) {
  std::string out = "\r\n  <tr>";
  const std::string header = ColorText(grid_.rowHeaderColor_);
  const bool indicator = grid_.options_.Contains(dgIndicator);
  if (indicator)
    out += header.empty() ? "\r\n  <th>&nbsp</th>" : "\r\n  <th BGCOLOR=\"" + header + "\">&nbsp</th>";
  for (const Column& c : columns_) {
    TIWGridCell title = c.column->Title().WorkingCopy();
    if (c.column->OnTitleClick()) {
      const std::string parameter = std::string("C").append(IntToStr(c.index));
      auto anchor = grid_.SubmitAnchor(context_.PageContext(), title.Text(), parameter, true, false);
      anchor->AddStringParam("CLASS", c.column->Title().Css());
      title.SetText(anchor->Text());
    }
    if (grid_.rowHeaderColor_ != clNone) title.SetBGColor(grid_.rowHeaderColor_);
    grid_.RenderCell(out, std::move(title), nullptr, 0, c.visibleIndex, nullptr);
  }
  out += columns_.empty() && !indicator ? "</tr>" : "\r\n</tr>";
  rows += out;
}

void TIWDBGrid::RowWriter::WriteFooters(TIWRowsText& rows) {
  const bool indicator = grid_.options_.Contains(dgIndicator);
  std::string out;
  for (int row = -grid_.footerRowCount_; row < 0; ++row) {
    out += "\r\n  <tr>";
    if (indicator) out += "\r\n  <th>&nbsp</th>";
    for (const Column& c : columns_)
      grid_.RenderCell(out, c.column->WorkingCopy(), nullptr, row, c.visibleIndex, nullptr);
    out += columns_.empty() && !indicator ? "</tr>" : "\r\n</tr>";
  }
  rows += out;
}

std::string_view TIWDBGrid::RowWriter::FieldText(const Column& c, bool rowLink) {
  const TFieldType type = c.field->DataType();
  if (!rowLink && (type == ftBlob || type == ftMemo)) {
    value_ = c.field->AsString();
    const int limit = c.column->BlobCharLimit();
    if (limit > 0 && value_.size() > static_cast<std::size_t>(limit))
      value_.replace(static_cast<std::size_t>(limit), std::string::npos, "...");
    return value_;
  }
  if (!rowLink && type == ftGraphic) return {};
  return c.field->DisplayText(value_);
}

void TIWDBGrid::RowWriter::WriteCell(TIWRowsText& out, const Column& c, const std::string* text, int n,
                                     bool current) {
  cell_.clear();
  if (grid_.OnRenderCell()) {
    grid_.RenderCell(cell_, c.copy, text, n, c.visibleIndex, current ? &context_ : nullptr);
  } else {
    const bool withControl = current && c.markup.control;
    if (withControl) control_ = grid_.RenderCellControl(context_, *c.markup.control);
    AppendCell(cell_, c.markup, text ? std::string_view(*text) : std::string_view(c.copy.Text()),
               withControl && !control_.empty() ? &control_ : nullptr);
  }
  out += cell_;
}

void TIWDBGrid::RowWriter::WriteRow(TIWRowsText& out, int n, bool current) {
  char digits[16];
  const std::string_view id(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
  out += rowOpen_;
  out += id;
  if (grid_.rollOver_) {
    out += mouseOut_;
    out += id;
    out += mouseOver_;
    out += id;
  }
  out += headEnd_;
  bool highlighted = highlighting_;
  for (const Column& c : columns_)
    if (highlighted && c.field && c.column->CompareHighlight() != hcNone)
      highlighted = c.column->HighlightHolds(c.field->Text());
  if (current && !currentColor_.empty()) out += currentColor_;
  else if (highlighted) out += highlightColor_;
  else if (n % 2 == 0) out += alternateColor_;
  if (rowClickColumn_) {
    out += rowClickOpen_;
    AppendLinkField(out, *rowClickColumn_->link);
    out += "', true, '')\" STYLE=\"cursor:hand;\"";
  }
  if (!grid_.OnRenderCell() && !(current && anyControl_)) {
    out += bodyOpen_[current];
    WritePreparedCells(out);
  } else {
    out += bodyStart_[current];
    WriteCells(out, n, current);
  }

  if (current && grid_.scrollToCurrentRow_) {
    std::string script = p_ + "document.getElementById(\"" + e_ + "\").scrollTop = " + p_ +
                         "document.getElementById(\"" + grid_.rowIdPrefix_;
    script.append(id).append("\").offsetTop - 40;");
    TIWPageContext40& page = context_.PageContext();
    if (page.IsPartialUpdate()) page.AddPartialScript(script + "\r\n");
    else page.AddInitA(script);
  }
}

void TIWDBGrid::RowWriter::WritePreparedCells(TIWRowsText& out) {
  // Each cell's start is already written (by the row's start or the previous cell's glue).
  for (const Column& c : columns_) {
    if (!c.field) {
      out += TrimView(c.copy.Text()).empty() ? std::string_view("&nbsp;") : std::string_view(c.copy.Text());
    } else {
      const bool rowLink = c.link && grid_.rowClick_;
      const bool anchor = !c.linkOpen.empty();
      const std::string_view value = FieldText(c, rowLink);
      if (anchor) {
        AppendLinkField(out, *c.link);
        out += c.anchorMiddle;
      }
      const bool escape = rowLink || !c.column->RawText();
      if (!anchor && TrimView(value).empty() && !(escape && value.find('\n') != std::string_view::npos))
        out += "&nbsp;";  // a text that escapes to nothing but blanks
      else if (escape)
        AppendEscapedMarkup(out, value, true);
      else
        out += value;
    }
    out += c.glue;
  }
}

void TIWDBGrid::RowWriter::WriteCells(TIWRowsText& out, int n, bool current) {
  for (const Column& c : columns_) {
    if (!c.field) {
      WriteCell(out, c, nullptr, n, current);
      continue;
    }
    const bool rowLink = c.link && grid_.rowClick_;
    const bool anchor = !c.linkOpen.empty();
    const std::string_view value = FieldText(c, rowLink);
    text_.clear();
    if (anchor) {
      text_ = c.anchorOpen;
      AppendLinkField(text_, *c.link);
      text_ += c.anchorMiddle;
    }
    if (rowLink || !c.column->RawText()) AppendEscapedMarkup(text_, value, true);
    else text_ += value;
    if (anchor) text_ += c.anchorClose;
    WriteCell(out, c, &text_, n, current);
  }
  out += rowEnd_;
}

}  // namespace qx
