// Creation, setters with their rules, and shut-down of the server controller base.
#include "server/ServerControllerBase.h"

#include <algorithm>
#include <cmath>

#include "runtime/Files.h"
#include "runtime/IniFile.h"
#include "runtime/LogFile.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "server/CacheFolder.h"
#include "server/CachePurge.h"
#include "server/IWExceptions.h"
#include "server/InternalFiles.h"
#include "server/SessionTimeoutThread.h"
#include "server/Sessions.h"

namespace qx {

const char* const kInvalidAppName = "\"%s\" is not a valid application name.";
const char* const kInvalidSessionTimeout = "Invalid session timeout value.";
const char* const kUnableToCreateCacheDir = "Unable to create cache directory \"%s\".";
const char* const kCacheDirCreated = "Cache directory created \"%s\"";
const char* const kFrameworkVersion = "9.0.17";
const char* const kNoServerControllerCreated = "No server controller has been created.";

namespace {

constexpr char kPortFile[] = "port.ini";
constexpr char kDefaultAppName[] = "MyApplication";

}  // namespace

TIWServerControllerBase::TIWServerControllerBase(std::string libraryFileName)
    : libraryFileName_(std::move(libraryFileName)),
      libraryFolder_(ExtractFilePath(libraryFileName_)) {
  TDateTime now = Now();
  serverStartTime_ = std::floor(now * kSecondsPerDay) / kSecondsPerDay;
  timeStampName_ = CacheTimeStampName(now);
  SetCacheDir("");
  SetFilesDir("");
}

TIWServerControllerBase::~TIWServerControllerBase() {
  Shutdown();
  // The base class then clears the current controller.
}

void TIWServerControllerBase::Shutdown() noexcept {
  std::lock_guard guard(threadsLock_);
  if (shutDown_) return;
  shutDown_ = true;
  // The time-out thread stops (a sweep under way finishes first) before the registry is
  // cleared, so that no sweep runs while sessions are freed.
  timeoutThread_.reset();
  // Every session is freed with the registry.
  FreeSessionRegistry();
  // Nothing acts with another identity on this platform, so the start-up identity needs no
  // keeping. The purge thread stops once no purge runs; the cache folder goes.
  if (purgeThread_) {
    purgeThread_->Stop();
    DeleteCacheFolder(cacheDir_);
    purgeThread_.reset();
  }
  // The folder is deleted again: a request may have recreated it meanwhile.
  DeleteCacheFolder(cacheDir_);
}

TIWServerControllerBase* TIWServerControllerBase::Current() noexcept {
  return dynamic_cast<TIWServerControllerBase*>(TCustomServerController::Current());
}

TIWServerControllerBase& TIWServerControllerBase::Required() {
  TIWServerControllerBase* controller = Current();
  if (!controller) throw EIWException(kNoServerControllerCreated);
  return *controller;
}

void TIWServerControllerBase::StartSessionThreads() {
  std::lock_guard guard(threadsLock_);
  if (shutDown_) return;
  TIWSessions* sessions = GSessions();
  if (!timeoutThread_ && sessions) {
    timeoutThread_ = std::make_unique<TSessionTimeoutThread>(*sessions, SweepInterval());
    timeoutThread_->Start();
  }
  if (!purgeThread_) {
    purgeThread_ = std::make_unique<TCachePurgeThread>(cacheDir_, cacheExpiry_);
    purgeThread_->Start();
  }
}

void TIWServerControllerBase::Start() {
  LoadStoredValues();
  ReadPortFile();
  // COM needs no initialisation of the loading thread on this platform.
  ApplyPostLoadDefaults();
  // Internal files are written out only once their folder (the library's) is known.
  if (!useInternalFiles_) WriteInternalFiles(internalFilesDir_);
  // The loading thread's identity is the process's own here; nothing to keep.
  if (onCreate_) onCreate_();
  CreateCacheFolder();
}

void TIWServerControllerBase::ReadPortFile() {
  std::string name = libraryFolder_ + kPortFile;
  if (!FileExists(name)) return;
  TIniFile ini(name);
  SetPort(ini.ReadInteger("PORTS", "Port", 0));
  sslOptions_.Port = ini.ReadInteger("PORTS", "SSLPort", 0);
}

void TIWServerControllerBase::ApplyPostLoadDefaults() {
  if (appName_.empty()) appName_ = kDefaultAppName;
  internalFilesDir_ = libraryFolder_;
  if (!templateDir_.empty()) {
    std::string underLibrary = libraryFolder_ + templateDir_;
    templateDir_ = IncludeTrailingPathDelimiter(DirectoryExists(underLibrary) ? underLibrary
                                                                              : templateDir_);
  } else {
    templateDir_ = libraryFolder_ + "Templates/";
  }
  // A back-button handler answers stale pages itself and needs the browser history.
  if (onBackButton_) {
    showResyncWarning_ = false;
    historyEnabled_ = true;
  }
}

void TIWServerControllerBase::CreateCacheFolder() {
  if (!ForceDirectories(cacheDir_))
    throw EIWException(Format(kUnableToCreateCacheDir, {cacheDir_}));
  WriteLog(Format(kCacheDirCreated, {cacheDir_}));
}

void TIWServerControllerBase::WriteLog(std::string_view text) const {
  if (log_ == loFile) AppendLogLine(text);
}

void TIWServerControllerBase::LogFailure(std::string_view text) const noexcept {
  try {
    std::string oneLine(text);
    for (char& c : oneLine)
      if (c == '\r' || c == '\n') c = ' ';
    AppendLogLine(oneLine);
  } catch (...) {
    // Nothing is left to record a failure of the record itself.
  }
}

void TIWServerControllerBase::AppendLogLine(std::string_view text) const {
  std::string line = FormatDateTime("yyyy-mm-dd hh:nn:ss", Now());
  line.append(" ").append(text).append("\r\n");
  AppendToFile(ChangeFileExt(libraryFileName_, ".log"), line);
}

void TIWServerControllerBase::SetAppName(std::string value) {
  if (value.empty()) throw EIWException(Format(kInvalidAppName, {value}));
  appName_ = std::move(value);
}

void TIWServerControllerBase::SetCacheDir(std::string_view value) {
  std::string dir = Trim(value);
  if (dir.empty()) {
    dir = TempFolder() + timeStampName_;
  } else if (!IsAbsolutePath(dir)) {
    dir = TempFolder() + dir;
  }
  cacheDir_ = IncludeTrailingPathDelimiter(dir);
  // A running purge thread follows the new folder (SetFolder waits for a purge under way).
  if (purgeThread_) purgeThread_->SetFolder(cacheDir_);
}

void TIWServerControllerBase::SetExecCmd(std::string v) {
  execCmd_ = v.empty() ? std::string("EXEC") : std::move(v);
}

void TIWServerControllerBase::SetFilesDir(std::string_view value) {
  filesDir_ = TrimView(value).empty() ? libraryFolder_ + "Files/"
                                      : IncludeTrailingPathDelimiter(value);
}

void TIWServerControllerBase::SetSessionTimeout(int minutes) {
  if (minutes < 0 || minutes > kMaxSessionTimeout) throw EIWException(kInvalidSessionTimeout);
  sessionTimeout_ = minutes;
}

void TIWServerControllerBase::SetSessionTimeoutSeconds(int seconds) {
  if (seconds < 0 || seconds > kMaxSessionTimeoutSeconds) throw EIWException(kInvalidSessionTimeout);
  sessionTimeoutSeconds_ = seconds;
}

std::chrono::milliseconds TIWServerControllerBase::SweepInterval() const noexcept {
  if (sessionTimeoutSeconds_ == 0) return TSessionTimeoutThread::kSweepInterval;
  return std::clamp(std::chrono::milliseconds(sessionTimeoutSeconds_ * 250), std::chrono::milliseconds(1000),
                    TSessionTimeoutThread::kSweepInterval);
}

void TIWServerControllerBase::SetTheme(std::string v) {
  theme_ = std::move(v);
  styleSheet_.Clear();
}

}  // namespace qx
