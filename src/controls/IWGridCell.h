// TIWGridCell: one cell of a grid as a collection item (a column, a column's title): its
// alignment, colours, font, size, text and embedded control, with the rules on its width and
// height, and the working copy a grid renders each cell from.
#pragma once

#include <string>
#include <string_view>

#include "controls/Alignment.h"
#include "forms/Control.h"
#include "forms/Font.h"
#include "runtime/Collection.h"

namespace qx {

class TIWCustomGrid;

// A cell's vertical alignment: vaMiddle, vaTop, vaBottom, vaBaseline.
using TIWGridVAlign = TIWVerticalAlign;

// "\"%s\" is not a valid width." / "\"%s\" is not a valid height." (Format: the value).
extern const char* const kInvalidCellWidth;
extern const char* const kInvalidCellHeight;
// "You cannot assign the control to itself"
extern const char* const kControlAssignedToItself;

// What a cell's items and collections answer about the grid they belong to.
class TIWGridCellOwner {
 public:
  virtual TIWCustomGrid* Grid() const noexcept = 0;

 protected:
  ~TIWGridCellOwner() = default;
};

class TIWGridCell : public TCollectionItem {
  QX_CLASS(TIWGridCell, TCollectionItem)

 public:
  TIWGridCell();
  // A cell that belongs to `owner` (a column's title belongs to its column).
  explicit TIWGridCell(const TIWGridCell* owner);
  TIWGridCell(const TIWGridCell& other);
  TIWGridCell& operator=(const TIWGridCell&) = delete;

  // The grid the cell belongs to, or none.
  TIWCustomGrid* Grid() const noexcept;

  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment v) { Set(alignment_, v); }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor v) { Set(bgColor_, v); }
  // A control rendered inside the cell, in the row of the dataset's current record only.
  // Refused with EComponentError kControlAssignedToItself for the cell's own grid.
  TIWCustomControl* Control() const noexcept { return control_.Get(); }
  void SetControl(TIWCustomControl* control);
  bool DoSubmitValidation() const noexcept { return doSubmitValidation_; }
  void SetDoSubmitValidation(bool v) { Set(doSubmitValidation_, v); }
  TIWFont& Font() noexcept { return font_; }
  const TIWFont& Font() const noexcept { return font_; }
  // Rendered as a TH instead of a TD.
  bool Header() const noexcept { return header_; }
  void SetHeader(bool v) { Set(header_, v); }
  // "0" for none, a positive integer with "%", or an integer of 0 or more; otherwise refused
  // with EIWException kInvalidCellHeight and the old value kept.
  const std::string& Height() const noexcept { return height_; }
  void SetHeight(std::string_view v);
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(std::string_view v) { Set(hint_, v); }
  int Tag() const noexcept { return tag_; }
  void SetTag(int v) { Set(tag_, v); }
  const std::string& Text() const noexcept { return text_; }
  void SetText(std::string_view v) { Set(text_, v); }
  // Kept with the cell for the application; the rendering does not use it.
  const std::string& UnlinkedText() const noexcept { return unlinkedText_; }
  void SetUnlinkedText(std::string_view v) { Set(unlinkedText_, v); }
  TIWGridVAlign VAlign() const noexcept { return vAlign_; }
  void SetVAlign(TIWGridVAlign v) { Set(vAlign_, v); }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool v) { Set(visible_, v); }
  // "0" for none, a positive integer with "%", anything ending in "*", or an integer of 0 or
  // more; otherwise refused with EIWException kInvalidCellWidth and the old value kept.
  const std::string& Width() const noexcept { return width_; }
  void SetWidth(std::string_view v);
  bool Wrap() const noexcept { return wrap_; }
  void SetWrap(bool v) { Set(wrap_, v); }
  // The cell's text is markup written as it is (otherwise escaped, with line breaks).
  bool RawText() const noexcept { return rawText_; }
  void SetRawText(bool v) { Set(rawText_, v); }
  const std::string& Css() const noexcept { return css_; }
  void SetCss(std::string_view v) { Set(css_, v); }

  // The copy a cell is rendered from: alignment, background, font, header flag, height, text,
  // vertical alignment, width, wrap, visibility and control; its text is raw, and it has no
  // hint, class or owner.
  TIWGridCell WorkingCopy() const;

 protected:
  // Tells the grid that what it shows changed.
  void Changed() const;
  template <class Field, class Value>
  void Set(Field& field, Value&& value) {
    if (AssignProperty(field, std::forward<Value>(value))) Changed();
  }

 private:
  const TIWGridCell* owner_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  TColor bgColor_ = clNone;
  TComponentRef<TIWCustomControl> control_;
  bool doSubmitValidation_ = true;
  TIWFont font_;
  bool header_ = false;
  std::string height_ = "0";
  std::string hint_;
  int tag_ = 0;
  std::string text_;
  std::string unlinkedText_;
  TIWGridVAlign vAlign_ = vaMiddle;
  bool visible_ = true;
  std::string width_ = "0";
  bool wrap_ = false;
  bool rawText_ = true;
  std::string css_;
};

}  // namespace qx
