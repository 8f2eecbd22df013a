// Re-layout of a container's controls after its size changes: Anchors relative to each
// control's original placement, then Align (top, bottom, left, right, client). The browser's
// client library applies the same rules when the window is resized, so server and browser agree.
// When a definition has just been read only Align applies, since the definition gives the
// places of the other controls for the size it states.
#include <algorithm>
#include <cmath>

#include "runtime/Control.h"

namespace qx {
namespace {

// One axis of anchoring. `pos` and `size` start as the control's present values; the
// original values and the parent's sizes decide the new ones. Positions are taken relative
// to the client area (inside the border b) so that the proportional rule scales the same
// distances the browser scales.
void AnchorAxis(bool nearSide, bool farSide, int originalPos, int originalSize, int parentSize,
                int originalParentSize, int b, int& pos, int& size) {
  if (nearSide && farSide) {
    size = std::max(0, parentSize - originalParentSize + originalSize);
  } else if (farSide) {
    pos = originalPos + parentSize - originalParentSize;
  } else if (!nearSide && originalParentSize > 0) {
    // Neither side: the centre keeps its proportional place.
    const double centre = (originalPos - b + originalSize / 2.0) * parentSize / originalParentSize;
    pos = static_cast<int>(std::lround(centre - size / 2.0)) + b;
  }
}

}  // namespace

void TWinControl::AlignControls(bool anchors) {
  const int b = BorderWidth();
  // The part of the client area not yet taken by aligned controls.
  int left = b, top = b;
  int width = std::max(0, Width() - 2 * b), height = std::max(0, Height() - 2 * b);

  std::vector<TControl*> batch;
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient, alNone}) {
    batch.clear();
    for (TControl* c : controls_)
      if (c->align_ == align && c->Showing()) batch.push_back(c);
    auto by = [&](auto key) { std::stable_sort(batch.begin(), batch.end(), key); };
    switch (align) {
      case alTop: by([](TControl* x, TControl* y) { return x->Top() < y->Top(); }); break;
      case alBottom: by([](TControl* x, TControl* y) { return x->Top() > y->Top(); }); break;
      case alLeft: by([](TControl* x, TControl* y) { return x->Left() < y->Left(); }); break;
      case alRight: by([](TControl* x, TControl* y) { return x->Left() > y->Left(); }); break;
      default: break;
    }

    for (TControl* c : batch) {
      TBounds r = c->Bounds();
      // Anchors first; Align then overrides what it fixes, so an aligned control keeps only
      // the anchoring of its free side (the height of a top-aligned one anchored at both).
      if (anchors) {
        const TBounds& o = c->OriginalBounds();
        const TAnchors a = c->Anchors();
        AnchorAxis(a.Contains(akLeft), a.Contains(akRight), o.Left, o.Width, Width(),
                   c->OriginalParentWidth(), b, r.Left, r.Width);
        AnchorAxis(a.Contains(akTop), a.Contains(akBottom), o.Top, o.Height, Height(),
                   c->OriginalParentHeight(), b, r.Top, r.Height);
      }
      switch (align) {
        case alTop:
          r.Left = left, r.Top = top, r.Width = width;
          top += r.Height, height = std::max(0, height - r.Height);
          break;
        case alBottom:
          r.Left = left, r.Top = top + height - r.Height, r.Width = width;
          height = std::max(0, height - r.Height);
          break;
        case alLeft:
          r.Left = left, r.Top = top, r.Height = height;
          left += r.Width, width = std::max(0, width - r.Width);
          break;
        case alRight:
          r.Left = left + width - r.Width, r.Top = top, r.Height = height;
          width = std::max(0, width - r.Width);
          break;
        case alClient: r = TBounds{left, top, width, height}; break;
        case alNone: break;
      }
      c->ApplyBounds(r);
    }
  }
}

}  // namespace qx
