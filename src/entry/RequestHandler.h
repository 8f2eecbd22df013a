// The request handler: a pool of at most 32 active dispatcher instances of the registered
// dispatcher class; idle instances are kept and reused.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "entry/WebDispatcher.h"

namespace qx {

extern const char* const kTooManyConnections;
extern const char* const kNoDataModules;
extern const char* const kOnlyOneDataModule;

class TWebRequestHandler {
 public:
  static constexpr int kMaxConnections = 32;

  TWebRequestHandler() = default;
  ~TWebRequestHandler();
  TWebRequestHandler(const TWebRequestHandler&) = delete;
  TWebRequestHandler& operator=(const TWebRequestHandler&) = delete;

  // Sets the dispatcher class; registering a second, different class fails with
  // kOnlyOneDataModule (the same class again is accepted).
  void RegisterDispatcherClass(const TDispatcherClass& dispatcherClass);
  bool HasDispatcherClass() const;

  // Takes an instance (failing with kTooManyConnections when 32 are active, or with
  // kNoDataModules without a class), lets it dispatch, sends the response when the request
  // was handled and the response is still unsent, and returns the instance to the pool.
  bool HandleRequest(TWebRequest& request, TWebResponse& response);

  int ActiveCount() const;
  int InstanceCount() const;

 private:
  TCustomWebDispatcher& Activate();
  void Deactivate(TCustomWebDispatcher& instance) noexcept;

  // lock_ guards every member below; it is held only to take or return an instance, never
  // while a request is dispatched.
  mutable std::mutex lock_;
  std::optional<TDispatcherClass> class_;
  std::vector<std::unique_ptr<TCustomWebDispatcher>> instances_;  // every instance made
  std::vector<TCustomWebDispatcher*> idle_;
  int active_ = 0;
};

}  // namespace qx
