// The grid cell's properties, its size rules and its working copy.
#include "controls/IWGridCell.h"

#include <algorithm>

#include "controls/IWGrid.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kInvalidCellWidth = "\"%s\" is not a valid width.";
const char* const kInvalidCellHeight = "\"%s\" is not a valid height.";
const char* const kControlAssignedToItself = "You cannot assign the control to itself";

const TClassInfo& TIWGridCell::StaticClassInfo() {
  using T = TIWGridCell;
  static const TClassInfo info =
      TClassBuilder<T>("TIWGridCell")
          .Property("Alignment", &T::Alignment, &T::SetAlignment)
          .Property("BGColor", &T::BGColor, &T::SetBGColor)
          .Property("Control", &T::Control, &T::SetControl)
          .Property("DoSubmitValidation", &T::DoSubmitValidation, &T::SetDoSubmitValidation)
          .Property("Font", static_cast<TIWFont& (T::*)()>(&T::Font))
          .Property("Header", &T::Header, &T::SetHeader)
          .Property("Height", &T::Height, &T::SetHeight)
          .Property("Hint", &T::Hint, &T::SetHint)
          .Property("Tag", &T::Tag, &T::SetTag)
          .Property("Text", &T::Text, &T::SetText)
          .Property("UnlinkedText", &T::UnlinkedText, &T::SetUnlinkedText)
          .Property("VAlign", &T::VAlign, &T::SetVAlign)
          .Property("Visible", &T::Visible, &T::SetVisible)
          .Property("Width", &T::Width, &T::SetWidth)
          .Property("Wrap", &T::Wrap, &T::SetWrap)
          .Property("RawText", &T::RawText, &T::SetRawText)
          .Property("Css", &T::Css, &T::SetCss)
          .Build();
  return info;
}

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A positive integer followed by "%".
bool IsPercent(std::string_view s) {
  if (s.size() < 2 || s.back() != '%') return false;
  const std::string_view number = s.substr(0, s.size() - 1);
  return AllDigits(number) && number.find_first_not_of('0') != std::string_view::npos;
}

}  // namespace

TIWGridCell::TIWGridCell() { font_.SetOnChange([this] { Changed(); }); }

TIWGridCell::TIWGridCell(const TIWGridCell* owner) : TIWGridCell() { owner_ = owner; }

TIWGridCell::TIWGridCell(const TIWGridCell& other)
    : TCollectionItem(other),
      alignment_(other.alignment_),
      bgColor_(other.bgColor_),
      control_(other.control_),
      doSubmitValidation_(other.doSubmitValidation_),
      font_(other.font_),
      header_(other.header_),
      height_(other.height_),
      hint_(other.hint_),
      tag_(other.tag_),
      text_(other.text_),
      unlinkedText_(other.unlinkedText_),
      vAlign_(other.vAlign_),
      visible_(other.visible_),
      width_(other.width_),
      wrap_(other.wrap_),
      rawText_(other.rawText_),
      css_(other.css_) {}

TIWCustomGrid* TIWGridCell::Grid() const noexcept {
  if (owner_) return owner_->Grid();
  if (auto* cells = dynamic_cast<const TIWGridCellOwner*>(Collection())) return cells->Grid();
  return nullptr;
}

void TIWGridCell::Changed() const {
  if (TIWCustomGrid* grid = Grid()) grid->MarkChanged();
}

void TIWGridCell::SetControl(TIWCustomControl* control) {
  if (control && control == Grid()) throw EComponentError(kControlAssignedToItself);
  if (control == control_.Get()) return;
  control_ = control;
  Changed();
}

void TIWGridCell::SetWidth(std::string_view v) {
  const std::string width = Trim(v);
  if (!AllDigits(width) && !IsPercent(width) && (width.empty() || width.back() != '*'))
    throw EIWException(Format(kInvalidCellWidth, {v}));
  Set(width_, width);
}

void TIWGridCell::SetHeight(std::string_view v) {
  const std::string height = Trim(v);
  if (!AllDigits(height) && !IsPercent(height)) throw EIWException(Format(kInvalidCellHeight, {v}));
  Set(height_, height);
}

TIWGridCell TIWGridCell::WorkingCopy() const {
  TIWGridCell copy;
  copy.alignment_ = alignment_;
  copy.bgColor_ = bgColor_;
  copy.font_ = font_;
  copy.header_ = header_;
  copy.height_ = height_;
  copy.text_ = text_;
  copy.vAlign_ = vAlign_;
  copy.width_ = width_;
  copy.wrap_ = wrap_;
  copy.visible_ = visible_;
  copy.control_ = control_;
  return copy;
}

}  // namespace qx
