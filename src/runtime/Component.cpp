// TComponent: ownership, names, notifications, the order of destruction, and the hook
// through which forms and data modules register with their session.
#include "runtime/Component.h"

#include <algorithm>
#include <atomic>

#include "runtime/ClassInfo.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kInvalidComponentName = "\"%s\" is not a valid component name.";

namespace {

constexpr const char* kDuplicateName = "A component named %s already exists.";
constexpr const char* kNotOwned = "Component '%s' is not owned by '%s'.";
constexpr const char* kAlreadyOwned = "Component '%s' already has an owner.";
constexpr const char* kOwnerCycle = "Component '%s' cannot own itself or one of its owners.";
constexpr const char* kFreeUnowned =
    "Component '%s' has no owner; it is freed by the handle that owns it.";
constexpr const char* kNullComponent = "Cannot insert a missing component.";
constexpr const char* kListIndex = "List index out of bounds (%d)";

std::atomic<IModuleRegistry*> g_moduleRegistry{nullptr};

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(s[0])) return false;
  return std::all_of(s.begin() + 1, s.end(),
                     [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

}  // namespace

void RaiseListIndexError(int index) { throw EListError(Format(kListIndex, {index})); }

void SetModuleRegistry(IModuleRegistry* registry) noexcept { g_moduleRegistry.store(registry); }

TComponent* FindGlobalComponent(std::string_view name) {
  IModuleRegistry* registry = g_moduleRegistry.load();
  return registry && !name.empty() ? registry->FindModule(name) : nullptr;
}

// ---- references ---------------------------------------------------------------------------

void TComponentRefBase::Reset(TComponent* target) noexcept {
  if (target == target_) return;
  if (target_) {
    auto& refs = target_->references_;
    refs.erase(std::find(refs.begin(), refs.end(), this));
  }
  // A component whose references were already released cannot be linked again: it is gone
  // as soon as its destruction finishes.
  if (target && target->destroyStarted_) target = nullptr;
  target_ = target;
  if (target_) target_->references_.push_back(this);
}

// ---- component ----------------------------------------------------------------------------

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TComponent>("TComponent")
                                     .Property("Tag", &TComponent::Tag, &TComponent::SetTag)
                                     .Build();
  return info;
}

TComponent::~TComponent() {
  // Normally everything below has already run in the deleter; this covers a component that a
  // derived class deleted directly.
  if (!destroyStarted_) {
    destroyStarted_ = true;
    MarkDestroying();
    DestroyComponents();
    ReleaseReferences();
    UnregisterModule();
  }
}

void TComponentDeleter::operator()(TComponent* c) const noexcept {
  if (!c) return;
  c->MarkDestroying();
  try {
    c->BeforeDestruction();
  } catch (...) {
    // A failing OnDestroy must not stop the freeing of the component and what it owns.
  }
  c->DestroyComponents();
  c->destroyStarted_ = true;
  c->ReleaseReferences();
  c->UnregisterModule();
  delete c;
}

void TComponent::MarkDestroying() noexcept {
  destroying_ = true;
  for (auto& c : components_) c->MarkDestroying();
}

void TComponent::DestroyComponents() noexcept {
  // Last created first, so that containers outlive the controls placed in them.
  while (!components_.empty()) {
    Owned<TComponent> c = std::move(components_.back());
    components_.pop_back();
    c->owner_ = nullptr;
    try {
      Notification(c.get(), opRemove);
    } catch (...) {
    }
    c.reset();
  }
}

void TComponent::ReleaseReferences() noexcept {
  std::vector<TComponentRefBase*> refs = std::move(references_);
  references_.clear();
  // Clear every link before telling any holder, so that a holder sees a consistent state.
  std::vector<TComponent*> holders;
  for (TComponentRefBase* r : refs) {
    r->target_ = nullptr;
    if (r->holder_ && std::find(holders.begin(), holders.end(), r->holder_) == holders.end())
      holders.push_back(r->holder_);
  }
  for (TComponent* h : holders) {
    try {
      h->Notification(this, opRemove);
    } catch (...) {
    }
  }
}

void TComponent::RegisterModule() {
  if (module_) return;
  if (IModuleRegistry* registry = g_moduleRegistry.load()) {
    registry->RegisterModule(*this);
    module_ = true;
  }
}

void TComponent::UnregisterModule() noexcept {
  if (!module_) return;
  module_ = false;
  if (IModuleRegistry* registry = g_moduleRegistry.load()) registry->UnregisterModule(*this);
}

void TComponent::ValidateName(std::string_view name) const {
  if (!name.empty() && !IsIdentifier(name))
    throw EComponentError(Format(kInvalidComponentName, {name}));
}

void TComponent::CheckUniqueName(std::string_view name) const {
  if (name.empty() || !owner_) return;
  TComponent* other = owner_->FindComponent(name);
  if (other && other != this) throw EComponentError(Format(kDuplicateName, {name}));
}

void TComponent::SetName(std::string_view name) {
  if (name == name_) return;
  ValidateName(name);
  CheckUniqueName(name);
  name_ = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
  return components_[static_cast<std::size_t>(index)].get();
}

TComponent* TComponent::FindComponent(std::string_view name) const noexcept {
  if (name.empty()) return nullptr;
  for (const auto& c : components_)
    if (SameText(c->name_, name)) return c.get();
  return nullptr;
}

void TComponent::Insert(Owned<TComponent> component) {
  if (!component) throw EComponentError(kNullComponent);
  if (component->owner_) throw EComponentError(Format(kAlreadyOwned, {component->name_}));
  for (const TComponent* o = this; o; o = o->owner_)
    if (o == component.get()) throw EComponentError(Format(kOwnerCycle, {component->name_}));
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError(Format(kDuplicateName, {component->name_}));
  TComponent* c = component.get();
  components_.push_back(std::move(component));
  c->owner_ = this;
  if (destroying_) c->MarkDestroying();
  Notification(c, opInsert);
}

Owned<TComponent> TComponent::RemoveComponent(TComponent& component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [&](const Owned<TComponent>& c) { return c.get() == &component; });
  if (it == components_.end())
    throw EComponentError(Format(kNotOwned, {component.name_, name_}));
  Owned<TComponent> removed = std::move(*it);
  components_.erase(it);
  removed->owner_ = nullptr;
  Notification(removed.get(), opRemove);
  return removed;
}

void TComponent::Free() {
  if (!owner_) throw EComponentError(Format(kFreeUnowned, {name_}));
  owner_->RemoveComponent(*this).reset();
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace qx
