// TControl and the containers: parent/child links, bounds, visibility, Align and Anchors
// properties, and when a change asks the parent to re-lay out its controls.
#include "runtime/Control.h"

#include <algorithm>

#include "runtime/ClassInfo.h"
#include "runtime/Format.h"

namespace qx {
namespace {

constexpr const char* kNotAContainer = "%s '%s' cannot hold the control '%s'.";
constexpr const char* kParentCycle = "The control '%s' cannot be placed inside itself.";

}  // namespace

const TEnumInfo& EnumInfoOf(TAlign) {
  static const TEnumInfo info("TAlign", {QX_ENUM(alNone), QX_ENUM(alTop), QX_ENUM(alBottom),
                                         QX_ENUM(alLeft), QX_ENUM(alRight), QX_ENUM(alClient)});
  return info;
}

const TEnumInfo& EnumInfoOf(TAnchorKind) {
  static const TEnumInfo info("TAnchorKind", {QX_ENUM(akLeft), QX_ENUM(akTop), QX_ENUM(akRight),
                                              QX_ENUM(akBottom)});
  return info;
}

// ---- TControl -------------------------------------------------------------------------------

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TControl>("TControl")
                                     .Property("Left", &TControl::Left, &TControl::SetLeft)
                                     .Property("Top", &TControl::Top, &TControl::SetTop)
                                     .Property("Width", &TControl::Width, &TControl::SetWidth)
                                     .Property("Height", &TControl::Height, &TControl::SetHeight)
                                     .Property("Visible", &TControl::Visible, &TControl::SetVisible)
                                     .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled)
                                     .Property("Align", &TControl::Align, &TControl::SetAlign)
                                     .Property("Anchors", &TControl::Anchors, &TControl::SetAnchors)
                                     .Build();
  return info;
}

TControl::~TControl() {
  if (TWinControl* parent = parent_) {
    auto& list = parent->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    parent_ = nullptr;
    if (align_ != alNone && visible_) parent->Realign();
  }
}

void TControl::SetParentComponent(TComponent* parent) {
  if (!parent) {
    SetParent(nullptr);
    return;
  }
  auto* container = dynamic_cast<TWinControl*>(parent);
  if (!container)
    throw EComponentError(Format(kNotAContainer, {parent->ClassName(), parent->Name(), Name()}));
  SetParent(container);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p; p = p->parent_)
    if (p == this) throw EComponentError(Format(kParentCycle, {Name()}));
  if (TWinControl* old = parent_) {
    auto& list = old->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    parent_ = nullptr;
    if (align_ != alNone && visible_) old->Realign();
  }
  parent_ = parent;
  if (parent_) parent_->controls_.push_back(this);
  if (!Loading()) RecordOriginal();
  RequestParentRealign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  const TBounds bounds{left, top, std::max(width, 0), std::max(height, 0)};
  const bool changed = bounds != bounds_;
  ApplyBounds(bounds);
  if (!Loading()) RecordOriginal();
  if (changed) RequestParentRealign();
}

void TControl::ApplyBounds(const TBounds& bounds) {
  if (bounds == bounds_) return;
  const bool resized = bounds.Width != bounds_.Width || bounds.Height != bounds_.Height;
  bounds_ = bounds;
  BoundsChanged();
  if (resized)
    if (auto* container = ClassCast<TWinControl>(this)) container->Realign();
}

void TControl::RecordOriginal() noexcept {
  original_ = bounds_;
  originalParentWidth_ = parent_ ? parent_->Width() : 0;
  originalParentHeight_ = parent_ ? parent_->Height() : 0;
}

void TControl::RequestParentRealign() {
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
  // Hidden controls are left out of re-layout, so one that shows again is placed anew.
  if (parent_) parent_->Realign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  const TAlign old = align_;
  align_ = align;
  // A control that stops being aligned stays where alignment put it.
  if (align_ == alNone && !Loading()) RecordOriginal();
  if (parent_ && (old != alNone || align_ != alNone)) parent_->Realign();
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == anchors_) return;
  anchors_ = anchors;
  // Anchors hold the control at its present place relative to the parent's present size.
  if (!Loading()) RecordOriginal();
}

bool TControl::Showing() const noexcept {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::Loaded() {
  TComponent::Loaded();
  RecordOriginal();
}

// ---- containers --------------------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TWinControl>("TWinControl").Build();
  return info;
}

TWinControl::~TWinControl() {
  // Controls owned elsewhere outlive their container: they are left without a parent.
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) RaiseListIndexError(index);
  return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::Realign() {
  if (Loading() || Destroying()) return;
  if (alignDisabled_ > 0) {
    alignPending_ = true;
    return;
  }
  alignPending_ = false;
  AlignControls(true);
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  AlignControls(false);
}

const TClassInfo& TControlScrollBar::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TControlScrollBar>("TControlScrollBar")
          .Property("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible)
          .Property("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition)
          .Build();
  return info;
}

const TClassInfo& TScrollingWinControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TScrollingWinControl>("TScrollingWinControl")
          .Property("HorzScrollBar", &TScrollingWinControl::HorzScrollBar)
          .Property("VertScrollBar", &TScrollingWinControl::VertScrollBar)
          .Build();
  return info;
}

const TClassInfo& TFrame::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFrame>("TFrame").Build();
  return info;
}

}  // namespace qx
