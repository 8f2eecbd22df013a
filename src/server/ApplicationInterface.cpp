// The application interface's shared part: its fields, the factory and start-form registries
// and the per-thread current application.
#include "server/ApplicationInterface.h"

#include <array>
#include <atomic>
#include <mutex>

#include "runtime/ClassInfo.h"

namespace qx {

const char* const kFormMustBeAnAppForm = "Form must be an application form.";

const TClassInfo& IIWApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<IIWApplication>("IIWApplication").Build();
  return info;
}

IIWApplication::IIWApplication(TIWSessionStartInfo start) : start_(std::move(start)) {
  sessionTimeStamp_ = Now();
  lastAccess_ = sessionTimeStamp_;
}

IIWApplication::~IIWApplication() = default;

void IIWApplication::Resize(int width, int height) {
  SetFormSize(width, height);
  ResizeActiveForm(width, height);
}

namespace {

// Written at load, read by request threads afterwards; the mutex makes late registration
// (tests) safe too.
std::mutex factoryLock;
TIWApplicationFactory& Factory() {
  static TIWApplicationFactory factory;
  return factory;
}

std::array<std::atomic<const TClassInfo*>, 3> startForms{};

std::atomic<const TClassInfo*>* StartFormSlot(TIWRenderKind kind) noexcept {
  int index = static_cast<int>(kind) - rkHTML40;
  return index >= 0 && index < static_cast<int>(startForms.size()) ? &startForms[index]
                                                                     : nullptr;
}

thread_local IIWApplication* currentApplication = nullptr;

}  // namespace

void RegisterApplicationFactory(TIWApplicationFactory factory) {
  std::lock_guard guard(factoryLock);
  Factory() = std::move(factory);
}

TIWApplicationFactory ApplicationFactory() {
  std::lock_guard guard(factoryLock);
  return Factory();
}

void RegisterStartForm(TIWRenderKind kind, const TClassInfo* formClass) noexcept {
  if (auto* slot = StartFormSlot(kind)) slot->store(formClass);
}

const TClassInfo* StartForm(TIWRenderKind kind) noexcept {
  auto* slot = StartFormSlot(kind);
  return slot ? slot->load() : nullptr;
}

IIWApplication* CurrentApplication() noexcept { return currentApplication; }

void SetCurrentApplication(IIWApplication* application) noexcept {
  currentApplication = application;
}

}  // namespace qx
