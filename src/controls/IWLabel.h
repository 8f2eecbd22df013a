// TIWLabel: static text. A SPAN (or a LABEL tied to another control) holding the caption,
// escaped with line breaks; it posts nothing and runs no action.
#pragma once

#include "controls/Alignment.h"
#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

class TIWCustomLabel : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomLabel, TIWCustomControl)

 public:
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view caption) { SetProperty(caption_, caption); }
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment alignment) { SetProperty(alignment_, alignment); }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor color) { SetProperty(bgColor_, color); }
  // The caption is kept on one line (NOBR).
  bool NoWrap() const noexcept { return noWrap_; }
  void SetNoWrap(bool noWrap) { SetProperty(noWrap_, noWrap); }
  // Spaces are written as non-breaking spaces.
  bool ConvertSpaces() const noexcept { return convertSpaces_; }
  void SetConvertSpaces(bool convert) { SetProperty(convertSpaces_, convert); }
  // The control the label names: the label becomes a LABEL element "for" it.
  TIWCustomControl* ForControl() const noexcept { return forControl_.Get(); }
  void SetForControl(TIWCustomControl* control);
  // Kept with the label; the caption is escaped whatever it says.
  bool RawText() const noexcept { return rawText_; }
  void SetRawText(bool raw) noexcept { rawText_ = raw; }

  void SetDefaults() override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // The common scripts and the asynchronous events.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // <control type="IWLABEL"> with the caption's markup as "innerhtml".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;

 protected:
  TIWCustomLabel();

 private:
  // The caption as the element's content.
  std::string ContentMarkup() const;

  std::string caption_;
  TAlignment alignment_ = taLeftJustify;
  TColor bgColor_ = clNone;
  bool noWrap_ = false;
  bool convertSpaces_ = false;
  TComponentRef<TIWCustomControl> forControl_{this};
  bool rawText_ = false;

  QX_ASYNC_EVENTS
};

class TIWLabel : public TIWCustomLabel {
  QX_CLASS(TIWLabel, TIWCustomLabel)

 public:
  TIWLabel() = default;
};

// A transient label that stands in for a non-editable control shown as a label: it has the
// control's name and bounds and shows `caption`; the caller renders it and lets it go.
Owned<TIWLabel> StandInLabel(const TIWCustomControl& control, std::string_view caption);

}  // namespace qx
