// The rectangle's properties and markup.
#include "controls/IWRectangle.h"

namespace qx {

const TClassInfo& TIWCustomRectangle::StaticClassInfo() {
  using T = TIWCustomRectangle;
  static const TClassInfo info =
      TClassBuilder<T>("TIWCustomRectangle")
          .Property("Text", &T::Text, &T::SetText)
          .Property("Alignment", &T::Alignment, &T::SetAlignment)
          .Property("VAlign", &T::VAlign, &T::SetVAlign)
          .Property("BorderOptions", static_cast<TIWBorderOptions& (T::*)()>(&T::BorderOptions))
          .Build();
  return info;
}

const TClassInfo& TIWRectangle::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWRectangle>("TIWRectangle").Creatable().Build();
  return info;
}

TIWCustomRectangle::TIWCustomRectangle() {
  borderOptions_.SetOnChange([this] { MarkChanged(); });
  TIWCustomRectangle::SetDefaults();
}

void TIWCustomRectangle::SetDefaults() {
  TIWCustomControl::SetDefaults();
  text_.clear();
  alignment_ = taLeftJustify;
  vAlign_ = vaMiddle;
  borderOptions_ = TIWBorderOptions();
  // The box is as large as it was designed.
  SetAutoSize(false);
  SetBounds(Left(), Top(), 200, 100);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomRectangle::RenderMarkup(TIWComponent40Context&) {
  static constexpr const char* kAlign[] = {"left", "right", "center"};
  static constexpr const char* kVAlign[] = {"MIDDLE", "top", "bottom", "baseline"};
  auto table = TIWHTMLTag::Create("TABLE");
  table->AddColor("BGCOLOR", Color());
  table->AddIntegerParam("WIDTH", Width());
  table->AddIntegerParam("HEIGHT", Height());
  table->AddIntegerParam("BORDER", borderOptions_.Width());
  table->AddColor("BORDERCOLOR", borderOptions_.Color());
  table->AddIntegerParam("CELLPADDING", 0);
  table->AddIntegerParam("CELLSPACING", 0);
  TIWMarkupLanguageTag& cell = table->AddTag("TR").AddTag("TD");
  if (!text_.empty()) {
    cell.AddStringParam("ALIGN", kAlign[alignment_]);
    cell.AddStringParam("VALIGN", kVAlign[vAlign_]);
    cell.AddText(text_);
  }
  return table;
}

}  // namespace qx
