// The in-page message form and its text and button.
#include "forms/ShowMessage.h"

#include "forms/Application.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"
#include "runtime/FormReader.h"

namespace qx {

// ---- message text -----------------------------------------------------------------------------

const TClassInfo& TIWShowMessageText::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWShowMessageText>("TIWShowMessageText")
          .Creatable()
          .Property("Lines", &TIWShowMessageText::Lines, &TIWShowMessageText::SetLines)
          .Build();
  return info;
}

TIWShowMessageText::TIWShowMessageText() { TIWShowMessageText::SetDefaults(); }

void TIWShowMessageText::SetDefaults() {
  TIWCustomControl::SetDefaults();
  lines_.Clear();
  // The text is a box of its own size.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 121, 121);
}

void TIWShowMessageText::SetLines(const TStringList& lines) {
  lines_ = lines;
  MarkChanged();
}

std::unique_ptr<TIWMarkupLanguageTag> TIWShowMessageText::RenderMarkup(TIWComponent40Context&) {
  auto div = TIWHTMLTag::Create("DIV");
  div->AddText(EscapeMarkup(lines_.Text(), true));
  return div;
}

// ---- OK button ------------------------------------------------------------------------------------

const TClassInfo& TIWShowMessageButton::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWShowMessageButton>("TIWShowMessageButton")
          .Creatable()
          .Property("Caption", &TIWShowMessageButton::Caption, &TIWShowMessageButton::SetCaption)
          .Property("OnClick", &TIWShowMessageButton::OnClick, &TIWShowMessageButton::SetOnClick)
          .Build();
  return info;
}

TIWShowMessageButton::TIWShowMessageButton() { TIWShowMessageButton::SetDefaults(); }

void TIWShowMessageButton::SetDefaults() {
  TIWCustomControl::SetDefaults();
  caption_.clear();
  SetAutoSize(false);
  SetBounds(Left(), Top(), 75, 25);
}

void TIWShowMessageButton::SetCaption(std::string_view caption) {
  if (caption == caption_) return;
  caption_ = caption;
  MarkChanged();
}

std::unique_ptr<TIWMarkupLanguageTag> TIWShowMessageButton::RenderMarkup(TIWComponent40Context&) {
  auto input = TIWHTMLTag::Create("INPUT", ctNever);
  input->AddStringParam("VALUE", EscapeMarkup(caption_, true));
  input->AddStringParam("NAME", ElementName());
  input->AddStringParam("TYPE", "button");
  if (!Enabled()) input->Add("DISABLED");
  return input;
}

void TIWShowMessageButton::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  if (onClick_) events.HookEvent("OnClick", SubmitCallScript(page, ""));
}

void TIWShowMessageButton::RunAction(const std::string&) {
  if (onClick_) onClick_(this);
}

// ---- the form --------------------------------------------------------------------------------------

const TClassInfo& TIWShowMessage::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWShowMessage>("TIWShowMessage")
          .Handler("butnOkClick", &TIWShowMessage::butnOkClick)
          .Build();
  return info;
}

TIWShowMessage::TIWShowMessage() { SetBounds(0, 0, 353, 169); }

void TIWShowMessage::ShowText(const std::string& text, TIWShowMessageType style,
                              const std::string& templateName) {
  templateName_ = templateName;
  if (!textMessage_) {
    textMessage_ = &CreateComponent<TIWShowMessageText>(*this);
    textMessage_->SetName("textMessage");
    textMessage_->SetParent(this);
    textMessage_->SetBounds(8, 8, 337, 121);
    butnOk_ = &CreateComponent<TIWShowMessageButton>(*this);
    butnOk_->SetName("butnOk");
    butnOk_->SetParent(this);
    butnOk_->SetBounds(136, 136, 75, 25);
    butnOk_->SetCaption("Ok");
    butnOk_->SetOnClick([this](TObject* sender) { butnOkClick(sender); });
  }
  TStringList lines;
  lines.SetText(text);
  textMessage_->SetLines(lines);
  textMessage_->SetUseFrame(style == smSameWindowFrame);
  Show();
}

void TIWShowMessage::butnOkClick(TObject*) {
  TIWApplication* application = Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {Name()}));
  if (auto* message = dynamic_cast<TIWShowMessage*>(application->ActiveForm())) message->Release();
  if (application->ActiveForm()) return;
  const TClassInfo* mainForm = StartForm(rkHTML40);
  if (!mainForm) throw EIWException(kNoMainFormDefined);
  application->CreateFirstForm(*mainForm);
}

}  // namespace qx
