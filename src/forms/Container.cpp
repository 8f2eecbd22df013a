// Containers: element-name suffixes, render events in pre-order, and the container walk that
// gathers the children to render (frames contribute their region or their components), orders
// them by tab order and renders each into its component context.
#include "forms/Container.h"

#include <algorithm>

#include "forms/RenderContext.h"
#include "runtime/Strings.h"

namespace qx {

// The component a frame contributes in place of its other components, when it has one.
constexpr const char* kFrameRegionName = "IWFrameRegion";

const TClassInfo& TIWBaseContainer::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWBaseContainer>("TIWBaseContainer")
          .Property("OnRender", &TIWBaseContainer::OnRender, &TIWBaseContainer::SetOnRender)
          .Build();
  return info;
}

const TClassInfo& TIWContainer::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWContainer>("TIWContainer").Build();
  return info;
}

const TClassInfo& TIWHTMLContainer::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWHTMLContainer>("TIWHTMLContainer").Build();
  return info;
}

std::string TIWBaseContainer::NameSuffix() const {
  if (auto* frame = ClassCast<TFrame>(Owner())) return UpperCase(frame->Name());
  if (auto* container = ClassCast<TIWBaseContainer>(Parent())) return container->NameSuffix();
  return {};
}

namespace {

// The element names in force on this thread, if a render made a table.
thread_local const TIWElementNames* tElementNames = nullptr;

}  // namespace

std::string ElementNameOf(const TComponent& component) {
  if (tElementNames)
    if (const std::string* name = tElementNames->Find(component)) return *name;
  const auto* control = ClassCast<TControl>(&component);
  const TWinControl* parent = control ? control->Parent() : nullptr;
  if (auto* container = ClassCast<TIWBaseContainer>(parent))
    return UpperCase(component.Name()) + container->NameSuffix();
  if (auto* frame = ClassCast<TFrame>(component.Owner()))
    return UpperCase(frame->Name() + component.Name());
  return UpperCase(component.Name());
}

TIWElementNames::TIWElementNames(TWinControl& container) : previous_(tElementNames) {
  ForEachComponent(container, [this](IIWBaseComponent& component) {
    components_.push_back(&component);
    const TComponent& held = component.AsComponent();
    names_.try_emplace(&held, ElementNameOf(held));
  });
  tElementNames = this;
}

TIWElementNames::~TIWElementNames() { tElementNames = previous_; }

const std::string* TIWElementNames::Find(const TComponent& component) const {
  const auto it = names_.find(&component);
  return it == names_.end() ? nullptr : &it->second;
}

namespace {

void FireRenderEventsIn(TControl& control) {
  if (auto* container = ClassCast<TIWBaseContainer>(&control)) {
    container->FireRenderEvents();
  } else if (auto* frame = ClassCast<TFrame>(&control)) {
    for (int i = 0; i < frame->ComponentCount(); ++i) {
      auto* held = ClassCast<TControl>(frame->Components(i));
      if (held && held->Parent() == frame) FireRenderEventsIn(*held);
    }
  }
}

struct KeptChild {
  IIWBaseComponent* component;
  int order;
};

int TabOrderKey(IIWBaseComponent& component) {
  IIWTabOrder* tab = component.AsTabOrder();
  return tab && tab->HasTabOrder() ? tab->TabOrder() : 0;
}

}  // namespace

void ForEachComponent(TWinControl& container, const std::function<void(IIWBaseComponent&)>& visit) {
  for (int i = 0; i < container.ControlCount(); ++i) {
    TControl* control = container.Controls(i);
    if (IIWBaseComponent* runtime = control->AsBaseComponent()) visit(*runtime);
    if (auto* inner = ClassCast<TWinControl>(control)) ForEachComponent(*inner, visit);
  }
  for (int i = 0; i < container.ComponentCount(); ++i) {
    TComponent* owned = container.Components(i);
    if (ClassCast<TControl>(owned)) continue;
    if (IIWBaseComponent* runtime = owned->AsBaseComponent()) visit(*runtime);
  }
}

void TIWBaseContainer::FireRenderEvents() {
  if (onRender_) onRender_(this);
  for (int i = 0; i < ControlCount(); ++i) FireRenderEventsIn(*Controls(i));
}

void TIWBaseContainer::RenderChildren(TIWContainerContext& context, TIWPageContext40& page) {
  std::vector<KeptChild> kept;
  auto keep = [&](TComponent& component) {
    IIWBaseComponent* runtime = component.AsBaseComponent();
    if (!runtime) return;
    auto* control = ClassCast<TControl>(&component);
    if (control && !control->Visible() && !context.UpdateTree()) return;
    kept.push_back({runtime, TabOrderKey(*runtime)});
  };

  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    auto* frame = ClassCast<TFrame>(child);
    if (!frame) {
      keep(*child);
      continue;
    }
    if (!frame->Visible() && !context.UpdateTree()) continue;
    TComponent* frameRegion = frame->FindComponent(kFrameRegionName);
    if (frameRegion && frameRegion->AsBaseComponent()) {
      keep(*frameRegion);
      continue;
    }
    for (int j = 0; j < frame->ComponentCount(); ++j) {
      TComponent* held = frame->Components(j);
      auto* heldControl = ClassCast<TControl>(held);
      if (!heldControl || heldControl->Parent() == frame) keep(*held);
    }
  }
  // Page components without a place of their own (the timer) belong to the container that
  // owns them: the form.
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* owned = Components(i);
    if (!ClassCast<TControl>(owned)) keep(*owned);
  }
  std::stable_sort(kept.begin(), kept.end(),
                   [](const KeptChild& a, const KeptChild& b) { return a.order < b.order; });

  for (const KeptChild& child : kept) {
    auto componentContext = std::make_unique<TIWComponent40Context>(*child.component, page, context);
    componentContext->SetTag(child.component->RenderMarkup(*componentContext));
    if (IIWHTML40Control* html = child.component->AsHTML40Control(); html && componentContext->Tag())
      html->PostProcessTag(*componentContext);
    TIWComponent40Context& added = context.Add(std::move(componentContext));
    if (auto* container = ClassCast<TIWBaseContainer>(&child.component->AsComponent())) {
      auto children = std::make_unique<TIWContainerContext>(*container, context.LayoutMgr(),
                                                            context.Application(), context.UpdateTree());
      container->RenderChildren(*children, page);
      added.SetChildren(std::move(children));
    }
  }
}

}  // namespace qx
