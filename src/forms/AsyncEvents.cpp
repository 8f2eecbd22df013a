// The asynchronous events' names and their registration at render.
#include "forms/AsyncEvents.h"

#include "forms/Application.h"
#include "forms/Interfaces.h"
#include "forms/ScriptEvents.h"

namespace qx {

const TIWAsyncEventNames& AsyncEventNames(TIWAsyncEventKind kind) {
  static constexpr TIWAsyncEventNames kNames[aeCount] = {
      {"OnAsyncClick", "DoOnAsyncClick", "OnClick"},
      // Browsers raise a double click as "dblclick": a hook on "doubleclick" would never run.
      {"OnAsyncDoubleClick", "DoOnAsyncDoubleClick", "OnDblClick"},
      {"OnAsyncChange", "DoOnAsyncChange", "OnChange"},
      {"OnAsyncEnter", "DoOnAsyncEnter", "OnFocus"},
      {"OnAsyncExit", "DoOnAsyncExit", "OnBlur"},
      {"OnAsyncKeyDown", "DoOnAsyncKeyDown", "OnKeyDown"},
      {"OnAsyncKeyUp", "DoOnAsyncKeyUp", "OnKeyUp"},
      {"OnAsyncKeyPress", "DoOnAsyncKeyPress", "OnKeyPress"},
      {"OnAsyncMouseDown", "DoOnAsyncMouseDown", "OnMouseDown"},
      {"OnAsyncMouseMove", "DoOnAsyncMouseMove", "OnMouseMove"},
      {"OnAsyncMouseOver", "DoOnAsyncMouseOver", "OnMouseOver"},
      {"OnAsyncMouseOut", "DoOnAsyncMouseOut", "OnMouseOut"},
      {"OnAsyncMouseUp", "DoOnAsyncMouseUp", "OnMouseUp"},
      {"OnAsyncSelect", "DoOnAsyncSelect", "OnSelect"},
      {"OnAsyncLoad", "DoOnAsyncLoad", "OnLoad"},
      {"OnAsyncUnLoad", "DoOnAsyncUnLoad", "OnUnLoad"},
  };
  return kNames[kind];
}

bool TIWAsyncEvents::Any() const noexcept {
  for (const TIWAsyncEvent& event : events_)
    if (event) return true;
  return false;
}

void TIWAsyncEvents::Attach(TComponent& component, const std::string& elementName,
                            TIWApplication* application, TIWScriptEvents& events) const {
  for (int k = 0; k < aeCount; ++k) {
    const auto kind = static_cast<TIWAsyncEventKind>(k);
    if (!events_[kind]) continue;
    const TIWAsyncEventNames& names = AsyncEventNames(kind);
    const std::string callback = elementName + "." + names.CallbackMethod;
    if (application) {
      application->RegisterCallBack(
          callback,
          [kind](TComponent* sender, const TStringList& params) {
            IIWBaseComponent* runtime = sender ? sender->AsBaseComponent() : nullptr;
            IIWAsyncEventSource* source = runtime ? runtime->AsAsyncEventSource() : nullptr;
            if (!source) return;
            if (const TIWAsyncEvent& event = source->AsyncEvents().Get(kind)) event(sender, params);
          },
          &component);
    }
    events.HookEvent(names.ScriptEvent, "processAjaxEvent(event, " + elementName + "IWCL" + ",\"" +
                                            callback + "\"," + "false" + ", null, " + "true" + ");");
  }
}

}  // namespace qx
