// Class information and the class registry: inherited property and handler tables, lookup by
// name without regard to case, and the factories definitions create components through.
#include "runtime/ClassInfo.h"

#include <mutex>
#include <shared_mutex>

#include "runtime/Format.h"

namespace qx {
namespace {

constexpr const char* kNotCreatable = "Class %s cannot be created by name.";
constexpr const char* kDuplicateClass = "Class %s is already registered.";
constexpr const char* kWrongClass = "Component '%s' is a %s, not a %s.";

struct ClassRegistry {
  std::shared_mutex lock;  // guards classes: written at start-up, read by request threads
  std::map<std::string, const TClassInfo*, TextLess> classes;
};

ClassRegistry& TheClassRegistry() {
  static ClassRegistry registry;
  return registry;
}

}  // namespace

const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo info("TObject", nullptr);
  return info;
}

const std::string& TObject::ClassName() const { return ClassInfo().Name(); }

bool TObject::InheritsFrom(const TClassInfo& ancestor) const {
  return ClassInfo().InheritsFrom(ancestor);
}

const TClassInfo& TPersistent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPersistent>("TPersistent").Build();
  return info;
}

const TClassInfo& TNotifyingPersistent::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TNotifyingPersistent>("TNotifyingPersistent").Build();
  return info;
}

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent)
    : name_(std::move(name)), parent_(parent) {
  if (parent_) {
    ancestors_ = parent_->ancestors_;
    ancestors_.push_back(parent_);
    properties_ = parent_->properties_;
    propertyIndex_ = parent_->propertyIndex_;
    handlerIndex_ = parent_->handlerIndex_;
  }
}

Owned<TComponent> TClassInfo::NewInstance() const {
  if (!factory_) throw EComponentError(Format(kNotCreatable, {name_}));
  return factory_();
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const noexcept {
  auto it = propertyIndex_.find(name);
  return it == propertyIndex_.end() ? nullptr : it->second;
}

const THandlerInfo* TClassInfo::FindHandler(std::string_view name) const noexcept {
  auto it = handlerIndex_.find(name);
  return it == handlerIndex_.end() ? nullptr : it->second;
}

void TClassInfo::AddProperty(std::unique_ptr<TPropInfo> property) {
  const TPropInfo* p = property.get();
  ownProperties_.push_back(std::move(property));
  // A class that declares an inherited property again replaces it in place.
  auto [it, inserted] = propertyIndex_.try_emplace(p->name, p);
  if (inserted) {
    properties_.push_back(p);
  } else {
    for (const TPropInfo*& q : properties_)
      if (q == it->second) q = p;
    it->second = p;
  }
}

void TClassInfo::AddHandler(std::unique_ptr<THandlerInfo> handler) {
  handlerIndex_.insert_or_assign(handler->name, handler.get());
  ownHandlers_.push_back(std::move(handler));
}

void RaiseWrongComponentClass(const TComponent& c, const TClassInfo& expected) {
  throw EPropertyError(Format(kWrongClass, {c.Name(), c.ClassName(), expected.Name()}));
}

void RegisterClass(const TClassInfo& info) {
  ClassRegistry& r = TheClassRegistry();
  std::unique_lock guard(r.lock);
  auto [it, inserted] = r.classes.try_emplace(info.Name(), &info);
  if (!inserted && it->second != &info)
    throw EComponentError(Format(kDuplicateClass, {info.Name()}));
}

const TClassInfo* FindClass(std::string_view name) noexcept {
  ClassRegistry& r = TheClassRegistry();
  std::shared_lock guard(r.lock);
  auto it = r.classes.find(name);
  return it == r.classes.end() ? nullptr : it->second;
}

}  // namespace qx
