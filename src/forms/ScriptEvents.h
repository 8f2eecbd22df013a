// TIWScriptEvents: a control's client event handlers, one item per DOM event ("OnClick"), each
// with its primary code and the further handlers the runtime adds; and how they are written
// into the page as functions hooked on the control's client object.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/ClassInfo.h"
#include "server/Browser.h"

namespace qx {

class TIWMarkupLanguageTag;
class TIWPageContext40;

class TIWScriptEventsItem : public TCollectionItem {
  QX_CLASS(TIWScriptEventsItem, TCollectionItem)

 public:
  TIWScriptEventsItem() = default;
  TIWScriptEventsItem(const TIWScriptEventsItem&) = default;
  TIWScriptEventsItem& operator=(const TIWScriptEventsItem&) = default;

  // The event's name with its "on" prefix, as the DOM names it ("OnClick").
  const std::string& EventName() const noexcept { return eventName_; }
  void SetEventName(std::string_view name) { eventName_ = name; }
  // The primary handler's lines.
  const TStringList& EventCode() const noexcept { return eventCode_; }
  void SetEventCode(TStringList code) { eventCode_ = std::move(code); }
  // Handlers added after the primary one, each as its lines.
  const std::vector<TStringList>& AdditionalHandlers() const noexcept { return additional_; }
  void AddHandler(TStringList code) { additional_.push_back(std::move(code)); }

 private:
  std::string eventName_;
  TStringList eventCode_;
  std::vector<TStringList> additional_;
};

class TIWScriptEvents : public TCollectionOf<TIWScriptEventsItem> {
  QX_CLASS(TIWScriptEvents, TCollectionOf<TIWScriptEventsItem>)

 public:
  TIWScriptEvents() = default;

  // Replaces the items by copies of `other`'s.
  void Assign(const TIWScriptEvents& other);
  // The item of that event (name compared without regard to case), or nullptr.
  TIWScriptEventsItem* Find(std::string_view eventName) const;
  // Adds a handler: the code is trimmed, "\r\nreturn true" is appended when it holds no
  // "return", and ";" when it does not end with one. The first code of an event becomes its
  // primary code, later ones its additional handlers. Empty code adds nothing.
  void HookEvent(std::string_view eventName, std::string_view code);

  // Writes the events of the control named `elementName` into the page: one function per
  // handler in Declarations, hooked on the client object in IWCLInit ("load" handlers become
  // the element's onload attribute of `tag`).
  void Render(std::string_view elementName, TIWPageContext40& page,
              TIWMarkupLanguageTag& tag) const;
};

}  // namespace qx
