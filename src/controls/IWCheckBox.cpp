// The check box's properties, its two renderings, scripts, posted value and action.
#include "controls/IWCheckBox.h"

#include "controls/UpdateElement.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

constexpr const char* kCoolTrue = "/gfx/CoolCheckBox_True.gif";
constexpr const char* kCoolFalse = "/gfx/CoolCheckBox_False.gif";

}  // namespace

const TEnumInfo& EnumInfoOf(TIWCheckBoxStyle) {
  static const TEnumInfo info(
      "TIWCheckBoxStyle",
      {TEnumValue{static_cast<int>(TIWCheckBoxStyle::stNormal), "stNormal"},
       TEnumValue{static_cast<int>(TIWCheckBoxStyle::stCool), "stCool"}});
  return info;
}

const TClassInfo& TIWCustomCheckBox::StaticClassInfo() {
  using T = TIWCustomCheckBox;
  static const TClassInfo info =
      AddAsyncEventProperties(TClassBuilder<T>("TIWCustomCheckBox")
                                  .Property("Caption", &T::Caption, &T::SetCaption)
                                  .Property("Checked", &T::Checked, &T::SetChecked)
                                  .Property("Style", &T::Style, &T::SetStyle)
                                  .Property("OnClick", &T::OnClick, &T::SetOnClick)
                                  .Property("OnChange", &T::OnChange, &T::SetOnChange))
          .Build();
  return info;
}

const TClassInfo& TIWCheckBox::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWCheckBox>("TIWCheckBox").Creatable().Build();
  return info;
}

TIWCustomCheckBox::TIWCustomCheckBox() { TIWCustomCheckBox::SetDefaults(); }

void TIWCustomCheckBox::SetDefaults() {
  TIWCustomControl::SetDefaults();
  caption_.clear();
  checked_ = false;
  style_ = TIWCheckBoxStyle::stNormal;
  // The box and its caption take the designed size.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 121, 21);
}

void TIWCustomCheckBox::SetChecked(bool checked) {
  if (SetProperty(checked_, checked) && onChange_) onChange_(this);
}

void TIWCustomCheckBox::RegisterFields(TStringList& fields) const { fields.Add(FieldName()); }

bool TIWCustomCheckBox::OwnsField(std::string_view name) const { return name == FieldName(); }

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomCheckBox::RenderMarkup(TIWComponent40Context& context) {
  return style_ == TIWCheckBoxStyle::stCool ? RenderCool(context) : RenderNormal(context);
}

// <SPAN ID=E> holding the browser's box (E_CHECKBOX) and the caption, whose click toggles
// the box through the client library.
std::unique_ptr<TIWMarkupLanguageTag> TIWCustomCheckBox::RenderNormal(TIWComponent40Context&) const {
  const std::string e = ElementName();
  auto span = TIWHTMLTag::Create("SPAN");
  span->AddStringParam("ID", e);
  TIWMarkupLanguageTag& box = span->AddTag("INPUT", ctNever);
  if (HasTabOrder()) box.AddIntegerParam("TabIndex", TabOrder() + 1);
  if (!Enabled()) box.Add("DISABLED");
  box.AddStringParam("TYPE", "CHECKBOX");
  if (checked_) box.Add("CHECKED");
  if (Editable()) {
    box.AddStringParam("NAME", FieldName());
    box.AddStringParam("ID", FieldName());
  } else {
    box.AddStringParam("OnClick", "return false;");
  }
  TIWMarkupLanguageTag& caption = span->AddTag("SPAN");
  caption.AddStringParam("ID", e + "_CHKBCAPTION");
  if (Editable() && Enabled()) caption.AddStringParam("OnClick", "checkBoxClick(event, '" + e + "');");
  caption.AddText(caption_);
  return span;
}

// <SPAN ID=E> holding the picture of the state, the hidden input that carries it and the
// caption; the picture toggles the state when the box is editable and enabled.
std::unique_ptr<TIWMarkupLanguageTag> TIWCustomCheckBox::RenderCool(TIWComponent40Context& context) const {
  TIWPageContext40& page = context.PageContext();
  const std::string e = ElementName();
  const std::string picture = page.InternalFileURL(checked_ ? kCoolTrue : kCoolFalse);
  const std::string state = checked_ ? "On" : "Off";
  auto span = TIWHTMLTag::Create("SPAN");
  span->AddStringParam("ID", e);
  TIWMarkupLanguageTag* holder = span.get();
  if (Editable() && Enabled()) {
    holder = &span->AddTag("A");
    holder->AddStringParam("HREF", "#");
    holder->AddStringParam("OnClick", "CoolCheckBoxToggle('" + FieldName() + "', " + "document.images." +
                                          e + "_Image, " + (onClick_ ? "true" : "false") + ")");
  }
  TIWMarkupLanguageTag& image = holder->AddTag("IMG", ctNever);
  image.AddStringParam("SRC", picture);
  image.AddStringParam("NAME", e + "_Image");
  image.AddIntegerParam("WIDTH", 10);
  image.AddIntegerParam("HEIGHT", 12);
  image.AddIntegerParam("BORDER", 0);
  if (Editable()) {
    TIWMarkupLanguageTag& input = span->AddTag("INPUT", ctNever);
    input.AddStringParam("TYPE", "HIDDEN");
    input.AddStringParam("NAME", FieldName());
    input.AddStringParam("ID", FieldName());
    input.AddStringParam("VALUE", state);
    // A page restored from the browser's history shows the server's state again.
    page.AddInitA("document.getElementById(\"" + FieldName() + "\").value = \"" + state + "\";");
    page.AddInitA("document.images." + e + "_Image.src = \"" + picture + "\";");
  }
  TIWMarkupLanguageTag& caption = span->AddTag("SPAN");
  caption.AddStringParam("ID", e + "_CHKBCAPTION");
  caption.AddText(caption_);
  return span;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomCheckBox::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWCHECKBOX");
  AddUpdateValue(*control, "Checked", checked_ ? "true" : "false");
  AddUpdateValue(*control, "Caption", caption_);
  return control;
}

void TIWCustomCheckBox::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
  // The cool box posts through its own toggle.
  if (style_ == TIWCheckBoxStyle::stNormal && Editable() && onClick_)
    events.HookEvent("OnClick", SubmitCallScript(page, ""));
}

void TIWCustomCheckBox::ApplySubmittedValue(const std::string& value) {
  SetChecked(SameText(value, "On"));
}

void TIWCustomCheckBox::RunAction(const std::string& parameter) {
  actionParam_ = parameter;
  if (onClick_) onClick_(this);
}

}  // namespace qx
