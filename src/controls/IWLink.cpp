// The link's properties, its two renderings, its click script and its action.
#include "controls/IWLink.h"

#include "controls/IWLabel.h"
#include "controls/UpdateElement.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"

namespace qx {

// The click posts only from a link; filled with the element name and the submit script.
constexpr const char* kClickScript = "if (document.getElementById('%s').href) {%s} else return false;";
constexpr const char* kWrappedClickScript =
    "if (document.getElementById('%s').childNodes[0].href) {%s} else return false;";

const TClassInfo& TIWLinkBase::StaticClassInfo() {
  using T = TIWLinkBase;
  static const TClassInfo info = TClassBuilder<T>("TIWLinkBase")
                                     .Property("Caption", &T::Caption, &T::SetCaption)
                                     .Property("RawText", &T::RawText, &T::SetRawText)
                                     .Property("Alignment", &T::Alignment, &T::SetAlignment)
                                     .Property("OnClick", &T::OnClick, &T::SetOnClick)
                                     .Build();
  return info;
}

const TClassInfo& TIWLink::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWLink>("TIWLink").Creatable().Build();
  return info;
}

TIWLinkBase::TIWLinkBase() { TIWLinkBase::SetDefaults(); }

void TIWLinkBase::SetDefaults() {
  TIWCustomControl::SetDefaults();
  caption_.clear();
  rawText_ = false;
  alignment_ = taLeftJustify;
  Font().SetStyle({fsUnderline});
  SetDoSubmitValidation(false);
  SetRenderSize(true);
  SetBounds(Left(), Top(), 65, 17);
}

std::string TIWLinkBase::ContentMarkup() const { return rawText_ ? caption_ : EscapeMarkup(caption_, true); }

std::unique_ptr<TIWMarkupLanguageTag> TIWLinkBase::RenderMarkup(TIWComponent40Context& context) {
  if (!RendersAsLink()) {
    // A transient label stands in for the link and is gone after this render.
    Owned<TIWLabel> label(new TIWLabel);
    label->SetName(Name());
    label->SetRawText(rawText_);
    label->SetCaption(caption_);
    label->SetAlignment(alignment_);
    label->Font() = Font();
    label->SetBounds(Left(), Top(), Width(), Height());
    label->SetAutoSize(false);
    label->SetVisible(true);
    label->SetRenderSize(true);
    return label->RenderMarkup(context);
  }
  const TIWBrowser browser = context.Browser();
  auto anchor = TIWHTMLTag::Create("A");
  anchor->AddStringParam("HREF", browser == brIE      ? ElementName()
                                 : browser == brOpera ? std::string("#")
                                                      : std::string("javascript:void(0);"));
  anchor->AddText(ContentMarkup());
  if (!Wrapped()) return anchor;
  anchor->AddStringParam("style", FontCSS(Font(), browser));
  auto div = TIWHTMLTag::Create("DIV");
  div->AddStringParam("style", AlignmentCSS(alignment_));
  // The click script finds the link as the DIV's first child node: no white space before it.
  div->SetPreformatted(true);
  div->AddTag(std::move(anchor));
  return div;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWLinkBase::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWLINK");
  AddUpdateValue(*control, "innerhtml", ContentMarkup());
  return control;
}

std::string TIWLinkBase::StyleText(TIWComponent40Context& context) {
  std::string style = TIWCustomControl::StyleText(context);
  if (Color() != clNone) style += "background-Color: " + ColorText(Color()) + ";";
  return style;
}

void TIWLinkBase::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  const std::string submit = onClick_ ? SubmitCallScript(page, "", {}, true) : std::string();
  events.HookEvent("OnClick", Format(RendersAsLink() && Wrapped() ? kWrappedClickScript : kClickScript,
                                     {ElementName(), submit}));
}

void TIWLinkBase::RunAction(const std::string& parameter) {
  actionParam_ = parameter;
  if (onClick_) onClick_(this);
}

}  // namespace qx
