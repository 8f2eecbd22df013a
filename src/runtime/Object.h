// TObject and TPersistent: the roots of every class that has a class name and published
// properties. QX_CLASS gives a class its own TClassInfo (name, parent, property table).
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace qx {

class TClassInfo;

// Declares the class-info members of a class; put it first in the class body (it leaves the
// access at public). The matching StaticClassInfo() is defined in the class's .cpp file with
// TClassBuilder (ClassInfo.h). A class without it reports its nearest declared ancestor's name.
#define QX_CLASS(Self, Base)                                 \
 public:                                                     \
  using ThisClass = Self;                                    \
  using Inherited = Base;                                    \
  static const ::qx::TClassInfo& StaticClassInfo();          \
  const ::qx::TClassInfo& ClassInfo() const override {       \
    return StaticClassInfo();                                \
  }

class TObject {
 public:
  using ThisClass = TObject;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  const std::string& ClassName() const;
  bool InheritsFrom(const TClassInfo& ancestor) const;

 protected:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
};

// An object whose published properties can be set by name: nested property objects (fonts,
// border options), collection items, and components.
class TPersistent : public TObject {
  QX_CLASS(TPersistent, TObject)

 protected:
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;
};

// Stores a property's new value when it differs from the current one and says whether it did,
// so that a setter marks or announces only real changes.
template <class Field, class Value>
bool AssignProperty(Field& field, Value&& value) {
  if (field == value) return false;
  field = std::forward<Value>(value);
  return true;
}

// A nested property object (a font, border options) that tells its owner when one of its
// values changes. A copy gets the values, never the hook: the hook belongs to the owner.
class TNotifyingPersistent : public TPersistent {
  QX_CLASS(TNotifyingPersistent, TPersistent)

 public:
  // Called after any value changes.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 protected:
  TNotifyingPersistent() = default;
  TNotifyingPersistent(const TNotifyingPersistent& other) : TPersistent(other) {}
  TNotifyingPersistent& operator=(const TNotifyingPersistent&) { return *this; }

  void Changed() const {
    if (onChange_) onChange_();
  }
  // A setter in one line: store, and announce a real change.
  template <class Field, class Value>
  void SetValue(Field& field, Value&& value) {
    if (AssignProperty(field, std::forward<Value>(value))) Changed();
  }

 private:
  std::function<void()> onChange_;
};

}  // namespace qx
