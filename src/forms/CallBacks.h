// The callback registry of a session (named handlers that asynchronous requests run) and the
// XML reply a callback builds: controls to update, scripts to run, a new form action.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/MarkupTag.h"
#include "runtime/Component.h"
#include "runtime/StringList.h"

namespace qx {

class TIWApplication;
class TIWForm;

// A callback handler: the component it was registered for and a copy of the posted values.
using TIWCallBackMethod = std::function<void(TComponent* component, const TStringList& params)>;

class TIWCallBacks {
 public:
  // Adds the callback, or replaces the one registered under that name (letter case ignored).
  void Register(std::string_view name, TIWCallBackMethod handler, TComponent* component);
  // Runs the named callback; false (and nothing runs) when no such name is registered.
  bool Run(std::string_view name, const TStringList& params) const;
  int Count() const noexcept { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    std::string name;
    TIWCallBackMethod handler;
    TComponentRef<TComponent> component;
  };
  Entry* Find(std::string_view name) const noexcept;

  std::vector<std::unique_ptr<Entry>> entries_;
};

class TIWCallBackResponse {
 public:
  void Reset();
  // A "control" element of the "update" list.
  void AddUpdate(std::unique_ptr<TIWMarkupLanguageTag> control);
  // A "control" element for every showing component of `form` whose changed mark is set
  // (marks are cleared before a post is processed, so these are the ones the callback
  // changed), in the order of the form's controls.
  void AddChangedControls(TIWForm& form, TIWApplication& application);
  // A "literal" element of the "execute" list (the text is written as it is, so scripts come
  // wrapped in "<![CDATA[" … "]]>").
  void AddExecute(std::string literal);
  // A new action for the submit form.
  void SetSubmit(std::string action) { submit_ = std::move(action); }

  // The reply: the XML declaration and the "response" element, converted from the service's
  // code page to UTF-8 when `toUtf8`.
  std::string Text(bool toUtf8) const;

 private:
  std::vector<std::unique_ptr<TIWMarkupLanguageTag>> updates_;
  std::vector<std::string> executes_;
  std::string submit_;
};

}  // namespace qx
