// The combo box's properties, its browser and scripted renderings, scripts, posted value and
// action.
#include "controls/IWComboBox.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

constexpr const char* kDownArrow = "/gfx/ComboBoxDownArrow.gif";
constexpr int kButtonWidth = 17;
constexpr int kButtonHeight = 18;
constexpr int kRowHeight = 16;
constexpr int kDropDownRows = 8;

}  // namespace

const TEnumInfo& EnumInfoOf(TIWComboBoxStyle) {
  static const TEnumInfo info(
      "TIWComboBoxStyle",
      {TEnumValue{static_cast<int>(TIWComboBoxStyle::stNormal), "stNormal"},
       TEnumValue{static_cast<int>(TIWComboBoxStyle::stEnhanced), "stEnhanced"}});
  return info;
}

const TClassInfo& TIWCustomComboBox::StaticClassInfo() {
  using T = TIWCustomComboBox;
  static const TClassInfo info = TClassBuilder<T>("TIWCustomComboBox")
                                     .Property("Style", &T::Style, &T::SetStyle)
                                     .Property("ButtonColor", &T::ButtonColor, &T::SetButtonColor)
                                     .Property("ButtonImage", &T::ButtonImage, &T::SetButtonImage)
                                     .Build();
  return info;
}

const TClassInfo& TIWComboBox::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWComboBox>("TIWComboBox").Creatable().Build();
  return info;
}

TIWCustomComboBox::TIWCustomComboBox() { TIWCustomComboBox::SetDefaults(); }

void TIWCustomComboBox::SetDefaults() {
  TIWCustomListCombo::SetDefaults();
  style_ = TIWComboBoxStyle::stNormal;
  buttonColor_ = clBtnFace;
  buttonImage_.clear();
  SetBounds(Left(), Top(), 121, 21);
}

bool TIWCustomComboBox::OffersNoSelection() const {
  return Items().Count() > 0 && (ItemIndex() == -1 || !RequireSelection());
}

bool TIWCustomComboBox::InlineOnChange(const TIWPageContext40& page) {
  const TIWApplication* application = page.Application();
  if (!application) return false;
  const std::string& agent = application->UserAgent();
  // "MAC" covers "MACINTOSH".
  return ContainsText(agent, "MSIE") && ContainsText(agent, "MAC");
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomComboBox::RenderMarkup(TIWComponent40Context& context) {
  if (!RendersAsInput()) {
    return RenderStandIn(context, ItemIndex() < 0 ? std::string() : ShownText(ItemIndex()));
  }
  return style_ == TIWComboBoxStyle::stEnhanced ? RenderEnhanced(context) : RenderSelect(context);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomComboBox::RenderSelect(TIWComponent40Context& context) const {
  const TIWPageContext40& page = context.PageContext();
  auto select = TIWHTMLTag::Create("SELECT");
  select->AddStringParam("NAME", ElementName());
  select->AddIntegerParam("SIZE", 1);
  if (!Enabled()) select->Add("DISABLED");
  AddNonEditableAttributes(*select);
  if (UseSize()) select->AddIntegerParam("WIDTH", Width());
  if (Editable() && OnChange() && InlineOnChange(page))
    select->AddStringParam("OnChange", SubmitCallScript(page, ""));
  AddOptions(*select);
  return select;
}

// A hidden input holding the selected index, the shown text, the button and the hidden
// drop-down of items, with the two functions that open it and take a choice.
std::unique_ptr<TIWMarkupLanguageTag> TIWCustomComboBox::RenderEnhanced(TIWComponent40Context& context) const {
  TIWPageContext40& page = context.PageContext();
  const std::string e = ElementName();
  const int width = Width();
  const int height = Height();
  const bool active = Editable() && Enabled();
  const int index = ItemIndex();

  auto span = TIWHTMLTag::Create("SPAN");
  span->AddStringParam("ID", e);
  // The hidden input is the element named E whose value is posted.
  span->AddStringParam("NAME", e + "_Combo");
  TIWMarkupLanguageTag& input = span->AddTag("INPUT", ctNever);
  input.AddStringParam("TYPE", "HIDDEN");
  input.AddStringParam("NAME", e);
  input.AddStringParam("ID", e + "_Input");
  input.AddIntegerParam("VALUE", index);

  const std::string open = "return " + e + "_doClick();";
  TIWMarkupLanguageTag& selected = span->AddTag("SPAN");
  selected.AddStringParam("ID", e + "_Selected");
  selected.AddStringParam("STYLE", "position:absolute;left:0px;top:0px;width:" +
                                       IntToStr(std::max(width - kButtonWidth, 0)) + "px;height:" +
                                       IntToStr(height) + "px;overflow:hidden;cursor:default;");
  if (active) selected.AddStringParam("OnClick", open);
  TIWMarkupLanguageTag& text = selected.AddTag("DIV");
  text.AddStringParam("ID", e + "_Text");
  text.AddText(index < 0 ? NoSelectionText() : EscapeMarkup(ShownText(index), true));

  TIWMarkupLanguageTag& button = span->AddTag("SPAN");
  button.AddStringParam("ID", e + "_Button");
  std::string buttonStyle = "position:absolute;left:" + IntToStr(std::max(width - kButtonWidth, 0)) +
                            "px;top:0px;width:" + IntToStr(kButtonWidth) + "px;height:" +
                            IntToStr(kButtonHeight) + "px;";
  if (buttonColor_ != clNone) buttonStyle += "background-color:" + ColorText(buttonColor_) + ";";
  button.AddStringParam("STYLE", buttonStyle);
  if (active) button.AddStringParam("OnClick", open);
  TIWMarkupLanguageTag& arrow = button.AddTag("IMG", ctNever);
  arrow.AddStringParam("SRC", buttonImage_.empty() ? page.InternalFileURL(kDownArrow) : buttonImage_);
  arrow.AddIntegerParam("WIDTH", kButtonWidth);
  arrow.AddIntegerParam("HEIGHT", kButtonHeight);
  arrow.AddIntegerParam("BORDER", 0);

  const int rows = std::min(Items().Count() + (OffersNoSelection() ? 1 : 0), kDropDownRows);
  TIWMarkupLanguageTag& dropDown = span->AddTag("SPAN");
  dropDown.AddStringParam("ID", e + "_DropDown");
  dropDown.AddStringParam("STYLE", "position:absolute;left:0px;top:" + IntToStr(height) + "px;width:" +
                                       IntToStr(width) + "px;height:" + IntToStr(rows * kRowHeight) +
                                       "px;overflow:auto;visibility:hidden;display:none;"
                                       "background-color:#FFFFFF;border:1px solid #000000;");
  auto addItem = [&](const std::string& id, int value, std::string content) {
    TIWMarkupLanguageTag& item = dropDown.AddTag("DIV");
    item.AddStringParam("ID", id);
    if (active) item.AddStringParam("OnClick", e + "_doSelectItem(" + IntToStr(value) + ");");
    item.AddText(std::move(content));
  };
  if (OffersNoSelection()) addItem(e + "_item_noselect", -1, NoSelectionText());
  for (int i = 0; i < Items().Count(); ++i)
    addItem(e + "_item_" + IntToStr(i), i, EscapeMarkup(ShownText(i), true));

  if (active) {
    page.AddDeclaration("var " + e + "_state = 0;\r\n"
                        "function " + e + "_doClick() {\r\n"
                        "  var list = document.getElementById(\"" + e + "_DropDown\");\r\n"
                        "  " + e + "_state = 1 - " + e + "_state;\r\n"
                        "  list.style.visibility = " + e + "_state ? \"visible\" : \"hidden\";\r\n"
                        "  list.style.display = " + e + "_state ? \"\" : \"none\";\r\n"
                        "  return false;\r\n"
                        "}\r\n"
                        "function " + e + "_doSelectItem(idx) {\r\n"
                        "  var item = document.getElementById(idx < 0 ? \"" + e + "_item_noselect\" : \"" +
                        e + "_item_\" + idx);\r\n"
                        "  document.getElementById(\"" + e + "_Input\").value = idx;\r\n"
                        "  document.getElementById(\"" + e + "_Text\").innerHTML = item.innerHTML;\r\n"
                        "  " + e + "_state = 1;\r\n"
                        "  " + e + "_doClick();\r\n"
                        "  " + (OnChange() ? SubmitCallScript(page, "'+idx+'") : "return false;") + "\r\n"
                        "}");
  }
  return span;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomComboBox::RenderUpdate(TIWComponent40Context&) {
  return UpdateWithItems("IWCOMBOBOX", false);
}

void TIWCustomComboBox::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomListCombo::AttachScripts(page, events);
  if (!RendersAsInput() || !Editable() || !OnChange()) return;
  // The scripted drop-down posts from its own choice function.
  if (style_ == TIWComboBoxStyle::stNormal && !InlineOnChange(page))
    events.HookEvent("OnChange", SubmitCallScript(page, ""));
}

void TIWCustomComboBox::ApplySubmittedValue(const std::string& value) {
  if (ItemsHaveValues() && style_ == TIWComboBoxStyle::stNormal) {
    SetItemIndex(IndexOfValue(value));
  } else {
    SetItemIndex(StrToIntDef(std::string_view(value).substr(0, value.find(',')), -1));
  }
}

void TIWCustomComboBox::RunAction(const std::string& parameter) {
  SetActionParam(parameter);
  if (OnChange()) OnChange()(this);
}

}  // namespace qx
