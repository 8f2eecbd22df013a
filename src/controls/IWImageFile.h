// Images of files: TIWImageFile shows a file of the files folder or any URL, letting the
// browser cache it unless the reference says "FILESNC"; TIWImageButton is such an image as a
// submit button, with a second picture while the mouse is over it and an access key.
#pragma once

#include "controls/IWImage.h"
#include "forms/Form.h"

namespace qx {

class TIWImageFile : public TIWCustomImage {
  QX_CLASS(TIWImageFile, TIWCustomImage)

 public:
  TIWImageFile();

  // A file (its name as the definition gives it) or a URL; setting one clears the other.
  TIWFileRef& ImageFile() noexcept { return imageFile_; }
  const TIWFileRef& ImageFile() const noexcept { return imageFile_; }
  // Whether the browser may cache the picture: recomputed at every rendering from ImageFile.
  bool Cacheable() const noexcept { return cacheable_; }
  void SetCacheable(bool cacheable) { SetProperty(cacheable_, cacheable); }

  void SetDefaults() override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWIMAGEFILE"> with the picture's URL as "src".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;

 protected:
  // The URL of a reference: a file under the files URL ("FilesNC/" when the reference holds
  // "FILESNC", which the browser must not cache), or the URL as it is.
  static std::string ReferenceURL(const TIWFileRef& reference);
  // ImageFile's URL, with Cacheable brought up to date.
  std::string ImageURL();

 private:
  TIWFileRef imageFile_;
  bool cacheable_ = true;
};

class TIWImageButton : public TIWImageFile {
  QX_CLASS(TIWImageButton, TIWImageFile)

 public:
  TIWImageButton();

  // The picture shown while the mouse is over the button.
  TIWFileRef& HotImageFile() noexcept { return hotImageFile_; }
  const TIWFileRef& HotImageFile() const noexcept { return hotImageFile_; }
  const std::string& HotKey() const noexcept { return hotKey_; }
  void SetHotKey(std::string_view hotKey) { SetProperty(hotKey_, hotKey); }

  void SetDefaults() override;
  // <input type="image">.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // The hot picture on mouse over and out, the image's position scripts, then the submit
  // script on click.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;

 private:
  TIWFileRef hotImageFile_;
  std::string hotKey_;
};

}  // namespace qx
