// The dispatcher pool: instances are created outside the pool's lock, so a slow constructor
// never holds up requests that are only returning theirs.
#include "entry/RequestHandler.h"

#include "entry/WebResponse.h"
#include "runtime/Exceptions.h"

namespace qx {

const char* const kTooManyConnections =
    "Maximum number of concurrent connections exceeded.  Please try again later";
const char* const kNoDataModules = "No data modules registered";
const char* const kOnlyOneDataModule = "Only one data module per application";

TWebRequestHandler::~TWebRequestHandler() = default;

void TWebRequestHandler::RegisterDispatcherClass(const TDispatcherClass& dispatcherClass) {
  std::lock_guard guard(lock_);
  if (class_ && class_->Create != dispatcherClass.Create) throw Exception(kOnlyOneDataModule);
  class_ = dispatcherClass;
}

bool TWebRequestHandler::HasDispatcherClass() const {
  std::lock_guard guard(lock_);
  return class_.has_value();
}

int TWebRequestHandler::ActiveCount() const {
  std::lock_guard guard(lock_);
  return active_;
}

int TWebRequestHandler::InstanceCount() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(instances_.size());
}

TCustomWebDispatcher& TWebRequestHandler::Activate() {
  decltype(TDispatcherClass::Create) create = nullptr;
  {
    std::lock_guard guard(lock_);
    if (!class_) throw Exception(kNoDataModules);
    if (active_ >= kMaxConnections) throw Exception(kTooManyConnections);
    ++active_;
    if (!idle_.empty()) {
      TCustomWebDispatcher* instance = idle_.back();
      idle_.pop_back();
      return *instance;
    }
    create = class_->Create;
  }
  // The slot is reserved; the new instance is made without holding the lock.
  std::unique_ptr<TCustomWebDispatcher> instance;
  try {
    instance = create();
  } catch (...) {
    std::lock_guard guard(lock_);
    --active_;
    throw;
  }
  TCustomWebDispatcher& result = *instance;
  std::lock_guard guard(lock_);
  instances_.push_back(std::move(instance));
  idle_.reserve(instances_.size());  // so that returning an instance never allocates
  return result;
}

void TWebRequestHandler::Deactivate(TCustomWebDispatcher& instance) noexcept {
  std::lock_guard guard(lock_);
  idle_.push_back(&instance);
  --active_;
}

bool TWebRequestHandler::HandleRequest(TWebRequest& request, TWebResponse& response) {
  TCustomWebDispatcher& instance = Activate();
  struct Return {
    TWebRequestHandler& handler;
    TCustomWebDispatcher& instance;
    ~Return() { handler.Deactivate(instance); }
  } giveBack{*this, instance};
  bool handled = instance.HandleRequest(request, response);
  if (handled && !response.Sent()) response.SendResponse();
  return handled;
}

}  // namespace qx
