// TIWText: multi-line static text in a DIV, escaped unless it is raw markup. It posts nothing
// and runs no action.
#pragma once

#include "forms/Control.h"

namespace qx {

class TIWCustomText : public TIWCustomControl {
  QX_CLASS(TIWCustomText, TIWCustomControl)

 public:
  const TStringList& Lines() const noexcept { return lines_; }
  void SetLines(const TStringList& lines) { SetProperty(lines_, lines); }
  // Line ends are shown as line breaks.
  bool WantReturns() const noexcept { return wantReturns_; }
  void SetWantReturns(bool want) { SetProperty(wantReturns_, want); }
  // Spaces are written as non-breaking spaces.
  bool ConvertSpaces() const noexcept { return convertSpaces_; }
  void SetConvertSpaces(bool convert) { SetProperty(convertSpaces_, convert); }
  // The lines are markup written as they are.
  bool RawText() const noexcept { return rawText_; }
  void SetRawText(bool raw) { SetProperty(rawText_, raw); }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor color) { SetProperty(bgColor_, color); }

  void SetDefaults() override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWTEXT"> with the content as "innerhtml".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The common style, then the background colour.
  std::string StyleText(TIWComponent40Context& context) override;

 protected:
  TIWCustomText();

 private:
  // The lines as the DIV's content.
  std::string ContentMarkup() const;

  TStringList lines_;
  bool wantReturns_ = true;
  bool convertSpaces_ = false;
  bool rawText_ = false;
  TColor bgColor_ = clNone;
};

class TIWText : public TIWCustomText {
  QX_CLASS(TIWText, TIWCustomText)

 public:
  TIWText() = default;
};

}  // namespace qx
