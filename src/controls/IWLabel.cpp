// The label's properties, markup and update element.
#include "controls/IWLabel.h"

#include "controls/UpdateElement.h"
#include "forms/PageContext.h"
#include "forms/TextHelpers.h"

namespace qx {

const TClassInfo& TIWCustomLabel::StaticClassInfo() {
  using T = TIWCustomLabel;
  static const TClassInfo info =
      AddAsyncEventProperties(TClassBuilder<T>("TIWCustomLabel")
                                  .Property("Caption", &T::Caption, &T::SetCaption)
                                  .Property("Alignment", &T::Alignment, &T::SetAlignment)
                                  .Property("BGColor", &T::BGColor, &T::SetBGColor)
                                  .Property("NoWrap", &T::NoWrap, &T::SetNoWrap)
                                  .Property("ConvertSpaces", &T::ConvertSpaces, &T::SetConvertSpaces)
                                  .Property("ForControl", &T::ForControl, &T::SetForControl)
                                  .Property("RawText", &T::RawText, &T::SetRawText))
          .Build();
  return info;
}

const TClassInfo& TIWLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWLabel>("TIWLabel").Creatable().Build();
  return info;
}

TIWCustomLabel::TIWCustomLabel() { TIWCustomLabel::SetDefaults(); }

void TIWCustomLabel::SetDefaults() {
  TIWCustomControl::SetDefaults();
  caption_.clear();
  alignment_ = taLeftJustify;
  bgColor_ = clNone;
  noWrap_ = false;
  convertSpaces_ = false;
  forControl_ = nullptr;
  rawText_ = false;
  SetHasTabOrder(false);
  SetAutoSize(true);
  SetBounds(Left(), Top(), 121, 21);
}

void TIWCustomLabel::SetForControl(TIWCustomControl* control) {
  if (control == forControl_.Get()) return;
  forControl_ = control;
  MarkChanged();
}

std::string TIWCustomLabel::ContentMarkup() const {
  std::string content = EscapeMarkup(caption_, true, convertSpaces_);
  return noWrap_ ? "<NOBR>" + content + "</NOBR>" : content;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomLabel::RenderMarkup(TIWComponent40Context&) {
  std::unique_ptr<TIWMarkupLanguageTag> tag;
  if (TIWCustomControl* target = forControl_.Get()) {
    tag = TIWHTMLTag::Create("LABEL");
    tag->AddStringParam("for", target->ElementName());
  } else {
    tag = TIWHTMLTag::Create("SPAN");
  }
  std::string style;
  if (Css().empty()) style += AlignmentCSS(alignment_);
  if (bgColor_ != clNone) style += "background-color:" + ColorText(bgColor_) + ";";
  tag->AddStringParam("style", style);
  tag->AddText(ContentMarkup());
  return tag;
}

void TIWCustomLabel::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
}

Owned<TIWLabel> StandInLabel(const TIWCustomControl& control, std::string_view caption) {
  Owned<TIWLabel> label(new TIWLabel);
  label->SetName(control.Name());
  label->SetBounds(control.Left(), control.Top(), control.Width(), control.Height());
  label->SetCaption(caption);
  return label;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomLabel::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWLABEL");
  AddUpdateValue(*control, "innerhtml", ContentMarkup());
  return control;
}

}  // namespace qx
