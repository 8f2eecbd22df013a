// TIWRectangle: a coloured box with one line of text, drawn as a one-cell table. It posts
// nothing and runs no action.
#pragma once

#include "controls/Alignment.h"
#include "controls/BorderOptions.h"
#include "forms/Control.h"

namespace qx {

class TIWCustomRectangle : public TIWCustomControl {
  QX_CLASS(TIWCustomRectangle, TIWCustomControl)

 public:
  // Written as it is: the text may hold markup.
  const std::string& Text() const noexcept { return text_; }
  void SetText(std::string_view text) { SetProperty(text_, text); }
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment alignment) { SetProperty(alignment_, alignment); }
  TIWVerticalAlign VAlign() const noexcept { return vAlign_; }
  void SetVAlign(TIWVerticalAlign vAlign) { SetProperty(vAlign_, vAlign); }
  TIWBorderOptions& BorderOptions() noexcept { return borderOptions_; }
  const TIWBorderOptions& BorderOptions() const noexcept { return borderOptions_; }

  void SetDefaults() override;
  // <TABLE> with the colour, size and border, holding one row and one cell with the text.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;

 protected:
  TIWCustomRectangle();

 private:
  std::string text_;
  TAlignment alignment_ = taLeftJustify;
  TIWVerticalAlign vAlign_ = vaMiddle;
  TIWBorderOptions borderOptions_;
};

class TIWRectangle : public TIWCustomRectangle {
  QX_CLASS(TIWRectangle, TIWCustomRectangle)

 public:
  TIWRectangle() = default;
};

}  // namespace qx
