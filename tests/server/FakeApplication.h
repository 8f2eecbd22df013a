// A stand-in for the forms layer's application object: it implements the server layer's
// interface, records what the server layer asked of it and reports its own destruction.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/ClassInfo.h"
#include "server/ApplicationInterface.h"
#include "server/IWExceptions.h"

namespace qx {

// Shared by the fakes of one test: which sessions were freed, and on which thread's current
// application.
struct FakeTracker {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<std::string> freed;
  bool freedAsCurrent = true;

  void Freed(const std::string& appID, bool asCurrent) {
    std::lock_guard guard(lock);
    freed.push_back(appID);
    freedAsCurrent = freedAsCurrent && asCurrent;
    changed.notify_all();
  }
  bool WasFreed(const std::string& appID) {
    std::lock_guard guard(lock);
    for (const auto& id : freed)
      if (id == appID) return true;
    return false;
  }
  // Waits (at most `limit`) until `appID` is freed.
  bool WaitFreed(const std::string& appID, std::chrono::milliseconds limit) {
    std::unique_lock guard(lock);
    return changed.wait_for(guard, limit, [&] {
      for (const auto& id : freed)
        if (id == appID) return true;
      return false;
    });
  }
};

// Named as the concrete class so that the controller's events, which take TIWApplication&,
// can be given one.
class TIWApplication : public IIWApplication {
  QX_CLASS(TIWApplication, IIWApplication)

 public:
  TIWApplication(TIWSessionStartInfo start, std::string appID, FakeTracker* tracker = nullptr)
      : IIWApplication(std::move(start)), tracker_(tracker) {
    SetAppID(std::move(appID));
  }
  ~TIWApplication() override {
    if (tracker_) tracker_->Freed(AppID(), CurrentApplication() == this);
  }

  // What the test sets.
  bool hasActiveForm = true;
  bool securityCheck = true;
  bool html40 = true;
  bool firstFormFails = false;

  // What the server layer did.
  int attached = 0;
  int detached = 0;
  const TClassInfo* firstFormClass = nullptr;
  TIWAppForm* shownForm = nullptr;
  int resizedWidth = -1, resizedHeight = -1;

  bool HasActiveForm() const override { return hasActiveForm; }
  bool ActiveFormBrowserSecurityCheck() const override { return !hasActiveForm || securityCheck; }
  bool ActiveFormIsHTML40() const override { return hasActiveForm && html40; }
  int ActiveFormWidth() const override { return 0; }
  int ActiveFormHeight() const override { return 0; }
  std::string ActiveFormResizeScript() override { return {}; }
  void AttachRequest(TWebRequest&, TWebResponse&,
                     const std::vector<std::unique_ptr<THTTPFile>>*) override {
    ++attached;
  }
  void DetachRequest() noexcept override { ++detached; }
  void Execute(const TStringList&) override {}
  void ProcessCallback(const TStringList&) override {}
  void ProcessStalePage(int, const TStringList&) override {}
  void Render(TStream&) override {}
  void SendTerminationReply(TWebResponse&) override {}
  void SendRedirectReply(TWebResponse&) override {}
  void ShowMessage(const std::string&, TIWShowMessageType, const std::string&) override {}
  void CreateFirstForm(const TClassInfo& formClass) override {
    if (firstFormFails) throw EIWException(kFormMustBeAnAppForm);
    firstFormClass = &formClass;
  }
  void ShowFirstForm(TIWAppForm& form) override { shownForm = &form; }
  TIWApplication& Application() override { return *this; }

 protected:
  void ResizeActiveForm(int width, int height) override {
    resizedWidth = width;
    resizedHeight = height;
  }

 private:
  FakeTracker* tracker_;
};

inline const TClassInfo& TIWApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWApplication>("TIWApplication").Build();
  return info;
}

// A session with its own AppID from the given address and client type.
inline Owned<IIWApplication> MakeSession(const std::string& appID, FakeTracker* tracker = nullptr,
                                         const std::string& ip = "127.0.0.1",
                                         TIWBrowser browser = brIE) {
  TIWSessionStartInfo start;
  start.IP = ip;
  start.Browser = browser;
  return Owned<IIWApplication>(new TIWApplication(std::move(start), appID, tracker));
}

}  // namespace qx
