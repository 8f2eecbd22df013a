// Forms: their property tables, the form-stack operations they offer (Show, Hide, Release),
// creation and destruction events, file references of the page.
#include "forms/Form.h"

#include "forms/Application.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "server/FileReply.h"
#include "server/ServerControllerBase.h"

namespace qx {

const char* const kCannotShowNonAppForms = "Cannot show non-app forms.";
const char* const kCannotReleaseNonAppForms = "Cannot release non-app forms.";
const char* const kNotSupportedInPartialUpdate = "That change is not supported during partial update.";
const char* const kFormWithoutApplication = "The form %s belongs to no application.";

const TEnumInfo& EnumInfoOf(TIWBrowser) {
  static const TEnumInfo info(
      "TIWBrowser",
      {QX_ENUM(brUnknown), QX_ENUM(brIE), QX_ENUM(brNetscape7), QX_ENUM(brOpera), QX_ENUM(brSafari),
       QX_ENUM(brIE4), QX_ENUM(brNetscape6), QX_ENUM(brNetscape4), QX_ENUM(brOther),
       QX_ENUM(brHTML32Test), QX_ENUM(brWMLTest), QX_ENUM(brXHTMLMPTest), QX_ENUM(brWAP)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWConnectionMode) {
  static const TEnumInfo info("TIWConnectionMode",
                              {QX_ENUM(cmAny), QX_ENUM(cmSecure), QX_ENUM(cmNonSecure)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWUpdateMode) {
  static const TEnumInfo info("TIWUpdateMode", {QX_ENUM(umAll), QX_ENUM(umPartial)});
  return info;
}

// ---- file references ----------------------------------------------------------------------------

const TClassInfo& TIWFileRef::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWFileRef>("TIWFileRef")
                                     .Property("Filename", &TIWFileRef::Filename, &TIWFileRef::SetFilename)
                                     .Property("URL", &TIWFileRef::URL, &TIWFileRef::SetURL)
                                     .Build();
  return info;
}

const TClassInfo& TIWBackground::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBackground>("TIWBackground")
                                     .Property("Fixed", &TIWBackground::Fixed, &TIWBackground::SetFixed)
                                     .Build();
  return info;
}

TIWFileRef& TIWFileRef::operator=(const TIWFileRef& other) {
  if (this == &other) return *this;
  Changing();
  filename_ = other.filename_;
  url_ = other.url_;
  return *this;
}

void TIWFileRef::Changing() const {
  if (onChanging_) onChanging_();
}

void TIWFileRef::SetFilename(std::string_view filename) {
  Changing();
  filename_ = filename;
  url_.clear();
}

void TIWFileRef::SetURL(std::string_view url) {
  Changing();
  url_ = url;
  filename_.clear();
}

std::string TIWFileRef::URLOfFile(std::string_view fileName) { return FilesURL() + FilesRelativeName(fileName); }

std::string TIWFileRef::FilesRelativeName(std::string_view fileName) {
  const std::string path = StringReplace(fileName, "\\", "/");
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  if (controller && StartsText(controller->FilesDir(), path)) return path.substr(controller->FilesDir().size());
  return ExtractFileName(path);
}

std::string TIWFileRef::ResolvedURL() const {
  if (!url_.empty()) return url_;
  if (!filename_.empty()) return URLOfFile(filename_);
  return {};
}

const TClassInfo& TIWProgressIndicator::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWProgressIndicator>("TIWProgressIndicator").Build();
  return info;
}

// ---- forms -------------------------------------------------------------------------------------------

const TClassInfo& TIWModuleDsn::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWModuleDsn>("TIWModuleDsn").Build();
  return info;
}

const TClassInfo& TIWBaseForm::StaticClassInfo() {
  using T = TIWBaseForm;
  static const TClassInfo info =
      TClassBuilder<T>("TIWBaseForm")
          .Property("Title", &T::Title, &T::SetTitle)
          .Property("ConnectionMode", &T::ConnectionMode, &T::SetConnectionMode)
          .Property("SupportedBrowsers", &T::SupportedBrowsers, &T::SetSupportedBrowsers)
          .Property("AllowPageAccess", &T::AllowPageAccess, &T::SetAllowPageAccess)
          .Property("BrowserSecurityCheck", &T::BrowserSecurityCheck, &T::SetBrowserSecurityCheck)
          .Property("HiddenFields", &T::HiddenFields, &T::SetHiddenFields)
          .Property("ExtraHeader", &T::ExtraHeader, &T::SetExtraHeader)
          .Property("UpdateMode", &T::UpdateMode, &T::SetUpdateMode)
          .Property("OnCreate", &T::OnCreate, &T::SetOnCreate)
          .Property("OnDestroy", &T::OnDestroy, &T::SetOnDestroy)
          .Property("OnAfterRender", &T::OnAfterRender, &T::SetOnAfterRender)
          .Build();
  return info;
}

TIWApplication* TIWBaseForm::Application() const noexcept { return application_.Get(); }

TIWBaseForm::TIWBaseForm() {
  // A form belongs to the session it is created in.
  if (IIWApplication* current = CurrentApplication()) application_ = &current->Application();
  RegisterModule();
}

void TIWBaseForm::Created() {
  TIWModuleDsn::Created();
  if (onCreate_) onCreate_(this);
  initialised_ = true;
  if (releaseRequested_) Release();
}

void TIWBaseForm::BeforeDestruction() {
  if (onDestroy_) onDestroy_(this);
  if (TIWApplication* application = application_.Get()) application->FormDestroyed(*this);
  TIWModuleDsn::BeforeDestruction();
}

namespace {

TIWApplication& ApplicationOf(const TIWBaseForm& form) {
  TIWApplication* application = form.Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {form.Name()}));
  return *application;
}

}  // namespace

void TIWBaseForm::Show() {
  if (!IsAppForm()) throw EIWException(kCannotShowNonAppForms);
  ApplicationOf(*this).ShowForm(*this);
}

void TIWBaseForm::Hide() {
  if (!IsAppForm()) throw EIWException(kCannotReleaseNonAppForms);
  ApplicationOf(*this).HideForm(*this);
}

void TIWBaseForm::Release() {
  if (!initialised_) {
    releaseRequested_ = true;
    return;
  }
  if (!IsAppForm()) throw EIWException(kCannotReleaseNonAppForms);
  TIWApplication& application = ApplicationOf(*this);
  released_ = true;
  application.ReleaseForm(*this);
}

const TClassInfo& TIWBaseHTMLForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWBaseHTMLForm>("TIWBaseHTMLForm").Build();
  return info;
}

const TClassInfo& TIWForm::StaticClassInfo() {
  using T = TIWForm;
  static const TClassInfo info =
      TClassBuilder<T>("TIWForm")
          .Property("BGColor", &T::BGColor, &T::SetBGColor)
          .Property("TextColor", &T::TextColor, &T::SetTextColor)
          .Property("LinkColor", &T::LinkColor, &T::SetLinkColor)
          .Property("VLinkColor", &T::VLinkColor, &T::SetVLinkColor)
          .Property("Background", &T::Background)
          .Property("StyleSheet", &T::StyleSheet)
          .Property("LeftToRight", &T::LeftToRight, &T::SetLeftToRight)
          .Property("LockUntilLoaded", &T::LockUntilLoaded, &T::SetLockUntilLoaded)
          .Property("LockOnSubmit", &T::LockOnSubmit, &T::SetLockOnSubmit)
          .Property("XPTheme", &T::XPTheme, &T::SetXPTheme)
          .Property("ShowHint", &T::ShowHint, &T::SetShowHint)
          .Property("JavaScript", &T::JavaScript, &T::SetJavaScript)
          .Property("ActiveControl", &T::ActiveControl, &T::SetActiveControl)
          .Property("OnDefaultAction", &T::OnDefaultAction, &T::SetOnDefaultAction)
          .Property("OnResize", &T::OnResize, &T::SetOnResize)
          .Property("LayoutMgr", &T::LayoutMgr, &T::SetLayoutMgr)
          .Property("ProgressIndicator", &T::ProgressIndicator, &T::SetProgressIndicator)
          .Property("HandleTabs", &T::HandleTabs, &T::SetHandleTabs)
          .Build();
  return info;
}

TIWForm::TIWForm() { styleSheet_.SetOnChanging([this] { CheckStyleSheetChange(); }); }

void TIWForm::CheckStyleSheetChange() const {
  TIWApplication* application = Application();
  if (application && application->IsPartialUpdate())
    throw EIWException(kNotSupportedInPartialUpdate);
}

void TIWForm::Loaded() {
  TIWBaseHTMLForm::Loaded();
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  if (!styleSheet_.Empty() || !controller) return;
  // Taking the controller's default is no change made during a request.
  const TIWFileReference& shared = controller->StyleSheet();
  styleSheet_.SetOnChanging({});
  if (!shared.URL().empty()) styleSheet_.SetURL(shared.URL());
  else if (!shared.FileName().empty()) styleSheet_.SetFilename(shared.FileName());
  styleSheet_.SetOnChanging([this] { CheckStyleSheetChange(); });
}

const TClassInfo& TIWAppForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWAppForm>("TIWAppForm").Build();
  return info;
}

TIWAppForm::TIWAppForm() { SetBounds(0, 0, 300, 200); }

}  // namespace qx
