// TIWPageContext40: what one render of a form collects besides the control markup: the title,
// the submit form with its hidden inputs, the body tag, the style rules, the script files,
// declarations and init code, the validations and the partial-update pieces.
//
// Lives for one render on the thread that holds the session's lock; no locking.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/MarkupTag.h"
#include "server/Browser.h"

namespace qx {

class TIWApplication;
class TIWForm;

class TIWPageContext40 {
 public:
  // `separator` is SEP: CR LF with the controller's DebugHTML, else empty.
  TIWPageContext40(TIWBrowser browser, std::string separator);
  TIWPageContext40(const TIWPageContext40&) = delete;
  TIWPageContext40& operator=(const TIWPageContext40&) = delete;

  TIWBrowser Browser() const noexcept { return browser_; }
  const std::string& Separator() const noexcept { return separator_; }
  // The form being rendered and its application; none in a context made for one control.
  TIWForm* Form() const noexcept { return form_; }
  TIWApplication* Application() const noexcept { return application_; }
  void SetForm(TIWForm* form, TIWApplication* application) noexcept {
    form_ = form;
    application_ = application;
  }
  // The URL of an internal file ("/gfx/…") under the application's internal files base; the
  // name alone without an application.
  std::string InternalFileURL(std::string_view name) const;
  // The form is in partial-update mode: its controls leave their scripts for the
  // partial-update script, which the submit frame runs in the main page.
  bool IsPartialUpdate() const noexcept { return partialUpdate_; }
  void SetPartialUpdate(bool partial) noexcept { partialUpdate_ = partial; }
  // The render answers a partial-update post: the page is the submit frame's reply, which
  // replaces the main page's changed controls (so their styles go inline, not into rules of
  // the main page's style element).
  bool IsUpdateReply() const noexcept { return updateReply_; }
  void SetUpdateReply(bool reply) noexcept { updateReply_ = reply; }
  // The input controls that report content changes hook the client's change tracking (the
  // form holds asynchronous events); pages without callbacks are written without it.
  bool TracksContentChanges() const noexcept { return tracksContentChanges_; }
  void SetTracksContentChanges(bool tracks) noexcept { tracksContentChanges_ = tracks; }

  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& URLBase() const noexcept { return urlBase_; }
  void SetURLBase(std::string urlBase) { urlBase_ = std::move(urlBase); }

  // The hidden submit form ("SubmitForm") and the names of the inputs it already holds.
  TIWMarkupLanguageTag& FormTag() noexcept { return *formTag_; }
  std::unique_ptr<TIWMarkupLanguageTag> TakeFormTag() noexcept { return std::move(formTag_); }
  const std::vector<std::string>& FormHiddenInputs() const noexcept { return hiddenInputs_; }
  // Adds <input TYPE="HIDDEN" NAME="name"> to the submit form unless the name is there.
  void AddHiddenInput(std::string_view name);
  TIWMarkupLanguageTag& BodyTag() noexcept { return *bodyTag_; }
  std::unique_ptr<TIWMarkupLanguageTag> TakeBodyTag() noexcept { return std::move(bodyTag_); }
  // <style type="text/css"> whose first child is a CR LF; class rules follow.
  TIWMarkupLanguageTag& StyleTag() noexcept { return *styleTag_; }
  void AddStyleRule(std::string rule);

  // Lines controls add to the head.
  const std::string& ExtraHeader() const noexcept { return extraHeader_; }
  void AddExtraHeader(std::string_view text);

  // Script files in the order first asked for; returns the file's position.
  int AddScriptFile(std::string_view name);
  const std::vector<std::string>& ScriptFiles() const noexcept { return scriptFiles_; }

  // Appends the text and CR LF, except that a text longer than two characters whose first
  // CR LF is at its very end is appended as it is.
  void AddDeclaration(std::string_view text);
  const std::string& Declarations() const noexcept { return declarations_; }

  // The init parts and IWCLInit: the text and CR LF; empty text is ignored.
  void AddInitA(std::string_view text) { AddLine(initA_, text); }
  void AddInitB(std::string_view text) { AddLine(initB_, text); }
  void AddInitC(std::string_view text) { AddLine(initC_, text); }
  void AddInitD(std::string_view text) { AddLine(initD_, text); }
  void AddInitE(std::string_view text) { AddLine(initE_, text); }
  void AddIWCLInit(std::string_view text) { AddLine(iwclInit_, text); }
  const std::string& InitA() const noexcept { return initA_; }
  const std::string& InitB() const noexcept { return initB_; }
  const std::string& InitC() const noexcept { return initC_; }
  const std::string& InitD() const noexcept { return initD_; }
  const std::string& InitE() const noexcept { return initE_; }
  const std::string& IWCLInit() const noexcept { return iwclInit_; }

  // (condition, message) pairs of Validate(), in order.
  void AddValidation(std::string condition, std::string message);
  const std::vector<std::pair<std::string, std::string>>& Validations() const noexcept {
    return validations_;
  }

  // Partial-update pieces.
  void AddPartialA(std::string_view text) { AddLine(partialA_, text); }
  void AddPartialB(std::string_view text) { AddLine(partialB_, text); }
  void AddPartialC(std::string_view text) { AddLine(partialC_, text); }
  void AddPartialD(std::string_view text) { AddLine(partialD_, text); }
  void AddPartialScript(std::string_view text) { partialScript_ += text; }
  const std::string& PartialA() const noexcept { return partialA_; }
  const std::string& PartialB() const noexcept { return partialB_; }
  const std::string& PartialC() const noexcept { return partialC_; }
  const std::string& PartialD() const noexcept { return partialD_; }
  const std::string& PartialScript() const noexcept { return partialScript_; }

  // The form holds file-upload controls (posts then go through SubmitNextFile).
  bool HasUploadControls() const noexcept { return uploadControls_; }
  void SetHasUploadControls(bool has) noexcept { uploadControls_ = has; }
  // A control posts multipart data (the submit form then says so).
  bool MultipartNeeded() const noexcept { return multipart_; }
  void SetMultipartNeeded() noexcept { multipart_ = true; }
  // Markup of the form's progress indicator, written at the end of the body.
  const std::string& ProgressIndicator() const noexcept { return progressIndicator_; }
  void SetProgressIndicator(std::string markup) { progressIndicator_ = std::move(markup); }

 private:
  static void AddLine(std::string& part, std::string_view text);

  TIWBrowser browser_;
  std::string separator_;
  TIWForm* form_ = nullptr;
  TIWApplication* application_ = nullptr;
  bool partialUpdate_ = false;
  bool updateReply_ = false;
  bool tracksContentChanges_ = false;
  std::string title_;
  std::string urlBase_;
  std::unique_ptr<TIWMarkupLanguageTag> formTag_;
  std::vector<std::string> hiddenInputs_;
  std::unique_ptr<TIWMarkupLanguageTag> bodyTag_;
  std::unique_ptr<TIWMarkupLanguageTag> styleTag_;
  std::string extraHeader_;
  std::vector<std::string> scriptFiles_;
  std::string declarations_;
  std::string initA_, initB_, initC_, initD_, initE_;
  std::string iwclInit_;
  std::vector<std::pair<std::string, std::string>> validations_;
  std::string partialA_, partialB_, partialC_, partialD_, partialScript_;
  bool uploadControls_ = false;
  bool multipart_ = false;
  std::string progressIndicator_;
};

}  // namespace qx
