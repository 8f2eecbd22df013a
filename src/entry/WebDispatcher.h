// TCustomWebDispatcher: what the request handler drives for each request (before-dispatch,
// the default action, after-dispatch, and the default reply for a failure), and the
// dispatcher class the handler creates its pooled instances from.
#pragma once

#include <exception>
#include <memory>

namespace qx {

class TWebRequest;
class TWebResponse;

extern const char* const kInternalApplicationErrorPage;  // Format: message, path info

// One instance serves one request at a time, so its own state needs no lock.
class TCustomWebDispatcher {
 public:
  TCustomWebDispatcher() = default;
  virtual ~TCustomWebDispatcher();
  TCustomWebDispatcher(const TCustomWebDispatcher&) = delete;
  TCustomWebDispatcher& operator=(const TCustomWebDispatcher&) = delete;

  // Runs the request through before-dispatch, the default action and after-dispatch; a failure
  // is answered by HandleException. Returns whether the request was handled.
  bool HandleRequest(TWebRequest& request, TWebResponse& response);

 protected:
  // Before every request; setting `handled` skips the default action.
  virtual void BeforeDispatch(TWebRequest& request, TWebResponse& response, bool& handled);
  // The default action; returns whether it handled the request.
  virtual bool DefaultAction(TWebRequest& request, TWebResponse& response) = 0;
  // After every handled request whose response was not sent yet; may clear `handled`.
  virtual void AfterDispatch(TWebRequest& request, TWebResponse& response, bool& handled);
  // The default reply for a failure that escaped dispatching: unless the response was sent,
  // an "Internal Application Error" page with status 500, sent at once.
  virtual void HandleException(const std::exception& failure, TWebRequest& request,
                               TWebResponse& response);
};

// The class of the pooled dispatcher instances. Two classes are the same when they create
// instances through the same function.
struct TDispatcherClass {
  const char* Name;
  std::unique_ptr<TCustomWebDispatcher> (*Create)();
};

}  // namespace qx
