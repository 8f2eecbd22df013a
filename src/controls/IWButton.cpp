// The button's properties, markup, scripts and action.
#include "controls/IWButton.h"

#include "controls/UpdateElement.h"
#include "forms/Font.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const TEnumInfo& EnumInfoOf(TIWButtonType) {
  static const TEnumInfo info("TIWButtonType",
                              {QX_ENUM(btSubmit), QX_ENUM(btButton), QX_ENUM(btReset)});
  return info;
}

const TClassInfo& TIWCustomButton::StaticClassInfo() {
  using T = TIWCustomButton;
  static const TClassInfo info =
      AddAsyncEventProperties(TClassBuilder<T>("TIWCustomButton")
                                  .Property("Caption", &T::Caption, &T::SetCaption)
                                  .Property("ButtonType", &T::ButtonType, &T::SetButtonType)
                                  .Property("HotKey", &T::HotKey, &T::SetHotKey)
                                  .Property("OnClick", &T::OnClick, &T::SetOnClick))
          .Build();
  return info;
}

const TClassInfo& TIWButton::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWButton>("TIWButton").Creatable().Build();
  return info;
}

TIWCustomButton::TIWCustomButton() { TIWCustomButton::SetDefaults(); }

void TIWCustomButton::SetDefaults() {
  TIWCustomControl::SetDefaults();
  caption_.clear();
  buttonType_ = btButton;
  hotKey_.clear();
  SetColor(clBtnFace);
  // A button is as large as it was designed, not sized by its caption.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 75, 25);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomButton::RenderMarkup(TIWComponent40Context& context) {
  std::unique_ptr<TIWMarkupLanguageTag> tag;
  if (!hotKey_.empty()) {
    tag = TIWHTMLTag::Create("BUTTON");
    tag->AddStringParam("ACCESSKEY", hotKey_);
    std::string content;
    if (std::size_t at = FindText(caption_, hotKey_); at != std::string::npos) {
      const std::string_view caption = caption_;
      content = EscapeMarkup(caption.substr(0, at)) + "<u>" +
                EscapeMarkup(caption.substr(at, hotKey_.size())) + "</u>" +
                EscapeMarkup(caption.substr(at + hotKey_.size()));
    } else {
      content = EscapeMarkup(caption_);
    }
    tag->AddText(std::move(content));
  } else {
    tag = TIWHTMLTag::Create("INPUT", ctNever);
    tag->AddStringParam("VALUE", EscapeMarkup(caption_, true));
  }
  tag->AddStringParam("NAME", ElementName());
  tag->AddStringParam("TYPE", buttonType_ == btSubmit  ? "submit"
                              : buttonType_ == btReset ? "reset"
                                                       : "button");
  if (Font().Enabled() && Color() != clBtnFace) {
    const std::string color = ColorText(Color());
    std::string style = color.empty() ? "" : "background-color: " + color + ";";
    tag->AddStringParam("STYLE", style + FontCSS(Font(), context.Browser()));
  }
  if (!Enabled()) tag->Add("DISABLED");
  return tag;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomButton::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWBUTTON");
  AddUpdateValue(*control, "Caption", caption_);
  return control;
}

void TIWCustomButton::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
  if (onClick_ || buttonType_ == btSubmit) events.HookEvent("OnClick", SubmitCallScript(page, ""));
}

void TIWCustomButton::RunAction(const std::string& parameter) {
  actionParam_ = parameter;
  if (onClick_) onClick_(this);
}

}  // namespace qx
