// The grid base: its properties, the TABLE element and the cell rendering.
#include "controls/IWGrid.h"

#include "forms/LayoutMgr.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const TEnumInfo& EnumInfoOf(TIWGridLines) {
  static const TEnumInfo info("TIWGridLines",
                              {QX_ENUM(tlAll), QX_ENUM(tlNone), QX_ENUM(tlRows), QX_ENUM(tlCols)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWGridBorderStyle) {
  static const TEnumInfo info(
      "TIWGridBorderStyle",
      {QX_ENUM(tfDefault), QX_ENUM(tfVoid), QX_ENUM(tfAbove), QX_ENUM(tfBelow),
       QX_ENUM(tvHorizSides), QX_ENUM(tfVertSides), QX_ENUM(tfLeft), QX_ENUM(tfRight)});
  return info;
}

const TClassInfo& TIWGridBorderColors::StaticClassInfo() {
  using T = TIWGridBorderColors;
  static const TClassInfo info = TClassBuilder<T>("TIWGridBorderColors")
                                     .Property("Color", &T::Color, &T::SetColor)
                                     .Property("Light", &T::Light, &T::SetLight)
                                     .Property("Dark", &T::Dark, &T::SetDark)
                                     .Build();
  return info;
}

const TClassInfo& TIWCustomGrid::StaticClassInfo() {
  using T = TIWCustomGrid;
  static const TClassInfo info =
      TClassBuilder<T>("TIWCustomGrid")
          .Property("BorderColors", static_cast<TIWGridBorderColors& (T::*)()>(&T::BorderColors))
          .Property("BGColor", &T::BGColor, &T::SetBGColor)
          .Property("BorderSize", &T::BorderSize, &T::SetBorderSize)
          .Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle)
          .Property("Caption", &T::Caption, &T::SetCaption)
          .Property("CellPadding", &T::CellPadding, &T::SetCellPadding)
          .Property("CellSpacing", &T::CellSpacing, &T::SetCellSpacing)
          .Property("FrameBuffer", &T::FrameBuffer, &T::SetFrameBuffer)
          .Property("Lines", &T::Lines, &T::SetLines)
          .Property("Summary", &T::Summary, &T::SetSummary)
          .Property("UseSize", &T::UseSize, &T::SetUseSize)
          .Property("OnRenderCell", &T::OnRenderCell, &T::SetOnRenderCell)
          .Property("OnRender", &T::OnRender, &T::SetOnRender)
          .Build();
  return info;
}

namespace {

// The RULES and frame values of the table, by TIWGridLines and TIWGridBorderStyle.
constexpr const char* kRules[] = {"", "none", "rows", "cols"};
constexpr const char* kFrames[] = {"", "void", "above", "below", "hsides", "vsides", "lhs", "rhs"};
constexpr const char* kVAligns[] = {"middle", "top", "bottom", "baseline"};
constexpr const char* kAligns[] = {"left", "right", "center"};

// The attribute as the tag writer writes it: name="value".
void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
  out.append(1, ' ').append(name).append("=\"").append(value).append(1, '"');
}

}  // namespace

TIWCustomGrid::TIWCustomGrid() {
  borderColors_.SetOnChange([this] { MarkChanged(); });
  TIWCustomGrid::SetDefaults();
}

void TIWCustomGrid::SetDefaults() {
  TIWCustomControl::SetDefaults();
  borderColors_ = TIWGridBorderColors();
  bgColor_ = clNone;
  borderSize_ = 1;
  borderStyle_ = tfDefault;
  caption_.clear();
  cellPadding_ = 0;
  cellSpacing_ = 0;
  frameBuffer_ = 40;
  lines_ = tlAll;
  summary_.clear();
  useSize_ = true;
  SetBounds(Left(), Top(), 300, 150);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomGrid::RenderTable() {
  if (onRender_) onRender_(this);
  const std::string e = ElementName();
  auto table = TIWHTMLTag::Create("TABLE");
  table->AddStringParam("ID", UsesFrame() ? "tbl" + e : e);
  if (borderSize_ >= 0) table->AddIntegerParam("Border", borderSize_);
  table->AddColor("BGColor", bgColor_);
  table->AddIntegerParam("CELLPADDING", cellPadding_);
  table->AddIntegerParam("CELLSPACING", cellSpacing_);
  if (useSize_) table->AddStringParam("WIDTH", UsesFrame() ? "100%" : IntToStr(Width()));
  SetRenderSize(useSize_);
  if (borderSize_ > 0) {
    table->AddColor("BORDERCOLOR", borderColors_.Color());
    table->AddColor("BORDERCOLORLIGHT", borderColors_.Light());
    table->AddColor("BORDERCOLORDARK", borderColors_.Dark());
    table->AddStringParam("RULES", kRules[lines_]);
    table->AddStringParam("frame", kFrames[borderStyle_]);
  }
  if (!caption_.empty()) table->AddText("<CAPTION>" + caption_ + "</CAPTION>");
  if (!summary_.empty()) table->AddText("<SUMMARY>" + summary_ + "</SUMMARY>");
  return table;
}

TIWCellMarkup TIWCustomGrid::PrepareCell(const TIWGridCell& copy) const {
  TIWCellMarkup cell;
  cell.visible = copy.Visible();
  if (!cell.visible) return cell;
  cell.tag = copy.Header() ? "th" : "td";
  cell.control = copy.Control();
  std::string& open = cell.open;
  open.append("\r\n  <").append(cell.tag);
  AppendAttribute(open, "VAlign", kVAligns[copy.VAlign()]);
  AppendAttribute(open, "align", kAligns[copy.Alignment()]);
  if (!TrimView(copy.Hint()).empty()) AppendAttribute(open, "title", EscapeMarkup(copy.Hint()));
  if (!copy.Wrap()) open.append(" NOWRAP");
  if (copy.Width() != "0") AppendAttribute(open, "Width", copy.Width());
  if (copy.Height() != "0") AppendAttribute(open, "Height", copy.Height());
  if (copy.BGColor() != clNone) AppendAttribute(open, "BGColor", ColorText(copy.BGColor()));
  const std::string& css = !copy.Css().empty() || !cell.control ? copy.Css() : cell.control->Css();
  if (!css.empty()) AppendAttribute(open, "CLASS", css);
  AppendAttribute(open, "style", "position:static;");
  open.append(">");

  const TIWFont& font = copy.Font();
  if (!css.empty() || !font.Enabled()) return cell;
  cell.fontOpen = "\r\n  <font";
  if (!font.FontName().empty()) AppendAttribute(cell.fontOpen, "FACE", font.FontName());
  if (font.Color() != clNone && font.Color() != clWindowText)
    AppendAttribute(cell.fontOpen, "color", ColorText(font.Color()));
  AppendAttribute(cell.fontOpen, "STYLE", "font-size:" + IntToStr(FontPixels(font)) + "px;");
  cell.fontOpen += ">";
  static constexpr std::pair<TIWFontStyle, std::string_view> kStyles[] = {
      {fsBold, "B"}, {fsItalic, "I"}, {fsUnderline, "U"}, {fsStrikeOut, "STRIKE"}};
  for (const auto& [style, name] : kStyles) {
    if (!font.Style().Contains(style)) continue;
    cell.fontOpen.append("<").append(name).append(">");
    cell.fontClose.insert(0, "</" + std::string(name) + ">");
  }
  cell.fontClose += "</font>";
  return cell;
}

void TIWCustomGrid::AppendCell(std::string& out, const TIWCellMarkup& cell, std::string_view text,
                               const std::string* controlMarkup) {
  if (!cell.visible) {
    out += "\r\n  <td>&nbsp;</td>";
    return;
  }
  out += cell.open;
  if (TrimView(text).empty() && !controlMarkup) text = "&nbsp;";
  bool childTag = false;
  if (!TrimView(text).empty()) {
    if (cell.fontOpen.empty()) {
      out += text;
    } else {
      out.append(cell.fontOpen).append(text).append(cell.fontClose);
      childTag = true;
    }
  }
  if (controlMarkup) {
    out.append("\r\n  ").append(*controlMarkup);
    childTag = true;
  }
  out.append(childTag ? "\r\n</" : "</").append(cell.tag).append(">");
}

void TIWCustomGrid::RenderCell(std::string& out, TIWGridCell copy, const std::string* text, int row,
                               int column, TIWComponent40Context* currentRow) {
  if (onRenderCell_) onRenderCell_(this, copy, row, column);
  const TIWCellMarkup cell = PrepareCell(copy);
  std::string control;
  if (currentRow && cell.visible && cell.control) control = RenderCellControl(*currentRow, *cell.control);
  AppendCell(out, cell, text ? std::string_view(*text) : std::string_view(copy.Text()),
             control.empty() ? nullptr : &control);
}

std::string TIWCustomGrid::RenderCellControl(TIWComponent40Context& context,
                                             TIWCustomControl& control) const {
  TIWComponent40Context cell(control, context.PageContext(), context.ContainerContext());
  cell.SetTag(control.RenderMarkup(cell));
  if (!cell.Tag()) return {};
  control.PostProcessTag(cell);
  context.LayoutMgr().ProcessControl(cell);
  return cell.Tag()->Text();
}

}  // namespace qx
