// The containers of the runtime (forms, regions, the tab control): the element-name suffix
// they give their controls, their render event, and the container walk that renders their
// children into a container context.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "forms/Interfaces.h"
#include "runtime/ClassInfo.h"
#include "runtime/Control.h"

namespace qx {

class TIWContainerContext;
class TIWPageContext40;

class TIWBaseContainer : public TScrollingWinControl {
  QX_CLASS(TIWBaseContainer, TScrollingWinControl)

 public:
  // Fires before each render (forms and the containers inside them, Part of RenderPage).
  const TNotifyEvent& OnRender() const noexcept { return onRender_; }
  void SetOnRender(TNotifyEvent handler) { onRender_ = std::move(handler); }

  // Appended to the upper-cased names of the controls placed in this container: for a form
  // nothing; for a container owned by a frame the frame's name in upper case; otherwise the
  // suffix of the container it is placed in.
  virtual std::string NameSuffix() const;

  // Fires OnRender of this container, then of every container inside it, each before the
  // ones it holds (containers inside a frame are reached through the frame's components).
  void FireRenderEvents();

  // The container walk: renders every kept child into `context` in tab order, each child
  // container's children into a context of its own.
  void RenderChildren(TIWContainerContext& context, TIWPageContext40& page);

 protected:
  TIWBaseContainer() = default;

 private:
  TNotifyEvent onRender_;
};

class TIWContainer : public TIWBaseContainer {
  QX_CLASS(TIWContainer, TIWBaseContainer)

 protected:
  TIWContainer() = default;
};

// A container whose children are rendered as HTML inside its own element.
class TIWHTMLContainer : public TIWContainer {
  QX_CLASS(TIWHTMLContainer, TIWContainer)

 protected:
  TIWHTMLContainer() = default;
};

// Calls `visit` for every runtime component placed in `container`, at any depth: controls,
// the containers and frames they are placed in, the components those hold, and the page
// components the container owns.
void ForEachComponent(TWinControl& container, const std::function<void(IIWBaseComponent&)>& visit);

// The element name of any component: the upper-cased name followed by the suffix of the
// container it is placed in; a component owned by a frame and not placed in a container
// gets the frame's name in front (both upper case); otherwise the upper-cased name.
std::string ElementNameOf(const TComponent& component);

// The element names of a container's components (ForEachComponent), worked out once: while
// the table lives, ElementNameOf answers for those components from it on the thread that made
// it. A page names each control in many attributes and scripts, and a post searches the form
// by element names for every posted line; working a name out walks the container chain with a
// type check at every step. Made by a render after its render events, and by a post while it
// pairs the posted lines with controls: neither renames, re-parents or re-owns a component
// while the table lives.
class TIWElementNames {
 public:
  explicit TIWElementNames(TWinControl& container);
  ~TIWElementNames();
  TIWElementNames(const TIWElementNames&) = delete;
  TIWElementNames& operator=(const TIWElementNames&) = delete;

  // The component's name from the table, or none when it is not in it.
  const std::string* Find(const TComponent& component) const;
  // The components of the table, in the order ForEachComponent visits them, for the render's
  // other questions about the whole form.
  const std::vector<IIWBaseComponent*>& Components() const noexcept { return components_; }

 private:
  std::vector<IIWBaseComponent*> components_;
  std::unordered_map<const TComponent*, std::string> names_;
  // The table of an enclosing render on the same thread, in force again afterwards.
  const TIWElementNames* previous_;
};

}  // namespace qx
