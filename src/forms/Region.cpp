// Regions: border options and their pixel width, the region's "DIV", and the splitter grip
// with the input that carries the split position back.
#include "forms/Region.h"

#include <vector>

#include "forms/RenderContext.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kUnknownBorderWidth = "Unkown border width.";
constexpr const char* kInvalidSplitterData = "Invalid splitter position '%s'.";
constexpr const char* kSplitterScript = "/js/IWSplitter.js";
constexpr int kGripSize = 4;
constexpr int kMaxSplitterPixels = 100000;

const TEnumInfo& EnumInfoOf(TIWContainerBorderStyle) {
  static const TEnumInfo info(
      "TIWContainerBorderStyle",
      {QX_ENUM(cbsNone), QX_ENUM(cbsHidden), QX_ENUM(cbsDotted), QX_ENUM(cbsDashed),
       QX_ENUM(cbsSolid), QX_ENUM(cbsDouble), QX_ENUM(cbsGroove), QX_ENUM(cbsRidge),
       QX_ENUM(cbsInset), QX_ENUM(cbsOutset)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWContainerBorderWidth) {
  static const TEnumInfo info("TIWContainerBorderWidth", {QX_ENUM(cbwThin), QX_ENUM(cbwMedium),
                                                          QX_ENUM(cbwThick), QX_ENUM(cbwNumeric)});
  return info;
}

// ---- border options ---------------------------------------------------------------------------

const TClassInfo& TIWContainerBorderOptions::StaticClassInfo() {
  using T = TIWContainerBorderOptions;
  static const TClassInfo info = TClassBuilder<T>("TIWContainerBorderOptions")
                                     .Property("Color", &T::Color, &T::SetColor)
                                     .Property("Style", &T::Style, &T::SetStyle)
                                     .Property("BorderWidth", &T::BorderWidth, &T::SetBorderWidth)
                                     .Property("NumericWidth", &T::NumericWidth, &T::SetNumericWidth)
                                     .Build();
  return info;
}

TIWContainerBorderOptions& TIWContainerBorderOptions::operator=(const TIWContainerBorderOptions& other) {
  if (this == &other) return *this;
  TNotifyingPersistent::operator=(other);
  values_ = other.values_;
  Changed();
  return *this;
}

int TIWContainerBorderOptions::PixelWidth() const {
  if (values_.style == cbsNone || values_.style == cbsHidden) return 0;
  switch (values_.borderWidth) {
    case cbwThin: return 1;
    case cbwMedium: return 3;
    case cbwThick: return 5;
    case cbwNumeric: return values_.numericWidth;
  }
  throw EIWException(kUnknownBorderWidth);
}

std::string TIWContainerBorderOptions::CSSWidth() const {
  switch (values_.borderWidth) {
    case cbwThin: return "thin";
    case cbwMedium: return "medium";
    case cbwThick: return "thick";
    case cbwNumeric: return IntToStr(values_.numericWidth);
  }
  throw EIWException(kUnknownBorderWidth);
}

std::string TIWContainerBorderOptions::CSSStyle() const {
  static constexpr const char* kStyles[] = {"none",   "hidden", "dotted", "dashed", "solid",
                                            "double", "groove", "ridge",  "inset",  "outset"};
  return values_.style >= cbsNone && values_.style <= cbsOutset ? kStyles[values_.style] : "solid";
}

// ---- regions ----------------------------------------------------------------------------------

const TClassInfo& TIWHTML40Container::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWHTML40Container>("TIWHTML40Container").Build();
  return info;
}

const TClassInfo& TIWCustomRegion::StaticClassInfo() {
  using T = TIWCustomRegion;
  static const TClassInfo info =
      TClassBuilder<T>("TIWCustomRegion")
          .Property("BorderOptions", static_cast<TIWContainerBorderOptions& (T::*)()>(&T::BorderOptions))
          .Property("ClipRegion", &T::ClipRegion, &T::SetClipRegion)
          .Property("Splitter", &T::Splitter, &T::SetSplitter)
          .Build();
  return info;
}

const TClassInfo& TIWRegion::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWRegion>("TIWRegion").Creatable().Build();
  return info;
}

TIWCustomRegion::TIWCustomRegion() {
  borderOptions_.SetOnChange([this] {
    // The border bounds the client area the region's controls are aligned in.
    Realign();
    MarkChanged();
  });
  TIWCustomRegion::SetDefaults();
}

void TIWCustomRegion::SetDefaults() {
  TIWHTML40Container::SetDefaults();
  borderOptions_ = TIWContainerBorderOptions();
  clipRegion_ = true;
  splitter_ = false;
  SetZIndex(1000);
  // A region always writes its size: it is the box its controls are placed in.
  SetRenderSize(true);
  SetBounds(Left(), Top(), 60, 60);
}

bool TIWCustomRegion::SplitterActive() const {
  return splitter_ && (Align() == alTop || Align() == alBottom || Align() == alLeft || Align() == alRight);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomRegion::RenderMarkup(TIWComponent40Context& context) {
  const TIWBrowser browser = context.Browser();
  TIWFrameStyle frame;
  frame.BorderColor = borderOptions_.Color();
  frame.BorderStyle = borderOptions_.CSSStyle();
  frame.BorderWidth = borderOptions_.CSSWidth();
  frame.BorderPixels = BorderWidth();
  frame.HorzScroll = HorzScrollBar().Visible();
  frame.VertScroll = VertScrollBar().Visible();
  frame.Clip = clipRegion_;
  frame.Background = Color();
  auto div = TIWHTMLTag::Create("DIV");
  div->AddStringParam("STYLE", FrameStyleText(frame, RenderedWidth(browser), RenderedHeight(browser), browser));

  if (SplitterActive()) {
    const std::string n = ElementName();
    context.PageContext().AddScriptFile(kSplitterScript);
    const bool vertical = Align() == alTop || Align() == alBottom;
    std::string place;
    switch (Align()) {
      case alTop: place = "left:0px;bottom:0px;"; break;
      case alBottom: place = "left:0px;top:0px;"; break;
      case alLeft: place = "top:0px;right:0px;"; break;
      default: place = "top:0px;left:0px;"; break;
    }
    const std::string size = IntToStr(kGripSize) + "px;";
    TIWMarkupLanguageTag& grip = div->AddTag("DIV");
    grip.AddStringParam("ID", n + "_grip");
    grip.AddStringParam("STYLE", "position:absolute;" + place +
                                     (vertical ? "width:100%;height:" + size + "cursor:n-resize;"
                                               : "height:100%;width:" + size + "cursor:e-resize;") +
                                     "z-index:1000;font-size:0px;");
    TIWMarkupLanguageTag& data = div->AddTag("INPUT", ctNever);
    data.AddStringParam("TYPE", "HIDDEN");
    data.AddStringParam("ID", n + "_data");
    data.AddStringParam("NAME", n + "_data");
    data.AddStringParam("VALUE", IntToStr(Left()) + "," + IntToStr(Top()) + "," +
                                     IntToStr(Width()) + "," + IntToStr(Height()));
  }
  return div;
}

void TIWCustomRegion::RegisterFields(TStringList& fields) const {
  if (SplitterActive()) fields.Add(ElementName() + "_data");
}

// Posted names arrive upper-cased, so the field is recognised without regard to case.
bool TIWCustomRegion::OwnsField(std::string_view name) const {
  return SplitterActive() && SameText(name, ElementName() + "_data");
}

void TIWCustomRegion::ApplySubmittedValue(const std::string& value) {
  std::vector<int> parts;
  bool valid = true;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = value.find(',', start);
    const auto number = TryStrToInt64(std::string_view(value).substr(
        start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!number || *number < 0 || *number > kMaxSplitterPixels) valid = false;
    else parts.push_back(static_cast<int>(*number));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  // Nothing changes unless the whole rectangle reads well.
  if (!valid || parts.size() != 4) throw EConvertError(Format(kInvalidSplitterData, {value}));
  // Only the split side moves; alignment places the region again.
  if (Align() == alTop || Align() == alBottom) SetHeight(parts[3]);
  else SetWidth(parts[2]);
}

}  // namespace qx
