// The bases of runtime components: page components without a place of their own (the timer)
// and the visible controls every control of the screens derives from.
#pragma once

#include "forms/ControlFeatures.h"
#include "forms/Interfaces.h"

namespace qx {

// --- Page components: a runtime component on the plain component class.
class TIWBaseComponent : public TComponent, public IIWBaseComponent {
  QX_CLASS(TIWBaseComponent, TComponent)

 public:
  TComponent& AsComponent() noexcept override { return *this; }
  IIWBaseComponent* AsBaseComponent() noexcept override { return this; }
  std::string ElementName() const override { return ElementNameOf(*this); }

 protected:
  TIWBaseComponent() = default;
  void ValidateName(std::string_view name) const override;
};

class TIWBaseHTMLComponent : public TIWBaseComponent {
  QX_CLASS(TIWBaseHTMLComponent, TIWBaseComponent)

 protected:
  TIWBaseHTMLComponent() = default;
};

// Base of page components rendered into HTML 4.0 pages (the timer adds init code).
class TIWBaseHTML40Component : public TIWBaseHTMLComponent {
  QX_CLASS(TIWBaseHTML40Component, TIWBaseHTMLComponent)

 protected:
  TIWBaseHTML40Component() = default;
};

// --- Visible controls: position, size, parent, Align, Anchors, Visible, Enabled, and the
// common properties and rendering of TIWControlFeatures.
class TIWVCLBaseControl : public TIWControlFeatures<TControl> {
  QX_CLASS(TIWVCLBaseControl, TIWControlFeatures<TControl>)

 protected:
  TIWVCLBaseControl() = default;
};

class TIWBaseControl : public TIWVCLBaseControl {
  QX_CLASS(TIWBaseControl, TIWVCLBaseControl)

 protected:
  TIWBaseControl() = default;
};

class TIWBaseHTMLControl : public TIWBaseControl {
  QX_CLASS(TIWBaseHTMLControl, TIWBaseControl)

 protected:
  TIWBaseHTMLControl() = default;
};

// The base of every visible control of the screens (labels, edits, buttons, grids …).
class TIWCustomControl : public TIWBaseHTMLControl {
  QX_CLASS(TIWCustomControl, TIWBaseHTMLControl)

 protected:
  TIWCustomControl() = default;
};

}  // namespace qx
