// TIWLink: a hyperlink that posts the page and runs OnClick; disabled, or without OnClick, it
// is plain label text.
#pragma once

#include "controls/Alignment.h"
#include "forms/Control.h"

namespace qx {

class TIWLinkBase : public TIWCustomControl {
  QX_CLASS(TIWLinkBase, TIWCustomControl)

 public:
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view caption) { SetProperty(caption_, caption); }
  // The caption is markup of its own, written unescaped.
  bool RawText() const noexcept { return rawText_; }
  void SetRawText(bool raw) { SetProperty(rawText_, raw); }
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment alignment) { SetProperty(alignment_, alignment); }
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  // The action parameter of the last post the link caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  bool CanSubmit() const override { return static_cast<bool>(onClick_); }
  // An "A" (inside an aligning "DIV" when sized and not left-aligned), or a label's element.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWLINK"> with the caption's markup as "innerhtml".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The common style, then the background colour.
  std::string StyleText(TIWComponent40Context& context) override;
  // The click posts the page only while the element is a link (it has an href).
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // OnClick.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWLinkBase();

 private:
  bool RendersAsLink() const { return Enabled() && onClick_; }
  // The A sits in a DIV that aligns it.
  bool Wrapped() const { return RenderSize() && alignment_ != taLeftJustify; }
  std::string ContentMarkup() const;

  std::string caption_;
  bool rawText_ = false;
  TAlignment alignment_ = taLeftJustify;
  TNotifyEvent onClick_;
  std::string actionParam_;
};

class TIWLink : public TIWLinkBase {
  QX_CLASS(TIWLink, TIWLinkBase)

 public:
  TIWLink() = default;
};

}  // namespace qx
