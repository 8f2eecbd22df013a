// TIWCustomGrid: the base of the grids. The TABLE element with its border, colours, caption
// and summary, and the rendering of one cell (title, data or footer) straight into the rows'
// text: the cell's attributes and font are prepared once and reused for every row.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "controls/IWGridCell.h"
#include "forms/Control.h"

namespace qx {

enum TIWGridLines : int { tlAll, tlNone, tlRows, tlCols };
const TEnumInfo& EnumInfoOf(TIWGridLines);
enum TIWGridBorderStyle : int {
  tfDefault, tfVoid, tfAbove, tfBelow, tvHorizSides, tfVertSides, tfLeft, tfRight
};
const TEnumInfo& EnumInfoOf(TIWGridBorderStyle);

// The table's border colours (written only with a border).
class TIWGridBorderColors : public TNotifyingPersistent {
  QX_CLASS(TIWGridBorderColors, TNotifyingPersistent)

 public:
  TIWGridBorderColors() = default;
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor v) { SetValue(color_, v); }
  TColor Light() const noexcept { return light_; }
  void SetLight(TColor v) { SetValue(light_, v); }
  TColor Dark() const noexcept { return dark_; }
  void SetDark(TColor v) { SetValue(dark_, v); }

 private:
  TColor color_ = clNone;
  TColor light_ = clNone;
  TColor dark_ = clNone;
};

// Called for every cell about to be rendered, with the grid, the cell's working copy (which
// the handler may change), the row number (0 for titles, negative for footers) and the
// visible-column number from 0.
using TIWRenderCellEvent =
    std::function<void(TObject* sender, TIWGridCell& cell, int row, int column)>;

// A cell's markup around its text, made once from a working copy.
struct TIWCellMarkup {
  bool visible = true;
  // "\r\n  <td …>" (or th).
  std::string open;
  // Around a text that is not blank: the FONT element's start and end with the style tags,
  // or nothing when the cell has a class or its font is disabled.
  std::string fontOpen;
  std::string fontClose;
  // "td" or "th".
  const char* tag = "td";
  TIWCustomControl* control = nullptr;
};

class TIWCustomGrid : public TIWCustomControl {
  QX_CLASS(TIWCustomGrid, TIWCustomControl)

 public:
  TIWGridBorderColors& BorderColors() noexcept { return borderColors_; }
  const TIWGridBorderColors& BorderColors() const noexcept { return borderColors_; }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor v) { SetProperty(bgColor_, v); }
  // Written as the table's Border when 0 or more.
  int BorderSize() const noexcept { return borderSize_; }
  void SetBorderSize(int v) { SetProperty(borderSize_, v); }
  TIWGridBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(TIWGridBorderStyle v) { SetProperty(borderStyle_, v); }
  // Markup written above the rows as it is.
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view v) { SetProperty(caption_, v); }
  int CellPadding() const noexcept { return cellPadding_; }
  void SetCellPadding(int v) { SetProperty(cellPadding_, v); }
  int CellSpacing() const noexcept { return cellSpacing_; }
  void SetCellSpacing(int v) { SetProperty(cellSpacing_, v); }
  // Kept with the grid; the rendering does not use it.
  int FrameBuffer() const noexcept { return frameBuffer_; }
  void SetFrameBuffer(int v) { SetProperty(frameBuffer_, v); }
  TIWGridLines Lines() const noexcept { return lines_; }
  void SetLines(TIWGridLines v) { SetProperty(lines_, v); }
  const std::string& Summary() const noexcept { return summary_; }
  void SetSummary(std::string_view v) { SetProperty(summary_, v); }
  // The table takes the control's width (the frame's, with UseFrame) and the page the
  // control's size.
  bool UseSize() const noexcept { return useSize_; }
  void SetUseSize(bool v) { SetProperty(useSize_, v); }
  const TIWRenderCellEvent& OnRenderCell() const noexcept { return onRenderCell_; }
  void SetOnRenderCell(TIWRenderCellEvent handler) { onRenderCell_ = std::move(handler); }
  // Fires at the start of every rendering.
  const TNotifyEvent& OnRender() const noexcept { return onRender_; }
  void SetOnRender(TNotifyEvent handler) { onRender_ = std::move(handler); }

  void SetDefaults() override;

 protected:
  TIWCustomGrid();

  // The TABLE element without rows; it sets the rendered size after UseSize.
  std::unique_ptr<TIWMarkupLanguageTag> RenderTable();

  // Cell rendering. PrepareCell makes the markup of a working copy once; AppendCell writes a
  // cell with `text` (the cell's own text when null; the text is markup as it is). The
  // control's markup is given only in the row of the current record.
  TIWCellMarkup PrepareCell(const TIWGridCell& copy) const;
  static void AppendCell(std::string& out, const TIWCellMarkup& cell, std::string_view text,
                         const std::string* controlMarkup);
  // A working copy through OnRenderCell, prepared and written: for cells whose handler may
  // change anything. `currentRow` (the grid's render context) is given in the row of the
  // current record only, where the cell's control is rendered.
  void RenderCell(std::string& out, TIWGridCell copy, const std::string* text, int row,
                  int column, TIWComponent40Context* currentRow);
  // The markup of a cell's embedded control, rendered like a control of the page (its own
  // style, ID, NAME and hidden inputs).
  std::string RenderCellControl(TIWComponent40Context& context, TIWCustomControl& control) const;

 private:
  TIWGridBorderColors borderColors_;
  TColor bgColor_ = clNone;
  int borderSize_ = 1;
  TIWGridBorderStyle borderStyle_ = tfDefault;
  std::string caption_;
  int cellPadding_ = 0;
  int cellSpacing_ = 0;
  int frameBuffer_ = 40;
  TIWGridLines lines_ = tlAll;
  std::string summary_;
  bool useSize_ = true;
  TIWRenderCellEvent onRenderCell_;
  TNotifyEvent onRender_;
};

}  // namespace qx
