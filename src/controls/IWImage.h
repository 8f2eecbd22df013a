// Images: TIWCustomImage, what every image control shares (the IMG element, its border, the
// size it writes, a click or a click position posting the page), and TIWImage, an image drawn
// from a picture held in memory, written to a new file of the session's cache folder at every
// rendering.
#pragma once

#include <functional>

#include "controls/BorderOptions.h"
#include "forms/Control.h"
#include "runtime/Picture.h"

namespace qx {

extern const char* const kUnknownImageOutputType;  // "Unknown Image Output Type"

// The click position inside an image, in pixels from its top left corner.
using TIWImageOnMouseDown = std::function<void(TObject* sender, int x, int y)>;

enum TIWImageOutput : int { ioGIF, ioJPEG };
const TEnumInfo& EnumInfoOf(TIWImageOutput);

class TIWCustomImage : public TIWCustomControl {
  QX_CLASS(TIWCustomImage, TIWCustomControl)

 public:
  const std::string& AltText() const noexcept { return altText_; }
  void SetAltText(std::string_view text) { SetProperty(altText_, text); }
  // The image is shown at the control's size (WIDTH and HEIGHT); turning it on turns AutoSize
  // off, and turning AutoSize on turns it off.
  bool UseSize() const noexcept { return useSize_; }
  void SetUseSize(bool useSize);
  TIWBorderOptions& BorderOptions() noexcept { return borderOptions_; }
  const TIWBorderOptions& BorderOptions() const noexcept { return borderOptions_; }
  // Assigning a click handler clears the other kind.
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler);
  const TIWImageOnMouseDown& OnMouseDown() const noexcept { return onMouseDown_; }
  void SetOnMouseDown(TIWImageOnMouseDown handler);
  // The action parameter of the last post the image caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  bool CanSubmit() const override { return onClick_ || onMouseDown_; }
  // An enabled image with OnMouseDown reports the click position: in Internet Explorer and
  // Opera from its own mouse-down event.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // With OnMouseDown the parameter is the position "x,y", both integers (anything else fails
  // with EConvertError and changes nothing); otherwise OnClick runs.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomImage();

  // The IMG element of the image at `url`, made clickable as the image's events ask.
  std::unique_ptr<TIWMarkupLanguageTag> ImageMarkup(TIWComponent40Context& context, const std::string& url);
  // In the browsers that report the position from an anchor, an enabled image with OnMouseDown
  // is wrapped in one; other elements come back as they are.
  std::unique_ptr<TIWMarkupLanguageTag> WrapForMouseDown(TIWComponent40Context& context,
                                                         std::unique_ptr<TIWMarkupLanguageTag> element);
  void AutoSizeChanged() override;
  // Takes the size of what the image shows, when it knows one.
  virtual void FitToContent() {}

 private:
  bool ReportsPosition() const { return Enabled() && onMouseDown_; }
  // V and C of the position scripts: the validation flag and the escaped confirmation.
  std::string ValidationFlag() const { return DoSubmitValidation() ? "true" : "false"; }

  std::string altText_;
  bool useSize_ = false;
  TIWBorderOptions borderOptions_;
  TNotifyEvent onClick_;
  TIWImageOnMouseDown onMouseDown_;
  std::string actionParam_;
};

// The JPEG options of a dynamic image, published for form definitions.
class TIWJpegOptions : public TNotifyingPersistent {
  QX_CLASS(TIWJpegOptions, TNotifyingPersistent)

 public:
  TIWJpegOptions() = default;
  TIWJpegOptions(const TIWJpegOptions& other) = default;
  // Takes the values and announces the change; the change hook stays this object's own.
  TIWJpegOptions& operator=(const TIWJpegOptions& other);

  int CompressionQuality() const noexcept { return options_.CompressionQuality; }
  void SetCompressionQuality(int quality) { SetValue(options_.CompressionQuality, quality); }
  TJPEGPerformance Performance() const noexcept { return options_.Performance; }
  void SetPerformance(TJPEGPerformance performance) { SetValue(options_.Performance, performance); }
  bool ProgressiveEncoding() const noexcept { return options_.ProgressiveEncoding; }
  void SetProgressiveEncoding(bool progressive) { SetValue(options_.ProgressiveEncoding, progressive); }
  bool Smoothing() const noexcept { return options_.Smoothing; }
  void SetSmoothing(bool smoothing) { SetValue(options_.Smoothing, smoothing); }

  const TJPEGOptions& Options() const noexcept { return options_; }

 private:
  TJPEGOptions options_;
};

class TIWDynamicImage : public TIWCustomImage {
  QX_CLASS(TIWDynamicImage, TIWCustomImage)

 public:
  // Loading a picture marks the image changed and, with AutoSize, gives it the picture's size.
  TPicture& Picture() noexcept { return picture_; }
  const TPicture& Picture() const noexcept { return picture_; }
  TIWImageOutput OutputType() const noexcept { return outputType_; }
  void SetOutputType(TIWImageOutput type) { SetProperty(outputType_, type); }
  TIWJpegOptions& JpegOptions() noexcept { return jpegOptions_; }
  const TIWJpegOptions& JpegOptions() const noexcept { return jpegOptions_; }
  // The colour a GIF output draws transparent; clNone for none.
  TColor TransparentColor() const noexcept { return transparentColor_; }
  void SetTransparentColor(TColor color) { SetProperty(transparentColor_, color); }

  void SetDefaults() override;
  // An empty span without a picture; otherwise the IMG of a new cache file holding it.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IMAGE"> with the new file's URL as "src".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;

 protected:
  TIWDynamicImage();
  void FitToContent() override;

 private:
  // Writes the picture in the output type to a new file of the session's cache folder and
  // returns its URL; fails with kUnknownImageOutputType or kCacheWriteError.
  std::string WritePicture(const TIWPageContext40& page) const;

  TPicture picture_;
  TIWImageOutput outputType_ = ioJPEG;
  TIWJpegOptions jpegOptions_;
  TColor transparentColor_ = clNone;
};

class TIWImage : public TIWDynamicImage {
  QX_CLASS(TIWImage, TIWDynamicImage)

 public:
  TIWImage() = default;
};

}  // namespace qx
