// IIWApplication: what the server layer sees of a session's application object, plus the
// process-wide hooks through which the forms layer plugs in (factory, start forms, current app).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Component.h"
#include "runtime/DateTime.h"
#include "runtime/StringList.h"
#include "server/Browser.h"
#include "server/ControllerSettings.h"
#include "server/FlexLock.h"

namespace qx {

class TClassInfo;
class THTTPFile;
class TIWAppForm;
class TIWApplication;
class TStream;
class TWebRequest;
class TWebResponse;

// How a session's pages are rendered.
enum TIWRenderKind : int { rkHTML40 = 1, rkHTML32 = 2, rkWAP = 3 };

// "Form must be an application form.": raised by CreateFirstForm for a class that is not one.
extern const char* const kFormMustBeAnAppForm;

// What the server layer has decided about a new session before its application object exists:
// the client type after acceptance, and the request context the session keeps.
struct TIWSessionStartInfo {
  TIWBrowser Browser = brUnknown;
  TIWRenderKind RenderKind = rkHTML40;
  std::string UserAgent;     // the client-type text (user agent or forced mode text)
  std::string AppURLBase;    // the URLBase setting, else the request's script name
  std::string IP;            // the client address the session is bound to
  std::string ReferringURL;
  std::string AuthUser;
  std::string AuthPassword;
  TStringList RunParams;     // the start request's query fields
  int SessionTimeOut = 10;   // minutes, from the controller's SessionTimeout
  int SessionTimeOutSeconds = 0;  // the test option: seconds instead of the minutes when set
};

// A session's application object as the registry, the dispatcher, the file commands and the
// system replies use it. The forms layer's TIWApplication implements it; tests fake it.
//
// Thread safety: the identity fields (AppID, SessionTag, IP, UserAgent, Browser, RenderKind,
// AppURLBase, UserCacheDir, SessionTimeOut, SessionTimeStamp) are set before the session is
// registered and never change afterwards, so any thread may read them. Everything else,
// LastAccess included, belongs to the thread that holds Lock(). Locks are always taken in one
// order: the registry's lock first, then a session's Lock, never the other way round.
class IIWApplication : public TComponent {
  QX_CLASS(IIWApplication, TComponent)

 public:
  // --- Identity, fixed before registration.
  // The session id: 28 lower-case base-36 characters (set by the implementation's constructor).
  const std::string& AppID() const noexcept { return appID_; }
  // The "bind" value the session was started with (empty when none); find-by-tag uses it.
  const std::string& SessionTag() const noexcept { return sessionTag_; }
  void SetSessionTag(std::string tag) { sessionTag_ = std::move(tag); }
  const std::string& IP() const noexcept { return start_.IP; }
  const std::string& UserAgent() const noexcept { return start_.UserAgent; }
  const std::string& ReferringURL() const noexcept { return start_.ReferringURL; }
  const std::string& AuthUser() const noexcept { return start_.AuthUser; }
  const std::string& AuthPassword() const noexcept { return start_.AuthPassword; }
  const TStringList& RunParams() const noexcept { return start_.RunParams; }
  TIWBrowser Browser() const noexcept { return start_.Browser; }
  TIWRenderKind RenderKind() const noexcept { return start_.RenderKind; }
  const std::string& AppURLBase() const noexcept { return start_.AppURLBase; }
  // The session's own cache folder (CacheDir + "user/" + AppID + "/"), made at creation.
  const std::string& UserCacheDir() const noexcept { return userCacheDir_; }
  int SessionTimeOut() const noexcept { return start_.SessionTimeOut; }
  // How long the session may stay idle: its SessionTimeOut, or the test option's seconds.
  int IdleLimitSeconds() const noexcept {
    return start_.SessionTimeOutSeconds > 0 ? start_.SessionTimeOutSeconds : start_.SessionTimeOut * 60;
  }
  TDateTime SessionTimeStamp() const noexcept { return sessionTimeStamp_; }

  // --- Lifetime, guarded by Lock().
  TDateTime LastAccess() const noexcept { return lastAccess_; }
  void SetLastAccess(TDateTime value) noexcept { lastAccess_ = value; }
  // Held by the one request that uses the session; re-entrant.
  TIWFlexLock& Lock() noexcept { return lock_; }

  // --- Request state, guarded by Lock().
  int TrackID() const noexcept { return trackID_; }
  bool Terminated() const noexcept { return terminated_; }
  const std::string& RedirectURL() const noexcept { return redirectURL_; }
  // The browser's client size as last reported; -1 until reported.
  int FormWidth() const noexcept { return formWidth_; }
  int FormHeight() const noexcept { return formHeight_; }
  // Stores the reported size and resizes the active form to it.
  void Resize(int width, int height);
  // Stores the reported size only (a post that has already resized its form).
  void SetFormSize(int width, int height) noexcept {
    formWidth_ = width;
    formHeight_ = height;
  }
  bool IsPartialUpdate() const noexcept { return isPartialUpdate_; }
  void SetIsPartialUpdate(bool value) noexcept { isPartialUpdate_ = value; }
  bool IsCallback() const noexcept { return isCallback_; }
  void SetIsCallback(bool value) noexcept { isCallback_ = value; }

  // --- The active form.
  virtual bool HasActiveForm() const = 0;
  // The active form's BrowserSecurityCheck; true when no form is active (such a session is
  // checked).
  virtual bool ActiveFormBrowserSecurityCheck() const = 0;
  // Whether the active form renders as HTML 4.0; false when no form is active.
  virtual bool ActiveFormIsHTML40() const = 0;
  // The active form's size (0 when no form is active).
  virtual int ActiveFormWidth() const = 0;
  virtual int ActiveFormHeight() const = 0;
  // The script the active form supplies for a resize reply.
  virtual std::string ActiveFormResizeScript() = 0;

  // --- One request. The dispatcher attaches the request before it hands the session over and
  // detaches it afterwards, whatever happened. `files` is the request's upload list or null.
  virtual void AttachRequest(TWebRequest& request, TWebResponse& response,
                             const std::vector<std::unique_ptr<THTTPFile>>* files) = 0;
  virtual void DetachRequest() noexcept = 0;
  // Runs one posted page against the active form (fields are name=value lines).
  virtual void Execute(const TStringList& fields) = 0;
  // Runs an asynchronous callback and builds its XML reply.
  virtual void ProcessCallback(const TStringList& fields) = 0;
  // A page posted with an old track number: the back-button handling, which may execute it.
  virtual void ProcessStalePage(int submittedTrackID, const TStringList& fields) = 0;
  // Writes the next page (or the final page, once terminated) into `out`.
  virtual void Render(TStream& out) = 0;
  // The final page of a terminated session, into the response.
  virtual void SendTerminationReply(TWebResponse& response) = 0;
  // The reply that sends the browser to RedirectURL, into the response.
  virtual void SendRedirectReply(TWebResponse& response) = 0;
  // Queues a message for the next page.
  virtual void ShowMessage(const std::string& text, TIWShowMessageType style,
                           const std::string& templateName) = 0;

  // --- The first form of a new session.
  // Creates a form of `formClass` owned by the session and shows it; fails with EIWException
  // kFormMustBeAnAppForm when the class is not an application form.
  virtual void CreateFirstForm(const TClassInfo& formClass) = 0;
  // Shows a form the OnNewSession handler created (already owned by the session).
  virtual void ShowFirstForm(TIWAppForm& form) = 0;

  // The concrete object, for the controller's events.
  virtual TIWApplication& Application() = 0;

 protected:
  // Takes the start context; SessionTimeStamp and LastAccess become now.
  explicit IIWApplication(TIWSessionStartInfo start);
  ~IIWApplication() override;

  void SetAppID(std::string appID) { appID_ = std::move(appID); }
  void SetUserCacheDir(std::string folder) { userCacheDir_ = std::move(folder); }
  void SetTrackID(int trackID) noexcept { trackID_ = trackID; }
  void SetTerminated(bool value) noexcept { terminated_ = value; }
  void SetRedirectURL(std::string url) { redirectURL_ = std::move(url); }
  // Resizes the active form (Resize has stored the size already).
  virtual void ResizeActiveForm(int width, int height) = 0;

 private:
  TIWSessionStartInfo start_;
  std::string appID_;
  std::string sessionTag_;
  std::string userCacheDir_;
  TDateTime sessionTimeStamp_;
  TDateTime lastAccess_;
  TIWFlexLock lock_;
  int trackID_ = 0;
  bool terminated_ = false;
  std::string redirectURL_;
  int formWidth_ = -1;
  int formHeight_ = -1;
  bool isPartialUpdate_ = false;
  bool isCallback_ = false;
};

// --- Creating application objects: the forms layer registers its factory at load. The factory
// builds the object from the start context, gives it its AppID and makes its UserCacheDir.
using TIWApplicationFactory = std::function<Owned<IIWApplication>(const TIWSessionStartInfo&)>;
void RegisterApplicationFactory(TIWApplicationFactory factory);
// The registered factory (empty when none is registered).
TIWApplicationFactory ApplicationFactory();

// --- Start forms by render kind (the screens register TfrmLogin for HTML 4.0 at load).
// Registering null removes the entry.
void RegisterStartForm(TIWRenderKind kind, const TClassInfo* formClass) noexcept;
const TClassInfo* StartForm(TIWRenderKind kind) noexcept;

// --- The current application: the session the calling thread serves, or none. The dispatcher
// and the time-out thread set and clear it; code running inside a request reads it.
IIWApplication* CurrentApplication() noexcept;
void SetCurrentApplication(IIWApplication* application) noexcept;

// Makes an application current for a scope and restores the previous one after it.
class TCurrentApplicationScope {
 public:
  explicit TCurrentApplicationScope(IIWApplication* application) noexcept
      : previous_(CurrentApplication()) {
    SetCurrentApplication(application);
  }
  ~TCurrentApplicationScope() { SetCurrentApplication(previous_); }
  TCurrentApplicationScope(const TCurrentApplicationScope&) = delete;
  TCurrentApplicationScope& operator=(const TCurrentApplicationScope&) = delete;

 private:
  IIWApplication* previous_;
};

}  // namespace qx
