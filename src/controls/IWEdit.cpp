// The edit's properties, markup, scripts, posted value and action.
#include "controls/IWEdit.h"

#include "controls/IWLabel.h"
#include "controls/InputRules.h"
#include "controls/UpdateElement.h"
#include "forms/Application.h"
#include "forms/PageContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"

namespace qx {

const TClassInfo& TIWCustomEdit::StaticClassInfo() {
  using T = TIWCustomEdit;
  static const TClassInfo info =
      AddAsyncEventProperties(TClassBuilder<T>("TIWCustomEdit")
                                  .Property("Text", &T::Text, &T::SetText)
                                  .Property("Alignment", &T::Alignment, &T::SetAlignment)
                                  .Property("BGColor", &T::BGColor, &T::SetBGColor)
                                  .Property("FocusColor", &T::FocusColor, &T::SetFocusColor)
                                  .Property("MaxLength", &T::MaxLength, &T::SetMaxLength)
                                  .Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly)
                                  .Property("Required", &T::Required, &T::SetRequired)
                                  .Property("PasswordPrompt", &T::PasswordPrompt, &T::SetPasswordPrompt)
                                  .Property("OnSubmit", &T::OnSubmit, &T::SetOnSubmit))
          .Build();
  return info;
}

const TClassInfo& TIWEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWEdit>("TIWEdit").Creatable().Build();
  return info;
}

TIWCustomEdit::TIWCustomEdit() { TIWCustomEdit::SetDefaults(); }

void TIWCustomEdit::SetDefaults() {
  TIWCustomControl::SetDefaults();
  text_.clear();
  alignment_ = taLeftJustify;
  bgColor_ = clNone;
  focusColor_ = clNone;
  maxLength_ = 0;
  readOnly_ = false;
  required_ = false;
  passwordPrompt_ = false;
  // An input is as large as it was designed, not sized by its text.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 121, 21);
}

TIWForm* TIWCustomEdit::ParentForm() const {
  for (TWinControl* parent = Parent(); parent; parent = parent->Parent())
    if (auto* form = ClassCast<TIWForm>(parent)) return form;
  return nullptr;
}

bool TIWCustomEdit::CanSubmit() const {
  if (onSubmit_) return true;
  TIWForm* form = ParentForm();
  return form && form->OnDefaultAction();
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomEdit::RenderMarkup(TIWComponent40Context& context) {
  if (!RendersAsInput()) {
    Owned<TIWLabel> label =
        StandInLabel(*this, passwordPrompt_ ? std::string(text_.size(), '*') : text_);
    label->SetAlignment(alignment_);
    label->Font() = Font();
    return label->RenderMarkup(context);
  }
  auto input = TIWHTMLTag::Create("INPUT", ctNever);
  input->AddStringParam("TYPE", passwordPrompt_ ? "PASSWORD" : "TEXT");
  input->AddStringParam("NAME", ElementName());
  if (!Editable()) {
    input->AddStringParam("DISABLED", "true");
    input->AddStringParam("READONLY", "true");
  }
  if (!Enabled()) input->AddStringParam("DISABLED", "true");
  if (maxLength_ > 0) input->AddIntegerParam("MAXLENGTH", maxLength_);
  input->AddStringParam("VALUE", EscapeMarkup(text_));
  if (readOnly_) input->Add("READONLY");
  return input;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomEdit::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWEDIT");
  AddUpdateValue(*control, "ReadOnly", readOnly_ ? "true" : "false");
  AddUpdateValue(*control, "Text", text_);
  AddUpdateValue(*control, "BGColor", ColorText(bgColor_));
  AddUpdateValue(*control, "Alignment", AlignmentCSS(alignment_));
  return control;
}

std::string TIWCustomEdit::StyleText(TIWComponent40Context& context) {
  std::string style = TIWCustomControl::StyleText(context);
  if (Font().Color() != clNone) style += "color:" + ColorText(Font().Color()) + ";";
  if (bgColor_ != clNone) style += "background-color:" + ColorText(bgColor_) + ";";
  return style + AlignmentCSS(alignment_);
}

void TIWCustomEdit::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
  if (!RendersAsInput()) return;
  const std::string e = ElementName();
  if (Editable()) AddFocusColor(events, focusColor_, bgColor_, "'; return true;");
  if (required_) AddRequiredValue(page, e, FriendlyName());
  if (onSubmit_) {
    const std::string key = page.Browser() == brIE ? "event.keyCode" : "event.which";
    events.HookEvent("OnKeyPress", "var res = CheckReturnKey(" + key + ", '" + e + "', " +
                                       (DoSubmitValidation() ? "true" : "false") + ")\r\n" +
                                       "return res;");
  }
}

void TIWCustomEdit::ApplySubmittedValue(const std::string& value) { SetText(value); }

void TIWCustomEdit::RunAction(const std::string& parameter) {
  actionParam_ = parameter;
  if (onSubmit_) {
    onSubmit_(this);
  } else if (TIWForm* form = ParentForm(); form && form->OnDefaultAction()) {
    form->OnDefaultAction()(form);
  }
}

}  // namespace qx
