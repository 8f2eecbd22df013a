// Forms: the pages of a session. TIWBaseForm is the base of every page (kind, released marks,
// Show/Hide/Release, the posted values and the hand-off to post processing), TIWForm adds the
// HTML 4.0 rendering properties and RenderPage, TIWAppForm is the base of every screen.
#pragma once

#include <functional>
#include <string>

#include "forms/Container.h"
#include "forms/LayoutMgr.h"
#include "server/ApplicationInterface.h"

namespace qx {

class TIWApplication;
class TStream;

extern const char* const kCannotShowNonAppForms;     // "Cannot show non-app forms."
extern const char* const kCannotReleaseNonAppForms;  // "Cannot release non-app forms."
extern const char* const kNotSupportedInPartialUpdate;
extern const char* const kFormWithoutApplication;    // Format: the form's name

// The display names of client types, for the form's SupportedBrowsers.
const TEnumInfo& EnumInfoOf(TIWBrowser);

enum TIWConnectionMode : int { cmAny, cmSecure, cmNonSecure };
const TEnumInfo& EnumInfoOf(TIWConnectionMode);
enum TIWUpdateMode : int { umAll, umPartial };
const TEnumInfo& EnumInfoOf(TIWUpdateMode);

// A file the page refers to: a URL, or a file of the files folder (setting one clears the
// other).
class TIWFileRef : public TPersistent {
  QX_CLASS(TIWFileRef, TPersistent)

 public:
  TIWFileRef() = default;
  // Copies the values; the check hook stays this object's own.
  TIWFileRef(const TIWFileRef& other) : TPersistent(other), filename_(other.filename_), url_(other.url_) {}
  TIWFileRef& operator=(const TIWFileRef& other);

  const std::string& Filename() const noexcept { return filename_; }
  void SetFilename(std::string_view filename);
  const std::string& URL() const noexcept { return url_; }
  void SetURL(std::string_view url);
  bool Empty() const noexcept { return filename_.empty() && url_.empty(); }
  // The URL the browser fetches: URL when set, else the file under the files URL ("" when
  // neither is set).
  std::string ResolvedURL() const;
  // The URL of a file of the files folder: the files URL followed by FilesRelativeName.
  static std::string URLOfFile(std::string_view fileName);
  // The part of a file name after the files folder ('\\' read as '/'), or the bare file name
  // when the file lies elsewhere (definitions name files as they were on the designer's disk).
  static std::string FilesRelativeName(std::string_view fileName);

  // Runs before any change and may refuse it by raising.
  void SetOnChanging(std::function<void()> check) { onChanging_ = std::move(check); }

 private:
  void Changing() const;

  std::string filename_;
  std::string url_;
  std::function<void()> onChanging_;
};

// The page background: a file reference that may stay fixed while the page scrolls.
class TIWBackground : public TIWFileRef {
  QX_CLASS(TIWBackground, TIWFileRef)

 public:
  bool Fixed() const noexcept { return fixed_; }
  void SetFixed(bool fixed) noexcept { fixed_ = fixed; }

 private:
  bool fixed_ = false;
};

// A component that shows progress while a page posts; its markup closes the page body.
class TIWProgressIndicator : public TComponent {
  QX_CLASS(TIWProgressIndicator, TComponent)

 public:
  virtual std::string Markup() const = 0;

 protected:
  TIWProgressIndicator() = default;
};

// Data-module designer base of forms.
class TIWModuleDsn : public TIWContainer {
  QX_CLASS(TIWModuleDsn, TIWContainer)

 protected:
  TIWModuleDsn() = default;
};

class TIWBaseForm : public TIWModuleDsn {
  QX_CLASS(TIWBaseForm, TIWModuleDsn)

 public:
  // The application the form was created under (its owner, or the current application).
  TIWApplication* Application() const noexcept;

  // Application forms can be shown, hidden and released; a bare form cannot.
  virtual bool IsAppForm() const noexcept { return false; }
  // Whether the form renders as an HTML 4.0 page.
  virtual bool IsHTML40() const noexcept { return false; }
  std::string NameSuffix() const override { return {}; }

  // Makes the form the active one (fails with kCannotShowNonAppForms for a bare form).
  virtual void Show();
  // Takes every occurrence of the form off the stack (kCannotReleaseNonAppForms for a bare form).
  void Hide();
  // Releases the form: it leaves the stack and is freed at the end of the request's execution.
  // Before the form has finished its creation only the request is recorded.
  void Release();
  bool Released() const noexcept { return released_; }
  bool ReleaseRequested() const noexcept { return releaseRequested_; }

  // --- Published form properties.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string_view title) { title_ = title; }
  TIWConnectionMode ConnectionMode() const noexcept { return connectionMode_; }
  void SetConnectionMode(TIWConnectionMode mode) noexcept { connectionMode_ = mode; }
  TIWBrowsers SupportedBrowsers() const noexcept { return supportedBrowsers_; }
  void SetSupportedBrowsers(TIWBrowsers browsers) noexcept { supportedBrowsers_ = browsers; }
  // A request for "<name>.html" may start a session on this form.
  bool AllowPageAccess() const noexcept { return allowPageAccess_; }
  void SetAllowPageAccess(bool allow) noexcept { allowPageAccess_ = allow; }
  // Requests must come from the browser family the session started with.
  bool BrowserSecurityCheck() const noexcept { return browserSecurityCheck_; }
  void SetBrowserSecurityCheck(bool check) noexcept { browserSecurityCheck_ = check; }
  // name=value lines carried in hidden inputs of the page and back in the post.
  const TStringList& HiddenFields() const noexcept { return hiddenFields_; }
  TStringList& HiddenFieldsRef() noexcept { return hiddenFields_; }
  void SetHiddenFields(const TStringList& fields) { hiddenFields_ = fields; }
  // Lines written into the page head.
  const TStringList& ExtraHeader() const noexcept { return extraHeader_; }
  void SetExtraHeader(const TStringList& lines) { extraHeader_ = lines; }
  TIWUpdateMode UpdateMode() const noexcept { return updateMode_; }
  void SetUpdateMode(TIWUpdateMode mode) noexcept { updateMode_ = mode; }
  const TNotifyEvent& OnCreate() const noexcept { return onCreate_; }
  void SetOnCreate(TNotifyEvent handler) { onCreate_ = std::move(handler); }
  const TNotifyEvent& OnDestroy() const noexcept { return onDestroy_; }
  void SetOnDestroy(TNotifyEvent handler) { onDestroy_ = std::move(handler); }
  const TNotifyEvent& OnAfterRender() const noexcept { return onAfterRender_; }
  void SetOnAfterRender(TNotifyEvent handler) { onAfterRender_ = std::move(handler); }

  // The name=value lines of the last post, in request order (replaced by each post).
  TStringList& PostedValues() noexcept { return postedValues_; }

  // Processes the posted values: applies them to the controls and runs the action of the
  // control that caused the post (Submission.cpp). The application's Execute hands over here.
  virtual void ProcessPost();

  // Writes the form's page into `out`.
  virtual void RenderPage(TStream& out) = 0;
  // The script the page runs after the server resized the form (forms with OnResize).
  virtual std::string ResizeScript() = 0;

  // Text appended by ShowMessage and forms; run by the next page, then emptied.
  const std::string& ExtraInitScript() const noexcept { return extraInitScript_; }
  void AddExtraInitScript(std::string_view script) { extraInitScript_ += script; }
  void ClearExtraInitScript() noexcept { extraInitScript_.clear(); }
  // Script that opens a message window; run by the next page after its other init code.
  const std::string& MessageWindowScript() const noexcept { return messageWindowScript_; }
  void AddMessageWindowScript(std::string_view script) { messageWindowScript_ += script; }
  void ClearMessageWindowScript() noexcept { messageWindowScript_.clear(); }
  // The size of the page written last: the next page's text reserves it at once, so that a
  // page of megabytes (a long grid) is not copied again and again as it grows.
  std::size_t LastPageSize() const noexcept { return lastPageSize_; }
  void SetLastPageSize(std::size_t size) noexcept { lastPageSize_ = size; }

 protected:
  TIWBaseForm();
  void Created() override;
  void BeforeDestruction() override;

 private:
  friend class TIWApplication;

  TComponentRef<TIWApplication> application_{nullptr};
  bool released_ = false;
  bool releaseRequested_ = false;
  bool initialised_ = false;
  std::string title_;
  TIWConnectionMode connectionMode_ = cmAny;
  TIWBrowsers supportedBrowsers_{brIE, brNetscape7, brOpera, brSafari, brNetscape6};
  bool allowPageAccess_ = true;
  bool browserSecurityCheck_ = true;
  TStringList hiddenFields_;
  TStringList extraHeader_;
  TIWUpdateMode updateMode_ = umAll;
  TNotifyEvent onCreate_;
  TNotifyEvent onDestroy_;
  TNotifyEvent onAfterRender_;
  TStringList postedValues_;
  std::string extraInitScript_;
  std::string messageWindowScript_;
  std::size_t lastPageSize_ = 0;
};

class TIWBaseHTMLForm : public TIWBaseForm {
  QX_CLASS(TIWBaseHTMLForm, TIWBaseForm)

 protected:
  TIWBaseHTMLForm() = default;
};

// A form rendered as an HTML 4.0 page with absolutely placed controls.
class TIWForm : public TIWBaseHTMLForm {
  QX_CLASS(TIWForm, TIWBaseHTMLForm)

 public:
  TIWForm();
  bool IsHTML40() const noexcept override { return true; }

  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor c) noexcept { bgColor_ = c; }
  TColor TextColor() const noexcept { return textColor_; }
  void SetTextColor(TColor c) noexcept { textColor_ = c; }
  TColor LinkColor() const noexcept { return linkColor_; }
  void SetLinkColor(TColor c) noexcept { linkColor_ = c; }
  TColor VLinkColor() const noexcept { return vLinkColor_; }
  void SetVLinkColor(TColor c) noexcept { vLinkColor_ = c; }
  TIWBackground& Background() noexcept { return background_; }
  // Taken from the controller's StyleSheet when empty once the form is loaded; cannot change
  // during a partial update.
  TIWFileRef& StyleSheet() noexcept { return styleSheet_; }
  bool LeftToRight() const noexcept { return leftToRight_; }
  void SetLeftToRight(bool v) noexcept { leftToRight_ = v; }
  // The page stays covered until its init script has run.
  bool LockUntilLoaded() const noexcept { return lockUntilLoaded_; }
  void SetLockUntilLoaded(bool v) noexcept { lockUntilLoaded_ = v; }
  // The page is covered while its post is on the way.
  bool LockOnSubmit() const noexcept { return lockOnSubmit_; }
  void SetLockOnSubmit(bool v) noexcept { lockOnSubmit_ = v; }
  bool XPTheme() const noexcept { return xpTheme_; }
  void SetXPTheme(bool v) noexcept { xpTheme_ = v; }
  bool ShowHint() const noexcept { return showHint_; }
  void SetShowHint(bool v) noexcept { showHint_ = v; }
  // Script text added to the page's declarations.
  const TStringList& JavaScript() const noexcept { return javaScript_; }
  void SetJavaScript(const TStringList& lines) { javaScript_ = lines; }
  // The control that has the focus when the page has loaded.
  TControl* ActiveControl() const noexcept { return activeControl_.Get(); }
  void SetActiveControl(TControl* control) { activeControl_ = control; }
  const TNotifyEvent& OnDefaultAction() const noexcept { return onDefaultAction_; }
  void SetOnDefaultAction(TNotifyEvent handler) { onDefaultAction_ = std::move(handler); }
  const TNotifyEvent& OnResize() const noexcept { return onResize_; }
  void SetOnResize(TNotifyEvent handler) { onResize_ = std::move(handler); }
  // Another layout manager (enabled) instead of the default one.
  TIWLayoutMgr* LayoutMgr() const noexcept { return layoutMgr_.Get(); }
  void SetLayoutMgr(TIWLayoutMgr* layoutMgr) { layoutMgr_ = layoutMgr; }
  TIWProgressIndicator* ProgressIndicator() const noexcept { return progressIndicator_.Get(); }
  void SetProgressIndicator(TIWProgressIndicator* indicator) { progressIndicator_ = indicator; }
  // Kept with the form; without effect on the page.
  bool HandleTabs() const noexcept { return handleTabs_; }
  void SetHandleTabs(bool v) noexcept { handleTabs_ = v; }

  // The URL the page posts to (set by the application before each render).
  const std::string& ActionURL() const noexcept { return actionURL_; }
  void SetActionURL(std::string url) { actionURL_ = std::move(url); }

  // The whole page, built in memory and written once.
  void RenderPage(TStream& out) override;
  // The page as text (RenderPage's content).
  std::string RenderPageText();
  std::string ResizeScript() override;
  // Whether any component of the form has an asynchronous event: its page then tracks the
  // content changes of its input controls, so that a callback carries what the user changed.
  bool HoldsAsyncEvents();
  // The browser's window size: changed marks cleared, new bounds (controls re-laid out and
  // marked when they moved), then OnResize when the size changed.
  void ResizeTo(int width, int height);

 protected:
  void Loaded() override;

 private:
  // Refuses a style-sheet change during a partial update.
  void CheckStyleSheetChange() const;

  TColor bgColor_ = clNone;
  TColor textColor_ = clNone;
  TColor linkColor_ = clNone;
  TColor vLinkColor_ = clNone;
  TIWBackground background_;
  TIWFileRef styleSheet_;
  bool leftToRight_ = true;
  bool lockUntilLoaded_ = true;
  bool lockOnSubmit_ = true;
  bool xpTheme_ = true;
  bool showHint_ = true;
  TStringList javaScript_;
  TComponentRef<TControl> activeControl_{this};
  TNotifyEvent onDefaultAction_;
  TNotifyEvent onResize_;
  TComponentRef<TIWLayoutMgr> layoutMgr_{this};
  TComponentRef<TIWProgressIndicator> progressIndicator_{this};
  bool handleTabs_ = false;
  std::string actionURL_;
};

// The base of every screen: an application form, 300 × 200 until its definition says more.
class TIWAppForm : public TIWForm {
  QX_CLASS(TIWAppForm, TIWForm)

 public:
  TIWAppForm();
  bool IsAppForm() const noexcept override { return true; }
};

}  // namespace qx
