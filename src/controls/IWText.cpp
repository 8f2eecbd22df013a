// The text's properties, markup and update element.
#include "controls/IWText.h"

#include "controls/UpdateElement.h"
#include "forms/TextHelpers.h"

namespace qx {

const TClassInfo& TIWCustomText::StaticClassInfo() {
  using T = TIWCustomText;
  static const TClassInfo info =
      TClassBuilder<T>("TIWCustomText")
          .Property("Lines", &T::Lines, &T::SetLines)
          .Property("WantReturns", &T::WantReturns, &T::SetWantReturns)
          .Property("ConvertSpaces", &T::ConvertSpaces, &T::SetConvertSpaces)
          .Property("RawText", &T::RawText, &T::SetRawText)
          .Property("BGColor", &T::BGColor, &T::SetBGColor)
          .Build();
  return info;
}

const TClassInfo& TIWText::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWText>("TIWText").Creatable().Build();
  return info;
}

TIWCustomText::TIWCustomText() { TIWCustomText::SetDefaults(); }

void TIWCustomText::SetDefaults() {
  TIWCustomControl::SetDefaults();
  lines_.Clear();
  wantReturns_ = true;
  convertSpaces_ = false;
  rawText_ = false;
  bgColor_ = clNone;
  // The text is a box of its own size.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 121, 121);
}

std::string TIWCustomText::ContentMarkup() const {
  if (!rawText_) return EscapeMarkup(lines_.Text(), wantReturns_, convertSpaces_);
  if (wantReturns_) return lines_.Text();
  std::string content;
  for (const std::string& line : lines_) content += line;
  return content;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomText::RenderMarkup(TIWComponent40Context&) {
  auto div = TIWHTMLTag::Create("DIV");
  div->AddText(ContentMarkup());
  return div;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomText::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWTEXT");
  AddUpdateValue(*control, "innerhtml", ContentMarkup());
  return control;
}

std::string TIWCustomText::StyleText(TIWComponent40Context& context) {
  std::string style = TIWCustomControl::StyleText(context);
  if (bgColor_ != clNone) style += " background-color: " + ColorText(bgColor_) + ";";
  return style;
}

}  // namespace qx
