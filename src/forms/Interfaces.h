// The control contract: what the page renderer and the submission processor know of every
// runtime component. Each component class implements the interfaces that apply to it; the
// renderer finds them on a component through IIWBaseComponent's accessors (AsHTML40Control …).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "forms/MarkupTag.h"
#include "runtime/Component.h"
#include "runtime/Control.h"
#include "runtime/StringList.h"
#include "server/Browser.h"

namespace qx {

class TIWComponent40Context;
class TIWPageContext40;
class TIWScriptEvents;
class IIWBaseControl;
class IIWHTML40Control;
class IIWTabOrder;
class IIWUploadControl;
class IIWAsyncEventSource;
class IIWFileField;

// Any runtime component: page components such as the timer, controls, regions.
class IIWBaseComponent {
 public:
  virtual TComponent& AsComponent() noexcept = 0;
  const TComponent& AsComponent() const noexcept {
    return const_cast<IIWBaseComponent*>(this)->AsComponent();
  }
  // The implementing component returns itself; the one override also answers
  // TComponent::AsBaseComponent, by which the walks find runtime components among components.
  virtual IIWBaseComponent* AsBaseComponent() noexcept = 0;

  // The component's name in the page: element ID and NAME, prefix of its client object.
  virtual std::string ElementName() const = 0;
  // The name shown in messages about the component (required fields, rejected values).
  virtual std::string FriendlyName() const { return AsComponent().Name(); }
  // The component's element for a full page; nullptr when it has none (the timer).
  virtual std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) = 0;
  // The "control" element of a partial update or callback reply; nullptr when the component
  // sends none.
  virtual std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context&) {
    return nullptr;
  }
  // Puts every property back to its value at creation.
  virtual void SetDefaults() {}

  // --- The component's other interfaces, or nullptr: each interface answers for itself (an
  // interface apart from this one declares its accessor pure, so the one override of the
  // implementing class answers both), and the walks over a form's components, which ask on
  // every request, need no dynamic_cast.
  virtual IIWBaseControl* AsBaseControl() noexcept { return nullptr; }
  virtual IIWHTML40Control* AsHTML40Control() noexcept { return nullptr; }
  virtual IIWTabOrder* AsTabOrder() noexcept { return nullptr; }
  virtual IIWUploadControl* AsUploadControl() noexcept { return nullptr; }
  virtual IIWAsyncEventSource* AsAsyncEventSource() noexcept { return nullptr; }
  virtual IIWFileField* AsFileField() noexcept { return nullptr; }

  // --- Posting: the component's value and the action it runs.
  // The component has a value to post (edits, lists, check boxes).
  virtual bool TakesInput() const { return false; }
  // Posted values are applied only to editable components.
  virtual bool Editable() const { return true; }
  // The component posts a file (no hidden field is made for it).
  virtual bool IsFileField() const { return false; }
  // A component that takes no input but still posts one field named after it.
  virtual bool PostsHiddenField() const { return false; }
  // The component's content changes are reported to the client's change tracking, on pages
  // that track them: the input controls whose element holds what the user changes.
  virtual bool ReportsContentChanges() const { return false; }
  // The component can cause a post (it has an action handler).
  virtual bool CanSubmit() const { return false; }
  // The hidden submit-form fields the component needs; the base names its ElementName.
  virtual void RegisterFields(TStringList& fields) const { fields.Add(ElementName()); }
  // Whether a posted field belongs to the component: exact equality with ElementName.
  virtual bool OwnsField(std::string_view name) const { return name == ElementName(); }
  // Takes the posted value; called only on editable components that take input, so those
  // that take none ignore it.
  virtual void ApplySubmittedValue(const std::string&) {}
  // Runs the component's action when it caused the post; called only on components that can
  // submit, so those that cannot have none.
  virtual void RunAction(const std::string&) {}

  // --- The changed mark: set by setters that change what the page shows, cleared before
  // each post is processed; partial updates re-send the marked components.
  bool Changed() const noexcept { return changed_; }
  void SetChanged(bool changed) noexcept { changed_ = changed; }
  void MarkChanged() noexcept { changed_ = true; }

 protected:
  IIWBaseComponent() = default;
  // A property setter in one line: stores the value and marks the component changed when it
  // differs from the current one; says whether it did.
  template <class Field, class Value>
  bool SetProperty(Field& field, Value&& value) {
    if (!AssignProperty(field, std::forward<Value>(value))) return false;
    MarkChanged();
    return true;
  }
  IIWBaseComponent(const IIWBaseComponent&) = default;
  ~IIWBaseComponent() = default;

 private:
  bool changed_ = false;
};

// A component that takes part in the tab order; the container walk orders by it (components
// without one count as 0).
class IIWTabOrder {
 public:
  virtual int TabOrder() const = 0;
  virtual bool HasTabOrder() const = 0;
  virtual IIWTabOrder* AsTabOrder() noexcept = 0;

 protected:
  ~IIWTabOrder() = default;
};

// A control that posts a file, through a frame of its own: the page's SubmitNextFile() posts
// each such frame in turn before the real action.
class IIWUploadControl {
 public:
  // The script expression of the frame the control's file goes up in.
  virtual std::string UploadFrame() const = 0;
  // Script run before the frame's form is posted (may be empty).
  virtual std::string UploadScript() const { return {}; }
  virtual IIWUploadControl* AsUploadControl() noexcept = 0;

 protected:
  ~IIWUploadControl() = default;
};

// A visual control: parent, position, size, visibility and enabled state.
class IIWBaseControl : public IIWBaseComponent {
 public:
  virtual TControl& AsControl() noexcept = 0;
  const TControl& AsControl() const noexcept {
    return const_cast<IIWBaseControl*>(this)->AsControl();
  }
  IIWBaseControl* AsBaseControl() noexcept final { return this; }

 protected:
  ~IIWBaseControl() = default;
};

// A control rendered as HTML 4.0: its style text, CSS class, client object, font, colour,
// z-index, hint and script events.
class IIWHTML40Control : public IIWBaseControl, public IIWTabOrder {
 public:
  // The inline CSS of the control (position, z-index, size, clip, font, cursor).
  virtual std::string StyleText(TIWComponent40Context& context) = 0;
  // Css when set, else ElementName + "CSS".
  virtual std::string CssClassName() const = 0;
  // Adds the control's client handlers to `events` (a copy of its script events).
  virtual void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) = 0;
  // The per-control steps after RenderMarkup: border frame, client object, hint, script events
  // and extra tag parameters.
  virtual void PostProcessTag(TIWComponent40Context& context) = 0;
  // The control's OnHTMLTag hook, given the finished tag.
  virtual void DoHTMLTag(TIWMarkupLanguageTag& tag) = 0;
  // Position and size as the page gives them for the browser, relative to the element of the
  // container the control is rendered in.
  virtual int RenderedLeft(TIWBrowser browser) const = 0;
  virtual int RenderedTop(TIWBrowser browser) const = 0;
  virtual int RenderedWidth(TIWBrowser browser) const = 0;
  virtual int RenderedHeight(TIWBrowser browser) const = 0;

  IIWHTML40Control* AsHTML40Control() noexcept final { return this; }
  IIWTabOrder* AsTabOrder() noexcept final { return this; }

 protected:
  ~IIWHTML40Control() = default;
};

}  // namespace qx
