// The test controls' markup and class tables.
#include "TestControls.h"

#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/FormReader.h"

namespace qx::test {

const TClassInfo& TTestEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestEdit>("TTestEdit")
                                     .Creatable()
                                     .Property("Text", &TTestEdit::Text, &TTestEdit::SetText)
                                     .Build();
  return info;
}

TTestEdit::TTestEdit() {
  SetRenderSize(true);
  SetBounds(0, 0, 121, 21);
}

std::unique_ptr<TIWMarkupLanguageTag> TTestEdit::RenderMarkup(TIWComponent40Context&) {
  auto input = TIWHTMLTag::Create("INPUT", ctNever);
  input->AddStringParam("TYPE", "TEXT");
  input->AddStringParam("VALUE", EscapeMarkup(text_));
  return input;
}

const TClassInfo& TTestLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestLabel>("TTestLabel")
                                     .Creatable()
                                     .Property("Caption", &TTestLabel::Caption, &TTestLabel::SetCaption)
                                     .Build();
  return info;
}

TTestLabel::TTestLabel() {
  SetHasTabOrder(false);
  SetBounds(0, 0, 121, 21);
}

std::unique_ptr<TIWMarkupLanguageTag> TTestLabel::RenderMarkup(TIWComponent40Context&) {
  auto span = TIWHTMLTag::Create("SPAN");
  span->AddText(EscapeMarkup(caption_, true));
  return span;
}

const TClassInfo& TTestButton::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestButton>("TTestButton")
                                     .Creatable()
                                     .Property("OnClick", &TTestButton::OnClick, &TTestButton::SetOnClick)
                                     .Build();
  return info;
}

TTestButton::TTestButton() {
  SetAutoSize(false);
  SetBounds(0, 0, 75, 25);
}

std::unique_ptr<TIWMarkupLanguageTag> TTestButton::RenderMarkup(TIWComponent40Context&) {
  auto input = TIWHTMLTag::Create("INPUT", ctNever);
  input->AddStringParam("TYPE", "button");
  input->AddStringParam("VALUE", "Ok");
  return input;
}

void TTestButton::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  if (onClick_) events.HookEvent("OnClick", SubmitCallScript(page, ""));
}

const TClassInfo& TTestTimer::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestTimer>("TTestTimer").Creatable().Build();
  return info;
}

std::unique_ptr<TIWMarkupLanguageTag> TTestTimer::RenderMarkup(TIWComponent40Context& context) {
  context.PageContext().AddInitA("IWTop()." + ElementName() + "_ID=null;");
  return nullptr;
}

const TClassInfo& TTestScreen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestScreen>("TTestScreen")
                                     .Creatable()
                                     .Handler("ScreenCreate", &TTestScreen::ScreenCreate)
                                     .Handler("ButtonClick", &TTestScreen::ButtonClick)
                                     .Build();
  return info;
}

void RegisterTestControls() {
  RegisterClasses<TTestEdit, TTestLabel, TTestButton, TTestTimer, TTestScreen>();
}

}  // namespace qx::test

namespace qx::test {

std::string StyleOf(IIWHTML40Control& control, TIWBrowser browser) {
  TIWPageContext40 page(browser, "");
  Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
  Owned<TTestScreen> holder(new TTestScreen);
  TIWContainerContext container(*holder, *layout, nullptr, false);
  TIWComponent40Context context(control, page, container);
  return control.StyleText(context);
}

}  // namespace qx::test
