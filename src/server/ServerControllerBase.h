// TIWServerControllerBase: the process-wide holder of the framework's settings and events,
// with its creation order (defaults, stored values, post-load defaults, OnCreate, the cache
// folder) and its shut-down. Settings are read-only once the controller has started.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "entry/ServerControllerClass.h"
#include "runtime/DateTime.h"
#include "runtime/StringList.h"
#include "server/Browser.h"
#include "server/ControllerEvents.h"
#include "server/ControllerSettings.h"

namespace qx {

extern const char* const kInvalidAppName;         // "\"" + value + "\" is not a valid ..."
extern const char* const kInvalidSessionTimeout;
constexpr int kMaxSessionTimeout = 600;  // minutes
constexpr int kMaxSessionTimeoutSeconds = kMaxSessionTimeout * 60;
extern const char* const kUnableToCreateCacheDir;  // Format: folder
extern const char* const kCacheDirCreated;         // Format: folder
extern const char* const kFrameworkVersion;
extern const char* const kNoServerControllerCreated;

class TCachePurgeThread;
class TSessionTimeoutThread;

// Thread safety: created, started and destroyed on the server's loading and unloading threads;
// in between, request threads only read the settings, without locks.
class TIWServerControllerBase : public TCustomServerController {
 public:
  // The first half of the creation: every setting takes its default, the server start time
  // is taken and this object becomes the current controller.
  explicit TIWServerControllerBase(std::string libraryFileName);
  // The shut-down sequence (Shutdown) and the current controller cleared.
  ~TIWServerControllerBase() override;

  // The rest of the creation: stored values, "port.ini", post-load defaults, OnCreate and the
  // cache folder. A failure leaves the controller unusable; the caller frees it.
  void Start();

  // Starts the session time-out thread (on the process-wide session registry) and the cache
  // purge thread, unless they run already. Called when a session starts; thread-safe.
  void StartSessionThreads();
  TSessionTimeoutThread* SessionTimeoutThread() const noexcept { return timeoutThread_.get(); }
  TCachePurgeThread* CachePurgeThread() const noexcept { return purgeThread_.get(); }

  // The shut-down sequence: the time-out thread stops, every session is freed with the
  // session registry, the purge thread stops and the cache folder is deleted (twice: a request
  // may have recreated it). Runs once; the most derived controller calls it from its own
  // destructor so that sessions are freed while the whole controller is still alive.
  void Shutdown() noexcept;

  // --- Where the library lives.
  const std::string& LibraryFileName() const noexcept { return libraryFileName_; }
  // The library's folder with a trailing '/'.
  const std::string& LibraryFolder() const noexcept { return libraryFolder_; }
  // The moment the controller was created, in whole seconds (local time).
  TDateTime ServerStartTime() const noexcept { return serverStartTime_; }
  // The base-36 time stamp of the creation, used for a default cache folder.
  const std::string& TimeStampName() const noexcept { return timeStampName_; }
  // Written between page elements: CR LF with DebugHTML, else nothing.
  std::string PageLineSeparator() const { return debugHTML_ ? "\r\n" : ""; }
  // With Log loFile: appends date and time, a blank, `text` and CR LF to the library's ".log".
  void WriteLog(std::string_view text) const;
  // A failure no reply reports goes to the same file whatever Log says, so that it leaves a
  // trace; its line breaks become blanks so that it stays one line.
  void LogFailure(std::string_view text) const noexcept override;

  // --- Settings.
  const std::string& AppName() const noexcept { return appName_; }
  void SetAppName(std::string value);  // empty fails with kInvalidAppName
  bool AllowSubFolders() const noexcept { return allowSubFolders_; }
  void SetAllowSubFolders(bool v) noexcept { allowSubFolders_ = v; }
  bool AuthBeforeNewSession() const noexcept { return authBeforeNewSession_; }
  void SetAuthBeforeNewSession(bool v) noexcept { authBeforeNewSession_ = v; }
  TStringList& AuthList() noexcept { return authList_; }
  const TStringList& AuthList() const noexcept { return authList_; }
  const std::string& BoundIP() const noexcept { return boundIP_; }
  void SetBoundIP(std::string v) { boundIP_ = std::move(v); }
  TIWBrowser32Behaviour& Browser32Behaviour() noexcept { return browser32Behaviour_; }
  const TIWBrowser32Behaviour& Browser32Behaviour() const noexcept { return browser32Behaviour_; }
  std::string CacheDir() const override { return cacheDir_; }
  // Trimmed; a blank value gives the system temporary folder + the time-stamp name; a relative
  // value is placed under the system temporary folder; always with a trailing '/'.
  void SetCacheDir(std::string_view value);
  int CacheExpiry() const noexcept { return cacheExpiry_; }
  void SetCacheExpiry(int minutes) noexcept { cacheExpiry_ = minutes; }
  const std::string& CharSet() const noexcept { return charSet_; }
  void SetCharSet(std::string v) { charSet_ = std::move(v); }
  TIWComInitialization ComInitialization() const noexcept { return comInitialization_; }
  void SetComInitialization(TIWComInitialization v) noexcept { comInitialization_ = v; }
  TIWCompression& Compression() noexcept { return compression_; }
  const TIWCompression& Compression() const noexcept { return compression_; }
  bool DebugHTML() const noexcept { return debugHTML_; }
  void SetDebugHTML(bool v) noexcept { debugHTML_ = v; }
  const std::string& Description() const noexcept { return description_; }
  void SetDescription(std::string v) { description_ = std::move(v); }
  TIWFileReference& DeviceNotSupported() noexcept { return deviceNotSupported_; }
  const TIWFileReference& DeviceNotSupported() const noexcept { return deviceNotSupported_; }
  bool EnableImageToolbar() const noexcept { return enableImageToolbar_; }
  void SetEnableImageToolbar(bool v) noexcept { enableImageToolbar_ = v; }
  TIWShowMessageType ExceptionDisplayMode() const noexcept { return exceptionDisplayMode_; }
  void SetExceptionDisplayMode(TIWShowMessageType v) noexcept { exceptionDisplayMode_ = v; }
  const std::string& ExecCmd() const noexcept { return execCmd_; }
  void SetExecCmd(std::string v);  // empty gives "EXEC"
  const std::string& FilesDir() const noexcept { return filesDir_; }
  // A blank value gives the library folder + "Files/"; always with a trailing '/'.
  void SetFilesDir(std::string_view value);
  bool HistoryEnabled() const noexcept { return historyEnabled_; }
  void SetHistoryEnabled(bool v) noexcept { historyEnabled_ = v; }
  TStringList& HTMLHeaders() noexcept { return htmlHeaders_; }
  const TStringList& HTMLHeaders() const noexcept { return htmlHeaders_; }
  const std::string& InternalFilesDir() const noexcept { return internalFilesDir_; }
  void SetInternalFilesDir(std::string v) { internalFilesDir_ = std::move(v); }
  const std::string& InternalFilesURL() const noexcept { return internalFilesURL_; }
  void SetInternalFilesURL(std::string v) { internalFilesURL_ = std::move(v); }
  const std::string& InvalidCommandURL() const noexcept { return invalidCommandURL_; }
  void SetInvalidCommandURL(std::string v) { invalidCommandURL_ = std::move(v); }
  TIWLogOptions Log() const noexcept { return log_; }
  void SetLog(TIWLogOptions v) noexcept { log_ = v; }
  const std::string& MasterTemplate() const noexcept { return masterTemplate_; }
  void SetMasterTemplate(std::string v) { masterTemplate_ = std::move(v); }
  const std::string& MasterTemplate32() const noexcept { return masterTemplate32_; }
  void SetMasterTemplate32(std::string v) { masterTemplate32_ = std::move(v); }
  TIWFileReference& NoCookieSupport() noexcept { return noCookieSupport_; }
  const TIWFileReference& NoCookieSupport() const noexcept { return noCookieSupport_; }
  TIWFileReference& NoJavaScriptSupport() noexcept { return noJavaScriptSupport_; }
  const TIWFileReference& NoJavaScriptSupport() const noexcept { return noJavaScriptSupport_; }
  bool PageTransitions() const noexcept { return pageTransitions_; }
  void SetPageTransitions(bool v) noexcept { pageTransitions_ = v; }
  int Port() const noexcept { return port_; }
  void SetPort(int v) noexcept { port_ = v; }
  int RedirectMsgDelay() const noexcept { return redirectMsgDelay_; }
  void SetRedirectMsgDelay(int seconds) noexcept { redirectMsgDelay_ = seconds; }
  TIWReEntryOptions& ReEntryOptions() noexcept { return reEntryOptions_; }
  const TIWReEntryOptions& ReEntryOptions() const noexcept { return reEntryOptions_; }
  bool RestrictIPs() const noexcept { return restrictIPs_; }
  void SetRestrictIPs(bool v) noexcept { restrictIPs_ = v; }
  bool RestrictSubnet() const noexcept { return restrictSubnet_; }
  void SetRestrictSubnet(bool v) noexcept { restrictSubnet_ = v; }
  int ServerResizeTimeout() const noexcept { return serverResizeTimeout_; }
  void SetServerResizeTimeout(int v) noexcept { serverResizeTimeout_ = v; }
  int SessionTimeout() const noexcept { return sessionTimeout_; }
  void SetSessionTimeout(int minutes);  // outside 0–600 fails with kInvalidSessionTimeout
  // A test option: sessions idle this many seconds are freed instead (0: SessionTimeout rules),
  // and the sweep looks every quarter of it, at least once a second and at most once a minute.
  int SessionTimeoutSeconds() const noexcept { return sessionTimeoutSeconds_; }
  void SetSessionTimeoutSeconds(int seconds);  // outside 0–36000 fails with kInvalidSessionTimeout
  std::chrono::milliseconds SweepInterval() const noexcept;
  TIWFileReference& SessionTimeoutURL() noexcept { return sessionTimeoutURL_; }
  const TIWFileReference& SessionTimeoutURL() const noexcept { return sessionTimeoutURL_; }
  TIWSessionTrackingMethod SessionTrackingMethod() const noexcept { return trackingMethod_; }
  void SetSessionTrackingMethod(TIWSessionTrackingMethod v) noexcept { trackingMethod_ = v; }
  bool ShowResyncWarning() const noexcept { return showResyncWarning_; }
  void SetShowResyncWarning(bool v) noexcept { showResyncWarning_ = v; }
  TIWSSLOptions& SSLOptions() noexcept { return sslOptions_; }
  const TIWSSLOptions& SSLOptions() const noexcept { return sslOptions_; }
  const std::string& StartCmd() const noexcept { return startCmd_; }
  void SetStartCmd(std::string v) { startCmd_ = std::move(v); }
  TIWFileReference& StyleSheet() noexcept { return styleSheet_; }
  const TIWFileReference& StyleSheet() const noexcept { return styleSheet_; }
  const std::string& Theme() const noexcept { return theme_; }
  void SetTheme(std::string v);  // also clears the StyleSheet URL and file name
  TIWBrowsers SupportedBrowsers() const noexcept { return supportedBrowsers_; }
  void SetSupportedBrowsers(TIWBrowsers v) noexcept { supportedBrowsers_ = v; }
  const std::string& TemplateDir() const noexcept { return templateDir_; }
  void SetTemplateDir(std::string v) { templateDir_ = std::move(v); }
  int ThreadPoolSize() const noexcept { return threadPoolSize_; }
  void SetThreadPoolSize(int v) noexcept { threadPoolSize_ = v; }
  TIWFileReference& UnknownBrowser() noexcept { return unknownBrowser_; }
  const TIWFileReference& UnknownBrowser() const noexcept { return unknownBrowser_; }
  TIWUnknownBrowserAction UnknownBrowserAction() const noexcept { return unknownBrowserAction_; }
  void SetUnknownBrowserAction(TIWUnknownBrowserAction v) noexcept { unknownBrowserAction_ = v; }
  const std::string& URLBase() const noexcept { return urlBase_; }
  void SetURLBase(std::string v) { urlBase_ = std::move(v); }
  bool UseInternalFiles() const noexcept { return useInternalFiles_; }
  void SetUseInternalFiles(bool v) noexcept { useInternalFiles_ = v; }
  // The framework version; read-only.
  std::string Version() const { return kFrameworkVersion; }

  // --- Events.
  const TDispatchEvent& OnAfterDispatch() const noexcept { return onAfterDispatch_; }
  void SetOnAfterDispatch(TDispatchEvent e) { onAfterDispatch_ = std::move(e); }
  const TDispatchEvent& OnBeforeDispatch() const noexcept { return onBeforeDispatch_; }
  void SetOnBeforeDispatch(TDispatchEvent e) { onBeforeDispatch_ = std::move(e); }
  const TAuthRequestEvent& OnAuthRequest() const noexcept { return onAuthRequest_; }
  void SetOnAuthRequest(TAuthRequestEvent e) { onAuthRequest_ = std::move(e); }
  const TFileAccessEvent& OnFileAccess() const noexcept { return onFileAccess_; }
  void SetOnFileAccess(TFileAccessEvent e) { onFileAccess_ = std::move(e); }
  const TSessionEvent& OnCloseSession() const noexcept { return onCloseSession_; }
  void SetOnCloseSession(TSessionEvent e) { onCloseSession_ = std::move(e); }
  const TExceptionEvent& OnException() const noexcept { return onException_; }
  void SetOnException(TExceptionEvent e) { onException_ = std::move(e); }
  const TGetSessionIDEvent& OnGetSessionID() const noexcept { return onGetSessionID_; }
  void SetOnGetSessionID(TGetSessionIDEvent e) { onGetSessionID_ = std::move(e); }
  const TInvalidCommandEvent& OnInvalidCommand() const noexcept { return onInvalidCommand_; }
  void SetOnInvalidCommand(TInvalidCommandEvent e) { onInvalidCommand_ = std::move(e); }
  const TNewSessionEvent& OnNewSession() const noexcept { return onNewSession_; }
  void SetOnNewSession(TNewSessionEvent e) { onNewSession_ = std::move(e); }
  const TSessionEvent& OnReEntry() const noexcept { return onReEntry_; }
  void SetOnReEntry(TSessionEvent e) { onReEntry_ = std::move(e); }
  const TBackButtonEvent& OnBackButton() const noexcept { return onBackButton_; }
  void SetOnBackButton(TBackButtonEvent e) { onBackButton_ = std::move(e); }
  const TWAPClientDetectEvent& OnWAPClientDetect() const noexcept { return onWAPClientDetect_; }
  void SetOnWAPClientDetect(TWAPClientDetectEvent e) { onWAPClientDetect_ = std::move(e); }
  const TBeforeRenderEvent& OnBeforeRender() const noexcept { return onBeforeRender_; }
  void SetOnBeforeRender(TBeforeRenderEvent e) { onBeforeRender_ = std::move(e); }
  const TAfterRenderEvent& OnAfterRender() const noexcept { return onAfterRender_; }
  void SetOnAfterRender(TAfterRenderEvent e) { onAfterRender_ = std::move(e); }
  // The data module's own creation event, run by Start after the post-load defaults.
  const TControllerCreateEvent& OnCreate() const noexcept { return onCreate_; }
  void SetOnCreate(TControllerCreateEvent e) { onCreate_ = std::move(e); }

  // The current controller, or none.
  static TIWServerControllerBase* Current() noexcept;
  // The current controller; fails with EIWException kNoServerControllerCreated when none.
  static TIWServerControllerBase& Required();

 protected:
  // The values stored with the service, applied through the setters; the first thing Start
  // does.
  virtual void LoadStoredValues() {}

 private:
  void AppendLogLine(std::string_view text) const;
  void ReadPortFile();
  void ApplyPostLoadDefaults();
  void CreateCacheFolder();

  std::string libraryFileName_;
  std::string libraryFolder_;
  TDateTime serverStartTime_;
  std::string timeStampName_;

  std::string appName_;
  bool allowSubFolders_ = false;
  bool authBeforeNewSession_ = false;
  TStringList authList_;
  std::string boundIP_;
  TIWBrowser32Behaviour browser32Behaviour_;
  std::string cacheDir_;
  int cacheExpiry_ = 120;
  std::string charSet_;
  TIWComInitialization comInitialization_ = ciNone;
  TIWCompression compression_;
  bool debugHTML_ = false;
  std::string description_;
  TIWFileReference deviceNotSupported_;
  bool enableImageToolbar_ = false;
  TIWShowMessageType exceptionDisplayMode_ = smAlert;
  std::string execCmd_ = "EXEC";
  std::string filesDir_;
  bool historyEnabled_ = false;
  TStringList htmlHeaders_;
  std::string internalFilesDir_;
  std::string internalFilesURL_ = "/";
  std::string invalidCommandURL_;
  TIWLogOptions log_ = loNone;
  std::string masterTemplate_;
  std::string masterTemplate32_;
  TIWFileReference noCookieSupport_;
  TIWFileReference noJavaScriptSupport_;
  bool pageTransitions_ = false;
  int port_ = 0;
  int redirectMsgDelay_ = 0;
  TIWReEntryOptions reEntryOptions_;
  bool restrictIPs_ = false;
  bool restrictSubnet_ = false;
  int serverResizeTimeout_ = 0;
  int sessionTimeout_ = 10;
  int sessionTimeoutSeconds_ = 0;
  TIWFileReference sessionTimeoutURL_;
  TIWSessionTrackingMethod trackingMethod_ = tmURL;
  bool showResyncWarning_ = true;
  TIWSSLOptions sslOptions_;
  std::string startCmd_;
  TIWFileReference styleSheet_;
  std::string theme_;
  TIWBrowsers supportedBrowsers_{brIE, brNetscape7, brOpera, brSafari, brNetscape6};
  std::string templateDir_;
  int threadPoolSize_ = 32;
  TIWFileReference unknownBrowser_;
  TIWUnknownBrowserAction unknownBrowserAction_ = ubReject;
  std::string urlBase_;
  bool useInternalFiles_ = true;

  TDispatchEvent onAfterDispatch_;
  TDispatchEvent onBeforeDispatch_;
  TAuthRequestEvent onAuthRequest_;
  TFileAccessEvent onFileAccess_;
  TSessionEvent onCloseSession_;
  TExceptionEvent onException_;
  TGetSessionIDEvent onGetSessionID_;
  TInvalidCommandEvent onInvalidCommand_;
  TNewSessionEvent onNewSession_;
  TSessionEvent onReEntry_;
  TBackButtonEvent onBackButton_;
  TWAPClientDetectEvent onWAPClientDetect_;
  TBeforeRenderEvent onBeforeRender_;
  TAfterRenderEvent onAfterRender_;
  TControllerCreateEvent onCreate_;

  // The two background threads, made with the first session; threadsLock_ guards their start.
  std::mutex threadsLock_;
  std::unique_ptr<TSessionTimeoutThread> timeoutThread_;
  std::unique_ptr<TCachePurgeThread> purgeThread_;
  bool shutDown_ = false;
};

}  // namespace qx
