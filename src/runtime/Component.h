// TComponent: named objects owned by other components. An owner holds what it owns by
// unique ownership and frees it with itself; every other link is non-owning and is cleared
// (TComponentRef) or notified (Notification) when its target is freed.
//
// Components belong to one session and are used by one thread at a time (the thread that
// holds the session's lock), so they carry no locks of their own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/Object.h"

namespace qx {

QX_EXCEPTION_CLASS(EComponentError, Exception);
QX_EXCEPTION_CLASS(EListError, Exception);

// "\"%s\" is not a valid component name." (Format: the name); controls add rules of their own.
extern const char* const kInvalidComponentName;

// Fails with EListError "List index out of bounds (<index>)".
[[noreturn]] void RaiseListIndexError(int index);

class TComponent;
class IIWBaseComponent;  // the forms layer's runtime components (forms/Interfaces.h)

// Frees a component the way every owner does: destruction notifications first, while the
// whole object is still alive, then the owned components, then the object itself.
struct TComponentDeleter {
  void operator()(TComponent* component) const noexcept;
};

// The only handle that owns a component that has no owner component (a session's application
// object, a component just removed from its owner, a test fixture).
template <class T>
using Owned = std::unique_ptr<T, TComponentDeleter>;

enum TOperation { opInsert, opRemove };

// The plain event: the sender only. Events with more arguments are std::function types of
// their own; by-reference arguments carry results back (bool& VHandled).
using TNotifyEvent = std::function<void(TObject* sender)>;

// A non-owning link to a component that becomes null when the component is freed. The
// holder, when given, receives Notification(target, opRemove) at that moment.
class TComponentRefBase {
 public:
  TComponentRefBase(const TComponentRefBase&) = delete;
  TComponentRefBase& operator=(const TComponentRefBase&) = delete;

 protected:
  explicit TComponentRefBase(TComponent* holder) noexcept : holder_(holder) {}
  ~TComponentRefBase() { Reset(nullptr); }
  void Reset(TComponent* target) noexcept;
  TComponent* Target() const noexcept { return target_; }

 private:
  friend class TComponent;
  TComponent* holder_;
  TComponent* target_ = nullptr;
};

template <class T>
class TComponentRef : private TComponentRefBase {
 public:
  explicit TComponentRef(TComponent* holder = nullptr) noexcept : TComponentRefBase(holder) {}
  // A copy points at the same component but has no holder to notify.
  TComponentRef(const TComponentRef& other) noexcept : TComponentRefBase(nullptr) {
    Reset(other.Target());
  }
  TComponentRef& operator=(const TComponentRef& other) noexcept {
    Reset(other.Target());
    return *this;
  }
  TComponentRef& operator=(T* target) noexcept {
    Reset(target);
    return *this;
  }
  T* Get() const noexcept { return static_cast<T*>(Target()); }
  T* operator->() const noexcept { return Get(); }
  explicit operator bool() const noexcept { return Target() != nullptr; }
};

// Per-session registration of forms and data modules created at run time, and the lookup of a
// module by name. The forms layer installs the implementation; without one nothing registers
// and no lookup succeeds.
class IModuleRegistry {
 public:
  virtual void RegisterModule(TComponent& module) = 0;
  virtual void UnregisterModule(TComponent& module) noexcept = 0;
  virtual TComponent* FindModule(std::string_view name) = 0;

 protected:
  ~IModuleRegistry() = default;
};

// Installs the process-wide registry (once, at start-up; nullptr removes it).
void SetModuleRegistry(IModuleRegistry* registry) noexcept;
// The current session's module of that name (without regard to case), or nullptr.
TComponent* FindGlobalComponent(std::string_view name);

class TComponent : public TPersistent {
  QX_CLASS(TComponent, TPersistent)

 public:
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const noexcept { return name_; }
  // Fails with EComponentError when the name is not an identifier or another component of the
  // same owner already has it (letter case ignored). An empty name is allowed.
  void SetName(std::string_view name);
  int Tag() const noexcept { return tag_; }
  void SetTag(int tag) noexcept { tag_ = tag; }

  TComponent* Owner() const noexcept { return owner_; }
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // The owned component with that name, letter case ignored; nullptr when none.
  TComponent* FindComponent(std::string_view name) const noexcept;

  // Takes ownership; the owner receives Notification(component, opInsert).
  template <class T>
  T& InsertComponent(Owned<T> component) {
    T* inserted = component.get();
    Insert(Owned<TComponent>(std::move(component)));
    return *inserted;
  }
  // Gives ownership back to the caller; the owner receives Notification(component, opRemove).
  Owned<TComponent> RemoveComponent(TComponent& component);
  // Frees this component, which must have an owner (an unowned one is freed by its Owned).
  void Free();

  // True while the component's definition is being read (until just before Loaded()).
  bool Loading() const noexcept { return loading_; }
  // True once the component (or its owner) has started to be freed.
  bool Destroying() const noexcept { return destroying_; }

  // Called with the component whose definition block encloses this one when it is read. A
  // control takes it as its parent; other components ignore it.
  virtual void SetParentComponent(TComponent* parent);

  // The component as a runtime component of the pages, or nullptr: the classes that are one
  // answer for themselves, so the walks over a form's components, which ask every component
  // on every request, need no dynamic_cast (see ClassCast).
  virtual IIWBaseComponent* AsBaseComponent() noexcept { return nullptr; }
  const IIWBaseComponent* AsBaseComponent() const noexcept {
    return const_cast<TComponent*>(this)->AsBaseComponent();
  }

 protected:
  TComponent() = default;
  ~TComponent() override;

  // Inserted into or removed from this owner (opInsert/opRemove), or a component that a
  // TComponentRef held by this one points at is being freed (opRemove). Must not free components.
  virtual void Notification(TComponent* component, TOperation operation);
  // Checks a new name; the default accepts identifiers (letters, digits, '_', no leading digit).
  virtual void ValidateName(std::string_view name) const;
  // The component's definition has been read and its references resolved (Loading() is
  // already false). Runs for a component before the components it holds, so a container is
  // settled before its controls record their design placement.
  virtual void Loaded() {}
  // Creation is complete: every component made with it is loaded. Runs for the components a
  // component holds before the component itself; forms fire OnCreate here.
  virtual void Created() {}
  // First step of freeing, while the whole object and everything it owns is alive (OnDestroy).
  virtual void BeforeDestruction() {}

  // Adds the component to the current session's module list (forms and data modules call it
  // from their constructors); it is removed again when the component is freed.
  void RegisterModule();

 private:
  friend struct TComponentDeleter;
  friend class TComponentRefBase;
  friend class TComponentLifecycle;

  void Insert(Owned<TComponent> component);
  void MarkDestroying() noexcept;
  void DestroyComponents() noexcept;
  void ReleaseReferences() noexcept;
  void UnregisterModule() noexcept;
  void CheckUniqueName(std::string_view name) const;

  std::string name_;
  int tag_ = 0;
  TComponent* owner_ = nullptr;
  std::vector<Owned<TComponent>> components_;
  std::vector<TComponentRefBase*> references_;  // links that point at this component
  bool loading_ = false;
  bool created_ = false;
  bool destroying_ = false;
  bool destroyStarted_ = false;
  bool module_ = false;
};

// The steps of creation the form reader drives (kept out of TComponent's public face).
class TComponentLifecycle {
 public:
  static bool IsCreated(const TComponent& c) noexcept { return c.created_; }
  static void BeginLoading(TComponent& c) noexcept { c.loading_ = true; }
  static void FinishLoading(TComponent& c) {
    c.loading_ = false;
    c.Loaded();
  }
  static void FinishCreation(TComponent& c) {
    c.created_ = true;
    c.Created();
  }
};

}  // namespace qx
