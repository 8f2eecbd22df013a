// The shared behaviour of HTML 4.0 controls and regions: defaults, the name rule, rendered
// geometry per browser, style text, status scripts, client objects, border frames, submit
// scripts. Instantiated for the two visual bases at the end of the file.
#include "forms/ControlFeatures.h"

#include <algorithm>

#include "forms/LayoutMgr.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const TEnumInfo& EnumInfoOf(TIWCursor) {
  static const TEnumInfo info(
      "TIWCursor",
      {QX_ENUM(crAuto), QX_ENUM(crCrossHair), QX_ENUM(crDefault), QX_ENUM(crPointer),
       QX_ENUM(crMove), QX_ENUM(crEResize), QX_ENUM(crNEResize), QX_ENUM(crNWResize),
       QX_ENUM(crNResize), QX_ENUM(crSEResize), QX_ENUM(crSWResize), QX_ENUM(crSResize),
       QX_ENUM(crWResize), QX_ENUM(crText), QX_ENUM(crWait), QX_ENUM(crHelp)});
  return info;
}

const TClassInfo& TIWStyleRenderOptions::StaticClassInfo() {
  using T = TIWStyleRenderOptions;
  static const TClassInfo info =
      TClassBuilder<T>("TIWStyleRenderOptions")
          .Property("RenderSize", &T::RenderSize, &T::SetRenderSize)
          .Property("RenderPosition", &T::RenderPosition, &T::SetRenderPosition)
          .Property("RenderFont", &T::RenderFont, &T::SetRenderFont)
          .Property("RenderZIndex", &T::RenderZIndex, &T::SetRenderZIndex)
          .Property("RenderVisibility", &T::RenderVisibility, &T::SetRenderVisibility)
          .Property("RenderStatus", &T::RenderStatus, &T::SetRenderStatus)
          .Build();
  return info;
}

namespace {

// CSS cursor names for crCrossHair … crHelp.
constexpr const char* kCursorNames[] = {
    "crosshair;", "default;", "pointer;", "move;", "e-resize;", "ne-resize;", "nw-resize;",
    "n-resize;", "se-resize;", "sw-resize;", "s-resize;", "w-resize;", "text;", "wait;", "help;"};

// Regions and other containers: their border narrows them in some browsers.
template <class Base>
constexpr bool kIsContainer = std::is_base_of_v<TIWBaseContainer, Base>;

bool IsGecko(TIWBrowser browser) { return browser == brNetscape7 || browser == brNetscape6; }

// Browsers whose absolute positions inside a bordered container count from the outer edge
// twice over, and Safari's one-pixel shift.
int BorderFactor(TIWBrowser browser) { return browser == brOpera || browser == brSafari ? 2 : 1; }
int SafariShift(TIWBrowser browser) { return browser == brSafari ? 1 : 0; }

const char* AnchorWord(bool on, bool last) {
  if (last) return on ? "true" : "false";
  return on ? "true, " : "false, ";
}

}  // namespace

std::string FrameStyleText(const TIWFrameStyle& frame, int width, int height, TIWBrowser browser) {
  std::string s;
  if (frame.BorderColor != clNone) s += "border-color:" + ColorText(frame.BorderColor) + ";";
  s += "border-style:" + frame.BorderStyle + ";";
  s += "border-width:" + frame.BorderWidth + ";";
  if (frame.Clip) {
    const bool oneOverflow = browser == brNetscape7 || browser == brOpera ||
                             browser == brSafari || browser == brNetscape6;
    if (oneOverflow) {
      s += frame.HorzScroll || frame.VertScroll ? "overflow:auto;" : "overflow:hidden;";
    } else {
      s += frame.HorzScroll ? "overflow-x:auto;" : "overflow-x:hidden;";
      s += frame.VertScroll ? "overflow-y:auto;" : "overflow-y:hidden;";
    }
  }
  if (frame.Background != clNone) s += "background-color:" + ColorText(frame.Background) + ";";
  s += "padding:0;";
  if (frame.Clip) {
    const int b = browser == brIE || browser == brOpera ? 0 : frame.BorderPixels;
    s += "clip:rect(0px," + IntToStr(width + 2 * b) + "px," + IntToStr(height + 2 * b) + "px,0px);";
  }
  return s;
}

// ---- construction and properties ----------------------------------------------------------

template <class Base>
const TClassInfo& TIWControlFeatures<Base>::StaticClassInfo() {
  using T = TIWControlFeatures<Base>;
  static const TClassInfo info =
      TClassBuilder<T>("TIWControlFeatures")
          .Property("FriendlyName", &T::FriendlyName, &T::SetFriendlyName)
          .Property("ZIndex", &T::ZIndex, &T::SetZIndex)
          .Property("Hint", &T::Hint, &T::SetHint)
          .Property("ShowHint", &T::ShowHint, &T::SetShowHint)
          .Property("IW50Hint", &T::IW50Hint, &T::SetIW50Hint)
          .Property("StatusText", &T::StatusText, &T::SetStatusText)
          .Property("TabOrder", &T::TabOrder, &T::SetTabOrder)
          .Property("HasTabOrder", &T::HasTabOrder, &T::SetHasTabOrder)
          .Property("Font", static_cast<TIWFont& (T::*)()>(&T::Font))
          .Property("Color", &T::Color, &T::SetColor)
          .Property("Css", &T::Css, &T::SetCss)
          .Property("Cursor", &T::Cursor, &T::SetCursor)
          .Property("RenderSize", &T::RenderSize, &T::SetRenderSize)
          .Property("StyleRenderOptions",
                    static_cast<TIWStyleRenderOptions& (T::*)()>(&T::StyleRenderOptions))
          .Property("UseFrame", &T::UseFrame, &T::SetUseFrame)
          .Property("ScriptEvents", static_cast<TIWScriptEvents& (T::*)()>(&T::ScriptEvents))
          .Property("DoSubmitValidation", &T::DoSubmitValidation, &T::SetDoSubmitValidation)
          .Property("Confirmation", &T::Confirmation, &T::SetConfirmation)
          .Property("Editable", &T::Editable, &T::SetEditable)
          .Property("NonEditableAsLabel", &T::NonEditableAsLabel, &T::SetNonEditableAsLabel)
          .Property("AutoSize", &T::AutoSize, &T::SetAutoSize)
          .Property("ExtraTagParams", &T::ExtraTagParams, &T::SetExtraTagParams)
          .Property("OnHTMLTag", &T::OnHTMLTag, &T::SetOnHTMLTag)
          .Build();
  return info;
}

template <class Base>
TIWControlFeatures<Base>::TIWControlFeatures() {
  font_.SetOnChange([this] { MarkChanged(); });
  TIWControlFeatures::SetDefaults();
}

template <class Base>
void TIWControlFeatures<Base>::SetDefaults() {
  friendlyName_.clear();
  zIndex_ = 0;
  hint_.clear();
  showHint_ = true;
  iw50Hint_ = false;
  statusText_.clear();
  tabOrder_ = 0;
  hasTabOrder_ = true;
  font_ = TIWFont();
  color_ = clNone;
  css_.clear();
  cursor_ = crAuto;
  renderSize_ = false;
  styleRenderOptions_ = TIWStyleRenderOptions();
  useFrame_ = false;
  scriptEvents_.Clear();
  doSubmitValidation_ = true;
  confirmation_.clear();
  editable_ = true;
  nonEditableAsLabel_ = true;
  autoSize_ = true;
  extraTagParams_.Clear();
  this->SetVisible(true);
  this->SetEnabled(true);
  this->SetAlign(alNone);
  this->SetAnchors({akLeft, akTop});
  this->SetBounds(this->Left(), this->Top(), 24, 24);
}

void CheckRuntimeComponentName(std::string_view name) {
  if (name.find('_') != std::string_view::npos)
    throw EComponentError(Format(kInvalidComponentName, {name}));
}

template <class Base>
void TIWControlFeatures<Base>::ValidateName(std::string_view name) const {
  CheckRuntimeComponentName(name);
  Base::ValidateName(name);
}

template <class Base>
std::string TIWControlFeatures<Base>::FriendlyName() const {
  return friendlyName_.empty() ? this->Name() : friendlyName_;
}

template <class Base>
void TIWControlFeatures<Base>::SetFriendlyName(std::string_view name) {
  friendlyName_ = name == this->Name() ? std::string() : std::string(name);
}

template <class Base>
void TIWControlFeatures<Base>::SetExtraTagParams(const TStringList& params) {
  extraTagParams_ = params;
  MarkChanged();
}

// ---- geometry ---------------------------------------------------------------------------------

namespace {

// One axis of the rendered position. `pos` is the design value, `alignedFar` whether the
// control is aligned to the far side (alRight / alBottom), `alignedNear` to the near one.
int RenderedPosition(int pos, const TWinControl& parent, bool alignedFar, bool alignedNear,
                     int scroll, TIWBrowser browser) {
  const int clientStart = parent.BorderWidth();
  // A control placed in a bordered container stays clear of the border.
  pos = std::max(pos, clientStart);
  int rendered = alignedFar ? pos - clientStart
                            : pos - SafariShift(browser) - BorderFactor(browser) * clientStart;
  if (!alignedNear) rendered += scroll;
  return rendered;
}

int ScrollOf(const TWinControl& parent, bool horizontal) {
  auto* scrolling = ClassCast<TScrollingWinControl>(&parent);
  if (!scrolling) return 0;
  auto& self = const_cast<TScrollingWinControl&>(*scrolling);
  return horizontal ? self.HorzScrollBar().Position() : self.VertScrollBar().Position();
}

}  // namespace

template <class Base>
int TIWControlFeatures<Base>::RenderedLeft(TIWBrowser browser) const {
  const TWinControl* parent = this->Parent();
  if (!parent) return this->Left();
  int left = this->Left();
  if (auto* frame = ClassCast<TFrame>(parent)) {
    // A frame has no element of its own: what it holds is placed in the frame's container.
    if (kIsContainer<Base>) return frame->Left();
    left += frame->Left();
    parent = frame->Parent();
    if (!parent) return left;
  }
  return RenderedPosition(left, *parent, this->Align() == alRight, this->Align() == alLeft,
                          ScrollOf(*parent, true), browser);
}

template <class Base>
int TIWControlFeatures<Base>::RenderedTop(TIWBrowser browser) const {
  const TWinControl* parent = this->Parent();
  if (!parent) return this->Top();
  int top = this->Top();
  if (auto* frame = ClassCast<TFrame>(parent)) {
    if (kIsContainer<Base>) return frame->Top();
    top += frame->Top();
    parent = frame->Parent();
    if (!parent) return top;
  }
  return RenderedPosition(top, *parent, this->Align() == alBottom, this->Align() == alTop,
                          ScrollOf(*parent, false), browser);
}

template <class Base>
int TIWControlFeatures<Base>::RenderedWidth(TIWBrowser browser) const {
  int width = this->Width();
  if (IsGecko(browser)) {
    if (UsesFrame()) width -= 2 * kControlFrameBorder;
    if (kIsContainer<Base>) width -= 2 * this->BorderWidthOf();
  }
  return width;
}

template <class Base>
int TIWControlFeatures<Base>::RenderedHeight(TIWBrowser browser) const {
  int height = this->Height();
  if (IsGecko(browser)) {
    if (UsesFrame()) height -= 2 * kControlFrameBorder;
    if (kIsContainer<Base>) height -= 2 * this->BorderWidthOf();
  }
  return height;
}

// ---- style text and scripts -----------------------------------------------------------------

template <class Base>
std::string TIWControlFeatures<Base>::StyleText(TIWComponent40Context& context) {
  const TIWBrowser browser = context.Browser();
  // Only a partial-update form renders invisible controls: their elements are there to be
  // shown by a later update, and must not show before.
  const char* visibility =
      !this->Visible() && styleRenderOptions_.RenderVisibility() ? "visibility:hidden;" : "";
  if (!css_.empty() && !(renderSize_ && styleRenderOptions_.RenderSize())) return visibility;
  std::string s;
  if (this->Parent() && styleRenderOptions_.RenderPosition())
    s += context.LayoutMgr().PositionStyle(*this, browser);
  if (styleRenderOptions_.RenderZIndex() && zIndex_ != kNoZIndex)
    s += "z-index:" + IntToStr(zIndex_ + 100) + ";";
  s += visibility;
  const std::string width = IntToStr(RenderedWidth(browser));
  const std::string height = IntToStr(RenderedHeight(browser));
  if (renderSize_ || (styleRenderOptions_.RenderSize() && !autoSize_))
    s += "width:" + width + "px;height:" + height + "px;";
  if (Clips()) s += "clip:rect(0px," + width + "px," + height + "px,0px);";
  if (styleRenderOptions_.RenderFont()) s += FontCSS(font_, browser);
  if (cursor_ > crAuto && cursor_ <= crHelp)
    s += std::string("cursor :") + kCursorNames[cursor_ - crCrossHair];
  return s;
}

template <class Base>
std::string TIWControlFeatures<Base>::CssClassName() const {
  return css_.empty() ? ElementName() + "CSS" : css_;
}

template <class Base>
void TIWControlFeatures<Base>::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  std::string text;
  if (iw50Hint_) {
    if (showHint_) text = hint_;
  } else {
    text = statusText_;
  }
  if (!text.empty() && styleRenderOptions_.RenderStatus()) {
    const std::string status = Concat("return Status('", EscapeApostrophes(text), "')");
    events.HookEvent("OnMouseOver", status);
    events.HookEvent("OnMouseOut", "return Status('')");
    events.HookEvent("OnBlur", "return Status('')");
    events.HookEvent("OnFocus", status);
  }
  if (page.TracksContentChanges() && this->TakesInput() && this->ReportsContentChanges())
    for (const char* event : {"OnChange", "OnKeyPress", "OnClick", "OnSelect"})
      events.HookEvent(event, "OnControlContentChange(event);");
}

template <class Base>
void TIWControlFeatures<Base>::RegisterClientObject(TIWComponent40Context& context) {
  TIWPageContext40& page = context.PageContext();
  const std::string n = ElementName();

  const TWinControl* place = this->Parent();
  const TControl* alignSource = this;
  if (auto* frame = ClassCast<TFrame>(place)) {
    place = frame->Parent();
    if (kIsContainer<Base>) alignSource = frame;
  }
  std::string owner;
  if (const IIWBaseComponent* component = place ? place->AsBaseComponent() : nullptr)
    owner = component->ElementName() + "IWCL";
  else if (!place || ClassCast<TIWBaseContainer>(place))
    owner = "IWCLForm";
  else
    owner = place->Name() + "IWCL";

  page.AddDeclaration(Concat("var ", n, "IWCL = null;"));
  page.AddIWCLInit(Concat(n, "IWCL = NewIWCL(", owner, ",\"", n, "\",false);"));
  if (!context.LayoutMgr().ManagesClientLayout()) return;
  const TAlign align = alignSource->Align();
  const TAnchors anchors = alignSource->Anchors();
  if (align == alNone && anchors == TAnchors{akLeft, akTop}) return;
  page.AddIWCLInit("if (" + n + "IWCL != null) {");
  page.AddIWCLInit("  " + n + "IWCL.SetAlign(" + std::string(EnumInfoOf(align).NameOf(align)) +
                   ");\r\n " + n + "IWCL.SetAnchors(new CreateAnchors(" +
                   AnchorWord(anchors.Contains(akLeft), false) +
                   AnchorWord(anchors.Contains(akRight), false) +
                   AnchorWord(anchors.Contains(akTop), false) +
                   AnchorWord(anchors.Contains(akBottom), true) + "));");
  page.AddIWCLInit("}");
}

template <class Base>
void TIWControlFeatures<Base>::PostProcessTag(TIWComponent40Context& context) {
  TIWPageContext40& page = context.PageContext();
  const TIWBrowser browser = context.Browser();
  const std::string n = ElementName();
  const bool clientLayout = context.LayoutMgr().ManagesClientLayout();

  if (UsesFrame()) {
    std::unique_ptr<TIWMarkupLanguageTag> inner = context.TakeTag();
    const std::string font = FontCSS(font_, browser);
    if (font.empty()) inner->RemoveParam("STYLE");
    else inner->SetParam("STYLE", font);
    TIWFrameStyle frame;
    frame.BorderStyle = "inset";
    frame.BorderWidth = IntToStr(kControlFrameBorder);
    frame.BorderPixels = kControlFrameBorder;
    auto div = TIWHTMLTag::Create("DIV");
    div->AddStringParam("STYLE", FrameStyleText(frame, RenderedWidth(browser), RenderedHeight(browser), browser));
    div->AddTag(std::move(inner));
    context.SetTag(std::move(div));
  }
  TIWMarkupLanguageTag& tag = *context.Tag();

  RegisterClientObject(context);
  // The client library keeps children clear of a framed control's or a region's border.
  const int border = UsesFrame() ? kControlFrameBorder : this->BorderWidthOf();
  if (clientLayout && border > 0) {
    page.AddIWCLInit("if (" + n + "IWCL) {");
    page.AddIWCLInit(n + "IWCL.BorderWidthPixels = " + IntToStr(border) + ";");
    page.AddIWCLInit("}");
  }
  if (showHint_ && !hint_.empty()) tag.SetParam("title", EscapeApostrophes(hint_));

  TIWScriptEvents events;
  events.Assign(scriptEvents_);
  AttachScripts(page, events);
  events.Render(n, page, tag);

  for (int i = 0; i < extraTagParams_.Count(); ++i) {
    const std::string& line = extraTagParams_[i];
    if (line.find('=') == std::string::npos) tag.Add(line);
    else tag.SetParam(extraTagParams_.Names(i), extraTagParams_.ValueFromIndex(i));
  }
}

template <class Base>
void TIWControlFeatures<Base>::DoHTMLTag(TIWMarkupLanguageTag& tag) {
  if (onHTMLTag_) onHTMLTag_(this, tag);
}

// ---- submitting ----------------------------------------------------------------------------------

template <class Base>
std::string TIWControlFeatures<Base>::SubmitCallScript(const TIWPageContext40& page,
                                                       std::string_view parameter,
                                                       std::string_view nameOverride,
                                                       bool standalone) const {
  const std::string n = nameOverride.empty() ? ElementName() : std::string(nameOverride);
  const std::string p(parameter);
  const std::string v = doSubmitValidation_ ? "true" : "false";
  const std::string c = EscapeScript(confirmation_);
  if (page.HasUploadControls()) {
    std::string s = "SubmitNextFile('" + n + "','" + p + "');" +
                    (standalone ? "return false;" : "return true;");
    if (doSubmitValidation_) s = "if (Validate()){" + s + "}else{" + "return false;" + "}";
    if (!confirmation_.empty()) s = "if (window.confirm('" + c + "')) {" + s + "}";
    return s;
  }
  return Concat(standalone ? "" : "return ", "SubmitClickConfirm('", n, "','", p, "', ", v, ", '", c,
                "');", standalone ? "return false;" : "");
}

template <class Base>
std::unique_ptr<TIWMarkupLanguageTag> TIWControlFeatures<Base>::SubmitAnchor(
    const TIWPageContext40& page, std::string innerText, std::string_view parameter,
    bool standalone, bool mergeEvents) const {
  auto anchor = TIWHTMLTag::Create("A");
  anchor->AddStringParam("HREF", "#");
  std::string script = SubmitCallScript(page, StringReplace(parameter, "'", "%27"), {}, standalone);
  if (mergeEvents) {
    TIWScriptEvents events;
    events.Assign(scriptEvents_);
    events.HookEvent("OnClick", script);
    const TIWScriptEventsItem& click = *events.Find("OnClick");
    TStringList lines = click.EventCode();
    for (const TStringList& more : click.AdditionalHandlers()) lines.Append(more);
    script.clear();
    for (int i = 0; i < lines.Count(); ++i) script += (i ? "\r\n" : "") + lines[i];
  }
  anchor->AddStringParam("OnClick", script);
  if (showHint_ && !hint_.empty()) anchor->AddStringParam("title", EscapeApostrophes(hint_));
  anchor->AddText(std::move(innerText));
  return anchor;
}

template class TIWControlFeatures<TControl>;
template class TIWControlFeatures<TIWHTMLContainer>;

}  // namespace qx
