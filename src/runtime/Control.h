// Visual controls: TControl (position, size, visibility, Align, Anchors, parent) and the
// containers that hold and re-lay out controls (TWinControl, TScrollingWinControl, TFrame).
//
// Positions are in the parent's coordinates, border included: a container with border width b
// has its client area from (b, b) to (Width − b, Height − b). Each control remembers the
// placement it was given (its "original" bounds) together with the size its parent had then;
// re-layout after the parent changes size is computed from those, never from the previous
// layout, so repeated resizes do not drift.
#pragma once

#include <vector>

#include "runtime/Component.h"
#include "runtime/Enums.h"

namespace qx {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
const TEnumInfo& EnumInfoOf(TAlign);
const TEnumInfo& EnumInfoOf(TAnchorKind);

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const TBounds&) const = default;
};

class TWinControl;

class TControl : public TComponent {
  QX_CLASS(TControl, TComponent)

 public:
  TWinControl* Parent() const noexcept { return parent_; }
  // Appends the control to the new parent's controls (nullptr takes it out of any).
  void SetParent(TWinControl* parent);
  // A control takes the enclosing container of its definition block as its parent; inside a
  // component that is not a container it fails with EComponentError.
  void SetParentComponent(TComponent* parent) override;

  int Left() const noexcept { return bounds_.Left; }
  int Top() const noexcept { return bounds_.Top; }
  int Width() const noexcept { return bounds_.Width; }
  int Height() const noexcept { return bounds_.Height; }
  const TBounds& Bounds() const noexcept { return bounds_; }
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  // Places the control (negative sizes count as 0). Outside loading this is also the new
  // original placement; a container re-lays out its controls when its size changes, and an
  // aligned control has its parent re-lay out its siblings.
  void SetBounds(int left, int top, int width, int height);

  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);
  TAlign Align() const noexcept { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const noexcept { return anchors_; }
  void SetAnchors(TAnchors anchors);

  // The placement re-layout starts from, and the parent's size when it was recorded.
  const TBounds& OriginalBounds() const noexcept { return original_; }
  int OriginalParentWidth() const noexcept { return originalParentWidth_; }
  int OriginalParentHeight() const noexcept { return originalParentHeight_; }
  // The control and every parent above it are visible (only such controls are aligned).
  bool Showing() const noexcept;

 protected:
  TControl() = default;
  ~TControl() override;

  // Records the design placement once the definition has been read.
  void Loaded() override;
  // Hooks for controls that mark themselves changed; they run after the change is stored,
  // for changes made by code and by re-layout alike.
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}

 private:
  friend class TWinControl;
  // Stores new bounds; a container whose size changed re-lays out its controls.
  void ApplyBounds(const TBounds& bounds);
  void RecordOriginal() noexcept;
  void RequestParentRealign();

  TWinControl* parent_ = nullptr;
  TBounds bounds_;
  TBounds original_;
  int originalParentWidth_ = 0;
  int originalParentHeight_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
};

class TWinControl : public TControl {
  QX_CLASS(TWinControl, TControl)

 public:
  // Child controls in the order they were placed (creation order).
  int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  // Width of the border inside the bounds, in pixels; regions supply theirs.
  virtual int BorderWidth() const { return 0; }

  // Re-lays out the child controls by their Align and Anchors (see Realign in Layout.cpp).
  void Realign();
  // Batches changes: re-layout waits until the matching EnableAlign.
  void DisableAlign() noexcept { ++alignDisabled_; }
  void EnableAlign();

 protected:
  TWinControl() = default;
  ~TWinControl() override;
  // Records the container's own placement, then places its aligned controls. Anchors play no
  // part yet: the definition gives the anchored controls' places for this very size.
  void Loaded() override;

 private:
  friend class TControl;
  void AlignControls(bool anchors);
  std::vector<TControl*> controls_;
  int alignDisabled_ = 0;
  bool alignPending_ = false;
};

// Whether a scroll bar of a scrolling container may show, and how far it is scrolled.
class TControlScrollBar : public TPersistent {
  QX_CLASS(TControlScrollBar, TPersistent)

 public:
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool visible) noexcept { visible_ = visible; }
  int Position() const noexcept { return position_; }
  void SetPosition(int position) noexcept { position_ = position; }

 private:
  bool visible_ = true;
  int position_ = 0;
};

// The container base of forms and regions.
class TScrollingWinControl : public TWinControl {
  QX_CLASS(TScrollingWinControl, TWinControl)

 public:
  TControlScrollBar& HorzScrollBar() noexcept { return horzScrollBar_; }
  TControlScrollBar& VertScrollBar() noexcept { return vertScrollBar_; }

 protected:
  TScrollingWinControl() = default;

 private:
  TControlScrollBar horzScrollBar_;
  TControlScrollBar vertScrollBar_;
};

// A frame: a container placed like a control on forms, which owns the components of its own
// definition (read when the frame is created; see TClassBuilder::Definition).
class TFrame : public TScrollingWinControl {
  QX_CLASS(TFrame, TScrollingWinControl)

 protected:
  TFrame() = default;
};

}  // namespace qx
