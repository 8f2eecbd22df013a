// Asynchronous control events (OnAsyncClick …): what a control keeps for them, the names each
// has in the page, and how a render registers them as callbacks of the session and hooks the
// client's callback request on the control's script event.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "runtime/ClassInfo.h"
#include "runtime/StringList.h"

namespace qx {

class TIWApplication;
class TIWScriptEvents;

// Sender, then the posted values of the callback request.
using TIWAsyncEvent = std::function<void(TObject* sender, const TStringList& eventParams)>;

enum TIWAsyncEventKind : int {
  aeClick, aeDoubleClick, aeChange, aeEnter, aeExit, aeKeyDown, aeKeyUp, aeKeyPress,
  aeMouseDown, aeMouseMove, aeMouseOver, aeMouseOut, aeMouseUp, aeSelect, aeLoad, aeUnLoad,
  aeCount
};

// The names of one asynchronous event: its property ("OnAsyncClick"), the method part of its
// callback's name ("DoOnAsyncClick") and the script event it is raised by ("OnClick").
struct TIWAsyncEventNames {
  const char* Property;
  const char* CallbackMethod;
  const char* ScriptEvent;
};
const TIWAsyncEventNames& AsyncEventNames(TIWAsyncEventKind kind);

class TIWAsyncEvents {
 public:
  const TIWAsyncEvent& Get(TIWAsyncEventKind kind) const noexcept { return events_[kind]; }
  // Whether any event is assigned.
  bool Any() const noexcept;
  void Set(TIWAsyncEventKind kind, TIWAsyncEvent handler) { events_[kind] = std::move(handler); }

  // For every assigned event: the callback ElementName + "." + its method, registered with
  // `application` (replacing an earlier one of that name), and on its script event the client
  // call "processAjaxEvent(event, <E>IWCL,\"<E>.<method>\",false, null, true);".
  void Attach(TComponent& component, const std::string& elementName, TIWApplication* application,
              TIWScriptEvents& events) const;

 private:
  std::array<TIWAsyncEvent, aeCount> events_;
};

// A component with asynchronous events; the registered callbacks find the events through it,
// so a callback of a freed component does nothing.
class IIWAsyncEventSource {
 public:
  virtual const TIWAsyncEvents& AsyncEvents() const noexcept = 0;
  // The implementing control returns itself (QX_ASYNC_EVENTS does), also as
  // IIWBaseComponent::AsAsyncEventSource.
  virtual IIWAsyncEventSource* AsAsyncEventSource() noexcept = 0;

 protected:
  ~IIWAsyncEventSource() = default;
};

// Inside a control class deriving from IIWAsyncEventSource: the events and their accessors,
// one pair per kind, which AddAsyncEventProperties publishes.
#define QX_ASYNC_EVENTS                                                                    \
 public:                                                                                   \
  const TIWAsyncEvents& AsyncEvents() const noexcept override { return asyncEvents_; }     \
  IIWAsyncEventSource* AsAsyncEventSource() noexcept override { return this; }             \
  template <TIWAsyncEventKind K>                                                           \
  const TIWAsyncEvent& AsyncEvent() const noexcept {                                       \
    return asyncEvents_.Get(K);                                                            \
  }                                                                                        \
  template <TIWAsyncEventKind K>                                                           \
  void SetAsyncEvent(TIWAsyncEvent handler) {                                              \
    asyncEvents_.Set(K, std::move(handler));                                               \
  }                                                                                        \
                                                                                           \
 private:                                                                                  \
  TIWAsyncEvents asyncEvents_;

// Publishes OnAsyncClick … OnAsyncUnLoad of a class that uses QX_ASYNC_EVENTS.
template <class T>
TClassBuilder<T>& AddAsyncEventProperties(TClassBuilder<T>& builder) {
  [&]<int... K>(std::integer_sequence<int, K...>) {
    (builder.Property(AsyncEventNames(static_cast<TIWAsyncEventKind>(K)).Property,
                      &T::template AsyncEvent<static_cast<TIWAsyncEventKind>(K)>,
                      &T::template SetAsyncEvent<static_cast<TIWAsyncEventKind>(K)>),
     ...);
  }(std::make_integer_sequence<int, aeCount>{});
  return builder;
}

}  // namespace qx
