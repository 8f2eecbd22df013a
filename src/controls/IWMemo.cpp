// The memo's properties, markup, scripts, posted value and update element.
#include "controls/IWMemo.h"

#include "controls/InputRules.h"
#include "controls/UpdateElement.h"
#include "forms/PageContext.h"
#include "forms/TextHelpers.h"

namespace qx {

const TClassInfo& TIWCustomMemo::StaticClassInfo() {
  using T = TIWCustomMemo;
  static const TClassInfo info =
      AddAsyncEventProperties(TClassBuilder<T>("TIWCustomMemo")
                                  .Property("Lines", &T::Lines, &T::SetLines)
                                  .Property("BGColor", &T::BGColor, &T::SetBGColor)
                                  .Property("VertScrollBar", &T::VertScrollBar, &T::SetVertScrollBar)
                                  .Property("HorizScrollBar", &T::HorizScrollBar, &T::SetHorizScrollBar)
                                  .Property("InvisibleBorder", &T::InvisibleBorder, &T::SetInvisibleBorder)
                                  .Property("Required", &T::Required, &T::SetRequired))
          .Build();
  return info;
}

const TClassInfo& TIWMemo::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWMemo>("TIWMemo").Creatable().Build();
  return info;
}

TIWCustomMemo::TIWCustomMemo() { TIWCustomMemo::SetDefaults(); }

void TIWCustomMemo::SetDefaults() {
  TIWCustomControl::SetDefaults();
  lines_.Clear();
  endsWithLineBreak_ = true;
  bgColor_ = clNone;
  vertScrollBar_ = true;
  horizScrollBar_ = false;
  invisibleBorder_ = false;
  required_ = false;
  // An input is as large as it was designed.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 121, 121);
}

void TIWCustomMemo::SetLines(const TStringList& lines) {
  SetProperty(lines_, lines);
  SetProperty(endsWithLineBreak_, true);
}

namespace {

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// The lines' text, without the final CR LF when the text they came from had no final break.
std::string JoinedText(const TStringList& lines, bool endsWithLineBreak) {
  std::string text = lines.Text();
  if (!endsWithLineBreak && !text.empty()) text.resize(text.size() - 2);
  return text;
}

}  // namespace

void TIWCustomMemo::LoadText(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  SetProperty(lines_, std::move(lines));
  SetProperty(endsWithLineBreak_, EndsWithLineBreak(text));
}

std::string TIWCustomMemo::Text() const { return JoinedText(lines_, endsWithLineBreak_); }

std::string TIWCustomMemo::TextAsLoaded(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  return JoinedText(lines, EndsWithLineBreak(text));
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomMemo::RenderMarkup(TIWComponent40Context&) {
  auto area = TIWHTMLTag::Create("TEXTAREA");
  area->AddStringParam("NAME", ElementName());
  if (!Editable()) area->Add("READONLY");
  if (!Enabled()) area->AddStringParam("DISABLED", "true");
  if (horizScrollBar_) area->AddStringParam("WRAP", "OFF");
  std::string content = EscapeMarkup(Text());
  // Browsers drop one line break right after the opening tag; an extra one keeps a text that
  // starts with an empty line intact.
  if (!content.empty() && (content[0] == '\r' || content[0] == '\n')) content.insert(0, "\r\n");
  area->AddText(std::move(content));
  return area;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomMemo::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWMEMO");
  AddUpdateValue(*control, "ReadOnly", Editable() ? "false" : "true");
  AddUpdateValue(*control, "text", Text());
  return control;
}

std::string TIWCustomMemo::StyleText(TIWComponent40Context& context) {
  std::string style = TIWCustomControl::StyleText(context);
  if (bgColor_ != clNone) style += "background-color: " + ColorText(bgColor_) + "; ";
  if (!vertScrollBar_) style += "overflow: visible;";
  if (invisibleBorder_) style += "border-style: none;border-color: #000000";
  return style;
}

void TIWCustomMemo::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
  if (required_ && Editable()) AddRequiredValue(page, ElementName(), FriendlyName());
}

void TIWCustomMemo::ApplySubmittedValue(const std::string& value) {
  std::string text;
  text.reserve(value.size() + value.size() / 8);
  for (char c : value) {
    if (c == '\r') continue;
    if (c == '\n') text += '\r';
    text += c;
  }
  LoadText(text);
  MarkChanged();
}

}  // namespace qx
