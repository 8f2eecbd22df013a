// TIWApplication: a session's application object. It holds the session's request context, the
// stack of forms the user works in, the data module, pending messages and the termination
// state; it runs one posted page (Execute), decides the next page and renders it, or, once
// terminated, the final page.
//
// Thread safety: everything here belongs to the one request thread that holds the session's
// Lock() (the identity fields of IIWApplication excepted, see there).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/CallBacks.h"
#include "forms/Form.h"
#include "runtime/Guid.h"
#include "server/ApplicationInterface.h"

namespace qx {

class THTTPFile;

extern const char* const kApplicationTerminated;   // "Application has terminated"
extern const char* const kSecureModeRequired;      // "Secure mode is required for this form."
extern const char* const kNonSecureModeRequired;   // "Non-Secure mode is required for this form."
extern const char* const kUnknownConnectionMode;   // "Unknown Connection mode"
extern const char* const kMakeDirectoryFailed;     // + the folder
extern const char* const kNoMainFormDefined;       // "No main form is defined."
extern const char* const kResyncWarning;
extern const char* const kExceptionTemplate;       // "IWException.html"
extern const char* const kShowMessageTemplate;     // "IWShowMessage.html"

// The AppID made from a GUID: four numbers (the first field; the second × 65536 + the third;
// the first and the last four bytes of the last field, most significant first), each in base 36
// padded to 7 characters.
std::string AppIDFromGUID(const TGUID& guid);

class TIWApplication : public IIWApplication {
  QX_CLASS(TIWApplication, IIWApplication)

 public:
  // The creation steps: master templates, AppID (the controller's OnGetSessionID, else a new
  // GUID), the user cache folder (made here; failing that, EIWException kMakeDirectoryFailed).
  explicit TIWApplication(TIWSessionStartInfo start);
  ~TIWApplication() override;
  // The factory the server layer creates sessions with.
  static Owned<IIWApplication> Create(const TIWSessionStartInfo& start);
  // The application of the request the calling thread serves, or none.
  static TIWApplication* Current() noexcept;

  // --- Request context.
  TWebRequest* CurrentRequest() const noexcept { return request_; }
  TWebResponse* CurrentResponse() const noexcept { return response_; }
  const std::vector<std::unique_ptr<THTTPFile>>* FileList() const noexcept { return files_; }
  // The uploaded file of that field (letter case ignored), or none.
  THTTPFile* FindUploadedFile(std::string_view fieldName) const;

  // --- Forms.
  TIWAppForm* ActiveForm() const noexcept { return activeForms_.empty() ? nullptr : activeForms_.back(); }
  const std::vector<TIWAppForm*>& ActiveForms() const noexcept { return activeForms_; }
  // Everything the application owns (forms and data modules).
  const std::vector<TComponent*>& Forms() const noexcept { return forms_; }
  const std::vector<TIWBaseForm*>& ReleasedForms() const noexcept { return releasedForms_; }
  // The session's data module, freed with the application.
  TComponent* Data() const noexcept { return data_.get(); }
  void SetData(Owned<TComponent> data);

  const std::string& FormAction() const noexcept { return formAction_; }
  const std::string& TerminateMessage() const noexcept { return terminateMessage_; }
  const std::string& MasterTemplate() const noexcept { return masterTemplate_; }
  const std::string& MasterTemplate32() const noexcept { return masterTemplate32_; }
  TIWCallBacks& Callbacks() noexcept { return callbacks_; }
  TIWCallBackResponse& CallbackResponse() noexcept { return callbackResponse_; }

  // --- Operations.
  // Queues a message for the next page in the given style.
  void ShowMessage(const std::string& text, TIWShowMessageType style,
                   const std::string& templateName) override;
  void ShowMessage(const std::string& text) { ShowMessage(text, smAlert, {}); }
  // Ends the session after this request with a page showing the message ("Application has
  // terminated" when empty).
  void Terminate(const std::string& message = {});
  // Ends the session after this request with a page that sends the browser to `url`.
  void TerminateAndRedirect(const std::string& url);
  void RegisterCallBack(std::string_view name, TIWCallBackMethod handler, TComponent* component) {
    callbacks_.Register(name, std::move(handler), component);
  }
  // Runs a registered callback with the posted values (the post processing calls it for a
  // callback post); unknown names do nothing.
  void RunCallBack(std::string_view name, const TStringList& params) { callbacks_.Run(name, params); }
  // FormAction and the active form's connection and browser requirements.
  void PreparePage();
  // The URL pages post to.
  std::string FormActionURL() const;
  // The current request came over TLS.
  bool IsSecure() const;
  std::string ServerURL() const;
  // Base URL of the internal files (scripts, pictures).
  std::string InternalFilesBase() const;
  // Writes `bytes` to a new file of the session's cache folder named `prefix`, a unique part
  // and ".tmp", and returns the URL the browser fetches it by. A file that cannot be made or
  // written fails with EIWException kCacheWriteError and leaves nothing behind.
  std::string WriteCacheFile(std::string_view prefix, std::string_view bytes) const;
  // The final page of a terminated session.
  std::string FinalPage() const;

  // --- Module registry of the session (forms and data modules created at run time).
  void AddModule(TComponent& module);
  void RemoveModule(TComponent& module) noexcept;
  TComponent* FindModule(std::string_view name) const noexcept;

  // --- IIWApplication.
  bool HasActiveForm() const override { return ActiveForm() != nullptr; }
  bool ActiveFormBrowserSecurityCheck() const override;
  bool ActiveFormIsHTML40() const override;
  int ActiveFormWidth() const override;
  int ActiveFormHeight() const override;
  std::string ActiveFormResizeScript() override;
  void AttachRequest(TWebRequest& request, TWebResponse& response,
                     const std::vector<std::unique_ptr<THTTPFile>>* files) override;
  void DetachRequest() noexcept override;
  void Execute(const TStringList& fields) override;
  void ProcessCallback(const TStringList& fields) override;
  void ProcessStalePage(int submittedTrackID, const TStringList& fields) override;
  void Render(TStream& out) override;
  void SendTerminationReply(TWebResponse& response) override;
  void SendRedirectReply(TWebResponse& response) override;
  void CreateFirstForm(const TClassInfo& formClass) override;
  void ShowFirstForm(TIWAppForm& form) override;
  TIWApplication& Application() override { return *this; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void BeforeDestruction() override;
  void ResizeActiveForm(int width, int height) override;

 private:
  friend class TIWBaseForm;
  void ShowForm(TIWBaseForm& form);
  void HideForm(TIWBaseForm& form);
  void ReleaseForm(TIWBaseForm& form);
  void FormDestroyed(TIWBaseForm& form) noexcept;

  // Frees the forms released during this request, oldest first.
  void FreeReleasedForms();
  // The active form processes `fields`, then the released forms are freed; a failure in either
  // becomes a message, an abort ends silently.
  void ProcessOnActiveForm(const TStringList& fields);
  // An exception of the post processing: the controller's OnException, else a message.
  void HandleException(const std::exception& failure);
  // Adds the controls the callback changed, the active form's queued scripts and the
  // termination to a callback reply.
  void FinishCallbackReply();
  // Whether the reply to a partial-update post updates the page in place: the form the page
  // was made from is still active and still in partial-update mode.
  bool UpdatesPageInPlace(const TIWAppForm& form) const;

  TWebRequest* request_ = nullptr;
  TWebResponse* response_ = nullptr;
  const std::vector<std::unique_ptr<THTTPFile>>* files_ = nullptr;
  std::vector<TIWAppForm*> activeForms_;
  std::vector<TComponent*> forms_;
  std::vector<TIWBaseForm*> releasedForms_;
  std::vector<TComponent*> modules_;
  Owned<TComponent> data_;
  std::string formAction_;
  std::string terminateMessage_;
  std::string masterTemplate_;
  std::string masterTemplate32_;
  TIWCallBacks callbacks_;
  TIWCallBackResponse callbackResponse_;
  // The active form when the request arrived: the page the browser posted from.
  TComponentRef<TIWAppForm> pageForm_;
};

}  // namespace qx
