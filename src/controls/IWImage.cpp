// The image controls' shared element and click handling, and the dynamic image's picture,
// written to the session's cache folder each time the image is rendered.
#include "controls/IWImage.h"

#include "controls/UpdateElement.h"
#include "entry/ServerControllerClass.h"
#include "forms/Application.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kUnknownImageOutputType = "Unknown Image Output Type";

const TEnumInfo& EnumInfoOf(TIWImageOutput) {
  static const TEnumInfo info("TIWImageOutput", {QX_ENUM(ioGIF), QX_ENUM(ioJPEG)});
  return info;
}

// ---- every image ------------------------------------------------------------------------------

const TClassInfo& TIWCustomImage::StaticClassInfo() {
  using T = TIWCustomImage;
  static const TClassInfo info =
      TClassBuilder<T>("TIWCustomImage")
          .Property("AltText", &T::AltText, &T::SetAltText)
          .Property("UseSize", &T::UseSize, &T::SetUseSize)
          .Property("BorderOptions", static_cast<TIWBorderOptions& (T::*)()>(&T::BorderOptions))
          .Property("OnClick", &T::OnClick, &T::SetOnClick)
          .Property("OnMouseDown", &T::OnMouseDown, &T::SetOnMouseDown)
          .Build();
  return info;
}

TIWCustomImage::TIWCustomImage() {
  borderOptions_.SetOnChange([this] { MarkChanged(); });
  TIWCustomImage::SetDefaults();
}

void TIWCustomImage::SetDefaults() {
  TIWCustomControl::SetDefaults();
  altText_.clear();
  useSize_ = false;
  borderOptions_ = TIWBorderOptions();
  SetAutoSize(true);
  SetBounds(Left(), Top(), 89, 112);
}

void TIWCustomImage::SetUseSize(bool useSize) {
  SetProperty(useSize_, useSize);
  if (useSize) SetAutoSize(false);
}

void TIWCustomImage::AutoSizeChanged() {
  if (!AutoSize()) return;
  SetProperty(useSize_, false);
  FitToContent();
}

void TIWCustomImage::SetOnClick(TNotifyEvent handler) {
  if (handler) onMouseDown_ = nullptr;
  onClick_ = std::move(handler);
}

void TIWCustomImage::SetOnMouseDown(TIWImageOnMouseDown handler) {
  if (handler) onClick_ = nullptr;
  onMouseDown_ = std::move(handler);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomImage::ImageMarkup(TIWComponent40Context& context,
                                                                   const std::string& url) {
  auto image = TIWHTMLTag::Create("IMG", ctNever);
  image->AddStringParam("SRC", url);
  image->AddStringParam("NAME", ElementName());
  image->AddIntegerParam("BORDER", borderOptions_.Width());
  if (borderOptions_.Color() != clNone)
    image->Add("style={border-color: " + ColorText(borderOptions_.Color()) + ";}");
  image->AddStringParam("ALT", EscapeMarkup(altText_));
  if (useSize_) {
    image->AddIntegerParam("WIDTH", Width());
    image->AddIntegerParam("HEIGHT", Height());
  }
  if (Enabled() && onClick_) {
    // Internet Explorer runs the statement form; the others take the returned value.
    return SubmitAnchor(context.PageContext(), image->Text(), "", context.Browser() == brIE, false);
  }
  return WrapForMouseDown(context, std::move(image));
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomImage::WrapForMouseDown(
    TIWComponent40Context& context, std::unique_ptr<TIWMarkupLanguageTag> element) {
  const TIWBrowser browser = context.Browser();
  if (!ReportsPosition() || (browser != brNetscape6 && browser != brNetscape7 && browser != brSafari))
    return element;
  const std::string e = ElementName();
  auto anchor = TIWHTMLTag::Create("A");
  anchor->AddStringParam("HREF", "#");
  anchor->AddStringParam("ID", e + "_IMAGE");
  anchor->AddStringParam("OnMouseOver", "return ImageSetEvent(this,'" + e + "'" + "," + ValidationFlag() + "," +
                                            "'" + EscapeScript(Confirmation()) + "'" + ");");
  anchor->AddSpliced(std::move(element));
  return anchor;
}

void TIWCustomImage::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  if (ReportsPosition() && (page.Browser() == brIE || page.Browser() == brOpera))
    events.HookEvent("OnMouseDown", "return ImageClick(this.name,event," + ValidationFlag() + ", '" +
                                        EscapeScript(Confirmation()) + "');");
}

void TIWCustomImage::RunAction(const std::string& parameter) {
  if (onMouseDown_) {
    const std::string_view position = parameter;
    const std::size_t comma = position.find(',');
    const int x = StrToInt(position.substr(0, comma));
    const int y = StrToInt(comma == std::string_view::npos ? std::string_view() : position.substr(comma + 1));
    actionParam_ = parameter;
    onMouseDown_(this, x, y);
    return;
  }
  actionParam_ = parameter;
  if (onClick_) onClick_(this);
}

// ---- JPEG options -----------------------------------------------------------------------------

const TClassInfo& TIWJpegOptions::StaticClassInfo() {
  using T = TIWJpegOptions;
  static const TClassInfo info =
      TClassBuilder<T>("TIWJpegOptions")
          .Property("CompressionQuality", &T::CompressionQuality, &T::SetCompressionQuality)
          .Property("Performance", &T::Performance, &T::SetPerformance)
          .Property("ProgressiveEncoding", &T::ProgressiveEncoding, &T::SetProgressiveEncoding)
          .Property("Smoothing", &T::Smoothing, &T::SetSmoothing)
          .Build();
  return info;
}

TIWJpegOptions& TIWJpegOptions::operator=(const TIWJpegOptions& other) {
  if (this == &other) return *this;
  TNotifyingPersistent::operator=(other);
  options_ = other.options_;
  Changed();
  return *this;
}

// ---- images of a picture in memory -----------------------------------------------------------

const TClassInfo& TIWDynamicImage::StaticClassInfo() {
  using T = TIWDynamicImage;
  static const TClassInfo info =
      TClassBuilder<T>("TIWDynamicImage")
          .Property("Picture", static_cast<TPicture& (T::*)()>(&T::Picture))
          .Property("OutputType", &T::OutputType, &T::SetOutputType)
          .Property("JpegOptions", static_cast<TIWJpegOptions& (T::*)()>(&T::JpegOptions))
          .Property("TransparentColor", &T::TransparentColor, &T::SetTransparentColor)
          .Build();
  return info;
}

const TClassInfo& TIWImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWImage>("TIWImage").Creatable().Build();
  return info;
}

TIWDynamicImage::TIWDynamicImage() {
  picture_.SetOnChange([this] {
    MarkChanged();
    if (AutoSize()) FitToContent();
  });
  jpegOptions_.SetOnChange([this] { MarkChanged(); });
  TIWDynamicImage::SetDefaults();
}

void TIWDynamicImage::SetDefaults() {
  TIWCustomImage::SetDefaults();
  picture_.Clear();
  outputType_ = ioJPEG;
  jpegOptions_ = TIWJpegOptions();
  transparentColor_ = clNone;
}

void TIWDynamicImage::FitToContent() {
  if (!picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

std::string TIWDynamicImage::WritePicture(const TIWPageContext40& page) const {
  const char* prefix = nullptr;
  switch (outputType_) {
    case ioJPEG: prefix = "JPG"; break;
    case ioGIF: prefix = "GIF"; break;
    default: throw EIWException(kUnknownImageOutputType);
  }
  TIWApplication* application = page.Application();
  if (!application) throw EIWException(kCacheWriteError);
  return application->WriteCacheFile(prefix, outputType_ == ioJPEG ? picture_.SaveToJPEG(jpegOptions_.Options())
                                                                    : picture_.SaveToGIF(transparentColor_));
}

std::unique_ptr<TIWMarkupLanguageTag> TIWDynamicImage::RenderMarkup(TIWComponent40Context& context) {
  if (picture_.Empty()) return TIWHTMLTag::Create("span");
  return ImageMarkup(context, WritePicture(context.PageContext()));
}

std::unique_ptr<TIWMarkupLanguageTag> TIWDynamicImage::RenderUpdate(TIWComponent40Context& context) {
  auto control = UpdateElement(ElementName(), "IMAGE");
  AddUpdateValue(*control, "src", picture_.Empty() ? std::string() : WritePicture(context.PageContext()));
  return control;
}

}  // namespace qx
