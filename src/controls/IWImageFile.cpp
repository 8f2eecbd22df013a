// The file images' URLs, markup and scripts.
#include "controls/IWImageFile.h"

#include "controls/UpdateElement.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "runtime/Strings.h"
#include "server/FileReply.h"

namespace qx {

// What a file reference holds to keep the browser from caching the file.
constexpr const char* kNotCacheable = "FILESNC";

// ---- image files ------------------------------------------------------------------------------

const TClassInfo& TIWImageFile::StaticClassInfo() {
  using T = TIWImageFile;
  static const TClassInfo info = TClassBuilder<T>("TIWImageFile")
                                     .Creatable()
                                     .Property("ImageFile", static_cast<TIWFileRef& (T::*)()>(&T::ImageFile))
                                     .Property("Cacheable", &T::Cacheable, &T::SetCacheable)
                                     .Build();
  return info;
}

TIWImageFile::TIWImageFile() {
  imageFile_.SetOnChanging([this] { MarkChanged(); });
  TIWImageFile::SetDefaults();
}

void TIWImageFile::SetDefaults() {
  TIWCustomImage::SetDefaults();
  imageFile_ = TIWFileRef();
  cacheable_ = true;
}

std::string TIWImageFile::ReferenceURL(const TIWFileRef& reference) {
  if (reference.Filename().empty()) return reference.URL();
  std::string base = FilesURL();
  if (ContainsText(reference.Filename(), kNotCacheable)) base = base.substr(0, base.size() - 1) + "NC/";
  return base + TIWFileRef::FilesRelativeName(reference.Filename());
}

std::string TIWImageFile::ImageURL() {
  SetCacheable(!ContainsText(imageFile_.URL(), kNotCacheable) && !ContainsText(imageFile_.Filename(), kNotCacheable));
  return ReferenceURL(imageFile_);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWImageFile::RenderMarkup(TIWComponent40Context& context) {
  return ImageMarkup(context, ImageURL());
}

std::unique_ptr<TIWMarkupLanguageTag> TIWImageFile::RenderUpdate(TIWComponent40Context&) {
  auto control = UpdateElement(ElementName(), "IWIMAGEFILE");
  AddUpdateValue(*control, "src", ImageURL());
  return control;
}

// ---- image buttons ----------------------------------------------------------------------------

const TClassInfo& TIWImageButton::StaticClassInfo() {
  using T = TIWImageButton;
  static const TClassInfo info = TClassBuilder<T>("TIWImageButton")
                                     .Creatable()
                                     .Property("HotImageFile", static_cast<TIWFileRef& (T::*)()>(&T::HotImageFile))
                                     .Property("HotKey", &T::HotKey, &T::SetHotKey)
                                     .Build();
  return info;
}

TIWImageButton::TIWImageButton() {
  hotImageFile_.SetOnChanging([this] { MarkChanged(); });
  TIWImageButton::SetDefaults();
}

void TIWImageButton::SetDefaults() {
  TIWImageFile::SetDefaults();
  hotImageFile_ = TIWFileRef();
  hotKey_.clear();
}

std::unique_ptr<TIWMarkupLanguageTag> TIWImageButton::RenderMarkup(TIWComponent40Context& context) {
  auto input = TIWHTMLTag::Create("input", ctNever);
  input->AddStringParam("type", "image");
  input->AddStringParam("src", ImageURL());
  input->AddStringParam("name", ElementName());
  input->AddStringParam("ACCESSKEY", hotKey_);
  if (!Enabled()) input->Add("disabled");
  return WrapForMouseDown(context, std::move(input));
}

void TIWImageButton::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  if (!hotImageFile_.Empty()) {
    const std::string source = ElementName() + "IWCL.src=";
    events.HookEvent("onMouseOut", source + "\"" + ReferenceURL(ImageFile()) + "\";");
    events.HookEvent("onMouseOver", source + "\"" + ReferenceURL(hotImageFile_) + "\";");
  }
  TIWImageFile::AttachScripts(page, events);
  if (OnClick()) events.HookEvent("OnClick", SubmitCallScript(page, ""));
}

}  // namespace qx
