// What every HTML 4.0 control shares, whether it is a plain control or a container such as a
// region: the common published properties with their defaults, the component-name rule, the
// changed mark, the rendered position and size per browser, the style text, hints and status
// texts, client object registration, script events, the submit call script and anchor.
//
// Written once as a template over the visual base class: TIWControlFeatures<TControl> is the
// root of the plain controls, TIWControlFeatures<TIWHTMLContainer> of regions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "forms/Container.h"
#include "forms/Font.h"
#include "forms/Interfaces.h"
#include "forms/ScriptEvents.h"

namespace qx {


enum TIWCursor : int {
  crAuto, crCrossHair, crDefault, crPointer, crMove, crEResize, crNEResize, crNWResize,
  crNResize, crSEResize, crSWResize, crSResize, crWResize, crText, crWait, crHelp
};
const TEnumInfo& EnumInfoOf(TIWCursor);

// Which parts of the style text a control writes.
class TIWStyleRenderOptions : public TPersistent {
  QX_CLASS(TIWStyleRenderOptions, TPersistent)

 public:
  bool RenderSize() const noexcept { return renderSize_; }
  void SetRenderSize(bool v) noexcept { renderSize_ = v; }
  bool RenderPosition() const noexcept { return renderPosition_; }
  void SetRenderPosition(bool v) noexcept { renderPosition_ = v; }
  bool RenderFont() const noexcept { return renderFont_; }
  void SetRenderFont(bool v) noexcept { renderFont_ = v; }
  bool RenderZIndex() const noexcept { return renderZIndex_; }
  void SetRenderZIndex(bool v) noexcept { renderZIndex_ = v; }
  // An invisible control that is rendered (partial-update forms only) writes
  // "visibility:hidden;" in its style.
  bool RenderVisibility() const noexcept { return renderVisibility_; }
  void SetRenderVisibility(bool v) noexcept { renderVisibility_ = v; }
  bool RenderStatus() const noexcept { return renderStatus_; }
  void SetRenderStatus(bool v) noexcept { renderStatus_ = v; }

 private:
  bool renderSize_ = true;
  bool renderPosition_ = true;
  bool renderFont_ = true;
  bool renderZIndex_ = true;
  bool renderVisibility_ = true;
  bool renderStatus_ = true;
};

// Receives a control's finished tag and may change it.
using THTMLTagEvent = std::function<void(TObject* sender, TIWMarkupLanguageTag& tag)>;

// Fails with EComponentError kInvalidComponentName for a name holding "_", which element names
// use to join a control's name to other parts (N_onclick, N_CHECKBOX).
void CheckRuntimeComponentName(std::string_view name);

// The z-index value that writes none.
constexpr int kNoZIndex = -100;
// The border of a control's frame (UseFrame), in pixels.
constexpr int kControlFrameBorder = 2;

template <class Base>
class TIWControlFeatures : public Base, public IIWHTML40Control {
  QX_CLASS(TIWControlFeatures, Base)

 public:
  TComponent& AsComponent() noexcept override { return *this; }
  IIWBaseComponent* AsBaseComponent() noexcept override { return this; }
  TControl& AsControl() noexcept override { return *this; }
  std::string ElementName() const override { return ElementNameOf(*this); }
  void SetDefaults() override;

  // --- Common properties.
  // Follows Name while it equals it.
  std::string FriendlyName() const override;
  void SetFriendlyName(std::string_view name);
  int ZIndex() const noexcept { return zIndex_; }
  void SetZIndex(int zIndex) { SetProperty(zIndex_, zIndex); }
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(std::string_view hint) { SetProperty(hint_, hint); }
  bool ShowHint() const noexcept { return showHint_; }
  void SetShowHint(bool show) { SetProperty(showHint_, show); }
  // The hint is also the status text.
  bool IW50Hint() const noexcept { return iw50Hint_; }
  void SetIW50Hint(bool v) { SetProperty(iw50Hint_, v); }
  const std::string& StatusText() const noexcept { return statusText_; }
  void SetStatusText(std::string_view text) { SetProperty(statusText_, text); }
  int TabOrder() const override { return tabOrder_; }
  void SetTabOrder(int order) { SetProperty(tabOrder_, order); }
  bool HasTabOrder() const override { return hasTabOrder_; }
  void SetHasTabOrder(bool v) { SetProperty(hasTabOrder_, v); }
  TIWFont& Font() noexcept { return font_; }
  const TIWFont& Font() const noexcept { return font_; }
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor color) { SetProperty(color_, color); }
  // A style-sheet class that replaces the generated one.
  const std::string& Css() const noexcept { return css_; }
  void SetCss(std::string_view css) { SetProperty(css_, css); }
  TIWCursor Cursor() const noexcept { return cursor_; }
  void SetCursor(TIWCursor cursor) { SetProperty(cursor_, cursor); }
  bool RenderSize() const noexcept { return renderSize_; }
  void SetRenderSize(bool v) { SetProperty(renderSize_, v); }
  TIWStyleRenderOptions& StyleRenderOptions() noexcept { return styleRenderOptions_; }
  const TIWStyleRenderOptions& StyleRenderOptions() const noexcept { return styleRenderOptions_; }
  // The control is drawn inside an inset border frame.
  bool UseFrame() const noexcept { return useFrame_; }
  void SetUseFrame(bool v) { SetProperty(useFrame_, v); }
  // Whether the frame is drawn: UseFrame, unless the control never draws one.
  virtual bool UsesFrame() const { return useFrame_; }
  TIWScriptEvents& ScriptEvents() noexcept { return scriptEvents_; }
  const TIWScriptEvents& ScriptEvents() const noexcept { return scriptEvents_; }
  bool DoSubmitValidation() const noexcept { return doSubmitValidation_; }
  void SetDoSubmitValidation(bool v) { SetProperty(doSubmitValidation_, v); }
  // Asked in the browser before the control posts; empty for none.
  const std::string& Confirmation() const noexcept { return confirmation_; }
  void SetConfirmation(std::string_view text) { SetProperty(confirmation_, text); }
  bool Editable() const override { return editable_; }
  void SetEditable(bool v) { SetProperty(editable_, v); }
  bool NonEditableAsLabel() const noexcept { return nonEditableAsLabel_; }
  void SetNonEditableAsLabel(bool v) { SetProperty(nonEditableAsLabel_, v); }
  // The control sizes itself (no size is written unless RenderSize asks for it).
  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool v) {
    if (SetProperty(autoSize_, v)) AutoSizeChanged();
  }
  // name=value lines added to the element.
  const TStringList& ExtraTagParams() const noexcept { return extraTagParams_; }
  void SetExtraTagParams(const TStringList& params);
  const THTMLTagEvent& OnHTMLTag() const noexcept { return onHTMLTag_; }
  void SetOnHTMLTag(THTMLTagEvent handler) { onHTMLTag_ = std::move(handler); }

  // --- Rendering (the control contract).
  std::string StyleText(TIWComponent40Context& context) override;
  std::string CssClassName() const override;
  // Base: the hint or status text on mouse over, focus, mouse out and blur, and the content
  // change tracking of controls that report it.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  void PostProcessTag(TIWComponent40Context& context) override;
  void DoHTMLTag(TIWMarkupLanguageTag& tag) override;

  // Position and size as the page gives them for the browser (relative to the element of the
  // container the control is rendered in).
  int RenderedLeft(TIWBrowser browser) const override;
  int RenderedTop(TIWBrowser browser) const override;
  int RenderedWidth(TIWBrowser browser) const override;
  int RenderedHeight(TIWBrowser browser) const override;

  // Script that posts the page naming this control (or `nameOverride`) with `parameter`;
  // `standalone` gives the statement form for an attribute of its own.
  std::string SubmitCallScript(const TIWPageContext40& page, std::string_view parameter,
                               std::string_view nameOverride = {}, bool standalone = false) const;
  // An "A" tag with HREF="#" whose OnClick posts the page naming this control; with
  // `mergeEvents` the control's own OnClick handlers run first.
  std::unique_ptr<TIWMarkupLanguageTag> SubmitAnchor(const TIWPageContext40& page,
                                                     std::string innerText,
                                                     std::string_view parameter,
                                                     bool standalone, bool mergeEvents) const;

 protected:
  TIWControlFeatures();

  // The control clips its content to its size (written in its style text).
  virtual bool Clips() const { return false; }
  // Called after AutoSize changed (an image then takes its picture's size).
  virtual void AutoSizeChanged() {}
  // The border inside the control's bounds: a container's border width, else 0.
  int BorderWidthOf() const {
    if constexpr (std::is_base_of_v<TWinControl, Base>) return this->BorderWidth();
    else return 0;
  }
  // Registers the control's client object (declaration, creation, alignment and anchors).
  void RegisterClientObject(TIWComponent40Context& context);

  void ValidateName(std::string_view name) const override;
  void BoundsChanged() override { MarkChanged(); }
  void VisibleChanged() override { MarkChanged(); }
  void EnabledChanged() override { MarkChanged(); }

 private:
  std::string friendlyName_;
  int zIndex_ = 0;
  std::string hint_;
  bool showHint_ = true;
  bool iw50Hint_ = false;
  std::string statusText_;
  int tabOrder_ = 0;
  bool hasTabOrder_ = true;
  TIWFont font_;
  TColor color_ = clNone;
  std::string css_;
  TIWCursor cursor_ = crAuto;
  bool renderSize_ = false;
  TIWStyleRenderOptions styleRenderOptions_;
  bool useFrame_ = false;
  TIWScriptEvents scriptEvents_;
  bool doSubmitValidation_ = true;
  std::string confirmation_;
  bool editable_ = true;
  bool nonEditableAsLabel_ = true;
  bool autoSize_ = true;
  TStringList extraTagParams_;
  THTMLTagEvent onHTMLTag_;
};

extern template class TIWControlFeatures<TControl>;
extern template class TIWControlFeatures<TIWHTMLContainer>;

// The frame "DIV" of a region or of a control's border frame: border, overflow, background,
// padding and clip, for a rendered size of width × height.
struct TIWFrameStyle {
  TColor BorderColor = clNone;
  std::string BorderStyle;   // "solid", "inset" …
  std::string BorderWidth;   // "thin", "2" …
  int BorderPixels = 0;
  bool HorzScroll = true;
  bool VertScroll = true;
  bool Clip = true;
  TColor Background = clNone;
};
std::string FrameStyleText(const TIWFrameStyle& frame, int width, int height, TIWBrowser browser);

}  // namespace qx
