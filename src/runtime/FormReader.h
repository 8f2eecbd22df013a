// Creating components from their form definitions: the text resource of a screen, frame or
// data module (see docs/form-definitions.md) is read into a new instance, which creates the
// components it lists through the class registry, sets their published properties, binds
// event handlers by name, resolves references, then runs Loaded() and Created().
#pragma once

#include <string>
#include <string_view>

#include "runtime/ClassInfo.h"
#include "runtime/Component.h"

namespace qx {

// A definition that cannot be read: bad syntax, an unknown class, property, value, handler,
// component or resource. The message names the resource and line, e.g.
// "LoginForm.qxf(12): unknown property 'Captoin' of TIWLabel".
class EFormReadError : public Exception {
 public:
  EFormReadError(std::string resourceName, int line, std::string_view detail);
  const char* ClassName() const noexcept override { return "EFormReadError"; }
  const std::string& ResourceName() const noexcept { return resourceName_; }
  int Line() const noexcept { return line_; }  // 0 when the failure has no line
  const std::string& Detail() const noexcept { return detail_; }

 private:
  std::string resourceName_;
  int line_;
  std::string detail_;
};

// Creates a component owned by `owner`. A class with a definition (TClassBuilder::Definition)
// reads it: the component takes the definition's name when it has none (made unique within
// the owner by a suffix "_1", "_2" …). On any failure the component and everything made with
// it are freed, the owner is as before, and the error propagates.
TComponent& CreateComponent(const TClassInfo& cls, TComponent& owner);
TComponent& CreateComponent(TComponent& owner, Owned<TComponent> instance);
template <class T>
T& CreateComponent(TComponent& owner) {
  return static_cast<T&>(CreateComponent(owner, Owned<TComponent>(new T)));
}
// The same for a component that has no owner component.
Owned<TComponent> CreateComponent(Owned<TComponent> instance);
template <class T>
Owned<T> CreateComponent() {
  return Owned<T>(static_cast<T*>(CreateComponent(Owned<TComponent>(new T)).release()));
}

// Reads a definition given as text into `root`, a component that has not been created yet
// (tests and tools; screens use CreateComponent). On failure the root is left partly read
// and should be freed.
void ReadComponentDefinition(TComponent& root, std::string_view resourceName, std::string_view text);

}  // namespace qx
